#include "Program.h"

#include <QCommandLineParser>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace qel {

void QuitWhenAllUnloaded(WindowRules& windows, QObject* context, std::function<void()> quit)
{
    // One check is enough however many windows a handler unloads.
    auto pending = std::make_shared<bool>(false);
    windows.onUnloaded([&windows, context = QPointer<QObject>(context), pending, quit = std::move(quit)] {
        if (*pending || context.isNull())
            return;
        *pending = true;
        QTimer::singleShot(0, context, [&windows, pending, quit] {
            *pending = false;
            if (windows.Loaded().empty())
                quit();
            else if (!windows.AnyShown())
                windows.UnloadAll();
        });
    });
}

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Forkler korte tekster med fire protokoller."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption keyDisk(QStringLiteral("keydisk"),
                                     QStringLiteral("Bruk <mappe> som nøkkeldisk (stasjon A:) i stedet for "
                                                    "diskettstasjonen."),
                                     QStringLiteral("mappe"));
    parser.addOption(keyDisk);
    parser.process(arguments);

    CommandLine line;
    if (parser.isSet(keyDisk))
        line.keyDisk = parser.value(keyDisk);
    return line;
}

} // namespace qel
