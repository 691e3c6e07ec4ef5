#pragma once

#include "settings/watch_for_view.h"
#include "shell/play_page_view.h"
#include "shell/preferences_view.h"
#include "shell/speech_page_view.h"

#include <array>
#include <string>
#include <vector>

namespace corvane::testing {

// The Speech page in memory.
class FakeSpeechPage : public SpeechPageView {
public:
    void setChecked(Box box, bool value) override { boxes[static_cast<std::size_t>(box)] = value; }
    bool checked(Box box) const override { return boxes[static_cast<std::size_t>(box)]; }
    void setVoices(const std::vector<std::string>& names, int selected) override {
        voices = names;
        voice = selected;
    }
    int voiceChoice() const override { return voice; }
    void setLevel(Level which, double value) override { levels[static_cast<std::size_t>(which)] = value; }
    double level(Level which) const override { return levels[static_cast<std::size_t>(which)]; }
    void setUnavailable(const std::string& text) override { reason = text; }

    std::array<bool, BoxCount> boxes{};
    std::array<double, LevelCount> levels{};
    std::vector<std::string> voices;
    int voice = -1;
    std::string reason = "not told";
};

// The preferences dialog in memory; the test plays the user through the
// two event interfaces (typing into a box is setting it, then reporting).
class FakePreferencesView : public PreferencesView, public WatchForView, public PlayPageView {
public:
    struct Row {
        std::string text;
        std::string soundFile;
        bool popUp = false;
        bool popUpEnabled = true;
        bool soundEnabled = true;
        std::string fontName;
        bool bold = false;
        bool italic = false;
        std::int32_t colour = 0;
    };

    void setEvents(PreferencesEvents* e) override { events = e; }
    WatchForView& watchFor() override { return *this; }
    PlayPageView& play() override { return *this; }
    SpeechPageView& speech() override { return speechPage; }
    // A change on the Speech page, as its controls report it.
    template <typename Change> void changeSpeech(Change change) {
        change(speechPage);
        events->onOptionChanged();
    }
    void setOptionCaption(PlayOption option, const std::string& text) override {
        playCaptions[static_cast<std::size_t>(option)] = text;
    }
    void setSentColour(std::int32_t colour) override { sentColour = colour; }
    bool isOptionChecked(PlayOption option) const override { return playChecks[static_cast<std::size_t>(option)]; }
    void setOptionChecked(PlayOption option, bool value) override {
        playChecks[static_cast<std::size_t>(option)] = value;
    }
    void setSpellChoices(const std::vector<std::string>& choices, int selected) override {
        spellChoices = choices;
        spellSelected = selected;
    }
    int spellChoice() const override { return spellSelected; }
    void setCommandPrefixChoice(int choice) override { commandPrefix = choice; }
    int commandPrefixChoice() const override { return commandPrefix; }
    void setSpellUnavailable(const std::string& reason) override { spellReason = reason; }
    void chooseSpelling(int index) {
        spellSelected = index;
        events->onOptionChanged();
    }
    void tickPlayOption(PlayOption option, bool value) {
        setOptionChecked(option, value);
        events->onOptionChanged();
    }
    void setCaption(const std::string& text) override { caption = text; }
    int currentTab() const override { return tab; }
    void selectTab(int index) override { tab = index; }
    void setSample(const SampleLook& look) override { sample = look; }
    void setPathLabel(int which, const std::string& path) override {
        pathLabels[static_cast<std::size_t>(which)] = path;
    }
    std::string browser() const override { return browserText; }
    void setBrowser(const std::string& path) override { browserText = path; }
    void setMaxLinesCaption(const std::string& text) override { maxLinesCaption = text; }
    std::string maxLines() const override { return maxLinesText; }
    void setMaxLines(const std::string& text) override { maxLinesText = text; }
    void selectAllMaxLines() override { maxLinesSelected = true; }
    void setMaxLinesNote(const std::string& note) override { maxLinesNote = note; }
    bool checked(Check box) const override { return checks[box]; }
    void setChecked(Check box, bool value) override { checks[box] = value; }
    void setKeyringUnavailable(const std::string& reason) override { keyringReason = reason; }
    bool multipleBrowsers() const override { return multiple; }
    void setMultipleBrowsers(bool value) override { multiple = value; }
    void showDialog() override {
        shown = true;
        ++shows;
    }
    void closeDialog() override { shown = false; }

    void setWatchForEvents(WatchForEvents* e) override { watchEvents = e; }
    void setWorldNames(const std::vector<std::string>& names) override { worlds = names; }
    void selectWorld(int index) override { world = index; }
    std::string triggerText(int row) const override { return rows[slot(row)].text; }
    void setTriggerText(int row, const std::string& text) override { rows[slot(row)].text = text; }
    std::string soundFile(int row) const override { return rows[slot(row)].soundFile; }
    void setSoundFile(int row, const std::string& path) override { rows[slot(row)].soundFile = path; }
    bool popUp(int row) const override { return rows[slot(row)].popUp; }
    void setPopUp(int row, bool value) override { rows[slot(row)].popUp = value; }
    void setPopUpEnabled(int row, bool enabled) override { rows[slot(row)].popUpEnabled = enabled; }
    void setSoundEnabled(int row, bool enabled) override { rows[slot(row)].soundEnabled = enabled; }
    void setTriggerLook(int row, const std::string& fontName, bool bold, bool italic,
                        std::int32_t colour) override {
        Row& r = rows[slot(row)];
        r.fontName = fontName;
        r.bold = bold;
        r.italic = italic;
        r.colour = colour;
    }

    // The user's own edits.
    void typeMaxLines(const std::string& text) {
        events->onMaxLinesEntered();
        maxLinesText = text;
        events->onOptionChanged();
    }
    void typeTrigger(int row, const std::string& text) {
        watchEvents->onTriggerTextEntered(row);
        rows[slot(row)].text = text;
        watchEvents->onRowEdited(row);
        watchEvents->onTriggerTextLeft(row);
    }
    void chooseWorld(int index) {
        world = index;
        watchEvents->onWorldChosen(index);
    }

    PreferencesEvents* events = nullptr;
    WatchForEvents* watchEvents = nullptr;
    std::string caption;
    int tab = FontsTab;
    SampleLook sample;
    std::array<std::string, 2> pathLabels;
    std::string browserText;
    std::string maxLinesCaption;
    std::string maxLinesText;
    bool maxLinesSelected = false;
    std::string maxLinesNote;
    std::int32_t sentColour = -1;
    std::array<bool, CheckCount> checks{};
    std::string keyringReason = "not told";
    std::array<bool, kPlayOptionCount> playChecks{};
    std::array<std::string, kPlayOptionCount> playCaptions;
    std::vector<std::string> spellChoices;
    int commandPrefix = 0;
    int spellSelected = -1;
    std::string spellReason = "not told";
    bool multiple = false;
    bool shown = false;
    int shows = 0;
    std::vector<std::string> worlds;
    int world = -1;
    std::array<Row, 5> rows;
    FakeSpeechPage speechPage;

private:
    static std::size_t slot(int row) { return static_cast<std::size_t>(row); }
};

} // namespace corvane::testing
