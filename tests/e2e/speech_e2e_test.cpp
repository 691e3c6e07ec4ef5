#include "e2e/practice_world_fixture.h"
#include "fakes/fake_announcer.h"
#include "fakes/fake_speech.h"

#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct SpeechRow {
    const char* name;
    bool speakIncoming;
};

// Tester on the practice world with the fake engine and a trigger that says
// "dragon" at once; Alice pages and talks from a raw connection.
struct SpeechE2E : MannerTable<SpeechRow> {
    FakeSpeech engine;
    FakeAnnouncer announcer;
    RawPlayer alice;

    SpeechE2E() {
        client.setSpeech(&engine);
        client.setAnnouncer(&announcer);
    }
    // The engine and the announcer go before the client does.
    ~SpeechE2E() override {
        client.setSpeech(nullptr);
        client.setAnnouncer(nullptr);
    }
    bool start() {
        const QByteArray speech = row().speakIncoming ? "True" : "False";
        if (!logIn({}, "\r\n[Speech]\r\nSpeakIncoming=" + speech + "\r\n")) {
            return false;
        }
        Rule dragon;
        dragon.name = "dragon";
        dragon.pattern = "dragon";
        dragon.voicing = Rule::Voicing::Interrupt;
        client.rules().book().setRules({dragon});
        if (!alice.connectTo(world.port())) {
            return false;
        }
        alice.send("connect Alice alice\r\n");
        return waitUntil([&] { return output().contains("Alice has connected."); });
    }
    bool saidAny(const QString& text) const {
        return std::any_of(engine.said.begin(), engine.said.end(),
                           [&](const std::string& said) { return QString::fromStdString(said).contains(text); });
    }
};

TEST_P(SpeechE2E, PagesTheInterruptRuleAndTheReviewKeys) {
    ASSERT_TRUE(start());
    EXPECT_EQ(announcer.announced.front(), "On line") << "a screen reader hears the connection, speech or not";

    alice.send("page Tester=are you there?\r\n");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Alice pages, \"are you there?\" to you."); }));
    engine.finishAll();
    if (row().speakIncoming) {
        EXPECT_TRUE(saidAny("Alice pages, \"are you there?\" to you.")) << "said with who sent it";
    } else {
        EXPECT_EQ(engine.said, std::vector<std::string>{}) << "nothing is said with the option off";
    }

    // The rule's line cuts off what is being said, the option on or off.
    engine.said.clear();
    client.speech()->say("a long description of the cave and all that lies in it");
    ASSERT_TRUE(engine.speaking);
    const int stopsBefore = engine.stops;
    alice.send("say a dragon lands\r\n");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Alice says, \"a dragon lands\""); }));
    EXPECT_GT(engine.stops, stopsBefore);
    EXPECT_TRUE(QString::fromStdString(engine.last()).contains("a dragon lands")) << engine.last();

    // Ctrl+1 reads the newest line back.
    engine.finishAll();
    alice.send("say the last word\r\n");
    ASSERT_TRUE(waitUntil([&] { return output().contains("Alice says, \"the last word\""); }));
    engine.finishAll();
    engine.said.clear();
    QTest::keyClick(input(), Qt::Key_1, Qt::ControlModifier);
    ASSERT_EQ(engine.said.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(engine.last()).contains("Alice says, \"the last word\"")) << engine.last();
    EXPECT_TRUE(input()->text().isEmpty()) << "the key typed nothing";
}

INSTANTIATE_TEST_SUITE_P(, SpeechE2E,
                         ::testing::Combine(kBothManners, ::testing::Values(SpeechRow{"OptionOn", true},
                                                                            SpeechRow{"OptionOff", false})),
                         mannerRowName<SpeechRow>);

} // namespace
} // namespace corvane::testing
