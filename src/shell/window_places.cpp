#include "shell/window_places.h"

#include "settings/settings.h"

namespace corvane {

namespace {
constexpr std::string_view kSection = "Window Places";
}

std::optional<PlaceRect> WindowPlaces::last(const std::string& kind) const {
    return ParsePlace(ReadSetting(kSection, kind, m_path));
}

void WindowPlaces::remember(const std::string& kind, const PlaceRect& rect) {
    if (rect.empty() || last(kind) == rect) {
        return;
    }
    WriteSetting(kSection, kind, PlaceText(rect), m_path);
}

} // namespace corvane
