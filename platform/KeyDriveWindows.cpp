// Drive A: on Windows: the same guarantees as on POSIX systems, by the Win32 calls that give them. A
// reparse point (a symbolic link or a junction) is never followed; os/ writes the new content to a
// file of its own, flushed to the medium before it takes the key file's name.
#include "KeyDrive.h"

#include "cipher/Messages.h"
#include "os/Files.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>
// windows.h names its own ReplaceFile so.
#undef ReplaceFile

namespace qel {

using Messages::FileFailure;

namespace {

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

} // namespace

os::Path DirectoryDrive::native(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

std::optional<Failure> DirectoryDrive::checkRegular(const os::Path& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FileFailure(FromWindowsError(GetLastError()));
    if (attributes & NotAFile)
        return FileFailure(ErrorNumber::PathFileAccess);
    return std::nullopt;
}

// A drive letter is there only with a medium in it; there is no system disk below it to land on.
bool DirectoryDrive::ready() const
{
    return QFileInfo(m_root).isDir();
}

Result<QDateTime> DirectoryDrive::lastModified(const QString& name) const
{
    if (auto failure = checkFile(name))
        return *failure;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(native(path(name)).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & NotAFile))
        return FileFailure(ErrorNumber::PathFileAccess);
    // FILETIME counts 100 ns from 1601-01-01.
    const qint64 ticks =
        qint64((quint64(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime);
    constexpr qint64 From1601To1970 = 116444736000000000;
    return QDateTime::fromMSecsSinceEpoch((ticks - From1601To1970) / 10000, Qt::LocalTime);
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
