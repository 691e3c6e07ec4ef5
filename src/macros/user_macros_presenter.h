#pragma once

#include "macros/user_macros_view.h"

#include <functional>
#include <string>
#include <vector>

namespace corvane {

struct Session;
struct ClientSettings;
class UserMacros;
class MacroRecorder;
class Choosers;
class TextEditor;

// The rules of the "User Macros" dialog: naming the nine macros, choosing
// their files, opening them in the editor, starting and stopping a recording.
class UserMacrosPresenter : public UserMacrosEvents {
public:
    UserMacrosPresenter(UserMacrosView& view, UserMacros& macros, MacroRecorder& recorder, Session& session,
                        const ClientSettings& settings, Choosers& choosers, TextEditor& editor,
                        std::function<void()> closed);

    // Fills the dialog from the settings file and shows it.
    void open();
    // The recording ended without the dialog (write failure, end of session).
    void recordingStopped();

    void onNamePicked(int index) override;
    void onNameEdited() override;
    void onBrowse() override;
    void onEditMacro() override;
    void onRecordMacro() override;
    void onChangeName() override;
    void onOk() override;
    void onCancel() override;

private:
    // The box shows the path in lower case; on a system whose file names
    // keep their case, the real path is kept while the user leaves it alone.
    void showFile(const std::string& path);
    std::string fileInBox() const;
    std::string defaultFile() const;
    void setChangeNameEnabled(bool enabled);
    void setFileControlsEnabled(bool enabled);
    void close();

    UserMacrosView& m_view;
    UserMacros& m_macros;
    MacroRecorder& m_recorder;
    Session& m_session;
    const ClientSettings& m_settings;
    Choosers& m_choosers;
    TextEditor& m_editor;
    std::function<void()> m_closed;
    std::vector<std::string> m_names;
    int m_current = 0;
    std::string m_shownFile;
    bool m_changeNameEnabled = false;
};

} // namespace corvane
