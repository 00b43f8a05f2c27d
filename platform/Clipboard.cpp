#include "Clipboard.h"

#include "QtText.h"

#include <QClipboard>
#include <QGuiApplication>

namespace qel {

Text QtClipboard::text() const
{
    return FromQString(QGuiApplication::clipboard()->text());
}

void QtClipboard::setText(const Text& text)
{
    QGuiApplication::clipboard()->setText(ToQString(text));
}

} // namespace qel
