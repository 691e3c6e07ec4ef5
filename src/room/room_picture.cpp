#include "room/room_picture.h"

#include "core/constants.h"
#include "core/main_menu.h"
#include "core/session.h"
#include "core/text_codec.h"
#include "platform/picture_reader.h"
#include "settings/client_settings.h"
#include "platform/view_factory.h"

namespace corvane {

RoomPicture::RoomPicture(Session& session, const ClientSettings& settings, MainMenu& menu,
                         PictureReader& reader, ViewFactory& views)
    : m_session(session)
    , m_settings(settings)
    , m_menu(menu)
    , m_reader(reader)
    , m_views(views) {}

RoomPicture::~RoomPicture() {
    if (m_view) {
        m_view->setEvents(nullptr);
    }
}

PictureView& RoomPicture::view() {
    if (!m_view) {
        m_view = m_views.createPictureView();
        m_view->setEvents(this);
    }
    return *m_view;
}

bool RoomPicture::LoadRoomPicture() {
    const std::string path = m_finder.find(m_settings.PictureDir, m_session.RoomRef);
    std::unique_ptr<Picture> picture = path.empty() ? nullptr : m_reader.read(path);
    if (!picture) {
        // Nothing to empty while the window was never made.
        if (m_view) {
            m_view->setRoomName({});
            m_view->setPicture(nullptr);
        }
        return false;
    }
    PictureView& window = view();
    window.setPicture(std::move(picture));
    window.setRoomName(m_session.RoomName);
    if (m_settings.AutoPictureLoad) {
        window.showWindow();
        m_menu.setChecked(MenuItem::ViewPicture, true);
    }
    return true;
}

void RoomPicture::roomChanged() {
    if (m_settings.AutoPictureLoad) {
        LoadRoomPicture();
    }
}

void RoomPicture::ViewPicture() {
    if (m_menu.checked(MenuItem::ViewPicture)) {
        windowClosed();
        return;
    }
    if (LoadRoomPicture()) {
        if (!m_settings.AutoPictureLoad) {
            view().showWindow();
        }
        m_menu.setChecked(MenuItem::ViewPicture, true);
        return;
    }
    if (m_hooks.showNotice) {
        m_hooks.showNotice("Corvane ver. " + std::string(VersionText),
                           MissingPictureText(m_session.RoomName, m_session.RoomRef, m_settings.PictureDir));
    }
}

std::string RoomPicture::MissingPictureText(const std::string& roomName, std::int32_t roomRef,
                                            const std::string& pictureDir) {
    if (roomName.empty()) {
        return "You don't have a picture for this room.\n";
    }
    const std::string number = std::to_string(roomRef);
    return "You don't have a picture for \n" + roomName + " (DB Ref #" + number +
           ").\n\nTo add a picture, create a bitmap file named:\n" + pictureDir + number +
           ".BMP";
}

void RoomPicture::close() {
    if (m_view) {
        m_view->hideWindow();
    }
    m_menu.setChecked(MenuItem::ViewPicture, false);
}

void RoomPicture::windowClosed() {
    close();
    if (m_hooks.focusInput) {
        m_hooks.focusInput();
    }
}

void RoomPicture::onOk() {
    windowClosed();
}

void RoomPicture::onClosed() {
    windowClosed();
}

} // namespace corvane
