#pragma once

#include "core/button_bars.h"
#include "core/display_view.h"
#include "shell/main_layout_view.h"

#include <QObject>
#include <QSize>
#include <array>

class QLineEdit;
class QMainWindow;
class QPushButton;
class QToolButton;
class QWidget;

namespace corvane {

// Places the main window's parts where ArrangeMainWindow says, in twips
// converted at the screen's logical resolution, and answers the window's
// measures the way the designed numbers count them: the area below the menu
// bar and a classic frame of 120 by 690 twips (borders, caption and menu).
class QtMainLayout : public QObject, public MainLayoutView {
public:
    struct Parts {
        QMainWindow* window = nullptr;
        QWidget* commandBar = nullptr;
        std::array<QPushButton*, kButtonsPerBar> commandButtons{};
        QWidget* macroBar = nullptr;
        std::array<QPushButton*, kButtonsPerBar> macroButtons{};
        QWidget* output = nullptr;
        QWidget* statusRow = nullptr;
        QLineEdit* input = nullptr;
        QToolButton* scrollButton = nullptr;
    };

    explicit QtMainLayout(Parts parts);

    Size windowSize() const override;
    void setWindowSize(Size size) override;
    void setMinimumWindowSize(Size size) override;
    int displayTextHeight() const override;
    int inputHeight() const override;
    void setInputHeight(int height) override;
    void placeInput(int top, int width) override;
    void placeBar(bool commandBar, int top, int width) override;
    void placeOutput(int top, int width, int height) override;
    void placeStatusLabels(int top, int width) override;

    // The window's place (its client area's top left) and size for
    // DisplayView, in the same measures.
    DisplayView::Geometry geometry() const;
    void setTop(int top);
    void setLeft(int left);
    void setHeight(int height);
    void setWidth(int width);
    // The screen's usable area as a window of these measures could fill it.
    DisplayView::Geometry screenArea() const;
    // The designed size of a first start (860 by 600 pixels at 96 dpi),
    // never larger than the screen.
    void setDesignedSize();

protected:
    // Once shown the window system's frame is known: a window that now
    // reaches past the screen is brought inside it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitFrameOnScreen();
    int px(int twips) const;
    int tw(int pixels) const;
    int menuHeight() const;
    // What the window system adds around the window (caption, borders).
    QSize decoration() const;

    Parts m_parts;
    int m_inputHeight = 0;
};

} // namespace corvane
