// The line processor on a flood, without Qt: telnet, colour codes, markers,
// five triggers and the bounded output buffer, with TagMode on.
#include "bench_client.h"
#include "flood_corpus.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <zlib.h>

namespace corvane::bench {
namespace {

// The client with the five trigger words as triggers.
struct TriggerWordsClient : BenchClient {
    explicit TriggerWordsClient(bool tagMode)
        : BenchClient(tagMode) {
        for (std::size_t i = 0; i < 5; ++i) {
            TriggerDef& trigger = client.triggers().ActiveTriggers[i];
            trigger.text = kTriggerWords[i];
            trigger.colour = 0x00FF00;
            trigger.fontName = "Monospace";
            trigger.fontSize = 10;
        }
        client.triggers().prepare();
        client.lineProcessor().triggersChanged();
    }
};

void ProcessFlood(benchmark::State& state) {
    const std::string flood = FloodCorpus(10u << 20);
    TriggerWordsClient bench(true);
    for (auto _ : state) {
        bench.receive(flood, 64 * 1024);
        benchmark::DoNotOptimize(bench.client.outputBuffer().length());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * flood.size()));
}

// The same flood as a world that compresses (MCCP2) sends it: each round
// starts a stream, inflates the whole flood and ends the stream, so the
// difference from ProcessFlood is what decompression costs.
void ProcessCompressedFlood(benchmark::State& state) {
    const std::string flood = FloodCorpus(10u << 20);
    uLongf packedSize = compressBound(static_cast<uLong>(flood.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(flood.data()),
                  static_cast<uLong>(flood.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
        state.SkipWithError("zlib refused the flood");
        return;
    }
    packed.resize(packedSize);
    const std::string start = "\xFF\xFA\x56\xFF\xF0";
    TriggerWordsClient bench(true);
    bench.receive("\xFF\xFB\x56", 64);
    for (auto _ : state) {
        bench.receive(start + packed, 64 * 1024);
        benchmark::DoNotOptimize(bench.client.outputBuffer().length());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * flood.size()));
    state.counters["compressed_MiB"] = static_cast<double>(packed.size()) / (1 << 20);
}

// A server before log-in that never ends a line, read a little at a time:
// every read shows its tail, and the cost must stay the same per byte however
// long the open line has grown.
void ProcessUnendedText(benchmark::State& state) {
    std::string text = FloodCorpus(10u << 20);
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    TriggerWordsClient bench(false);
    for (auto _ : state) {
        bench.receive(text, 1024);
        benchmark::DoNotOptimize(bench.client.outputBuffer().length());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK(ProcessFlood)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ProcessCompressedFlood)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ProcessUnendedText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace corvane::bench

BENCHMARK_MAIN();
