// Drive A: on Windows: the same guarantees as on POSIX systems, by the Win32 calls that give them. A
// reparse point (a symbolic link or a junction) is never followed, the new content goes to a file of
// its own (CREATE_NEW) that is flushed to the medium, and only then takes the key file's name.
#include "KeyDrive.h"

#include "cipher/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <utility>

#include <windows.h>

namespace qel {

using Messages::FileFailure;

namespace {

std::wstring Native(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// The program's error number for what the system reported.
ErrorNumber FromWindowsError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ErrorNumber::FileNotFound;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrorNumber::DiskFull;
    case ERROR_WRITE_PROTECT:
    case ERROR_ACCESS_DENIED:
        return ErrorNumber::PermissionDenied;
    case ERROR_NOT_READY:
    case ERROR_INVALID_DRIVE:
    case ERROR_DEV_NOT_EXIST:
        return ErrorNumber::DiskNotReady;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return ErrorNumber::DeviceIoError;
    default:
        return ErrorNumber::PathFileAccess;
    }
}

constexpr DWORD NotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;

// The file at path itself, never what a link there points to: a link, a directory or a device reads
// as a file that cannot be accessed.
std::optional<Failure> CheckRegular(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FileFailure(FromWindowsError(GetLastError()));
    if (attributes & NotAFile)
        return FileFailure(ErrorNumber::PathFileAccess);
    return std::nullopt;
}

class Handle
{
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle()
    {
        if (valid())
            CloseHandle(m_handle);
    }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    // Closing can be the first moment a medium reports that the data did not fit.
    bool close() { return CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE)) != 0; }

private:
    HANDLE m_handle;
};

bool WriteAll(HANDLE file, const std::string& content)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const DWORD chunk = DWORD(std::min<std::size_t>(content.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, content.data() + done, chunk, &written, nullptr))
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

// A drive letter is there only with a medium in it; there is no system disk below it to land on.
bool DirectoryDrive::ready() const
{
    return QFileInfo(m_root).isDir();
}

std::optional<Failure> DirectoryDrive::checkFile(const QString& name) const
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady);
    return CheckRegular(Native(path(name)));
}

Result<std::string> DirectoryDrive::read(const QString& name, qint64 limit) const
{
    if (auto failure = checkFile(name))
        return *failure;
    // FILE_FLAG_OPEN_REPARSE_POINT: a link put there after the check is opened as itself, and then
    // refused by its attributes below.
    Handle file(CreateFileW(Native(path(name)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.get(), &information) || (information.dwFileAttributes & NotAFile))
        return FileFailure(ErrorNumber::PathFileAccess);
    std::string bytes(static_cast<std::size_t>(std::max<qint64>(limit, 0)), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr))
            return FileFailure(ErrorNumber::DeviceIoError);
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

Result<QDateTime> DirectoryDrive::lastModified(const QString& name) const
{
    if (auto failure = checkFile(name))
        return *failure;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Native(path(name)).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & NotAFile))
        return FileFailure(ErrorNumber::PathFileAccess);
    // FILETIME counts 100 ns from 1601-01-01.
    const qint64 ticks =
        qint64((quint64(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime);
    constexpr qint64 From1601To1970 = 116444736000000000;
    return QDateTime::fromMSecsSinceEpoch((ticks - From1601To1970) / 10000, Qt::LocalTime);
}

std::optional<Failure> DirectoryDrive::replace(const QString& name, const std::string& content)
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady);
    const std::wstring target = Native(path(name));
    if (auto failure = CheckRegular(target); failure && failure->number != ErrorNumber::FileNotFound)
        return failure;

    std::wstring temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; created == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temporary =
            target + L'.' + QString::number(QRandomGenerator::global()->generate(), 36).toStdWString();
        // CREATE_NEW fails on anything already there, a link included, so nothing planted is followed.
        created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return writeFailure(int(GetLastError()));
    }
    if (created == INVALID_HANDLE_VALUE)
        return writeFailure(int(ERROR_FILE_EXISTS));
    Handle file(created);
    // MoveFileEx replaces whatever is at the name, a link itself rather than what it points to, and
    // MOVEFILE_WRITE_THROUGH returns only when the move is on the medium.
    if (!WriteAll(file.get(), content) || !FlushFileBuffers(file.get()) || !file.close() ||
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return writeFailure(int(error));
    }
    return std::nullopt;
}

Failure DirectoryDrive::writeFailure(int error) const
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady); // taken out while being written
    return FileFailure(FromWindowsError(DWORD(error)));
}

// The removable drives other than the diskette drives A: and B:, USB sticks and card readers, as E:/.
QStringList MountedMedia()
{
    QStringList drives;
    const DWORD present = GetLogicalDrives();
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (!(present & (DWORD(1) << (letter - 'A'))))
            continue;
        const wchar_t root[] = {wchar_t(letter), L':', L'\\', L'\0'};
        if (GetDriveTypeW(root) == DRIVE_REMOVABLE)
            drives << QString(QLatin1Char(letter)) + QStringLiteral(":/");
    }
    return drives;
}

} // namespace qel
