#include "Arguments.h"

#include <charconv>

namespace qel::cli {

const char* const UsageText =
    "Bruk: qelcrypt krypter [-p PROTOKOLL] [-s] [-n OMGANGER] [-k KEY | --key-file FIL]\n"
    "                       [-i FIL] [-o FIL] [--seed N]\n"
    "      qelcrypt dekrypter [-p PROTOKOLL] [-k KEY | --key-file FIL] [-i FIL] [-o FIL]\n"
    "Skriv «qelcrypt --help» for å se valgene.\n";

const char* const HelpText =
    "Bruk: qelcrypt krypter [VALG]    krypterer teksten på standard inn\n"
    "      qelcrypt dekrypter [VALG]  dekrypterer den\n"
    "\n"
    "Teksten leses som UTF-8 og skrives nøyaktig slik den blir: ingen linjeskift legges til\n"
    "eller tas bort. «encrypt» og «decrypt» kan brukes for «krypter» og «dekrypter».\n"
    "\n"
    "  -p, --protocol PROTOKOLL  crypt, røver (eller rover), begge eller vignere; vignere er\n"
    "                            valgt om ingen annen er det. Ved dekryptering gjelder den bare\n"
    "                            tekst uten hode.\n"
    "  -s, --strong              Strong (bare med røver og begge)\n"
    "  -n, --passes OMGANGER     krypter 0 til 14 ganger (bare med røver og begge; ellers 1)\n"
    "  -k, --key KEY             CryptKey for vignere; bare bokstavene A til Å teller, og\n"
    "                            minst fire må være med\n"
    "      --key-file FIL        les CryptKey fra FIL, så den ikke vises i prosesslisten\n"
    "  -i, --input FIL           les teksten fra FIL i stedet for standard inn\n"
    "  -o, --output FIL          skriv resultatet til FIL; den byttes ut først når alt er skrevet\n"
    "      --seed N              gjentakbare tilfeldige valg (for tester)\n"
    "  -h, --help                vis denne hjelpen\n"
    "  -V, --version             vis versjonen\n"
    "\n"
    "Avslutningsstatus: 0 når alt gikk bra, 1 når krypteringen eller dekrypteringen feilet,\n"
    "2 ved feil bruk.\n";

namespace {

Invocation UsageError(std::string message)
{
    Invocation invocation;
    invocation.action = Invocation::Action::UsageError;
    invocation.usageError = std::move(message);
    return invocation;
}

std::optional<std::uint8_t> ProtocolNamed(std::string name)
{
    for (char& ch : name) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    if (name == "crypt")
        return Calls::Crypt;
    if (name == "røver" || name == "rØver" || name == "rover")
        return Calls::Rover;
    if (name == "begge")
        return Calls::Begge;
    if (name == "vignere")
        return Calls::Vignere;
    return std::nullopt;
}

template <typename Number>
std::optional<Number> ParseNumber(const std::string& text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

struct OptionName {
    const char* shortName; // without the dash, or nullptr
    const char* longName;  // without the dashes
    bool takesValue;
};

constexpr OptionName Options[] = {
    {"p", "protocol", true},     {"s", "strong", false},  {"n", "passes", true}, {"k", "key", true},
    {nullptr, "key-file", true}, {"i", "input", true},    {"o", "output", true}, {nullptr, "seed", true},
    {"h", "help", false},        {"V", "version", false},
};

} // namespace

Invocation ParseArguments(const std::vector<std::string>& arguments)
{
    Invocation invocation;
    std::optional<Invocation::Action> command;
    bool sawStrong = false;
    bool sawPasses = false;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (command)
                return UsageError("Ukjent argument: " + argument);
            if (argument == "krypter" || argument == "encrypt")
                command = Invocation::Action::Encrypt;
            else if (argument == "dekrypter" || argument == "decrypt")
                command = Invocation::Action::Decrypt;
            else
                return UsageError("Ukjent kommando: " + argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }

        // --name, --name=value, -x, -xvalue
        std::string name;
        std::optional<std::string> attached;
        const OptionName* option = nullptr;
        if (argument[1] == '-') {
            name = argument.substr(2);
            if (const auto equals = name.find('='); equals != std::string::npos) {
                attached = name.substr(equals + 1);
                name.resize(equals);
            }
            for (const OptionName& candidate : Options) {
                if (name == candidate.longName)
                    option = &candidate;
            }
        } else {
            name = argument.substr(1, 1);
            if (argument.size() > 2)
                attached = argument.substr(2);
            for (const OptionName& candidate : Options) {
                if (candidate.shortName != nullptr && name == candidate.shortName)
                    option = &candidate;
            }
        }
        const std::string shown = argument[1] == '-' ? "--" + name : "-" + name;
        if (option == nullptr)
            return UsageError("Ukjent valg: " + shown);
        std::string value;
        if (option->takesValue) {
            if (attached) {
                value = *attached;
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return UsageError("Valget " + shown + " trenger en verdi.");
            }
        } else if (attached) {
            return UsageError("Valget " + shown + " tar ingen verdi.");
        }

        const std::string_view longName = option->longName;
        if (longName == "protocol") {
            const auto protocol = ProtocolNamed(value);
            if (!protocol)
                return UsageError("Ukjent protokoll: " + value + " (crypt, røver, begge eller vignere)");
            invocation.protocol = *protocol;
        } else if (longName == "strong") {
            sawStrong = true;
        } else if (longName == "passes") {
            const auto passes = ParseNumber<int>(value);
            if (!passes || *passes < 0)
                return UsageError("Antall omganger må være et tall fra 0 til 14: " + value);
            // The repeat command's own limit and its own words.
            if (*passes > 14)
                return UsageError("Grensen er 15 ganger!");
            invocation.passes = *passes;
            sawPasses = true;
        } else if (longName == "key") {
            invocation.key = value;
        } else if (longName == "key-file") {
            invocation.keyFile = value;
        } else if (longName == "input") {
            invocation.input = value;
        } else if (longName == "output") {
            invocation.output = value;
        } else if (longName == "seed") {
            invocation.seed = ParseNumber<std::uint64_t>(value);
            if (!invocation.seed)
                return UsageError("--seed trenger et heltall fra 0 og oppover: " + value);
        } else if (longName == "help") {
            help = true;
        } else {
            version = true;
        }
    }

    if (help || version) {
        invocation.action = help ? Invocation::Action::Help : Invocation::Action::Version;
        return invocation;
    }
    if (!command)
        return UsageError("Mangler kommando: krypter eller dekrypter.");
    if (invocation.key && invocation.keyFile)
        return UsageError("Gi enten -k eller --key-file, ikke begge.");
    // The main window enables Strong and the repeated commands for Røver and Begge only.
    const bool repeats = invocation.protocol == Calls::Rover || invocation.protocol == Calls::Begge;
    if (*command == Invocation::Action::Decrypt && (sawStrong || sawPasses))
        return UsageError("-s og -n gjelder bare krypter.");
    if (sawStrong && !repeats)
        return UsageError("Strong fungerer bare ved bruk av Røver protokollen.");
    if (invocation.passes != 1 && !repeats)
        return UsageError("Andre omganger enn én går bare med røver og begge.");
    invocation.strong = sawStrong;
    invocation.action = *command;
    return invocation;
}

} // namespace qel::cli
