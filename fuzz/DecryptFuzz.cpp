// The whole decryption pipeline on any text with any protocol, and the encryption of any text
// decrypted back.
#include "FuzzInput.h"

#include "cipher/Calls.h"
#include "cipher/Cryptocalls.h"

#include <algorithm>
#include <optional>
#include <vector>

using namespace qel;
using fuzz::Check;

namespace {

// Answers the key prompts from the input in turn ("\x18" alone cancels), then with the pre-filled
// answer as OK would; counts what the engine shows.
class Answerer final : public UserDialogs
{
public:
    Answerer(std::vector<std::string_view> answers, bool windows1252)
        : m_answers(std::move(answers)), m_windows1252(windows1252)
    {}

    MessageAnswer showMessage(const MessageBoxRequest&) override
    {
        ++messages;
        return MessageAnswer::Ok;
    }

    std::optional<Text> askText(const InputBoxRequest& request) override
    {
        Check(messages == 0, "a prompt after a box");
        if (prompts++ >= m_answers.size())
            return request.answer;
        const std::string_view answer = m_answers[prompts - 1];
        if (answer == "\x18")
            return std::nullopt;
        return fuzz::Decode(answer, m_windows1252);
    }

    std::size_t messages = 0;
    std::size_t prompts = 0;

private:
    std::vector<std::string_view> m_answers;
    bool m_windows1252;
};

// Every failure shows one box and leaves the output box alone, and no pass makes the text longer.
void CheckDecryption(TextView input, const std::optional<Text>& output, const Answerer& dialogs)
{
    Check(dialogs.messages <= 1, "more than one box");
    Check(dialogs.messages == 0 || !output, "a box, yet an output");
    Check(dialogs.prompts <= Cryptocalls::MaxPassCount, "more prompts than passes");
    Check(!output || output->size() <= input.size(), "decryption grew the text");
}

// Count passes of the protocol and back. Vigenère needs a key the decryption accepts, and a Crypt
// header always names one pass, so Crypt takes one decryption per pass.
void RoundTrip(TextView plain, int count, const Calls::CipherSettings& settings, fuzz::BytesRandom& random)
{
    if (settings.selectedProtocol < Calls::Crypt || settings.selectedProtocol > Calls::Vignere)
        return; // no protocol: the text passes unencrypted
    Answerer dialogs({}, false);
    const std::optional<Text> encrypted = Calls::EncryptText(plain, count, settings, dialogs, random);
    if (!encrypted || count == 0 || dialogs.messages > 0)
        return;
    if (settings.selectedProtocol == Calls::Vignere &&
        Cryptocalls::NormaliseKey(settings.cryptKey) == Cryptocalls::KeyTooShort)
        return;
    std::optional<Text> decrypted = encrypted;
    const int runs = settings.selectedProtocol == Calls::Crypt ? count : 1;
    for (int run = 0; run < runs && decrypted; ++run)
        decrypted = Calls::DecryptText(*decrypted, settings, dialogs);
    Check(decrypted == plain, "encrypted text does not decrypt back");
}

} // namespace

// Input: a flags byte (bits 0-2: the selected protocol, 0 to 7; bit 3: strong; bit 4: Windows-1252;
// bit 5: encrypt the text first and expect it back), the pass count for that (modulo 100), how many
// times the text is repeated to decrypt (modulo 16, plus one, so that the length limits are in reach;
// the round trip's passes reach them by themselves, and run up to 99 passes fast enough only on
// texts of input size), then the text, the CryptKey and the answers to the key prompts, separated by NULs.
// The round trip draws its header positions and strong characters from the last part.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::uint8_t flags = data[0];
    const bool windows1252 = flags & 0x10;
    const int count = data[1] % 100;
    auto parts = fuzz::Split(fuzz::Bytes(data + 3, size - 3));
    Text text;
    const Text once = fuzz::Decode(parts[0], windows1252);
    const int repeats = flags & 0x20 ? 1 : 1 + data[2] % 16;
    for (int i = 0; i < repeats; ++i)
        text += once;
    const Calls::CipherSettings settings{static_cast<std::uint8_t>(flags & 7), (flags & 8) != 0,
                                         parts.size() > 1 ? fuzz::Decode(parts[1], windows1252) : Text()};
    const std::vector<std::string_view> answers(parts.begin() + std::min<std::size_t>(parts.size(), 2),
                                                parts.end());

    if (flags & 0x20) {
        fuzz::BytesRandom random(parts.back());
        RoundTrip(text, count, settings, random);
        return 0;
    }
    Answerer dialogs(answers, windows1252);
    const std::optional<Text> output = Calls::DecryptText(text, settings, dialogs);
    CheckDecryption(text, output, dialogs);
    return 0;
}
