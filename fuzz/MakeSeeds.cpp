// Writes the seed corpora: real texts from the engine in the layouts the fuzz targets read.
// Usage: qel_fuzz_seeds fuzz/corpus
#include "cipher/Calls.h"
#include "cipher/Cryptocalls.h"
#include "windows/access/KeyFile.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

using namespace qel;
namespace fs = std::filesystem;

namespace {

fs::path Root;

void Write(const std::string& target, const std::string& name, const std::string& bytes)
{
    fs::create_directories(Root / target);
    std::ofstream(Root / target / name, std::ios::binary) << bytes;
}

// Takes no prompt and shows nothing here: the seeds use keys that work.
class Silent final : public UserDialogs
{
public:
    MessageAnswer showMessage(const MessageBoxRequest&) override { return MessageAnswer::Ok; }
    std::optional<Text> askText(const InputBoxRequest& request) override { return request.answer; }
};

std::string Decrypt(int flags, int count, int repeat, const std::string& text, const std::string& rest = "")
{
    return std::string{static_cast<char>(flags), static_cast<char>(count), static_cast<char>(repeat)} + text +
           rest;
}

void DecryptSeeds()
{
    const Text plain = U"Hei på deg, Kåre! Møtes kl. 19 ved fjorden.\r\nMvh Ærlig Øystein";
    const Text key = U"NØKKEL";
    const char* names[] = {"", "crypt", "rover", "begge", "vignere"};
    SeededRandom random(20240611);
    Silent silent;
    for (int protocol = 1; protocol <= 4; ++protocol) {
        for (int strong = 0; strong <= 1; ++strong) {
            const int count = 1 + (protocol + strong) % 3;
            const Calls::CipherSettings settings{static_cast<std::uint8_t>(protocol), strong == 1, key};
            const Text encrypted = *Calls::EncryptText(plain, count, settings, silent, random);
            Write("decrypt",
                  std::string(names[protocol]) + (strong ? "-strong" : "") + "-" + std::to_string(count),
                  Decrypt(protocol | strong << 3, 0, 0, ToUtf8(encrypted), '\0' + ToUtf8(key)));
        }
    }
    const Calls::CipherSettings vignere{Calls::Vignere, false, key};
    const std::string twice = ToUtf8(*Calls::EncryptText(plain, 2, vignere, silent, random));
    Write("decrypt", "vignere-cancel",
          Decrypt(4, 0, 0, twice, '\0' + ToUtf8(key) + '\0' + "NØKKEL" + '\0' + "\x18"));
    Write("decrypt", "vignere-short-answer", Decrypt(4, 0, 0, twice, '\0' + ToUtf8(key) + '\0' + "æøå1"));
    const Calls::CipherSettings rover{Calls::Rover, true, key};
    Write("decrypt", "rover-strong-windows1252",
          Decrypt(2 | 8 | 0x10, 0, 0, ToWindows1252(*Calls::EncryptText(plain, 2, rover, silent, random))));
    Write("decrypt", "headerless-begge", Decrypt(3, 0, 0, "iehoH"));
    Write("decrypt", "headerless-rover-overflow", Decrypt(2, 0, 15, std::string(2100, 'b')));
    Write("decrypt", "roundtrip-rover",
          Decrypt(0x20 | 2 | 8, 5, 0, "Pizza med ost", std::string("\0NØKKEL\0", 9) + "\x12\x34\xff\xff"));
    Write("decrypt", "roundtrip-vignere",
          Decrypt(0x20 | 4, 3, 1, "Æ ø å? ABC xyz", std::string("\0hemmelig ord!", 14)));
}

std::string Header(int flags, int count, char code, const std::string& text, const std::string& draws = "")
{
    return std::string{static_cast<char>(flags), static_cast<char>(count), code} + text +
           (draws.empty() ? "" : '\0' + draws);
}

void HeaderSeeds()
{
    SeededRandom random(7);
    const Text body = U"Hohei på dodeg";
    Write("header", "inserted-short",
          Header(0, 1, 'b', ToUtf8(Cryptocalls::InsertHeader(body, U'b', 1, random))));
    const Text longBody = Text(300, U'ø') + U"slutt";
    Write("header", "inserted-long",
          Header(0, 99, 'f', ToUtf8(Cryptocalls::InsertHeader(longBody, U'f', 99, random)), "\xff\xf0"));
    Write("header", "redraw-253", Header(0, 12, 'd', std::string(253, 'x'), "\xff\xff\x80\x00"));
    Write("header", "windows1252",
          Header(1, -5, '\xe6',
                 "004\xe6"
                 "01\xf8l",
                 std::string("\0\0", 2)));
    int i = 0;
    for (const char* text :
         {"006Hob01hei", "2.5abc", "256abc", "-12abc", " 12 abc", "000abc", "200abc", "1xxabc"})
        Write("header", "h" + std::to_string(++i), Header(0, 3, 'a', text));
}

void NumberSeeds()
{
    int i = 0;
    for (const char* text :
         {"  -12.5", "2.5", "3.5", "+ 1 2 . 5 0 1", "99999999999999999999", "-32768.4", "255.5", "1e5", ".5",
          "--1", "\t\n7x", "0.4999999", "2147483647.5", "-2147483648.5", "1.2.3"})
        Write("number", "n" + std::to_string(++i), std::string(1, '\0') + text);
    Write("number", "nbsp-windows1252",
          "\x01\xa0"
          "12");
}

void KeyFileSeeds()
{
    Write("keyfile", "written", FormatKeyFile({100001431, U"tg04user", 905}));
    Write("keyfile", "written-letters", FormatKeyFile({-7, U"Kåre Ø, €Š", 2359}));
    Write("keyfile", "written-extremes", FormatKeyFile({INT32_MIN, U"", -32768}));
    int i = 0;
    for (const char* text : {"  97 , \"Mast\" ,\t1200  \r\n", "97\n\"Fjord\"\r\n7\r\n", "97,\"Ka\"ktus,7",
                             "97,\"tg04user,905\r\n", "2147483648,\"x\",7", "97,Fj\"ord,7", "-3,\"x\",-1",
                             "97.5,\"x\",2.5", "97,\"x\",7\r\nmore,lines\r\n", "97,\"a\r\nb\",7"})
        Write("keyfile", "k" + std::to_string(++i), text);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: qel_fuzz_seeds CORPUS_DIR\n";
        return 2;
    }
    Root = argv[1];
    DecryptSeeds();
    HeaderSeeds();
    NumberSeeds();
    KeyFileSeeds();
}
