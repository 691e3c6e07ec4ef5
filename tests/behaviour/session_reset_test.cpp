#include "fakes/client_harness.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using namespace std::chrono_literals;

// What is left of a session once its connection has ended, and what the next
// one starts with.
struct SessionResetTest : ::testing::Test {
    ClientHarness h;
    void SetUp() override { h.client.start(false); }

    Session& session() { return h.client.session(); }
    const MainMenu& menu() const { return h.client.menu(); }
    void logIn() {
        h.connect();
        h.client.loggedIn();
    }
    void quit() {
        h.prompts.answers = {PromptAnswer::No};
        h.client.onCommandButton(command_button::Quit);
        h.socket.serverCloses();
    }
    void framedReply(const std::string& text) { h.socket.receive("[on]\r\n" + text + "\r\n[off]\r\n"); }
};

TEST_F(SessionResetTest, TheLagMeterCountsAfterEveryLogInAndIsOffBetweenThem) {
    for (int login = 1; login <= 3; ++login) {
        SCOPED_TRACE("log-in " + std::to_string(login));
        logIn();
        EXPECT_TRUE(session().LagMeterOn);
        EXPECT_TRUE(menu().checked(MenuItem::ViewLagCounter));
        EXPECT_EQ(h.window.labels[StatusView::LagLabel], "Current lag: ") << "no lag left from before";
        framedReply("Town Square");
        h.type("look");
        EXPECT_EQ(session().PendingReplies, 1);
        h.clock.advance(2s);
        EXPECT_EQ(session().LagSeconds, 2);
        framedReply("Town Square");
        EXPECT_EQ(h.window.labels[StatusView::LagLabel], "Current Lag: 2 secs");

        quit();
        EXPECT_FALSE(session().LagMeterOn);
        EXPECT_FALSE(menu().checked(MenuItem::ViewLagCounter));
        EXPECT_FALSE(menu().enabled(MenuItem::ViewLagCounter));
    }
    logIn();
    h.client.loggedIn();
    EXPECT_TRUE(session().LagMeterOn) << "a second log-in on one connection switched the meter off";
}

TEST_F(SessionResetTest, TheLagMeterWaitsUntilTheWorldHasFramedAReplyOnThisConnection) {
    logIn();
    const std::string label = h.window.labels[StatusView::LagLabel];
    h.socket.receive("Huh?  (Type \"help\" for help.)\r\n");
    h.type("look");
    h.clock.advance(65s);
    EXPECT_EQ(session().PendingReplies, 0);
    EXPECT_EQ(session().LagSeconds, 0);
    EXPECT_EQ(h.window.labels[StatusView::LagLabel], label);
    EXPECT_NE(h.window.labelColours[StatusView::LagLabel].second, colours::Yellow);

    framedReply("Town Square");
    h.type("look");
    EXPECT_EQ(session().PendingReplies, 1);

    quit();
    logIn();
    h.type("look");
    EXPECT_EQ(session().PendingReplies, 0) << "the last connection's framing was taken for this one's";
}

TEST_F(SessionResetTest, TheEndOfTheConnectionEndsIdleModeQuietlyAndSendsNothingMore) {
    logIn();
    h.client.onMenuTriggered(MenuItem::GameIdle);
    ASSERT_TRUE(menu().checked(MenuItem::GameIdle));
    h.socket.serverCloses();

    EXPECT_FALSE(menu().checked(MenuItem::GameIdle));
    EXPECT_TRUE(menu().enabled(MenuItem::GameWalk));
    ASSERT_NE(h.views.notice, nullptr);
    EXPECT_EQ(h.views.notice->text.find("End Idle."), std::string::npos);
    const std::size_t sent = h.socket.sent.size();
    h.clock.advance(200s);
    EXPECT_EQ(h.socket.sent.size(), sent);
    ASSERT_EQ(h.prompts.messages.size(), 1u) << h.prompts.messages.back().text;
    EXPECT_EQ(h.prompts.messages[0].text, "Connection Closed");
}

TEST(SessionReset, ConnectToAMudIsDisabledExactlyWhileConnected) {
    struct Ending {
        const char* name;
        std::function<void(ClientHarness&)> end;
    };
    const std::vector<Ending> endings = {
        {"server closes", [](ClientHarness& h) { h.socket.serverCloses(); }},
        {"Disconnect", [](ClientHarness& h) { h.client.onMenuTriggered(MenuItem::FileDisconnect); }},
        {"QUIT",
         [](ClientHarness& h) {
             h.prompts.answers = {PromptAnswer::No};
             h.client.onCommandButton(command_button::Quit);
             h.socket.serverCloses();
         }},
        {"connection lost", [](ClientHarness& h) { h.socket.failWith(10054, "Connection reset by peer"); }},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        ClientHarness h;
        h.client.start(false);
        EXPECT_TRUE(h.client.menu().enabled(MenuItem::FileConnect));
        h.connect();
        EXPECT_FALSE(h.client.menu().enabled(MenuItem::FileConnect));
        EXPECT_FALSE(h.window.menuEnabled[MenuItem::FileConnect]);
        ending.end(h);
        EXPECT_TRUE(h.client.menu().enabled(MenuItem::FileConnect));
        EXPECT_TRUE(h.window.menuEnabled[MenuItem::FileConnect]);
    }
}

} // namespace
} // namespace corvane::testing
