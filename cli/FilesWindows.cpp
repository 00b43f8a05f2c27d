// qelcrypt on Windows. Paths come as UTF-8 (main reads the command line as UTF-16 and converts it) and
// go to the wide Win32 calls; standard input and output carry bytes, untranslated.
#include "Files.h"

#include "cipher/Messages.h"

#include <windows.h>

namespace qel::cli {

// The program's own descriptions of the file errors its boxes name.
std::string Describe(os::Error error)
{
    ErrorNumber number = ErrorNumber::PathFileAccess;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        number = ErrorNumber::FileNotFound;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        number = ErrorNumber::PermissionDenied;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        number = ErrorNumber::DiskFull;
        break;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
        number = ErrorNumber::DeviceIoError;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        number = ErrorNumber::OutOfMemory;
        break;
    default:
        break;
    }
    return ToUtf8(Messages::ErrorDescription(number));
}

os::Path NativePath(const std::string& utf8)
{
    return os::Utf16(utf8);
}

// Windows hands main the arguments in the ANSI code page, which cannot hold every character: they are
// read as UTF-16 and converted to UTF-8, which the console is set to show as well.
std::vector<std::string> CommandLineArguments(int, char**)
{
    SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        std::string utf8(
            std::size_t(WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr)), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), int(utf8.size()), nullptr, nullptr);
        utf8.resize(utf8.size() - 1); // the terminating zero
        arguments.push_back(std::move(utf8));
    }
    LocalFree(wide);
    return arguments;
}

} // namespace qel::cli
