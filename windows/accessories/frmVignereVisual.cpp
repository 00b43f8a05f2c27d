#include "frmVignereVisual.h"

#include "LetterGridAccessible.h"

#include "cipher/Calls.h"
#include "cipher/NumberReader.h"
#include "platform/EditMenu.h"
#include "platform/QtText.h"
#include "windows/common/Design.h"

#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

namespace qel {

using Design::Place;
using Design::Twips;

namespace {

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);

// A square is 255 twips; the cells start two squares in, the headers half a square in. Half a square
// is 8.5 pixels: it is taken down to 8, as Design::Twips takes every position down to whole pixels.
constexpr int Square = Twips(255);
constexpr int HalfSquare = Square / 2;

QFont LetterFont(bool bold)
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("Fixedsys"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(9);
    font.setBold(bold);
    return font;
}

QString Name(const char* array, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

} // namespace

GridLabel::GridLabel(LetterGrid& grid, QString name, int row, int column)
    : m_grid(grid), m_name(std::move(name)), m_row(row), m_column(column)
{}

const QFont& GridLabel::font() const
{
    return m_grid.letterFont(isBold());
}

void GridLabel::setText(const QString& text)
{
    m_text = text;
    refresh(m_geometry);
    m_grid.changed(*this, false);
}

void GridLabel::setBackColor(const QColor& colour)
{
    m_backColor = colour;
    refresh(m_geometry);
    m_grid.changed(*this, true);
}

void GridLabel::setGeometry(const QRect& geometry)
{
    refresh(m_geometry);
    m_geometry = geometry;
    refresh(m_geometry);
}

void GridLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    refresh(m_geometry);
}

void GridLabel::refresh(const QRect& area) const
{
    if (!area.isEmpty())
        m_grid.update(area);
}

LetterGrid::LetterGrid(QWidget* parent)
    : QWidget(parent), m_regular(LetterFont(false)), m_bold(LetterFont(true))
{
    for (int column = 0; column < Size; ++column)
        m_labels.push_back(std::make_unique<GridLabel>(*this, Name("lblHorisontal", column), -1, column));
    for (int row = 0; row < Size; ++row) {
        m_labels.push_back(std::make_unique<GridLabel>(*this, Name("lblVertikal", row), row, -1));
        for (int column = 0; column < Size; ++column)
            m_labels.push_back(
                std::make_unique<GridLabel>(*this, Name("lblFirkant", Size * row + column + 1), row, column));
    }
    InstallLetterGridAccessible();
    setObjectName(QStringLiteral("grid"));
    setFocusPolicy(Qt::NoFocus);
    // Painted, so a screen reader learns from these what it shows.
    setAccessibleName(QStringLiteral("Vigenère-tabell"));
    setAccessibleDescription(
        QStringLiteral("29 ganger 29 bokstaver A til Å med overskrifter: rad y, kolonne x viser bokstav "
                       "nummer y + x, regnet rundt alfabetet. Grønt og rødt viser det som er markert."));
}

LetterGrid::~LetterGrid() = default;

std::size_t LetterGrid::indexOf(int row, int column)
{
    return static_cast<std::size_t>(row < 0 ? column : Size + row * (Size + 1) + 1 + column);
}

GridLabel* LetterGrid::cell(int row, int column) const
{
    if (row < 0 || row >= Size || column < 0 || column >= Size)
        return nullptr;
    return m_labels[indexOf(row, column)].get();
}

GridLabel* LetterGrid::columnHeader(int column) const
{
    return column >= 0 && column < Size ? m_labels[indexOf(-1, column)].get() : nullptr;
}

GridLabel* LetterGrid::rowHeader(int row) const
{
    return row >= 0 && row < Size ? m_labels[indexOf(row, -1)].get() : nullptr;
}

void LetterGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFont* current = nullptr;
    for (const auto& label : m_labels) {
        const QRect& square = label->geometry();
        if (!square.intersects(event->rect()))
            continue;
        painter.fillRect(square, label->backColor());
        if (label->text().isEmpty())
            continue;
        if (current != &label->font()) {
            current = &label->font();
            painter.setFont(*current);
        }
        painter.drawText(square, static_cast<int>(label->alignment()), label->text());
    }
}

frmVignereVisual::frmVignereVisual(const WindowContext& context)
    : FormWindow(context.windows, WindowId::frmVignereVisual), m_state(context.state),
      m_services(context.services), m_grid(new LetterGrid(this))
{
    setObjectName(QStringLiteral("frmVignereVisual"));
    setWindowTitle(QStringLiteral("Vignere Visual"));
    // A tool window: a small title bar with only a close box, kept out of the task bar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Twips(8790), Twips(8895));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    // The grid lies under the boxes and buttons, which come after it.
    m_grid->setGeometry(rect());
    m_lblFirkant.reserve(Cells + 1);
    m_lblFirkant.push_back(nullptr);
    for (int i = 1; i <= Cells; ++i)
        m_lblFirkant.push_back(m_grid->cell((i - 1) / Size, (i - 1) % Size));
    for (int j = 0; j < Size; ++j) {
        m_lblHorisontal.push_back(m_grid->columnHeader(j));
        m_lblVertikal.push_back(m_grid->rowHeader(j));
    }

    // The boxes have no captions; their names say what each number is for.
    m_Text1 = addBox("Text1", 660, 8490, 1215, 285);
    m_Text1->setAccessibleName(QStringLiteral("Rad"));
    m_Text1->setAccessibleDescription(
        QStringLiteral("Raden Marker farger, 1 til 29; MarkerKol merker også denne kolonneoverskriften"));
    m_Command1 = addButton("Command1", QStringLiteral("Marker"), 3240, 8490, 1215, 255);
    connect(m_Command1, &QPushButton::clicked, this, &frmVignereVisual::Command1_Click);
    m_Text2 = addBox("Text2", 1980, 8490, 1215, 285);
    m_Text2->setAccessibleName(QStringLiteral("Til kolonne"));
    m_Text2->setAccessibleDescription(QStringLiteral("Kolonnen Marker farger raden fram til"));
    m_Text3 = addBox("Text3", 4560, 8520, 1215, 255);
    m_Text3->setAccessibleName(QStringLiteral("Kolonne"));
    m_Text3->setAccessibleDescription(
        QStringLiteral("Kolonnen MarkerKol farger nedover, 1 til 29; også radoverskriften som merkes"));
    m_Text4 = addBox("Text4", 5820, 8520, 1215, 255);
    m_Text4->setAccessibleName(QStringLiteral("Antall rader"));
    m_Text4->setAccessibleDescription(QStringLiteral("Hvor mange rader MarkerKol farger"));
    m_Command2 = addButton("Command2", QStringLiteral("MarkerKol"), 7140, 8520, 1215, 255);
    connect(m_Command2, &QPushButton::clicked, this, &frmVignereVisual::Command2_Click);

    setTabOrder(m_Text1, m_Command1);
    setTabOrder(m_Command1, m_Text2);
    setTabOrder(m_Text2, m_Text3);
    setTabOrder(m_Text3, m_Text4);
    setTabOrder(m_Text4, m_Command2);
    m_Text1->setFocus();
}

frmVignereVisual::~frmVignereVisual() = default;

QLineEdit* frmVignereVisual::addBox(const char* name, int left, int top, int width, int height)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    UseNorwegianEditMenu(box);
    Place(box, left, top, width, height);
    return box;
}

QPushButton* frmVignereVisual::addButton(const char* name, const QString& caption, int left, int top,
                                         int width, int height)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    Place(button, left, top, width, height);
    return button;
}

GridLabel* frmVignereVisual::lblFirkant(int i) const
{
    return i >= 1 && i <= Cells ? m_lblFirkant[static_cast<std::size_t>(i)] : nullptr;
}

GridLabel* frmVignereVisual::lblHorisontal(int j) const
{
    return j >= 0 && j < Size ? m_lblHorisontal[static_cast<std::size_t>(j)] : nullptr;
}

GridLabel* frmVignereVisual::lblVertikal(int j) const
{
    return j >= 0 && j < Size ? m_lblVertikal[static_cast<std::size_t>(j)] : nullptr;
}

void frmVignereVisual::Form_Load()
{
    Calls::BuildVigenereTable(m_state.VigenereTable);
    const auto letter = [this](int n) { return ToQString(m_state.VigenereTable(n)); };

    // Row y, column x holds letter y + x, counted round the alphabet: row 1 starts at "B", row 29 at "A".
    for (int i = 1; i <= Cells; ++i) {
        const int y = (i - 1) / Size + 1;
        const int x = (i - 1) % Size + 1;
        GridLabel* cell = lblFirkant(i);
        cell->setGeometry(QRect(Square * x + Square, Square * y + Square, Square, Square));
        cell->setAlignment(Qt::AlignCenter);
        cell->setText(letter(y + x > Size ? y + x - Size : y + x));
        cell->setBackColor(Qt::white);
    }
    for (int j = 0; j < Size; ++j) {
        const int p = j + 2;
        for (GridLabel* header : {lblVertikal(j), lblHorisontal(j)}) {
            header->setAlignment(Qt::AlignCenter);
            header->setText(letter(j + 1));
            header->setBackColor(Qt::white);
        }
        lblVertikal(j)->setGeometry(QRect(HalfSquare, Square * p, Square, Square));
        lblHorisontal(j)->setGeometry(QRect(Square * p, HalfSquare, Square, Square));
    }
}

// A box's number when it lies within lowest to highest. Otherwise the box is refused: it gets the
// focus with its text selected, and the program beeps.
std::optional<std::uint8_t> frmVignereVisual::readBox(QLineEdit* box, int lowest, int highest)
{
    const Result<int> number = ReadNumber(FromQString(box->text()), NumberWidth::UnsignedByte);
    if (number.ok() && number.value() >= lowest && number.value() <= highest)
        return static_cast<std::uint8_t>(number.value());
    box->setFocus();
    box->selectAll();
    m_services.beep.beep();
    return std::nullopt;
}

// Every box is read before anything is marked, so a refused entry leaves the grid as it was.
void frmVignereVisual::Command1_Click()
{
    const auto row = readBox(m_Text1, 1, Size);
    if (!row)
        return;
    const auto col = readBox(m_Text2, 0, 255);
    if (!col)
        return;
    MarkRow(*row, *col);
}

void frmVignereVisual::Command2_Click()
{
    const auto col = readBox(m_Text3, 1, Size);
    if (!col)
        return;
    const auto count = readBox(m_Text4, 0, 255);
    if (!count)
        return;
    const auto columnHeader = readBox(m_Text1, 1, Size);
    if (!columnHeader)
        return;
    MarkColumn(*col, *count);
    MarkHeaders(*col, *columnHeader);
}

// Green along the row up to the column, which turns red; column 0 counts as column 1, and past
// column 29 the whole row is green with no red.
void frmVignereVisual::MarkRow(std::uint8_t row, std::uint8_t col)
{
    if (row < 1 || row > Size)
        return;
    const int first = Size * row - (Size - 1);
    const int last = first + Size - 1;
    const int target = col == 0 ? first : first + col - 1;
    for (int k = first; k <= last; ++k) {
        if (k == target) {
            lblFirkant(k)->setBackColor(Red);
            return;
        }
        lblFirkant(k)->setBackColor(Green);
    }
}

// Green down the column for count rows, all of them from 29 on.
void frmVignereVisual::MarkColumn(std::uint8_t col, std::uint8_t count)
{
    if (col < 1 || col > Size)
        return;
    for (int i = 0; i < Size && i != count; ++i)
        lblFirkant(Size * i + col)->setBackColor(Green);
}

void frmVignereVisual::MarkHeaders(std::uint8_t row, std::uint8_t col)
{
    if (GridLabel* header = lblVertikal(row - 1))
        header->setBackColor(Red);
    if (GridLabel* header = lblHorisontal(col - 1))
        header->setBackColor(Red);
}

} // namespace qel
