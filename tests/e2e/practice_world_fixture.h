#pragma once

#include "e2e/practice_world_process.h"
#include "e2e/real_client.h"
#include "fakes/fake_address_book_view.h"
#include "qt/qt_player_list_view.h"
#include "qt/qt_view_factory.h"
#include "widgets/qt_wait.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>

namespace corvane::testing {

inline const QByteArray kLoginBytes = "connect Tester password\r\n"
                                      "@set me=_arrive/vrox:&[vrox] {ref:here} {name:here}\r\n"
                                      "OUTPUTPREFIX [on]\r\n"
                                      "OUTPUTSUFFIX [off]\r\n";

// A second player on a raw connection, so others appear in the listings.
class RawPlayer {
public:
    bool connectTo(quint16 port) {
        // What Bob is told does not matter, but it must be read.
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { m_socket.readAll(); });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        return waitUntil([&] { return m_socket.state() == QAbstractSocket::ConnectedState; });
    }
    void send(const QByteArray& bytes) {
        m_socket.write(bytes);
        m_socket.flush();
    }
    bool waitForClose() {
        return waitUntil([&] { return m_socket.state() == QAbstractSocket::UnconnectedState; });
    }

private:
    QTcpSocket m_socket;
};

// The real windows, except that the modal connect dialog is scripted.
class PracticeViews : public QtViewFactory {
public:
    std::unique_ptr<AddressBookView> createAddressBookView() override {
        auto view = std::make_unique<FakeAddressBookView>();
        view->whileShown = addressBookScript;
        return view;
    }
    std::function<void(FakeAddressBookView&)> addressBookScript;
};

// The folder of the settings file, made before the client that is told about it.
struct SettingsFolder {
    QTemporaryDir folder;
    QString settingsPath() const { return folder.filePath("CORVANE.INI"); }
    StartOptions options() const {
        return StartOptions{
            settingsPath().toStdString(), folder.path().toStdString(), {}, folder.path().toStdString(), {}};
    }
};

// The two kinds of server the practice world plays: the classic one that
// frames every reply, and the newer one of its --modern switch.
enum class WorldManner { Framed, Modern };

inline const char* mannerName(WorldManner manner) {
    return manner == WorldManner::Modern ? "Modern" : "Framed";
}

inline void PrintTo(WorldManner manner, std::ostream* out) {
    *out << mannerName(manner);
}

// The client's agreement to the modern world's IAC DO NAWS.
inline const QByteArray kNawsAgreement("\xff\xfb\x1f");

// Bytes a client sent, less its telnet negotiation and subnegotiations.
inline QByteArray withoutTelnet(const QByteArray& bytes) {
    QByteArray text;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte != 0xFF || i + 1 >= bytes.size()) {
            text.append(bytes[i]);
            continue;
        }
        const auto command = static_cast<unsigned char>(bytes[i + 1]);
        if (command >= 0xFB && command <= 0xFE) {
            i += 2;
        } else if (command == 0xFA) {
            const qsizetype end = bytes.indexOf("\xff\xf0", i);
            i = end < 0 ? bytes.size() : end + 1;
        } else {
            ++i;
        }
    }
    return text;
}

// The real client, logged in as Tester on the practice world: real socket,
// main window and player-list window; only the modal boxes are scripted.
struct PracticeWorldE2E : ::testing::Test, SettingsFolder, RealClient<PracticeViews> {
    PracticeWorldProcess world;
    WorldManner manner = WorldManner::Framed;

    PracticeWorldE2E()
        : RealClient<PracticeViews>(options()) {
        views.setParentWindow(&window);
    }

    // Starts the world with the given options and writes a settings file
    // that knows it (plus extra lines for the world's section).
    bool startWorld(const QStringList& options, const QByteArray& worldSettings) {
        QStringList arguments = options;
        if (manner == WorldManner::Modern) {
            arguments << "--modern";
        }
        if (!world.start(folder.filePath("world.log"), arguments)) {
            ADD_FAILURE() << "the practice world did not start";
            return false;
        }
        QFile ini(settingsPath());
        if (!ini.open(QIODevice::WriteOnly)) {
            return false;
        }
        ini.write("[Addresses]\r\nMUD 1=Practice,127.0.0.1," + QByteArray::number(world.port()) +
                  "\r\n\r\n[Practice]\r\nCharacter 1=Tester,B5;@<!=&\r\n" + worldSettings);
        ini.close();
        client.start(false);
        return true;
    }

    // Logs Tester in the way the character dialog does. Unless told
    // otherwise it waits for the reply to the last login command.
    bool logIn(const QStringList& options = {}, const QByteArray& worldSettings = {},
               bool awaitReplies = true) {
        if (!startWorld(options, worldSettings)) {
            return false;
        }
        if (const auto error = client.startLoggedIn("Practice", "Tester")) {
            ADD_FAILURE() << *error;
            return false;
        }
        // "Property set." answers the last login command that has a reply; it is
        // not shown, only counted.
        return !awaitReplies || waitUntil([&] { return client.sender().ownAnswers().hiddenLines() >= 1; });
    }

    // Picks the world in the connect dialog and stays at the login screen.
    bool connectWithoutLogin(const QStringList& options = {}) {
        if (!startWorld(options, {})) {
            return false;
        }
        views.addressBookScript = [](FakeAddressBookView& dialog) {
            dialog.setWorldName("Practice");
            dialog.clickOk();
        };
        client.FileConnect();
        return client.session().Connected &&
               waitUntil([&] { return output().contains("To connect to your character use"); });
    }

    QLineEdit* input() const { return window.findChild<QLineEdit*>("Text1"); }
    QString output() const { return window.outputBox()->toPlainText(); }
    QString label(int index) const {
        return window.findChild<QLabel*>(QString("Label3_%1").arg(index))->text();
    }
    QPushButton* commandButton(int index) const {
        return window.findChild<QPushButton*>(QString("Command13_%1").arg(index));
    }
    QtPlayerListView* playerList() const { return window.findChild<QtPlayerListView*>("Form4"); }

    void typeLine(const QString& text) {
        input()->setText(text);
        QTest::keyClick(input(), Qt::Key_Return);
    }

    // What the client typed on a connection: its bytes less the telnet answers
    // the world draws, which may come between any two of them.
    QByteArray typed(int connection) const { return withoutTelnet(world.received(connection)); }

    // Types a say and waits for its echo: everything typed before has been answered.
    bool sayAndWait(const QString& word, int timeoutMs = 5000) {
        typeLine("say " + word);
        return waitUntil([&] { return output().contains("You say, \"" + word + "\""); }, timeoutMs);
    }
};

inline QStringList entries(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts << list->item(i)->text();
    }
    return texts;
}

// The fixture against either manner of the world.
struct EitherManner : PracticeWorldE2E, ::testing::WithParamInterface<WorldManner> {
    EitherManner() { manner = GetParam(); }
};

inline std::string mannerTestName(const ::testing::TestParamInfo<WorldManner>& info) {
    return mannerName(info.param);
}

// A table of rows, each run against either manner.
template <typename Row>
struct MannerTable : PracticeWorldE2E, ::testing::WithParamInterface<std::tuple<WorldManner, Row>> {
    MannerTable() { manner = std::get<0>(this->GetParam()); }
    const Row& row() const { return std::get<1>(this->GetParam()); }
};

template <typename Row>
std::string mannerRowName(const ::testing::TestParamInfo<std::tuple<WorldManner, Row>>& info) {
    return std::string(mannerName(std::get<0>(info.param))) + "_" + std::get<1>(info.param).name;
}

inline const auto kBothManners = ::testing::Values(WorldManner::Framed, WorldManner::Modern);

} // namespace corvane::testing
