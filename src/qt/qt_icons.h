#pragma once

#include <QIcon>

namespace corvane {

// The window icon, drawn rather than shipped; the activity form carries a dot
// that tells a minimised window has new text.
QIcon AppIcon(bool activity);

// The closed padlock shown while a secure session is up.
QPixmap LockPixmap(int size);

} // namespace corvane
