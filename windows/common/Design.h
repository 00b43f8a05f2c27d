#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QPointer>
#include <QStringList>
#include <QStyle>

class QWidget;

namespace qel::Design {

// Layouts are given in twips; a logical pixel is 15 of them, so a window keeps its size and
// proportions on any screen scale.
constexpr int Twips(int twips)
{
    return twips / 15;
}

// Places a control at its design position and size in twips.
void Place(QWidget* control, int left, int top, int width, int height);

// The design fonts, with the closest installed faces behind them.
QFont SansSerif(qreal pointSize, bool bold = false);
QFont Verdana(qreal pointSize, bool bold = false, bool italic = false);

// Draws a control's text in a colour of its own. Through the palette, not a style sheet: a style sheet
// brings Qt's style sheet machinery to the whole window, which took 0.5 MB and a share of the login
// window's start.
void SetTextColour(QWidget* control, const QColor& colour);

// The one style of its kind for the program, owned by the application: a widget does not own its style,
// and outliving every window spares a question of which goes first.
template <typename Style>
QStyle* SharedStyle()
{
    static QPointer<QStyle> style;
    if (style.isNull()) {
        style = new Style;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

// Narrows a caption's font, as little as needed, until the caption fits in what its control shows of
// it: a label's box, the room after a radio button's or check box's indicator with space for its focus
// frame, a push button's inside with a pixel clear of its frame, each clipped by the parent's edge. The
// control keeps its place and size; a caption that fits keeps the font as it is.
void FitCaption(QWidget* control);
// FitCaption for every label and button of a window.
void FitCaptions(QWidget* window);

} // namespace qel::Design
