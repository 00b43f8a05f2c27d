// How long a window takes from its menu command to its first painted frame, measured on whatever Qt
// platform the environment selects (offscreen by default; run it under Xvfb with
// QT_QPA_PLATFORM=xcb for a real X server).
#include "app/ApplicationState.h"
#include "app/WindowRules.h"
#include "cipher/RandomSource.h"
#include "platform/Beep.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/KeyDrive.h"
#include "platform/Printer.h"
#include "platform/QtDialogs.h"
#include "windows/Registry.h"
#include "windows/common/Design.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace qel {
namespace {

// Stops the clock once the watched widget has painted for the first time.
class FirstPaint final : public QObject
{
public:
    explicit FirstPaint(QString name) : m_name(std::move(name)) {}
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!painted && event->type() == QEvent::Paint && watched->objectName() == m_name) {
            watched->event(event);
            painted = true;
            return true;
        }
        return false;
    }

private:
    QString m_name;
};

struct Program {
    QtDialogs dialogs;
    QtClipboard clipboard;
    SystemClock clock;
    SeededRandom random = SeededRandom::fromClock();
    DesktopBeep beep{nullptr, [] {}};
    QTemporaryDir driveRoot;
    DirectoryDrive drive{driveRoot.path()};
    PdfPrinter printer{driveRoot.filePath(QStringLiteral("page.pdf"))};
    Services services{dialogs, clipboard, clock, random, beep, drive, printer};
    ApplicationState state;
    WindowRules windows;

    Program()
    {
        RegisterWindows({state, windows, services});
        windows.Show(WindowId::frmCrypt);
        QCoreApplication::processEvents();
    }
    ~Program() { windows.UnloadAll(); }
};

// The command, then events until the window (or the named widget inside it) has painted.
void OpenWindow(benchmark::State& run, const char* command, WindowId window, const char* painted)
{
    Program program;
    QAction* action =
        program.windows.Find<QWidget>(WindowId::frmCrypt)->findChild<QAction*>(QString::fromLatin1(command));
    for (auto _ : run) {
        FirstPaint paint{QString::fromLatin1(painted)};
        qApp->installEventFilter(&paint);
        QElapsedTimer clock;
        clock.start();
        action->trigger();
        while (!paint.painted && clock.elapsed() < 5000)
            QCoreApplication::processEvents();
        run.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        qApp->removeEventFilter(&paint);
        if (!paint.painted)
            run.SkipWithError("the window never painted");
        program.windows.Unload(window);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void BM_OpenVignereVisual(benchmark::State& run)
{
    OpenWindow(run, "vignereVisual", WindowId::frmVignereVisual, "grid");
}
BENCHMARK(BM_OpenVignereVisual)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_OpenPizzaTimer(benchmark::State& run)
{
    OpenWindow(run, "menuPizzaTimer", WindowId::frmPizzaTimer, "GrandiHjerte");
}
BENCHMARK(BM_OpenPizzaTimer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace
} // namespace qel

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setFont(qel::Design::SansSerif(8));
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
