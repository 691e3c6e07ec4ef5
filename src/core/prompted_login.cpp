#include "core/prompted_login.h"

#include "core/text_codec.h"

namespace corvane {

void PromptedLogin::start(const std::string& name, const std::string& password) {
    m_name = name;
    m_password = password;
    m_step = Step::Name;
    // The world may be waiting at its name prompt already.
    if (m_promptWaiting) {
        sendName();
    }
}

void PromptedLogin::promptShown(const std::string& text) {
    m_promptWaiting = true;
    switch (m_step) {
    case Step::Idle:
        break;
    case Step::Name:
        sendName();
        break;
    case Step::Password:
        if (FindNoCase(text, "password") != std::string::npos) {
            sendPassword();
        } else {
            stop();
        }
        break;
    }
}

void PromptedLogin::worldEchoes(bool on) {
    if (on && m_step == Step::Password) {
        sendPassword();
    }
}

void PromptedLogin::stop() {
    m_step = Step::Idle;
    m_promptWaiting = false;
    m_name.clear();
    m_password.assign(m_password.size(), '\0');
    m_password.clear();
}

void PromptedLogin::sendName() {
    m_step = Step::Password;
    m_send(m_name + "\r\n");
}

void PromptedLogin::sendPassword() {
    const std::string line = m_password + "\r\n";
    stop();
    m_send(line);
}

} // namespace corvane
