#include "mcp/mcp_stage.h"


#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace corvane {
namespace {

// ---- The grammar: one line after "#$#" in, what it reads as out ----------------

struct ParseRow {
    const char* name;
    std::string line;
    McpLine::Kind kind;
    // "key=value" for each value of a start, in order; the continuation's
    // key=text; the end's tag.
    std::vector<std::string> read;
};

void PrintTo(const ParseRow& row, std::ostream* out) {
    *out << row.name;
}

std::vector<std::string> readBack(const McpLine& line) {
    std::vector<std::string> out;
    switch (line.kind) {
    case McpLine::Kind::Start:
        out.push_back("name=" + line.message.name);
        if (!line.authKey.empty()) {
            out.push_back("key=" + line.authKey);
        }
        for (const McpMessage::Value& value : line.message.values) {
            out.push_back(value.key + (value.multiline ? "*=" : "=") + value.value);
        }
        if (!line.tag.empty()) {
            out.push_back("tag=" + line.tag);
        }
        break;
    case McpLine::Kind::Continue:
        out.push_back(line.tag + " " + line.key + "=" + line.text);
        break;
    case McpLine::Kind::End:
        out.push_back(line.tag);
        break;
    case McpLine::Kind::Invalid:
        break;
    }
    return out;
}

class McpGrammarTest : public ::testing::TestWithParam<ParseRow> {};

TEST_P(McpGrammarTest, ReadsTheLine) {
    const McpLine parsed = ParseMcpLine(GetParam().line);
    EXPECT_EQ(parsed.kind, GetParam().kind);
    EXPECT_EQ(readBack(parsed), GetParam().read);
}

using K = McpLine::Kind;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Lines, McpGrammarTest,
    ::testing::Values(
        ParseRow{"SpecOpening", "mcp version: 2.1  to: 2.1", K::Start, {"name=mcp", "version=2.1", "to=2.1"}},
        ParseRow{"QuotedOpeningOfTheCommonMucks", "mcp version: \"2.1\" to: \"2.1\"", K::Start,
                 {"name=mcp", "version=2.1", "to=2.1"}},
        ParseRow{"SpecSimpleValues", "say 12345 what: \"Hi there!\" from: Biff to: Betty", K::Start,
                 {"name=say", "key=12345", "what=Hi there!", "from=Biff", "to=Betty"}},
        ParseRow{"NamesAndKeysWithoutCase", "MCP-Negotiate-Can AbC Package: Edit", K::Start,
                 {"name=mcp-negotiate-can", "key=AbC", "package=Edit"}},
        ParseRow{"EscapedQuoteAndBackslash", "x K text: \"say \\\"hi\\\" \\\\ back\"", K::Start,
                 {"name=x", "key=K", "text=say \"hi\" \\ back"}},
        ParseRow{"EmptyQuotedValue", "x K a: \"\"", K::Start, {"name=x", "key=K", "a="}},
        ParseRow{"MessageWithoutValues", "mcp-negotiate-end K", K::Start, {"name=mcp-negotiate-end", "key=K"}},
        ParseRow{"TrailingBlanks", "mcp-negotiate-end K   ", K::Start, {"name=mcp-negotiate-end", "key=K"}},
        ParseRow{"SpecMultilineStart", "spam 12345 from: Biff text*: \"\" _data-tag: 9b76", K::Start,
                 {"name=spam", "key=12345", "from=Biff", "text*=", "tag=9b76"}},
        ParseRow{"SimpleeditContent",
                 "dns-org-mud-moo-simpleedit-content K reference: \"23.prog.\" type: \"muf-code\" "
                 "name: \"a program named lib-away(23)\" content*: \"\" _data-tag: 4D509FE7", K::Start,
                 {"name=dns-org-mud-moo-simpleedit-content", "key=K", "reference=23.prog.", "type=muf-code",
                  "name=a program named lib-away(23)", "content*=", "tag=4D509FE7"}},
        ParseRow{"ContinuationKeepsItsBlanks", "* 9b76 text:     spaces  ", K::Continue, {"9b76 text=    spaces  "}},
        ParseRow{"ContinuationOfAnEmptyLine", "* 9b76 text:", K::Continue, {"9b76 text="}},
        ParseRow{"ContinuationIsNotParsed", "* 9b76 text: a: \"b\" \\ c*", K::Continue, {"9b76 text=a: \"b\" \\ c*"}},
        ParseRow{"End", ": 9b76", K::End, {"9b76"}},
        ParseRow{"DuplicateKeysDropped", "say 12345 what: \"Hi there!\" WHAT: \"Hey there...\"", K::Invalid, {}},
        ParseRow{"MultilineWithoutTag", "spam 1 text*: \"\"", K::Invalid, {}},
        ParseRow{"UnterminatedQuote", "say 1 what: \"Hi", K::Invalid, {}},
        ParseRow{"BackslashAtTheEnd", "say 1 what: \"Hi\\", K::Invalid, {}},
        ParseRow{"NameMustStartWithALetter", "1say 1 a: b", K::Invalid, {}},
        ParseRow{"ValueMissing", "say 1 a:", K::Invalid, {}},
        ParseRow{"NoBlankAfterColon", "say 1 a:b", K::Invalid, {}},
        ParseRow{"KeyMissing", "say", K::Invalid, {}},
        ParseRow{"StrayText", "say 1 a: b junk", K::Invalid, {}},
        ParseRow{"ContinuationWithoutKey", "* 9b76", K::Invalid, {}},
        ParseRow{"EndWithExtraText", ": 9b76 more", K::Invalid, {}},
        ParseRow{"Nothing", "", K::Invalid, {}}),
    [](const ::testing::TestParamInfo<ParseRow>& info) { return std::string(info.param.name); });
// clang-format on

TEST(McpFormat, QuotesWhereNeededAndSendsLinesAsContinuations) {
    McpMessage set;
    set.name = "dns-org-mud-moo-simpleedit-set";
    set.add("reference", "23.prog.").add("type", "muf-code").add("name", "say \"x\"");
    set.add("content", ": main\n  \"hi\" me @ notify\n;", true);
    EXPECT_EQ(FormatMcpMessage(set, "K", [] { return std::string("T1"); }),
              (std::vector<std::string>{
                  "#$#dns-org-mud-moo-simpleedit-set K reference: 23.prog. type: muf-code name: \"say \\\"x\\\"\" "
                  "content*: \"\" _data-tag: T1",
                  "#$#* T1 content: : main", "#$#* T1 content:   \"hi\" me @ notify", "#$#* T1 content: ;",
                  "#$#: T1"}));
    McpMessage empty;
    empty.name = "x-y";
    empty.add("content", "", true).add("v", "");
    EXPECT_EQ(FormatMcpMessage(empty, "K", [] { return std::string("T2"); }),
              (std::vector<std::string>{"#$#x-y K content*: \"\" v: \"\" _data-tag: T2", "#$#: T2"}));
}

// ---- The stage: received lines in order, what shows and what goes back --------

class McpStageTest : public ::testing::Test {
protected:
    McpStage stage{{{"edit", {1, 0}, {1, 0}}, {"mcp-cord", {1, 0}, {1, 0}}, {"spam", {1, 0}, {2, 0}}},
                   [this] { return m_tokens.at(m_nextToken++ % m_tokens.size()); }};
    std::vector<std::string> m_tokens{"3487", "t1", "t2", "t3"};
    std::size_t m_nextToken = 0;
    std::vector<std::string> shown;
    std::vector<std::string> sent;
    std::vector<McpReceived> received;

    void feed(std::string text) {
        McpStage::Output out;
        stage.line(text, out);
        if (out.show) {
            shown.push_back(text);
        }
        sent.insert(sent.end(), out.sends.begin(), out.sends.end());
        received.insert(received.end(), out.messages.begin(), out.messages.end());
    }
    void feedAll(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            feed(line);
        }
    }
    void open() {
        feed("#$#mcp version: 2.1  to: 2.1");
        feedAll({"#$#mcp-negotiate-can 3487 package: mcp-negotiate min-version: 1.0 max-version: 2.0",
              "#$#mcp-negotiate-can 3487 package: edit min-version: 1.0 max-version: 1.0",
              "#$#mcp-negotiate-can 3487 package: spam min-version: 1.0 max-version: 1.0"});
        sent.clear();
    }
};

TEST_F(McpStageTest, SpecStartUpAnswersAtOnceAndNegotiatesPerPackage) {
    feed("#$#mcp version: 2.1  to: 2.1");
    EXPECT_EQ(sent, (std::vector<std::string>{
                        "#$#mcp authentication-key: 3487 version: 2.1 to: 2.1",
                        "#$#mcp-negotiate-can 3487 package: mcp-negotiate min-version: 1.0 max-version: 2.0",
                        "#$#mcp-negotiate-can 3487 package: edit min-version: 1.0 max-version: 1.0",
                        "#$#mcp-negotiate-can 3487 package: mcp-cord min-version: 1.0 max-version: 1.0",
                        "#$#mcp-negotiate-can 3487 package: spam min-version: 1.0 max-version: 2.0",
                        "#$#mcp-negotiate-end 3487"}));
    EXPECT_TRUE(stage.active());
    feedAll({"#$#mcp-negotiate-can 3487 package: mcp-negotiate min-version: 1.0 max-version: 2.0",
          "#$#mcp-negotiate-can 3487 package: edit min-version: 1.0 max-version: 1.0"});
    EXPECT_NE(stage.negotiated("edit"), nullptr);
    EXPECT_EQ(stage.negotiated("mcp-cord"), nullptr);
    EXPECT_FALSE(stage.serverNegotiationEnded());
    feedAll({"#$#mcp-negotiate-can 3487 package: mcp-cord min-version: 1.0 max-version: 1.0",
          "#$#mcp-negotiate-end 3487",
          "#$#mcp-negotiate-can 3487 package: spam min-version: 1.0 max-version: 1.0"});
    EXPECT_NE(stage.negotiated("mcp-cord"), nullptr);
    EXPECT_TRUE(stage.serverNegotiationEnded());
    EXPECT_EQ(stage.negotiated("spam"), nullptr) << "offers after the end are errors";
    EXPECT_TRUE(shown.empty());
}

TEST_F(McpStageTest, VersionsAreTheHighestOfTheOverlapOrNone) {
    feed("#$#mcp version: 1.0 to: 2.1");
    feedAll({"#$#mcp-negotiate-can 3487 package: spam min-version: 1.5 max-version: 3.0",
          "#$#mcp-negotiate-can 3487 package: edit min-version: 1.1 max-version: 1.4"});
    ASSERT_NE(stage.negotiated("spam"), nullptr);
    EXPECT_EQ(stage.negotiated("spam")->text(), "2.0");
    EXPECT_EQ(stage.negotiated("edit"), nullptr);
}

TEST_F(McpStageTest, NoMcpWithoutTheServersOpeningOrOutsideItsRange) {
    feedAll({"Welcome!", "#$#mcp-negotiate-can 3487 package: edit min-version: 1.0 max-version: 1.0"});
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(stage.active());
    feed("#$#mcp version: 1.0 to: 2.0");
    feed("#$#mcp version: 2.1 to: 2.1");
    EXPECT_TRUE(sent.empty()) << "a refused server gets no second chance on the same connection";
    EXPECT_EQ(shown, std::vector<std::string>{"Welcome!"});
    EXPECT_EQ(stage.quoteInBand("#$#x"), "#$#x");
}

TEST_F(McpStageTest, FuzzballOpeningTranscript) {
    feed("#$#mcp version: \"2.1\" to: \"2.1\"");
    ASSERT_FALSE(sent.empty());
    feedAll({"#$#mcp-negotiate-can 3487 package: \"org-fuzzball-gui\" min-version: \"1.0\" max-version: \"1.3\"",
          "#$#mcp-negotiate-can 3487 package: \"dns-org-mud-moo-simpleedit\" min-version: \"1.0\" max-version: \"1.0\"",
          "#$#mcp-negotiate-can 3487 package: \"edit\" min-version: \"1.0\" max-version: \"1.0\"",
          "#$#mcp-negotiate-can 3487 package: \"mcp-negotiate\" min-version: \"1.0\" max-version: \"2.0\"",
          "#$#mcp-negotiate-end 3487"});
    EXPECT_TRUE(shown.empty());
    EXPECT_NE(stage.negotiated("edit"), nullptr);
    EXPECT_EQ(stage.negotiated("org-fuzzball-gui"), nullptr) << "not offered by this client";
}

TEST_F(McpStageTest, SpecMultilineExampleInterleavedWithText) {
    open();
    feedAll({"#$#spam 3487 from: Biff text*: \"\" _data-tag: 9b76", "#$#* 9b76 text: This is some sample text.",
          "You see a spam tin.", "#$#* 9b76 text:", "#$#* 9b76 text: in multiline data.  Also, you can include \"special\"",
          "#$#edit 3487 what: now", "#$#* 9b76 text:     This means that spaces can also be part of the value.",
          "#$#: 9b76"});
    EXPECT_EQ(shown, std::vector<std::string>{"You see a spam tin."});
    ASSERT_EQ(received.size(), 2U);
    EXPECT_EQ(received[0].package, "edit");
    EXPECT_EQ(received[0].message, "");
    EXPECT_EQ(received[1].package, "spam");
    EXPECT_EQ(received[1].body.value("from"), "Biff");
    EXPECT_EQ(received[1].body.value("text"),
              "This is some sample text.\n\nin multiline data.  Also, you can include \"special\"\n"
              "    This means that spaces can also be part of the value.");
}

TEST_F(McpStageTest, LongestNegotiatedPackageOwnsTheMessage) {
    open();
    feed("#$#spam-edit-x 3487 a: b");
    feed("#$#edit-send 3487 a: b");
    feed("#$#editor 3487 a: b");
    ASSERT_EQ(received.size(), 2U);
    EXPECT_EQ(received[0].package, "spam");
    EXPECT_EQ(received[0].message, "edit-x");
    EXPECT_EQ(received[1].message, "send");
}

TEST_F(McpStageTest, HostileLinesAreDroppedAndNeverShown) {
    open();
    feedAll({"#$#edit wrong a: b", "#$#unknown 3487 a: b", "#$#* nosuchtag text: x", "#$#: nosuchtag",
          "#$#edit 3487 a: \"unterminated", "#$#"});
    EXPECT_TRUE(received.empty());
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(sent.empty());
}

TEST_F(McpStageTest, QuotedLinesAreUnquotedAndPlayerLinesQuoted) {
    feed("#$\"#$#this isn't: really an: \"out-of-band message\"");
    EXPECT_EQ(shown, std::vector<std::string>{"#$#this isn't: really an: \"out-of-band message\""});
    open();
    EXPECT_EQ(stage.quoteInBand("#$#say hi"), "#$\"#$#say hi");
    EXPECT_EQ(stage.quoteInBand("#$\"say hi"), "#$\"#$\"say hi");
    EXPECT_EQ(stage.quoteInBand("say #$#"), "say #$#");
}

TEST_F(McpStageTest, NothingGoesOutForAPackageTheServerDidNotOffer) {
    open();
    McpMessage cord;
    cord.name = "mcp-cord-open";
    EXPECT_TRUE(stage.outgoing(cord).empty());
    McpMessage edit;
    edit.name = "edit-set";
    edit.add("a", "b");
    EXPECT_EQ(stage.outgoing(edit), std::vector<std::string>{"#$#edit-set 3487 a: b"});
}

TEST_F(McpStageTest, AResetForgetsTheConnection) {
    open();
    feed("#$#spam 3487 text*: \"\" _data-tag: 9b76");
    stage.reset(true);
    feedAll({"#$#* 9b76 text: x", "#$#: 9b76", "#$#spam 3487 a: b"});
    EXPECT_TRUE(received.empty());
    EXPECT_FALSE(stage.active());
    EXPECT_EQ(stage.negotiated("spam"), nullptr);
}

TEST_F(McpStageTest, AWorldWithoutMcpShowsEverything) {
    stage.reset(false);
    feedAll({"#$#mcp version: 2.1 to: 2.1", "#$\"quoted"});
    EXPECT_EQ(shown, (std::vector<std::string>{"#$#mcp version: 2.1 to: 2.1", "#$\"quoted"}));
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(stage.holdsTail("#$#mcp"));
}

TEST_F(McpStageTest, MultilineMessagesStayBounded) {
    open();
    // A never-ending multiline loses its values at the cap; its end says it was too large.
    feed("#$#spam 3487 text*: \"\" _data-tag: endless");
    const std::string line = "#$#* endless text: " + std::string(1000, 'x');
    for (int i = 0; i < 300; ++i) {
        feed(line);
    }
    feed("#$#: endless");
    ASSERT_EQ(received.size(), 1U);
    EXPECT_TRUE(received[0].tooLarge);
    EXPECT_EQ(received[0].body.value("text"), "");
    received.clear();
    // Ten thousand open tags keep only the newest few.
    for (int i = 0; i < 10000; ++i) {
        feed("#$#spam 3487 text*: \"\" _data-tag: tag" + std::to_string(i));
    }
    feedAll({"#$#: tag0", "#$#: tag9999"});
    ASSERT_EQ(received.size(), 1U);
    EXPECT_EQ(received[0].body.value("text"), "");
}

TEST_F(McpStageTest, PiecesOfALongLineAreJoinedOrDroppedPastTheCap) {
    open();
    EXPECT_TRUE(stage.holdsTail("#"));
    EXPECT_TRUE(stage.holdsTail("#$#spam"));
    EXPECT_FALSE(stage.holdsTail("Password: "));
    EXPECT_FALSE(stage.keepsPiece("plain text"));
    EXPECT_TRUE(stage.keepsPiece("#$#spam 3487 text: \"" + std::string(10, 'y')));
    EXPECT_TRUE(stage.holdsTail("y"));
    feed("yy\"");
    ASSERT_EQ(received.size(), 1U);
    EXPECT_EQ(received[0].body.value("text"), std::string(12, 'y'));
    // A megabyte in one value is dropped whole, and nothing of it shows.
    EXPECT_TRUE(stage.keepsPiece("#$#spam 3487 text: \"" + std::string(16000, 'z')));
    for (int i = 0; i < 64; ++i) {
        EXPECT_TRUE(stage.keepsPiece(std::string(16000, 'z')));
    }
    feed("\"");
    EXPECT_EQ(received.size(), 1U);
    EXPECT_TRUE(shown.empty());
}

} // namespace
} // namespace corvane
