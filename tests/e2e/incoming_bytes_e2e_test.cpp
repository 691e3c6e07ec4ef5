#include "e2e/real_client.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "qt/qt_socket.h"
#include "qt/qt_timers.h"
#include "shell/client.h"
#include "widgets/document_runs.h"
#include "widgets/loopback_server.h"
#include "widgets/qt_print.h"
#include "widgets/qt_wait.h"

#include <gtest/gtest.h>
#include <ostream>
#include <vector>

namespace corvane::testing {
namespace {

// Bytes written by the server, one write per entry, with a pause between
// writes long enough for the client to read each one on its own.
using Writes = std::vector<QByteArray>;

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out.append(static_cast<char>(v));
    }
    return out;
}

constexpr int IAC = 255;
constexpr int DONT = 254;
constexpr int DO = 253;
constexpr int WONT = 252;
constexpr int WILL = 251;
constexpr int SB = 250;
constexpr int GA = 249;
constexpr int SE = 240;

// Every test ends with this negotiation: once its answer is back, the client
// has read and processed everything the server wrote before it.
const QByteArray kProbe = bytes({IAC, DO, 200});
const QByteArray kProbeAnswer = bytes({IAC, WONT, 200});

struct ByteRow {
    const char* name;
    bool tagMode;
    Writes writes;
    // What the output box gains (lines end with "\n"; an unfinished tail has none).
    QString shown;
    // What the client sends back, in order.
    QByteArray answered;
    int beeps = 0;
};

std::ostream& operator<<(std::ostream& out, const ByteRow& row) {
    return out << row.name;
}

// The real client, socket and main window against a loopback peer that
// plays the server byte by byte.
struct IncomingBytesE2E : ::testing::Test, RealClient<> {
    LoopbackServer server;
    QString before;

    QString output() const { return window.outputBox()->toPlainText(); }
    QString shown() const { return output().mid(before.size()); }

    // Connects through the address book the way the user does; TagMode is then off.
    bool connect() {
        connectTo(server.port());
        if (!waitUntil([&] { return server.peer != nullptr && client.session().Connected; })) {
            return false;
        }
        before = output();
        return true;
    }

    void write(const Writes& writes) {
        for (const QByteArray& chunk : writes) {
            server.send(chunk);
            // The client reads on its next pass through the event loop.
            pumpEvents(15);
        }
    }

    // Waits until the client has answered the probe: everything written
    // before it has been processed.
    bool settle() {
        const qsizetype answers = server.received.count(kProbeAnswer);
        server.send(kProbe);
        return waitUntil([&] { return server.received.count(kProbeAnswer) > answers; });
    }
};

struct IncomingBytesTable : IncomingBytesE2E, ::testing::WithParamInterface<ByteRow> {};

TEST_P(IncomingBytesTable, ShowsTheTextAndAnswersTheServer) {
    const ByteRow& row = GetParam();
    ASSERT_TRUE(connect());
    client.session().TagMode = row.tagMode;

    write(row.writes);
    ASSERT_TRUE(settle());

    EXPECT_EQ(shown(), row.shown);
    EXPECT_EQ(server.received, row.answered + kProbeAnswer);
    EXPECT_EQ(sound.beeps, row.beeps);
}

const ByteRow kByteRows[] = {
    {"DoLinemodeIsRefused", false, {bytes({IAC, DO, 34})}, "", bytes({IAC, WONT, 34})},
    {"DoLinemodeSplitOverThreeWritesIsAnsweredOnce",
     false,
     {bytes({IAC}), bytes({DO}), bytes({34})},
     "",
     bytes({IAC, WONT, 34})},
    {"DoLinemodeSplitAfterTheIacIsAnsweredOnce",
     true,
     {QByteArray("go") + bytes({IAC}), bytes({DO, 34}) + "on\r\n"},
     "goon\n",
     bytes({IAC, WONT, 34})},
    {"WillEchoIsAgreed", false, {bytes({IAC, WILL, 1})}, "", bytes({IAC, DO, 1})},
    {"WillCompressionIsAgreed", false, {bytes({IAC, WILL, 86})}, "", bytes({IAC, DO, 86})},
    {"WillServerInfoIsAgreed", false, {bytes({IAC, WILL, 70})}, "", bytes({IAC, DO, 70})},
    {"WillUnknownOptionIsRefusedWithDont", false, {bytes({IAC, WILL, 87})}, "", bytes({IAC, DONT, 87})},
    {"WontForAnOptionThatIsOffIsNotAnswered", false, {bytes({IAC, WONT, 31})}, "", ""},
    {"DontForAnOptionThatIsOffIsNotAnswered", false, {bytes({IAC, DONT, 3})}, "", ""},
    {"NegotiationsInsideALineAreAnsweredInOrderAndLeaveTheText",
     true,
     {"ab" + bytes({IAC, WILL, 1}) + "cd" + bytes({IAC, DO, 34}) + "ef\r\n"},
     "abcdef\n",
     bytes({IAC, DO, 1, IAC, WONT, 34})},
    {"DoubledIacIsTheCharacterYDiaeresis", true, {"a" + bytes({IAC, IAC}) + "b\r\n"}, "a\u00ffb\n", ""},
    {"GoAheadEndsAPrompt", false, {"prompt>" + bytes({IAC, GA})}, "prompt>\n", ""},
    {"SubnegotiationIsSkippedWithItsDoubledIac",
     true,
     {"x" + bytes({IAC, SB, 24, 1, IAC, IAC}) + "x" + bytes({IAC, SE}) + "y\r\n"},
     "xy\n",
     ""},
    {"SubnegotiationSplitAcrossWritesIsSkipped",
     true,
     {"x" + bytes({IAC, SB, 24}), bytes({1, IAC}), bytes({SE}) + "y\r\n"},
     "xy\n",
     ""},
    {"TabBecomesEightBlanks", true, {"a\tb\r\n\tc\r\n"}, "a        b\n        c\n", ""},
    {"BellBeepsAndIsNotShown", true, {"ding\x07\r\n"}, "ding\n", "", 1},
    {"OtherControlCharactersAreDropped",
     true,
     {QByteArray("a\x00\x01\x0b\x0c\x1f", 6) + "b\r\n"},
     "ab\n",
     ""},
    {"EmptyLinesAreShown", true, {"a\r\n\r\nb\r\n"}, "a\n\nb\n", ""},
    {"CarriageReturnAloneEndsALine", true, {"one\rtwo\r"}, "one\ntwo\n", ""},
    {"CrLfAndLfCrEachEndOneLine", true, {"one\r\n\ntwo\n\r"}, "one\n\ntwo\n", ""},
    {"WithTagModeALineFeedAloneEndsALine", true, {"one\ntwo\n", "three\n"}, "one\ntwo\nthree\n", ""},
    {"LfCrAcrossWritesIsOneLineEnd", true, {"one\ntwo\n", "\r"}, "one\ntwo\n", ""},
    {"Utf8AndWindows1252TextIsReadable", true, {"caf\xC3\xA9 \xE2\x82", "\xAC" "5 na\xEFve\r\n"},
     "caf\xC3\xA9 \xE2\x82\xAC" "5 na\xC3\xAFve\n", ""},
    {"WithTagModeAnUnfinishedTailWaits", true, {"Password: "}, "", ""},
    {"WithoutTagModeAnUnfinishedTailShowsAtOnce", false, {"login: "}, "login: ", ""},
    {"WithoutTagModeTheRestOfTheLineJoinsTheTail",
     false,
     {"login: ", "Tester\r\n", "next"},
     "login: Tester\nnext",
     ""},
    {"WithoutTagModeATailEndingInANegotiationShows",
     false,
     {"name: " + bytes({IAC, WILL, 1})},
     "name: ",
     bytes({IAC, DO, 1})},
    {"Windows1252PunctuationIsDecoded",
     true,
     {QByteArray("\x80 \x93quoted\x94 caf\xe9\r\n")},
     "\u20ac \u201cquoted\u201d caf\u00e9\n",
     ""},
    {"AnsiColourCodesLeaveNoDebris", true, {"\x1b[1;31mred \x1b[0mplain\r\n"}, "red plain\n", ""},
    {"AnsiCodeSplitAcrossWritesLeavesNoDebris",
     true,
     {"\x1b[1;", "32mgreen\x1b", "[0m done\r\n"},
     "green done\n",
     ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, IncomingBytesTable, ::testing::ValuesIn(kByteRows),
                         [](const ::testing::TestParamInfo<ByteRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(IncomingBytesE2E, AnUnfinishedTailShowsBeforeTheRestOfItsLineArrives) {
    ASSERT_TRUE(connect());
    server.send("Welcome\r\nlogin: ");
    ASSERT_TRUE(waitUntil([&] { return shown() == "Welcome\nlogin: "; }));

    server.send("Tester\r\n");
    ASSERT_TRUE(waitUntil([&] { return shown() == "Welcome\nlogin: Tester\n"; }));
}

TEST_F(IncomingBytesE2E, AnsiColoursReachTheOutputBox) {
    ASSERT_TRUE(connect());
    client.session().TagMode = true;
    server.send("\x1b[1;31mred \x1b[0mplain \x1b[32mgreen\x1b[0m\r\n");
    ASSERT_TRUE(settle());

    const std::vector<TextRun> runs = runsOfLine(*window.outputBox()->document(), "plain");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, "red ");
    EXPECT_EQ(runs[0].colour(), QColor(255, 85, 85));
    EXPECT_TRUE(runs[0].bold());
    EXPECT_EQ(runs[1].text, "plain ");
    EXPECT_EQ(runs[1].colour(), window.outputBox()->palette().color(QPalette::Text));
    EXPECT_FALSE(runs[1].bold());
    EXPECT_EQ(runs[2].text, "green");
    EXPECT_EQ(runs[2].colour(), QColor(0, 170, 0));
}

TEST_F(IncomingBytesE2E, MarkerLinesAreConsumedOnlyOnceLoggedIn) {
    ASSERT_TRUE(connect());
    const QByteArray markers = "[on]\r\n[vrox] #123 Town Square\r\nhello\r\n[off]\r\n";
    server.send(markers);
    ASSERT_TRUE(settle());
    // Before a character has logged in, every line is the server's text.
    EXPECT_EQ(shown(), "[on]\n[vrox] #123 Town Square\nhello\n[off]\n");
    EXPECT_EQ(client.session().RoomRef, 0);

    before = output();
    client.session().TagMode = true;
    server.send(markers);
    ASSERT_TRUE(settle());
    EXPECT_EQ(shown(), "hello\n");
    EXPECT_EQ(client.session().RoomRef, 123);
    EXPECT_EQ(client.session().RoomName, "Town Square");
    EXPECT_EQ(window.windowTitle(), "Loopback - Town Square");
}

} // namespace
} // namespace corvane::testing
