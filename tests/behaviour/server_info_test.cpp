#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "fakes/telnet_bytes.h"
#include "shell/server_info_presenter.h"
#include "wire/mssp_reader.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

const std::string kMsspWill = IAC + WILL + "\x46";
const std::string kMsspDo = IAC + DO + "\x46";

std::string msspVar(const std::string& name, const std::vector<std::string>& values) {
    std::string out = "\x01" + name;
    for (const std::string& value : values) {
        out += "\x02" + value;
    }
    return out;
}

std::string mssp(const std::string& body) {
    return IAC + SB + "\x46" + body + IAC + SE;
}

// 7 Dec 2026 at 03:00 UTC, and three days, four hours and five minutes later.
constexpr std::int64_t kStarted = 1796612400;
const TimePoint kReceived = TimePoint(std::chrono::seconds(kStarted + 3 * 86400 + 4 * 3600 + 5 * 60));

using Rows = std::vector<std::pair<std::string, std::string>>;

struct MsspShownCase {
    std::string name;
    std::string payload;
    Rows summary;
    Rows table;
    bool cut = false;
};

void PrintTo(const MsspShownCase& row, std::ostream* out) {
    *out << row.name;
}

Rows pairsOf(const std::vector<ServerInfoView::Row>& rows) {
    Rows out;
    for (const auto& row : rows) {
        out.emplace_back(row.name, row.value);
    }
    return out;
}

class MsspShownTest : public ::testing::TestWithParam<MsspShownCase> {};

TEST_P(MsspShownTest, ShowsTheMainFactsAboveAndTheRestAsATable) {
    const MsspReport report = MsspReport::Read(GetParam().payload);
    const auto shown = ServerInfoPresenter::Describe("Practice", {report, kReceived}, true);
    EXPECT_EQ(pairsOf(shown.summary), GetParam().summary);
    EXPECT_EQ(pairsOf(shown.table), GetParam().table);
    EXPECT_EQ(report.cut, GetParam().cut);
}

std::string manyVariables(std::size_t count) {
    std::string body;
    for (std::size_t i = 0; i < count; ++i) {
        body += msspVar("V" + std::to_string(i), {"x"});
    }
    return body;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, MsspShownTest,
    ::testing::Values(
        MsspShownCase{"SummaryInItsOrderWhateverTheWorldsOrder",
                      msspVar("CODEBASE", {"Evennia 6.1"}) + msspVar("PORT", {"4000", "4001"}) +
                          msspVar("UPTIME", {std::to_string(kStarted)}) + msspVar("PLAYERS", {"3"}) +
                          msspVar("NAME", {"Practice World"}),
                      {{"Name", "Practice World"},
                       {"Players", "3"},
                       {"Uptime", "3 days, 4 hours (since 7 Dec 2026 at 03:00 UTC)"},
                       {"Codebase", "Evennia 6.1"}},
                      {{"PORT", "4000, 4001"}}},
        MsspShownCase{"NamesWithoutCaseAndAnUptimeThatIsNoTime",
                      msspVar("name", {"Small"}) + msspVar("Uptime", {"a while"}),
                      {{"Name", "Small"}, {"Uptime", "a while"}},
                      {}},
        MsspShownCase{"MinutesUp", msspVar("UPTIME", {std::to_string(kStarted + 3 * 86400 + 4 * 3600)}),
                      {{"Uptime", "5 minutes (since 10 Dec 2026 at 07:00 UTC)"}},
                      {}},
        MsspShownCase{"BytesBeforeTheFirstNameAndNamesWithoutValuesAreLeftOut",
                      "junk" + msspVar("EMPTY", {}) + msspVar("GENRE", {"Fantasy"}) + "\x02orphan"
                                                                                          "\x01",
                      {},
                      {{"GENRE", "Fantasy, orphan"}}},
        MsspShownCase{"ControlCharactersBecomeSpaces", msspVar("AREAS", {"1\r\n2\x1b[31m"}), {},
                      {{"AREAS", "1  2 [31m"}}},
        MsspShownCase{"LongValuesAreCut", msspVar("DESCRIPTION", {std::string(5000, 'd')}), {},
                      {{"DESCRIPTION", std::string(MsspReport::kMaxTextBytes, 'd')}}, true},
        MsspShownCase{"ManyValuesAreCut", msspVar("LANGUAGE", std::vector<std::string>(40, "en")), {},
                      {{"LANGUAGE", [] {
                            std::string all = "en";
                            for (std::size_t i = 1; i < MsspReport::kMaxValues; ++i) {
                                all += ", en";
                            }
                            return all;
                        }()}},
                      true}),
    [](const ::testing::TestParamInfo<MsspShownCase>& row) { return row.param.name; });

TEST(MsspReport, KeepsAtMostItsLimitOfVariables) {
    const MsspReport report = MsspReport::Read(manyVariables(100000));
    EXPECT_EQ(report.variables.size(), MsspReport::kMaxVariables);
    EXPECT_TRUE(report.cut);
}

// The window's fake: what it was last told.
struct FakeServerInfoWindow : ServerInfoView {
    void setTitle(const std::string& text) override { title = text; }
    void setSummary(const std::vector<Row>& rows) override { summary = pairsOf(rows); }
    void setTable(const std::vector<Row>& rows) override { table = pairsOf(rows); }
    void setNote(const std::string& text) override { note = text; }
    void showWindow() override { shown = true; }
    void closeWindow() override { shown = false; }
    std::string title;
    Rows summary;
    Rows table;
    std::string note;
    bool shown = false;
};

struct ServerInfoClient {
    explicit ServerInfoClient(const std::string& settings)
        : h(std::string(), settings) {
        h.clock.current = kReceived;
        h.client.serverInfo().setViewFactory([this] {
            auto view = std::make_unique<FakeServerInfoWindow>();
            window = view.get();
            return view;
        });
    }
    void openWindow() { h.client.onMenuTriggered(MenuItem::GameServerInfo); }
    ClientHarness h;
    FakeServerInfoWindow* window = nullptr;
};

TEST(ServerInfo, IsAgreedShownFromTheGameMenuAndRememberedForTheNextConnection) {
    ScratchFolder folder;
    folder.write("CORVANE.INI", "[Corvane]\r\n");
    {
        ServerInfoClient c(folder.file("CORVANE.INI"));
        EXPECT_FALSE(c.h.client.menu().enabled(MenuItem::GameServerInfo)) << "off line";
        c.h.connect("Practice");
        EXPECT_FALSE(c.h.client.menu().enabled(MenuItem::GameServerInfo)) << "nothing said yet";
        c.h.socket.sent.clear();
        c.h.socket.receive(kMsspWill);
        EXPECT_EQ(c.h.socket.allSent(), kMsspDo);
        c.h.socket.receive(mssp(msspVar("NAME", {"Practice World"}) + msspVar("PLAYERS", {"2"}) +
                                msspVar("PORT", {"4000"})));
        ASSERT_TRUE(c.h.client.menu().enabled(MenuItem::GameServerInfo));
        c.openWindow();
        ASSERT_NE(c.window, nullptr);
        EXPECT_TRUE(c.window->shown);
        EXPECT_EQ(c.window->title, "Server Info: Practice");
        EXPECT_EQ(c.window->summary, (Rows{{"Name", "Practice World"}, {"Players", "2"}}));
        EXPECT_EQ(c.window->table, (Rows{{"PORT", "4000"}}));
        EXPECT_EQ(c.window->note, "Received 10 Dec 2026 at 07:05 UTC.");
        // A later report shows in the open window, and is kept when some time has passed.
        c.h.clock.current += ServerInfoPresenter::kKeepInterval;
        c.h.socket.receive(mssp(msspVar("NAME", {"Practice World"}) + msspVar("PLAYERS", {"5"})));
        EXPECT_EQ(c.window->summary, (Rows{{"Name", "Practice World"}, {"Players", "5"}}));
        c.h.client.connection().DisconnectFromWorld();
        EXPECT_FALSE(c.h.client.menu().enabled(MenuItem::GameServerInfo)) << "after the disconnect";
        EXPECT_FALSE(c.window->shown);
    }
    EXPECT_LT(folder.read(ServerInfoMemory::kFileName).size(), 1024u);
    ServerInfoClient later(folder.file("CORVANE.INI"));
    later.h.clock.current += std::chrono::hours(30);
    later.h.connect("Practice");
    ASSERT_TRUE(later.h.client.menu().enabled(MenuItem::GameServerInfo)) << "remembered";
    later.openWindow();
    ASSERT_NE(later.window, nullptr);
    EXPECT_EQ(later.window->summary, (Rows{{"Name", "Practice World"}, {"Players", "5"}}));
    EXPECT_EQ(later.window->note,
              "From an earlier connection, received 10 Dec 2026 at 07:10 UTC; the world has not sent it this time.");
    later.h.client.connection().DisconnectFromWorld();
    later.h.connect("Another");
    EXPECT_FALSE(later.h.client.menu().enabled(MenuItem::GameServerInfo)) << "another world's";
}

TEST(ServerInfo, OneTooLongToReadIsSaidOnceAndLeftOut) {
    ServerInfoClient c("");
    c.h.connect();
    c.h.client.session().TagMode = true;
    c.h.socket.receive(kMsspWill);
    // Past what a subnegotiation may hold, short of where the telnet layer
    // decides the world never meant to close it.
    const std::string huge = mssp(msspVar("DESCRIPTION", {std::string(512 * 1024, 'x')}));
    c.h.socket.receive(huge + "After\r\n" + huge + "End\r\n");
    c.h.clock.advance(std::chrono::milliseconds(10));
    const std::string said = "*** The world's server information (MSSP) was too long to read; it was left out.";
    const std::size_t first = c.h.window.output.find(said);
    ASSERT_NE(first, std::string::npos) << c.h.window.output;
    EXPECT_EQ(c.h.window.output.find(said, first + 1), std::string::npos) << "said once";
    EXPECT_NE(c.h.window.output.find("After\n"), std::string::npos);
    EXPECT_NE(c.h.window.output.find("End\n"), std::string::npos);
    EXPECT_FALSE(c.h.client.menu().enabled(MenuItem::GameServerInfo));
}

} // namespace
} // namespace corvane::testing
