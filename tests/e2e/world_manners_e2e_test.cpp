#include "e2e/practice_world_fixture.h"
#include "fakes/fake_platform.h"
#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "shell/client.h"
#include "widgets/qt_wait.h"

#include <QAction>
#include <gtest/gtest.h>
#include <ostream>

namespace corvane::testing {
namespace {

// What both manners must get right although only the classic world frames
// its replies: the lag meter, banners with bare line feeds, text in UTF-8.
struct WorldMannersE2E : EitherManner {
    QAction* lagCounter() const { return window.findChild<QAction*>("ViewLagCounter"); }
};

TEST_P(WorldMannersE2E, EachOfThreeLogInsStartsTheLagMeterOnlyWhereRepliesAreFramed) {
    ASSERT_TRUE(startWorld({}, {}));
    const bool framed = manner == WorldManner::Framed;
    for (int login = 1; login <= 3; ++login) {
        SCOPED_TRACE(login);
        ASSERT_EQ(client.startLoggedIn("Practice", "Tester"), std::nullopt);
        const QString word = QString("counted%1").arg(login);
        ASSERT_TRUE(sayAndWait("ready" + word));
        EXPECT_TRUE(lagCounter()->isChecked());
        EXPECT_TRUE(lagCounter()->isEnabled());

        typeLine("say " + word);
        // Framed: the command counts until its reply begins. Otherwise the
        // meter waits for a first frame that never comes.
        EXPECT_EQ(client.session().PendingReplies, framed ? 1 : 0);
        ASSERT_TRUE(waitUntil([&] { return output().contains("You say, \"" + word + "\""); }));
        EXPECT_EQ(client.session().PendingReplies, 0);

        if (login < 3) {
            prompts.answers = {PromptAnswer::No};
            commandButton(8)->click();
            ASSERT_TRUE(waitUntil([&] {
                return !client.session().Connected &&
                       prompts.questions.size() == static_cast<std::size_t>(login);
            }));
            EXPECT_FALSE(lagCounter()->isChecked());
            EXPECT_FALSE(lagCounter()->isEnabled());
        }
    }
    // A tick of the one-second timer later nothing is being counted.
    pumpEvents(1200);
    EXPECT_EQ(client.session().LagSeconds, 0);
    EXPECT_EQ(label(3).trimmed(), "Current lag:");
}

TEST_P(WorldMannersE2E, TheGreetingKeepsItsLinesApartBeforeLogin) {
    ASSERT_TRUE(connectWithoutLogin());
    EXPECT_FALSE(client.session().TagMode);
    EXPECT_TRUE(output().contains("\n               ~  The Corvane Practice World  ~\n"
                                  "      A small town of seven rooms for trying out a MUCK client.\n"
                                  "\n"
                                  "  Practice accounts:"))
        << output().toStdString();
}

TEST_P(WorldMannersE2E, SaysInUtf8AndWindows1252AreBothReadable) {
    ASSERT_TRUE(logIn());
    RawPlayer bob;
    ASSERT_TRUE(bob.connectTo(world.port()));
    bob.send("connect Bob bob\r\n");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Bob has connected."); }));
    bob.send("say caf\xC3\xA9 costs \xE2\x82\xAC"
             "5, na\xEFve \x93quotes\x94\r\n");
    const QString said = QString::fromUtf8("Bob says, \"café costs €5, naïve “quotes”\"");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Bob says,"); }));
    ASSERT_TRUE(sayAndWait("heard"));
    EXPECT_TRUE(output().contains(said + "\n")) << output().toStdString();

    // The modern world's bot greets whoever walks up to her cart.
    typeLine("north");
    ASSERT_TRUE(sayAndWait("arrived"));
    const QString greeting = QString::fromUtf8("Colette says, \"café costs €5\"\n");
    EXPECT_EQ(output().contains(greeting), manner == WorldManner::Modern) << output().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Manners, WorldMannersE2E, kBothManners, mannerTestName);

// Only the modern world prints its banners with bare line feeds after a login
// and pings a quiet connection.
struct ModernWorldE2E : PracticeWorldE2E {
    ModernWorldE2E() { manner = WorldManner::Modern; }
};

TEST_F(ModernWorldE2E, BannersKeepTheirLinesApartWhileLoggedInAndANopLeavesNoTrace) {
    ASSERT_TRUE(logIn({"--nop-seconds", "1"}));
    const QString messageOfTheDay = "Welcome back to the Corvane Practice World.\n"
                                    "Colette's coffee cart is on North Road today.\n"
                                    "- - - - - - - - - - - - - - - - - - - -\n";
    // Whether the log-in's banner came before TagMode went on is a race; the
    // room after it must be on its own line either way.
    EXPECT_TRUE(output().contains(messageOfTheDay + "Town Square\n")) << output().toStdString();

    ASSERT_TRUE(sayAndWait("quiet"));
    ASSERT_TRUE(client.session().TagMode);
    // Quiet for more than a second: the world sends IAC NOP.
    ASSERT_TRUE(waitUntil([&] { return world.sent(1).endsWith("\xff\xf1"); }, 3000));
    const QString before = output();
    typeLine("motd");
    ASSERT_TRUE(sayAndWait("after"));
    EXPECT_EQ(output().mid(before.size()), messageOfTheDay + "You say, \"after\"\n");
    EXPECT_TRUE(typed(1).endsWith("say quiet\r\nmotd\r\nsay after\r\n"));
}

// "é €" said before and after the modern world's bot has spoken UTF-8, under
// each choice of the world's encoding: the world echoes the bytes it got.
struct EncodingRow {
    const char* name;
    QByteArray worldSettings;
    QByteArray sentBefore;
    QByteArray sentAfter;
    const char* greeting;
};

void PrintTo(const EncodingRow& row, std::ostream* out) {
    *out << row.name;
}

const QByteArray kCodePageSay = "say \xE9 \x80\r\n";
const QByteArray kUtf8Say = "say \xC3\xA9 \xE2\x82\xAC\r\n";

struct EncodingE2E : PracticeWorldE2E, ::testing::WithParamInterface<EncodingRow> {
    EncodingE2E() { manner = WorldManner::Modern; }
};

TEST_P(EncodingE2E, SaidTextComesBackWholeBeforeAndAfterTheWorldSpeaksUtf8) {
    const EncodingRow& row = GetParam();
    ASSERT_TRUE(logIn({}, row.worldSettings));
    const QString said = QString::fromUtf8("You say, \"é €\"\n");
    typeLine(QString::fromUtf8("say é €"));
    ASSERT_TRUE(waitUntil([&] { return output().contains(said); })) << output().toStdString();
    EXPECT_TRUE(typed(1).endsWith(row.sentBefore)) << typed(1).toStdString();

    typeLine("north");
    ASSERT_TRUE(sayAndWait("arrived"));
    EXPECT_TRUE(output().contains(QString::fromUtf8(row.greeting))) << output().toStdString();
    const qsizetype before = output().count(said);
    typeLine(QString::fromUtf8("say é €"));
    ASSERT_TRUE(waitUntil([&] { return output().count(said) > before; })) << output().toStdString();
    EXPECT_TRUE(typed(1).endsWith(row.sentAfter)) << typed(1).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Settings, EncodingE2E,
    ::testing::Values(EncodingRow{"Automatic", {}, kCodePageSay, kUtf8Say, "Colette says, \"café costs €5\""},
                      EncodingRow{"Windows1252", "Encoding=Windows-1252\r\n", kCodePageSay, kCodePageSay,
                                  "Colette says, \"cafÃ© costs â‚¬5\""},
                      EncodingRow{"Utf8", "Encoding=UTF-8\r\n", kUtf8Say, kUtf8Say,
                                  "Colette says, \"café costs €5\""}),
    [](const ::testing::TestParamInfo<EncodingRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
