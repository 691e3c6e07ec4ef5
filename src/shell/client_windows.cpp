// The windows the client opens when asked: notices, preferences, the
// session history and the user macros, each made when first wanted.
#include "shell/client.h"

#include "core/input_view.h"
#include "core/main_window_view.h"
#include "core/output_view.h"
#include "macros/user_macros_presenter.h"
#include "macros/user_macros_view.h"
#include "platform/view_factory.h"
#include "shell/notice_view.h"
#include "shell/preferences_presenter.h"
#include "shell/preferences_view.h"
#include "shell/session_history_presenter.h"

namespace corvane {

NoticeWindow& Client::notice() {
    if (!m_notice) {
        m_noticeView = m_platform.views.createNoticeView();
        m_notice = std::make_unique<NoticeWindow>(*m_noticeView, m_views.window, m_views.input,
                                                  m_platform.sound, [this] { m_views.input.focusInput(); });
    }
    return *m_notice;
}

std::function<void(const std::string&, const std::string&)> Client::noticeHook() {
    return [this](const std::string& title, const std::string& text) {
        notice().ShowNotice(title, text, false);
        notice().show();
    };
}

std::function<void(const std::string&, const std::string&)> Client::infoNoticeHook() {
    return [this](const std::string& title, const std::string& text) {
        if (!m_habits.quietNotice(text)) {
            noticeHook()(title, text);
        }
    };
}

void Client::openPreferences() {
    // An open dialog comes to the front with the user's edits in it.
    if (m_preferencesView && m_preferencesOpen) {
        m_preferencesView->showDialog();
        return;
    }
    m_preferences.reset();
    m_preferencesView.reset();
    m_preferencesView = m_platform.views.createPreferencesView();
    m_preferences = std::make_unique<PreferencesPresenter>(
        *m_preferencesView, m_settings, m_session, m_triggers, m_views.display, m_layout, m_views.window,
        PreferencesPresenter::Services{m_platform.prompts, m_platform.sound, m_platform.choosers, m_spelling,
                                       m_speech.get()},
        m_options.currentDirectory,
        PreferencesPresenter::Hooks{[this](const std::string& text) {
                                        if (!m_habits.quietNotice(text)) {
                                            ShowOutput(text);
                                        }
                                    },
                                    [this] { m_outputWindow.updateGeometry(m_layout.OutputWidth()); },
                                    [this] { m_processor.triggersChanged(); },
                                    [this] { closePreferences(); },
                                    [this] { return m_session.WorldIndex >= 0 ? m_session.WorldIndex : m_addressBookWorld; }});
    m_preferencesOpen = true;
    m_preferences->load();
}

void Client::openSessionHistory() {
    if (!m_historyWindow) {
        m_historyView = m_platform.views.createSessionHistoryView();
        m_historyWindow = std::make_unique<SessionHistoryPresenter>(
            m_history, *m_historyView, m_platform.clipboard, [this] { m_views.input.focusInput(); });
    }
    m_historyWindow->open();
}

void Client::applyScrollback() {
    m_views.output.setScrollback(m_settings.Play[PlayOption::ScrollbackPane] ? &m_history : nullptr);
}

void Client::closePreferences() {
    m_preferencesOpen = false;
    applyScrollback();
    m_views.input.focusInput();
    // The dialog's own handler is still running: let go of it afterwards,
    // unless a newer one has taken its place by then.
    PreferencesView* closed = m_preferencesView.get();
    m_platform.timers.post([this, closed] {
        if (m_preferencesView.get() == closed) {
            m_preferences.reset();
            m_preferencesView.reset();
        }
    });
}

void Client::openUserMacros() {
    if (!m_userMacrosOpen) {
        // The dialog is loaded for one use: the last one goes now.
        m_userMacros.reset();
        m_userMacrosView = m_platform.views.createUserMacrosView();
        m_userMacros =
            std::make_unique<UserMacrosPresenter>(*m_userMacrosView, m_macros, m_recorder, m_session,
                                                  m_settings, m_platform.choosers, m_textEditor, [this] {
                                                      m_userMacrosOpen = false;
                                                      m_views.input.focusInput();
                                                  });
        m_userMacrosView->setEvents(m_userMacros.get());
        m_userMacrosOpen = true;
        m_userMacros->open();
    } else {
        m_userMacrosView->showWindow();
    }
}

void Client::closeUserMacros() {
    // Only hidden: a question box of the dialog may still be on the stack.
    if (m_userMacrosOpen) {
        m_userMacrosView->closeWindow();
        m_userMacrosOpen = false;
    }
}

} // namespace corvane
