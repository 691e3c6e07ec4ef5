#pragma once

#include "settings/trigger_set.h"
#include "settings/watch_for_view.h"

#include <functional>
#include <string>
#include <vector>

namespace corvane {

struct Session;
class Prompts;
class Choosers;

// Rules of the "WatchFor" page: a world's five triggers shown as rows to
// edit, the question before another world's rows replace changed ones, and
// saving the rows (written, or only put in force for the connected world).
class WatchForPage : public WatchForEvents {
public:
    struct Hooks {
        // The input box's font: triggers without a font of their own take it.
        std::function<FontDefaults()> inputFont;
        // The connected world's rows are now the triggers in force.
        std::function<void()> triggersApplied;
    };

    WatchForPage(WatchForView& view, TriggerSet& triggers, Session& session, Prompts& prompts,
                 Choosers& choosers, std::string settingsPath, Hooks hooks);

    // Fills the world list from the address book and shows the triggers of
    // the world at addressBookIndex (the first when it is out of the list).
    void load(int addressBookIndex);
    // Edits count as changes only once the dialog has finished loading.
    void setReady(bool ready) { m_ready = ready; }
    bool changed() const { return m_changed; }
    void clearChanged() { m_changed = false; }
    const std::string& world() const { return m_world; }

    // Writes the rows for the page's world when write is set; in either case
    // the connected world's rows take effect at once.
    void SaveTriggers(bool write);

    void onWorldChosen(int index) override;
    void onTriggerTextEntered(int row) override;
    void onTriggerTextLeft(int row) override;
    void onRowEdited(int row) override;
    void onTriggerFont(int row) override;
    void onBrowseSound(int row) override;

private:
    void showWorld(int index);
    void showLook(int row);

    WatchForView& m_view;
    TriggerSet& m_triggers;
    Session& m_session;
    Prompts& m_prompts;
    Choosers& m_choosers;
    std::string m_settingsPath;
    Hooks m_hooks;
    std::vector<std::string> m_worlds;
    std::string m_world;
    bool m_changed = false;
    bool m_ready = false;
};

} // namespace corvane
