#pragma once

#include <string>
#include <vector>

namespace corvane {

// The selected route's fields as the editor shows them. Which of them apply
// depends on the kind: a built-in form has only `lines` and `opens`.
struct ConversationRouteFields {
    enum class Kind { BuiltIn, Puppet, Route };
    Kind kind = Kind::BuiltIn;
    // A built-in form: what its lines look like ("Alice pages: hello").
    std::string example;
    std::string name;
    std::string linePrefix;
    std::string sendPrefix;
    bool whisper = false;
    int mode = 2; // plain, whole words, regular expression
    std::string pattern;
    int lines = 0; // the window and the main output, the window only, off
    bool opens = true;
    friend bool operator==(const ConversationRouteFields&, const ConversationRouteFields&) = default;
};

class ConversationRoutesEvents {
public:
    virtual ~ConversationRoutesEvents() = default;
    virtual void onRowSelected(int row) = 0;
    virtual void onFieldsEdited() = 0;
    virtual void onAddPuppet() = 0;
    virtual void onAddRoute() = 0;
    virtual void onDelete() = 0;
    virtual void onMoveUp() = 0;
    virtual void onMoveDown() = 0;
    virtual void onSave() = 0;
    // The window's close button or Close; answers whether it may close.
    virtual bool onCloseAsked() = 0;
};

// Edit > "Conversation Routes": the list of routes, the selected one's
// fields, and the buttons.
class ConversationRoutesView {
public:
    enum class Button { Delete, MoveUp, MoveDown, Save };

    virtual ~ConversationRoutesView() = default;
    virtual void setEvents(ConversationRoutesEvents* events) = 0;
    virtual void setRows(const std::vector<std::string>& rows) = 0;
    virtual void selectRow(int row) = 0;
    virtual void setFields(const ConversationRouteFields& fields) = 0;
    virtual ConversationRouteFields fields() const = 0;
    // What is wrong with the selected route, in red; empty hides it.
    virtual void setError(const std::string& error) = 0;
    virtual void setButtonEnabled(Button button, bool enabled) = 0;
    virtual void showWindow() = 0;
};

} // namespace corvane
