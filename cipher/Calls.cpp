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

// The body of one Crypt, Røver or Begge pass, before its header; nothing when the transform failed, so
// that the run stops instead of wrapping a header round nothing.
std::optional<Text> EncryptBody(TextView s, const CipherSettings& settings, UserDialogs& dialogs,
                                RandomSource& random)
{
    switch (settings.selectedProtocol) {
    case Crypt:
        return Check(ReverseText(s), dialogs);
    case Rover:
        return Check(RoverTransform(s, TransformMode::Encode, settings.strong, random), dialogs);
    default: // Begge
        return RoverThenReverse(s, settings.strong, random, dialogs);
    }
}

// One Crypt, Røver or Begge pass over s into out, which holds none of s; false when the run is to
// stop. The body is copied once, to where it ends up behind the header.
bool EncryptPass(TextView s, int count, const CipherSettings& settings, UserDialogs& dialogs,
                 RandomSource& random, Text& out)
{
    const auto* entry =
        std::find_if(std::begin(ProtocolTable), std::end(ProtocolTable),
                     [&](const ProtocolEntry& e) { return e.protocol == settings.selectedProtocol; });
    if (entry == std::end(ProtocolTable)) {
        out.assign(s);
        return true;
    }
    const auto body = EncryptBody(s, settings, dialogs, random);
    if (!body)
        return false;
    out.resize(body->size() + HeaderLength);
    std::copy(body->begin(), body->end(), out.begin() + HeaderLength);
    PlaceHeader(out.data(), DrawHeaderPosition(body->size(), random),
                settings.strong ? entry->strongCode : entry->code, entry->writesCount ? count : 1);
    return true;
}

// A Vigenère pass keeps the length and adds a header, so a whole run fits in the one text it returns:
// after pass j the text fills it from HeaderLength * (count - j) on, each pass transforming it where
// it lies and putting its header in front.
std::optional<Text> EncryptVigenere(TextView input, int count, const CipherSettings& settings,
                                    UserDialogs& dialogs, RandomSource& random)
{
    if (!IsUsableKey(settings.cryptKey)) {
        // Without a key every pass leaves the text as it is, and says so.
        for (int pass = 1; pass <= count; ++pass)
            dialogs.showMessage(Messages::MissingCryptKey());
        return Text(input);
    }
    Text out(input.size() + HeaderLength * static_cast<std::size_t>(count), U'\0');
    char32_t* text = out.data() + HeaderLength * static_cast<std::size_t>(count);
    std::size_t length = input.size();
    for (int pass = 1; pass <= count; ++pass) {
        VigenereRun run(settings.cryptKey, TransformMode::Encode);
        run.apply(pass == 1 ? input : TextView(text, length), text);
        text -= HeaderLength;
        PlaceHeader(text, DrawHeaderPosition(length, random), U'f', count);
        length += HeaderLength;
    }
    return out;
}

// The count field of a header: two characters read like the position prefix; a negative count cannot
// name a number of passes and counts as none.
int PassCountOf(const HeaderFields& fields)
{
    const Result<int> count = ReadNumber(fields.passCount, NumberWidth::SignedInt16);
    return count.ok() && count.value() > 0 ? count.value() : 0;
}

// One Vigenère decryption pass over s into out, where s may already lie: the body moves only towards
// the start, which a transform going forward can write over as it reads. False when the run is to stop.
bool DecryptVigenerePass(TextView s, const CipherSettings& settings, UserDialogs& dialogs, Text& out)
{
    const Result<BodyParts> split = SplitHeader(s);
    if (!split.ok()) {
        dialogs.showMessage(Messages::FailureReport(split.failure()));
        return false;
    }
    const auto answer = dialogs.askText(Messages::DecryptKeyPrompt(settings.cryptKey));
    if (!answer)
        return false;
    const Text key = NormaliseKey(*answer);
    if (key == KeyTooShort) {
        dialogs.showMessage(Messages::InvalidKey());
        return false;
    }
    const auto [front, back] = split.value();
    const std::size_t length = front.size() + back.size();
    if (s.data() != out.data())
        out.resize(length);
    VigenereRun run(key, TransformMode::Decode);
    run.apply(front, out.data());
    run.apply(back, out.data() + front.size());
    out.resize(length);
    return true;
}

// One Crypt, Røver or Begge decryption pass (codes a to e) over s into out, which holds none of s;
// false when the run is to stop.
bool DecryptPass(TextView s, char32_t code, UserDialogs& dialogs, Text& out)
{
    const auto body = Check(StripHeader(s), dialogs);
    if (!body)
        return false;
    std::optional<Text> result;
    switch (code) {
    case U'a':
        result = Check(ReverseText(*body), dialogs);
        break;
    case U'b':
    case U'c':
        result = Check(RoverDecode(*body), dialogs);
        break;
    default: // d, e
        result = ReverseThenRover(*body, dialogs);
        break;
    }
    if (!result)
        return false;
    out = std::move(*result);
    return true;
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
    if (settings.selectedProtocol == Vignere)
        return EncryptVigenere(input, count, settings, dialogs, random);
    // Two texts take turns: each pass reads one and writes the other.
    Text current, spare;
    TextView s = input; // the first pass reads the input where it lies
    for (int pass = 1; pass <= count; ++pass) {
        if (!EncryptPass(s, count, settings, dialogs, random, spare))
            return std::nullopt;
        std::swap(current, spare);
        s = current;
    }
    return current;
}

std::optional<Text> DecryptText(TextView input, const CipherSettings& settings, UserDialogs& dialogs)
{
    HeaderFields fields{U"error", U"error"};
    if (!ReadHeader(input, fields))
        return DecryptHeaderless(input, settings, dialogs);

    const int count = PassCountOf(fields);
    // Codes other than a to f undo nothing, and neither does a count of none: the input comes out
    // unchanged.
    if (!IsProtocolCode(fields.protocolCode) || count == 0)
        return Text(input);
    const char32_t code = fields.protocolCode[0];
    Text current, spare;
    TextView s = input; // the first pass reads the input where it lies
    for (int pass = 1; pass <= count; ++pass) {
        if (code == U'f') {
            if (!DecryptVigenerePass(s, settings, dialogs, current))
                return std::nullopt;
        } else {
            if (!DecryptPass(s, code, dialogs, spare))
                return std::nullopt;
            std::swap(current, spare);
        }
        s = current;
    }
    return current;
}

} // namespace qel::Calls
