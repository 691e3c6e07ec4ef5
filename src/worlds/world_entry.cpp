#include "worlds/world_entry.h"

#include "core/text_codec.h"
#include "settings/settings.h"
#include "worlds/typed_names.h"

namespace corvane {

std::string WorldKey(int number) {
    return "MUD " + std::to_string(number);
}

std::optional<WorldEntry> ParseWorldEntry(const std::string& value) {
    const auto first = value.find(',');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const auto second = value.find(',', first + 1);
    if (second == std::string::npos) {
        return std::nullopt;
    }
    return WorldEntry{value.substr(0, first),
                      value.substr(first + 1, second - first - 1),
                      value.substr(second + 1),
                      false,
                      {},
                      true,
                      {},
                      {},
                      false};
}

std::string FormatWorldEntry(const WorldEntry& entry) {
    return entry.name + "," + entry.host + "," + entry.port;
}

bool WorldSpeaksMxp(const std::string& worldName, const std::string& settingsPath) {
    return !worldName.empty() && !IsProgramSection(worldName) &&
           EqualsNoCase(TrimmedName(ReadSetting(worldName, kMxpKey, settingsPath)), "True");
}

} // namespace corvane
