#pragma once

#include <string>
#include <vector>

namespace corvane {

// What the user does in the "User Macros" dialog (Form6).
class UserMacrosEvents {
public:
    virtual ~UserMacrosEvents() = default;
    // A name picked from the list (Combo1).
    virtual void onNamePicked(int index) = 0;
    // The user typed in the name box.
    virtual void onNameEdited() = 0;
    virtual void onBrowse() = 0;
    virtual void onEditMacro() = 0;
    virtual void onRecordMacro() = 0;
    virtual void onChangeName() = 0;
    virtual void onOk() = 0;
    // "&Cancel", Escape or the window's close button.
    virtual void onCancel() = 0;
};

// The "User Macros" dialog: the nine names, the file of the picked one and
// the buttons that browse for, edit and record it.
class UserMacrosView {
public:
    enum class Control { Names, File, Browse, Edit, Record, ChangeName, Ok, Cancel };

    virtual ~UserMacrosView() = default;
    virtual void setEvents(UserMacrosEvents* events) = 0;

    virtual void setNames(const std::vector<std::string>& names) = 0;
    virtual void selectName(int index) = 0;
    // The picked entry, or -1 when the box holds typed text that is no entry.
    virtual int selectedName() const = 0;
    virtual std::string nameText() const = 0;
    virtual void replaceName(int index, const std::string& name) = 0;

    virtual void setFileText(const std::string& text) = 0;
    virtual std::string fileText() const = 0;

    virtual void setRecordCaption(const std::string& caption) = 0;
    virtual void setControlEnabled(Control control, bool enabled) = 0;
    virtual void setDefaultButton(Control control) = 0;

    // Shows the dialog without blocking, or brings it to the front.
    virtual void showWindow() = 0;
    virtual void closeWindow() = 0;
};

} // namespace corvane
