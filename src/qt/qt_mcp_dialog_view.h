#pragma once

#include "qt/qt_presenter_close.h"

#include "mcp/mcp_dialog_view.h"

#include <QWidget>
#include <map>

class QBoxLayout;

namespace corvane {

// A world's MCP-GUI dialog: its controls stacked in the order they came,
// each frame a row of its own controls. A plain window: Escape cancels nothing.
class QtMcpDialogView : public QWidget, public McpDialogView {
    Q_OBJECT
public:
    explicit QtMcpDialogView(QWidget* mainWindow);

    void setEvents(McpDialogEvents* events) override { m_events = events; }
    void setTitle(const std::string& title) override;
    void addControl(Control kind, const std::string& id, const std::string& pane, const std::string& text,
                    const std::string& value) override;
    void setValue(const std::string& id, const std::string& value) override;
    std::string value(const std::string& id) const override;
    void showWindow() override;
    void closeWindow() override;

    QWidget* control(const std::string& id) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    McpDialogEvents* m_events = nullptr;
    QBoxLayout* m_layout;
    std::map<std::string, QWidget*> m_controls;
    std::map<std::string, QBoxLayout*> m_frames;
    QtPresenterClose m_presenterClose;
};

} // namespace corvane
