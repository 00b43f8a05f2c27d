#pragma once

#include "cipher/Messages.h"
#include "platform/Printer.h"
#include "platform/Services.h"
#include "platform/StatusBar.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/ScriptedRandom.h"

#include <QTest>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace qel::testing {

class FakeClipboard final : public Clipboard
{
public:
    Text text() const override { return m_text; }
    std::optional<Text> exactText() const override { return m_exact; }
    void setText(const Text& text) override
    {
        m_text = text;
        m_exact = text;
        ++m_writes;
    }
    // Plain text, as another program puts it there.
    void setForeignText(const Text& text)
    {
        m_text = text;
        m_exact.reset();
    }
    int writes() const { return m_writes; }

private:
    Text m_text;
    std::optional<Text> m_exact;
    int m_writes = 0;
};

// A clock that stands still until the test moves it.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(QDateTime now = QDateTime(QDate(2026, 12, 6), QTime(18, 40, 10)))
        : m_now(std::move(now))
    {}
    QDateTime now() const override { return m_now; }
    void set(QDateTime now) { m_now = std::move(now); }

private:
    QDateTime m_now;
};

class FakeBeep final : public Beep
{
public:
    void beep() override { ++m_beeps; }
    int beeps() const { return m_beeps; }

private:
    int m_beeps = 0;
};

// Panels held as plain values, for the procedures that work on a status bar without a window.
// Positions outside 1..count() are the caller's fault here: the real status bar's test covers them.
class FakeStatusPanels final : public StatusPanels
{
public:
    int count() const override { return static_cast<int>(m_panels.size()); }
    void add() override { m_panels.emplace_back(); }
    void remove(int position) override { m_panels.erase(m_panels.begin() + (position - 1)); }
    Text text(int position) const override { return m_panels.at(position - 1).first; }
    void setText(int position, const Text& text) override { m_panels.at(position - 1).first = text; }
    void sizeToContents(int position) override { m_panels.at(position - 1).second = true; }
    bool isSizedToContents(int position) const override { return m_panels.at(position - 1).second; }

private:
    std::vector<std::pair<Text, bool>> m_panels; // the text, and whether sized to its contents
};

// Drive A: as a temporary directory, with failures a test can plant: tests run with rights that no
// write-protection stops, so a failing disk is told what to report. A file written through it takes
// the test's clock as its time.
class TestDrive final : public KeyDrive
{
public:
    explicit TestDrive(const Clock& clock) : m_clock(clock), m_disk(m_dir.path()) {}

    QString path(const QString& name) const { return m_disk.path(name); }
    void put(const QString& name, const QByteArray& bytes, const QDateTime& modified) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        QVERIFY(file.flush()); // before the time is set, or writing it out would set it anew
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    QByteArray content(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void failNextWrites(ErrorNumber number, int count)
    {
        m_writeFailures.insert(m_writeFailures.end(), count, number);
    }
    void failNextReads(ErrorNumber number, int count)
    {
        m_readFailures.insert(m_readFailures.end(), count, number);
    }
    int reads() const { return m_reads; }
    // Files written from now on take a time this much later than the clock's, as a FAT stick rounds a
    // file's time up to the next even second.
    void stampLate(qint64 milliseconds) { m_late = milliseconds; }

    Result<std::string> read(const QString& name, qint64 limit) const override
    {
        ++m_reads;
        if (auto failure = planted(m_readFailures))
            return *failure;
        return m_disk.read(name, limit);
    }
    Result<QDateTime> lastModified(const QString& name) const override { return m_disk.lastModified(name); }
    std::optional<Failure> replace(const QString& name, const std::string& content) override
    {
        if (auto failure = planted(m_writeFailures))
            return failure;
        if (auto failure = m_disk.replace(name, content))
            return failure;
        QFile file(path(name));
        if (!file.open(QIODevice::Append) ||
            !file.setFileTime(m_clock.now().addMSecs(m_late), QFileDevice::FileModificationTime))
            return Messages::FileFailure(ErrorNumber::PathFileAccess);
        return std::nullopt;
    }
    // The user cancels the next choice of a medium.
    void cancelNextChoice() { m_cancelChoice = true; }
    bool chooseMediumForWriting() override
    {
        ++m_choices;
        return !std::exchange(m_cancelChoice, false);
    }
    int choices() const { return m_choices; }

private:
    static std::optional<Failure> planted(std::deque<ErrorNumber>& failures)
    {
        if (failures.empty())
            return std::nullopt;
        const ErrorNumber number = failures.front();
        failures.pop_front();
        return Messages::FileFailure(number);
    }

    const Clock& m_clock;
    qint64 m_late = 0;
    QTemporaryDir m_dir;
    DirectoryDrive m_disk;
    mutable std::deque<ErrorNumber> m_readFailures;
    std::deque<ErrorNumber> m_writeFailures;
    mutable int m_reads = 0;
    bool m_cancelChoice = false;
    int m_choices = 0;
};

// A PDF's text as `pdftotext -layout` reads it, each page ended by a form feed; null when it cannot.
inline QString PdfText(const QString& path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    return tool.waitForFinished() && tool.exitCode() == 0 ? QString::fromUtf8(tool.readAllStandardOutput())
                                                          : QString();
}
// Its lines, without the page ends and the blank lines after the last text; and its number of pages.
inline QStringList PdfLines(const QString& path)
{
    const QString text = PdfText(path);
    QStringList lines = QString(text).remove(u'\f').split(u'\n');
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return text.isNull() ? QStringList{QStringLiteral("<pdftotext failed>")} : lines;
}
inline int PdfPages(const QString& path)
{
    const QString text = PdfText(path);
    return text.isNull() ? -1 : int(text.count(u'\f'));
}

// Prints into a PDF file in a temporary directory, or reports the outcome a test planted for the next
// print instead: a test machine has no printer to lose or to jam.
class TestPrinter final : public Printer
{
public:
    QString pdfPath() const { return m_pdf.path(); }
    void failNextPrint(PrintOutcome outcome) { m_planted = outcome; }
    // Every print asked for, planted failures included.
    int prints() const { return m_prints; }

    PrintOutcome printPage(const Text& text) override
    {
        ++m_prints;
        const std::optional<PrintOutcome> planted = std::exchange(m_planted, std::nullopt);
        return planted ? *planted : m_pdf.printPage(text);
    }

private:
    QTemporaryDir m_dir;
    PdfPrinter m_pdf{m_dir.filePath(QStringLiteral("print.pdf"))};
    std::optional<PrintOutcome> m_planted;
    int m_prints = 0;
};

// One set of doubles behind the Services a window is created with.
struct FakeServices {
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    FakeClock clock;
    ScriptedRandom random{{0.5}};
    FakeBeep beep;
    TestDrive drive{clock};
    TestPrinter printer;
    Services services{dialogs, clipboard, clock, random, beep, drive, printer};
};

} // namespace qel::testing
