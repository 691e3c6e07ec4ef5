#include "widgets/qt_dialog_harness.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(CertificateWidget, ShowsTheServersTextsAsPlainTextAndTrustGoesOn) {
    QtDialogHarness h;
    h.socket.connect("evil.example", 992, true);
    PeerCertificate certificate;
    certificate.host = "evil.example";
    certificate.subject = "CN = <b>bold</b>";
    certificate.issuer = "CN = <i>issuer</i>";
    certificate.validFrom = "2025-01-01 00:00:00 UTC";
    certificate.validUntil = "2026-01-01 00:00:00 UTC";
    certificate.sha256 = std::string(64, 'c');
    certificate.problem = "The certificate is self-signed: no authority this system trusts vouches for it.";
    h.client.session().Connected = true;
    bool ran = false;
    QtDialogHarness::whileModal(
        [&] {
            QWidget* dialog = QtDialogHarness::shownWindow("frmCertificate");
            ASSERT_NE(dialog, nullptr);
            ran = true;
            for (const char* name : {"lblHeadline", "lblHost", "lblSubject", "lblIssuer", "lblValidity",
                                     "lblFingerprint", "lblProblem"}) {
                const auto* label = dialog->findChild<QLabel*>(name);
                ASSERT_NE(label, nullptr) << name;
                EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
            }
            EXPECT_EQ(dialog->findChild<QLabel*>("lblSubject")->text(), "CN = <b>bold</b>");
            EXPECT_EQ(dialog->findChild<QLabel*>("lblFingerprint")->text().remove('\n'),
                      QString(64, QChar('c')));
            EXPECT_FALSE(dialog->findChild<QLabel*>("lblPreviousFingerprint")->isVisible());
            // Enter must not trust.
            EXPECT_TRUE(dialog->findChild<QPushButton*>("btnCancel")->isDefault());
            auto* trust = dialog->findChild<QPushButton*>("btnTrust");
            EXPECT_EQ(trust->text(), "&Trust this certificate for this world");
            QTest::mouseClick(trust, Qt::LeftButton);
        },
        [&] { h.socket.presentCertificate(certificate); });
    ASSERT_TRUE(ran);
    EXPECT_EQ(h.socket.certificatesAccepted, 1);
    EXPECT_EQ(QtDialogHarness::shownWindow("frmCertificate"), nullptr);
}

} // namespace
} // namespace corvane::testing
