#pragma once

#include "core/line_watch.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// One watch-for trigger: text to look for in received lines and what to do then.
struct TriggerDef {
    std::string text;      // empty: the trigger is off
    std::string soundFile; // WAV file to play, empty: none
    bool popUp = false;
    std::string fontName;
    float fontSize = 0;
    bool bold = false;
    bool italic = false;
    std::int32_t colour = 0; // 0x00BBGGRR
};

inline constexpr std::size_t kTriggerCount = LineWatch::Slots;
// Slot n (1 to 5) is at index n - 1.
using TriggerTable = std::array<TriggerDef, kTriggerCount>;

// The font the input box shows; triggers without their own font fall back to it.
struct FontDefaults {
    std::string name;
    float size = 9;
};

// One row of the "WatchFor" page as the user left it.
struct TriggerRow {
    std::string text;
    std::string soundFile;
    bool popUp = false;
};

// The triggers in force and those of one world as last loaded; loading and
// saving their stored form, and matching a line against them.
class TriggerSet final : public LineWatch {
public:
    TriggerTable ActiveTriggers;
    TriggerTable WorldTriggers;

    // Start-up: every active slot off (text, sound file and pop-up cleared).
    void clearActive();
    // Fills WorldTriggers from the world's section of the settings file. Font
    // sizes are kept within 1 to 256, like the font chooser's.
    void LoadTriggers(const std::string& world, const std::string& settingsPath, const FontDefaults& font);
    // Stores the page's rows for pageWorld when write is set; in either case,
    // when pageWorld is the connected world the rows take effect at once.
    void SaveTriggers(bool write, const std::string& pageWorld,
                      const std::array<TriggerRow, kTriggerCount>& rows, const std::string& connectedWorld,
                      const std::string& settingsPath);
    // The log-in set-up: the world's triggers become the active ones.
    void activateWorldTriggers();

    // The first active slot (index 0-4) whose non-empty text occurs in the line
    // without regard to case, or -1. The operations above prepare by
    // themselves; call prepare() after changing ActiveTriggers directly.
    int match(std::string_view line) const override;
    bool popsUp(int slot) const override;
    const std::string& soundFile(int slot) const override;
    TriggerLook look(int slot) const override;
    void prepare();

private:
    std::array<std::string, kTriggerCount> m_folded;
    bool m_anyActive = false;
    // Which triggers start with each pair of folded bytes (bit n: slot n), so
    // a line is scanned once however many triggers there are.
    std::vector<std::uint8_t> m_pairStarts;
    // Slots whose text is a single byte, by that byte.
    std::array<std::uint8_t, 256> m_singleStarts{};
};

// Lower-cases ASCII and the Latin-1 capital letters of UTF-8 text into `out`.
void FoldCase(std::string_view utf8, std::string& out);

} // namespace corvane
