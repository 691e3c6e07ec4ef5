#include "behaviour/scratch_folder.h"
#include "conversations/conversation_routes_presenter.h"
#include "fakes/fake_conversation_routes_view.h"
#include "fakes/fake_platform.h"

#include <functional>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using Button = ConversationRoutesView::Button;
using Fields = ConversationRouteFields;

// The Conversation Routes window on a settings file holding `before`.
struct RoutesEditor {
    ScratchFolder folder;
    FakeConversationRoutesView view;
    FakePrompts prompts;
    int saves = 0;
    ConversationRoutesPresenter presenter{
        view, {prompts, folder.file("CORVANE.INI"), [this] { ++saves; }}};

    explicit RoutesEditor(const std::string& before) {
        folder.write("CORVANE.INI", before);
        view.setEvents(&presenter);
        presenter.open();
    }
    void select(const std::string& rowStart) {
        for (std::size_t i = 0; i < view.rows.size(); ++i) {
            if (view.rows[i].rfind(rowStart, 0) == 0) {
                presenter.onRowSelected(static_cast<int>(i));
                return;
            }
        }
        ADD_FAILURE() << "no row " << rowStart;
    }
    std::string file() const { return folder.read("CORVANE.INI"); }
};

struct EditRow {
    std::string name;
    std::string before;
    std::function<void(RoutesEditor&)> edit;
    std::string after;
};

void PrintTo(const EditRow& row, std::ostream* out) {
    *out << row.name;
}

class RoutesEdits : public ::testing::TestWithParam<EditRow> {};

TEST_P(RoutesEdits, SaveWritesTheSectionInOneStep) {
    RoutesEditor editor(GetParam().before);
    GetParam().edit(editor);
    EXPECT_TRUE(editor.view.buttons[Button::Save]) << editor.view.error;
    editor.presenter.onSave();
    EXPECT_EQ(editor.file(), GetParam().after);
    EXPECT_EQ(editor.saves, 1);
    EXPECT_FALSE(editor.view.buttons[Button::Save]) << "nothing left to save";
}

const std::string kOthers = "[Corvane]\r\nProgramPath=/x/\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Routes, RoutesEdits,
    ::testing::Values(
        EditRow{"APuppetAndARouteAreAddedAfterTheOnesThere",
                kOthers + "[Conversations]\r\nDoNotDisturb=True\r\nPuppet 1=Rex,\"Rex> \",\"rex \",on\r\n",
                [](RoutesEditor& e) {
                    e.presenter.onAddPuppet();
                    e.view.edit([](Fields& f) {
                        f.name = "Tom";
                        f.linePrefix = "Tom> ";
                        f.sendPrefix = "@force tom=";
                        f.lines = 1;
                    });
                    e.presenter.onAddRoute();
                    e.view.edit([](Fields& f) {
                        f.whisper = true;
                        f.pattern = "^(?<who>\\S+) murmurs, (.*)";
                        f.opens = false;
                    });
                },
                kOthers + "[Conversations]\r\nDoNotDisturb=True\r\nPuppet 1=\"Rex\",\"Rex> \",\"rex \",on\r\n"
                          "Puppet 2=\"Tom\",\"Tom> \",\"@force tom=\",instead\r\n"
                          "Route 1=whisper,on,regex,^(?<who>\\S+) murmurs, (.*)\r\nRoute 1 Opens=False\r\n"},
        EditRow{"DeletingNumbersTheRestAgainAndTheirOpensKeysFollow",
                "[Conversations]\r\nPuppet 1=A,\"A> \",\"a \"\r\nPuppet 2=B,\"B> \",\"b \"\r\n"
                "Puppet 2 Opens=False\r\nPuppet 3=C,\"C> \",\"c \"\r\n",
                [](RoutesEditor& e) {
                    e.select("Puppet A");
                    e.presenter.onDelete();
                },
                "[Conversations]\r\nPuppet 1=\"B\",\"B> \",\"b \",on\r\nPuppet 2=\"C\",\"C> \",\"c \",on\r\n"
                "Puppet 1 Opens=False\r\n"},
        EditRow{"ABuiltInIsWrittenOnlyWhenChanged",
                "[Conversations]\r\nPagesReceived=instead\r\n[Other]\r\nKey=kept\r\n",
                [](RoutesEditor& e) {
                    e.select("Whispers received");
                    e.view.edit([](Fields& f) {
                        f.lines = 2;
                        f.opens = false;
                    });
                },
                "[Conversations]\r\nPagesReceived=instead\r\nWhispersReceived=off\r\n"
                "WhispersReceived Opens=False\r\n[Other]\r\nKey=kept\r\n"},
        EditRow{"LinesThatCouldNotBeReadAreKeptAfterTheOthers",
                "[Conversations]\r\nPuppet 1=nonsense\r\nPuppet 2=Rex,\"Rex> \",\"rex \"\r\n"
                "Route 1=page,on,regex,^(?<who>\\S+) notes: \r\nRoute 2=shout,on,regex,x\r\n"
                "Route 3=page,on,regex,^(?<who>\\S+) jots: \r\n",
                [](RoutesEditor& e) {
                    e.select("Page route: ^(?<who>\\S+) jots");
                    e.presenter.onMoveUp();
                },
                "[Conversations]\r\nPuppet 1=\"Rex\",\"Rex> \",\"rex \",on\r\nPuppet 2=nonsense\r\n"
                // Blanks at the end of a value are not read back.
                "Route 1=page,on,regex,^(?<who>\\S+) jots:\r\nRoute 2=page,on,regex,^(?<who>\\S+) notes:\r\n"
                "Route 3=shout,on,regex,x\r\n"}),
    [](const ::testing::TestParamInfo<EditRow>& row) { return row.param.name; });

TEST(RoutesEditor, ARouteThatCannotNameItsWindowIsNotSaved) {
    RoutesEditor editor("[Conversations]\r\n");
    editor.presenter.onAddRoute();
    EXPECT_EQ(editor.view.error, "A route needs a pattern.");
    const std::pair<std::string, std::string> tries[] = {
        {"^(?<who>\\S+ notes", "The pattern does not compile: "},
        {"^\\S+ notes: ", "The pattern needs a group named who"},
    };
    for (const auto& [pattern, error] : tries) {
        editor.view.edit([&](Fields& f) { f.pattern = pattern; });
        EXPECT_EQ(editor.view.error.rfind(error, 0), 0u) << pattern << ": " << editor.view.error;
        EXPECT_FALSE(editor.view.buttons[Button::Save]);
        EXPECT_EQ(editor.view.rows.back().rfind("(!) Page route: ", 0), 0u);
    }
    // Closing asks whether to go without saving; No stays, Yes goes.
    editor.prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
    EXPECT_FALSE(editor.presenter.onCloseAsked());
    EXPECT_TRUE(editor.presenter.onCloseAsked());
    EXPECT_EQ(editor.file(), "[Conversations]\r\n");
}

TEST(RoutesEditor, ClosingWithEditsAsksAndAFailedWriteKeepsThem) {
    RoutesEditor editor("[Conversations]\r\n");
    editor.presenter.onAddPuppet();
    editor.view.edit([](Fields& f) {
        f.name = "Rex";
        f.linePrefix = "Rex> ";
    });
    EXPECT_FALSE(editor.view.buttons[Button::MoveUp]);
    EXPECT_TRUE(editor.view.buttons[Button::Delete]);
    editor.prompts.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(editor.presenter.onCloseAsked());

    // A folder where the file should be: the write fails, the edit stays.
    std::filesystem::remove(editor.folder.file("CORVANE.INI"));
    std::filesystem::create_directory(editor.folder.file("CORVANE.INI"));
    editor.prompts.answers = {PromptAnswer::Yes};
    EXPECT_FALSE(editor.presenter.onCloseAsked());
    EXPECT_EQ(editor.saves, 0);
    EXPECT_TRUE(editor.view.buttons[Button::Save]);
    EXPECT_EQ(editor.view.shown.name, "Rex");
}

} // namespace
} // namespace corvane::testing
