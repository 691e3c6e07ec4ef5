#include "qt/qt_keyring.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QString>
#include <qt6keychain/keychain.h>

namespace corvane {

namespace {

const QString kService = QStringLiteral("Corvane");
const QString kSecretService = QStringLiteral("org.freedesktop.secrets");

bool run(QKeychain::Job& job) {
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return job.error() == QKeychain::NoError;
}

} // namespace

std::string QtKeyring::unavailableReason() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return "Unavailable: this session has no D-Bus session bus.";
    }
    QDBusConnectionInterface* names = bus.interface();
    if (names == nullptr) {
        return "Unavailable: this session has no D-Bus session bus.";
    }
    if (names->isServiceRegistered(kSecretService).value() ||
        names->activatableServiceNames().value().contains(kSecretService)) {
        return {};
    }
    return "Unavailable: no keyring service (Secret Service) runs in this session.";
}

bool QtKeyring::write(const std::string& account, const std::string& secret) {
    QKeychain::WritePasswordJob job(kService);
    job.setInsecureFallback(false);
    job.setKey(QString::fromStdString(account));
    job.setTextData(QString::fromStdString(secret));
    return run(job);
}

std::optional<std::string> QtKeyring::read(const std::string& account) {
    QKeychain::ReadPasswordJob job(kService);
    job.setInsecureFallback(false);
    job.setKey(QString::fromStdString(account));
    if (!run(job)) {
        return std::nullopt;
    }
    return job.textData().toStdString();
}

bool QtKeyring::erase(const std::string& account) {
    QKeychain::DeletePasswordJob job(kService);
    job.setInsecureFallback(false);
    job.setKey(QString::fromStdString(account));
    return run(job) || job.error() == QKeychain::EntryNotFound;
}

} // namespace corvane
