#include "qt/qt_key_names.h"

#include <QKeyEvent>

namespace corvane {

namespace {

// The keypad with Num Lock off sends the keys printed under the digits.
std::string keypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return "KP" + std::to_string(key - Qt::Key_0);
    }
    switch (key) {
    case Qt::Key_Insert:
        return "KP0";
    case Qt::Key_End:
        return "KP1";
    case Qt::Key_Down:
        return "KP2";
    case Qt::Key_PageDown:
        return "KP3";
    case Qt::Key_Left:
        return "KP4";
    case Qt::Key_Clear:
        return "KP5";
    case Qt::Key_Right:
        return "KP6";
    case Qt::Key_Home:
        return "KP7";
    case Qt::Key_Up:
        return "KP8";
    case Qt::Key_PageUp:
        return "KP9";
    case Qt::Key_Slash:
        return "KP/";
    case Qt::Key_Asterisk:
        return "KP*";
    case Qt::Key_Minus:
        return "KP-";
    case Qt::Key_Plus:
        return "KP+";
    case Qt::Key_Delete:
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return "KP.";
    default:
        return {};
    }
}

} // namespace

std::string BoundKeyName(const QKeyEvent& event) {
    const int key = event.key();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    std::string base;
    if (modifiers & Qt::KeypadModifier) {
        base = keypadKey(key);
    } else if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        base = "F" + std::to_string(key - Qt::Key_F1 + 1);
    } else if ((modifiers & (Qt::ControlModifier | Qt::AltModifier)) &&
               ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))) {
        base = std::string(1, static_cast<char>(key));
    }
    if (base.empty()) {
        return {};
    }
    // AltGr arrives on some systems as Ctrl+Alt: a character it types is typing.
    if ((modifiers & Qt::ControlModifier) && (modifiers & Qt::AltModifier) && base.size() == 1 &&
        !event.text().isEmpty() && event.text().at(0).isPrint()) {
        return {};
    }
    return std::string((modifiers & Qt::ControlModifier) ? "Ctrl+" : "") +
           ((modifiers & Qt::AltModifier) ? "Alt+" : "") + ((modifiers & Qt::ShiftModifier) ? "Shift+" : "") + base;
}

} // namespace corvane
