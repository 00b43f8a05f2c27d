#include "windows/access/frmPanikk.h"
#include "platform/QtText.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "tests/support/qt/Rows.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

// key (0: a click on the text, -1: beside it), text, leaves
using KeyRow = std::tuple<int, QString, bool>;

// Each test starts on the panic screen, reached with F5's command from the main window.
class frmPanikkTest : public WindowTest
{
    Q_OBJECT

    frmPanikk* w = nullptr;

    bool left() const { return !w->isVisible() && app->rules.Find(WindowId::frmLogin)->isShown(); }
    void prepare() override
    {
        app->rules.Show(WindowId::frmCrypt);
        app->rules.Find<QWidget>(WindowId::frmCrypt)->findChild<QAction*>("panikk")->trigger();
        w = app->rules.Find<frmPanikk>(WindowId::frmPanikk);
        QVERIFY(w != nullptr && QTest::qWaitForWindowActive(w));
    }

private slots:

    // A line's last blank is dropped where it breaks, and a word longer than a line is cut. The crash text
    // laid out so at the label's 65 columns, centred on the crash screen's blue over the whole screen, is
    // the window design test's picture of this window.
    void wrapping()
    {
        const auto wrap = [](const Text& text, int columns) {
            QStringList lines;
            for (const Text& line : WrapAtBlanks(text, columns))
                lines << ToQString(line);
            return lines.join('|');
        };
        QCOMPARE(wrap(U"ab cd", 5), "ab cd");
        QCOMPARE(wrap(U"ab  cd", 5), "ab  |cd");
        QCOMPARE(wrap(U"abc  d", 3), "abc| d");
        QCOMPARE(wrap(U"abcdefg h", 3), "abc|def|g h");
        QCOMPARE(wrap(U"", 3), "");
    }

    // With two screens (the two-screen run of this test), the text goes where the main window was and
    // the other screen is covered in blue; leaving uncovers both.
    void textOnTheMainWindowsScreen()
    {
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (screens.size() < 2)
            QSKIP("one screen: the two-screen run of this test covers it");
        QTest::keyClick(w, Qt::Key_Space);
        auto* main = app->rules.Find<QWidget>(WindowId::frmCrypt);
        main->move(screens[1]->geometry().topLeft() + QPoint(40, 40));
        app->rules.Show(WindowId::frmCrypt);
        QTRY_COMPARE(main->screen(), screens[1]);
        main->findChild<QAction*>("panikk")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(w));
        const auto covered = [&] {
            QStringList screensCovered;
            for (const QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->isVisible() && widget->geometry() == widget->screen()->geometry())
                    screensCovered << QString::number(screens.indexOf(widget->screen())) +
                                          (widget == w ? " text" : " blue");
            }
            screensCovered.sort();
            return screensCovered.join(", ");
        };
        QCOMPARE(covered(), "0 blue, 1 text");
        QTest::keyClick(w, Qt::Key_Space);
        QVERIFY(left());
        QCOMPARE(covered(), "");
    }

    // The panic screen takes the keys that type and the clicks, and leaves; other keys go on to Qt.
    void keysAndClicksThatLeave_data()
    {
        // clang-format off
        AddRows<KeyRow>({
            {"Space", {int(Qt::Key_Space), " ", true}},
            {"Escape", {int(Qt::Key_Escape), "\x1b", true}},
            {"F5", {int(Qt::Key_F5), "", false}},
            {"Shift", {int(Qt::Key_Shift), "", false}},
            {"click on the text", {0, "", true}},
            {"click beside it", {-1, "", true}},
        });
        // clang-format on
    }
    void keysAndClicksThatLeave()
    {
        const auto& [key, text, leaves] = TheRow<KeyRow>();
        QWidget* target = key == 0 ? static_cast<QWidget*>(w->lblPanikk()) : w;
        const QPointF at(5, 5);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QMouseEvent click(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QEvent* event = key > 0 ? static_cast<QEvent*>(&press) : &click;
        event->ignore(); // as an event arrives that no one has taken yet
        QApplication::sendEvent(target, event);
        QCOMPARE(event->isAccepted(), leaves);
        QCOMPARE(left(), leaves);
        QVERIFY(app->rules.IsLoaded(WindowId::frmPanikk));
    }
};

QTEST_MAIN(frmPanikkTest)
#include "frmPanikkTest.moc"
