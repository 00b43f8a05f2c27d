#include "Clipboard.h"

#include "QtText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qel {

namespace {

const QString ExactType = QStringLiteral("application/x-qelcrypto-text");

} // namespace

void PutExactText(QMimeData& data, TextView text)
{
    const QString plain = ToQString(text);
    data.setText(plain);
    data.setData(ExactType, plain.toUtf8());
}

std::optional<Text> ExactText(const QMimeData* data)
{
    if (data == nullptr || !data->hasFormat(ExactType))
        return std::nullopt;
    return FromQString(QString::fromUtf8(data->data(ExactType)));
}

Text QtClipboard::text() const
{
    return FromQString(QGuiApplication::clipboard()->text());
}

std::optional<Text> QtClipboard::exactText() const
{
    return ExactText(QGuiApplication::clipboard()->mimeData());
}

void QtClipboard::setText(const Text& text)
{
    auto* data = new QMimeData;
    PutExactText(*data, text);
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace qel
