#pragma once

#include "cipher/Calls.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qel::cli {

// What the command line asks for, checked against the rules of the main window's commands.
struct Invocation {
    enum class Action { Encrypt, Decrypt, Help, Version, UsageError };
    Action action = Action::UsageError;
    std::string usageError; // for UsageError: what was wrong, in Norwegian

    std::uint8_t protocol = Calls::Vignere; // the main window starts with Vignere chosen
    bool strong = false;
    int passes = 1;
    std::optional<std::string> key;     // as typed, before it is normalised
    std::optional<std::string> keyFile; // a file holding the key
    std::optional<std::string> input;   // a file; standard input otherwise
    std::optional<std::string> output;  // a file; standard output otherwise
    std::optional<std::uint64_t> seed;
};

Invocation ParseArguments(const std::vector<std::string>& arguments);

// The short usage text given with a usage error, and the whole help.
extern const char* const UsageText;
extern const char* const HelpText;

} // namespace qel::cli
