#include "behaviour/logged_in_client.h"
#include "fakes/fake_file_watch.h"
#include "fakes/fake_rules_view.h"
#include "fakes/fake_script_state_view.h"
#include "script/script_state_presenter.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace corvane {
namespace {

using testing::LoggedInClient;

struct ScriptStateClient : ::testing::Test {
    LoggedInClient c;
    testing::FakeFileWatch watch;

    void SetUp() override {
        c.start();
        c.h->client.scripts().setFileWatch(&watch);
        ASSERT_EQ(c.h->client.startLoggedIn("Practice", "Tester"), std::nullopt);
        c.h->socket.accept();
        c.h->socket.sent.clear();
    }
    void lua(const std::string& code) { c.h->client.scripts().runLua(code); }
    std::string sent() {
        std::string bytes = c.h->socket.allSent();
        c.h->socket.sent.clear();
        return bytes;
    }
    std::vector<std::string> names(const testing::FakeScriptStateView& view) {
        std::vector<std::string> out;
        for (const auto& row : view.rows) {
            out.push_back(row.name + " = " + row.value);
        }
        return out;
    }
};

TEST_F(ScriptStateClient, VariablesAreListedEditedAndRemovedInTheirWindow) {
    testing::FakeScriptStateView view;
    ScriptStatePresenter presenter(view, c.h->client.scripts(), c.h->clock, ScriptStateView::Kind::Variables);
    view.setEvents(&presenter);
    lua("vars.hp = 5 vars.foe = 'orc'");
    presenter.open();
    EXPECT_EQ(view.shown, 1);
    EXPECT_TRUE(view.editEnabled);
    EXPECT_EQ(names(view), (std::vector<std::string>{"foe = orc", "hp = 5"}));
    presenter.onRowSelected(1);
    EXPECT_EQ(view.nameText, "hp");
    EXPECT_EQ(view.valueText, "5");
    view.valueText = "7";
    presenter.onSet();
    view.nameText = "kit";
    view.valueText = "{\"rope\": 2}";
    presenter.onSet();
    view.nameText = "mood";
    view.valueText = "grumpy";
    presenter.onSet();
    EXPECT_EQ(view.message, "vars.mood set.");
    lua("send(vars.hp + 1 .. ' ' .. vars.kit.rope .. ' ' .. vars.mood)");
    EXPECT_EQ(sent(), "8 2 grumpy\r\n");
    view.nameText = "foe";
    presenter.onRemove();
    EXPECT_EQ(view.message, "vars.foe removed.");
    lua("send(tostring(vars.foe))");
    EXPECT_EQ(sent(), "nil\r\n");
    view.nameText = "";
    presenter.onSet();
    EXPECT_EQ(view.message, "Type the variable's name.");

    c.h->client.connection().DisconnectFromWorld();
    c.h->clock.runPending();
    presenter.onRefresh();
    EXPECT_TRUE(view.rows.empty());
    EXPECT_FALSE(view.editEnabled);
    EXPECT_NE(view.message.find("connect first"), std::string::npos);
}

TEST_F(ScriptStateClient, TimersAreListedWithTheirTimeAndCancelled) {
    testing::FakeScriptStateView view;
    ScriptStatePresenter presenter(view, c.h->client.scripts(), c.h->clock, ScriptStateView::Kind::Timers);
    view.setEvents(&presenter);
    lua("every(5, function() send('tick') end, 'ticker') after(2, function() send('once') end)");
    c.h->clock.advance(std::chrono::seconds(1));
    presenter.open();
    EXPECT_EQ(view.kind, ScriptStateView::Kind::Timers);
    EXPECT_EQ(names(view), (std::vector<std::string>{"ticker = every 5.0 s, next in 4.0 s", "#2 = once, in 1.0 s"}));
    view.selected = 0;
    presenter.onRemove();
    EXPECT_EQ(view.message, "Timer ticker cancelled.");
    EXPECT_EQ(names(view), (std::vector<std::string>{"#2 = once, in 1.0 s"}));
    c.h->clock.advance(std::chrono::seconds(10));
    EXPECT_EQ(sent(), "once\r\n");
    presenter.onRefresh();
    EXPECT_TRUE(view.rows.empty());
}

TEST_F(ScriptStateClient, TheWorldsScriptRunsAgainFreshWhenItsFileIsSaved) {
    const std::string path = c.h->client.scripts().worldScriptPath("Practice");
    ASSERT_TRUE(watch.watching(path)) << "watched from connect, before the file is there";
    const auto ping = [this] {
        c.h->socket.receive("ping\r\n");
        c.h->clock.advance(std::chrono::milliseconds(50));
        return sent();
    };
    std::filesystem::create_directories(c.folder.file("corvane-scripts"));
    c.folder.write("corvane-scripts/Practice.lua", "on('line', function(l) if l == 'ping' then send('one') end end)\n");
    watch.change(path);
    c.h->clock.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(ping(), "one\r\n");
    lua("vars.kept = 'yes'");
    c.folder.write("corvane-scripts/Practice.lua",
                   "on('line', function(l) if l == 'ping' then send('two ' .. vars.kept) end end)\n");
    watch.change(path);
    c.h->clock.advance(std::chrono::milliseconds(1));
    EXPECT_NE(c.h->window.output.find("Practice.lua changed: the world's scripts run again"), std::string::npos)
        << c.h->window.output;
    EXPECT_EQ(ping(), "two yes\r\n") << "the old handler is gone, not doubled";
    c.h->client.connection().DisconnectFromWorld();
    c.h->clock.runPending();
    EXPECT_FALSE(watch.watching(path));
}

TEST_F(ScriptStateClient, AConversationLineRaisesTheConversationEvent) {
    lua("on('conversation', function(name, text) send('heard ' .. name .. ': ' .. text) end)");
    c.h->socket.receive("Alice pages: hello\r\nBob says, \"hi\"\r\n");
    c.h->clock.advance(std::chrono::milliseconds(50));
    EXPECT_EQ(sent(), "heard Alice: Alice pages: hello\r\n");
}

TEST_F(ScriptStateClient, TheRulesWindowOpensTheVariablesAndTimersWindows) {
    std::vector<testing::FakeScriptStateView*> made;
    c.h->client.scriptState().setViewFactory([&made] {
        auto view = std::make_unique<testing::FakeScriptStateView>();
        made.push_back(view.get());
        return view;
    });
    c.h->client.rulesWindow().setViewFactory([] { return std::make_unique<testing::FakeRulesView>(); });
    c.h->client.onMenuTriggered(MenuItem::EditRules);
    ASSERT_NE(c.h->client.rulesWindow().presenter(), nullptr);
    c.h->client.rulesWindow().presenter()->onOpenScriptState(1);
    c.h->client.rulesWindow().presenter()->onOpenScriptState(0);
    c.h->client.rulesWindow().presenter()->onOpenScriptState(1);
    ASSERT_EQ(made.size(), 2u) << "one window of each kind";
    EXPECT_EQ(made[0]->kind, ScriptStateView::Kind::Timers);
    EXPECT_EQ(made[0]->shown, 2);
    EXPECT_EQ(made[1]->kind, ScriptStateView::Kind::Variables);
}

} // namespace
} // namespace corvane
