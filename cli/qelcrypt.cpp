// qelcrypt: the main window's Krypter and Dekrypter for pipes and scripts. It reads the command line,
// runs the engine's pipelines and reports as the main window's boxes would, on standard error.
#include "Arguments.h"
#include "Files.h"
#include "cipher/Calls.h"
#include "cipher/Messages.h"

#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace qel;
using namespace qel::cli;

namespace {

constexpr int Succeeded = 0;
constexpr int Failed = 1;
constexpr int Misused = 2;

// Nobody answers a box in a pipe: every box is a failure, and the decryption key prompt is answered
// with what it is pre-filled with, the CryptKey given on the command line.
class TerminalDialogs final : public UserDialogs
{
public:
    std::vector<Text> shown;

    MessageAnswer showMessage(const MessageBoxRequest& request) override
    {
        shown.push_back(request.text);
        return MessageAnswer::Ok;
    }
    std::optional<Text> askText(const InputBoxRequest& request) override { return request.answer; }
};

int Fail(const std::string& message)
{
    std::fprintf(stderr, "qelcrypt: %s\n", message.c_str());
    return Failed;
}

std::uint64_t SystemSeed()
{
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

// The text of a file or of standard input, decoded; or the reason it cannot be.
std::variant<Text, std::string> ReadText(const std::string& path, const std::string& name)
{
    std::string bytes;
    if (const FileError error = ReadAll(path, bytes))
        return *error;
    auto decoded = DecodeUtf8(bytes);
    if (const auto* invalid = std::get_if<InvalidUtf8>(&decoded))
        return name + " er ikke gyldig UTF-8 (byte " + std::to_string(invalid->offset) + ")";
    return std::get<Text>(std::move(decoded));
}

// The CryptKey as the CryptKey dialog sets it: normalised, or refused with that dialog's box.
std::variant<Text, std::string> ReadKey(const Invocation& invocation)
{
    if (!invocation.key && !invocation.keyFile)
        return Text();
    Text typed;
    if (invocation.keyFile) {
        auto read = ReadText(*invocation.keyFile, *invocation.keyFile);
        if (auto* error = std::get_if<std::string>(&read))
            return *error;
        typed = std::get<Text>(std::move(read));
    } else {
        auto decoded = DecodeUtf8(*invocation.key);
        if (const auto* invalid = std::get_if<InvalidUtf8>(&decoded))
            return "key'en er ikke gyldig UTF-8 (byte " + std::to_string(invalid->offset) + ")";
        typed = std::get<Text>(std::move(decoded));
    }
    Text key = Cryptocalls::NormaliseKey(typed);
    if (key == Cryptocalls::KeyTooShort)
        return ToUtf8(Messages::InvalidKey().text);
    return key;
}

int Run(const Invocation& invocation)
{
    auto key = ReadKey(invocation);
    if (const auto* error = std::get_if<std::string>(&key))
        return Fail(*error);
    auto input = ReadText(invocation.input.value_or("-"), invocation.input.value_or("standard inn"));
    if (const auto* error = std::get_if<std::string>(&input))
        return Fail(*error);
    const Text& text = std::get<Text>(input);

    const Calls::CipherSettings settings{invocation.protocol, invocation.strong, std::get<Text>(key)};
    TerminalDialogs dialogs;
    std::optional<Text> output;
    if (invocation.action == Invocation::Action::Encrypt) {
        SeededRandom random(invocation.seed ? *invocation.seed : SystemSeed());
        output = Calls::EncryptText(text, invocation.passes, settings, dialogs, random);
    } else {
        output = Calls::DecryptText(text, settings, dialogs);
    }
    if (!dialogs.shown.empty()) {
        for (const Text& message : dialogs.shown)
            std::fprintf(stderr, "qelcrypt: %s\n", ToUtf8(message).c_str());
        return Failed;
    }
    // The main window leaves its output box as it was, and says nothing, in these cases.
    if (!output) {
        if (text.empty())
            return Fail("Teksten er tom.");
        return Fail("Teksten har ikke noe hode, og Vignere dekrypterer bare tekst med hode.");
    }

    // The input's characters go before the output's UTF-8 takes its room: less memory at the peak.
    Text().swap(std::get<Text>(input));
    const std::string bytes = ToUtf8(*output);
    const FileError error = WriteOutput(invocation.output.value_or("-"), bytes);
    return error ? Fail(*error) : Succeeded;
}

} // namespace

int main(int argc, char** argv)
{
    const Invocation invocation = ParseArguments(CommandLineArguments(argc, argv));
    switch (invocation.action) {
    case Invocation::Action::Help:
        std::fputs(HelpText, stdout);
        return Succeeded;
    case Invocation::Action::Version:
        std::puts("qelcrypt (qelCrypto) " QEL_VERSION);
        return Succeeded;
    case Invocation::Action::UsageError:
        std::fprintf(stderr, "qelcrypt: %s\n%s", invocation.usageError.c_str(), UsageText);
        return Misused;
    default:
        os::RemoveUnfinishedFileWhenEnded();
        return Run(invocation);
    }
}
