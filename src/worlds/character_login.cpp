#include "worlds/character_login.h"

#include "core/session.h"
#include "platform/prompts.h"
#include "platform/sound.h"
#include "platform/view_factory.h"
#include "worlds/character_presenter.h"
#include "worlds/character_view.h"

namespace corvane {

CharacterLogin::CharacterLogin(Session& session, CommandSender& sender, Prompts& prompts, Sound& sound,
                               ViewFactory& views, std::string settingsPath)
    : m_session(session)
    , m_sender(sender)
    , m_prompts(prompts)
    , m_sound(sound)
    , m_views(views)
    , m_settingsPath(std::move(settingsPath)) {}

bool CharacterLogin::GameConnect() {
    if (m_session.WorldName.empty()) {
        m_sound.beep();
        m_prompts.message("You cannot connect to a character because\ryou aren't connected to a MUD/MUCK.",
                          "ERROR", PromptIcon::Exclamation);
        return false;
    }
    auto view = m_views.createCharacterView();
    CharacterPresenter presenter(*view, m_session, m_sender, m_prompts, m_settingsPath);
    view->setEvents(&presenter);
    presenter.load();
    view->runModal();
    view->setEvents(nullptr);
    return !m_session.CharacterName.empty();
}

} // namespace corvane
