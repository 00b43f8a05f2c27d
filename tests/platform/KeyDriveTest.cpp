#include "platform/KeyDrive.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

} // namespace
} // namespace qel
