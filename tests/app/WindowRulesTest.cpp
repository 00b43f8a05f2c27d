#include "app/WindowRules.h"
#include "tests/support/NamedRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace qel {
namespace {

using Log = std::vector<std::string>;
using enum WindowId;

// A window that writes each call the rules make on it into a shared log, under its own name.
struct FakeForm final : Form {
    FakeForm(std::string name, Log& log) : name(std::move(name)), log(log) {}
    void note(const char* what) { log.push_back(name + " " + what); }

    void Form_Load() override { note("load"); }
    void Form_Unload() override
    {
        note("unload");
        onUnload();
    }
    void makeVisible() override { note("show"); }
    void makeHidden() override { note("hide"); }
    bool isShown() const override { return false; }
    void dispose() override
    {
        note("dispose");
        delete this;
    }

    std::string name;
    Log& log;
    std::function<void()> onUnload = [] {};
};

// The crypt window's unload handler unloads again while the rules are unloading it.
using ReentrantRow = std::tuple<testing::Name, bool, bool>; // starts with UnloadAll, the handler unloads all

class WindowRulesTest : public ::testing::TestWithParam<ReentrantRow>
{
protected:
    WindowRulesTest()
    {
        for (const auto& [id, name] :
             {std::pair{frmLogin, "login"}, {frmCrypt, "crypt"}, {frmCryptKey, "key"}})
            rules.registerWindow(id, [this, name] { return std::make_unique<FakeForm>(name, log); });
        // The event loop would look at the collection here; log what it would see.
        rules.onUnloaded([this] {
            if (rules.Loaded().empty())
                log.push_back("all unloaded");
        });
    }
    std::function<void()>& onUnload(WindowId id) { return rules.Find<FakeForm>(id)->onUnload; }

    Log log; // outlives the rules, whose destructor disposes what is still loaded
    WindowRules rules;
};

// Show loads a window once, Hide keeps it loaded, and Unload (once) runs its handler, then disposes and
// forgets it. Only registered windows can be shown.
TEST_F(WindowRulesTest, ShowHideAndUnloadOneWindow)
{
    Form* crypt = rules.Show(frmCrypt);
    EXPECT_EQ(rules.Show(frmCrypt), crypt);
    rules.Hide(frmCrypt);
    rules.Hide(frmCryptKey);
    EXPECT_EQ(rules.Show(frmCrypt), crypt);
    rules.Show(frmCryptKey);
    EXPECT_THROW(rules.Show(frmGreetz), std::logic_error);
    EXPECT_EQ(rules.Loaded(), (std::vector{frmCrypt, frmCryptKey}));
    rules.Unload(frmCrypt);
    rules.Unload(frmCrypt);
    EXPECT_EQ(log, (Log{"crypt load", "crypt show", "crypt show", "crypt hide", "crypt show", "key load",
                        "key show", "crypt unload", "crypt dispose"}));
    EXPECT_EQ(rules.Find(frmCrypt), nullptr);
    EXPECT_EQ(rules.Loaded(), std::vector{frmCryptKey});
}

// UnloadAll goes in load order. A log-out (UnloadAll, then Show the login) empties the collection only for
// a moment: the event loop is told of it, but must not end the program, since the command is not over.
// From inside an unload handler it never empties at all, since the window unloading is still in it.
TEST_F(WindowRulesTest, LogOut)
{
    for (const WindowId id : {frmCryptKey, frmLogin, frmCrypt, frmCryptKey})
        rules.Show(id);
    log.clear();
    rules.UnloadAll();
    rules.Show(frmLogin);
    EXPECT_EQ(log, (Log{"key unload", "key dispose", "login unload", "login dispose", "crypt unload",
                        "crypt dispose", "all unloaded", "login load", "login show"}));

    rules.Show(frmCrypt);
    rules.Show(frmCryptKey);
    onUnload(frmCrypt) = [this] {
        rules.UnloadAll();
        rules.Show(frmLogin);
    };
    log.clear();
    rules.Unload(frmCrypt);
    EXPECT_EQ(log, (Log{"crypt unload", "login unload", "login dispose", "key unload", "key dispose",
                        "login load", "login show", "crypt dispose"}));
    EXPECT_EQ(rules.Loaded(), std::vector{frmLogin});
}

TEST_P(WindowRulesTest, UnloadsAndDisposesEachWindowOnce)
{
    const auto& [name, startWithAll, handlerUnloadsAll] = GetParam();
    for (const WindowId id : {frmLogin, frmCrypt, frmCryptKey})
        rules.Show(id);
    onUnload(frmCrypt) = [this, all = handlerUnloadsAll] {
        all ? rules.UnloadAll() : rules.Unload(frmCrypt);
    };
    log.clear();
    startWithAll ? rules.UnloadAll() : rules.Unload(frmCrypt);
    // Every window that goes, once, whatever the order; the collection reported empty once all are gone.
    const Log once = startWithAll || handlerUnloadsAll
                         ? Log{"all unloaded", "crypt dispose", "crypt unload", "key dispose",
                               "key unload",   "login dispose", "login unload"}
                         : Log{"crypt dispose", "crypt unload"};
    std::ranges::sort(log);
    EXPECT_EQ(log, once);
    EXPECT_EQ(rules.Loaded().size(), once.size() == 2 ? 2u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Reentrant, WindowRulesTest,
                         ::testing::Values(ReentrantRow{"UnloadAllInsideUnloadAll", true, true},
                                           ReentrantRow{"UnloadAllInsideUnload", false, true},
                                           ReentrantRow{"UnloadSelfInsideUnloadAll", true, false},
                                           ReentrantRow{"UnloadSelfInsideUnload", false, false}),
                         testing::RowName);

} // namespace
} // namespace qel
