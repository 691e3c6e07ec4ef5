#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "settings/settings.h"

#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace corvane::testing {
namespace {

const std::string kWorlds = "[Addresses]\r\n"
                            "MUD 1=Auto,auto.example,4201\r\n"
                            "MUD 2=Code,code.example,4201\r\n"
                            "MUD 3=Uni,uni.example,4201\r\n"
                            "MUD 4=Odd,odd.example,4201\r\n"
                            "[Code]\r\n"
                            "Encoding=Windows-1252\r\n"
                            "[Uni]\r\n"
                            "Encoding=UTF-8\r\n"
                            "[Odd]\r\n"
                            "Encoding=Shift_JIS\r\n";
enum World { Auto, Code, Uni, Odd };

const std::string kSaid = "say \xC3\xA9 \xE2\x82\xAC";
const std::string kUtf8Line = "caf\xC3\xA9\r\n";

struct WorldEncodingTest : ::testing::Test {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    std::unique_ptr<ClientHarness> h;

    WorldEncodingTest() {
        folder.write("CORVANE.INI", kWorlds);
        h = std::make_unique<ClientHarness>(std::string(), path);
    }
    void connectWith(std::function<void(FakeAddressBookView&)> script) {
        h->views.addressBookScript = std::move(script);
        h->client.FileConnect();
        h->socket.accept();
    }
    void connectTo(int world) {
        connectWith([world](FakeAddressBookView& d) {
            d.pick(world);
            d.clickOk();
        });
    }
};

struct WireRow {
    const char* name;
    int world;
    // What the world sends before the player speaks.
    std::string received;
    // The world drops the line and the player connects again.
    bool reconnect;
    std::string sent;
    std::string shown;
};

std::ostream& operator<<(std::ostream& out, const WireRow& row) {
    return out << row.name;
}

struct WireBytes : WorldEncodingTest, ::testing::WithParamInterface<WireRow> {};

TEST_P(WireBytes, SaidTextLeavesInTheWorldsEncoding) {
    const WireRow& row = GetParam();
    connectTo(row.world);
    h->socket.receive(row.received);
    if (row.reconnect) {
        h->prompts.answers = {PromptAnswer::No};
        h->socket.serverCloses();
        connectTo(row.world);
    }
    h->type(kSaid);
    ASSERT_FALSE(h->socket.sent.empty());
    EXPECT_EQ(h->socket.sent.back(), row.sent + "\r\n");
    EXPECT_NE(h->window.output.find(row.shown), std::string::npos) << h->window.output;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, WireBytes,
    ::testing::Values(
        WireRow{"AutomaticSendsTheCodePageAtFirst", Auto, "hello\r\n", false, "say \xE9 \x80", "hello"},
        WireRow{"AutomaticSendsUtf8OnceTheWorldHas", Auto, kUtf8Line, false, kSaid, "caf\xC3\xA9\n"},
        WireRow{"AutomaticStartsOverOnANewConnection", Auto, kUtf8Line, true, "say \xE9 \x80",
                "caf\xC3\xA9\n"},
        WireRow{"Windows1252EvenAfterUtf8", Code, kUtf8Line, false, "say \xE9 \x80", "caf\xC3\x83\xC2\xA9\n"},
        WireRow{"Windows1252ReadsEveryByteAsItsOwn", Code, "\xE9\x80\r\n", false, "say \xE9 \x80",
                "\xC3\xA9\xE2\x82\xAC\n"},
        WireRow{"Utf8FromTheStart", Uni, "hello\r\n", false, kSaid, "hello"},
        WireRow{"Utf8StillReadsTheCodePageWhereItComes", Uni, "\xE9\x80\r\n", false, kSaid,
                "\xC3\xA9\xE2\x82\xAC\n"},
        WireRow{"AnUnknownNameIsAutomaticBefore", Odd, "hello\r\n", false, "say \xE9 \x80", "hello"},
        WireRow{"AnUnknownNameIsAutomaticAfter", Odd, kUtf8Line, false, kSaid, "caf\xC3\xA9\n"}),
    [](const ::testing::TestParamInfo<WireRow>& info) { return std::string(info.param.name); });

// A character the code page lacks goes as "?", but never silently: the
// status line names it, and the typed line stays in the history as typed.
TEST_F(WorldEncodingTest, ACharacterSentAsAQuestionMarkIsNamedInTheStatusLine) {
    connectTo(Auto);
    h->socket.receive("hello\r\n");
    const std::string typed = "say \xE2\x98\x95 or \xE2\x98\x95 and \xC3\xA9 \xE2\x9C\x93";
    h->type(typed);
    EXPECT_EQ(h->socket.sent.back(), "say ? or ? and \xE9 ?\r\n");
    EXPECT_EQ(h->window.labels[StatusView::StatusLabel].rfind("Sent as \"?\": \xE2\x98\x95\xE2\x9C\x93 (", 0), 0u)
        << h->window.labels[StatusView::StatusLabel];
    EXPECT_EQ(h->client.inputLine().history().back(), typed);
    h->clock.advance(std::chrono::seconds(6));
    EXPECT_EQ(h->window.labels[StatusView::StatusLabel], "Status: On Line");

    h->type(kSaid);
    EXPECT_EQ(h->window.labels[StatusView::StatusLabel], "Status: On Line") << "nothing lost, nothing said";
}

struct ChoiceRow {
    const char* name;
    int world;
    TextEncoding chosen;
    PromptAnswer answer;
    // As the update question shows it.
    const char* shownChoice;
    const char* storedAfter;
};

std::ostream& operator<<(std::ostream& out, const ChoiceRow& row) {
    return out << row.name;
}

struct EncodingChoice : WorldEncodingTest, ::testing::WithParamInterface<ChoiceRow> {};

TEST_P(EncodingChoice, ChangingItOffersAnUpdateAndHoldsForThisConnection) {
    const ChoiceRow& row = GetParam();
    h->prompts.answers = {row.answer};
    const char* names[] = {"Auto", "Code", "Uni", "Odd"};
    connectWith([&](FakeAddressBookView& d) {
        d.pick(row.world);
        d.chooseEncoding(row.chosen);
        d.clickOk();
    });
    ASSERT_EQ(h->prompts.questions.size(), 1U);
    EXPECT_EQ(h->prompts.questions[0].text, std::string(names[row.world]) +
                                                "\rHost: " + ToLowerAscii(names[row.world]) +
                                                ".example\rPort: 4201\rEncoding: " + row.shownChoice +
                                                "\r\rThe Encoding has changed.\rUpdate this information?");
    EXPECT_EQ(ReadSetting(names[row.world], "Encoding", path), row.storedAfter);
    EXPECT_EQ(h->client.session().Encoding, row.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, EncodingChoice,
    ::testing::Values(ChoiceRow{"Utf8Stored", Auto, TextEncoding::Utf8, PromptAnswer::Yes, "UTF-8", "UTF-8"},
                      ChoiceRow{"AutomaticStoredAsNoKey", Code, TextEncoding::Automatic, PromptAnswer::Yes,
                                "Automatic", ""},
                      ChoiceRow{"ForThisConnectOnly", Uni, TextEncoding::Windows1252, PromptAnswer::No,
                                "Windows-1252", "UTF-8"},
                      ChoiceRow{"UnknownNameKeptWhenAutomaticIsPickedAgain", Odd, TextEncoding::Automatic,
                                PromptAnswer::Yes, "Automatic", "Shift_JIS"}),
    [](const ::testing::TestParamInfo<ChoiceRow>& info) { return std::string(info.param.name); });

TEST_F(WorldEncodingTest, TheBookShowsEachChoiceAndKeepsAnUnknownNameThroughAnAddressUpdate) {
    h->prompts.answers = {PromptAnswer::Yes};
    connectWith([](FakeAddressBookView& d) {
        const std::vector<TextEncoding> expected = {TextEncoding::Automatic, TextEncoding::Windows1252,
                                                    TextEncoding::Utf8, TextEncoding::Automatic};
        for (int world = Auto; world <= Odd; ++world) {
            d.pick(world);
            EXPECT_EQ(d.encodingShown, expected[static_cast<std::size_t>(world)]) << world;
        }
        d.typeHost("odd.example.org");
        d.clickOk();
    });
    EXPECT_EQ(ReadSetting("Addresses", "MUD 4", path), "Odd,odd.example.org,4201");
    EXPECT_EQ(ReadSetting("Odd", "Encoding", path), "Shift_JIS");
    EXPECT_EQ(h->client.session().Encoding, TextEncoding::Automatic);
}

TEST_F(WorldEncodingTest, ANewWorldIsStoredWithItsChoice) {
    h->prompts.answers = {PromptAnswer::Yes};
    connectWith([](FakeAddressBookView& d) {
        d.clickNew();
        d.newName = "Fresh";
        d.typeHost("fresh.example");
        d.chooseEncoding(TextEncoding::Utf8);
        d.clickOk();
    });
    ASSERT_EQ(h->prompts.questions.size(), 1U);
    EXPECT_EQ(h->prompts.questions[0].text,
              "Fresh\rHost: fresh.example\rPort: 8888\rEncoding: UTF-8\r\r\rAdd this MUD?");
    EXPECT_EQ(ReadSetting("Fresh", "Encoding", path), "UTF-8");
}

// New starts from the defaults, whatever the world picked before it holds.
TEST(NewWorldDefaults, NewForgetsTheWorldPickedBefore) {
    ScratchFolder folder;
    const std::string path = folder.file("CORVANE.INI");
    folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=Quest,quest.example,4000\r\n[Quest]\r\nServer=MUD\r\n"
                                "Encoding=UTF-8\r\nSecure=True\r\nMCP=False\r\n");
    ClientHarness h(std::string(), path);
    h.prompts.answers = {PromptAnswer::Yes};
    h.views.addressBookScript = [](FakeAddressBookView& d) {
        EXPECT_EQ(d.serverChosen, ServerKind::Mud);
        d.clickNew();
        EXPECT_EQ(d.hostText, "");
        EXPECT_EQ(d.portText, "8888");
        EXPECT_FALSE(d.secureTicked);
        EXPECT_TRUE(d.mcpTicked);
        EXPECT_EQ(d.serverChosen, ServerKind::Muck);
        EXPECT_EQ(d.encodingShown, TextEncoding::Automatic);
        d.newName = "Fresh";
        d.typeHost("fresh.example");
        d.clickOk();
    };
    h.client.FileConnect();
    EXPECT_EQ(ReadSetting("Addresses", "MUD 2", path), "Fresh,fresh.example,8888");
    for (const char* key : {"Server", "Encoding", "Secure", "MCP", "Login"}) {
        EXPECT_EQ(ReadSetting("Fresh", key, path), "") << key;
    }
    EXPECT_EQ(h.client.session().Server, ServerKind::Muck);
}

// "Log-in" in the dialog: a new MUD starts at name-then-password, unless
// the player picks a form; a stored world shows and keeps what it has, and
// "connect" is no key at all.
struct LoginRow {
    const char* name;
    std::string section;
    std::function<void(FakeAddressBookView&)> choose;
    LoginForm shownAtOk;
    std::string stored;
};

void PrintTo(const LoginRow& row, std::ostream* out) {
    *out << row.name;
}

struct LoginChoice : ::testing::TestWithParam<LoginRow> {};

TEST_P(LoginChoice, IsShownAndStored) {
    const LoginRow& row = GetParam();
    ScratchFolder folder;
    const std::string path = folder.file("CORVANE.INI");
    folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=Quest,quest.example,4000\r\n[Quest]\r\n" + row.section);
    ClientHarness h(std::string(), path);
    h.prompts.answers = {PromptAnswer::Yes};
    h.views.addressBookScript = [&row](FakeAddressBookView& d) {
        row.choose(d);
        EXPECT_EQ(d.loginChosen, row.shownAtOk);
        d.clickOk();
    };
    h.client.FileConnect();
    const std::string world = h.client.session().WorldName;
    EXPECT_EQ(ReadSetting(world, "Login", path), row.stored) << world;
}

void typeNewWorldForLogin(FakeAddressBookView& d) {
    d.clickNew();
    d.newName = "Midgaard";
    d.typeHost("midgaard.example");
}

INSTANTIATE_TEST_SUITE_P(
    Worlds, LoginChoice,
    ::testing::Values(
        LoginRow{"ANewMudAsksAtThePrompts", "",
                 [](FakeAddressBookView& d) {
                     typeNewWorldForLogin(d);
                     d.chooseServer(ServerKind::Mud);
                 },
                 LoginForm::Prompts, "prompts"},
        LoginRow{"ANewMudWhoseFormWasPickedKeepsIt", "",
                 [](FakeAddressBookView& d) {
                     typeNewWorldForLogin(d);
                     d.chooseLogin(LoginForm::Connect);
                     d.chooseServer(ServerKind::Mud);
                 },
                 LoginForm::Connect, ""},
        LoginRow{"ANewMuckConnects", "", [](FakeAddressBookView& d) { typeNewWorldForLogin(d); },
                 LoginForm::Connect, ""},
        LoginRow{"AStoredMudKeepsConnect", "Server=MUD\r\n",
                 [](FakeAddressBookView& d) { d.chooseServer(ServerKind::Mud); }, LoginForm::Connect, ""},
        LoginRow{"AStoredFormIsShownAndChangedBack", "Server=MUD\r\nLogin=prompts\r\n",
                 [](FakeAddressBookView& d) {
                     EXPECT_EQ(d.loginChosen, LoginForm::Prompts);
                     d.chooseLogin(LoginForm::Connect);
                 },
                 LoginForm::Connect, ""},
        LoginRow{"NoneIsStored", "", [](FakeAddressBookView& d) { d.chooseLogin(LoginForm::None); },
                 LoginForm::None, "none"}),
    [](const ::testing::TestParamInfo<LoginRow>& info) { return std::string(info.param.name); });

// The Server choice is read when the connection starts, so it is stored
// without a question, and MUCK is no key at all.
struct ServerRow {
    const char* name;
    std::string section;
    ServerKind chosen;
    std::string storedAfter;
};

void PrintTo(const ServerRow& row, std::ostream* out) {
    *out << row.name;
}

struct ServerChoice : ::testing::TestWithParam<ServerRow> {};

TEST_P(ServerChoice, IsShownStoredAndUsedForTheConnection) {
    const ServerRow& row = GetParam();
    ScratchFolder folder;
    const std::string path = folder.file("CORVANE.INI");
    folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=Quest,quest.example,4000\r\n[Quest]\r\n" + row.section);
    ClientHarness h(std::string(), path);
    const ServerKind before = ParseServerKind(ReadSetting("Quest", "Server", path));
    h.views.addressBookScript = [&row, before](FakeAddressBookView& d) {
        EXPECT_EQ(d.serverChosen, before);
        d.serverChosen = row.chosen;
        d.clickOk();
    };
    h.client.FileConnect();
    EXPECT_TRUE(h.prompts.questions.empty());
    EXPECT_EQ(ReadSetting("Quest", "Server", path), row.storedAfter);
    EXPECT_EQ(ReadSetting("Quest", "Login", path), "") << "a stored world keeps today's log-in";
    EXPECT_EQ(h.client.session().Server, row.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Worlds, ServerChoice,
    ::testing::Values(ServerRow{"AMuckBecomesAMud", "", ServerKind::Mud, "MUD"},
                      ServerRow{"AMudBecomesAMuckAndLosesTheKey", "Server=MUD\r\n", ServerKind::Muck, ""},
                      ServerRow{"AMushStaysAsStored", "Server=mush\r\n", ServerKind::Mush, "mush"},
                      ServerRow{"AnUnknownNameStaysWhileTheChoiceIsMuck", "Server=Tiny\r\n", ServerKind::Muck,
                                "Tiny"}),
    [](const ::testing::TestParamInfo<ServerRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
