// The header reader and stripper on any text, and headers made by InsertHeader read back.
#include "FuzzInput.h"

#include "cipher/Cryptocalls.h"
#include "cipher/NumberReader.h"

#include <algorithm>

using namespace qel;
using namespace qel::Cryptocalls;
using fuzz::Check;

namespace {

// Any text: ReadHeader leaves the fields alone unless it reads a position, the stripper never
// grows the text, and what it drops is exactly the prefix and the three header characters.
void ReadAndStrip(TextView text)
{
    const Text untouched = U"\uFFFF";
    HeaderFields fields{untouched, untouched};
    const bool read = ReadHeader(text, fields);
    if (read)
        Check(fields.protocolCode.size() <= 1 && fields.passCount.size() <= 2, "header fields too long");
    else
        Check(fields.protocolCode == untouched && fields.passCount == untouched, "fields changed unread");

    const Result<Text> stripped = StripHeader(text);
    if (!stripped.ok())
        return;
    Check(read, "stripped a header ReadHeader does not see");
    const Text& body = stripped.value();
    Check(body.size() <= text.size(), "stripping grew the text");
    const auto p = static_cast<std::size_t>(ReadNumber(text.substr(0, 3), NumberWidth::UnsignedByte).value());
    if (text.size() < p + 2)
        return;
    const Text rebuilt =
        Text(text.substr(0, 3)) + body.substr(0, p - 4) + Text(text.substr(p - 1, 3)) + body.substr(p - 4);
    Check(rebuilt == text, "stripping lost more than the header");
}

void InsertAndReadBack(TextView body, char32_t code, int count, RandomSource& random)
{
    const Text text = InsertHeader(body, code, count, random);
    Check(text.size() == body.size() + HeaderLength, "header length");
    HeaderFields fields{U"error", U"error"};
    Check(ReadHeader(text, fields), "inserted header not read");
    const int written = std::clamp(count, 0, MaxPassCount);
    const Text digits{static_cast<char32_t>(U'0' + written / 10), static_cast<char32_t>(U'0' + written % 10)};
    Check(fields.protocolCode == Text(1, code) && fields.passCount == digits, "inserted fields read back");
    const Result<Text> stripped = StripHeader(text);
    Check(stripped.ok() && stripped.value() == body, "inserted header strips back to the body");
}

} // namespace

// Input: a flags byte (bit 0: Windows-1252), the pass count as a signed byte, the protocol code byte,
// then the text, a NUL, and the bytes the header position is drawn from.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const bool windows1252 = data[0] & 1;
    const int count = static_cast<std::int8_t>(data[1]);
    const char32_t code = FromWindows1252(fuzz::Bytes(data + 2, 1))[0];
    const auto parts = fuzz::Split(fuzz::Bytes(data + 3, size - 3));
    const Text text = fuzz::Decode(parts[0], windows1252);

    ReadAndStrip(text);
    fuzz::BytesRandom random(parts.size() > 1 ? parts[1] : std::string_view());
    InsertAndReadBack(text, code, count, random);
    return 0;
}
