#include "KeyDrive.h"

#include "cipher/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

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

std::optional<Failure> DirectoryDrive::checkFile(const QString& name) const
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady);
    const QFileInfo file(path(name));
    if (!file.exists())
        return FileFailure(ErrorNumber::FileNotFound);
    if (!file.isFile())
        return FileFailure(ErrorNumber::PathFileAccess);
    return std::nullopt;
}

Result<std::string> DirectoryDrive::read(const QString& name, qint64 limit) const
{
    if (auto failure = checkFile(name))
        return *failure;
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return FileFailure(ErrorNumber::PathFileAccess);
    const QByteArray bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError)
        return FileFailure(ErrorNumber::DeviceIoError);
    return bytes.toStdString();
}

Result<QDateTime> DirectoryDrive::lastModified(const QString& name) const
{
    if (auto failure = checkFile(name))
        return *failure;
    const QDateTime modified = QFileInfo(path(name)).lastModified();
    if (!modified.isValid())
        return FileFailure(ErrorNumber::PathFileAccess);
    return modified.toLocalTime();
}

std::optional<Failure> DirectoryDrive::replace(const QString& name, const std::string& content)
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady);
    // The new content goes to a file of its own and takes the key file's name only once complete.
    QSaveFile file(path(name));
    if (!file.open(QIODevice::WriteOnly))
        return writeFailure(static_cast<qint64>(content.size()));
    const auto size = static_cast<qint64>(content.size());
    if (file.write(content.data(), size) != size || !file.commit())
        return writeFailure(size);
    return std::nullopt;
}

// Qt names no cause for a failed write, so the cause is read off the medium.
Failure DirectoryDrive::writeFailure(qint64 size) const
{
    if (!ready())
        return FileFailure(ErrorNumber::DiskNotReady); // taken out while being written
    const QStorageInfo storage(m_root);
    if (storage.isReadOnly() || !QFileInfo(m_root).isWritable())
        return FileFailure(ErrorNumber::PermissionDenied);
    if (storage.isValid() && storage.bytesAvailable() < size + 4096)
        return FileFailure(ErrorNumber::DiskFull);
    return FileFailure(ErrorNumber::DeviceIoError);
}

} // namespace qel
