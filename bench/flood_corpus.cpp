#include "flood_corpus.h"

#include <array>
#include <random>
#include <string_view>
#include <vector>

namespace corvane::bench {

namespace {

constexpr std::array<std::string_view, 12> kNames = {"Alice", "Bob",  "Carol",   "Dmitri", "Esme",  "Farouk",
                                                     "Gwen",  "Hiro", "Kestrel", "Lumen",  "Mirelle", "Tamsin"};
constexpr std::string_view kRoomWords =
    "the old stone hall stretches north beneath a vaulted ceiling of dark oak beams while dusty banners hang "
    "from iron hooks and a cold draft moves through narrow windows that overlook the harbour where gulls circle "
    "above fishing boats tied to weathered posts along the quay a worn carpet runs toward a wide staircase";
constexpr std::array<std::string_view, 8> kColours = {"1;31", "1;32", "1;33", "1;34", "1;35", "1;36", "0;37", "1;37"};

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

} // namespace

std::string FloodCorpus(std::size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    const auto pool = words(kRoomWords);
    const auto pick = [&](auto& list) { return list[random() % list.size()]; };
    std::string out;
    out.reserve(bytes + 256);
    while (out.size() < bytes) {
        std::string line;
        const unsigned kind = random() % 6;
        const std::string name(pick(kNames));
        switch (kind) {
        case 0:
            line = name + " says, \"";
            break;
        case 1:
            line = name + " waves at " + std::string(pick(kNames)) + " and ";
            break;
        case 2:
            line = name + " pages, \"";
            break;
        case 3:
            line = name + "\t00:1" + std::to_string(random() % 10) + "\t" + std::to_string(random() % 60) + "m\t";
            break;
        default:
            break;
        }
        const std::size_t target = 40 + random() % 121;
        const bool trigger = random() % 10 == 0;
        while (line.size() < target) {
            line += pick(pool);
            line += ' ';
        }
        if (trigger) {
            line += "a ";
            line += kTriggerWords[random() % 5];
            line += " appears";
        }
        if (random() % 10 < 3) {
            const std::size_t space = line.find(' ', line.size() / 3);
            const std::size_t at = space == std::string::npos ? 0 : space + 1;
            line = line.substr(0, at) + "\x1B[" + std::string(pick(kColours)) + "m" + line.substr(at) + "\x1B[0m";
        }
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace corvane::bench
