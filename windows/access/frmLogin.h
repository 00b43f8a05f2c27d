#pragma once

#include "windows/common/FormWindow.h"
#include "windows/common/WindowContext.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qel {

struct Failure;

// The login window, where the program starts: user name, password, the application to enter, and
// the three roads in (password, key disk, the guest button).
class frmLogin final : public FormWindow<QWidget>
{
public:
    explicit frmLogin(const WindowContext& context);
    ~frmLogin() override;

    void Form_Load() override;

    // The controls that leaving the panic screen and log out reset.
    QLineEdit* txtBrukernavn() const { return m_txtBrukernavn; }
    QLineEdit* txtPassord() const { return m_txtPassord; }
    QComboBox* Combo1() const { return m_Combo1; }
    QLabel* Label3() const { return m_Label3; }
    // Empties the password box, then the user-name box.
    void ClearEntries();

    void cmdLoggInn_Click();
    void cmdKeyDisk_Click();
    void cmdAltPass_Click();
    void cmdAvslutt_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    // Shows the window of the chosen application in place of this one; false when it cannot be shown.
    bool enter(WindowId window);
    // The roads into the applications, recording who comes in.
    bool openCrypto(const Text& user);
    bool openPizzaTimer();
    void showChatNotReady();
    std::optional<Failure> tryKeyDisk();

    ApplicationState& m_state;
    Services& m_services;

    QLabel* m_lblPortal = nullptr;
    QLineEdit* m_txtBrukernavn = nullptr;
    QLineEdit* m_txtPassord = nullptr;
    QComboBox* m_Combo1 = nullptr;
    QPushButton* m_cmdLoggInn = nullptr;
    QPushButton* m_cmdKeyDisk = nullptr;
    QPushButton* m_cmdAvslutt = nullptr;
    QLabel* m_Label3 = nullptr;
    QPushButton* m_cmdAltPass = nullptr;
};

} // namespace qel
