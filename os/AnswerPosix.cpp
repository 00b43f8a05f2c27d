#include "Answer.h"

#include <cstdio>

namespace qel::os {

void ShowAnswer(std::string_view utf8, bool error)
{
    std::FILE* stream = error ? stderr : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

} // namespace qel::os
