#pragma once

#include <string>

namespace corvane {

// The choices of the Preferences "Speech" page, kept in the [Speech] section.
// Speech is off until the player turns it on.
struct SpeechSettings {
    // "Speak incoming text".
    bool speakIncoming = false;
    // Only while another program has the keyboard, for players who read
    // the window with a screen reader while Corvane is in front.
    bool onlyInBackground = false;
    // Empty: the engine's own.
    std::string voice;
    // -1 to 1, 0 being the engine's usual.
    double rate = 0;
    double pitch = 0;
    // 0 to 1.
    double volume = 1;
    // "Speak what I send".
    bool speakSent = false;
    // Pages and whispers are said with who sent them, before other waiting
    // lines, and so is a line with the player's name.
    bool speakConversations = true;
    friend bool operator==(const SpeechSettings&, const SpeechSettings&) = default;
};

SpeechSettings ReadSpeechSettings(const std::string& path);
// With `before`, only the keys whose value differs from it are written, so a
// setting another window changed meanwhile is not put back.
bool WriteSpeechSettings(const SpeechSettings& settings, const std::string& path,
                         const SpeechSettings* before = nullptr);

} // namespace corvane
