#include "settings/trigger_set.h"

#include "core/number_text.h"
#include "core/text_codec.h"
#include "settings/settings.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace corvane {

namespace {

constexpr float kSmallestFontSize = 1;
constexpr float kLargestFontSize = 256;

std::string slotKey(std::string_view word, std::size_t index) {
    return std::string(word) + " " + std::to_string(index + 1);
}

// Hand-edited files can hold any number here; a size the font chooser could
// never have produced is brought into its range instead of reaching a font.
float storedFontSize(double value, float fallback) {
    if (value == 0) {
        return fallback;
    }
    return static_cast<float>(std::clamp(value, double{kSmallestFontSize}, double{kLargestFontSize}));
}

// Colours are 24-bit values; anything that does not fit the 32-bit field is
// as unusable as a missing one, and conversion would be undefined.
std::int32_t storedColour(double value) {
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return static_cast<std::int32_t>(rounded);
}

// The pop-up flag is the last field, so a sound-file path keeps any commas
// it has; a value without a comma is a path alone.
void readSoundField(std::string value, TriggerDef& trigger) {
    const std::size_t comma = value.rfind(',');
    if (comma == std::string::npos) {
        trigger.soundFile = std::move(value);
        return;
    }
    trigger.soundFile = value.substr(0, comma);
    trigger.popUp = NumericValue(std::string_view(value).substr(comma + 1)) != 0;
}

void readFontField(const std::string& value, const FontDefaults& font, TriggerDef& trigger) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = value.find(',', start);
        fields.push_back(value.substr(start, comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    // The four fields after the name are fixed, so any extra commas belong
    // to the name.
    while (fields.size() > 5) {
        fields[0] += "," + fields[1];
        fields.erase(fields.begin() + 1);
    }
    fields.resize(5);
    trigger.fontName = fields[0].empty() ? font.name : fields[0];
    trigger.fontSize = storedFontSize(NumericValue(fields[1]), font.size);
    trigger.bold = ToLowerAscii(fields[2]) == "true";
    trigger.italic = ToLowerAscii(fields[3]) == "true";
    trigger.colour = storedColour(NumericValue(fields[4]));
}

// The size as the user would write it: 10.1 and not the 10.1000003814697 its
// float holds.
std::string plainSize(float size) {
    std::array<char, 64> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), size, std::chars_format::fixed);
    if (ec != std::errc()) {
        return FormatPlain(size);
    }
    return {buffer.data(), end};
}

std::string fontField(const TriggerDef& trigger) {
    return trigger.fontName + "," + plainSize(trigger.fontSize) + "," + (trigger.bold ? "True" : "False") +
           "," + (trigger.italic ? "True" : "False") + "," + std::to_string(trigger.colour);
}

constexpr unsigned char kLatin1Lead = 0xC3;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;

// ASCII capitals to lower case; every other byte as it is.
constexpr std::array<unsigned char, 256> kAsciiFold = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<unsigned char>(i >= 'A' && i <= 'Z' ? i + 0x20 : i);
    }
    return table;
}();

// Second bytes of À to Þ after C3, except the multiplication sign (C3 97),
// which has no small letter.
constexpr bool isLatin1CapitalTail(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9E && byte != 0x97;
}

} // namespace

void FoldCase(std::string_view utf8, std::string& out) {
    out.resize(utf8.size());
    const char* in = utf8.data();
    char* to = out.data();
    const std::size_t size = utf8.size();
    std::size_t i = 0;
    unsigned char previous = 0;
    while (i < size) {
        // Received text is mostly ASCII: eight bytes at a time while no byte
        // has its high bit set.
        if (i + 8 <= size && previous != kLatin1Lead) {
            std::uint64_t word = 0;
            std::memcpy(&word, in + i, 8);
            if ((word & kHighBits) == 0) {
                const std::uint64_t atLeastA = word + kOnes * (0x80 - 'A');
                const std::uint64_t pastZ = word + kOnes * (0x80 - 'Z' - 1);
                word |= (atLeastA & ~pastZ & kHighBits) >> 2;
                std::memcpy(to + i, &word, 8);
                i += 8;
                previous = 0;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(in[i]);
        const bool capitalTail = previous == kLatin1Lead && isLatin1CapitalTail(byte);
        to[i] = static_cast<char>(capitalTail ? byte + 0x20 : kAsciiFold[byte]);
        previous = byte;
        ++i;
    }
}

void TriggerSet::clearActive() {
    for (auto& trigger : ActiveTriggers) {
        trigger.text.clear();
        trigger.soundFile.clear();
        trigger.popUp = false;
    }
    prepare();
}

void TriggerSet::LoadTriggers(const std::string& world, const std::string& settingsPath,
                              const FontDefaults& font) {
    for (std::size_t i = 0; i < kTriggerCount; ++i) {
        TriggerDef& trigger = WorldTriggers[i];
        trigger = TriggerDef{};
        trigger.text = ReadSetting(world, slotKey("Trigger", i), settingsPath);
        readSoundField(ReadSetting(world, slotKey("WAVFile", i), settingsPath), trigger);
        readFontField(ReadSetting(world, slotKey("TrigFont", i), settingsPath), font, trigger);
    }
}

void TriggerSet::SaveTriggers(bool write, const std::string& pageWorld,
                              const std::array<TriggerRow, kTriggerCount>& rows,
                              const std::string& connectedWorld, const std::string& settingsPath) {
    // With no world chosen there is no section to write, and with no world
    // connected there are no triggers in force to replace.
    if (pageWorld.empty()) {
        return;
    }
    for (std::size_t i = 0; write && i < kTriggerCount; ++i) {
        const TriggerRow& row = rows[i];
        if (row.text.empty()) {
            DeleteSetting(pageWorld, slotKey("Trigger", i), settingsPath);
            DeleteSetting(pageWorld, slotKey("WAVFile", i), settingsPath);
            DeleteSetting(pageWorld, slotKey("TrigFont", i), settingsPath);
            continue;
        }
        WriteSetting(pageWorld, slotKey("Trigger", i), row.text, settingsPath);
        WriteSetting(pageWorld, slotKey("WAVFile", i), row.soundFile + (row.popUp ? ",-1" : ",0"),
                     settingsPath);
        WriteSetting(pageWorld, slotKey("TrigFont", i), fontField(WorldTriggers[i]), settingsPath);
    }
    if (pageWorld != connectedWorld) {
        return;
    }
    for (std::size_t i = 0; i < kTriggerCount; ++i) {
        TriggerDef& active = ActiveTriggers[i];
        active = WorldTriggers[i];
        active.text = rows[i].text;
        active.soundFile = rows[i].soundFile;
        active.popUp = rows[i].popUp;
    }
    prepare();
}

void TriggerSet::activateWorldTriggers() {
    ActiveTriggers = WorldTriggers;
    prepare();
}

void TriggerSet::prepare() {
    m_anyActive = false;
    m_pairStarts.assign(65536, 0);
    m_singleStarts.fill(0);
    for (std::size_t i = 0; i < kTriggerCount; ++i) {
        FoldCase(ActiveTriggers[i].text, m_folded[i]);
        const std::string& needle = m_folded[i];
        if (needle.empty()) {
            continue;
        }
        m_anyActive = true;
        const auto bit = static_cast<std::uint8_t>(1u << i);
        const auto first = static_cast<unsigned char>(needle[0]);
        if (needle.size() == 1) {
            m_singleStarts[first] |= bit;
        } else {
            m_pairStarts[static_cast<std::size_t>(first) << 8 | static_cast<unsigned char>(needle[1])] |= bit;
        }
    }
}

bool TriggerSet::popsUp(int slot) const {
    return ActiveTriggers[static_cast<std::size_t>(slot)].popUp;
}

const std::string& TriggerSet::soundFile(int slot) const {
    return ActiveTriggers[static_cast<std::size_t>(slot)].soundFile;
}

TriggerLook TriggerSet::look(int slot) const {
    const TriggerDef& trigger = ActiveTriggers[static_cast<std::size_t>(slot)];
    return TriggerLook{trigger.fontName, trigger.fontSize, trigger.bold, trigger.italic,
                       Rgb::fromColourValue(trigger.colour)};
}

int TriggerSet::match(std::string_view line) const {
    if (!m_anyActive) {
        return -1;
    }
    // One buffer per thread, so a flood of lines allocates only while the
    // longest line so far grows.
    thread_local std::string folded;
    FoldCase(line, folded);
    const auto* text = reinterpret_cast<const unsigned char*>(folded.data());
    const std::size_t size = folded.size();
    // The lowest matching slot wins, wherever in the line it matches.
    unsigned found = 0;
    const auto check = [&](unsigned candidates, std::size_t at) {
        // Only slots below the best found so far can still matter.
        const unsigned lower = found == 0 ? 0xFFu : (found & (~found + 1)) - 1;
        candidates &= lower;
        while (candidates != 0) {
            const unsigned slot = static_cast<unsigned>(std::countr_zero(candidates));
            candidates &= candidates - 1;
            const std::string& needle = m_folded[slot];
            if (needle.size() <= size - at && std::memcmp(text + at, needle.data(), needle.size()) == 0) {
                found |= 1u << slot;
                break;
            }
        }
    };
    for (std::size_t at = 0; at < size; ++at) {
        const unsigned single = m_singleStarts[text[at]];
        const unsigned pair = at + 1 < size ? m_pairStarts[static_cast<std::size_t>(text[at]) << 8 | text[at + 1]] : 0;
        if ((single | pair) != 0) {
            check(single | pair, at);
            if ((found & 1u) != 0) {
                return 0;
            }
        }
    }
    return found == 0 ? -1 : std::countr_zero(found);
}

} // namespace corvane
