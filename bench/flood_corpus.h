#pragma once

#include <cstddef>
#include <string>

namespace corvane::bench {

// A seeded flood of MUCK text like a busy world sends: room descriptions,
// says, poses, pages, WHO rows with tabs, exits and contents. About one line
// in ten carries one of the five trigger words, about three in ten carry ANSI
// colour; lines end with CR LF.
std::string FloodCorpus(std::size_t bytes, unsigned seed = 1);

inline constexpr const char* kTriggerWords[5] = {"dragon", "treasure", "wizard", "goblin", "lantern"};

} // namespace corvane::bench
