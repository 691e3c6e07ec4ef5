#pragma once

#include "rules/rules_view.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace corvane {

// The "Triggers and Aliases" window, modeless: the rules list with its world
// filter and buttons on the left, the selected rule's fields on the right,
// the Test box below.
class QtRulesView : public QDialog, public RulesView {
    Q_OBJECT
public:
    explicit QtRulesView(QWidget* parent);

    void setEvents(RulesEvents* events) override { m_events = events; }
    void setFilterCaption(const std::string& thisWorld) override;
    void setRows(const std::vector<RuleRow>& rows) override;
    void selectRow(int row) override;
    std::vector<int> selectedRows() const override;
    void setVoices(const std::vector<VoiceChoice>& voices) override;
    void setFields(const RuleFields& fields) override;
    RuleFields fields() const override;
    void setFieldsEnabled(bool enabled) override;
    void setPatternError(const std::string& error) override;
    void setScriptError(const std::string& error) override;
    void setButtonEnabled(Button button, bool enabled) override;
    std::string testText() const override;
    void setTestResult(const std::string& result) override;
    void showWindow() override;

protected:
    // Close, Escape and the title bar's button all end here (QDialog's
    // close event rejects, which hides the window).
    void closeEvent(QCloseEvent* event) override;

private:
    void enableForKind(int kind);
    template <typename Handler> void notify(Handler handler);
    void edited();

    RulesEvents* m_events = nullptr;
    // Set while the rules fill the widgets, so that is not taken for an edit.
    bool m_updating = false;
    QComboBox* m_filter = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_duplicate = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QWidget* m_fields = nullptr;
    QComboBox* m_kind = nullptr;
    QLineEdit* m_world = nullptr;
    QLineEdit* m_name = nullptr;
    QCheckBox* m_enabled = nullptr;
    QLineEdit* m_pattern = nullptr;
    QLabel* m_error = nullptr;
    QPlainTextEdit* m_script = nullptr;
    QLabel* m_scriptError = nullptr;
    QComboBox* m_mode = nullptr;
    QCheckBox* m_case = nullptr;
    QCheckBox* m_stop = nullptr;
    QPlainTextEdit* m_send = nullptr;
    QComboBox* m_colour = nullptr;
    QLineEdit* m_foreground = nullptr;
    QLineEdit* m_background = nullptr;
    QCheckBox* m_bold = nullptr;
    QCheckBox* m_gag = nullptr;
    QLineEdit* m_sound = nullptr;
    QCheckBox* m_notify = nullptr;
    QLineEdit* m_status = nullptr;
    QComboBox* m_speech = nullptr;
    QComboBox* m_voice = nullptr;
    QLineEdit* m_test = nullptr;
    QPlainTextEdit* m_result = nullptr;
};

} // namespace corvane
