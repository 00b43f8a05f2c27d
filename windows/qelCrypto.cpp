#include "app/ApplicationState.h"
#include "app/WindowRules.h"
#include "os/Answer.h"
#include "os/Files.h"
#include "os/Fonts.h"
#include "os/Memory.h"
#include "platform/Beep.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/KeyDrive.h"
#include "platform/Printer.h"
#include "platform/QtDialogs.h"
#include "windows/Program.h"
#include "windows/Registry.h"

#include <QApplication>
#include <QWidget>

namespace {

// Prints the help, the version or an error; the status for the process to end with.
int Answer(const qel::CommandLine& line)
{
    const bool error = line.action == qel::CommandLine::Action::Error;
    const QString text =
        (error ? QStringLiteral("qelCrypto: ") : QString()) + line.message + QLatin1Char('\n');
    qel::os::ShowAnswer(text.toStdString(), error);
    return error ? 2 : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication::setApplicationName(QStringLiteral("qelCrypto"));
    QApplication::setApplicationVersion(QStringLiteral(QEL_VERSION));

    // Our options are read before the application connects to a display, so that help, the version and
    // a wrong option are answered without one. Qt then takes its own options (-style, -platform …) out,
    // and what it leaves is read again.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const qel::CommandLine early = qel::ParseCommandLine(qel::WithoutQtOptions(arguments));
        early.action != qel::CommandLine::Action::Run)
        return Answer(early);

    // Read while the application connects to the display, and waited for before the first window.
    qel::os::FontConfigurationReader fonts;
    QApplication application(argc, argv);
    const qel::CommandLine commandLine = qel::ParseCommandLine(QApplication::arguments());
    if (commandLine.action != qel::CommandLine::Action::Run)
        return Answer(commandLine);
    qel::SetUpApplication();
    // A session that ends while the key disk is written leaves no half-written key file on the stick.
    qel::os::RemoveUnfinishedFileWhenEnded();

    qel::QtDialogs dialogs;
    qel::QtClipboard clipboard;
    qel::SystemClock clock;
    qel::SeededRandom random = qel::SeededRandom::fromClock();
#ifdef Q_OS_WIN
    qel::DesktopBeep beep(qel::PlayMessageBeep, qel::RingBell);
#else
    qel::CanberraPlayer sounds;
    qel::DesktopBeep beep([&sounds](const std::string& event) { return sounds.play(event); }, qel::RingBell);
#endif
    // --keydisk names the one directory to use; without it, drive A: and the media a desktop mounts.
    qel::DirectoryDrive keyDiskDirectory(commandLine.keyDisk.value_or(QString()));
    qel::MediaDrive media(qel::DirectoryDrive(qel::DirectoryDrive::DriveA(), qel::DirectoryDrive::MountPoint),
                          qel::MountedMedia, [](const QStringList& labels) {
                              return qel::QtDialogs::chooseItem(
                                  QStringLiteral("qelPortal"),
                                  QStringLiteral("Hvilken disk skal bli KeyDisk?"), labels);
                          });
    qel::KeyDrive& drive = commandLine.keyDisk ? static_cast<qel::KeyDrive&>(keyDiskDirectory) : media;
    qel::SystemPrinter printer;
    qel::Services services{dialogs, clipboard, clock, random, beep, drive, printer};
    qel::ApplicationState state;
    qel::WindowRules windows;
    qel::RegisterWindows({state, windows, services});

    qel::QuitWhenAllUnloaded(windows, &application, [] { QApplication::quit(); });

    fonts.Wait();
    windows.Show(qel::StartWindow);
    // What the login window does not need waits until it has painted: the program's icon (the login
    // window has its own), looked up in the icon theme and read in six sizes, took a tenth of the
    // start-up; and freed buffers are kept for the next command only from then on, so that those of
    // the start-up itself are still returned.
    qel::AfterFirstPaint(windows.Find<QWidget>(qel::StartWindow), [] {
        QApplication::setWindowIcon(qel::ApplicationIcon());
        qel::os::KeepLargeBuffers();
    });
    const int status = QApplication::exec();
    windows.UnloadAll();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
