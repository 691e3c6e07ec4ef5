#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "settings/settings.h"
#include "worlds/certificate_trust.h"

#include <gtest/gtest.h>
#include <ostream>

namespace corvane::testing {
namespace {

const std::string kFingerprint(64, 'a');
const std::string kOtherFingerprint(64, 'b');

PeerCertificate certificate(bool verified) {
    PeerCertificate shown;
    shown.host = "beta.example";
    shown.subject = "CN = beta.example";
    shown.issuer = shown.subject;
    shown.sha256 = kFingerprint;
    shown.verified = verified;
    shown.problem =
        verified ? "" : "The certificate is self-signed: no authority this system trusts vouches for it.";
    return shown;
}

const std::string kWorlds = "[Addresses]\r\n"
                            "MUD 1=Alpha,alpha.example,4201\r\n"
                            "MUD 2=Beta,beta.example,8888\r\n"
                            "[Beta]\r\n"
                            "Secure=True\r\n"
                            "Character 1=bob,W!-@9\r\n";

// The address book and the connection on a real settings file.
struct SecureWorldTest : ::testing::Test {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    std::unique_ptr<ClientHarness> h;

    void start(const std::string& ini = kWorlds, const std::string& commandLine = {}) {
        folder.write("CORVANE.INI", ini);
        h = std::make_unique<ClientHarness>(commandLine, path);
    }
    void connectWith(std::function<void(FakeAddressBookView&)> script) {
        h->views.addressBookScript = std::move(script);
        h->client.FileConnect();
    }
    std::string setting(const char* section, const char* key) { return ReadSetting(section, key, path); }
};

TEST_F(SecureWorldTest, TheSecureBoxShowsTheWorldsKeyAndOkConnectsWithTls) {
    start();
    connectWith([](FakeAddressBookView& d) {
        EXPECT_FALSE(d.secureTicked) << "Alpha is plain";
        d.pick(1);
        EXPECT_TRUE(d.secureTicked);
        d.clickOk();
    });
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"tls:beta.example:8888"});
    EXPECT_EQ(folder.read("CORVANE.INI"), kWorlds);
}

TEST_F(SecureWorldTest, ANewSecureWorldIsStoredWithItsKey) {
    start();
    h->prompts.answers = {PromptAnswer::Yes};
    connectWith([](FakeAddressBookView& d) {
        d.clickNew();
        d.newName = "Delta";
        d.typeHost("delta.example");
        d.typePort("6699");
        d.clickSecure();
        d.clickOk();
    });
    ASSERT_EQ(h->prompts.questions.size(), 1U);
    EXPECT_EQ(h->prompts.questions[0].text,
              "Delta\rHost: delta.example\rPort: 6699\rSecure (TLS): Yes\r\r\rAdd this MUD?");
    EXPECT_EQ(setting("Addresses", "MUD 3"), "Delta,delta.example,6699");
    EXPECT_EQ(setting("Delta", "Secure"), "True");
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"tls:delta.example:6699"});
}

struct ToggleRow {
    const char* name;
    int world;
    PromptAnswer answer;
    const char* questionLine;
    const char* storedAfter;
    const char* connect;
};

std::ostream& operator<<(std::ostream& out, const ToggleRow& row) {
    return out << row.name;
}

struct SecureToggle : SecureWorldTest, ::testing::WithParamInterface<ToggleRow> {};

TEST_P(SecureToggle, ChangingTheBoxOffersAnUpdateLikeAnAddress) {
    const ToggleRow& row = GetParam();
    start();
    h->prompts.answers = {row.answer};
    connectWith([&](FakeAddressBookView& d) {
        d.pick(row.world);
        d.clickSecure();
        d.clickOk();
    });
    ASSERT_EQ(h->prompts.questions.size(), 1U);
    EXPECT_NE(h->prompts.questions[0].text.find(row.questionLine), std::string::npos)
        << h->prompts.questions[0].text;
    EXPECT_EQ(setting(row.world == 0 ? "Alpha" : "Beta", "Secure"), row.storedAfter);
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{row.connect});
}

INSTANTIATE_TEST_SUITE_P(Answers, SecureToggle,
                         ::testing::Values(ToggleRow{"TickedAndStored", 0, PromptAnswer::Yes,
                                                     "\rSecure (TLS): Yes\r\rThe Address or "
                                                     "Port has changed.",
                                                     "True", "tls:alpha.example:4201"},
                                           ToggleRow{"TickedForThisConnectOnly", 0, PromptAnswer::No,
                                                     "Secure (TLS): Yes", "", "tls:alpha.example:4201"},
                                           ToggleRow{"ClearedAndStored", 1, PromptAnswer::Yes,
                                                     "Secure (TLS): No", "", "beta.example:8888"}),
                         [](const ::testing::TestParamInfo<ToggleRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SecureWorldTest, ATelnetsAddressPicksTheSecureWorldAndConnectsAtOnce) {
    start(kWorlds, "telnets://beta.example:8888");
    h->client.start();
    EXPECT_TRUE(h->prompts.questions.empty());
    EXPECT_EQ(h->socket.connectCalls, std::vector<std::string>{"tls:beta.example:8888"});
    EXPECT_EQ(h->client.session().WorldName, "Beta");
}

TEST_F(SecureWorldTest, TheLockShowsOnlyWhileTheSecureSessionIsUp) {
    start();
    connectWith([](FakeAddressBookView& d) {
        d.pick(1);
        d.clickOk();
    });
    h->client.sender().SendCommand("connect bob secret\r\n");
    EXPECT_EQ(h->window.secureIndicator, "");
    h->socket.presentCertificate(certificate(true));
    EXPECT_EQ(h->socket.certificatesAccepted, 1);
    EXPECT_TRUE(h->views.certificateQuestions.empty());
    EXPECT_EQ(h->window.secureIndicator, "TLS 1.3");
    h->socket.serverCloses();
    EXPECT_EQ(h->window.secureIndicator, "");
}

TEST_F(SecureWorldTest, ACancelledCertificateEndsTheConnectWithoutABoxOrAPlainRetry) {
    start();
    connectWith([](FakeAddressBookView& d) {
        d.pick(1);
        d.clickOk();
    });
    const int closesBefore = h->socket.closeCalls;
    h->socket.presentCertificate(certificate(false));
    ASSERT_EQ(h->views.certificateQuestions.size(), 1U);
    EXPECT_EQ(h->socket.certificatesAccepted, 0);
    EXPECT_GT(h->socket.closeCalls, closesBefore);
    EXPECT_FALSE(h->client.session().Connected);
    EXPECT_NE(h->window.output.find("*** The certificate of beta.example was not trusted; nothing was sent."),
              std::string::npos);
    EXPECT_TRUE(h->prompts.messages.empty());
    EXPECT_EQ(h->window.labels[0], "Status: Off Line");
    EXPECT_EQ(h->socket.connectCalls.size(), 1U);
}

// ---- The rule: which certificates pass ----------------------------------

struct TrustRow {
    const char* name;
    // What the world's section holds besides its characters ("" for nothing).
    std::string stored;
    bool inTheBook;
    bool verified;
    // The user's answer when asked; nullopt: closes the window.
    std::optional<bool> trusts;
    bool passes;
    // -1: not asked; 0: asked about a new certificate; 1: warned it changed.
    int asked;
    std::string storedAfter;
};

std::ostream& operator<<(std::ostream& out, const TrustRow& row) {
    return out << row.name;
}

struct CertificateRule : ::testing::TestWithParam<TrustRow> {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    FakeViewFactory views;
};

TEST_P(CertificateRule, DecidesAndRemembersPerWorld) {
    const TrustRow& row = GetParam();
    folder.write("CORVANE.INI", std::string("[Addresses]\r\n") +
                                    (row.inTheBook ? "MUD 1=Beta,beta.example,8888\r\n" : "") + "[Beta]\r\n" +
                                    (row.stored.empty() ? "" : "CertSHA256=" + row.stored + "\r\n"));
    if (row.trusts) {
        views.certificateScript = [&](FakeCertificateView& question) {
            *row.trusts ? question.events->onTrust() : question.events->onCancel();
        };
    }
    EXPECT_EQ(CertificateTrust(views, path).decide("Beta", certificate(row.verified)), row.passes);
    if (row.asked < 0) {
        EXPECT_TRUE(views.certificateQuestions.empty());
    } else {
        ASSERT_EQ(views.certificateQuestions.size(), 1U);
        EXPECT_EQ(views.certificateQuestions[0].changed, row.asked == 1);
        EXPECT_EQ(views.certificateQuestions[0].previous, row.asked == 1 ? kOtherFingerprint : "");
        EXPECT_EQ(views.certificateQuestions[0].certificate.sha256, kFingerprint);
    }
    EXPECT_EQ(ReadSetting("Beta", "CertSHA256", path), row.storedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CertificateRule,
    ::testing::Values(
        TrustRow{"VerifiedPassesUnasked", "", true, true, std::nullopt, true, -1, ""},
        TrustRow{"TrustedFingerprintPassesUnasked", kFingerprint, true, false, std::nullopt, true, -1,
                 kFingerprint},
        TrustRow{"FingerprintInCapitalsStillMatches", std::string(64, 'A'), true, false, std::nullopt, true,
                 -1, std::string(64, 'A')},
        TrustRow{"FirstSightTrustedIsStored", "", true, false, true, true, 0, kFingerprint},
        TrustRow{"FirstSightCancelled", "", true, false, false, false, 0, ""},
        TrustRow{"FirstSightWindowClosed", "", true, false, std::nullopt, false, 0, ""},
        TrustRow{"ChangedIsWarnedAndRefused", kOtherFingerprint, true, false, false, false, 1,
                 kOtherFingerprint},
        TrustRow{"ChangedTrustedReplacesTheOld", kOtherFingerprint, true, false, true, true, 1, kFingerprint},
        TrustRow{"WorldNotInTheBookIsTrustedForThisConnectOnly", "", false, false, true, true, 0, ""},
        TrustRow{"AStoredTextThatIsNoFingerprintIsNoWarning", "xyz", true, false, false, false, 0, "xyz"}),
    [](const ::testing::TestParamInfo<TrustRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
