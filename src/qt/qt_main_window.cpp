#include "qt/qt_main_window.h"

#include "qt/qt_colours.h"
#include "qt/qt_icons.h"
#include "qt/qt_key_names.h"
#include "qt/qt_main_layout.h"
#include "qt/qt_output_box.h"
#include "qt/qt_screen_fit.h"
#include "qt/qt_speech_keys.h"
#include "qt/qt_text.h"
#include "shell/main_window_events.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace corvane {

QtMainWindow::QtMainWindow(QWidget* parent)
    : QMainWindow(parent) {
    setObjectName("frmMain");
    KeepWindowsOnScreen();
    buildMenus();
    buildCentralWidget();
    setWindowIcon(AppIcon(false));
    m_textColour = kDefaultDisplayText;
    m_backColour = kDefaultDisplayBack;
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(10);
    m_input->setFont(font);
    applyColours();
    ApplyDisplaySettings();
    m_layout->setDesignedSize();
    new QtSpeechKeys(this, [this] { return m_events; });
}

QtMainWindow::~QtMainWindow() = default;

QAction* QtMainWindow::addAction(QMenu* menu, MenuItem item, const QKeySequence& shortcut) {
    auto* action = menu->addAction(
        QString::fromUtf8(MenuCaption(item).data(), static_cast<qsizetype>(MenuCaption(item).size())));
    action->setObjectName(
        QString::fromUtf8(MenuObjectName(item).data(), static_cast<qsizetype>(MenuObjectName(item).size())));
    action->setCheckable(MenuItemCheckable(item));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
    }
    m_actions[static_cast<std::size_t>(item)] = action;
    connect(action, &QAction::triggered, this, [this, item, action] {
        // The rules own the check marks; undo Qt's own toggle before asking them.
        if (action->isCheckable()) {
            action->setChecked(m_checked[static_cast<std::size_t>(item)]);
        }
        if (m_events != nullptr) {
            m_events->onMenuTriggered(item);
        }
    });
    return action;
}

void QtMainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName("FileMenu");
    addAction(file, MenuItem::FileConnect, Qt::Key_F2);
    addAction(file, MenuItem::FileDisconnect);
    addAction(file, MenuItem::FileNewWindow, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    file->addSeparator();
    addAction(file, MenuItem::FileOpenLog);
    addAction(file, MenuItem::FileCloseLog);
    addAction(file, MenuItem::FileDumpOutput);
    addAction(file, MenuItem::FileUpload);
    addAction(file, MenuItem::FileImportRules);
    file->addSeparator();
    addAction(file, MenuItem::FileExit);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName("EditMenu");
    connect(edit, &QMenu::aboutToShow, this, [this] {
        if (m_events != nullptr) {
            m_events->onEditMenuAboutToShow();
        }
    });
    addAction(edit, MenuItem::EditCopy);
    addAction(edit, MenuItem::EditPaste);
    addAction(edit, MenuItem::EditClear);
    addAction(edit, MenuItem::EditSelectAll);
    edit->addSeparator();
    addAction(edit, MenuItem::EditPreferences, Qt::Key_F4);
    addAction(edit, MenuItem::EditUserMacros, Qt::Key_F5);
    addAction(edit, MenuItem::EditRules, Qt::Key_F6);
    addAction(edit, MenuItem::EditConversationRoutes);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName("ViewMenu");
    addAction(view, MenuItem::ViewCommand);
    addAction(view, MenuItem::ViewMacro);
    view->addSeparator();
    addAction(view, MenuItem::ViewTimer);
    addAction(view, MenuItem::ViewLagCounter);
    view->addSeparator();
    addAction(view, MenuItem::ViewDirections);
    addAction(view, MenuItem::ViewPicture);
    addAction(view, MenuItem::ViewInfo);
    addAction(view, MenuItem::ViewWhoIsHere);
    addAction(view, MenuItem::ViewWhoIsOn);
    view->addSeparator();
    addAction(view, MenuItem::ViewClear);
    addAction(view, MenuItem::ViewRefresh);
    addAction(view, MenuItem::ViewSessionHistory, QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(view, MenuItem::ViewMcpTraffic);
    addAction(view, MenuItem::ViewConversations);

    QMenu* game = menuBar()->addMenu(tr("&Game"));
    game->setObjectName("GameMenu");
    addAction(game, MenuItem::GameConnect, Qt::Key_F3);
    addAction(game, MenuItem::GameReconnect, QKeySequence(Qt::CTRL | Qt::Key_R));
    addAction(game, MenuItem::GameGoHome);
    addAction(game, MenuItem::GameIdle);
    addAction(game, MenuItem::GameWalk);
    addAction(game, MenuItem::GameDoNotDisturb);
    addAction(game, MenuItem::GameServerInfo);
    game->addSeparator();
    addAction(game, MenuItem::GameQuit);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName("HelpMenu");
    addAction(help, MenuItem::HelpOnline);
    addAction(help, MenuItem::HelpMuck);
    addAction(help, MenuItem::HelpAbout);

    // Escape closes a menu but leaves the menu bar holding the keyboard, where
    // the letters of what the player types next would choose menu items.
    for (QMenu* menu : {file, edit, view, game, help}) {
        connect(menu, &QMenu::aboutToHide, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (QApplication::activePopupWidget() == nullptr && menuBar()->hasFocus()) {
                    m_input->setFocus(Qt::OtherFocusReason);
                }
            });
        });
    }
}

void QtMainWindow::buildCentralWidget() {
    // The parts have no layout of their own: ArrangeMainWindow places them.
    auto* central = new QWidget(this);

    const auto makeBar = [this, central](Bar bar, std::array<QPushButton*, kButtonsPerBar>& buttons) {
        auto* row = new QWidget(central);
        for (int i = 0; i < kButtonsPerBar; ++i) {
            auto* button = new QPushButton(toQt(DefaultButtonCaption(bar, i)), row);
            button->setObjectName(QString(bar == Bar::Command ? "Command13_%1" : "Command14_%1").arg(i));
            button->setFocusPolicy(Qt::NoFocus);
            button->setEnabled(false);
            buttons[static_cast<std::size_t>(i)] = button;
            connect(button, &QPushButton::clicked, this, [this, bar, i] {
                if (m_events == nullptr) {
                    return;
                }
                if (bar == Bar::Command) {
                    m_events->onCommandButton(i);
                } else {
                    m_events->onMacroButton(i);
                }
            });
        }
        return row;
    };
    m_commandBar = makeBar(Bar::Command, m_commandButtons);
    m_commandBar->setObjectName("CommandBar");
    m_macroBar = makeBar(Bar::Macro, m_macroButtons);
    m_macroBar->setObjectName("MacroBar");

    m_output = new QtOutputBox(central);
    m_output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_output->setHandlers(QtOutputBox::Handlers{[this] {
                                                    if (m_events != nullptr) {
                                                        m_events->onOutputFocusIn();
                                                    }
                                                },
                                                [this] {
                                                    if (m_events != nullptr) {
                                                        m_events->onOutputFocusOut();
                                                    }
                                                },
                                                [this] {
                                                    if (m_events != nullptr) {
                                                        m_events->onOutputDoubleClick();
                                                    }
                                                },
                                                [this](QKeyEvent* key) {
                                                    m_input->setFocus(Qt::OtherFocusReason);
                                                    QApplication::sendEvent(m_input, key);
                                                },
                                                // The input line takes the keyboard back, which ends a pause.
                                                [this] { m_input->setFocus(Qt::OtherFocusReason); },
                                                [this](bool selected) {
                                                    if (m_events != nullptr) {
                                                        m_events->onOutputSelectionChanged(selected);
                                                    }
                                                },
                                                [this](std::uint32_t link) {
                                                    if (m_events != nullptr) {
                                                        m_events->onOutputLinkClicked(link);
                                                    }
                                                }});
    m_output->installEventFilter(this);
    m_output->setAccessibleName(tr("Output"));
    m_output->setAccessibleDescription(tr("What the world sent, newest line last"));

    auto* statusRow = new QWidget(central);
    statusRow->setObjectName("StatusRow");
    auto* statusLayout = new QHBoxLayout(statusRow);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(3);
    m_lock = new QLabel(statusRow);
    m_lock->setObjectName("lblSecure");
    m_lock->setPixmap(LockPixmap(m_lock->fontMetrics().height() + 2));
    m_lock->hide();
    statusLayout->addWidget(m_lock);
    static const std::array<const char*, 4> labelTexts = {"Status: Off Line", "Log:", "Game Time: hh:mm",
                                                          "Current lag:"};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(labelTexts[static_cast<std::size_t>(i)], statusRow);
        label->setObjectName(QString("Label3_%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        label->setFrameShape(QFrame::StyledPanel);
        label->setMargin(1);
        m_labels[static_cast<std::size_t>(i)] = label;
        if (i >= StatusView::ClockLabel) {
            // The clock and lag labels answer clicks.
            label->setCursor(Qt::UpArrowCursor);
            label->installEventFilter(this);
        }
        statusLayout->addWidget(label, i == 0 ? 3 : 1);
    }
    m_labels[StatusView::LogLabel]->setVisible(false);

    m_input = new QLineEdit(central);
    m_input->setObjectName("Text1");
    m_input->setAccessibleName(tr("Command"));
    m_input->setAccessibleDescription(tr("Type a command and press Enter to send it to the world"));
    m_input->installEventFilter(this);
    m_scrollButton = new QToolButton(central);
    m_scrollButton->setObjectName("ScrollButton");
    m_scrollButton->setArrowType(Qt::UpArrow);
    m_scrollButton->setToolTip(tr("Command history"));
    m_scrollButton->setAccessibleName(tr("Command history"));
    // Clicking it must not take the focus from the history list it toggles.
    m_scrollButton->setFocusPolicy(Qt::NoFocus);
    connect(m_scrollButton, &QToolButton::pressed, this, [this] {
        if (m_events != nullptr) {
            m_events->onHistoryToggle();
        }
    });

    m_history = new QListWidget(central);
    m_history->setObjectName("List1");
    m_history->setAccessibleName(tr("Command history"));
    m_history->setAccessibleDescription(tr("Commands sent before; Enter puts one back in the command line"));
    m_history->setSelectionMode(QAbstractItemView::SingleSelection);
    m_history->hide();
    m_history->installEventFilter(this);
    connect(m_history, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_events != nullptr) {
            m_events->onHistoryToggle();
        }
    });

    setCentralWidget(central);
    m_layout = std::make_unique<QtMainLayout>(QtMainLayout::Parts{this, m_commandBar, m_commandButtons,
                                                                  m_macroBar, m_macroButtons, m_output,
                                                                  statusRow, m_input, m_scrollButton});
    m_input->setFocus();
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (m_events == nullptr) {
        return QMainWindow::eventFilter(watched, event);
    }
    if (watched == m_output && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)) {
        m_events->onOutputGeometryChanged();
    }
    for (int label : {StatusView::ClockLabel, StatusView::LagLabel}) {
        if (watched == m_labels[static_cast<std::size_t>(label)]) {
            if (event->type() == QEvent::MouseButtonPress) {
                m_events->onStatusLabelClicked(label);
            } else if (event->type() == QEvent::MouseButtonDblClick) {
                m_events->onStatusLabelDoubleClicked(label);
            }
        }
    }
    if (watched == m_input && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (const std::string bound = BoundKeyName(*key); !bound.empty() && m_events->onBoundKey(bound)) {
            return true;
        }
        // Alt with a key that is no menu's access key reaches the line as a
        // key press; it types nothing. (AltGr arrives without Alt, or on
        // some systems as Ctrl+Alt: those characters still type.)
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        if ((modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier) && !key->text().isEmpty()) {
            return true;
        }
        // PageUp reads back in the scrollback pane; PageDown and Escape act on it while it is open.
        if ((key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown ||
             key->key() == Qt::Key_Escape) &&
            m_output->scrollbackKey(key->key())) {
            return true;
        }
        InputLine::Key which = InputLine::Key::Other;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            which = InputLine::Key::Enter;
            break;
        case Qt::Key_Escape:
            which = InputLine::Key::Escape;
            break;
        case Qt::Key_Up:
            which = (modifiers & Qt::ControlModifier) ? InputLine::Key::HistoryList : InputLine::Key::Up;
            break;
        case Qt::Key_Down:
            which = InputLine::Key::Down;
            break;
        case Qt::Key_Tab:
            which = modifiers == Qt::NoModifier ? InputLine::Key::Tab : InputLine::Key::Other;
            break;
        default:
            break;
        }
        return m_events->onInputKey(which);
    }
    if (watched == m_history) {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_events->onHistoryFocusIn();
            break;
        case QEvent::FocusOut:
            m_events->onHistoryFocusOut();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_events->onHistoryToggle();
                return true;
            }
            if (key == Qt::Key_Escape) {
                m_events->onHistoryEscape();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    if (m_events != nullptr && !m_events->onCloseRequested()) {
        event->ignore();
        return;
    }
    event->accept();
}

void QtMainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (m_events == nullptr) {
        return;
    }
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_events->onActivated();
    }
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
        m_events->onRestored();
    }
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_events != nullptr && !isMinimized()) {
        m_events->onWindowResized();
    }
    placeHistoryList();
}

void QtMainWindow::placeHistoryList() {
    if (m_history == nullptr || m_input == nullptr) {
        return;
    }
    const QPoint inputTopLeft = m_input->mapTo(centralWidget(), QPoint(0, 0));
    const int height = std::min(inputTopLeft.y() - 4, 145);
    m_history->setGeometry(inputTopLeft.x(), inputTopLeft.y() - height, m_input->width(), height);
}

void QtMainWindow::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}
std::string QtMainWindow::caption() const {
    return fromQt(windowTitle());
}

void QtMainWindow::setBusyCursor(bool busy) {
    if (busy == m_busy) {
        return;
    }
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool QtMainWindow::isMinimised() const {
    return isMinimized();
}

void QtMainWindow::restoreFromMinimised() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    showNormal();
}

void QtMainWindow::setActivityIcon(bool activity) {
    m_activityIcon = activity;
    setWindowIcon(AppIcon(activity));
}

void QtMainWindow::setLabelText(int label, const std::string& text) {
    m_labels[static_cast<std::size_t>(label)]->setText(toQt(text));
}

void QtMainWindow::setLabelColours(int label, Rgb text, Rgb background) {
    QLabel* widget = m_labels[static_cast<std::size_t>(label)];
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, toQColor(text));
    palette.setColor(QPalette::Window, toQColor(background));
    widget->setAutoFillBackground(true);
    widget->setPalette(palette);
}

void QtMainWindow::setLabelVisible(int label, bool visible) {
    m_labels[static_cast<std::size_t>(label)]->setVisible(visible);
}

void QtMainWindow::setSecureIndicator(const std::string& protocol) {
    const QString tip = tr("Secure connection (%1)").arg(toQt(protocol));
    m_lock->setToolTip(tip);
    m_lock->setAccessibleName(tip);
    m_lock->setVisible(!protocol.empty());
}

void QtMainWindow::setMenuEnabled(MenuItem item, bool enabled) {
    action(item)->setEnabled(enabled);
}

void QtMainWindow::setMenuChecked(MenuItem item, bool checked) {
    m_checked[static_cast<std::size_t>(item)] = checked;
    action(item)->setChecked(checked);
}

void QtMainWindow::setButtonEnabled(Bar bar, int index, bool enabled) {
    auto& buttons = bar == Bar::Command ? m_commandButtons : m_macroButtons;
    buttons[static_cast<std::size_t>(index)]->setEnabled(enabled);
}

void QtMainWindow::setButtonCaption(Bar bar, int index, const std::string& caption) {
    auto& buttons = bar == Bar::Command ? m_commandButtons : m_macroButtons;
    buttons[static_cast<std::size_t>(index)]->setText(toQt(caption));
}

std::string QtMainWindow::inputText() const {
    return fromQt(m_input->text());
}
void QtMainWindow::setInputText(const std::string& text) {
    m_input->setText(toQt(text));
}
void QtMainWindow::clearInputUndoably() {
    // setText() would forget the line's undo steps; clear() is one of them.
    m_input->clear();
}
std::size_t QtMainWindow::inputCaret() const {
    return static_cast<std::size_t>(m_input->text().left(m_input->cursorPosition()).toUtf8().size());
}
void QtMainWindow::setInputCaret(std::size_t offset) {
    const QByteArray bytes = m_input->text().toUtf8();
    m_input->setCursorPosition(
        static_cast<int>(QString::fromUtf8(bytes.left(static_cast<qsizetype>(offset))).size()));
}
void QtMainWindow::selectAllInput() {
    m_input->selectAll();
}
void QtMainWindow::focusInput() {
    m_input->setFocus();
    // A dialog of Corvane's that has just closed leaves the keyboard with
    // Corvane: it comes back here, never taken from another program.
    const QWidget* active = QApplication::activeWindow();
    if (!isActiveWindow() && !isMinimized() && (active == nullptr || !active->isVisible())) {
        activateWindow();
    }
}

void QtMainWindow::appendHistory(const std::string& entry) {
    m_history->addItem(toQt(entry));
}

void QtMainWindow::removeOldestHistory() {
    delete m_history->takeItem(0);
}

void QtMainWindow::selectHistory(int index) {
    if (index < 0) {
        m_history->clearSelection();
        m_history->setCurrentRow(-1);
        return;
    }
    m_history->setCurrentRow(index);
}

int QtMainWindow::selectedHistory() const {
    const auto selected = m_history->selectedItems();
    return selected.isEmpty() ? -1 : m_history->row(selected.first());
}

void QtMainWindow::setHistoryVisible(bool visible) {
    if (visible) {
        placeHistoryList();
        m_history->raise();
        m_history->show();
    } else {
        m_history->hide();
    }
}

void QtMainWindow::focusHistory() {
    m_history->setFocus();
}

void QtMainWindow::setInputMasked(bool masked) {
    m_input->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
}

void QtMainWindow::insertText(const std::string& text) {
    m_input->insert(toQt(text));
}

} // namespace corvane
