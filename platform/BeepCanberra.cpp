#include "Beep.h"

#include <canberra.h>

#include <mutex>

namespace qel {

namespace {

ca_context* OpenContext(const char* driver)
{
    ca_context* context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS)
        return nullptr;
    if ((driver != nullptr && ca_context_set_driver(context, driver) != CA_SUCCESS) ||
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "qelCrypto", CA_PROP_APPLICATION_ID,
                                "qelCrypto", nullptr) != CA_SUCCESS) {
        ca_context_destroy(context);
        return nullptr;
    }
    return context;
}

// libcanberra plays each sound on a detached thread of a driver module, and destroying a context
// unloads that module even while a sound still plays, which crashes the thread. Contexts therefore live
// as long as the process: a player that goes hands its contexts over to this list.
void KeepUntilExit(const std::vector<ca_context*>& contexts)
{
    static std::mutex mutex;
    static auto* kept = new std::vector<ca_context*>;
    const std::lock_guard lock(mutex);
    kept->insert(kept->end(), contexts.begin(), contexts.end());
}

} // namespace

CanberraPlayer::CanberraPlayer(const std::vector<const char*>& drivers)
{
    for (const char* driver : drivers) {
        if (ca_context* context = OpenContext(driver))
            m_contexts.push_back(context);
    }
}

CanberraPlayer::~CanberraPlayer()
{
    KeepUntilExit(m_contexts);
}

bool CanberraPlayer::play(const std::string& eventId)
{
    for (ca_context* context : m_contexts) {
        if (ca_context_play(context, 0, CA_PROP_EVENT_ID, eventId.c_str(), nullptr) == CA_SUCCESS)
            return true;
    }
    return false;
}

} // namespace qel
