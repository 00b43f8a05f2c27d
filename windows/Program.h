#pragma once

#include "app/WindowRules.h"

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QObject;
class QWidget;

namespace qel {

// What holds for the whole program, set once before its first window: the name its windows go by on
// the desktop, the font of every control that has none of its own, and an end that comes when no window
// is loaded, not when the last visible one closes (a window may wait hidden behind the others).
void SetUpApplication();

// Ends the program once no window is loaded. The collection can empty for a moment inside a handler
// (logging out unloads everything, then shows a fresh login window before it returns), so the check
// after an unload waits until control is back in the event loop and quits only if the collection is
// still empty. Windows that are loaded but all hidden by then (the login window closed after a panic,
// with the main window behind it) can never be reached again, so they are unloaded and the program
// ends. The checks belong to context and stop with it.
void QuitWhenAllUnloaded(WindowRules& windows, QObject* context, std::function<void()> quit);

// What the command line asks for. A key disk can live on any medium: "--keydisk DIR" names the
// directory that serves as drive A: instead of the platform's diskette drive.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::optional<QString> keyDisk;
    // The help, the version line or the error, in Norwegian, for the caller to print.
    QString message;
};
// Reads the arguments of the program (the first is its own name), after Qt has taken its own out.
CommandLine ParseCommandLine(const QStringList& arguments);
// The arguments without the options that Qt takes for itself (-style fusion, -platform xcb, …), so
// that ours can be read before the application connects to a display.
QStringList WithoutQtOptions(const QStringList& arguments);
// Runs work once, when control is back in the event loop after window first painted (or was destroyed
// without ever painting): what the first sight of the program does not need waits until it shows.
void AfterFirstPaint(QWidget* window, std::function<void()> work);
// The icon of every window that has none of its own, in each drawn size: the pictures the package also
// installs for the desktop entry. Not looked up in the icon theme, whose index (over 50 KB for hicolor)
// took almost a megabyte to read, to find the same pictures.
QIcon ApplicationIcon();
// One of our pictures, read by Qt's own reader for the format its name ends in. A reader left to guess
// asks every image plugin first, which loaded them all (and libjpeg) before the first window showed.
QPixmap Picture(const QString& path);

} // namespace qel
