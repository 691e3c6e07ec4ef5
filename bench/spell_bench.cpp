// Spell checking a 2,000-character input line, as each key typed asks for it:
// the first check of the line (every word looked up) and the check after one
// more key (one new word). Target: under 2 ms.
#include "spell/checkable_words.h"
#include "spell/hunspell_dictionary.h"
#include "spell/spell_checker.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The system's American English dictionary when installed, else the tiny test one.
std::unique_ptr<corvane::HunspellDictionary> openDictionary(std::string& name) {
    std::string reason;
    if (std::filesystem::exists("/usr/share/hunspell/en_US.aff")) {
        name = "en_US";
        return corvane::HunspellDictionary::open("/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic",
                                                 reason);
    }
    name = "test_GB";
    const std::string folder = std::string(CORVANE_TEST_DATA) + "/spell/";
    return corvane::HunspellDictionary::open(folder + "test_GB.aff", folder + "test_GB.dic", reason);
}

// Roleplay prose with a misspelt word in every sentence or so, cut to 2,000 characters.
std::string longLine() {
    const std::string prose =
        "Wren leans against the weathered railing and watches the harbour lights flicker across the "
        "water, her cloak pulled tight agianst the wind. She murmurs something about the tide, then "
        "turns to Bob with a crooked smile, \"You didn't think I'd forget the promise, did you?\" The "
        "gulls wheel overhead, crying into the darkening sky, and somewhere below a bell rings thrice. ";
    std::string line;
    while (line.size() < 2000) {
        line += prose;
    }
    line.resize(2000);
    return line;
}

void CheckLineFirstTime(benchmark::State& state) {
    std::string name;
    auto dictionary = openDictionary(name);
    if (dictionary == nullptr) {
        state.SkipWithError("no dictionary");
        return;
    }
    const std::string line = longLine();
    std::size_t marked = 0;
    for (auto _ : state) {
        corvane::SpellChecker checker;
        checker.setDictionary(dictionary.get());
        marked = checker.misspelt(line).size();
        benchmark::DoNotOptimize(marked);
    }
    state.SetLabel(name + ", " + std::to_string(marked) + " words marked");
}
BENCHMARK(CheckLineFirstTime)->Unit(benchmark::kMillisecond);

// Hunspell alone on every word of the line, none remembered: the worst case
// of a line whose words are all different.
void LookUpEveryWord(benchmark::State& state) {
    std::string name;
    auto dictionary = openDictionary(name);
    if (dictionary == nullptr) {
        state.SkipWithError("no dictionary");
        return;
    }
    const std::string line = longLine();
    const std::vector<corvane::WordSpan> words = corvane::CheckableWords(line);
    for (auto _ : state) {
        std::size_t unknown = 0;
        for (const corvane::WordSpan& word : words) {
            unknown += dictionary->knows(line.substr(word.start, word.length)) ? 0 : 1;
        }
        benchmark::DoNotOptimize(unknown);
    }
    state.SetLabel(name + ", " + std::to_string(words.size()) + " words");
}
BENCHMARK(LookUpEveryWord)->Unit(benchmark::kMillisecond);

void CheckLineAfterOneKey(benchmark::State& state) {
    std::string name;
    auto dictionary = openDictionary(name);
    if (dictionary == nullptr) {
        state.SkipWithError("no dictionary");
        return;
    }
    corvane::SpellChecker checker;
    checker.setDictionary(dictionary.get());
    const std::string line = longLine();
    checker.misspelt(line);
    // The word being typed at the end is new at each key: one look-up each time.
    std::size_t key = 0;
    for (auto _ : state) {
        std::string word = "z";
        for (std::size_t n = ++key; n > 0; n /= 26) {
            word.push_back(static_cast<char>('a' + n % 26));
        }
        benchmark::DoNotOptimize(checker.misspelt(line + " " + word).size());
    }
    state.SetLabel(name);
}
BENCHMARK(CheckLineAfterOneKey)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
