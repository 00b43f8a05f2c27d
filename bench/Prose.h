#pragma once

#include "cipher/Text.h"

#include <cstddef>

namespace qel::bench {

// Our own prose, with the CR LF breaks the text box hands over.
inline const Text Paragraph =
    U"Tåken lå tett over fjorden da båten la fra kaien, og måkene skrek over de grå bølgene.\r\n"
    U"Bestemor sto i døråpningen med sjalet rundt skuldrene og vinket til vi var ute av syne.\r\n"
    U"Om kvelden fyrte vi i ovnen, spiste rømmegrøt med smør og hørte regnet mot ruten.\r\n"
    U"Ingen av oss sa stort, for det trengtes ikke når alt vi ønsket oss, var her.\r\n";

inline const Text Key = U"Blåbærsyltetøy";

// The paragraph over and over, cut at the length asked for.
inline Text Prose(std::size_t length)
{
    Text text;
    text.reserve(length + Paragraph.size());
    while (text.size() < length)
        text += Paragraph;
    text.resize(length);
    return text;
}

} // namespace qel::bench
