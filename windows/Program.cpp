#include "Program.h"

#include "platform/KeyDrive.h"
#include "windows/common/Design.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIconEngine>
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

void SetUpApplication()
{
    QApplication::setDesktopFileName(QStringLiteral("qelcrypto"));
    QApplication::setFont(Design::SansSerif(8));
    QApplication::setQuitOnLastWindowClosed(false);
}

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

namespace {

// Where a key disk is looked for when drive A: has none, as this system names it.
#ifdef Q_OS_WIN
constexpr char OtherMedia[] = "                     første flyttbare stasjonen som har en (en minnepinne,\n"
                              "                     for eksempel); KeyDisk lages der når stasjon A: ikke\n"
                              "                     er klar.";
#else
constexpr char OtherMedia[] = "                     første disken montert under /media eller /run/media\n"
                              "                     som har en (en minnepinne, for eksempel); KeyDisk\n"
                              "                     lages der når stasjon A: ikke er klar.";
#endif

} // namespace

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
                           "%2")
                .arg(DirectoryDrive::DriveA(), QString::fromUtf8(OtherMedia));
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

namespace {

constexpr int IconSizes[] = {16, 32, 48, 64, 128, 256};

// The icon's pictures, read the first time a window asks for one of them. The login window has an icon
// of its own, so they are not read, and do not take memory, until another window shows.
class DrawnIconEngine final : public QIconEngine
{
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return pictures().pixmap(size, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        pictures().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return pictures().actualSize(size, mode, state);
    }
    // What the pictures would say, without reading them.
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        QList<QSize> sizes;
        if (mode == QIcon::Normal && state == QIcon::Off) {
            for (const int size : IconSizes)
                sizes << QSize(size, size);
        }
        return sizes;
    }
    QIconEngine* clone() const override { return new DrawnIconEngine(*this); }

private:
    const QIcon& pictures()
    {
        if (m_pictures.isNull()) {
            for (const int size : IconSizes)
                m_pictures.addPixmap(
                    Picture(QStringLiteral(":/pictures/icons/hicolor/%1x%1/apps/qelcrypto.png").arg(size)));
        }
        return m_pictures;
    }

    QIcon m_pictures;
};

} // namespace

QIcon ApplicationIcon()
{
    return QIcon(new DrawnIconEngine);
}

QPixmap Picture(const QString& path)
{
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace qel
