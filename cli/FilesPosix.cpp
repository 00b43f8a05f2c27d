#include "Files.h"

#include "cipher/Messages.h"

#include <cerrno>

namespace qel::cli {

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return {argv + 1, argv + argc};
}

os::Path NativePath(const std::string& utf8)
{
    return utf8;
}

// The program's own descriptions of the file errors its boxes name.
std::string Describe(os::Error error)
{
    ErrorNumber number = ErrorNumber::PathFileAccess;
    switch (error) {
    case ENOENT:
        number = ErrorNumber::FileNotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        number = ErrorNumber::PermissionDenied;
        break;
    case ENOSPC:
    case EDQUOT:
        number = ErrorNumber::DiskFull;
        break;
    case EIO:
        number = ErrorNumber::DeviceIoError;
        break;
    case ENOMEM:
        number = ErrorNumber::OutOfMemory;
        break;
    default:
        break;
    }
    return ToUtf8(Messages::ErrorDescription(number));
}

} // namespace qel::cli
