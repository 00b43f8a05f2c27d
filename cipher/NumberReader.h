#pragma once

#include "Result.h"

namespace qel {

// The width a number is held in once read.
enum class NumberWidth {
    UnsignedByte, // 0 to 255
    SignedInt16,  // -32768 to 32767
    SignedInt32,  // -2147483648 to 2147483647
};

// Reads the leading decimal number of a text the way every number box and header field of the
// program does: blanks, tabs and line feeds are skipped, then an optional sign, digits and at most one
// decimal point; reading stops at the first character that cannot continue the number, and a text
// without a leading number reads as 0. The number is rounded to the nearest whole number, halves to
// the even neighbour. A result outside the width fails with ErrorNumber::Overflow.
Result<int> ReadNumber(TextView text, NumberWidth width);

} // namespace qel
