// How much of a set of TinyFugue and TinTin++ files comes over: for each file
// the rules made and each command left out with its reason, and the share of
// rule-like commands imported (worlds, which go to the address book, are not
// counted). Run: corvane_import_share bench/import_corpus/*
#include "rules/rules_import.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    std::size_t imported = 0;
    std::size_t left = 0;
    for (int a = 1; a < argc; ++a) {
        std::ifstream in(argv[a], std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const corvane::RulesImport result = corvane::ImportRulesBytes(bytes);
        std::printf("== %s: %zu rules, %zu commands as Lua, %zu left out\n", argv[a], result.rules.size(),
                    result.scripted, result.skipped.size());
        imported += result.rules.size() + result.scripted;
        for (const std::string& why : result.skipped) {
            std::printf("   %s\n", why.c_str());
            left += why.find("a world, not a rule") == std::string::npos ? 1 : 0;
        }
    }
    const std::size_t all = imported + left;
    std::printf("imported %zu of %zu rule-like commands (%.1f%%)\n", imported, all,
                all == 0 ? 0.0 : 100.0 * static_cast<double>(imported) / static_cast<double>(all));
    return 0;
}
