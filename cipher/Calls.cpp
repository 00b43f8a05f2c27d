#include "Calls.h"

#include "Messages.h"
#include "NumberReader.h"

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

// One encryption pass. The body is returned before its header is added, so that a failed transform
// can stop the run instead of wrapping a header round nothing.
std::optional<Text> EncryptPass(TextView s, int count, const CipherSettings& settings, UserDialogs& dialogs,
                                RandomSource& random)
{
    switch (settings.selectedProtocol) {
    case Crypt: {
        const auto body = Check(ReverseText(s), dialogs);
        return body ? std::optional(InsertHeader(*body, U'a', 1, random)) : std::nullopt;
    }
    case Rover: {
        const auto body = Check(RoverTransform(s, TransformMode::Encode, settings.strong, random), dialogs);
        const char32_t code = settings.strong ? U'c' : U'b';
        return body ? std::optional(InsertHeader(*body, code, count, random)) : std::nullopt;
    }
    case Begge: {
        const auto body = RoverThenReverse(s, settings.strong, random, dialogs);
        const char32_t code = settings.strong ? U'e' : U'd';
        return body ? std::optional(InsertHeader(*body, code, count, random)) : std::nullopt;
    }
    case Vignere:
        if (!IsUsableKey(settings.cryptKey)) {
            dialogs.showMessage(Messages::MissingCryptKey());
            return Text(s);
        }
        return InsertHeader(VigenereTransform(s, settings.cryptKey, TransformMode::Encode), U'f', count,
                            random);
    default:
        return Text(s);
    }
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
