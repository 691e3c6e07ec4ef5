#pragma once

#include "worlds/certificate_view.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace corvane {

// The certificate question: why it is asked, the certificate's details (all
// plain, selectable text from the server), and Trust or Cancel.
class QtCertificateView : public QDialog, public CertificateView {
    Q_OBJECT
public:
    explicit QtCertificateView(QWidget* parent);

    void setEvents(CertificateEvents* events) override { m_events = events; }
    void setTitle(const std::string& title) override;
    void setHeadline(const std::string& text, bool changed) override;
    void setCertificate(const PeerCertificate& certificate) override;
    void setPreviousFingerprint(const std::string& sha256) override;
    void runModal() override;
    void closeDialog() override;

protected:
    void reject() override;

private:
    CertificateEvents* m_events = nullptr;
    QLabel* m_icon = nullptr;
    QLabel* m_headline = nullptr;
    QLabel* m_host = nullptr;
    QLabel* m_subject = nullptr;
    QLabel* m_issuer = nullptr;
    QLabel* m_validity = nullptr;
    QLabel* m_fingerprint = nullptr;
    QLabel* m_problem = nullptr;
    QLabel* m_previousLabel = nullptr;
    QLabel* m_previous = nullptr;
};

} // namespace corvane
