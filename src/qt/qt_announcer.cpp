#include "qt/qt_announcer.h"

#include "qt/qt_text.h"

#include <QAccessible>
#include <QLabel>
#include <QWidget>

namespace corvane {

QtAnnouncer::QtAnnouncer(QWidget* window)
    : m_window(window) {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    m_label = new QLabel(window);
    m_label->setObjectName("Announcement");
    m_label->setAccessibleName(QObject::tr("Announcement"));
    // A pixel in the corner: shown, so it is in the accessible tree, and out of the way.
    m_label->setGeometry(0, 0, 1, 1);
    m_label->setFocusPolicy(Qt::NoFocus);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->show();
#endif
}

void QtAnnouncer::announce(const std::string& text) {
    const QString said = toQt(text);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(m_window, said);
    QAccessible::updateAccessibility(&event);
#else
    // The name only (no text drawn); the same news twice is said twice.
    m_label->setAccessibleName(said);
    QAccessibleEvent named(m_label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
#endif
}

} // namespace corvane
