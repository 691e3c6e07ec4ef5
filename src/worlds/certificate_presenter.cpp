#include "worlds/certificate_presenter.h"

namespace corvane {

CertificatePresenter::CertificatePresenter(CertificateView& view, std::string worldName,
                                           PeerCertificate certificate, std::string previousSha256)
    : m_view(view)
    , m_worldName(std::move(worldName))
    , m_certificate(std::move(certificate))
    , m_previousSha256(std::move(previousSha256)) {}

void CertificatePresenter::load() {
    const bool changed = !m_previousSha256.empty();
    const std::string world = m_worldName.empty() ? m_certificate.host : m_worldName;
    m_view.setTitle(changed ? "Certificate CHANGED - " + world : "Secure connection - " + world);
    if (changed) {
        m_view.setHeadline("WARNING: the certificate of " + world +
                               " has CHANGED since you trusted it.\r"
                               "Someone may be listening in between you and the world. Only trust the new "
                               "one if the world's owners have announced a new certificate.\r"
                               "Nothing has been sent to the server.",
                           true);
    } else {
        m_view.setHeadline("Corvane cannot confirm that this server is " + m_certificate.host +
                               ".\rMany worlds make their own certificate. If you trust this one, "
                               "Corvane will accept it silently from now on and warn you if it changes.\r"
                               "Nothing has been sent to the server.",
                           false);
    }
    m_view.setCertificate(m_certificate);
    m_view.setPreviousFingerprint(m_previousSha256);
}

void CertificatePresenter::onTrust() {
    m_trusted = true;
    m_view.closeDialog();
}

void CertificatePresenter::onCancel() {
    m_trusted = false;
    m_view.closeDialog();
}

} // namespace corvane
