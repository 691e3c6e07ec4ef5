#pragma once

#include <string>
#include <vector>

namespace corvane {

// One voice the engine offers, by the id it is chosen with.
struct SpeechVoice {
    std::string id;
    std::string name;
    std::string language;
    friend bool operator==(const SpeechVoice&, const SpeechVoice&) = default;
};

// What the engine tells about the utterance it was given.
class SpeechEvents {
public:
    virtual ~SpeechEvents() = default;
    // The last text said is finished (or was stopped): the engine takes the next.
    virtual void onSpeechFinished() = 0;
};

// The system's speech engine. It says one text at a time; what comes next
// waits in SpeechQueue, so the order and the summaries are the client's.
class Speech {
public:
    virtual ~Speech() = default;
    virtual void setEvents(SpeechEvents* events) = 0;
    // Empty when an engine answers; otherwise one line saying why there is no speech.
    virtual std::string unavailableReason() const = 0;
    // Starts saying the text in the voice (empty: the chosen one), cutting off what was being said.
    virtual void say(const std::string& text, const std::string& voice) = 0;
    virtual void stop() = 0;
    virtual std::vector<SpeechVoice> voices() const = 0;
    virtual void setVoice(const std::string& id) = 0;
    // Each from -1 (slowest, lowest) through 0 (the engine's usual) to 1.
    virtual void setRate(double rate) = 0;
    virtual void setPitch(double pitch) = 0;
    // 0 silent to 1 full.
    virtual void setVolume(double volume) = 0;
};

} // namespace corvane
