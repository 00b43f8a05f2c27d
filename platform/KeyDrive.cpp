#include "KeyDrive.h"

#include "cipher/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace qel {

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

std::optional<Failure> DirectoryDrive::checkFile(const QString& name) const
{
    if (!ready())
        return Messages::FileFailure(ErrorNumber::DiskNotReady);
    return checkRegular(native(path(name)));
}

Result<std::string> DirectoryDrive::read(const QString& name, qint64 limit) const
{
    if (auto failure = checkFile(name))
        return *failure;
    // A link put there after the check is not followed either.
    os::File file = os::File::Open(native(path(name)), os::Links::Refuse);
    if (!file.isOpen())
        return Messages::FileFailure(ErrorNumber::PathFileAccess);
    std::string bytes;
    if (file.read(bytes, static_cast<std::size_t>(std::max<qint64>(limit, 0))) != os::Success)
        return Messages::FileFailure(ErrorNumber::DeviceIoError);
    return bytes;
}

// The new content goes to a file of its own, is checked to be on the medium (every write, flush and
// close), and only then takes the key file's name: a full or failing medium leaves the old file.
// QSaveFile is no help here: it follows a link at the name, and commits after a failed buffered write.
std::optional<Failure> DirectoryDrive::replace(const QString& name, const std::string& content)
{
    if (!ready())
        return Messages::FileFailure(ErrorNumber::DiskNotReady);
    const os::Path target = native(path(name));
    if (auto failure = checkRegular(target); failure && failure->number != ErrorNumber::FileNotFound)
        return failure;
    if (const os::Error error = os::ReplaceFile(target, content); error != os::Success)
        return writeFailure(static_cast<int>(error));
    return std::nullopt;
}

bool DirectoryDrive::holds(const QString& name) const
{
    const std::optional<Failure> failure = checkFile(name);
    return !failure ||
           (failure->number != ErrorNumber::FileNotFound && failure->number != ErrorNumber::DiskNotReady);
}

// Only media that are there: Windows lists a card reader's slot as a drive with no card in it, which
// would otherwise be offered for the key disk and fail the write.
QStringList MediaDrive::media() const
{
    QStringList points = m_media();
    points.removeAll(m_driveA.root());
    points.removeIf([this](const QString& point) { return !DirectoryDrive(point, m_kind).ready(); });
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
    for (const QString& point : points) {
        // A stick under /media by the name of its folder; a drive letter, which has none, as E:\.
        const QString label = QFileInfo(point).fileName();
        labels << (label.isEmpty() ? QDir::toNativeSeparators(point) : label);
    }
    const std::optional<qsizetype> picked = m_choose(labels);
    if (!picked || *picked < 0 || *picked >= points.size())
        return false;
    m_chosen.emplace(points[*picked], m_kind);
    return true;
}

DirectoryDrive MediaDrive::writeTarget() const
{
    if (m_chosen)
        return *m_chosen;
    if (const QStringList points = media(); !m_driveA.ready() && points.size() == 1)
        return DirectoryDrive(points.front(), m_kind);
    return m_driveA;
}

std::optional<Failure> MediaDrive::replace(const QString& name, const std::string& content)
{
    m_written = writeTarget();
    return m_written->replace(name, content);
}

Result<QDateTime> MediaDrive::lastWritten(const QString& name) const
{
    return m_written ? m_written->lastModified(name) : lastModified(name);
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

} // namespace qel
