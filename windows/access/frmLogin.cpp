#include "frmLogin.h"

#include "Accounts.h"
#include "KeyDisk.h"
#include "cipher/Messages.h"
#include "platform/EditMenu.h"
#include "platform/QtText.h"
#include "windows/Program.h"
#include "windows/common/Design.h"

#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

#include <stdexcept>

namespace qel {

using Design::Place;

namespace {

const QString Crypto = QStringLiteral("qelCrypto");
const QString PizzaTimer = QStringLiteral("qelPizzaTimer");
const QString Chat = QStringLiteral("qelChat");

// Long enough that a password too long to reverse can still be typed, and be refused.
constexpr int EntryLength = 65535;

QLabel* AddLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromUtf8(name));
    return label;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromUtf8(name));
    return button;
}

// The label beside the box is its buddy, so a screen reader reads the box by the label's caption; the
// name it gets drops the colon, which would be read aloud.
QLineEdit* AddEntry(QWidget* parent, const char* name, QLabel* label, const QString& accessibleName)
{
    auto* entry = new QLineEdit(parent);
    entry->setObjectName(QString::fromUtf8(name));
    label->setBuddy(entry);
    entry->setAccessibleName(accessibleName);
    entry->setMaxLength(EntryLength);
    UseNorwegianEditMenu(entry);
    return entry;
}

// The style of the password box: the desktop's, but masking with "*" rather than its own dots.
class AsteriskMaskStyle final : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override
    {
        return hint == SH_LineEdit_PasswordCharacter ? '*'
                                                     : QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

} // namespace

frmLogin::frmLogin(const WindowContext& context)
    : FormWindow(context.windows, WindowId::frmLogin), m_state(context.state), m_services(context.services)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("qelPortal - Logg inn"));
    setWindowIcon(QIcon(Picture(QStringLiteral(":/pictures/login-icon.xpm"))));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(Design::Twips(4785), Design::Twips(3375));
    createControls();
}

frmLogin::~frmLogin() = default;

void frmLogin::createControls()
{
    m_lblPortal = AddLabel(this, "lblPortal", QStringLiteral("qelPortal"));
    m_lblPortal->setFont(Design::SansSerif(24, true));
    Design::SetTextColour(m_lblPortal, Qt::red);
    Place(m_lblPortal, 120, 120, 4575, 615);

    QLabel* lblBrukernavn = AddLabel(this, "lblBrukernavn", QStringLiteral("Brukernavn:"));
    Place(lblBrukernavn, 120, 960, 1095, 255);
    m_txtBrukernavn = AddEntry(this, "txtBrukernavn", lblBrukernavn, QStringLiteral("Brukernavn"));
    Place(m_txtBrukernavn, 1800, 960, 2775, 285);
    m_txtBrukernavn->installEventFilter(this);

    QLabel* label1 = AddLabel(this, "Label1", QStringLiteral("Passord:"));
    Place(label1, 120, 1560, 975, 255);
    m_txtPassord = AddEntry(this, "txtPassord", label1, QStringLiteral("Passord"));
    m_txtPassord->setEchoMode(QLineEdit::Password);
    m_txtPassord->setStyle(Design::SharedStyle<AsteriskMaskStyle>());
    Place(m_txtPassord, 1800, 1560, 2775, 285);
    m_txtPassord->installEventFilter(this);

    QLabel* label4 = AddLabel(this, "Label4", QStringLiteral("Logg på:"));
    Place(label4, 120, 2160, 1095, 255);
    // A list to choose from: nothing can be typed in.
    m_Combo1 = new QComboBox(this);
    m_Combo1->setObjectName(QStringLiteral("Combo1"));
    // Qt on Linux names a combo box after its current choice; this name serves the other platforms.
    label4->setBuddy(m_Combo1);
    m_Combo1->setAccessibleName(QStringLiteral("Logg på"));
    m_Combo1->setAccessibleDescription(QStringLiteral("Programmet du logger på"));
    Place(m_Combo1, 1800, 2160, 2775, 315);

    m_cmdLoggInn = AddButton(this, "cmdLoggInn", QStringLiteral("Logg inn"));
    Place(m_cmdLoggInn, 1800, 2640, 1095, 375);
    connect(m_cmdLoggInn, &QPushButton::clicked, this, &frmLogin::cmdLoggInn_Click);

    m_cmdKeyDisk = AddButton(this, "cmdKeyDisk", QString());
    m_cmdKeyDisk->setIcon(QIcon(Picture(QStringLiteral(":/pictures/keydisk.xpm"))));
    m_cmdKeyDisk->setIconSize(QSize(17, 15));
    m_cmdKeyDisk->setToolTip(QStringLiteral("KeyDisk (Ctrl+L)"));
    m_cmdKeyDisk->setAccessibleName(QStringLiteral("KeyDisk"));
    m_cmdKeyDisk->setAccessibleDescription(QStringLiteral("Logg inn med nøkkelfilen på disketten"));
    Place(m_cmdKeyDisk, 3000, 2640, 375, 375);
    connect(m_cmdKeyDisk, &QPushButton::clicked, this, &frmLogin::cmdKeyDisk_Click);

    m_cmdAvslutt = AddButton(this, "cmdAvslutt", QStringLiteral("Avslutt"));
    Place(m_cmdAvslutt, 3480, 2640, 1095, 375);
    connect(m_cmdAvslutt, &QPushButton::clicked, this, &frmLogin::cmdAvslutt_Click);

    m_Label3 = AddLabel(this, "Label3", QString());
    m_Label3->setAccessibleDescription(QStringLiteral("Melding fra innloggingen"));
    Design::SetTextColour(m_Label3, Qt::red);
    Place(m_Label3, 120, 2760, 1575, 255);

    m_cmdAltPass = AddButton(this, "cmdAltPass", QStringLiteral("Eller trykk her hvis du ikke har pass ;)"));
    Place(m_cmdAltPass, 1800, 3060, 2775, 255);
    connect(m_cmdAltPass, &QPushButton::clicked, this, &frmLogin::cmdAltPass_Click);

    setTabOrder(m_txtBrukernavn, m_txtPassord);
    setTabOrder(m_txtPassord, m_cmdLoggInn);
    setTabOrder(m_cmdLoggInn, m_cmdKeyDisk);
    setTabOrder(m_cmdKeyDisk, m_cmdAvslutt);
    setTabOrder(m_cmdAvslutt, m_Combo1);
    setTabOrder(m_Combo1, m_cmdAltPass);
    m_txtBrukernavn->setFocus();
}

void frmLogin::Form_Load()
{
    m_Combo1->addItems({Crypto, PizzaTimer, Chat});
    m_Combo1->setCurrentIndex(0);
}

// The target is shown before this window hides: a road whose window cannot be shown must not leave
// the user with nothing on the screen.
bool frmLogin::enter(WindowId window)
{
    try {
        rules().Show(window);
    } catch (const std::logic_error&) {
        return false; // not part of this build
    }
    rules().Hide(WindowId::frmLogin);
    return true;
}

bool frmLogin::openCrypto(const Text& user)
{
    m_state.CurrentUser = user;
    if (!enter(WindowId::frmCrypt))
        return false;
    m_state.LoggedIn = true;
    return true;
}

bool frmLogin::openPizzaTimer()
{
    m_state.LoggedIn = false;
    m_state.CurrentUser = U"anonym";
    return enter(WindowId::frmPizzaTimer);
}

void frmLogin::showChatNotReady()
{
    m_services.dialogs.showMessage(
        {U"Denne funksjonen jobbes med for tiden", U"Feil!", MessageButtons::Ok, MessageIcon::Exclamation});
}

void frmLogin::cmdLoggInn_Click()
{
    const Text password = FromQString(m_txtPassord->text());
    const Text user = FromQString(m_txtBrukernavn->text());
    m_Label3->clear();
    const QString choice = m_Combo1->currentText();
    if (choice == Crypto) {
        if (const std::optional<Text> name = PasswordAccount(user, password, m_services.dialogs)) {
            if (!openCrypto(*name))
                m_Label3->setText(QStringLiteral("Feil!"));
            return;
        }
        m_Label3->setText(QStringLiteral("Feil!"));
        m_state.LoggedIn = false;
    } else if (choice == Chat) {
        showChatNotReady();
    } else if (choice == PizzaTimer) {
        if (!openPizzaTimer())
            m_Label3->setText(QStringLiteral("Feil!"));
    }
}

void frmLogin::cmdKeyDisk_Click()
{
    for (;;) {
        m_Label3->clear();
        const std::optional<Failure> failure = tryKeyDisk();
        if (!failure || !RetryAfter(m_services.dialogs, KeyDiskMessages::ReadFailure(), *failure))
            return;
    }
}

// One attempt at the key-disk login; a failure is for the caller to put to the user.
std::optional<Failure> frmLogin::tryKeyDisk()
{
    const Result<KeyDiskReading> reading = ReadKeyDisk(m_services.drive);
    if (!reading.ok())
        return reading.failure();
    if (!reading.value().accepted) {
        m_Label3->setText(QStringLiteral("KeyDisk error!"));
        return std::nullopt;
    }
    const QString choice = m_Combo1->currentText();
    bool shown = true;
    if (choice == Crypto) {
        shown = openCrypto(reading.value().key.user);
    } else if (choice == Chat) {
        showChatNotReady();
    } else if (choice == PizzaTimer) {
        shown = openPizzaTimer();
    }
    if (!shown)
        return Messages::FileFailure(ErrorNumber::InvalidArgument);
    return std::nullopt;
}

void frmLogin::cmdAltPass_Click()
{
    openCrypto(U"tg04user");
}

void frmLogin::ClearEntries()
{
    m_txtPassord->clear();
    m_txtBrukernavn->clear();
}

void frmLogin::cmdAvslutt_Click()
{
    rules().UnloadAll();
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return FormWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    // Enter in the password box logs in, and goes no further.
    if (watched == m_txtPassord && IsEnterPress(event) &&
        (modifiers & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
        cmdLoggInn_Click();
        return true;
    }
    // Ctrl+L in the user-name box reads the key disk.
    if (watched == m_txtBrukernavn && key->key() == Qt::Key_L && modifiers == Qt::ControlModifier) {
        cmdKeyDisk_Click();
        return true;
    }
    return FormWindow::eventFilter(watched, event);
}

} // namespace qel
