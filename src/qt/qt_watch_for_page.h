#pragma once

#include "settings/watch_for_view.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

// The "WatchFor" page of the preferences dialog: the world list and five
// trigger rows, in the frame "WatchFor Options".
class QtWatchForPage : public QWidget, public WatchForView {
    Q_OBJECT
public:
    explicit QtWatchForPage(QWidget* parent);

    void setWatchForEvents(WatchForEvents* events) override { m_events = events; }
    void setWorldNames(const std::vector<std::string>& names) override;
    void selectWorld(int index) override;
    std::string triggerText(int row) const override;
    void setTriggerText(int row, const std::string& text) override;
    std::string soundFile(int row) const override;
    void setSoundFile(int row, const std::string& path) override;
    bool popUp(int row) const override;
    void setPopUp(int row, bool checked) override;
    void setPopUpEnabled(int row, bool enabled) override;
    void setSoundEnabled(int row, bool enabled) override;
    void setTriggerLook(int row, const std::string& fontName, bool bold, bool italic,
                        std::int32_t colour) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QLabel* label = nullptr;
        QLineEdit* text = nullptr;
        QCheckBox* popUp = nullptr;
        QPushButton* font = nullptr;
        QLabel* wavLabel = nullptr;
        QLineEdit* soundFile = nullptr;
        QPushButton* browse = nullptr;
    };
    template <typename Handler> void notify(Handler handler);
    const Row& at(int row) const { return m_rows[static_cast<std::size_t>(row)]; }

    WatchForEvents* m_events = nullptr;
    QComboBox* m_worlds = nullptr;
    std::array<Row, 5> m_rows;
};

} // namespace corvane
