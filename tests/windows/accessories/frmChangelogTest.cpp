#include "windows/accessories/frmChangelog.h"

#include "platform/QtText.h"
#include "platform/TextBox.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "windows/main/frmCrypt.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace qel;

class frmChangelogTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<testing::ProgramUnderTest> app;
    frmCrypt* crypt = nullptr;
    frmChangelog* log = nullptr;

    void open()
    {
        log = static_cast<frmChangelog*>(app->rules.Show(WindowId::frmChangelog));
        QVERIFY(QTest::qWaitForWindowActive(log));
    }
    QString text() const { return ToQString(log->Text1()->text()); }

private slots:
    void init()
    {
        app = std::make_unique<testing::ProgramUnderTest>();
        crypt = static_cast<frmCrypt*>(app->rules.Show(WindowId::frmCrypt));
        crypt->move(30, 40); // away from the screen's centre, where the window would centre without it
        open();
    }
    void cleanup()
    {
        app.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Tab order: Tilbake, Print, the text box. Typing into the box changes nothing.
    void opensAsDesigned()
    {
        QCOMPARE(log->windowTitle(), "qelCrypto - Changelog");
        QCOMPARE(log->minimumSize(), QSize(297, 282));
        QCOMPARE(log->maximumSize(), QSize(297, 282));
        QCOMPARE(log->windowFlags() & (Qt::Tool | Qt::WindowMinMaxButtonsHint), Qt::WindowFlags(Qt::Tool));
        QCOMPARE(log->frameGeometry().center(), crypt->frameGeometry().center());
        QCOMPARE((QList<QRect>{log->Text1()->geometry(), log->cmdChangelogPrint()->geometry(),
                               log->cmdBack()->geometry()}),
                 (QList<QRect>{{0, 0, 297, 257}, {88, 264, 81, 17}, {176, 264, 121, 17}}));
        QCOMPARE((QStringList{log->cmdChangelogPrint()->text(), log->cmdBack()->text()}),
                 (QStringList{"Print", "Tilbake"}));
        QCOMPARE(text(), "Hva er vitsen med changelog?\r\n");
        QCOMPARE(log->Text1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        QTRY_COMPARE(QApplication::focusWidget(), log->cmdBack());
        for (QWidget* next : {(QWidget*)log->cmdChangelogPrint(), (QWidget*)log->Text1()}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClicks(log->Text1(), "x");
        QTest::keyClick(log->Text1(), Qt::Key_Return);
        QCOMPARE(text(), "Hva er vitsen med changelog?\r\n");
    }

    // "Tilbake" unloads the window and brings up the main window, even from hidden; the close box
    // only unloads. The next Show loads the window afresh.
    void closingUnloads_data()
    {
        QTest::addColumn<bool>("tilbake");
        QTest::addColumn<bool>("mainHidden");
        QTest::newRow("Tilbake") << true << false;
        QTest::newRow("Tilbake, main window hidden") << true << true;
        QTest::newRow("close box") << false << false;
    }
    void closingUnloads()
    {
        QFETCH(bool, tilbake);
        QFETCH(bool, mainHidden);
        if (mainHidden)
            app->rules.Hide(WindowId::frmCrypt);
        log->Text1()->setText(U"endret");
        const QPointer<frmChangelog> old = log;
        if (tilbake)
            QTest::mouseClick(log->cmdBack(), Qt::LeftButton);
        else
            log->close();
        QVERIFY(!app->rules.IsLoaded(WindowId::frmChangelog));
        QTRY_VERIFY(old.isNull());
        QCOMPARE(crypt->isVisible(), tilbake || !mainHidden);
        if (tilbake)
            QTRY_COMPARE(QApplication::activeWindow(), crypt);
        open();
        QCOMPARE(text(), "Hva er vitsen med changelog?\r\n");
    }

    // Print sends the box's text as one page, or says why nothing came out; the window stays open.
    void printPrintsTheChangelog_data()
    {
        QTest::addColumn<int>("planted"); // -1: none
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("icon");
        QTest::newRow("printed") << -1 << QString() << 0;
        QTest::newRow("no printer") << int(PrintOutcome::NoPrinter)
                                    << "Fant ingen skriver, så ingenting ble skrevet ut."
                                    << int(MessageIcon::Exclamation);
        QTest::newRow("failed") << int(PrintOutcome::Failed)
                                << "Utskriften feilet! Sjekk skriveren og prøv igjen."
                                << int(MessageIcon::Critical);
    }
    void printPrintsTheChangelog()
    {
        QFETCH(int, planted);
        QFETCH(QString, box);
        QFETCH(int, icon);
        if (planted >= 0)
            app->fakes.printer.failNextPrint(PrintOutcome(planted));
        QTest::mouseClick(log->cmdChangelogPrint(), Qt::LeftButton);
        QCOMPARE(app->fakes.printer.prints(), 1);
        const std::vector<MessageBoxRequest> boxes = app->fakes.dialogs.messages();
        QCOMPARE(boxes.size(), box.isEmpty() ? 0u : 1u);
        if (!box.isEmpty())
            QVERIFY(boxes[0] == (MessageBoxRequest{FromQString(box), U"qelPortal", MessageButtons::Ok,
                                                   MessageIcon(icon)}));
        QVERIFY(app->rules.IsLoaded(WindowId::frmChangelog) && log->isVisible());
        QCOMPARE(QFile::exists(app->fakes.printer.pdfPath()), box.isEmpty());
        if (box.isEmpty()) {
            QCOMPARE(testing::PdfLines(app->fakes.printer.pdfPath()),
                     QStringList{"Hva er vitsen med changelog?"});
            QCOMPARE(testing::PdfPages(app->fakes.printer.pdfPath()), 1);
        }
    }
};

QTEST_MAIN(frmChangelogTest)
#include "frmChangelogTest.moc"
