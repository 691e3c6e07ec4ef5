#include "shell/play_page.h"

#include "platform/spelling.h"
#include "shell/play_page_view.h"
#include "shell/spell_choice.h"

#include <algorithm>

namespace corvane {

PlayPage::PlayPage(PlayPageView& view, PlayOptions& options, Spelling* spelling)
    : m_view(view)
    , m_options(options)
    , m_spelling(spelling) {}

void PlayPage::load() {
    m_written = m_options;
    setSentColour(m_options.sentColour);
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        const auto option = static_cast<PlayOption>(i);
        m_view.setOptionCaption(option, std::string(PlayOptionCaption(option)));
        m_view.setOptionChecked(option, m_options[option]);
    }
    m_view.setCommandPrefixChoice(m_options.commandPrefix == "/" ? 1 : m_options.commandPrefix == "#" ? 2 : 0);
    m_dictionaries = m_spelling != nullptr ? m_spelling->installedDictionaries() : std::vector<std::string>();
    m_shownDictionary = m_spelling != nullptr ? ChosenDictionary(m_options.spellCheck, m_dictionaries,
                                                                 m_spelling->systemLanguage())
                                              : std::string();
    std::vector<std::string> choices{"Off"};
    choices.insert(choices.end(), m_dictionaries.begin(), m_dictionaries.end());
    const auto shown = std::find(m_dictionaries.begin(), m_dictionaries.end(), m_shownDictionary);
    m_view.setSpellChoices(choices, shown == m_dictionaries.end()
                                        ? 0
                                        : static_cast<int>(shown - m_dictionaries.begin()) + 1);
    m_view.setSpellUnavailable(m_dictionaries.empty() ? kNoDictionaryInstalled : "");
}

void PlayPage::setSentColour(std::int32_t colour) {
    m_sentColour = colour;
    m_view.setSentColour(colour);
}

std::string PlayPage::apply() {
    for (std::size_t i = 0; i < kPlayOptionCount; ++i) {
        const auto option = static_cast<PlayOption>(i);
        m_options.set(option, m_view.isOptionChecked(option));
    }
    m_options.sentColour = m_sentColour;
    static const std::string prefixes[] = {"", "/", "#"};
    const int prefix = m_view.commandPrefixChoice();
    m_options.commandPrefix = prefixes[prefix >= 0 && prefix <= 2 ? prefix : 0];
    if (m_spelling == nullptr || m_dictionaries.empty()) {
        return {};
    }
    const int choice = m_view.spellChoice();
    const std::string chosen = choice >= 1 && static_cast<std::size_t>(choice) <= m_dictionaries.size()
                                   ? m_dictionaries[static_cast<std::size_t>(choice - 1)]
                                   : std::string();
    // Left as it was shown, a setting never made stays unmade, so it keeps
    // following the system's language.
    if (chosen != m_shownDictionary) {
        m_options.spellCheck = chosen.empty() ? "Off" : chosen;
        m_shownDictionary = chosen;
    }
    return ApplySpellChoice(m_options, *m_spelling);
}

void PlayPage::write(const std::string& settingsPath) {
    WritePlayOptions(m_options, settingsPath, &m_written);
    m_written = m_options;
}

} // namespace corvane
