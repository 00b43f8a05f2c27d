#include "Beep.h"

#include <canberra.h>
#include <dlfcn.h>

#include <mutex>
#include <type_traits>
#include <utility>

namespace qel {

namespace {

// libcanberra and the Vorbis decoders it brings, loaded at the first beep: most sessions never beep,
// and loading them at start-up took 0.3 MB and a share of the dynamic loader's time.
struct Canberra {
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_set_driver) setDriver = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    decltype(&ca_context_play) play = nullptr;
    decltype(&ca_context_destroy) destroy = nullptr;
};

// Null where the library or one of its calls is missing: then no sound plays, and the bell rings.
const Canberra* LoadCanberra()
{
    static const Canberra* const loaded = []() -> const Canberra* {
        // Never closed: sounds play on its threads after the call, until the process ends.
        void* library = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return nullptr;
        static Canberra calls;
        const auto find = [library](auto& call, const char* name) {
            call = reinterpret_cast<std::remove_reference_t<decltype(call)>>(dlsym(library, name));
            return call != nullptr;
        };
        const bool all = find(calls.create, "ca_context_create") &&
                         find(calls.setDriver, "ca_context_set_driver") &&
                         find(calls.changeProps, "ca_context_change_props") &&
                         find(calls.play, "ca_context_play") && find(calls.destroy, "ca_context_destroy");
        return all ? &calls : nullptr;
    }();
    return loaded;
}

ca_context* OpenContext(const Canberra& ca, const char* driver)
{
    ca_context* context = nullptr;
    if (ca.create(&context) != CA_SUCCESS)
        return nullptr;
    if ((driver != nullptr && ca.setDriver(context, driver) != CA_SUCCESS) ||
        ca.changeProps(context, CA_PROP_APPLICATION_NAME, "qelCrypto", CA_PROP_APPLICATION_ID, "qelCrypto",
                       nullptr) != CA_SUCCESS) {
        ca.destroy(context);
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

CanberraPlayer::CanberraPlayer(std::vector<const char*> drivers) : m_driversToOpen(std::move(drivers)) {}

CanberraPlayer::~CanberraPlayer()
{
    KeepUntilExit(m_contexts);
}

bool CanberraPlayer::play(const std::string& eventId)
{
    const Canberra* ca = LoadCanberra();
    if (ca == nullptr)
        return false;
    for (const char* driver : std::exchange(m_driversToOpen, {})) {
        if (ca_context* context = OpenContext(*ca, driver))
            m_contexts.push_back(context);
    }
    for (ca_context* context : m_contexts) {
        if (ca->play(context, 0, CA_PROP_EVENT_ID, eventId.c_str(), nullptr) == CA_SUCCESS)
            return true;
    }
    return false;
}

} // namespace qel
