#include "e2e/practice_world_fixture.h"
#include "shell/client.h"
#include "widgets/qt_wait.h"

#include <QAction>
#include <gtest/gtest.h>
#include <tuple>

namespace corvane::testing {
namespace {

// A player's own file from another client, and how its macros are typed.
struct ImportedSetup {
    const char* name;
    const char* file;
    const char* macroPrefix;
};

// A manner of the practice world, as the address book knows it.
struct SetupManner {
    const char* name;
    QStringList options;
    QByteArray worldSettings;
    // What shows once the login has gone through; empty: the login's answer is awaited.
    QString loggedIn;
};

struct ImportedSetupE2E : PracticeWorldE2E, ::testing::WithParamInterface<std::tuple<SetupManner, ImportedSetup>> {
    const SetupManner& worldManner() const { return std::get<0>(GetParam()); }
    const ImportedSetup& setup() const { return std::get<1>(GetParam()); }

    int countIn(const QString& text) const { return static_cast<int>(output().count(text)); }
};

// A tf player's and a tt++ player's everyday setup, each imported through
// File > Import before connecting, then played over real TCP: a macro with
// arguments, variables set by a macro and read in a trigger, a conditional
// on the trigger's match, a ticker and a connect hook. The same file does
// the same on every manner of the world.
TEST_P(ImportedSetupE2E, MacrosVariablesConditionalTickerAndHookWorkAsInTheirClient) {
    const SetupManner& manner = worldManner();
    const QString prefix = setup().macroPrefix;
    ASSERT_TRUE(startWorld(manner.options, manner.worldSettings));
    choosers.files.push_back(std::string(CORVANE_TEST_DATA) + "/imports/" + setup().file);
    window.action(MenuItem::FileImportRules)->trigger();
    ASSERT_TRUE(waitUntil([&] { return !prompts.messages.empty(); })) << "the report comes at the end";
    const std::string report = prompts.messages.back().text;
    EXPECT_NE(report.find("Added 3 triggers and aliases"), std::string::npos) << report;
    EXPECT_EQ(report.find("Left out"), std::string::npos) << report;
    // A second import of the same file replaces the first, rules and script.
    choosers.files.push_back(std::string(CORVANE_TEST_DATA) + "/imports/" + setup().file);
    window.action(MenuItem::FileImportRules)->trigger();
    ASSERT_TRUE(waitUntil([&] { return prompts.messages.size() == 2; }));
    EXPECT_NE(prompts.messages.back().text.find("They replace the 3 imported from it before"), std::string::npos)
        << prompts.messages.back().text;
    EXPECT_EQ(client.rules().book().size(), 3u);

    ASSERT_FALSE(client.startLoggedIn("Practice", "Tester").has_value());
    ASSERT_TRUE(waitUntil([&] {
        return manner.loggedIn.isEmpty() ? client.sender().ownAnswers().hiddenLines() >= 1
                                         : output().contains(manner.loggedIn);
    })) << output().toStdString();
    EXPECT_TRUE(output().contains("-- setup loaded for Wren --")) << output().toStdString();

    typeLine(prefix + "greet Alice how are you");
    EXPECT_TRUE(waitUntil([&] { return output().contains("You say, \"hello Alice, how are you\""); }))
        << output().toStdString();
    typeLine("say hp 20");
    EXPECT_TRUE(waitUntil([&] { return output().contains("You say, \"flee from Wren\""); }))
        << output().toStdString();
    typeLine(prefix + "tgt Bob");
    typeLine("say hp 80");
    EXPECT_TRUE(waitUntil([&] { return output().contains("You say, \"fight Bob\""); })) << output().toStdString();
    EXPECT_TRUE(waitUntil([&] { return countIn("You say, \"keepalive\"") >= 2; })) << output().toStdString();
    EXPECT_EQ(countIn("setup loaded for Wren"), 1) << output().toStdString();

    const QByteArray typedBytes = typed(1);
    for (const char* line : {"say hello Alice, how are you\r\n", "say hp 20\r\nsay flee from Wren\r\n",
                             "say hp 80\r\nsay fight Bob\r\n", "say keepalive\r\n"}) {
        EXPECT_TRUE(typedBytes.contains(line)) << line << " not in " << typedBytes.toStdString();
    }
    // Macros and variables stay in the client.
    EXPECT_FALSE(typedBytes.contains("greet")) << typedBytes.toStdString();
    EXPECT_FALSE(typedBytes.contains("tgt")) << typedBytes.toStdString();
    EXPECT_FALSE(typedBytes.contains("variable")) << typedBytes.toStdString();
    EXPECT_FALSE(output().contains("Lua error")) << output().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    MannersAndFiles, ImportedSetupE2E,
    ::testing::Combine(::testing::Values(SetupManner{"Classic", {}, {}, {}},
                                         SetupManner{"Modern", {"--modern"}, {}, {}},
                                         SetupManner{"Mud", {"--mud"}, "Server=MUD\r\n", "HP:8/10 MP:5 > "}),
                       ::testing::Values(ImportedSetup{"TinyFugue", "practice.tf", "/"},
                                         ImportedSetup{"TinTin", "practice.tin", ""})),
    [](const ::testing::TestParamInfo<std::tuple<SetupManner, ImportedSetup>>& info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

} // namespace
} // namespace corvane::testing
