#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace qel {

// The program's windows; each exists at most once.
enum class WindowId {
    frmLogin,
    frmCrypt,
    frmCryptKey,
    frmPanikk,
    frmPizzaTimer,
    frmVignereVisual,
    frmGreetz,
    frmChangelog,
};

// What the rules need of a window. The load and unload handlers are the window's own; the rest is how
// the window toolkit shows, hides and destroys it.
class Form
{
public:
    virtual ~Form() = default;

    virtual void Form_Load() {}
    virtual void Form_Unload() {}

    // Makes the window visible, or brings it to the front when it already is.
    virtual void makeVisible() = 0;
    virtual void makeHidden() = 0;
    virtual bool isShown() const = 0;
    // Destroys the window. A toolkit window may defer its destruction until the handler that unloaded
    // it has returned.
    virtual void dispose() = 0;
};

// The collection of loaded windows and the operations on it. The program ends when the collection
// becomes empty: whoever runs the event loop hears of every unload through the handler given to
// onUnloaded, and should decide only once no handler is running any more.
class WindowRules
{
public:
    using Factory = std::function<std::unique_ptr<Form>()>;

    WindowRules() = default;
    WindowRules(const WindowRules&) = delete;
    WindowRules& operator=(const WindowRules&) = delete;
    ~WindowRules();

    void registerWindow(WindowId id, Factory factory);
    void onUnloaded(std::function<void()> handler) { m_unloaded = std::move(handler); }

    // Loads the window if it is not loaded (running its load handler), then makes it visible.
    Form* Show(WindowId id);
    // Makes a loaded window invisible; it keeps all it holds. A window that is not loaded stays so.
    void Hide(WindowId id);
    // Runs the unload handler, destroys the window and takes it out of the collection. Unloading a
    // window that is not loaded, or is already being unloaded, does nothing.
    void Unload(WindowId id);
    // Unloads every loaded window, in the order they were loaded.
    void UnloadAll();

    bool IsRegistered(WindowId id) const { return m_factories.contains(id); }
    bool IsLoaded(WindowId id) const;
    Form* Find(WindowId id) const;
    template <typename Window>
    Window* Find(WindowId id) const
    {
        return dynamic_cast<Window*>(Find(id));
    }
    // Whether any loaded window is visible.
    bool AnyShown() const;
    // The loaded windows, oldest first.
    std::vector<WindowId> Loaded() const;

private:
    struct Entry {
        WindowId id;
        Form* form;
        bool unloading;
    };

    Entry* entry(WindowId id);
    const Entry* entry(WindowId id) const;

    std::map<WindowId, Factory> m_factories;
    std::vector<Entry> m_loaded;
    std::function<void()> m_unloaded;
};

} // namespace qel
