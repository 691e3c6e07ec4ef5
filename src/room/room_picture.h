#pragma once

#include "room/picture_finder.h"
#include "room/picture_view.h"

#include <functional>
#include <memory>
#include <string>

namespace corvane {

struct Session;
struct ClientSettings;
class MainMenu;
class PictureReader;
class ViewFactory;

// The picture of the current room: loaded on View > "&Picture", and on every
// room marker while the automatic picture setting is on.
class RoomPicture : public PictureEvents {
public:
    struct Hooks {
        std::function<void(const std::string& title, const std::string& text)> showNotice;
        std::function<void()> focusInput;
    };

    RoomPicture(Session& session, const ClientSettings& settings, MainMenu& menu, PictureReader& reader,
                ViewFactory& views);
    ~RoomPicture() override;
    RoomPicture(const RoomPicture&) = delete;
    RoomPicture& operator=(const RoomPicture&) = delete;

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // Loads the current room's picture into the window (made if needed, not
    // shown unless automatic loading is on); false when there is none.
    bool LoadRoomPicture();
    // A room marker has been read.
    void roomChanged();
    // View > "&Picture".
    void ViewPicture();
    // Shut-down.
    void close();

    void onOk() override;
    void onClosed() override;

    // The text View > "&Picture" shows when the room has no picture.
    static std::string MissingPictureText(const std::string& roomName, std::int32_t roomRef,
                                          const std::string& pictureDir);

private:
    PictureView& view();
    void windowClosed();

    Session& m_session;
    const ClientSettings& m_settings;
    MainMenu& m_menu;
    PictureReader& m_reader;
    ViewFactory& m_views;
    Hooks m_hooks;
    PictureFinder m_finder;
    std::unique_ptr<PictureView> m_view;
};

} // namespace corvane
