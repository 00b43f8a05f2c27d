#pragma once

#include "Cryptocalls.h"
#include "UserDialogs.h"

#include <array>
#include <cstdint>
#include <optional>

namespace qel::Calls {

// The 29 one-letter texts of CipherAlphabet, indexed 1 to 29; all empty until first built.
class VigenereTable
{
public:
    const Text& operator()(int index) const { return m_entries.at(static_cast<std::size_t>(index - 1)); }
    Text& operator()(int index) { return m_entries.at(static_cast<std::size_t>(index - 1)); }
    static constexpr int size() { return 29; }

private:
    std::array<Text, 29> m_entries;
};

void BuildVigenereTable(VigenereTable& table);

// The protocol choices of the main window.
enum Protocol : std::uint8_t {
    Crypt = 1,   // reversal
    Rover = 2,   // Røver transform
    Begge = 3,   // Røver transform, then reversal
    Vignere = 4, // Vigenère with the CryptKey
};

// What one pass of each protocol writes into its header.
struct ProtocolEntry {
    Protocol protocol;
    char32_t code;       // ProtocolCode with Strong off
    char32_t strongCode; // ProtocolCode with Strong on
    bool writesCount;    // PassCount is the call's count; otherwise always 1
};

inline constexpr ProtocolEntry ProtocolTable[] = {
    {Crypt, U'a', U'a', false},
    {Rover, U'b', U'c', true},
    {Begge, U'd', U'e', true},
    {Vignere, U'f', U'f', true},
};

// What both pipelines read besides the input text.
struct CipherSettings {
    std::uint8_t selectedProtocol = 0;
    bool strong = false;
    Text cryptKey;
};

// Runs count passes (0 to 99) of the selected protocol over input, each ending in a header. Returns
// the text for the output box, or nothing when the output box is to stay as it is: an empty input, a
// count out of range, or a pass that failed (after its box).
std::optional<Text> EncryptText(TextView input, int count, const CipherSettings& settings,
                                UserDialogs& dialogs, RandomSource& random);

// Undoes as many passes as the outer header names, or one headerless pass of the selected protocol
// when the input has none. Returns the text for the output box, or nothing to leave it as it is.
std::optional<Text> DecryptText(TextView input, const CipherSettings& settings, UserDialogs& dialogs);

} // namespace qel::Calls
