#include "worlds/world_is_stored.h"

#include "settings/settings.h"
#include "worlds/world_entry.h"

namespace corvane {

bool WorldIsStored(const std::string& name, const std::string& settingsPath) {
    for (int number = 1;; ++number) {
        const std::string value = ReadSetting(kAddressSection, WorldKey(number), settingsPath);
        if (value.empty()) {
            return false;
        }
        // A value without a comma is no world; the keys after it still count.
        const auto comma = value.find(',');
        if (comma != std::string::npos && value.compare(0, comma, name) == 0) {
            return true;
        }
    }
}

} // namespace corvane
