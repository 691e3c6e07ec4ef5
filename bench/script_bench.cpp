// Scripts on Qt's real event loop: how late timers fire on an idle client,
// and how soon a script that never ends is stopped and a line goes out after it.
#include "qt/qt_timers.h"
#include "script/world_script.h"

#include <QCoreApplication>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>

namespace corvane::bench {
namespace {

using Steady = std::chrono::steady_clock;

double millisecondsBetween(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct ScriptOnQt {
    QtTimers timers;
    QtClock clock;
    std::vector<Steady::time_point> sends;
    WorldScript script{WorldScript::Services{timers, [this](const std::string&, bool) { sends.push_back(Steady::now()); },
                                             [](const std::string&, std::optional<Rgb>) {}},
                       WorldScript::World{"Bench", "Tester", "MUD"}, "", clock};
};

// every(0.1) for 2 s and after(0.25): each firing's lateness against its time.
void TimerLateness(benchmark::State& state) {
    double worst = 0;
    double total = 0;
    std::size_t count = 0;
    for (auto _ : state) {
        ScriptOnQt bench;
        const Steady::time_point start = Steady::now();
        bench.script.run("every(0.1, function() send('tick') end)", "bench");
        QTimer::singleShot(2050, QCoreApplication::instance(), [] { QCoreApplication::quit(); });
        QCoreApplication::exec();
        for (std::size_t i = 0; i < bench.sends.size(); ++i) {
            const double late = millisecondsBetween(start, bench.sends[i]) - 100.0 * static_cast<double>(i + 1);
            worst = std::max(worst, late);
            total += late;
            ++count;
        }
        bench.sends.clear();
        const Steady::time_point once = Steady::now();
        bench.script.run("after(0.25, function() send('once') end)", "bench");
        QTimer::singleShot(400, QCoreApplication::instance(), [] { QCoreApplication::quit(); });
        QCoreApplication::exec();
        if (!bench.sends.empty()) {
            worst = std::max(worst, millisecondsBetween(once, bench.sends.front()) - 250.0);
        }
    }
    state.counters["worst_late_ms"] = worst;
    state.counters["mean_late_ms"] = count > 0 ? total / static_cast<double>(count) : 0;
    state.counters["firings"] = static_cast<double>(count);
}

// A script that loops for ever, then a line sent: when each happens.
void RunawayStopped(benchmark::State& state) {
    double stopped = 0;
    double sent = 0;
    for (auto _ : state) {
        ScriptOnQt bench;
        const Steady::time_point start = Steady::now();
        bench.script.run("while true do end", "bench");
        const Steady::time_point end = Steady::now();
        bench.script.send("look", true);
        stopped = std::max(stopped, millisecondsBetween(start, end));
        sent = std::max(sent, millisecondsBetween(end, bench.sends.back()));
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["stopped_after_ms"] = stopped;
    state.counters["line_sent_after_ms"] = sent;
}

BENCHMARK(TimerLateness)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(RunawayStopped)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane::bench

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
