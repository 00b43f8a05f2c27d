#include "WindowRules.h"

#include <algorithm>
#include <stdexcept>

namespace qel {

WindowRules::~WindowRules()
{
    for (const Entry& loaded : m_loaded)
        loaded.form->dispose();
}

void WindowRules::registerWindow(WindowId id, Factory factory)
{
    m_factories[id] = std::move(factory);
}

Form* WindowRules::Show(WindowId id)
{
    Form* form = Find(id);
    if (form == nullptr) {
        const auto factory = m_factories.find(id);
        if (factory == m_factories.end())
            throw std::logic_error("WindowRules::Show: no window registered under this id");
        form = factory->second().release();
        m_loaded.push_back({id, form, false});
        form->Form_Load();
        // The load handler may have unloaded the window again.
        if (Find(id) != form)
            return nullptr;
    }
    form->makeVisible();
    return form;
}

void WindowRules::Hide(WindowId id)
{
    if (Form* form = Find(id))
        form->makeHidden();
}

void WindowRules::Unload(WindowId id)
{
    Entry* loaded = entry(id);
    if (loaded == nullptr || loaded->unloading)
        return;
    loaded->unloading = true;
    Form* form = loaded->form;
    form->Form_Unload();
    // The handler may have loaded or unloaded other windows, so look the entry up afresh.
    std::erase_if(m_loaded, [form](const Entry& e) { return e.form == form; });
    form->dispose();
    if (m_unloaded)
        m_unloaded();
}

void WindowRules::UnloadAll()
{
    for (const WindowId id : Loaded())
        Unload(id);
}

bool WindowRules::IsLoaded(WindowId id) const
{
    return entry(id) != nullptr;
}

Form* WindowRules::Find(WindowId id) const
{
    const Entry* loaded = entry(id);
    return loaded == nullptr ? nullptr : loaded->form;
}

bool WindowRules::AnyShown() const
{
    return std::any_of(m_loaded.begin(), m_loaded.end(), [](const Entry& e) { return e.form->isShown(); });
}

std::vector<WindowId> WindowRules::Loaded() const
{
    std::vector<WindowId> ids;
    ids.reserve(m_loaded.size());
    for (const Entry& loaded : m_loaded)
        ids.push_back(loaded.id);
    return ids;
}

WindowRules::Entry* WindowRules::entry(WindowId id)
{
    const auto found =
        std::find_if(m_loaded.begin(), m_loaded.end(), [id](const Entry& e) { return e.id == id; });
    return found == m_loaded.end() ? nullptr : &*found;
}

const WindowRules::Entry* WindowRules::entry(WindowId id) const
{
    return const_cast<WindowRules*>(this)->entry(id);
}

} // namespace qel
