#include "world_fixture.h"

#include <gtest/gtest.h>

namespace practice_world {
namespace {


// A logged-in programmer whose client has said which packages it speaks.
class McpWorldTest : public WorldFixture {
protected:
    McpWorldTest() {
        logIn(kTester, "Tester", "password");
        send(kTester, "#$#mcp authentication-key: K version: 2.1 to: 2.1");
    }
    void offer(const std::vector<std::string>& packages) {
        for (const std::string& package : packages)
            EXPECT_EQ(send(kTester, "#$#mcp-negotiate-can K package: " + package + " min-version: 1.0 max-version: 1.0"), "");
        EXPECT_EQ(send(kTester, "#$#mcp-negotiate-end K"), "");
    }
};

TEST_F(McpWorldTest, OpensEveryConnectionAndAnswersTheHandshakeAtOnce) {
    EXPECT_EQ(textFor(m_world.open(kBob, m_now), kBob).rfind("#$#mcp version: \"2.1\" to: \"2.1\"\r\n\r\n", 0), 0U);
    const std::string answer = send(kBob, "#$#mcp authentication-key: B version: 2.1 to: 2.1");
    EXPECT_EQ(answer.rfind("#$#mcp-negotiate-can B package: \"org-fuzzball-gui\" min-version: \"1.0\" max-version: \"1.3\"\r\n", 0), 0U);
    EXPECT_TRUE(answer.ends_with("#$#mcp-negotiate-end B\r\n"));
}

TEST_F(McpWorldTest, WhatItDoesNotTakeIsATypedCommand) {
    offer({"dns-org-mud-moo-simpleedit"});
    EXPECT_EQ(send(kTester, "#$#dns-com-awns-status K text: hi"), kHuh);
    EXPECT_EQ(send(kTester, "#$#dns-org-mud-moo-simpleedit-set wrong reference: 23.prog."), kHuh);
    EXPECT_EQ(send(kTester, "#$\"say quoted hello"), "You say, \"quoted hello\"\r\n");
}

TEST_F(McpWorldTest, McpeditSendsTheProgramAndSetCompilesIt) {
    offer({"dns-org-mud-moo-simpleedit", "org-fuzzball-notify"});
    const std::string content = send(kTester, "@mcpedit lib-away");
    EXPECT_EQ(content.rfind("#$#dns-org-mud-moo-simpleedit-content K reference: \"23.prog.\" type: \"muf-code\" "
                            "name: \"a program named lib-away(23)\" content*: \"\" _data-tag: ", 0), 0U);
    EXPECT_NE(content.find(" content:  \r\n"), std::string::npos) << "an empty line goes as one blank";
    EXPECT_EQ(send(kTester, "#$#dns-org-mud-moo-simpleedit-set K reference: 23.prog. type: muf-code content*: \"\" _data-tag: t"), "");
    EXPECT_EQ(send(kTester, "#$#* t content: : main"), "");
    EXPECT_EQ(send(kTester, "#$#* t content: ;"), "");
    EXPECT_EQ(send(kTester, "#$#: t"), "Program lib-away(#23) compiled: 2 lines, no errors.\r\n");
    EXPECT_EQ(send(kTester, "#$#dns-org-mud-moo-simpleedit-set K reference: bogus type: string content: x"),
              "#$#org-fuzzball-notify-error K text: \"Bad reference value.\" topic: \"simpleedit-set\"\r\n");
}

TEST_F(McpWorldTest, HelpEntriesAndErrors) {
    offer({"org-fuzzball-help"});
    EXPECT_EQ(send(kTester, "#$#org-fuzzball-help-request K topic: page type: man"),
              "#$#org-fuzzball-help-entry K topic: \"page\" text*: \"\" _data-tag: 4D500001\r\n"
              "#$#* 4D500001 text: PAGE <player>=<message>\r\n#$#* 4D500001 text:   \r\n"
              "#$#* 4D500001 text:   Sends a message to a player anywhere in the town.\r\n#$#: 4D500001\r\n");
    EXPECT_EQ(send(kTester, "#$#org-fuzzball-help-request K topic: nothing type: man"),
              "#$#org-fuzzball-help-error K text: \"Sorry, there is no help on 'nothing'.\" topic: \"nothing\"\r\n");
}

TEST_F(McpWorldTest, ListEditorGuiDialogSaves) {
    offer({"org-fuzzball-gui"});
    send(kTester, "lsedit me=plans");
    const std::string dialog = send(kTester, ".gui");
    EXPECT_NE(dialog.find("#$#org-fuzzball-gui-ctrl-multiedit K "), std::string::npos);
    EXPECT_TRUE(dialog.ends_with("#$#org-fuzzball-gui-dlog-show K dlogid: \"4D500001\"\r\n"));
    send(kTester, "#$#org-fuzzball-gui-ctrl-value K dlogid: 4D500001 id: body value*: \"\" _data-tag: v");
    send(kTester, "#$#* v value: first");
    send(kTester, "#$#* v value: second");
    send(kTester, "#$#: v");
    EXPECT_EQ(send(kTester, "#$#org-fuzzball-gui-ctrl-event K dlogid: 4D500001 id: SaveBtn event: buttonpress dismissed: 1"),
              "< List saved: 2 lines. >\r\n< Editor exited. >\r\n");
}

} // namespace
} // namespace practice_world
