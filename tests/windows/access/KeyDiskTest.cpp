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
    EXPECT_TRUE(accepted());
    EXPECT_EQ(ReadKeyDisk(fakes.drive).value().key.user, U"tg04user");
    fakes.drive.put(Name, fakes.drive.content(Name), madeAt.addSecs(30));
    EXPECT_FALSE(accepted());
    fakes.drive.put(Name, fakes.drive.content(Name), madeAt.addDays(1).addSecs(-30));
    EXPECT_TRUE(accepted());
}

// A failed write asks again. Yes writes anew, with a number of its own; No describes the failure and Cancel
// gives up, as does picking no medium among several, without a word: each leaves the file as it was.
TEST_F(KeyDiskTest, WriteFailureAsksAgain)
{
    const MessageBoxRequest question = KeyDiskMessages::WriteFailure();
    fakes.drive.failNextWrites(ErrorNumber::DiskFull, 1);
    fakes.dialogs.answerNextMessage(MessageAnswer::Yes);
    WriteKeyDisk(fakes.services, U"Mast");
    const QByteArray written = "100003219,\"Mast\",905\r\n";
    EXPECT_EQ(fakes.drive.content(Name), written);
    EXPECT_EQ(fakes.random.drawn(), 3U);
    EXPECT_EQ(fakes.drive.choices(), 2); // a stick put in before Yes is offered too

    fakes.drive.failNextWrites(ErrorNumber::PermissionDenied, 1);
    fakes.dialogs.answerNextMessage(MessageAnswer::No);
    WriteKeyDisk(fakes.services, U"Fjord");
    fakes.drive.failNextWrites(ErrorNumber::DiskFull, 1);
    fakes.dialogs.answerNextMessage(MessageAnswer::Cancel);
    WriteKeyDisk(fakes.services, U"Fjord");
    fakes.drive.cancelNextChoice();
    WriteKeyDisk(fakes.services, U"Fjord");
    EXPECT_EQ(fakes.drive.content(Name), written);
    const MessageBoxRequest description{U"Feilkode 70: Ingen tilgang", U"Feilbeskrivelse", MessageButtons::Ok,
                                        MessageIcon::Information};
    EXPECT_EQ(fakes.dialogs.messages(), (std::vector{question, question, description, question}));
}

// A FAT stick rounds the file's time up to the next even second: a disk made in a minute's last two
// seconds holds the next minute, and is sealed with that one.
TEST_F(KeyDiskTest, SealedWithTheMinuteTheDriveGaveTheFile)
{
    fakes.clock.set(madeAt.addMSecs(28'500));
    fakes.drive.stampLate(1'500);
    WriteKeyDisk(fakes.services, U"tg04user");
    EXPECT_EQ(fakes.drive.content(Name), "100001431,\"tg04user\",906\r\n");
    EXPECT_TRUE(accepted());
}

// What the boxes say, word for word, as users have always read it: the number is part of the text.
TEST(KeyDiskMessagesTest, WordForWord)
{
    const auto question = [](const char32_t* text) {
        return MessageBoxRequest{Text(text) + U" Vil du prøve på ny? (Trykk Nei for feilbeskrivelse, eller "
                                              U"avbryt for å gå tilbake til programmet)",
                                 U"KeyDisk Error", MessageButtons::YesNoCancel, MessageIcon::Critical};
    };
    EXPECT_EQ(KeyDiskMessages::ReadFailure(), question(U"Feil ved KeyDisk verifikasjon."));
    EXPECT_EQ(KeyDiskMessages::WriteFailure(), question(U"Feil ved skriving til diskett."));

    const std::pair<ErrorNumber, Text> rows[] = {
        {ErrorNumber::FileNotFound, U"Feilkode 53: Finner ikke filen"},
        {ErrorNumber::DeviceIoError, U"Feilkode 57: I/U-feil på enheten"},
        {ErrorNumber::DiskFull, U"Feilkode 61: Disken er full"},
        {ErrorNumber::InputPastEnd, U"Feilkode 62: Lesing forbi slutten av filen"},
        {ErrorNumber::PermissionDenied, U"Feilkode 70: Ingen tilgang"},
        {ErrorNumber::DiskNotReady, U"Feilkode 71: Disken er ikke klar"},
        {ErrorNumber::PathFileAccess, U"Feilkode 75: Feil ved tilgang til bane eller fil"},
    };
    for (const auto& [number, text] : rows)
        EXPECT_EQ(KeyDiskMessages::FailureDescription(Messages::FileFailure(number)).text, text);
}

} // namespace
} // namespace qel
