#include "windows/access/frmLogin.h"
#include "cipher/Messages.h"
#include "platform/QtText.h"
#include "platform/StatusBar.h"
#include "tests/support/qt/FakeServices.h"
#include "windows/Registry.h"
#include "windows/access/KeyDisk.h"
#include "windows/main/frmCrypt.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

namespace {

const QString KeyName = QString::fromLatin1(KeyFileName);
const QDateTime Now(QDate(2026, 12, 6), QTime(21, 7, 12));

} // namespace

class frmLoginTest : public QObject
{
    Q_OBJECT

    ApplicationState state;
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<WindowRules> rules;
    frmLogin* w = nullptr;

    template <typename T = QPushButton>
    T* get(const QString& name) const
    {
        return w->findChild<T*>(name);
    }
    void click(const QString& name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    void type(const QString& user, const QString& password, const QString& choice = "qelCrypto")
    {
        w->txtBrukernavn()->setText(user);
        w->txtPassord()->setText(password);
        w->Combo1()->setCurrentText(choice);
    }
    bool cryptShown() const
    {
        const Form* crypt = rules->Find(WindowId::frmCrypt);
        return crypt != nullptr && crypt->isShown();
    }
    QString status() const { return w->Label3()->text(); }

private slots:
    void init()
    {
        state = ApplicationState{};
        state.CurrentUser = U"før";
        state.LoggedIn = true;
        fakes = std::make_unique<FakeServices>();
        fakes->clock.set(Now);
        rules = std::make_unique<WindowRules>();
        RegisterWindows({state, *rules, fakes->services});
        rules->Show(StartWindow);
        w = rules->Find<frmLogin>(WindowId::frmLogin);
        QVERIFY(w != nullptr && QTest::qWaitForWindowActive(w));
    }
    void cleanup()
    {
        rules->UnloadAll();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Every control where the design puts it, with its caption.
    void layout_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips"); // left, top, width, height
        QTest::newRow("lblPortal") << "qelPortal" << QRect(120, 120, 4575, 615);
        QTest::newRow("lblBrukernavn") << "Brukernavn:" << QRect(120, 960, 1095, 255);
        QTest::newRow("txtBrukernavn") << "" << QRect(1800, 960, 2775, 285);
        QTest::newRow("Label1") << "Passord:" << QRect(120, 1560, 975, 255);
        QTest::newRow("txtPassord") << "" << QRect(1800, 1560, 2775, 285);
        QTest::newRow("Label4") << "Logg på:" << QRect(120, 2160, 1095, 255);
        QTest::newRow("Combo1") << "qelCrypto" << QRect(1800, 2160, 2775, 315);
        QTest::newRow("cmdLoggInn") << "Logg inn" << QRect(1800, 2640, 1095, 375);
        QTest::newRow("cmdKeyDisk") << "" << QRect(3000, 2640, 375, 375);
        QTest::newRow("cmdAvslutt") << "Avslutt" << QRect(3480, 2640, 1095, 375);
        QTest::newRow("Label3") << "" << QRect(120, 2760, 1575, 255);
        QTest::newRow("cmdAltPass") << "Eller trykk her hvis du ikke har pass ;)"
                                    << QRect(1800, 3060, 2775, 255);
    }

    void layout()
    {
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        auto* control = get<QWidget>(QTest::currentDataTag());
        QVERIFY(control != nullptr);
        QCOMPARE(control->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        const QVariant text = control->property(qobject_cast<QComboBox*>(control) ? "currentText" : "text");
        QCOMPARE(text.toString(), caption);
        if (control->objectName() == "lblPortal" || control->objectName() == "Label3") {
            const bool portal = control->objectName() == "lblPortal";
            QCOMPARE(control->palette().color(QPalette::WindowText), QColor(255, 0, 0));
            QCOMPARE(control->font().pointSize(), portal ? 24 : QApplication::font().pointSize());
            QCOMPARE(control->font().bold(), portal);
        }
    }

    void startsEmptyWithTheSelector()
    {
        QCOMPARE(w->windowTitle(), "qelPortal - Logg inn");
        QCOMPARE(w->size(), QSize(319, 225));
        QVERIFY(!w->windowIcon().isNull());
        QVERIFY(!get("cmdKeyDisk")->icon().isNull() && get("cmdKeyDisk")->text().isEmpty());
        QStringList entries;
        for (int i = 0; i < w->Combo1()->count(); ++i)
            entries << w->Combo1()->itemText(i);
        QCOMPARE(entries, QStringList({"qelCrypto", "qelPizzaTimer", "qelChat"}));
        QCOMPARE(w->Combo1()->currentText(), "qelCrypto");
        QVERIFY(!w->Combo1()->isEditable());
        QCOMPARE(w->txtPassord()->echoMode(), QLineEdit::Password);
        QCOMPARE(w->txtPassord()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                     w->txtPassord()),
                 '*');
        QVERIFY(w->txtBrukernavn()->hasFocus());

        QStringList order;
        QWidget* next = w->txtBrukernavn();
        for (int i = 0; i < 7; ++i, next = next->nextInFocusChain()) {
            while (next->focusPolicy() == Qt::NoFocus)
                next = next->nextInFocusChain();
            order << next->objectName();
        }
        QCOMPARE(order, QStringList({"txtBrukernavn", "txtPassord", "cmdLoggInn", "cmdKeyDisk", "cmdAvslutt",
                                     "Combo1", "cmdAltPass"}));
    }

    // Each row is one "Logg inn"; the state starts as "før", logged in, with a stale status.
    void passwordLogin_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("recorded"); // CurrentUser afterwards
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("entered"); // main window shown, login window hidden

        QTest::newRow("kaktus") << "kaktus"
                                << "mez"
                                << "qelCrypto"
                                << "Kaktus" << true << "" << true;
        QTest::newRow("fjord") << "fjord"
                               << "mez"
                               << "qelCrypto"
                               << "Fjord" << true << "" << true;
        QTest::newRow("mast") << "mast"
                              << "mez"
                              << "qelCrypto"
                              << "Mast" << true << "" << true;
        QTest::newRow("name in capitals") << "KAKTUS"
                                          << "mez"
                                          << "qelCrypto"
                                          << "Kaktus" << true << "" << true;
        QTest::newRow("name in mixed case") << "mAsT"
                                            << "mez"
                                            << "qelCrypto"
                                            << "Mast" << true << "" << true;
        QTest::newRow("empty password") << "kaktus"
                                        << ""
                                        << "qelCrypto"
                                        << "før" << false << "Feil!" << false;
        QTest::newRow("stored constant") << "kaktus"
                                         << "zem"
                                         << "qelCrypto"
                                         << "før" << false << "Feil!" << false;
        QTest::newRow("password in capitals") << "kaktus"
                                              << "MEZ"
                                              << "qelCrypto"
                                              << "før" << false << "Feil!" << false;
        QTest::newRow("password too long") << "kaktus"
                                           << "mezz"
                                           << "qelCrypto"
                                           << "før" << false << "Feil!" << false;
        QTest::newRow("leading blank") << " kaktus"
                                       << "mez"
                                       << "qelCrypto"
                                       << "før" << false << "Feil!" << false;
        QTest::newRow("trailing blank") << "fjord "
                                        << "mez"
                                        << "qelCrypto"
                                        << "før" << false << "Feil!" << false;
        QTest::newRow("unknown name") << "kaktusen"
                                      << "mez"
                                      << "qelCrypto"
                                      << "før" << false << "Feil!" << false;
        QTest::newRow("display name with ø") << "kaktus"
                                             << "mezø"
                                             << "qelCrypto"
                                             << "før" << false << "Feil!" << false;
    }

    void passwordLogin()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, choice);
        w->Label3()->setText("gammel");
        type(user, password, choice);
        click("cmdLoggInn");
        QTEST(ToQString(state.CurrentUser), "recorded");
        QTEST(state.LoggedIn, "loggedIn");
        QTEST(status(), "status");
        QFETCH(bool, entered);
        QCOMPARE(cryptShown(), entered);
        QCOMPARE(w->isVisible(), !entered);
        if (entered) {
            QCOMPARE(ToQString(rules->Find<frmCrypt>(WindowId::frmCrypt)->StatusBar1()->text(1)),
                     "Velkommen til qelCrypto " + ToQString(state.CurrentUser));
            // Neither box is cleared.
            QCOMPARE(w->txtBrukernavn()->text(), user);
        }
        QVERIFY(fakes->dialogs.shown().empty());
    }

    // Refused attempts only say so again; a password beyond what can be reversed gets the overflow box.
    void refusedAgainAndAgain()
    {
        type("kaktus", "feil");
        for (int i = 0; i < 3; ++i) {
            click("cmdLoggInn");
            QCOMPARE(status(), "Feil!");
        }
        type("kaktus", QString(32768, 'z'));
        click("cmdLoggInn");
        QCOMPARE(status(), "Feil!");
        QCOMPARE(fakes->dialogs.messages(), std::vector{Messages::OverflowReport()});
        QVERIFY(!state.LoggedIn && !cryptShown());
    }

    void chatIsNotReady()
    {
        w->Label3()->setText("Feil!");
        type("kaktus", "mez", "qelChat");
        click("cmdLoggInn");
        const MessageBoxRequest box{U"Denne funksjonen jobbes med for tiden", U"Feil!", MessageButtons::Ok,
                                    MessageIcon::Exclamation};
        QCOMPARE(fakes->dialogs.messages(), std::vector{box});
        QCOMPARE(status(), "");
        QVERIFY(state.CurrentUser == U"før" && state.LoggedIn && !cryptShown() && w->isVisible());
    }

    // With the pizza timer chosen, "Logg inn" and an accepted key disk open it as nobody, whatever the
    // boxes hold.
    void pizzaTimerRoads_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Logg inn, boxes empty") << "cmdLoggInn";
        QTest::newRow("key disk") << "cmdKeyDisk";
    }
    void pizzaTimerRoads()
    {
        QFETCH(QString, button);
        fakes->drive.put(KeyName, "97,\"x\",2107", Now);
        type("", "", "qelPizzaTimer");
        w->Label3()->setText("gammel");
        click(button);
        QVERIFY(state.CurrentUser == U"anonym" && !state.LoggedIn);
        const Form* pizza = rules->Find(WindowId::frmPizzaTimer);
        QVERIFY(pizza != nullptr && pizza->isShown() && !w->isVisible() && !cryptShown());
        QCOMPARE(rules->Find<QWidget>(WindowId::frmPizzaTimer)->windowTitle(),
                 "qelPizzaTimer - Demo verisjon!");
        QCOMPARE(status(), "");
        QVERIFY(fakes->dialogs.shown().empty());
    }

    void guestNeedsNoPassword()
    {
        type("kaktus", "feil", "qelPizzaTimer");
        state.LoggedIn = false;
        click("cmdAltPass");
        QVERIFY(state.CurrentUser == U"tg04user" && state.LoggedIn);
        QVERIFY(cryptShown() && !w->isVisible());
    }

    // Enter logs in only from the password box, and goes no further; Ctrl+L, and only Ctrl+L, reads
    // the key disk from the user-name box, without typing anything.
    void keysOfTheEntries()
    {
        QSignalSpy returns(w->txtPassord(), &QLineEdit::returnPressed);
        type("kaktus", "feil");
        QTest::keyClick(w->txtBrukernavn(), Qt::Key_Return);
        QCOMPARE(status(), "");
        QTest::keyClick(w->txtPassord(), Qt::Key_Return);
        QCOMPARE(status(), "Feil!");
        QTest::keyClick(w->txtPassord(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(returns.count(), 0);

        fakes->drive.put(KeyName, "97,\"N\xF8kkel\",2107", Now);
        QTest::keyClick(w->txtBrukernavn(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(w->txtBrukernavn(), Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(w->txtPassord(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(fakes->drive.reads(), 0);
        QTest::keyClick(w->txtBrukernavn(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(fakes->drive.reads(), 1);
        QVERIFY(state.CurrentUser == U"Nøkkel" && cryptShown());
    }

    // A sealed disk admits its user whatever the boxes hold; a broken seal or a composite number only
    // says "KeyDisk error!".
    void keyDiskLogin_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("minutesLater"); // the file's modification time after Now
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<bool>("entered");
        QTest::newRow("sealed") << QByteArray("100001431,\"tg04user\",2107\r\n") << 0 << "qelCrypto"
                                << ""
                                << "tg04user" << true;
        QTest::newRow("user in Windows-1252") << QByteArray("97,\"K\xE5re\",2107") << 0 << "qelCrypto"
                                              << ""
                                              << "Kåre" << true;
        QTest::newRow("written a minute later") << QByteArray("97,\"x\",2107") << 1 << "qelCrypto"
                                                << "KeyDisk error!"
                                                << "før" << false;
        QTest::newRow("even number") << QByteArray("100001432,\"x\",2107") << 0 << "qelCrypto"
                                     << "KeyDisk error!"
                                     << "før" << false;
        QTest::newRow("composite number") << QByteArray("100000001,\"x\",2107") << 0 << "qelCrypto"
                                          << "KeyDisk error!"
                                          << "før" << false;
        QTest::newRow("time past midnight") << QByteArray("97,\"x\",2107") << 24 * 60 << "qelCrypto"
                                            << ""
                                            << "x" << true;
        QTest::newRow("chat") << QByteArray("97,\"x\",2107") << 0 << "qelChat"
                              << ""
                              << "før" << false;
    }

    void keyDiskLogin()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, minutesLater);
        QFETCH(QString, choice);
        fakes->drive.put(KeyName, file, Now.addSecs(minutesLater * 60 - 12));
        type("mast", "mez", choice);
        w->Label3()->setText("Blei du redd?");
        state.LoggedIn = false;
        click("cmdKeyDisk");
        QTEST(status(), "status");
        QTEST(ToQString(state.CurrentUser), "recorded");
        QFETCH(bool, entered);
        QCOMPARE(cryptShown(), entered);
        QCOMPARE(state.LoggedIn, entered);
        std::vector<MessageBoxRequest> boxes;
        if (choice == "qelChat")
            boxes = {{U"Denne funksjonen jobbes med for tiden", U"Feil!", MessageButtons::Ok,
                      MessageIcon::Exclamation}};
        QCOMPARE(fakes->dialogs.messages(), boxes);
    }

    // Files that cannot be read, or not to the end, bring the read-failure box and leave the status
    // empty; No describes the failure.
    void keyDiskReadFailure_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("described");
        QTest::newRow("no key file") << QByteArray() << "Feilkode 53: Finner ikke filen";
        QTest::newRow("empty") << QByteArray("") << "Feilkode 62: Lesing forbi slutten av filen";
        QTest::newRow("two fields") << QByteArray("97,\"x\"\r\n")
                                    << "Feilkode 62: Lesing forbi slutten av filen";
        QTest::newRow("no closing quote")
            << QByteArray("97,\"x,2107\r\n") << "Feilkode 62: Lesing forbi slutten av filen";
        QTest::newRow("binary") << QByteArray("\x7F"
                                              "ELF\x02\x01\0\0\xFF\xFE",
                                              10)
                                << "Feilkode 62: Lesing forbi slutten av filen";
        QTest::newRow("megabytes in the name") << "97,\"" + QByteArray(3 << 20, 'a') + "\",2107"
                                               << "Feilkode 62: Lesing forbi slutten av filen";
        QTest::newRow("forty digits")
            << QByteArray("1234567890123456789012345678901234567890,\"x\",2107") << "Feilkode 6: Overflyt";
        QTest::newRow("time above 32767") << QByteArray("97,\"x\",32768") << "Feilkode 6: Overflyt";
    }

    void keyDiskReadFailure()
    {
        QFETCH(QByteArray, file);
        if (!file.isNull())
            fakes->drive.put(KeyName, file, Now);
        w->Label3()->setText("Blei du redd?");
        fakes->dialogs.answerNextMessage(MessageAnswer::No);
        click("cmdKeyDisk");
        QFETCH(QString, described);
        const MessageBoxRequest description{FromQString(described), U"Feilbeskrivelse", MessageButtons::Ok,
                                            MessageIcon::Information};
        QCOMPARE(fakes->dialogs.messages(), (std::vector{KeyDiskMessages::ReadFailure(), description}));
        QCOMPARE(status(), "");
        QVERIFY(state.CurrentUser == U"før" && !cryptShown());
    }

    // Yes reads the disk again, as often as it is chosen; once the diskette is in, the login goes ahead.
    void keyDiskRetry()
    {
        fakes->drive.failNextReads(ErrorNumber::DiskNotReady, 3);
        fakes->dialogs.answerNextMessage(MessageAnswer::Yes);
        fakes->dialogs.answerNextMessage(MessageAnswer::Yes);
        fakes->dialogs.answerNextMessage(MessageAnswer::Cancel);
        click("cmdKeyDisk");
        QCOMPARE(fakes->drive.reads(), 3);
        QCOMPARE(fakes->dialogs.messages(), std::vector(3, KeyDiskMessages::ReadFailure()));

        fakes->drive.failNextReads(ErrorNumber::DiskNotReady, 1);
        fakes->drive.put(KeyName, "97,\"x\",2107", Now);
        fakes->dialogs.answerNextMessage(MessageAnswer::Yes);
        click("cmdKeyDisk");
        QCOMPARE(fakes->drive.reads(), 5);
        QVERIFY(state.CurrentUser == U"x" && cryptShown());
    }
};

QTEST_MAIN(frmLoginTest)
#include "frmLoginTest.moc"
