// vantorix-scoreserver: the online high-score table for VANTORIX.
//   vantorix-scoreserver [--port N] [--db FILE|postgresql://...] [--bind ADDR] [--max-connections N]
//                        [--max-per-address N] [--sync full|normal] [--require-verified]
//                        [--verifier PROGRAM]... [--verify-workers N] [--verify-seconds N]
//                        [--verify-memory-mb N] [--verify-only]
#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "PostgresScoreStore.h"
#include "ScoreServer.h"
#include "VerifyWorkers.h"

namespace {

constexpr const char* Usage =
    "usage: vantorix-scoreserver [--port N] [--db FILE|postgresql://...] [--bind ADDR]\n"
    "                            [--max-connections N] [--max-per-address N] [--sync full|normal]\n"
    "                            [--require-verified] [--verifier PROGRAM]... [--verify-workers N]\n"
    "                            [--verify-seconds N] [--verify-memory-mb N] [--verify-only]\n"
    "       vantorix-scoreserver --help | --version\n"
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
    "                       killed, not the machine losing power, and is much faster on a slow disk\n"
    "  --require-verified   the pages show only results whose replay was re-played and held up\n"
    "  --verifier PROGRAM   the replay verifier, run as PROGRAM --verify - in a sandbox (vantorix or\n"
    "                       vantorix-verify of the game's build); give one per game build to check\n"
    "  --verify-workers N   replays checked at once (default: one per core; 0: none in this process)\n"
    "  --verify-seconds N   CPU seconds a check may take (default 30; its wall time is twice that)\n"
    "  --verify-memory-mb N address space of a check (default 1024; 0: no cap, for sanitizer builds)\n"
    "  --verify-only        serve nothing: only check replays queued in the PostgreSQL database by the\n"
    "                       servers sharing it (on other machines, say)\n";

struct Options {
    int Port = 8080;
    std::string Database = "scores.db";
    std::string BindAddress = "127.0.0.1";
    int MaxConnections = 512;
    int MaxPerAddress = 32;
    bool WaitForDisk = true;
    bool RequireVerified = false;
    bool VerifyOnly = false;
    std::vector<std::string> Verifiers;
    int VerifyWorkers = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    int VerifySeconds = 30;
    int VerifyMemoryMb = 1024;
};

constexpr std::string_view ValueOptions[] = {
    "--port", "--db",       "--bind",           "--max-connections", "--max-per-address",
    "--sync", "--verifier", "--verify-workers", "--verify-seconds",  "--verify-memory-mb"};

std::optional<int> ParseNumber(std::string_view text, int lowest, int highest) {
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < lowest || number > highest)
        return std::nullopt;
    return number;
}

// A number option's value, or the sentence saying what it must be.
std::optional<std::string> ReadNumber(std::string_view name, std::string_view value, int lowest, int highest,
                                      int& into) {
    const auto number = ParseNumber(value, lowest, highest);
    if (!number)
        return std::string(name.substr(2)) + " must be a number from " + std::to_string(lowest) + " to " +
               std::to_string(highest) + ", not " + std::string(value);
    into = *number;
    return std::nullopt;
}

std::optional<std::string> ReadValueOption(std::string_view name, std::string_view value, Options& options) {
    if (name == "--port") return ReadNumber(name, value, 0, 65535, options.Port);
    if (name == "--max-connections") return ReadNumber(name, value, 8, 100000, options.MaxConnections);
    if (name == "--max-per-address") return ReadNumber(name, value, 1, 100000, options.MaxPerAddress);
    if (name == "--verify-workers") return ReadNumber(name, value, 0, 256, options.VerifyWorkers);
    if (name == "--verify-seconds") return ReadNumber(name, value, 1, 3600, options.VerifySeconds);
    if (name == "--verify-memory-mb") return ReadNumber(name, value, 0, 1 << 20, options.VerifyMemoryMb);
    if (name == "--sync") {
        if (value != "full" && value != "normal")
            return "sync must be full or normal, not " + std::string(value);
        options.WaitForDisk = value == "full";
        return std::nullopt;
    }
    if (value.empty()) return "option " + std::string(name) + " needs a non-empty value";
    if (name == "--db")
        options.Database = value;
    else if (name == "--verifier")
        options.Verifiers.emplace_back(value);
    else
        options.BindAddress = value;
    return std::nullopt;
}

// Fills options from argv; returns an error sentence, or nothing when all is well.
std::optional<std::string> ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--require-verified") {
            options.RequireVerified = true;
            continue;
        }
        if (name == "--verify-only") {
            options.VerifyOnly = true;
            continue;
        }
        if (std::find(std::begin(ValueOptions), std::end(ValueOptions), name) == std::end(ValueOptions))
            return "unknown option " + std::string(name);
        if (i + 1 >= argc) return "option " + std::string(name) + " needs a value";
        if (auto error = ReadValueOption(name, argv[++i], options)) return error;
    }
    if (options.VerifyOnly && !scoreserver::IsPostgresAddress(options.Database))
        return "--verify-only needs a PostgreSQL database (--db postgresql://...): an SQLite file's replays "
               "are checked by its own server";
    if (options.VerifyOnly && (options.Verifiers.empty() || options.VerifyWorkers == 0))
        return "--verify-only needs a --verifier and at least one worker";
    return std::nullopt;
}

scoreserver::VerifySettings VerifySettingsOf(const Options& options) {
    scoreserver::VerifySettings verify;
    verify.Verifiers = options.Verifiers;
    verify.Workers = options.Verifiers.empty() ? 0 : options.VerifyWorkers;
    verify.Limits.CpuSeconds = options.VerifySeconds;
    verify.Limits.WallTime = std::chrono::seconds(2 * options.VerifySeconds);
    verify.Limits.AddressSpaceBytes = static_cast<std::uint64_t>(options.VerifyMemoryMb) << 20;
    return verify;
}

// --verify-only: the workers check replays until Ctrl+C or SIGTERM, the log summed up once a second.
int CheckReplaysOnly(const Options& options, const sigset_t& stopSignals) {
    scoreserver::StoreSettings store;
    store.Address = options.Database;
    const auto opened = scoreserver::OpenScoreStore(store);
    scoreserver::ServerLog log;
    {
        scoreserver::VerifyWorkers workers(*opened, VerifySettingsOf(options), log, {});
        log.Say("checking replays from " + scoreserver::ShownAddress(options.Database) + " with " +
                std::to_string(options.VerifyWorkers) + " workers");
        const timespec second{1, 0};
        while (sigtimedwait(&stopSignals, nullptr, &second) < 0)
            log.Flush(std::chrono::steady_clock::now(), 0);
        log.Say("stopping");
    }
    log.Flush(std::chrono::steady_clock::now(), 0, true);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("vantorix-scoreserver %s\n", VANTORIX_VERSION);
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
        if (options.VerifyOnly) return CheckReplaysOnly(options, stopSignals);
        scoreserver::ServerSettings settings;
        settings.Database = options.Database;
        settings.Limits.MaxConnections = static_cast<std::size_t>(options.MaxConnections);
        settings.Limits.MaxPerAddress = static_cast<std::size_t>(options.MaxPerAddress);
        settings.WaitForDisk = options.WaitForDisk;
        settings.RequireVerified = options.RequireVerified;
        settings.Verify = VerifySettingsOf(options);
        scoreserver::ScoreServer server(settings);
        if (options.Verifiers.empty())
            server.Log().Say("no --verifier: uploaded replays wait for a server or worker that has one");
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
