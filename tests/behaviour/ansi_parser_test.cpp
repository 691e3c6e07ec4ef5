#include "core/ansi_parser.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <string_view>

namespace corvane {
namespace {

// Routes bytes the way the line processor does and returns the text that
// reached the screen.
std::string feedAll(AnsiParser& parser, std::string_view in) {
    std::string text;
    for (const char c : in) {
        const auto byte = static_cast<unsigned char>(c);
        if (parser.inSequence() || byte == AnsiParser::ESC) {
            parser.feed(byte);
        } else {
            text.push_back(c);
        }
    }
    return text;
}

std::string repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

constexpr Rgb Red{170, 0, 0};
constexpr Rgb BrightRed{255, 85, 85};

// Builds the expected style of a row: Look().fg(Red).bold().
struct Look {
    TextStyle style;
    Look fg(Rgb colour) {
        style.foreground = colour;
        return *this;
    }
    Look bg(Rgb colour) {
        style.background = colour;
        return *this;
    }
    Look bold() {
        style.bold = true;
        return *this;
    }
    Look italic() {
        style.italic = true;
        return *this;
    }
    Look underline() {
        style.underline = true;
        return *this;
    }
    Look reverse() {
        style.reverse = true;
        return *this;
    }
    operator TextStyle() const { return style; }
};

struct Row {
    const char* name;
    std::string in;
    std::string text;
    TextStyle style;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class AnsiParserRows : public ::testing::TestWithParam<Row> {};

TEST_P(AnsiParserRows, LeavesTheTextAndTheStyle) {
    const Row& row = GetParam();
    AnsiParser parser;
    EXPECT_EQ(feedAll(parser, row.in), row.text);
    EXPECT_EQ(parser.style(), row.style);
    EXPECT_FALSE(parser.inSequence());
}

INSTANTIATE_TEST_SUITE_P(
    Ansi, AnsiParserRows,
    ::testing::Values(
        Row{"BoldRedIsBrightRed", "\x1b[1;31mred", "red", Look().fg(BrightRed).bold()},
        Row{"PlainRed", "\x1b[31mred", "red", Look().fg(Red)},
        Row{"ZeroResets", "\x1b[1;31;44;3;4;7m\x1b[0mx", "x", {}},
        Row{"EmptyResets", "\x1b[1;31m\x1b[mx", "x", {}},
        Row{"LeadingEmptyParameterIsZero", "\x1b[31m\x1b[;1mx", "x", Look().bold()},
        Row{"NotBoldDimsTheColourAgain", "\x1b[1;31;22m", "", Look().fg(Red)},
        Row{"FaintIsNotBold", "\x1b[1;2;33m", "", Look().fg(Rgb{170, 85, 0})},
        Row{"Attributes", "\x1b[3;4;7m", "", Look().italic().underline().reverse()},
        Row{"AttributesOff", "\x1b[3;4;7;23;24;27m", "", {}}, Row{"BlinkIgnored", "\x1b[5;6m", "", {}},
        Row{"UnknownCodesIgnored", "\x1b[31;999;1;73m", "", Look().fg(BrightRed).bold()},
        Row{"DefaultForeground", "\x1b[1;31;39m", "", Look().bold()},
        Row{"DefaultBackground", "\x1b[41;49m", "", {}},
        Row{"BasicBackground", "\x1b[1;44m", "", Look().bg(Rgb{0, 0, 170}).bold()},
        Row{"BrightForeground", "\x1b[92m", "", Look().fg(Rgb{85, 255, 85})},
        Row{"BrightBackground", "\x1b[104m", "", Look().bg(Rgb{85, 85, 255})},
        Row{"Indexed", "\x1b[38;5;196m", "", Look().fg(Rgb{255, 0, 0})},
        Row{"IndexIsNotReadAsACode", "\x1b[38;5;4m", "", Look().fg(Rgb{0, 0, 170})},
        Row{"TrueColourValuesAreNotCodes", "\x1b[48;2;1;3;4m", "", Look().bg(Rgb{1, 3, 4})},
        Row{"IndexedGrey", "\x1b[48;5;244m", "", Look().bg(Rgb{128, 128, 128})},
        Row{"IndexedIsNotBrightenedByBold", "\x1b[1;38;5;1m", "", Look().fg(Red).bold()},
        Row{"TrueColour", "\x1b[38;2;10;20;30;48;2;1;2;3m", "", Look().fg(Rgb{10, 20, 30}).bg(Rgb{1, 2, 3})},
        Row{"TrueColourClamped", "\x1b[38;2;300;20;30m", "", Look().fg(Rgb{255, 20, 30})},
        Row{"CodesAfterAnExtendedColour", "\x1b[38;5;21;1m", "", Look().fg(Rgb{0, 0, 255}).bold()},
        Row{"ColonIndexed", "\x1b[38:5:196m", "", Look().fg(Rgb{255, 0, 0})},
        Row{"ColonTrueColourWithColourSpace", "\x1b[38:2::10:20:30m", "", Look().fg(Rgb{10, 20, 30})},
        Row{"ColonTrueColour", "\x1b[48:2:10:20:30m", "", Look().bg(Rgb{10, 20, 30})},
        Row{"ColonGroupEndsAtSemicolon", "\x1b[38:5:196;1m", "", Look().fg(Rgb{255, 0, 0}).bold()},
        Row{"UnderlineStyleIsNotItalic", "\x1b[4:3m", "", Look().underline()},
        Row{"UnderlineStyleZeroIsOff", "\x1b[4;4:0m", "", {}},
        Row{"IndexMissingAtEnd", "\x1b[31;38;5m", "", Look().fg(Red)},
        Row{"BareExtendedColour", "\x1b[38m", "", {}}, Row{"TrueColourMissingBlue", "\x1b[38;2;1;2m", "", {}},
        Row{"ColonTrueColourMissingValues", "\x1b[38:2:1m", "", {}},
        Row{"HugeParameterDoesNotOverflow", "\x1b[99999999999999999999;1m", "", Look().bold()},
        Row{"ThirtySecondParameterIsKept", "\x1b[" + repeat("0;", 31) + "1m", "", Look().bold()},
        Row{"ParametersPastThirtyTwoAreDropped", "\x1b[" + repeat("0;", 40) + "1m", "", {}},
        Row{"StyleCarriesAcrossLines", "\x1b[31mone\r\ntwo", "one\r\ntwo", Look().fg(Red)},
        Row{"ClearScreenDropped", "a\x1b[2Jb", "ab", {}},
        Row{"CursorMoveDropped", "\x1b[31ma\x1b[10;20Hb", "ab", Look().fg(Red)},
        Row{"HideCursorDropped", "\x1b[?25lx", "x", {}},
        Row{"PrivateMarkerMIsNotColour", "\x1b[>4;1mx", "x", {}},
        Row{"IntermediateMIsNotColour", "\x1b[1 mx", "x", {}},
        Row{"OscTitleEndedByBel", "\x1b]0;My title\x07x", "x", {}},
        Row{"OscTitleEndedByStringTerminator", "\x1b]2;title\x1b\\x", "x", {}},
        Row{"EscapeInsideOscStartsANewSequence", "\x1b]0;t\x1b[1mx", "x", Look().bold()},
        Row{"DcsIgnoresBel", "\x1bPq#0\x07still\x1b\\x", "x", {}},
        Row{"ApplicationProgramCommand", "\x1b_junk\x1b\\x", "x", {}},
        Row{"PrivacyMessage", "\x1b^junk\x1b\\x", "x", {}},
        Row{"CharacterSetDesignation", "\x1b(Bx\x1b)0y", "xy", {}},
        Row{"LineAttributeWithIntermediate", "\x1b#8x", "x", {}},
        Row{"TwoByteSequences",
            "\x1b=a\x1bMb\x1b"
            "7c",
            "abc",
            {}},
        Row{"EscapeBeforeAControlEatsIt", "a\x1b\rb", "ab", {}},
        Row{"EscapeBeforeAHighByteEatsIt",
            "a\x1b\xe9"
            "b",
            "ab",
            {}},
        Row{"ControlInsideCsiAbandonsIt", "\x1b[1\nx", "x", {}},
        Row{"EscapeInsideCsiRestarts", "\x1b[3\x1b[1mx", "x", Look().bold()},
        Row{"DoubleEscapeRestarts", "\x1b\x1b[1mx", "x", Look().bold()},
        Row{"LongestCsiStillApplies", "\x1b[" + std::string(252, '0') + "1mx", "x", Look().bold()},
        Row{"OverlongCsiIsAbandoned", "\x1b[" + std::string(253, '0') + "1mx", "x", {}},
        Row{"LongestOscStillEnds",
            "\x1b]" + std::string(AnsiParser::MaxStringLength - 3, 'a') + "\x07x",
            "x",
            {}},
        Row{"OverlongOscIsAbandoned",
            "\x1b]" + std::string(AnsiParser::MaxStringLength - 1, 'a') + "bcd",
            "bcd",
            {}},
        Row{"OverlongEscapeIntermediateIsAbandoned",
            "\x1b" + std::string(300, ' ') + "x",
            std::string(300 - 256, ' ') + "x",
            {}}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST(AnsiParserTest, ASplitSequenceTakesEffectOnlyWhenItEnds) {
    AnsiParser parser;
    feedAll(parser, "\x1b[32m\x1b[1;3");
    EXPECT_TRUE(parser.inSequence());
    EXPECT_EQ(parser.style(), TextStyle(Look().fg(Rgb{0, 170, 0})));
    EXPECT_EQ(feedAll(parser, "1mx"), "x");
    EXPECT_EQ(parser.style(), TextStyle(Look().fg(BrightRed).bold()));
}

TEST(AnsiParserTest, ResetLeavesASequenceAndTheStyle) {
    AnsiParser parser;
    feedAll(parser, "\x1b[1;31m\x1b[4");
    parser.reset();
    EXPECT_EQ(feedAll(parser, "m"), "m");
    EXPECT_TRUE(parser.style().isPlain());
}

TEST(AnsiParserTest, AStyledLineKeepsColoursAsSpansAndControlsAsOneBlank) {
    const TextLine line = StyledLine("\r\n\x1b[1;31m(ooc)\x1b[0m Bob:\t\thi\x1b[4m\r\n");
    EXPECT_EQ(line.text, "(ooc) Bob: hi");
    EXPECT_EQ(line.spans, (std::vector<StyleSpan>{{0, 5, TextStyle(Look().fg(BrightRed).bold())}}));
}

struct PaletteRow {
    int index;
    Rgb colour;
};

TEST(AnsiParserTest, PaletteEntries) {
    const PaletteRow rows[] = {
        {0, {0, 0, 0}},         {3, {170, 85, 0}}, {7, {170, 170, 170}},   {8, {85, 85, 85}},
        {15, {255, 255, 255}},  {16, {0, 0, 0}},   {21, {0, 0, 255}},      {67, {95, 135, 175}},
        {231, {255, 255, 255}}, {232, {8, 8, 8}},  {255, {238, 238, 238}}, {-5, {0, 0, 0}},
        {300, {238, 238, 238}},
    };
    for (const PaletteRow& row : rows) {
        EXPECT_EQ(AnsiParser::paletteColour(row.index), row.colour) << "index " << row.index;
    }
}

} // namespace
} // namespace corvane
