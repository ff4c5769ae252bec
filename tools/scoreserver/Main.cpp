// vantorix-scoreserver: the online high-score table for VANTORIX.
//   vantorix-scoreserver [--port N] [--db FILE|postgresql://...] [--bind ADDR] [--max-connections N]
//                        [--max-per-address N] [--sync full|normal]
#include <pthread.h>
#include <signal.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "PostgresScoreStore.h"
#include "ScoreServer.h"

namespace {

constexpr const char* Usage =
    "usage: vantorix-scoreserver [--port N] [--db FILE|postgresql://...] [--bind ADDR]\n"
    "                            [--max-connections N] [--max-per-address N] [--sync full|normal]\n"
    "  --port N             TCP port to listen on (default 8080; 0 picks a free one)\n"
    "  --db FILE            SQLite file holding the results (default scores.db)\n"
    "  --db postgresql://.. PostgreSQL database holding results and tokens, shared by several servers\n"
    "  --bind ADDR          address to listen on (default 127.0.0.1; 0.0.0.0 for every network)\n"
    "  --max-connections N  open connections at most (default 512, less when the open-file limit is\n"
    "                       lower); when full, silent connections and slow requests go first\n"
    "  --max-per-address N  open connections from one address (IPv6: one /64) at most (default 32);\n"
    "                       behind a proxy every client has the proxy's address: give the proxy room\n"
    "  --sync full|normal   SQLite commits: full waits for the disk, so a stored result survives a power\n"
    "                       cut (default); normal leaves it to the system: survives the server being\n"
    "                       killed, not the machine losing power, and is much faster on a slow disk\n";

struct Options {
    int Port = 8080;
    std::string Database = "scores.db";
    std::string BindAddress = "127.0.0.1";
    int MaxConnections = 512;
    int MaxPerAddress = 32;
    bool WaitForDisk = true;
};

std::optional<int> ParseNumber(std::string_view text, int lowest, int highest) {
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < lowest || number > highest)
        return std::nullopt;
    return number;
}

// Fills options from argv; returns an error sentence, or nothing when all is well.
std::optional<std::string> ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name != "--port" && name != "--db" && name != "--bind" && name != "--max-connections" &&
            name != "--max-per-address" && name != "--sync")
            return "unknown option " + std::string(name);
        if (i + 1 >= argc) return "option " + std::string(name) + " needs a value";
        const std::string_view value = argv[++i];
        if (name == "--port") {
            const auto port = ParseNumber(value, 0, 65535);
            if (!port) return "port must be a number from 0 to 65535, not " + std::string(value);
            options.Port = *port;
        } else if (name == "--max-connections") {
            const auto count = ParseNumber(value, 8, 100000);
            if (!count) return "connections must be a number from 8 to 100000, not " + std::string(value);
            options.MaxConnections = *count;
        } else if (name == "--max-per-address") {
            const auto count = ParseNumber(value, 1, 100000);
            if (!count)
                return "connections per address must be a number from 1 to 100000, not " + std::string(value);
            options.MaxPerAddress = *count;
        } else if (name == "--sync") {
            if (value != "full" && value != "normal")
                return "sync must be full or normal, not " + std::string(value);
            options.WaitForDisk = value == "full";
        } else if (value.empty()) {
            return "option " + std::string(name) + " needs a non-empty value";
        } else if (name == "--db") {
            options.Database = value;
        } else {
            options.BindAddress = value;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    Options options;
    if (const auto error = ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "vantorix-scoreserver: %s\n%s", error->c_str(), Usage);
        return 2;
    }

    // Ctrl+C and SIGTERM go to one waiting thread that stops the server cleanly;
    // the mask is set before any thread starts so every thread inherits it.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        scoreserver::ServerSettings settings;
        settings.Database = options.Database;
        settings.Limits.MaxConnections = static_cast<std::size_t>(options.MaxConnections);
        settings.Limits.MaxPerAddress = static_cast<std::size_t>(options.MaxPerAddress);
        settings.WaitForDisk = options.WaitForDisk;
        scoreserver::ScoreServer server(settings);
        const auto port = server.Bind(options.BindAddress, options.Port);
        if (!port) {
            std::fprintf(stderr, "vantorix-scoreserver: cannot listen on %s port %d\n",
                         options.BindAddress.c_str(), options.Port);
            return 1;
        }
        std::fprintf(stderr, "vantorix-scoreserver: listening on http://%s:%d/ with database %s\n",
                     options.BindAddress.c_str(), *port, scoreserver::ShownAddress(options.Database).c_str());

        std::thread signalWaiter([&] {
            int received = 0;
            sigwait(&stopSignals, &received);
            if (received == SIGINT || received == SIGTERM)
                std::fputs("vantorix-scoreserver: stopping\n", stderr);
            server.Stop();
        });
        const bool served = server.Run();
        pthread_kill(signalWaiter.native_handle(), SIGTERM); // wakes the waiter if Run ended on its own
        signalWaiter.join();
        // Results already taken are written before leaving, unless the database
        // hangs: a stop must not wait on it. Nothing unwritten was acknowledged.
        if (!server.FinishStore(std::chrono::milliseconds(1500))) {
            std::fputs("vantorix-scoreserver: the database did not finish in time; leaving without it\n",
                       stderr);
            std::_Exit(1);
        }
        return served ? 0 : 1;
    } catch (const scoreserver::DatabaseError& error) {
        std::fprintf(stderr, "vantorix-scoreserver: %s\n", error.what());
        return 1;
    }
}
