#pragma once

#include "shell/window_placement.h"

#include <optional>
#include <string>

namespace corvane {

// Where the player last left each kind of window Corvane opens by itself
// (a conversation, an MCP editor, MUCK help), kept in the settings file per
// kind rather than per name, so the next one of the kind opens there.
class WindowPlaces {
public:
    explicit WindowPlaces(std::string settingsPath)
        : m_path(std::move(settingsPath)) {}

    std::optional<PlaceRect> last(const std::string& kind) const;
    void remember(const std::string& kind, const PlaceRect& rect);

private:
    std::string m_path;
};

} // namespace corvane
