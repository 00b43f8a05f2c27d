#include "Cryptocalls.h"

#include "NumberReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QEL_AVX2 1
#include <immintrin.h>
#endif

namespace qel::Cryptocalls {

namespace {

// Lookup tables over the Latin-1 range, where every letter of the alphabet and every consonant lives.
struct LetterTables {
    std::array<std::uint8_t, 256> number{}; // alphabet number, 0 for none
    std::array<char32_t, 30> capital{};     // by alphabet number; index 0 is a placeholder
    std::array<bool, 256> consonant{};
};

constexpr LetterTables MakeTables()
{
    LetterTables t;
    for (int i = 0; i < 29; ++i) {
        const char32_t letter = CipherAlphabet[static_cast<std::size_t>(i)];
        // Within Latin-1 the lower-case form of these letters is 0x20 above.
        t.number[letter] = static_cast<std::uint8_t>(i + 1);
        t.number[letter + 0x20] = static_cast<std::uint8_t>(i + 1);
        t.capital[static_cast<std::size_t>(i + 1)] = letter;
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

Failure Overflow(FailureSource source = FailureSource::Transform)
{
    return {ErrorNumber::Overflow, U"Overflow", source};
}

Failure OutOfMemory()
{
    return {ErrorNumber::OutOfMemory, U"Out of memory", FailureSource::Transform};
}

#ifdef QEL_AVX2

// The processor's vector instructions, asked once: the kernels below need AVX2.
bool HasAvx2()
{
    static const bool has =
        (__builtin_cpu_init(), __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt"));
    return has;
}

// The consonants among A to Z and among a to z, bit 0 for A and for a: upper-case Z is no consonant.
constexpr std::uint32_t ConsonantBits(char32_t first)
{
    std::uint32_t bits = 0;
    for (std::uint32_t j = 0; j < 26; ++j)
        bits |= Tables.consonant[first + j] ? 1u << j : 0u;
    return bits;
}
constexpr std::uint32_t UpperConsonants = ConsonantBits(U'A');
constexpr std::uint32_t LowerConsonants = ConsonantBits(U'a');

// All ones in the lanes holding a consonant. A shift by 32 or more gives 0, so one shift per case
// range covers every character: those below a range wrap round to huge shifts.
__attribute__((target("avx2"))) __m256i ConsonantLanes(__m256i ch)
{
    const __m256i fromA = _mm256_sub_epi32(ch, _mm256_set1_epi32(U'A'));
    const __m256i froma = _mm256_sub_epi32(ch, _mm256_set1_epi32(U'a'));
    const __m256i bits = _mm256_or_si256(_mm256_srlv_epi32(_mm256_set1_epi32(UpperConsonants), fromA),
                                         _mm256_srlv_epi32(_mm256_set1_epi32(LowerConsonants), froma));
    return _mm256_srai_epi32(_mm256_slli_epi32(bits, 31), 31);
}

__attribute__((target("avx2"))) std::size_t CountConsonantsAvx2(TextView text)
{
    __m256i sums = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        const __m256i ch = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text.data() + i));
        sums = _mm256_sub_epi32(sums, ConsonantLanes(ch)); // all ones is -1
    }
    alignas(32) std::uint32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), sums);
    std::size_t count = 0;
    for (std::uint32_t lane : lanes)
        count += lane;
    for (; i < text.size(); ++i)
        count += IsConsonant(text[i]) ? 1 : 0;
    return count;
}

#endif

// Four characters a round, each into its own sum, halve the loop's overhead per character.
std::size_t CountConsonants(TextView text)
{
#ifdef QEL_AVX2
    if (HasAvx2())
        return CountConsonantsAvx2(text);
#endif
    std::size_t first = 0, second = 0, third = 0, fourth = 0;
    std::size_t i = 0;
    for (; i + 4 <= text.size(); i += 4) {
        first += IsConsonant(text[i]) ? 1 : 0;
        second += IsConsonant(text[i + 1]) ? 1 : 0;
        third += IsConsonant(text[i + 2]) ? 1 : 0;
        fourth += IsConsonant(text[i + 3]) ? 1 : 0;
    }
    for (; i < text.size(); ++i)
        first += IsConsonant(text[i]) ? 1 : 0;
    return first + second + third + fourth;
}

// The strong characters for count consonants, two each, drawn in text order. The draws come in
// batches so a generator can hand them over without a virtual call apiece.
void DrawStrongPairs(RandomSource& random, std::size_t count, char32_t* out)
{
    std::array<double, 256> units{};
    std::array<char32_t, 256> codes;
    for (std::size_t done = 0; done < 2 * count;) {
        const std::size_t batch = std::min(units.size(), 2 * count - done);
        random.nextUnits(std::span(units.data(), batch));
        // Draws lie in [0, 1), where truncation is floor. Converting the whole array, a fixed count,
        // lets the compiler convert two draws per instruction.
        for (std::size_t i = 0; i < units.size(); ++i)
            codes[i] = static_cast<char32_t>(65 + static_cast<int>(units[i] * 57));
        std::copy_n(codes.begin(), batch, out + done);
        done += batch;
    }
}

// Writes the groups for text to out, which has room for them and two spare places. Every character
// writes a whole group and only a consonant moves past it, which keeps the loop free of branches. With
// Strong, pairs holds two drawn characters per consonant plus two spare.
template <bool Strong>
void WriteRoverGroups(TextView text, const char32_t* pairs, char32_t* out)
{
    for (char32_t ch : text) {
        const std::size_t consonant = IsConsonant(ch) ? 1 : 0;
        // The two characters after the consonant go as one 8-byte move.
        std::uint64_t tail;
        if constexpr (Strong) {
            std::memcpy(&tail, pairs, sizeof tail);
        } else {
            const char32_t plain[2] = {U'o', ch | 0x20}; // consonants are ASCII letters
            std::memcpy(&tail, plain, sizeof tail);
        }
        out[0] = ch;
        std::memcpy(out + 1, &tail, sizeof tail);
        out += 1 + 2 * consonant;
        if constexpr (Strong)
            pairs += 2 * consonant;
    }
}

#ifdef QEL_AVX2

// For each pattern of consonants among four characters, where each of the up to twelve characters of
// their groups comes from: the character itself or its lower-case form (lanes 0 to 3 and 4 to 7 of
// the source), "o", or a drawn character.
struct RoverLanes {
    alignas(32) std::uint32_t source[16][16];
    alignas(32) std::uint32_t takesO[16][16];
    alignas(32) std::uint32_t pair[16][16];
    alignas(32) std::uint32_t takesPair[16][16];
};

constexpr RoverLanes MakeRoverLanes()
{
    RoverLanes t{};
    for (unsigned mask = 0; mask < 16; ++mask) {
        unsigned lane = 0;
        unsigned consonants = 0;
        for (unsigned j = 0; j < 4; ++j) {
            t.source[mask][lane++] = j;
            if (((mask >> j) & 1) == 0)
                continue;
            t.takesO[mask][lane] = t.takesPair[mask][lane] = t.takesPair[mask][lane + 1] = ~0u;
            t.pair[mask][lane] = 2 * consonants;
            t.pair[mask][lane + 1] = 2 * consonants + 1;
            t.source[mask][lane + 1] = 4 + j;
            lane += 2;
            ++consonants;
        }
    }
    return t;
}

constexpr RoverLanes RoverGroupLanes = MakeRoverLanes();

// WriteRoverGroups four characters a round: their groups, up to twelve characters, go out as sixteen,
// so out needs RoverSpare places past the end; pairs needs eight readable places past its last pair.
template <bool Strong>
__attribute__((target("avx2,popcnt"))) void WriteRoverGroupsAvx2(TextView text, const char32_t* pairs,
                                                                 char32_t* out)
{
    const __m256i o = _mm256_set1_epi32(U'o');
    std::size_t i = 0;
    for (; i + 4 <= text.size(); i += 4) {
        const __m128i ch = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m256i source =
            _mm256_inserti128_si256(_mm256_castsi128_si256(ch), _mm_or_si128(ch, _mm_set1_epi32(0x20)), 1);
        const auto mask =
            static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(ConsonantLanes(source)))) & 0xF;
        __m256i drawn = _mm256_setzero_si256();
        if constexpr (Strong)
            drawn = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pairs));
        for (std::size_t half = 0; half < 2; ++half) {
            const auto lanes = [&](const std::uint32_t(&table)[16][16]) {
                return reinterpret_cast<const __m256i*>(table[mask] + 8 * half);
            };
            __m256i group =
                _mm256_permutevar8x32_epi32(source, _mm256_load_si256(lanes(RoverGroupLanes.source)));
            if constexpr (Strong)
                group = _mm256_blendv_epi8(
                    group, _mm256_permutevar8x32_epi32(drawn, _mm256_load_si256(lanes(RoverGroupLanes.pair))),
                    _mm256_load_si256(lanes(RoverGroupLanes.takesPair)));
            else
                group = _mm256_blendv_epi8(group, o, _mm256_load_si256(lanes(RoverGroupLanes.takesO)));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * half), group);
        }
        const auto consonants = static_cast<std::size_t>(__builtin_popcount(mask));
        out += 4 + 2 * consonants;
        if constexpr (Strong)
            pairs += 2 * consonants;
    }
    WriteRoverGroups<Strong>(text.substr(i), pairs, out);
}

#endif

// Room past the end of the groups for the whole-block writes of the vector kernel (the scalar one
// needs two), and past the last drawn pair for its whole-block reads.
constexpr std::size_t RoverSpare = 12;
constexpr std::size_t PairSpare = 8;

template <bool Strong>
void WriteGroups(TextView text, const char32_t* pairs, char32_t* out)
{
#ifdef QEL_AVX2
    if (HasAvx2())
        return WriteRoverGroupsAvx2<Strong>(text, pairs, out);
#endif
    WriteRoverGroups<Strong>(text, pairs, out);
}

Result<Text> RoverEncode(TextView text, bool strong, RandomSource& random)
{
    if (text.size() > MaxRoverLength)
        return Overflow();
    const std::size_t consonants = CountConsonants(text);
    const std::size_t length = text.size() + 2 * consonants;
    // Refuse what the decoder could not read back.
    if (length > MaxRoverLength)
        return Overflow();
    try {
        Text out(length + RoverSpare, U'\0');
        if (strong) {
            // All draws first, in text order, so the groups can be written without branching on them.
            const auto pairs = std::make_unique_for_overwrite<char32_t[]>(2 * consonants + PairSpare);
            DrawStrongPairs(random, consonants, pairs.get());
            std::fill_n(pairs.get() + 2 * consonants, PairSpare, U'\0');
            WriteGroups<true>(text, pairs.get(), out.data());
        } else {
            WriteGroups<false>(text, nullptr, out.data());
        }
        out.resize(length);
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
    // The table spans Latin-1 so that æ, ø and å take the same path as ASCII letters; a branch on them
    // cost the encoder mispredictions.
    return ch < 256 ? Tables.consonant[ch & 0xFF] : false;
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
    // Each character is written and only a letter is kept, so no branch depends on the text.
    Text key(typedKey.size(), U'\0');
    std::size_t kept = 0;
    for (char32_t ch : typedKey) {
        const int number = AlphabetNumber(ch);
        key[kept] = Tables.capital[static_cast<std::size_t>(number)];
        kept += number > 0 ? 1 : 0;
    }
    key.resize(kept);
    if (key.size() < 4)
        return KeyTooShort;
    return key;
}

std::size_t DrawHeaderPosition(std::size_t bodyLength, RandomSource& random)
{
    const std::size_t n = bodyLength;
    std::size_t p = 0;
    // Bodies of 253 and 254 characters can draw 256 or 257, which the three-digit prefix may not name.
    do {
        const double r = random.nextUnit();
        p = n < 255 ? static_cast<std::size_t>(std::floor(r * static_cast<double>(n) + 4))
                    : static_cast<std::size_t>(std::floor(r * 250 + 4));
    } while (p > 255);
    return p;
}

void PlaceHeader(char32_t* out, std::size_t position, char32_t protocolCode, int passCount)
{
    const std::size_t p = position;
    const int count = std::clamp(passCount, 0, MaxPassCount);
    const std::size_t front = p - 4; // characters of the body before the header
    std::memmove(out + PositionPrefixLength, out + HeaderLength, front * sizeof(char32_t));
    out[0] = static_cast<char32_t>(U'0' + p / 100);
    out[1] = static_cast<char32_t>(U'0' + p / 10 % 10);
    out[2] = static_cast<char32_t>(U'0' + p % 10);
    char32_t* header = out + PositionPrefixLength + front;
    header[0] = protocolCode;
    header[1] = static_cast<char32_t>(U'0' + count / 10);
    header[2] = static_cast<char32_t>(U'0' + count % 10);
}

Text InsertHeader(TextView body, char32_t protocolCode, int passCount, RandomSource& random)
{
    const std::size_t p = DrawHeaderPosition(body.size(), random);
    Text out(body.size() + HeaderLength, U'\0');
    std::copy(body.begin(), body.end(), out.begin() + HeaderLength);
    PlaceHeader(out.data(), p, protocolCode, passCount);
    return out;
}

bool ReadHeader(TextView text, HeaderFields& fields)
{
    const Result<int> position = ReadNumber(text.substr(0, PositionPrefixLength), NumberWidth::SignedInt16);
    if (!position.ok() || position.value() < 1 || position.value() > 255)
        return false;
    // A position past the end leaves both fields empty.
    const TextView from = text.substr(std::min(static_cast<std::size_t>(position.value()) - 1, text.size()));
    fields.protocolCode = Text(from.substr(0, 1));
    fields.passCount = Text(from.substr(std::min<std::size_t>(1, from.size()), 2));
    return true;
}

Result<BodyParts> SplitHeader(TextView text)
{
    const Result<int> position = ReadNumber(text.substr(0, PositionPrefixLength), NumberWidth::UnsignedByte);
    if (!position.ok())
        return Overflow(FailureSource::StripHeader);
    const auto p = static_cast<std::size_t>(position.value());
    if (p < PositionPrefixLength + 1)
        return Failure{ErrorNumber::InvalidArgument, U"Ugyldig prosedyrekall eller argument",
                       FailureSource::StripHeader};

    BodyParts parts;
    if (text.size() > PositionPrefixLength)
        parts.front = text.substr(PositionPrefixLength, p - 4);
    if (text.size() > p + 2)
        parts.back = text.substr(p + 2);
    return parts;
}

Result<Text> StripHeader(TextView text)
{
    const Result<BodyParts> parts = SplitHeader(text);
    if (!parts.ok())
        return parts.failure();
    Text out;
    out.reserve(parts.value().front.size() + parts.value().back.size());
    out.append(parts.value().front);
    out.append(parts.value().back);
    return out;
}

namespace {

// Eight characters a round in the vector kernel; the key's shifts are laid out so that a block
// reads them from one place without wrapping.
constexpr std::size_t VigenereBlock = 8;

// One character, as the vector kernel does eight: letters and other characters take the same path,
// selected without branches, since prose mixes them too irregularly to predict.
std::size_t VigenereScalar(const char32_t* in, std::size_t n, char32_t* out, const std::uint32_t* shifts,
                           std::size_t period, std::size_t k)
{
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t ch = in[i];
        const int d = ch < 256 ? Tables.number[ch & 0xFF] : 0;
        int s = d + static_cast<int>(shifts[k]);
        s -= s > 29 ? 29 : 0;
        // Both cases of every alphabet letter differ only in bit 0x20, so the case carries over.
        const char32_t letter = Tables.capital[static_cast<std::size_t>(s)] | (ch & 0x20);
        out[i] = d > 0 ? letter : ch;
        k += d > 0 ? 1 : 0;
        k = k == period ? 0 : k;
    }
    return k;
}

#ifdef QEL_AVX2

// For each pattern of letters among eight lanes, the lane of the key's shifts each letter takes: the
// number of letters before it. The shifts then land on the letters in order.
struct ExpandTable {
    alignas(32) std::uint32_t lanes[256][VigenereBlock];
};

constexpr ExpandTable MakeExpandTable()
{
    ExpandTable t{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        std::uint32_t before = 0;
        for (unsigned lane = 0; lane < VigenereBlock; ++lane) {
            t.lanes[mask][lane] = before;
            before += (mask >> lane) & 1;
        }
    }
    return t;
}

constexpr ExpandTable Expand = MakeExpandTable();

__attribute__((target("avx2,popcnt"))) std::size_t VigenereAvx2(const char32_t* in, std::size_t n,
                                                                char32_t* out, const std::uint32_t* shifts,
                                                                std::size_t period, std::size_t k)
{
    const __m256i caseBit = _mm256_set1_epi32(0x20);
    const __m256i letterA = _mm256_set1_epi32(0x41);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i twentyFive = _mm256_set1_epi32(25);
    const __m256i twentyNine = _mm256_set1_epi32(29);
    const __m256i zero = _mm256_setzero_si256();
    // Æ, Ø and Å: their capitals and their numbers
    const __m256i capAe = _mm256_set1_epi32(0xC6), capOe = _mm256_set1_epi32(0xD8),
                  capAa = _mm256_set1_epi32(0xC5);
    const __m256i numAe = _mm256_set1_epi32(27), numOe = _mm256_set1_epi32(28);
    std::size_t i = 0;
    for (; i + VigenereBlock <= n; i += VigenereBlock) {
        const __m256i ch = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
        const __m256i upper = _mm256_andnot_si256(caseBit, ch);
        // A to Z are 1 to 26; the unsigned compare leaves out everything below A and above Z, and
        // clearing bit 0x20 cannot bring a character above 255 into range.
        const __m256i offset = _mm256_sub_epi32(upper, letterA);
        const __m256i isAz = _mm256_cmpeq_epi32(_mm256_min_epu32(offset, twentyFive), offset);
        __m256i d = _mm256_and_si256(isAz, _mm256_add_epi32(offset, one));
        d = _mm256_or_si256(d, _mm256_and_si256(_mm256_cmpeq_epi32(upper, capAe), numAe));
        d = _mm256_or_si256(d, _mm256_and_si256(_mm256_cmpeq_epi32(upper, capOe), numOe));
        d = _mm256_or_si256(d, _mm256_and_si256(_mm256_cmpeq_epi32(upper, capAa), twentyNine));
        const __m256i isLetter = _mm256_cmpgt_epi32(d, zero);
        const auto mask = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(isLetter)));

        const __m256i keyShifts = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(shifts + k));
        const __m256i lanes = _mm256_load_si256(reinterpret_cast<const __m256i*>(Expand.lanes[mask]));
        __m256i s = _mm256_add_epi32(d, _mm256_permutevar8x32_epi32(keyShifts, lanes));
        s = _mm256_sub_epi32(s, _mm256_and_si256(_mm256_cmpgt_epi32(s, twentyNine), twentyNine));

        __m256i letter = _mm256_add_epi32(s, _mm256_set1_epi32(0x40));
        letter = _mm256_blendv_epi8(letter, capAe, _mm256_cmpeq_epi32(s, numAe));
        letter = _mm256_blendv_epi8(letter, capOe, _mm256_cmpeq_epi32(s, numOe));
        letter = _mm256_blendv_epi8(letter, capAa, _mm256_cmpeq_epi32(s, twentyNine));
        letter = _mm256_or_si256(letter, _mm256_and_si256(ch, caseBit));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_blendv_epi8(ch, letter, isLetter));

        // The period holds at least a block, so one step back keeps k inside it.
        k += static_cast<std::size_t>(__builtin_popcount(mask));
        k -= k >= period ? period : 0;
    }
    return VigenereScalar(in + i, n - i, out + i, shifts, period, k);
}

#endif

} // namespace

VigenereRun::VigenereRun(TextView key, TransformMode mode)
{
    std::vector<std::uint32_t> once;
    for (char32_t ch : key) {
        if (const int number = AlphabetNumber(ch); number > 0)
            once.push_back(static_cast<std::uint32_t>(mode == TransformMode::Encode ? number : 29 - number));
    }
    if (once.empty())
        return;
    // Repeating the key until it fills a block lets one subtraction wrap the position after a block.
    m_period = once.size() * ((VigenereBlock + once.size() - 1) / once.size());
    m_shifts.resize(m_period + VigenereBlock);
    for (std::size_t i = 0; i < m_shifts.size(); ++i)
        m_shifts[i] = once[i % once.size()];
}

void VigenereRun::apply(TextView in, char32_t* out)
{
    if (m_period == 0) {
        if (in.data() != out)
            std::copy(in.begin(), in.end(), out);
        return;
    }
#ifdef QEL_AVX2
    if (HasAvx2()) {
        m_next = VigenereAvx2(in.data(), in.size(), out, m_shifts.data(), m_period, m_next);
        return;
    }
#endif
    m_next = VigenereScalar(in.data(), in.size(), out, m_shifts.data(), m_period, m_next);
}

Text VigenereTransform(TextView text, TextView key, TransformMode mode)
{
    Text out(text);
    VigenereRun(key, mode).apply(out, out.data());
    return out;
}

bool IsUsableKey(TextView key)
{
    return std::any_of(key.begin(), key.end(), [](char32_t ch) { return AlphabetNumber(ch) > 0; });
}

} // namespace qel::Cryptocalls
