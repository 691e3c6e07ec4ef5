#pragma once

#include "conversations/conversation_routes_view.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace corvane {

// Edit > "Conversation Routes", modeless: the routes on the left, the
// selected one's fields on the right, Save and Close below.
class QtConversationRoutesView : public QDialog, public ConversationRoutesView {
    Q_OBJECT
public:
    explicit QtConversationRoutesView(QWidget* parent);

    void setEvents(ConversationRoutesEvents* events) override { m_events = events; }
    void setRows(const std::vector<std::string>& rows) override;
    void selectRow(int row) override;
    void setFields(const ConversationRouteFields& fields) override;
    ConversationRouteFields fields() const override;
    void setError(const std::string& error) override;
    void setButtonEnabled(Button button, bool enabled) override;
    void showWindow() override;

    // Escape and Close: the presenter may ask about unsaved edits first.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    template <typename Handler> void notify(Handler handler);
    void edited();

    ConversationRoutesEvents* m_events = nullptr;
    // Set while the presenter fills the widgets, so that is not taken for an edit.
    bool m_updating = false;
    ConversationRouteFields::Kind m_kind = ConversationRouteFields::Kind::BuiltIn;
    QListWidget* m_list = nullptr;
    QPushButton* m_addPuppet = nullptr;
    QPushButton* m_addRoute = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QPushButton* m_save = nullptr;
    QLabel* m_example = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_linePrefix = nullptr;
    QLineEdit* m_sendPrefix = nullptr;
    QComboBox* m_routeKind = nullptr;
    QComboBox* m_mode = nullptr;
    QLineEdit* m_pattern = nullptr;
    QComboBox* m_lines = nullptr;
    QCheckBox* m_opens = nullptr;
    QLabel* m_error = nullptr;
};

} // namespace corvane
