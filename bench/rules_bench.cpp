// Triggers and aliases: a 10 MiB flood through 100 rules, one alias
// expansion, a pattern that backtracks without end on the longest line, and
// a trigger's action as a send or as Lua.
#include "bench_client.h"
#include "flood_corpus.h"
#include "rules/alias_expander.h"
#include "rules/rules_file.h"
#include "rules/rules_import.h"
#include "rules/rules_merge.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace corvane::bench {
namespace {

// 20 regular expressions with groups, 80 plain or whole-word rules; the five
// flood trigger words match often, the rest seldom or never.
std::vector<Rule> hundredRules() {
    std::vector<Rule> rules;
    for (std::size_t i = 0; i < 5; ++i) {
        Rule rule;
        rule.pattern = kTriggerWords[i];
        rule.mode = i % 2 == 0 ? MatchMode::Plain : MatchMode::Words;
        rule.colour = Rule::Colour::Match;
        rule.foreground = Rgb{0, 255, 0};
        rules.push_back(rule);
    }
    for (int i = 0; i < 20; ++i) {
        Rule rule;
        rule.mode = MatchMode::Regex;
        rule.pattern = "^(\\w+) pages(?: from (\\w+))?: (.*)zz" + std::to_string(i) + "$";
        rule.send = "page $1=got it";
        rules.push_back(rule);
    }
    for (int i = 0; rules.size() < 100; ++i) {
        Rule rule;
        rule.pattern = "never seen phrase " + std::to_string(i);
        rule.mode = i % 2 == 0 ? MatchMode::Plain : MatchMode::Words;
        rules.push_back(rule);
    }
    return rules;
}

struct RulesClient : BenchClient {
    RulesClient() { client.rules().book().setRules(hundredRules()); }
};

void FloodThroughHundredRules(benchmark::State& state) {
    const std::string flood = FloodCorpus(10u << 20);
    RulesClient bench;
    for (auto _ : state) {
        bench.receive(flood, 64 * 1024);
        benchmark::DoNotOptimize(bench.client.outputBuffer().length());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * flood.size()));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void AliasExpandsAndSends(benchmark::State& state) {
    RulesClient bench;
    std::vector<Rule> rules = hundredRules();
    Rule gg;
    gg.kind = Rule::Kind::Alias;
    gg.pattern = "gg";
    gg.send = "get gold;say got it";
    rules.push_back(gg);
    bench.client.rules().book().setRules(rules);
    for (auto _ : state) {
        bench.window.input = "gg";
        bench.client.onInputKey(InputLine::Key::Enter);
        bench.socket.sent.clear();
    }
}

// One page line through a trigger whose action is a send (0) or the same
// send in Lua (1); the runaway guard is reset each time so every firing sends.
void TriggerAction(benchmark::State& state) {
    RulesClient bench;
    bench.client.scripts().connected(bench.client.session());
    Rule rule;
    rule.mode = MatchMode::Regex;
    rule.pattern = "^(\\w+) pages: (.*)$";
    if (state.range(0) == 0) {
        rule.send = "page $1=got it";
    } else {
        rule.script = "send('page ' .. matches[1] .. '=got it')";
    }
    bench.client.rules().book().setRules({rule});
    const std::string line = "Wren pages: are you there?\r\n";
    for (auto _ : state) {
        bench.receive(line, line.size());
        bench.client.rules().triggers().resumeSending();
        bench.socket.sent.clear();
    }
    state.SetLabel(state.range(0) == 0 ? "send action" : "Lua action");
}

void CatastrophicPatternOnLongestLine(benchmark::State& state) {
    const std::string line = std::string(15999, 'a') + "!";
    const PatternMatcher matcher("^(a|aa)+$", MatchMode::Regex, false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(matcher.matches(MatchSubject(line)));
    }
    state.counters["gave_up"] = matcher.hitLimit() ? 1 : 0;
}

// The largest import allowed: 10,000 tf macros and triggers, half of them
// regular expressions. Each stage is timed alone: none may keep the window
// for more than a tenth of a second.
std::string tenThousandRuleFile() {
    std::string file;
    for (int i = 0; i < 10000; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 4) {
        case 0:
            file += "/def go" + n + " = north%;look%;say here " + n + "\n";
            break;
        case 1:
            file += "/def -mregexp -t'^(\\w+) pages from (\\w+) " + n + ": (.*)$' pg" + n + " = page %P1=ok\n";
            break;
        case 2:
            file += "/def -mglob -t'* arrives from the " + n + "*' arr" + n + " = wave\n";
            break;
        default:
            file += "/def -F -aCgreen -mregexp -t'\\bgold coins? " + n + "\\b' gold" + n + "\n";
            break;
        }
    }
    return file;
}

// The largest file allowed: 8 MB of 9,990 regexp triggers of about 800
// bytes each, every one different.
std::string eightMegabyteFile() {
    std::string file;
    for (int i = 0; i < 9990; ++i) {
        const std::string n = std::to_string(i);
        std::string pattern = "^(\\w+) (?:tells|says to|whispers to) you " + n + ": ";
        for (int k = 0; pattern.size() < 760; ++k) {
            pattern += "(?:word" + n + "x" + std::to_string(k) + "|other" + std::to_string(k) + ")\\s+";
        }
        pattern += "(.*)$";
        file += "/def -mregexp -p" + std::to_string(i % 7) + " -t'" + pattern + "' long" + n + " = say %P1%;look\n";
    }
    return file;
}

// Stage (range 0) of a file (range 1: 0 the 10,000 short rules, 1 the 8 MB one).
void ImportStage(benchmark::State& state) {
    const std::string file = state.range(1) == 0 ? tenThousandRuleFile() : eightMegabyteFile();
    const RulesImport imported = ImportRulesBytes(file);
    char folder[] = "/tmp/corvane-import-bench-XXXXXX";
    const RulesFile rulesFile(std::string(::mkdtemp(folder)) + "/corvane-rules.json");
    std::string reason;
    rulesFile.save(imported.rules, reason);
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0:
            benchmark::DoNotOptimize(ImportRulesBytes(file).rules.size());
            break;
        case 1: {
            RuleBook book;
            book.setRules(imported.rules);
            book.compileSome(book.size());
            benchmark::DoNotOptimize(book.rules().size());
            break;
        }
        case 2:
            rulesFile.save(imported.rules, reason);
            break;
        case 3: {
            std::string problem;
            benchmark::DoNotOptimize(rulesFile.load(problem, TimePoint{}).size());
            break;
        }
        default: {
            state.PauseTiming();
            std::ofstream(std::string(folder) + "/import.tf") << file;
            std::filesystem::remove(rulesFile.path());
            auto harness = std::make_unique<testing::ClientHarness>("", std::string(folder) + "/CORVANE.INI");
            harness->client.start(false);
            state.ResumeTiming();
            harness->client.rulesWindow().importFrom(std::string(folder) + "/import.tf", {});
            harness->clock.runPending();
            state.PauseTiming();
            harness.reset();
            state.ResumeTiming();
            break;
        }
        }
    }
    static const char* const names[] = {"read the tf file", "compile the rules", "save the rules file",
                                        "load the rules file", "the whole import"};
    state.SetLabel(std::string(names[state.range(0)]) + (state.range(1) == 0 ? ", 10,000 rules" : ", 8 MB file"));
    state.counters["file_MB"] = static_cast<double>(file.size()) / (1024.0 * 1024.0);
    state.counters["rules_file_MB"] = static_cast<double>(RulesFile::ToJson(imported.rules).size()) / (1024.0 * 1024.0);
    state.counters["rules"] = static_cast<double>(imported.rules.size());
    std::filesystem::remove_all(folder);
}

// Two windows on one settings folder, both changed a set at the rules
// file's limit: this one put a rule at the top (so no rule stays in its
// place) and edited every second, the other edited every third and added
// a hundred.
void MergeBothChanged(benchmark::State& state) {
    std::vector<Rule> base;
    for (int i = 0; i < 10000; ++i) {
        Rule rule;
        rule.mode = MatchMode::Regex;
        rule.pattern = "^(\\w+) pages from (\\w+) " + std::to_string(i) + ": (.*)$";
        rule.send = "page $1=ok";
        base.push_back(rule);
    }
    std::vector<Rule> mine = base;
    std::vector<Rule> disk = base;
    for (std::size_t i = 0; i < base.size(); i += 2) {
        mine[i].send += " here";
    }
    mine.insert(mine.begin(), Rule{});
    for (std::size_t i = 0; i < base.size(); i += 3) {
        disk[i].send += " there";
    }
    for (int i = 0; i < 100; ++i) {
        Rule rule;
        rule.pattern = "added there " + std::to_string(i);
        disk.push_back(rule);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(MergeRules(base, mine, disk).size());
    }
}

double threadCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The import from the menu as the event loop runs it, a turn at a time: the
// longest turn is how long the window stood still (target: under 100 ms).
// Range 0: the 10,000 short rules; 1: the 8 MB file.
void ImportLongestTurn(benchmark::State& state) {
    const std::string file = state.range(0) == 0 ? tenThousandRuleFile() : eightMegabyteFile();
    char folder[] = "/tmp/corvane-import-bench-XXXXXX";
    const std::string path = std::string(::mkdtemp(folder)) + "/import.tf";
    std::ofstream(path) << file;
    double longestCpu = 0;
    double longestWall = 0;
    double turns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(std::string(folder) + "/corvane-rules.json");
        auto harness = std::make_unique<testing::ClientHarness>("", std::string(folder) + "/CORVANE.INI");
        harness->client.start(false);
        state.ResumeTiming();
        bool done = false;
        harness->client.rulesWindow().importFrom(path, [&](const std::string&) { done = true; });
        turns = 0;
        while (!done) {
            const double cpu = threadCpuMs();
            const auto wall = std::chrono::steady_clock::now();
            if (!harness->clock.runOne()) {
                break;
            }
            longestCpu = std::max(longestCpu, threadCpuMs() - cpu);
            longestWall = std::max(
                longestWall, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count());
            ++turns;
        }
        state.PauseTiming();
        harness.reset();
        state.ResumeTiming();
    }
    state.counters["longest_turn_cpu_ms"] = longestCpu;
    state.counters["longest_turn_wall_ms"] = longestWall;
    state.counters["turns"] = turns;
    state.SetLabel(state.range(0) == 0 ? "10,000 rules" : "8 MB file");
    std::filesystem::remove_all(folder);
}

BENCHMARK(FloodThroughHundredRules)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(AliasExpandsAndSends)->Unit(benchmark::kMicrosecond);
BENCHMARK(CatastrophicPatternOnLongestLine)->Unit(benchmark::kMillisecond);
BENCHMARK(TriggerAction)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ImportStage)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(MergeBothChanged)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportLongestTurn)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace corvane::bench

BENCHMARK_MAIN();
