#pragma once

#include "settings/watch_for_page.h"
#include "shell/play_page.h"
#include "shell/preferences_view.h"
#include "shell/speech_page.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

struct ClientSettings;
struct Session;
class TriggerSet;
class DisplayView;
class MainWindowLayout;
class MainWindowView;
class Prompts;
class Sound;
class Choosers;
class Spelling;

// Rules of the preferences dialog: its pages filled from the running
// client, the corrections of the line limit, the choosers, and OK, Apply and
// Cancel with what each applies, asks and writes.
class PreferencesPresenter : public PreferencesEvents {
public:
    struct Services {
        Prompts& prompts;
        Sound& sound;
        Choosers& choosers;
        // Null where the program has no spell checker.
        Spelling* spelling;
        // Null where the client was given no speech engine.
        SpeechPresenter* speech = nullptr;
    };
    struct Hooks {
        // Appends the client's own text to the output window.
        std::function<void(const std::string& text)> showOutput;
        // CharsPerLine or MaxOutputChars changed.
        std::function<void()> lineLimitsChanged;
        // The connected world's trigger rows are now in force.
        std::function<void()> triggersApplied;
        // The dialog closed; it may be let go of once this handler returns.
        std::function<void()> closed;
        // The address book entry the WatchFor page opens on: the connected
        // world, or the one last picked in the connect dialog.
        std::function<int()> watchForWorld;
    };

    PreferencesPresenter(PreferencesView& view, ClientSettings& settings, Session& session,
                         TriggerSet& triggers, DisplayView& display, MainWindowLayout& layout,
                         MainWindowView& window, Services services, std::string currentDirectory,
                         Hooks hooks);

    // Opening: every control from the running client, then the dialog shows.
    void load();

    void onNextTab() override;
    void onChangeFont() override;
    void onChangeColour(int which) override;
    void onChooseFolder(int which) override;
    void onBrowseBrowser() override;
    void onOptionChanged() override;
    void onMaxLinesEntered() override;
    void onMaxLinesLeft() override;
    void onOkApply(int button) override;
    void onCancel() override;

    bool prefsChanged() const { return m_prefsChanged; }
    WatchForPage& watchFor() { return m_watchFor; }

private:
    void loadFolder(int which, const std::string& directory, const char* key);
    void showSample();
    void applyToClient();
    void writeSettings();
    void close();
    // Each [Corvane] and [Font] key the dialog writes, with the value the
    // running client holds for it.
    struct SettingValue {
        const char* section;
        const char* key;
        std::string value;
        bool operator==(const SettingValue&) const = default;
    };
    std::vector<SettingValue> settingValues() const;

    PreferencesView& m_view;
    ClientSettings& m_settings;
    Session& m_session;
    DisplayView& m_display;
    MainWindowLayout& m_layout;
    MainWindowView& m_window;
    Services m_services;
    std::string m_currentDirectory;
    Hooks m_hooks;
    WatchForPage m_watchFor;
    PlayPage m_play;
    SpeechPage m_speechPage;

    bool m_ready = false;
    bool m_prefsChanged = false;
    int m_lineLimit = 16;
    // The folder each path chooser stands at.
    std::array<std::string, 2> m_folders;
    PreferencesView::SampleLook m_sample;
    // The values as the dialog opened (or last wrote them): only keys whose
    // value differs are written, so OK here never puts back a setting that
    // another window changed meanwhile.
    std::vector<SettingValue> m_written;
};

// The text shown for a font: "Font: NAME SIZEpt." with " Bold" and " Italic".
std::string FontCaption(const std::string& name, const std::string& size, bool bold, bool italic);

} // namespace corvane
