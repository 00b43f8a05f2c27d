#pragma once

#include <QFont>
#include <QStringList>

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

} // namespace qel::Design
