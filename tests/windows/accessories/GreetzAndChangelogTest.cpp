#include "windows/accessories/frmChangelog.h"
#include "windows/accessories/frmGreetz.h"

#include "platform/QtText.h"
#include "platform/TextBox.h"
#include "tests/support/qt/ProgramUnderTest.h"
#include "tests/support/qt/Rows.h"
#include "windows/main/frmCrypt.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyleOption>
#include <QTest>

using namespace qel;
using namespace qel::testing;

// id, button
using ClosingRow = std::tuple<WindowId, QString>;

// planted (-1: none), box, icon
using PrintRow = std::tuple<int, QString, int>;

// The two little windows of the Dill menu, opened over the main window.
class GreetzAndChangelogTest : public WindowTest
{
    Q_OBJECT

    frmCrypt* crypt = nullptr;

    void prepare() override
    {
        crypt = static_cast<frmCrypt*>(app->rules.Show(WindowId::frmCrypt));
        crypt->move(30, 40); // away from the screen's centre, where the window would centre without it
    }

private slots:

    // Each opens over the main window with its button's focus drawn (the window design test holds their
    // pictures). Its button unloads the window and brings up the main window, even from hidden: the next
    // Show loads the window afresh.
    void closingUnloads_data()
    {
        AddRows<ClosingRow>({{"Greetz, Lukk", {WindowId::frmGreetz, "cmdGreetzBack"}},
                             {"Changelog, Tilbake", {WindowId::frmChangelog, "cmdBack"}}});
    }
    void closingUnloads()
    {
        const auto& [id, button] = TheRow<ClosingRow>();
        const QPointer<QWidget> old = show(id);
        QCOMPARE(old->frameGeometry().center(), crypt->frameGeometry().center());
        // The button that has the focus is drawn as focused: the style draws a focus frame only in a
        // window whose focus the keyboard has moved.
        QStyleOption option;
        option.initFrom(QApplication::focusWidget());
        QVERIFY(qobject_cast<QPushButton*>(QApplication::focusWidget()) &&
                option.state.testFlags(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange));
        app->rules.Hide(WindowId::frmCrypt);
        old->setProperty("used", true);
        QTest::mouseClick(old->findChild<QPushButton*>(button), Qt::LeftButton);
        QTRY_VERIFY(old.isNull());
        QTRY_COMPARE(QApplication::activeWindow(), crypt);
        QVERIFY2(!crypt->testAttribute(Qt::WA_KeyboardFocusChange), "only these two draw focus from opening");
        QVERIFY(!show(id)->property("used").isValid());
    }

    // Print sends the box's text, which typing does not change, as one page, or says why nothing came out;
    // the window stays open.
    void printPrintsTheChangelog_data()
    {
        AddRows<PrintRow>({
            {"printed", {-1, QString(), 0}},
            {"no printer",
             {int(PrintOutcome::NoPrinter), "Fant ingen skriver, så ingenting ble skrevet ut.",
              int(MessageIcon::Exclamation)}},
            {"failed",
             {int(PrintOutcome::Failed), "Utskriften feilet! Sjekk skriveren og prøv igjen.",
              int(MessageIcon::Critical)}},
        });
    }
    void printPrintsTheChangelog()
    {
        const auto& [planted, box, icon] = TheRow<PrintRow>();
        auto* log = show<frmChangelog>(WindowId::frmChangelog);
        QTest::keyClicks(log->Text1(), "x");
        QTest::keyClick(log->Text1(), Qt::Key_Return);
        QCOMPARE(ToQString(log->Text1()->text()), "Hva er vitsen med changelog?\r\n");
        if (planted >= 0)
            app->fakes.printer.failNextPrint(PrintOutcome(planted));
        QTest::mouseClick(log->cmdChangelogPrint(), Qt::LeftButton);
        QCOMPARE(app->fakes.printer.prints(), 1);
        std::vector<MessageBoxRequest> boxes;
        if (!box.isEmpty())
            boxes.push_back({FromQString(box), U"qelPortal", MessageButtons::Ok, MessageIcon(icon)});
        QCOMPARE(app->fakes.dialogs.messages(), boxes);
        QVERIFY(app->rules.IsLoaded(WindowId::frmChangelog) && log->isVisible());
        const QString pdf = app->fakes.printer.pdfPath();
        QCOMPARE(PdfLines(pdf).join("|"),
                 box.isEmpty() ? "Hva er vitsen med changelog?" : "<pdftotext failed>");
        QCOMPARE(PdfPages(pdf), box.isEmpty() ? 1 : -1);
    }
};

QTEST_MAIN(GreetzAndChangelogTest)
#include "GreetzAndChangelogTest.moc"
