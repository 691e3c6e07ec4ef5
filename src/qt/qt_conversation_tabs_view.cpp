#include "qt/qt_conversation_tabs_view.h"

#include "qt/qt_conversation_view.h"
#include "qt/qt_show_quietly.h"

#include <QEvent>
#include <QTimer>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace corvane {

namespace {

constexpr int kFrameMilliseconds = 100;
// While lines keep coming and the window is in the background.
constexpr int kBackgroundFrameMilliseconds = 300;

// A tab's text takes & as the mark of a shortcut key; a name from the world is shown as it is.
QString TabText(const std::string& label) {
    return QString::fromStdString(label).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QtConversationView* PageWidget(ConversationView& page) {
    return dynamic_cast<QtConversationView*>(&page);
}

} // namespace

QtConversationTabsView::QtConversationTabsView(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_mainWindow(mainWindow)
    , m_tabs(new QTabWidget(this)) {
    setObjectName("ConversationsWindow");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(tr("Conversations - Corvane"));
    m_tabs->setObjectName("ConversationTabs");
    m_tabs->setAccessibleName(tr("Conversations"));
    m_tabs->setAccessibleDescription(
        tr("A tab for each conversation; Ctrl+Tab goes to the next, the tab's menu moves it to its own window"));
    m_tabs->setTabsClosable(true);
    m_tabs->setDocumentMode(true);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideRight);
    m_tabs->tabBar()->setAccessibleName(tr("Conversation tabs"));
    m_tabs->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    resize(560, 340);
    m_frame.setSingleShot(true);
    connect(&m_frame, &QTimer::timeout, this, &QtConversationTabsView::frame);

    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (!m_told && m_events != nullptr && index >= 0) {
            m_events->onTabChosen(index);
            followWithKeyboard();
        }
    });
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, [this](int index) {
        if (m_events != nullptr) {
            m_events->onTabClosed(index);
        }
    });
    connect(m_tabs->tabBar(), &QWidget::customContextMenuRequested, this, &QtConversationTabsView::showTabMenu);
    // Anywhere in the window, the input lines included.
    const std::pair<QKeySequence, int> steps[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), +1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), +1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& [keys, step] : steps) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] {
            if (m_events != nullptr) {
                m_events->onStepTab(step);
            }
        });
    }
}

// A busy conversation changes its tab's count with every line; relaying the
// tab bar out and renaming its buttons per line cost a flood five times its
// CPU, so while the window shows, labels and title change once a frame.
void QtConversationTabsView::setTitle(const std::string& title) {
    m_title = QString::fromStdString(title);
    if (isVisible()) {
        updateSoon();
    } else {
        frame();
    }
}

void QtConversationTabsView::updateSoon() {
    if (!m_frame.isActive()) {
        const bool streaming = m_lastFrame.isValid() && m_lastFrame.elapsed() < kBackgroundFrameMilliseconds;
        m_frame.start(streaming && !isActiveWindow() ? kBackgroundFrameMilliseconds : kFrameMilliseconds);
    }
}

void QtConversationTabsView::frame() {
    m_lastFrame.start();
    applyLabels();
    if (m_title) {
        setWindowTitle(*m_title);
        m_title.reset();
    }
}

void QtConversationTabsView::applyLabels() {
    bool changed = false;
    for (const auto& [index, text] : m_labels) {
        if (index < m_tabs->count() && m_tabs->tabText(index) != text) {
            m_tabs->setTabText(index, text);
            changed = true;
        }
    }
    m_labels.clear();
    if (changed) {
        nameCloseButtons();
    }
}

void QtConversationTabsView::insertTab(int index, ConversationView& page, const std::string& label) {
    QtConversationView* widget = PageWidget(page);
    if (widget == nullptr) {
        return;
    }
    // Waiting labels name the tabs as they are before this one comes.
    applyLabels();
    m_told = true;
    widget->offerBackIntoTabs(false);
    m_tabs->insertTab(index, widget, TabText(label));
    m_told = false;
    nameCloseButtons();
}

void QtConversationTabsView::nameCloseButtons() {
    // The style's close buttons have no text of their own for a screen reader.
    QTabBar* bar = m_tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        for (const QTabBar::ButtonPosition side : {QTabBar::LeftSide, QTabBar::RightSide}) {
            if (QWidget* button = bar->tabButton(i, side)) {
                button->setAccessibleName(tr("Close %1").arg(bar->tabText(i).replace("&&", "&")));
            }
        }
    }
}

void QtConversationTabsView::removeTab(int index) {
    applyLabels();
    m_told = true;
    m_tabs->removeTab(index);
    m_told = false;
    nameCloseButtons();
}

void QtConversationTabsView::setTabLabel(int index, const std::string& label) {
    m_labels[index] = TabText(label);
    if (isVisible()) {
        updateSoon();
    } else {
        applyLabels();
    }
}

void QtConversationTabsView::setCurrentTab(int index) {
    const bool changed = index != m_tabs->currentIndex();
    m_told = true;
    m_tabs->setCurrentIndex(index);
    m_told = false;
    if (changed) {
        followWithKeyboard();
    }
}

void QtConversationTabsView::followWithKeyboard() {
    // The player went to another tab here: the keyboard goes with them, not to the tab bar.
    if (isActiveWindow()) {
        if (auto* page = qobject_cast<QtConversationView*>(m_tabs->currentWidget())) {
            page->input()->setFocus();
        }
    }
}

void QtConversationTabsView::releasePage(ConversationView& page) {
    if (QtConversationView* widget = PageWidget(page)) {
        widget->setParent(m_mainWindow, Qt::Window);
    }
}

void QtConversationTabsView::showQuietly() {
    ShowQuietly(this);
}

void QtConversationTabsView::showActive() {
    show();
    raise();
    activateWindow();
    if (auto* page = qobject_cast<QtConversationView*>(m_tabs->currentWidget())) {
        page->input()->setFocus();
    }
}

void QtConversationTabsView::showTabMenu(const QPoint& at) {
    const int index = m_tabs->tabBar()->tabAt(at);
    if (index < 0 || m_events == nullptr) {
        return;
    }
    QMenu menu(this);
    menu.setAccessibleName(tr("Conversation tab"));
    QAction* own = menu.addAction(tr("&Move to its own window"));
    QAction* close = menu.addAction(tr("&Close"));
    QAction* chosen = menu.exec(m_tabs->tabBar()->mapToGlobal(at));
    if (chosen == own) {
        m_events->onMoveToOwnWindow(index);
    } else if (chosen == close) {
        m_events->onTabClosed(index);
    }
}

void QtConversationTabsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_events != nullptr) {
        // A window shown by itself may be handed the activation for a moment
        // before it goes back (see ShowQuietly): only one still active once
        // that has settled has been looked at.
        QTimer::singleShot(0, this, [this] {
            if (isActiveWindow() && m_events != nullptr) {
                m_events->onWindowActivated();
            }
        });
    }
}

} // namespace corvane
