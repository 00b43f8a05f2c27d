// The key-file reader on any bytes, and what it reads written and read again.
#include "FuzzInput.h"

#include "windows/access/KeyFile.h"

using namespace qel;
using fuzz::Check;

// Input: the file's bytes, Windows-1252 as on the key disk.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Result<KeyFile> key = ParseKeyFile(fuzz::Bytes(data, size));
    if (!key.ok()) {
        const ErrorNumber number = key.failure().number;
        Check(number == ErrorNumber::InputPastEnd || number == ErrorNumber::Overflow, "unexpected failure");
        return 0;
    }
    // The writer quotes the user without escaping, so only a user without a double quote can come back;
    // only an unquoted field in a hand-made file holds one.
    if (key.value().user.find(U'"') != Text::npos)
        return 0;
    const Result<KeyFile> again = ParseKeyFile(FormatKeyFile(key.value()));
    Check(again.ok() && again.value() == key.value(), "written key file reads back differently");
    return 0;
}
