#include "windows/access/frmLogin.h"
#include "cipher/Messages.h"
#include "platform/QtText.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "tests/support/qt/Rows.h"
#include "windows/access/KeyDisk.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

namespace {

const QString KeyName = QString::fromLatin1(KeyFileName);
const QDateTime Now(QDate(2026, 12, 6), QTime(21, 7, 12));
const MessageBoxRequest ChatBox{U"Denne funksjonen jobbes med for tiden", U"Feil!", MessageButtons::Ok,
                                MessageIcon::Exclamation};

} // namespace

// name, password, recorded
using PasswordRow = std::tuple<QString, QString, QString>;

// file (null: no key file; else written at Now), choice, outcome (the user recorded, the status, or the
// failure described)
using KeyDiskRow = std::tuple<QByteArray, QString, QString>;

// Each test starts with the state of a user "før" who is logged in, and a stale status line.
class frmLoginTest : public WindowTest
{
    Q_OBJECT

    frmLogin* w = nullptr;

    void prepare() override
    {
        app->state.CurrentUser = U"før";
        app->state.LoggedIn = true;
        app->fakes.clock.set(Now);
        QVERIFY((w = show<frmLogin>(StartWindow)) != nullptr);
        w->Label3()->setText("gammel");
    }

    void click(const QString& name) { QTest::mouseClick(w->findChild<QPushButton*>(name), Qt::LeftButton); }
    void type(const QString& user, const QString& password, const QString& choice = "qelCrypto")
    {
        w->txtBrukernavn()->setText(user);
        w->txtPassord()->setText(password);
        w->Combo1()->setCurrentText(choice);
    }
    bool shown(WindowId id) const
    {
        const Form* window = app->rules.Find(id);
        return window != nullptr && window->isShown();
    }
    QString status() const { return w->Label3()->text(); }
    QString user() const { return ToQString(app->state.CurrentUser); }

private slots:
    // The three choices; the password shows as asterisks while it is typed, not the desktop's dots.
    void startsEmptyWithTheSelector()
    {
        QStringList entries;
        for (int i = 0; i < w->Combo1()->count(); ++i)
            entries << w->Combo1()->itemText(i);
        QCOMPARE(entries, QStringList({"qelCrypto", "qelPizzaTimer", "qelChat"}));
        w->txtPassord()->setFocus();
        QTest::keyClicks(w->txtPassord(), "mez");
        QCOMPARE(w->txtPassord()->displayText(), "***");
    }

    // One "Logg inn" with qelCrypto chosen: the name recorded, or none when refused.
    void passwordLogin_data()
    {
        // clang-format off
        AddRows<PasswordRow>({
            {"kaktus", {"kaktus", "mez", "Kaktus"}},
            {"mast in mixed case", {"mAsT", "mez", "Mast"}},
            {"stored constant", {"kaktus", "zem", ""}},
            {"password in capitals", {"kaktus", "MEZ", ""}},
            {"password too long", {"kaktus", "mezz", ""}},
            {"leading blank", {" kaktus", "mez", ""}},
            {"trailing blank", {"fjord ", "mez", ""}},
            {"unknown name", {"kaktusen", "mez", ""}},
        });
        // clang-format on
    }
    void passwordLogin()
    {
        const auto& [name, password, recorded] = TheRow<PasswordRow>();
        const bool entered = !recorded.isEmpty();
        type(name, password);
        click("cmdLoggInn");
        QCOMPARE(user(), entered ? recorded : "før");
        QCOMPARE(app->state.LoggedIn, entered);
        QCOMPARE(status(), entered ? "" : "Feil!");
        QCOMPARE(shown(WindowId::frmCrypt), entered);
        QCOMPARE(w->isVisible(), !entered);
        QCOMPARE(w->txtBrukernavn()->text(), name); // neither box is cleared
        QVERIFY(app->fakes.dialogs.shown().empty());
    }

    // Refused attempts only say so again; a password beyond what can be reversed gets the overflow box.
    // qelChat is not ready, whatever the boxes hold; the guest needs no password.
    void refusalsChatAndGuest()
    {
        type("kaktus", QString(32768, 'z'));
        click("cmdLoggInn");
        QCOMPARE(status(), "Feil!");
        QCOMPARE(app->fakes.dialogs.messages(), std::vector{Messages::OverflowReport()});
        type("kaktus", "mez", "qelChat");
        app->state.LoggedIn = true;
        click("cmdLoggInn");
        QCOMPARE(app->fakes.dialogs.messages(), (std::vector{Messages::OverflowReport(), ChatBox}));
        QCOMPARE(status(), "");
        QVERIFY(user() == "før" && app->state.LoggedIn && !shown(WindowId::frmCrypt) && w->isVisible());
        type("kaktus", "feil", "qelPizzaTimer");
        app->state.LoggedIn = false;
        click("cmdAltPass");
        QVERIFY(user() == "tg04user" && app->state.LoggedIn && shown(WindowId::frmCrypt) && !w->isVisible());
    }

    // Enter logs in only from the password box, and goes no further; Ctrl+L, and only Ctrl+L, reads
    // the key disk from the user-name box, without typing anything.
    void keysOfTheEntries()
    {
        QSignalSpy returns(w->txtPassord(), &QLineEdit::returnPressed);
        type("kaktus", "feil");
        QTest::keyClick(w->txtBrukernavn(), Qt::Key_Return);
        QCOMPARE(status(), "gammel");
        QTest::keyClick(w->txtPassord(), Qt::Key_Return);
        QCOMPARE(status(), "Feil!");
        QTest::keyClick(w->txtPassord(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(returns.count(), 0);

        app->fakes.drive.put(KeyName, "97,\"N\xF8kkel\",2107", Now);
        QTest::keyClick(w->txtBrukernavn(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(w->txtPassord(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(app->fakes.drive.reads(), 0);
        QTest::keyClick(w->txtBrukernavn(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(app->fakes.drive.reads(), 1);
        QVERIFY(user() == "Nøkkel" && shown(WindowId::frmCrypt));
    }

    // A sealed disk admits its user whatever the boxes hold, to the pizza timer as nobody (as "Logg inn"
    // does, which every standalone test of the pizza timer walks); a broken seal only says "KeyDisk
    // error!". Files that cannot be read, or not to the end, bring the read-failure box, and No then
    // describes the failure. Each way to fail the parsing or the seal is KeyFileTest's or KeyDiskTest's.
    void keyDiskLogin_data()
    {
        const QByteArray x("97,\"x\",2107");
        // clang-format off
        AddRows<KeyDiskRow>({
            {"sealed", {QByteArray("100001431,\"tg04user\",2107\r\n"), "qelCrypto", "tg04user"}},
            {"pizza timer", {x, "qelPizzaTimer", "anonym"}},
            {"even number", {QByteArray("100001432,\"x\",2107"), "qelCrypto", "KeyDisk error!"}},
            {"chat", {x, "qelChat", ""}},
            {"no key file", {QByteArray(), "qelCrypto", "Feilkode 53: Finner ikke filen"}},
            {"empty", {QByteArray(""), "qelCrypto", "Feilkode 62: Lesing forbi slutten av filen"}},
            {"time above 32767", {QByteArray("97,\"x\",32768"), "qelCrypto", "Feilkode 6: Overflyt"}},
        });
        // clang-format on
    }
    void keyDiskLogin()
    {
        const auto& [file, choice, outcome] = TheRow<KeyDiskRow>();
        if (!file.isNull())
            app->fakes.drive.put(KeyName, file, Now);
        type("mast", "mez", choice);
        app->state.LoggedIn = false;
        app->fakes.dialogs.answerNextMessage(MessageAnswer::No);
        click("cmdKeyDisk");
        const bool described = outcome.startsWith("Feilkode");
        const bool refused = described || outcome == "KeyDisk error!" || choice == "qelChat";
        const bool entered = !refused && choice == "qelCrypto";
        QCOMPARE(user(), refused ? "før" : outcome);
        QCOMPARE(status(), outcome == "KeyDisk error!" ? outcome : "");
        QVERIFY(shown(WindowId::frmCrypt) == entered && app->state.LoggedIn == entered);
        QVERIFY(shown(WindowId::frmPizzaTimer) == (!refused && !entered) && w->isVisible() == refused);
        std::vector<MessageBoxRequest> boxes;
        if (described)
            boxes = {
                KeyDiskMessages::ReadFailure(),
                {FromQString(outcome), U"Feilbeskrivelse", MessageButtons::Ok, MessageIcon::Information}};
        if (choice == "qelChat")
            boxes = {ChatBox};
        QCOMPARE(app->fakes.dialogs.messages(), boxes);
    }

    // Yes reads the disk again, as often as it is chosen; once the diskette is in, the login goes ahead.
    void keyDiskRetry()
    {
        app->fakes.drive.failNextReads(ErrorNumber::DiskNotReady, 3);
        for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Cancel})
            app->fakes.dialogs.answerNextMessage(answer);
        click("cmdKeyDisk");
        QCOMPARE(app->fakes.drive.reads(), 3);
        QCOMPARE(app->fakes.dialogs.messages(), std::vector(3, KeyDiskMessages::ReadFailure()));

        app->fakes.drive.failNextReads(ErrorNumber::DiskNotReady, 1);
        app->fakes.drive.put(KeyName, "97,\"x\",2107", Now);
        app->fakes.dialogs.answerNextMessage(MessageAnswer::Yes);
        click("cmdKeyDisk");
        QCOMPARE(app->fakes.drive.reads(), 5);
        QVERIFY(user() == "x" && shown(WindowId::frmCrypt));
    }
};

QTEST_MAIN(frmLoginTest)
#include "frmLoginTest.moc"
