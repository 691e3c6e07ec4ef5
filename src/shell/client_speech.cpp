#include "shell/client.h"
#include "speech/speech_settings.h"

namespace corvane {

void Client::setSpeech(Speech* engine) {
    m_processor.setLineFilter(&conversations());
    m_speech.reset();
    m_rulesWindow.setVoices([this] {
        std::vector<VoiceChoice> choices;
        for (const SpeechVoice& voice : m_speech ? m_speech->voices() : std::vector<SpeechVoice>{}) {
            choices.push_back({voice.id, voice.language.empty() ? voice.name : voice.name + " (" + voice.language + ")"});
        }
        return choices;
    });
    if (engine == nullptr) {
        return;
    }
    m_speech = std::make_unique<SpeechPresenter>(
        SpeechPresenter::Services{*engine, m_history, m_platform.clipboard, m_platform.clock}, &conversations());
    m_speech->setHooks({[this] { return m_rules.triggers().lastVoicing().voicing; },
                        [this] { return m_rules.triggers().lastVoicing().voice; },
                        [this] { return conversations().lastArrival(); },
                        [this](std::string_view text) { return conversations().mentionsPlayer(text); }});
    // First in the path of shown lines: it hands each line on and hears the verdict.
    m_processor.setLineFilter(m_speech.get());
    if (m_started && !m_options.settingsPath.empty()) {
        m_speech->apply(ReadSpeechSettings(m_options.settingsPath));
    }
}

void Client::setAnnouncer(Announcer* announcer) {
    m_announcements = announcer != nullptr ? std::make_unique<StatusAnnouncer>(*announcer) : nullptr;
    m_status.setWatcher(!m_announcements ? StatusLine::Watcher{}
                                         : [this](const std::string& before, const std::string& after, bool notice) {
                                               m_announcements->statusChanged(before, after, notice);
                                           });
}

bool Client::onSpeechKey(SpeechKey key, int nth) {
    if (!m_speech) {
        return false;
    }
    switch (key) {
    case SpeechKey::Silence:
        m_speech->silence();
        // Ctrl goes on to whatever key comes with it.
        return false;
    case SpeechKey::Toggle:
        m_speech->toggle();
        break;
    case SpeechKey::Recent:
        m_speech->reviewRecent(nth);
        break;
    case SpeechKey::Older:
        m_speech->reviewMove(SpeechPresenter::ReviewMove::Older);
        break;
    case SpeechKey::Newer:
        m_speech->reviewMove(SpeechPresenter::ReviewMove::Newer);
        break;
    case SpeechKey::Oldest:
        m_speech->reviewMove(SpeechPresenter::ReviewMove::Oldest);
        break;
    case SpeechKey::Newest:
        m_speech->reviewMove(SpeechPresenter::ReviewMove::Newest);
        break;
    }
    return true;
}

void Client::onApplicationActive(bool active) {
    if (m_speech) {
        m_speech->setForeground(active);
    }
}

} // namespace corvane
