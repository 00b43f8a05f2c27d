#include "windows/Program.h"

#include "tests/support/qt/Rows.h"

#include <QWidget>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

// arguments after the program's name, action, keyDisk, a part of the message
using ArgumentsRow = std::tuple<QStringList, CommandLine::Action, QString, QString>;

// The program's command line and icon; when it ends is walked through by the navigation test.
class ProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        using enum CommandLine::Action;
        // clang-format off
        AddRows<ArgumentsRow>({
            {"nothing", {{}, Run, {}, {}}},
            {"keydisk", {{"--keydisk", "/media/kaktus/NØKKEL"}, Run, "/media/kaktus/NØKKEL", {}}},
            {"help names drive A:", {{"--help"}, Help, {}, "i stedet for\n                     diskettstasjonen, /media/floppy0."}},
            {"help names the mounted media", {{"--help"}, Help, {}, "første disken montert under /media eller /run/media\n"}},
            {"short help wins", {{"--keydisk", "/x", "-h"}, Help, "/x", "Bruk: qelCrypto [valg]"}},
            {"version", {{"-v"}, Version, {}, "qelCrypto "}},
            {"stray argument", {{"tekst.txt"}, Error, {}, "Ukjent argument: tekst.txt"}},
            {"Qt's options left to Qt", {{"-style", "fusion", "--platform", "xcb", "-reverse", "--keydisk", "/x"}, Run, "/x", {}}},
            {"Qt's joined option", {{"-style=fusion", "--bogus"}, Error, {}, "Ukjent valg: --bogus"}},
        });
        // clang-format on
    }
    // Help, version and errors come in Norwegian, and errors say how to get help; all are answered from
    // the arguments as they are before Qt takes its own out, as the program does without a display
    // (where tests/CMakeLists.txt runs it with an unknown option and a --keydisk without its folder).
    void commandLine()
    {
        const auto& [arguments, action, keyDisk, message] = TheRow<ArgumentsRow>();
        const CommandLine line = ParseCommandLine(WithoutQtOptions(QStringList{"qelCrypto"} + arguments));
        QCOMPARE(line.action, action);
        QCOMPARE(line.keyDisk.value_or(QString()), keyDisk);
        QVERIFY2(line.message.contains(message), qPrintable(line.message));
        QCOMPARE(line.message.isEmpty(), message.isEmpty());
        QCOMPARE(line.message.contains("qelCrypto --help"), action == CommandLine::Action::Error);
    }

    // Work held back for the first paint runs once, after it, and still runs for a window closed unpainted.
    void afterFirstPaint()
    {
        struct Canvas : QWidget {
            int paints = 0;
            void paintEvent(QPaintEvent*) override { ++paints; }
        } window;
        int paintsBefore = -1, runs = 0, unpainted = 0;
        AfterFirstPaint(&window, [&] { paintsBefore = window.paints, ++runs; });
        auto* never = new QWidget;
        AfterFirstPaint(never, [&unpainted] { ++unpainted; });
        QCoreApplication::processEvents();
        QCOMPARE(runs + unpainted, 0);
        window.show();
        QTRY_COMPARE(runs, 1);
        QCOMPARE(paintsBefore, 1);
        window.repaint();
        QCoreApplication::processEvents();
        QCOMPARE(runs, 1);
        delete never;
        QCOMPARE(unpainted, 1);
    }

    // The pictures are written by our own PNG writer: each size must decode to the padlock as drawn,
    // not be scaled from another.
    void iconComesInEveryDrawnSize_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {16, 32, 48, 64, 128, 256})
            QTest::addRow("%d", size) << size;
    }
    void iconComesInEveryDrawnSize()
    {
        QFETCH(int, size);
        const QIcon icon = ApplicationIcon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        const QImage picture = icon.pixmap(QSize(size, size)).toImage();
        QCOMPARE(picture.size(), QSize(size, size));
        QCOMPARE(picture.pixelColor(0, 0).alpha(), 0);
        // Inside the Q on the lock's body.
        const QColor body = picture.pixelColor(size * 7 / 16, size * 23 / 32);
        QCOMPARE(body.alpha(), 255);
        QVERIFY2(body.red() > 150 && body.green() < 60 && body.blue() < 60, qPrintable(body.name()));
    }

    // Read without asking the plugins first, each picture must still come out as a guessing reader
    // reads it.
    void picturesReadAsDrawn_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* name : {"login-icon.xpm", "keydisk.xpm", "grandihjerte.gif",
                                 "icons/hicolor/256x256/apps/qelcrypto.png"})
            QTest::addRow("%s", name) << QStringLiteral(":/pictures/%1").arg(QLatin1String(name));
    }
    void picturesReadAsDrawn()
    {
        QFETCH(QString, path);
        const QImage picture = Picture(path).toImage();
        const QImage guessed = QImage(path).convertToFormat(picture.format());
        QVERIFY(!picture.isNull());
        QCOMPARE(picture, guessed);
    }
};

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
