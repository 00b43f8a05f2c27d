#include "platform/Printer.h"

#include "platform/QtText.h"
#include "tests/support/qt/FakeServices.h"

#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace qel;
using namespace qel::testing;

class PrinterTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString pdf() const { return dir.filePath("page.pdf"); }

private slots:
    // A line for each CR LF or LF, blank lines kept, all on one page.
    void printsTheLinesOnOnePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF, Norwegian letters")
            << "Blåbærsyltetøy\r\nÆRØ og ære\r\nsiste linje"
            << QStringList{"Blåbærsyltetøy", "ÆRØ og ære", "siste linje"};
        QTest::newRow("LF, blank line") << "over\n\nunder" << QStringList{"over", "", "under"};
    }
    void printsTheLinesOnOnePage()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        PdfPrinter printer(pdf());
        QCOMPARE(printer.printPage(FromQString(text)), PrintOutcome::Printed);
        QCOMPARE(PdfPages(pdf()), 1);
        QCOMPARE(PdfLines(pdf()), lines);
    }

    // The lines below the page's foot are left out rather than carried over to a second page.
    void aTallTextIsCutAtThePageFoot()
    {
        QString tall;
        for (int line = 1; line <= 200; ++line)
            tall += QString("linje %1\r\n").arg(line);
        QCOMPARE(PdfPrinter(pdf()).printPage(FromQString(tall)), PrintOutcome::Printed);
        QCOMPARE(PdfPages(pdf()), 1);
        const QStringList printed = PdfLines(pdf());
        QCOMPARE(printed.size(), 65); // 11-point lines on an A4 page inside its margins
        QCOMPARE(printed.first(), "linje 1");
        QCOMPARE(printed.last(), QString("linje %1").arg(printed.size()));
    }

    void aFileThatCannotBeWrittenFails()
    {
        const QString path = dir.filePath("mangler/page.pdf");
        QCOMPARE(PdfPrinter(path).printPage(U"Hei\r\n"), PrintOutcome::Failed);
        QVERIFY(!QFile::exists(path));
    }

    // Without a print server Qt knows no default printer. Where one is set up, printing would put
    // paper in its tray, so the case is left out there.
    void withoutADefaultPrinterNothingIsPrinted()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a default printer; the test would print a real page on it");
        QCOMPARE(SystemPrinter().printPage(U"Hei\r\n"), PrintOutcome::NoPrinter);
    }
};

QTEST_MAIN(PrinterTest)
#include "PrinterTest.moc"
