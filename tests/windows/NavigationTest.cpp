#include "platform/StatusBar.h"
#include "platform/TextBox.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "windows/Program.h"
#include "windows/access/frmLogin.h"
#include "windows/access/frmPanikk.h"
#include "windows/main/frmCrypt.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

// Walks the program from window to window the way a user does, and after each step checks which
// windows are loaded, in load order, each marked + when visible and - when hidden.
class NavigationTest : public WindowTest
{
    Q_OBJECT

    int quits = 0;

    QString windows() const
    {
        QStringList shown;
        for (const WindowId id : app->rules.Loaded())
            shown << WindowName(id) + QString(app->rules.Find(id)->isShown() ? "+" : "-");
        return shown.join(' ');
    }
    frmLogin* login() const { return app->rules.Find<frmLogin>(WindowId::frmLogin); }
    frmCrypt* crypt() const { return app->rules.Find<frmCrypt>(WindowId::frmCrypt); }
    // The login window's boxes, status and choice, and whether the user-name box has the keyboard.
    QString loginBoxes() const
    {
        const bool focus = QTest::qWaitForWindowActive(login()) && login()->txtBrukernavn()->hasFocus();
        return QStringList{login()->txtBrukernavn()->text(), login()->txtPassord()->text(),
                           login()->Label3()->text(), login()->Combo1()->currentText(),
                           focus ? "focus" : "no focus"}
            .join('|');
    }
    void logIn(const QString& user)
    {
        login()->txtBrukernavn()->setText(user);
        login()->txtPassord()->setText("mez");
        QTest::mouseClick(login()->findChild<QPushButton*>("cmdLoggInn"), Qt::LeftButton);
    }
    void run(const char* command) { crypt()->findChild<QAction*>(command)->trigger(); }
    // A shortcut reaches the main window once it is the active one.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        crypt()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(crypt()));
        QTest::keyClick(crypt()->focusWidget(), Qt::Key(key), modifiers);
    }
    void leavePanic()
    {
        auto* panic = app->rules.Find<frmPanikk>(WindowId::frmPanikk);
        QVERIFY(QTest::qWaitForWindowActive(panic));
        QTest::keyClick(panic, Qt::Key_Space);
    }
    Text welcome() const { return crypt()->StatusBar1()->text(1); }
    void prepare() override
    {
        quits = 0;
        QuitWhenAllUnloaded(app->rules, &app->context, [this] { ++quits; });
        app->rules.Show(StartWindow);
        QCOMPARE(windows(), "frmLogin+");
    }

private slots:

    // The panic hides the main window with all it holds; a different user who logs in next finds it
    // as it was, welcome included. Log out then leaves one window, a fresh login window; the key and the
    // user stay in the state, and the next login loads a fresh main window.
    void panicAndBackThenLogOut()
    {
        logIn("kaktus");
        QCOMPARE(windows(), "frmLogin- frmCrypt+");
        run("setCryptKey");
        crypt()->txtInput()->setText(U"hemmelig");
        QCOMPARE(windows(), "frmLogin- frmCrypt+ frmCryptKey+");
        login()->Combo1()->setCurrentText("qelChat");

        press(Qt::Key_F5);
        QCOMPARE(windows(), "frmLogin- frmCrypt- frmCryptKey+ frmPanikk+");
        leavePanic();
        QCOMPARE(windows(), "frmLogin+ frmCrypt- frmCryptKey+ frmPanikk-");
        QCOMPARE(loginBoxes(), "||Blei du redd?|qelChat|focus");
        QVERIFY(app->state.CurrentUser == U"Kaktus" && app->state.LoggedIn);

        login()->Combo1()->setCurrentText("qelCrypto");
        logIn("fjord");
        QCOMPARE(windows(), "frmLogin- frmCrypt+ frmCryptKey+ frmPanikk-");
        QCOMPARE(crypt()->txtInput()->text(), U"hemmelig");
        QCOMPARE(welcome(), U"Velkommen til qelCrypto Kaktus");

        // A second panic shows the same screen again.
        QWidget* screen = app->rules.Find<frmPanikk>(WindowId::frmPanikk);
        run("panikk");
        QCOMPARE(windows(), "frmLogin- frmCrypt- frmCryptKey+ frmPanikk+");
        QCOMPARE(app->rules.Find<frmPanikk>(WindowId::frmPanikk), screen);
        leavePanic();
        logIn("mast");
        app->state.CryptKey = U"NØKKEL";
        login()->Combo1()->setCurrentText("qelChat");
        login()->Label3()->setText("gammel");
        QWidget* before = login();

        press(Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(windows(), "frmLogin+");
        QVERIFY(login() != before);
        QCOMPARE(loginBoxes(), "|||qelCrypto|focus");
        QVERIFY(app->state.CurrentUser == U"Mast" && app->state.LoggedIn);
        QCoreApplication::processEvents();
        QCOMPARE(quits, 0);

        logIn("fjord");
        QCOMPARE(windows(), "frmLogin- frmCrypt+");
        QCOMPARE(crypt()->txtInput()->text(), U"");
        QCOMPARE(welcome(), U"Velkommen til qelCrypto Fjord");
        QCOMPARE(app->state.CryptKey, U"NØKKEL");
    }

    // Every way out: each ends with nothing loaded, and the program ends once the handler returns. Avslutt
    // is clicked with more loaded than the login window: the main window and the panic screen, hidden.
    void leaving_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Lukk (Ctrl+Q) on the main window") << "Lukk";
        QTest::newRow("main window's close box") << "close main";
        QTest::newRow("Avslutt after a panic") << "panic, Avslutt";
        QTest::newRow("login close box after a panic") << "panic, close login";
        QTest::newRow("login close box after log out") << "log out, close login";
        QTest::newRow("dialog closed last after a panic") << "panic, close login, dialog OK";
    }

    void leaving()
    {
        QFETCH(QString, way);
        logIn("kaktus");
        if (way == "Lukk" || way.startsWith("close") || way.contains("dialog"))
            run("setCryptKey");
        if (way == "Lukk") {
            for (const char* command :
                 {"menuPizzaTimer", "changelog", "greetz", "vignereVisual", "setCryptKey"})
                run(command);
            QCOMPARE(windows(), "frmLogin- frmCrypt+ frmCryptKey+ frmPizzaTimer+ frmChangelog+ frmGreetz+ "
                                "frmVignereVisual+");
        }
        if (way.startsWith("panic")) {
            run("panikk");
            leavePanic();
        }
        if (way.startsWith("log out")) {
            run("loggut");
            QCoreApplication::processEvents();
        }
        if (way.endsWith("Avslutt"))
            QTest::mouseClick(login()->findChild<QPushButton*>("cmdAvslutt"), Qt::LeftButton);
        if (way == "Lukk")
            press(Qt::Key_Q, Qt::ControlModifier);
        if (way == "close main")
            crypt()->close();
        if (way.contains("close login"))
            login()->close();
        if (way.endsWith("dialog OK")) {
            // The dialog was still showing, so closing the login window took only that.
            QCoreApplication::processEvents();
            QCOMPARE(windows(), "frmCrypt- frmCryptKey+ frmPanikk-");
            QTest::mouseClick(
                app->rules.Find<QWidget>(WindowId::frmCryptKey)->findChild<QPushButton*>("cmdOK"),
                Qt::LeftButton);
        }
        QCOMPARE(quits, 0);
        QTRY_COMPARE(quits, 1);
        QCOMPARE(windows(), "");
    }
};

QTEST_MAIN(NavigationTest)
#include "NavigationTest.moc"
