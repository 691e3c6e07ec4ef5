#pragma once

#include "macros/user_macros_view.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvane {

// The "User Macros" dialog (Form6), modeless: names, file and the buttons
// that browse for, edit and record a macro.
class QtUserMacrosView : public QDialog, public UserMacrosView {
    Q_OBJECT
public:
    explicit QtUserMacrosView(QWidget* parent);

    void setEvents(UserMacrosEvents* events) override { m_events = events; }
    void setNames(const std::vector<std::string>& names) override;
    void selectName(int index) override;
    int selectedName() const override;
    std::string nameText() const override;
    void replaceName(int index, const std::string& name) override;
    void setFileText(const std::string& text) override;
    std::string fileText() const override;
    void setRecordCaption(const std::string& caption) override;
    void setControlEnabled(Control control, bool enabled) override;
    void setDefaultButton(Control control) override;
    void showWindow() override;
    void closeWindow() override;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    template <typename Handler> void notify(Handler handler);
    QWidget* control(Control which) const;

    UserMacrosEvents* m_events = nullptr;
    QComboBox* m_names = nullptr;
    QLineEdit* m_file = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_record = nullptr;
    QPushButton* m_changeName = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_closing = false;
};

} // namespace corvane
