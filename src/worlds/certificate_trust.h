#pragma once

#include "platform/socket.h"

#include <string>

namespace corvane {

class ViewFactory;

inline constexpr const char* kCertificateKey = "CertSHA256";

// Whether a secure connection may go on with the certificate the server
// showed. A certificate this system's roots vouch for, for the host asked,
// passes. Otherwise the fingerprint the user trusted for the world (its
// section's "CertSHA256") passes silently; any other certificate is shown
// to the user, with a warning when it replaces a trusted one, and passes
// only when the user trusts it, which stores its fingerprint.
class CertificateTrust {
public:
    CertificateTrust(ViewFactory& views, std::string settingsPath);

    bool decide(const std::string& worldName, const PeerCertificate& certificate);

private:
    ViewFactory& m_views;
    std::string m_settingsPath;
};

// The fingerprint stored for the world: 64 lower-case hexadecimal digits, or
// empty when there is none or the stored text is not one.
std::string TrustedFingerprint(const std::string& worldName, const std::string& settingsPath);

} // namespace corvane
