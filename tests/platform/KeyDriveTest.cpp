#include "platform/KeyDrive.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

namespace qel {
namespace {

const QString Name = QStringLiteral("otpyrCleq.cryptkey");

class KeyDriveTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    DirectoryDrive drive{dir.path()};

    ErrorNumber readFailure() const { return drive.read(Name, 100).failure().number; }
};

TEST_F(KeyDriveTest, DriveWithoutDisketteAndDiskWithoutFile)
{
    DirectoryDrive empty(dir.filePath(QStringLiteral("not-mounted")));
    EXPECT_EQ(empty.read(Name, 100).failure().number, ErrorNumber::DiskNotReady);
    EXPECT_EQ(empty.lastModified(Name).failure().number, ErrorNumber::DiskNotReady);
    EXPECT_EQ(empty.replace(Name, "x")->number, ErrorNumber::DiskNotReady);
    EXPECT_FALSE(QFileInfo::exists(empty.root()));

    // A mount point with nothing mounted is no disk: nothing is written to the disk below it.
    DirectoryDrive unmounted(dir.path(), DirectoryDrive::MountPoint);
    EXPECT_EQ(unmounted.replace(Name, "x")->number, ErrorNumber::DiskNotReady);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(
        DirectoryDrive(QStringLiteral("/"), DirectoryDrive::MountPoint).read(Name, 100).failure().number,
        ErrorNumber::FileNotFound);

    EXPECT_EQ(readFailure(), ErrorNumber::FileNotFound);
}

TEST_F(KeyDriveTest, ReplacesTheWholeFileWithExactBytesAndReadsItsLocalTime)
{
    ASSERT_FALSE(drive.replace(Name, std::string("first line that is long\r\n")).has_value());
    const std::string bytes("97,\"\xC5se\",7\r\n\0\xFF", 15);
    ASSERT_FALSE(drive.replace(Name, bytes).has_value());
    EXPECT_EQ(drive.read(Name, 100).value(), bytes);
    EXPECT_EQ(drive.read(Name, 4).value(), "97,\"");
    // Nothing but the key file is left on the disk.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{Name});
    // Its modification time is read in local time.
    const QDateTime stamp(QDate(2026, 2, 3), QTime(9, 5, 42));
    QFile file(drive.path(Name));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(drive.lastModified(Name).value(), stamp);
    EXPECT_EQ(drive.lastModified(Name).value().timeSpec(), Qt::LocalTime);
}

// A directory or a link under the key file's name can be neither read nor replaced, and is left standing.
// A link is read through and written through by nobody: a crafted disk could otherwise show another
// file's content as a key, or overwrite any file the user can write.
TEST_F(KeyDriveTest, KeyFileThatIsADirectoryOrALink)
{
    QTemporaryDir elsewhere;
    DirectoryDrive other(elsewhere.path());
    ASSERT_FALSE(other.replace(Name, "97,\"x\",7\r\n").has_value());
    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "link" : "directory");
        ASSERT_TRUE(link ? QFile::link(other.path(Name), drive.path(Name)) : QDir(dir.path()).mkdir(Name));
        EXPECT_EQ(readFailure(), ErrorNumber::PathFileAccess);
        EXPECT_EQ(drive.lastModified(Name).failure().number, ErrorNumber::PathFileAccess);
        EXPECT_EQ(drive.replace(Name, "11,\"y\",8\r\n").value_or(Failure{}).number,
                  ErrorNumber::PathFileAccess);
        EXPECT_EQ(other.read(Name, 100).value(), "97,\"x\",7\r\n");
        const QFileInfo left(drive.path(Name));
        EXPECT_TRUE(link ? left.isSymLink() : left.isDir());
        ASSERT_TRUE(link || QDir(dir.path()).rmdir(Name));
    }
}

// Mounts made here vanish with the test process and are seen by no one else. Needs root.
bool PrivateMounts()
{
    return geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
           mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// A write that fails on a real file system, at any point, reports its cause and leaves the earlier
// key file as it was, with nothing else left behind on the disk. Rows: the limit of this process's
// file size; a medium filled up; a medium remounted read-only (these two need root).
TEST_F(KeyDriveTest, OldFileSurvivesEveryWriteFailure)
{
    const std::string earlier = "100001431,\"tg04user\",905\r\n";
    const bool root = PrivateMounts();
    const QByteArray mountPoint = dir.filePath(QStringLiteral("mnt")).toLocal8Bit();
    DirectoryDrive medium(QString::fromLocal8Bit(mountPoint));
    for (const auto& [name, onMedium, expected] :
         {std::tuple{std::string_view("file size limit"), false, ErrorNumber::DiskFull},
          {"full", true, ErrorNumber::DiskFull},
          {"read-only", true, ErrorNumber::PermissionDenied}}) {
        SCOPED_TRACE(name);
        if (onMedium && !root)
            continue;
        DirectoryDrive& target = onMedium ? medium : drive;
        if (onMedium) {
            ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("mnt")));
            ASSERT_EQ(mount("qel", mountPoint.constData(), "tmpfs", 0, "size=64k"), 0);
        }
        ASSERT_FALSE(target.replace(Name, earlier).has_value());
        rlimit limit{RLIM_INFINITY, RLIM_INFINITY};
        if (!onMedium) {
            std::signal(SIGXFSZ, SIG_IGN);
            limit.rlim_cur = 8;
            setrlimit(RLIMIT_FSIZE, &limit);
        } else if (name == "read-only") {
            ASSERT_EQ(mount("qel", mountPoint.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
        } else {
            QFile fill(medium.path(QStringLiteral("fill")));
            ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (fill.write(QByteArray(4096, 'x')) > 0) {
            }
        }
        const std::optional<Failure> failure =
            target.replace(Name, "100003219,\"en lang brukers navn\",2359\r\n");
        const std::string left = target.read(Name, 100).value();
        QStringList files = QDir(target.root()).entryList(QDir::Files | QDir::Hidden);
        limit.rlim_cur = RLIM_INFINITY;
        onMedium ? (void)umount(mountPoint.constData()) : (void)setrlimit(RLIMIT_FSIZE, &limit);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->number, expected);
        EXPECT_EQ(left, earlier);
        files.removeAll(QStringLiteral("fill"));
        EXPECT_EQ(files, QStringList{Name});
    }
}

// Escaped characters anywhere in a path, its last included (a label that ends in a blank).
TEST(MediaMountPoints, UnderMediaAndRunMediaInMountOrder)
{
    const QByteArray table = "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                             "90 22 8:17 / /run/media/kari/STICK rw - vfat /dev/sdb1 rw\n"
                             "91 22 8:33 / /media/kari/MIN\\040DISK\\040 rw - vfat /dev/sdc1 rw\n"
                             "92 22 0:50 / /mediathek rw - tmpfs x rw\n"
                             "93 22 8:49 / /media/kari/N\303\230KKEL rw - ext4 /dev/sdd1 rw\n";
    EXPECT_EQ(MediaMountPoints(table),
              (QStringList{"/run/media/kari/STICK", "/media/kari/MIN DISK ", "/media/kari/NØKKEL"}));
}

// Drive A: and two sticks as plain directories: the seam the program fills with mount points.
class MediaDriveTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString driveA = dir.filePath(QStringLiteral("floppy0"));
    QStringList sticks{dir.filePath(QStringLiteral("NØKKEL")), dir.filePath(QStringLiteral("STICK"))};
    QStringList mounted = sticks;
    QStringList offered;
    std::optional<qsizetype> pick;
    MediaDrive drive{DirectoryDrive(driveA, DirectoryDrive::Directory), [this] { return mounted; },
                     [this](const QStringList& labels) {
                         offered = labels;
                         return pick;
                     },
                     DirectoryDrive::Directory};

    void SetUp() override
    {
        for (const QString& stick : sticks)
            ASSERT_TRUE(QDir().mkpath(stick));
    }
    std::string on(const QString& root) const { return DirectoryDrive(root).read(Name, 100).value(); }
};

TEST_F(MediaDriveTest, ReadsDriveAFirstThenTheFirstStickWithAKeyFile)
{
    EXPECT_EQ(drive.read(Name, 100).failure().number, ErrorNumber::DiskNotReady);
    ASSERT_FALSE(DirectoryDrive(sticks[1]).replace(Name, "on the second").has_value());
    EXPECT_EQ(drive.read(Name, 100).value(), "on the second");
    EXPECT_TRUE(drive.lastModified(Name).ok());
    ASSERT_TRUE(QDir().mkpath(driveA));
    ASSERT_FALSE(DirectoryDrive(driveA).replace(Name, "on A").has_value());
    EXPECT_EQ(drive.read(Name, 100).value(), "on A");
}

TEST_F(MediaDriveTest, WritesToDriveAOrTheOneStickOrTheStickPicked)
{
    // A drive with no medium in it, as a card reader's empty slot, is neither offered nor counted.
    const QString emptySlot = dir.filePath(QStringLiteral("E"));
    pick = 1;
    mounted.insert(1, emptySlot);
    ASSERT_TRUE(drive.chooseMediumForWriting());
    ASSERT_FALSE(drive.replace(Name, "picked").has_value());
    EXPECT_EQ(offered, (QStringList{"NØKKEL", "STICK"}));
    EXPECT_EQ(on(sticks[1]), "picked");
    EXPECT_FALSE(DirectoryDrive(sticks[0]).holds(Name));

    // Cancelled, or a pick that is none of the sticks offered: nothing is chosen.
    for (const std::optional<qsizetype> none : {std::optional<qsizetype>(), std::optional<qsizetype>(2)}) {
        pick = none;
        EXPECT_FALSE(drive.chooseMediumForWriting());
    }
    offered.clear();

    mounted = {emptySlot, sticks[0]};
    ASSERT_TRUE(drive.chooseMediumForWriting());
    ASSERT_FALSE(drive.replace(Name, "the one").has_value());
    EXPECT_EQ(on(sticks[0]), "the one");

    ASSERT_TRUE(QDir().mkpath(driveA));
    mounted = sticks;
    ASSERT_TRUE(drive.chooseMediumForWriting());
    ASSERT_FALSE(drive.replace(Name, "on A").has_value());
    EXPECT_EQ(on(driveA), "on A");
    EXPECT_TRUE(offered.isEmpty());

    ASSERT_TRUE(QDir(driveA).removeRecursively());
    mounted.clear();
    ASSERT_TRUE(drive.chooseMediumForWriting());
    EXPECT_EQ(drive.replace(Name, "x")->number, ErrorNumber::DiskNotReady);
}

// The time of a key file just written, which seals it, comes from the stick it went to, not from the
// first stick with a key file, which a login reads.
TEST_F(MediaDriveTest, TheTimeOfAWriteIsReadWhereItWent)
{
    const QDateTime longAgo(QDate(2001, 2, 3), QTime(4, 5));
    ASSERT_FALSE(DirectoryDrive(sticks[0]).replace(Name, "older").has_value());
    QFile older{DirectoryDrive(sticks[0]).path(Name)};
    ASSERT_TRUE(older.open(QIODevice::Append));
    ASSERT_TRUE(older.setFileTime(longAgo, QFileDevice::FileModificationTime));
    pick = 1;
    ASSERT_TRUE(drive.chooseMediumForWriting());
    ASSERT_FALSE(drive.replace(Name, "new").has_value());
    EXPECT_EQ(drive.lastWritten(Name).value(), DirectoryDrive(sticks[1]).lastModified(Name).value());
    EXPECT_EQ(drive.lastModified(Name).value(), longAgo);
}

// A stick mounted under a folder of /media, as a desktop mounts it, found without being named.
TEST(MediaDrive, RealStickUnderMedia)
{
    if (!QFileInfo(QStringLiteral("/media")).isDir() || !PrivateMounts())
        GTEST_SKIP() << "needs root and /media";
    QTemporaryDir media(QStringLiteral("/media/qel-test-XXXXXX"));
    ASSERT_TRUE(media.isValid());
    const QString stick = media.filePath(QStringLiteral("NØKKEL"));
    ASSERT_TRUE(QDir().mkpath(stick));
    ASSERT_EQ(mount("qel", QFile::encodeName(stick).constData(), "tmpfs", 0, "size=64k"), 0);
    // The sticks of whoever runs the test may be mounted too; the drive sees only this one.
    MediaDrive drive(
        DirectoryDrive(media.filePath(QStringLiteral("floppy0")), DirectoryDrive::MountPoint),
        [&media] { return MountedMedia().filter(media.path() + u'/'); },
        [](const QStringList&) { return std::optional<qsizetype>(); });
    EXPECT_TRUE(MountedMedia().contains(stick));
    const bool chosen = drive.chooseMediumForWriting();
    const std::optional<Failure> failure = drive.replace(Name, "97,\"x\",7\r\n");
    const Result<std::string> read = drive.read(Name, 100);
    const bool onStick = DirectoryDrive(stick, DirectoryDrive::MountPoint).holds(Name);
    umount(QFile::encodeName(stick).constData()); // before any check, or the folder would stay behind
    EXPECT_TRUE(chosen);
    EXPECT_FALSE(failure.has_value());
    EXPECT_EQ(read.value(), "97,\"x\",7\r\n");
    EXPECT_TRUE(onStick);
}

} // namespace
} // namespace qel
