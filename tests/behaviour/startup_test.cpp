#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "param_name.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// A whole start-up and shut-down against a settings file in a scratch folder.
struct StartupTest : ::testing::Test {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    std::unique_ptr<ClientHarness> h;

    void start(const std::string& ini = {}) {
        if (!ini.empty()) {
            folder.write("CORVANE.INI", ini);
        }
        h = std::make_unique<ClientHarness>("", path);
        h->views.addressBookScript = [](FakeAddressBookView& d) { d.events->onCancel(); };
        h->client.start();
    }
    std::string file() const { return folder.read("CORVANE.INI"); }
    std::string setting(const char* section, const char* key) const { return ReadSetting(section, key, path); }
};

TEST_F(StartupTest, AFirstStartWritesTheDefaultsThenAddsTheMissingFlags) {
    start();
    const std::string text = file();
    const std::string defaults = "[Corvane]\r\nProgramPath=/tmp\r\nPicturePath=/tmp\r\n";
    EXPECT_EQ(text.substr(0, defaults.size()), defaults);
    for (const char* flag : {"AutoPictureLoad", "NewBrowser", "MinBeep", "MinMaximize", "RememberWinPos"}) {
        EXPECT_EQ(setting("Corvane", flag), "False") << flag;
    }
    EXPECT_FALSE(setting("Corvane2", "HelpURL").empty());
    EXPECT_EQ(setting("Font", "FontBold"), "False");
    EXPECT_EQ(setting("Font", "FontSize"), "9");
    EXPECT_NE(text.find("FontSize = 9\r\n"), std::string::npos) << "the default line is left as written";
    EXPECT_EQ(setting("Addresses", "MUD 1"), "FurryMUCK,furrymuck.com,8888");
    EXPECT_EQ(h->views.addressBooksCreated, 1);
}

TEST_F(StartupTest, FlagsAreRead) {
    start("[Corvane]\r\nProgramPath=/games\r\nMinBeep=TRUE\r\nMinMaximize=true\r\nAutoPictureLoad=yes\r\n");
    EXPECT_TRUE(h->client.settings().MinBeep);
    EXPECT_TRUE(h->client.settings().MinMaximize);
    EXPECT_FALSE(h->client.settings().AutoPictureLoad);
    EXPECT_EQ(setting("Corvane", "AutoPictureLoad"), "yes");
    EXPECT_EQ(h->client.settings().ProgramDir, "/games/");
}

TEST_F(StartupTest, AFormerHelpAddressIsReplaced) {
    start("[Corvane2]\r\nHelpURL=http://www.corvane.net/help.html\r\n");
    EXPECT_NE(setting("Corvane2", "HelpURL"), "http://www.corvane.net/help.html");
    start("[Corvane2]\r\nHelpURL=http://example.org/mine.html\r\n");
    EXPECT_EQ(h->client.settings().HelpAddress, "http://example.org/mine.html");
}

TEST_F(StartupTest, AnUnusableFontSizeKeepsTheCurrentOneAndWritesItBack) {
    start("[Font]\r\nFontName=Fixed\r\nFontSize=0\r\n");
    EXPECT_EQ(h->window.font.name, "Fixed");
    EXPECT_EQ(setting("Font", "FontSize"), "9");
    EXPECT_NE(file().find("FontSize= 9\r\n"), std::string::npos);
}

TEST_F(StartupTest, AnUnknownFontNameIsReplacedByTheCurrentOne) {
    start("[Font]\r\nFontName=No Such Font\r\n");
    EXPECT_EQ(setting("Font", "FontName"), "Courier New");
}

TEST_F(StartupTest, MaxLinesOutsideItsRangeBecomesTheLimit) {
    start("[Font]\r\nMaxLines=10\r\n");
    const int limit = h->client.settings().MaxLinesLimit;
    EXPECT_EQ(h->client.settings().MaxLines, limit);
    EXPECT_EQ(setting("Font", "MaxLines"), std::to_string(limit));
    start("[Font]\r\nMaxLines=20\r\n");
    EXPECT_EQ(h->client.settings().MaxLines, 20);
}

TEST_F(StartupTest, ColoursAreAppliedOrWrittenBack) {
    start("[Font]\r\nForeColor= 255\r\n");
    EXPECT_EQ(h->window.textColour, 255);
    EXPECT_EQ(setting("Font", "BackColor"), std::to_string(0x1F1B18));
}

TEST_F(StartupTest, WithoutRememberWinPosGeometryIsIgnoredButBarsAreStillSaved) {
    start("[Corvane]\r\nRememberWinPos=False\r\nTop=3000\r\nViewCommand=False\r\n");
    EXPECT_EQ(h->window.geometry.top, 1200);
    EXPECT_TRUE(h->window.commandBarShown);
    h->client.onMenuTriggered(MenuItem::ViewMacro);
    h->client.shutdown();
    EXPECT_EQ(setting("Corvane", "ViewCommand"), "True");
    EXPECT_EQ(setting("Corvane", "ViewMacro"), "False");
    EXPECT_EQ(setting("Corvane", "Top"), "3000");
}

struct GeometryCase {
    std::string stored;
    int top;
    int height;
};

void PrintTo(const GeometryCase& row, std::ostream* out) {
    *out << ::testing::PrintToString(row.stored);
}

class RestoredGeometryTest : public StartupTest, public ::testing::WithParamInterface<GeometryCase> {};

TEST_P(RestoredGeometryTest, IsClampedToTheScreen) {
    start("[Corvane]\r\nRememberWinPos=True\r\n" + GetParam().stored);
    EXPECT_EQ(h->window.geometry.top, GetParam().top);
    EXPECT_EQ(h->window.geometry.height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(Values, RestoredGeometryTest,
                         ::testing::Values(GeometryCase{"Top=0\r\nHeight=6000\r\n", 1, 6000},
                                           GeometryCase{"Top=-40\r\n", 1, 9000},
                                           GeometryCase{"Top=99999\r\nHeight=99999\r\n", 1, 11520},
                                           // No height is less than the smallest the window can be.
                                           GeometryCase{"Top= 1500\r\nHeight=abc\r\n", 1500, 285 + 1920}),
                         [](const auto& info) { return ParamName(info.param.stored); });

TEST_F(StartupTest, StoredBarsAreHiddenWithTheirMenuItems) {
    start("[Corvane]\r\nRememberWinPos=True\r\nViewCommand=FALSE\r\n");
    EXPECT_FALSE(h->window.commandBarShown);
    EXPECT_FALSE(h->window.menuChecked[MenuItem::ViewCommand]);
    EXPECT_TRUE(h->window.macroBarShown);
}

TEST_F(StartupTest, AWindowClosedMinimisedKeepsTheStoredGeometry) {
    start("[Corvane]\r\nRememberWinPos=True\r\nTop=2000\r\n");
    h->window.geometry.top = 4500;
    h->window.minimised = true;
    h->client.shutdown();
    EXPECT_EQ(setting("Corvane", "Top"), "2000");
    h->window.minimised = false;
    start("[Corvane]\r\nRememberWinPos=True\r\nTop=2000\r\n");
    h->window.geometry.top = 4500;
    h->client.shutdown();
    EXPECT_EQ(setting("Corvane", "Top"), "4500");
}

TEST_F(StartupTest, ASettingsFileThatCannotBeWrittenIsReportedOnceAndTheClientGoesOn) {
    path = folder.file("missing-folder/CORVANE.INI");
    h = std::make_unique<ClientHarness>("", path);
    h->views.addressBookScript = [](FakeAddressBookView& d) { d.events->onCancel(); };
    h->client.start();
    // The settings written after that fail the same way and say nothing more.
    ASSERT_EQ(h->prompts.messages.size(), 1u);
    EXPECT_NE(h->prompts.messages[0].text.find("Can't create " + path + "."), std::string::npos);
    EXPECT_EQ(h->views.addressBooksCreated, 1);
    EXPECT_EQ(h->client.settings().MaxLines, h->client.settings().MaxLinesLimit);
}

TEST_F(StartupTest, ASaveThatFailsInASignalShutDownGoesToStandardErrorNotToABox) {
    start();
    std::filesystem::remove_all(folder.path());
    ::testing::internal::CaptureStderr();
    h->client.shutdown(Client::ShutdownCause::Signal);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(h->prompts.messages.empty());
    const std::size_t first = written.find("could not save settings to " + path + ": ");
    EXPECT_NE(first, std::string::npos) << written;
    EXPECT_EQ(written.find("could not save", first + 1), std::string::npos) << "reported more than once";
}

TEST_F(StartupTest, LoggingInSetsUpTheGame) {
    start("[Addresses]\r\nMUD 1=Practice,127.0.0.1,4201\r\n\r\n[Practice]\r\nCharacter 1=Tester,B5;@<!=&\r\n"
          "Trigger 2=dragon\r\nWAVFile 2=/s/roar.wav,-1\r\nTrigFont 2=Serif,12,True,False,255\r\n");
    ASSERT_EQ(h->client.startLoggedIn("Practice", ""), std::nullopt);
    h->socket.accept();
    EXPECT_EQ(h->socket.allSent(), "connect Tester password\r\n"
                                   "@set me=_arrive/vrox:&[vrox] {ref:here} {name:here}\r\n"
                                   "OUTPUTPREFIX [on]\r\nOUTPUTSUFFIX [off]\r\n");
    Session& session = h->client.session();
    EXPECT_TRUE(session.TagMode);
    EXPECT_EQ(h->window.captionText, "CORVane 2.1 - Tester on Practice");
    EXPECT_EQ(h->window.labels[StatusView::ClockLabel], "Game Time: 00:00");
    EXPECT_TRUE(session.LagMeterOn);
    EXPECT_TRUE(h->window.menuChecked[MenuItem::ViewLagCounter]);
    EXPECT_TRUE(h->window.menuEnabled[MenuItem::GameQuit]);
    for (int i = 0; i < kButtonsPerBar; ++i) {
        EXPECT_EQ(h->window.commandEnabled[static_cast<std::size_t>(i)], i != command_button::Connect) << i;
    }
    // Logged in, "Connect to a Character" (F3) would send a log-in into the game.
    EXPECT_FALSE(h->window.menuEnabled[MenuItem::GameConnect]);
    const std::size_t sentBefore = h->socket.allSent().size();
    h->client.GameConnect();
    h->client.onCommandButton(command_button::Connect);
    EXPECT_EQ(h->socket.allSent().size(), sentBefore);
    EXPECT_EQ(h->window.captionText, "CORVane 2.1 - Tester on Practice");
    EXPECT_EQ(h->client.triggers().ActiveTriggers[1].text, "dragon");
    EXPECT_EQ(h->client.triggers().ActiveTriggers[1].soundFile, "/s/roar.wav");

    h->socket.receive("[on]\r\nA dragon lands.\r\n[off]\r\n");
    EXPECT_EQ(h->sound.played, std::vector<std::string>{"/s/roar.wav"});
    ASSERT_NE(h->views.notice, nullptr);
    EXPECT_EQ(h->views.notice->caption, "Practice - Tester");
}

TEST_F(StartupTest, StartingLoggedInNamesWhatIsMissing) {
    start("[Addresses]\r\nMUD 1=Practice,127.0.0.1,4201\r\n");
    EXPECT_NE(h->client.startLoggedIn("Elsewhere", ""), std::nullopt);
    EXPECT_FALSE(h->client.session().Connected);
}

TEST_F(StartupTest, TheLagCounterMeasuresTheWaitForAReply) {
    start("[Addresses]\r\nMUD 1=Practice,127.0.0.1,4201\r\n\r\n[Practice]\r\nCharacter 1=Tester,B5;@<!=&\r\n");
    ASSERT_EQ(h->client.startLoggedIn("Practice", "Tester"), std::nullopt);
    h->socket.accept();
    h->type("look");
    EXPECT_EQ(h->client.session().PendingReplies, 0) << "counted before the world has framed a reply";
    h->socket.receive("[on]\r\nYou see the square.\r\n[off]\r\n");
    h->type("look");
    EXPECT_EQ(h->client.session().PendingReplies, 1);
    h->clock.advance(std::chrono::seconds(3));
    h->socket.receive("[on]\r\nYou see the square.\r\n[off]\r\n");
    EXPECT_EQ(h->window.labels[StatusView::LagLabel], "Current Lag: 3 secs");
    EXPECT_EQ(h->client.session().PendingReplies, 0);
}

TEST_F(StartupTest, OnAWorldWithoutFramesThePromptEndsTheWait) {
    const std::string prompt = "HP:8/10 > \xFF\xF9";
    start("[Addresses]\r\nMUD 1=Practice,127.0.0.1,4201\r\n\r\n[Practice]\r\nCharacter 1=Tester,B5;@<!=&\r\n"
          "Server=MUD\r\n");
    ASSERT_EQ(h->client.startLoggedIn("Practice", "Tester"), std::nullopt);
    h->socket.accept();
    h->type("look");
    EXPECT_EQ(h->client.session().PendingReplies, 0) << "counted before the world has ended a prompt";
    h->socket.receive("Town Square\r\n" + prompt);
    h->type("look");
    EXPECT_EQ(h->client.session().PendingReplies, 1);
    h->clock.advance(std::chrono::seconds(2));
    h->socket.receive("Town Square\r\n" + prompt + prompt);
    EXPECT_EQ(h->window.labels[StatusView::LagLabel], "Current Lag: 2 secs");
    EXPECT_EQ(h->client.session().PendingReplies, 0) << "a second prompt ends no wait";

    // Answers without a prompt (as a MUD of the Python family gives many)
    // end their waits at their first lines; a prompt after one ends no other.
    for (const char* command : {"say hi", "say again"}) {
        h->type(command);
        h->socket.receive("You say, \"hi\"\r\n");
        EXPECT_EQ(h->client.session().PendingReplies, 0) << command;
    }
    h->socket.receive(prompt);
    h->type("look");
    h->socket.receive("Town Square\r\nA square.\r\n" + prompt);
    EXPECT_EQ(h->client.session().PendingReplies, 0);
    h->clock.advance(std::chrono::seconds(35));
    EXPECT_EQ(h->client.session().LagSeconds, 0);
}

// A world stored with Login=prompts takes the name at its first prompt and
// the password at its password prompt or WILL ECHO; the password is never
// shown and the player's input history never holds it.
struct PromptedLogInCase {
    std::string name;
    std::string login;
    // What the world sends, one read each; an empty read is a quiet spell.
    std::vector<std::string> reads;
    std::string sent;
};

void PrintTo(const PromptedLogInCase& row, std::ostream* out) {
    *out << row.name;
}

struct PromptedLogInTest : StartupTest, ::testing::WithParamInterface<PromptedLogInCase> {};

TEST_P(PromptedLogInTest, SendsNameAndPasswordWhenAsked) {
    const PromptedLogInCase& row = GetParam();
    start("[Addresses]\r\nMUD 1=Midgaard,127.0.0.1,4000\r\n\r\n[Midgaard]\r\nCharacter 1=Tester,B5;@<!=&\r\n"
          "Server=MUD\r\n" +
          row.login);
    ASSERT_EQ(h->client.startLoggedIn("Midgaard", "Tester"), std::nullopt);
    h->socket.accept();
    for (const std::string& read : row.reads) {
        if (read.empty()) {
            h->clock.advance(std::chrono::milliseconds(300));
        } else {
            h->socket.receive(read);
        }
    }
    std::string text;
    for (const std::string& bytes : h->socket.sent) {
        // Telnet answers (DO ECHO) are not what the log-in sent.
        if (!bytes.empty() && static_cast<unsigned char>(bytes[0]) != 0xFF) {
            text += bytes;
        }
    }
    EXPECT_EQ(text, row.sent);
    EXPECT_EQ(h->window.output.find("password"), std::string::npos) << h->window.output;
    EXPECT_TRUE(h->client.inputLine().history().empty());
}

const std::string kNamePrompt = "Welcome to Midgaard.\r\nBy what name do you wish to be known? ";
const std::string kWillEcho = "\xFF\xFB\x01";

INSTANTIATE_TEST_SUITE_P(
    Forms, PromptedLogInTest,
    ::testing::Values(
        PromptedLogInCase{"NameAtThePromptPasswordAtItsPrompt",
                          "Login=prompts\r\n",
                          {kNamePrompt, "", "Password: ", ""},
                          "Tester\r\npassword\r\n"},
        PromptedLogInCase{"PasswordAtTheWorldsWillEcho",
                          "Login=prompts\r\n",
                          {kNamePrompt, "", kWillEcho + "Pass: "},
                          "Tester\r\npassword\r\n"},
        PromptedLogInCase{
            "NothingBeforeTheFirstPrompt", "Login=prompts\r\n", {"Welcome to Midgaard.\r\n"}, ""},
        PromptedLogInCase{"ANewNameQuestionEndsTheLogIn",
                          "Login=prompts\r\n",
                          {kNamePrompt, "", "Did I get that right, Tester (Y/N)? ", "", kWillEcho},
                          "Tester\r\n"},
        PromptedLogInCase{
            "ConnectIsTheFormWithoutTheKey", "", {kNamePrompt, ""}, "connect Tester password\r\n"},
        PromptedLogInCase{"NoneSendsNothing", "Login=none\r\n", {kNamePrompt, "", "Password: ", ""}, ""}),
    [](const ::testing::TestParamInfo<PromptedLogInCase>& row) { return row.param.name; });

} // namespace
} // namespace corvane::testing
