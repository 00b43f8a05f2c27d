#pragma once

#include "windows/common/FormWindow.h"
#include "windows/common/WindowContext.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qel {

class TextBox;

// The CryptKey dialog: the typed key, its normalised preview, and OK to store the preview as the key.
class frmCryptKey final : public FormWindow<QWidget>
{
public:
    explicit frmCryptKey(const WindowContext& context);
    ~frmCryptKey() override;

    void txtInputKey_Change();
    // Enter runs OK; returns whether the key was taken.
    bool txtInputKey_KeyPress(int keyAscii);
    void cmdOK_Click();
    void cmdCopy_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ApplicationState& m_state;
    Services& m_services;

    QLabel* m_lblSkrivInn;
    QLineEdit* m_txtInputKey;
    QLabel* m_lblOutput;
    TextBox* m_txtOutputKey;
    QPushButton* m_cmdCopy;
    QPushButton* m_cmdOK;
};

} // namespace qel
