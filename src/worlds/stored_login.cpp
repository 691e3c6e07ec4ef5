#include "worlds/stored_login.h"

#include "core/session.h"
#include "worlds/address_book_presenter.h"
#include "worlds/character_presenter.h"
#include "worlds/headless_address_book_view.h"
#include "worlds/headless_character_view.h"

#include <algorithm>

namespace corvane {

namespace {

int indexOf(const std::vector<std::string>& names, const std::string& name) {
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

} // namespace

std::optional<std::string> ConnectStoredWorld(const std::string& worldName, Session& session,
                                              Connection& connection, Prompts& prompts,
                                              MainWindowView& window, const std::string& settingsPath,
                                              bool* attempted) {
    HeadlessAddressBookView view;
    AddressBookPresenter presenter(view, session, connection, prompts, window, settingsPath, std::string());
    view.setEvents(&presenter);
    presenter.load();
    const int index = indexOf(view.worldNames(), worldName);
    if (index < 0) {
        return "There is no MUD/MUCK named \"" + worldName + "\" in the address book.";
    }
    presenter.onWorldPicked(index);
    if (attempted != nullptr) {
        *attempted = true;
    }
    presenter.onOk();
    if (!session.Connected) {
        return "Could not connect to \"" + worldName + "\".";
    }
    return std::nullopt;
}

std::optional<std::string> LoginStoredCharacter(const std::string& characterName, Session& session,
                                                CommandSender& sender, Prompts& prompts,
                                                const std::string& settingsPath) {
    if (session.WorldName.empty()) {
        return "Not connected to a MUD/MUCK.";
    }
    HeadlessCharacterView view;
    CharacterPresenter presenter(view, session, sender, prompts, settingsPath);
    view.setEvents(&presenter);
    presenter.load();
    const std::vector<std::string>& names = view.characterNames();
    if (names.empty()) {
        return "No characters are stored for \"" + session.WorldName + "\".";
    }
    const int index = characterName.empty() ? 0 : indexOf(names, characterName);
    if (index < 0) {
        return "There is no character named \"" + characterName + "\" for \"" + session.WorldName + "\".";
    }
    presenter.onCharacterPicked(index);
    presenter.onOk();
    if (session.CharacterName.empty()) {
        return "Could not log in as \"" + names[static_cast<std::size_t>(index)] + "\".";
    }
    return std::nullopt;
}

} // namespace corvane
