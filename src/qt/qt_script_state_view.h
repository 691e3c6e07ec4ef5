#pragma once

#include "script/script_state_view.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace corvane {

// The Variables or Timers window, modeless: a list of two columns, the
// name and value fields (Variables only), and its buttons.
class QtScriptStateView : public QDialog, public ScriptStateView {
    Q_OBJECT
public:
    explicit QtScriptStateView(QWidget* parent);

    void setEvents(ScriptStateEvents* events) override { m_events = events; }
    void setKind(Kind kind) override;
    void setRows(const std::vector<Row>& rows) override;
    void selectRow(int row) override;
    int selectedRow() const override;
    void setName(const std::string& name) override;
    std::string name() const override;
    void setValue(const std::string& value) override;
    std::string value() const override;
    void setMessage(const std::string& message) override;
    void setEditEnabled(bool enabled) override;
    void showWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ScriptStateEvents* m_events = nullptr;
    bool m_updating = false;
    Kind m_kind = Kind::Variables;
    QTreeWidget* m_list = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLineEdit* m_name = nullptr;
    QLabel* m_valueLabel = nullptr;
    QLineEdit* m_value = nullptr;
    QPushButton* m_set = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_refresh = nullptr;
    QLabel* m_message = nullptr;
};

} // namespace corvane
