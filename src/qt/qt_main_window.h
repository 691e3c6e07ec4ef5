#pragma once

#include "core/button_bars.h"
#include "core/display_view.h"
#include "core/input_view.h"
#include "core/main_menu.h"
#include "core/main_window_view.h"
#include "core/status_view.h"

#include <QMainWindow>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;
class QWidget;

namespace corvane {

class MainWindowEvents;
class QtMainLayout;
class QtOutputBox;

// The main window (frmMain): menus, the two button bars, the output box, the
// status labels and the input line with its history list. It only shows what
// it is told and reports what the user does.
class QtMainWindow final : public QMainWindow,
                     public MainWindowView,
                     public StatusView,
                     public MenuView,
                     public ButtonBarView,
                     public InputView,
                     public DisplayView {
    Q_OBJECT
public:
    explicit QtMainWindow(QWidget* parent = nullptr);
    ~QtMainWindow() override;

    void setEvents(MainWindowEvents* events) { m_events = events; }

    // MainWindowView
    void setCaption(const std::string& caption) override;
    std::string caption() const override;
    void setBusyCursor(bool busy) override;
    bool isMinimised() const override;
    void restoreFromMinimised() override;
    void setActivityIcon(bool activity) override;
    bool activityIcon() const override { return m_activityIcon; }

    // StatusView
    void setLabelText(int label, const std::string& text) override;
    void setLabelColours(int label, Rgb text, Rgb background) override;
    void setLabelVisible(int label, bool visible) override;
    void setSecureIndicator(const std::string& protocol) override;

    // MenuView
    void setMenuEnabled(MenuItem item, bool enabled) override;
    void setMenuChecked(MenuItem item, bool checked) override;

    // ButtonBarView
    void setButtonEnabled(Bar bar, int index, bool enabled) override;
    void setButtonCaption(Bar bar, int index, const std::string& caption) override;

    // InputView
    std::string inputText() const override;
    void setInputText(const std::string& text) override;
    void clearInputUndoably() override;
    std::size_t inputCaret() const override;
    void setInputCaret(std::size_t offset) override;
    void selectAllInput() override;
    void focusInput() override;
    void appendHistory(const std::string& entry) override;
    void removeOldestHistory() override;
    void selectHistory(int index) override;
    int selectedHistory() const override;
    void setHistoryVisible(bool visible) override;
    void focusHistory() override;

    void insertText(const std::string& text) override;
    void setInputMasked(bool masked) override;

    QtOutputBox* outputBox() const { return m_output; }
    // The input line itself, for what attaches to it (the spell check).
    QLineEdit* inputLine() const { return m_input; }

    // DisplayView
    Font inputFont() const override;
    bool setInputFontName(const std::string& name) override;
    void setInputFontSize(float size) override;
    void setInputFontStyle(bool bold, bool italic) override;
    std::int32_t inputTextColour() const override;
    std::int32_t inputBackColour() const override;
    void setDisplayTextColour(std::int32_t colour) override;
    void setDisplayBackColour(std::int32_t colour) override;
    void ApplyDisplaySettings() override;
    Geometry windowGeometry() const override;
    void setWindowTop(int top) override;
    void setWindowLeft(int left) override;
    void setWindowHeight(int height) override;
    void setWindowWidth(int width) override;
    int screenHeight() const override;
    int screenWidth() const override;
    Geometry screenArea() const override;
    void setBarVisible(bool commandBar, bool visible) override;
    MainLayoutView& layoutView() override;

    QAction* action(MenuItem item) const { return m_actions[static_cast<std::size_t>(item)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildCentralWidget();
    void placeHistoryList();
    QAction* addAction(QMenu* menu, MenuItem item, const QKeySequence& shortcut = {});

    MainWindowEvents* m_events = nullptr;
    std::array<QAction*, kMenuItemCount> m_actions{};
    std::array<bool, kMenuItemCount> m_checked{};
    std::array<QPushButton*, kButtonsPerBar> m_commandButtons{};
    std::array<QPushButton*, kButtonsPerBar> m_macroButtons{};
    std::array<QLabel*, 4> m_labels{};
    QLabel* m_lock = nullptr;
    QWidget* m_commandBar = nullptr;
    QWidget* m_macroBar = nullptr;
    QtOutputBox* m_output = nullptr;
    QLineEdit* m_input = nullptr;
    QToolButton* m_scrollButton = nullptr;
    QListWidget* m_history = nullptr;
    std::unique_ptr<QtMainLayout> m_layout;
    void applyColours();
    void scrollOutputToEnd();

    QColor m_textColour;
    QColor m_backColour;
    bool m_activityIcon = false;
    bool m_busy = false;
};

} // namespace corvane
