// Preloaded into the client (LD_PRELOAD) to find what keeps its event loop
// from answering while it is busy. Each turn of the loop is timed on the GUI
// thread in CPU time (what the client itself spent: a loaded machine's
// preemption does not count). Turns over 1 ms of CPU are written to
// $CORVANE_LOOP_STALLS (sort -rn for the longest first) with the monotonic
// clock in seconds, so
// samples from `perf record -k CLOCK_MONOTONIC` can be matched to them.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double Milliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Recorder {
    FILE* out = nullptr;
    double cpuBefore = -1;

    // Waiting costs no CPU, so the thread's CPU time between two moments the
    // loop is about to wait is what one turn of it spent working. Each long
    // turn is written at once: the client may be ended by a signal.
    void aboutToBlock() {
        const double cpuNow = Milliseconds(CLOCK_THREAD_CPUTIME_ID);
        if (cpuBefore >= 0 && cpuNow - cpuBefore >= 1.0) {
            const double end = Milliseconds(CLOCK_MONOTONIC);
            std::fprintf(out, "%.3f %.6f %.6f\n", cpuNow - cpuBefore, (end - (cpuNow - cpuBefore)) / 1e3, end / 1e3);
            std::fflush(out);
        }
        cpuBefore = Milliseconds(CLOCK_THREAD_CPUTIME_ID);
    }
};

Recorder recorder;

void StartRecording() {
    const char* path = std::getenv("CORVANE_LOOP_STALLS");
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (path == nullptr || dispatcher == nullptr || (recorder.out = std::fopen(path, "w")) == nullptr) {
        return;
    }
    std::fprintf(recorder.out, "# cpu_ms start_s end_s (start: had the turn not been preempted)\n");
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] { recorder.aboutToBlock(); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartRecording)
