#include "frmPanikk.h"

#include "frmLogin.h"
#include "platform/QtText.h"
#include "windows/common/Design.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace qel {

namespace {

// Fixedsys draws every character in a cell 8 pixels wide and 15 high; the text is laid out in those
// cells whichever fixed-pitch face stands in for it.
constexpr int CellWidth = 8;
constexpr int CellHeight = 15;

const QColor CrashBlue(0, 0, 170);

// The largest size of a fixed-pitch face whose characters fit the cell.
QFont CrashFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Fixedsys"), QStringLiteral("DejaVu Sans Mono"),
                      QStringLiteral("Liberation Mono"), QStringLiteral("Courier New")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(9);
    const auto fits = [](const QFont& face) {
        return QFontMetricsF(face).horizontalAdvance(QLatin1Char('M')) <= CellWidth;
    };
    for (int pixels = CellHeight; !fits(font) && pixels > 6; --pixels)
        font.setPixelSize(pixels);
    return font;
}

// Plain crash blue over a screen the text is not on. A click, or a key that types, leaves as on the
// panic screen itself.
class PanicCover final : public QWidget
{
public:
    explicit PanicCover(frmPanikk& panic)
        : QWidget(&panic, Qt::Tool | Qt::FramelessWindowHint), m_panic(panic)
    {
        setObjectName(QStringLiteral("dekke"));
        setFocusPolicy(Qt::StrongFocus);
        setAutoFillBackground(true);
        setPalette(panic.palette());
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept();
        m_panic.Form_Click();
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->text().isEmpty()) {
            QWidget::keyPressEvent(event);
            return;
        }
        event->accept();
        m_panic.Form_KeyPress();
    }

private:
    frmPanikk& m_panic;
};

// Full screen on the screen given. The geometry is set as well: without a window manager the request
// alone would leave the window at its design size.
void Cover(QWidget* window, QScreen* screen)
{
    window->setScreen(screen);
    window->setGeometry(screen->geometry());
    window->setWindowState(window->windowState() | Qt::WindowFullScreen);
}

} // namespace

Text PanicText()
{
    const Text blank = U" ";
    Text text = U"A fatal exeption 0E has occured at 0028:C0011E36 in VXD MM(01) + 00010E36. The current "
                U"application will be terminated.";
    text += Text(78, U' ');
    text += U"* Press any key to terminate the current application.";
    text += Text(12, U' ');
    text += U"* Press CTRL+ALT+DEL again to restart your computer. You will" + blank;
    text += U"\u00A0\u00A0";
    text += U"lose any unsaved information in all aplications.";
    text += Text(103, U' ');
    text += U"Press any key to continue";
    return text;
}

std::vector<Text> WrapAtBlanks(TextView text, int columns)
{
    const auto width = static_cast<std::size_t>(std::max(columns, 1));
    std::vector<Text> lines;
    Text line;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == U' ') {
            if (line.size() < width) {
                line += U' ';
            } else {
                lines.push_back(std::move(line));
                line.clear();
            }
            ++at;
            continue;
        }
        const std::size_t end = std::min(text.find(U' ', at), text.size());
        TextView word = text.substr(at, end - at);
        at = end;
        if (line.size() + word.size() > width) {
            if (!line.empty())
                lines.push_back(std::move(line));
            line.clear();
            for (; word.size() > width; word.remove_prefix(width))
                lines.emplace_back(word.substr(0, width));
        }
        line += word;
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

void CrashText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const int ascent = qRound(QFontMetricsF(font()).ascent());
    const std::vector<Text> lines = WrapAtBlanks(FromQString(text()), width() / CellWidth);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QString line = ToQString(lines[i]);
        for (int column = 0; column < line.size(); ++column)
            painter.drawText(column * CellWidth, static_cast<int>(i) * CellHeight + ascent, line.at(column));
    }
}

void CrashText::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit clicked();
}

frmPanikk::frmPanikk(const WindowContext& context)
    : FormWindow(context.windows, WindowId::frmPanikk), m_lblPanikk(new CrashText(this))
{
    setObjectName(QStringLiteral("frmPanikk"));
    setWindowTitle(QStringLiteral("Form3"));
    // No border, no title, no task-bar entry.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette blue = palette();
    blue.setColor(QPalette::Window, CrashBlue);
    setPalette(blue);

    m_lblPanikk->setObjectName(QStringLiteral("lblPanikk"));
    m_lblPanikk->setText(ToQString(PanicText()));
    m_lblPanikk->setFont(CrashFont());
    // White on the classic palette: the colour of a highlighted 3-D edge.
    m_lblPanikk->setForegroundRole(QPalette::Light);
    Design::Place(m_lblPanikk, 120, 360, 7815, 2175);
    connect(m_lblPanikk, &CrashText::clicked, this, &frmPanikk::lblPanikk_Click);
}

frmPanikk::~frmPanikk() = default;

void frmPanikk::Form_Load()
{
    centreText(mainWindowScreen()->geometry().size());
}

void frmPanikk::centreText(const QSize& screen)
{
    const QSize label = m_lblPanikk->size();
    m_lblPanikk->move(qRound(screen.width() / 2.0 - label.width() / 2.0),
                      qRound(screen.height() / 2.0 - label.height() / 2.0));
    m_centredFor = screen;
}

// The screen the user was looking at: the main window's, which is hidden by now but keeps its screen.
QScreen* frmPanikk::mainWindowScreen() const
{
    const auto* main = rules().Find<QWidget>(WindowId::frmCrypt);
    return main != nullptr && main->screen() != nullptr ? main->screen() : QGuiApplication::primaryScreen();
}

// Placed on every showing instead: the screens or the main window's place may have changed.
void frmPanikk::placeOnFirstShow() {}

void frmPanikk::makeVisible()
{
    QScreen* home = mainWindowScreen();
    Cover(this, home);
    // The same layout as before unless the text now lands on a screen of another size.
    if (home->geometry().size() != m_centredFor)
        centreText(home->geometry().size());
    qDeleteAll(m_covers);
    m_covers.clear();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == home)
            continue;
        auto* cover = new PanicCover(*this);
        Cover(cover, screen);
        cover->show();
        m_covers.push_back(cover);
    }
    // Last, so that the window with the text has the keyboard.
    FormWindow::makeVisible();
}

void frmPanikk::hideEvent(QHideEvent* event)
{
    for (QWidget* cover : m_covers)
        cover->hide();
    FormWindow::hideEvent(event);
}

void frmPanikk::lblPanikk_Click()
{
    LeavePanic(rules());
}

void frmPanikk::Form_Click()
{
    LeavePanic(rules());
}

void frmPanikk::Form_KeyPress()
{
    LeavePanic(rules());
}

void frmPanikk::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    Form_Click();
}

// Only keys that type a character leave: F5, the arrows and the modifier keys on their own do not.
void frmPanikk::keyPressEvent(QKeyEvent* event)
{
    if (event->text().isEmpty()) {
        FormWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    Form_KeyPress();
}

void LeavePanic(WindowRules& windows)
{
    windows.Hide(WindowId::frmPanikk);
    auto* login = dynamic_cast<frmLogin*>(windows.Show(WindowId::frmLogin));
    if (login == nullptr)
        return;
    login->ClearEntries();
    login->txtBrukernavn()->setFocus();
    login->Label3()->setText(QStringLiteral("Blei du redd?"));
}

} // namespace qel
