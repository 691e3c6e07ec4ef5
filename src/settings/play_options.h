#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// The habits players bring from other clients, each off unless chosen on
// the Preferences "Play" page; kept in the [Corvane] section.
enum class PlayOption {
    // Each sent line is shown in the output, the session history and the log.
    ShowSent,
    // Up and Down walk through the lines sent, instead of opening the history list.
    RecallCommands,
    // Tab completes the name before the caret, instead of moving the focus.
    CompleteNames,
    // "Begin Idle." and the like go to the status line for a few seconds.
    QuietNotices,
    // The Connect dialog starts at the world last connected.
    StartAtLastWorld,
    // Log files in UTF-8 rather than Windows-1252.
    Utf8Logs,
    // Each log line starts "[HH:MM:SS] ".
    LogTimes,
    // Scrolling the output up opens the session history above the live lines.
    ScrollbackPane,
    // Each conversation is written to a file of its own in the logs folder.
    LogConversations,
    // A conversation line that asks for attention beeps too.
    ConversationBeep,
    // A line in the main output that names the player asks for attention.
    NotifyOnName,
    // A typed line such as "3n2e" walks, one direction a command.
    Speedwalk,
    // A typed line is sent as the commands between its semicolons.
    SplitTyped,
    // Clicking the output pauses it only once text is selected.
    PauseOnlySelecting,
    // A closed connection is a line in the output, not a box.
    ClosedInOutput,
    // Sent lines are shown in a colour of their own (SentColour).
    SentInColour,
    // The keypad walks: 8 north, 2 south, 4 west, 6 east, 7 8 9 1 3 the
    // diagonals, 5 look, - up, + down (a key the player bound wins).
    KeypadMoves,
    // Each conversation opens a window of its own rather than a tab of the
    // Conversations window.
    OwnConversationWindows,
    Count
};

inline constexpr std::size_t kPlayOptionCount = static_cast<std::size_t>(PlayOption::Count);

struct PlayOptions {
    PlayOptions();
    std::array<bool, kPlayOptionCount> on{};
    // The spell check of the input lines: empty until chosen (the system's
    // language, when its dictionary is installed), "Off", or a dictionary's name.
    std::string spellCheck;
    // The colour of the lines sent, shown with SentInColour (0x00BBGGRR, as
    // the [Font] colours): teal by default, readable on dark and light.
    static constexpr std::int32_t kDefaultSentColour = 0x808000;
    std::int32_t sentColour = kDefaultSentColour;
    // What a client command in the input line starts with: "/", "#", or
    // empty for none (every line is sent).
    std::string commandPrefix;
    bool operator[](PlayOption option) const { return on[static_cast<std::size_t>(option)]; }
    void set(PlayOption option, bool value) { on[static_cast<std::size_t>(option)] = value; }
};

// The key of an option in the settings file, and its caption on the page.
std::string_view PlayOptionKey(PlayOption option);
std::string_view PlayOptionCaption(PlayOption option);
// Only the options that add to what the window shows are on by default.
bool PlayOptionDefault(PlayOption option);

PlayOptions ReadPlayOptions(const std::string& path);
// With `before`, only the options that differ from it are written, so a
// setting another window changed meanwhile is left as that window wrote it.
void WritePlayOptions(const PlayOptions& options, const std::string& path, const PlayOptions* before = nullptr);

} // namespace corvane
