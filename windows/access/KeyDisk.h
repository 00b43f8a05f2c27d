#pragma once

#include "KeyFile.h"
#include "cipher/UserDialogs.h"
#include "platform/Services.h"

#include <QDateTime>

namespace qel {

// Hours × 100 + minutes of a moment's local time: 09:05 gives 905.
int TimeOfDay(const QDateTime& moment);

// What the key disk holds, and whether it passes: a prime, and a stored time that matches the
// minute the file was last written.
struct KeyDiskReading {
    KeyFile key;
    bool accepted = false;
};
Result<KeyDiskReading> ReadKeyDisk(const KeyDrive& drive);

// Writes a key file for the user onto the key disk, asking again after a failed write.
void WriteKeyDisk(const Services& services, const Text& user);

// Asks whether to try a failed key-disk operation again: Yes retries; No describes the failure
// first; Cancel gives up.
bool RetryAfter(UserDialogs& dialogs, const MessageBoxRequest& question, const Failure& failure);

namespace KeyDiskMessages {

MessageBoxRequest MakeKeyDiskQuestion();
MessageBoxRequest ReadFailure();
MessageBoxRequest WriteFailure();
MessageBoxRequest PrimeFailure();
MessageBoxRequest FailureDescription(const Failure& failure);

} // namespace KeyDiskMessages

} // namespace qel
