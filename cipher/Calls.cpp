#include "Calls.h"

#include "Messages.h"
#include "NumberReader.h"

#include <algorithm>
#include <iterator>

namespace qel::Calls {

using namespace Cryptocalls;

void BuildVigenereTable(VigenereTable& table)
{
    for (int i = 1; i <= VigenereTable::size(); ++i)
        table(i) = Text(1, CipherAlphabet[static_cast<std::size_t>(i - 1)]);
}

namespace {

// A failed step reports itself once; the run then stops and the output box keeps what it had.
std::optional<Text> Check(Result<Text> step, UserDialogs& dialogs)
{
    if (step.ok())
        return std::move(step).value();
    dialogs.showMessage(Messages::FailureReport(step.failure()));
    return std::nullopt;
}

std::optional<Text> RoverThenReverse(TextView text, bool strong, RandomSource& random, UserDialogs& dialogs)
{
    const auto encoded = Check(RoverTransform(text, TransformMode::Encode, strong, random), dialogs);
    if (!encoded)
        return std::nullopt;
    return Check(ReverseText(*encoded), dialogs);
}

std::optional<Text> ReverseThenRover(TextView text, UserDialogs& dialogs)
{
    const auto reversed = Check(ReverseText(text), dialogs);
    if (!reversed)
        return std::nullopt;
    return Check(RoverDecode(*reversed), dialogs);
}

// The body of one encryption pass, before its header; nothing when the transform failed, so that
// the run stops instead of wrapping a header round nothing.
std::optional<Text> EncryptBody(TextView s, const CipherSettings& settings, UserDialogs& dialogs,
                                RandomSource& random)
{
    switch (settings.selectedProtocol) {
    case Crypt:
        return Check(ReverseText(s), dialogs);
    case Rover:
        return Check(RoverTransform(s, TransformMode::Encode, settings.strong, random), dialogs);
    case Begge:
        return RoverThenReverse(s, settings.strong, random, dialogs);
    default: // Vignere, the one protocol of the table left
        return VigenereTransform(s, settings.cryptKey, TransformMode::Encode);
    }
}

std::optional<Text> EncryptPass(TextView s, int count, const CipherSettings& settings, UserDialogs& dialogs,
                                RandomSource& random)
{
    const auto* entry =
        std::find_if(std::begin(ProtocolTable), std::end(ProtocolTable),
                     [&](const ProtocolEntry& e) { return e.protocol == settings.selectedProtocol; });
    if (entry == std::end(ProtocolTable))
        return Text(s);
    // Without a key the pass leaves the text as it is, and says so every time.
    if (entry->protocol == Vignere && !IsUsableKey(settings.cryptKey)) {
        dialogs.showMessage(Messages::MissingCryptKey());
        return Text(s);
    }
    const auto body = EncryptBody(s, settings, dialogs, random);
    if (!body)
        return std::nullopt;
    return InsertHeader(*body, settings.strong ? entry->strongCode : entry->code,
                        entry->writesCount ? count : 1, random);
}

// The count field of a header: two characters read like the position prefix; a negative count cannot
// name a number of passes and counts as none.
int PassCountOf(const HeaderFields& fields)
{
    const Result<int> count = ReadNumber(fields.passCount, NumberWidth::SignedInt16);
    return count.ok() && count.value() > 0 ? count.value() : 0;
}

// One decryption pass for a protocol code from a to f; nothing when the run is to stop.
std::optional<Text> DecryptPass(const Text& s, char32_t code, const CipherSettings& settings,
                                UserDialogs& dialogs)
{
    const auto body = Check(StripHeader(s), dialogs);
    if (!body)
        return std::nullopt;
    switch (code) {
    case U'a':
        return Check(ReverseText(*body), dialogs);
    case U'b':
    case U'c':
        return Check(RoverDecode(*body), dialogs);
    case U'd':
    case U'e':
        return ReverseThenRover(*body, dialogs);
    default: { // f, the only code left: IsProtocolCode has been checked
        const auto answer = dialogs.askText(Messages::DecryptKeyPrompt(settings.cryptKey));
        if (!answer)
            return std::nullopt;
        const Text key = NormaliseKey(*answer);
        if (key == KeyTooShort) {
            dialogs.showMessage(Messages::InvalidKey());
            return std::nullopt;
        }
        return VigenereTransform(*body, key, TransformMode::Decode);
    }
    }
}

bool IsProtocolCode(TextView code)
{
    return code.size() == 1 && code[0] >= U'a' && code[0] <= U'f';
}

std::optional<Text> DecryptHeaderless(TextView input, const CipherSettings& settings, UserDialogs& dialogs)
{
    switch (settings.selectedProtocol) {
    case Crypt:
        return Check(ReverseText(input), dialogs);
    case Rover:
        return Check(RoverDecode(input), dialogs);
    case Begge:
        return ReverseThenRover(input, dialogs);
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<Text> EncryptText(TextView input, int count, const CipherSettings& settings,
                                UserDialogs& dialogs, RandomSource& random)
{
    if (input.empty() || count < 0 || count > MaxPassCount)
        return std::nullopt;
    if (count == 0)
        return Text(input);
    // The first pass reads the input where it lies: long Vigenère texts are not worth an extra copy.
    Text s;
    for (int pass = 1; pass <= count; ++pass) {
        auto next = EncryptPass(pass == 1 ? input : TextView(s), count, settings, dialogs, random);
        if (!next)
            return std::nullopt;
        s = std::move(*next);
    }
    return s;
}

std::optional<Text> DecryptText(TextView input, const CipherSettings& settings, UserDialogs& dialogs)
{
    HeaderFields fields{U"error", U"error"};
    if (!ReadHeader(input, fields))
        return DecryptHeaderless(input, settings, dialogs);

    const int count = PassCountOf(fields);
    Text s(input);
    // Codes other than a to f undo nothing: the input comes out unchanged.
    if (!IsProtocolCode(fields.protocolCode))
        return s;
    for (int pass = 1; pass <= count; ++pass) {
        auto next = DecryptPass(s, fields.protocolCode[0], settings, dialogs);
        if (!next)
            return std::nullopt;
        s = std::move(*next);
    }
    return s;
}

} // namespace qel::Calls
