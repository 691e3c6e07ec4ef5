#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "settings/settings.h"
#include "worlds/stored_login.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// The address book works on a real settings file in a scratch folder; the
// dialog is scripted through the fake view.
struct AddressBookTest : ::testing::Test {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    std::unique_ptr<ClientHarness> h;

    void start(const std::string& ini, const std::string& commandLine = {}) {
        folder.write("CORVANE.INI", ini);
        h = std::make_unique<ClientHarness>(commandLine, path);
    }
    // Opens the dialog, runs the script while it is shown, and keeps the view
    // for the assertions.
    FakeAddressBookView& open(std::function<void(FakeAddressBookView&)> script) {
        h->views.addressBookScript = [this, script](FakeAddressBookView& dialog) {
            shown = dialog;
            script(dialog);
            shown = dialog;
        };
        h->client.FileConnect();
        return shown;
    }
    std::string mud(int n) { return ReadSetting("Addresses", "MUD " + std::to_string(n), path); }
    Session& session() { return h->client.session(); }

    FakeAddressBookView shown;
};

const std::string kThreeWorlds = "[Addresses]\r\n"
                                 "MUD 1=Alpha,alpha.example,4201\r\n"
                                 "MUD 2=Beta,beta.example,8888\r\n"
                                 "MUD 3=Gamma,gamma.example,23\r\n"
                                 "[Alpha]\r\n"
                                 "Character 1=ann,W!-@9\r\n"
                                 "[Beta]\r\n"
                                 "Character 1=bob,W!-@9\r\n"
                                 "Macro 1=Go,go.cmd\r\n"
                                 "Trigger 1=pages you\r\n"
                                 "Player 1=Look,look\r\n";

TEST_F(AddressBookTest, OpensWithTheFirstWorldPicked) {
    start(kThreeWorlds);
    auto& dialog = open([](FakeAddressBookView& d) { d.clickCancel(); });
    EXPECT_EQ(dialog.worldNames, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(dialog.listText, "Alpha");
    EXPECT_EQ(dialog.hostText, "alpha.example");
    EXPECT_EQ(dialog.portText, "4201");
    EXPECT_FALSE(dialog.newWorldBoxShown);
    EXPECT_FALSE(session().Connected);
}

TEST_F(AddressBookTest, AnEmptyBookShowsPort8888AndNothingElse) {
    start("[Corvane]\r\n");
    auto& dialog = open([](FakeAddressBookView& d) { d.clickCancel(); });
    EXPECT_TRUE(dialog.worldNames.empty());
    EXPECT_EQ(dialog.listText, "");
    EXPECT_EQ(dialog.hostText, "");
    EXPECT_EQ(dialog.portText, "8888");
}

TEST_F(AddressBookTest, PickingAStoredWorldConnectsWithoutAsking) {
    start(kThreeWorlds);
    open([](FakeAddressBookView& d) {
        d.pick(2);
        EXPECT_EQ(d.hostText, "gamma.example");
        EXPECT_EQ(d.portText, "23");
        d.clickOk();
    });
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"gamma.example:23"});
    EXPECT_EQ(session().WorldName, "Gamma");
    EXPECT_EQ(session().WorldIndex, 2);
    EXPECT_TRUE(shown.hidden);
    EXPECT_FALSE(h->window.busyCursor);
}

TEST_F(AddressBookTest, LoadingStopsAtAGapAndASaveLeavesTheKeysBeyondIt) {
    start("[Addresses]\r\nMUD 1=A,a.example,1\r\nMUD 2=B,b.example,2\r\nMUD 4=D,d.example,4\r\n");
    h->prompts.answers = {PromptAnswer::Yes};
    auto& dialog = open([](FakeAddressBookView& d) {
        d.typePort("1111");
        d.clickOk();
    });
    EXPECT_EQ(dialog.worldNames, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(mud(1), "A,a.example,1111");
    EXPECT_EQ(mud(2), "B,b.example,2");
    EXPECT_EQ(mud(3), "");
    EXPECT_EQ(mud(4), "D,d.example,4");
}

TEST_F(AddressBookTest, AValueWithoutTwoCommasIsSkippedAndDroppedByTheNextSave) {
    start("[Addresses]\r\nMUD 1=A,a.example,1\r\nMUD 2=junk\r\nMUD 3=C,c.example\r\nMUD 4=D,d.example,4\r\n");
    h->prompts.answers = {PromptAnswer::Yes};
    auto& dialog = open([](FakeAddressBookView& d) {
        d.typeHost("a2.example");
        d.clickOk();
    });
    EXPECT_EQ(dialog.worldNames, (std::vector<std::string>{"A", "D"}));
    // Left in place, the old fourth key would list D twice on the next load.
    EXPECT_EQ(mud(1), "A,a2.example,1");
    EXPECT_EQ(mud(2), "D,d.example,4");
    EXPECT_EQ(mud(3), "");
    EXPECT_EQ(mud(4), "");
}

TEST_F(AddressBookTest, ASaveKeepsEveryWorldTheLoadListed) {
    struct Row {
        const char* name;
        std::string stored;
        std::vector<std::string> listed;
    };
    const std::string b = "MUD 2=B,b.example,2\r\n";
    const std::vector<Row> rows = {
        {"LoneCrInName", "[Addresses]\r\nMUD 1=Foo\rBar,foo.example,1\r\n" + b, {"Foo\rBar", "B"}},
        {"EmptyName", "[Addresses]\r\nMUD 1=,nameless.example,1\r\n" + b, {"", "B"}},
        {"TwoByteOrderMarks",
         "\xEF\xBB\xBF\xEF\xBB\xBF[Addresses]\r\nMUD 1=A,a.example,1\r\n" + b,
         {"A", "B"}},
    };
    for (const Row& row : rows) {
        start(row.stored);
        h->prompts.answers = {PromptAnswer::Yes};
        std::vector<std::string> listed;
        open([&](FakeAddressBookView& d) {
            listed = d.worldNames;
            d.clickNew();
            d.newName = "Zed";
            d.typeHost("zed.example");
            d.clickOk();
        });
        EXPECT_EQ(listed, row.listed) << row.name;
        std::vector<std::string> saved = row.listed;
        saved.push_back("Zed");
        EXPECT_EQ(open([](FakeAddressBookView& d) { d.clickCancel(); }).worldNames, saved) << row.name;
    }
}

TEST_F(AddressBookTest, DeletingTheSecondOfThreeRenumbersAndDeletesItsSection) {
    start(kThreeWorlds);
    h->prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
    auto& dialog = open([](FakeAddressBookView& d) {
        d.pick(1);
        d.clickDelete();
        EXPECT_EQ(d.worldNames.size(), 3u) << "No changes nothing";
        d.clickDelete();
        d.clickCancel();
    });
    ASSERT_EQ(h->prompts.questions.size(), 2u);
    EXPECT_EQ(h->prompts.questions[1].text, "Beta\r(beta.example 8888)\r\rDelete this MUD/MUCK?");
    EXPECT_EQ(h->prompts.questions[1].title, "DELETE MUD/MUCK");

    EXPECT_EQ(mud(1), "Alpha,alpha.example,4201");
    EXPECT_EQ(mud(2), "Gamma,gamma.example,23");
    EXPECT_EQ(mud(3), "");
    for (const char* key : {"Character 1", "Macro 1", "Trigger 1", "Player 1"}) {
        EXPECT_EQ(ReadSetting("Beta", key, path), "") << key;
    }
    EXPECT_EQ(folder.read("CORVANE.INI").find("[Beta]"), std::string::npos);
    EXPECT_EQ(ReadSetting("Alpha", "Character 1", path), "ann,W!-@9");
    EXPECT_EQ(dialog.worldNames, (std::vector<std::string>{"Alpha", "Gamma"}));
    EXPECT_EQ(dialog.listText, "Alpha");
}

TEST_F(AddressBookTest, DeletingTheOnlyWorldLeavesNoKeysAndAnEmptyList) {
    start("[Addresses]\r\nMUD 1=Solo,solo.example,23\r\n");
    h->prompts.answers = {PromptAnswer::Yes};
    auto& dialog = open([](FakeAddressBookView& d) {
        d.clickDelete();
        d.clickCancel();
    });
    EXPECT_TRUE(dialog.worldNames.empty());
    EXPECT_EQ(mud(1), "");
    EXPECT_EQ(folder.read("CORVANE.INI").find("MUD"), std::string::npos);
}

TEST_F(AddressBookTest, DeletingAWorldKeepsASectionOthersStillUse) {
    start(
        "[Addresses]\r\nMUD 1=Twin,one.example,23\r\nMUD 2=twin,two.example,23\r\nMUD 3=Font,f.example,23\r\n"
        "[Twin]\r\nCharacter 1=ann,W!-@9\r\n[Font]\r\nFontName=Courier New\r\n");
    h->prompts.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    open([](FakeAddressBookView& d) {
        d.clickDelete();
        d.pick(1);
        d.clickDelete();
        d.clickCancel();
    });
    EXPECT_EQ(mud(1), "twin,two.example,23");
    EXPECT_EQ(mud(2), "");
    EXPECT_EQ(ReadSetting("Twin", "Character 1", path), "ann,W!-@9");
    EXPECT_EQ(ReadSetting("Font", "FontName", path), "Courier New");
}

TEST_F(AddressBookTest, ThePortBoxHoldsOnlyPortNumbers) {
    struct Row {
        std::string typed;
        std::string shown;
    };
    const std::vector<Row> rows = {{"70000", "65535"}, {"65536", "65535"}, {"65535", "65535"}, {"1", "1"},
                                   {"0", "1"},         {"abc", "1"},       {"", "1"},          {"-5", "1"},
                                   {"0.5", "1"},       {"23abc", "23abc"}, {"1e9", "65535"}};
    start(kThreeWorlds);
    open([&](FakeAddressBookView& d) {
        for (const Row& row : rows) {
            d.typePort(row.typed);
            EXPECT_EQ(d.portText, row.shown) << "typed \"" << row.typed << "\"";
        }
        d.clickCancel();
    });
}

TEST_F(AddressBookTest, ANewWorldIsAddedWhenTheUserSaysYes) {
    start(kThreeWorlds);
    h->prompts.answers = {PromptAnswer::Yes};
    open([](FakeAddressBookView& d) {
        d.clickNew();
        EXPECT_TRUE(d.newWorldBoxShown);
        EXPECT_EQ(d.hostText, "") << "New starts from the defaults";
        d.newName = "Delta";
        d.typeHost("delta.example");
        d.typePort("7777");
        d.clickOk();
    });
    ASSERT_EQ(h->prompts.questions.size(), 1u);
    EXPECT_EQ(h->prompts.questions[0].text, "Delta\rHost: delta.example\rPort: 7777\r\r\rAdd this MUD?");
    EXPECT_EQ(h->prompts.questions[0].title, "Corvane 2.1");
    EXPECT_EQ(h->prompts.questions[0].icon, PromptIcon::Question);
    EXPECT_EQ(mud(4), "Delta,delta.example,7777");
    EXPECT_EQ(mud(1), "Alpha,alpha.example,4201");
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"delta.example:7777"});
    EXPECT_EQ(session().WorldName, "Delta");
    EXPECT_EQ(session().WorldIndex, 3);
}

TEST_F(AddressBookTest, ANewWorldAnsweredNoConnectsUnstoredAndCancelStaysInTheDialog) {
    start(kThreeWorlds);
    const std::string before = folder.read("CORVANE.INI");
    h->prompts.answers = {PromptAnswer::Cancel, PromptAnswer::No};
    open([&](FakeAddressBookView& d) {
        d.clickNew();
        d.newName = "Delta";
        d.typeHost("delta.example");
        d.clickOk();
        EXPECT_TRUE(d.open);
        EXPECT_FALSE(h->window.busyCursor);
        EXPECT_TRUE(h->socket.connectCalls.empty());
        d.clickOk();
    });
    EXPECT_EQ(h->prompts.questions.size(), 2u);
    EXPECT_EQ(folder.read("CORVANE.INI"), before);
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"delta.example:8888"});
    EXPECT_EQ(session().WorldName, "Delta");
    EXPECT_EQ(session().WorldIndex, -1) << "no other world's index for a world not in the book";
}

struct UpdateCase {
    PromptAnswer answer;
    std::string stored;
    std::vector<std::string> connects;
};

std::string answerName(PromptAnswer answer) {
    switch (answer) {
    case PromptAnswer::Ok:
        return "Ok";
    case PromptAnswer::Yes:
        return "Yes";
    case PromptAnswer::No:
        return "No";
    case PromptAnswer::Cancel:
        return "Cancel";
    }
    return "?";
}

void PrintTo(const UpdateCase& row, std::ostream* out) {
    *out << "answer " << answerName(row.answer) << ", stored " << ::testing::PrintToString(row.stored);
}

class AddressBookUpdateTest : public AddressBookTest, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(AddressBookUpdateTest, AnEditedAddressOffersAnUpdate) {
    start(kThreeWorlds);
    h->prompts.answers = {GetParam().answer};
    open([](FakeAddressBookView& d) {
        d.pick(1);
        d.typeHost("beta2.example");
        d.clickOk();
        if (d.open) {
            d.clickCancel();
        }
    });
    ASSERT_EQ(h->prompts.questions.size(), 1u);
    EXPECT_EQ(h->prompts.questions[0].text, "Beta\rHost: beta2.example\rPort: 8888\r\rThe Address or Port "
                                            "has changed.\rUpdate this information?");
    EXPECT_EQ(h->prompts.questions[0].title, "CORVane 2.1");
    EXPECT_EQ(h->prompts.questions[0].icon, PromptIcon::Question);
    EXPECT_EQ(mud(2), GetParam().stored);
    EXPECT_EQ(h->socket.connectCalls, GetParam().connects);
}

INSTANTIATE_TEST_SUITE_P(
    UpdateAnswers, AddressBookUpdateTest,
    ::testing::Values(UpdateCase{PromptAnswer::Yes, "Beta,beta2.example,8888", {"beta2.example:8888"}},
                      UpdateCase{PromptAnswer::No, "Beta,beta.example,8888", {"beta2.example:8888"}},
                      UpdateCase{PromptAnswer::Cancel, "Beta,beta.example,8888", {}}),
    [](const auto& info) { return "Answer" + answerName(info.param.answer); });

TEST_F(AddressBookTest, PickingAgainForgetsEarlierEdits) {
    start(kThreeWorlds);
    open([](FakeAddressBookView& d) {
        d.typeHost("elsewhere.example");
        d.typePort("1");
        d.pick(0);
        d.clickOk();
    });
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"alpha.example:4201"});
}

TEST_F(AddressBookTest, OkWithAnEmptyFieldSaysAllFieldsAreRequired) {
    start(kThreeWorlds);
    open([](FakeAddressBookView& d) {
        d.typeHost("");
        d.clickOk();
        d.typeHost("alpha.example");
        d.clickNew();
        d.newName = "   ";
        d.clickOk();
        EXPECT_TRUE(d.open);
        d.clickCancel();
    });
    ASSERT_EQ(h->prompts.messages.size(), 2u);
    EXPECT_EQ(h->prompts.messages[0].text, "All fields are required!");
    EXPECT_EQ(h->prompts.messages[1].text, "All fields are required!");
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_TRUE(h->socket.connectCalls.empty());
}

TEST_F(AddressBookTest, NamesTheSettingsFileCannotHoldAreRefused) {
    struct Row {
        std::string name;
        std::string host;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"Foo, Bar", "foo.example", "A MUD/MUCK name cannot contain a comma."},
        {"font", "foo.example",
         "\"font\" is the name of a settings section.\rPlease choose another MUD/MUCK name."},
        {"Foo", "foo.example,23", "A MUD/MUCK address cannot contain a comma."},
    };
    start(kThreeWorlds);
    const std::string before = folder.read("CORVANE.INI");
    for (const Row& row : rows) {
        h->prompts.messages.clear();
        open([&](FakeAddressBookView& d) {
            d.clickNew();
            d.newName = row.name;
            d.typeHost(row.host);
            d.clickOk();
            d.clickCancel();
        });
        ASSERT_EQ(h->prompts.messages.size(), 1u) << row.name;
        EXPECT_EQ(h->prompts.messages[0].text, row.message);
        EXPECT_EQ(h->prompts.messages[0].title, "ERROR");
    }
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_EQ(folder.read("CORVANE.INI"), before);
}

TEST_F(AddressBookTest, ANewNameIsStoredWithoutTheBlanksTheFileWouldDrop) {
    start(kThreeWorlds);
    h->prompts.answers = {PromptAnswer::Yes};
    open([](FakeAddressBookView& d) {
        d.clickNew();
        d.newName = "  Delta  ";
        d.typeHost("delta.example");
        d.clickOk();
    });
    EXPECT_EQ(mud(4), "Delta,delta.example,8888");
    EXPECT_EQ(session().WorldName, "Delta");
}

TEST_F(AddressBookTest, ACommandLineWithAStoredAddressPicksItAndConnectsAtOnce) {
    start(kThreeWorlds, "telnet://beta.example:8888");
    h->client.start();
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_TRUE(h->prompts.messages.empty());
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"beta.example:8888"});
    EXPECT_EQ(session().WorldName, "Beta");
    EXPECT_EQ(session().WorldIndex, 1);
}

TEST_F(AddressBookTest, ACommandLineWithAnUnknownAddressOffersToAddItUnderItsHostName) {
    start(kThreeWorlds, "delta.example");
    h->prompts.answers = {PromptAnswer::Yes};
    h->client.start();
    EXPECT_TRUE(h->prompts.messages.empty());
    ASSERT_EQ(h->prompts.questions.size(), 1u);
    EXPECT_EQ(h->prompts.questions[0].text, "delta.example\rHost: delta.example\rPort: 23\r\r\rAdd this MUD?");
    EXPECT_EQ(mud(4), "delta.example,delta.example,23");
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"delta.example:23"});
}

TEST_F(AddressBookTest, ACommandLineAddressCanConnectWithoutBeingStored) {
    start(kThreeWorlds, "delta.example 4000");
    h->prompts.answers = {PromptAnswer::No};
    h->client.start();
    EXPECT_EQ(mud(4), "");
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"delta.example:4000"});
    EXPECT_EQ(session().WorldName, "delta.example");
}

TEST_F(AddressBookTest, ACommandLineIsUsedOnceAndNotWhileConnected) {
    start(kThreeWorlds, "[::1]:4201");
    h->prompts.answers = {PromptAnswer::Cancel};
    int activations = 0;
    open([&](FakeAddressBookView& d) {
        EXPECT_EQ(d.hostText, "::1");
        EXPECT_EQ(d.portText, "4201");
        d.events->onActivated();
        ++activations;
        d.clickCancel();
    });
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(h->prompts.questions.size(), 1u) << "the second activation offered the address again";

    start(kThreeWorlds, "delta.example");
    session().Connected = true;
    open([](FakeAddressBookView& d) {
        EXPECT_EQ(d.hostText, "alpha.example");
        d.clickCancel();
    });
    EXPECT_TRUE(h->prompts.messages.empty());
}

TEST_F(AddressBookTest, StartingWithAWorldConnectsToItWithoutTheDialog) {
    start(kThreeWorlds);
    EXPECT_EQ(ConnectStoredWorld("Gamma", session(), h->client.connection(), h->prompts, h->window, path),
              std::nullopt);
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"gamma.example:23"});
    EXPECT_EQ(session().WorldIndex, 2);
    EXPECT_EQ(h->views.addressBooksCreated, 0);

    start(kThreeWorlds);
    const auto error =
        ConnectStoredWorld("gamma", session(), h->client.connection(), h->prompts, h->window, path);
    EXPECT_EQ(error, "There is no MUD/MUCK named \"gamma\" in the address book.");
    EXPECT_TRUE(h->socket.connectCalls.empty());

    start(kThreeWorlds);
    h->socket.connectError = SocketError{11001, "Host not found"};
    EXPECT_EQ(ConnectStoredWorld("Alpha", session(), h->client.connection(), h->prompts, h->window, path),
              "Could not connect to \"Alpha\".");
}

} // namespace
} // namespace corvane::testing
