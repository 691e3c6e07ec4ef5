#pragma once

#include "core/text_line.h"

#include <cstddef>
#include <string>

namespace corvane {

// What the player does in a conversation window.
class ConversationViewEvents {
public:
    virtual ~ConversationViewEvents() = default;
    // Enter in the window's input line, with what was typed.
    virtual void onSendTyped(const std::string& text) = 0;
    // The prefix field was changed by hand.
    virtual void onPrefixEdited(const std::string& prefix) = 0;
    // The window became the active one: its lines have been seen.
    virtual void onActivated() = 0;
    // A double click in the window's output (on an address, it opens).
    virtual void onOutputDoubleClicked() = 0;
    // "Back into the Conversations window", from a tab moved to a window of its own.
    virtual void onBackIntoTabs() {}
};

// One conversation window: its own output (the main window's colours), a
// prefix field and an input line. Closing it only hides it.
class ConversationView {
public:
    virtual ~ConversationView() = default;
    virtual void setEvents(ConversationViewEvents* events) = 0;
    virtual void setTitle(const std::string& title) = 0;
    // Lines not yet seen; a window that has its count in its title needs nothing more.
    virtual void setUnread(std::size_t count) { (void)count; }
    // Whether the window offers to go back into the Conversations window.
    virtual void offerBackIntoTabs(bool offered) { (void)offered; }
    virtual void setPrefix(const std::string& prefix) = 0;
    virtual void appendLine(const TextLine& line) = 0;
    // Drops the oldest `count` lines from the output.
    virtual void dropOldest(int count) = 0;
    virtual void clearInput() = 0;
    // Shows the window (again) without taking the keyboard from where the player types.
    virtual void showQuietly() = 0;
    // Shows the window and makes it the active one: the player asked for it.
    virtual void showActive() = 0;
    virtual bool isShown() const = 0;
    virtual bool isActive() const = 0;
    // The output's line under the caret and the caret's offset in it (code points).
    virtual std::string caretLine(int& caretOffset) const = 0;
};

} // namespace corvane
