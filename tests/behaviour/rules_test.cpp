#include "behaviour/logged_in_client.h"
#include "fakes/fake_notifier.h"
#include "param_name.h"
#include "rules/rules_file.h"
#include "rules/rules_window.h"
#include "rules/rules_merge.h"
#include "settings/file_lock.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace corvane {
namespace {

using testing::LoggedInClient;

Rule trigger(std::string pattern, MatchMode mode = MatchMode::Plain) {
    Rule rule;
    rule.pattern = std::move(pattern);
    rule.mode = mode;
    return rule;
}

Rule alias(std::string pattern, std::string send, MatchMode mode = MatchMode::Plain) {
    Rule rule;
    rule.kind = Rule::Kind::Alias;
    rule.pattern = std::move(pattern);
    rule.send = std::move(send);
    rule.mode = mode;
    return rule;
}

class RulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        c.logIn();
        c.h->client.rules().triggers().setNotifier(&notifier);
    }
    void use(std::vector<Rule> rules) { c.h->client.rules().book().setRules(std::move(rules)); }
    void receive(const std::string& bytes) {
        c.h->socket.receive(bytes);
        c.h->clock.advance(std::chrono::milliseconds(50));
    }
    std::string sent() const { return c.h->socket.allSent(); }
    const std::string& output() const { return c.h->window.output; }
    // The whole import, a turn of the event loop after another; its report.
    std::string importNow(const std::string& path) {
        std::string report;
        EXPECT_TRUE(c.h->client.rulesWindow().importFrom(path, [&](const std::string& r) { report = r; }));
        c.h->clock.runPending();
        EXPECT_EQ(c.h->client.rulesWindow().importing(), "") << "the import ends";
        return report;
    }

    LoggedInClient c;
    testing::FakeNotifier notifier;
};

TEST_F(RulesTest, TriggerSendsWithTheMatchFilledIn) {
    struct Case {
        std::string pattern;
        MatchMode mode;
        std::string send;
        std::string line;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"(\\w+) pages: (.*)", MatchMode::Regex, "page $1=got it", "Wren pages: hello", "page Wren=got it\r\n"},
        {"(?<who>\\w+) waves", MatchMode::Regex, "wave ${who};say $$5 for $0", "Wren waves",
         "wave Wren\r\nsay $5 for Wren waves\r\n"},
        {"hungry", MatchMode::Words, "eat bread\nsmile", "You are hungry.", "eat bread\r\nsmile\r\n"},
        {"HUNGRY", MatchMode::Plain, "eat", "You are hungry.", "eat\r\n"},
        {"HUNGRY", MatchMode::Words, "eat", "You are unhungry.", ""},
    };
    for (const Case& row : cases) {
        Rule rule = trigger(row.pattern, row.mode);
        rule.send = row.send;
        use({rule});
        c.h->socket.sent.clear();
        receive(row.line + "\r\n");
        EXPECT_EQ(sent(), row.expected) << row.pattern;
    }
}

TEST_F(RulesTest, TriggerActionsBesideSending) {
    Rule colour = trigger("gold");
    colour.colour = Rule::Colour::Match;
    colour.foreground = Rgb{255, 215, 0};
    colour.bold = true;
    Rule gag = trigger("spam", MatchMode::Words);
    gag.gag = true;
    Rule sound = trigger("tells you");
    sound.soundFile = "/tmp/ding.wav";
    sound.notify = true;
    sound.statusText = "Told: $0";
    use({colour, gag, sound});

    receive("a pile of gold here\r\nbuy spam now\r\nWren tells you hi\r\n");

    EXPECT_NE(output().find("a pile of gold here"), std::string::npos);
    EXPECT_EQ(output().find("buy spam now"), std::string::npos);
    EXPECT_EQ(c.h->sound.played, std::vector<std::string>{"/tmp/ding.wav"});
    EXPECT_EQ(notifier.shown, std::vector<std::string>{"Practice: Wren tells you hi"});
    EXPECT_EQ(c.h->client.statusLine().text(), "Told: tells you");

    const SessionHistory& history = c.h->client.sessionHistory();
    bool foundHidden = false;
    for (std::uint64_t serial = history.firstLine(); serial < history.endLine(); ++serial) {
        if (history.line(serial).text == "buy spam now") {
            foundHidden = history.hidden(serial);
        } else {
            EXPECT_FALSE(history.hidden(serial));
        }
        if (history.line(serial).text == "a pile of gold here") {
            ASSERT_EQ(history.line(serial).spans.size(), 1u);
            EXPECT_EQ(history.line(serial).spans[0].start, 10u);
            EXPECT_EQ(history.line(serial).spans[0].length, 4u);
            EXPECT_TRUE(history.line(serial).spans[0].style().bold);
        }
    }
    EXPECT_TRUE(foundHidden);
}

TEST_F(RulesTest, StopHereKeepsLaterRulesOffTheLineAndOtherWorldsRulesStayOut) {
    Rule first = trigger("orc");
    first.send = "kill orc";
    first.stopHere = true;
    Rule second = trigger("orc");
    second.send = "flee";
    Rule elsewhere = trigger("orc");
    elsewhere.send = "hug orc";
    elsewhere.world = "Elsewhere";
    Rule off = trigger("orc");
    off.send = "dance";
    off.enabled = false;
    use({off, elsewhere, first, second});
    receive("An orc arrives.\r\n");
    EXPECT_EQ(sent(), "kill orc\r\n");
}

TEST_F(RulesTest, PromptWithoutLineEndIsOfferedAfterQuietOrWhenItEnds) {
    Rule rule = trigger("^HP:(\\d+)>", MatchMode::Regex);
    rule.send = "heal $1";
    use({rule});
    c.h->socket.receive("HP:12> ");
    c.h->clock.advance(std::chrono::milliseconds(400));
    EXPECT_EQ(sent(), "");
    c.h->clock.advance(std::chrono::milliseconds(200));
    EXPECT_EQ(sent(), "heal 12\r\n");

    c.h->socket.sent.clear();
    c.h->socket.receive("\r\nHP:7");
    c.h->clock.advance(std::chrono::milliseconds(100));
    c.h->socket.receive("> ok\r\n");
    c.h->clock.advance(std::chrono::milliseconds(1000));
    EXPECT_EQ(sent(), "heal 7\r\n");
}

TEST_F(RulesTest, RunawayTriggerStopsSendingWithOneLine) {
    Rule rule = trigger("ping");
    rule.send = "say ping";
    use({rule});
    for (int i = 0; i < 30; ++i) {
        c.h->socket.receive("ping\r\n");
    }
    c.h->clock.advance(std::chrono::milliseconds(50));
    EXPECT_EQ(c.h->socket.sent.size(), SendLimiter::kPerSecond);
    const std::string message =
        "*** Triggers stopped sending: more than 20 commands a second (Edit > Triggers and Aliases to resume)";
    const std::size_t at = output().find(message);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(output().find(message, at + 1), std::string::npos);

    // Opening the editor lets them send again.
    c.h->client.onMenuTriggered(MenuItem::EditRules);
    c.h->socket.sent.clear();
    receive("ping\r\n");
    EXPECT_EQ(sent(), "say ping\r\n");
}

TEST(SendLimiter, PerSecondAndPerMinuteLimits) {
    testing::FakeClock clock;
    SendLimiter limiter(clock);
    for (std::size_t i = 0; i < SendLimiter::kPerSecond; ++i) {
        ASSERT_EQ(limiter.allow("A"), SendLimiter::Verdict::Send);
    }
    EXPECT_EQ(limiter.allow("B"), SendLimiter::Verdict::Send) << "each world counts alone";
    EXPECT_EQ(limiter.allow("A"), SendLimiter::Verdict::JustStopped);
    EXPECT_EQ(limiter.allow("A"), SendLimiter::Verdict::Stopped);
    EXPECT_FALSE(limiter.stoppedByMinute("A"));
    limiter.resumeAll();

    // 19 a second stays under the first limit; the minute's 200 stops it.
    std::size_t sent = 0;
    SendLimiter::Verdict verdict = SendLimiter::Verdict::Send;
    while (verdict == SendLimiter::Verdict::Send && sent < 1000) {
        verdict = limiter.allow("A");
        sent += verdict == SendLimiter::Verdict::Send ? 1 : 0;
        if (sent % 19 == 0) {
            clock.advance(std::chrono::seconds(1));
        }
    }
    EXPECT_EQ(sent, SendLimiter::kPerMinute);
    EXPECT_TRUE(limiter.stoppedByMinute("A"));
}

TEST_F(RulesTest, AliasesExpandBeforeSendingAndRecording) {
    struct Case {
        std::vector<Rule> rules;
        std::string typed;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{alias("gg", "get gold;say got it")}, "gg", "get gold\r\nsay got it\r\n"},
        {{alias("gg", "get gold")}, "ggg", "ggg\r\n"},
        {{alias("k", "kill")}, "k orc", "kill orc\r\n"},
        {{alias("give", "give %2 to %1;say %*")}, "give Wren sword", "give sword to Wren\r\nsay Wren sword\r\n"},
        {{alias("^tell (\\w+) (.*)$", "page %1=%2", MatchMode::Regex)}, "tell Wren hi there",
         "page Wren=hi there\r\n"},
        {{alias("a", "b;c"), alias("b", "bb"), alias("c", "say 100%%")}, "a", "bb\r\nsay 100%\r\n"},
        {{alias("gg", "get gold")}, "\\gg", "gg\r\n"},
        {{alias("gg", "get gold")}, "\\o/", "\\o/\r\n"},
        {{alias("loop", "loop")}, "loop", "loop\r\n"},
        {{alias("a", "b x"), alias("b", "a %*")}, "a", "a x\r\n"},
        // $1 as the send box's hint says, beside %1.
        {{alias("give", "give $2 to $1")}, "give Wren sword", "give sword to Wren\r\n"},
        {{alias("^tell (\\w+) (.*)$", "page $1=$2", MatchMode::Regex)}, "tell Wren hi", "page Wren=hi\r\n"},
        {{alias("cost", "say $$5 each, $ off")}, "cost", "say $5 each, $ off\r\n"},
        {{alias("put", "get %1;put %-1 in sack")}, "put sword big shield", "get sword\r\nput big shield in sack\r\n"},
    };
    for (const Case& row : cases) {
        use(row.rules);
        c.h->socket.sent.clear();
        c.h->type(row.typed);
        EXPECT_EQ(sent(), row.expected) << row.typed;
    }
}

TEST_F(RulesTest, AliasDepthTenIsAllowed) {
    std::vector<Rule> chain;
    for (int i = 0; i < 10; ++i) {
        chain.push_back(alias("a" + std::to_string(i), "a" + std::to_string(i + 1)));
    }
    use(chain);
    c.h->type("a0");
    EXPECT_EQ(sent(), "a10\r\n");
    chain.push_back(alias("a10", "a11"));
    use(chain);
    c.h->socket.sent.clear();
    c.h->type("a0");
    EXPECT_EQ(sent(), "");
    c.h->clock.advance(std::chrono::milliseconds(50));
    EXPECT_NE(output().find("*** Alias not sent: it expands more than 10 aliases deep"), std::string::npos);
}

TEST_F(RulesTest, RulesAreSavedBesideTheSettingsAndReadBack) {
    Rule rule = trigger("(\\w+) pages", MatchMode::Regex);
    rule.send = "page $1=got it";
    rule.colour = Rule::Colour::Line;
    rule.background = Rgb{1, 2, 3};
    rule.script = "vars.pager = matches[1]";
    rule.source = "tf:.tfrc";
    rule.voicing = Rule::Voicing::Interrupt;
    rule.voice = "en-b";
    use({rule, alias("gg", "get gold;say got it")});
    const std::string path = c.folder.file("corvane-rules.json");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    std::string problem;
    const std::vector<Rule> read = RulesFile(path).load(problem, c.h->clock.now());
    EXPECT_EQ(problem, "");
    EXPECT_EQ(read, c.h->client.rules().book().rules());
}

TEST_F(RulesTest, ImportReadsLatin1FilesAndRefusesHugeOnes) {
    // "café" in Latin-1: E9 is not UTF-8, so the file is read as Windows-1252.
    c.folder.write("latin1.tf", "/def -t\"*caf\xE9*\" coffee = say caf\xE9!\n");
    std::string report = importNow(c.folder.file("latin1.tf"));
    EXPECT_NE(report.find("read as Windows-1252"), std::string::npos) << report;
    ASSERT_EQ(c.h->client.rules().book().size(), 1u);
    EXPECT_EQ(c.h->client.rules().book().rule(0).send, "say caf\xC3\xA9!");
    std::string problem;
    const std::vector<Rule> saved = RulesFile(c.folder.file("corvane-rules.json")).load(problem, c.h->clock.now());
    EXPECT_EQ(saved, c.h->client.rules().book().rules()) << problem;

    c.folder.write("utf8.tf", "/def -t\"*caf\xC3\xA9*\" coffee2 = say caf\xC3\xA9!\n");
    report = importNow(c.folder.file("utf8.tf"));
    EXPECT_EQ(report.find("Windows-1252"), std::string::npos) << report;
    EXPECT_EQ(c.h->client.rules().book().rule(1).send, "say caf\xC3\xA9!");

    // Refused from its size alone, before anything is read.
    const std::string huge = c.folder.file("huge.tf");
    std::ofstream(huge).put('/');
    std::filesystem::resize_file(huge, 50u * 1024 * 1024);
    report = importNow(huge);
    EXPECT_NE(report.find("larger than 8 MB"), std::string::npos) << report;
    EXPECT_EQ(c.h->client.rules().book().size(), 2u);
    EXPECT_NE(importNow(c.folder.file("missing.tf")).find("could not read"), std::string::npos);

    std::string many;
    for (int i = 0; i <= 10000; ++i) {
        many += "/gag *spam" + std::to_string(i) + "*\n";
    }
    c.folder.write("many.tf", many);
    report = importNow(c.folder.file("many.tf"));
    EXPECT_NE(report.find("holds 10001 triggers and aliases; Corvane imports at most 10000"), std::string::npos);
    EXPECT_EQ(c.h->client.rules().book().size(), 2u);

    // With the two already there the rules file would hold more than it may,
    // and would not be read at the next start.
    many.resize(many.find("/gag *spam9999*"));
    c.folder.write("many.tf", many);
    report = importNow(c.folder.file("many.tf"));
    EXPECT_NE(report.find("with the 2 you have, that is more than the 10000 Corvane keeps"), std::string::npos)
        << report;
    EXPECT_EQ(c.h->client.rules().book().size(), 2u);
}

TEST_F(RulesTest, ALargeImportGoesATurnAtATimeAndTheWindowStaysInUse) {
    use({alias("gg", "get gold")});
    std::string file;
    for (int i = 0; i < 5000; ++i) {
        file += "/gag *spam" + std::to_string(i) + "*\n";
    }
    c.folder.write("big.tf", file + "/bogus\n");
    const std::string saved = c.folder.file("corvane-rules.json");
    const auto savedSize = std::filesystem::file_size(saved);
    c.h->choosers.files.push_back(c.folder.file("big.tf"));
    c.h->client.onMenuTriggered(MenuItem::FileImportRules);
    EXPECT_EQ(c.h->client.rulesWindow().importing(), c.folder.file("big.tf"));

    int turns = 0;
    for (; c.h->clock.runOne(); ++turns) {
        if (c.h->client.rulesWindow().importing().empty()) {
            break;
        }
        ASSERT_TRUE(c.h->prompts.messages.empty()) << "no report before the end, at turn " << turns;
        if (turns == 2) {
            EXPECT_EQ(c.h->client.rules().book().size(), 1u) << "nothing changes while the file is read";
            EXPECT_EQ(std::filesystem::file_size(saved), savedSize);
            c.h->type("gg");
            EXPECT_EQ(sent(), "get gold\r\n") << "what is typed goes at once";
            c.h->client.onMenuTriggered(MenuItem::FileImportRules);
            ASSERT_EQ(c.h->prompts.messages.size(), 1u);
            EXPECT_EQ(c.h->prompts.messages[0].text,
                      "Corvane is still importing " + c.folder.file("big.tf") + ".\rImport another file when it is done.");
            EXPECT_EQ(c.h->choosers.fileChoices.size(), 1u) << "no file is asked for";
            c.h->prompts.messages.clear();
            c.h->client.settings().Play.commandPrefix = "/";
            c.h->type("/load " + c.folder.file("big.tf"));
        }
    }
    EXPECT_NE(output().find("*** Corvane is still importing"), std::string::npos) << output();
    EXPECT_GE(turns, 8) << "read, split, names and translation in shares, apply, compile, report";
    EXPECT_TRUE(c.h->client.rulesWindow().importing().empty());
    ASSERT_EQ(c.h->prompts.messages.size(), 1u) << "one report";
    EXPECT_NE(c.h->prompts.messages[0].text.find("Added 5000 triggers and aliases"), std::string::npos);
    EXPECT_NE(c.h->prompts.messages[0].text.find("/bogus"), std::string::npos);
    EXPECT_EQ(c.h->client.rules().book().size(), 5001u);
    EXPECT_TRUE(c.h->client.rules().book().allCompiled());
    std::string problem;
    EXPECT_EQ(RulesFile(saved).load(problem, c.h->clock.now()).size(), 5001u) << problem;
    c.h->clock.runPending();
    EXPECT_EQ(c.h->prompts.messages.size(), 1u);

    c.h->client.rules().book().remove(0);
    EXPECT_TRUE(c.h->client.rules().saving()) << "a large set is written over several turns";
    c.h.reset();
    EXPECT_EQ(RulesFile(saved).load(problem, TimePoint{}).size(), 5000u) << "quitting does not lose it";
}

TEST_F(RulesTest, ImportingAFileAgainReplacesWhatItBroughtAndTheReportStaysShort) {
    use({alias("gg", "get gold")});
    std::string file = "/gag *advert*\n/hilite *tells you*\n";
    for (int i = 0; i < 40; ++i) {
        file += "/bogus" + std::to_string(i) + "\n";
    }
    c.folder.write("mine.tf", file);
    importNow(c.folder.file("mine.tf"));
    ASSERT_EQ(c.h->client.rules().book().size(), 3u);
    EXPECT_EQ(c.h->client.rules().book().rule(1).source, c.folder.file("mine.tf"));
    c.folder.write("mine.tf", "/gag *advert*\n");
    const std::string report = importNow(c.folder.file("mine.tf"));
    EXPECT_NE(report.find("replace the 2 imported from it before"), std::string::npos) << report;
    ASSERT_EQ(c.h->client.rules().book().size(), 2u);
    EXPECT_EQ(c.h->client.rules().book().rule(0).pattern, "gg");

    c.folder.write("mine.tf", file);
    const std::string longReport = importNow(c.folder.file("mine.tf"));
    EXPECT_NE(longReport.find("Left out (40):"), std::string::npos);
    EXPECT_NE(longReport.find("/bogus29"), std::string::npos);
    EXPECT_EQ(longReport.find("/bogus30"), std::string::npos);
    EXPECT_NE(longReport.find("... and 10 more."), std::string::npos);
}

TEST_F(RulesTest, RuleTheFileCannotHoldIsReportedNotFatal) {
    Rule bad = trigger("caf\xE9");
    use({bad});
    ASSERT_EQ(c.h->prompts.messages.size(), 1u);
    EXPECT_NE(c.h->prompts.messages[0].text.find("could not save"), std::string::npos);
    EXPECT_EQ(c.h->client.rules().book().size(), 1u);
}

TEST_F(RulesTest, UnreadableFileIsSetAsideAndReportedOnce) {
    for (const std::string bad : {"{not json", "{\"format\": 99, \"rules\": []}", "{\"format\":1,\"rules\":[{}]}"}) {
        c.folder.write("corvane-rules.json", bad);
        c.h->prompts.messages.clear();
        c.h->client.rules().load(c.ini);
        ASSERT_EQ(c.h->prompts.messages.size(), 1u) << bad;
        EXPECT_NE(c.h->prompts.messages[0].text.find("moved aside"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(c.folder.file("corvane-rules.json")));
        bool kept = false;
        for (const auto& entry : std::filesystem::directory_iterator(c.folder.path())) {
            kept = kept || entry.path().filename().string().starts_with("corvane-rules.json.bad-");
            if (entry.path().filename().string().starts_with("corvane-rules.json.bad-")) {
                std::filesystem::remove(entry.path());
            }
        }
        EXPECT_TRUE(kept) << bad;
    }
}

TEST_F(RulesTest, TwoWindowsOnOneFolderKeepEachOthersRules) {
    testing::ClientHarness other("", c.ini);
    other.client.start(false);
    c.h->client.rules().book().insert(0, alias("aa", "say from the first"));
    other.client.rules().book().insert(0, alias("bb", "say from the second"));
    const std::vector<Rule> both = {alias("aa", "say from the first"), alias("bb", "say from the second")};
    EXPECT_EQ(other.client.rules().book().rules(), both) << "the second window shows the first's alias too";
    c.h->client.rules().book().remove(0);
    std::string problem;
    EXPECT_EQ(RulesFile(c.folder.file("corvane-rules.json")).load(problem, c.h->clock.now()),
              std::vector<Rule>{alias("bb", "say from the second")})
        << "a removal in one window keeps the other's addition";
}

TEST_F(RulesTest, AKilledSaveLeavesNoTemporaryOrLockFileAfterTheNextStart) {
    c.folder.write("corvane-rules.json", "{\"format\": 1, \"rules\": []}");
    c.folder.write("corvane-rules.json.tmp0123456789ab", "{\"format\": 1");
    c.folder.write("corvane-rules.json.lock", "");
    c.h->client.rules().load(c.ini);
    EXPECT_FALSE(std::filesystem::exists(c.folder.file("corvane-rules.json.tmp0123456789ab")));
    EXPECT_FALSE(std::filesystem::exists(c.folder.file("corvane-rules.json.lock")));
    EXPECT_TRUE(std::filesystem::exists(c.folder.file("corvane-rules.json")));
}

// This window's change from `base` to `mine`, applied to the file as another window left it.
struct MergeRow {
    const char* name;
    std::vector<std::string> base;
    std::vector<std::string> mine;
    std::vector<std::string> disk;
    std::vector<std::string> merged;
};

std::vector<Rule> namedRules(const std::vector<std::string>& names) {
    std::vector<Rule> rules;
    for (const std::string& name : names) {
        rules.push_back(alias(name, "say " + name));
    }
    return rules;
}

class RulesMerge : public ::testing::TestWithParam<MergeRow> {};

TEST_P(RulesMerge, KeepsBothWindowsChanges) {
    const MergeRow& row = GetParam();
    EXPECT_EQ(MergeRules(namedRules(row.base), namedRules(row.mine), namedRules(row.disk)), namedRules(row.merged));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RulesMerge,
    ::testing::Values(MergeRow{"NobodyElseWrote", {"a"}, {"b", "a"}, {"a"}, {"b", "a"}},
                      MergeRow{"OnlyTheOtherWrote", {"a"}, {"a"}, {"a", "x"}, {"a", "x"}},
                      MergeRow{"BothAddedToAnEmptyFile", {}, {"b"}, {"a"}, {"a", "b"}},
                      MergeRow{"AnAdditionFollowsTheRuleItFollowedHere", {"a", "c"}, {"a", "b", "c"},
                               {"x", "a", "c"}, {"x", "a", "b", "c"}},
                      MergeRow{"ARemovalHereAndAnAdditionThere", {"a", "b"}, {"a"}, {"a", "b", "x"}, {"a", "x"}},
                      MergeRow{"AnEditHereIsARemovalAndAnAddition", {"a", "b"}, {"a", "B"}, {"x", "a", "b"},
                               {"x", "a", "B"}},
                      MergeRow{"ARuleTheOtherRemovedThatThisOneEditedStays", {"a", "b"}, {"a", "B"}, {"a"},
                               {"a", "B"}}),
    [](const ::testing::TestParamInfo<MergeRow>& info) { return std::string(info.param.name); });

// A rules file as it might be found; whether it loads, is refused and left
// as it is, or is set aside as unreadable, and what the one message says.
struct RulesFileRow {
    const char* name;
    std::string (*text)();
    std::size_t loaded;
    bool leftInPlace;
    std::string said;
};

std::string rulesText(std::size_t count, std::size_t patternBytes) {
    std::string text = "{\"format\": 1, \"rules\": [";
    for (std::size_t n = 0; n < count; ++n) {
        text += (n ? ",{" : "{") + std::string("\"kind\":\"alias\",\"pattern\":\"") +
                std::string(patternBytes, 'p') + "\",\"send\":\"x\"}";
    }
    return text + "]}";
}

class RulesFileLimits : public RulesTest, public ::testing::WithParamInterface<RulesFileRow> {};

TEST_P(RulesFileLimits, OneMessageAndNothingHeldWhole) {
    const RulesFileRow& row = GetParam();
    const std::string text = row.text();
    c.folder.write("corvane-rules.json", text);
    c.h->prompts.messages.clear();
    c.h->client.rules().load(c.ini);
    EXPECT_EQ(c.h->client.rules().book().size(), row.loaded);
    if (row.said.empty()) {
        EXPECT_TRUE(c.h->prompts.messages.empty());
        return;
    }
    ASSERT_EQ(c.h->prompts.messages.size(), 1U);
    EXPECT_NE(c.h->prompts.messages[0].text.find(row.said), std::string::npos) << c.h->prompts.messages[0].text;
    EXPECT_EQ(std::filesystem::exists(c.folder.file("corvane-rules.json")), row.leftInPlace);
    if (row.leftInPlace) {
        use({alias("new", "x")});
        EXPECT_EQ(std::filesystem::file_size(c.folder.file("corvane-rules.json")), text.size())
            << "a refused file is never written over";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RulesFileLimits,
    ::testing::Values(
        RulesFileRow{"TenThousandRulesLoad", [] { return rulesText(10000, 8); }, 10000, true, ""},
        RulesFileRow{"MoreThanTenThousandAreRefused", [] { return rulesText(10001, 8); }, 0, true,
                     "was not read: it holds more than the 10000 triggers and aliases Corvane takes"},
        RulesFileRow{"APatternOverFourKilobytesIsRefused", [] { return rulesText(2, 4097); }, 0, true,
                     "was not read: a pattern is 4097 bytes long, more than the 4096 Corvane takes"},
        RulesFileRow{"OverThirtyTwoMegabytesIsRefusedUnread",
                     [] { return rulesText(2, 0) + std::string(33 << 20, ' '); }, 0, true,
                     "was not read: it is 33 MB, more than the 32 MB Corvane reads"},
        RulesFileRow{"GarbageOverThirtyTwoMegabytesIsSetAsideUnread", [] { return std::string(33 << 20, 'x'); }, 0,
                     false, "could not be read (it is not a rules file)"}),
    [](const ::testing::TestParamInfo<RulesFileRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane
