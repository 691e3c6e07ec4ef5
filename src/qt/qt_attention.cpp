#include "qt/qt_attention.h"

#include <QApplication>
#include <QWidget>

namespace corvane {

bool QtAttention::active() const {
    return QApplication::activeWindow() != nullptr;
}

void QtAttention::requestAttention() {
    // Zero: the hint stays until the window is activated.
    QApplication::alert(m_window, 0);
}

} // namespace corvane
