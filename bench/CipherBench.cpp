// Speed of the cipher engine on Norwegian prose: every transform on its own, the multi-pass Røver
// pipeline and a long Vigenère run.
#include "bench/Prose.h"
#include "cipher/Calls.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <string>

using namespace qel;
using namespace qel::Cryptocalls;

namespace {

using bench::Key;
using bench::Prose;

constexpr std::size_t ProseLength = 32766;
constexpr std::size_t LongVigenereLength = 1'000'000;
constexpr int WantedPasses = 14;
constexpr std::uint64_t Seed = 0x5EED;

// A box means a step failed, and a failed run is not worth timing.
class BoxRecorder final : public UserDialogs
{
public:
    std::string shown;

    MessageAnswer showMessage(const MessageBoxRequest& request) override
    {
        shown = ToUtf8(request.text);
        return MessageAnswer::Ok;
    }
    std::optional<Text> askText(const InputBoxRequest& request) override
    {
        shown = ToUtf8(request.prompt);
        return std::nullopt;
    }
};

bool Succeeded(const Text& text)
{
    benchmark::DoNotOptimize(text.data());
    return true;
}
bool Succeeded(const Result<Text>& result)
{
    return result.ok() && Succeeded(result.value());
}
bool Succeeded(const std::optional<Text>& text)
{
    return text && Succeeded(*text);
}

// Times step(dialogs), counting the characters it reads so the report shows characters per second.
template <typename Step>
void Add(const std::string& name, std::size_t characters, Step step)
{
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) mutable {
        BoxRecorder dialogs;
        for (auto _ : state) {
            if (!Succeeded(step(dialogs)) || !dialogs.shown.empty()) {
                state.SkipWithError(dialogs.shown.empty() ? "step failed" : dialogs.shown.c_str());
                break;
            }
        }
        if (characters > 0)
            state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(characters));
    });
}

// Types the CryptKey at every key prompt, as a user decrypting a Vigenère text would.
class KeyTyper final : public UserDialogs
{
public:
    MessageAnswer showMessage(const MessageBoxRequest&) override { return MessageAnswer::Ok; }
    std::optional<Text> askText(const InputBoxRequest&) override { return Key; }
};

// The floor for any transform that reads and writes every character: one table look-up per character
// into a new text, as VigenereTransform returns one.
Text TableMap(TextView text)
{
    static const auto table = [] {
        std::array<char32_t, 256> t{};
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = static_cast<char32_t>(i ^ 0x20);
        return t;
    }();
    Text out(text.size(), U'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t ch = text[i];
        out[i] = ch < 256 ? table[ch] : ch;
    }
    return out;
}

// Strong draws decide how long each pass grows, so every run starts from the same seed.
std::optional<Text> Encrypt(TextView text, int passes, bool strong, UserDialogs& dialogs)
{
    SeededRandom random(Seed);
    return Calls::EncryptText(text, passes, {Calls::Rover, strong, {}}, dialogs, random);
}

std::optional<Text> Decrypt(TextView text, UserDialogs& dialogs)
{
    return Calls::DecryptText(text, {Calls::Rover, false, {}}, dialogs);
}

// Largest n from 0 to limit for which ok(n) holds. Strong draws make ok only roughly monotone, but
// every length the search settles on has passed the check itself.
template <typename Check>
std::size_t LongestPassing(std::size_t limit, Check ok)
{
    std::size_t low = 0;
    std::size_t high = limit;
    while (low < high) {
        const std::size_t mid = low + (high - low + 1) / 2;
        if (ok(mid))
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

struct PassPlan {
    int passes = 0;
    std::size_t length = 0;
};

// Every header adds a consonant that each later pass doubles, so deep runs may fit no prose at all;
// then the deepest run that some prefix survives stands in.
PassPlan PlanPasses(bool strong)
{
    for (int passes = WantedPasses; passes > 0; --passes) {
        const std::size_t length = LongestPassing(MaxRoverLength, [&](std::size_t n) {
            BoxRecorder dialogs;
            const Text text = Prose(n);
            const auto encrypted = Encrypt(text, passes, strong, dialogs);
            return encrypted && Decrypt(*encrypted, dialogs) == text && dialogs.shown.empty();
        });
        if (length > 0)
            return {passes, length};
    }
    return {};
}

void AddPipelines(bool strong)
{
    const PassPlan plan = PlanPasses(strong);
    const char* mode = strong ? "strong" : "plain";
    std::fprintf(stderr, "Røver %s: %d passes (of %d wanted) over %zu prose characters\n", mode, plan.passes,
                 WantedPasses, plan.length);
    if (plan.passes == 0)
        return;
    const std::string name = "RoverPipeline/" + std::string(mode) + "/passes:" + std::to_string(plan.passes);
    const Text prose = Prose(plan.length);
    BoxRecorder dialogs;
    const Text encrypted = Encrypt(prose, plan.passes, strong, dialogs).value();
    Add(name + "/EncryptDecrypt", 0, [=](UserDialogs& d) {
        const auto out = Encrypt(prose, plan.passes, strong, d);
        return out ? Decrypt(*out, d) : out;
    });
    Add(name + "/Encrypt", 0, [=](UserDialogs& d) { return Encrypt(prose, plan.passes, strong, d); });
    Add(name + "/Decrypt", 0, [=](UserDialogs& d) { return Decrypt(encrypted, d); });
}

} // namespace

int main(int argc, char** argv)
{
    const Text prose = Prose(ProseLength);
    // The encoding may not outgrow the limit, so Røver encodes the longest prefix whose output fits.
    SeededRandom setupRandom(Seed);
    const Text roverInput = Prose(LongestPassing(ProseLength, [&](std::size_t n) {
        return RoverTransform(Prose(n), TransformMode::Encode, false, setupRandom).ok();
    }));
    const Text roverEncoded = RoverTransform(roverInput, TransformMode::Encode, false, setupRandom).value();
    const Text vigenereEncoded = VigenereTransform(prose, Key, TransformMode::Encode);
    const Text headed = InsertHeader(prose, U'b', 1, setupRandom);
    const Text longProse = Prose(LongVigenereLength);
    SeededRandom random(Seed);
    BoxRecorder dialogs;

    Add("ReverseText", prose.size(), [&](auto&) { return ReverseText(prose); });
    Add("RoverEncode/plain", roverInput.size(),
        [&](auto&) { return RoverTransform(roverInput, TransformMode::Encode, false, random); });
    Add("RoverEncode/strong", roverInput.size(),
        [&](auto&) { return RoverTransform(roverInput, TransformMode::Encode, true, random); });
    Add("RoverDecode", roverEncoded.size(), [&](auto&) { return RoverDecode(roverEncoded); });
    Add("VigenereEncode", prose.size(),
        [&](auto&) { return VigenereTransform(prose, Key, TransformMode::Encode); });
    Add("VigenereDecode", prose.size(),
        [&](auto&) { return VigenereTransform(vigenereEncoded, Key, TransformMode::Decode); });
    Add("NormaliseKey", prose.size(), [&](auto&) { return NormaliseKey(prose); });
    Add("InsertHeader", prose.size(), [&](auto&) { return InsertHeader(prose, U'b', 1, random); });
    Add("StripHeader", headed.size(), [&](auto&) { return StripHeader(headed); });
    AddPipelines(false);
    AddPipelines(true);
    Add("VigenereEncode/1M", longProse.size(),
        [&](auto&) { return VigenereTransform(longProse, Key, TransformMode::Encode); });
    Add("TableMapLimit/1M", longProse.size(), [&](auto&) { return TableMap(longProse); });
    Add("VigenerePipeline/1M", longProse.size(), [&](UserDialogs& d) {
        return Calls::EncryptText(longProse, 1, {Calls::Vignere, false, Key}, d, random);
    });
    const Text longEncrypted =
        Calls::EncryptText(longProse, 1, {Calls::Vignere, false, Key}, dialogs, random).value();
    Add("VigenereDecryptPipeline/1M", longProse.size(), [&](UserDialogs&) {
        KeyTyper typer;
        return Calls::DecryptText(longEncrypted, {Calls::Vignere, false, Key}, typer);
    });
    Add("VigenerePipeline/1M/passes:3", longProse.size(), [&](UserDialogs& d) {
        return Calls::EncryptText(longProse, 3, {Calls::Vignere, false, Key}, d, random);
    });

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
