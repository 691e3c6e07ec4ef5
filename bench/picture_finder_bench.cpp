// Finding a room's picture in a folder of 100,000 files: a room change must
// not list the folder each time.
#include "room/picture_finder.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <random>

namespace corvane::bench {
namespace {

namespace fs = std::filesystem;

// 100,000 picture names, in every case and kind, made once for the run.
const std::string& bigFolder() {
    static const std::string path = [] {
        std::random_device random;
        const fs::path folder = fs::temp_directory_path() / ("corvane-pictures-" + std::to_string(random()));
        fs::create_directories(folder);
        const char* const kinds[] = {".BMP", ".bmp", ".Png", ".jpg"};
        for (int i = 0; i < 100000; ++i) {
            std::ofstream(folder / (std::to_string(i * 2) + kinds[i % 4]));
        }
        return folder.string();
    }();
    return path;
}

struct RemoveFolder {
    ~RemoveFolder() {
        std::error_code ignored;
        fs::remove_all(bigFolder(), ignored);
    }
};

// The common case: most rooms have no picture.
void RoomWithoutPicture(benchmark::State& state) {
    PictureFinder finder;
    finder.find(bigFolder(), 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(finder.find(bigFolder(), 77777));
    }
}
BENCHMARK(RoomWithoutPicture);

// A mixed-case name, found through the kept listing.
void RoomWithMixedCasePicture(benchmark::State& state) {
    PictureFinder finder;
    finder.find(bigFolder(), 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(finder.find(bigFolder(), 4)); // "4.Png"
    }
}
BENCHMARK(RoomWithMixedCasePicture);

// The folder listed anew: once at the first miss and after each change.
void FirstLookInTheFolder(benchmark::State& state) {
    for (auto _ : state) {
        PictureFinder finder;
        benchmark::DoNotOptimize(finder.find(bigFolder(), 77777));
    }
}
BENCHMARK(FirstLookInTheFolder)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    corvane::bench::RemoveFolder cleanUp;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
