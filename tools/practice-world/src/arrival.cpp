#include "arrival.h"

#include "text_format.h"

#include <utility>

namespace practice_world {

std::string arrivalLine(std::string_view value, const ArrivalContext& context) {
    if (value.empty() || value.front() != '&')
        return std::string(value);
    value.remove_prefix(1);

    const std::pair<std::string_view, std::string> substitutions[] = {
        {"{ref:here}", "#" + std::to_string(context.here)},
        {"{name:here}", context.hereName},
        {"{ref:me}", "#" + std::to_string(context.me)},
        {"{name:me}", context.myName},
    };
    std::string result;
    while (!value.empty()) {
        bool replaced = false;
        if (value.front() == '{') {
            for (const auto& [token, text] : substitutions) {
                if (startsWithIgnoreCase(value, token)) {
                    result += text;
                    value.remove_prefix(token.size());
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) {
            result += value.front();
            value.remove_prefix(1);
        }
    }
    return result;
}

} // namespace practice_world
