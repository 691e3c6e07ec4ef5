#include "rules/pattern_matcher.h"
#include "rules/rules_import.h"
#include "rules/rules_presenter.h"

#include <gtest/gtest.h>
#include <string>

namespace corvane {
namespace {

// Whether the imported rule's pattern takes the line, and what it sends.
bool takes(const Rule& rule, const std::string& line) {
    return PatternMatcher(rule.pattern, rule.mode, rule.caseSensitive).matches(MatchSubject(line));
}

TEST(RulesImport, TinyFugueFile) {
    const std::string file = "; my triggers\n"
                             "/def -t\"* pages: *\" -mglob page_back = page Wren=got it\n"
                             "/def -p5 -mregexp -t'^(\\w+) waves' wave = wave %P1%;smile\n"
                             "/def -F -ag -t\"*spam*\" nospam\n"
                             "/def -aCred -t\"*dragon*\" dragon\n"
                             "/alias gg get gold%;say got it\n"
                             "/gag *advert*\n"
                             "/hilite *tells you*\n"
                             "/def -h\"CONNECT\" hello = /echo hi\n"
                             "/def greet = say hi\n"
                             "/def -t\"* arrives\" count = /test n := n + 1\n"
                             "/def -t\"* says *\" echo = say %2\n";
    const RulesImport imported = ImportTinyFugue(file);
    ASSERT_EQ(imported.rules.size(), 7u);
    EXPECT_EQ(imported.skipped.size(), 4u);
    // -p5 comes first; it stops later triggers, as TinyFugue's do without -F.
    const Rule& wave = imported.rules[1];
    EXPECT_EQ(wave.name, "wave");
    EXPECT_EQ(wave.send, "wave $1;smile");
    EXPECT_TRUE(takes(wave, "Wren waves"));
    const Rule& page = imported.rules[2];
    EXPECT_TRUE(takes(page, "Wren pages: hi"));
    EXPECT_FALSE(takes(page, "Wren pages"));
    EXPECT_EQ(page.send, "page Wren=got it");
    EXPECT_TRUE(page.stopHere);
    EXPECT_TRUE(imported.rules[3].gag);
    EXPECT_FALSE(imported.rules[3].stopHere);
    EXPECT_EQ(imported.rules[4].foreground, (Rgb{205, 0, 0}));
    EXPECT_EQ(imported.rules[0].kind, Rule::Kind::Alias);
    EXPECT_EQ(imported.rules[0].send, "get gold;say got it");
    EXPECT_TRUE(imported.rules[5].gag);
    EXPECT_TRUE(imported.rules[6].bold);
}

TEST(RulesImport, TinTinFile) {
    const std::string file = "#action {%1 pages: %2} {page %1=got it}\n"
                             "#alias {gg} {get gold;say got it}\n"
                             "#alias {k} {kill %0}\n"
                             "#gag {^advert}\n"
                             "#highlight {dragon} {bold red}\n"
                             "#substitute {gold} {<118>%0}\n"
                             "#substitute {damn} {darn}\n"
                             "#action {^You die} {#end}\n"
                             "#ticker {tick} {save} {60}\n";
    const RulesImport imported = ImportRulesFile(file);
    ASSERT_EQ(imported.rules.size(), 6u);
    EXPECT_EQ(imported.skipped.size(), 3u);
    EXPECT_TRUE(takes(imported.rules[0], "Wren pages: hi"));
    EXPECT_EQ(imported.rules[0].send, "page $1=got it");
    EXPECT_EQ(imported.rules[1].send, "get gold;say got it");
    EXPECT_EQ(imported.rules[2].send, "kill %*");
    EXPECT_TRUE(imported.rules[3].gag);
    EXPECT_FALSE(takes(imported.rules[3], "an advert"));
    EXPECT_TRUE(imported.rules[4].bold);
    EXPECT_EQ(imported.rules[4].foreground, (Rgb{205, 0, 0}));
    EXPECT_EQ(imported.rules[5].foreground, (Rgb{205, 0, 0})); // <118>: bold, red, default background
    EXPECT_TRUE(imported.rules[5].bold);
    EXPECT_EQ(imported.rules[5].colour, Rule::Colour::Match);
}

TEST(RulesPresenter, TestBoxSaysWhatTheRulesWouldDo) {
    RuleBook book;
    Rule page;
    page.name = "page back";
    page.mode = MatchMode::Regex;
    page.pattern = "(\\w+) pages: (.*)";
    page.send = "page $1=got it";
    page.gag = true;
    Rule gg;
    gg.kind = Rule::Kind::Alias;
    gg.pattern = "gg";
    gg.send = "get gold;say got it";
    Rule broken;
    broken.mode = MatchMode::Regex;
    broken.pattern = "(";
    book.setRules({page, gg, broken});
    EXPECT_EQ(RulesPresenter::Describe(book, "Practice", "Wren pages: hi"),
              "Trigger \"page back\" matches \"Wren pages: hi\", $1 = \"Wren\", $2 = \"hi\"\n"
              "  sends \"page Wren=got it\"\n  hides the line\n");
    EXPECT_EQ(RulesPresenter::Describe(book, "Practice", "gg"),
              "Alias \"gg\" sends \"get gold\", \"say got it\"\n");
    EXPECT_EQ(RulesPresenter::Describe(book, "Practice", "nothing"), "No rule matches.");
}

} // namespace
} // namespace corvane

#include "core/session.h"
#include "fakes/fake_rules_view.h"

namespace corvane {
namespace {

TEST(RulesPresenter, EditsGoIntoTheBookAtOnce) {
    RuleBook book;
    Session session;
    session.WorldName = "Practice";
    testing::FakeRulesView view;
    RulesPresenter presenter(view, book, session, {});
    view.setEvents(&presenter);
    presenter.open();
    EXPECT_EQ(view.filterCaption, "This world (Practice)");
    EXPECT_FALSE(view.fieldsEnabled);
    EXPECT_FALSE(view.buttons[RulesView::Button::Delete]);

    presenter.onAdd();
    ASSERT_EQ(book.size(), 1u);
    EXPECT_EQ(book.rule(0).world, "Practice");
    EXPECT_EQ(view.patternError, "The pattern is empty");
    view.shown.pattern = "(\\w+) pages: (.*)";
    view.shown.mode = 2;
    view.shown.send = "page $1=got it";
    presenter.onFieldsEdited();
    EXPECT_EQ(book.rule(0).send, "page $1=got it");
    EXPECT_EQ(view.patternError, "");

    view.shown.pattern = "(broken";
    presenter.onFieldsEdited();
    EXPECT_NE(view.patternError, "");
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_TRUE(view.rows[0].broken);
    view.shown.pattern = "(\\w+) pages: (.*)";
    presenter.onFieldsEdited();

    presenter.onDuplicate();
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(book.rule(1).name, "New rule (copy)");
    EXPECT_TRUE(view.buttons[RulesView::Button::MoveUp]);
    EXPECT_FALSE(view.buttons[RulesView::Button::MoveDown]);
    presenter.onMoveUp();
    EXPECT_EQ(book.rule(0).name, "New rule (copy)");
    EXPECT_EQ(view.selected, 0);

    presenter.onRowToggled(1, false);
    EXPECT_FALSE(book.rule(1).enabled);

    view.test = "Wren pages: hi";
    presenter.onTestEdited();
    EXPECT_EQ(view.testResult.rfind("Trigger \"New rule (copy)\" matches", 0), 0u) << view.testResult;

    // A rule of another world shows only under "All worlds".
    Rule other = book.rule(0);
    other.world = "Elsewhere";
    book.replace(0, other);
    presenter.onFilterChanged(0);
    EXPECT_EQ(view.rows.size(), 1u);
    presenter.onFilterChanged(1);
    EXPECT_EQ(view.rows.size(), 2u);

    presenter.onRowSelected(0);
    presenter.onDelete();
    EXPECT_EQ(book.size(), 1u);
}

} // namespace
} // namespace corvane
