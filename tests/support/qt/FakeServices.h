#pragma once

#include "platform/Services.h"
#include "platform/StatusBar.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/ScriptedRandom.h"

#include <vector>

namespace qel::testing {

class FakeClipboard final : public Clipboard
{
public:
    Text text() const override { return m_text; }
    void setText(const Text& text) override
    {
        m_text = text;
        ++m_writes;
    }
    int writes() const { return m_writes; }

private:
    Text m_text;
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
    void advanceSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }

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
class FakeStatusPanels final : public StatusPanels
{
public:
    int count() const override { return static_cast<int>(m_panels.size()); }
    void add() override { m_panels.push_back({}); }
    void remove(int position) override
    {
        if (valid(position))
            m_panels.erase(m_panels.begin() + (position - 1));
    }
    Text text(int position) const override
    {
        return valid(position) ? m_panels[index(position)].text : Text();
    }
    void setText(int position, const Text& text) override
    {
        if (valid(position))
            m_panels[index(position)].text = text;
    }
    void sizeToContents(int position) override
    {
        if (valid(position))
            m_panels[index(position)].sized = true;
    }
    bool isSizedToContents(int position) const override
    {
        return valid(position) && m_panels[index(position)].sized;
    }

private:
    struct Panel {
        Text text;
        bool sized = false;
    };
    bool valid(int position) const { return position >= 1 && position <= count(); }
    static std::size_t index(int position) { return static_cast<std::size_t>(position - 1); }

    std::vector<Panel> m_panels;
};

// One set of doubles behind the Services a window is created with.
struct FakeServices {
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    FakeClock clock;
    ScriptedRandom random{{0.5}};
    FakeBeep beep;
    Services services{dialogs, clipboard, clock, random, beep};
};

} // namespace qel::testing
