#include "Accounts.h"

#include "cipher/Cryptocalls.h"
#include "cipher/Messages.h"

#include <algorithm>

namespace qel {

namespace {

struct Account {
    const char32_t* compared;
    const char32_t* display;
};

constexpr Account Accounts[] = {
    {U"kaktus", U"Kaktus"},
    {U"fjord", U"Fjord"},
    {U"mast", U"Mast"},
};

// The shared password, stored backwards.
constexpr char32_t StoredPassword[] = U"zem";

} // namespace

std::optional<Text> PasswordAccount(const Text& user, const Text& password, UserDialogs& dialogs)
{
    const Result<Text> reversed = Cryptocalls::ReverseText(password);
    if (!reversed.ok()) {
        dialogs.showMessage(Messages::FailureReport(reversed.failure()));
        return std::nullopt;
    }
    Text lowered = user;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), LowerCase);
    for (const Account& account : Accounts) {
        if (reversed.value() == StoredPassword && lowered == account.compared)
            return Text(account.display);
    }
    return std::nullopt;
}

} // namespace qel
