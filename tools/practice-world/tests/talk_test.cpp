#include "world_fixture.h"

#include <gtest/gtest.h>

namespace practice_world {
namespace {

// Every page and whisper form a MUCK client meets, in both MUCK manners.
struct TalkRow {
    const char* name;
    const char* command;
    const char* toTester;
    const char* toBob;
    // Empty: the same as toBob in the newer manner.
    const char* toBobModern = "";
};

class Talk : public WorldFixture, public ::testing::WithParamInterface<std::tuple<TalkRow, Manner>> {
protected:
    Talk()
        : WorldFixture(std::get<1>(GetParam())) {}
};

TEST_P(Talk, ReachesTheSpeakerAndTheListenerInEachForm) {
    const TalkRow& row = std::get<0>(GetParam());
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    logIn(kAlice, "Alice", "alice");
    const Outcome said = input(kTester, row.command);
    EXPECT_EQ(textFor(said, kTester), std::string(row.toTester) + "\r\n");
    const bool modern = std::get<1>(GetParam()) == Manner::Modern;
    const std::string toBob = modern && *row.toBobModern != '\0' ? row.toBobModern : row.toBob;
    EXPECT_EQ(textFor(said, kBob), toBob.empty() ? "" : toBob + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Talk,
    ::testing::Combine(
        ::testing::Values(TalkRow{"Page", "page bob=hello", "You page, \"hello\" to Bob.",
                                  "Tester pages, \"hello\" to you."},
                          TalkRow{"PagePose", "page bob=:waves", "You page-pose, \"Tester waves\" to Bob.",
                                  "In a page-pose to you, Tester waves."},
                          TalkRow{"PageToLook", "page bob", "Your message has been sent.",
                                  "You sense that Tester is looking for you in Town Square."},
                          TalkRow{"MultiPage", "page bob alice=hi", "You page, \"hi\" to Bob and Alice.",
                                  "Tester pages, \"hi\" to you, Alice."},
                          TalkRow{"ServerPage", "@page bob=hello", "You paged Bob with \"hello\".",
                                  "Tester pages: hello"},
                          TalkRow{"Whisper", "whisper bob=psst", "You whisper, \"psst\" to Bob.",
                                  "Tester whispers, \"psst\"", "Tester whispers, \"psst\" to you."},
                          TalkRow{"Puppet", "rex say woof", "Rex> Rex says, \"woof\"", ""},
                          TalkRow{"ForcedPuppet", "@force rex=sits.", "Rex> Rex sits.", ""}),
        ::testing::Values(Manner::Framed, Manner::Modern)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == Manner::Modern ? "Modern" : "Classic");
    });

TEST_F(WorldFixture, AWhisperNeedsTheListenerInTheRoom) {
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    input(kBob, "east");
    EXPECT_EQ(send(kTester, "w bob=psst"), "Bob is not here.\r\n");
}

} // namespace
} // namespace practice_world
