#include "qt/qt_speech.h"

#include "qt/qt_text.h"

#include <QVoice>

namespace corvane {

namespace {

std::string VoiceId(const QVoice& voice) {
    return (voice.name() + " (" + voice.locale().name() + ")").toStdString();
}

} // namespace

QtSpeech::QtSpeech(const QString& engine, QObject* parent)
    : QObject(parent) {
    const QStringList engines = QTextToSpeech::availableEngines();
    if (engines.isEmpty() || (!engine.isEmpty() && !engines.contains(engine))) {
        return;
    }
    m_engine = std::make_unique<QTextToSpeech>(engine.isEmpty() ? engines.first() : engine);
    connect(m_engine.get(), &QTextToSpeech::stateChanged, this, &QtSpeech::onStateChanged);
}

QtSpeech::~QtSpeech() = default;

std::string QtSpeech::unavailableReason() const {
    if (!m_engine) {
        return "No speech engine is installed (speech-dispatcher with Qt's speechd plugin).";
    }
    if (m_engine->state() == QTextToSpeech::Error) {
        return "The speech engine does not answer: " + m_engine->errorString().toStdString();
    }
    return {};
}

void QtSpeech::onStateChanged(QTextToSpeech::State state) {
    if (state == QTextToSpeech::Speaking) {
        m_started = m_waiting;
        return;
    }
    if ((state == QTextToSpeech::Ready || state == QTextToSpeech::Error) && m_waiting && m_started) {
        m_waiting = false;
        m_started = false;
        if (m_events != nullptr) {
            m_events->onSpeechFinished();
        }
    }
}

void QtSpeech::say(const std::string& text, const std::string& voice) {
    if (!m_engine) {
        // Nothing will be said: the queue goes on at once, not stuck on silence.
        if (m_events != nullptr) {
            QMetaObject::invokeMethod(this, [this] {
                if (m_events != nullptr) {
                    m_events->onSpeechFinished();
                }
            }, Qt::QueuedConnection);
        }
        return;
    }
    useVoice(voice.empty() ? m_voice : voice);
    m_waiting = true;
    // The Ready of a text just stopped may still come; only one after this text began counts.
    m_started = false;
    m_engine->say(toQt(text));
}

void QtSpeech::stop() {
    m_waiting = false;
    m_started = false;
    if (m_engine) {
        m_engine->stop(QTextToSpeech::BoundaryHint::Immediate);
    }
}

std::vector<SpeechVoice> QtSpeech::voices() const {
    std::vector<SpeechVoice> voices;
    if (!m_engine) {
        return voices;
    }
    for (const QVoice& voice : m_engine->availableVoices()) {
        voices.push_back({VoiceId(voice), voice.name().toStdString(),
                          QLocale::languageToString(voice.locale().language()).toStdString()});
    }
    return voices;
}

void QtSpeech::useVoice(const std::string& id) {
    if (!m_engine || id == m_voiceInUse) {
        return;
    }
    for (const QVoice& voice : m_engine->availableVoices()) {
        if (VoiceId(voice) == id) {
            m_engine->setVoice(voice);
            m_voiceInUse = id;
            return;
        }
    }
}

void QtSpeech::setVoice(const std::string& id) {
    m_voice = id;
}

void QtSpeech::setRate(double rate) {
    if (m_engine) {
        m_engine->setRate(rate);
    }
}

void QtSpeech::setPitch(double pitch) {
    if (m_engine) {
        m_engine->setPitch(pitch);
    }
}

void QtSpeech::setVolume(double volume) {
    if (m_engine) {
        m_engine->setVolume(volume);
    }
}

} // namespace corvane
