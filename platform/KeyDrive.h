#pragma once

#include "cipher/Result.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <string>

namespace qel {

// Drive A:, where the key disk sits. Every operation opens, works and closes within the call, and
// reports a failure by the program's error numbers: no disk, no file, a full or write-protected disk.
class KeyDrive
{
public:
    virtual ~KeyDrive() = default;

    // The first bytes of a file on the disk, at most limit of them.
    virtual Result<std::string> read(const QString& name, qint64 limit) const = 0;
    // When the file was last written, in local time.
    virtual Result<QDateTime> lastModified(const QString& name) const = 0;
    // Creates the file or replaces it as a whole: a write that fails leaves the earlier file as it was.
    virtual std::optional<Failure> replace(const QString& name, const std::string& content) = 0;
};

// A drive that is a directory: the mount point of a diskette or any removable medium, or a temporary
// directory in tests. A missing directory reads as a drive without a diskette, and so does a mount
// point with nothing mounted on it: the key file must not land on the system disk below it.
class DirectoryDrive final : public KeyDrive
{
public:
    enum Kind { Directory, MountPoint };

    explicit DirectoryDrive(QString root, Kind kind = Directory) : m_root(std::move(root)), m_kind(kind) {}

    // The diskette drive of this platform: a:\ on Windows, Debian's floppy mount point elsewhere; a
    // drive of the kind MountPoint.
    static QString DriveA();

    const QString& root() const { return m_root; }
    QString path(const QString& name) const;

    Result<std::string> read(const QString& name, qint64 limit) const override;
    Result<QDateTime> lastModified(const QString& name) const override;
    std::optional<Failure> replace(const QString& name, const std::string& content) override;

private:
    bool ready() const;
    std::optional<Failure> checkFile(const QString& name) const;
    Failure writeFailure(int error) const;

    QString m_root;
    Kind m_kind;
};

} // namespace qel
