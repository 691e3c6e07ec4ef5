#include "macros/user_macros_presenter.h"

#include "core/button_bars.h"
#include "core/session.h"
#include "core/text_codec.h"
#include "macros/macro_recorder.h"
#include "macros/text_editor.h"
#include "macros/user_macros.h"
#include "platform/choosers.h"
#include "settings/client_settings.h"

namespace corvane {

namespace {
const char* const kRecordCaption = "&Record Macro";
const char* const kStopCaption = "&Stop Recording";
using Control = UserMacrosView::Control;
} // namespace

UserMacrosPresenter::UserMacrosPresenter(UserMacrosView& view, UserMacros& macros, MacroRecorder& recorder,
                                         Session& session, const ClientSettings& settings, Choosers& choosers,
                                         TextEditor& editor, std::function<void()> closed)
    : m_view(view)
    , m_macros(macros)
    , m_recorder(recorder)
    , m_session(session)
    , m_settings(settings)
    , m_choosers(choosers)
    , m_editor(editor)
    , m_closed(std::move(closed)) {}

void UserMacrosPresenter::open() {
    setChangeNameEnabled(false);
    m_view.setControlEnabled(Control::Browse, true);
    m_macros.LoadMacros(false);
    m_names.clear();
    for (int i = 0; i < kMacroCount; ++i) {
        m_names.push_back(m_macros.caption(i));
    }
    std::vector<std::string> shown;
    for (const std::string& name : m_names) {
        shown.push_back(CaptionWithoutAccessKey(name));
    }
    m_view.setNames(shown);
    if (m_session.RecordingMacro >= 0) {
        m_view.setRecordCaption(kStopCaption);
        m_view.selectName(m_session.RecordingMacro);
        m_view.setControlEnabled(Control::Names, false);
        setFileControlsEnabled(false);
        m_current = m_session.RecordingMacro;
    } else {
        m_view.setRecordCaption(kRecordCaption);
        m_view.selectName(0);
        m_current = 0;
    }
    showFile(m_macros.file(m_current));
    m_view.setDefaultButton(Control::Ok);
    m_view.showWindow();
}

void UserMacrosPresenter::showFile(const std::string& path) {
    m_shownFile = path;
    m_view.setFileText(ToLowerAscii(path));
}

std::string UserMacrosPresenter::fileInBox() const {
    const std::string text = m_view.fileText();
    return text == ToLowerAscii(m_shownFile) ? m_shownFile : text;
}

std::string UserMacrosPresenter::defaultFile() const {
    return DefaultMacroFile(m_settings.ProgramDir, m_session.WorldIndex, m_current + 1);
}

void UserMacrosPresenter::setChangeNameEnabled(bool enabled) {
    m_changeNameEnabled = enabled;
    m_view.setControlEnabled(Control::ChangeName, enabled);
}

void UserMacrosPresenter::setFileControlsEnabled(bool enabled) {
    for (Control control : {Control::File, Control::Browse, Control::Edit}) {
        m_view.setControlEnabled(control, enabled);
    }
}

void UserMacrosPresenter::onNamePicked(int index) {
    if (index < 0 || index >= kMacroCount) {
        return;
    }
    if (!m_view.fileText().empty()) {
        m_macros.setFile(m_current, fileInBox());
    }
    m_current = index;
    showFile(m_macros.file(m_current));
    if (m_changeNameEnabled) {
        setChangeNameEnabled(false);
        m_view.setControlEnabled(Control::Edit, true);
        m_view.setControlEnabled(Control::Record, true);
        m_view.setDefaultButton(Control::Ok);
    }
}

void UserMacrosPresenter::onNameEdited() {
    if (!m_changeNameEnabled) {
        setChangeNameEnabled(true);
        m_view.setDefaultButton(Control::ChangeName);
        m_view.setControlEnabled(Control::Edit, false);
        m_view.setControlEnabled(Control::Record, false);
    }
}

void UserMacrosPresenter::onChangeName() {
    if (m_view.selectedName() >= 0 || m_current < 0) {
        return;
    }
    const std::string name = m_view.nameText();
    m_macros.setCaption(m_current, name);
    m_macros.saveName(m_current, name);
    m_names[static_cast<std::size_t>(m_current)] = name;
    m_view.replaceName(m_current, CaptionWithoutAccessKey(name));
    m_view.selectName(m_current);
    m_view.setRecordCaption(kRecordCaption);
    m_view.setControlEnabled(Control::Record, true);
    m_view.setControlEnabled(Control::Edit, true);
    setChangeNameEnabled(false);
    m_view.setDefaultButton(Control::Ok);
}

void UserMacrosPresenter::onBrowse() {
    FileChoice choice;
    choice.title = "Open Macro File";
    choice.startFolder = m_settings.ProgramDir;
    choice.filters = parseFileFilters("Macro files (*.cmd)|*.cmd|All files (*.*)|*.*");
    choice.proposedName = m_macros.file(m_current).empty() ? defaultFile() : m_macros.file(m_current);
    const std::optional<std::string> chosen = m_choosers.chooseFile(choice);
    if (!chosen) {
        return;
    }
    if (*chosen != m_macros.file(m_current)) {
        m_macros.setFile(m_current, *chosen);
        showFile(*chosen);
    }
    m_editor.open(*chosen);
}

void UserMacrosPresenter::onEditMacro() {
    std::string path = fileInBox();
    if (path.empty()) {
        // No file yet: start the one "&Browse" would propose, and keep it.
        path = defaultFile();
        showFile(path);
    }
    m_editor.open(path);
}

void UserMacrosPresenter::onRecordMacro() {
    if (m_session.RecordingMacro >= 0) {
        m_recorder.stopRecording();
        recordingStopped();
        return;
    }
    std::string path = fileInBox();
    if (path.empty()) {
        path = defaultFile();
    }
    if (!m_recorder.startRecording(m_current, path)) {
        return;
    }
    // Bound at once, so the recording plays from its button in later runs
    // even though the dialog closes now.
    m_macros.setFile(m_current, path);
    m_macros.saveName(m_current, m_names[static_cast<std::size_t>(m_current)]);
    close();
}

void UserMacrosPresenter::recordingStopped() {
    m_view.setRecordCaption(kRecordCaption);
    m_view.setControlEnabled(Control::Names, true);
    setFileControlsEnabled(true);
}

void UserMacrosPresenter::onOk() {
    if (!m_view.fileText().empty()) {
        m_macros.setFile(m_current, fileInBox());
    }
    m_macros.SaveMacros(m_names);
    close();
}

void UserMacrosPresenter::onCancel() {
    m_view.setControlEnabled(Control::Edit, true);
    m_view.setControlEnabled(Control::Record, true);
    setChangeNameEnabled(false);
    close();
}

void UserMacrosPresenter::close() {
    m_view.closeWindow();
    if (m_closed) {
        m_closed();
    }
}

} // namespace corvane
