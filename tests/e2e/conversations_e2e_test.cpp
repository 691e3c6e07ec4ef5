#include "e2e/practice_world_fixture.h"
#include "fakes/fake_conversation_view.h"
#include "fakes/fake_notifier.h"
#include "qt/qt_conversation_view.h"
#include "qt/qt_output_box.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// Tester on the practice world in either manner, with Rex as a puppet, while
// Alice and Bob talk to it from raw connections.
struct ConversationsE2E : EitherManner {
    FakeNotifier notifier;
    FakeAttention attention;
    RawPlayer alice;
    RawPlayer bob;
    std::vector<QLineEdit*> hookedInputs;

    bool start() {
        if (!logIn({}, "[Conversations]\r\nPuppet 1=Rex,\"Rex> \",\"rex \"\r\n")) {
            return false;
        }
        // Each in a window of its own, as before tabs; the tabs have a widget test.
        client.settings().Play.set(PlayOption::OwnConversationWindows, true);
        client.conversations().setNotifier(&notifier);
        client.conversations().setAttention(&attention);
        views.setConversationInputHook([this](QLineEdit* line) { hookedInputs.push_back(line); });
        if (!alice.connectTo(world.port()) || !bob.connectTo(world.port())) {
            return false;
        }
        alice.send("connect Alice alice\r\n");
        bob.send("connect Bob bob\r\n");
        return waitUntil([&] {
            return output().contains("Alice has connected.") && output().contains("Bob has connected.");
        });
    }
    QtConversationView* conversation(const QString& name) const {
        for (QtConversationView* view : window.findChildren<QtConversationView*>()) {
            if (view->windowTitle().startsWith(name + " ")) {
                return view;
            }
        }
        return nullptr;
    }
    static QString text(QtConversationView* view) { return view->output()->toPlainText(); }
};

TEST_P(ConversationsE2E, PagesWhispersAndThePuppetEachGetAWindowThatAnswersThem) {
    ASSERT_TRUE(start());
    window.show();
    window.activateWindow();
    input()->setFocus();
    pumpEvents(50);
    QWidget* typingIn = QApplication::focusWidget();

    alice.send("page Tester=are you there?\r\n");
    ASSERT_TRUE(waitUntil([&] { return conversation("Alice") != nullptr; }));
    QtConversationView* aliceWindow = conversation("Alice");
    ASSERT_TRUE(
        waitUntil([&] { return text(aliceWindow).contains("Alice pages, \"are you there?\" to you."); }));
    EXPECT_TRUE(aliceWindow->isVisible());
    // The unread count depends on which window the platform activated; the behaviour tests count it.
    EXPECT_TRUE(aliceWindow->windowTitle().startsWith("Alice")) << aliceWindow->windowTitle().toStdString();
    EXPECT_EQ(aliceWindow->prefix()->text(), "page Alice=");
    // Opened by itself, the window left the keyboard where the player was typing.
    EXPECT_EQ(QApplication::focusWidget(), typingIn);
    EXPECT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(attention.requests, 1);

    QLineEdit* answer = aliceWindow->findChild<QLineEdit*>("ConversationInput");
    ASSERT_EQ(answer, aliceWindow->input());
    EXPECT_EQ(hookedInputs, std::vector<QLineEdit*>{answer});
    answer->setText("yes, here");
    QTest::keyClick(answer, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return text(aliceWindow).contains("You page, \"yes, here\" to Alice."); }));
    EXPECT_TRUE(typed(1).contains("page Alice=yes, here\r\n"));
    EXPECT_TRUE(answer->text().isEmpty());

    alice.send("@page Tester=the old way\r\n");
    ASSERT_TRUE(waitUntil([&] { return text(aliceWindow).contains("Alice pages: the old way"); }));

    bob.send("whisper Tester=psst\r\n");
    ASSERT_TRUE(waitUntil([&] { return conversation("Bob") != nullptr; }));
    ASSERT_TRUE(waitUntil([&] { return text(conversation("Bob")).contains("Bob whispers, \"psst\""); }));
    EXPECT_EQ(conversation("Bob")->prefix()->text(), "whisper Bob=");
    EXPECT_FALSE(text(aliceWindow).contains("psst"));

    typeLine("rex say woof");
    ASSERT_TRUE(waitUntil([&] { return conversation("Rex") != nullptr; }));
    QtConversationView* rex = conversation("Rex");
    rex->input()->setText("sits.");
    QTest::keyClick(rex->input(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return text(rex).contains("Rex> Rex sits."); }));
    EXPECT_TRUE(text(rex).contains("Rex> Rex says, \"woof\""));
    // Routed as well as shown: the main output has every line too.
    EXPECT_TRUE(output().contains("Alice pages: the old way"));

    // Closing hides the window; the next line brings it back with all its lines.
    aliceWindow->close();
    EXPECT_FALSE(aliceWindow->isVisible());
    alice.send("page Tester=:waves.\r\n");
    ASSERT_TRUE(waitUntil([&] { return text(aliceWindow).contains("In a page-pose to you, Alice waves."); }));
    EXPECT_TRUE(aliceWindow->isVisible());
    EXPECT_TRUE(text(aliceWindow).contains("are you there?"));
}

INSTANTIATE_TEST_SUITE_P(Manners, ConversationsE2E, kBothManners, mannerTestName);

} // namespace
} // namespace corvane::testing
