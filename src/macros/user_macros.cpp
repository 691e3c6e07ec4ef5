#include "macros/user_macros.h"

#include "core/button_bars.h"
#include "core/session.h"
#include "macros/file_sender.h"
#include "settings/settings.h"

#include <cstdio>
#include <cstdlib>

namespace corvane {

std::string DefaultMacroFile(const std::string& programDir, int worldIndex, int macroNumber) {
    char number[16];
    std::snprintf(number, sizeof number, "%s%03d", worldIndex < 0 ? "-" : "", std::abs(worldIndex));
    return programDir + "MACR" + number + std::to_string(macroNumber) + ".CMD";
}

UserMacros::UserMacros(Session& session, ButtonBars& buttons, FileSender& sender, std::string settingsPath)
    : m_session(session)
    , m_buttons(buttons)
    , m_sender(sender)
    , m_settingsPath(std::move(settingsPath)) {}

std::string UserMacros::key(int index) const {
    return "Macro " + std::to_string(index + 1);
}

std::string UserMacros::caption(int index) const {
    return m_buttons.caption(Bar::Macro, index);
}

void UserMacros::setCaption(int index, const std::string& caption) {
    m_buttons.setCaption(Bar::Macro, index, caption);
}

void UserMacros::LoadMacros(bool setCaptions) {
    for (int i = 0; i < kMacroCount; ++i) {
        const std::string value = ReadSetting(m_session.WorldName, key(i), m_settingsPath);
        const std::size_t comma = value.find(',');
        // Positions as the stored form counts them: from 1, 0 for no comma.
        const std::size_t p = comma == std::string::npos ? 0 : comma + 1;
        if (p > 1 && setCaptions) {
            setCaption(i, value.substr(0, p - 1));
        }
        m_files[static_cast<std::size_t>(i)] = value.size() > p + 1 ? value.substr(p) : std::string();
    }
}

void UserMacros::SaveMacros(const std::vector<std::string>& names) {
    for (int i = 0; i < kMacroCount && static_cast<std::size_t>(i) < names.size(); ++i) {
        if (!file(i).empty()) {
            WriteSetting(m_session.WorldName, key(i), names[static_cast<std::size_t>(i)] + "," + file(i),
                         m_settingsPath);
        }
    }
}

void UserMacros::saveName(int index, const std::string& name) {
    WriteSetting(m_session.WorldName, key(index), name + "," + file(index), m_settingsPath);
}

void UserMacros::pressButton(int index) {
    if (m_sender.SendFile(file(index)) == 0) {
        return;
    }
    if (m_notice) {
        m_notice("MACRO ERROR", "No Macro Defined for User " + std::to_string(index + 1) +
                                    "\r\rTo define a macro, select\rEdit | User Macros  from the\rMain Menu, "
                                    "or Press the F5 Key");
    }
}

} // namespace corvane
