#include "QtText.h"

#include <QList>

namespace qel {

QString ToQString(TextView text)
{
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

Text FromQString(const QString& text)
{
    const QList<uint> codePoints = text.toUcs4();
    return Text(codePoints.begin(), codePoints.end());
}

} // namespace qel
