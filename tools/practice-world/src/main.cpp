#include "account.h"
#include "byte_log.h"
#include "options.h"
#include "server.h"
#include "signal_pipe.h"
#include "tls_identity.h"
#include "town.h"
#include "world.h"

#include <csignal>
#include <fstream>
#include <memory>
#include <iostream>

using namespace practice_world;

int main(int argc, char** argv) {
    std::string error;
    const std::optional<Options> options =
        parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "corvane-practice-world: " << error << "\nTry 'corvane-practice-world --help'.\n";
        return 2;
    }
    if (options->help) {
        std::cout << usageText();
        return 0;
    }
    if (options->version) {
        // The version of the Corvane it came with.
        std::cout << "corvane-practice-world " << PRACTICE_WORLD_VERSION << '\n';
        return 0;
    }

    const Manner manner = options->mud ? Manner::Mud : options->modern ? Manner::Modern : Manner::Framed;
    Database database = buildTown(WallClock::now(), manner);
    if (!options->accountsFile.empty()) {
        std::ifstream file(options->accountsFile);
        if (!file) {
            std::cerr << "corvane-practice-world: cannot read " << options->accountsFile << '\n';
            return 1;
        }
        const auto accounts = readAccounts(file, error);
        if (!accounts) {
            std::cerr << "corvane-practice-world: " << options->accountsFile << ": " << error << '\n';
            return 1;
        }
        addAccounts(database, *accounts);
    }

    ByteLog log;
    if (!options->logFile.empty() && !log.open(options->logFile)) {
        std::cerr << "corvane-practice-world: cannot write " << options->logFile << '\n';
        return 1;
    }

    std::signal(SIGPIPE, SIG_IGN);
    SignalPipe stop;
    if (!stop.ok()) {
        std::cerr << "corvane-practice-world: cannot set up signal handling\n";
        return 1;
    }

    std::unique_ptr<TlsIdentity> tls;
    if (options->tlsPort >= 0) {
        tls = TlsIdentity::generate(error);
        if (!tls) {
            std::cerr << "corvane-practice-world: " << error << '\n';
            return 1;
        }
    }

    World world(std::move(database), std::chrono::seconds(options->idleSeconds), manner);
    world.setDiku(options->diku);
    Server server(world, *options, log, tls.get());
    if (const auto failure = server.listen()) {
        std::cerr << "corvane-practice-world: " << *failure << '\n';
        return 1;
    }
    // Tests read the port from the first line; nothing else goes to stdout.
    std::cout << server.port() << std::endl;
    std::cerr << "corvane-practice-world: listening on " << options->bindAddress << ':' << server.port()
              << "; Ctrl-C stops it.\n";
    if (tls) {
        // The second line: TLS port and fingerprint, for tests and for checking by eye.
        std::cout << server.tlsPort() << ' ' << tls->fingerprint() << std::endl;
        std::cerr << "corvane-practice-world: TLS on " << options->bindAddress << ':' << server.tlsPort()
                  << ", certificate SHA-256 fingerprint " << tls->fingerprint() << '\n';
    }
    server.run(stop.readFd());
    return 0;
}
