// Drive A: as a directory of a POSIX system: open, O_NOFOLLOW, fsync and rename.
#include "KeyDrive.h"

#include "cipher/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closing can be the first moment a medium reports that the data did not fit.
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

bool WriteAll(int fd, const std::string& content)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
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
    // O_NOFOLLOW: a link put there after the check is not followed either; O_NONBLOCK: a pipe put there
    // does not hang the program.
    Descriptor file(
        ::open(QFile::encodeName(path(name)).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {
    };
    if (file.get() < 0 || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return FileFailure(ErrorNumber::PathFileAccess);
    std::string bytes(static_cast<std::size_t>(std::max<qint64>(limit, 0)), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return FileFailure(ErrorNumber::DeviceIoError);
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
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

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return writeFailure(errno);
    }
    if (fd < 0)
        return writeFailure(EEXIST);
    Descriptor file(fd);
    if (!WriteAll(file.get(), content) || fsync(file.get()) != 0 || !file.close() ||
        ::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return writeFailure(error);
    }
    // The new name is on the medium too, not only in the system's cache, when the stick is pulled.
    Descriptor directory(::open(QFile::encodeName(m_root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0)
        fsync(directory.get());
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
