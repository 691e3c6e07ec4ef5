#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

struct Session;
class ButtonBars;
class FileSender;

inline constexpr int kMacroCount = 9;

// "MACR" + world index as at least three digits + macro number + ".CMD" in
// the macro folder: the first world's first macro is MACR0001.CMD, and with
// no world (-1) the number reads "-001".
std::string DefaultMacroFile(const std::string& programDir, int worldIndex, int macroNumber);

// The nine macro buttons of the connected world: their names (the button
// captions) and files, kept per world in the settings file as
// "Macro n" = name,path; a press plays the file.
class UserMacros {
public:
    UserMacros(Session& session, ButtonBars& buttons, FileSender& sender, std::string settingsPath);

    // Shows the text titled "MACRO ERROR" without blocking.
    void setNoticeHook(std::function<void(const std::string& title, const std::string& text)> notice) {
        m_notice = std::move(notice);
    }

    // Reads the world's nine macros; with setCaptions the buttons take their names.
    void LoadMacros(bool setCaptions);
    // Stores every macro that has a file under the given names.
    void SaveMacros(const std::vector<std::string>& names);
    // Stores one name at once, with the macro's file.
    void saveName(int index, const std::string& name);
    void pressButton(int index);

    const std::string& file(int index) const { return m_files[static_cast<std::size_t>(index)]; }
    void setFile(int index, const std::string& path) { m_files[static_cast<std::size_t>(index)] = path; }
    std::string caption(int index) const;
    void setCaption(int index, const std::string& caption);

private:
    std::string key(int index) const;

    Session& m_session;
    ButtonBars& m_buttons;
    FileSender& m_sender;
    std::string m_settingsPath;
    std::array<std::string, kMacroCount> m_files;
    std::function<void(const std::string&, const std::string&)> m_notice;
};

} // namespace corvane
