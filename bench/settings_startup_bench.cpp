// Start-up on a big settings file: the whole client on fakes reads its global
// settings and loads the address book, the way it does before its first window
// shows. The file sits untouched on disk, as it does between runs.
#include "fakes/client_harness.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace corvane::bench {
namespace {

namespace fs = std::filesystem;

// A folder of its own, removed with the file when the benchmark ends.
class BigSettingsFile {
public:
    BigSettingsFile(int worlds, int extraLines) {
        std::random_device random;
        m_folder = fs::temp_directory_path() / ("corvane-bench-" + std::to_string(random()));
        fs::create_directories(m_folder);
        std::ofstream out(path(), std::ios::binary);
        out << "[Corvane]\r\nProgramPath=/tmp\r\nPicturePath=/tmp\r\nAutoPictureLoad=False\r\n"
               "NewBrowser=False\r\nMinBeep=False\r\nMinMaximize=False\r\nRememberWinPos=False\r\n\r\n"
               "[Corvane2]\r\nHelpURL=file:///opt/corvane/help.html\r\n\r\n"
               "[Font]\r\nFontName=Monospace\r\nFontSize= 10\r\nFontBold=False\r\nFontItalic=False\r\n"
               "ForeColor= 0\r\nBackColor= 16777215\r\n\r\n[Addresses]\r\n";
        for (int i = 1; i <= worlds; ++i) {
            out << "MUD " << i << "=World" << i << ",world" << i << ".example.org," << 4000 + i % 1000
                << "\r\n";
        }
        for (int i = 1; i <= worlds; ++i) {
            out << "\r\n[World" << i << "]\r\nCharacter 1=guest,W!-@9\r\nTrigger 1=pages you\r\n";
        }
        out << "\r\n[Notes]\r\n";
        for (int i = 1; i <= extraLines; ++i) {
            out << "Note " << i << "=a line of notes kept by hand in the settings file\r\n";
        }
    }
    ~BigSettingsFile() {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    BigSettingsFile(const BigSettingsFile&) = delete;
    BigSettingsFile& operator=(const BigSettingsFile&) = delete;

    std::string path() const { return (m_folder / "CORVANE.INI").string(); }

    // A file written moments ago is read with care (its time stamp cannot yet
    // tell a later change apart); one from an earlier run is not.
    void ageByAnHour() const {
        fs::last_write_time(path(), fs::last_write_time(path()) - std::chrono::hours(1));
    }
    void touch() const { fs::last_write_time(path(), fs::file_time_type::clock::now()); }

private:
    fs::path m_folder;
};

void startOnce(const std::string& path) {
    testing::ClientHarness harness({}, path);
    harness.client.start(true);
    benchmark::DoNotOptimize(harness.views.addressBooksCreated);
}

void StartUp(benchmark::State& state) {
    // Two copies taken in turn, so that each start reads its file afresh the
    // way a new process does, rather than finding it already parsed.
    const BigSettingsFile first(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const BigSettingsFile second(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (const BigSettingsFile* file : {&first, &second}) {
        // The first run writes back what the fake window measures (MaxLines).
        startOnce(file->path());
        file->ageByAnHour();
    }
    const bool justWritten = state.range(2) != 0;
    bool useFirst = true;
    for (auto _ : state) {
        const BigSettingsFile& file = useFirst ? first : second;
        if (justWritten) {
            file.touch();
        }
        startOnce(file.path());
        useFirst = !useFirst;
    }
    state.counters["lines"] = static_cast<double>(5 * state.range(0) + state.range(1));
}

// Arguments: stored worlds, further lines in a section start-up does not read,
// and whether another program wrote the file a moment before.
BENCHMARK(StartUp)
    ->Args({40, 0, 0})
    ->Args({4000, 0, 0})
    ->Args({100, 1000000, 0})
    ->Args({4000, 0, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane::bench

BENCHMARK_MAIN();
