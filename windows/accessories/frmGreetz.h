#pragma once

#include "windows/common/FormWindow.h"
#include "windows/common/WindowContext.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace qel {

// The greetings window: a heading and a line for each of the program's three users.
class frmGreetz final : public FormWindow<QWidget>
{
public:
    explicit frmGreetz(const WindowContext& context);
    ~frmGreetz() override;

    QLabel* lblGreetzFlyOut() const { return m_lblGreetzFlyOut; }
    QLabel* lblGreet1() const { return m_lblGreet1; }
    QLabel* lblGreet2() const { return m_lblGreet2; }
    QLabel* lblGreet3() const { return m_lblGreet3; }
    QPushButton* cmdGreetzBack() const { return m_cmdGreetzBack; }

    void cmdGreetzBack_Click();

protected:
    void placeOnFirstShow() override;

private:
    QLabel* m_lblGreet1;
    QPushButton* m_cmdGreetzBack;
    QLabel* m_lblGreetzFlyOut;
    QLabel* m_lblGreet2;
    QLabel* m_lblGreet3;
};

} // namespace qel
