// How long a window takes from its menu command to its first painted frame, and the main window from a
// paste or a cipher command on the largest texts to the painted result, measured on whatever Qt
// platform the environment selects (offscreen by default; run it under Xvfb with
// QT_QPA_PLATFORM=xcb for a real X server).
#include "app/ApplicationState.h"
#include "app/WindowRules.h"
#include "bench/Prose.h"
#include "cipher/Calls.h"
#include "cipher/RandomSource.h"
#include "os/Memory.h"
#include "platform/Beep.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/KeyDrive.h"
#include "platform/Printer.h"
#include "platform/QtDialogs.h"
#include "platform/TextBox.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "windows/Registry.h"
#include "windows/common/Design.h"
#include "windows/main/frmCrypt.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <set>
#include <string>

namespace qel {
namespace {

using bench::Key;
using bench::Prose;

// The processor time of the timed stretch, which a loaded machine spreads far less than wall time:
// started with the clock, added to the run's "cpu_ms" counter (the mean over iterations) at the end.
class ProcessorTime
{
public:
    explicit ProcessorTime(benchmark::State& run) : m_run(run) {}
    void stop()
    {
        auto& counter = m_run.counters["cpu_ms"];
        counter = benchmark::Counter(counter.value + 1000.0 * static_cast<double>(std::clock() - m_start) /
                                                         CLOCKS_PER_SEC,
                                     benchmark::Counter::kAvgIterations);
    }

private:
    benchmark::State& m_run;
    std::clock_t m_start = std::clock();
};

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

// Stops the clock once every one of the widgets has painted.
class Painted final : public QObject
{
public:
    explicit Painted(std::set<const QObject*> widgets) : m_pending(std::move(widgets)) {}
    bool done() const { return m_pending.empty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || m_pending.erase(watched) == 0)
            return false;
        watched->event(event);
        return true;
    }

private:
    std::set<const QObject*> m_pending;
};

// The main window over the test doubles, the clipboard and the dialogs among them.
struct MainWindow {
    testing::ProgramUnderTest program;
    frmCrypt* window = nullptr;

    MainWindow()
    {
        program.state.CryptKey = Key;
        program.rules.Show(WindowId::frmCrypt);
        window = program.rules.Find<frmCrypt>(WindowId::frmCrypt);
        QCoreApplication::processEvents();
    }
    ~MainWindow()
    {
        program.rules.UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QAction* command(const char* name) const
    {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }

    // The command, then events until the widgets have painted; false when they never did.
    bool time(benchmark::State& run, const char* name, std::set<const QObject*> widgets) const
    {
        Painted paint(std::move(widgets));
        qApp->installEventFilter(&paint);
        QElapsedTimer clock;
        clock.start();
        ProcessorTime processor(run);
        command(name)->trigger();
        while (!paint.done() && clock.elapsed() < 30000)
            QCoreApplication::processEvents();
        run.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        processor.stop();
        qApp->removeEventFilter(&paint);
        return paint.done();
    }
};

// "Paste" (F3) of a million characters, until the count beside the box and the box have painted.
void BM_PasteMillion(benchmark::State& run)
{
    MainWindow main;
    main.program.fakes.clipboard.setText(Prose(1'000'000));
    const auto* count = main.window->findChild<QLabel*>(QStringLiteral("lblAntTegn"));
    for (auto _ : run) {
        main.window->txtInput()->setText(Text());
        QCoreApplication::processEvents();
        if (!main.time(run, "tekstfrabrett", {count, main.window->txtInput()->viewport()}) ||
            count->text() != QStringLiteral("1000000")) {
            run.SkipWithError("the count never showed");
            break;
        }
    }
}
BENCHMARK(BM_PasteMillion)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

struct CipherCase {
    const char* protocol;
    const char* option;
    std::uint8_t selected;
    const char* command;
    int passes;
    bool decrypt;           // the command decrypts what passes encrypting passes made
    std::size_t length = 0; // 0: the longest prose the passes accept
};

// The longest prose that passes of the protocol encrypt without a box: the search runs the engine the
// window calls, with the same doubles.
std::size_t LongestAccepted(std::uint8_t protocol, int passes)
{
    std::size_t accepted = 0, refused = 40'000;
    while (refused - accepted > 1) {
        const std::size_t length = (accepted + refused) / 2;
        testing::FakeDialogs dialogs;
        testing::ScriptedRandom random{{0.5}};
        const bool ok = Calls::EncryptText(Prose(length), passes, {protocol, false, Key}, dialogs, random) &&
                        dialogs.shown().empty();
        (ok ? accepted : refused) = length;
    }
    return accepted;
}

// One command of the main window on a text it accepts, until the output box has painted the result.
void RunCipherCommand(benchmark::State& run, const CipherCase& c)
{
    MainWindow main;
    main.window->findChild<QRadioButton*>(QString::fromLatin1(c.option))->setChecked(true);
    const std::size_t length = c.length != 0 ? c.length : LongestAccepted(c.selected, c.passes);
    const Text prose = Prose(length);
    Text input = prose;
    if (c.decrypt) {
        testing::FakeDialogs dialogs;
        testing::ScriptedRandom random{{0.5}};
        input = *Calls::EncryptText(prose, c.passes, {c.selected, false, Key}, dialogs, random);
    }
    main.window->txtInput()->setText(input);
    run.counters["characters"] = static_cast<double>(input.size());
    for (auto _ : run) {
        main.window->txtOutput()->setText(Text());
        QCoreApplication::processEvents();
        const bool painted = main.time(run, c.command, {main.window->txtOutput()->viewport()});
        if (!painted || !main.program.fakes.dialogs.messages().empty() ||
            (c.decrypt && main.window->txtOutput()->text() != prose)) {
            run.SkipWithError("the command failed or never painted");
            break;
        }
    }
}

// A million characters laid out three ways: one word with nowhere to wrap, prose, and short lines.
Text EditText(const std::string& kind, std::size_t length)
{
    if (kind == "prose")
        return Prose(length);
    const Text unit = kind == "word" ? Text(U"abcdefghij") : Text(U"abcdefgh\r\n");
    Text text;
    while (text.size() < length)
        text += unit;
    text.resize(length);
    return text;
}

// One key in the input box holding a long text, the cursor at the end, until the box and the
// count beside it have painted. Ctrl+Z undoes a letter typed (untimed) just before.
void RunEdit(benchmark::State& run, const std::string& kind, std::size_t length, int key)
{
    MainWindow main;
    TextBox* box = main.window->txtInput();
    const auto* count = main.window->findChild<QLabel*>(QStringLiteral("lblAntTegn"));
    box->setText(EditText(kind, length));
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    const auto press = [box](int k, Qt::KeyboardModifiers modifiers, const QString& typed) {
        QKeyEvent down(QEvent::KeyPress, k, modifiers, typed);
        QApplication::sendEvent(box, &down);
        QKeyEvent up(QEvent::KeyRelease, k, modifiers, typed);
        QApplication::sendEvent(box, &up);
    };
    for (auto _ : run) {
        const std::size_t before = box->text().size();
        if (key == Qt::Key_Z) {
            press(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            QCoreApplication::processEvents();
        }
        Painted paint({box->viewport(), count});
        qApp->installEventFilter(&paint);
        QElapsedTimer clock;
        clock.start();
        ProcessorTime processor(run);
        if (key == Qt::Key_Z)
            press(Qt::Key_Z, Qt::ControlModifier, QStringLiteral("\x1A"));
        else if (key == Qt::Key_Backspace)
            press(Qt::Key_Backspace, Qt::NoModifier, QString());
        else
            press(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        while (!paint.done() && clock.elapsed() < 120'000)
            QCoreApplication::processEvents();
        run.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        processor.stop();
        qApp->removeEventFilter(&paint);
        // Backspace takes a CR LF pair as one.
        const std::size_t after = box->text().size();
        const bool changed = key == Qt::Key_X   ? after == before + 1
                             : key == Qt::Key_Z ? after == before
                                                : after < before;
        if (!paint.done() || !changed) {
            run.SkipWithError("the edit never painted or changed the text otherwise");
            break;
        }
    }
}

void RegisterEdits()
{
    const std::pair<const char*, int> keys[] = {
        {"type", Qt::Key_X}, {"backspace", Qt::Key_Backspace}, {"undo", Qt::Key_Z}};
    const std::pair<const char*, std::size_t> texts[] = {
        {"word", 1'000'000}, {"prose", 1'000'000}, {"lines", 1'000'000}};
    for (const auto& [kind, length] : texts) {
        for (const auto& [name, key] : keys) {
            const std::string text = kind;
            benchmark::RegisterBenchmark(
                ("BM_Edit/" + text + "/" + name + "/" + std::to_string(length)).c_str(),
                [text, length = length, key = key](benchmark::State& run) {
                    RunEdit(run, text, length, key);
                })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(5);
        }
    }
}

void RegisterCipherCommands()
{
    const CipherCase cases[] = {
        {"Crypt", "Option1", Calls::Crypt, "krypter", 1, false},
        {"Crypt", "Option1", Calls::Crypt, "dekrypter", 1, true},
        {"Rover", "Option2", Calls::Rover, "krypter", 1, false},
        {"Rover", "Option2", Calls::Rover, "crypt3", 3, false},
        {"Rover", "Option2", Calls::Rover, "dekrypter", 3, true},
        {"Begge", "Option3", Calls::Begge, "krypter", 1, false},
        {"Begge", "Option3", Calls::Begge, "crypt3", 3, false},
        {"Begge", "Option3", Calls::Begge, "dekrypter", 3, true},
        {"Vignere", "Option4", Calls::Vignere, "krypter", 1, false, 32767},
        {"Vignere", "Option4", Calls::Vignere, "dekrypter", 1, true, 32767},
        {"Vignere", "Option4", Calls::Vignere, "krypter", 1, false, 1'000'000},
        {"Vignere", "Option4", Calls::Vignere, "dekrypter", 1, true, 1'000'000},
    };
    for (const CipherCase& c : cases) {
        std::string name = std::string("BM_Command/") + c.protocol + "/" + c.command;
        if (c.length != 0)
            name += "/" + std::to_string(c.length);
        benchmark::RegisterBenchmark(name.c_str(), [c](benchmark::State& run) { RunCipherCommand(run, c); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(c.length > 100'000 ? 3 : 10);
    }
}

} // namespace
} // namespace qel

int main(int argc, char** argv)
{
    // As the program does once its first window has painted, so that the figures are the program's.
    qel::os::KeepLargeBuffers();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setFont(qel::Design::SansSerif(8));
    QApplication::setQuitOnLastWindowClosed(false);
    qel::RegisterCipherCommands();
    qel::RegisterEdits();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
