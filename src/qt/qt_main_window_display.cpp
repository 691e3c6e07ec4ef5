#include "qt/qt_main_window.h"

#include "qt/qt_colours.h"
#include "qt/qt_main_layout.h"
#include "qt/qt_output_box.h"
#include "qt/qt_text.h"

#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

namespace corvane {

// The main window's side of the display settings: the input box's font and
// colours, which the output box and the history list follow, and the window's
// place on the screen.

DisplayView::Font QtMainWindow::inputFont() const {
    const QFont font = m_input->font();
    return Font{fromQt(font.family()), static_cast<float>(font.pointSizeF()), font.bold(), font.italic()};
}

bool QtMainWindow::setInputFontName(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    // A family this machine lacks still applies: the closest fixed-pitch font
    // stands in and the stored name stays as the user chose it.
    QFont font = m_input->font();
    font.setFamily(toQt(name));
    font.setStyleHint(QFont::TypeWriter);
    m_input->setFont(font);
    return true;
}

void QtMainWindow::setInputFontSize(float size) {
    QFont font = m_input->font();
    font.setPointSizeF(size);
    m_input->setFont(font);
}

void QtMainWindow::setInputFontStyle(bool bold, bool italic) {
    QFont font = m_input->font();
    font.setBold(bold);
    font.setItalic(italic);
    m_input->setFont(font);
}

std::int32_t QtMainWindow::inputTextColour() const {
    return colourValue(m_textColour);
}
std::int32_t QtMainWindow::inputBackColour() const {
    return colourValue(m_backColour);
}

void QtMainWindow::setDisplayTextColour(std::int32_t colour) {
    m_textColour = fromColourValue(colour, false);
    applyColours();
}

void QtMainWindow::setDisplayBackColour(std::int32_t colour) {
    m_backColour = fromColourValue(colour, true);
    applyColours();
}

void QtMainWindow::applyColours() {
    for (QWidget* widget : {static_cast<QWidget*>(m_input), static_cast<QWidget*>(m_history)}) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Text, m_textColour);
        palette.setColor(QPalette::Base, m_backColour);
        widget->setPalette(palette);
    }
    m_output->setDisplayLook(m_input->font(), m_textColour, m_backColour);
}

void QtMainWindow::ApplyDisplaySettings() {
    m_history->setFont(m_input->font());
    m_output->setDisplayLook(m_input->font(), m_textColour, m_backColour);
    scrollOutputToEnd();
}

void QtMainWindow::scrollOutputToEnd() {
    m_output->endUpdate();
}

DisplayView::Geometry QtMainWindow::windowGeometry() const {
    return m_layout->geometry();
}

void QtMainWindow::setWindowTop(int top) {
    m_layout->setTop(top);
}
void QtMainWindow::setWindowLeft(int left) {
    m_layout->setLeft(left);
}
void QtMainWindow::setWindowHeight(int height) {
    m_layout->setHeight(height);
}
void QtMainWindow::setWindowWidth(int width) {
    m_layout->setWidth(width);
}

int QtMainWindow::screenHeight() const {
    return m_layout->screenArea().height;
}
int QtMainWindow::screenWidth() const {
    return m_layout->screenArea().width;
}
DisplayView::Geometry QtMainWindow::screenArea() const {
    return m_layout->screenArea();
}

MainLayoutView& QtMainWindow::layoutView() {
    return *m_layout;
}

void QtMainWindow::setBarVisible(bool commandBar, bool visible) {
    (commandBar ? m_commandBar : m_macroBar)->setVisible(visible);
}

} // namespace corvane
