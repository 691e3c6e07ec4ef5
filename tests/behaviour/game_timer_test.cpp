#include "core/command_sender.h"
#include "core/game_timer.h"
#include "core/main_menu.h"
#include "core/session.h"
#include "core/status_line.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct GameTimerTest : ::testing::Test {
    FakeMainWindow window;
    FakeSocket socket;
    FakePrompts prompts;
    FakeClock clock;
    Session session;
    StatusLine status{window};
    MainMenu menu{window};
    CommandSender sender{session, socket, status, prompts, menu};
    GameTimer timer{session, status, window, menu, sender, clock};
    std::vector<std::string> notices;

    void SetUp() override {
        timer.setHooks({[this](const std::string& text) { notices.push_back(text); }});
        menu.setEnabled(MenuItem::ViewLagCounter, true);
        socket.socketState = Socket::State::Connected;
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            clock.current += std::chrono::seconds(1);
            timer.tick();
        }
    }
    const std::string& lagLabel() const { return window.labels[StatusView::LagLabel]; }
    std::pair<Rgb, Rgb> lagColours() const { return window.labelColours[StatusView::LagLabel]; }
};

TEST_F(GameTimerTest, TheClockShowsWholeMinutesSinceItStarted) {
    timer.toggleGameClock();
    EXPECT_EQ(window.labels[StatusView::ClockLabel], "Game Time: 00:00");
    EXPECT_TRUE(menu.checked(MenuItem::ViewTimer));
    ticks(59);
    EXPECT_EQ(window.labels[StatusView::ClockLabel], "Game Time: 00:00");
    ticks(1);
    EXPECT_EQ(window.labels[StatusView::ClockLabel], "Game Time: 00:01");
    ticks(60 * 64);
    EXPECT_EQ(window.labels[StatusView::ClockLabel], "Game Time: 01:05");
    timer.toggleGameClock();
    EXPECT_EQ(window.labels[StatusView::ClockLabel], "Game Time: hh:mm");
    EXPECT_FALSE(menu.checked(MenuItem::ViewTimer));
}

TEST_F(GameTimerTest, LagCountsWhileARepliesIsPendingAndChangesColour) {
    timer.toggleLagCounter();
    ASSERT_TRUE(session.LagMeterOn);
    session.PendingReplies = 1;
    ticks(3);
    EXPECT_EQ(lagLabel(), "Current Lag: 3 secs");
    ticks(27);
    EXPECT_EQ(lagColours().second, colours::Yellow);
    ticks(30);
    EXPECT_EQ(lagLabel(), "Current Lag: 60 secs");
    EXPECT_EQ(lagColours(), std::make_pair(colours::White, colours::Black));
    ticks(1);
    EXPECT_EQ(lagColours(), std::make_pair(colours::Black, colours::White));
    ticks(2);
    EXPECT_EQ(lagColours(), std::make_pair(colours::White, colours::Black));
}

TEST_F(GameTimerTest, NothingCountsWithoutAPendingReplyOrWithTheMeterOff) {
    ticks(5);
    EXPECT_EQ(session.LagSeconds, 0);
    session.PendingReplies = 1;
    ticks(5);
    EXPECT_EQ(session.LagSeconds, 0);
}

TEST_F(GameTimerTest, SwitchingTheMeterOffForgetsTheCount) {
    timer.toggleLagCounter();
    session.PendingReplies = 2;
    ticks(4);
    timer.toggleLagCounter();
    EXPECT_EQ(session.PendingReplies, 0);
    EXPECT_EQ(session.LagSeconds, 0);
    EXPECT_EQ(lagColours(), std::make_pair(colours::Grey, colours::LightGrey));
    menu.setEnabled(MenuItem::ViewLagCounter, false);
    timer.toggleLagCounter();
    EXPECT_FALSE(session.LagMeterOn) << "a disabled item does nothing";
}

TEST_F(GameTimerTest, AClickResetsTheMeter) {
    timer.toggleLagCounter();
    session.PendingReplies = 1;
    ticks(40);
    timer.resetLagMeter();
    EXPECT_EQ(session.PendingReplies, 0);
    EXPECT_EQ(lagLabel(), "Current lag: ");
    EXPECT_EQ(lagColours(), std::make_pair(colours::Black, colours::LightGrey));
}

TEST_F(GameTimerTest, IdleModeSendsABareLineEndEverySixtyOneSeconds) {
    session.Connected = true;
    timer.toggleIdle();
    EXPECT_EQ(window.labels[0], "Status: IDLE");
    EXPECT_FALSE(menu.enabled(MenuItem::GameWalk));
    EXPECT_EQ(notices, std::vector<std::string>{"Begin Idle."});
    ticks(60);
    EXPECT_TRUE(socket.sent.empty());
    ticks(1);
    EXPECT_EQ(socket.sent, std::vector<std::string>{"\r\n"});
    EXPECT_EQ(window.labels[0], "Status: *IDLE*");
    ticks(61);
    EXPECT_EQ(socket.sent.size(), 2u);
    timer.toggleIdle();
    EXPECT_EQ(notices.back(), "End Idle.");
    EXPECT_TRUE(menu.enabled(MenuItem::GameWalk));
    ticks(200);
    EXPECT_EQ(socket.sent.size(), 2u);
}

} // namespace
} // namespace corvane::testing
