#pragma once

#include <QIcon>
#include <QPixmap>

namespace corvane {

// The window icon, drawn rather than shipped; the activity form carries a dot
// that tells a minimised window has new text.
QIcon AppIcon(bool activity);
// One size of it; the PNG icons installed for the desktop are these.
QPixmap IconPixmap(int size, bool activity);

// The closed padlock shown while a secure session is up.
QPixmap LockPixmap(int size);

} // namespace corvane
