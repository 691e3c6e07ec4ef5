#pragma once

#include "platform/speech.h"

#include <string>
#include <vector>

namespace corvane::testing {

// A speech engine that records what it was asked; the test says when an
// utterance is finished.
class FakeSpeech : public Speech {
public:
    void setEvents(SpeechEvents* handler) override { events = handler; }
    std::string unavailableReason() const override { return reason; }
    void say(const std::string& text, const std::string& voice) override {
        said.push_back(text);
        voices_.push_back(voice);
        speaking = true;
    }
    void stop() override {
        ++stops;
        speaking = false;
    }
    std::vector<SpeechVoice> voices() const override { return offered; }
    void setVoice(const std::string& id) override { voice = id; }
    void setRate(double value) override { rate = value; }
    void setPitch(double value) override { pitch = value; }
    void setVolume(double value) override { volume = value; }

    // The engine is done with what it was saying.
    void finish() {
        speaking = false;
        if (events != nullptr) {
            events->onSpeechFinished();
        }
    }
    // Lets every utterance run out, up to a bound.
    void finishAll(int most = 1000) {
        while (speaking && most-- > 0) {
            finish();
        }
    }
    std::string last() const { return said.empty() ? std::string() : said.back(); }

    SpeechEvents* events = nullptr;
    std::string reason;
    std::vector<std::string> said;
    std::vector<std::string> voices_;
    std::vector<SpeechVoice> offered{{"en-a", "Alice", "English"}, {"en-b", "Bob", "English"}};
    bool speaking = false;
    int stops = 0;
    std::string voice;
    double rate = 0;
    double pitch = 0;
    double volume = 1;
};

} // namespace corvane::testing
