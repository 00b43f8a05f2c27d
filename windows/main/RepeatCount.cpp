#include "RepeatCount.h"

#include "cipher/NumberReader.h"

#include <algorithm>

namespace qel {
namespace {

bool IsBlank(char32_t ch)
{
    return ch == U' ' || ch == U'\t';
}

// A sign, digits and at most one decimal point, with blanks around: nothing the number reader would
// leave unread.
bool IsWholeNumber(TextView text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == U'+' || text[i] == U'-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char32_t ch = text[i];
        if (ch >= U'0' && ch <= U'9') {
            digits = true;
        } else if (ch == U'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return digits && i == text.size();
}

} // namespace

RepeatCountAnswer ReadRepeatCount(const std::optional<Text>& answer)
{
    // Blanks alone look no different from an empty answer in the prompt, so they stop as quietly.
    if (!answer.has_value() || std::all_of(answer->begin(), answer->end(), IsBlank))
        return {RepeatCountAnswer::Stop};
    if (!IsWholeNumber(*answer))
        return {RepeatCountAnswer::TooMany};
    const Result<int> number = ReadNumber(*answer, NumberWidth::UnsignedByte);
    if (!number.ok() || number.value() > MaxRepeatCount)
        return {RepeatCountAnswer::TooMany};
    return {RepeatCountAnswer::Encrypt, number.value()};
}

} // namespace qel
