#include "Text.h"

#include <cstdint>
#include <cstring>

namespace qel {

namespace {

constexpr char32_t Replacement = 0xFFFD;

// The four pairs that Windows-1252 keeps in its 0x80–0x9F block.
struct CasePair {
    char32_t upper;
    char32_t lower;
};
constexpr CasePair ExtraPairs[] = {
    {0x0160, 0x0161}, // Š š
    {0x0152, 0x0153}, // Œ œ
    {0x017D, 0x017E}, // Ž ž
    {0x0178, 0x00FF}, // Ÿ ÿ
};

// Windows-1252's 0x80–0x9F block; the rest of the code page is Latin-1.
constexpr char32_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

std::string ToWindows1252(TextView text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t ch : text) {
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
            out += static_cast<char>(ch);
            continue;
        }
        char byte = '?';
        for (std::size_t i = 0; i < std::size(HighControls); ++i) {
            if (HighControls[i] == ch)
                byte = static_cast<char>(0x80 + i);
        }
        out += byte;
    }
    return out;
}

Text FromWindows1252(std::string_view bytes)
{
    Text out;
    out.reserve(bytes.size());
    for (char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        out += code >= 0x80 && code < 0xA0 ? HighControls[code - 0x80] : char32_t{code};
    }
    return out;
}

char32_t UpperCase(char32_t ch)
{
    if (ch >= U'a' && ch <= U'z')
        return ch - 0x20;
    if (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7)
        return ch - 0x20;
    for (const auto& pair : ExtraPairs) {
        if (ch == pair.lower)
            return pair.upper;
    }
    return ch;
}

char32_t LowerCase(char32_t ch)
{
    if (ch >= U'A' && ch <= U'Z')
        return ch + 0x20;
    if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7)
        return ch + 0x20;
    for (const auto& pair : ExtraPairs) {
        if (ch == pair.upper)
            return pair.lower;
    }
    return ch;
}

std::string ToUtf8(TextView text)
{
    // Sized once, by a first count that the compiler vectorises, and written in place: a hundred
    // megabytes from the command line would otherwise be appended a byte at a time and grown twice.
    std::size_t length = 0;
    for (char32_t ch : text)
        length += ch < 0x80 ? 1 : ch < 0x800 ? 2 : ch < 0x10000 || ch > 0x10FFFF ? 3 : 4;
    std::string out(length, '\0');
    char* p = out.data();
    for (char32_t ch : text) {
        if (ch < 0x80) {
            *p++ = static_cast<char>(ch);
            continue;
        }
        if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
            ch = Replacement;
        if (ch < 0x800) {
            *p++ = static_cast<char>(0xC0 | (ch >> 6));
        } else if (ch < 0x10000) {
            *p++ = static_cast<char>(0xE0 | (ch >> 12));
            *p++ = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        } else {
            *p++ = static_cast<char>(0xF0 | (ch >> 18));
            *p++ = static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        }
        *p++ = static_cast<char>(0x80 | (ch & 0x3F));
    }
    return out;
}

namespace {

// Decodes well-formed UTF-8 from utf8[i] on, appending to text, up to the end or the first byte that
// does not belong; returns where it stopped. The second byte's range excludes overlong forms,
// surrogates and anything past U+10FFFF. Characters gather in a small buffer and join the text a
// stretch at a time: room made in the text beforehand would first be filled with zeros, which for a
// hundred megabytes costs more than the decoding.
std::size_t DecodeWellFormed(std::string_view utf8, std::size_t i, Text& text)
{
    constexpr std::size_t Stretch = 4096;
    char32_t buffer[Stretch];
    std::size_t n = 0;
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
    while (i < utf8.size()) {
        if (n + 8 > Stretch) {
            text.append(buffer, n);
            n = 0;
        }
        // Eight ASCII bytes at once, the common case in prose.
        if (std::uint64_t word = 0; i + 8 <= utf8.size() && (std::memcpy(&word, utf8.data() + i, 8), true) &&
                                    (word & 0x8080808080808080u) == 0) {
            for (std::size_t k = 0; k < 8; ++k)
                buffer[n + k] = byteAt(i + k);
            n += 8;
            i += 8;
            continue;
        }
        const unsigned char lead = byteAt(i);
        if (lead < 0x80) {
            buffer[n++] = lead;
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t ch = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            ch = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            ch = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            ch = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            break;
        }
        if (i + length > utf8.size())
            break;
        bool wellFormed = true;
        for (std::size_t k = 1; k < length && wellFormed; ++k) {
            const unsigned char next = byteAt(i + k);
            wellFormed = k == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
            ch = (ch << 6) | (next & 0x3F);
        }
        if (!wellFormed)
            break;
        buffer[n++] = ch;
        i += length;
    }
    text.append(buffer, n);
    return i;
}

// How many bytes the malformed sequence at utf8[i] takes: a lead byte with the continuation bytes
// that follow it, as many as the lead announces; a byte that leads nothing alone.
std::size_t MalformedLength(std::string_view utf8, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t announced = (lead & 0xE0) == 0xC0   ? 1
                                  : (lead & 0xF0) == 0xE0 ? 2
                                  : (lead & 0xF8) == 0xF0 ? 3
                                                          : 0;
    std::size_t length = 1;
    while (length <= announced && i + length < utf8.size() &&
           (static_cast<unsigned char>(utf8[i + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

} // namespace

std::variant<Text, InvalidUtf8> DecodeUtf8(std::string_view utf8)
{
    Text text;
    text.reserve(utf8.size()); // never more characters than bytes
    if (const std::size_t stop = DecodeWellFormed(utf8, 0, text); stop < utf8.size())
        return InvalidUtf8{stop};
    return text;
}

Text FromUtf8(std::string_view utf8)
{
    Text text;
    text.reserve(utf8.size());
    for (std::size_t i = DecodeWellFormed(utf8, 0, text); i < utf8.size();
         i = DecodeWellFormed(utf8, i, text)) {
        text.push_back(Replacement);
        i += MalformedLength(utf8, i);
    }
    return text;
}

} // namespace qel
