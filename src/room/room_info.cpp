#include "room/room_info.h"

#include "core/number_text.h"
#include "core/session.h"

#include <algorithm>

namespace corvane {

std::string RoomInfoText(const Session& session, std::chrono::system_clock::duration elapsed) {
    constexpr long long minutesPerDay = 24LL * 60;
    // A clock set back makes the time negative; it then reads as none.
    const long long minutes = std::max(
        0LL, static_cast<long long>(std::chrono::duration_cast<std::chrono::minutes>(elapsed).count()));
    const long long ofDay = minutes % minutesPerDay;
    std::string text = session.CharacterName + ", on " + session.WorldName + "\nfor " +
                       std::to_string(ofDay / 60) + " hrs " + std::to_string(ofDay % 60) + " min\n";
    if (!session.RoomName.empty()) {
        text += "\nCurrently in:\n" + session.RoomName + "\nDB Ref: " + FormatNumber(session.RoomRef);
    }
    return text;
}

} // namespace corvane
