#include "behaviour/logged_in_client.h"
#include "fakes/fake_rules_view.h"
#include "rules/key_bindings.h"
#include "rules/rules_file.h"
#include "rules/rules_import.h"
#include "rules/rules_presenter.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using testing::LoggedInClient;

// A key's name as written → its one spelling, or the start of the refusal.
TEST(KeyNames, WrittenNamesAreSpelledOneWayAndTakenKeysAreRefusedByWhatHoldsThem) {
    struct Row {
        const char* typed;
        const char* key;
        const char* refusal;
    };
    const std::vector<Row> rows = {
        {"KP8", "KP8", ""},
        {"kp5", "KP5", ""},
        {"KP+", "KP+", ""},
        {"Ctrl+KP-", "Ctrl+KP-", ""},
        {"f9", "F9", ""},
        {"ctrl+f9", "Ctrl+F9", ""},
        {"Shift+Alt+K", "Alt+Shift+K", ""},
        {"alt-x", "Alt+X", ""},
        {"C-k", "Ctrl+K", ""},
        {"Ctrl+Shift+B", "Ctrl+Shift+B", ""},
        {"F7", "F7", ""},
        {"x", "", "X types a character in the input line"},
        {"Shift+A", "", "Shift+A types a character"},
        {"F13", "", "\"F13\" is no key Corvane binds"},
        {"Up", "", "\"Up\" is no key Corvane binds"},
        {"Ctrl", "", "\"Ctrl\" is no key Corvane binds"},
        {"", "", "\"\" names no key"},
        {"Hyper+K", "", "\"Hyper+K\" is no key Corvane binds (write it as Ctrl+Alt+X)"},
        {"F6", "", "F6 is taken by Edit > Triggers and Aliases"},
        {"F2", "", "F2 is taken by File > Connect to a MUD"},
        {"Alt+F", "", "Alt+F is taken by the File menu"},
        {"Alt+C", "", "Alt+C is taken by the Connect button"},
        {"alt+3", "", "Alt+3 is taken by the User 3 button"},
        {"Ctrl+1", "", "Ctrl+1 is taken by speech"},
        {"F12", "", "F12 is taken by speech"},
        {"Ctrl+R", "", "Ctrl+R is taken by Game > Reconnect"},
        {"Ctrl+V", "", "Ctrl+V is taken by the input line (paste)"},
    };
    for (const Row& row : rows) {
        std::string key;
        const std::string refusal = KeyBindings::Check(row.typed, key);
        EXPECT_EQ(key, row.key) << row.typed;
        EXPECT_EQ(refusal.substr(0, std::string(row.refusal).size()), row.refusal) << row.typed << ": " << refusal;
        EXPECT_EQ(refusal.empty(), std::string(row.refusal).empty()) << row.typed;
    }
}

Rule keyRule(const std::string& key, const std::string& send, const std::string& script = {},
             const std::string& world = {}) {
    Rule rule;
    rule.kind = Rule::Kind::Key;
    rule.pattern = key;
    rule.send = send;
    rule.script = script;
    rule.world = world;
    return rule;
}

// Rules, scripts and the keypad option in; a key pressed; what went to the world and the output.
TEST(KeyBindingsClient, KeysSendCommandsOrRunLuaAndOnlyWhatIsBound) {
    struct Row {
        const char* name;
        std::vector<Rule> rules;
        bool keypadMoves;
        std::string lua;
        std::string key;
        bool taken;
        std::string sent;
        std::string shown;
    };
    const std::vector<Row> rows = {
        {"nothing bound: the key types as before", {}, false, "", "KP8", false, "", ""},
        {"keypad moves", {}, true, "", "KP8", true, "north\r\n", ""},
        {"keypad 5 looks", {}, true, "", "KP5", true, "look\r\n", ""},
        {"keypad minus goes up", {}, true, "", "KP-", true, "up\r\n", ""},
        {"a key rule wins over keypad moves", {keyRule("kp8", "n;n")}, true, "", "KP8", true, "n\r\nn\r\n", ""},
        {"a key rule goes through the aliases", {keyRule("F9", "k orc")}, false, "", "F9", true, "kill orc\r\n", ""},
        {"a key rule runs Lua", {keyRule("Ctrl+K", "", "send('score'); echo('scored')")}, false, "", "Ctrl+K",
         true, "score\r\n", "scored"},
        {"a key rule of another world is not this world's", {keyRule("F9", "score", "", "Elsewhere")}, false, "",
         "F9", false, "", ""},
        {"a taken key is never bound, even by a rule", {keyRule("F6", "score")}, false, "", "F6", false, "", ""},
        {"bind a command from Lua", {}, false, "bind('F8', 'inventory')", "F8", true, "inventory\r\n", ""},
        {"bind a function from Lua", {}, false, "bind('alt+k', function() send('kick ' .. vars.foe) end)",
         "Alt+K", true, "kick orc\r\n", ""},
        {"a script's binding wins over a rule", {keyRule("F8", "rule")}, false, "bind('F8', 'script')", "F8",
         true, "script\r\n", ""},
        {"binding again replaces", {}, false, "bind('F8', function() send('one') end) bind('F8', 'two')", "F8",
         true, "two\r\n", ""},
        {"bind of a taken key is refused naming its holder", {}, false,
         "local ok, e = pcall(bind, 'F5', 'x') echo(e)", "F5", false, "",
         "bind: F5 is taken by Edit > User Macros"},
        {"bind of no key", {}, false, "local ok, e = pcall(bind, 'q', 'x') echo(e)", "", false, "",
         "bind: Q types a character"},
    };
    for (const Row& row : rows) {
        LoggedInClient c;
        c.logIn();
        Rule k;
        k.kind = Rule::Kind::Alias;
        k.pattern = "k";
        k.send = "kill %1";
        std::vector<Rule> rules = row.rules;
        rules.push_back(k);
        c.h->client.rules().book().setRules(rules);
        c.h->client.settings().Play.set(PlayOption::KeypadMoves, row.keypadMoves);
        c.h->client.scripts().runLua("vars.foe = 'orc'");
        if (!row.lua.empty()) {
            c.h->client.scripts().runLua(row.lua);
        }
        c.h->socket.sent.clear();
        if (!row.key.empty()) {
            EXPECT_EQ(c.h->client.onBoundKey(row.key), row.taken) << row.name;
        }
        c.h->clock.advance(std::chrono::milliseconds(1));
        EXPECT_EQ(c.h->socket.allSent(), row.sent) << row.name;
        EXPECT_NE(c.h->window.output.find(row.shown), std::string::npos) << row.name << ": " << c.h->window.output;
        EXPECT_EQ(c.h->window.output.find("Lua error"), std::string::npos) << row.name << ": " << c.h->window.output;
    }
}

TEST(KeyBindingsClient, AScriptsBindingsGoWithItsConnectionAndNothingIsSentUnconnected) {
    LoggedInClient c;
    c.logIn();
    c.h->client.settings().Play.set(PlayOption::KeypadMoves, true);
    c.h->client.scripts().runLua("bind('F8', function() send('hi') end)");
    c.h->client.connection().DisconnectFromWorld();
    c.h->clock.runPending();
    EXPECT_FALSE(c.h->client.onBoundKey("F8"));
    EXPECT_FALSE(c.h->client.onBoundKey("KP8")) << "unconnected, the keypad types";
    ASSERT_EQ(c.h->client.startLoggedIn("Practice", "Tester"), std::nullopt);
    c.h->socket.accept();
    c.h->socket.sent.clear();
    EXPECT_FALSE(c.h->client.onBoundKey("F8")) << "the old state's function is gone";
    EXPECT_TRUE(c.h->client.onBoundKey("KP2"));
    EXPECT_EQ(c.h->socket.allSent(), "south\r\n");
}

TEST(KeyBindingsEditor, AKeyRuleIsEditedSavedAndSaysWhyAKeyIsTaken) {
    RuleBook book;
    book.setRules({keyRule("F9", "score")});
    Session session;
    testing::FakeRulesView view;
    RulesPresenter presenter(view, book, session, {});
    view.setEvents(&presenter);
    presenter.open();
    presenter.onFilterChanged(1);
    presenter.onRowSelected(0);
    EXPECT_EQ(view.shown.kind, 2);
    EXPECT_EQ(view.patternError, "");
    view.shown.pattern = "F4";
    presenter.onFieldsEdited();
    EXPECT_EQ(view.patternError, "F4 is taken by Edit > Preferences");
    view.shown.pattern = "Ctrl+F9";
    presenter.onFieldsEdited();
    EXPECT_EQ(view.patternError, "");
    EXPECT_EQ(book.rule(0).kind, Rule::Kind::Key);
    EXPECT_EQ(RulesPresenter::Describe(book, "Practice", "ctrl+f9"), "Key \"Ctrl+F9\" sends \"score\"\n");

    std::string error;
    const auto back = RulesFile::FromJson(RulesFile::ToJson(book.rules()), error);
    ASSERT_TRUE(back.has_value()) << error;
    ASSERT_EQ(back->size(), 1u);
    EXPECT_EQ((*back)[0], book.rule(0));
}

// tf /bind and tt++ #macro → the key rule, or why it was left out.
TEST(KeyBindingsImport, TfBindAndTinTinMacroBecomeKeyRules) {
    struct Row {
        const char* name;
        std::string file;
        std::string described;
        std::string skipped;
    };
    const std::vector<Row> rows = {
        {"tf keypad", "/bind ^[Ox = north\n", "KP8", "Key \"KP8\" sends \"north\"\n"},
        {"tf function key, two commands", "/bind ^[[20~ = score%;inventory\n", "F9",
         "Key \"F9\" sends \"score\", \"inventory\"\n"},
        {"tf meta key", "/bind ^[k = kick\n", "Alt+K", "Key \"Alt+K\" sends \"kick\"\n"},
        {"tf control key", "/bind ^K = /send kill\n", "Ctrl+K", "Key \"Ctrl+K\" sends \"kill\"\n"},
        {"tf /def -b", "/def -b'^[Or' go_south = south\n", "KP2", "Key \"KP2\" sends \"south\"\n"},
        {"tf taken key", "/bind ^[l = look\n", "", "binds Alt+L is taken by the OpenLog button"},
        {"tf dokey", "/bind ^[Ox = /dokey redraw\n", "", "(/dokey)"},
        {"tf arrow", "/bind ^[[A = north\n", "", "a key Corvane cannot bind"},
        {"tt++ keypad", "#macro {\\eOx} {north}\n", "KP8", "Key \"KP8\" sends \"north\"\n"},
        {"tt++ function key, two commands", "#macro {\\e[21~} {score;inventory}\n", "F10",
         "Key \"F10\" sends \"score\", \"inventory\"\n"},
        {"tt++ speech key", "#macro {\\e[24~} {score}\n", "", "binds F12 is taken by speech"},
    };
    for (const Row& row : rows) {
        const RulesImport imported = ImportRulesFile(row.file);
        std::string skipped;
        for (const std::string& why : imported.skipped) {
            skipped += why + "\n";
        }
        if (std::string(row.described).empty()) {
            EXPECT_TRUE(imported.rules.empty()) << row.name;
            EXPECT_NE(skipped.find(row.skipped), std::string::npos) << row.name << ": " << skipped;
            continue;
        }
        RuleBook book;
        book.setRules(imported.rules);
        EXPECT_EQ(RulesPresenter::Describe(book, "Practice", row.described), row.skipped) << row.name << skipped;
    }
}

} // namespace
} // namespace corvane
