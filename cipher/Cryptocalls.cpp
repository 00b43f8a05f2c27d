#include "Cryptocalls.h"

#include "NumberReader.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace qel::Cryptocalls
{

namespace
{

// Lookup tables over the Latin-1 range, where every letter of the alphabet and every consonant lives.
struct LetterTables {
    std::array<std::uint8_t, 256> number{}; // alphabet number, 0 for none
    std::array<bool, 128> consonant{};
};

constexpr LetterTables MakeTables()
{
    LetterTables t;
    for (int i = 0; i < 29; ++i) {
        const char32_t letter = CipherAlphabet[static_cast<std::size_t>(i)];
        // Within Latin-1 the lower-case form of these letters is 0x20 above.
        t.number[letter] = static_cast<std::uint8_t>(i + 1);
        t.number[letter + 0x20] = static_cast<std::uint8_t>(i + 1);
    }
    for (char32_t ch : std::u32string_view(U"bcdfghjklmnpqrstvwx")) {
        t.consonant[ch] = true;
        t.consonant[ch - 0x20] = true;
    }
    t.consonant[U'z'] = true;
    return t;
}

constexpr LetterTables Tables = MakeTables();

constexpr std::size_t LastPosition = 32767;

Failure Overflow()
{
    return {ErrorNumber::Overflow, U"Overflow", FailureSource::Transform};
}

Failure OutOfMemory()
{
    return {ErrorNumber::OutOfMemory, U"Out of memory", FailureSource::Transform};
}

char32_t DrawStrongCharacter(RandomSource& random)
{
    return static_cast<char32_t>(65 + static_cast<int>(std::floor(random.nextUnit() * 57)));
}

Result<Text> RoverEncode(TextView text, bool strong, RandomSource& random)
{
    if (text.size() > MaxRoverLength)
        return Overflow();
    const auto consonants = static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char32_t ch) { return IsConsonant(ch); }));
    const std::size_t length = text.size() + 2 * consonants;
    // Refuse what the decoder could not read back.
    if (length > MaxRoverLength)
        return Overflow();
    try {
        Text out(length, U'\0');
        char32_t* write = out.data();
        for (char32_t ch : text) {
            *write++ = ch;
            if (!IsConsonant(ch))
                continue;
            if (strong) {
                *write++ = DrawStrongCharacter(random);
                *write++ = DrawStrongCharacter(random);
            } else {
                *write++ = U'o';
                *write++ = ch | 0x20; // consonants are ASCII letters
            }
        }
        return out;
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

} // namespace

int AlphabetNumber(char32_t ch)
{
    return ch < 256 ? Tables.number[ch] : 0;
}

Result<Text> ReverseText(TextView text)
{
    if (text.size() > MaxReverseLength)
        return Overflow();
    try {
        return Text(text.rbegin(), text.rend());
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

bool IsConsonant(char32_t ch)
{
    return ch < 128 && Tables.consonant[ch];
}

Result<Text> RoverTransform(TextView text, TransformMode mode, bool strong, RandomSource& random)
{
    if (mode == TransformMode::Encode)
        return RoverEncode(text, strong, random);
    return RoverDecode(text);
}

Result<Text> RoverDecode(TextView text)
{
    if (text.size() > MaxRoverLength)
        return Overflow();
    try {
        Text out;
        out.reserve(text.size());
        std::size_t i = 0;
        while (i < text.size()) {
            const char32_t ch = text[i];
            out += ch;
            if (IsConsonant(ch)) {
                // The skip must not pass the largest position a 16-bit counter can name.
                if (i + 1 + 3 > LastPosition)
                    return Overflow();
                i += 3;
            } else {
                ++i;
            }
        }
        return out;
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

Text NormaliseKey(TextView typedKey)
{
    Text key;
    for (char32_t ch : typedKey) {
        const int number = AlphabetNumber(ch);
        if (number > 0)
            key += CipherAlphabet[static_cast<std::size_t>(number - 1)];
    }
    if (key.size() < 4)
        return KeyTooShort;
    return key;
}

Text InsertHeader(TextView body, char32_t protocolCode, int passCount, RandomSource& random)
{
    const std::size_t n = body.size();
    std::size_t p = 0;
    // Bodies of 253 and 254 characters can draw 256 or 257, which the three-digit prefix may not name.
    do {
        const double r = random.nextUnit();
        p = n < 255 ? static_cast<std::size_t>(std::floor(r * static_cast<double>(n) + 4))
                    : static_cast<std::size_t>(std::floor(r * 250 + 4));
    } while (p > 255);

    const int count = std::clamp(passCount, 0, MaxPassCount);
    const char32_t prefix[] = {static_cast<char32_t>(U'0' + p / 100),
                               static_cast<char32_t>(U'0' + p / 10 % 10),
                               static_cast<char32_t>(U'0' + p % 10)};
    const char32_t header[] = {protocolCode, static_cast<char32_t>(U'0' + count / 10),
                               static_cast<char32_t>(U'0' + count % 10)};

    const std::size_t front = p - 4; // characters of the body before the header
    Text out;
    out.reserve(n + HeaderLength);
    out.append(prefix, 3);
    out.append(body.substr(0, front));
    out.append(header, 3);
    out.append(body.substr(front));
    return out;
}

bool ReadHeader(TextView text, HeaderFields& fields)
{
    const Result<int> position = ReadNumber(text.substr(0, PositionPrefixLength), NumberWidth::SignedInt16);
    if (!position.ok() || position.value() < 1 || position.value() > 255)
        return false;
    const auto p = static_cast<std::size_t>(position.value());
    fields.protocolCode = p <= text.size() ? Text(text.substr(p - 1, 1)) : Text();
    fields.passCount = p <= text.size() ? Text(text.substr(p, 2)) : Text();
    return true;
}

Result<Text> StripHeader(TextView text)
{
    const Result<int> position = ReadNumber(text.substr(0, PositionPrefixLength), NumberWidth::UnsignedByte);
    if (!position.ok())
        return Failure{ErrorNumber::Overflow, U"Overflow", FailureSource::StripHeader};
    const auto p = static_cast<std::size_t>(position.value());
    if (p < PositionPrefixLength + 1)
        return Failure{ErrorNumber::InvalidArgument, U"Ugyldig prosedyrekall eller argument",
                       FailureSource::StripHeader};

    Text out;
    if (text.size() > PositionPrefixLength)
        out.append(text.substr(PositionPrefixLength, p - 4));
    if (text.size() > p + 2)
        out.append(text.substr(p + 2));
    return out;
}

Text VigenereTransform(TextView text, TextView key, TransformMode mode)
{
    std::vector<int> shifts;
    shifts.reserve(key.size());
    for (char32_t ch : key) {
        if (const int number = AlphabetNumber(ch); number > 0)
            shifts.push_back(mode == TransformMode::Encode ? number : 29 - number);
    }
    if (shifts.empty())
        return Text(text);

    Text out(text);
    std::size_t k = 0;
    for (char32_t& ch : out) {
        if (ch >= 256)
            continue;
        const int d = Tables.number[ch];
        if (d == 0)
            continue;
        int s = d + shifts[k];
        if (s > 29)
            s -= 29;
        if (++k == shifts.size())
            k = 0;
        const bool upper = ch == CipherAlphabet[static_cast<std::size_t>(d - 1)];
        const char32_t letter = CipherAlphabet[static_cast<std::size_t>(s - 1)];
        ch = upper ? letter : LowerCase(letter);
    }
    return out;
}

bool IsUsableKey(TextView key)
{
    return std::any_of(key.begin(), key.end(), [](char32_t ch) { return AlphabetNumber(ch) > 0; });
}

} // namespace qel::Cryptocalls
