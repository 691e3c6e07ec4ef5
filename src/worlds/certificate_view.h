#pragma once

#include "platform/socket.h"

#include <string>

namespace corvane {

// What the user does in the certificate question.
class CertificateEvents {
public:
    virtual ~CertificateEvents() = default;
    // "Trust this certificate for this world".
    virtual void onTrust() = 0;
    virtual void onCancel() = 0;
};

// The modal question shown when a secure world's certificate cannot be
// checked: why it is asked, the certificate's details, and the choice to
// trust it for this world or not connect.
class CertificateView {
public:
    virtual ~CertificateView() = default;
    virtual void setEvents(CertificateEvents* events) = 0;
    virtual void setTitle(const std::string& title) = 0;
    // The sentence that says why the user is asked; changed makes it a
    // warning that the world's certificate is not the one trusted before.
    virtual void setHeadline(const std::string& text, bool changed) = 0;
    // Host, subject, issuer, validity, fingerprint and the problem found.
    virtual void setCertificate(const PeerCertificate& certificate) = 0;
    // The fingerprint trusted before; empty when there was none.
    virtual void setPreviousFingerprint(const std::string& sha256) = 0;
    // Shows the question and returns once it has closed.
    virtual void runModal() = 0;
    virtual void closeDialog() = 0;
};

} // namespace corvane
