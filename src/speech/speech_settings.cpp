#include "speech/speech_settings.h"

#include "settings/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

namespace corvane {

namespace {

constexpr const char* kSection = "Speech";

double ReadNumber(const std::string& path, const char* key, double fallback, double low, double high) {
    const std::string text = ReadSetting(kSection, key, path);
    double value = fallback;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return fallback;
    }
    return std::clamp(value, low, high);
}

bool ReadFlagOr(const std::string& path, const char* key, bool fallback) {
    return ReadSetting(kSection, key, path).empty() ? fallback : ReadFlag(kSection, key, path);
}

std::string NumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string FlagText(bool flag) {
    return flag ? "True" : "False";
}

std::vector<SettingChange> SpeechKeys(const SpeechSettings& settings) {
    return {{"SpeakIncoming", FlagText(settings.speakIncoming)},
            {"OnlyInBackground", FlagText(settings.onlyInBackground)},
            {"Voice", settings.voice},
            {"Rate", NumberText(settings.rate)},
            {"Pitch", NumberText(settings.pitch)},
            {"Volume", NumberText(settings.volume)},
            {"SpeakSent", FlagText(settings.speakSent)},
            {"SpeakConversations", FlagText(settings.speakConversations)}};
}

} // namespace

SpeechSettings ReadSpeechSettings(const std::string& path) {
    SpeechSettings settings;
    settings.speakIncoming = ReadFlagOr(path, "SpeakIncoming", settings.speakIncoming);
    settings.onlyInBackground = ReadFlagOr(path, "OnlyInBackground", settings.onlyInBackground);
    settings.voice = ReadSetting(kSection, "Voice", path);
    settings.rate = ReadNumber(path, "Rate", settings.rate, -1, 1);
    settings.pitch = ReadNumber(path, "Pitch", settings.pitch, -1, 1);
    settings.volume = ReadNumber(path, "Volume", settings.volume, 0, 1);
    settings.speakSent = ReadFlagOr(path, "SpeakSent", settings.speakSent);
    settings.speakConversations = ReadFlagOr(path, "SpeakConversations", settings.speakConversations);
    return settings;
}

bool WriteSpeechSettings(const SpeechSettings& settings, const std::string& path, const SpeechSettings* before) {
    auto keys = SpeechKeys(settings);
    if (before != nullptr) {
        const auto old = SpeechKeys(*before);
        std::erase_if(keys, [&old](const SettingChange& key) {
            return std::any_of(old.begin(), old.end(), [&key](const SettingChange& was) {
                return was.key == key.key && was.value == key.value;
            });
        });
        if (keys.empty()) {
            return true;
        }
    }
    return ChangeSettings(kSection, keys, path);
}

} // namespace corvane
