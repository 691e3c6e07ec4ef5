#pragma once

#include <QObject>
#include <functional>

namespace corvane {

class MainWindowEvents;

// The speech keys wherever the keyboard is in Corvane's windows, before the
// focused control takes them (a line edit would take Ctrl+Shift+Home for
// selecting), and whether Corvane is the program in front.
class QtSpeechKeys : public QObject {
    Q_OBJECT
public:
    QtSpeechKeys(QObject* parent, std::function<MainWindowEvents*()> events);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<MainWindowEvents*()> m_events;
};

} // namespace corvane
