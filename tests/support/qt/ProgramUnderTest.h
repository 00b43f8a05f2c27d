#pragma once

#include "tests/support/qt/FakeServices.h"
#include "windows/Program.h"
#include "windows/Registry.h"

#include <QApplication>
#include <QObject>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(qel::WindowId)

namespace qel::testing {

// The program's windows over test doubles, fresh for each test: its own state, services and rules, with
// every window registered, in the application as the program sets it up. Going away, it unloads
// whatever is still loaded.
struct ProgramUnderTest {
    ApplicationState state;
    FakeServices fakes;
    WindowRules rules;
    // Goes before the rules: what is queued for it while the program unloads at the end never runs.
    QObject context;

    ProgramUnderTest()
    {
        SetUpApplication();
        RegisterWindows({state, rules, fakes.services});
    }
    ~ProgramUnderTest() { rules.UnloadAll(); }
};

inline const char* WindowName(WindowId id)
{
    static const char* const names[] = {"frmLogin",      "frmCrypt",         "frmCryptKey", "frmPanikk",
                                        "frmPizzaTimer", "frmVignereVisual", "frmGreetz",   "frmChangelog"};
    return names[int(id)];
}

// The base of the window tests: a fresh program for each test, and no window left over after it.
class WindowTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<ProgramUnderTest> app;

    // What every test of the class does first, once the program is there.
    virtual void prepare() {}
    // Shows a window and waits until it has the keyboard, or until it is on the screen only (a Wayland
    // client cannot take the keyboard itself); null if it never came.
    template <typename Window = QWidget>
    Window* show(WindowId id, bool active = true)
    {
        auto* window = dynamic_cast<Window*>(app->rules.Show(id));
        if (window != nullptr && active)
            window->activateWindow();
        const bool shown = window != nullptr && (active ? QTest::qWaitForWindowActive(window)
                                                        : QTest::qWaitForWindowExposed(window));
        return shown ? window : nullptr;
    }
    // A table with a row for each window, but those left out.
    static void everyWindow(std::initializer_list<WindowId> except = {})
    {
        QTest::addColumn<WindowId>("id");
        for (int i = 0; i <= int(WindowId::frmChangelog); ++i)
            if (std::find(except.begin(), except.end(), WindowId(i)) == except.end())
                QTest::newRow(WindowName(WindowId(i))) << WindowId(i);
    }

private slots:
    void init()
    {
        app = std::make_unique<ProgramUnderTest>();
        prepare();
    }
    void cleanup()
    {
        app.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }
};

} // namespace qel::testing
