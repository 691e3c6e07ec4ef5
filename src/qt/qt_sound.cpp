#include "qt/qt_sound.h"

#include "qt/qt_text.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace corvane {

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

void QtSound::beep() { QApplication::beep(); }

void QtSound::playWave(const std::string& path) {
    const QFileInfo file(toQt(path));
    if (path.empty() || !file.isFile() || !file.isReadable()) {
        return;
    }
    // Created on first use: without an audio device this stays silent.
    if (!m_effect) {
        m_effect = std::make_unique<QSoundEffect>();
    }
    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    if (m_effect->source() != url) {
        m_effect->setSource(url);
    }
    m_effect->play();
}

} // namespace corvane
