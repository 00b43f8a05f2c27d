#include "frmCrypt.h"

#include "RepeatCount.h"
#include "Tips.h"
#include "cipher/Calls.h"
#include "platform/QtText.h"
#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "windows/access/KeyDisk.h"
#include "windows/access/frmLogin.h"
#include "windows/common/Design.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>

#include <utility>

namespace qel {

using Design::Place;

frmCrypt::frmCrypt(const WindowContext& context)
    : FormWindow(context.windows, WindowId::frmCrypt), m_state(context.state), m_services(context.services)
{
    setObjectName(QStringLiteral("frmCrypt"));
    setWindowTitle(QStringLiteral("qelCrypto - Qelvang Kodelag"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    createControls();
    createMenus();
    // A fixed border: the client area keeps its design size below the menu bar.
    setFixedSize(centralWidget()->width(), centralWidget()->height() + menuBar()->sizeHint().height());
}

frmCrypt::~frmCrypt() = default;

void frmCrypt::createControls()
{
    auto* client = new QWidget(this);
    client->setFixedSize(Design::Twips(6000), Design::Twips(4830));
    setCentralWidget(client);

    m_txtInput = new TextBox(client);
    m_txtInput->setObjectName(QStringLiteral("txtInput"));
    // The boxes have no caption beside them; a screen reader says what each is for.
    m_txtInput->setAccessibleName(QStringLiteral("Tekst som skal krypteres eller dekrypteres"));
    Place(m_txtInput, 120, 0, 4935, 2175);
    connect(m_txtInput, &TextBox::changed, this, &frmCrypt::txtInput_Change);

    m_txtOutput = new TextBox(client);
    m_txtOutput->setObjectName(QStringLiteral("txtOutput"));
    m_txtOutput->setAccessibleName(QStringLiteral("Resultat"));
    m_txtOutput->setReadOnly(true);
    // Read-only, yet the user selects and copies with the keyboard as well as the mouse.
    m_txtOutput->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Place(m_txtOutput, 120, 2280, 4935, 2295);

    m_lblAntTegn = new QLabel(client);
    m_lblAntTegn->setObjectName(QStringLiteral("lblAntTegn"));
    // The name stays the count itself, so a screen reader reads the number.
    m_lblAntTegn->setAccessibleDescription(QStringLiteral("Antall tegn i teksten"));
    m_lblAntTegn->setFont(Design::SansSerif(12, true));
    m_lblAntTegn->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(m_lblAntTegn, 5160, 0, 855, 495);

    struct OptionDesign {
        const char* name;
        const char* caption;
        int top;
        int width;
        void (frmCrypt::*handler)();
    };
    const OptionDesign options[] = {
        {"Option1", "Crypt", 480, 735, &frmCrypt::Option1_Click},
        {"Option2", "Røver", 720, 735, &frmCrypt::Option2_Click},
        {"Option3", "Begge", 960, 855, &frmCrypt::Option3_Click},
        {"Option4", "Vignere", 1200, 855, &frmCrypt::Option4_Click},
    };
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(options[i].caption), client);
        option->setObjectName(QString::fromUtf8(options[i].name));
        Place(option, 5160, options[i].top, options[i].width, 255);
        m_Option[i] = option;
    }
    m_Option[3]->setChecked(true);
    MakeOptionGroup({m_Option[0], m_Option[1], m_Option[2], m_Option[3]});
    for (int i = 0; i < 4; ++i) {
        connect(m_Option[i], &QRadioButton::toggled, this,
                [this, handler = options[i].handler](bool checked) {
                    if (checked)
                        (this->*handler)();
                });
    }

    m_Check1 = new QCheckBox(QStringLiteral("Strong"), client);
    m_Check1->setObjectName(QStringLiteral("Check1"));
    m_Check1->setToolTip(QStringLiteral("Strong fungerer bare ved bruk av Røver protokollen."));
    Place(m_Check1, 5160, 1680, 855, 255);

    m_Label2 = new QLabel(QStringLiteral("Q E L"), client);
    m_Label2->setObjectName(QStringLiteral("Label2"));
    m_Label2->setFont(Design::Verdana(29.25, true, true));
    Design::SetTextColour(m_Label2, Qt::red);
    m_Label2->setToolTip(QStringLiteral("Qelvang Kodelag"));
    // Too narrow for more than one letter a line: the logo reads downwards.
    m_Label2->setWordWrap(true);
    m_Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(m_Label2, 5280, 2400, 735, 2295);

    m_StatusBar1 = new StatusBar(client);
    m_StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    m_StatusBar1->setAccessibleName(QStringLiteral("Statuslinje"));
    Place(m_StatusBar1, 0, 4590, 6000, 240);

    setTabOrder(m_txtInput, m_txtOutput);
    setTabOrder(m_txtOutput, m_Option[1]);
    setTabOrder(m_Option[1], m_Option[2]);
    setTabOrder(m_Option[2], m_Check1);
    setTabOrder(m_Check1, m_Option[0]);
    setTabOrder(m_Option[0], m_Option[3]);
    m_txtInput->setFocus();
}

QAction* frmCrypt::addCommand(QMenu* menu, const char* name, const QString& caption,
                              void (frmCrypt::*handler)(), const QKeySequence& shortcut)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromUtf8(name));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
    if (menu != nullptr)
        menu->addAction(action);
    else
        menuBar()->addAction(action);
    return action;
}

void frmCrypt::createMenus()
{
    QMenuBar* bar = menuBar();
    const auto addMenu = [](QWidget* parent, const char* name, const QString& caption) {
        auto* menu = new QMenu(caption, parent);
        menu->setObjectName(QString::fromUtf8(name));
        menu->menuAction()->setObjectName(QString::fromUtf8(name));
        return menu;
    };
    const auto addSeparator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromUtf8(name));
    };

    QMenu* file = addMenu(this, "file", QStringLiteral("&File"));
    bar->addMenu(file);
    QMenu* cryptsub = addMenu(file, "cryptsub", QStringLiteral("&Kryptering"));
    file->addMenu(cryptsub);
    addCommand(cryptsub, "krypter", QStringLiteral("Krypter"), &frmCrypt::krypter_Click,
               Qt::CTRL | Qt::Key_K);
    addSeparator(cryptsub, "divider1");
    m_crypt3 = addCommand(cryptsub, "crypt3", QStringLiteral("Krypter x3"), &frmCrypt::crypt3_Click);
    m_crypt10 = addCommand(cryptsub, "crypt10", QStringLiteral("Krypter x10"), &frmCrypt::crypt10_Click);
    m_cryptx = addCommand(cryptsub, "cryptx", QStringLiteral("Krypter xX"), &frmCrypt::cryptx_Click);
    addCommand(file, "dekrypter", QStringLiteral("&Dekrypter"), &frmCrypt::dekrypter_Click,
               Qt::CTRL | Qt::Key_D);
    addCommand(file, "MakeKeyDisk", QStringLiteral("&Make KeyDisk"), &frmCrypt::MakeKeyDisk_Click);
    addSeparator(file, "div2");
    addCommand(file, "Lukk", QStringLiteral("Lukk"), &frmCrypt::Lukk_Click, Qt::CTRL | Qt::Key_Q);
    addCommand(file, "loggut", QStringLiteral("Logg ut"), &frmCrypt::loggut_Click, Qt::CTRL | Qt::Key_L);

    QMenu* edit = addMenu(this, "edit", QStringLiteral("&Edit"));
    bar->addMenu(edit);
    addCommand(edit, "kryptTbrett", QStringLiteral("&Copy"), &frmCrypt::kryptTbrett_Click, Qt::Key_F2);
    addCommand(edit, "tekstfrabrett", QStringLiteral("&Paste"), &frmCrypt::tekstfrabrett_Click, Qt::Key_F3);
    addCommand(edit, "reset", QStringLiteral("&Reset"), &frmCrypt::reset_Click, Qt::CTRL | Qt::Key_R);

    QMenu* dill = addMenu(this, "dill", QStringLiteral("&Dill"));
    bar->addMenu(dill);
    addCommand(dill, "panikk", QStringLiteral("&Panikk"), &frmCrypt::panikk_Click, Qt::Key_F5);
    m_changelog = addCommand(dill, "changelog", QStringLiteral("&Changelog"), &frmCrypt::changelog_Click);
    m_menuPizzaTimer = addCommand(dill, "menuPizzaTimer", QStringLiteral("Pi&zza Timer"),
                                  &frmCrypt::menuPizzaTimer_Click, Qt::CTRL | Qt::Key_T);
    m_greetz = addCommand(dill, "greetz", QStringLiteral("&Greetz"), &frmCrypt::greetz_Click);
    m_vignereVisual =
        addCommand(dill, "vignereVisual", QStringLiteral("&Vignere Visual"), &frmCrypt::vignereVisual_Click);

    addCommand(nullptr, "krypter1", QStringLiteral("&Krypter"), &frmCrypt::krypter1_Click);
    addCommand(nullptr, "dekrypter1", QStringLiteral("&Dekrypter"), &frmCrypt::dekrypter1_Click);
    addCommand(nullptr, "setCryptKey", QStringLiteral("&CryptKey"), &frmCrypt::setCryptKey_Click);

    // The window's shortcuts win over the editing keys of the text boxes.
    QList<QKeySequence> shortcuts;
    for (const QAction* action : findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty())
            shortcuts.append(action->shortcut());
    }
    m_txtInput->setReservedShortcuts(shortcuts);
    m_txtOutput->setReservedShortcuts(shortcuts);
}

// The one place that decides which controls are enabled.
void frmCrypt::updateEnabledStates()
{
    const bool repeats = m_state.SelectedProtocol == Calls::Rover || m_state.SelectedProtocol == Calls::Begge;
    m_Check1->setEnabled(repeats);
    m_crypt3->setEnabled(repeats);
    m_crypt10->setEnabled(repeats);
    m_cryptx->setEnabled(repeats);

    // Commands whose windows are not part of this build stay visible but greyed.
    const WindowRules& windows = rules();
    m_changelog->setEnabled(windows.IsRegistered(WindowId::frmChangelog));
    m_greetz->setEnabled(windows.IsRegistered(WindowId::frmGreetz));
    m_menuPizzaTimer->setEnabled(windows.IsRegistered(WindowId::frmPizzaTimer));
    m_vignereVisual->setEnabled(windows.IsRegistered(WindowId::frmVignereVisual));
}

void frmCrypt::Form_Load()
{
    m_state.SelectedProtocol = Calls::Vignere;
    updateEnabledStates();
    m_StatusBar1->add();
    m_StatusBar1->setText(1, U"Velkommen til qelCrypto " + m_state.CurrentUser);
    m_StatusBar1->sizeToContents(1);
    ShowTip(*m_StatusBar1, m_services.random);
}

void frmCrypt::Form_Unload()
{
    rules().UnloadAll();
}

void frmCrypt::chooseProtocol(int protocol)
{
    m_state.SelectedProtocol = static_cast<std::uint8_t>(protocol);
    updateEnabledStates();
}

void frmCrypt::Option1_Click()
{
    chooseProtocol(Calls::Crypt);
}

void frmCrypt::Option2_Click()
{
    chooseProtocol(Calls::Rover);
}

void frmCrypt::Option3_Click()
{
    chooseProtocol(Calls::Begge);
}

void frmCrypt::Option4_Click()
{
    chooseProtocol(Calls::Vignere);
}

void frmCrypt::txtInput_Change()
{
    m_lblAntTegn->setText(QString::number(m_txtInput->text().size()));
    Design::FitCaption(m_lblAntTegn); // seven digits and more fill the box
}

// What both pipelines read besides the input text.
Calls::CipherSettings frmCrypt::cipherSettings() const
{
    return {m_state.SelectedProtocol, m_Check1->isChecked(), m_state.CryptKey};
}

void frmCrypt::EncryptText(int count)
{
    if (auto output = Calls::EncryptText(m_txtInput->text(), count, cipherSettings(), m_services.dialogs,
                                         m_services.random))
        m_txtOutput->setText(std::move(*output));
}

void frmCrypt::krypter_Click()
{
    EncryptText(1);
}

void frmCrypt::krypter1_Click()
{
    EncryptText(1);
}

void frmCrypt::crypt3_Click()
{
    EncryptText(3);
}

void frmCrypt::crypt10_Click()
{
    EncryptText(10);
}

void frmCrypt::cryptx_Click()
{
    const InputBoxRequest prompt{U"Hvor mange ganger skal teksten krypteres?", U"qelCrypto", Text()};
    const MessageBoxRequest limit{U"Grensen er 15 ganger!", U"Error", MessageButtons::RetryCancel,
                                  MessageIcon::Exclamation};
    for (;;) {
        const RepeatCountAnswer answer = ReadRepeatCount(m_services.dialogs.askText(prompt));
        switch (answer.kind) {
        case RepeatCountAnswer::Stop:
            return;
        case RepeatCountAnswer::Encrypt:
            EncryptText(answer.count);
            return;
        case RepeatCountAnswer::TooMany:
            if (m_services.dialogs.showMessage(limit) != MessageAnswer::Retry)
                return;
            break;
        }
    }
}

void frmCrypt::dekrypter_Click()
{
    if (auto output = Calls::DecryptText(m_txtInput->text(), cipherSettings(), m_services.dialogs))
        m_txtOutput->setText(std::move(*output));
}

void frmCrypt::dekrypter1_Click()
{
    dekrypter_Click();
}

void frmCrypt::kryptTbrett_Click()
{
    m_services.clipboard.setText(m_txtOutput->text());
}

void frmCrypt::tekstfrabrett_Click()
{
    // A text from another copy of the program arrives exactly; only other programs' line breaks are
    // made CR LF. It replaces what the user typed, even with an empty clipboard, as one step that Ctrl+Z
    // takes back; so does Reset's emptying.
    std::optional<Text> exact = m_services.clipboard.exactText();
    m_txtInput->replaceText(exact ? std::move(*exact) : NormalisePastedBreaks(m_services.clipboard.text()));
}

void frmCrypt::reset_Click()
{
    m_txtInput->replaceText(Text());
    m_txtOutput->setText(Text());
    m_txtInput->setFocus();
}

void frmCrypt::Lukk_Click()
{
    rules().UnloadAll();
}

void frmCrypt::setCryptKey_Click()
{
    rules().Show(WindowId::frmCryptKey);
}

void frmCrypt::changelog_Click()
{
    rules().Show(WindowId::frmChangelog);
}

void frmCrypt::greetz_Click()
{
    rules().Show(WindowId::frmGreetz);
}

void frmCrypt::vignereVisual_Click()
{
    rules().Show(WindowId::frmVignereVisual);
}

void frmCrypt::menuPizzaTimer_Click()
{
    m_state.PizzaHidden = false;
    rules().Show(WindowId::frmPizzaTimer);
}

void frmCrypt::MakeKeyDisk_Click()
{
    if (m_services.dialogs.showMessage(KeyDiskMessages::MakeKeyDiskQuestion()) == MessageAnswer::Yes)
        WriteKeyDisk(m_services, m_state.CurrentUser);
}

void frmCrypt::panikk_Click()
{
    rules().Hide(WindowId::frmCrypt);
    rules().Show(WindowId::frmPanikk);
}

// Everything goes, this window included, and a fresh login window comes up.
void frmCrypt::loggut_Click()
{
    m_state.LoggedIn = true;
    // The login window is always loaded behind this one; it goes in the next step, and comes back fresh.
    if (auto* login = rules().Find<frmLogin>(WindowId::frmLogin)) {
        login->ClearEntries();
        login->Combo1()->setCurrentText(QStringLiteral("qelCrypto"));
    }
    rules().Unload(WindowId::frmCrypt);
    if (auto* login = dynamic_cast<frmLogin*>(rules().Show(WindowId::frmLogin)))
        login->txtBrukernavn()->setFocus();
}

} // namespace qel
