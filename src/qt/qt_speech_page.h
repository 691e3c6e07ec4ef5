#pragma once

#include "shell/speech_page_view.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace corvane {

// The Preferences "Speech" page. Sliders run in hundredths of the level.
class QtSpeechPage : public QWidget, public SpeechPageView {
    Q_OBJECT
public:
    // `changed` is called for every change the player makes on the page.
    QtSpeechPage(QWidget* parent, std::function<void()> changed);

    void setChecked(Box box, bool checked) override;
    bool checked(Box box) const override;
    void setVoices(const std::vector<std::string>& names, int selected) override;
    int voiceChoice() const override;
    void setLevel(Level level, double value) override;
    double level(Level level) const override;
    void setUnavailable(const std::string& reason) override;

private:
    std::function<void()> m_changed;
    std::array<QCheckBox*, BoxCount> m_boxes{};
    QRadioButton* m_always = nullptr;
    QRadioButton* m_background = nullptr;
    QComboBox* m_voice = nullptr;
    std::array<QSlider*, LevelCount> m_levels{};
    QWidget* m_controls = nullptr;
    QLabel* m_reason = nullptr;
};

} // namespace corvane
