#include "core/button_bars.h"

namespace corvane {

std::string DefaultButtonCaption(Bar bar, int index) {
    static const std::array<const char*, kButtonsPerBar> commandCaptions = {
        "&Connect", "I&nfo", "&Direction", "Open&Log", "U&pload", "&who", "WHO", "GoHo&me", "&QUIT"};
    if (bar == Bar::Command) {
        return commandCaptions[static_cast<std::size_t>(index)];
    }
    return "User &" + std::to_string(index + 1);
}

std::string CaptionWithoutAccessKey(const std::string& caption) {
    std::string read;
    read.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
        }
        read += caption[i];
    }
    return read;
}

ButtonBars::ButtonBars(ButtonBarView& view)
    : m_view(view) {
    for (int i = 0; i < kButtonsPerBar; ++i) {
        m_command[static_cast<std::size_t>(i)].caption = DefaultButtonCaption(Bar::Command, i);
        m_macro[static_cast<std::size_t>(i)].caption = DefaultButtonCaption(Bar::Macro, i);
    }
}

void ButtonBars::setEnabled(Bar bar, int index, bool enabled) {
    state(bar)[static_cast<std::size_t>(index)].enabled = enabled;
    m_view.setButtonEnabled(bar, index, enabled);
}

void ButtonBars::setCaption(Bar bar, int index, const std::string& caption) {
    state(bar)[static_cast<std::size_t>(index)].caption = caption;
    m_view.setButtonCaption(bar, index, caption);
}

} // namespace corvane
