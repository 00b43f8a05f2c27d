#include "Program.h"

#include "platform/KeyDrive.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <utility>

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

void AfterFirstPaint(QWidget* window, std::function<void()> work)
{
    // Watches from outside the window, so that the work still runs when the window goes first.
    class Watch final : public QObject
    {
    public:
        Watch(QWidget* window, std::function<void()> work) : m_work(std::move(work))
        {
            window->installEventFilter(this);
            connect(window, &QObject::destroyed, this, &Watch::run);
        }
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint) {
                watched->removeEventFilter(this);
                // After the paint has reached the screen, not inside it.
                QTimer::singleShot(0, this, &Watch::run);
            }
            return false;
        }

    private:
        void run()
        {
            if (m_work)
                std::exchange(m_work, nullptr)();
            deleteLater();
        }
        std::function<void()> m_work;
    };
    new Watch(window, std::move(work));
}

CommandLine ParseCommandLine(const QStringList& arguments)
{
    // Qt's own help and error texts are English; these options and texts are ours.
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption keyDisk(QStringLiteral("keydisk"), QString(), QStringLiteral("mappe"));
    parser.addOptions({help, version, keyDisk});

    CommandLine line;
    const auto fail = [&line](const QString& message) {
        line.action = CommandLine::Action::Error;
        line.message = message + QStringLiteral("\nSkriv «qelCrypto --help» for å se valgene.");
        return line;
    };
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.first();
            return fail(QStringLiteral("Ukjent valg: %1%2").arg(name.size() == 1 ? "-" : "--", name));
        }
        return fail(QStringLiteral("Valget --keydisk trenger en mappe."));
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("Ukjent argument: %1").arg(parser.positionalArguments().first()));

    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        line.message =
            QStringLiteral("Bruk: qelCrypto [valg]\n"
                           "Forkler korte tekster med fire protokoller.\n"
                           "\n"
                           "Valg:\n"
                           "  -h, --help         Vis denne hjelpen.\n"
                           "  -v, --version      Vis versjonen.\n"
                           "  --keydisk <mappe>  Bruk <mappe> som nøkkeldisk (stasjon A:) i stedet for\n"
                           "                     diskettstasjonen, %1.\n"
                           "                     Uten valget: har stasjon A: ingen nøkkelfil, leses den\n"
                           "                     første disken montert under /media eller /run/media\n"
                           "                     som har en (en minnepinne, for eksempel); KeyDisk\n"
                           "                     lages der når stasjon A: ikke er klar.")
                .arg(DirectoryDrive::DriveA());
    } else if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        line.message = QStringLiteral("qelCrypto %1").arg(QCoreApplication::applicationVersion());
    }
    if (parser.isSet(keyDisk))
        line.keyDisk = parser.value(keyDisk);
    return line;
}

QStringList WithoutQtOptions(const QStringList& arguments)
{
    // The options Qt's application, its platform plugins and its style take, with one dash or two.
    static const QStringList withValue{"platform",
                                       "platformpluginpath",
                                       "platformtheme",
                                       "plugin",
                                       "qwindowgeometry",
                                       "geometry",
                                       "qwindowtitle",
                                       "title",
                                       "qwindowicon",
                                       "icon",
                                       "session",
                                       "style",
                                       "stylesheet",
                                       "display",
                                       "name",
                                       "visual"};
    static const QStringList flags{"reverse", "testability", "widgetcount", "nograb", "dograb", "sync"};
    static const QStringList joined{"style=", "stylesheet=", "qmljsdebugger="};

    QStringList ours;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (i == 0 || !argument.startsWith(QLatin1Char('-')) || argument.startsWith(QLatin1String("---"))) {
            ours << argument;
            continue;
        }
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (withValue.contains(name) && i + 1 < arguments.size())
            ++i;
        else if (!flags.contains(name) &&
                 std::none_of(joined.begin(), joined.end(),
                              [&name](const QString& stem) { return name.startsWith(stem); }))
            ours << argument;
    }
    return ours;
}

QIcon ApplicationIcon()
{
    QIcon pictures;
    for (const int size : {16, 32, 48, 64, 128, 256})
        pictures.addPixmap(
            Picture(QStringLiteral(":/pictures/icons/hicolor/%1x%1/apps/qelcrypto.png").arg(size)));
    return pictures;
}

QPixmap Picture(const QString& path)
{
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace qel
