#pragma once

#include "worlds/certificate_view.h"

#include <functional>
#include <string>

namespace corvane::testing {

// The certificate question in memory: it records what it was told and, while
// shown, answers with the test's script (Cancel when there is none).
class FakeCertificateView : public CertificateView {
public:
    void setEvents(CertificateEvents* e) override { events = e; }
    void setTitle(const std::string& text) override { title = text; }
    void setHeadline(const std::string& text, bool isChanged) override {
        headline = text;
        changed = isChanged;
    }
    void setCertificate(const PeerCertificate& shown) override { certificate = shown; }
    void setPreviousFingerprint(const std::string& sha256) override { previous = sha256; }
    void runModal() override {
        open = true;
        if (whileShown) {
            whileShown(*this);
        }
        // Closing the window is Cancel.
        if (open) {
            events->onCancel();
        }
    }
    void closeDialog() override { open = false; }

    CertificateEvents* events = nullptr;
    std::string title;
    std::string headline;
    bool changed = false;
    PeerCertificate certificate;
    std::string previous;
    bool open = false;
    std::function<void(FakeCertificateView&)> whileShown;
};

} // namespace corvane::testing
