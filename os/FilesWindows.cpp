// The same guarantees as on POSIX systems, by the Win32 calls that give them.
#include "Files.h"

#include <algorithm>
#include <random>
#include <utility>

#include <windows.h>
// windows.h names its own ReplaceFile so.
#undef ReplaceFile

namespace qel::os {

static_assert(NotARegularFile == ERROR_INVALID_PARAMETER);

namespace {

constexpr DWORD NotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
// ReadFile and WriteFile take a DWORD count; a bounded one keeps each call short.
constexpr std::size_t Chunk = 1 << 20;

} // namespace

std::wstring Utf16(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    std::wstring wide(std::size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), int(wide.size()));
    return wide;
}

File File::Open(const Path& path, Links links)
{
    // FILE_FLAG_OPEN_REPARSE_POINT: a link is opened as itself, and then refused by its attributes.
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    links == Links::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return File(handle, false, GetLastError());
    BY_HANDLE_FILE_INFORMATION information{};
    if (links == Links::Refuse &&
        (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &information) ||
         (information.dwFileAttributes & NotAFile))) {
        CloseHandle(handle);
        return File(INVALID_HANDLE_VALUE, false, NotARegularFile);
    }
    return File(handle, true, Success);
}

File File::StandardInput()
{
    return File(GetStdHandle(STD_INPUT_HANDLE), false, Success);
}

File File::StandardOutput()
{
    return File(GetStdHandle(STD_OUTPUT_HANDLE), false, Success);
}

File::File(File&& other) noexcept
    : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)), m_owned(other.m_owned),
      m_error(other.m_error)
{}

File::~File()
{
    close();
}

bool File::isOpen() const
{
    return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr;
}

Error File::close()
{
    if (!m_owned || !isOpen())
        return Success;
    return CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE)) ? Success : GetLastError();
}

Error File::read(std::string& bytes, std::size_t limit)
{
    if (LARGE_INTEGER size{};
        GetFileType(m_handle) == FILE_TYPE_DISK && GetFileSizeEx(m_handle, &size) && bytes.size() < limit)
        bytes.reserve(bytes.size() + std::min(std::size_t(size.QuadPart), limit - bytes.size()) + 1);
    while (bytes.size() < limit) {
        std::size_t room = bytes.capacity() - bytes.size();
        if (room == 0)
            room = std::max<std::size_t>(bytes.size(), 1 << 16);
        const std::size_t before = bytes.size();
        bytes.resize(before + std::min({room, limit - before, Chunk}));
        DWORD got = 0;
        const bool done =
            ReadFile(m_handle, bytes.data() + before, DWORD(bytes.size() - before), &got, nullptr);
        const DWORD error = GetLastError();
        bytes.resize(before + got);
        // A pipe whose writer has finished ends the input as the end of a file does.
        if (!done)
            return error == ERROR_BROKEN_PIPE ? Success : error;
        if (got == 0)
            break;
    }
    return Success;
}

Error File::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(m_handle, bytes.data(), DWORD(std::min(bytes.size(), Chunk)), &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        bytes.remove_prefix(written);
    }
    return Success;
}

Error ReplaceFile(const Path& path, std::string_view bytes)
{
    const auto separator = path.find_last_of(L"\\/");
    const std::size_t nameAt = separator == Path::npos ? 0 : separator + 1;
    const Path hidden = path.substr(0, nameAt) + L'.' + path.substr(nameAt) + L'.';

    // CREATE_NEW fails on anything already there, a link included, so nothing planted is followed.
    std::random_device random;
    Path temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; created == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temporary = hidden + std::to_wstring(random());
        created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return GetLastError();
    }
    if (created == INVALID_HANDLE_VALUE)
        return ERROR_FILE_EXISTS;
    File file(created, true, Success);

    Error error = file.write(bytes);
    if (error == Success && !FlushFileBuffers(created))
        error = GetLastError();
    if (error == Success)
        error = file.close();
    // MoveFileEx replaces whatever is at the name, a link itself rather than what it points to, and
    // with MOVEFILE_WRITE_THROUGH returns only when the move is on the disk.
    if (error == Success &&
        !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != Success) {
        file.close();
        DeleteFileW(temporary.c_str());
        return error;
    }
    return Success;
}

Error WriteOrReplace(const Path& path, std::string_view bytes)
{
    // A link opens as itself, a file on the disk, and is replaced with the rest.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return ReplaceFile(path, bytes);
    File file(handle, true, Success);
    if (const DWORD type = GetFileType(handle); type != FILE_TYPE_CHAR && type != FILE_TYPE_PIPE) {
        file.close();
        return ReplaceFile(path, bytes);
    }
    const Error error = file.write(bytes);
    return error == Success ? file.close() : error;
}

void RemoveUnfinishedFileWhenEnded() {}

} // namespace qel::os
