#include "core/text_codec.h"
#include "core/web_word.h"
#include "fakes/client_harness.h"
#include "param_name.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct WordCase {
    std::u32string line;
    std::size_t position;
    std::string word;
    bool opens;
};

std::string utf8(const std::u32string& text) {
    std::string out;
    for (const char32_t c : text) {
        AppendUtf8(out, c);
    }
    return out;
}

void PrintTo(const WordCase& row, std::ostream* out) {
    *out << ::testing::PrintToString(utf8(row.line)) << " at " << row.position;
}

class WebWordTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(WebWordTest, FindsTheWordAndDecides) {
    const std::string word = WebWordAt(GetParam().line, GetParam().position);
    EXPECT_EQ(word, GetParam().word);
    EXPECT_EQ(IsWebAddress(word), GetParam().opens);
}

INSTANTIATE_TEST_SUITE_P(
    Words, WebWordTest,
    ::testing::Values(WordCase{U"see http://example.org/a. now", 10, "http://example.org/a.", true},
                      WordCase{U"see http://example.org/a. now", 5, "http://example.org/a.", true},
                      WordCase{U"https://furrymuck.com", 1, "https://furrymuck.com", true},
                      WordCase{U"HTTP://EXAMPLE.ORG", 3, "HTTP://EXAMPLE.ORG", false},
                      WordCase{U"mail mailto:someone@example.org", 10, "mailto:someone@example.org", false},
                      WordCase{U"say \"http://a.b\" ok", 8, "http://a.b", true},
                      WordCase{U"caf\u00e9http://x.y", 8, "http://x.y", true},
                      WordCase{U"telnet://host:23", 16, "telnet://host:23", true},
                      WordCase{U"   ", 2, "", false}),
    [](const auto& info) {
        return ParamName(utf8(info.param.line)) + "_at" + std::to_string(info.param.position);
    });

TEST(UrlCharacters, Classic) {
    EXPECT_FALSE(IsUrlChar(U' '));
    EXPECT_FALSE(IsUrlChar(U'"'));
    EXPECT_FALSE(IsUrlChar(U'\t'));
    EXPECT_FALSE(IsUrlChar(U'\u00e9'));
    EXPECT_TRUE(IsUrlChar(U'~'));
    EXPECT_TRUE(IsUrlChar(U'/'));
}

TEST(OutputWindow, ADoubleClickedAddressOpensAndEndsThePause) {
    ClientHarness h;
    h.connect();
    h.client.onOutputFocusIn();
    h.window.clickedLine = "visit http://example.org today";
    h.window.clickedCharacter = 12;
    h.launcher.browserAnswer = BrowserAnswer::Opened;
    h.client.onOutputDoubleClick();
    ASSERT_EQ(h.launcher.requests.size(), 1u);
    EXPECT_EQ(h.launcher.requests[0].address, "http://example.org");
    EXPECT_FALSE(h.client.session().OutputPaused);
    EXPECT_EQ(h.window.labels[0], "Status: On Line");
}

TEST(OutputWindow, EditMenuFollowsSelectionAndClipboard) {
    ClientHarness h;
    h.client.onEditMenuAboutToShow();
    EXPECT_FALSE(h.window.menuEnabled[MenuItem::EditCopy]);
    EXPECT_FALSE(h.window.menuEnabled[MenuItem::EditPaste]);
    h.window.selection = "some text";
    h.client.onEditMenuAboutToShow();
    EXPECT_TRUE(h.window.menuEnabled[MenuItem::EditCopy]);

    h.client.onMenuTriggered(MenuItem::EditCopy);
    EXPECT_EQ(h.clipboard.contents, "some text");
    EXPECT_TRUE(h.window.menuEnabled[MenuItem::EditPaste]);
    EXPECT_EQ(h.window.focus, "input");
    EXPECT_TRUE(h.window.selection.empty());

    h.window.input = "say ";
    h.client.onMenuTriggered(MenuItem::EditPaste);
    EXPECT_EQ(h.window.input, "say some text");

    h.client.onMenuTriggered(MenuItem::EditClear);
    EXPECT_FALSE(h.clipboard.hasText());
    EXPECT_FALSE(h.window.menuEnabled[MenuItem::EditPaste]);
    EXPECT_FALSE(h.window.menuEnabled[MenuItem::EditClear]);
}

} // namespace
} // namespace corvane::testing
