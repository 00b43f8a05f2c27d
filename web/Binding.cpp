// The few engine calls the page makes, bound for JavaScript. Texts cross as JavaScript strings (UTF-8
// inside); the page's boxes and prompts answer through the same UserDialogs the main window uses.
#include "cipher/Calls.h"
#include "cipher/Messages.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <deque>
#include <optional>

using emscripten::val;
using namespace qel;

namespace {

// The page cannot hold the engine inside a modal prompt, so a run that asks for a key the page has not
// got yet stops there, as a cancelled prompt stops it; the page asks in its own dialog and runs again
// with the answer. Decryption draws nothing, so the second run retraces the first.
class PageDialogs final : public UserDialogs
{
public:
    explicit PageDialogs(std::deque<Text> answers) : m_answers(std::move(answers)) {}

    val messages = val::array();
    std::optional<InputBoxRequest> unanswered;

    MessageAnswer showMessage(const MessageBoxRequest& request) override
    {
        val message = val::object();
        message.set("title", ToUtf8(request.title));
        message.set("text", ToUtf8(request.text));
        messages.call<void>("push", message);
        return MessageAnswer::Ok;
    }

    std::optional<Text> askText(const InputBoxRequest& request) override
    {
        if (m_answers.empty()) {
            unanswered = request;
            return std::nullopt;
        }
        Text answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer;
    }

private:
    std::deque<Text> m_answers;
};

// { text: the output box's new text, or null to leave it; messages: [{title, text}]; prompt: null or
// {prompt, title, answer} }
val Outcome(const std::optional<Text>& output, const PageDialogs& dialogs)
{
    val outcome = val::object();
    outcome.set("text", output ? val(ToUtf8(*output)) : val::null());
    outcome.set("messages", dialogs.messages);
    if (dialogs.unanswered) {
        val prompt = val::object();
        prompt.set("prompt", ToUtf8(dialogs.unanswered->prompt));
        prompt.set("title", ToUtf8(dialogs.unanswered->title));
        prompt.set("answer", ToUtf8(dialogs.unanswered->answer));
        outcome.set("prompt", prompt);
    } else {
        outcome.set("prompt", val::null());
    }
    return outcome;
}

// One generator for the page's life, as the program has one; the page seeds it from the browser's
// random source.
std::optional<SeededRandom> random;

void seed(double high, double low)
{
    random.emplace((static_cast<std::uint64_t>(high) << 32) | static_cast<std::uint64_t>(low));
}

val encrypt(const std::string& input, int count, int protocol, bool strong, const std::string& key)
{
    if (!random)
        random.emplace(SeededRandom::fromClock());
    PageDialogs dialogs({});
    const Calls::CipherSettings settings{static_cast<std::uint8_t>(protocol), strong, FromUtf8(key)};
    return Outcome(Calls::EncryptText(FromUtf8(input), count, settings, dialogs, *random), dialogs);
}

val decrypt(const std::string& input, int protocol, const std::string& key, const val& answers)
{
    std::deque<Text> queued;
    const auto length = answers["length"].as<unsigned>();
    for (unsigned i = 0; i < length; ++i)
        queued.push_back(FromUtf8(answers[i].as<std::string>()));
    PageDialogs dialogs(std::move(queued));
    const Calls::CipherSettings settings{static_cast<std::uint8_t>(protocol), false, FromUtf8(key)};
    return Outcome(Calls::DecryptText(FromUtf8(input), settings, dialogs), dialogs);
}

// The CryptKey dialog's preview, and the box it shows on OK when the preview is an error.
std::string normaliseKey(const std::string& typed)
{
    return ToUtf8(Cryptocalls::NormaliseKey(FromUtf8(typed)));
}

val invalidKey()
{
    const MessageBoxRequest box = Messages::InvalidKey();
    val message = val::object();
    message.set("title", ToUtf8(box.title));
    message.set("text", ToUtf8(box.text));
    return message;
}

} // namespace

EMSCRIPTEN_BINDINGS(qelcrypto)
{
    emscripten::function("seed", &seed);
    emscripten::function("encrypt", &encrypt);
    emscripten::function("decrypt", &decrypt);
    emscripten::function("normaliseKey", &normaliseKey);
    emscripten::function("invalidKey", &invalidKey);
}
