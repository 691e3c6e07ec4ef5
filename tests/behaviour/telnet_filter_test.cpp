#include "core/telnet_filter.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {
namespace {

constexpr int IAC = 255;
constexpr int SE = 240;
constexpr int NOP = 241;
constexpr int AYT = 246;
constexpr int GA = 249;
constexpr int SB = 250;
constexpr int WILL = 251;
constexpr int WONT = 252;
constexpr int DO = 253;
constexpr int DONT = 254;
constexpr int EOR = 239;
constexpr std::size_t Cap = TelnetFilter::MaxSubnegotiationLength;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

std::string repeatLine(std::size_t lines) {
    std::string out;
    for (std::size_t i = 0; i < lines; ++i) {
        out += "text\n";
    }
    return out;
}

struct Effects {
    std::string data;
    std::string reply;
};

// Routes bytes the way the line processor does: the filter sees a byte only
// while it is inside a command or when the byte is an IAC.
void feedAll(TelnetFilter& filter, std::string_view in, Effects& out) {
    for (const char c : in) {
        const auto byte = static_cast<unsigned char>(c);
        const bool filtered = filter.inSequence() || byte == TelnetFilter::IAC;
        if (!filtered || filter.feed(byte, out.reply) == TelnetFilter::Result::DataByte) {
            out.data.push_back(c);
        }
    }
}

struct Row {
    const char* name;
    std::string in;
    std::string data;
    std::string reply;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class TelnetFilterRows : public ::testing::TestWithParam<Row> {};

TEST_P(TelnetFilterRows, GivesTheTextAndTheReply) {
    const Row& row = GetParam();
    TelnetFilter filter;
    Effects got;
    feedAll(filter, row.in, got);
    EXPECT_EQ(got.data, row.data);
    EXPECT_EQ(got.reply, row.reply);
    EXPECT_FALSE(filter.inSequence());
}

// Reads end anywhere: every split point must give the same text, and a reply
// may only go out whole, once, after the last byte of its sequence. In the long
// rows only the split points near the interesting ends are tried.
TEST_P(TelnetFilterRows, GivesTheSameAtEverySplitPoint) {
    const Row& row = GetParam();
    const std::size_t size = row.in.size();
    for (std::size_t split = 1; split < size; split = (split == 16 && size > 32) ? size - 16 : split + 1) {
        SCOPED_TRACE("split at " + std::to_string(split));
        TelnetFilter filter;
        Effects got;
        feedAll(filter, std::string_view(row.in).substr(0, split), got);
        EXPECT_EQ(got.reply.size() % 3, 0U);
        EXPECT_EQ(row.reply.compare(0, got.reply.size(), got.reply), 0);
        feedAll(filter, std::string_view(row.in).substr(split), got);
        EXPECT_EQ(got.data, row.data);
        EXPECT_EQ(got.reply, row.reply);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Telnet, TelnetFilterRows,
    ::testing::Values(
        Row{"DoIsRefusedWithWont", bytes({IAC, DO, 5}), "", bytes({IAC, WONT, 5})},
        Row{"WillIsRefusedWithDont", bytes({IAC, WILL, 86}), "", bytes({IAC, DONT, 86})},
        Row{"WillEchoIsAgreed", bytes({IAC, WILL, 1}), "", bytes({IAC, DO, 1})},
        Row{"WillGoAheadSuppressionIsAgreed", bytes({IAC, WILL, 3}), "", bytes({IAC, DO, 3})},
        Row{"DoWindowSizeIsAgreed", bytes({IAC, DO, 31}), "", bytes({IAC, WILL, 31})},
        Row{"DoTerminalTypeIsAgreed", bytes({IAC, DO, 24}), "", bytes({IAC, WILL, 24})},
        Row{"DoCharsetIsAgreed", bytes({IAC, DO, 42}), "", bytes({IAC, WILL, 42})},
        Row{"WillCharsetIsAgreed", bytes({IAC, WILL, 42}), "", bytes({IAC, DO, 42})},
        Row{"GmcpIsRefusedUnlessAccepted", bytes({IAC, WILL, 201}), "", bytes({IAC, DONT, 201})},
        Row{"DoForAWorldSideOptionIsRefused", bytes({IAC, DO, 1}), "", bytes({IAC, WONT, 1})},
        Row{"WontForAnOffOptionIsNotAnswered", bytes({IAC, WONT, 31}), "", ""},
        Row{"DontForAnOffOptionIsNotAnswered", bytes({IAC, DONT, 3}), "", ""},
        Row{"RepeatedWillIsAnsweredOnce", bytes({IAC, WILL, 1, IAC, WILL, 1}), "", bytes({IAC, DO, 1})},
        Row{"WontAfterAgreementIsAcknowledged", bytes({IAC, WILL, 1, IAC, WONT, 1, IAC, WONT, 1}), "",
            bytes({IAC, DO, 1, IAC, DONT, 1})},
        Row{"DontAfterAgreementIsAcknowledged", bytes({IAC, DO, 31, IAC, DONT, 31}), "",
            bytes({IAC, WILL, 31, IAC, WONT, 31})},
        Row{"RefusalAcknowledgedByTheWorldEndsThere", bytes({IAC, WILL, 86, IAC, WONT, 86}), "",
            bytes({IAC, DONT, 86})},
        Row{"TextAroundANegotiationPasses", "ab" + bytes({IAC, WILL, 86}) + "cd", "abcd",
            bytes({IAC, DONT, 86})},
        Row{"NegotiationsBackToBack", bytes({IAC, WILL, 86, IAC, DO, 5}), "",
            bytes({IAC, DONT, 86, IAC, WONT, 5})},
        Row{"OptionByte255IsAnOptionNotAnIac", bytes({IAC, DO, IAC, 'x'}), "x", bytes({IAC, WONT, IAC})},
        Row{"DoubledIacIsTheByte255", bytes({'a', IAC, IAC, 'b'}), bytes({'a', IAC, 'b'}), ""},
        Row{"GoAheadVanishes", bytes({'>', IAC, GA, ' '}), "> ", ""},
        Row{"NopVanishes", bytes({'a', IAC, NOP, 'b'}), "ab", ""},
        Row{"EndOfRecordVanishes", bytes({'a', IAC, EOR, 'b'}), "ab", ""},
        Row{"AreYouThereIsNotAnswered", bytes({IAC, AYT, 'b'}), "b", ""},
        Row{"StraySeVanishes", bytes({IAC, SE, 'b'}), "b", ""},
        Row{"UnassignedCommandIsTwoBytes", bytes({IAC, 100, 'b'}), "b", ""},
        Row{"SubnegotiationIsSkippedWhole", bytes({'a', IAC, SB, 24, 1, IAC, SE, 'b'}), "ab", ""},
        Row{"NegotiationVerbsInsideSubnegotiationAreData", bytes({IAC, SB, 24, WILL, 1, DO, 3, IAC, SE}), "",
            ""},
        Row{"DoubledIacStaysInsideSubnegotiation", bytes({IAC, SB, 201, IAC, IAC, SE, 'x', IAC, SE, 'b'}),
            "b", ""},
        Row{"IacCommandEndsAnUnclosedSubnegotiation", bytes({IAC, SB, 24, 'x', IAC, DO, 5, 'b'}), "b",
            bytes({IAC, WONT, 5})},
        Row{"IacGaEndsAnUnclosedSubnegotiation", bytes({IAC, SB, 24, 'x', IAC, GA, 'b'}), "b", ""},
        Row{"LongestSubnegotiationStillCloses",
            bytes({IAC, SB}) + std::string(Cap - 2, 'x') + bytes({IAC, SE}) + "after", "after", ""},
        Row{"AnOverlongSubnegotiationIsDroppedWholeToItsEnd",
            bytes({IAC, SB, 201}) + std::string(Cap + 5000, 'x') + bytes({IAC, IAC}) + "x" + bytes({IAC, SE}) +
                "after",
            "after", ""},
        Row{"AnOverlongOneEndsAtAnIacCommand", bytes({IAC, SB, 201}) + std::string(Cap, 'x') + bytes({IAC, GA}) + "b",
            "b", ""},
        Row{"AnOverlongValueWithoutLineEndsIsDroppedWholeHoweverLong",
            bytes({IAC, SB, 201}) + std::string(Cap + 2 * 1024 * 1024, 'x') + bytes({IAC, SE}) + "after", "after",
            ""},
        Row{"AStrayOpeningInTextIsAbandonedAfterItsLines",
            bytes({IAC, SB}) + std::string(Cap, 'x') + repeatLine(TelnetFilter::MaxDroppedLines + 1) + "after",
            "\nafter", ""}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST(TelnetFilterTest, ReportsPromptEndsOptionChangesAndWholeSubnegotiations) {
    TelnetFilter filter;
    std::string reply;
    std::vector<TelnetFilter::Result> results;
    for (const char c : bytes({IAC, GA, IAC, EOR, IAC, WILL, 1, IAC, SB, 201, 'A', IAC, IAC, 'B', IAC, SE})) {
        const TelnetFilter::Result result = filter.feed(static_cast<unsigned char>(c), reply);
        if (result != TelnetFilter::Result::Consumed) {
            results.push_back(result);
        }
    }
    using R = TelnetFilter::Result;
    EXPECT_EQ(results, (std::vector<R>{R::PromptEnd, R::PromptEnd, R::OptionChanged, R::Subnegotiation}));
    EXPECT_EQ(filter.lastOption(), 201);
    EXPECT_EQ(filter.subnegotiation(), bytes({'A', IAC, 'B'}));
    EXPECT_TRUE(filter.isOn(1, TelnetFilter::Side::Remote));
}

TEST(TelnetFilterTest, ResetDropsAHalfReceivedCommand) {
    TelnetFilter filter;
    Effects got;
    feedAll(filter, bytes({IAC, DO}), got);
    filter.reset();
    feedAll(filter, bytes({24, 'a'}), got);
    EXPECT_EQ(got.data, bytes({24, 'a'}));
    EXPECT_EQ(got.reply, "");
}

} // namespace
} // namespace corvane
