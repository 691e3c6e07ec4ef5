#include "qt/qt_player_list_view.h"

#include "qt/qt_show_quietly.h"
#include "qt/qt_text.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

struct ListDesign {
    const char* listName;
    const char* labelName;
    const char* heading;
};

// In the order of PlayerKind.
constexpr std::array<ListDesign, QtPlayerListView::kListCount> kLists = {{
    {"AwakeList", "lblAwake", "Awake"},
    {"AsleepList", "lblAsleep", "Asleep"},
    {"IdleList", "lblIdle", "Idle"},
    {"PuppetList", "lblPuppets", "Puppets"},
}};


std::size_t slot(PlayerKind kind) {
    return static_cast<std::size_t>(kind);
}

} // namespace

QtPlayerListView::QtPlayerListView(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName("Form4");
    setWindowTitle(tr("Player List"));

    m_summary = new QLabel(tr("Location"), this);
    m_summary->setObjectName("lblLocation");
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);

    auto* lists = new QGridLayout;
    for (std::size_t i = 0; i < kListCount; ++i) {
        auto* heading = new QLabel(tr(kLists[i].heading), this);
        heading->setObjectName(kLists[i].labelName);
        heading->setTextFormat(Qt::PlainText);
        auto* list = new QListWidget(this);
        list->setObjectName(kLists[i].listName);
        list->setAccessibleName(heading->text());
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setMinimumSize(120, 180);
        list->installEventFilter(this);
        const PlayerKind kind = static_cast<PlayerKind>(i);
        // A click or an arrow key that selects an entry picks it.
        const auto pick = [this, kind](QListWidgetItem* item) {
            if (m_events != nullptr && item != nullptr && item->isSelected()) {
                m_events->onEntryPicked(kind, fromQt(item->text()));
            }
        };
        connect(list, &QListWidget::itemClicked, this, pick);
        connect(list, &QListWidget::itemSelectionChanged, this, [list, pick] {
            const auto selected = list->selectedItems();
            if (!selected.isEmpty()) {
                pick(selected.constFirst());
            }
        });
        connect(list, &QListWidget::itemDoubleClicked, this, [this, kind](QListWidgetItem* item) {
            if (m_events != nullptr && item != nullptr) {
                m_events->onEntryActivated(kind, fromQt(item->text()));
            }
        });
        const int column = static_cast<int>(i);
        lists->addWidget(heading, 0, column);
        lists->addWidget(list, 1, column);
        m_listLabels[i] = heading;
        m_lists[i] = list;
    }

    auto* buttons = new QVBoxLayout;
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        auto* button =
            new QPushButton(i == kDoneButton ? tr("&Done") : tr(kDefaultPlayerCaptions[i]), this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        button->setAutoDefault(false);
        const int index = static_cast<int>(i);
        connect(button, &QPushButton::clicked, this, [this, index] {
            if (index == static_cast<int>(kDoneButton)) {
                hide();
                if (m_events != nullptr) {
                    m_events->onDone();
                }
            } else if (m_events != nullptr) {
                m_events->onPlayerButton(index);
            }
        });
        if (i == kDoneButton) {
            buttons->addStretch();
        }
        buttons->addWidget(button);
        m_buttons[i] = button;
    }

    auto* commandRow = new QHBoxLayout;
    auto* commandCaption = new QLabel(tr("Cmd:"), this);
    commandCaption->setObjectName("lblCmd");
    m_command = new QLabel(tr("COMMAND"), this);
    m_command->setObjectName("lblCommand");
    m_command->setTextFormat(Qt::PlainText);
    m_command->hide();
    commandRow->addWidget(commandCaption);
    commandRow->addWidget(m_command, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(m_summary);
    left->addLayout(lists, 1);
    left->addLayout(commandRow);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
}

void QtPlayerListView::clearLists() {
    for (QListWidget* list : m_lists) {
        list->clear();
    }
}

void QtPlayerListView::addPlayer(PlayerKind kind, const std::string& name) {
    m_lists[slot(kind)]->addItem(toQt(name));
}

int QtPlayerListView::playerCount(PlayerKind kind) const {
    return m_lists[slot(kind)]->count();
}

void QtPlayerListView::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}
void QtPlayerListView::setSummary(const std::string& summary) {
    m_summary->setText(toQt(summary));
}

void QtPlayerListView::setListEnabled(PlayerKind kind, bool enabled) {
    m_lists[slot(kind)]->setEnabled(enabled);
}

void QtPlayerListView::setListLabelColour(PlayerKind kind, Rgb colour) {
    QLabel* heading = m_listLabels[slot(kind)];
    QPalette palette = heading->palette();
    palette.setColor(QPalette::WindowText, QColor(colour.red, colour.green, colour.blue));
    heading->setPalette(palette);
}

void QtPlayerListView::setPlayerButtonsEnabled(bool enabled) {
    for (std::size_t i = 0; i < kDoneButton; ++i) {
        m_buttons[i]->setEnabled(enabled);
    }
}

void QtPlayerListView::setCommandLabelVisible(bool visible) {
    m_command->setVisible(visible);
}

void QtPlayerListView::setPlayerButtonCaption(int index, const std::string& caption) {
    if (index >= 0 && index < static_cast<int>(kDoneButton)) {
        m_buttons[static_cast<std::size_t>(index)]->setText(toQt(caption));
    }
}

void QtPlayerListView::setCommandText(const std::string& text) {
    m_command->setText(toQt(text));
}

void QtPlayerListView::clearSelection(PlayerKind kind) {
    QListWidget* list = m_lists[slot(kind)];
    list->clearSelection();
}

void QtPlayerListView::showWindow() {
    ShowQuietly(this);
}

void QtPlayerListView::hideWindow() {
    hide();
}

std::optional<PlayerKind> QtPlayerListView::kindOf(const QObject* list) const {
    for (std::size_t i = 0; i < kListCount; ++i) {
        if (m_lists[i] == list) {
            return static_cast<PlayerKind>(i);
        }
    }
    return std::nullopt;
}

bool QtPlayerListView::eventFilter(QObject* watched, QEvent* event) {
    const std::optional<PlayerKind> kind = kindOf(watched);
    if (!kind || m_events == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusIn) {
        m_events->onListFocused(*kind);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const QListWidgetItem* item = m_lists[slot(*kind)]->currentItem();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && item != nullptr && item->isSelected()) {
            m_events->onEntryActivated(*kind, fromQt(item->text()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QtPlayerListView::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_events != nullptr) {
        m_events->onClosed();
    }
}

} // namespace corvane
