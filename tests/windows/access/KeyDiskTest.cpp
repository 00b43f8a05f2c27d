#include "windows/access/KeyDisk.h"
#include "tests/support/qt/FakeServices.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

using namespace qel::testing;

const QString Name = QString::fromLatin1(KeyFileName);
constexpr double Step = 1.0 / 16777216.0;

// A key disk made at 09:05:30 from draws that give the prime 100,001,431, then a composite, then the
// prime 100,003,219.
class KeyDiskTest : public ::testing::Test
{
protected:
    FakeServices fakes;
    const QDateTime madeAt{QDate(2026, 12, 6), QTime(9, 5, 30)};

    void SetUp() override
    {
        fakes.random = ScriptedRandom({24 * Step, 0.0, 54 * Step});
        fakes.clock.set(madeAt);
    }
    bool accepted() const { return ReadKeyDisk(fakes.drive).value().accepted; }
};

TEST_F(KeyDiskTest, MadeAndReadBack)
{
    WriteKeyDisk(fakes.services, U"tg04user");
    EXPECT_EQ(fakes.drive.content(Name), "100001431,\"tg04user\",905\r\n");
    EXPECT_TRUE(fakes.dialogs.shown().empty());

    // The disk is sealed with the minute it was written in: any second of it will do, a copy that
    // keeps the time stays valid, and the next minute does not.
    fakes.drive.put(Name, fakes.drive.content(Name), madeAt.addSecs(29));
    const Result<KeyDiskReading> reading = ReadKeyDisk(fakes.drive);
    EXPECT_TRUE(reading.value().accepted);
    EXPECT_EQ(reading.value().key.user, U"tg04user");
    fakes.drive.put(Name, fakes.drive.content(Name), madeAt.addSecs(30));
    EXPECT_FALSE(accepted());
    fakes.drive.put(Name, fakes.drive.content(Name), madeAt.addDays(1).addSecs(-30));
    EXPECT_TRUE(accepted());
}

TEST_F(KeyDiskTest, WriteFailureRetriesWithANewKey)
{
    fakes.drive.put(Name, "earlier", madeAt);
    fakes.drive.failNextWrites(ErrorNumber::DiskFull, 1);
    fakes.dialogs.answerNextMessage(MessageAnswer::Yes);
    WriteKeyDisk(fakes.services, U"Mast");
    const auto boxes = fakes.dialogs.messages();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], KeyDiskMessages::WriteFailure());
    EXPECT_EQ(boxes[0].title, U"KeyDisk Error");
    EXPECT_EQ(boxes[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(boxes[0].icon, MessageIcon::Critical);
    // The second attempt draws a number of its own.
    EXPECT_EQ(fakes.drive.content(Name), "100003219,\"Mast\",905\r\n");
    EXPECT_EQ(fakes.random.drawn(), 3U);
}

TEST_F(KeyDiskTest, WriteFailureDescribedOrGivenUp)
{
    fakes.drive.put(Name, "earlier", madeAt);
    fakes.drive.failNextWrites(ErrorNumber::PermissionDenied, 1);
    fakes.dialogs.answerNextMessage(MessageAnswer::No);
    WriteKeyDisk(fakes.services, U"Mast");
    fakes.drive.failNextWrites(ErrorNumber::DiskFull, 1);
    fakes.dialogs.answerNextMessage(MessageAnswer::Cancel);
    WriteKeyDisk(fakes.services, U"Mast");

    const MessageBoxRequest description{U"Feilkode 70: Ingen tilgang", U"Feilbeskrivelse", MessageButtons::Ok,
                                        MessageIcon::Information};
    EXPECT_EQ(fakes.dialogs.messages(),
              (std::vector{KeyDiskMessages::WriteFailure(), description, KeyDiskMessages::WriteFailure()}));
    EXPECT_EQ(fakes.drive.content(Name), "earlier");

    // No medium picked among several: nothing is written and nothing is said.
    fakes.drive.cancelNextChoice();
    WriteKeyDisk(fakes.services, U"Mast");
    EXPECT_EQ(fakes.dialogs.messages().size(), 3U);
    EXPECT_EQ(fakes.drive.content(Name), "earlier");
}

} // namespace
} // namespace qel
