#pragma once

#include "windows/common/FormWindow.h"
#include "windows/common/WindowContext.h"

#include <QWidget>

class QPushButton;

namespace qel {

class TextBox;

// The changelog window: the changelog, read-only, and a button that prints it.
class frmChangelog final : public FormWindow<QWidget>
{
public:
    explicit frmChangelog(const WindowContext& context);
    ~frmChangelog() override;

    TextBox* Text1() const { return m_Text1; }
    QPushButton* cmdChangelogPrint() const { return m_cmdChangelogPrint; }
    QPushButton* cmdBack() const { return m_cmdBack; }

    void cmdChangelogPrint_Click();
    void cmdBack_Click();

protected:
    void placeOnFirstShow() override;

private:
    Services& m_services;

    QPushButton* m_cmdBack;
    QPushButton* m_cmdChangelogPrint;
    TextBox* m_Text1;
};

} // namespace qel
