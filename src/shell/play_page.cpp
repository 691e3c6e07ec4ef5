#include "shell/play_page.h"

#include "shell/play_page_view.h"

namespace corvane {

PlayPage::PlayPage(PlayPageView& view, PlayOptions& options)
    : m_view(view)
    , m_options(options) {}

void PlayPage::load() {
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        const auto option = static_cast<PlayOption>(i);
        m_view.setOptionCaption(option, std::string(PlayOptionCaption(option)));
        m_view.setOptionChecked(option, m_options[option]);
    }
}

void PlayPage::apply() {
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        const auto option = static_cast<PlayOption>(i);
        m_options.set(option, m_view.isOptionChecked(option));
    }
}

void PlayPage::write(const std::string& settingsPath) const {
    WritePlayOptions(m_options, settingsPath);
}

} // namespace corvane
