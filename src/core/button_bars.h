#pragma once

#include <array>
#include <string>

namespace corvane {

// The two rows of nine buttons: the command bar and the macro bar.
enum class Bar { Command, Macro };

namespace command_button {
inline constexpr int Connect = 0;
inline constexpr int Info = 1;
inline constexpr int Direction = 2;
inline constexpr int Log = 3;
inline constexpr int Upload = 4;
inline constexpr int WhoIsHere = 5;
inline constexpr int WhoIsOn = 6;
inline constexpr int GoHome = 7;
inline constexpr int Quit = 8;
} // namespace command_button

inline constexpr int kButtonsPerBar = 9;

std::string DefaultButtonCaption(Bar bar, int index);
// A caption as the player reads it: "User &1" is "User 1", "&&" one "&".
std::string CaptionWithoutAccessKey(const std::string& caption);

class ButtonBarView {
public:
    virtual ~ButtonBarView() = default;
    virtual void setButtonEnabled(Bar bar, int index, bool enabled) = 0;
    virtual void setButtonCaption(Bar bar, int index, const std::string& caption) = 0;
};

// Enabled state and caption of each bar button, readable by the rules.
class ButtonBars {
public:
    explicit ButtonBars(ButtonBarView& view);
    void setEnabled(Bar bar, int index, bool enabled);
    void setCaption(Bar bar, int index, const std::string& caption);
    bool enabled(Bar bar, int index) const { return state(bar)[static_cast<std::size_t>(index)].enabled; }
    const std::string& caption(Bar bar, int index) const {
        return state(bar)[static_cast<std::size_t>(index)].caption;
    }

private:
    struct Button {
        bool enabled = false;
        std::string caption;
    };
    using Row = std::array<Button, kButtonsPerBar>;
    Row& state(Bar bar) { return bar == Bar::Command ? m_command : m_macro; }
    const Row& state(Bar bar) const { return bar == Bar::Command ? m_command : m_macro; }

    ButtonBarView& m_view;
    Row m_command;
    Row m_macro;
};

} // namespace corvane
