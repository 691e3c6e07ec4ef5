// Speech: the time from a received line to the engine's call, and what a
// 10,000-line flood costs with speech on beside speech off (fake engine).
#include "bench_client.h"
#include "fakes/fake_speech.h"
#include "flood_corpus.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace corvane::bench {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Notes when it was asked to speak; finishes at once when told to, as if
// every line were said in no time (the queue then hands it every line).
class TimedSpeech : public testing::FakeSpeech {
public:
    void say(const std::string&, const std::string&) override {
        saidAt = SteadyClock::now();
        ++calls;
        speaking = true;
        if (finishAtOnce) {
            pendingFinish = true;
        }
    }
    void settle() {
        while (pendingFinish) {
            pendingFinish = false;
            finish();
        }
    }
    SteadyClock::time_point saidAt;
    long calls = 0;
    bool finishAtOnce = false;
    bool pendingFinish = false;
};

struct SpeakingClient : BenchClient {
    TimedSpeech engine;

    explicit SpeakingClient(bool speak) {
        client.setSpeech(&engine);
        SpeechSettings settings;
        settings.speakIncoming = speak;
        client.speech()->apply(settings);
    }
    ~SpeakingClient() { client.setSpeech(nullptr); }
};

// One line in, timed until the engine is asked to say it.
void LineToSpeechEngine(benchmark::State& state) {
    SpeakingClient bench(true);
    const std::string line = "Wren says, \"The dragon is asleep in the cave to the north.\"\r\n";
    double worst = 0;
    for (auto _ : state) {
        const long before = bench.engine.calls;
        const auto start = SteadyClock::now();
        bench.receive(line);
        if (bench.engine.calls == before) {
            state.SkipWithError("the line was not said");
            break;
        }
        const double seconds = std::chrono::duration<double>(bench.engine.saidAt - start).count();
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
        bench.engine.finish();
    }
    state.counters["worst_ms"] = worst * 1000;
}

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The corpus cut to its first 10,000 lines.
std::string tenThousandLines() {
    std::string flood = FloodCorpus(4u << 20);
    std::size_t at = 0;
    for (int line = 0; line < 10000; ++line) {
        at = flood.find('\n', at) + 1;
    }
    flood.resize(at);
    return flood;
}

// Arg 0: speech off; 1: on, the engine slow as a real one (the queue
// summarises); 2: on, the engine done at once with every line (each line
// reaches it). In 64 KiB reads, as a flood arrives.
void TenThousandLineFlood(benchmark::State& state) {
    const std::string flood = tenThousandLines();
    double cpu = 0;
    long calls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = std::make_unique<SpeakingClient>(state.range(0) != 0);
        bench->engine.finishAtOnce = state.range(0) == 2;
        state.ResumeTiming();
        const double start = processSeconds();
        for (std::size_t at = 0; at < flood.size(); at += 64 * 1024) {
            bench->receive(flood.substr(at, 64 * 1024));
            bench->engine.settle();
        }
        cpu += processSeconds() - start;
        calls += bench->engine.calls;
        state.PauseTiming();
        bench.reset();
        state.ResumeTiming();
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = cpu * 1000 / runs;
    state.counters["engine_calls"] = static_cast<double>(calls) / runs;
    state.SetLabel(state.range(0) == 0 ? "speech off" : state.range(0) == 1 ? "speech on, slow engine" : "speech on, instant engine");
}

BENCHMARK(LineToSpeechEngine)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(TenThousandLineFlood)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace corvane::bench

BENCHMARK_MAIN();
