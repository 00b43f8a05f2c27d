#include "app/ApplicationState.h"
#include "app/WindowRules.h"
#include "platform/Beep.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/KeyDrive.h"
#include "platform/Printer.h"
#include "platform/QtDialogs.h"
#include "windows/Program.h"
#include "windows/Registry.h"
#include "windows/common/Design.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qelCrypto"));
    QApplication::setApplicationVersion(QStringLiteral(QEL_VERSION));
    // Qt has taken its own options (-style, -platform …) out of the arguments by now.
    const qel::CommandLine commandLine = qel::ParseCommandLine(QApplication::arguments());
    switch (commandLine.action) {
    case qel::CommandLine::Action::Run:
        break;
    case qel::CommandLine::Action::Help:
    case qel::CommandLine::Action::Version:
        std::fputs(qPrintable(commandLine.message + QLatin1Char('\n')), stdout);
        return 0;
    case qel::CommandLine::Action::Error:
        std::fputs(qPrintable(QStringLiteral("qelCrypto: ") + commandLine.message + QLatin1Char('\n')),
                   stderr);
        return 2;
    }
    QApplication::setDesktopFileName(QStringLiteral("qelcrypto"));
    QApplication::setWindowIcon(qel::ApplicationIcon());
    QApplication::setFont(qel::Design::SansSerif(8));
    // The program ends when no window is loaded, not when the last visible one closes: a window may
    // wait hidden behind the others.
    QApplication::setQuitOnLastWindowClosed(false);

    qel::QtDialogs dialogs;
    qel::QtClipboard clipboard;
    qel::SystemClock clock;
    qel::SeededRandom random = qel::SeededRandom::fromClock();
    qel::CanberraPlayer sounds;
    qel::DesktopBeep beep([&sounds](const std::string& event) { return sounds.play(event); }, qel::RingBell);
    qel::DirectoryDrive drive =
        commandLine.keyDisk
            ? qel::DirectoryDrive(*commandLine.keyDisk, qel::DirectoryDrive::Directory)
            : qel::DirectoryDrive(qel::DirectoryDrive::DriveA(), qel::DirectoryDrive::MountPoint);
    qel::SystemPrinter printer;
    qel::Services services{dialogs, clipboard, clock, random, beep, drive, printer};
    qel::ApplicationState state;
    qel::WindowRules windows;
    qel::RegisterWindows({state, windows, services});

    qel::QuitWhenAllUnloaded(windows, &application, [] { QApplication::quit(); });

    windows.Show(qel::StartWindow);
    const int status = QApplication::exec();
    windows.UnloadAll();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
