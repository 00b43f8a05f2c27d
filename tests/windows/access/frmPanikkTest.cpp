#include "windows/access/frmPanikk.h"
#include "platform/QtText.h"
#include "tests/support/qt/FakeServices.h"
#include "windows/Registry.h"
#include "windows/access/frmLogin.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

class frmPanikkTest : public QObject
{
    Q_OBJECT

    ApplicationState state;
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<WindowRules> rules;
    frmPanikk* w = nullptr;

    // Logged in as the guest, then F5's command.
    void panic()
    {
        rules->Show(WindowId::frmCrypt);
        rules->Find<QWidget>(WindowId::frmCrypt)->findChild<QAction*>("panikk")->trigger();
        w = rules->Find<frmPanikk>(WindowId::frmPanikk);
        QVERIFY(w != nullptr && QTest::qWaitForWindowActive(w));
    }
    bool left() const { return !w->isVisible() && rules->Find(WindowId::frmLogin)->isShown(); }

private slots:
    void init()
    {
        state = ApplicationState{};
        fakes = std::make_unique<FakeServices>();
        rules = std::make_unique<WindowRules>();
        RegisterWindows({state, *rules, fakes->services});
        panic();
    }
    void cleanup()
    {
        rules->UnloadAll();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void crashText()
    {
        const Text text = PanicText();
        QCOMPARE(text.size(), 501U);
        const Text pieces[] = {U"A fatal exeption 0E has occured at 0028:C0011E36 in VXD MM(01) + 00010E36. "
                               U"The current application "
                               U"will be terminated.",
                               Text(78, U' '),
                               U"* Press any key to terminate the current application.",
                               Text(12, U' '),
                               U"* Press CTRL+ALT+DEL again to restart your computer. You will ",
                               U"\u00A0\u00A0",
                               U"lose any unsaved information in all aplications.",
                               Text(103, U' '),
                               U"Press any key to continue"};
        Text joined;
        for (const Text& piece : pieces)
            joined += piece;
        QCOMPARE(ToQString(text), ToQString(joined));
        QCOMPARE(w->lblPanikk()->text(), ToQString(text));

        // At the 65 columns of the label, the blanks lay the text out as the screen it imitates.
        std::vector<QString> lines;
        for (const Text& line : WrapAtBlanks(text, 65)) {
            lines.push_back(ToQString(line));
            while (lines.back().endsWith(' '))
                lines.back().chop(1);
        }
        const std::vector<QString> screen = {
            "A fatal exeption 0E has occured at 0028:C0011E36 in VXD MM(01) +",
            "00010E36. The current application will be terminated.",
            "",
            "* Press any key to terminate the current application.",
            "* Press CTRL+ALT+DEL again to restart your computer. You will",
            "\u00A0\u00A0lose any unsaved information in all aplications.",
            "",
            QString(21, ' ') + "Press any key to continue"};
        QCOMPARE(lines, screen);
    }

    // A line's last blank is dropped where it breaks, and a word longer than a line is cut.
    void wrapping()
    {
        const auto wrap = [](const Text& text, int columns) {
            QStringList lines;
            for (const Text& line : WrapAtBlanks(text, columns))
                lines << ToQString(line);
            return lines;
        };
        QCOMPARE(wrap(U"ab cd", 5), QStringList{"ab cd"});
        QCOMPARE(wrap(U"ab  cd", 5), QStringList({"ab  ", "cd"}));
        QCOMPARE(wrap(U"abc  d", 3), QStringList({"abc", " d"}));
        QCOMPARE(wrap(U"abcdefg h", 3), QStringList({"abc", "def", "g h"}));
        QCOMPARE(wrap(U"", 3), QStringList());
    }

    // The window covers the screen in the blue of the crash screen, with the text centred on it.
    void coversTheScreen()
    {
        const QRect screen = w->screen()->geometry();
        QCOMPARE(w->geometry(), screen);
        QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(w->palette().color(QPalette::Window), QColor(0, 0, 170));
        QLabel* label = w->lblPanikk();
        QCOMPARE(label->size(), QSize(521, 145));
        QVERIFY(qAbs(2 * label->x() + label->width() - screen.width()) <= 1);
        QVERIFY(qAbs(2 * label->y() + label->height() - screen.height()) <= 1);
        QVERIFY(label->font().fixedPitch());
        const QImage shot = w->grab().toImage();
        QCOMPARE(shot.pixelColor(2, 2), QColor(0, 0, 170));
        // Light text: the first line's first letter has white pixels in it.
        bool white = false;
        for (int x = label->x(); x < label->x() + 8; ++x)
            for (int y = label->y(); y < label->y() + 15; ++y)
                white = white || shot.pixelColor(x, y) == QColor(Qt::white);
        QVERIFY(white);
    }

    void keysThatLeave_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("leaves");
        QTest::newRow("Space") << int(Qt::Key_Space) << true;
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << true;
        QTest::newRow("letter") << int(Qt::Key_Q) << true;
        QTest::newRow("digit") << int(Qt::Key_7) << true;
        QTest::newRow("F5") << int(Qt::Key_F5) << false;
        QTest::newRow("arrow") << int(Qt::Key_Left) << false;
        QTest::newRow("Shift") << int(Qt::Key_Shift) << false;
        QTest::newRow("Control") << int(Qt::Key_Control) << false;
        QTest::newRow("Alt") << int(Qt::Key_Alt) << false;
    }

    void keysThatLeave()
    {
        QFETCH(int, key);
        QTest::keyClick(w, Qt::Key(key));
        QTEST(left(), "leaves");
        QCOMPARE(rules->IsLoaded(WindowId::frmPanikk), true);
    }

    void clicksThatLeave_data()
    {
        QTest::addColumn<bool>("onText");
        QTest::newRow("on the text") << true;
        QTest::newRow("beside it") << false;
    }

    void clicksThatLeave()
    {
        QFETCH(bool, onText);
        QTest::mouseClick(onText ? static_cast<QWidget*>(w->lblPanikk()) : w, Qt::LeftButton, {},
                          QPoint(5, 5));
        QVERIFY(left());
    }

    // The login window comes back emptied, its choice kept; the main window stays hidden behind it.
    void leavingEmptiesTheLogin()
    {
        rules->Show(WindowId::frmLogin);
        auto* login = rules->Find<frmLogin>(WindowId::frmLogin);
        login->txtBrukernavn()->setText("kaktus");
        login->txtPassord()->setText("mez");
        login->Combo1()->setCurrentIndex(2);
        rules->Hide(WindowId::frmLogin);
        QTest::keyClick(w, Qt::Key_A);
        QVERIFY(login->isVisible() && !rules->Find(WindowId::frmCrypt)->isShown());
        QCOMPARE(login->txtBrukernavn()->text() + login->txtPassord()->text(), "");
        QCOMPARE(login->Combo1()->currentText(), "qelChat");
        QCOMPARE(login->Label3()->text(), "Blei du redd?");
        QVERIFY(QTest::qWaitForWindowActive(login));
        QCOMPARE(QApplication::focusWidget(), login->txtBrukernavn());
    }
};

QTEST_MAIN(frmPanikkTest)
#include "frmPanikkTest.moc"
