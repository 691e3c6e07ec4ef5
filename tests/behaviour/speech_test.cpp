#include "core/session_history.h"
#include "core/status_line.h"
#include "fakes/fake_announcer.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_speech.h"
#include "fakes/fake_views.h"
#include "speech/speech_presenter.h"
#include "speech/speech_queue.h"
#include "speech/speech_settings.h"
#include "speech/status_announcer.h"

#include "behaviour/scratch_folder.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using Strings = std::vector<std::string>;

TEST(SpeechQueue, SaysLinesInOrderOneAtATime) {
    FakeSpeech engine;
    SpeechQueue queue(engine);
    queue.say("one");
    queue.say("two");
    queue.say("three");
    EXPECT_EQ(engine.said, Strings({"one"}));
    engine.finish();
    engine.finish();
    EXPECT_EQ(engine.said, Strings({"one", "two", "three"}));
    engine.finish();
    EXPECT_FALSE(queue.speaking());
}

TEST(SpeechQueue, AFloodIsSummarisedOnceFiveSecondsOfSpeechWait) {
    FakeSpeech engine;
    SpeechQueue queue(engine);
    // 30 characters: two seconds each at the usual rate.
    const std::string line(30, 'x');
    for (int i = 0; i < 50; ++i) {
        queue.say(line);
    }
    // One said now, three waiting (six seconds), the rest counted.
    EXPECT_EQ(queue.waiting(), 3u);
    EXPECT_EQ(queue.summarised(), 46u);
    engine.finishAll();
    ASSERT_EQ(engine.said.size(), 5u);
    EXPECT_EQ(engine.said.back(), "46 more lines");
    // The queue is fresh again afterwards.
    queue.say("after");
    EXPECT_EQ(engine.last(), "after");
}

TEST(SpeechQueue, UrgentTextCutsInAndPriorityGoesFirst) {
    FakeSpeech engine;
    SpeechQueue queue(engine);
    queue.say("first");
    queue.say("second");
    queue.add("page", SpeechQueue::Urgency::Priority);
    engine.finish();
    EXPECT_EQ(engine.last(), "page");
    queue.say("third");
    queue.say("urgent", true, "en-b");
    EXPECT_EQ(engine.stops, 1);
    EXPECT_EQ(engine.last(), "urgent");
    EXPECT_EQ(engine.voices_.back(), "en-b");
    engine.finishAll();
    // What waited is counted, not read after the urgent line.
    EXPECT_EQ(engine.said, Strings({"first", "page", "urgent", "2 more lines"}));
}

TEST(SpeechQueue, SilenceDropsEverythingAndBlankTextIsNotSaid) {
    FakeSpeech engine;
    SpeechQueue queue(engine);
    queue.say("   ");
    EXPECT_TRUE(engine.said.empty());
    for (int i = 0; i < 40; ++i) {
        queue.say("a line of text that takes a while");
    }
    queue.silence();
    EXPECT_EQ(engine.stops, 1);
    engine.finishAll();
    EXPECT_EQ(engine.said.size(), 1u);
    EXPECT_EQ(queue.waiting(), 0u);
}

TEST(SpeechSettings, WrittenAndReadBackAndOffByDefault) {
    ScratchFolder folder;
    const std::string path = folder.file("CORVANE.INI");
    EXPECT_FALSE(ReadSpeechSettings(path).speakIncoming);
    SpeechSettings settings;
    settings.speakIncoming = true;
    settings.onlyInBackground = true;
    settings.voice = "en-b";
    settings.rate = 0.5;
    settings.pitch = -0.25;
    settings.volume = 0.75;
    settings.speakSent = true;
    settings.speakConversations = false;
    ASSERT_TRUE(WriteSpeechSettings(settings, path));
    EXPECT_EQ(ReadSpeechSettings(path), settings);
}

// Each row sets the status line in turn (a leading "!" marks a trigger's or
// the world's notice) and lists what a screen reader is told.
TEST(StatusAnnouncer, TellsAScreenReaderTheStatusChangesThatMatter) {
    struct Row {
        const char* name;
        Strings steps;
        Strings announced;
    };
    const std::vector<Row> rows = {
        {"connecting and the connection closing", {status::OnLine, status::Disconnecting, status::OffLine},
         {"On line", "Off line"}},
        {"a refused connection", {status::OnLine, status::OffLine}, {"On line", "Off line"}},
        {"output paused and going on", {status::OnLine, status::OutputPaused, status::OnLine},
         {"On line", "Output paused", "Output goes on"}},
        {"paused output going on off line", {status::OutputPaused, status::OffLine}, {"Output paused", "Output goes on"}},
        {"closed while paused", {status::OnLine, status::OutputPaused, status::OffLine},
         {"On line", "Output paused", "Off line"}},
        {"idle, waiting and the player list are no news",
         {status::OnLine, status::Idle, status::OnLine, status::WaitingToSend, status::OnLine,
          "Status: *Getting", "Status: *Getting Player Info*", status::OnLine, "Status: Sending a.txt, line 3"},
         {"On line"}},
        {"a notice is said without its Status:", {status::OnLine, "!Status: You are hungry", "!The tide turns"},
         {"On line", "You are hungry", "The tide turns"}},
        {"the same notice again is not", {"!You are hungry", "!You are hungry"}, {"You are hungry"}},
        {"off line at start-up is no news", {status::OffLine}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeMainWindow window;
        FakeAnnouncer announcer;
        StatusAnnouncer announcements(announcer);
        StatusLine line(window);
        line.setWatcher([&](const std::string& before, const std::string& after, bool notice) {
            announcements.statusChanged(before, after, notice);
        });
        for (const std::string& step : row.steps) {
            if (step.rfind('!', 0) == 0) {
                line.ShowNotice(step.substr(1));
            } else {
                line.SetStatus(step);
            }
        }
        EXPECT_EQ(announcer.announced, row.announced);
    }
}

struct SpeechLines : ::testing::Test {
    FakeSpeech engine;
    SessionHistory history;
    FakeClipboard clipboard;
    FakeClock clock;
    Rule::Voicing voicing = Rule::Voicing::Usual;
    std::string conversation;
    bool shownByNext = true;
    struct Next : ShownLineFilter {
        bool* shown = nullptr;
        bool offerLine(TextLine&) override { return *shown; }
        void readEnded(std::string_view) override {}
    } next;
    std::unique_ptr<SpeechPresenter> speech;

    void SetUp() override {
        next.shown = &shownByNext;
        speech = std::make_unique<SpeechPresenter>(SpeechPresenter::Services{engine, history, clipboard, clock}, &next);
        speech->setHooks({[this] { return voicing; }, [] { return std::string(); }, [this] { return conversation; },
                          [](std::string_view text) { return text.find("Tester") != std::string_view::npos; }});
        SpeechSettings settings;
        settings.speakIncoming = true;
        speech->apply(settings);
    }
    void receive(const std::string& text) {
        TextLine line;
        line.text = text;
        line.complete = true;
        speech->offerLine(line);
        if (shownByNext) {
            history.append(text, {}, nullptr, true);
        }
    }
};

TEST_F(SpeechLines, ReceivedLinesFollowTheSettingsAndTheRules) {
    struct Row {
        const char* name;
        bool speakIncoming;
        Rule::Voicing voicing;
        bool shown;
        const char* conversation;
        Strings said;
    };
    const std::vector<Row> rows = {
        {"a line is said", true, Rule::Voicing::Usual, true, "", {"You see a door."}},
        {"nothing while the option is off", false, Rule::Voicing::Usual, true, "", {}},
        {"a Speak rule is heard with the option off", false, Rule::Voicing::Speak, true, "", {"You see a door."}},
        {"Don't speak keeps it quiet", true, Rule::Voicing::Silent, true, "", {}},
        {"a hidden line is not said", true, Rule::Voicing::Usual, false, "", {}},
        {"a page in its window is said with the name", true, Rule::Voicing::Usual, false, "Bob",
         {"Bob: You see a door."}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        engine.said.clear();
        SpeechSettings settings;
        settings.speakIncoming = row.speakIncoming;
        speech->apply(settings);
        voicing = row.voicing;
        shownByNext = row.shown;
        conversation = row.conversation;
        receive("You see a door.");
        EXPECT_EQ(engine.said, row.said);
        engine.finishAll();
    }
}

TEST_F(SpeechLines, PagesAndTheNameGoBeforeWaitingLinesAndInterruptCutsIn) {
    receive("one");
    receive("two");
    conversation = "Bob";
    receive("Bob pages: hi");
    conversation.clear();
    receive("Alice says, \"Tester, come here\"");
    engine.finishAll();
    EXPECT_EQ(engine.said, Strings({"one", "Bob pages: hi", "Alice says, \"Tester, come here\"", "two"}));
    receive("three");
    voicing = Rule::Voicing::Interrupt;
    receive("The dragon attacks!");
    EXPECT_EQ(engine.last(), "The dragon attacks!");
    EXPECT_EQ(engine.stops, 1);
}

TEST_F(SpeechLines, F12TurnsEverythingOffAndCtrlSilences) {
    receive("one");
    receive("two");
    speech->silence();
    engine.finishAll();
    EXPECT_EQ(engine.said, Strings({"one"}));
    speech->toggle();
    EXPECT_EQ(engine.last(), "Speech off");
    voicing = Rule::Voicing::Speak;
    receive("three");
    speech->say("from a script");
    EXPECT_EQ(engine.last(), "Speech off");
    speech->toggle();
    EXPECT_EQ(engine.last(), "Speech on");
    speech->say("from a script", true);
    EXPECT_EQ(engine.last(), "from a script");
}

TEST_F(SpeechLines, OnlyInTheBackgroundWaitsForAnotherProgramToHaveTheKeyboard) {
    SpeechSettings settings;
    settings.speakIncoming = true;
    settings.onlyInBackground = true;
    speech->apply(settings);
    receive("in front");
    speech->setForeground(false);
    receive("behind");
    EXPECT_EQ(engine.said, Strings({"behind"}));
}

TEST_F(SpeechLines, ReviewKeysReadBackAndCopyOnASecondQuickPress) {
    SpeechSettings off;
    speech->apply(off);
    for (const char* text : {"oldest", "", "middle", "newest"}) {
        receive(text);
    }
    speech->reviewRecent(1);
    EXPECT_EQ(engine.last(), "newest");
    clock.advance(std::chrono::milliseconds(1000));
    speech->reviewRecent(2);
    EXPECT_EQ(engine.last(), "middle");
    clock.advance(std::chrono::milliseconds(200));
    speech->reviewRecent(2);
    EXPECT_EQ(engine.last(), "Copied");
    EXPECT_EQ(clipboard.contents, "middle");
    speech->reviewRecent(9);
    EXPECT_EQ(engine.last(), "No line 9");

    speech->reviewMove(SpeechPresenter::ReviewMove::Newest);
    EXPECT_EQ(engine.last(), "newest");
    speech->reviewMove(SpeechPresenter::ReviewMove::Older);
    EXPECT_EQ(engine.last(), "middle");
    // The blank line is stepped over.
    speech->reviewMove(SpeechPresenter::ReviewMove::Older);
    EXPECT_EQ(engine.last(), "oldest");
    speech->reviewMove(SpeechPresenter::ReviewMove::Older);
    EXPECT_EQ(engine.last(), "Top");
    engine.finish();
    EXPECT_EQ(engine.last(), "oldest");
    speech->reviewMove(SpeechPresenter::ReviewMove::Newer);
    EXPECT_EQ(engine.last(), "middle");
    speech->reviewMove(SpeechPresenter::ReviewMove::Oldest);
    EXPECT_EQ(engine.last(), "oldest");
}

} // namespace
} // namespace corvane::testing
