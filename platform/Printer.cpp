#include "Printer.h"

#include "QtText.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace qel {

namespace {

QFont PageFont()
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(11);
    return font;
}

// Draws the lines inside the page's margins. A page is all there is: lines below its foot and the
// ends of lines wider than it are clipped away, not carried over to a second page.
PrintOutcome PrintOnePage(QPrinter& printer, const Text& text)
{
    printer.setDocName(QStringLiteral("qelCrypto"));
    printer.setFullPage(false); // the painter's origin is then the top-left corner inside the margins
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::Failed;
    const QRect area(0, 0, printer.width(), printer.height());
    painter.setClipRect(area);
    painter.setFont(QFont(PageFont(), &printer));
    const QFontMetrics metrics = painter.fontMetrics();
    int baseline = metrics.ascent();
    static const QRegularExpression LineBreak(QStringLiteral("\r\n|\n"));
    for (const QString& line : ToQString(text).split(LineBreak)) {
        if (baseline - metrics.ascent() >= area.height())
            break;
        painter.drawText(QPoint(0, baseline), line);
        baseline += metrics.lineSpacing();
    }
    const bool ended = painter.end();
    return ended && printer.printerState() != QPrinter::Error ? PrintOutcome::Printed : PrintOutcome::Failed;
}

} // namespace

PrintOutcome SystemPrinter::printPage(const Text& text)
{
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull())
        return PrintOutcome::NoPrinter;
    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    return PrintOnePage(printer, text);
}

PrintOutcome PdfPrinter::printPage(const Text& text)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    return PrintOnePage(printer, text);
}

} // namespace qel
