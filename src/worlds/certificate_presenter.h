#pragma once

#include "platform/socket.h"
#include "worlds/certificate_view.h"

#include <string>

namespace corvane {

// The certificate question for one connect: fills the view and remembers
// the user's answer. Cancel, closing the window and every other way out
// mean "do not connect".
class CertificatePresenter : public CertificateEvents {
public:
    CertificatePresenter(CertificateView& view, std::string worldName, PeerCertificate certificate,
                         std::string previousSha256);

    void load();
    bool trusted() const { return m_trusted; }

    void onTrust() override;
    void onCancel() override;

private:
    CertificateView& m_view;
    std::string m_worldName;
    PeerCertificate m_certificate;
    std::string m_previousSha256;
    bool m_trusted = false;
};

} // namespace corvane
