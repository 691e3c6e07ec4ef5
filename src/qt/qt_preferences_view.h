#pragma once

#include "shell/play_page_view.h"
#include "shell/preferences_view.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace corvane {

class QtSpeechPage;
class QtWatchForPage;

// The preferences dialog (frmPrefs), modeless over the main window.
class QtPreferencesView : public QDialog, public PreferencesView, public PlayPageView {
    Q_OBJECT
public:
    explicit QtPreferencesView(QWidget* parent);
    ~QtPreferencesView() override;

    void setEvents(PreferencesEvents* events) override { m_events = events; }
    WatchForView& watchFor() override;
    PlayPageView& play() override { return *this; }
    SpeechPageView& speech() override;
    void setOptionCaption(PlayOption option, const std::string& caption) override;
    bool isOptionChecked(PlayOption option) const override;
    void setOptionChecked(PlayOption option, bool checked) override;
    void setSentColour(std::int32_t colour) override;
    void setSpellChoices(const std::vector<std::string>& choices, int selected) override;
    int spellChoice() const override;
    void setCommandPrefixChoice(int choice) override;
    int commandPrefixChoice() const override;
    void setSpellUnavailable(const std::string& reason) override;
    void setCaption(const std::string& caption) override;
    int currentTab() const override;
    void selectTab(int tab) override;
    void setSample(const SampleLook& look) override;
    void setPathLabel(int which, const std::string& path) override;
    std::string browser() const override;
    void setBrowser(const std::string& path) override;
    void setMaxLinesCaption(const std::string& caption) override;
    std::string maxLines() const override;
    void setMaxLines(const std::string& text) override;
    void selectAllMaxLines() override;
    bool checked(Check box) const override;
    void setChecked(Check box, bool checked) override;
    void setKeyringUnavailable(const std::string& reason) override;
    void setMaxLinesNote(const std::string& note) override;
    bool multipleBrowsers() const override;
    void setMultipleBrowsers(bool multiple) override;
    void showDialog() override;
    void closeDialog() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QWidget* buildFontsPage();
    QWidget* buildDirectoriesPage();
    QWidget* buildPlayPage();
    template <typename Handler> void notify(Handler handler);

    PreferencesEvents* m_events = nullptr;
    QTabWidget* m_tabs = nullptr;
    QLabel* m_sample = nullptr;
    std::array<QLabel*, 2> m_pathLabels{};
    QLineEdit* m_browser = nullptr;
    QLabel* m_maxLinesLabel = nullptr;
    QLineEdit* m_maxLines = nullptr;
    std::array<QCheckBox*, CheckCount> m_checks{};
    QLabel* m_keyringReason = nullptr;
    QLabel* m_maxLinesNote = nullptr;
    QRadioButton* m_oneBrowser = nullptr;
    QRadioButton* m_multipleBrowsers = nullptr;
    QtWatchForPage* m_watchFor = nullptr;
    QtSpeechPage* m_speech = nullptr;
    std::array<QCheckBox*, kPlayOptionCount> m_playChecks{};
    QPushButton* m_sentColour = nullptr;
    QComboBox* m_spellChoice = nullptr;
    QComboBox* m_commandPrefix = nullptr;
    QLabel* m_spellReason = nullptr;
    bool m_closing = false;
};

} // namespace corvane
