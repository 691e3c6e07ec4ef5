#include "qt/qt_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace corvane {

void QtNotifier::notify(const std::string& title, const std::string& text) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        "org.freedesktop.Notifications", "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "Notify");
    // The body is plain text: servers that read markup get it escaped.
    QString body = QString::fromStdString(text).toHtmlEscaped();
    call << QString("Corvane") << 0u << QString("corvane") << QString::fromStdString(title) << body << QStringList()
         << QVariantMap() << -1;
    // Fire and forget: the answer (the notification's id) is of no use here.
    bus.call(call, QDBus::NoBlock);
}

} // namespace corvane
