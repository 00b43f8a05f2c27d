#pragma once

#include "cipher/Calls.h"
#include "windows/common/FormWindow.h"
#include "windows/common/WindowContext.h"

#include <QMainWindow>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QRadioButton;

namespace qel {

class StatusBar;
class TextBox;

// The main window: the input and output boxes, the protocol choice and every encrypt and decrypt
// command. The ciphers themselves are the engine's; the handlers read the controls, call it and
// write the output box.
class frmCrypt final : public FormWindow<QMainWindow>
{
public:
    explicit frmCrypt(const WindowContext& context);
    ~frmCrypt() override;

    void Form_Load() override;
    void Form_Unload() override;

    // The controls other windows use.
    TextBox* txtInput() const { return m_txtInput; }
    TextBox* txtOutput() const { return m_txtOutput; }
    QCheckBox* Check1() const { return m_Check1; }
    StatusBar* StatusBar1() const { return m_StatusBar1; }

    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void txtInput_Change();
    void krypter_Click();
    void krypter1_Click();
    void crypt3_Click();
    void crypt10_Click();
    void cryptx_Click();
    void dekrypter_Click();
    void dekrypter1_Click();
    void kryptTbrett_Click();
    void tekstfrabrett_Click();
    void reset_Click();
    void Lukk_Click();
    void setCryptKey_Click();
    void changelog_Click();
    void greetz_Click();
    void vignereVisual_Click();
    void menuPizzaTimer_Click();
    void MakeKeyDisk_Click();
    void panikk_Click();
    void loggut_Click();

private:
    void createControls();
    void createMenus();
    QAction* addCommand(QMenu* menu, const char* name, const QString& caption, void (frmCrypt::*handler)(),
                        const QKeySequence& shortcut = {});
    void chooseProtocol(int protocol);
    void updateEnabledStates();
    Calls::CipherSettings cipherSettings() const;
    void EncryptText(int count);

    ApplicationState& m_state;
    Services& m_services;

    TextBox* m_txtInput = nullptr;
    TextBox* m_txtOutput = nullptr;
    QLabel* m_lblAntTegn = nullptr;
    QRadioButton* m_Option[4] = {};
    QCheckBox* m_Check1 = nullptr;
    QLabel* m_Label2 = nullptr;
    StatusBar* m_StatusBar1 = nullptr;

    QAction* m_crypt3 = nullptr;
    QAction* m_crypt10 = nullptr;
    QAction* m_cryptx = nullptr;
    QAction* m_changelog = nullptr;
    QAction* m_menuPizzaTimer = nullptr;
    QAction* m_greetz = nullptr;
    QAction* m_vignereVisual = nullptr;
};

} // namespace qel
