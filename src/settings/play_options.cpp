#include "settings/play_options.h"

#include "core/number_text.h"
#include "settings/settings.h"

namespace corvane {

namespace {

constexpr const char* kMain = "Corvane";
constexpr const char* kSpellCheck = "SpellCheck";
constexpr const char* kSentColour = "SentColour";
constexpr const char* kClientCommands = "ClientCommands";

struct Named {
    std::string_view key;
    std::string_view caption;
    bool onByDefault = false;
};

constexpr std::array<Named, kPlayOptionCount> kNames = {{
    {"ShowSent", "&Show what I send"},
    {"RecallCommands", "&Up and Down recall commands in the input line"},
    {"CompleteNames", "&Tab completes names"},
    {"QuietNotices", "Show &notices in the status line"},
    {"StartAtLastWorld", "&Connect dialog starts at the world last connected"},
    {"Utf8Logs", "Log files in UTF-&8"},
    {"LogTimes", "Start each log line with the &time"},
    {"ScrollbackPane", "Scroll&back pane above the output when scrolling up", true},
    {"LogConversations", "Log con&versations (a file each, in the logs folder)"},
    {"ConversationBeep", "&Beep when someone pages or whispers while Corvane is in the background"},
    {"NotifyOnName", "Notify me when my na&me is mentioned while Corvane is in the background"},
    {"Speedwalk", "Spee&dwalk: 3n2e walks three north and two east"},
    {"SplitTyped", "Semicolons split what I t&ype into commands (\\; types one)"},
    {"PauseOnlyWhileSelecting", "&Pause only while I select text"},
    {"ClosedInOutput", "Say a c&losed connection in the output instead of a box"},
    {"SentInColour", "Show what I send in its own c&olour:"},
    {"KeypadMoves", "&Keypad moves: 8 north, 2 south, 4 west, 6 east, 7 9 1 3 diagonals, 5 look, - up, + down"},
    {"OwnConversationWindows", "Each conversation in its o&wn window"},
}};

} // namespace

std::string_view PlayOptionKey(PlayOption option) {
    return kNames[static_cast<std::size_t>(option)].key;
}

std::string_view PlayOptionCaption(PlayOption option) {
    return kNames[static_cast<std::size_t>(option)].caption;
}

bool PlayOptionDefault(PlayOption option) {
    return kNames[static_cast<std::size_t>(option)].onByDefault;
}

PlayOptions::PlayOptions() {
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        on[i] = kNames[i].onByDefault;
    }
}

PlayOptions ReadPlayOptions(const std::string& path) {
    PlayOptions options;
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        // A key that is not there keeps the option's default.
        if (!ReadSetting(kMain, kNames[i].key, path).empty()) {
            options.on[i] = ReadFlag(kMain, kNames[i].key, path);
        }
    }
    options.spellCheck = ReadSetting(kMain, kSpellCheck, path);
    if (const std::string colour = ReadSetting(kMain, kSentColour, path); !colour.empty()) {
        const double value = NumericValue(colour);
        if (value >= 0 && value <= 0xFFFFFF) {
            options.sentColour = static_cast<std::int32_t>(value);
        }
    }
    const std::string prefix = ReadSetting(kMain, kClientCommands, path);
    options.commandPrefix = prefix == "/" || prefix == "#" ? prefix : std::string();
    return options;
}

void WritePlayOptions(const PlayOptions& options, const std::string& path, const PlayOptions* before) {
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        if (before == nullptr || before->on[i] != options.on[i]) {
            WriteFlag(kMain, kNames[i].key, options.on[i], path);
        }
    }
    if (!options.spellCheck.empty() && (before == nullptr || before->spellCheck != options.spellCheck)) {
        WriteSetting(kMain, kSpellCheck, options.spellCheck, path);
    }
    if (before == nullptr ? options.sentColour != PlayOptions::kDefaultSentColour
                          : before->sentColour != options.sentColour) {
        WriteSetting(kMain, kSentColour, std::to_string(options.sentColour), path);
    }
    if (before == nullptr ? !options.commandPrefix.empty() || !ReadSetting(kMain, kClientCommands, path).empty()
                          : before->commandPrefix != options.commandPrefix) {
        WriteSetting(kMain, kClientCommands, options.commandPrefix.empty() ? "None" : options.commandPrefix, path);
    }
}

} // namespace corvane
