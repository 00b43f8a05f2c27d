#include "windows/accessories/frmPizzaTimer.h"
#include "platform/QtText.h"
#include "platform/StatusBar.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "tests/support/qt/Rows.h"
#include "windows/access/frmLogin.h"
#include "windows/main/Tips.h"
#include "windows/main/frmCrypt.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

// loggedIn, entry, ticks
using CountdownRow = std::tuple<bool, QString, QString>;

// entry, display
using RefusedRow = std::tuple<QString, QString>;

// loggedIn, closeBox
using ClosingRow = std::tuple<bool, bool>;

class frmPizzaTimerTest : public WindowTest
{
    Q_OBJECT

    frmPizzaTimer* w = nullptr;

    frmCrypt* crypt() const { return app->rules.Find<frmCrypt>(WindowId::frmCrypt); }
    frmLogin* login() const { return app->rules.Find<frmLogin>(WindowId::frmLogin); }
    // From the main window's menu logged in as Kaktus, or from the login window as nobody.
    void open(bool loggedIn)
    {
        if (loggedIn) {
            app->state.LoggedIn = true;
            app->state.CurrentUser = U"Kaktus";
            app->rules.Show(WindowId::frmCrypt);
            crypt()->findChild<QAction*>("menuPizzaTimer")->trigger();
        } else {
            app->rules.Show(WindowId::frmLogin);
            login()->Combo1()->setCurrentText("qelPizzaTimer");
            QTest::mouseClick(login()->findChild<QPushButton*>("cmdLoggInn"), Qt::LeftButton);
        }
        w = app->rules.Find<frmPizzaTimer>(WindowId::frmPizzaTimer);
        QVERIFY(w != nullptr && QTest::qWaitForWindowActive(w));
    }
    void at(QTime time) { app->fakes.clock.set(QDateTime(QDate(2026, 12, 6), time)); }
    void go(const QString& entry, QTime time = QTime(18, 40, 10))
    {
        at(time);
        w->txtTime()->setText(entry);
        QTest::mouseClick(w->Go(), Qt::LeftButton);
    }
    // The timer's tick, which only comes while it runs.
    void tick(QTime time)
    {
        QVERIFY(w->PizzaTimer()->isActive());
        at(time);
        w->PizzaTimer_Timer();
    }
    QStringList panels() const
    {
        QStringList texts;
        for (int i = 1; i <= crypt()->StatusBar1()->count(); ++i)
            texts << ToQString(crypt()->StatusBar1()->text(i));
        return texts;
    }
    QColor display() const { return w->Label2()->palette().color(QPalette::WindowText); }
    // "counting" while only Stopp and Lukk work and the timer runs, "idle" for the reverse; any other
    // mix shows as the enabled flags and the timer.
    QString mode() const
    {
        QString flags;
        for (const QWidget* control : std::initializer_list<const QWidget*>{
                 w->Go(), w->txtTime(), w->Grandiosa(), w->BigOne(), w->Annet(), w->Stopp()})
            flags += control->isEnabled() ? '1' : '0';
        flags += w->PizzaTimer()->isActive() ? 'T' : '-';
        return flags == "000001T" ? "counting" : flags == "111110-" ? "idle" : flags;
    }
    const QString Welcome = "Velkommen til qelCrypto Kaktus";

private slots:
    // Label2 after each tick, from "GO!" to the end, in both uses: the clock at each tick and what it
    // shows then, the first at "GO!".
    void countdown_data()
    {
        const QString grandi =
            "18:40:10 12 min., 18:40:59 12 min., 18:41:00 11 min., 18:51:59 1 min., 18:52:00 FERDIG!";
        // clang-format off
        AddRows<CountdownRow>({
            {"Grandiosa, logged in", {true, "12", grandi}},
            {"start at minute 55 runs into the next hour", {false, "12", "18:55:00 12 min., 19:03:00 4 min., 19:07:00 FERDIG!"}},
            {"a late tick jumps", {true, "59", "09:00:00 59 min., 09:58:30 1 min., 09:59:00 FERDIG!"}},
            {"blanks read as 0, which ends at once", {true, " ", "18:40:10 FERDIG!"}},
            {"13.5 counts 14", {false, " 13.5 min", "18:40:10 14 min., 18:53:59 1 min., 18:54:00 FERDIG!"}},
            {"clock set back ends it", {true, "12", "18:40:10 12 min., 18:39:00 FERDIG!"}},
        });
        // clang-format on
    }
    void countdown()
    {
        const auto& [loggedIn, entry, ticks] = TheRow<CountdownRow>();
        QList<QPair<QTime, QString>> steps;
        for (const QString& tick : ticks.split(", "))
            steps << qMakePair(QTime::fromString(tick.left(8)), tick.mid(9));
        open(loggedIn);
        const QFont caption = w->findChild<QLabel*>("Label1")->font(), shown = w->Label2()->font();
        QVERIFY2(shown.pointSizeF() > caption.pointSizeF() && shown.bold(), "the time left shows large");
        go(entry, steps[0].first);
        QCOMPARE(mode(), steps.size() == 1 ? "idle" : "counting");
        for (qsizetype i = 0; i < steps.size(); ++i) {
            if (i > 0)
                tick(steps[i].first);
            QCOMPARE(w->Label2()->text(), steps[i].second);
            // The main window's second panel follows the count, and after the end holds a new tip.
            const QString panel =
                i + 1 < steps.size() ? steps[i].second + " left on Grandi'en" : ToQString(TipText(4));
            if (loggedIn) {
                QCOMPARE(panels(), QStringList({Welcome, panel}));
                QVERIFY(crypt()->StatusBar1()->isSizedToContents(2));
            }
        }
        QCOMPARE(display(), QColor(255, 0, 0));
        QCOMPARE(mode(), "idle");
        QCOMPARE(app->fakes.beep.beeps(), 1);
        QVERIFY(app->fakes.dialogs.shown().empty());
        // "MYE?" leaves the colour as it was; a new start is back in the button-text colour.
        go("60");
        QCOMPARE(w->Label2()->text(), "MYE?");
        QCOMPARE(display(), QColor(255, 0, 0));
        go("5");
        QCOMPARE(w->Label2()->text(), "5 min.");
        QCOMPARE(display(), w->palette().color(QPalette::ButtonText));
    }

    // 60, the first too many, is refused at the end of countdown; here the other ways to be refused.
    void refused_data()
    {
        AddRows<RefusedRow>({
            {"empty", {"", ""}},
            {"beyond any width", {"99999999999999999999", "MYE?"}},
            {"negative", {"-1", "Minus?"}},
            {"negative beyond 16 bits", {"-40000", "Minus?"}},
        });
    }
    void refused()
    {
        const auto& [entry, display] = TheRow<RefusedRow>();
        open(true);
        w->Go()->setFocus();
        go(entry);
        QCOMPARE(w->Label2()->text(), display);
        QCOMPARE(mode(), "idle");
        QVERIFY(w->txtTime()->hasFocus());
        QCOMPARE(panels(), QStringList({Welcome, ToQString(TipText(4))}));
        QCOMPARE(app->fakes.beep.beeps(), 0);
    }

    void kinds()
    {
        open(false);
        // The first, chosen on loading, is clicked again: that too puts its minutes back.
        const std::tuple<QRadioButton*, QString, QString> rows[] = {
            {w->Grandiosa(), "12", "Grandi"}, {w->Annet(), "", "Pizza"}, {w->BigOne(), "25", "Big1"}};
        for (const auto& [button, minutes, kind] : rows) {
            w->Lukk()->setFocus();
            w->txtTime()->setText("30");
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(w->txtTime()->text(), minutes);
            QCOMPARE(ToQString(app->state.PizzaKind), kind);
            QCOMPARE(w->txtTime()->hasFocus(), button == w->Annet());
        }
        // The arrow keys choose in the group as a click does, round at the ends.
        QTest::keyClick(w->Grandiosa(), Qt::Key_Up);
        QVERIFY(w->Annet()->isChecked() && w->txtTime()->hasFocus()); // "Other" asks for the minutes
        QTest::keyClick(w->Annet(), Qt::Key_Right);
        QVERIFY(w->Grandiosa()->isChecked() && w->Grandiosa()->hasFocus());
        QTest::keyClick(w->Grandiosa(), Qt::Key_Down);
        QVERIFY(w->BigOne()->isChecked() && w->BigOne()->hasFocus());
        // Enter in the entry is "GO!", from either Enter key, on Big One's 25 minutes; other keys type.
        QTest::keyClick(w->txtTime(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(w->Label2()->text(), "25 min.");
        QTest::mouseClick(w->Stopp(), Qt::LeftButton);
        w->txtTime()->clear();
        QTest::keyClicks(w->txtTime(), "7");
        QTest::keyClick(w->txtTime(), Qt::Key_D, Qt::AltModifier); // an access key, never typed
        QCOMPARE(w->txtTime()->text(), "7");
        QTest::keyClick(w->txtTime(), Qt::Key_Return);
        QCOMPARE(w->Label2()->text(), "7 min.");
        QCOMPARE(ToQString(app->state.PizzaKind), "Big1");
    }

    // Hidden by "Lukk", the countdown runs on in the status bar and its end comes in a box; ticks that
    // fall due while the box is open change nothing.
    void hiddenEnd()
    {
        open(true);
        go("12");
        QTest::mouseClick(w->Lukk(), Qt::LeftButton);
        QStringList whileOpen;
        app->fakes.dialogs.whileNextMessageShows([&] {
            whileOpen = panels();
            tick(QTime(18, 52, 5));
            tick(QTime(18, 53, 0));
            whileOpen << w->Label2()->text() << QString::number(app->fakes.beep.beeps());
        });
        tick(QTime(18, 52, 0));
        const MessageBoxRequest done{U"Grandi'en er ferdig!!!", U"Info om Grandi'en din!", MessageButtons::Ok,
                                     MessageIcon::Exclamation};
        QVERIFY(app->fakes.dialogs.shown() == std::vector<FakeDialogs::Shown>{done});
        QCOMPARE(whileOpen, QStringList({Welcome, "Grandi'en er ferdig!!", "FERDIG!", "0"}));
        QCOMPARE(panels(), QStringList({Welcome, ToQString(TipText(4))}));
        QVERIFY(!w->isVisible());
        QCOMPARE(mode(), "idle");
        QCOMPARE(app->fakes.beep.beeps(), 1);

        // Opened again from the menu before the end: no box.
        go("3");
        crypt()->findChild<QAction*>("menuPizzaTimer")->trigger();
        QVERIFY(w->isVisible() && !app->state.PizzaHidden);
        tick(QTime(18, 43, 0)); // still counting
        QCOMPARE(w->Label2()->text(), "FERDIG!");
        QCOMPARE(app->fakes.dialogs.shown().size(), 1u);
    }

    // "Lukk", as the close box does (one road, taken standalone here): hidden and counting when logged
    // in, unloaded, stopped and back to the login window when standalone. Only the main window's command
    // clears the hidden flag: hidden and logged out, a standalone countdown still ends in a box. The real
    // timer drives the display while it runs; a fresh load is a Grandiosa that looks at the clock every 5 s.
    void closing_data()
    {
        AddRows<ClosingRow>({{"Lukk, logged in", {true, false}},
                             {"Lukk, standalone", {false, false}},
                             {"close box, standalone", {false, true}}});
    }
    void closing()
    {
        const auto& [loggedIn, closeBox] = TheRow<ClosingRow>();
        open(loggedIn);
        QTest::mouseClick(w->BigOne(), Qt::LeftButton);
        go("30");
        w->PizzaTimer()->setInterval(10);
        at(QTime(18, 43, 0));
        QTRY_COMPARE(w->Label2()->text(), "27 min.");
        closeBox ? (void)w->close() : QTest::mouseClick(w->Lukk(), Qt::LeftButton);
        QCOMPARE(app->state.PizzaHidden, loggedIn);
        QCOMPARE(mode(), loggedIn ? "counting" : "idle");
        if (loggedIn) {
            QVERIFY(!w->isVisible() && crypt()->isVisible());
            crypt()->findChild<QAction*>("loggut")->trigger();
            QCOMPARE(mode(), "idle");
        }
        QTRY_VERIFY(app->rules.Find(WindowId::frmPizzaTimer) == nullptr);
        QVERIFY(login()->isVisible());
        open(false);
        QCOMPARE(ToQString(app->state.PizzaKind), "Grandi");
        QCOMPARE(w->PizzaTimer()->interval(), 5000);
        go("0");
        QCOMPARE(app->fakes.dialogs.messages().size(), loggedIn ? 1u : 0u);
        QVERIFY(w->isVisible());
    }

    // At a scale of 2 (the scale-2 run of this test) the heart is the drawing made for it, not the small
    // one enlarged.
    void heartDrawnForTheScale()
    {
        open(false);
        if (w->devicePixelRatio() != 2)
            QSKIP("scale 1: the scale-2 run of this test covers it");
        const auto picture = [](const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); };
        QCOMPARE(picture(w->findChild<QLabel*>("GrandiHjerte")->pixmap().toImage()),
                 picture(QImage(":/pictures/grandihjerte@2x.gif")));
    }

    // "Stopp" ends the countdown without a beep and gives the main window a new tip. After a panic the
    // same countdown can be reopened from the login window as nobody's: the tip panel it took from the
    // main window is still given back.
    void panicThenStandalone()
    {
        open(true);
        app->fakes.random = ScriptedRandom({0.0});
        go("12");
        crypt()->findChild<QAction*>("panikk")->trigger();
        QWidget* panic = app->rules.Find<QWidget>(WindowId::frmPanikk);
        QVERIFY(QTest::qWaitForWindowActive(panic));
        QTest::keyClick(panic, Qt::Key_Space);
        open(false);
        QVERIFY(!app->state.LoggedIn);
        tick(QTime(18, 45, 0)); // still counting
        QCOMPARE(panels(), QStringList({Welcome, "7 min. left on Grandi'en"}));
        QTest::mouseClick(w->Stopp(), Qt::LeftButton);
        QCOMPARE(w->Label2()->text(), "Stoppet");
        QCOMPARE(display(), w->palette().color(QPalette::ButtonText));
        QCOMPARE(mode(), "idle");
        QCOMPARE(panels(), QStringList({Welcome, ToQString(TipText(1))}));
        QCOMPARE(app->fakes.beep.beeps(), 0);
    }
};

QTEST_MAIN(frmPizzaTimerTest)
#include "frmPizzaTimerTest.moc"
