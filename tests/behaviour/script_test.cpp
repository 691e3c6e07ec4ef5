#include "behaviour/logged_in_client.h"
#include "fakes/fake_rules_view.h"
#include "fakes/fake_speech.h"
#include "rules/rules_presenter.h"
#include "fakes/fake_preferences_view.h"
#include "shell/play_page.h"
#include "rules/imported_scripts.h"
#include "script/lua_state.h"
#include "fakes/telnet_bytes.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <sys/stat.h>

namespace corvane {
namespace {

using testing::LoggedInClient;

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override { c.logIn(); }
    void lua(const std::string& code) {
        c.h->client.scripts().runLua(code);
        c.h->clock.advance(std::chrono::milliseconds(1));
    }
    void receive(const std::string& bytes) {
        c.h->socket.receive(bytes);
        c.h->clock.advance(std::chrono::milliseconds(50));
    }
    std::string sent() const { return c.h->socket.allSent(); }
    const std::string& output() const { return c.h->window.output; }
    void fresh() {
        c.h->socket.sent.clear();
        c.h->clearOutput();
    }
    void reconnect() {
        c.h->client.connection().DisconnectFromWorld();
        c.h->clock.runPending();
        ASSERT_EQ(c.h->client.startLoggedIn("Practice", "Tester"), std::nullopt);
        c.h->socket.accept();
        c.h->clock.advance(std::chrono::milliseconds(1));
    }

    LoggedInClient c;
};

Rule scriptRule(Rule::Kind kind, std::string pattern, MatchMode mode, std::string script) {
    Rule rule;
    rule.kind = kind;
    rule.pattern = std::move(pattern);
    rule.mode = mode;
    rule.script = std::move(script);
    return rule;
}

std::string gmcpFromWorld(const std::string& message) {
    return testing::IAC + testing::SB + "\xC9" + message + testing::IAC + testing::SE;
}

TEST_F(ScriptTest, LuaTextInBytesSentAndLinesShownOut) {
    struct Case {
        std::string name;
        std::string code;
        std::string received;
        std::string sent;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"send", "send('hello')", "", "hello\r\n", ""},
        {"send of two lines", "send('a\\nb')", "", "a\r\nb\r\n", ""},
        {"send goes through aliases", "send('k orc')", "", "kill orc\r\n", ""},
        {"raw send skips them", "send('k orc', {raw=true})", "", "k orc\r\n", ""},
        {"echo is never sent", "echo('only for you')", "", "", "only for you"},
        {"print joins with tabs", "print('a', 1, true)", "", "", "a\t1\ttrue"},
        {"world names the world", "send(world.name .. ' ' .. world.character .. ' ' .. world.server)", "",
         "Practice Tester MUCK\r\n", ""},
        {"line event sees received lines", "on('line', function(l) if l:find('tells you') then send('got it') end end)",
         "Wren tells you: hi\r\n", "got it\r\n", "Wren tells you: hi"},
        {"line event gags", "on('line', function(l) if l:find('spam') then gag() end end)", "spam spam\r\nham\r\n",
         "", "ham"},
        {"line event replaces", "on('line', function(l) if l == 'old' then replace('new') end end)", "old\r\n", "",
         "new"},
        {"room event gives its id as a whole number",
         "on('room', function(name, id) send(name .. ' ' .. id .. ' ' .. math.type(id)) end)",
         gmcpFromWorld(R"(Room.Info {"num":165,"name":"North Road"})"), "North Road 165 integer\r\n", ""},
        {"gmcp event gives whole numbers as such",
         "on('gmcp', function(name, v) send(name .. ' ' .. v.hp .. ' ' .. math.type(v.hp)) end)",
         gmcpFromWorld(R"(Char.Vitals {"hp":8})"), "Char.Vitals 8 integer\r\n", ""},
        {"os keeps only time", "send(type(os.time()) .. ' ' .. tostring(os.execute))", "", "number nil\r\n", ""},
        {"string and table are there", "send(table.concat({string.upper('a'), utf8.char(98), math.floor(2.5)}, ','))",
         "", "A,b,2\r\n", ""},
    };
    for (const Case& row : cases) {
        SetUp();
        Rule k;
        k.kind = Rule::Kind::Alias;
        k.pattern = "k";
        k.send = "kill %1";
        c.h->client.rules().book().setRules({k});
        c.h->client.lineProcessor().telnet().setAccepted(telnet_option::Gmcp, TelnetFilter::Side::Remote, true);
        receive(testing::IAC + testing::WILL + "\xC9");
        fresh();
        lua(row.code);
        if (!row.received.empty()) {
            receive(row.received);
        }
        EXPECT_EQ(sent(), row.sent) << row.name;
        EXPECT_NE(output().find(row.shown), std::string::npos) << row.name << ": " << output();
        EXPECT_EQ(output().find("Lua error"), std::string::npos) << row.name << ": " << output();
    }
}

TEST_F(ScriptTest, SandboxLeavesOutFilesProgramsAndBinaryChunks) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"io.open('/etc/passwd')", "global 'io'"},
        {"os.execute('true')", "field 'execute'"},
        {"require('socket')", "global 'require'"},
        {"dofile('/etc/passwd')", "global 'dofile'"},
        {"loadfile('/etc/passwd')", "global 'loadfile'"},
        {"debug.getinfo(1)", "global 'debug'"},
        {"package.loadlib('x', 'y')", "global 'package'"},
        {"string.dump(print)", "field 'dump'"},
        {"assert(load('\\27Lua'))()", "attempt to load a binary chunk"},
    };
    for (const auto& [code, message] : cases) {
        fresh();
        lua(code);
        EXPECT_NE(output().find("*** Lua error: input:1:"), std::string::npos) << code << ": " << output();
        EXPECT_NE(output().find(message), std::string::npos) << code << ": " << output();
    }
}

TEST_F(ScriptTest, BadInputGetsOneLineAndTheClientGoesOn) {
    struct Case {
        std::string name;
        std::string code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"endless loop", "\nwhile true do end", "input:2: script ran over 100 ms and was stopped"},
        {"loop that catches its stop", "while true do pcall(function() while true do end end) end",
         "script ran over 100 ms and was stopped"},
        // On a loaded machine the time limit may come first.
        {"deep recursion", "local function f(n) return f(n + 1) + 1 end f(1)", "stack overflow|ran over 100 ms"},
        {"string.rep bomb", "local s = string.rep('x', 1e9)", "script used more than 64 MiB and was stopped"},
        {"growing table", "local t = {} for i = 1, 1e9 do t[i] = string.rep('y', 100000) .. i end",
         "script used more than 64 MiB and was stopped"},
        {"timer every 0 ms", "every(0, function() end)", "input:1: every(0): an interval under 0.1 seconds is refused"},
        {"error names file and line", "\n\nerror('boom')", "input:3: boom"},
        {"gag outside a line", "gag()", "gag() works only in a trigger or a \"line\" event"},
        {"unknown event", "on('tick', print)", "on: no event \"tick\""},
        {"bad colour", "echo('x', 'plaid')", "\"plaid\" is not a colour"},
        {"syntax error", "send(", "input:1:"},
    };
    for (const Case& row : cases) {
        fresh();
        const auto started = std::chrono::steady_clock::now();
        lua(row.code);
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_LT(took, std::chrono::seconds(5)) << row.name;
        const std::size_t at = output().find("*** Lua error: ");
        ASSERT_NE(at, std::string::npos) << row.name;
        const std::size_t bar = row.message.find('|');
        EXPECT_TRUE(output().find(row.message.substr(0, bar)) != std::string::npos ||
                    (bar != std::string::npos && output().find(row.message.substr(bar + 1)) != std::string::npos))
            << row.name << ": " << output();
        EXPECT_EQ(output().find("*** Lua error: ", at + 1), std::string::npos) << row.name << ": more than one line";
        EXPECT_EQ(output().find("input:1: input:1:"), std::string::npos) << row.name << ": " << output();
        EXPECT_LE(c.h->client.scripts().world()->memoryUsed(), LuaState::kMemoryLimit) << row.name;
        // The state still works, and a typed line still goes out.
        fresh();
        lua("send('still here')");
        c.h->type("look");
        EXPECT_EQ(sent(), "still here\r\nlook\r\n") << row.name;
    }
}

TEST_F(ScriptTest, SendingInALoopIsStoppedByTheRunawayGuard) {
    fresh();
    lua("for i = 1, 1000 do send('spam') end");
    std::size_t count = 0;
    for (std::size_t at = sent().find("spam"); at != std::string::npos; at = sent().find("spam", at + 1)) {
        ++count;
    }
    EXPECT_EQ(count, 20u);
    EXPECT_NE(output().find("*** Triggers stopped sending: more than 20 commands a second"), std::string::npos);
    c.h->socket.sent.clear();
    c.h->type("look");
    EXPECT_EQ(sent(), "look\r\n");
}

TEST_F(ScriptTest, TimersFireOnTimeRepeatByNameAndCancel) {
    fresh();
    lua("after(2, function() send('later') end)\n"
        "tick = every(1, function() send('tick') end, 'pulse')\n"
        "every(1, function() send('tock') end, 'pulse')\n"
        "once = after(3, function() send('never') end) once:cancel()");
    c.h->clock.advance(std::chrono::milliseconds(990));
    EXPECT_EQ(sent(), "");
    c.h->clock.advance(std::chrono::milliseconds(20));
    // The second "pulse" replaced the first.
    EXPECT_EQ(sent(), "tock\r\n");
    c.h->clock.advance(std::chrono::milliseconds(1000));
    EXPECT_EQ(sent(), "tock\r\nlater\r\ntock\r\n");
    EXPECT_EQ(c.h->client.scripts().world()->timers().size(), 1u);
    lua("cancel('pulse')");
    c.h->clock.advance(std::chrono::seconds(5));
    EXPECT_EQ(sent(), "tock\r\nlater\r\ntock\r\n");
    EXPECT_TRUE(c.h->client.scripts().world()->timers().empty());
    // Timers end with the connection.
    lua("every(1, function() send('tick') end)");
    c.h->client.connection().DisconnectFromWorld();
    c.h->socket.sent.clear();
    c.h->clock.advance(std::chrono::seconds(5));
    EXPECT_EQ(sent(), "");
}

TEST_F(ScriptTest, FailingTickerStopsWithOneLine) {
    fresh();
    lua("every(1, function() error('bad tick') end, 'bad')");
    c.h->clock.advance(std::chrono::seconds(5));
    EXPECT_NE(output().find("input:1: bad tick (timer \"bad\" stopped)"), std::string::npos) << output();
    EXPECT_EQ(output().find("bad tick", output().find("bad tick") + 1), std::string::npos);
}

TEST_F(ScriptTest, RulesRunLuaWithTheirMatch) {
    struct Case {
        std::string name;
        Rule rule;
        std::string received;
        std::string typed;
        std::string sent;
        std::string shown;
        std::string hidden;
    };
    const std::vector<Case> cases = {
        {"trigger groups by number and name",
         scriptRule(Rule::Kind::Trigger, "(?<who>\\w+) pages: (.*)", MatchMode::Regex,
                    "send('page ' .. matches.who .. '=got ' .. matches[2])"),
         "Wren pages: hello\r\n", "", "page Wren=got hello\r\n", "Wren pages: hello", ""},
        {"trigger with a condition", scriptRule(Rule::Kind::Trigger, "HP: (\\d+)", MatchMode::Regex,
                                                "if tonumber(matches[1]) < 50 then send('quaff') end"),
         "HP: 20\r\nHP: 90\r\n", "", "quaff\r\n", "HP: 90", ""},
        {"trigger gags", scriptRule(Rule::Kind::Trigger, "noise", MatchMode::Plain, "gag()"),
         "some noise here\r\nquiet\r\n", "", "", "quiet", "noise"},
        {"trigger replaces", scriptRule(Rule::Kind::Trigger, "dragon", MatchMode::Plain, "replace('A DRAGON!')"),
         "a dragon\r\n", "", "", "A DRAGON!", "a dragon"},
        {"trigger keeps vars", scriptRule(Rule::Kind::Trigger, "kill", MatchMode::Words,
                                          "vars.kills = (vars.kills or 0) + 1 send('kills ' .. vars.kills)"),
         "kill\r\nkill\r\n", "", "kills 1\r\nkills 2\r\n", "", ""},
        {"alias with words", scriptRule(Rule::Kind::Alias, "pa", MatchMode::Plain,
                                        "send('page ' .. matches[1] .. '=' .. matches.rest:sub(#matches[1] + 2))"),
         "", "pa Wren hi there", "page Wren=hi there\r\n", "", ""},
        {"alias with several sends", scriptRule(Rule::Kind::Alias, "^go (\\w+)$", MatchMode::Regex,
                                                "for i = 1, 3 do send(matches[1]) end"),
         "", "go north", "north\r\nnorth\r\nnorth\r\n", "", ""},
    };
    for (const Case& row : cases) {
        c.h->client.rules().book().setRules({row.rule});
        fresh();
        if (!row.received.empty()) {
            receive(row.received);
        }
        if (!row.typed.empty()) {
            c.h->type(row.typed);
        }
        EXPECT_EQ(sent(), row.sent) << row.name;
        EXPECT_NE(output().find(row.shown), std::string::npos) << row.name << ": " << output();
        if (!row.hidden.empty()) {
            EXPECT_EQ(output().find(row.hidden), std::string::npos) << row.name << ": " << output();
        }
        EXPECT_EQ(output().find("Lua error"), std::string::npos) << row.name << ": " << output();
    }
}

TEST_F(ScriptTest, ARulesScriptErrorNamesTheRuleAndKeepsTheLine) {
    Rule rule = scriptRule(Rule::Kind::Trigger, "boom", MatchMode::Plain, "\nlocal x = nil + 1");
    rule.name = "Bomb";
    rule.send = "duck";
    c.h->client.rules().book().setRules({rule});
    fresh();
    receive("boom goes the line\r\n");
    EXPECT_EQ(sent(), "duck\r\n");
    EXPECT_NE(output().find("boom goes the line"), std::string::npos);
    EXPECT_NE(output().find("*** Lua error: trigger Bomb:2: attempt to perform arithmetic"), std::string::npos)
        << output();
}

TEST_F(ScriptTest, VarsAreSavedPrivatelyAndComeBackAtConnect) {
    lua("vars.hp = 42 vars.name = 'Wren' vars.list = {1, 2, 3} vars.fn = print");
    reconnect();
    const std::string path = c.h->client.scripts().varsPath("Practice");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0) << path;
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    fresh();
    lua("send(vars.hp .. ' ' .. vars.name .. ' ' .. #vars.list .. ' ' .. tostring(vars.fn))");
    EXPECT_EQ(sent(), "42 Wren 3 nil\r\n");
    // The Variables view edits them.
    c.h->client.scripts().world()->setVariable("hp", "7");
    c.h->client.scripts().world()->setVariable("name", "");
    fresh();
    lua("send(vars.hp + 1 .. ' ' .. tostring(vars.name))");
    EXPECT_EQ(sent(), "8 nil\r\n");
}

TEST_F(ScriptTest, AnUnreadableVarsFileIsNeverWrittenOver) {
    const std::string path = c.h->client.scripts().varsPath("Practice");
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    c.folder.write("corvane-scripts/Practice.vars.json", "{not json");
    reconnect();
    EXPECT_NE(output().find("could not be read"), std::string::npos) << output();
    lua("vars.hp = 1");
    c.h->client.connection().DisconnectFromWorld();
    std::ifstream file(path);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "{not json");
}

TEST_F(ScriptTest, ImportedScriptsThenTheWorldsScriptRunAtConnectWithEvents) {
    std::string reason;
    const ImportedScripts imports = ImportedScripts::Beside(c.ini);
    ASSERT_TRUE(imports.store("/home/p/.tfrc", "order = (order or '') .. 'import '", reason)) << reason;
    c.folder.write("corvane-scripts/Practice.lua",
                   "order = order .. 'world'\n"
                   "on('connect', function() send('hello ' .. order) end)\n"
                   "on('login', function() send('in as ' .. world.character) end)\n"
                   "on('disconnect', function() vars.left = true end)\n");
    c.h->socket.sent.clear();
    reconnect();
    EXPECT_NE(sent().find("hello import world\r\n"), std::string::npos) << sent();
    EXPECT_NE(sent().find("in as Tester\r\n"), std::string::npos) << sent();
    // Importing the same file again replaces its script.
    ASSERT_TRUE(imports.store("/home/p/.tfrc", "order = 'again '", reason));
    std::vector<std::string> problems;
    ASSERT_EQ(imports.load(problems).size(), 1u);
    EXPECT_EQ(imports.load(problems)[0].source, "/home/p/.tfrc");
    c.h->socket.sent.clear();
    reconnect();
    EXPECT_NE(sent().find("hello again world\r\n"), std::string::npos) << sent();
    lua("send(tostring(vars.left))");
    EXPECT_NE(sent().find("true\r\n"), std::string::npos);
}

TEST_F(ScriptTest, AHugeScriptFileIsReportedNotRun) {
    std::filesystem::create_directories(c.folder.file("corvane-scripts"));
    {
        std::ofstream file(c.folder.file("corvane-scripts/Practice.lua"));
    }
    std::filesystem::resize_file(c.folder.file("corvane-scripts/Practice.lua"), 100u * 1024 * 1024);
    fresh();
    reconnect();
    EXPECT_NE(output().find("more than 4 MiB of script; not run"), std::string::npos) << output();
    c.h->socket.sent.clear();
    c.h->type("look");
    EXPECT_EQ(sent(), "look\r\n");
}

TEST_F(ScriptTest, ClientCommandsInTheInputLine) {
    struct Case {
        std::string prefix;
        std::vector<std::string> typed;
        std::string sent;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"", {"/set hp 5"}, "/set hp 5\r\n", ""},
        {"", {"#echo hi"}, "#echo hi\r\n", ""},
        {"/", {"/set hp 5", "/lua send('hp ' .. vars.hp + 1)"}, "hp 6\r\n", ""},
        {"/", {"//me waves"}, "/me waves\r\n", ""},
        {"/", {"/echo just for me"}, "", "just for me"},
        {"/", {"/send {look at me}"}, "look at me\r\n", ""},
        {"#", {"#var hp 5"}, "", "*** Unknown command #var"},
        {"#", {"#set hp 30", "#if (hp < 50) quaff", "#if (hp > 50) never"}, "quaff\r\n", ""},
        {"#", {"#set hp 30", "#if {hp < 50} #send {drink potion}"}, "drink potion\r\n", ""},
        {"/", {"/alias {pa} {page %1=%2}", "pa Wren hi"}, "page Wren=hi\r\n", "*** Alias pa added"},
        {"/", {"/trigger {You are hungry} {eat bread}"}, "", "*** Trigger You are hungry added"},
        {"/", {"/set who Wren", "/vars"}, "", "who = Wren"},
        {"/", {"/after 2 sit", "/timers"}, "", "after 2 s"},
        {"/", {"/unset nothing", "/cancel nothing"}, "", "*** No timer nothing"},
        {"#", {"#$#mcp-negotiate-can"}, "#$#mcp-negotiate-can\r\n", ""},
    };
    for (const Case& row : cases) {
        SetUp();
        c.h->client.settings().Play.commandPrefix = row.prefix;
        fresh();
        for (const std::string& line : row.typed) {
            c.h->type(line);
        }
        c.h->clock.advance(std::chrono::milliseconds(1));
        EXPECT_EQ(sent(), row.sent) << row.typed.front();
        EXPECT_NE(output().find(row.shown), std::string::npos) << row.typed.front() << ": " << output();
    }
}

TEST_F(ScriptTest, SpeakGoesThroughTheClientsSpeechWithItsVoiceAndUrgency) {
    testing::FakeSpeech engine;
    c.h->client.setSpeech(&engine);
    c.h->client.settings().Play.commandPrefix = "/";
    fresh();
    c.h->type("/lua speak('first')");
    c.h->type("/lua speak('low on health', {interrupt = true, voice = 'alert'})");
    c.h->type("/lua speak('x', {voice = 3})");
    c.h->clock.advance(std::chrono::milliseconds(1));
    engine.finishAll();
    EXPECT_EQ(engine.said, (std::vector<std::string>{"first", "low on health"}));
    EXPECT_GE(engine.stops, 1) << "the urgent line cuts in";
    EXPECT_EQ(engine.voices_.back(), "alert");
    EXPECT_NE(output().find("voice must be a voice's name"), std::string::npos) << output();
    c.h->client.setSpeech(nullptr);
}

TEST_F(ScriptTest, RepeatAndAfterCommandsSendOnTime) {
    c.h->client.settings().Play.commandPrefix = "/";
    fresh();
    c.h->type("/repeat 1 3 ponder");
    c.h->type("/after 1.5 stand");
    c.h->clock.advance(std::chrono::seconds(10));
    EXPECT_EQ(sent(), "ponder\r\nstand\r\nponder\r\nponder\r\n");
    EXPECT_TRUE(c.h->client.scripts().world()->timers().empty());
}

TEST_F(ScriptTest, LoadCommandImportsAFileWithItsScript) {
    c.h->client.settings().Play.commandPrefix = "/";
    c.folder.write("mine.tf", "/def -t\"You are hungry\" eat = eat bread\n");
    fresh();
    c.h->type("/load " + c.folder.file("mine.tf"));
    c.h->clock.advance(std::chrono::milliseconds(1));
    EXPECT_NE(output().find("Added 1 triggers and aliases"), std::string::npos) << output();
    receive("You are hungry\r\n");
    EXPECT_EQ(sent(), "eat bread\r\n");
}

TEST(ScriptRulesEditor, ScriptErrorsShowAsYouTypeAndTheSourceStays) {
    RuleBook book;
    Rule imported;
    imported.pattern = "hungry";
    imported.source = "/home/p/.tfrc";
    book.setRules({imported});
    Session session;
    testing::FakeRulesView view;
    RulesPresenter presenter(view, book, session, {});
    presenter.setScriptCheck([](const std::string& script, const std::string& name) {
        return LuaState::Compile(script, "rule " + name);
    });
    view.setEvents(&presenter);
    presenter.open();
    presenter.onFilterChanged(1);
    presenter.onRowSelected(0);
    view.shown.script = "if vars.hp < 5 then";
    presenter.onFieldsEdited();
    EXPECT_NE(view.scriptError.find("rule hungry:1:"), std::string::npos) << view.scriptError;
    view.shown.script = "if vars.hp < 5 then send('eat') end";
    presenter.onFieldsEdited();
    EXPECT_EQ(view.scriptError, "");
    EXPECT_EQ(book.rule(0).script, "if vars.hp < 5 then send('eat') end");
    EXPECT_EQ(book.rule(0).source, "/home/p/.tfrc");
}

TEST(ScriptPlayPage, ClientCommandsPrefixIsChosenOnThePlayPageAndKept) {
    testing::ScratchFolder folder;
    const std::string ini = folder.file("CORVANE.INI");
    folder.write("CORVANE.INI", "[Corvane]\r\n");
    EXPECT_EQ(ReadPlayOptions(ini).commandPrefix, "") << "off by default";
    PlayOptions options;
    testing::FakePreferencesView view;
    PlayPage page(view, options);
    page.load();
    EXPECT_EQ(view.commandPrefix, 0);
    view.commandPrefix = 2;
    page.apply();
    page.write(ini);
    EXPECT_EQ(options.commandPrefix, "#");
    EXPECT_EQ(ReadPlayOptions(ini).commandPrefix, "#");
    view.commandPrefix = 0;
    page.apply();
    page.write(ini);
    EXPECT_EQ(ReadPlayOptions(ini).commandPrefix, "");
}

TEST(LuaCompile, SyntaxErrorsAreFoundWithoutRunning) {
    EXPECT_EQ(LuaState::Compile("send('x')", "trigger a"), "");
    EXPECT_EQ(LuaState::Compile("while true do end", "trigger a"), "");
    EXPECT_NE(LuaState::Compile("if x then", "trigger a").find("trigger a:1:"), std::string::npos);
}

} // namespace
} // namespace corvane
