#pragma once

#include "cipher/Text.h"

#include <QString>

namespace qel {

// How a print ended. The window that asked puts the two failures into words.
enum class PrintOutcome { Printed, NoPrinter, Failed };

// Prints a text as one page, top-down from the page's top-left corner in a plain font, one line for
// each CR LF or LF. The page is ended at once, so the printer gets it straight away.
class Printer
{
public:
    virtual ~Printer() = default;
    virtual PrintOutcome printPage(const Text& text) = 0;
};

// The system's default printer. Without one (as Qt reports it when no print server answers) nothing
// is printed.
class SystemPrinter final : public Printer
{
public:
    PrintOutcome printPage(const Text& text) override;
};

// The page as a PDF file, replacing whatever the path held.
class PdfPrinter final : public Printer
{
public:
    explicit PdfPrinter(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }
    PrintOutcome printPage(const Text& text) override;

private:
    QString m_path;
};

} // namespace qel
