#include "Text.h"

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

} // namespace

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
    std::string out;
    out.reserve(text.size());
    for (char32_t ch : text) {
        if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
            ch = Replacement;
        if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else if (ch < 0x800) {
            out += static_cast<char>(0xC0 | (ch >> 6));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        } else if (ch < 0x10000) {
            out += static_cast<char>(0xE0 | (ch >> 12));
            out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (ch >> 18));
            out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    return out;
}

Text FromUtf8(std::string_view utf8)
{
    Text out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t ch = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            ch = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, ch = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, ch = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, ch = lead & 0x07, least = 0x10000;
        } else {
            out += Replacement;
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        for (; j <= i + static_cast<std::size_t>(extra); ++j) {
            if (j >= utf8.size() || (static_cast<unsigned char>(utf8[j]) & 0xC0) != 0x80)
                break;
            ch = (ch << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
        }
        const bool complete = j == i + 1 + static_cast<std::size_t>(extra);
        if (!complete || ch < least || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
            ch = Replacement;
        out += ch;
        i = j;
    }
    return out;
}

} // namespace qel
