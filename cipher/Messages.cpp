#include "Messages.h"

namespace qel::Messages {

Text ErrorDescription(ErrorNumber number)
{
    switch (number) {
    case ErrorNumber::InvalidArgument:
        return U"Ugyldig prosedyrekall eller argument";
    case ErrorNumber::Overflow:
        return U"Overflyt";
    case ErrorNumber::OutOfMemory:
        return U"Ikke nok minne";
    case ErrorNumber::FileNotFound:
        return U"Finner ikke filen";
    case ErrorNumber::DeviceIoError:
        return U"I/U-feil på enheten";
    case ErrorNumber::DiskFull:
        return U"Disken er full";
    case ErrorNumber::InputPastEnd:
        return U"Lesing forbi slutten av filen";
    case ErrorNumber::PermissionDenied:
        return U"Ingen tilgang";
    case ErrorNumber::DiskNotReady:
        return U"Disken er ikke klar";
    case ErrorNumber::PathFileAccess:
        return U"Feil ved tilgang til bane eller fil";
    }
    return U"Ukjent feil";
}

Failure FileFailure(ErrorNumber number)
{
    return {number, ErrorDescription(number), FailureSource::File};
}

MessageBoxRequest FailureReport(const Failure& failure)
{
    if (failure.isOverflow())
        return OverflowReport();
    if (failure.source == FailureSource::StripHeader)
        return {failure.description, ApplicationTitle, MessageButtons::Ok, MessageIcon::None};
    return TransformError();
}

} // namespace qel::Messages
