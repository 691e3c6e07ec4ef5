#pragma once

#include <QWidget>
#include <functional>

namespace corvane {

// A small window that can stay above all others (the direction pad, the random
// walk). It reports minimising and its own close control; whether it stays on
// top is decided by the rules.
class QtToolWindow : public QWidget {
    Q_OBJECT
public:
    explicit QtToolWindow(QWidget* parent);

    void setHandlers(std::function<void()> closed, std::function<void(bool minimised)> minimisedChanged);
    // Reports closing and minimising to whatever `events` points at then
    // (nothing while it is null); the pointer is the window's own member.
    template <typename Events> void reportTo(Events* const& events) {
        setHandlers(
            [&events] {
                if (events != nullptr) {
                    events->onClosed();
                }
            },
            [&events](bool minimised) {
                if (events != nullptr) {
                    events->onMinimisedChanged(minimised);
                }
            });
    }
    // Changes the stay-on-top hint without hiding or moving the window.
    void setStaysOnTop(bool onTop);
    bool staysOnTop() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    void showForward();
    // Hides the window without reporting a close.
    void hideQuietly();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Worked with the mouse: what is typed while it is active goes on in the
    // main window, where the player was typing.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> m_closed;
    std::function<void(bool)> m_minimisedChanged;
    bool m_minimised = false;
};

} // namespace corvane
