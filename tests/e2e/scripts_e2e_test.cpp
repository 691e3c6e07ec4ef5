#include "e2e/practice_world_fixture.h"
#include "shell/client.h"
#include "widgets/qt_wait.h"

#include <QDir>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// A manner of the practice world, with what the address book says of it.
struct ScriptManner {
    const char* name;
    QStringList options;
    QByteArray worldSettings;
    // What shows once the login has gone through; empty: the login's answer is awaited.
    QString loggedIn;
};

struct ScriptsE2E : PracticeWorldE2E, ::testing::WithParamInterface<ScriptManner> {};

// The world's own script file, a Lua trigger and a timer, over real TCP: an
// event handler, a trigger's Lua and a timer each answer with a say the
// world echoes back.
TEST_P(ScriptsE2E, AnEventALuaTriggerAndATimerEachSendToTheWorld) {
    const ScriptManner& manner = GetParam();
    ASSERT_TRUE(QDir(folder.path()).mkpath("corvane-scripts"));
    QFile script(folder.filePath("corvane-scripts/Practice.lua"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("on('line', function(l) if l:find('You say, \"ping\"', 1, true) then send('say event pong') end end)\n"
                 "on('connect', function() vars.connects = (vars.connects or 0) + 1 end)\n");
    script.close();
    // The MUCK manners answer the login's last command; the MUD shows its prompt.
    ASSERT_TRUE(logIn(manner.options, manner.worldSettings, manner.loggedIn.isEmpty()));
    ASSERT_TRUE(waitUntil([&] { return output().contains(manner.loggedIn); })) << output().toStdString();
    Rule trigger;
    trigger.mode = MatchMode::Regex;
    trigger.pattern = "You say, \"trig (\\w+)\"";
    trigger.script = "send('say lua got ' .. matches[1] .. ' ' .. vars.connects)";
    client.rules().book().setRules({trigger});

    typeLine("say ping");
    EXPECT_TRUE(waitUntil([&] { return output().contains("You say, \"event pong\""); })) << output().toStdString();
    typeLine("say trig orc");
    EXPECT_TRUE(waitUntil([&] { return output().contains("You say, \"lua got orc 1\""); })) << output().toStdString();
    client.scripts().runLua("after(0.3, function() send('say timer done') end)");
    EXPECT_TRUE(waitUntil([&] { return output().contains("You say, \"timer done\""); })) << output().toStdString();
    EXPECT_FALSE(output().contains("Lua error")) << output().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Manners, ScriptsE2E,
    ::testing::Values(ScriptManner{"Classic", {}, {}, {}},
                      ScriptManner{"Modern", {"--modern"}, {}, {}},
                      ScriptManner{"Mud", {"--mud"}, "Server=MUD\r\n", "HP:8/10 MP:5 > "}),
    [](const ::testing::TestParamInfo<ScriptManner>& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
