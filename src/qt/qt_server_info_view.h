#pragma once

#include "shell/server_info_view.h"

#include <QDialog>

class QFormLayout;
class QLabel;
class QTreeWidget;

namespace corvane {

// The Server Info window, modeless: the main facts as labelled lines, the
// rest in a list of two columns, when they were received, and Close.
class QtServerInfoView : public QDialog, public ServerInfoView {
    Q_OBJECT
public:
    explicit QtServerInfoView(QWidget* parent);

    void setTitle(const std::string& title) override;
    void setSummary(const std::vector<Row>& rows) override;
    void setTable(const std::vector<Row>& rows) override;
    void setNote(const std::string& note) override;
    void showWindow() override;
    void closeWindow() override { hide(); }

private:
    QFormLayout* m_summary = nullptr;
    QTreeWidget* m_table = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace corvane
