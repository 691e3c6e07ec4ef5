#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// What the user does on the "WatchFor" page; rows are 0 to 4 ("Trigger &1:"
// to "Trigger &5:"). Only the user's own actions are reported, never the
// page filling itself.
class WatchForEvents {
public:
    virtual ~WatchForEvents() = default;
    virtual void onWorldChosen(int index) = 0;
    // The row's trigger text box got or lost the keyboard focus.
    virtual void onTriggerTextEntered(int row) = 0;
    virtual void onTriggerTextLeft(int row) = 0;
    // Typed in the text box or the sound-file box, or clicked the pop-up box.
    virtual void onRowEdited(int row) = 0;
    virtual void onTriggerFont(int row) = 0;
    virtual void onBrowseSound(int row) = 0;
};

// The "WatchFor" page of the preferences dialog (frame "WatchFor Options").
class WatchForView {
public:
    virtual ~WatchForView() = default;
    virtual void setWatchForEvents(WatchForEvents* events) = 0;

    // cmbMUName.
    virtual void setWorldNames(const std::vector<std::string>& names) = 0;
    virtual void selectWorld(int index) = 0;

    virtual std::string triggerText(int row) const = 0;
    virtual void setTriggerText(int row, const std::string& text) = 0;
    virtual std::string soundFile(int row) const = 0;
    virtual void setSoundFile(int row, const std::string& path) = 0;
    virtual bool popUp(int row) const = 0;
    virtual void setPopUp(int row, bool checked) = 0;
    virtual void setPopUpEnabled(int row, bool enabled) = 0;
    // The sound-file box and "&Browse...", with the "&WAV File:" label black
    // when enabled and grey when not.
    virtual void setSoundEnabled(int row, bool enabled) = 0;
    // The trigger text box shows its text in the trigger's font (not its
    // size) and colour (0x00BBGGRR).
    virtual void setTriggerLook(int row, const std::string& fontName, bool bold, bool italic,
                                std::int32_t colour) = 0;
};

} // namespace corvane
