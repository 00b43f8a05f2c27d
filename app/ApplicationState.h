#pragma once

#include "cipher/Calls.h"
#include "cipher/Text.h"

#include <cstdint>

namespace qel {

// The process-wide state every window shares. It lives for the whole run and nothing ever clears
// it: logging out closes windows, but the next user still finds the previous CryptKey.
struct ApplicationState {
    Text CurrentUser;                   // the user name of the last successful login
    bool LoggedIn = false;              // entered the encryption program (the pizza timer asks)
    std::uint8_t SelectedProtocol = 0;  // 1 Crypt, 2 Røver, 3 Begge, 4 Vignere; 4 once the main window loads
    Text CryptKey;                      // the Vigenère key; empty while none is set
    Calls::VigenereTable VigenereTable; // the alphabet, once built
    Text PizzaKind;                     // "Grandi", "Big1" or "Pizza"
    bool PizzaStartPending = false;     // "GO!" was pressed; the next tick records the start minute
    bool PizzaHidden = false;           // the pizza timer was hidden by its "Lukk" while logged in
};

} // namespace qel
