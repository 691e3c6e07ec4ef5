#include "param_name.h"
#include "qt/qt_announcer.h"
#include "widgets/every_window.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <gtest/gtest.h>
#include <memory>

namespace corvane::testing {
namespace {

// Case 0 is the main window; the rest are the rows of EveryWindow().
std::size_t accessibleCaseCount() { return EveryWindow().size() + 1; }

std::string accessibleCaseName(std::size_t index) {
    return index == 0 ? std::string("MainWindow") : ParamName(EveryWindow()[index - 1].header);
}

// An MCP dialog has only what the world asked for: one of each kind.
void fillMcpDialog(QWidget* window) {
    auto* dialog = qobject_cast<QtMcpDialogView*>(window);
    if (dialog == nullptr) {
        return;
    }
    using Control = McpDialogView::Control;
    dialog->addControl(Control::Text, "", "", "Your name:", "");
    dialog->addControl(Control::Edit, "name", "", "", "Tom");
    dialog->addControl(Control::MultiEdit, "desc", "", "Description", "");
    dialog->addControl(Control::Edit, "age", "", "", "");
    dialog->addControl(Control::Checkbox, "shown", "", "Shown", "1");
    dialog->addControl(Control::Button, "ok", "", "OK", "");
}

// The part of a compound control that hands its focus on is named by the whole.
bool namedByItsOwner(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    return widget->focusProxy() != nullptr || qobject_cast<const QAbstractSpinBox*>(parent) != nullptr ||
           qobject_cast<const QComboBox*>(parent) != nullptr || qobject_cast<const QLineEdit*>(parent) != nullptr ||
           (qobject_cast<const QTabBar*>(widget) != nullptr && qobject_cast<const QTabWidget*>(parent) != nullptr);
}

// What a screen reader can reach: anything taking focus, and buttons that do
// not (a screen reader's review mode still presses them).
bool reachable(const QWidget* widget, const QWidget* window) {
    if (widget->window() != window || namedByItsOwner(widget) || widget->objectName().startsWith("qt_")) {
        return false; // popups are windows of their own; Qt names its own parts
    }
    return widget->focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton*>(widget) != nullptr;
}

QString describe(const QWidget* widget) {
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    return QString("%1 \"%2\"").arg(widget->metaObject()->className(),
                                    button != nullptr && widget->objectName().isEmpty() ? button->text()
                                                                                        : widget->objectName());
}

// The Tab key's stops in the window, in the order it visits them.
QList<QWidget*> tabStops(QWidget* window) {
    QList<QWidget*> stops;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if (w->window() == window && !namedByItsOwner(w) && (w->focusPolicy() & Qt::TabFocus) != 0 &&
            w->isVisibleTo(window) && w->isEnabled()) {
            stops << w;
        }
    }
    return stops;
}

// Tab goes backwards when the next stop sits wholly above the last one in the
// same column, or wholly to its left on the same row.
bool goesBack(const QRect& from, const QRect& to) {
    const bool sameColumn = to.left() < from.right() && from.left() < to.right();
    const bool sameRow = to.top() < from.bottom() && from.top() < to.bottom();
    return (sameColumn && to.bottom() < from.top()) || (sameRow && !sameColumn && to.right() < from.left());
}

class AccessibleNames : public ::testing::TestWithParam<std::size_t> {
protected:
    void SetUp() override {
        if (GetParam() == 0) {
            window = std::make_unique<QtMainWindow>();
            window->show();
        } else {
            window = EveryWindow()[GetParam() - 1].open(main);
            fillMcpDialog(window.get());
        }
        QApplication::processEvents();
    }

    QtMainWindow main;
    std::unique_ptr<QWidget> window;
};

TEST_P(AccessibleNames, EveryControlHasANameAScreenReaderReads) {
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window.get());
    const QRegularExpression accessKey("&[^&\\s]");
    QStringList unnamed;
    int controls = 0;
    for (QWidget* widget : widgets) {
        if (widget == window.get() || !reachable(widget, window.get())) {
            continue;
        }
        ++controls;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        const QString name = accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
        if (name.trimmed().isEmpty()) {
            unnamed << describe(widget);
        } else if (name.contains(accessKey)) {
            unnamed << describe(widget) + " reads its access-key \"&\": " + name;
        }
    }
    EXPECT_GT(controls, 0);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join("\n").toStdString();
}

TEST_P(AccessibleNames, TabFollowsTheOrderTheControlsAreSeenIn) {
    const QList<QWidget*> stops = tabStops(window.get());
    QStringList backwards;
    for (qsizetype i = 1; i < stops.size(); ++i) {
        const QRect from(stops[i - 1]->mapTo(window.get(), QPoint(0, 0)), stops[i - 1]->size());
        const QRect to(stops[i]->mapTo(window.get(), QPoint(0, 0)), stops[i]->size());
        if (goesBack(from, to)) {
            backwards << describe(stops[i - 1]) + " -> " + describe(stops[i]);
        }
    }
    EXPECT_TRUE(backwards.isEmpty()) << backwards.join("\n").toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, AccessibleNames, ::testing::Range<std::size_t>(0, accessibleCaseCount()),
                         [](const auto& info) { return accessibleCaseName(info.param); });

// Where Qt has no announcement event, the announcement is the accessible
// name of a label that is in the window's accessible tree, never drawn and
// never focused. (A screen reader is needed to hear the change itself.)
TEST(Announcements, AreTheNameOfALabelInTheWindowThatTakesNoFocus) {
    QWidget window;
    window.resize(200, 100);
    QLineEdit input(&window);
    window.show();
    input.setFocus();
    QtAnnouncer announcer(&window);
    announcer.announce("On line");
    announcer.announce("Off line");
    QLabel* label = announcer.label();
    if (label == nullptr) {
        GTEST_SKIP() << "Qt sends announcements as such";
    }
    QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(label);
    ASSERT_NE(heard, nullptr);
    EXPECT_EQ(heard->text(QAccessible::Name), "Off line");
    EXPECT_EQ(heard->parent(), QAccessible::queryAccessibleInterface(&window));
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), "") << "heard, not seen";
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
}

} // namespace
} // namespace corvane::testing
