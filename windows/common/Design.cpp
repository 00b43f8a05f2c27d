#include "Design.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace qel::Design {

void Place(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

void SetTextColour(QWidget* control, const QColor& colour)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
}

QFont SansSerif(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont Verdana(qreal pointSize, bool bold, bool italic)
{
    // DejaVu Sans descends from Bitstream Vera, drawn after the same brief as Verdana.
    QFont font;
    font.setFamilies(
        {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

namespace {

// The caption and the room it has, in the control's own pixels; no room for captions of other kinds.
std::pair<QString, qreal> CaptionAndRoom(const QWidget* control)
{
    QRect room;
    QString caption;
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->wordWrap() || label->textFormat() == Qt::RichText)
            return {};
        caption = label->text();
        room = label->contentsRect().adjusted(label->margin(), 0, -label->margin(), 0);
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        caption = QString(button->text()).remove(QLatin1Char('&'));
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (qobject_cast<const QPushButton*>(button) != nullptr) {
            room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            room.adjust(2, 0, -2, 0);
        } else {
            const bool radio = qobject_cast<const QRadioButton*>(button) != nullptr;
            if (!radio && qobject_cast<const QCheckBox*>(button) == nullptr)
                return {};
            room = button->style()->subElementRect(
                radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, button);
            room.adjust(0, 0, -2, 0); // the focus frame around the caption
        }
    }
    if (caption.isEmpty())
        return {};
    // What the parent cuts off on the right.
    if (const QWidget* parent = control->parentWidget(); parent != nullptr && !control->isWindow())
        room.setRight(std::min(room.right(), parent->width() - 1 - control->x()));
    return {caption, qreal(room.width())};
}

} // namespace

void FitCaption(QWidget* control)
{
    const auto [caption, room] = CaptionAndRoom(control);
    if (caption.isEmpty() || room <= 0)
        return;
    QFont font = control->font();
    font.setStretch(QFont::AnyStretch);
    // A doubled screen lays text out in finer steps than the whole pixels of the normal size, so the
    // caption is measured at the size it is drawn; a pixel spare covers the rounding.
    const auto width = [&caption, control](const QFont& f) {
        return QFontMetricsF(f, control).horizontalAdvance(caption) + 1;
    };
    const qreal needed = width(font);
    if (needed <= room) {
        if (control->font().stretch() != QFont::AnyStretch)
            control->setFont(font);
        return;
    }
    for (int stretch = int(std::floor(100 * room / needed)); stretch >= 50; --stretch) {
        font.setStretch(stretch);
        if (width(font) <= room)
            break;
    }
    control->setFont(font);
}

void FitCaptions(QWidget* window)
{
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(control) != nullptr || qobject_cast<QAbstractButton*>(control) != nullptr)
            FitCaption(control);
    }
}

} // namespace qel::Design
