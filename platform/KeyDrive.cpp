#include "KeyDrive.h"

#include "cipher/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

bool DirectoryDrive::holds(const QString& name) const
{
    const std::optional<Failure> failure = checkFile(name);
    return !failure ||
           (failure->number != ErrorNumber::FileNotFound && failure->number != ErrorNumber::DiskNotReady);
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

} // namespace qel
