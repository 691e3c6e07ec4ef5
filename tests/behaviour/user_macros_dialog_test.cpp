#include "behaviour/logged_in_client.h"
#include "core/text_codec.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using Control = UserMacrosView::Control;

struct UserMacrosDialog : ::testing::Test, LoggedInClient {
    FakeUserMacrosView& open() {
        h->client.onMenuTriggered(MenuItem::EditUserMacros);
        return *h->views.userMacros;
    }
    std::string defaultFile() const { return folder.file("MACR0001.CMD"); }
    std::string recordedLines(std::initializer_list<const char*> lines) {
        for (const char* line : lines) {
            h->type(line);
        }
        return folder.read("MACR0001.CMD");
    }
};

TEST_F(UserMacrosDialog, OpensOnTheFirstMacroWithItsFileInLowerCase) {
    logIn("Macro 1=Look,/Home/U/Macros/LOOK.CMD\r\nMacro 2=Walk\r\n");
    FakeUserMacrosView& dialog = open();
    EXPECT_TRUE(dialog.shown);
    // Names as the buttons read: the access key's "&" is not shown.
    EXPECT_EQ(dialog.names, (std::vector<std::string>{"Look", "User 2", "User 3", "User 4", "User 5",
                                                      "User 6", "User 7", "User 8", "User 9"}));
    EXPECT_EQ(dialog.selected, 0);
    EXPECT_EQ(dialog.fileBox, "/home/u/macros/look.cmd");
    EXPECT_EQ(dialog.recordCaption, "&Record Macro");
    EXPECT_FALSE(dialog.enabled(Control::ChangeName));
    EXPECT_TRUE(dialog.enabled(Control::Browse));

    // Left alone, the box keeps the file's real name; typed over, it takes the typing.
    dialog.events->onOk();
    EXPECT_EQ(macroSetting(1), "Look,/Home/U/Macros/LOOK.CMD");
    FakeUserMacrosView& again = open();
    again.fileBox = "/home/u/other.cmd";
    again.pick(1);
    EXPECT_EQ(h->client.macros().file(0), "/home/u/other.cmd");
    EXPECT_EQ(again.fileBox, "walk");
}

TEST_F(UserMacrosDialog, ARecordedMacroPlaysFromItsButtonInTheNextRun) {
    logIn();
    open().events->onRecordMacro();
    EXPECT_FALSE(h->views.userMacros->shown);
    EXPECT_EQ(session().RecordingMacro, 0);
    EXPECT_EQ(h->window.statusHistory.back(), "Status: Recording Macro");
    EXPECT_EQ(recordedLines({"north", "say hi"}), "north\r\nsay hi\r\n");

    FakeUserMacrosView& dialog = open();
    EXPECT_EQ(dialog.recordCaption, "&Stop Recording");
    EXPECT_EQ(dialog.selected, 0);
    for (Control locked : {Control::Names, Control::File, Control::Browse, Control::Edit}) {
        EXPECT_FALSE(dialog.enabled(locked));
    }
    dialog.events->onRecordMacro();
    EXPECT_EQ(session().RecordingMacro, -1);
    EXPECT_TRUE(dialog.shown);
    EXPECT_EQ(dialog.recordCaption, "&Record Macro");
    EXPECT_TRUE(dialog.enabled(Control::Names));
    EXPECT_EQ(h->window.statusHistory.back(), "Status: On Line");
    h->type("not recorded");
    dialog.events->onOk();
    EXPECT_EQ(macroSetting(1), "User &1," + defaultFile());

    h.reset();
    logIn();
    h->client.onMacroButton(0);
    play();
    EXPECT_EQ(h->socket.allSent(), "north\r\nsay hi\r\n");
}

struct Overwrite {
    const char* name;
    PromptAnswer answer;
    bool records;
    const char* content;
    friend void PrintTo(const Overwrite& row, std::ostream* out) { *out << row.name; }
};

struct RecordOverExistingFile : UserMacrosDialog, ::testing::WithParamInterface<Overwrite> {};

TEST_P(RecordOverExistingFile, AsksFirst) {
    logIn();
    folder.write("MACR0001.CMD", "old\r\n");
    h->prompts.answers = {GetParam().answer};
    open().events->onRecordMacro();
    ASSERT_EQ(h->prompts.questions.size(), 1u);
    EXPECT_EQ(h->prompts.questions[0].text, "The Macro File:\r" + defaultFile() +
                                                "\ralready exists.\r\rYES\tTo overwrite this file\r"
                                                "NO\tTo append to this file\rCANCEL\tTo Cancel\r");
    EXPECT_EQ(h->prompts.questions[0].title, "Corvane 2.1");
    EXPECT_EQ(session().RecordingMacro, GetParam().records ? 0 : -1);
    EXPECT_EQ(recordedLines({"new"}), GetParam().content);
}

INSTANTIATE_TEST_SUITE_P(Answers, RecordOverExistingFile,
                         ::testing::Values(Overwrite{"YesOverwrites", PromptAnswer::Yes, true, "new\r\n"},
                                           Overwrite{"NoAppends", PromptAnswer::No, true, "old\r\nnew\r\n"},
                                           Overwrite{"CancelRecordsNothing", PromptAnswer::Cancel, false,
                                                     "old\r\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserMacrosDialog, AFileThatCannotBeOpenedIsReportedAndNothingRecords) {
    logIn();
    FakeUserMacrosView& dialog = open();
    dialog.fileBox = folder.file("no/such/folder/x.cmd");
    dialog.events->onRecordMacro();
    ASSERT_EQ(h->prompts.messages.size(), 1u);
    EXPECT_EQ(h->prompts.messages[0].text,
              "Error opening file " + dialog.fileBox + "\rCheck file/path name.");
    EXPECT_EQ(h->prompts.messages[0].title, "ERROR 76");
    EXPECT_EQ(session().RecordingMacro, -1);
    EXPECT_TRUE(dialog.shown);
}

TEST_F(UserMacrosDialog, ATypedNameIsStoredAtOnceByChangeMacroName) {
    logIn("Macro 2=Walk,/m/walk.cmd\r\n");
    FakeUserMacrosView& dialog = open();
    dialog.pick(1);
    dialog.typeName("Stroll");
    EXPECT_TRUE(dialog.enabled(Control::ChangeName));
    EXPECT_EQ(dialog.defaultButton, Control::ChangeName);
    EXPECT_FALSE(dialog.enabled(Control::Edit));
    EXPECT_FALSE(dialog.enabled(Control::Record));
    dialog.events->onChangeName();
    EXPECT_EQ(h->client.buttons().caption(Bar::Macro, 1), "Stroll");
    EXPECT_EQ(macroSetting(2), "Stroll,/m/walk.cmd");
    EXPECT_EQ(dialog.names[1], "Stroll");
    EXPECT_EQ(dialog.selected, 1);
    EXPECT_FALSE(dialog.enabled(Control::ChangeName));
    EXPECT_TRUE(dialog.enabled(Control::Record));
    EXPECT_TRUE(dialog.enabled(Control::Edit));
    dialog.events->onCancel();
    EXPECT_EQ(macroSetting(2), "Stroll,/m/walk.cmd");
    EXPECT_EQ(h->window.focus, "input");
}

TEST_F(UserMacrosDialog, BrowseProposesTheDefaultFileAndOpensTheChoiceInAGraphicalEditor) {
    std::filesystem::create_directory(folder.file("bin"));
    folder.write("bin/gedit", "#!/bin/sh\n");
    std::filesystem::permissions(folder.file("bin/gedit"), std::filesystem::perms::owner_all);
    env["PATH"] = folder.file("bin");
    logIn();
    h->choosers.files = {std::nullopt, folder.file("Walk.cmd")};
    FakeUserMacrosView& dialog = open();
    dialog.events->onBrowse();
    ASSERT_EQ(h->choosers.fileChoices.size(), 1u);
    const FileChoice& choice = h->choosers.fileChoices[0];
    EXPECT_EQ(choice.title, "Open Macro File");
    EXPECT_EQ(choice.startFolder, folder.path() + "/");
    EXPECT_EQ(choice.proposedName, defaultFile());
    ASSERT_EQ(choice.filters.size(), 2u);
    EXPECT_EQ(choice.filters[0].pattern, "*.cmd");
    EXPECT_TRUE(h->launcher.started.empty());
    EXPECT_EQ(dialog.fileBox, "");

    dialog.events->onBrowse();
    EXPECT_EQ(dialog.fileBox, ToLowerAscii(folder.file("Walk.cmd")));
    EXPECT_EQ(h->client.macros().file(0), folder.file("Walk.cmd"));
    ASSERT_EQ(h->launcher.started.size(), 1u);
    EXPECT_EQ(h->launcher.started[0].program, folder.file("bin/gedit"));
    EXPECT_EQ(h->launcher.started[0].arguments, std::vector<std::string>{folder.file("Walk.cmd")});
    // The editor is handed a file that is there, if empty.
    EXPECT_EQ(folder.read("Walk.cmd"), "");
    EXPECT_TRUE(std::filesystem::exists(folder.file("Walk.cmd")));
}

TEST_F(UserMacrosDialog, EditWithoutAnyEditorNamesTheFile) {
    logIn();
    open().events->onEditMacro();
    EXPECT_EQ(h->views.userMacros->fileBox, ToLowerAscii(defaultFile()));
    ASSERT_EQ(h->prompts.messages.size(), 1u);
    EXPECT_NE(h->prompts.messages[0].text.find(defaultFile()), std::string::npos);
    EXPECT_TRUE(h->launcher.started.empty());
}

TEST_F(UserMacrosDialog, ALostConnectionEndsTheRecordingWithItsLinesKept) {
    logIn();
    open().events->onRecordMacro();
    recordedLines({"one"});
    h->socket.serverCloses();
    EXPECT_EQ(session().RecordingMacro, -1);
    EXPECT_EQ(folder.read("MACR0001.CMD"), "one\r\n");
    EXPECT_FALSE(h->views.userMacros->shown);
}

TEST_F(UserMacrosDialog, PlayingAMacroWhileRecordingLeavesTheRecordingAlone) {
    logIn();
    folder.write("play.cmd", "look\r\n");
    open().events->onRecordMacro();
    h->client.macros().setFile(1, folder.file("play.cmd"));
    h->type("one");
    h->client.onMacroButton(1);
    play();
    h->type("two");
    EXPECT_EQ(folder.read("MACR0001.CMD"), "one\r\ntwo\r\n");
    EXPECT_EQ(folder.read("play.cmd"), "look\r\n");
    EXPECT_EQ(h->socket.allSent(), "one\r\nlook\r\ntwo\r\n");
}

} // namespace
} // namespace corvane::testing
