#include "worlds/certificate_trust.h"

#include "core/text_codec.h"
#include "settings/settings.h"
#include "platform/view_factory.h"
#include "worlds/certificate_presenter.h"
#include "worlds/certificate_view.h"
#include "worlds/typed_names.h"
#include "worlds/world_is_stored.h"

#include <algorithm>

namespace corvane {

namespace {

bool isFingerprint(const std::string& text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

} // namespace

std::string TrustedFingerprint(const std::string& worldName, const std::string& settingsPath) {
    if (worldName.empty() || settingsPath.empty()) {
        return {};
    }
    // Written by hand it may be in capitals.
    const std::string stored =
        ToLowerAscii(TrimmedName(ReadSetting(worldName, kCertificateKey, settingsPath)));
    return isFingerprint(stored) ? stored : std::string();
}

CertificateTrust::CertificateTrust(ViewFactory& views, std::string settingsPath)
    : m_views(views)
    , m_settingsPath(std::move(settingsPath)) {}

bool CertificateTrust::decide(const std::string& worldName, const PeerCertificate& certificate) {
    if (certificate.verified) {
        return true;
    }
    if (!isFingerprint(certificate.sha256)) {
        return false;
    }
    const std::string trusted = TrustedFingerprint(worldName, m_settingsPath);
    if (trusted == certificate.sha256) {
        return true;
    }
    auto view = m_views.createCertificateView();
    CertificatePresenter presenter(*view, worldName, certificate, trusted);
    view->setEvents(&presenter);
    presenter.load();
    view->runModal();
    view->setEvents(nullptr);
    if (!presenter.trusted()) {
        return false;
    }
    // Like its characters, only a world in the address book keeps it; one
    // connected to without adding it is trusted for this connection alone.
    if (!worldName.empty() && !m_settingsPath.empty() && !IsProgramSection(worldName) &&
        WorldIsStored(worldName, m_settingsPath)) {
        WriteSetting(worldName, kCertificateKey, certificate.sha256, m_settingsPath);
    }
    return true;
}

} // namespace corvane
