#include "platform/KeyDrive.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
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
    EXPECT_EQ(unmounted.read(Name, 100).failure().number, ErrorNumber::DiskNotReady);
    EXPECT_EQ(unmounted.replace(Name, "x")->number, ErrorNumber::DiskNotReady);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_EQ(
        DirectoryDrive(QStringLiteral("/"), DirectoryDrive::MountPoint).read(Name, 100).failure().number,
        ErrorNumber::FileNotFound);

    EXPECT_EQ(readFailure(), ErrorNumber::FileNotFound);
    EXPECT_EQ(drive.lastModified(Name).failure().number, ErrorNumber::FileNotFound);
    EXPECT_EQ(drive.read(Name, 100).failure().description, U"Finner ikke filen");
}

TEST_F(KeyDriveTest, ReplacesTheWholeFileWithExactBytes)
{
    ASSERT_FALSE(drive.replace(Name, std::string("first line that is long\r\n")).has_value());
    const std::string bytes("97,\"\xC5se\",7\r\n\0\xFF", 15);
    ASSERT_FALSE(drive.replace(Name, bytes).has_value());
    EXPECT_EQ(drive.read(Name, 100).value(), bytes);
    EXPECT_EQ(drive.read(Name, 4).value(), "97,\"");
    // Nothing but the key file is left on the disk.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{Name});
}

TEST_F(KeyDriveTest, ModificationTimeInLocalTime)
{
    ASSERT_FALSE(drive.replace(Name, "x").has_value());
    const QDateTime stamp(QDate(2026, 2, 3), QTime(9, 5, 42));
    QFile file(drive.path(Name));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(drive.lastModified(Name).value(), stamp);
    EXPECT_EQ(drive.lastModified(Name).value().timeSpec(), Qt::LocalTime);
}

// A directory under the key file's name can be neither read nor replaced, and is left standing.
TEST_F(KeyDriveTest, KeyFileThatIsADirectory)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(Name));
    EXPECT_EQ(readFailure(), ErrorNumber::PathFileAccess);
    EXPECT_EQ(drive.lastModified(Name).failure().number, ErrorNumber::PathFileAccess);
    EXPECT_TRUE(drive.replace(Name, "97,\"x\",7\r\n").has_value());
    EXPECT_TRUE(QFileInfo(drive.path(Name)).isDir());
}

// A link at the key file's place is read through and written through by nobody: a crafted disk could
// otherwise show another file's content as a key, or overwrite any file the user can write.
TEST_F(KeyDriveTest, KeyFileThatIsALink)
{
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim.txt"));
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("97,\"x\",7\r\n");
    file.close();
    ASSERT_TRUE(QFile::link(victim, drive.path(Name)));

    EXPECT_EQ(readFailure(), ErrorNumber::PathFileAccess);
    EXPECT_EQ(drive.lastModified(Name).failure().number, ErrorNumber::PathFileAccess);
    ASSERT_TRUE(drive.replace(Name, "11,\"y\",8\r\n").has_value());
    EXPECT_EQ(drive.replace(Name, "11,\"y\",8\r\n")->number, ErrorNumber::PathFileAccess);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "97,\"x\",7\r\n");
    EXPECT_TRUE(QFileInfo(drive.path(Name)).isSymLink());
}

// Mounts made here vanish with the test process and are seen by no one else. Needs root.
bool PrivateMounts()
{
    return geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
           mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// A write that fails on a real file system, at any point, reports its cause and leaves the earlier
// key file as it was, with nothing else left behind on the disk.
TEST_F(KeyDriveTest, OldFileSurvivesEveryWriteFailure)
{
    const std::string earlier = "100001431,\"tg04user\",905\r\n";
    const std::string longer = "100003219,\"en lang brukers navn\",2359\r\n";
    const bool root = PrivateMounts();
    const QByteArray mountPoint = dir.filePath(QStringLiteral("mnt")).toLocal8Bit();
    const auto tmpfs = [&](const char* options) {
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("mnt")));
        ASSERT_EQ(mount("qel", mountPoint.constData(), "tmpfs", 0, options), 0);
    };
    DirectoryDrive medium(QString::fromLocal8Bit(mountPoint));
    struct Row {
        const char* name;
        bool needsRoot;
        std::function<void()> before;
        std::function<void()> after;
        ErrorNumber expected;
    };
    const std::vector<Row> rows{
        {"file size limit reached", false,
         [] {
             std::signal(SIGXFSZ, SIG_IGN);
             const rlimit limit{8, RLIM_INFINITY};
             setrlimit(RLIMIT_FSIZE, &limit);
         },
         [] {
             const rlimit limit{RLIM_INFINITY, RLIM_INFINITY};
             setrlimit(RLIMIT_FSIZE, &limit);
         },
         ErrorNumber::DiskFull},
        {"medium full", true,
         [&] {
             tmpfs("size=64k");
             ASSERT_FALSE(medium.replace(Name, earlier).has_value());
             QFile fill(medium.path(QStringLiteral("fill")));
             ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
             while (fill.write(QByteArray(4096, 'x')) > 0) {
             }
         },
         [&] { umount(mountPoint.constData()); }, ErrorNumber::DiskFull},
        {"medium read-only", true,
         [&] {
             tmpfs("size=64k");
             ASSERT_FALSE(medium.replace(Name, earlier).has_value());
             ASSERT_EQ(mount("qel", mountPoint.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
         },
         [&] { umount(mountPoint.constData()); }, ErrorNumber::PermissionDenied},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.needsRoot && !root) {
            std::printf("skipped without root: %s\n", row.name);
            continue;
        }
        DirectoryDrive& target = row.needsRoot ? medium : drive;
        if (!row.needsRoot) {
            ASSERT_FALSE(target.replace(Name, earlier).has_value());
        }
        row.before();
        const std::optional<Failure> failure = target.replace(Name, longer);
        const std::string left = target.read(Name, 100).value();
        QStringList files = QDir(target.root()).entryList(QDir::Files | QDir::Hidden);
        row.after();
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->number, row.expected);
        EXPECT_EQ(left, earlier);
        files.removeAll(QStringLiteral("fill"));
        EXPECT_EQ(files, QStringList{Name});
    }
}

} // namespace
} // namespace qel
