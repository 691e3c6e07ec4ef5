#include "core/command_sender.h"
#include "core/main_menu.h"
#include "core/session.h"
#include "core/status_line.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct SenderFixture : ::testing::Test {
    FakeMainWindow window;
    FakeSocket socket;
    FakePrompts prompts;
    Session session;
    StatusLine status{window};
    MainMenu menu{window};
    CommandSender sender{session, socket, status, prompts, menu};

    SenderFixture() { socket.socketState = Socket::State::Connected; }
};

TEST_F(SenderFixture, SlowSendsLeaveInCallOrderAndShowTheWaitingStatus) {
    status.SetStatus("Status: On Line");
    socket.slowSends = true;
    sender.SendCommand("first\r\n");
    sender.SendCommand("second\r\n");
    sender.SendCommand("third\r\n");

    EXPECT_EQ(socket.sent, std::vector<std::string>{"first\r\n"});
    EXPECT_EQ(status.text(), "Status: Waiting to send...");
    EXPECT_FALSE(session.SendDone);

    sender.onSendComplete();
    sender.onSendComplete();
    EXPECT_EQ(socket.sent, (std::vector<std::string>{"first\r\n", "second\r\n", "third\r\n"}));
    EXPECT_EQ(status.text(), "Status: Waiting to send...");

    sender.onSendComplete();
    EXPECT_TRUE(session.SendDone);
    EXPECT_EQ(status.text(), "Status: On Line");
    EXPECT_FALSE(sender.busy());
}

TEST_F(SenderFixture, FastSendsNeverTouchTheStatusLine) {
    status.SetStatus("Status: On Line");
    sender.SendCommand("look\r\n");
    sender.SendCommand("\r\n");
    EXPECT_EQ(socket.allSent(), "look\r\n\r\n");
    EXPECT_EQ(window.statusHistory, std::vector<std::string>{"Status: On Line"});
    EXPECT_TRUE(session.SendDone);
}

TEST_F(SenderFixture, ANewerStatusIsNotOverwrittenWhenTheWaitEnds) {
    status.SetStatus("Status: On Line");
    socket.slowSends = true;
    sender.SendCommand("QUIT\r\n");
    status.SetStatus("Status: Disconnecting...");
    sender.onSendComplete();
    EXPECT_EQ(status.text(), "Status: Disconnecting...");
}

TEST_F(SenderFixture, ASendFailureIsReportedOnceAndDropsWhatWaits) {
    socket.slowSends = true;
    sender.SendCommand("one\r\n");
    sender.SendCommand("two\r\n");
    sender.SendCommand("three\r\n");
    socket.sendError = SocketError{40006, "Wrong protocol or connection state"};
    sender.onSendComplete();

    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Corvane Error");
    EXPECT_EQ(prompts.messages[0].text, "Wrong protocol or connection state");
    EXPECT_FALSE(sender.busy());
}

TEST_F(SenderFixture, CommandsSentFromAFailureBoxKeepTheirPlace) {
    socket.sendError = SocketError{40006, "not connected"};
    prompts.onMessage = [this] {
        socket.sendError.reset();
        prompts.onMessage = nullptr;
        sender.SendCommand("later\r\n");
    };
    sender.SendCommand("first\r\n");
    EXPECT_EQ(socket.sent, std::vector<std::string>{"later\r\n"});
}

TEST_F(SenderFixture, WireBytesAreWindows1252WithTheIacByteDoubled) {
    EXPECT_EQ(CommandSender::wireBytes("say caf\xC3\xA9 \xE2\x82\xAC"), "say caf\xE9 \x80");
    EXPECT_EQ(CommandSender::wireBytes("\xC3\xBF"), std::string("\xFF\xFF"));
    // A character Windows-1252 has no byte for cannot be sent as itself.
    EXPECT_EQ(CommandSender::wireBytes("snow \xE2\x98\x83"), "snow ?");
    // A world that reads UTF-8 gets every character as itself.
    EXPECT_EQ(CommandSender::wireBytes("snow \xE2\x98\x83 \xC3\xBF", true), "snow \xE2\x98\x83 \xC3\xBF");
}

TEST_F(SenderFixture, NothingIsSentOnAClosedConnectionNotEvenWhatWaitsInTheQueue) {
    socket.slowSends = true;
    sender.SendCommand("first\r\n");
    sender.SendCommand("queued\r\n");
    socket.socketState = Socket::State::Closed;
    sender.onSendComplete();
    sender.SendCommand("\r\n");
    EXPECT_EQ(socket.sent, std::vector<std::string>{"first\r\n"});
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(sender.busy());
}

TEST_F(SenderFixture, NoteCommandSentCountsOnlyOnAFramingWorldWithTheLagCounterEnabledAndOn) {
    struct Row {
        const char* name;
        bool framed;
        bool enabled;
        bool checked;
        int counted;
    };
    for (const Row& row :
         {Row{"all three", true, true, true, 1}, Row{"no [on] seen yet", false, true, true, 0},
          Row{"item disabled", true, false, true, 0}, Row{"meter off", true, true, false, 0}}) {
        session.PendingReplies = 0;
        session.OutputFramed = row.framed;
        menu.setEnabled(MenuItem::ViewLagCounter, row.enabled);
        menu.setChecked(MenuItem::ViewLagCounter, row.checked);
        sender.NoteCommandSent();
        EXPECT_EQ(session.PendingReplies, row.counted) << row.name;
    }
}

} // namespace
} // namespace corvane::testing
