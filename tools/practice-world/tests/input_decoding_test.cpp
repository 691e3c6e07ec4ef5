#include "line_splitter.h"
#include "telnet_decoder.h"

#include <gtest/gtest.h>

namespace practice_world {
namespace {

using Lines = std::vector<std::string>;

struct TelnetCase {
    const char* name;
    std::string bytes;
    std::string text;
    Lines events;
};

void PrintTo(const TelnetCase& row, std::ostream* out) {
    *out << row.name;
}

class TelnetDecoderTest : public ::testing::TestWithParam<TelnetCase> {};

Lines describeAll(const std::vector<TelnetEvent>& events) {
    Lines described;
    for (const TelnetEvent& event : events)
        described.push_back(describe(event));
    return described;
}

TEST_P(TelnetDecoderTest, WholeAtOnce) {
    TelnetDecoder decoder;
    std::string text;
    std::vector<TelnetEvent> events;
    decoder.feed(GetParam().bytes, text, events);
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(describeAll(events), GetParam().events);
}

// A read can end anywhere in a command; feeding one byte at a time must not change the result.
TEST_P(TelnetDecoderTest, ByteByByte) {
    TelnetDecoder decoder;
    std::string text;
    std::vector<TelnetEvent> events;
    for (char c : GetParam().bytes)
        decoder.feed(std::string_view(&c, 1), text, events);
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(describeAll(events), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TelnetDecoderTest,
    ::testing::Values(
        TelnetCase{"PlainText", "look\r\n", "look\r\n", {}},
        TelnetCase{"Negotiation", "WH\xff\xfb\x18O\n", "WHO\n", {"WILL TERMINAL-TYPE"}},
        TelnetCase{"AllFourVerbs",
                   "\xff\xfd\x01\xff\xfe\x01\xff\xfc\x1f\xff\xfb\xc9x",
                   "x",
                   {"DO ECHO", "DONT ECHO", "WONT NAWS", "WILL GMCP"}},
        TelnetCase{"EscapedIac",
                   "a\xff\xff"
                   "b",
                   "a\xff"
                   "b",
                   {}},
        TelnetCase{"TerminalTypeIs",
                   std::string("\xff\xfa\x18\x00xterm\xff\xf0ok", 13),
                   "ok",
                   {"SB TERMINAL-TYPE IS xterm"}},
        TelnetCase{
            "IacInsideSubnegotiation", "\xff\xfa\xc9\x41\xff\xff\x42\xff\xf0", "", {"SB GMCP A<255>B"}},
        TelnetCase{"BareCommands", "\xff\xf1x\xff\xf9y", "xy", {"NOP", "GA"}},
        TelnetCase{"StraySe", "\xff\xf0z", "z", {}},
        // A subnegotiation cut short by another command must not swallow what follows.
        TelnetCase{"UnterminatedSubnegotiation", "\xff\xfa\x18q\xff\xfbhi", "hi", {"SB TERMINAL-TYPE q"}}),
    [](const auto& row) { return std::string(row.param.name); });

struct SplitCase {
    const char* name;
    std::string bytes;
    Lines lines;
};

void PrintTo(const SplitCase& row, std::ostream* out) {
    *out << row.name;
}

class LineSplitterTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitterTest, Splits) {
    LineSplitter splitter(8);
    Lines lines;
    splitter.feed(GetParam().bytes, lines);
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Rows, LineSplitterTest,
                         ::testing::Values(SplitCase{"Lf", "a\nb\n", {"a", "b"}},
                                           SplitCase{"CrLf", "a\r\n\r\n", {"a", ""}},
                                           SplitCase{"NoEndYet", "abc", {}},
                                           SplitCase{"InnerCrKept", "a\rb\n", {"a\rb"}},
                                           SplitCase{"CrNul", std::string("a\r\0b\r\n", 6), {"a\rb"}},
                                           SplitCase{"TooLong", "0123456789AB\nok\n", {"01234567", "ok"}},
                                           SplitCase{"LimitThenCrLf", "01234567\r\n", {"01234567"}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(LineSplitterTest, KeepsAPartialLineAcrossFeeds) {
    LineSplitter splitter(100);
    Lines lines;
    splitter.feed("connect Te", lines);
    splitter.feed("ster password\r", lines);
    EXPECT_TRUE(lines.empty());
    splitter.feed("\n", lines);
    EXPECT_EQ(lines, Lines{"connect Tester password"});
}

} // namespace
} // namespace practice_world
