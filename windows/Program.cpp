#include "Program.h"

#include <QCommandLineParser>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
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

QIcon ApplicationIcon()
{
    QIcon pictures;
    for (const int size : {16, 32, 48, 64, 128, 256})
        pictures.addFile(QStringLiteral(":/pictures/icons/hicolor/%1x%1/apps/qelcrypto.png").arg(size),
                         QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("qelcrypto"), pictures);
}

} // namespace qel
