#include "behaviour/room_harness.h"
#include "core/text_codec.h"
#include "room/random_source.h"
#include "room/random_walk.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using std::chrono::seconds;

struct RandomWalkTest : ::testing::Test, RoomHarness {
    void SetUp() override {
        logIn();
        h->client.room().random().seed(7);
    }
    FakeWalkView& walk() { return *h->views.walk; }
    // Game > "&Walk" with the log question answered No.
    void openWithoutLog() {
        h->prompts.answers.push_back(PromptAnswer::No);
        h->client.onMenuTriggered(MenuItem::GameWalk);
    }
    void start(const std::string& interval) {
        walk().setIntervalText(interval);
        walk().events->onWalkButton();
    }
    void tick(int n = 1) { h->clock.advance(seconds(n)); }
    // The moves sent so far, without their line ends.
    std::vector<std::string> moves() const {
        std::vector<std::string> result;
        for (const std::string& bytes : h->socket.sent) {
            result.push_back(bytes.substr(0, bytes.size() - 2));
        }
        return result;
    }
};

TEST_F(RandomWalkTest, GameWalkOpensTheWindowAndExcludesIdleUntilTheWalkEnds) {
    openWithoutLog();
    ASSERT_EQ(h->prompts.questions.size(), 1u);
    EXPECT_EQ(h->prompts.questions[0].text, "Save your moves to a file?");
    EXPECT_EQ(h->prompts.questions[0].title, "LOG WALK");
    EXPECT_TRUE(menu().checked(MenuItem::GameWalk));
    EXPECT_FALSE(menu().enabled(MenuItem::GameIdle));
    EXPECT_EQ(h->window.labels[0], "Status: Random Walk");
    EXPECT_TRUE(walk().shown);
    EXPECT_TRUE(walk().topmost);
    EXPECT_EQ(walk().prompt, "Enter time interval:");
    EXPECT_FALSE(walk().centred);
    EXPECT_EQ(walk().note, "(From 5 to 3600 seconds;\n-1 for random intervals)");
    EXPECT_EQ(walk().walkButton, "Start &Walk");
    EXPECT_EQ(walk().interval, "5");

    walk().events->onMinimisedChanged(true);
    EXPECT_FALSE(walk().topmost);
    EXPECT_EQ(h->window.focus, "input");
    walk().events->onMinimisedChanged(false);
    EXPECT_TRUE(walk().topmost);

    tick(30);
    EXPECT_EQ(h->socket.sent.size(), 0u) << "no moves before the start";
    h->client.onMenuTriggered(MenuItem::GameWalk);
    EXPECT_FALSE(walk().shown);
    EXPECT_FALSE(menu().checked(MenuItem::GameWalk));
    EXPECT_TRUE(menu().enabled(MenuItem::GameIdle));
    EXPECT_EQ(h->window.labels[0], "Status: On Line");
}

TEST_F(RandomWalkTest, OnlyIntervalsFrom5To3600OrMinusOneStartTheWalk) {
    const std::pair<const char*, bool> rows[] = {
        {"4", false}, {"3601", false}, {"walk", false}, {"", false},   {"-2", false},
        {"5", true},  {"3600", true},  {"-1", true},    {"5.5", true}, {" 10 secs", true}};
    for (const auto& [text, accepted] : rows) {
        SCOPED_TRACE(text);
        openWithoutLog();
        h->prompts.messages.clear();
        start(text);
        if (accepted) {
            EXPECT_TRUE(h->prompts.messages.empty());
            EXPECT_EQ(walk().walkButton, "End &Walk");
            EXPECT_FALSE(walk().intervalVisible);
            EXPECT_TRUE(walk().centred);
            EXPECT_EQ(walk().note, "");
        } else {
            ASSERT_EQ(h->prompts.messages.size(), 1u);
            EXPECT_EQ(h->prompts.messages[0].text,
                      "The time interval must be between\r5 seconds and 3600 seconds (1 hour).");
            EXPECT_EQ(h->prompts.messages[0].title, "ERROR");
            EXPECT_EQ(walk().walkButton, "Start &Walk");
            EXPECT_TRUE(walk().intervalVisible);
        }
        walk().events->onCancel();
        EXPECT_FALSE(menu().checked(MenuItem::GameWalk));
    }
}

TEST_F(RandomWalkTest, AnExitsLineBeforeOrAfterItsRoomMarkerGivesTheOnlyMovesThere) {
    const auto onlyNorthOrSoutheast = [&] {
        h->socket.sent.clear();
        tick(5 * 10);
        const auto drawn = moves();
        return drawn.size() == 10u && std::all_of(drawn.begin(), drawn.end(), [](const std::string& m) {
                   return m == "n" || m == "se";
               });
    };
    openWithoutLog();
    start("5");
    // Described first, then the arrival hook's marker: the exits are this room's.
    h->socket.receive("Obvious exits: North Road <n> and Market Row [se].\r\n");
    arrive("12 Square");
    EXPECT_TRUE(onlyNorthOrSoutheast());
    // A room without an exits line: every direction again.
    arrive("13 Elsewhere");
    EXPECT_FALSE(onlyNorthOrSoutheast());
    // The marker first, then the description.
    arrive("12 Square");
    h->socket.receive("Exits: n, se\r\n");
    EXPECT_TRUE(onlyNorthOrSoutheast());
}

TEST_F(RandomWalkTest, AFixedIntervalCountsDownBetweenMoves) {
    openWithoutLog();
    start("10");
    for (int left = 9; left >= 1; --left) {
        tick();
        EXPECT_EQ(walk().prompt, "Waiting " + std::to_string(left) + " seconds.");
    }
    EXPECT_TRUE(h->socket.sent.empty());
    tick();
    ASSERT_EQ(moves().size(), 1u);
    EXPECT_EQ(h->socket.sent[0], moves()[0] + "\r\n");
    EXPECT_EQ(walk().caption, "Random Walk (" + moves()[0] + ")");
    EXPECT_EQ(walk().note, "Last move: " + moves()[0]);
    tick(20);
    EXPECT_EQ(moves().size(), 3u);
    EXPECT_EQ(session().PendingReplies, 0) << "walk moves are not timed by the lag meter";

    walk().events->onWalkButton(); // "End &Walk"
    EXPECT_FALSE(walk().shown);
    tick(20);
    EXPECT_EQ(moves().size(), 3u);
}

TEST_F(RandomWalkTest, FractionsWaitForTheNextWholeSecondAndRandomWaitsLieBetween6And60) {
    openWithoutLog();
    start("5.5");
    tick(5);
    EXPECT_EQ(walk().prompt, "Waiting 0.5 seconds.");
    EXPECT_TRUE(moves().empty());
    tick();
    EXPECT_EQ(moves().size(), 1u);
    walk().events->onCancel();

    h->socket.sent.clear();
    openWithoutLog();
    start("-1");
    tick();
    EXPECT_EQ(moves().size(), 1u) << "the first random move comes at once";
    int shortest = 100;
    int longest = 0;
    for (int move = 0; move < 60; ++move) {
        const std::size_t before = moves().size();
        int waited = 0;
        while (moves().size() == before && waited < 100) {
            tick();
            ++waited;
        }
        shortest = std::min(shortest, waited);
        longest = std::max(longest, waited);
    }
    EXPECT_GE(shortest, 6);
    EXPECT_LE(longest, 60);
    EXPECT_LT(shortest, 15);
    EXPECT_GT(longest, 45);
}

TEST(RandomWalkDraw, SixDirectionsTakeASeventhEachAndTheOtherSixA42ndEach) {
    RandomSource random;
    random.seed(2024);
    constexpr int draws = 42000;
    std::array<int, 12> counts{};
    for (int i = 0; i < draws; ++i) {
        const int slot = RandomWalk::DrawDirection(random);
        ASSERT_GE(slot, 0);
        ASSERT_LT(slot, 12);
        ++counts[static_cast<std::size_t>(slot)];
    }
    for (std::size_t slot = 0; slot < counts.size(); ++slot) {
        SCOPED_TRACE(RandomWalk::kDirections[slot]);
        const double expected = slot < 6 ? draws / 7.0 : draws / 42.0;
        EXPECT_NEAR(counts[slot], expected, expected * 0.1);
    }
}

// Walk logs carry local times; the test reads them in UTC.
struct UtcTime {
    std::string old = std::getenv("TZ") != nullptr ? std::getenv("TZ") : "";
    bool had = std::getenv("TZ") != nullptr;
    UtcTime() { setTz("UTC"); }
    ~UtcTime() {
        if (had) {
            setTz(old.c_str());
        } else {
            unsetenv("TZ");
            tzset();
        }
    }
    static void setTz(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
};

TEST_F(RandomWalkTest, TheLogTellsWhereTheWalkWentRoomsToldApartByName) {
    UtcTime utc;
    using namespace std::chrono;
    h->clock.current = sys_days{year{2024} / 3 / 7} + hours(21) + minutes(5) + seconds(9);
    arrive("164 Town Square");
    const std::string log = folder.file("walk001.log");
    h->choosers.files.push_back(log);
    h->client.onMenuTriggered(MenuItem::GameWalk);
    ASSERT_EQ(h->choosers.fileChoices.size(), 1u);
    EXPECT_EQ(h->choosers.fileChoices[0].title, "Open Walk Log File");
    EXPECT_EQ(h->choosers.fileChoices[0].proposedName, "walk001.log");
    EXPECT_EQ(h->choosers.fileChoices[0].filters.size(), 3u);
    EXPECT_EQ(h->choosers.fileChoices[0].filters[0].pattern, "walk*.log");

    start("5");
    tick(5);
    ASSERT_EQ(moves().size(), 1u);
    arrive("166 Market Row");
    tick();
    arrive("167 Market Row"); // same name: not a new room for the log
    tick(2);
    arrive("-5 Cellar");
    tick();
    walk().events->onCancel();
    EXPECT_EQ(folder.read("walk001.log"), "You began a Random Walk on 03-07-2024 at 21:05:09\r\n"
                                          "You started out in Town Square (DB Ref: 164)\r\n"
                                          "You went " +
                                              moves()[0] +
                                              " to Market Row (DB Ref: 166)\r\n"
                                              "You went " +
                                              moves()[0] +
                                              " to Cellar (DB Ref:-5)\r\n"
                                              "You ended your walk on 03-07-2024 at 21:05:18\r\n");
}

TEST_F(RandomWalkTest, ALogThatCannotBeKeptLeavesTheWalkWithoutOne) {
    folder.write("old.log", "old walk\r\n");
    struct Row {
        const char* what;
        std::vector<PromptAnswer> answers;
        std::optional<std::string> chosen;
        const char* message; // empty: none
    };
    const Row rows[] = {
        {"not wanted", {PromptAnswer::No}, std::nullopt, ""},
        {"chooser cancelled", {PromptAnswer::Yes}, std::nullopt, ""},
        {"overwrite question cancelled",
         {PromptAnswer::Yes, PromptAnswer::Cancel},
         folder.file("old.log"),
         ""},
        {"no such folder",
         {PromptAnswer::Yes},
         folder.file("gone/walk.log"),
         "No such file or directory ( 76)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        h->prompts.messages.clear();
        h->prompts.answers.assign(row.answers.begin(), row.answers.end());
        h->choosers.files.push_back(row.chosen);
        h->client.onMenuTriggered(MenuItem::GameWalk);
        if (*row.message != '\0') {
            ASSERT_EQ(h->prompts.messages.size(), 1u);
            EXPECT_EQ(h->prompts.messages[0].text, row.message);
            EXPECT_EQ(h->prompts.messages[0].title, *row.chosen);
        } else {
            EXPECT_TRUE(h->prompts.messages.empty());
        }
        EXPECT_TRUE(walk().shown) << "the walk can still start";
        walk().events->onCancel();
        h->choosers.files.clear();
    }
    EXPECT_EQ(folder.read("old.log"), "old walk\r\n");
}

TEST_F(RandomWalkTest, TheEndOfTheSessionEndsTheWalkAndNothingIsSentAfterIt) {
    h->choosers.files.push_back(folder.file("walk.log"));
    h->client.onMenuTriggered(MenuItem::GameWalk);
    start("5");
    tick(5);
    ASSERT_EQ(moves().size(), 1u);
    h->socket.serverCloses();
    EXPECT_FALSE(walk().shown);
    EXPECT_FALSE(menu().checked(MenuItem::GameWalk));
    EXPECT_EQ(h->window.labels[0], "Status: Off Line");
    EXPECT_NE(folder.read("walk.log").find("You ended your walk on "), std::string::npos);

    // A walk started off line sends nothing and raises no box.
    h->prompts.messages.clear();
    openWithoutLog();
    start("5");
    tick(30);
    EXPECT_EQ(moves().size(), 1u);
    EXPECT_TRUE(h->prompts.messages.empty());
    EXPECT_EQ(walk().note.rfind("Last move: ", 0), 0u);
}

} // namespace
} // namespace corvane::testing
