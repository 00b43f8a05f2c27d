// The few engine calls the page makes, bound for JavaScript. Texts cross as JavaScript strings; the
// page's boxes and prompts answer through the same UserDialogs the main window uses.
#include "cipher/Calls.h"
#include "cipher/Messages.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
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

// The texts of the boxes, a million characters and more, cross through the module's memory in a few
// calls of the browser's own (TextEncoder in, String.fromCharCode out), rather than through embind's
// string conversion, a JavaScript loop over every character each way.
Text FromJavaScript(const val& text)
{
    // At most three bytes of UTF-8 for each UTF-16 unit. A lone surrogate arrives as U+FFFD.
    std::string utf8(text["length"].as<std::size_t>() * 3, '\0');
    static const val encoder = val::global("TextEncoder").new_();
    const val written =
        encoder.call<val>("encodeInto", text,
                          val(emscripten::typed_memory_view(
                              utf8.size(), reinterpret_cast<unsigned char*>(utf8.data()))))["written"];
    utf8.resize(written.as<std::size_t>());
    return FromUtf8(utf8);
}

val ToJavaScript(TextView text)
{
    // UTF-16 written in place into room counted beforehand: two units for a character past the Basic
    // Multilingual Plane.
    const auto beyond = static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char32_t ch) { return ch >= 0x10000 && ch <= 0x10FFFF; }));
    const std::size_t count = text.size() + beyond;
    const auto units = std::make_unique_for_overwrite<std::uint16_t[]>(count);
    std::uint16_t* out = units.get();
    for (char32_t ch : text) {
        if (ch < 0x10000) {
            *out++ = static_cast<std::uint16_t>(ch >= 0xD800 && ch <= 0xDFFF ? 0xFFFD : ch);
        } else if (ch <= 0x10FFFF) {
            *out++ = static_cast<std::uint16_t>(0xD800 + ((ch - 0x10000) >> 10));
            *out++ = static_cast<std::uint16_t>(0xDC00 + (ch & 0x3FF));
        } else {
            *out++ = 0xFFFD;
        }
    }
    // String.fromCharCode over the module's memory, a stretch at a time (a call takes only so many
    // arguments): several times faster in chromium than TextDecoder, which copies what it decodes.
    constexpr std::size_t Stretch = 1 << 14;
    static const val fromCharCode = val::global("String")["fromCharCode"];
    val parts = val::array();
    for (std::size_t i = 0; i < count; i += Stretch) {
        const std::size_t length = std::min(Stretch, count - i);
        parts.call<void>("push",
                         fromCharCode.call<val>("apply", val::null(),
                                                val(emscripten::typed_memory_view(length, units.get() + i))));
    }
    return parts.call<val>("join", val(""));
}

// { text: the output box's new text, or null to leave it; messages: [{title, text}]; prompt: null or
// {prompt, title, answer} }
val Outcome(const std::optional<Text>& output, const PageDialogs& dialogs)
{
    val outcome = val::object();
    outcome.set("text", output ? ToJavaScript(*output) : val::null());
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

val encrypt(const val& input, int count, int protocol, bool strong, const std::string& key)
{
    if (!random)
        random.emplace(SeededRandom::fromClock());
    PageDialogs dialogs({});
    const Calls::CipherSettings settings{static_cast<std::uint8_t>(protocol), strong, FromUtf8(key)};
    return Outcome(Calls::EncryptText(FromJavaScript(input), count, settings, dialogs, *random), dialogs);
}

val decrypt(const val& input, int protocol, const std::string& key, const val& answers)
{
    std::deque<Text> queued;
    const auto length = answers["length"].as<unsigned>();
    for (unsigned i = 0; i < length; ++i)
        queued.push_back(FromUtf8(answers[i].as<std::string>()));
    PageDialogs dialogs(std::move(queued));
    const Calls::CipherSettings settings{static_cast<std::uint8_t>(protocol), false, FromUtf8(key)};
    return Outcome(Calls::DecryptText(FromJavaScript(input), settings, dialogs), dialogs);
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
