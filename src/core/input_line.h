#pragma once

#include <deque>
#include <functional>
#include <string>

namespace corvane {

struct Session;
class InputView;
class CommandSender;
class MainMenu;
class Sound;
class TypedLineExpander;

// Receives each line typed while a macro is being recorded.
class CommandRecorder {
public:
    virtual ~CommandRecorder() = default;
    virtual void recordLine(const std::string& line) = 0;
};

// The rules of the input line and its command history: Enter sends, Escape
// clears (what it cleared comes back with Ctrl+Z, and with Up while recall
// is chosen), Up and the scroll button toggle the history list; keys are refused
// while a file is being sent. With command recall chosen, Up and Down walk
// through the lines sent instead and Ctrl+Up opens the list.
class InputLine {
public:
    enum class Key { Enter, Escape, Up, Down, HistoryList, Tab, Other };
    static constexpr std::size_t kMaxHistory = 127;

    InputLine(Session& session, InputView& view, CommandSender& sender, MainMenu& menu, Sound& sound);

    void setRecorder(CommandRecorder* recorder) { m_recorder = recorder; }
    // Aliases: what is sent, recorded and logged is what this makes of the typed line.
    void setExpander(TypedLineExpander* expander) { m_expander = expander; }
    // Asked on each key, so a change in the preferences counts at once.
    void setRecall(std::function<bool()> recallChosen) { m_recallChosen = std::move(recallChosen); }
    // Told of each line sent from the input line.
    void setSentHook(std::function<void(const std::string&)> sent) { m_sent = std::move(sent); }
    // Tab in the input line; true when it was used (name completion).
    void setTabHandler(std::function<bool()> tab) { m_tab = std::move(tab); }

    // A key pressed in the input line; true when the key is consumed.
    bool onInputKey(Key key);
    void SubmitInputLine();
    // A command sent as if typed (a link clicked in the output): aliases and
    // all, while what is in the input line stays there. Not kept in the history.
    void sendAsTyped(const std::string& text);
    // The world echoes what is typed itself (telnet ECHO): a password is being
    // asked for, so the line shows dots and keeps it out of the history and
    // any macro being recorded.
    void setWorldEchoes(bool echoes);
    bool masked() const { return m_masked; }

    // The history list: the scroll button, a double-click or Enter in the list.
    void toggleHistory();
    void onHistoryFocusIn();
    void onHistoryFocusOut();
    void onHistoryEscape();

    const std::deque<std::string>& history() const { return m_history; }
    bool historyVisible() const { return m_historyVisible; }

private:
    // False when there is nowhere to send it.
    bool send(const std::string& text);
    void hideHistory();
    bool recall(int step);
    std::size_t recallCount() const { return m_history.size() + (m_escaped.empty() ? 0 : 1); }

    Session& m_session;
    InputView& m_view;
    CommandSender& m_sender;
    MainMenu& m_menu;
    Sound& m_sound;
    CommandRecorder* m_recorder = nullptr;
    TypedLineExpander* m_expander = nullptr;
    std::deque<std::string> m_history;
    bool m_historyVisible = false;
    bool m_masked = false;
    std::function<bool()> m_recallChosen;
    std::function<void(const std::string&)> m_sent;
    std::function<bool()> m_tab;
    // The history entry shown by recall (the size of the history: none),
    // and what was typed before the first Up.
    std::size_t m_recalled = 0;
    std::string m_draft;
    // What Escape cleared, recalled as the newest entry until a line is sent.
    std::string m_escaped;
};

} // namespace corvane
