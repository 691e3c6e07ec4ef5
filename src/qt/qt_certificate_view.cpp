#include "qt/qt_certificate_view.h"

#include "qt/qt_text.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace corvane {

namespace {

QLabel* plainLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

// Two rows of 32 digits read and compare more easily than one of 64.
QString fingerprintText(const std::string& sha256) {
    QString text = toQt(sha256);
    if (text.size() > 32) {
        text.insert(32, QChar('\n'));
    }
    return text;
}

QString lines(const std::string& text) {
    QString result = toQt(text);
    result.replace(QChar('\r'), QChar('\n'));
    return result;
}

} // namespace

QtCertificateView::QtCertificateView(QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmCertificate");

    m_icon = new QLabel(this);
    m_headline = plainLabel(this, "lblHeadline");
    m_host = plainLabel(this, "lblHost");
    m_subject = plainLabel(this, "lblSubject");
    m_issuer = plainLabel(this, "lblIssuer");
    m_validity = plainLabel(this, "lblValidity");
    m_fingerprint = plainLabel(this, "lblFingerprint");
    m_problem = plainLabel(this, "lblProblem");
    m_previous = plainLabel(this, "lblPreviousFingerprint");
    m_headline->setAccessibleName(tr("What Corvane found"));
    m_previous->setAccessibleName(tr("Fingerprint trusted before"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_fingerprint->setFont(fixed);
    m_previous->setFont(fixed);

    auto* details = new QFormLayout;
    details->addRow(tr("Host:"), m_host);
    details->addRow(tr("Subject:"), m_subject);
    details->addRow(tr("Issuer:"), m_issuer);
    details->addRow(tr("Valid:"), m_validity);
    details->addRow(tr("SHA-256 fingerprint:"), m_fingerprint);
    details->addRow(tr("Problem:"), m_problem);
    m_previousLabel = new QLabel(tr("Trusted before:"), this);
    details->addRow(m_previousLabel, m_previous);

    auto* trust = new QPushButton(tr("&Trust this certificate for this world"), this);
    trust->setObjectName("btnTrust");
    trust->setAutoDefault(false);
    // Enter must never trust by accident.
    auto* cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName("btnCancel");
    cancel->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(trust);
    buttons->addWidget(cancel);

    auto* top = new QHBoxLayout;
    top->addWidget(m_icon, 0, Qt::AlignTop);
    top->addWidget(m_headline, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(details);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(trust, &QPushButton::clicked, this, [this] {
        if (m_events != nullptr) {
            m_events->onTrust();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QtCertificateView::reject);
    setMinimumWidth(560);
}

void QtCertificateView::setTitle(const std::string& title) {
    setWindowTitle(toQt(title));
}

void QtCertificateView::setHeadline(const std::string& text, bool changed) {
    m_headline->setText(lines(text));
    const QStyle::StandardPixmap icon =
        changed ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning;
    m_icon->setPixmap(style()->standardIcon(icon).pixmap(32, 32));
    m_headline->setStyleSheet(changed ? QStringLiteral("color: #b00000; font-weight: bold") : QString());
}

void QtCertificateView::setCertificate(const PeerCertificate& certificate) {
    m_host->setText(toQt(certificate.host));
    m_subject->setText(toQt(certificate.subject));
    m_issuer->setText(toQt(certificate.issuer));
    m_validity->setText(
        tr("from %1 until %2").arg(toQt(certificate.validFrom), toQt(certificate.validUntil)));
    m_fingerprint->setText(fingerprintText(certificate.sha256));
    m_problem->setText(toQt(certificate.problem));
}

void QtCertificateView::setPreviousFingerprint(const std::string& sha256) {
    m_previous->setText(fingerprintText(sha256));
    m_previousLabel->setVisible(!sha256.empty());
    m_previous->setVisible(!sha256.empty());
}

void QtCertificateView::runModal() {
    exec();
}

void QtCertificateView::closeDialog() {
    done(QDialog::Accepted);
}

void QtCertificateView::reject() {
    if (m_events != nullptr) {
        m_events->onCancel();
    } else {
        QDialog::reject();
    }
}

} // namespace corvane
