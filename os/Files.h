#pragma once

// Files through the system's own calls, beneath both the program and qelcrypt: reading a file without
// following a link, and replacing one so that it is either the complete new file or the untouched old
// one. Failures come back as the system's error numbers, for each caller to put into its own words.
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace qel::os {

#ifdef _WIN32
// GetLastError()'s numbers; paths in UTF-16, as the wide Win32 calls take them.
using Error = unsigned long;
using Path = std::wstring;
#else
// errno's numbers; paths as the bytes the system takes.
using Error = int;
using Path = std::string;
#endif

inline constexpr Error Success = 0;
// What File::Open reports for anything but a regular file when links are refused.
#ifdef _WIN32
inline constexpr Error NotARegularFile = 87; // ERROR_INVALID_PARAMETER
#else
inline constexpr Error NotARegularFile = 22; // EINVAL
#endif

enum class Links {
    Follow,
    // Only a regular file itself opens: a link, a directory, a device or a pipe under the name does not.
    Refuse,
};

#ifdef _WIN32
// UTF-8 as the wide Win32 calls take it.
std::wstring Utf16(std::string_view utf8);
#endif

Error ReplaceFile(const Path& path, std::string_view bytes);
Error WriteOrReplace(const Path& path, std::string_view bytes);

// An open file, closed when it goes; standard input and output are used, never closed.
class File
{
public:
    static File Open(const Path& path, Links links);
    static File StandardInput();
    static File StandardOutput();

    File(File&& other) noexcept;
    File& operator=(File&&) = delete;
    ~File();

    bool isOpen() const;
    // Why Open failed.
    Error error() const { return m_error; }
    // Appends what the file holds to bytes, up to limit bytes in all.
    Error read(std::string& bytes, std::size_t limit = std::numeric_limits<std::size_t>::max());
    Error write(std::string_view bytes);
    // Closing can be the first moment a medium reports that the data did not fit.
    Error close();

private:
    friend Error ReplaceFile(const Path& path, std::string_view bytes);
    friend Error WriteOrReplace(const Path& path, std::string_view bytes);

#ifdef _WIN32
    using Handle = void*;
#else
    using Handle = int;
#endif
    File(Handle handle, bool owned, Error error) : m_handle(handle), m_owned(owned), m_error(error) {}

    Handle m_handle;
    bool m_owned;
    Error m_error;
};

// Replaces the file at path by one holding bytes, or leaves it as it was: the bytes go to a new file
// in the same directory, which reaches the disk before it takes the name, and the name's change
// reaches it too. A link at path is replaced, never written through; an existing file's permissions
// are kept, a new one gets what the umask allows.
Error ReplaceFile(const Path& path, std::string_view bytes);

// Where a user names the output: a pipe or a device under the name (a FIFO a reader waits on,
// /dev/null) takes the bytes as it stands, for replacing it would leave a plain file where the device
// was; anything else is replaced as ReplaceFile does. On POSIX systems a link to a pipe or a device, or
// into /proc (/dev/stderr), is refused, since it is neither followed nor worth replacing; Windows opens a
// link as itself, and replaces it.
Error WriteOrReplace(const Path& path, std::string_view bytes);

// From now on the signals that end a program (Ctrl+C, Ctrl+\, kill, a closed terminal, a file size
// limit), unless it was started to ignore them, first remove the new file a ReplaceFile is still
// writing, so an interrupted write leaves nothing behind. Does nothing on Windows, which cannot remove a
// file that is open.
void RemoveUnfinishedFileWhenEnded();

} // namespace qel::os
