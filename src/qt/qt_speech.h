#pragma once

#include "platform/speech.h"

#include <QObject>
#include <QTextToSpeech>
#include <memory>

namespace corvane {

// The system's speech engine through Qt TextToSpeech (speech-dispatcher on
// Linux). It reports an utterance finished only for the one it was last
// given, so a stop followed at once by a new text is not taken for the end
// of the new one.
class QtSpeech : public QObject, public Speech {
    Q_OBJECT
public:
    // An empty engine name: the first the system offers.
    explicit QtSpeech(const QString& engine = {}, QObject* parent = nullptr);
    ~QtSpeech() override;

    void setEvents(SpeechEvents* events) override { m_events = events; }
    std::string unavailableReason() const override;
    void say(const std::string& text, const std::string& voice) override;
    void stop() override;
    std::vector<SpeechVoice> voices() const override;
    void setVoice(const std::string& id) override;
    void setRate(double rate) override;
    void setPitch(double pitch) override;
    void setVolume(double volume) override;

private:
    void onStateChanged(QTextToSpeech::State state);
    void useVoice(const std::string& id);

    std::unique_ptr<QTextToSpeech> m_engine;
    SpeechEvents* m_events = nullptr;
    std::string m_voice;
    std::string m_voiceInUse;
    // Set by say(); the utterance is over once the engine has spoken and is ready again.
    bool m_waiting = false;
    bool m_started = false;
};

} // namespace corvane
