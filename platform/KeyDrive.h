#pragma once

#include "cipher/Result.h"
#include "os/Files.h"

#include <QDateTime>
#include <QString>

#include <functional>
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
    // When the file that replace() last wrote was written, in local time; a drive of several media
    // reads it from the medium written to, which need not be the one read from.
    virtual Result<QDateTime> lastWritten(const QString& name) const { return lastModified(name); }
    // Settles which medium the key files that follow are written to, asking the user where several
    // could take them; false when the user cancelled. A drive of one medium has nothing to settle.
    virtual bool chooseMediumForWriting() { return true; }
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
    // A medium is there (for a mount point: something is mounted on it).
    bool ready() const;
    // Something is there under the name, a file to read or anything else that stands in its place.
    bool holds(const QString& name) const;

    Result<std::string> read(const QString& name, qint64 limit) const override;
    Result<QDateTime> lastModified(const QString& name) const override;
    std::optional<Failure> replace(const QString& name, const std::string& content) override;

private:
    std::optional<Failure> checkFile(const QString& name) const;
    Failure writeFailure(int error) const;
    // What each system does its own way (KeyDrivePosix.cpp, KeyDriveWindows.cpp): the path as its
    // calls take it, and whether the file at a path is a plain file, never what a link there points to:
    // a disk from anywhere could otherwise aim the program at any file the user may read or write. A
    // link, a directory or a device reads as a file that cannot be accessed.
    static os::Path native(const QString& path);
    static std::optional<Failure> checkRegular(const os::Path& path);

    QString m_root;
    Kind m_kind;
};

// Drive A:, then the media a desktop mounts under /media and /run/media (USB sticks, as
// /media/$USER/LABEL or /run/media/$USER/LABEL). A key file is read from drive A: when it holds one,
// otherwise from the first medium that does, in the order they were mounted. It is written to drive
// A: when a medium is there, otherwise to the one medium mounted, or to the one the user picks by its
// label when there are several; with none, drive A: reports that no disk is there.
class MediaDrive final : public KeyDrive
{
public:
    // Mount points, in the order they were mounted.
    using ListMedia = std::function<QStringList()>;
    // Which of the labels the user picks; nothing when cancelled.
    using Choose = std::function<std::optional<qsizetype>(const QStringList& labels)>;

    // Tests give plain directories as media; the program, mount points only.
    MediaDrive(DirectoryDrive driveA, ListMedia media, Choose choose,
               DirectoryDrive::Kind mediaKind = DirectoryDrive::MountPoint)
        : m_driveA(std::move(driveA)), m_media(std::move(media)), m_choose(std::move(choose)),
          m_kind(mediaKind)
    {}

    Result<std::string> read(const QString& name, qint64 limit) const override;
    Result<QDateTime> lastModified(const QString& name) const override;
    std::optional<Failure> replace(const QString& name, const std::string& content) override;
    Result<QDateTime> lastWritten(const QString& name) const override;
    bool chooseMediumForWriting() override;

private:
    QStringList media() const;
    DirectoryDrive holderOf(const QString& name) const;
    DirectoryDrive writeTarget() const;

    DirectoryDrive m_driveA;
    ListMedia m_media;
    Choose m_choose;
    DirectoryDrive::Kind m_kind;
    std::optional<DirectoryDrive> m_chosen;
    std::optional<DirectoryDrive> m_written;
};

// The mount points under /media and /run/media in a mount table as /proc/self/mountinfo gives it, in
// its order; and those of this system now.
QStringList MediaMountPoints(const QByteArray& mountinfo);
QStringList MountedMedia();

} // namespace qel
