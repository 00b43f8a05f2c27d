#include "windows/Program.h"

#include <QtTest>

using namespace qel;

// The program's command line and icon; when it ends is walked through by the navigation test.
class ProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("keyDisk");
        QTest::addColumn<QString>("message");
        using Action = CommandLine::Action;
        const auto row = [](const char* name, QStringList arguments, Action action, QString keyDisk,
                            QString message) {
            QTest::newRow(name) << (QStringList{"qelCrypto"} + arguments) << int(action) << keyDisk
                                << message;
        };
        row("nothing", {}, Action::Run, {}, {});
        row("keydisk", {"--keydisk", "/media/kaktus/NØKKEL"}, Action::Run, "/media/kaktus/NØKKEL", {});
        row("keydisk with =", {"--keydisk=/mnt/a b"}, Action::Run, "/mnt/a b", {});
        row("help names drive A:", {"--help"}, Action::Help, {},
            "i stedet for\n                     diskettstasjonen, /media/floppy0.");
        row("help names the mounted media", {"--help"}, Action::Help, {},
            "første disken montert under /media eller /run/media\n");
        row("short help wins", {"--keydisk", "/x", "-h"}, Action::Help, "/x", "Bruk: qelCrypto [valg]");
        row("version", {"-v"}, Action::Version, {}, "qelCrypto ");
        row("stray argument", {"tekst.txt"}, Action::Error, {}, "Ukjent argument: tekst.txt");
        row("Qt's options left to Qt",
            {"-style", "fusion", "--platform", "xcb", "-reverse", "--keydisk", "/x"}, Action::Run, "/x", {});
        row("Qt's joined option", {"-style=fusion", "--bogus"}, Action::Error, {}, "Ukjent valg: --bogus");
    }
    // Help, version and errors come in Norwegian, and errors say how to get help; all are answered from
    // the arguments as they are before Qt takes its own out, as the program does without a display
    // (where tests/CMakeLists.txt runs it with an unknown option and a --keydisk without its folder).
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, keyDisk);
        QFETCH(QString, message);
        const CommandLine line = ParseCommandLine(WithoutQtOptions(arguments));
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.keyDisk.value_or(QString()), keyDisk);
        QVERIFY2(line.message.contains(message), qPrintable(line.message));
        QCOMPARE(line.message.isEmpty(), message.isEmpty());
        QCOMPARE(line.message.contains("qelCrypto --help"), action == int(CommandLine::Action::Error));
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
