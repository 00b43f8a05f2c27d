#include "tests/support/qt/ProgramUnderTest.h"
#include "windows/access/frmPanikk.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

// The windows as a client of a real Wayland compositor: tests/wayland/run starts a headless weston.
class WaylandTest : public WindowTest
{
    Q_OBJECT

    // Everything sent before has reached the compositor and its answers have come back: a new window's
    // first configure follows them.
    static bool roundTrip()
    {
        QWidget probe;
        probe.setFixedSize(10, 10);
        probe.show();
        return QTest::qWaitForWindowExposed(&probe);
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("wayland"))
            QSKIP("needs a Wayland compositor: run through tests/wayland/run");
    }

    // Qt draws a maximise button on every window, and pressing it asks for exactly this. A window of
    // fixed size keeps it, and the compositor keeps the program.
    void maximiseLeavesTheSize_data() { everyWindow({WindowId::frmPanikk}); }
    void maximiseLeavesTheSize()
    {
        QFETCH(WindowId, id);
        QWidget* window = show(id, false);
        QVERIFY(window != nullptr);
        const QSize size = window->size();
        window->windowHandle()->setWindowStates(Qt::WindowMaximized);
        QVERIFY(roundTrip());
        // It may take the screen's size for a moment; then it is restored.
        QWindow* handle = window->windowHandle();
        QTRY_VERIFY(!(handle->windowStates() & Qt::WindowMaximized) && handle->maximumSize() == size &&
                    window->size() == size && !window->isMaximized());
        QVERIFY(roundTrip());
    }

    // Wayland clients cannot place themselves: a window over the main one names it as its parent, and
    // the compositor places it.
    void parentsNamed()
    {
        QWidget* main = show(WindowId::frmCrypt, false);
        QVERIFY(main != nullptr);
        for (WindowId id : {WindowId::frmGreetz, WindowId::frmChangelog}) {
            QWidget* window = show(id, false);
            QVERIFY(window != nullptr);
            QCOMPARE(window->windowHandle()->transientParent(), main->windowHandle());
        }
    }

    // F5 on the main window: the output shows crash blue everywhere but in the text, as the
    // compositor's own screenshot tells.
    void panicCoversTheOutput()
    {
        QWidget* main = show(WindowId::frmCrypt, false);
        QVERIFY(main != nullptr);
        main->findChild<QAction*>("panikk")->trigger();
        auto* panic = app->rules.Find<frmPanikk>(WindowId::frmPanikk);
        QVERIFY(panic != nullptr && QTest::qWaitForWindowExposed(panic));
        QRect text = panic->lblPanikk()->geometry();
        text.moveTopLeft(panic->mapToGlobal(text.topLeft()));
        QImage output;
        // Pixels, one in 16 across and down, that are not crash blue outside the text.
        const auto stray = [&output, text] {
            QTemporaryDir dir;
            QProcess shooter;
            shooter.setWorkingDirectory(dir.path());
            shooter.start("weston-screenshooter", {});
            const QStringList shots = shooter.waitForFinished(20000) && shooter.exitCode() == 0
                                          ? QDir(dir.path()).entryList({"*.png"})
                                          : QStringList();
            output = shots.size() == 1 ? QImage(dir.filePath(shots.first())) : QImage();
            int count = output.isNull() ? -1 : 0;
            for (int y = 0; y < output.height(); y += 16)
                for (int x = 0; x < output.width(); x += 16)
                    count += output.pixelColor(x, y) != QColor(0, 0, 170) && !text.contains(x, y);
            return count;
        };
        QTRY_COMPARE_WITH_TIMEOUT(stray(), 0, 15000);
        if (const QByteArray keep = qgetenv("QEL_SCREENSHOTS"); !keep.isEmpty())
            output.save(QString::fromLocal8Bit(keep) + "/wayland-panic-screen.png");
    }
};

QTEST_MAIN(WaylandTest)
#include "WaylandTest.moc"
