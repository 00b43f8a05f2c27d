#pragma once

#include "cipher/UserDialogs.h"

#include <optional>

namespace qel {

// The display name of the built-in account that the user name and password open, or nothing. The
// user name is compared in lower case by Windows-1252 rules, untrimmed; the password, written
// backwards, must equal the stored constant exactly. A password too long to reverse is reported
// through dialogs and refused.
std::optional<Text> PasswordAccount(const Text& user, const Text& password, UserDialogs& dialogs);

} // namespace qel
