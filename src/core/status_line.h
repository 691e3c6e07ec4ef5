#pragma once

#include "core/status_view.h"

#include <functional>
#include <string>

namespace corvane {

namespace status {
inline constexpr const char* OffLine = "Status: Off Line";
inline constexpr const char* OnLine = "Status: On Line";
inline constexpr const char* OutputPaused = "Status: *** Output Paused ***";
inline constexpr const char* WaitingToSend = "Status: Waiting to send...";
inline constexpr const char* Disconnecting = "Status: Disconnecting...";
inline constexpr const char* Idle = "Status: IDLE";
inline constexpr const char* IdleSent = "Status: *IDLE*";
inline constexpr const char* GettingPlayerInfo = "Status: *Getting Player Info*";
inline constexpr const char* RandomWalk = "Status: Random Walk";
inline constexpr const char* RecordingMacro = "Status: Recording Macro";
} // namespace status

// The one writer of the status line; it also remembers the text so callers can
// read it back without asking the window.
class StatusLine {
public:
    explicit StatusLine(StatusView& view);
    void SetStatus(const std::string& text);
    // Text a trigger or the world puts in the status line for the player to notice.
    void ShowNotice(const std::string& text);
    // Told of every status set: the text before, after, and whether it is a notice.
    using Watcher = std::function<void(const std::string&, const std::string&, bool)>;
    void setWatcher(Watcher watcher) { m_watcher = std::move(watcher); }
    // The lock beside the status line: shown with the protocol's name while a
    // secure session is up, hidden when protocol is empty.
    void SetSecure(const std::string& protocol);
    // A world's report of the character's state ("HP 8/10  MP 5"), shown after
    // the status until the connection ends.
    void SetVitals(const std::string& vitals);
    const std::string& text() const { return m_text; }
    // A passing message in place of the status until Restore (or the next status).
    void Flash(const std::string& message) { m_view.setLabelText(StatusView::StatusLabel, message); }
    void Restore() { m_view.setLabelText(StatusView::StatusLabel, m_text); }

private:
    void show(const std::string& text, bool notice);

    StatusView& m_view;
    Watcher m_watcher;
    std::string m_text;
    std::string m_vitals;
};

} // namespace corvane
