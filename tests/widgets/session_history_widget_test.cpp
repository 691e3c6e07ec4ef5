#include "e2e/real_client.h"
#include "qt/qt_history_text.h"
#include "qt/qt_output_box.h"
#include "qt/qt_scrollback_pane.h"
#include "qt/qt_session_history_view.h"
#include "widgets/qt_print.h"
#include "widgets/qt_wait.h"
#include "wire/mxp_links.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// Fakes for every window but the session history, which is the real one.
struct HistoryViews : FakeViewFactory {
    std::unique_ptr<SessionHistoryView> createSessionHistoryView() override {
        auto view = std::make_unique<QtSessionHistoryView>(parent);
        shown = view.get();
        return view;
    }
    QWidget* parent = nullptr;
    QtSessionHistoryView* shown = nullptr;
};

struct SessionHistoryWidget : ::testing::Test, RealClient<HistoryViews> {
    void SetUp() override {
        views.parent = &window;
        client.start(false);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        for (const char* text : {"an apple a day", "two pears", "one more apple"}) {
            TextLine line;
            line.text = text;
            client.outputBuffer().showLine(line, -1);
        }
        client.outputBuffer().flush();
    }

    template <typename T> T* part(const char* name) const { return views.shown->findChild<T*>(name); }

    bool anyPixelOf(QWidget* widget, QColor colour) const {
        const QImage image = widget->grab().toImage();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }
};

TEST_F(SessionHistoryWidget, CtrlFOpensItAndFindMarksSelectsAndCopiesTheMatch) {
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(views.shown, nullptr);
    ASSERT_TRUE(waitUntil([&] { return views.shown->isVisible(); }));
    auto* find = part<QLineEdit>("txtFind");
    ASSERT_TRUE(waitUntil([&] { return find->hasFocus(); }));

    part<QCheckBox>("chkHighlightAll")->setChecked(true);
    QTest::keyClicks(find, "apple");
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_EQ(part<QLabel>("lblFindStatus")->text(), "1 of 2 matches");
    auto* text = part<QtHistoryText>("txtHistory");
    EXPECT_TRUE(anyPixelOf(text->viewport(), QColor(255, 255, 0))) << "the other match is marked";

    text->setFocus();
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.contents, "apple");

    QTest::keyClick(views.shown, Qt::Key_Escape);
    EXPECT_FALSE(views.shown->isVisible());
    window.findChild<QAction*>("ViewSessionHistory")->trigger();
    EXPECT_TRUE(views.shown->isVisible());
}

TEST_F(SessionHistoryWidget, SelectingWithTheMouseOrCtrlACopiesAcrossLines) {
    window.findChild<QAction*>("ViewSessionHistory")->trigger();
    ASSERT_NE(views.shown, nullptr);
    auto* text = part<QtHistoryText>("txtHistory");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(views.shown));
    const int row = text->fontMetrics().lineSpacing();
    QWidget* area = text->viewport();
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(2, row / 2));
    QTest::mouseMove(area, QPoint(2000, row + row / 2));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(2000, row + row / 2));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.contents, "an apple a day\r\ntwo pears");

    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.contents, "an apple a day\r\ntwo pears\r\none more apple");
}

// Lines wider than the box wrap: a drag down one row stays in the long line.
TEST_F(SessionHistoryWidget, LongLinesWrapInTheWindow) {
    TextLine line;
    line.text = std::string(400, 'w') + " END";
    client.outputBuffer().showLine(line, -1);
    client.outputBuffer().flush();
    window.findChild<QAction*>("ViewSessionHistory")->trigger();
    auto* text = part<QtHistoryText>("txtHistory");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(views.shown));
    EXPECT_FALSE(text->horizontalScrollBar()->isVisible());
    QWidget* area = text->viewport();
    const int row = text->fontMetrics().lineSpacing();
    // Three short lines, then the long one from the fourth row on.
    const QPoint firstRowEnd(area->width() - 2, 3 * row + row / 2);
    const QPoint secondRowEnd(area->width() - 2, 4 * row + row / 2);
    QTest::mousePress(area, Qt::LeftButton, {}, firstRowEnd);
    QTest::mouseMove(area, secondRowEnd);
    QTest::mouseRelease(area, Qt::LeftButton, {}, secondRowEnd);
    text->setFocus();
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(clipboard.contents.empty());
    EXPECT_EQ(clipboard.contents.find_first_not_of('w'), std::string::npos)
        << "both rows are the one long line";
}

struct ScrollbackPane : SessionHistoryWidget {
    void SetUp() override {
        SessionHistoryWidget::SetUp();
        box = window.outputBox();
        addLines(0, 600);
    }
    void addLines(int from, int to) {
        for (int i = from; i < to; ++i) {
            TextLine line;
            line.text = "flood line " + std::to_string(i);
            client.outputBuffer().showLine(line, -1);
        }
        client.outputBuffer().flush();
    }
    void wheel(int notches) {
        QWheelEvent event(QPointF(10, 10), box->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box->viewport(), &event);
    }
    QLineEdit* input() const { return window.findChild<QLineEdit*>("Text1"); }
    bool paneOpen() const { return box->scrollback() != nullptr && box->scrollback()->isVisible(); }
    QtOutputBox* box = nullptr;
};

TEST_F(ScrollbackPane, WheelOrPageUpOpensItAboveTheLiveLinesWhichKeepArriving) {
    wheel(1);
    ASSERT_TRUE(paneOpen());
    QtScrollbackPane* pane = box->scrollback();
    EXPECT_LT(pane->geometry().bottom(), box->viewport()->geometry().bottom()) << "live lines show below";
    EXPECT_LT(pane->lastVisibleLine(), client.sessionHistory().endLine() - 3);
    const std::uint64_t top = pane->firstVisibleLine();
    wheel(2);
    EXPECT_EQ(pane->firstVisibleLine(), top - 6) << "three lines a notch";
    addLines(600, 700);
    EXPECT_EQ(pane->firstVisibleLine(), top - 6) << "the place read back stays while lines arrive";
    EXPECT_TRUE(input()->hasFocus() || !pane->hasFocus()) << "the pane takes no keyboard";

    // From the input line: Escape closes, PageUp opens, PageDown past the newest closes.
    QTest::keyClick(input(), Qt::Key_Escape);
    EXPECT_FALSE(paneOpen());
    QTest::keyClick(input(), Qt::Key_PageUp);
    ASSERT_TRUE(paneOpen());
    for (int i = 0; i < 100 && paneOpen(); ++i) {
        QTest::keyClick(input(), Qt::Key_PageDown);
    }
    EXPECT_FALSE(paneOpen());
}

TEST_F(ScrollbackPane, TheScrollBarOpensItAndTurnedOffTheBoxScrollsAsBefore) {
    QScrollBar* bar = box->verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_TRUE(paneOpen());
    EXPECT_EQ(bar->value(), bar->maximum()) << "the live lines stay at the newest";
    box->closeScrollback();

    box->setScrollback(nullptr);
    wheel(1);
    EXPECT_FALSE(paneOpen());
    EXPECT_LT(bar->value(), bar->maximum());
}

// The first point of the text, row by row, over a link still kept (a row is
// taller, and a letter wider, than the steps).
std::optional<QPoint> historyLinkPoint(const QtHistoryText& text) {
    for (int y = 1; y < text.viewport()->height(); y += 6) {
        for (int x = 1; x < text.viewport()->width(); x += 5) {
            if (text.linkAt(QPoint(x, y)) != 0) {
                return QPoint(x, y);
            }
        }
    }
    return std::nullopt;
}

TEST(HistoryTextLinks, ALinkReadBackIsClickedUntilTheStoreLetsItGo) {
    SessionHistory history;
    MxpLinks links;
    MxpLink north;
    north.commands = {"north"};
    const std::uint32_t number = links.add(north);
    TextStyle style;
    style.link = number;
    const StyleSpan spans[] = {StyleSpan{7, 5, style}};
    history.append("Exits: north", spans, nullptr, true);
    history.append("Exits: north, as text", {}, nullptr, true);

    QtHistoryText text;
    text.resize(400, 200);
    text.setHistory(&history);
    std::vector<std::uint32_t> clicked;
    text.setLinkHandler([&](std::uint32_t link) { clicked.push_back(link); });
    text.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&text));
    EXPECT_FALSE(historyLinkPoint(text)) << "no store, no links";
    const QImage plain = text.grab().toImage();

    text.setLinks(&links);
    const std::optional<QPoint> at = historyLinkPoint(text);
    ASSERT_TRUE(at);
    EXPECT_NE(text.grab().toImage(), plain) << "a kept link is underlined";
    QTest::mouseClick(text.viewport(), Qt::LeftButton, {}, *at);
    EXPECT_EQ(clicked, std::vector<std::uint32_t>{number});
    QTest::mousePress(text.viewport(), Qt::LeftButton, {}, *at);
    QTest::mouseRelease(text.viewport(), Qt::LeftButton, {}, *at + QPoint(40, 0));
    EXPECT_EQ(clicked.size(), 1u) << "a drag from a link selects";

    for (std::size_t i = 0; i < MxpLinks::kKept; ++i) {
        links.add(north);
    }
    text.viewport()->update();
    EXPECT_FALSE(historyLinkPoint(text)) << "its number is gone from the store";
    EXPECT_EQ(text.grab().toImage(), plain) << "and it reads as plain text";
    QTest::mouseClick(text.viewport(), Qt::LeftButton, {}, *at);
    EXPECT_EQ(clicked.size(), 1u);
}

// Over a link, the world's hint is the tool tip, in the output as read
// back; markup in it is shown as the characters it is made of.
TEST(HistoryTextLinks, TheHintIsTheToolTipAsPlainText) {
    MxpLinks links;
    MxpLink north;
    north.commands = {"north"};
    north.hint = "<b>Walk</b> north & on";
    TextStyle style;
    style.link = links.add(north);
    const StyleSpan spans[] = {StyleSpan{7, 5, style}};
    SessionHistory history;
    history.append("Exits: north", spans, nullptr, true);
    QtHistoryText text;
    text.resize(400, 200);
    text.setHistory(&history);
    text.setLinks(&links);
    QtOutputBox box;
    box.resize(400, 200);
    box.setLinks(&links);
    box.appendText("Exits: north", {OutputSpan{7, 5, style, -1}}, {});
    box.endUpdate();
    text.show();
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

    std::optional<QPoint> inBox;
    for (int y = 1; y < box.viewport()->height() && !inBox; y += 6) {
        for (int x = 1; x < box.viewport()->width() && !inBox; x += 5) {
            if (box.linkAt(QPoint(x, y)) != 0) {
                inBox = QPoint(x, y);
            }
        }
    }
    const std::optional<QPoint> inText = historyLinkPoint(text);
    ASSERT_TRUE(inBox && inText);
    const std::pair<QWidget*, QPoint> overLinks[] = {{box.viewport(), *inBox}, {text.viewport(), *inText}};
    for (const auto& [viewport, at] : overLinks) {
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
        EXPECT_TRUE(waitUntil([] { return QToolTip::isVisible(); }));
        EXPECT_TRUE(QToolTip::text().contains("&lt;b&gt;Walk&lt;/b&gt; north &amp; on"))
            << QToolTip::text().toStdString();
        QHelpEvent away(QEvent::ToolTip, QPoint(2, 190), viewport->mapToGlobal(QPoint(2, 190)));
        QApplication::sendEvent(viewport, &away);
        EXPECT_TRUE(waitUntil([] { return !QToolTip::isVisible(); })) << "no tip away from the link";
    }
}

} // namespace
} // namespace corvane::testing
