#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "fakes/fake_speech.h"
#include "settings/settings.h"
#include "shell/preferences_presenter.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using Check = PreferencesView::Check;

// The preferences dialog of a started client whose settings file lives in a
// scratch folder; the client keeps 125 characters a row, so the dialog's
// line limit is 159.
struct PreferencesTest : ::testing::Test {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    // Outlives the client, which may be given it.
    FakeSpeech engine;
    std::unique_ptr<ClientHarness> h;
    FakePreferencesView* dialog = nullptr;

    void start(const std::string& extra = {}) {
        folder.write("CORVANE.INI", "[Corvane]\r\nProgramPath=" + folder.path() +
                                        "\r\nPicturePath=" + folder.path() + "\r\n" + extra +
                                        "[Font]\r\nFontName=Courier New\r\nFontSize=9\r\nMaxLines=100\r\n"
                                        "[Addresses]\r\nMUD 1=Alpha,a.example,4201\r\nMUD 2=broken,x\r\n"
                                        "MUD 3=Beta,b.example,23\r\n\r\n[Beta]\r\nTrigger 1=dragon\r\n"
                                        "WAVFile 1=/s/roar.wav,-1\r\nTrigFont 1=Serif,12,True,False,255\r\n");
        h = std::make_unique<ClientHarness>("", path);
        h->views.addressBookScript = [](FakeAddressBookView& d) { d.events->onCancel(); };
        h->client.start();
    }
    void open() {
        h->client.onMenuTriggered(MenuItem::EditPreferences);
        dialog = h->views.preferences;
    }
    void press(int button) { dialog->events->onOkApply(button); }
    std::string file() const { return folder.read("CORVANE.INI"); }
    std::string setting(const char* section, const char* key) const {
        return ReadSetting(section, key, path);
    }
};

TEST_F(PreferencesTest, OpeningShowsTheRunningClientsSettings) {
    start("MinBeep=True\r\nNewBrowser=True\r\nBrowser=/usr/bin/lynx\r\n");
    h->window.font = {"Courier New", 10.5, true, true};
    open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->shown);
    EXPECT_EQ(dialog->caption, "CORVane 2.1 Preferences");
    EXPECT_EQ(dialog->maxLinesCaption, "Maximum &Lines of text (16-159):");
    EXPECT_EQ(dialog->maxLinesText, " 100");
    EXPECT_EQ(dialog->pathLabels[0], folder.path() + "/");
    EXPECT_EQ(dialog->browserText, "/usr/bin/lynx");
    EXPECT_TRUE(dialog->checks[Check::RingBell]);
    EXPECT_FALSE(dialog->checks[Check::AutoPicture]);
    EXPECT_TRUE(dialog->multiple);
    EXPECT_EQ(dialog->sample.caption, "Font: Courier New 10.5pt. Bold Italic");
    EXPECT_EQ(dialog->sample.text, h->window.textColour);
    EXPECT_EQ(dialog->sample.background, h->window.backColour);
}

TEST_F(PreferencesTest, OkUntouchedAsksNothingAndWritesNothing) {
    start();
    const std::string before = file();
    open();
    press(0);
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_EQ(file(), before);
    EXPECT_FALSE(dialog->shown);
    EXPECT_EQ(h->window.focus, "input");
    h->clock.runPending();
    EXPECT_EQ(h->client.preferences(), nullptr);
}

TEST_F(PreferencesTest, OpeningItAgainBringsTheOpenDialogForwardWithItsEdits) {
    start();
    open();
    dialog->typeMaxLines("120");
    open();
    EXPECT_EQ(dialog->shows, 2);
    EXPECT_EQ(dialog->maxLinesText, "120");
    press(0);
    h->clock.runPending();
    open();
    EXPECT_EQ(dialog->shows, 1);
    EXPECT_EQ(dialog->maxLinesText, " 120");
}

TEST_F(PreferencesTest, OkAnsweredNoKeepsTheChangeForThisRunOnly) {
    start();
    const std::string before = file();
    open();
    dialog->checks[Check::RingBell] = true;
    dialog->events->onOptionChanged();
    h->prompts.answers = {PromptAnswer::No};
    press(0);
    ASSERT_EQ(h->prompts.questions.size(), 1u);
    EXPECT_EQ(h->prompts.questions[0].title, "Update Preferences");
    EXPECT_EQ(h->prompts.questions[0].text,
              "Your Preferences have changed.\r\rMake these changes permanent?");
    EXPECT_TRUE(h->client.settings().MinBeep);
    EXPECT_EQ(file(), before);
}

TEST_F(PreferencesTest, OkAnsweredYesAppliesAndWritesBothPages) {
    start();
    open();
    h->choosers.fonts = {FontChoice{"Serif", 400, true, false, 0, false}};
    dialog->events->onChangeFont();
    EXPECT_EQ(dialog->sample.caption, "Font: Serif  256pt. Bold");
    h->choosers.colours = {0x0000FF};
    dialog->events->onChangeColour(0);
    press(0);
    EXPECT_EQ(h->window.font.name, "Serif");
    EXPECT_EQ(h->window.font.size, 256);
    EXPECT_EQ(h->window.textColour, 0x0000FF);
    EXPECT_NE(h->window.output.find("Font: Serif 256pt. Bold \n "), std::string::npos);
    EXPECT_EQ(setting("Font", "FontName"), "Serif");
    EXPECT_EQ(setting("Font", "FontSize"), "256");
    EXPECT_EQ(setting("Font", "FontBold"), "True");
    EXPECT_EQ(setting("Font", "ForeColor"), "255");
    EXPECT_EQ(setting("Font", "MaxLines"), "100");
    EXPECT_EQ(setting("Corvane", "ProgramPath"), folder.path()) << "unchanged keys are not written";
    EXPECT_EQ(setting("Corvane", "MinMaximize"), "False");
}

// Two windows on one settings file: OK in one writes only what was changed
// in it, never the other window's older font.
TEST_F(PreferencesTest, OkWritesOnlyTheKeysChangedSoAnotherWindowsChangeStays) {
    start();
    ClientHarness other("", path);
    other.views.addressBookScript = [](FakeAddressBookView& d) { d.events->onCancel(); };
    other.client.start();
    open();
    other.client.onMenuTriggered(MenuItem::EditPreferences);
    other.choosers.fonts = {FontChoice{"Serif", 14, false, false, 0, false}};
    other.views.preferences->events->onChangeFont();
    other.prompts.answers = {PromptAnswer::Yes};
    other.views.preferences->events->onOkApply(0);
    ASSERT_EQ(setting("Font", "FontName"), "Serif");
    dialog->checks[Check::RingBell] = true;
    dialog->events->onOptionChanged();
    h->prompts.answers = {PromptAnswer::Yes};
    press(0);
    EXPECT_EQ(setting("Corvane", "MinBeep"), "True");
    EXPECT_EQ(setting("Font", "FontName"), "Serif");
    EXPECT_EQ(setting("Font", "FontSize"), "14");
}

TEST_F(PreferencesTest, ApplyAfterOnlyATriggerRowChangeWritesEverythingWithoutAsking) {
    start();
    open();
    dialog->typeTrigger(2, "whisper");
    press(1);
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_TRUE(dialog->shown);
    EXPECT_EQ(setting("Alpha", "Trigger 3"), "whisper");
    EXPECT_EQ(setting("Alpha", "WAVFile 3"), ",0");
    EXPECT_EQ(setting("Font", "FontName"), "Courier New");
    EXPECT_EQ(setting("Corvane", "Browser"), "");
    // Apply leaves nothing changed behind: OK now asks nothing.
    press(0);
    EXPECT_TRUE(h->prompts.questions.empty());
}

struct LinesCase {
    const char* name;
    std::string typed;
    std::string shown;
    // Why the number changed, under the field.
    const char* note;
};

class MaxLinesBox : public PreferencesTest, public ::testing::WithParamInterface<LinesCase> {};

TEST_P(MaxLinesBox, IsCorrectedOnLeaving) {
    start();
    open();
    dialog->typeMaxLines(GetParam().typed);
    EXPECT_TRUE(dialog->maxLinesSelected);
    dialog->events->onMaxLinesLeft();
    EXPECT_EQ(dialog->maxLinesText, GetParam().shown);
    EXPECT_EQ(dialog->maxLinesNote, GetParam().note);
}

INSTANTIATE_TEST_SUITE_P(Values, MaxLinesBox,
                         ::testing::Values(LinesCase{"BelowSixteen", "5", "16",
                                                     "\"5\" became 16: the output keeps at least 16 lines."},
                                           LinesCase{"AboveTheLimit", "900", " 159",
                                                     "900 became 159: the output holds 20,000 characters, "
                                                     "which is 159 lines of 125 characters at this font and "
                                                     "window width."},
                                           LinesCase{"NoNumber", "many", "16",
                                                     "\"many\" became 16: the output keeps at least 16 lines."},
                                           LinesCase{"InRange", "120", "120", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreferencesTest, FiveAndEnterWithoutLeavingTheBoxAppliesTheLimit) {
    start();
    open();
    dialog->typeMaxLines("5");
    h->prompts.answers = {PromptAnswer::Yes};
    press(0);
    EXPECT_EQ(h->client.settings().MaxLines, 159);
    EXPECT_EQ(h->client.settings().MaxOutputChars, 125 * 159);
    EXPECT_EQ(setting("Font", "MaxLines"), "159");
}

TEST_F(PreferencesTest, ASmallerSizeThanOnePointIsOne) {
    start();
    open();
    h->choosers.fonts = {FontChoice{"Mono", 0.5, false, true, 0, false}};
    dialog->events->onChangeFont();
    EXPECT_EQ(dialog->sample.caption, "Font: Mono  1pt. Italic");
    EXPECT_EQ(h->choosers.fontPresets.at(0).name, "Courier New");
    EXPECT_FALSE(h->choosers.fontPresets.at(0).effects);
}

TEST_F(PreferencesTest, ACancelledChooserChangesNothing) {
    start();
    const std::string before = file();
    open();
    for (int which : {0, 1}) {
        dialog->events->onChangeColour(which);
        dialog->events->onChooseFolder(which);
    }
    dialog->events->onChangeFont();
    dialog->events->onBrowseBrowser();
    EXPECT_EQ(h->choosers.colourPresets, (std::vector<std::uint32_t>{0xD8D8D8, 0x1F1B18}));
    EXPECT_EQ(h->choosers.folderChoices.at(1),
              (std::pair<std::string, std::string>{"Picture Path", folder.path()}));
    EXPECT_EQ(h->choosers.fileChoices.at(0).title, "Select Application");
    press(0);
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_EQ(file(), before);
}

TEST_F(PreferencesTest, ChosenFolderAndBrowserAreAppliedAndWritten) {
    start();
    open();
    h->choosers.folders = {folder.path() + "/pics"};
    dialog->events->onChooseFolder(1);
    EXPECT_EQ(dialog->pathLabels[1], folder.path() + "/pics");
    h->choosers.files = {"/opt/browser/run"};
    dialog->events->onBrowseBrowser();
    EXPECT_EQ(dialog->browserText, "/opt/browser/run");
    press(1);
    EXPECT_EQ(h->client.settings().PictureDir, folder.path() + "/pics/");
    EXPECT_EQ(h->client.settings().BrowserPath, "/opt/browser/run");
    EXPECT_EQ(setting("Corvane", "PicturePath"), folder.path() + "/pics/");
}

TEST_F(PreferencesTest, AStoredFolderThatCannotBeOpenedIsReportedAndReplaced) {
    // A Windows path is one odd name here; the gone folder has a parent.
    start("");
    h->client.settings().ProgramDir = "C:\\Corvane\\";
    h->client.settings().PictureDir = folder.path() + "/gone/pictures/";
    open();
    ASSERT_EQ(h->prompts.messages.size(), 2u);
    EXPECT_EQ(h->prompts.messages[0].title, "PREFERENCES ERROR");
    EXPECT_EQ(h->prompts.messages[0].text, "ProgramPath=C:\\Corvane\\\r\rNo such file or directory");
    EXPECT_EQ(h->prompts.messages[1].text.rfind("PicturePath=" + folder.path(), 0), 0u);
    EXPECT_EQ(h->sound.beeps, 2);
    EXPECT_EQ(dialog->pathLabels[0], "/tmp");
    EXPECT_EQ(dialog->pathLabels[1], folder.path());
    EXPECT_TRUE(h->client.preferences()->prefsChanged());
}

TEST_F(PreferencesTest, CtrlTabGoesToTheNextTabAndFromTheLastToTheFirst) {
    start();
    open();
    dialog->tab = PreferencesView::WatchForTab;
    dialog->events->onNextTab();
    EXPECT_EQ(dialog->tab, PreferencesView::PlayTab);
    dialog->events->onNextTab();
    EXPECT_EQ(dialog->tab, PreferencesView::SpeechTab);
    dialog->events->onNextTab();
    EXPECT_EQ(dialog->tab, PreferencesView::FontsTab);
    dialog->events->onNextTab();
    EXPECT_EQ(dialog->tab, PreferencesView::DirectoriesTab);
}

TEST_F(PreferencesTest, TheWorldListHoldsTheStoredWorldsAndShowsTheChosenOnesTriggers) {
    start();
    h->client.session().WorldIndex = 1;
    open();
    EXPECT_EQ(dialog->worlds, (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(dialog->world, 1);
    const FakePreferencesView::Row& row = dialog->rows[0];
    EXPECT_EQ(row.text, "dragon");
    EXPECT_EQ(row.soundFile, "/s/roar.wav");
    EXPECT_TRUE(row.popUp);
    EXPECT_TRUE(row.popUpEnabled);
    EXPECT_TRUE(row.soundEnabled);
    EXPECT_EQ(row.fontName, "Serif");
    EXPECT_TRUE(row.bold);
    EXPECT_EQ(row.colour, 255);
    EXPECT_FALSE(dialog->rows[1].popUpEnabled);
    EXPECT_FALSE(dialog->rows[1].soundEnabled);
    EXPECT_EQ(dialog->rows[1].fontName, "Courier New");

    // Entering an empty row offers its options; leaving it empty takes them back.
    dialog->watchEvents->onTriggerTextEntered(1);
    EXPECT_TRUE(dialog->rows[1].soundEnabled);
    dialog->watchEvents->onTriggerTextLeft(1);
    EXPECT_FALSE(dialog->rows[1].soundEnabled);
}

TEST_F(PreferencesTest, ChangedRowsAreSavedForTheirOwnWorldOnlyWhenTheUserSaysYes) {
    start();
    open();
    dialog->typeTrigger(0, "page");
    h->prompts.answers = {PromptAnswer::No};
    dialog->chooseWorld(1);
    EXPECT_EQ(h->prompts.questions.at(0).title, "Update Triggers");
    EXPECT_EQ(h->prompts.questions.at(0).text, "Your Triggers have changed.\r\rSave these changes?");
    EXPECT_EQ(setting("Alpha", "Trigger 1"), "");
    EXPECT_EQ(dialog->rows[0].text, "dragon");

    dialog->typeTrigger(1, "hug");
    h->prompts.answers = {PromptAnswer::Yes};
    dialog->chooseWorld(0);
    EXPECT_EQ(setting("Beta", "Trigger 2"), "hug");
    EXPECT_EQ(setting("Beta", "Trigger 1"), "dragon");
    EXPECT_EQ(dialog->rows[0].text, "");
    // Unchanged rows switch without a question.
    dialog->chooseWorld(1);
    EXPECT_EQ(h->prompts.questions.size(), 2u);
}

TEST_F(PreferencesTest, TriggerFontAndSoundChoosersFillTheRow) {
    start();
    h->client.session().WorldIndex = 1;
    open();
    h->choosers.fonts = {FontChoice{"Mono", 300, false, true, 0x00FF00, true}};
    dialog->watchEvents->onTriggerFont(0);
    const FontChoice& preset = h->choosers.fontPresets.at(0);
    EXPECT_EQ(preset.name, "Serif");
    EXPECT_EQ(preset.size, 12);
    EXPECT_EQ(preset.colour, 255u);
    EXPECT_TRUE(preset.effects);
    EXPECT_EQ(h->client.triggers().WorldTriggers[0].fontSize, 256);
    EXPECT_EQ(dialog->rows[0].fontName, "Mono");
    EXPECT_EQ(dialog->rows[0].colour, 0x00FF00);

    h->choosers.files = {"/s/bell.wav"};
    dialog->watchEvents->onBrowseSound(3);
    EXPECT_EQ(h->choosers.fileChoices.at(0).title, "Select WAV File");
    EXPECT_EQ(h->choosers.fileChoices.at(0).filters.at(0).pattern, "*.wav");
    EXPECT_EQ(dialog->rows[3].soundFile, "/s/bell.wav");
    dialog->watchEvents->onBrowseSound(3);
    EXPECT_EQ(dialog->rows[3].soundFile, "/s/bell.wav");

    press(1);
    EXPECT_EQ(setting("Beta", "TrigFont 1"), "Mono,256,False,True,65280");
}

TEST_F(PreferencesTest, TheConnectedWorldsRowsTakeEffectAtOnceOthersDoNot) {
    start();
    h->connect("Beta");
    h->client.session().WorldIndex = 0;
    open();
    dialog->typeTrigger(0, "page");
    press(1);
    EXPECT_EQ(h->client.triggers().ActiveTriggers[0].text, "");

    dialog->chooseWorld(1);
    dialog->typeTrigger(1, "hug");
    h->prompts.answers = {PromptAnswer::No};
    press(0);
    EXPECT_EQ(h->client.triggers().ActiveTriggers[1].text, "hug");
    EXPECT_EQ(h->client.triggers().ActiveTriggers[0].text, "dragon");
    EXPECT_EQ(setting("Beta", "Trigger 2"), "");
}

using SpeechBox = SpeechPageView::Box;
using SpeechLevel = SpeechPageView::Level;

TEST_F(PreferencesTest, TheSpeechPageStartsOffOffersTheEnginesVoicesAndWritesOnlyWhatChanged) {
    start("[Speech]\r\nRate=0.25\r\n");
    h->client.setSpeech(&engine);
    open();
    const FakeSpeechPage& page = dialog->speechPage;
    EXPECT_EQ(page.reason, "");
    EXPECT_FALSE(page.boxes[SpeechBox::SpeakIncoming]);
    EXPECT_FALSE(page.boxes[SpeechBox::OnlyInBackground]);
    EXPECT_FALSE(page.boxes[SpeechBox::SpeakSent]);
    EXPECT_TRUE(page.boxes[SpeechBox::SpeakConversations]);
    EXPECT_EQ(page.voices, (std::vector<std::string>{"The engine's usual voice", "Alice (English)", "Bob (English)"}));
    EXPECT_EQ(page.voice, 0);
    EXPECT_DOUBLE_EQ(page.levels[SpeechLevel::Rate], 0.25);
    EXPECT_DOUBLE_EQ(page.levels[SpeechLevel::Volume], 1.0);

    dialog->changeSpeech([](FakeSpeechPage& p) {
        p.boxes[SpeechBox::SpeakIncoming] = true;
        p.voice = 2;
        p.levels[SpeechLevel::Pitch] = -0.5;
    });
    // Another window changes a key meanwhile; OK must not put it back.
    WriteSetting("Speech", "Rate", "0.75", path);
    h->prompts.answers = {PromptAnswer::Yes};
    press(0);
    EXPECT_EQ(setting("Speech", "SpeakIncoming"), "True");
    EXPECT_EQ(setting("Speech", "Voice"), "en-b");
    EXPECT_EQ(setting("Speech", "Pitch"), "-0.50");
    EXPECT_EQ(setting("Speech", "Rate"), "0.75");
    EXPECT_EQ(setting("Speech", "SpeakSent"), "");
    EXPECT_EQ(setting("Speech", "Volume"), "");
    // The running speech has them at once.
    EXPECT_EQ(engine.voice, "en-b");
    EXPECT_DOUBLE_EQ(engine.pitch, -0.5);
    EXPECT_TRUE(h->client.speech()->settings().speakIncoming);
}

TEST_F(PreferencesTest, TheSpeechPageSaysWhyWhenThereIsNoSpeechAndKeepsAVoiceNotOfferedHere) {
    start("[Speech]\r\nVoice=fr-c\r\n");
    open();
    EXPECT_EQ(dialog->speechPage.reason, SpeechPage::kNoEngine);
    dialog->events->onCancel();

    engine.reason = "No speech engine answered (speech-dispatcher is not running).";
    h->client.setSpeech(&engine);
    open();
    EXPECT_EQ(dialog->speechPage.reason, engine.reason);
    EXPECT_EQ(dialog->speechPage.voices.back(), "fr-c (not offered here)");
    EXPECT_EQ(dialog->speechPage.voice, 1);
    dialog->tickPlayOption(PlayOption::ScrollbackPane, true);
    press(1);
    EXPECT_EQ(setting("Speech", "Voice"), "fr-c");
    EXPECT_EQ(h->client.speech()->settings().voice, "fr-c");
}

} // namespace
} // namespace corvane::testing
