#include "behaviour/logged_in_client.h"
#include "core/msdp_messages.h"
#include "fakes/telnet_bytes.h"
#include "wire/msdp_reader.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// MSDP's markers, to spell variables in rows.
const std::string kMsdpVar = "\x01";
const std::string kMsdpVal = "\x02";
const std::string kTableOpen = "\x03";
const std::string kTableClose = "\x04";
const std::string kArrayOpen = "\x05";
const std::string kArrayClose = "\x06";

std::string msdpVar(const std::string& name, const std::string& value) {
    return kMsdpVar + name + kMsdpVal + value;
}

std::string msdpTable(const std::string& body) {
    return kTableOpen + body + kTableClose;
}

std::string msdpSub(const std::string& body) {
    return IAC + SB + "\x45" + body + IAC + SE;
}

struct MsdpReadCase {
    std::string name;
    std::string payload;
    // What was read, as JSON: [[name, value], ...].
    std::string variables;
    bool cut = false;
};

void PrintTo(const MsdpReadCase& row, std::ostream* out) {
    *out << row.name;
}

class MsdpReadTest : public ::testing::TestWithParam<MsdpReadCase> {};

TEST_P(MsdpReadTest, ReadsVariablesAsJsonValues) {
    const MsdpReport report = MsdpReport::Read(GetParam().payload);
    nlohmann::json read = nlohmann::json::array();
    for (const MsdpReport::Variable& variable : report.variables) {
        read.push_back(nlohmann::json::array({variable.name, variable.value}));
    }
    const nlohmann::json expected = nlohmann::json::parse(GetParam().variables);
    EXPECT_EQ(read, expected) << read.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    EXPECT_EQ(report.cut, GetParam().cut);
}

std::string msdpManyVariables(std::size_t count) {
    std::string body;
    for (std::size_t i = 0; i < count; ++i) {
        body += msdpVar("V" + std::to_string(i), "x");
    }
    return body;
}

std::string msdpManyVariablesRead(std::size_t count) {
    nlohmann::json out = nlohmann::json::array();
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(nlohmann::json::array({"V" + std::to_string(i), "x"}));
    }
    return out.dump();
}

std::string msdpNestedArrays(int depth) {
    std::string body;
    for (int i = 0; i < depth; ++i) {
        body += kMsdpVal + kArrayOpen;
    }
    for (int i = 0; i < depth; ++i) {
        body += kArrayClose;
    }
    return body;
}

// Arrays inside arrays, `depth` of them, the innermost empty.
std::string msdpNestedArraysRead(int depth) {
    std::string out;
    for (int i = 0; i < depth; ++i) {
        out += "[";
    }
    return out + std::string(static_cast<std::size_t>(depth), ']');
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, MsdpReadTest,
    ::testing::Values(
        MsdpReadCase{"OneString", msdpVar("HEALTH", "8"), R"([["HEALTH","8"]])"},
        MsdpReadCase{"SeveralValuesAreAnArray", msdpVar("X", "a") + kMsdpVal + "b", R"([["X",["a","b"]]])"},
        MsdpReadCase{"AnArray",
                     kMsdpVar + "X" + kMsdpVal + kArrayOpen + kMsdpVal + "a" + kMsdpVal + "b" + kArrayClose,
                     R"([["X",["a","b"]]])"},
        MsdpReadCase{"TablesInTables",
                     msdpVar("ROOM", msdpTable(msdpVar("VNUM", "6008") +
                                               msdpVar("EXITS", msdpTable(msdpVar("n", "6011") +
                                                                          msdpVar("e", "6007"))))) +
                         msdpVar("MANA", "5"),
                     R"([["ROOM",{"VNUM":"6008","EXITS":{"n":"6011","e":"6007"}}],["MANA","5"]])"},
        MsdpReadCase{"AnEmptyValue", msdpVar("X", "") + msdpVar("Y", "1"), R"([["X",""],["Y","1"]])"},
        MsdpReadCase{"ANameWithoutAValueIsLeftOut", kMsdpVar + "X" + msdpVar("Y", "1"), R"([["Y","1"]])"},
        MsdpReadCase{"BytesBeforeTheFirstNameAreSkipped", "junk" + kMsdpVal + "x" + kTableClose + msdpVar("A", "1"),
                     R"([["A","1"]])"},
        MsdpReadCase{"AnUnclosedTableEndsWithThePayload", msdpVar("T", kTableOpen + msdpVar("a", "1")),
                     R"([["T",{"a":"1"}]])"},
        MsdpReadCase{"TheOtherKindOfCloseEndsATable",
                     msdpVar("T", kTableOpen + msdpVar("a", "1") + kArrayClose) + msdpVar("B", "2"),
                     R"([["T",{"a":"1"}],["B","2"]])"},
        MsdpReadCase{"NulsAreDropped", msdpVar(std::string("H\0P", 3), std::string("1\0" "2", 3)),
                     R"([["HP","12"]])"},
        MsdpReadCase{"BytesThatAreNotUtf8BecomeReplacementCharacters",
                     msdpVar("ROOM_NAME", "Caf\xE9 \xC3\xA9t\xE9\xF0\x9F\x8F") + msdpVar("\xFF", "1"),
                     R"([["ROOM_NAME","Caf\ufffd \u00e9t\ufffd\ufffd\ufffd\ufffd"],["\ufffd","1"]])"},
        MsdpReadCase{"NestingPastTheLimitIsSkippedWhole",
                     kMsdpVar + "DEEP" + msdpNestedArrays(40) + msdpVar("AFTER", "1"),
                     R"([["DEEP",)" + msdpNestedArraysRead(MsdpReport::kMaxDepth - 1) + R"(],["AFTER","1"]])",
                     true},
        MsdpReadCase{"VariablesPastTheLimitAreLeftOut", msdpManyVariables(MsdpReport::kMaxVariables + 40),
                     msdpManyVariablesRead(MsdpReport::kMaxVariables), true},
        MsdpReadCase{"ValuesPastTheLimitAreLeftOut",
                     kMsdpVar + "MANY" + [] {
                         std::string values;
                         for (std::size_t i = 0; i < MsdpReport::kMaxValues + 10; ++i) {
                             values += kMsdpVal + "v";
                         }
                         return values;
                     }(),
                     R"([["MANY",)" + nlohmann::json(std::vector<std::string>(MsdpReport::kMaxValues, "v")).dump() +
                         "]]",
                     true}),
    [](const ::testing::TestParamInfo<MsdpReadCase>& row) { return row.param.name; });

// A MUD world logged in on fakes, with a script that says what it hears.
class MsdpWorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        c.logIn("Server=MUD\r\n");
        c.h->client.scripts().runLua(
            "on('msdp', function(name, value)\n"
            "  if type(value) == 'table' then send('msdp ' .. name .. ' ' .. tostring(value.VNUM))\n"
            "  else send('msdp ' .. name .. '=' .. value) end\n"
            "end)\n"
            "on('room', function(name, id) send(string.format('room %s %d', name, id)) end)");
    }
    void receive(const std::string& bytes) {
        c.h->socket.sent.clear();
        c.h->socket.receive(bytes);
        c.h->clock.advance(std::chrono::milliseconds(10));
    }
    std::string sent() const { return c.h->socket.allSent(); }
    std::vector<std::string> exits() { return c.h->client.room().walk().knownExits(); }
    LoggedInClient c;
};

TEST_F(MsdpWorldTest, AgreedAskedForReportsAndFedToTheStatusLineCaptionWalkAndScripts) {
    receive(IAC + WILL + "\x45");
    EXPECT_EQ(sent(), IAC + DO + "\x45" + IAC + SB + "\x45\x01REPORT\x02HEALTH\x02HEALTH_MAX\x02MANA\x02MANA_MAX"
                                                     "\x02MOVEMENT\x02MOVEMENT_MAX\x02ROOM\x02ROOM_NAME\x02ROOM_VNUM"
                                                     "\x02ROOM_EXITS\x02" "AREA_NAME" +
                          IAC + SE);

    // Reported one to a subnegotiation, as they change.
    receive(msdpSub(msdpVar("HEALTH", "8")) + msdpSub(msdpVar("HEALTH_MAX", "10")) +
            msdpSub(msdpVar("MANA", "5")) + "You feel better.\r\n");
    EXPECT_EQ(c.h->window.labels[0], "Status: On Line   HP 8/10  MP 5");
    EXPECT_EQ(sent(), "msdp HEALTH=8\r\nmsdp HEALTH_MAX=10\r\nmsdp MANA=5\r\n");
    // The same world's GMCP tells only what changed: the status line keeps what MSDP told.
    receive(IAC + WILL + "\xc9" + IAC + SB + "\xc9" + R"(Char.Vitals {"hp":"7"})" + IAC + SE);
    EXPECT_EQ(c.h->window.labels[0], "Status: On Line   HP 7/10  MP 5");

    // The room's parts one at a time, its number last: one arrival.
    receive(msdpSub(msdpVar("AREA_NAME", "Town")) +
            msdpSub(msdpVar("ROOM_EXITS", msdpTable(msdpVar("s", "164") + msdpVar("se", "166")))) +
            msdpSub(msdpVar("ROOM_NAME", "North Road")) + msdpSub(msdpVar("ROOM_VNUM", "165")));
    EXPECT_EQ(c.session().RoomRef, 165);
    EXPECT_EQ(c.session().RoomName, "North Road");
    EXPECT_EQ(c.h->window.captionText, "Practice - North Road");
    EXPECT_EQ(exits(), (std::vector<std::string>{"s", "se"}));
    EXPECT_EQ(sent(), "msdp AREA_NAME=Town\r\nmsdp ROOM_EXITS nil\r\nmsdp ROOM_NAME=North Road\r\n"
                      "msdp ROOM_VNUM=165\r\nroom North Road 165\r\n");

    // The whole room in one table; then the same room again with a door shut.
    receive(msdpSub(msdpVar("ROOM", msdpTable(msdpVar("VNUM", "166") + msdpVar("NAME", "Market Row") +
                                              msdpVar("EXITS", msdpTable(msdpVar("n", "165")))))));
    EXPECT_EQ(c.session().RoomRef, 166);
    EXPECT_EQ(c.h->window.captionText, "Practice - Market Row");
    EXPECT_EQ(exits(), (std::vector<std::string>{"n"}));
    EXPECT_EQ(sent(), "msdp ROOM 166\r\nroom Market Row 166\r\n");
    receive(msdpSub(msdpVar("ROOM", msdpTable(msdpVar("VNUM", "166") + msdpVar("NAME", "Market Row") +
                                              msdpVar("EXITS", msdpTable(""))))));
    EXPECT_EQ(exits(), std::vector<std::string>{});
    EXPECT_EQ(sent(), "msdp ROOM 166\r\n") << "no second arrival";

    // Its number first, then its name: the caption follows the name.
    receive(msdpSub(msdpVar("ROOM_VNUM", "7")) + msdpSub(msdpVar("ROOM_NAME", "Cellar")));
    EXPECT_EQ(c.session().RoomRef, 7);
    EXPECT_EQ(c.h->window.captionText, "Practice - Cellar");
}

TEST_F(MsdpWorldTest, ARoomNumberBeforeItsNameArrivesWithTheNameOrAtTheReadsEnd) {
    receive(IAC + WILL + "\x45");
    receive(msdpSub(msdpVar("ROOM_NAME", "Hall")) + msdpSub(msdpVar("ROOM_VNUM", "6")));

    // Its number first, then its name: one arrival, with the new name.
    receive(msdpSub(msdpVar("ROOM_VNUM", "7")) + msdpSub(msdpVar("ROOM_NAME", "Cellar")));
    EXPECT_EQ(c.session().RoomRef, 7);
    EXPECT_EQ(c.h->window.captionText, "Practice - Cellar");
    EXPECT_EQ(sent(), "msdp ROOM_VNUM=7\r\nmsdp ROOM_NAME=Cellar\r\nroom Cellar 7\r\n");

    // Two rooms walked in one read, the first never named: both arrive.
    receive(msdpSub(msdpVar("ROOM_VNUM", "8")) + msdpSub(msdpVar("ROOM_VNUM", "9")) +
            msdpSub(msdpVar("ROOM_NAME", "Vault")));
    EXPECT_EQ(sent(), "msdp ROOM_VNUM=8\r\nmsdp ROOM_VNUM=9\r\nroom Cellar 8\r\nmsdp ROOM_NAME=Vault\r\n"
                      "room Vault 9\r\n");

    // A number whose name never comes arrives when the read ends.
    receive(msdpSub(msdpVar("ROOM_VNUM", "10")) + "The air is still.\r\n");
    EXPECT_EQ(c.session().RoomRef, 10);
    EXPECT_EQ(sent(), "msdp ROOM_VNUM=10\r\nroom Vault 10\r\n");
}

TEST_F(MsdpWorldTest, ARoomGmcpAlreadyToldIsNotEnteredAgain) {
    c.h->client.lineProcessor().telnet().setAccepted(telnet_option::Gmcp, TelnetFilter::Side::Remote, true);
    receive(IAC + WILL + "\x45" + IAC + WILL + "\xC9");
    receive(IAC + SB + "\xC9" + R"(Room.Info {"num":165,"name":"North Road","exits":{"s":164}})" + IAC + SE +
            msdpSub(msdpVar("ROOM", msdpTable(msdpVar("VNUM", "165") + msdpVar("NAME", "North Road") +
                                              msdpVar("EXITS", msdpTable(msdpVar("s", "164")))))));
    EXPECT_EQ(sent(), "room North Road 165\r\nmsdp ROOM 165\r\n");
}

TEST_F(MsdpWorldTest, TooMuchIsSaidOnceAndTheRestStillRead) {
    receive(IAC + WILL + "\x45");
    receive(msdpSub(msdpManyVariables(MsdpReport::kMaxVariables + 1)) +
            msdpSub(msdpVar("HUGE", std::string(TelnetFilter::MaxSubnegotiationLength + 10, 'x'))) +
            msdpSub(msdpVar("HEALTH", std::string(MsdpMessages::kMaxVitalBytes + 1, '9'))) +
            msdpSub(msdpVar("HEALTH", "3")) + "After\r\n");
    c.h->clock.runPending();
    const std::string& output = c.h->window.output;
    const std::string notice =
        "*** The world's variables (MSDP) were more than Corvane reads at once; the rest were left out.";
    EXPECT_NE(output.find(notice), std::string::npos) << output;
    EXPECT_EQ(output.find("*** The world's variables (MSDP) were too long"), std::string::npos)
        << "one notice a connection";
    EXPECT_EQ(output.find("xxxx"), std::string::npos);
    EXPECT_NE(output.find("After"), std::string::npos);
    EXPECT_EQ(c.h->window.labels[0], "Status: On Line   HP 3");
}

TEST(MsdpOnOtherWorlds, AMuckRefusesIt) {
    LoggedInClient c;
    c.logIn();
    c.h->socket.receive(IAC + WILL + "\x45");
    EXPECT_EQ(c.h->socket.allSent(), IAC + DONT + "\x45");
}

} // namespace
} // namespace corvane::testing
