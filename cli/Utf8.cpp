#include "Utf8.h"

namespace qel::cli {

std::variant<Text, InvalidUtf8> DecodeUtf8(std::string_view bytes)
{
    // Never more characters than bytes: write into place and cut to length at the end.
    Text text(bytes.size(), U'\0');
    char32_t* out = text.data();
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = byteAt(i);
        if (lead < 0x80) {
            *out++ = static_cast<char32_t>(lead);
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t ch = 0;
        // The second byte's range excludes overlong forms, surrogates and anything past U+10FFFF.
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
            return InvalidUtf8{i};
        }
        for (std::size_t k = 1; k < length; ++k) {
            if (i + k >= bytes.size())
                return InvalidUtf8{i};
            const unsigned char next = byteAt(i + k);
            const bool inRange = k == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
            if (!inRange)
                return InvalidUtf8{i};
            ch = (ch << 6) | (next & 0x3F);
        }
        *out++ = ch;
        i += length;
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

} // namespace qel::cli
