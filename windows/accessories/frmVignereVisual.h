#pragma once

#include "windows/common/FormWindow.h"
#include "windows/common/WindowContext.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QLineEdit;
class QPushButton;

namespace qel {

class LetterGrid;

// One square of the grid: a letter, centred on its background colour. The grid draws all of them;
// 899 label widgets would make the window slow to open.
class GridLabel
{
public:
    // A cell has a row and a column, 0 to 28; a column header has row -1, a row header column -1.
    GridLabel(LetterGrid& grid, QString name, int row, int column);

    const QString& objectName() const { return m_name; }
    int row() const { return m_row; }
    int column() const { return m_column; }
    bool isBold() const { return m_row < 0 || m_column < 0; }
    const QFont& font() const;
    const QString& text() const { return m_text; }
    void setText(const QString& text);
    const QColor& backColor() const { return m_backColor; }
    void setBackColor(const QColor& colour);
    // In the window's coordinates, pixels.
    const QRect& geometry() const { return m_geometry; }
    void setGeometry(const QRect& geometry);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

private:
    void refresh(const QRect& area) const;

    LetterGrid& m_grid;
    QString m_name;
    int m_row;
    int m_column;
    QString m_text;
    QColor m_backColor = Qt::white;
    QRect m_geometry;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
};

// The surface the squares are drawn on; it covers the window below its other controls. Screen readers
// see it as a table: a header row, then each row as its header and its cells (LetterGridAccessible.cpp).
class LetterGrid final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Size = 29;

    explicit LetterGrid(QWidget* parent);
    ~LetterGrid() override;

    // Where the square of a row and a column lies in labels(); -1 stands for the header.
    static std::size_t indexOf(int row, int column);
    // Rows and columns 0 to 28; nullptr outside.
    GridLabel* cell(int row, int column) const;
    GridLabel* columnHeader(int column) const;
    GridLabel* rowHeader(int row) const;
    // In reading order: the column headers, then row by row its header and its cells.
    const std::vector<std::unique_ptr<GridLabel>>& labels() const { return m_labels; }
    const QFont& letterFont(bool bold) const { return bold ? m_bold : m_regular; }
    // A square's letter or colour changed: a screen reader that has met it hears of it.
    void changed(const GridLabel& label, bool colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<std::unique_ptr<GridLabel>> m_labels;
    QFont m_regular;
    QFont m_bold;
};

// The Vigenère table as a 29 x 29 grid of letters under a header row and beside a header column. The
// user traces a lookup through it: "Marker" walks a row to a column, "MarkerKol" walks down a column
// and marks a row header and a column header.
class frmVignereVisual final : public FormWindow<QWidget>
{
public:
    static constexpr int Size = 29;
    static constexpr int Cells = Size * Size;

    explicit frmVignereVisual(const WindowContext& context);
    ~frmVignereVisual() override;

    void Form_Load() override;

    // 1 to 841, row by row; nullptr outside.
    GridLabel* lblFirkant(int i) const;
    // 0 to 28, heading column and row j + 1; nullptr outside.
    GridLabel* lblHorisontal(int j) const;
    GridLabel* lblVertikal(int j) const;
    QLineEdit* Text1() const { return m_Text1; }
    QLineEdit* Text2() const { return m_Text2; }
    QLineEdit* Text3() const { return m_Text3; }
    QLineEdit* Text4() const { return m_Text4; }
    QPushButton* Command1() const { return m_Command1; }
    QPushButton* Command2() const { return m_Command2; }

    void Command1_Click();
    void Command2_Click();

    // Rows and columns outside 1 to 29 mark nothing, whoever calls these: the boxes are checked
    // before they are, and the procedures keep to the grid on their own.
    void MarkRow(std::uint8_t row, std::uint8_t col);
    void MarkColumn(std::uint8_t col, std::uint8_t count);
    void MarkHeaders(std::uint8_t row, std::uint8_t col);

protected:
    // Placed where the windowing system puts new windows.
    void placeOnFirstShow() override {}

private:
    std::optional<std::uint8_t> readBox(QLineEdit* box, int lowest, int highest);
    QLineEdit* addBox(const char* name, int left, int top, int width, int height);
    QPushButton* addButton(const char* name, const QString& caption, int left, int top, int width,
                           int height);

    ApplicationState& m_state;
    Services& m_services;

    LetterGrid* m_grid;
    std::vector<GridLabel*> m_lblFirkant; // index 0 unused
    std::vector<GridLabel*> m_lblHorisontal;
    std::vector<GridLabel*> m_lblVertikal;
    QLineEdit* m_Text1;
    QPushButton* m_Command1;
    QLineEdit* m_Text2;
    QLineEdit* m_Text3;
    QLineEdit* m_Text4;
    QPushButton* m_Command2;
};

} // namespace qel
