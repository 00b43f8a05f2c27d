#include "Messages.h"

namespace qel::Messages {

MessageBoxRequest FailureReport(const Failure& failure)
{
    if (failure.isOverflow())
        return OverflowReport();
    if (failure.source == FailureSource::StripHeader)
        return {failure.description, ApplicationTitle, MessageButtons::Ok, MessageIcon::None};
    return TransformError();
}

} // namespace qel::Messages
