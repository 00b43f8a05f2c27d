// Drive A: as a directory of a POSIX system: lstat, O_NOFOLLOW, and the file replaced through os/.
#include "KeyDrive.h"

#include "cipher/Messages.h"
#include "os/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

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

} // namespace

os::Path DirectoryDrive::native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::optional<Failure> DirectoryDrive::checkRegular(const os::Path& path)
{
    struct stat status {
    };
    if (lstat(path.c_str(), &status) != 0)
        return FileFailure(FromErrno(errno));
    if (!S_ISREG(status.st_mode))
        return FileFailure(ErrorNumber::PathFileAccess);
    return std::nullopt;
}

Result<QDateTime> DirectoryDrive::lastModified(const QString& name) const
{
    if (auto failure = checkFile(name))
        return *failure;
    struct stat status {
    };
    if (lstat(native(path(name)).c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return FileFailure(ErrorNumber::PathFileAccess);
    return QDateTime::fromMSecsSinceEpoch(
        qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000, Qt::LocalTime);
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
