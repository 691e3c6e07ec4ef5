#pragma once

#include <functional>
#include <string>

namespace corvane {

// The log-in Diku-family worlds understand: they ask for the name, then for
// the password (saying WILL ECHO as they do), instead of taking a "connect"
// command. The name goes after the world's first prompt, the password after
// the prompt that asks for it or the world's WILL ECHO. A prompt that asks
// for anything else (a new name, a menu) ends the log-in: the player answers it.
class PromptedLogin {
public:
    using Send = std::function<void(const std::string& line)>;
    explicit PromptedLogin(Send send)
        : m_send(std::move(send)) {}

    void start(const std::string& name, const std::string& password);
    // An unfinished line is shown, or a prompt ended by go-ahead.
    void promptShown(const std::string& text);
    void worldEchoes(bool on);
    // Anything at all went to the world: the prompt shown last is answered.
    void commandSent() { m_promptWaiting = false; }
    // The connection ended, or the log-in gave way to the player.
    void stop();
    bool waiting() const { return m_step != Step::Idle; }

private:
    enum class Step { Idle, Name, Password };
    void sendName();
    void sendPassword();

    Send m_send;
    Step m_step = Step::Idle;
    bool m_promptWaiting = false;
    std::string m_name;
    std::string m_password;
};

} // namespace corvane
