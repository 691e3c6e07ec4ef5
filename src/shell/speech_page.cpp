#include "shell/speech_page.h"

#include "platform/speech.h"
#include "shell/speech_page_view.h"
#include "speech/speech_presenter.h"

#include <algorithm>

namespace corvane {

SpeechPage::SpeechPage(SpeechPageView& view, SpeechPresenter* speech)
    : m_view(view)
    , m_speech(speech) {}

void SpeechPage::load() {
    m_settings = m_speech != nullptr ? m_speech->settings() : SpeechSettings{};
    m_written = m_settings;
    m_view.setChecked(SpeechPageView::SpeakIncoming, m_settings.speakIncoming);
    m_view.setChecked(SpeechPageView::OnlyInBackground, m_settings.onlyInBackground);
    m_view.setChecked(SpeechPageView::SpeakSent, m_settings.speakSent);
    m_view.setChecked(SpeechPageView::SpeakConversations, m_settings.speakConversations);
    m_view.setLevel(SpeechPageView::Rate, m_settings.rate);
    m_view.setLevel(SpeechPageView::Pitch, m_settings.pitch);
    m_view.setLevel(SpeechPageView::Volume, m_settings.volume);

    const std::string reason = m_speech == nullptr ? kNoEngine : m_speech->unavailableReason();
    m_voiceIds.clear();
    std::vector<std::string> names{"The engine's usual voice"};
    int selected = 0;
    if (reason.empty()) {
        for (const SpeechVoice& voice : m_speech->voices()) {
            if (voice.id == m_settings.voice) {
                selected = static_cast<int>(names.size());
            }
            m_voiceIds.push_back(voice.id);
            names.push_back(voice.language.empty() ? voice.name : voice.name + " (" + voice.language + ")");
        }
    }
    // A voice kept from another machine stays chosen, named as it was kept.
    if (selected == 0 && !m_settings.voice.empty()) {
        selected = static_cast<int>(names.size());
        m_voiceIds.push_back(m_settings.voice);
        names.push_back(m_settings.voice + " (not offered here)");
    }
    m_view.setVoices(names, selected);
    m_view.setUnavailable(reason);
}

void SpeechPage::apply() {
    m_settings.speakIncoming = m_view.checked(SpeechPageView::SpeakIncoming);
    m_settings.onlyInBackground = m_view.checked(SpeechPageView::OnlyInBackground);
    m_settings.speakSent = m_view.checked(SpeechPageView::SpeakSent);
    m_settings.speakConversations = m_view.checked(SpeechPageView::SpeakConversations);
    m_settings.rate = std::clamp(m_view.level(SpeechPageView::Rate), -1.0, 1.0);
    m_settings.pitch = std::clamp(m_view.level(SpeechPageView::Pitch), -1.0, 1.0);
    m_settings.volume = std::clamp(m_view.level(SpeechPageView::Volume), 0.0, 1.0);
    const int choice = m_view.voiceChoice();
    m_settings.voice = choice >= 1 && static_cast<std::size_t>(choice) <= m_voiceIds.size()
                           ? m_voiceIds[static_cast<std::size_t>(choice - 1)]
                           : std::string();
    if (m_speech != nullptr) {
        m_speech->apply(m_settings);
    }
}

void SpeechPage::write(const std::string& settingsPath) {
    WriteSpeechSettings(m_settings, settingsPath, &m_written);
    m_written = m_settings;
}

} // namespace corvane
