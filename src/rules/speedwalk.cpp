#include "rules/speedwalk.h"

namespace corvane {

namespace {
// A walk longer than this is more likely a typing slip than a route.
constexpr std::size_t kMaxSteps = 100;

bool isDirection(char c) {
    return c == 'n' || c == 'e' || c == 's' || c == 'w' || c == 'u' || c == 'd';
}
} // namespace

std::optional<std::vector<std::string>> Speedwalk(std::string_view line) {
    std::vector<std::string> steps;
    bool counted = false;
    std::size_t count = 0;
    bool inCount = false;
    for (const char c : line) {
        if (c >= '0' && c <= '9') {
            count = count * 10 + static_cast<std::size_t>(c - '0');
            if (count > kMaxSteps) {
                return std::nullopt;
            }
            inCount = true;
            counted = true;
        } else if (isDirection(c)) {
            const std::size_t times = inCount ? count : 1;
            if (times == 0 || steps.size() + times > kMaxSteps) {
                return std::nullopt;
            }
            steps.insert(steps.end(), times, std::string(1, c));
            count = 0;
            inCount = false;
        } else {
            return std::nullopt;
        }
    }
    if (!counted || inCount || steps.empty()) {
        return std::nullopt;
    }
    return steps;
}

} // namespace corvane
