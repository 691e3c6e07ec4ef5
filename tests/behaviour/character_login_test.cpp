#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "fakes/fake_keyring.h"
#include "settings/scramble.h"
#include "settings/settings.h"
#include "worlds/password_store.h"
#include "worlds/stored_login.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

std::string stored(const std::string& name, const std::string& password) {
    return name + "," + ScrambleText(kScramble, password);
}

const std::string kLoginTail = "@set me=_arrive/vrox:&[vrox] {ref:here} {name:here}\r\n"
                               "OUTPUTPREFIX [on]\r\n"
                               "OUTPUTSUFFIX [off]\r\n";

// A client connected to a world of the address book, with the character
// dialog scripted through the fake view and a real settings file.
struct CharacterLoginTest : ::testing::Test {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    std::unique_ptr<ClientHarness> h;
    FakeCharacterView shown;

    void start(const std::string& characters, const std::string& world = "FurryMUCK") {
        folder.write("CORVANE.INI",
                     "[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\n[FurryMUCK]\r\n" + characters);
        h = std::make_unique<ClientHarness>("", path);
        h->connect(world, "furrymuck.com", "8888");
    }
    bool login(std::function<void(FakeCharacterView&)> script) {
        h->views.characterScript = [this, script](FakeCharacterView& dialog) {
            shown = dialog;
            script(dialog);
            shown = dialog;
        };
        return h->connectCharacter();
    }
    std::string character(int n, const std::string& world = "FurryMUCK") {
        return ReadSetting(world, "Character " + std::to_string(n), path);
    }
    Session& session() { return h->client.session(); }
    std::string ini() { return folder.read("CORVANE.INI"); }
};

TEST_F(CharacterLoginTest, WithoutAWorldItBeepsAndExplains) {
    ClientHarness offline("", path);
    EXPECT_FALSE(offline.connectCharacter());
    EXPECT_EQ(offline.sound.beeps, 1);
    ASSERT_EQ(offline.prompts.messages.size(), 1u);
    EXPECT_EQ(offline.prompts.messages[0].text,
              "You cannot connect to a character because\ryou aren't connected to a MUD/MUCK.");
    EXPECT_EQ(offline.prompts.messages[0].title, "ERROR");
    EXPECT_EQ(offline.prompts.messages[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(offline.views.characterDialogsCreated, 0);
}

TEST_F(CharacterLoginTest, AStoredCharacterLogsInWithTheFourCommands) {
    start("Character 1=" + stored("ann", "one") + "\r\nCharacter 2=" + stored("bob", "two") + "\r\n");
    const std::string before = ini();
    EXPECT_TRUE(login([](FakeCharacterView& d) {
        EXPECT_EQ(d.characterNames, (std::vector<std::string>{"ann", "bob"}));
        EXPECT_EQ(d.selectedName(), "ann");
        EXPECT_EQ(d.passwordText, "one");
        d.pick(1);
        EXPECT_EQ(d.passwordText, "two");
        d.clickOk();
    }));
    EXPECT_EQ(shown.title, "FurryMUCK Character(s)");
    EXPECT_EQ(h->socket.allSent(), "connect bob two\r\n" + kLoginTail);
    EXPECT_EQ(session().CharacterName, "bob");
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_EQ(ini(), before);
}

TEST_F(CharacterLoginTest, TheDefaultGuestLogsInAsGuest) {
    start("Character 1=guest,W!-@9\r\n");
    EXPECT_TRUE(login([](FakeCharacterView& d) { d.clickOk(); }));
    EXPECT_EQ(h->socket.allSent(), "connect guest guest\r\n" + kLoginTail);
}

TEST_F(CharacterLoginTest, LoadingStopsAtAGapAndSkipsAValueWithoutAComma) {
    struct Row {
        std::string characters;
        std::vector<std::string> names;
    };
    const std::vector<Row> rows = {
        {"Character 1=" + stored("ann", "a") + "\r\nCharacter 3=" + stored("cat", "c") + "\r\n", {"ann"}},
        {"Character 1=junk\r\nCharacter 2=" + stored("bob", "b") + "\r\n", {"bob"}},
    };
    for (const Row& row : rows) {
        start(row.characters);
        login([](FakeCharacterView& d) { d.clickCancel(); });
        EXPECT_EQ(shown.characterNames, row.names) << row.characters;
    }
}

TEST_F(CharacterLoginTest, ASaveDropsTheKeyItSkippedInsteadOfListingACharacterTwice) {
    start("Character 1=junk\r\nCharacter 2=" + stored("bob", "b") + "\r\n");
    h->prompts.answers = {PromptAnswer::Yes};
    login([](FakeCharacterView& d) {
        d.typePassword("b2");
        d.clickOk();
    });
    EXPECT_EQ(character(1), stored("bob", "b2"));
    EXPECT_EQ(character(2), "");
}

TEST_F(CharacterLoginTest, DeletingTheFirstOfThreeRewritesTheRest) {
    start("Character 1=" + stored("ann", "a") + "\r\nCharacter 2=" + stored("bob", "b") +
          "\r\nCharacter 3=" + stored("cat", "c") + "\r\n");
    h->prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
    EXPECT_FALSE(login([](FakeCharacterView& d) {
        d.clickDelete();
        EXPECT_EQ(d.characterNames.size(), 3u) << "No changes nothing";
        d.clickDelete();
        EXPECT_TRUE(d.open) << "the dialog stays open";
        d.clickCancel();
    }));
    ASSERT_EQ(h->prompts.questions.size(), 2u);
    EXPECT_EQ(h->prompts.questions[1].text, "ann/********\rDelete this name/pw?");
    EXPECT_EQ(h->prompts.questions[1].title, "DELETE");
    EXPECT_EQ(character(1), stored("bob", "b"));
    EXPECT_EQ(character(2), stored("cat", "c"));
    EXPECT_EQ(character(3), "");
    EXPECT_EQ(shown.characterNames, (std::vector<std::string>{"bob", "cat"}));
    EXPECT_EQ(shown.selectedName(), "cat");
    EXPECT_EQ(shown.passwordText, "c");
    EXPECT_TRUE(h->socket.sent.empty());
}

TEST_F(CharacterLoginTest, ANewCharacterNeedsANameAndAPassword) {
    start("Character 1=" + stored("ann", "a") + "\r\n");
    login([](FakeCharacterView& d) {
        d.clickNew();
        EXPECT_TRUE(d.newNameBoxShown);
        EXPECT_FALSE(d.listButtonsEnabled);
        EXPECT_EQ(d.passwordText, "a") << "New keeps the password box";
        d.typePassword("");
        d.clickOk();
        d.typeNewName("bob");
        d.clickOk();
        d.typeNewName("bo,b");
        d.typePassword("pw");
        d.clickOk();
        EXPECT_TRUE(d.open);
        d.clickCancel();
    });
    const std::vector<std::string> expected = {"Please enter a new Character name.",
                                               "You need a password for 'bob'.",
                                               "A Character name cannot contain a comma."};
    ASSERT_EQ(h->prompts.messages.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(h->prompts.messages[i].text, expected[i]);
        EXPECT_EQ(h->prompts.messages[i].title, "ERROR");
        EXPECT_EQ(h->prompts.messages[i].icon, PromptIcon::Exclamation);
    }
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_TRUE(h->socket.sent.empty());
}

TEST_F(CharacterLoginTest, ANewCharacterAddedTwiceIsStoredTwice) {
    start("Character 1=" + stored("ann", "a") + "\r\n");
    h->prompts.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(login([](FakeCharacterView& d) {
        d.clickNew();
        d.typeNewName("ann");
        d.typePassword("again");
        d.clickOk();
    }));
    ASSERT_EQ(h->prompts.questions.size(), 1u) << "an added character is not asked about its password again";
    EXPECT_EQ(h->prompts.questions[0].text, "ann/********\rAdd this name/pw?");
    EXPECT_EQ(h->prompts.questions[0].title, "Add Name/PW");
    EXPECT_EQ(character(1), stored("ann", "a"));
    EXPECT_EQ(character(2), stored("ann", "again"));
    EXPECT_EQ(h->socket.allSent(), "connect ann again\r\n" + kLoginTail);
    EXPECT_EQ(session().CharacterName, "ann");
}

TEST_F(CharacterLoginTest, AnsweringNoToAddGoesBackToTheList) {
    start("Character 1=" + stored("ann", "a") + "\r\n");
    h->prompts.answers = {PromptAnswer::No};
    EXPECT_TRUE(login([](FakeCharacterView& d) {
        d.clickNew();
        d.typeNewName("bob");
        d.typePassword("b");
        d.clickOk();
        EXPECT_TRUE(d.open);
        EXPECT_FALSE(d.newNameBoxShown);
        EXPECT_TRUE(d.listButtonsEnabled);
        EXPECT_EQ(d.passwordText, "a");
        d.clickOk();
    }));
    EXPECT_EQ(h->prompts.questions.size(), 1u) << "the restored password is not a change";
    EXPECT_EQ(character(2), "");
    EXPECT_EQ(h->socket.allSent(), "connect ann a\r\n" + kLoginTail);
}

TEST_F(CharacterLoginTest, AChangedPasswordIsStoredOnlyWhenTheUserSaysYes) {
    start("Character 1=" + stored("ann", "old") + "\r\n");
    const std::string before = ini();
    h->prompts.answers = {PromptAnswer::No};
    login([](FakeCharacterView& d) {
        d.typePassword("new");
        d.clickOk();
    });
    ASSERT_EQ(h->prompts.questions.size(), 1u);
    EXPECT_EQ(h->prompts.questions[0].text, "ann/new\rChange password?");
    EXPECT_EQ(h->prompts.questions[0].title, "Change Password");
    EXPECT_EQ(h->socket.allSent(), "connect ann old\r\n" + kLoginTail);
    EXPECT_EQ(ini(), before);

    h->socket.sent.clear();
    h->prompts.answers = {PromptAnswer::Yes};
    login([](FakeCharacterView& d) {
        d.typePassword("new");
        d.clickOk();
    });
    EXPECT_EQ(h->socket.allSent(), "connect ann new\r\n" + kLoginTail);
    EXPECT_EQ(character(1), stored("ann", "new"));
}

TEST_F(CharacterLoginTest, AnEmptyNameOrPasswordIsIllegal) {
    // A stored character without a password, and a password without a character.
    for (const std::string& characters : {std::string("Character 1=ann,\r\n"), std::string()}) {
        start(characters);
        EXPECT_FALSE(login([](FakeCharacterView& d) {
            if (d.characterNames.empty()) {
                d.typePassword("pw");
            }
            d.clickOk();
            EXPECT_TRUE(d.open);
            d.clickCancel();
        }));
        ASSERT_EQ(h->prompts.messages.size(), 1u) << characters;
        EXPECT_EQ(h->prompts.messages[0].text, "Illegal Name and/or Password");
        EXPECT_EQ(h->prompts.messages[0].title, "ERROR");
        EXPECT_TRUE(h->socket.sent.empty());
    }
}

TEST_F(CharacterLoginTest, CancelSendsNothingAndForgetsTheLastCharacter) {
    start("Character 1=" + stored("ann", "a") + "\r\n");
    session().CharacterName = "earlier";
    EXPECT_FALSE(login([](FakeCharacterView& d) { d.clickCancel(); }));
    EXPECT_EQ(session().CharacterName, "");
    EXPECT_TRUE(h->socket.sent.empty());
}

TEST_F(CharacterLoginTest, AWorldNotInTheAddressBookLogsInButStoresNothing) {
    start("", "Elsewhere");
    ASSERT_EQ(session().WorldName, "Elsewhere");
    const std::string before = ini();
    h->prompts.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(login([](FakeCharacterView& d) {
        d.clickNew();
        d.typeNewName("ann");
        d.typePassword("a");
        d.clickOk();
    }));
    EXPECT_EQ(h->socket.allSent(), "connect ann a\r\n" + kLoginTail);
    EXPECT_EQ(ini(), before);
}

struct EightBitCase {
    std::string name;
    bool newCharacter;
};

void PrintTo(const EightBitCase& row, std::ostream* out) {
    *out << row.name;
}

class CharacterPasswordStoreTest : public CharacterLoginTest,
                                   public ::testing::WithParamInterface<EightBitCase> {};

TEST_P(CharacterPasswordStoreTest, APasswordTheFileCannotHoldIsUsedButNotStored) {
    start("Character 1=" + stored("ann", "old") + "\r\n");
    const std::string before = ini();
    h->prompts.answers = {PromptAnswer::Yes};
    const bool added = GetParam().newCharacter;
    EXPECT_TRUE(login([added](FakeCharacterView& d) {
        if (added) {
            d.clickNew();
            d.typeNewName("bob");
        }
        d.typePassword("caf\xC3\xA9");
        d.clickOk();
    }));
    const std::string name = added ? "bob" : "ann";
    // On the wire the password is Windows-1252: "é" is one byte 0xE9.
    EXPECT_EQ(h->socket.allSent(), "connect " + name + " caf\xE9\r\n" + kLoginTail);
    EXPECT_EQ(session().CharacterName, name);
    ASSERT_EQ(h->prompts.messages.size(), 1u);
    EXPECT_EQ(h->prompts.messages[0].text,
              "The password for " + name +
                  " cannot be stored: it is too long, or it has characters beyond plain ASCII.\r"
                  "You are logged in with it, but it was not saved.");
    EXPECT_EQ(h->prompts.messages[0].title, "Corvane 2.1");
    EXPECT_EQ(ini(), before);
}

INSTANTIATE_TEST_SUITE_P(UnstorablePasswords, CharacterPasswordStoreTest,
                         ::testing::Values(EightBitCase{"NewCharacter", true},
                                           EightBitCase{"ChangedPassword", false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(CharacterLoginTest, AnOverlongPasswordIsUsedButNotStored) {
    start("");
    h->prompts.answers = {PromptAnswer::Yes};
    const std::string longPassword(260, 'x');
    login([&](FakeCharacterView& d) {
        d.clickNew();
        d.typeNewName("ann");
        d.typePassword(longPassword);
        d.clickOk();
    });
    EXPECT_EQ(h->socket.allSent(), "connect ann " + longPassword + "\r\n" + kLoginTail);
    EXPECT_EQ(character(1), "");
    EXPECT_EQ(h->prompts.messages.size(), 1u);
}

TEST_F(CharacterLoginTest, StartingWithACharacterLogsItInWithoutTheDialog) {
    start("Character 1=" + stored("ann", "a") + "\r\nCharacter 2=" + stored("bob", "b") + "\r\n");
    EXPECT_EQ(LoginStoredCharacter("bob", session(), h->client.sender(), h->prompts, path), std::nullopt);
    EXPECT_EQ(h->socket.allSent(), "connect bob b\r\n" + kLoginTail);
    EXPECT_EQ(session().CharacterName, "bob");
    EXPECT_EQ(h->views.characterDialogsCreated, 0);

    h->socket.sent.clear();
    EXPECT_EQ(LoginStoredCharacter("", session(), h->client.sender(), h->prompts, path), std::nullopt);
    EXPECT_EQ(h->socket.allSent(), "connect ann a\r\n" + kLoginTail);

    h->socket.sent.clear();
    EXPECT_EQ(LoginStoredCharacter("Bob", session(), h->client.sender(), h->prompts, path),
              "There is no character named \"Bob\" for \"FurryMUCK\".");
    EXPECT_TRUE(h->socket.sent.empty());
}

TEST_F(CharacterLoginTest, APasswordInAKeyringThatDoesNotAnswerSendsNothingAndSaysWhy) {
    FakeKeyring keyring;
    keyring.entries["ann on FurryMUCK"] = "sea";
    keyring.reason = "No keyring service answers (org.freedesktop.secrets).";
    SetKeyring(&keyring);
    start("Character 1=ann,\r\n[Corvane2]\r\nKeyringPasswords=True\r\n");
    EXPECT_FALSE(login([](FakeCharacterView& d) {
        EXPECT_EQ(d.passwordText, "");
        d.clickOk();
    }));
    EXPECT_EQ(LoginStoredCharacter("ann", session(), h->client.sender(), h->prompts, path),
              "Could not log in as \"ann\".");
    SetKeyring(nullptr);
    EXPECT_TRUE(h->socket.sent.empty()) << h->socket.allSent();
    ASSERT_EQ(h->prompts.messages.size(), 2u);
    for (const auto& message : h->prompts.messages) {
        EXPECT_NE(message.text.find("The keyring is not available, so the password of ann could not be read; "
                                    "nothing was sent to the world."),
                  std::string::npos)
            << message.text;
        EXPECT_NE(message.text.find("org.freedesktop.secrets"), std::string::npos);
    }
}

TEST_F(CharacterLoginTest, StartingWithACharacterNeedsAWorldAndACharacter) {
    start("");
    EXPECT_EQ(LoginStoredCharacter("", session(), h->client.sender(), h->prompts, path),
              "No characters are stored for \"FurryMUCK\".");
    session().WorldName.clear();
    EXPECT_EQ(LoginStoredCharacter("ann", session(), h->client.sender(), h->prompts, path),
              "Not connected to a MUD/MUCK.");
    EXPECT_TRUE(h->socket.sent.empty());
}

} // namespace
} // namespace corvane::testing
