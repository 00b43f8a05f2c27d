// Drive A: as a directory of a POSIX system: lstat, O_NOFOLLOW, and the file replaced through os/.
#include "KeyDrive.h"

#include "cipher/Messages.h"
#include "os/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace qel {

using Messages::FileFailure;

bool DirectoryDrive::ready() const
{
    const QFileInfo root(m_root);
    if (!root.isDir())
        return false;
    if (m_kind == Directory)
        return true;
    const QStorageInfo storage(m_root);
    return storage.isValid() && storage.isReady() &&
           QFileInfo(storage.rootPath()).canonicalFilePath() == root.canonicalFilePath();
}

namespace {

// The program's error number for what the system reported.
ErrorNumber FromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return ErrorNumber::FileNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorNumber::DiskFull;
    case EROFS:
    case EACCES:
    case EPERM:
        return ErrorNumber::PermissionDenied;
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
        return ErrorNumber::DiskNotReady;
    case EIO:
        return ErrorNumber::DeviceIoError;
    default:
        return ErrorNumber::PathFileAccess;
    }
}

// The file at path itself, never what a link there points to: a disk from anywhere could otherwise
// aim the program at any file the user may read or write. A link, a directory or a device reads as a
// file that cannot be accessed.
std::optional<Failure> CheckRegular(const QByteArray& path)
{
    struct stat status {
    };
    if (lstat(path.constData(), &status) != 0)
        return FileFailure(FromErrno(errno));
    if (!S_ISREG(status.st_mode))
        return FileFailure(ErrorNumber::PathFileAccess);
    return std::nullopt;
}

} // namespace

std::optional<Failure> DirectoryDrive::checkFile(const QString& name) const
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady);
    return CheckRegular(QFile::encodeName(path(name)));
}

Result<std::string> DirectoryDrive::read(const QString& name, qint64 limit) const
{
    if (auto failure = checkFile(name))
        return *failure;
    // A link put there after the check is not followed either.
    os::File file = os::File::Open(QFile::encodeName(path(name)).toStdString(), os::Links::Refuse);
    if (!file.isOpen())
        return FileFailure(ErrorNumber::PathFileAccess);
    std::string bytes;
    if (file.read(bytes, static_cast<std::size_t>(std::max<qint64>(limit, 0))) != os::Success)
        return FileFailure(ErrorNumber::DeviceIoError);
    return bytes;
}

Result<QDateTime> DirectoryDrive::lastModified(const QString& name) const
{
    if (auto failure = checkFile(name))
        return *failure;
    struct stat status {
    };
    if (lstat(QFile::encodeName(path(name)).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return FileFailure(ErrorNumber::PathFileAccess);
    return QDateTime::fromMSecsSinceEpoch(
        qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000, Qt::LocalTime);
}

// The new content goes to a file of its own, is checked to be on the medium (every write, fsync and
// close), and only then takes the key file's name: a full or failing medium leaves the old file.
// QSaveFile is no help here: it follows a link at the name, and commits after a failed buffered write.
std::optional<Failure> DirectoryDrive::replace(const QString& name, const std::string& content)
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady);
    const QByteArray target = QFile::encodeName(path(name));
    if (auto failure = CheckRegular(target); failure && failure->number != ErrorNumber::FileNotFound)
        return failure;
    if (const os::Error error = os::ReplaceFile(target.toStdString(), content); error != os::Success)
        return writeFailure(error);
    return std::nullopt;
}

Failure DirectoryDrive::writeFailure(int error) const
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady); // taken out while being written
    return FileFailure(FromErrno(error));
}

QStringList MountedMedia()
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    return table.open(QIODevice::ReadOnly) ? MediaMountPoints(table.readAll()) : QStringList();
}

} // namespace qel
