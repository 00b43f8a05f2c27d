#include "KeyDisk.h"

#include <string>

namespace qel {

namespace {

const QString FileName = QString::fromLatin1(KeyFileName);

// The seal is the minute of the file's own time, which the drive sets, not the clock read before the
// write: a FAT stick rounds it up to the next even second, into the next minute from second 58 on. So
// the file's time is read back, and a file sealed with another minute is written again with that one;
// the second write's time comes later still, within the same minute unless a minute passed meanwhile.
std::optional<Failure> WriteSealed(KeyDrive& drive, KeyFile& key)
{
    for (int attempt = 0;; ++attempt) {
        if (std::optional<Failure> failure = drive.replace(FileName, FormatKeyFile(key)))
            return failure;
        const Result<QDateTime> modified = drive.lastWritten(FileName);
        if (!modified.ok())
            return modified.failure();
        const auto sealed = static_cast<std::int16_t>(TimeOfDay(modified.value()));
        if (sealed == key.time || attempt == 1)
            return std::nullopt;
        key.time = sealed;
    }
}

} // namespace

int TimeOfDay(const QDateTime& moment)
{
    const QTime time = moment.toLocalTime().time();
    return time.hour() * 100 + time.minute();
}

Result<KeyDiskReading> ReadKeyDisk(const KeyDrive& drive)
{
    const Result<std::string> bytes = drive.read(FileName, KeyFileReadLimit);
    if (!bytes.ok())
        return bytes.failure();
    const Result<KeyFile> key = ParseKeyFile(bytes.value());
    if (!key.ok())
        return key.failure();
    const Result<QDateTime> modified = drive.lastModified(FileName);
    if (!modified.ok())
        return modified.failure();
    const bool accepted = IsPrime(key.value().number) && TimeOfDay(modified.value()) == key.value().time;
    return KeyDiskReading{key.value(), accepted};
}

void WriteKeyDisk(const Services& services, const Text& user)
{
    for (;;) {
        // Asked on every attempt: the user may have put in another stick before answering Yes.
        if (!services.drive.chooseMediumForWriting())
            return;
        const std::int32_t number = RandomPrime(9, services.random);
        if (number == 0) {
            services.dialogs.showMessage(KeyDiskMessages::PrimeFailure());
            return;
        }
        KeyFile key{number, user, static_cast<std::int16_t>(TimeOfDay(services.clock.now()))};
        const std::optional<Failure> failure = WriteSealed(services.drive, key);
        if (!failure || !RetryAfter(services.dialogs, KeyDiskMessages::WriteFailure(), *failure))
            return;
    }
}

bool RetryAfter(UserDialogs& dialogs, const MessageBoxRequest& question, const Failure& failure)
{
    switch (dialogs.showMessage(question)) {
    case MessageAnswer::Yes:
        return true;
    case MessageAnswer::No:
        dialogs.showMessage(KeyDiskMessages::FailureDescription(failure));
        return false;
    default:
        return false;
    }
}

namespace KeyDiskMessages {

MessageBoxRequest MakeKeyDiskQuestion()
{
    return {U"For å lage en KeyDisk må du ha en diskett i drev A:. Vil du forsette?", U"Lage KeyDisk?",
            MessageButtons::YesNo, MessageIcon::Question};
}

MessageBoxRequest ReadFailure()
{
    return {
        U"Feil ved KeyDisk verifikasjon. Vil du prøve på ny? (Trykk Nei for feilbeskrivelse, eller avbryt "
        U"for å gå tilbake til programmet)",
        U"KeyDisk Error", MessageButtons::YesNoCancel, MessageIcon::Critical};
}

MessageBoxRequest WriteFailure()
{
    return {
        U"Feil ved skriving til diskett. Vil du prøve på ny? (Trykk Nei for feilbeskrivelse, eller avbryt "
        U"for å gå tilbake til programmet)",
        U"KeyDisk Error", MessageButtons::YesNoCancel, MessageIcon::Critical};
}

MessageBoxRequest PrimeFailure()
{
    return {U"Primtalls relatert prosedyrefeil, prøv på ny", U"Prosedyrefeil", MessageButtons::Ok,
            MessageIcon::Critical};
}

MessageBoxRequest FailureDescription(const Failure& failure)
{
    return {U"Feilkode " + FromWindows1252(std::to_string(static_cast<int>(failure.number))) + U": " +
                failure.description,
            U"Feilbeskrivelse", MessageButtons::Ok, MessageIcon::Information};
}

} // namespace KeyDiskMessages

} // namespace qel
