// The session history when it is full: the cost of keeping one more line, and
// the time from "Session &History" to the first painted window (the window
// is built, filled from the store and drawn offscreen).
#include "core/session_history.h"
#include "platform/clipboard.h"
#include "qt/qt_output_box.h"
#include "qt/qt_scrollback_pane.h"
#include "qt/qt_session_history_view.h"
#include "shell/session_history_presenter.h"

#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace corvane::bench {
namespace {

class NullClipboard : public Clipboard {
public:
    bool hasText() const override { return false; }
    std::string text() const override { return {}; }
    void setText(const std::string&) override {}
    void clear() override {}
};

// About 80 characters with two coloured words, different on every line.
void addLine(SessionHistory& history, std::size_t n) {
    static TextStyle red = [] {
        TextStyle style;
        style.foreground = Rgb{255, 0, 0};
        return style;
    }();
    static TextStyle boldBlue = [] {
        TextStyle style;
        style.foreground = Rgb{0, 0, 255};
        style.bold = true;
        return style;
    }();
    std::string text = "You see a troll (number " + std::to_string(n) +
                       ") standing by the bridge; it looks hungry and rather cross today.";
    text.resize(80, '.');
    const StyleSpan spans[] = {StyleSpan{10, 5, red}, StyleSpan{40, 6, boldBlue}};
    history.append(text, spans, nullptr, true);
}

// A room's exits as MXP links, four to a line, each under a number of its own.
void addLinkLine(SessionHistory& history, std::size_t n) {
    static const std::uint32_t starts[] = {7, 14, 21, 27};
    static const std::uint32_t lengths[] = {5, 5, 4, 4};
    std::string text = "Exits: north, south, east, west (room " + std::to_string(n) + ").";
    StyleSpan spans[4];
    for (std::size_t i = 0; i < 4; ++i) {
        TextStyle style;
        style.foreground = Rgb{0, 128, 255};
        style.link = static_cast<std::uint32_t>(n * 4 + i + 1);
        spans[i] = StyleSpan{starts[i], lengths[i], style};
    }
    history.append(text, spans, nullptr, true);
}

SessionHistory& fullHistory() {
    static SessionHistory* history = [] {
        auto* full = new SessionHistory;
        for (std::size_t i = 0; i < SessionHistory::kDefaultMaxLines; ++i) {
            addLine(*full, i);
        }
        return full;
    }();
    return *history;
}

void BM_HistoryAppendWhenFull(benchmark::State& state) {
    SessionHistory& history = fullHistory();
    std::size_t n = history.endLine();
    for (auto _ : state) {
        addLine(history, n++);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["lines"] = static_cast<double>(history.lineCount());
    state.counters["MiB"] = static_cast<double>(history.storedBytes()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_HistoryAppendWhenFull);

void BM_HistoryAppendLinksWhenFull(benchmark::State& state) {
    static SessionHistory* history = [] {
        auto* full = new SessionHistory;
        for (std::size_t i = 0; i < SessionHistory::kDefaultMaxLines; ++i) {
            addLinkLine(*full, i);
        }
        return full;
    }();
    std::size_t n = history->endLine();
    for (auto _ : state) {
        addLinkLine(*history, n++);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["lines"] = static_cast<double>(history->lineCount());
    state.counters["MiB"] = static_cast<double>(history->storedBytes()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_HistoryAppendLinksWhenFull);

void BM_HistoryOpenFull(benchmark::State& state) {
    SessionHistory& history = fullHistory();
    NullClipboard clipboard;
    for (auto _ : state) {
        QtSessionHistoryView view(nullptr);
        SessionHistoryPresenter window(history, view, clipboard, [] {});
        window.open();
        // The first paint, with the newest lines in view.
        const QPixmap shot = view.grab();
        benchmark::DoNotOptimize(shot.cacheKey());
    }
    state.counters["lines"] = static_cast<double>(history.lineCount());
}
BENCHMARK(BM_HistoryOpenFull)->Unit(benchmark::kMillisecond);

void BM_HistoryCountMatchesFull(benchmark::State& state) {
    SessionHistory& history = fullHistory();
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.countMatches("Bridge", false));
    }
}
BENCHMARK(BM_HistoryCountMatchesFull)->Unit(benchmark::kMillisecond);

// Find Next for a word no line holds: every chunk is opened and searched.
void BM_HistoryFindMissFull(benchmark::State& state) {
    SessionHistory& history = fullHistory();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            history.find("dragon", history.firstLine(), 0, SessionHistory::Direction::Forward, false));
    }
}
BENCHMARK(BM_HistoryFindMissFull)->Unit(benchmark::kMillisecond);

// The scrollback pane over a full history: from the first wheel turn up in
// the output box to the pane painted, and a page up in the open pane painted.
void BM_ScrollbackOpenFull(benchmark::State& state) {
    SessionHistory& history = fullHistory();
    QtOutputBox box;
    box.resize(800, 600);
    box.show();
    box.setScrollback(&history);
    for (auto _ : state) {
        box.openScrollback(3);
        const QPixmap shot = box.scrollback()->grab();
        benchmark::DoNotOptimize(shot.cacheKey());
        state.PauseTiming();
        box.closeScrollback();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ScrollbackOpenFull)->Unit(benchmark::kMillisecond);

void BM_ScrollbackPageUpFull(benchmark::State& state) {
    SessionHistory& history = fullHistory();
    QtOutputBox box;
    box.resize(800, 600);
    box.show();
    box.setScrollback(&history);
    box.openScrollback(3);
    QtScrollbackPane* pane = box.scrollback();
    for (auto _ : state) {
        pane->pageUp();
        const QPixmap shot = pane->grab();
        benchmark::DoNotOptimize(shot.cacheKey());
        if (pane->firstVisibleLine() < history.firstLine() + 1000) {
            state.PauseTiming();
            box.closeScrollback();
            box.openScrollback(3);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_ScrollbackPageUpFull)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
