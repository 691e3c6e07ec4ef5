#pragma once

#include <cstdint>
#include <string>

namespace corvane {

class PlayPageView;
class SpeechPageView;
class WatchForView;

// What the user does in the preferences dialog outside its "WatchFor" page.
class PreferencesEvents {
public:
    virtual ~PreferencesEvents() = default;
    // Ctrl+Tab anywhere in the dialog.
    virtual void onNextTab() = 0;
    virtual void onChangeFont() = 0;
    // 0 "&Foreground Color...", 1 "&Background Color...", 2 the colour of
    // what is sent (Play page).
    virtual void onChangeColour(int which) = 0;
    // 0 the program path, 1 the picture path.
    virtual void onChooseFolder(int which) = 0;
    virtual void onBrowseBrowser() = 0;
    // Typed in txtBrowser or txtMaxLines, clicked a check box or a browser option.
    virtual void onOptionChanged() = 0;
    virtual void onMaxLinesEntered() = 0;
    virtual void onMaxLinesLeft() = 0;
    // 0 "OK" (also Enter), 1 "Apply".
    virtual void onOkApply(int button) = 0;
    // "Cancel", Escape or the window's close box.
    virtual void onCancel() = 0;
};

// The preferences dialog (frmPrefs): the tab strip tbsOptions with the pages
// "Fonts", "Directories", "WatchFor", "Play" and "Speech", and OK, Apply and
// Cancel below.
class PreferencesView {
public:
    enum Tab { FontsTab = 0, DirectoriesTab = 1, WatchForTab = 2, PlayTab = 3, SpeechTab = 4, TabCount = 5 };
    enum Check { AutoPicture, WindowPosition, RingBell, RestoreWindow, KeyringPasswords, CheckCount };
    struct SampleLook {
        std::string caption;
        std::string fontName;
        float fontSize = 9;
        bool bold = false;
        bool italic = false;
        // 0x00BBGGRR; negative values name system colours.
        std::int32_t text = 0;
        std::int32_t background = 0;
    };

    virtual ~PreferencesView() = default;
    virtual void setEvents(PreferencesEvents* events) = 0;
    virtual WatchForView& watchFor() = 0;
    virtual PlayPageView& play() = 0;
    virtual SpeechPageView& speech() = 0;

    virtual void setCaption(const std::string& caption) = 0;
    virtual int currentTab() const = 0;
    // Shows that tab's frame and hides the other two.
    virtual void selectTab(int tab) = 0;

    // lblFont: caption, font and colours; the page is fitted to it.
    virtual void setSample(const SampleLook& look) = 0;

    // PathLabel 0 and 1.
    virtual void setPathLabel(int which, const std::string& path) = 0;
    virtual std::string browser() const = 0;
    virtual void setBrowser(const std::string& path) = 0;
    virtual void setMaxLinesCaption(const std::string& caption) = 0;
    virtual std::string maxLines() const = 0;
    virtual void setMaxLines(const std::string& text) = 0;
    virtual void selectAllMaxLines() = 0;
    // One line under the field saying why a typed number was changed; empty hides it.
    virtual void setMaxLinesNote(const std::string& note) = 0;
    virtual bool checked(Check box) const = 0;
    virtual void setChecked(Check box, bool checked) = 0;
    // Empty: the keyring box can be used. Otherwise it is disabled and this
    // one line says why.
    virtual void setKeyringUnavailable(const std::string& reason) = 0;
    // optBrowser 1 ("&Multiple Browsers") rather than 0 ("&One Browser").
    virtual bool multipleBrowsers() const = 0;
    virtual void setMultipleBrowsers(bool multiple) = 0;

    // Shows the dialog centred on the screen, without blocking, or brings it
    // to the front when it is already shown.
    virtual void showDialog() = 0;
    virtual void closeDialog() = 0;
};

} // namespace corvane
