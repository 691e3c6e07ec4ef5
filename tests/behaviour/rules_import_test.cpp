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

// What the imported rules do with one line, as the Test box says it: a
// typed line through the aliases, a received one through the triggers.
std::string importedDoes(const std::string& file, const std::string& line) {
    const RulesImport imported = ImportRulesFile(file);
    RuleBook book;
    book.setRules(imported.rules);
    std::string skipped;
    for (const std::string& why : imported.skipped) {
        skipped += "\n  left out: " + why;
    }
    return RulesPresenter::Describe(book, "Practice", line) + skipped;
}

// File text -> what its rules do with a line (or why a command was left
// out). One row a construct, and one a fault the importers once had.
TEST(RulesImport, TranslatesWhatPlayersWrite) {
    struct Row {
        const char* name;
        std::string file;
        std::string line;
        std::string expected;
    };
    const std::vector<Row> rows = {
        // TinyFugue: /def macros are aliases typed as /name.
        {"tf macro", "/def gs = get %1 from sack%;put %-1 in sack\n", "/gs sword big shield",
         "Alias \"/gs\" sends \"get sword from sack\", \"put big shield in sack\"\n"},
        {"tf macro with all", "/def pp = page %*\n", "/pp Wren=hi there",
         "Alias \"/pp\" sends \"page Wren=hi there\"\n"},
        {"tf macro calling macro", "/def a1 = /a2 x%;say y\n/def a2 = say %1\n", "/a1",
         "Alias \"/a1\" sends \"/a2 x\", \"say y\"\n"},
        {"tf macro braces", "/def w = whisper %{1}=%{-1}\n", "/w Wren psst now",
         "Alias \"/w\" sends \"whisper Wren=psst now\"\n"},
        {"tf macro literal percent", "/def pc = say 100\\%\n", "/pc", "Alias \"/pc\" sends \"say 100%\"\n"},
        {"tf macro dollar", "/def price = say $5 each\n", "/price",
         "Alias \"/price\" sends \"say $5 each\"\n"},
        // Triggers.
        {"tf glob", "/def -t\"* pages: *\" pb = page Wren=got it\n", "Alice pages: hi",
         "Trigger \"pb\" matches \"Alice pages: hi\"\n  sends \"page Wren=got it\"\n  stops here\n"},
        {"tf glob ignores case", "/def -t\"*DRAGON*\" d = flee\n", "a dragon comes",
         "Trigger \"d\" matches \"a dragon comes\"\n  sends \"flee\"\n  stops here\n"},
        {"tf regexp heeds case", "/def -mregexp -t\"DRAGON\" d = flee\n", "a dragon comes",
         "No rule matches."},
        {"tf combined flags", "/def -Fp1 -mregexp -t'^(\\w+) waves' wv = wave %P1\n", "Wren waves",
         "Trigger \"wv\" matches \"Wren waves\", $1 = \"Wren\"\n  sends \"wave Wren\"\n"},
        {"tf flag then trigger", "/def -Ft\"*hungry*\" eat = eat bread\n", "You are hungry.",
         "Trigger \"eat\" matches \"You are hungry.\"\n  sends \"eat bread\"\n"},
        {"tf -P is a regexp", "/def -P0Cred -t\"[0-9]+ gold\" gold\n", "You get 25 gold.",
         "Trigger \"gold\" matches \"25 gold\"\n  colours the match\n  stops here\n"},
        {"tf quoted backslashes", "/def -mregexp -t\"^\\\\(OOC\\\\) (\\\\w+)\" ooc = say %P1\n", "(OOC) Wren",
         "Trigger \"ooc\" matches \"(OOC) Wren\", $1 = \"Wren\"\n  sends \"say Wren\"\n  stops here\n"},
        {"tf body backslashes", "/def -t\"*bell*\" b = say \\[ring\\] 5\\%\n", "a bell",
         "Trigger \"b\" matches \"a bell\"\n  sends \"say [ring] 5%\"\n  stops here\n"},
        {"tf send -w", "/def -t\"*knock*\" k = /send -w open door\n", "knock knock",
         "Trigger \"k\" matches \"knock knock\"\n  sends \"open door\"\n  stops here\n"},
        {"tf set matching", "/set matching=regexp\n/def -t\"^You (\\w+)\" y = say %P1\n", "You win",
         "Trigger \"y\" matches \"You win\", $1 = \"win\"\n  sends \"say win\"\n  stops here\n"},
        {"tf gag", "/gag *advert*\n", "an advert here",
         "Trigger \"*advert*\" matches \"an advert here\"\n  hides the line\n"},
        {"tf 256 colours", "/def -aCrgb530 -t\"*tells you*\" t\n", "Wren tells you hi",
         "Trigger \"t\" matches \"Wren tells you hi\"\n  colours the line\n  stops here\n"},
        {"tf continued lines", "/def -t\"*arrives*\" hi = \\\n    wave%;\\\n    smile\n", "Wren arrives",
         "Trigger \"hi\" matches \"Wren arrives\"\n  sends \"wave\", \"smile\"\n  stops here\n"},
        // Left out with a reason, never guessed.
        {"tf word of line", "/def -t\"* says *\" e = say %2\n", "Wren says hi",
         "Trigger \"e\" matches \"Wren says hi\"\n  runs its script\n  stops here\n"},
        {"tf variable", "/def -t\"*x*\" v = say %{target}\n", "x",
         "Trigger \"v\" matches \"x\"\n  runs its script\n  stops here\n"},
        {"tf other hook", "/def -h\"SEND\" hello = look\n", "x",
         "No rule matches.\n  left out: /def -h\"SEND\" hello = look: is a hook on SEND, which has no event "
         "here"},
        {"tf world hides password", "/addworld Haven Tester s3cret haven.example.org 4201\n", "x",
         "No rule matches.\n  left out: /addworld Haven (haven.example.org 4201): a world, not a rule; add "
         "it in the address book (its password is left out here)"},
        {"tf builtin", "/def -t\"*x*\" c = /quit\n", "x",
         "No rule matches.\n  left out: /def -t\"*x*\" c = /quit: runs the TinyFugue command /quit"},
        // TinTin++.
        {"tt alias words", "#alias {k} {kill %1}\n", "k big orc", "Alias \"k\" sends \"kill big\"\n"},
        {"tt alias pattern", "#alias {pa %1 %2} {page %1=%2}\n", "pa Wren hi there",
         "Alias \"pa %1 %2\" sends \"page Wren=hi there\"\n"},
        {"tt alias two words", "#alias {gv} {give %1 to %2}\n", "gv sword Wren Alice",
         "Alias \"gv\" sends \"give sword to Wren\"\n"},
        {"tt at sign", "#alias {sp} {@spoof %0}\n", "sp waves", "Alias \"sp\" sends \"@spoof waves\"\n"},
        {"tt function", "#action {x} {say @double{2}}\n", "x",
         "No rule matches.\n  left out: #action {x} {say @double{2}}: uses the function @double, which the "
         "importer does not put in a rule yet"},
        {"tt alias dollar", "#alias {price} {say $5}\n", "price", "Alias \"price\" sends \"say $5\"\n"},
        {"tt alias all", "#alias {k} {kill %0}\n", "k orc", "Alias \"k\" sends \"kill orc\"\n"},
        {"tt alias send", "#alias {gg} {#send {get gold};say got it}\n", "gg",
         "Alias \"gg\" sends \"get gold\", \"say got it\"\n"},
        {"tt action", "#action {%1 pages: %2} {page %1=got it}\n", "Wren pages: hi",
         "Trigger \"%1 pages: %2\" matches \"Wren pages: hi\", $1 = \"Wren\", $2 = \"hi\"\n  sends \"page "
         "Wren=got it\"\n"},
        {"tt body on next lines", "#action {^%1 arrives.}\n{\n    wave %1;\n\n    smile\n}\n",
         "Wren arrives.",
         "Trigger \"^%1 arrives.\" matches \"Wren arrives.\", $1 = \"Wren\"\n  sends \"wave Wren\", "
         "\"smile\"\n"},
        {"tt lines without semicolons", "#action {^You are hungry}\n{\n    eat bread\n    drink water\n}\n",
         "You are hungry",
         "Trigger \"^You are hungry\" matches \"You are hungry\"\n  sends \"eat bread\", \"drink water\"\n"},
        {"tt upper-case nop", "#NOP {#action {x} {y}}\n#gag {spam}\n", "x", "No rule matches."},
        {"tt alternation", "#highlight {{dragon|wyrm}} {light orange}\n", "a wyrm flies",
         "Trigger \"{dragon|wyrm}\" matches \"wyrm\", $1 = \"wyrm\"\n  colours the match\n"},
        {"tt colour names", "#highlight {gold} {bold violet}\n", "gold!",
         "Trigger \"gold\" matches \"gold\"\n  colours the match\n"},
        {"tt action heeds case", "#action {Dragon} {flee}\n", "a dragon", "No rule matches."},
        {"tt variable", "#action {x} {say $target}\n", "x", "Trigger \"x\" matches \"x\"\n  runs its script\n"},
        {"tt session", "#session haven haven.example.org 4201\n", "x",
         "No rule matches.\n  left out: #session haven haven.example.org 4201: a world, not a rule; add it "
         "in the address book"},
        {"tt underscore", "#highlight {x} {underscore}\n", "x",
         "No rule matches.\n  left out: #highlight {x} {underscore}: uses underscore, which Corvane cannot "
         "draw"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(importedDoes(row.file, row.line), row.expected) << row.name;
    }
}

// File text -> the Lua an import keeps for what is not a rule.
TEST(RulesImport, VariablesTimersAndHooksBecomeLua) {
    struct Row {
        const char* name;
        std::string file;
        std::string script;
    };
    const std::vector<Row> rows = {
        {"tf set", "/set target=Wren \"the\" Bold\n", "vars[\"target\"] = \"Wren \\\"the\\\" Bold\"\n"},
        {"tf hook", "/def -h\"CONNECT\" hello = look%;/greet Wren\n/def greet = wave %1\n",
         "on(\"connect\", function()\n  send(\"look\", {raw=true})\n  send(\"/greet Wren\")\nend)\n"},
        {"tf repeat", "/repeat -10 i /send idle\n",
         "every(10, function()\n  send(\"idle\", {raw=true})\nend, \"tf-repeat-1\")\n"},
        {"tf repeat in hours and minutes", "/repeat -0:30 i /send idle\n",
         "every(1800, function()\n  send(\"idle\", {raw=true})\nend, \"tf-repeat-1\")\n"},
        {"tf repeat counted", "/repeat -1:00:00 3 save\n",
         "do\n  local left = 3\n  every(3600, function()\n  send(\"save\", {raw=true})\n    left = left - 1\n"
         "    if left <= 0 then cancel(\"tf-repeat-1\") end\n  end, \"tf-repeat-1\")\nend\n"},
        {"tf hook with a condition", "/def -h\"LOGIN\" hi = /if (auto) look%;/endif\n",
         "on(\"login\", function()\nlocal function _tn(v) if type(v) == \"number\" then return v end "
         "v = tostring(v or \"\") local n = v:match(\"^%s*([-+]?%d+%.%d+)\") or v:match(\"^%s*([-+]?%d+)\") "
         "or v:match(\"^%s*([-+]?%.%d+)\") return n and tonumber(n) or 0 end\n"
         "if (_tn(vars[\"auto\"]) ~= 0) then\nsend(\"look\", {raw=true})\nend\nend)\n"},
        {"tt variable", "#variable {target} {Wren}\n", "vars[\"target\"] = \"Wren\"\n"},
        {"tt ticker", "#ticker {save} {save;score} {900}\n",
         "every(900, function()\n  send(\"save\")\n  send(\"score\")\nend, \"save\")\n"},
        {"tt delay", "#delay {5} {score}\n", "after(5, function()\n  send(\"score\")\nend)\n"},
        {"tt event", "#event {SESSION CONNECTED} {look}\n",
         "on(\"connect\", function()\n  send(\"look\")\nend)\n"},
    };
    for (const Row& row : rows) {
        const RulesImport imported = ImportRulesFile(row.file);
        EXPECT_EQ(imported.script, row.script) << row.name;
        EXPECT_TRUE(imported.skipped.empty()) << row.name << ": " << imported.skipped.front();
    }
    // Neither tf -S nor an event TinTin++ alone has is guessed at.
    EXPECT_EQ(ImportRulesFile("/repeat -S 1 look\n").script, "");
    EXPECT_EQ(ImportRulesFile("#event {MAP ENTER ROOM} {look}\n").script, "");
}

TEST(RulesImport, TinyFugueTriggersKeepTheirOrderAndEffects) {
    const std::string file = "; my triggers\n"
                             "/def -t\"* pages: *\" -mglob page_back = page Wren=got it\n"
                             "/def -p5 -mregexp -t'^(\\w+) waves' wave = wave %P1%;smile\n"
                             "/def -F -ag -t\"*spam*\" nospam\n"
                             "/def -aCred -t\"*dragon*\" dragon\n"
                             "/alias gg get gold%;say got it\n";
    const RulesImport imported = ImportTinyFugue(file);
    ASSERT_EQ(imported.rules.size(), 5u);
    EXPECT_TRUE(imported.skipped.empty());
    EXPECT_EQ(imported.rules[0].kind, Rule::Kind::Alias);
    EXPECT_EQ(imported.rules[0].send, "get gold;say got it");
    // -p5 comes first; it stops later triggers, as TinyFugue's do without -F.
    EXPECT_EQ(imported.rules[1].name, "wave");
    EXPECT_TRUE(imported.rules[2].stopHere);
    EXPECT_TRUE(imported.rules[3].gag);
    EXPECT_FALSE(imported.rules[3].stopHere);
    EXPECT_EQ(imported.rules[4].foreground, (Rgb{205, 0, 0}));
    EXPECT_TRUE(takes(imported.rules[2], "Wren pages: hi"));
    EXPECT_FALSE(takes(imported.rules[2], "Wren pages"));
}

TEST(RulesImport, TinTinColourSubstitutions) {
    const RulesImport imported = ImportRulesFile("#substitute {gold} {<118>%0}\n#substitute {damn} {darn}\n");
    ASSERT_EQ(imported.rules.size(), 1u);
    EXPECT_EQ(imported.skipped.size(), 1u);
    EXPECT_EQ(imported.rules[0].foreground, (Rgb{205, 0, 0})); // <118>: bold, red, default background
    EXPECT_TRUE(imported.rules[0].bold);
    EXPECT_EQ(imported.rules[0].colour, Rule::Colour::Match);
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
    Rule alarm;
    alarm.name = "alarm";
    alarm.pattern = "dragon";
    alarm.voicing = Rule::Voicing::Interrupt;
    alarm.voice = "en-b";
    Rule hush;
    hush.pattern = "spam";
    hush.voicing = Rule::Voicing::Silent;
    book.setRules({page, gg, broken, alarm, hush});
    EXPECT_EQ(RulesPresenter::Describe(book, "Practice", "Wren pages: hi"),
              "Trigger \"page back\" matches \"Wren pages: hi\", $1 = \"Wren\", $2 = \"hi\"\n"
              "  sends \"page Wren=got it\"\n  hides the line\n");
    EXPECT_EQ(RulesPresenter::Describe(book, "Practice", "gg"),
              "Alias \"gg\" sends \"get gold\", \"say got it\"\n");
    EXPECT_EQ(RulesPresenter::Describe(book, "Practice", "nothing"), "No rule matches.");
    EXPECT_EQ(RulesPresenter::Describe(book, "Practice", "a dragon spam"),
              "Trigger \"alarm\" matches \"dragon\"\n  speaks the line at once, cutting in (voice \"en-b\")\n"
              "Trigger \"spam\" matches \"spam\"\n  keeps the line from speech\n");
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
    presenter.setVoices([] { return std::vector<VoiceChoice>{{"en-b", "Bob (English)"}}; });
    view.setEvents(&presenter);
    presenter.open();
    EXPECT_EQ(view.filterCaption, "This world (Practice)");
    EXPECT_EQ(view.voices, (std::vector<VoiceChoice>{{"en-b", "Bob (English)"}}));
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

    // Speak, at once and in another voice, goes into the rule and back to the fields.
    presenter.onRowSelected(0);
    view.shown.speech = 2;
    view.shown.voice = "en-b";
    presenter.onFieldsEdited();
    EXPECT_EQ(book.rule(0).voicing, Rule::Voicing::Interrupt);
    EXPECT_EQ(book.rule(0).voice, "en-b");
    presenter.onRowSelected(1);
    EXPECT_EQ(view.shown.speech, 0);
    presenter.onRowSelected(0);
    EXPECT_EQ(view.shown.speech, 2);
    EXPECT_EQ(view.shown.voice, "en-b");

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

TEST(RulesPresenter, ColourNamesAndSeveralRulesDeletedAtOnce) {
    RuleBook book;
    Session session;
    testing::FakeRulesView view;
    RulesPresenter presenter(view, book, session, {});
    view.setEvents(&presenter);
    presenter.open();
    for (int i = 0; i < 4; ++i) {
        presenter.onAdd();
    }
    presenter.onRowSelected(0);
    view.shown.pattern = "dragon";
    view.shown.foreground = "Yellow";
    view.shown.background = "#000080";
    presenter.onFieldsEdited();
    EXPECT_EQ(book.rule(0).foreground, (Rgb{205, 205, 0}));
    EXPECT_EQ(view.patternError, "");
    // A name it does not know is refused, and the colour stays what it was.
    view.shown.foreground = "yelow";
    presenter.onFieldsEdited();
    EXPECT_EQ(book.rule(0).foreground, (Rgb{205, 205, 0}));
    EXPECT_EQ(
        view.patternError,
        "\"yelow\" is no text colour Corvane knows: type a name such as yellow or light blue, or #rrggbb.");
    view.shown.foreground = "light blue";
    presenter.onFieldsEdited();
    EXPECT_EQ(book.rule(0).foreground, (Rgb{92, 92, 255}));
    EXPECT_EQ(view.patternError, "");

    view.chosen = {1, 3};
    presenter.onDelete();
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(book.rule(0).pattern, "dragon");
    EXPECT_EQ(view.rows.size(), 2u);
}

} // namespace
} // namespace corvane
