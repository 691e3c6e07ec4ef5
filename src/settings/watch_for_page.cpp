#include "settings/watch_for_page.h"

#include "core/session.h"
#include "platform/choosers.h"
#include "platform/prompts.h"
#include "settings/settings.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr int kRows = static_cast<int>(kTriggerCount);

std::size_t slot(int row) {
    return static_cast<std::size_t>(row);
}

bool validRow(int row) {
    return row >= 0 && row < kRows;
}

} // namespace

WatchForPage::WatchForPage(WatchForView& view, TriggerSet& triggers, Session& session, Prompts& prompts,
                           Choosers& choosers, std::string settingsPath, Hooks hooks)
    : m_view(view)
    , m_triggers(triggers)
    , m_session(session)
    , m_prompts(prompts)
    , m_choosers(choosers)
    , m_settingsPath(std::move(settingsPath))
    , m_hooks(std::move(hooks)) {}

void WatchForPage::load(int addressBookIndex) {
    m_worlds.clear();
    for (int number = 1;; ++number) {
        const std::string value = ReadSetting("Addresses", "MUD " + std::to_string(number), m_settingsPath);
        if (value.empty()) {
            break;
        }
        if (std::count(value.begin(), value.end(), ',') >= 2) {
            m_worlds.push_back(value.substr(0, value.find(',')));
        }
    }
    m_view.setWorldNames(m_worlds);
    const int count = static_cast<int>(m_worlds.size());
    const int index = addressBookIndex >= 0 && addressBookIndex < count ? addressBookIndex : 0;
    if (count == 0) {
        // No world to keep triggers for: every row stays off.
        for (int row = 0; row < kRows; ++row) {
            m_view.setPopUpEnabled(row, false);
            m_view.setSoundEnabled(row, false);
        }
        return;
    }
    m_view.selectWorld(index);
    showWorld(index);
}

void WatchForPage::onWorldChosen(int index) {
    if (index < 0 || index >= static_cast<int>(m_worlds.size())) {
        return;
    }
    if (m_changed) {
        const PromptAnswer answer =
            m_prompts.ask("Your Triggers have changed.\r\rSave these changes?", "Update Triggers",
                          PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::Yes);
        if (answer == PromptAnswer::Yes) {
            SaveTriggers(true);
        }
    }
    showWorld(index);
}

void WatchForPage::showWorld(int index) {
    m_world = m_worlds[static_cast<std::size_t>(index)];
    m_triggers.LoadTriggers(m_world, m_settingsPath,
                            m_hooks.inputFont ? m_hooks.inputFont() : FontDefaults{});
    for (int row = 0; row < kRows; ++row) {
        const TriggerDef& trigger = m_triggers.WorldTriggers[slot(row)];
        m_view.setPopUp(row, false);
        m_view.setPopUpEnabled(row, false);
        m_view.setSoundFile(row, trigger.soundFile);
        m_view.setTriggerText(row, trigger.text);
        if (trigger.text.empty()) {
            m_view.setSoundEnabled(row, false);
        } else {
            m_view.setPopUpEnabled(row, true);
            m_view.setPopUp(row, trigger.popUp);
            m_view.setSoundEnabled(row, true);
        }
        showLook(row);
    }
    m_changed = false;
}

void WatchForPage::showLook(int row) {
    const TriggerDef& trigger = m_triggers.WorldTriggers[slot(row)];
    m_view.setTriggerLook(row, trigger.fontName, trigger.bold, trigger.italic, trigger.colour);
}

void WatchForPage::onTriggerTextEntered(int row) {
    if (!validRow(row)) {
        return;
    }
    m_view.setPopUpEnabled(row, true);
    m_view.setSoundEnabled(row, true);
}

void WatchForPage::onTriggerTextLeft(int row) {
    if (!validRow(row) || !m_view.triggerText(row).empty()) {
        return;
    }
    m_view.setPopUpEnabled(row, false);
    m_view.setSoundEnabled(row, false);
}

void WatchForPage::onRowEdited(int /*row*/) {
    if (m_ready) {
        m_changed = true;
    }
}

void WatchForPage::onTriggerFont(int row) {
    if (!validRow(row) || m_world.empty()) {
        return;
    }
    TriggerDef& trigger = m_triggers.WorldTriggers[slot(row)];
    FontChoice preset{trigger.fontName,
                      trigger.fontSize,
                      trigger.bold,
                      trigger.italic,
                      static_cast<std::uint32_t>(trigger.colour) & 0xFFFFFFu,
                      true};
    const std::optional<FontChoice> chosen = m_choosers.chooseFont(preset);
    if (!chosen) {
        return;
    }
    trigger.fontName = chosen->name;
    trigger.fontSize = static_cast<float>(std::clamp(chosen->size, 1.0, 256.0));
    trigger.bold = chosen->bold;
    trigger.italic = chosen->italic;
    trigger.colour = static_cast<std::int32_t>(chosen->colour & 0xFFFFFFu);
    showLook(row);
    m_changed = true;
}

void WatchForPage::onBrowseSound(int row) {
    if (!validRow(row)) {
        return;
    }
    FileChoice choice;
    choice.title = "Select WAV File";
    choice.filters = parseFileFilters("WAV files (*.wav)|*.wav|All files (*.*)|*.*");
    choice.mustExist = true;
    const std::optional<std::string> chosen = m_choosers.chooseFile(choice);
    if (!chosen) {
        return;
    }
    m_view.setSoundFile(row, *chosen);
    // A chosen file is an edit like a typed one.
    onRowEdited(row);
}

void WatchForPage::SaveTriggers(bool write) {
    std::array<TriggerRow, kTriggerCount> rows;
    for (int row = 0; row < kRows; ++row) {
        rows[slot(row)] = TriggerRow{m_view.triggerText(row), m_view.soundFile(row), m_view.popUp(row)};
    }
    m_triggers.SaveTriggers(write, m_world, rows, m_session.WorldName, m_settingsPath);
    if (!m_world.empty() && m_world == m_session.WorldName && m_hooks.triggersApplied) {
        m_hooks.triggersApplied();
    }
}

} // namespace corvane
