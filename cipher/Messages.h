#pragma once

#include "Result.h"
#include "UserDialogs.h"

namespace qel::Messages {

// The title of every box that names none of its own.
inline const Text ApplicationTitle = U"qelPortal";

inline MessageBoxRequest OverflowReport()
{
    return {U"For mye tekst, prøv i flere omganger", U"Overflow", MessageButtons::Ok, MessageIcon::Critical};
}

inline MessageBoxRequest TransformError()
{
    return {U"Feil!", U"Error", MessageButtons::Ok, MessageIcon::Critical};
}

inline MessageBoxRequest MissingCryptKey()
{
    return {U"Vennligst sett en CryptKey først!", U"CryptKey ikke satt", MessageButtons::Ok,
            MessageIcon::Critical};
}

inline MessageBoxRequest InvalidKey()
{
    return {U"Key'en er ugyldig og blir ikke satt!", U"ERROR", MessageButtons::Ok, MessageIcon::Critical};
}

inline InputBoxRequest DecryptKeyPrompt(const Text& cryptKey)
{
    return {U"Ka key ska bruges?", U"Enter decrypt Key", cryptKey};
}

// The program's own short description of an error number, as the "Feilbeskrivelse" box gives it.
Text ErrorDescription(ErrorNumber number);
// A failure of the key-disk drive or the key file, described as above.
Failure FileFailure(ErrorNumber number);

// The box that puts a failed transform or header strip into words: an overflow always reads the same;
// other failures of the transforms are a terse "Feil!", while the header strip describes its failure.
MessageBoxRequest FailureReport(const Failure& failure);

} // namespace qel::Messages
