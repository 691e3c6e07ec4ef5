#include "fakes/client_harness.h"

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
};

class IncomingTextTest : public ::testing::TestWithParam<IncomingCase> {};

TEST_P(IncomingTextTest, ShowsAndAnswers) {
    ClientHarness h;
    h.connect();
    h.client.session().TagMode = GetParam().tagMode;
    const std::string before = h.window.output;
    h.socket.sent.clear();
    for (const std::string& chunk : GetParam().chunks) {
        h.socket.receive(chunk);
    }
    EXPECT_EQ(h.window.output.substr(before.size()), GetParam().shown);
    EXPECT_EQ(h.socket.allSent(), GetParam().replies);
}

const std::string IAC = "\xFF";
const std::string DO = "\xFD";
const std::string DONT = "\xFE";
const std::string WILL = "\xFB";
const std::string WONT = "\xFC";

INSTANTIATE_TEST_SUITE_P(
    Bytes, IncomingTextTest,
    ::testing::Values(
        IncomingCase{"LinesEndAtCr", {"one\r\ntwo\r\n"}, true, "one\ntwo\n", ""},
        IncomingCase{"LineFeedsAloneNeverEndALine", {"one\ntwo\n"}, true, "", ""},
        IncomingCase{"TailWaitsInTagMode", {"Name: "}, true, "", ""},
        IncomingCase{"TailShownAtOnceOtherwise", {"Name: ", "Guest\r\n"}, false, "Name: Guest\n", ""},
        IncomingCase{"TabIsEightBlanks", {"a\tb\r"}, true, "a        b\n", ""},
        IncomingCase{"ControlBytesDropped", {"a\x01\x02\x7F" "b\r"}, true, "a\x7F" "b\n", ""},
        IncomingCase{"Windows1252HighBytes", {"\x80 \x93q\x94 caf\xE9\r"}, true,
                     "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D caf\xC3\xA9\n", ""},
        IncomingCase{"DoTerminalTypeRefused", {IAC + DO + "\x18" + "hi\r"}, true, "hi\n", IAC + WONT + "\x18"},
        IncomingCase{"WillEchoRefused", {IAC + WILL + "\x01"}, true, "", IAC + WONT + "\x01"},
        IncomingCase{"DontAnsweredWithDont", {IAC + DONT + "\x03"}, true, "", IAC + DONT + "\x03"},
        IncomingCase{"SplitNegotiationAnsweredOnce", {"a" + IAC, DO, "\x18" "b\r"}, true, "ab\n",
                     IAC + WONT + "\x18"},
        IncomingCase{"IacIacIsTheByte255", {"x" + IAC + IAC + "y\r"}, true, "x\xC3\xBFy\n", ""},
        IncomingCase{"GoAheadIsSilent", {"prompt>" + IAC + "\xF9"}, false, "prompt>", ""},
        IncomingCase{"SubnegotiationSkippedWhole",
                     {"a" + IAC + "\xFA\x18\x01" + IAC + IAC + "junk" + IAC + "\xF0" + "b\r"}, true, "ab\n", ""},
        IncomingCase{"CarriageReturnInsideASequenceStillEndsTheLine", {"one\x1B[1\rtwo\r"}, true, "one\ntwo\n", ""},
        IncomingCase{"ColourCodesLeaveNoDebris", {"\x1B[1;31mred\x1B[0m plain\x1B[2J\r"}, true, "red plain\n", ""},
        IncomingCase{"NegotiationAtTheEndStillShowsTheTail", {"login:" + IAC + WILL + "\x01"}, false, "login:",
                     IAC + WONT + "\x01"}),
    [](const ::testing::TestParamInfo<IncomingCase>& row) { return row.param.name; });

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
    EXPECT_TRUE(session().PendingText.empty());
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
    h.socket.receive("first\r\n");
    h.socket.receive("second\r\n");
    EXPECT_EQ(h.window.output, "");
    h.client.onOutputFocusOut();
    EXPECT_EQ(h.window.output, "first\nsecond\n");
    EXPECT_EQ(h.window.labels[0], "Status: On Line");
}

TEST_F(LineProcessorTest, TheLastReceivedLineIsKept) {
    h.socket.receive("hello there\r\n[on]\r\n");
    EXPECT_EQ(h.client.lineProcessor().txtReceived(), "");
    h.socket.receive("bye\r\n");
    EXPECT_EQ(h.client.lineProcessor().txtReceived(), "bye");
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
            {[this](const std::string& title, const std::string& text) { popUps.emplace_back(title, text); }, {}});
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
