#include "behaviour/logged_in_client.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct ReconnectTest : LoggedInClient, ::testing::Test {
    bool reconnectEnabled() { return h->window.menuEnabled[MenuItem::GameReconnect]; }
    void reconnect() { h->client.onMenuTriggered(MenuItem::GameReconnect); }
};

TEST_F(ReconnectTest, BringsBackTheLastWorldAndCharacterOnlyWhenAsked) {
    start();
    EXPECT_FALSE(reconnectEnabled()) << "no world used yet in this run";
    ASSERT_EQ(h->client.startLoggedIn("Practice", "Tester"), std::nullopt);
    h->socket.accept();
    EXPECT_FALSE(reconnectEnabled()) << "already connected";

    h->socket.sent.clear();
    h->socket.serverCloses();
    EXPECT_FALSE(session().Connected);
    EXPECT_TRUE(reconnectEnabled());
    h->clock.advance(std::chrono::minutes(5));
    EXPECT_TRUE(h->socket.sent.empty()) << "nothing reconnects on its own";

    reconnect();
    h->socket.accept();
    EXPECT_TRUE(session().Connected);
    EXPECT_EQ(session().WorldName, "Practice");
    EXPECT_EQ(session().CharacterName, "Tester");
    EXPECT_EQ(h->socket.allSent().rfind("connect Tester password\r\n", 0), 0u) << h->socket.allSent();
    EXPECT_FALSE(reconnectEnabled());
}

// With the closed connection said in the output there is no box to answer:
// Ctrl+R works at once. File > Disconnect leaves its line either way.
TEST_F(ReconnectTest, AClosedConnectionSaidInTheOutputLeavesCtrlRFreeAtOnce) {
    start();
    h->client.settings().Play.set(PlayOption::ClosedInOutput, true);
    ASSERT_EQ(h->client.startLoggedIn("Practice", "Tester"), std::nullopt);
    h->socket.accept();
    h->socket.serverCloses();
    EXPECT_TRUE(h->prompts.messages.empty());
    EXPECT_NE(h->window.output.find("*** Connection closed by the world.\n"), std::string::npos);
    EXPECT_TRUE(reconnectEnabled());
    reconnect();
    h->socket.accept();
    EXPECT_TRUE(session().Connected);

    h->socket.failWith(socket_errors::ConnectionReset, "Connection reset by peer");
    EXPECT_TRUE(h->prompts.messages.empty()) << "no Connection Lost box either";
    EXPECT_NE(h->window.output.find("*** Disconnected from Practice\n"), std::string::npos);

    for (const bool inOutput : {true, false}) {
        h->client.settings().Play.set(PlayOption::ClosedInOutput, inOutput);
        reconnect();
        h->socket.accept();
        ASSERT_TRUE(session().Connected);
        h->clearOutput();
        h->client.onMenuTriggered(MenuItem::FileDisconnect);
        EXPECT_NE(h->window.output.find("*** Disconnected.\n"), std::string::npos) << inOutput;
        EXPECT_TRUE(h->prompts.messages.empty());
    }
}

TEST_F(ReconnectTest, AWorldLeftBeforeAnyLogInOnlyConnects) {
    start();
    h->views.addressBookScript = [](FakeAddressBookView& d) {
        d.events->onWorldPicked(0);
        d.events->onOk();
    };
    h->client.FileConnect();
    h->socket.accept();
    h->socket.serverCloses();

    h->socket.sent.clear();
    reconnect();
    h->socket.accept();
    EXPECT_TRUE(session().Connected);
    EXPECT_TRUE(h->socket.sent.empty()) << h->socket.allSent();
    EXPECT_TRUE(session().CharacterName.empty());
}

TEST_F(ReconnectTest, AWorldRemovedFromTheBookIsReportedNotConnected) {
    logIn();
    h->socket.serverCloses();
    folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=Elsewhere,127.0.0.1,4201\r\n");
    h->prompts.messages.clear();

    reconnect();
    EXPECT_FALSE(session().Connected);
    ASSERT_EQ(h->prompts.messages.size(), 1u);
    EXPECT_EQ(h->prompts.messages[0].title, "Reconnect");
    EXPECT_EQ(h->prompts.messages[0].text, "There is no MUD/MUCK named \"Practice\" in the address book.");
    EXPECT_TRUE(reconnectEnabled()) << "the world may come back to the book";
}

} // namespace
} // namespace corvane::testing
