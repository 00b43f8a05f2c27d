#include "windows/accessories/frmVignereVisual.h"

#include "tests/support/qt/ProgramUnderTest.h"
#include "tests/support/qt/Rows.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QtTest>

using namespace qel;
using namespace qel::testing;

namespace {

const QString Alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZÆØÅ");

using Cells = QList<int>;
using Names = QStringList;

Cells Range(int first, int last, int step = 1)
{
    Cells cells;
    for (int i = first; i <= last; i += step)
        cells << i;
    return cells;
}

// Gathers the areas a widget paints.
struct PaintSpy : QObject {
    PaintSpy(QWidget* widget, QRegion& painted) : painted(painted) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion& painted;
};

} // namespace

// steps, green, red, redHeaders, refused (the box a refused step gives the focus back to, with a beep)
using MarkingRow = std::tuple<QStringList, Cells, Cells, Names, QString>;

class frmVignereVisualTest : public WindowTest
{
    Q_OBJECT

    frmVignereVisual* w = nullptr;

    void open() { QVERIFY((w = show<frmVignereVisual>(WindowId::frmVignereVisual)) != nullptr); }
    // "M a b" types a into Text1 and b into Text2 and clicks "Marker"; "K a b c" types into Text3,
    // Text4 and Text1 and clicks "MarkerKol".
    void run(const QString& step)
    {
        const QStringList parts = step.split(' ');
        const bool column = parts[0] == "K";
        QLineEdit* boxes[] = {column ? w->Text3() : w->Text1(), column ? w->Text4() : w->Text2(), w->Text1()};
        for (qsizetype i = 1; i < parts.size(); ++i)
            boxes[i - 1]->setText(QString(parts[i]).replace('_', ' '));
        QTest::mouseClick(column ? w->Command2() : w->Command1(), Qt::LeftButton);
    }
    // Every label that is not white, as name=colour, sorted.
    QStringList marked() const
    {
        QStringList names;
        for (const auto& label : w->findChild<LetterGrid*>()->labels())
            if (label->backColor() != Qt::white)
                names << label->objectName() + "=" + label->backColor().name();
        names.sort();
        return names;
    }

    QAccessibleInterface* table() const
    {
        return QAccessible::queryAccessibleInterface(w->findChild<QWidget*>("grid"));
    }
    // What a screen reader is told is selected, walking the table and its headers, as marked() says it.
    QStringList selectedForScreenReader() const
    {
        QStringList names;
        const auto note = [&names](QAccessibleInterface* square, const QString& name) {
            if (square->state().selected)
                names << name + "=" +
                             (square->text(QAccessible::Description) == "Rød" ? "#ff0000" : "#00ff00");
        };
        QAccessibleTableInterface* grid = table()->tableInterface();
        for (int row = 0; row < 29; ++row)
            for (int column = 0; column < 29; ++column) {
                QAccessibleTableCellInterface* cell = grid->cellAt(row, column)->tableCellInterface();
                note(grid->cellAt(row, column), QString("lblFirkant(%1)").arg(29 * row + column + 1));
                if (column == 0)
                    note(cell->rowHeaderCells().value(0), QString("lblVertikal(%1)").arg(row));
                if (row == 0)
                    note(cell->columnHeaderCells().value(0), QString("lblHorisontal(%1)").arg(column));
            }
        names.sort();
        return names;
    }

private slots:
    // The grid as a screen reader meets it (the window design test holds its picture, all white): a table
    // of letters under their headers, each cell on its square, in reading order.
    void loadsAsDesigned()
    {
        open();
        QAccessibleInterface* grid = table();
        QCOMPARE(grid->role(), QAccessible::Table);
        QAccessibleTableInterface* rows = grid->tableInterface();
        QVERIFY(rows != nullptr);
        QCOMPARE(QList<int>({rows->rowCount(), rows->columnCount(), grid->childCount()}),
                 QList<int>({29, 29, 29 + 29 * 30}));
        QString reading;
        for (int i = 0; i < 29 + 30; ++i)
            reading += grid->child(i)->text(QAccessible::Name);
        QCOMPARE(reading, Alphabet + "A" + Alphabet.mid(1) + "A");

        QAccessibleInterface* h = rows->cellAt(2, 4); // row 3, column 5: cell 63
        QAccessibleTableCellInterface* cell = h->tableCellInterface();
        QVERIFY(cell != nullptr);
        const QRect square = w->lblFirkant(63)->geometry();
        QCOMPARE(h->rect(), QRect(w->mapToGlobal(square.topLeft()), square.size()));
        QCOMPARE(grid->childAt(h->rect().center().x(), h->rect().center().y()), h);
        const QPoint corner = grid->child(0)->rect().center(); // the first header, the first child
        QCOMPARE(grid->childAt(corner.x(), corner.y()), grid->child(0));
        QCOMPARE(grid->child(grid->indexOfChild(h)), h);
        QCOMPARE(h->parent(), grid);
        QCOMPARE(h->childCount(), 0); // a leaf: it has no child to give
        QCOMPARE(
            (QStringList{h->text(QAccessible::Name), cell->rowHeaderCells().value(0)->text(QAccessible::Name),
                         cell->columnHeaderCells().value(0)->text(QAccessible::Name)}),
            (QStringList{"H", "C", "E"}));
        // A row's and a column's description is its header; none past either end.
        QCOMPARE(
            (QStringList{rows->rowDescription(2), rows->columnDescription(4), rows->rowDescription(-1),
                         rows->rowDescription(29), rows->columnDescription(-1), rows->columnDescription(29)}),
            (QStringList{"C", "E", "", "", "", ""}));
        QCOMPARE(
            (QList<QAccessible::Role>{h->role(), cell->rowHeaderCells().value(0)->role(),
                                      cell->columnHeaderCells().value(0)->role()}),
            (QList<QAccessible::Role>{QAccessible::Cell, QAccessible::RowHeader, QAccessible::ColumnHeader}));
        QCOMPARE(QList<int>({cell->rowIndex(), cell->columnIndex(), cell->rowExtent(), cell->columnExtent()}),
                 QList<int>({2, 4, 1, 1}));
        // The first row's header is a row header too; an index past either end is no child.
        QAccessibleTableCellInterface* first = rows->cellAt(0, 0)->tableCellInterface();
        QCOMPARE((QList<QAccessible::Role>{first->rowHeaderCells().value(0)->role(),
                                           first->columnHeaderCells().value(0)->role()}),
                 (QList<QAccessible::Role>{QAccessible::RowHeader, QAccessible::ColumnHeader}));
        QVERIFY(grid->child(grid->childCount()) == nullptr && grid->child(-1) == nullptr);
        QVERIFY(rows->cellAt(29, 0) == nullptr && rows->cellAt(1000, 0) == nullptr &&
                rows->cellAt(0, 29) == nullptr);

        // A whole row or column marked counts as a selected row or column; there is none past the last.
        // The first row, against a column other than the first, so that their crossing is off the diagonal.
        run("M 1 40");
        run("K 2 29 1");
        QCOMPARE(rows->selectedRows(), QList<int>{0});
        QCOMPARE(rows->selectedColumns(), QList<int>{1});
        QCOMPARE(rows->selectedCellCount(), 29 + 28);
        // Only the window's buttons mark: a screen reader's requests to mark and unmark are refused.
        QVERIFY(!rows->selectRow(5) && !rows->selectColumn(5) && !rows->unselectRow(0) &&
                !rows->unselectColumn(1));
        QVERIFY(rows->selectedRows() == QList<int>{0} && rows->selectedColumns() == QList<int>{1});
        QVERIFY(!rows->isRowSelected(29) && !rows->isColumnSelected(29));
    }

    // A box out of its range, or without a number (which reads as 0, as "0" here), refuses the step: the
    // first such box takes the focus with its text selected, and nothing is marked.
    void marking_data()
    {
        // clang-format off
        AddRows<MarkingRow>({
            {"row 3 col 5", {Names{"M 3 5"}, Range(59, 62), Cells{63}, Names(), ""}},
            {"col 40: all green", {Names{"M 3 40"}, Range(59, 87), Cells(), Names(), ""}},
            {"col 0", {Names{"M 3 0"}, Cells(), Cells{59}, Names(), ""}},
            {"row 1 col 1", {Names{"M 1 1"}, Cells(), Cells{1}, Names(), ""}},
            {"last cell", {Names{"M 29 29"}, Range(813, 840), Cells{841}, Names(), ""}},
            {"read as numbers", {Names{"M _2.5x 3.5"}, Range(30, 32), Cells{33}, Names(), ""}},
            {"col 4, 3 rows, header 2", {Names{"K 4 3 2"}, Cells{4, 33, 62}, Cells(), Names{"lblVertikal(3)", "lblHorisontal(1)"}, ""}},
            {"no rows", {Names{"K 29 0 29"}, Cells(), Cells(), Names{"lblVertikal(28)", "lblHorisontal(28)"}, ""}},
            {"last column, all rows", {Names{"K 29 255 1"}, Range(29, 841, 29), Cells(), Names{"lblVertikal(28)", "lblHorisontal(0)"}, ""}},
            {"green over red", {Names{"M 3 5", "M 3 9"}, Range(59, 66), Cells{67}, Names(), ""}},
            {"red over green", {Names{"M 3 9", "M 3 5"}, (Range(59, 62) + Range(64, 66)), Cells{63, 67}, Names(), ""}},
            {"Marker, Text1 0", {Names{"M 0 5"}, Cells(), Cells(), Names(), "Text1"}},
            {"Marker, Text1 30", {Names{"M 30 5"}, Cells(), Cells(), Names(), "Text1"}},
            {"Marker, Text1 -1", {Names{"M -1 5"}, Cells(), Cells(), Names(), "Text1"}},
            {"Marker, Text2 256", {Names{"M 3 256"}, Cells(), Cells(), Names(), "Text2"}},
            {"MarkerKol, Text3 0", {Names{"K 0 3 2"}, Cells(), Cells(), Names(), "Text3"}},
            {"MarkerKol, Text4 256", {Names{"K 4 256 2"}, Cells(), Cells(), Names(), "Text4"}},
            {"MarkerKol, Text1 30", {Names{"K 4 3 30"}, Cells(), Cells(), Names(), "Text1"}},
            {"MarkerKol, Text1 0", {Names{"K 4 3 0"}, Cells(), Cells(), Names(), "Text1"}},
            {"MarkerKol, all bad: the first", {Names{"K 30 300 0"}, Cells(), Cells(), Names(), "Text3"}},
        });
        // clang-format on
    }
    void marking()
    {
        const auto& [steps, green, red, redHeaders, refused] = TheRow<MarkingRow>();
        open();
        for (const QString& step : steps)
            run(step);
        QStringList expected;
        for (int i : green + red)
            expected << QString("lblFirkant(%1)=%2").arg(i).arg(red.contains(i) ? "#ff0000" : "#00ff00");
        for (const QString& header : redHeaders)
            expected << header + "=#ff0000";
        expected.sort();
        QCOMPARE(marked(), expected);
        QCOMPARE(selectedForScreenReader(), expected);
        QCOMPARE(app->fakes.beep.beeps(), refused.isEmpty() ? 0 : 1);
        if (!refused.isEmpty()) {
            auto* box = w->findChild<QLineEdit*>(refused);
            QCOMPARE(w->focusWidget(), box);
            QVERIFY(box->hasSelectedText() && box->selectedText() == box->text());
        }
    }

    // A screen reader hears of the changes to a square it has read: a mark as the square selected and
    // described anew, a new letter as a new name. Offscreen no screen reader can listen; the run of this
    // test on X with an accessibility bus covers it.
    void announcesChanges()
    {
        if (QGuiApplication::platformName() == "offscreen")
            QSKIP("no accessibility bus offscreen");
        QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
        open();
        QAccessibleInterface* square = table()->tableInterface()->cellAt(2, 4); // lblFirkant(63)
        static QStringList heard;
        heard.clear();
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            QAccessibleInterface* from = event->accessibleInterface();
            if (from == nullptr || from->role() != QAccessible::Cell)
                return;
            const QString name = from->text(QAccessible::Name);
            if (event->type() == QAccessible::StateChanged &&
                static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().selected)
                heard << name + (from->state().selected ? " selected" : " not selected");
            else if (event->type() == QAccessible::DescriptionChanged)
                heard << name + " " + from->text(QAccessible::Description);
            else if (event->type() == QAccessible::NameChanged)
                heard << name;
        });
        run("M 3 5");
        w->lblFirkant(63)->setText("h");
        w->lblFirkant(64)->setText("i"); // never read: nothing to tell
        QAccessible::installUpdateHandler(nullptr);
        QCOMPARE(heard, QStringList({"H selected", "H Rød", "h"}));
        QCOMPARE(square->text(QAccessible::Name), "h");
    }

    // A mark is painted at once, where it is. A closed window is unloaded: the one that opens next is new,
    // white as marking's refused rows find it after the marks of the rows before, with empty boxes as in
    // its picture.
    void marksArePainted()
    {
        open();
        QRegion painted;
        PaintSpy spy(w->findChild<QWidget*>("grid"), painted);
        run("M 3 5");
        QTRY_VERIFY(painted.contains(w->lblFirkant(59)->geometry()) &&
                    painted.contains(w->lblFirkant(63)->geometry()));
        QVERIFY(!painted.intersects(w->lblFirkant(64)->geometry()));
        // What a screen reader was given of a square goes with the window.
        const QAccessible::Id square = QAccessible::uniqueId(table()->tableInterface()->cellAt(2, 4));
        const QImage shot = w->grab().toImage();
        const QPoint grid = w->findChild<QWidget*>("grid")->pos();
        QCOMPARE(shot.pixelColor(grid + w->lblFirkant(62)->geometry().topLeft()), QColor(0, 255, 0));
        QCOMPARE(shot.pixelColor(grid + w->lblFirkant(63)->geometry().topLeft()), QColor(255, 0, 0));
        QCOMPARE(shot.pixelColor(grid + w->lblFirkant(64)->geometry().topLeft()), QColor(Qt::white));
        w->close();
        QTRY_VERIFY(!app->rules.IsLoaded(WindowId::frmVignereVisual) &&
                    QApplication::topLevelWidgets().isEmpty());
        QVERIFY(QAccessible::accessibleInterface(square) == nullptr);
    }
};

QTEST_MAIN(frmVignereVisualTest)
#include "frmVignereVisualTest.moc"
