#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "fakes/fake_file_watch.h"
#include "settings/settings.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <ostream>

namespace corvane::testing {
namespace {

const std::string kOpening = "#$#mcp version: \"2.1\" to: \"2.1\"\r\n";

// The key the client chose, read back from its answer.
std::string keyIn(const std::string& sent) {
    const std::string marker = "#$#mcp authentication-key: ";
    const std::size_t at = sent.find(marker);
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = at + marker.size();
    return sent.substr(start, sent.find(' ', start) - start);
}

// Received bytes in reads; what the output window shows of them.
struct ShownRow {
    const char* name;
    std::vector<std::string> reads;
    bool tagMode;
    std::string shown;
};

void PrintTo(const ShownRow& row, std::ostream* out) {
    *out << row.name;
}

class McpIncomingTest : public ::testing::TestWithParam<ShownRow> {};

TEST_P(McpIncomingTest, OutOfBandLinesNeverShow) {
    ClientHarness h;
    h.connect();
    h.client.session().TagMode = GetParam().tagMode;
    const std::string before = h.window.output;
    for (const std::string& read : GetParam().reads) {
        h.socket.receive(read);
    }
    EXPECT_EQ(h.window.output.substr(before.size()), GetParam().shown);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Reads, McpIncomingTest,
    ::testing::Values(
        ShownRow{"OpeningAfterNaws", {"\xFF\xFD\x1F\r\n" + kOpening + "Welcome!\r\n"}, false, "\nWelcome!\n"},
        ShownRow{"OpeningSplitAcrossReads", {"#", "$", "#mcp version: 2.1", " to: 2.1\r", "\nlogin: "}, false,
                 "login: "},
        ShownRow{"QuotedLineUnquoted", {"#$\"#$#not mcp\r\n"}, true, "#$#not mcp\n"},
        ShownRow{"MarkerInsideAPromptShows", {"Password: #$#mcp version: 2.1 to: 2.1\r\n"}, false,
                 "Password: #$#mcp version: 2.1 to: 2.1\n"},
        ShownRow{"StrayMessagesHidden", {kOpening, "#$#edit wrongkey a: b\r\n#$#* tag x: y\r\nend\r\n"}, true,
                 "end\n"},
        ShownRow{"MegabyteLineHiddenWhole", {"#$#x k v: \"" + std::string(1 << 20, 'v') + "\"\r\nafter\r\n"}, true,
                 "after\n"},
        ShownRow{"LongTextLineStillCut", {std::string(20000, 'a') + "\r\n"}, true,
                 std::string(16000, 'a') + "\n" + std::string(4000, 'a') + "\n"}),
    [](const ::testing::TestParamInfo<ShownRow>& info) { return std::string(info.param.name); });
// clang-format on

TEST(McpClient, AnswersTheOpeningAndQuotesWhatThePlayerTypes) {
    ClientHarness h;
    h.connect();
    h.socket.sent.clear();
    h.type("#$#say before");
    EXPECT_EQ(h.socket.allSent(), "#$#say before\r\n") << "nothing is quoted before MCP is on";
    h.socket.sent.clear();
    h.socket.receive(kOpening);
    const std::string key = keyIn(h.socket.allSent());
    ASSERT_GE(key.size(), 16U);
    EXPECT_NE(h.socket.allSent().find("#$#mcp-negotiate-end " + key + "\r\n"), std::string::npos);
    h.socket.sent.clear();
    h.type("#$#say after");
    h.type("#$\"say quoted");
    h.type("say plain");
    EXPECT_EQ(h.socket.allSent(), "#$\"#$#say after\r\n#$\"#$\"say quoted\r\nsay plain\r\n");
}

TEST(McpClient, EachConnectionHasItsOwnKey) {
    ClientHarness h;
    h.connect();
    h.socket.receive(kOpening);
    const std::string first = keyIn(h.socket.allSent());
    h.client.connection().DisconnectFromWorld();
    h.socket.sent.clear();
    h.connect();
    h.socket.receive(kOpening);
    const std::string second = keyIn(h.socket.allSent());
    EXPECT_FALSE(second.empty());
    EXPECT_NE(first, second);
}

TEST(McpClient, AWorldWithMcpOffShowsTheLinesAndAnswersNothing) {
    ScratchFolder folder;
    folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=Old,old.example,4201\r\n[Old]\r\nMCP=False\r\n");
    ClientHarness h(std::string(), folder.file("CORVANE.INI"));
    h.connect("Old", "old.example", "4201");
    h.socket.sent.clear();
    h.socket.receive(kOpening);
    EXPECT_NE(h.window.output.find("#$#mcp version"), std::string::npos);
    EXPECT_EQ(h.socket.allSent(), "");
}

TEST(McpClient, MuckHelpIsOfferedOnlyWhileTheWorldOffersIt) {
    ClientHarness h;
    EXPECT_FALSE(h.client.menu().enabled(MenuItem::HelpMuck)) << "off line";
    h.connect();
    h.socket.receive(kOpening);
    const std::string key = keyIn(h.socket.allSent());
    EXPECT_NE(h.socket.allSent().find(" package: org-fuzzball-help min-version: 1.0 max-version: 1.0\r\n"),
              std::string::npos)
        << "Corvane offers help itself";
    h.socket.receive("#$#mcp-negotiate-can " + key +
                     " package: \"org-fuzzball-notify\" min-version: \"1.0\" max-version: \"1.0\"\r\n");
    EXPECT_FALSE(h.client.menu().enabled(MenuItem::HelpMuck)) << "a world without help";
    h.socket.receive("#$#mcp-negotiate-can " + key +
                     " package: \"org-fuzzball-help\" min-version: \"1.0\" max-version: \"1.0\"\r\n");
    EXPECT_TRUE(h.client.menu().enabled(MenuItem::HelpMuck));
    h.client.connection().DisconnectFromWorld();
    EXPECT_FALSE(h.client.menu().enabled(MenuItem::HelpMuck)) << "after the disconnect";
}

TEST(McpClient, ShowMcpTrafficIsKeptInTheSettings) {
    ScratchFolder folder;
    folder.write("CORVANE.INI", "[Corvane]\r\n");
    {
        ClientHarness h(std::string(), folder.file("CORVANE.INI"));
        EXPECT_FALSE(h.client.menu().checked(MenuItem::ViewMcpTraffic)) << "off by default";
        h.client.onMenuTriggered(MenuItem::ViewMcpTraffic);
        EXPECT_TRUE(h.client.menu().checked(MenuItem::ViewMcpTraffic));
    }
    EXPECT_TRUE(ReadFlag("Corvane", "ShowMcpTraffic", folder.file("CORVANE.INI")));
    ClientHarness again(std::string(), folder.file("CORVANE.INI"));
    again.client.start(false);
    EXPECT_TRUE(again.client.menu().checked(MenuItem::ViewMcpTraffic));
}

// Connects and has the world offer the packages of the common MUCK servers; the key.
std::string connectSpeakingMcp(ClientHarness& h) {
    h.connect();
    h.socket.receive(kOpening);
    const std::string key = keyIn(h.socket.allSent());
    for (const char* package : {"dns-org-mud-moo-simpleedit", "org-fuzzball-notify", "org-fuzzball-help",
                                "org-fuzzball-gui", "dns-com-awns-status"}) {
        h.socket.receive("#$#mcp-negotiate-can " + key + " package: \"" + package +
                         "\" min-version: \"1.0\" max-version: \"1.0\"\r\n");
    }
    h.socket.receive("#$#mcp-negotiate-end " + key + "\r\n");
    h.socket.sent.clear();
    return key;
}

// A client whose world offered the packages of the common MUCK servers.
struct McpWorld : ::testing::Test {
    ClientHarness h;
    std::string key = connectSpeakingMcp(h);

    void receive(const std::string& lines) {
        std::string text = lines;
        for (std::size_t at = text.find("KEY"); at != std::string::npos; at = text.find("KEY", at)) {
            text.replace(at, 3, key);
        }
        h.socket.receive(text);
    }
    FakeMcpEditorView& editor(std::size_t index = 0) { return *h.views.mcpEditors.at(index); }
};

TEST_F(McpWorld, McpeditOpensAnEditorAndCompileSendsTheProgramBack) {
    receive("#$#dns-org-mud-moo-simpleedit-content KEY reference: \"23.prog.\" type: \"muf-code\" "
            "name: \"a program named lib-away(23)\" content*: \"\" _data-tag: 4D509FE7\r\n"
            "#$#* 4D509FE7 content: ( lib-away.muf )\r\n#$#* 4D509FE7 content:  \r\n"
            "Someone arrives.\r\n#$#* 4D509FE7 content: : main ;\r\n#$#: 4D509FE7\r\n");
    ASSERT_EQ(h.views.mcpEditors.size(), 1U);
    EXPECT_EQ(editor().title, "a program named lib-away(23) - Test");
    EXPECT_EQ(editor().content, "( lib-away.muf )\n \n: main ;");
    EXPECT_EQ(editor().sendCaption, "&Compile");
    EXPECT_TRUE(editor().shown);
    EXPECT_FALSE(editor().singleLine);
    EXPECT_EQ(h.window.output.find("#$#"), std::string::npos);
    editor().content = ": main\n  me @ \"hi\" notify\n;\n";
    editor().events->onSend();
    const std::string sent = h.socket.allSent();
    const std::string head = "#$#dns-org-mud-moo-simpleedit-set " + key +
                             " reference: 23.prog. type: muf-code content*: \"\" _data-tag: ";
    ASSERT_EQ(sent.rfind(head, 0), 0U) << sent;
    const std::string tag = sent.substr(head.size(), sent.find('\r') - head.size());
    EXPECT_EQ(sent.substr(sent.find('\n') + 1), "#$#* " + tag + " content: : main\r\n#$#* " + tag +
                                                    " content:   me @ \"hi\" notify\r\n#$#* " + tag +
                                                    " content: ;\r\n#$#: " + tag + "\r\n");
    EXPECT_TRUE(editor().shown) << "Send keeps the window open";
}

// The compiler's answer to Ctrl+S shows in the editor itself, not only in
// the main output behind it, until two seconds of quiet.
TEST_F(McpWorld, TheWorldsAnswerToASendShowsInTheEditorUntilTwoSecondsOfQuiet) {
    receive("#$#dns-org-mud-moo-simpleedit-content KEY reference: \"23.prog.\" type: \"muf-code\" "
            "name: \"lib-away\" content: \": main ;\"\r\n");
    ASSERT_EQ(h.views.mcpEditors.size(), 1U);
    receive("Someone arrives.\r\n");
    EXPECT_EQ(editor().answer, "") << "nothing was sent yet";
    editor().content = ": main\n  me @ notfy\n;\n";
    editor().events->onSend();
    receive("Error in line 2: Unrecognized word notfy.\r\n");
    h.clock.advance(std::chrono::milliseconds(1500));
    receive("1 compile error.\r\n");
    EXPECT_EQ(editor().answer, "Error in line 2: Unrecognized word notfy.\n1 compile error.");
    EXPECT_NE(h.window.output.find("1 compile error."), std::string::npos) << "the main output keeps them";
    h.clock.advance(std::chrono::milliseconds(2100));
    receive("Bob says, \"hi\"\r\n");
    EXPECT_EQ(editor().answer, "Error in line 2: Unrecognized word notfy.\n1 compile error.");

    editor().events->onSend();
    EXPECT_EQ(editor().answer, "") << "each send starts a new answer";
    receive("Program compiled successfully.\r\n");
    EXPECT_EQ(editor().answer, "Program compiled successfully.");
}

TEST_F(McpWorld, CloseAsksBeforeLosingUnsentChangesAndEditorsOpenSideBySide) {
    receive("#$#dns-org-mud-moo-simpleedit-content KEY reference: me.motto type: string name: Motto "
            "content*: \"\" _data-tag: a\r\n"
            "#$#dns-org-mud-moo-simpleedit-content KEY reference: me.age type: integer name: Age content: 7\r\n"
            "#$#* a content: Onwards.\r\n#$#: a\r\n");
    ASSERT_EQ(h.views.mcpEditors.size(), 2U);
    FakeMcpEditorView& motto = editor(1);
    FakeMcpEditorView& age = editor(0);
    EXPECT_TRUE(age.singleLine);
    EXPECT_EQ(age.content, "7");
    EXPECT_EQ(motto.content, "Onwards.");
    motto.content = "Upwards.";
    // Leaving Corvane asks too, and No stays.
    h.prompts.answers = {PromptAnswer::No, PromptAnswer::No};
    h.client.onMenuTriggered(MenuItem::FileExit);
    EXPECT_FALSE(h.client.onCloseRequested());
    EXPECT_TRUE(h.program.exitCodes.empty());
    EXPECT_EQ(h.prompts.questions.back().text, "\"Motto\" has changes that were not sent.\r\rExit and lose them?");
    h.prompts.questions.clear();
    h.prompts.answers.push_back(PromptAnswer::No);
    motto.events->onCloseRequested();
    EXPECT_TRUE(motto.shown);
    EXPECT_EQ(h.prompts.questions.size(), 1U);
    h.prompts.answers.push_back(PromptAnswer::Yes);
    motto.events->onCloseRequested();
    EXPECT_FALSE(motto.shown);
    age.events->onSend();
    EXPECT_EQ(h.socket.allSent(), "#$#dns-org-mud-moo-simpleedit-set " + key +
                                      " reference: me.age type: integer content: 7\r\n");
    age.events->onCloseRequested();
    EXPECT_EQ(h.prompts.questions.size(), 2U) << "nothing unsent, nothing asked";
}

TEST_F(McpWorld, AnEditorOfAnEndedConnectionSendsNothing) {
    receive("#$#dns-org-mud-moo-simpleedit-content KEY reference: 23.prog. type: muf-code name: p "
            "content*: \"\" _data-tag: a\r\n#$#: a\r\n");
    FakeMcpEditorView& view = editor();
    h.client.connection().DisconnectFromWorld();
    h.connect();
    h.socket.receive(kOpening);
    h.socket.sent.clear();
    view.events->onSend();
    EXPECT_EQ(h.socket.allSent(), "");
    EXPECT_NE(view.status.find("Not sent"), std::string::npos);
}

TEST_F(McpWorld, NotifyErrorsAndStatusTextGoToTheStatusLine) {
    receive("#$#org-fuzzball-notify-error KEY text: \"Bad reference value.\" topic: \"simpleedit-set\"\r\n");
    EXPECT_NE(h.window.output.find("*** simpleedit-set: Bad reference value.\n"), std::string::npos);
    EXPECT_EQ(h.window.statusHistory.back(), "Bad reference value.");
    EXPECT_TRUE(h.prompts.messages.empty()) << "never a box";
    receive("#$#dns-com-awns-status KEY text: \"The bank is closing.\"\r\n");
    EXPECT_EQ(h.window.statusHistory.back(), "The bank is closing.");
    h.clock.advance(std::chrono::seconds(9));
    EXPECT_EQ(h.window.statusHistory.back(), "The bank is closing.");
    h.clock.advance(std::chrono::seconds(1));
    EXPECT_EQ(h.window.statusHistory.back(), "Status: On Line");
}

TEST_F(McpWorld, ListEditorGuiDialogSendsTheValuesThenTheEvent) {
    receive("#$#org-fuzzball-gui-dlog-create KEY title: \"Post Message\" resizable: \"xy\" type: \"simple\" dlogid: \"4599AB2A\"\r\n"
            "#$#org-fuzzball-gui-ctrl-multiedit KEY colspan: \"1\" height: \"20\" hweight: \"1\" pane: \"\" sticky: \"nsew\" vweight: \"1\" width: \"80\" dlogid: \"4599AB2A\" id: \"body\"\r\n"
            "#$#org-fuzzball-gui-ctrl-frame KEY colspan: \"1\" pane: \"\" sticky: \"ew\" dlogid: \"4599AB2A\" id: \"bfr\"\r\n"
            "#$#org-fuzzball-gui-ctrl-checkbox KEY hweight: \"1\" newline: \"0\" pane: \"bfr\" sticky: \"w\" text: \"Use &GUI editor instead of command line in future edits\" value: \"0\" dlogid: \"4599AB2A\" id: \"usegui\"\r\n"
            "#$#org-fuzzball-gui-ctrl-button KEY dismiss: \"1\" newline: \"0\" pane: \"bfr\" sticky: \"e\" text: \"&Save\" width: \"8\" dlogid: \"4599AB2A\" id: \"SaveBtn\"\r\n"
            "#$#org-fuzzball-gui-ctrl-button KEY dismiss: \"1\" pane: \"bfr\" sticky: \"e\" text: \"&Cancel\" width: \"8\" dlogid: \"4599AB2A\" id: \"CancelBtn\"\r\n"
            "#$#org-fuzzball-gui-ctrl-spinner KEY dlogid: \"4599AB2A\" id: \"count\"\r\n"
            "#$#org-fuzzball-gui-dlog-show KEY dlogid: \"4599AB2A\"\r\n");
    ASSERT_EQ(h.views.mcpDialogs.size(), 1U);
    FakeMcpDialogView& dialog = *h.views.mcpDialogs[0];
    EXPECT_EQ(dialog.title, "Post Message");
    EXPECT_TRUE(dialog.shown);
    EXPECT_EQ(dialog.controls,
              (std::vector<std::string>{"body", "bfr", "bfr/usegui", "bfr/SaveBtn", "bfr/CancelBtn"}));
    EXPECT_NE(h.window.output.find("*** This world asked for a window control Corvane does not have: spinner\n"),
              std::string::npos);
    dialog.values["body"] = "first\nsecond";
    dialog.events->onButton("SaveBtn");
    const std::string sent = h.socket.allSent();
    const std::string valueHead = "#$#org-fuzzball-gui-ctrl-value " + key + " dlogid: 4599AB2A id: body value*: \"\" _data-tag: ";
    ASSERT_EQ(sent.rfind(valueHead, 0), 0U) << sent;
    const std::string tag = sent.substr(valueHead.size(), sent.find('\r') - valueHead.size());
    EXPECT_NE(sent.find("#$#* " + tag + " value: first\r\n#$#* " + tag + " value: second\r\n#$#: " + tag + "\r\n"),
              std::string::npos);
    EXPECT_TRUE(sent.ends_with("#$#org-fuzzball-gui-ctrl-value " + key + " dlogid: 4599AB2A id: usegui value: 0\r\n"
                               "#$#org-fuzzball-gui-ctrl-event " + key +
                               " dlogid: 4599AB2A id: SaveBtn event: buttonpress dismissed: 1\r\n"))
        << sent;
    EXPECT_FALSE(dialog.shown);
}

TEST_F(McpWorld, MuckHelpAsksForATopicAndShowsTheEntryOrTheError) {
    EXPECT_TRUE(h.client.menu().enabled(MenuItem::HelpMuck));
    h.client.onMenuTriggered(MenuItem::HelpMuck);
    ASSERT_EQ(h.views.mcpHelp.size(), 1U);
    FakeMcpHelpView& help = *h.views.mcpHelp[0];
    EXPECT_TRUE(help.shown);
    EXPECT_TRUE(help.tookKeyboard) << "opened by the player, for typing a topic";
    EXPECT_EQ(help.title, "MUCK Help - Test");
    EXPECT_EQ(help.kinds, (std::vector<std::string>{"help", "man", "mpi", "news"}));
    EXPECT_TRUE(help.lookUpEnabled);

    help.typedTopic = " ";
    help.events->onLookUp();
    EXPECT_EQ(h.socket.allSent(), "") << "no topic, nothing asked";
    help.typedTopic = "page";
    help.chosenKind = "man";
    help.events->onLookUp();
    EXPECT_EQ(h.socket.allSent(), "#$#org-fuzzball-help-request " + key + " topic: page type: man\r\n");

    help.shown = false;
    receive("#$#org-fuzzball-help-entry KEY topic: \"page\" text*: \"\" _data-tag: 4D500001\r\n"
            "#$#* 4D500001 text: PAGE <player>=<message>\r\n#$#* 4D500001 text:   \r\n"
            "#$#* 4D500001 text:   Sends a message.\r\n#$#: 4D500001\r\n");
    EXPECT_EQ(help.heading, "page (man)");
    EXPECT_EQ(help.text, "PAGE <player>=<message>\n\n  Sends a message.") << "a line of two blanks is empty";
    EXPECT_TRUE(help.shown);
    EXPECT_FALSE(help.tookKeyboard) << "an answer never takes the keyboard";

    receive("#$#org-fuzzball-help-error KEY text: \"Sorry, there is no help on 'nothing'.\" topic: \"nothing\"\r\n");
    EXPECT_NE(h.window.output.find("*** nothing: Sorry, there is no help on 'nothing'.\n"), std::string::npos);
    EXPECT_EQ(h.window.statusHistory.back(), "Sorry, there is no help on 'nothing'.");
    EXPECT_EQ(help.status, "Sorry, there is no help on 'nothing'.");
    EXPECT_TRUE(h.prompts.messages.empty()) << "never a box";

    h.client.connection().DisconnectFromWorld();
    EXPECT_FALSE(help.lookUpEnabled);
    h.socket.sent.clear();
    help.events->onLookUp();
    EXPECT_EQ(h.socket.allSent(), "");
}

TEST_F(McpWorld, ShownTrafficIsKeptInTheHistoryMarkedAndWithoutTheKey) {
    h.client.onMenuTriggered(MenuItem::ViewMcpTraffic);
    receive("#$#org-fuzzball-notify-error KEY text: \"Bad reference value.\" topic: \"simpleedit-set\"\r\n"
            "#$#dns-org-mud-moo-simpleedit-content KEY reference: me.motto type: string name: Motto "
            "content*: \"\" _data-tag: a\r\n#$#* a content: Onwards.\r\n#$#: a\r\n");
    editor().events->onSend();
    h.client.onMenuTriggered(MenuItem::ViewMcpTraffic);
    receive("#$#dns-com-awns-status KEY text: \"not kept\"\r\n");

    std::vector<std::string> traffic;
    const SessionHistory& history = h.client.sessionHistory();
    for (std::uint64_t serial = history.firstLine(); serial < history.endLine(); ++serial) {
        const std::string text(history.line(serial).text);
        EXPECT_EQ(text.find(key), std::string::npos) << text;
        if (history.mark(serial) == HistoryMark::Traffic) {
            traffic.push_back(text);
        }
    }
    EXPECT_EQ(traffic, (std::vector<std::string>{
                           "MCP recv< #$#org-fuzzball-notify-error … text: \"Bad reference value.\" topic: "
                           "\"simpleedit-set\"",
                           "MCP recv< #$#dns-org-mud-moo-simpleedit-content … reference: me.motto type: string "
                           "name: Motto content*: \"\" _data-tag: a",
                           "MCP recv< #$#* a content: Onwards.",
                           "MCP recv< #$#: a",
                           "MCP sent> #$#dns-org-mud-moo-simpleedit-set … reference: me.motto type: string "
                           "content: Onwards.",
                       }));
    EXPECT_EQ(h.window.output.find("MCP "), std::string::npos) << "never in the output box";
}

TEST_F(McpWorld, OwnEditorSendsEachSaveUntilStoppedAndItsFileGoesWithTheWindow) {
    ScratchFolder folder;
    std::filesystem::create_directories(folder.file("bin"));
    folder.write("bin/gedit", "");
    std::filesystem::permissions(folder.file("bin/gedit"), std::filesystem::perms::owner_all);
    h.client.setEnvironment([&](const std::string& name) {
        return name == "PATH" ? folder.file("bin") : name == "VISUAL" ? std::string("gedit") : std::string();
    });
    FakeFileWatch watch;
    h.client.mcp().setFileWatch(&watch);
    receive("#$#dns-org-mud-moo-simpleedit-content KEY reference: 23.prog. type: muf-code name: \"lib-away(23)\" "
            "content*: \"\" _data-tag: a\r\n#$#* a content: : main ;\r\n#$#: a\r\n");
    FakeMcpEditorView& view = editor();
    EXPECT_EQ(view.ownEditor, McpEditorView::OwnEditor::Ready);

    view.events->onOwnEditor();
    EXPECT_EQ(view.ownEditor, McpEditorView::OwnEditor::InUse);
    const std::string file = h.client.mcp().editor(0).ownEditorFile();
    ASSERT_EQ(h.launcher.started.size(), 1U);
    EXPECT_EQ(h.launcher.started[0].program, folder.file("bin/gedit"));
    EXPECT_EQ(h.launcher.started[0].arguments, std::vector<std::string>{file});
    EXPECT_TRUE(file.ends_with(".muf")) << file;
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_TRUE(watch.watching(file));

    std::ofstream(file, std::ios::trunc) << ": main\r\n  \"saved\" ;\r\n";
    watch.change(file);
    EXPECT_EQ(view.content, ": main\n  \"saved\" ;");
    const std::string sent = h.socket.allSent();
    EXPECT_EQ(sent.rfind("#$#dns-org-mud-moo-simpleedit-set " + key + " reference: 23.prog. type: muf-code", 0), 0U)
        << sent;
    EXPECT_NE(sent.find(" content:   \"saved\" ;\r\n"), std::string::npos) << sent;
    h.socket.sent.clear();
    watch.change(file);
    EXPECT_EQ(h.socket.allSent(), "") << "the same text is not sent twice";

    view.events->onOwnEditor();
    EXPECT_EQ(view.ownEditor, McpEditorView::OwnEditor::Ready) << "stopped";
    EXPECT_FALSE(watch.watching(file));
    EXPECT_TRUE(std::filesystem::exists(file)) << "kept while the window is open";
    view.events->onCloseRequested();
    EXPECT_FALSE(view.shown);
    EXPECT_FALSE(std::filesystem::exists(file));
}

// A simpleedit content message under data tag `tag`, one continuation line per line.
std::string editContent(const std::string& tag, const std::string& name, const std::vector<std::string>& lines,
                        const std::string& head = "reference: 23.prog. type: muf-code") {
    std::string text = "#$#dns-org-mud-moo-simpleedit-content KEY " + head + " name: \"" + name +
                       "\" content*: \"\" _data-tag: " + tag + "\r\n";
    for (const std::string& line : lines) {
        text += "#$#* " + tag + " content: " + line + "\r\n";
    }
    return text + "#$#: " + tag + "\r\n";
}

std::string manyEditRequests(int count) {
    std::string text;
    for (int n = 0; n < count; ++n) {
        text += editContent("t" + std::to_string(n), "p" + std::to_string(n), {": main ;"});
    }
    return text;
}

// What a world asks to have edited: the editors that open (the first one's
// text) and the one notice line in the output, if any.
struct EditRequestRow {
    const char* name;
    std::string received;
    std::size_t editors;
    std::string firstText;
    std::string notice;
};

void PrintTo(const EditRequestRow& row, std::ostream* out) {
    *out << row.name;
}

class McpEditRequests : public McpWorld, public ::testing::WithParamInterface<EditRequestRow> {};

TEST_P(McpEditRequests, AnEditorHoldsAllOfTheTextOrDoesNotOpen) {
    const EditRequestRow& row = GetParam();
    receive(row.received);
    ASSERT_EQ(h.views.mcpEditors.size(), row.editors);
    if (row.editors > 0) {
        EXPECT_EQ(editor().content, row.firstText);
    }
    const std::string& output = h.window.output;
    if (row.notice.empty()) {
        EXPECT_EQ(output.find("***"), std::string::npos) << output;
        return;
    }
    const std::size_t at = output.find(row.notice);
    ASSERT_NE(at, std::string::npos) << output;
    EXPECT_EQ(output.find("***", at + 1), std::string::npos) << "said once: " << output;
    EXPECT_EQ(output.find("#$#"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, McpEditRequests,
    ::testing::Values(
        EditRequestRow{"ALineOverTheCapBetweenShortOnesOpensNothingAndSaysWhy",
                       editContent("a", "big", {"( top )", std::string(300 * 1024, 'x'), "( end )"}), 0, "",
                       "*** \"big\" was not opened for editing: the world sent more than the 256 KiB"},
        EditRequestRow{"ManyLinesOverTheCapOpenNothing",
                       editContent("a", "long", std::vector<std::string>(20, std::string(15000, 'y'))), 0, "",
                       "*** \"long\" was not opened for editing"},
        EditRequestRow{"ALongLineUnderTheCapIsKeptWhole",
                       editContent("a", "wide", {"( top )", std::string(200 * 1024, 'z'), "( end )"}), 1,
                       "( top )\n" + std::string(200 * 1024, 'z') + "\n( end )", ""},
        EditRequestRow{"TheLinesAfterATooLargeOneStillWork",
                       editContent("a", "big", {std::string(300 * 1024, 'x')}) + editContent("b", "next", {"ok"}), 1,
                       "ok", "*** \"big\" was not opened"},
        EditRequestRow{"AWrongKeyOpensNothing",
                       "#$#dns-org-mud-moo-simpleedit-content wrongkey reference: a type: string name: n content: x\r\n",
                       0, "", ""},
        EditRequestRow{"NoReferenceOpensNothing",
                       "#$#dns-org-mud-moo-simpleedit-content KEY type: string name: n content: x\r\n", 0, "", ""},
        EditRequestRow{"AnUnknownTypeOpensNothing",
                       "#$#dns-org-mud-moo-simpleedit-content KEY reference: a type: blob name: n content: x\r\n", 0,
                       "", ""},
        EditRequestRow{"NoContentOpensNothing",
                       "#$#dns-org-mud-moo-simpleedit-content KEY reference: a type: string name: n\r\n", 0, "", ""},
        EditRequestRow{"SixteenEditorsAWorldThenOneNotice", manyEditRequests(40), 16, ": main ;",
                       "*** The world asked for another editor window, but 16 are open for it already"}),
    [](const ::testing::TestParamInfo<EditRequestRow>& info) { return std::string(info.param.name); });

TEST(McpDrafts, AQuitSignalKeepsUnsentEditorTextAndTheNextStartOpensItAgainForThatWorld) {
    ScratchFolder folder;
    folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=Test,127.0.0.1,4201\r\nMUD 2=Other,127.0.0.1,4202\r\n");
    const std::string ini = folder.file("CORVANE.INI");
    const std::string drafts = folder.file("corvane-drafts.json");
    {
        ClientHarness h("", ini);
        h.client.start(false);
        const std::string key = connectSpeakingMcp(h);
        std::string text = editContent("a", "lib-away(23)", {": main ;"}) +
                           editContent("b", "Motto", {"Onwards."}, "reference: me.motto type: string-list");
        for (std::size_t at = text.find("KEY"); at != std::string::npos; at = text.find("KEY", at)) {
            text.replace(at, 3, key);
        }
        h.socket.receive(text);
        ASSERT_EQ(h.views.mcpEditors.size(), 2U);
        h.views.mcpEditors[0]->content = ": main\n  \"typed, never sent\" ;\n";
        h.client.shutdown(Client::ShutdownCause::Signal);
        EXPECT_TRUE(h.prompts.questions.empty()) << "a signal leaves no time to ask";
    }
    ASSERT_TRUE(std::filesystem::exists(drafts));
    EXPECT_EQ(std::filesystem::status(drafts).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(folder.read("corvane-drafts.json").find("Onwards"), std::string::npos) << "only unsent text";

    ClientHarness other("", ini);
    other.client.start(false);
    other.connect("Other", "127.0.0.1", "4202");
    EXPECT_TRUE(other.views.mcpEditors.empty()) << "another world's draft stays in the file";

    ClientHarness again("", ini);
    again.client.start(false);
    connectSpeakingMcp(again);
    ASSERT_EQ(again.views.mcpEditors.size(), 1U);
    FakeMcpEditorView& view = *again.views.mcpEditors[0];
    EXPECT_EQ(view.content, ": main\n  \"typed, never sent\" ;");
    EXPECT_EQ(view.title, "lib-away(23) - Test");
    EXPECT_EQ(view.sendCaption, "&Compile");
    EXPECT_NE(again.window.output.find("*** Editor text not sent when Corvane was stopped is open again: "
                                       "lib-away(23)."),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(drafts)) << "taken back, nothing is left";
    EXPECT_EQ(again.client.mcp().unsentEditors(), std::vector<std::string>{"lib-away(23)"});
    view.events->onSend();
    EXPECT_NE(again.socket.allSent().find("#$#dns-org-mud-moo-simpleedit-set"), std::string::npos);
    EXPECT_TRUE(again.client.mcp().unsentEditors().empty());
}

TEST_F(McpWorld, AnEditorClosedMakesRoomForTheNextAfterTheCap) {
    receive(manyEditRequests(17));
    ASSERT_EQ(h.views.mcpEditors.size(), 16U);
    editor(3).events->onCloseRequested();
    receive(editContent("late", "late", {"ok"}));
    ASSERT_EQ(h.views.mcpEditors.size(), 17U);
    EXPECT_TRUE(h.views.mcpEditors.back()->shown);
}

} // namespace
} // namespace corvane::testing
