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

QString DirectoryDrive::DriveA()
{
#ifdef Q_OS_WIN
    return QStringLiteral("a:/");
#else
    return QStringLiteral("/media/floppy0");
#endif
}

QString DirectoryDrive::path(const QString& name) const
{
    return QDir(m_root).filePath(name);
}

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

bool DirectoryDrive::holds(const QString& name) const
{
    const std::optional<Failure> failure = checkFile(name);
    return !failure ||
           (failure->number != ErrorNumber::FileNotFound && failure->number != ErrorNumber::DiskNotReady);
}

Failure DirectoryDrive::writeFailure(int error) const
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady); // taken out while being written
    return FileFailure(FromErrno(error));
}

QStringList MediaDrive::media() const
{
    QStringList points = m_media();
    points.removeAll(m_driveA.root());
    return points;
}

DirectoryDrive MediaDrive::holderOf(const QString& name) const
{
    if (m_driveA.holds(name))
        return m_driveA;
    for (const QString& point : media()) {
        const DirectoryDrive medium(point, m_kind);
        if (medium.holds(name))
            return medium;
    }
    return m_driveA; // and its failure: no disk, or no file
}

Result<std::string> MediaDrive::read(const QString& name, qint64 limit) const
{
    return holderOf(name).read(name, limit);
}

Result<QDateTime> MediaDrive::lastModified(const QString& name) const
{
    return holderOf(name).lastModified(name);
}

bool MediaDrive::chooseMediumForWriting()
{
    m_chosen.reset();
    if (m_driveA.ready())
        return true;
    const QStringList points = media();
    if (points.size() < 2)
        return true;
    QStringList labels;
    for (const QString& point : points)
        labels << QFileInfo(point).fileName();
    const std::optional<qsizetype> picked = m_choose(labels);
    if (!picked || *picked < 0 || *picked >= points.size())
        return false;
    m_chosen.emplace(points[*picked], m_kind);
    return true;
}

std::optional<Failure> MediaDrive::replace(const QString& name, const std::string& content)
{
    if (m_chosen)
        return m_chosen->replace(name, content);
    if (const QStringList points = media(); !m_driveA.ready() && points.size() == 1)
        return DirectoryDrive(points.front(), m_kind).replace(name, content);
    return m_driveA.replace(name, content);
}

QStringList MediaMountPoints(const QByteArray& mountinfo)
{
    QStringList points;
    for (const QByteArray& line : mountinfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5)
            continue;
        // Blanks, tabs, line breaks and backslashes in a path come as octal escapes: \040 for a blank.
        const QByteArray& escaped = fields[4];
        QByteArray path;
        for (qsizetype i = 0; i < escaped.size(); ++i) {
            if (escaped[i] == '\\' && i + 3 < escaped.size()) {
                path += char(escaped.mid(i + 1, 3).toInt(nullptr, 8));
                i += 3;
            } else {
                path += escaped[i];
            }
        }
        const QString point = QFile::decodeName(path);
        if ((point.startsWith(QLatin1String("/media/")) || point.startsWith(QLatin1String("/run/media/"))) &&
            !points.contains(point))
            points << point;
    }
    return points;
}

QStringList MountedMedia()
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    return table.open(QIODevice::ReadOnly) ? MediaMountPoints(table.readAll()) : QStringList();
}

} // namespace qel
