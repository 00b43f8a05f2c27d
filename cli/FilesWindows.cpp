// The file calls of qelcrypt on Windows. Paths come as UTF-8 (main reads the command line as UTF-16
// and converts it) and go to the wide Win32 calls; standard input and output carry bytes, untranslated.
#include "Files.h"

#include "cipher/Messages.h"

#include <algorithm>
#include <random>
#include <vector>

#include <windows.h>
// windows.h names its own ReplaceFile so.
#undef ReplaceFile

namespace qel::cli {

namespace {

std::string Describe(DWORD error)
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

FileError Failed(const std::string& what, const std::string& path, DWORD error)
{
    return what + " " + path + ": " + Describe(error);
}

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    std::wstring wide(std::size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), int(wide.size()));
    return wide;
}

bool WriteAll(HANDLE handle, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

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

FileError ReadAll(const std::string& path, std::string& bytes)
{
    const bool standardInput = path == "-";
    const HANDLE handle =
        standardInput ? GetStdHandle(STD_INPUT_HANDLE)
                      : CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
        return Failed("Kan ikke lese", path, GetLastError());
    char buffer[1 << 16];
    FileError error;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(handle, buffer, sizeof buffer, &got, nullptr)) {
            // A pipe whose writer has finished ends the input as end of file does.
            if (GetLastError() != ERROR_BROKEN_PIPE)
                error = Failed("Kan ikke lese", standardInput ? "standard inn" : path, GetLastError());
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    if (!standardInput)
        CloseHandle(handle);
    return error;
}

FileError WriteStandardOutput(const std::string& bytes)
{
    if (!WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes))
        return Failed("Kan ikke skrive til", "standard ut", GetLastError());
    return std::nullopt;
}

FileError ReplaceFile(const std::string& path, const std::string& bytes)
{
    const std::wstring target = Wide(path);
    std::random_device random;
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temporary = target + L".qelcrypt-" + std::to_wstring(random());
        // CREATE_NEW creates the file itself, so no link planted under that name is followed.
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return Failed("Kan ikke skrive", path, GetLastError());
    }
    if (file == INVALID_HANDLE_VALUE)
        return Failed("Kan ikke skrive", path, ERROR_FILE_EXISTS);
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    DWORD error = GetLastError();
    const bool closed = CloseHandle(file) != 0;
    if (written && !closed)
        error = GetLastError();
    // MoveFileEx replaces a link at path rather than writing through it, and with
    // MOVEFILE_WRITE_THROUGH returns once the move is on the disk.
    if (!written || !closed ||
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (written && closed)
            error = GetLastError();
        DeleteFileW(temporary.c_str());
        return Failed("Kan ikke skrive", path, error);
    }
    return std::nullopt;
}

} // namespace qel::cli
