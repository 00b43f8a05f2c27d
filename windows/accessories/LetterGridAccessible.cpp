#include "LetterGridAccessible.h"

#include "frmVignereVisual.h"

#include <QAccessibleWidget>
#include <QColor>
#include <QPointer>

#include <algorithm>
#include <mutex>

namespace qel {
namespace {

bool Marked(const GridLabel& label)
{
    return label.backColor() != Qt::white;
}

class GridSquare;

// The grid as a table of 29 rows and 29 columns under their header letters. Its children are the
// squares in reading order (LetterGrid::labels()); each is made when a screen reader first asks for
// it and lives as long as the table.
class GridTable final : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit GridTable(LetterGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Table), m_squares(grid->labels().size(), 0)
    {}
    ~GridTable() override
    {
        for (QAccessible::Id id : m_squares)
            if (id != 0)
                QAccessible::deleteAccessibleInterface(id);
    }

    LetterGrid* grid() const { return static_cast<LetterGrid*>(widget()); }
    const GridLabel& label(std::size_t index) const { return *grid()->labels()[index]; }
    QAccessibleInterface* square(std::size_t index) const;
    // nullptr until a screen reader has asked for it: nobody needs to hear of its changes before.
    QAccessibleInterface* squareIfMade(std::size_t index) const
    {
        return index < m_squares.size() && m_squares[index] != 0
                   ? QAccessible::accessibleInterface(m_squares[index])
                   : nullptr;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return static_cast<int>(m_squares.size()); }
    QAccessibleInterface* child(int index) const override
    {
        return index >= 0 && index < childCount() ? square(static_cast<std::size_t>(index)) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
        const auto found = std::find(m_squares.begin(), m_squares.end(), id);
        return found == m_squares.end() ? -1 : static_cast<int>(found - m_squares.begin());
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint point = grid()->mapFromGlobal(QPoint(x, y));
        for (std::size_t i = 0; i < m_squares.size(); ++i)
            if (label(i).geometry().contains(point))
                return square(i);
        return nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        return grid()->cell(row, column) != nullptr ? square(LetterGrid::indexOf(row, column)) : nullptr;
    }
    int columnCount() const override { return LetterGrid::Size; }
    int rowCount() const override { return LetterGrid::Size; }
    QString columnDescription(int column) const override
    {
        const GridLabel* header = grid()->columnHeader(column);
        return header != nullptr ? header->text() : QString();
    }
    QString rowDescription(int row) const override
    {
        const GridLabel* header = grid()->rowHeader(row);
        return header != nullptr ? header->text() : QString();
    }

    // The marked squares are the selection; a row or column counts as selected when all of it is.
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (int row = 0; row < LetterGrid::Size; ++row)
            for (int column = 0; column < LetterGrid::Size; ++column)
                if (Marked(*grid()->cell(row, column)))
                    cells << cellAt(row, column);
        return cells;
    }
    bool isRowSelected(int row) const override { return whollyMarked(row, -1); }
    bool isColumnSelected(int column) const override { return whollyMarked(-1, column); }
    QList<int> selectedRows() const override { return wholly(true); }
    QList<int> selectedColumns() const override { return wholly(false); }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
    // Only the window's buttons mark; a screen reader reads.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    // One row (column -1) or one column (row -1), all marked.
    bool whollyMarked(int row, int column) const
    {
        if (row >= LetterGrid::Size || column >= LetterGrid::Size || (row < 0 && column < 0))
            return false;
        for (int k = 0; k < LetterGrid::Size; ++k)
            if (!Marked(*grid()->cell(row < 0 ? k : row, column < 0 ? k : column)))
                return false;
        return true;
    }
    QList<int> wholly(bool rows) const
    {
        QList<int> found;
        for (int k = 0; k < LetterGrid::Size; ++k)
            if (rows ? whollyMarked(k, -1) : whollyMarked(-1, k))
                found << k;
        return found;
    }

    mutable std::vector<QAccessible::Id> m_squares; // 0 where not made yet
};

// One square: a table cell named by its letter, or a row or column header. Its extents are the
// square on the screen; a marked square is selected and says its colour.
class GridSquare final : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    GridSquare(const GridTable& table, std::size_t index)
        : m_table(const_cast<GridTable*>(&table)), m_grid(table.grid()), m_index(index)
    {}

    bool isValid() const override { return m_grid != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_table->window(); }
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation) const override
    {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return m_table; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text kind) const override
    {
        if (!isValid())
            return QString();
        if (kind == QAccessible::Name)
            return label().text();
        if (kind == QAccessible::Description && Marked(label()))
            return label().backColor() == QColor(255, 0, 0) ? QStringLiteral("Rød") : QStringLiteral("Grønn");
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect& square = label().geometry();
        return QRect(m_grid->mapToGlobal(square.topLeft()), square.size());
    }
    QAccessible::Role role() const override
    {
        if (!isValid() || (label().row() >= 0 && label().column() >= 0))
            return QAccessible::Cell;
        return label().row() < 0 ? QAccessible::ColumnHeader : QAccessible::RowHeader;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !isValid() || !m_grid->isVisible();
        state.readOnly = true;
        state.selected = isValid() && Marked(label());
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface && role() == QAccessible::Cell)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        return {m_table->square(LetterGrid::indexOf(-1, columnIndex()))};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override
    {
        return {m_table->square(LetterGrid::indexOf(rowIndex(), -1))};
    }
    int columnIndex() const override { return label().column(); }
    int rowIndex() const override { return label().row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return m_table; }

private:
    const GridLabel& label() const { return *m_grid->labels()[m_index]; }

    GridTable* m_table;
    QPointer<LetterGrid> m_grid;
    std::size_t m_index;
};

QAccessibleInterface* GridTable::square(std::size_t index) const
{
    if (m_squares[index] == 0)
        m_squares[index] = QAccessible::registerAccessibleInterface(new GridSquare(*this, index));
    return QAccessible::accessibleInterface(m_squares[index]);
}

QAccessibleInterface* LetterGridFactory(const QString& key, QObject* object)
{
    auto* grid = qobject_cast<LetterGrid*>(object);
    if (key != QLatin1String(LetterGrid::staticMetaObject.className()) || grid == nullptr)
        return nullptr;
    return new GridTable(grid);
}

} // namespace

void InstallLetterGridAccessible()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(LetterGridFactory); });
}

void LetterGrid::changed(const GridLabel& label, bool colour)
{
    if (!QAccessible::isActive())
        return;
    auto* table = dynamic_cast<GridTable*>(QAccessible::queryAccessibleInterface(this));
    QAccessibleInterface* square =
        table != nullptr ? table->squareIfMade(indexOf(label.row(), label.column())) : nullptr;
    if (square == nullptr)
        return;
    if (colour) {
        QAccessible::State selected;
        selected.selected = true;
        QAccessibleStateChangeEvent stateChange(square, selected);
        QAccessible::updateAccessibility(&stateChange);
        QAccessibleEvent description(square, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&description);
    } else {
        QAccessibleEvent name(square, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&name);
    }
}

} // namespace qel
