#pragma once

#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"

#include <memory>
#include <string>

namespace corvane::testing {

// A client logged in as Wren on the world "Test", whose section of the
// settings file (in a scratch folder) the test writes.
struct RoomHarness {
    ScratchFolder folder;
    std::unique_ptr<ClientHarness> h;

    ClientHarness& logIn(const std::string& worldSection = {}) {
        folder.write("CORVANE.INI", "[Test]\r\n" + worldSection);
        h = std::make_unique<ClientHarness>("", folder.file("CORVANE.INI"));
        h->connect();
        h->client.session().CharacterName = "Wren";
        h->client.loggedIn();
        // A world that frames its replies, so moves count for the lag meter.
        h->socket.receive("[on]\r\n[off]\r\n");
        h->socket.sent.clear();
        return *h;
    }
    // The server reports the character's arrival in a room.
    void arrive(const std::string& refAndName) { h->socket.receive("[vrox] #" + refAndName + "\r\n"); }
    Session& session() { return h->client.session(); }
    const MainMenu& menu() { return h->client.menu(); }
    std::string sent() const { return h->socket.allSent(); }
};

} // namespace corvane::testing
