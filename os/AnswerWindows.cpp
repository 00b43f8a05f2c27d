#include "Answer.h"
#include "Files.h"

#include <string>
#include <windows.h>

namespace qel::os {

namespace {

bool Usable(HANDLE handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

void ShowAnswer(std::string_view utf8, bool error)
{
    const std::wstring wide = Utf16(utf8);
    HANDLE handle = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    HANDLE opened = INVALID_HANDLE_VALUE;
    if (!Usable(handle) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        opened = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
        handle = opened;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (!Usable(handle))
        MessageBoxW(nullptr, wide.c_str(), L"qelCrypto", MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
    else if (GetConsoleMode(handle, &mode)) // a console shows UTF-16 whatever its code page
        WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr);
    else // a file or a pipe gets the bytes, as qelcrypt writes them
        WriteFile(handle, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    if (Usable(opened))
        CloseHandle(opened);
}

} // namespace qel::os
