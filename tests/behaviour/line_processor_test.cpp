#include "fakes/client_harness.h"
#include "fakes/telnet_bytes.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// Bytes from the server in, what the window shows and what goes back out.
struct IncomingCase {
    std::string name;
    std::vector<std::string> chunks;
    bool tagMode;
    std::string shown;
    std::string replies;
    ServerKind server = ServerKind::Muck;
};

void PrintTo(const IncomingCase& row, std::ostream* out) {
    *out << row.name;
}

// A chunk that is not from the world: the player types the rest of it.
std::string typedByPlayer(const std::string& line) {
    return "\x01" + line;
}

class IncomingTextTest : public ::testing::TestWithParam<IncomingCase> {};

TEST_P(IncomingTextTest, ShowsAndAnswers) {
    ClientHarness h;
    h.connect();
    h.client.session().TagMode = GetParam().tagMode;
    h.client.session().Server = GetParam().server;
    const std::string before = h.window.output;
    h.socket.sent.clear();
    for (const std::string& chunk : GetParam().chunks) {
        if (chunk.empty()) {
            h.clock.advance(std::chrono::milliseconds(300)); // an empty chunk is a quiet spell
        } else if (chunk.front() == '\x01') {
            h.type(chunk.substr(1));
        } else {
            h.socket.receive(chunk);
        }
    }
    EXPECT_EQ(h.window.output.substr(before.size()), GetParam().shown);
    EXPECT_EQ(h.socket.allSent(), GetParam().replies);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Bytes, IncomingTextTest,
    ::testing::Values(
        IncomingCase{"LinesEndAtCr", {"one\r\ntwo\r\n"}, true, "one\ntwo\n", ""},
        IncomingCase{"LineFeedAloneEndsALine", {"one\ntwo\n"}, true, "one\ntwo\n", ""},
        IncomingCase{"LineFeedAloneEndsALineBeforeLogIn", {"- - - -\nTown Square\nlogin: "}, false,
                     "- - - -\nTown Square\nlogin: ", ""},
        IncomingCase{"LfCrIsOneLineEnd", {"one\n\rtwo\n\r"}, true, "one\ntwo\n", ""},
        IncomingCase{"CrLfSplitAcrossReadsIsOneLineEnd", {"one\r", "\ntwo\n", "\rthree\r\n"}, true,
                     "one\ntwo\nthree\n", ""},
        IncomingCase{"CrLfSplitAcrossReadsBeforeLogIn", {"one\r", "\ntwo"}, false, "one\ntwo", ""},
        IncomingCase{"RepeatedLineEndsAreEmptyLines", {"a\r\n\r\nb\n\nc\r\rd\r"}, true, "a\n\nb\n\nc\n\nd\n", ""},
        IncomingCase{"CrCrLfIsOneLineEnd", {"a\r\r\nb\r\r\n\r\r\nc\r\r\r\n"}, true, "a\nb\n\nc\n", ""},
        IncomingCase{"CrCrLfSplitAcrossReads", {"a\r\r", "\nb\r", "\r\n"}, true, "a\nb\n", ""},
        IncomingCase{"CrCrBeforeTextIsTwoLineEnds", {"a\r\rb\r\n"}, true, "a\n\nb\n", ""},
        IncomingCase{"CrCrAtTheEndIsTwoLineEndsAfterQuiet", {"a\r\r", ""}, true, "a\n\n", ""},
        IncomingCase{"ColourCodeBetweenCrAndLfIsOneLineEnd", {"red\r\x1B[0m\nnext\r\n"}, true, "red\nnext\n", ""},
        IncomingCase{"TelnetCommandBetweenCrAndLfIsOneLineEnd", {"a\r" + IAC + NOP + "\nb\r\n"}, true, "a\nb\n", ""},
        IncomingCase{"LineFeedInsideASequenceStillEndsTheLine", {"one\x1B[1\ntwo\n"}, true, "one\ntwo\n", ""},
        IncomingCase{"TailWaitsInTagMode", {"Name: "}, true, "", ""},
        IncomingCase{"TailShownAfterQuietInTagMode", {"HP:8/10 > ", ""}, true, "HP:8/10 > ", ""},
        IncomingCase{"OpenPromptCompletedInPlace", {"HP:8/10 > ", "", "Limbo\r\n"}, true, "HP:8/10 > Limbo\n", ""},
        IncomingCase{"MudTextAfterAShownPromptStartsALine", {"HP 5>", "", "Alice says, hi\r\n"}, true,
                     "HP 5>\nAlice says, hi\n", "", ServerKind::Mud},
        IncomingCase{"MudLogInPromptEndsWhereTheNextReadStarts", {"Name: ", "Welcome!\r\n"}, false,
                     "Name: \nWelcome!\n", "", ServerKind::Mud},
        IncomingCase{"MudPromptWholeInOneReadWithItsLine", {"HP 5> Alice\r\n"}, true, "HP 5> Alice\n", "",
                     ServerKind::Mud},
        IncomingCase{"MushKeepsJoiningTheOpenPrompt", {"HP 5>", "", "rest\r\n"}, true, "HP 5>rest\n", "",
                     ServerKind::Mush},
        IncomingCase{"MudCommandEndsTheShownPromptLine", {"20H > ", "", typedByPlayer("look"), "Temple\r\n"},
                     true, "20H > \nTemple\n", "look\r\n", ServerKind::Mud},
        IncomingCase{"MudCommandEndsAPromptNotYetShown", {"20H > ", typedByPlayer("look"), "Temple\r\n"}, true,
                     "20H > \nTemple\n", "look\r\n", ServerKind::Mud},
        IncomingCase{"MuckCommandLeavesThePromptOpen", {"20H > ", typedByPlayer("look"), "Temple\r\n"}, true,
                     "20H > Temple\n", "look\r\n"},
        IncomingCase{"GoAheadEndsAPrompt", {"HP:8/10 > " + IAC + "\xF9", "Limbo\r\n"}, true, "HP:8/10 > \nLimbo\n", ""},
        IncomingCase{"EndOfRecordEndsAPrompt", {"HP:8 > " + IAC + "\xEF" "Limbo\r\n"}, true, "HP:8 > \nLimbo\n", ""},
        IncomingCase{"GoAheadAfterALineEndIsNoLine", {"a\r\n" + IAC + "\xF9" "b\r\n"}, true, "a\nb\n", ""},
        IncomingCase{"GoAheadEndsAShownOpenPrompt", {"> ", "", IAC + "\xF9" "b\r\n"}, true, "> \nb\n", ""},
        IncomingCase{"TailShownAtOnceOtherwise", {"Name: ", "Guest\r\n"}, false, "Name: Guest\n", ""},
        IncomingCase{"TabIsEightBlanks", {"a\tb\r"}, true, "a        b\n", ""},
        IncomingCase{"ControlBytesDropped", {"a\x01\x02\x7F" "b\r"}, true, "a\x7F" "b\n", ""},
        IncomingCase{"Windows1252HighBytes", {"\x80 \x93q\x94 caf\xE9\r"}, true,
                     "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D caf\xC3\xA9\n", ""},
        IncomingCase{"DoLinemodeRefused", {IAC + DO + "\x22" + "hi\r"}, true, "hi\n", IAC + WONT + "\x22"},
        IncomingCase{"WillCompressionAgreed", {IAC + WILL + "\x56"}, true, "", IAC + DO + "\x56"},
        IncomingCase{"WillUnknownOptionRefused", {IAC + WILL + "\x57"}, true, "", IAC + DONT + "\x57"},
        // Nobody's user or host name leaves the machine: NEW-ENVIRON is refused
        // and the world's SEND goes unanswered.
        IncomingCase{"NewEnvironRefusedAndItsSendUnanswered",
                     {IAC + DO + "\x27", IAC + SB + "\x27\x01" + IAC + SE}, true, "", IAC + WONT + "\x27"},
        IncomingCase{"WillEchoAgreed", {IAC + WILL + "\x01"}, true, "", IAC + DO + "\x01"},
        IncomingCase{"DontForAnOffOptionUnanswered", {IAC + DONT + "\x03"}, true, "", ""},
        IncomingCase{"SplitNegotiationAnsweredOnce", {"a" + IAC, DO, "\x22" "b\r"}, true, "ab\n",
                     IAC + WONT + "\x22"},
        IncomingCase{"TerminalTypeAnswersNameTerminalThenMtts",
                     {IAC + DO + "\x18", IAC + SB + "\x18\x01" + IAC + SE + IAC + SB + "\x18\x01" + IAC + SE,
                      IAC + SB + "\x18\x01" + IAC + SE + IAC + SB + "\x18\x01" + IAC + SE},
                     true, "",
                     IAC + WILL + "\x18" + IAC + SB + "\x18" + std::string(1, '\0') + "CORVANE" + IAC + SE + IAC + SB +
                         "\x18" + std::string(1, '\0') + "XTERM-256COLOR" + IAC + SE + IAC + SB + "\x18" +
                         std::string(1, '\0') + "MTTS 269" + IAC + SE + IAC + SB + "\x18" + std::string(1, '\0') +
                         "MTTS 269" + IAC + SE},
        IncomingCase{"CharsetAcceptsUtf8", {IAC + DO + "*" + IAC + SB + "*\x01;ISO-8859-1;UTF-8" + IAC + SE}, true,
                     "", IAC + WILL + "*" + IAC + SB + "*\x02UTF-8" + IAC + SE},
        IncomingCase{"CharsetOfferedByTheWorldTakesItsRequest",
                     {IAC + WILL + "*", IAC + SB + "*\x01;UTF-8;ISO-8859-1" + IAC + SE}, true, "",
                     IAC + DO + "*" + IAC + SB + "*\x02UTF-8" + IAC + SE},
        IncomingCase{"CharsetRejectsWithoutUtf8", {IAC + DO + "*" + IAC + SB + "*\x01 ASCII LATIN-1" + IAC + SE},
                     true, "", IAC + WILL + "*" + IAC + SB + "*\x03" + IAC + SE},
        IncomingCase{"NoWindowSizeBeforeTheWindowIsLaidOut", {IAC + DO + "\x1F", "", ""}, true, "",
                     IAC + WILL + "\x1F"},
        IncomingCase{"GmcpRefusedOnAMuck", {IAC + WILL + "\xC9"}, true, "", IAC + DONT + "\xC9"},
        IncomingCase{"Utf8MultiByteText", {"caf\xC3\xA9 costs \xE2\x82\xAC" "5 \xF0\x9F\x98\x80\r\n"}, true,
                     "caf\xC3\xA9 costs \xE2\x82\xAC" "5 \xF0\x9F\x98\x80\n", ""},
        IncomingCase{"Utf8SplitAcrossReads", {"\xE2", "\x82", "\xAC\r\n"}, true, "\xE2\x82\xAC\n", ""},
        IncomingCase{"Utf8SplitAcrossReadsBeforeLogIn", {"caf\xC3", "\xA9!"}, false, "caf\xC3\xA9!", ""},
        IncomingCase{"Utf8AcrossATelnetCommand", {"\xC3" + IAC + NOP + "\xA9\r"}, true, "\xC3\xA9\n", ""},
        IncomingCase{"CutShortSequenceIsWindows1252", {"\xE2\x82x \xC3\r"}, true,
                     "\xC3\xA2\xE2\x80\x9Ax \xC3\x83\n", ""},
        IncomingCase{"OverlongAndSurrogateFormsAreWindows1252", {"\xC0\xAF \xE0\x80\xAF \xED\xA0\x80\r"}, true,
                     "\xC3\x80\xC2\xAF \xC3\xA0\xE2\x82\xAC\xC2\xAF \xC3\xAD\xC2\xA0\xE2\x82\xAC\n", ""},
        IncomingCase{"BeyondUnicodeIsWindows1252WithoutItsControls", {"\xF4\x90\x80\x80\r"}, true,
                     "\xC3\xB4\xE2\x82\xAC\xE2\x82\xAC\n", ""},
        IncomingCase{"Utf8ControlsAndSeparatorsDropped",
                     {"a\xC2\x85" "b\xE2\x80\xA8" "c\xE2\x80\xA9" "d\xEF\xB7\x90" "e\r"}, true, "abcde\n", ""},
        IncomingCase{"IacIacIsTheByte255", {"x" + IAC + IAC + "y\r"}, true, "x\xC3\xBFy\n", ""},
        IncomingCase{"GoAheadEndsALogInPrompt", {"prompt>" + IAC + "\xF9"}, false, "prompt>\n", ""},
        IncomingCase{"SubnegotiationSkippedWhole",
                     {"a" + IAC + "\xFA\x18\x01" + IAC + IAC + "junk" + IAC + "\xF0" + "b\r"}, true, "ab\n", ""},
        IncomingCase{"CarriageReturnInsideASequenceStillEndsTheLine", {"one\x1B[1\rtwo\r"}, true, "one\ntwo\n", ""},
        IncomingCase{"ColourCodesLeaveNoDebris", {"\x1B[1;31mred\x1B[0m plain\x1B[2J\r"}, true, "red plain\n", ""},
        IncomingCase{"LineOfTheLongestLengthIsOneLine", {std::string(16000, 'y') + "\r\n"}, true,
                     std::string(16000, 'y') + "\n", ""},
        IncomingCase{"NegotiationAtTheEndStillShowsTheTail", {"login:" + IAC + WILL + "\x01"}, false, "login:",
                     IAC + DO + "\x01"}),
    [](const ::testing::TestParamInfo<IncomingCase>& row) { return row.param.name; });
// clang-format on

TEST(TelnetReplies, ARequestFloodInOneReadIsAnsweredInOneSendInOrder) {
    ClientHarness h;
    h.connect();
    h.socket.sent.clear();
    h.socket.receive(IAC + DO + "\x22" + "x" + IAC + WILL + "\x01" + IAC + WILL + "\x57");
    ASSERT_EQ(h.socket.sent.size(), 1U);
    EXPECT_EQ(h.socket.sent[0], IAC + WONT + "\x22" + IAC + DO + "\x01" + IAC + DONT + "\x57");
}

TEST(WindowSizeReportTest, TheFirstSizeWaitsForTheLayoutThenAtMostTwiceASecond) {
    FakeClock clock;
    std::vector<std::pair<int, int>> told;
    WindowSizeReport report(clock, [&](int columns, int rows) { told.emplace_back(columns, rows); });
    report.sizeChanged(115, 13);
    clock.advance(std::chrono::milliseconds(100));
    report.sizeChanged(115, 32);
    EXPECT_TRUE(told.empty()) << "a size from before the window was shown";
    clock.advance(std::chrono::milliseconds(400));
    EXPECT_EQ(told, (std::vector<std::pair<int, int>>{{115, 32}}));
    clock.advance(std::chrono::seconds(2));
    report.sizeChanged(140, 32);
    report.sizeChanged(150, 32);
    EXPECT_EQ(told.back(), std::make_pair(140, 32));
    clock.advance(std::chrono::milliseconds(500));
    EXPECT_EQ(told.back(), std::make_pair(150, 32));
    EXPECT_EQ(told.size(), 3U);
}

// Every way of adding characters to a line stops at the longest line kept,
// counted over the whole line and not per read.
struct LineCapCase {
    std::string name;
    std::string piece;
    int reads;
    bool tagMode;
};

void PrintTo(const LineCapCase& row, std::ostream* out) {
    *out << row.name;
}

class LineCapTest : public ::testing::TestWithParam<LineCapCase> {};

TEST_P(LineCapTest, NoLineIsLongerThanTheCap) {
    ClientHarness h;
    h.connect();
    h.client.session().TagMode = GetParam().tagMode;
    h.clearOutput();
    for (int i = 0; i < GetParam().reads; ++i) {
        h.socket.receive(GetParam().piece);
    }
    std::size_t longest = 0;
    std::size_t characters = 0;
    for (char c : h.window.output) {
        if (c == '\n') {
            longest = std::max(longest, characters);
            characters = 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++characters;
        }
    }
    longest = std::max(longest, characters);
    EXPECT_EQ(longest, LineProcessor::kMaxLineCharacters);
    EXPECT_LE(h.client.outputBuffer().length(), OutputBuffer::kMaxLength);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LineCapTest,
    ::testing::Values(LineCapCase{"Tabs", std::string(3000, '\t'), 1, true},
                      LineCapCase{"TabsBeforeLogIn", std::string(3000, '\t'), 1, false},
                      LineCapCase{"EscapedIac", IAC + IAC, 20000, true},
                      LineCapCase{"Utf8", "\xC3\xA9", 20000, true},
                      LineCapCase{"TailsBeforeLogIn", std::string(4096, 'x'), 16, false},
                      LineCapCase{"Utf8TailsBeforeLogIn", "\x82\xAC\xC3\xA9-\xE2", 6000, false}),
    [](const ::testing::TestParamInfo<LineCapCase>& row) { return row.param.name; });

struct LineProcessorTest : ::testing::Test {
    ClientHarness h;
    void SetUp() override {
        h.connect();
        h.client.session().TagMode = true;
        h.clearOutput();
    }
    Session& session() { return h.client.session(); }
};

TEST_F(LineProcessorTest, TheBellRings) {
    h.socket.receive("ding\x07\r");
    EXPECT_EQ(h.sound.beeps, 1);
    EXPECT_EQ(h.window.output, "ding\n");
}

TEST_F(LineProcessorTest, ColouredRunsKeepTheirStyle) {
    h.socket.receive("a \x1B[1;31mred\x1B[0m b\r");
    ASSERT_EQ(h.window.appendedSpans.size(), 1u);
    EXPECT_EQ(h.window.appendedSpans[0].first, "red");
    const TextStyle& style = h.window.appendedSpans[0].second.style;
    EXPECT_TRUE(style.bold);
    ASSERT_TRUE(style.foreground.has_value());
    EXPECT_EQ(*style.foreground, AnsiParser::paletteColour(9));
}

TEST_F(LineProcessorTest, AnEndlessLineIsShownInPiecesWithBoundedMemory) {
    const std::string chunk(4096, 'x');
    for (int i = 0; i < 64; ++i) {
        h.socket.receive(chunk);
    }
    EXPECT_TRUE(h.client.receivePath().heldText().empty());
    // Cut into complete lines of the longest length kept, only the newest fit.
    EXPECT_GE(std::count(h.window.output.begin(), h.window.output.end(), '\n'), 1);
    EXPECT_LE(h.client.outputBuffer().length(), OutputBuffer::kMaxLength);
    EXPECT_EQ(h.window.output.find('\n'), LineProcessor::kMaxLineCharacters);
}

TEST_F(LineProcessorTest, MarkerLinesAreNeverShown) {
    h.socket.receive("[on]\r\nYou see nothing special.\r\n[off]\r\n");
    EXPECT_EQ(h.window.output, "You see nothing special.\n");
}

TEST_F(LineProcessorTest, ARoomMarkerSetsTheRoomAndTheCaption) {
    session().WorldName = "FurryMUCK";
    h.socket.receive("[vrox] #123 Town Square\r\n");
    EXPECT_EQ(session().RoomRef, 123);
    EXPECT_EQ(session().RoomName, "Town Square");
    EXPECT_EQ(h.window.captionText, "FurryMUCK - Town Square");
    EXPECT_EQ(h.window.output, "");
}

TEST_F(LineProcessorTest, ARoomMarkerWithoutANameOrNumberDoesNotFail) {
    h.socket.receive("[vrox] #77\r\n[vrox]\r\n");
    EXPECT_EQ(session().RoomRef, 0);
    EXPECT_EQ(session().RoomName, "");
    h.socket.receive("[vrox] #99999999999 Far Away\r\n");
    EXPECT_EQ(session().RoomRef, 2147483647);
    EXPECT_EQ(session().RoomName, "Far Away");
}

TEST_F(LineProcessorTest, MarkersAreOnlyReadOnceACharacterIsLoggedIn) {
    session().TagMode = false;
    h.socket.receive("[on]\r\n");
    EXPECT_EQ(h.window.output, "[on]\n");
}

TEST_F(LineProcessorTest, PausedOutputIsShownInOrderWhenThePauseEnds) {
    h.client.onOutputFocusIn();
    EXPECT_EQ(h.window.labels[0], "Status: *** Output Paused ***");
    // A bar where the player looks says so, and counts what waits.
    EXPECT_EQ(h.window.pauseBar, "Paused \xE2\x80\x94 no new lines \xE2\x80\x94 Esc or click the input line to go on");
    h.socket.receive("first\r\n");
    EXPECT_EQ(h.window.pauseBar, "Paused \xE2\x80\x94 1 new line \xE2\x80\x94 Esc or click the input line to go on");
    h.socket.receive("second\r\nthird\r\n");
    EXPECT_EQ(h.window.pauseBar, "Paused \xE2\x80\x94 3 new lines \xE2\x80\x94 Esc or click the input line to go on");
    EXPECT_EQ(h.window.output, "");
    h.client.onOutputFocusOut();
    EXPECT_EQ(h.window.output, "first\nsecond\nthird\n");
    EXPECT_EQ(h.window.labels[0], "Status: On Line");
    EXPECT_EQ(h.window.pauseBar, "");
}

TEST_F(LineProcessorTest, AFloodWhilePausedStopsTheReadingUntilThePauseEnds) {
    h.client.onOutputFocusIn();
    const std::string block(64 * 1024 - 2, 'x');
    for (int i = 0; i < 15; ++i) {
        h.socket.receive(block + "\r\n");
    }
    EXPECT_FALSE(h.socket.readingHeld);
    h.socket.receive(block + "\r\n");
    EXPECT_TRUE(h.socket.readingHeld);
    h.client.onOutputFocusOut();
    EXPECT_FALSE(h.socket.readingHeld);
    EXPECT_TRUE(h.client.receivePath().heldText().empty());
}

TEST_F(LineProcessorTest, TheLastReceivedLineIsKept) {
    h.socket.receive("hello there\r\n[on]\r\n");
    EXPECT_EQ(h.client.lineProcessor().txtReceived(), "");
    h.socket.receive("bye\r\n");
    EXPECT_EQ(h.client.lineProcessor().txtReceived(), "bye");
}

TEST_F(LineProcessorTest, AnOpenPromptReachesTheLogAndTriggersOnceWhole) {
    std::vector<std::string> ended;
    h.client.lineProcessor().setHooks({{}, {}, [&](const std::string& text, bool prompt) {
                                           ended.push_back(text + (prompt ? "|prompt" : ""));
                                       },
                                       {}});
    h.socket.receive("HP:8/10 > ");
    h.clock.advance(std::chrono::milliseconds(300));
    h.socket.receive("look\r\nHP:9/10 > " + IAC + "\xF9");
    EXPECT_EQ(ended, (std::vector<std::string>{"HP:8/10 > look", "HP:9/10 > |prompt"}));
    EXPECT_EQ(h.client.lineProcessor().txtReceived(), "HP:9/10 > ");
}

TEST_F(LineProcessorTest, WhileTheWorldEchoesTheInputIsMaskedAndKeptOutOfHistory) {
    h.client.settings().Play.set(PlayOption::SplitTyped, true);
    h.client.settings().Play.set(PlayOption::Speedwalk, true);
    h.socket.receive("Password: " + IAC + WILL + "\x01");
    EXPECT_TRUE(h.window.inputMasked);
    h.type("se;cr3n");
    EXPECT_NE(h.socket.allSent().find("se;cr3n\r\n"), std::string::npos) << "a password goes as typed";
    h.type("secret");
    h.socket.receive(IAC + WONT + "\x01");
    EXPECT_FALSE(h.window.inputMasked);
    h.type("look");
    EXPECT_EQ(h.window.history, (std::vector<std::string>{"look"}));
    EXPECT_NE(h.socket.allSent().find("secret"), std::string::npos);
}

TEST_F(LineProcessorTest, TextWhileMinimisedSetsTheActivityIconOnce) {
    h.window.minimised = true;
    h.client.settings().MinBeep = true;
    h.socket.receive("one\r\ntwo\r\n");
    EXPECT_TRUE(h.window.activityIconShown);
    EXPECT_EQ(h.window.captionText, ">>Corvane");
    EXPECT_EQ(h.sound.beeps, 1);
}

TEST_F(LineProcessorTest, TextWhileMinimisedCanRestoreTheWindow) {
    h.window.minimised = true;
    h.client.settings().MinMaximize = true;
    h.socket.receive("wake up\r\n");
    EXPECT_FALSE(h.window.minimised);
    EXPECT_EQ(h.sound.beeps, 0);
}

struct TriggerTest : LineProcessorTest {
    void setTrigger(std::size_t slot, const std::string& text, bool popUp, const std::string& sound = {}) {
        TriggerDef& trigger = h.client.triggers().ActiveTriggers[slot];
        trigger.text = text;
        trigger.popUp = popUp;
        trigger.soundFile = sound;
        trigger.fontName = "Serif";
        trigger.fontSize = 10;
        trigger.colour = 0x0000FF;
        h.client.triggers().prepare();
        h.client.lineProcessor().triggersChanged();
    }
    std::vector<std::pair<std::string, std::string>> popUps;
    void SetUp() override {
        LineProcessorTest::SetUp();
        session().WorldName = "FurryMUCK";
        session().CharacterName = "Tester";
        h.client.lineProcessor().setHooks(
            {[this](const std::string& title, const std::string& text) { popUps.emplace_back(title, text); }, {}, {}, {}});
    }
};

TEST_F(TriggerTest, APopUpShowsTheFirstEightyCharactersOfALongLine) {
    setTrigger(0, "dragon", true);
    const std::string line = "A DRAGON " + std::string(91, '.');
    ASSERT_EQ(line.size(), 100u);
    h.socket.receive(line + "\r\n");
    ASSERT_EQ(popUps.size(), 1u);
    EXPECT_EQ(popUps[0].first, "FurryMUCK - Tester");
    EXPECT_EQ(popUps[0].second, line.substr(0, 80) + "...");
}

TEST_F(TriggerTest, OnlyTheLowerSlotActsWhenTwoMatch) {
    setTrigger(1, "treasure", false, "/sounds/two.wav");
    setTrigger(3, "gold", false, "/sounds/four.wav");
    h.socket.receive("a pile of gold treasure\r\n");
    EXPECT_EQ(h.sound.played, std::vector<std::string>{"/sounds/two.wav"});
    ASSERT_EQ(h.window.appendedSpans.size(), 1u);
    const int look = h.window.appendedSpans[0].second.look;
    ASSERT_GE(look, 0);
    EXPECT_EQ(h.window.lookTable[static_cast<std::size_t>(look)].colour, (Rgb{255, 0, 0}));
}

TEST_F(TriggerTest, ASingleCharacterTriggerMatchesAnywhere) {
    setTrigger(2, "!", false, "/sounds/bang.wav");
    h.socket.receive("no\r\nyes!\r\n");
    EXPECT_EQ(h.sound.played, std::vector<std::string>{"/sounds/bang.wav"});
}

struct RecordingLog : LogWriter {
    void writeLine(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

TEST_F(TriggerTest, TriggersPopUpsAndTheLogSeeDecodedText) {
    RecordingLog log;
    h.client.lineProcessor().setLogWriter(&log);
    session().LogOpen = true;
    setTrigger(0, "caf\xC3\xA9", true);
    h.socket.receive("Zo\xC3\xAB: caf\xC3");
    h.socket.receive("\xA9 costs \x80"
                     "5\r\n");
    const std::string line = "Zo\xC3\xAB: caf\xC3\xA9 costs \xE2\x82\xAC"
                             "5";
    ASSERT_EQ(popUps.size(), 1u);
    EXPECT_EQ(popUps[0].second, line);
    EXPECT_EQ(log.lines, std::vector<std::string>{line});
    EXPECT_EQ(h.window.output, line + "\n");
}

TEST_F(LineProcessorTest, KnowsOncePerConnectionThatItSpeaksUtf8) {
    int told = 0;
    h.client.lineProcessor().setUtf8Seen([&told] { ++told; });
    h.socket.receive("caf\xE9 \x93quoted\x94\r\n");
    EXPECT_FALSE(h.client.lineProcessor().receivedUtf8());
    h.socket.receive("caf\xC3\xA9\r\n\xE2\x82\xAC\r\n");
    EXPECT_TRUE(h.client.lineProcessor().receivedUtf8());
    EXPECT_EQ(told, 1);
    h.socket.serverCloses();
    h.connect();
    EXPECT_FALSE(h.client.lineProcessor().receivedUtf8());
    h.socket.receive("\xC3\xA9\r\n");
    EXPECT_EQ(told, 2);
}

TEST_F(TriggerTest, AnEmptyTriggerNeverMatches) {
    setTrigger(0, "", true);
    h.socket.receive("anything\r\n");
    EXPECT_TRUE(popUps.empty());
}

} // namespace
} // namespace corvane::testing

namespace corvane::testing {
namespace {

TEST(OutputFrames, AFloodIsDrawnAFrameAtATimeButASingleLineAtOnce) {
    ClientHarness h;
    h.client.setOutputFrameInterval(std::chrono::milliseconds(40));
    h.connect();
    h.client.session().TagMode = true;
    h.clock.advance(std::chrono::seconds(1));
    h.socket.receive("first\r\n");
    EXPECT_NE(h.window.output.find("first\n"), std::string::npos) << "a quiet line shows at once";
    h.socket.receive("second\r\n");
    h.socket.receive("third\r\n");
    EXPECT_EQ(h.window.output.find("second"), std::string::npos);
    h.clock.advance(std::chrono::milliseconds(40));
    EXPECT_NE(h.window.output.find("second\nthird\n"), std::string::npos);
}

} // namespace
} // namespace corvane::testing

namespace corvane::testing {
namespace {

TEST(OutputFrames, AfterAFrameThatFilledTheScreenTheNextWaitsLongerButAQuietLineStillShowsAtOnce) {
    ClientHarness h;
    h.client.setOutputFrameInterval(std::chrono::milliseconds(40), std::chrono::milliseconds(100));
    h.window.rows = 3;
    h.connect();
    h.client.session().TagMode = true;
    h.clock.advance(std::chrono::seconds(1));
    h.socket.receive("one\r\ntwo\r\nthree\r\n");
    ASSERT_NE(h.window.output.find("three\n"), std::string::npos);

    h.socket.receive("four\r\n");
    h.clock.advance(std::chrono::milliseconds(60));
    EXPECT_EQ(h.window.output.find("four"), std::string::npos) << "a flood frame is followed by a long one";
    h.clock.advance(std::chrono::milliseconds(40));
    EXPECT_NE(h.window.output.find("four\n"), std::string::npos);

    // "four" alone did not fill the screen: frames are short again.
    h.socket.receive("five\r\n");
    h.clock.advance(std::chrono::milliseconds(40));
    EXPECT_NE(h.window.output.find("five\n"), std::string::npos);

    h.socket.receive("six\r\nseven\r\neight\r\n");
    h.clock.advance(std::chrono::milliseconds(40));
    h.clock.advance(std::chrono::milliseconds(200));
    h.socket.receive("quiet\r\n");
    EXPECT_NE(h.window.output.find("quiet\n"), std::string::npos) << "a line after a pause shows at once";
}

} // namespace
} // namespace corvane::testing
