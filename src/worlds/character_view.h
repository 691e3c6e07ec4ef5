#pragma once

#include <string>
#include <vector>

namespace corvane {

// What the user does in the character dialog.
class CharacterEvents {
public:
    virtual ~CharacterEvents() = default;
    // Only the user's own picks and edits are reported, never the presenter's.
    virtual void onCharacterPicked(int index) = 0;
    // Any edit of the password box by the user: typing, deleting, pasting.
    virtual void onPasswordEdited() = 0;
    virtual void onNew() = 0;
    virtual void onDelete() = 0;
    virtual void onOk() = 0;
    virtual void onCancel() = 0;
};

// The character login dialog of the current world (Form5).
class CharacterView {
public:
    virtual ~CharacterView() = default;
    virtual void setEvents(CharacterEvents* events) = 0;
    virtual void setTitle(const std::string& title) = 0;

    // The pick list of stored characters (Combo1).
    virtual void setCharacterNames(const std::vector<std::string>& names) = 0;
    virtual void selectCharacter(int index) = 0;

    // The box for a new character's name (Text1), shown in place of the pick
    // list and given the focus.
    virtual void showNewNameBox(bool shown) = 0;
    virtual std::string newName() const = 0;

    virtual std::string password() const = 0;
    virtual void setPassword(const std::string& password) = 0;

    // "&New" and "&Delete" together.
    virtual void setListButtonsEnabled(bool enabled) = 0;

    // Shows the dialog and returns once it has closed.
    virtual void runModal() = 0;
    virtual void hideDialog() = 0;
    virtual void closeDialog() = 0;
};

} // namespace corvane
