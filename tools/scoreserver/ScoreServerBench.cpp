// Measures the score server as a hostile or a busy client would meet it, on
// loopback only: it starts the server program itself on a free port with a
// scratch database, runs each case for a bounded time and prints one table.
//   scoreserver_bench --server PATH [--db postgresql://...] [--seconds N]
//                     [--cases ...|verify] [--verifier PATH --replay FILE]
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ResultCodec.h"
#include "ScoreStore.h"
#include "tests/NginxProcess.h"
#include "tests/ReferenceEncoder.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

const std::string VersionTarget = "/cgi/version.pl?version&prg=Vantorix";
const std::string ResultTarget = "/cgi/version.pl?hs&prg=Vantorix&inf=";
const std::string TableTarget = "/cgi/version.pl?prg=Vantorix&show&type=0";

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

std::string ResultFor(const std::string& name, int score, const std::string& token) {
    std::string text = "type=0|name=" + name + "|score=" + std::to_string(score) +
                       "|key=" + scoreserver::ResultKeyLetter + "|p=" + token + "|add=Bench|z=";
    while (text.size() % 5 != 0)
        text += '0';
    return ResultTarget + scoreserver::reference::EncodeLikeTheGame(text);
}

// from: the loopback address to connect from (127.0.0.1 when empty).
int Connect(int port, const std::string& from = "", bool wait = true) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (wait ? 0 : SOCK_NONBLOCK), 0);
    if (fd >= 0 && !from.empty()) {
        sockaddr_in source{};
        source.sin_family = AF_INET;
        inet_pton(AF_INET, from.c_str(), &source.sin_addr);
        bind(fd, reinterpret_cast<sockaddr*>(&source), sizeof source);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ||
                    (!wait && errno == EINPROGRESS)))
        return fd;
    if (fd >= 0) close(fd);
    return -1;
}

bool WaitReadable(int fd, Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{fd, POLLIN, 0};
    return left > 0 && poll(&p, 1, static_cast<int>(left)) > 0;
}

struct Reply {
    int Status = 0; // 0: none before the deadline
    std::size_t Bytes = 0;
    std::string Body;
};

// A keep-alive client speaking HTTP/1.1 with Content-Length replies; it opens
// a new connection when the server closes the old one, as browsers do.
class Client {
  public:
    explicit Client(int port) : port_(port), fd_(Connect(port)) {}
    ~Client() {
        if (fd_ >= 0) close(fd_);
    }
    bool Ok() const { return fd_ >= 0; }

    Reply Request(const std::string& target, const std::string& method = "GET", const std::string& extra = "",
                  Clock::duration timeout = 10s, const std::string& body = "") {
        const std::string bytes =
            method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + "\r\n" + body;
        if (fd_ < 0) {
            fd_ = Connect(port_);
            buffer_.clear();
        }
        if (fd_ < 0 ||
            send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size()))
            return {};
        return Read(Clock::now() + timeout, method == "HEAD");
    }

  private:
    Reply Read(Clock::time_point deadline, bool headOnly) {
        Reply reply;
        for (;;) {
            const std::size_t end = buffer_.find("\r\n\r\n");
            if (end != std::string::npos) {
                const std::size_t lengthAt = buffer_.find("Content-Length: ");
                const std::size_t length =
                    headOnly || lengthAt > end ? 0 : std::stoul(buffer_.substr(lengthAt + 16));
                if (buffer_.size() >= end + 4 + length) {
                    reply.Status = std::atoi(buffer_.c_str() + 9);
                    reply.Body = buffer_.substr(end + 4, length);
                    reply.Bytes = end + 4 + length;
                    if (buffer_.substr(0, end).find("Connection: close") != std::string::npos)
                        Drop();
                    else
                        buffer_.erase(0, end + 4 + length);
                    return reply;
                }
            }
            char chunk[65536];
            reply.Bytes = buffer_.size(); // what came of an unfinished reply
            if (!WaitReadable(fd_, deadline)) return reply;
            const ssize_t got = recv(fd_, chunk, sizeof chunk, 0);
            if (got <= 0) {
                Drop();
                return reply;
            }
            buffer_.append(chunk, static_cast<std::size_t>(got));
        }
    }

    void Drop() {
        close(fd_);
        fd_ = -1;
        buffer_.clear();
    }

    int port_;
    int fd_;
    std::string buffer_;
};

std::string FifthField(const std::string& line) {
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        start = line.find('|', start);
        if (start == std::string::npos) return "";
        ++start;
    }
    return line.substr(start, line.find('|', start) - start);
}

// The server program as a child process, its stderr in a file.
class ServerProcess {
  public:
    // openFiles: the open-file limit the server starts under (soft and hard), 0 to keep this one's.
    ServerProcess(const std::string& program, const std::string& database, const fs::path& log,
                  const std::vector<std::string>& extra = {}, rlim_t openFiles = 0)
        : log_(log) {
        std::vector<std::string> args = {program, "--port", "0", "--db", database};
        args.insert(args.end(), extra.begin(), extra.end());
        pid_ = fork();
        if (pid_ == 0) {
            const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 2);
            const rlimit limit{openFiles, openFiles};
            if (openFiles > 0) setrlimit(RLIMIT_NOFILE, &limit);
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        const auto deadline = Clock::now() + 20s;
        const std::string marker = "listening on http://127.0.0.1:";
        while (Clock::now() < deadline && port_ == 0) {
            std::ifstream in(log);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (const std::size_t at = text.find(marker); at != std::string::npos)
                port_ = std::atoi(text.c_str() + at + marker.size());
            else
                std::this_thread::sleep_for(20ms);
        }
    }
    ~ServerProcess() { Kill(SIGKILL); }

    int Port() const { return port_; }
    pid_t Pid() const { return pid_; }

    // Sends the signal and waits for the exit, at most timeout; returns how long it took.
    std::optional<Clock::duration> Kill(int signal, Clock::duration timeout = 30s) {
        if (pid_ <= 0) return Clock::duration{};
        const auto start = Clock::now();
        kill(pid_, signal);
        while (Clock::now() - start < timeout) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return Clock::now() - start;
            }
            std::this_thread::sleep_for(5ms);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
        return std::nullopt;
    }

    long ResidentKilobytes(const char* field = "VmRSS:") const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.starts_with(field)) return std::atol(line.c_str() + std::string_view(field).size());
        return -1;
    }
    std::uintmax_t LogBytes() const {
        std::error_code ignored;
        return fs::file_size(log_, ignored);
    }

  private:
    fs::path log_;
    pid_t pid_ = -1;
    int port_ = 0;
};

struct Options {
    std::string Server;
    std::string Database; // empty: a scratch SQLite file
    int Seconds = 5;
    // "all", "attacks" (what a connection table, a token store, the store thread
    // and nginx meet), "store" (the store thread only) or "nginx"
    std::string Cases = "all";
    std::string NginxDeploy = SCORESERVER_DEPLOY_DIR;
    bool DebianNginx = false; // nginx.conf as Debian installs it, not as the guide changes it
    // The verifier and a recorded game for the checks; the tests' stand-in, answering at once, when not
    // given.
    std::string Verifier = SCORESERVER_DEPLOY_DIR "/../tests/fake-verifier.sh";
    std::string Replay;
};

// nginx serving one folder of files, as a static copy of a page would be served.
class StaticNginx {
  public:
    explicit StaticNginx(const fs::path& folder)
        : folder_(folder), port_(scoreserver::testnet::FreeLoopbackPort()) {
        std::ofstream(folder / "nginx.conf")
            << "daemon off;\nworker_processes auto;\npid " << (folder / "nginx.pid").string() << ";\n"
            << "error_log " << (folder / "error.log").string() << " error;\n"
            << "events { worker_connections 1024; }\n"
            << "http {\n  access_log off;\n  keepalive_requests 100000;\n"
            << scoreserver::testnet::NginxTempPaths(folder) << "  server { listen 127.0.0.1:" << port_
            << "; root " << folder.string() << "; default_type text/html; }\n}\n";
        chmod(folder.c_str(), 0755);
        pid_ = fork();
        if (pid_ == 0) {
            execl(scoreserver::testnet::NginxProcess::Program, "nginx", "-p", folder.c_str(), "-c",
                  (folder / "nginx.conf").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 500; ++i) {
            const int fd = Connect(port_);
            if (fd >= 0) {
                close(fd);
                return;
            }
            std::this_thread::sleep_for(10ms);
        }
        port_ = 0;
    }
    ~StaticNginx() {
        if (pid_ <= 0) return;
        kill(pid_, SIGQUIT);
        waitpid(pid_, nullptr, 0);
    }
    int Port() const { return port_; }

  private:
    fs::path folder_;
    int port_;
    pid_t pid_ = -1;
};

class Bench {
  public:
    explicit Bench(Options options) : options_(std::move(options)) {
        char pattern[] = "/tmp/scoreserver-bench-XXXXXX";
        folder_ = mkdtemp(pattern) ? fs::path(pattern) : fs::path();
    }
    ~Bench() {
        std::error_code ignored;
        if (!folder_.empty()) fs::remove_all(folder_, ignored);
    }

    void Row(const std::string& what, const std::string& figure) {
        std::printf("| %s | %s |\n", what.c_str(), figure.c_str());
        std::fflush(stdout);
    }

    std::string FreshDatabase() {
        if (!options_.Database.empty()) {
            // A shared database: empty its tables through a scratch store of its own.
            ResetPostgres();
            return options_.Database;
        }
        return (folder_ / ("scores-" + std::to_string(++databases_) + ".db")).string();
    }

    std::unique_ptr<ServerProcess> Start(const std::string& database,
                                         const std::vector<std::string>& extra = {}, rlim_t openFiles = 0) {
        auto server = std::make_unique<ServerProcess>(
            options_.Server, database, folder_ / ("server-" + std::to_string(++logs_) + ".log"), extra,
            openFiles);
        if (server->Port() == 0 && extra.empty()) {
            std::fprintf(stderr, "the server did not start; see %s\n", folder_.c_str());
            std::exit(1);
        }
        return server->Port() == 0 ? nullptr : std::move(server);
    }

    // Rows straight into the store, before the server opens it.
    void Fill(const std::string& database, int rows) {
        scoreserver::StoreSettings settings;
        settings.Address = database;
        settings.MaxStoredResults = static_cast<std::size_t>(std::max(rows, 10000));
        const auto store = scoreserver::OpenScoreStore(settings);
        for (int done = 0; done < rows;) {
            const int batch = std::min(1000, rows - done);
            std::vector<scoreserver::SubmittedResult> results;
            for (int i = 0; i < batch; ++i)
                results.push_back({"Filler", (done + i) * 7 % 100000, "Bench", store->IssueToken()});
            store->StoreResults(results, 0);
            done += batch;
        }
        // Back to SQLite's default journal, so a server that does not choose one
        // meets the file as it would have made it.
        if (!scoreserver::IsPostgresAddress(database)) {
            sqlite3* db = nullptr;
            sqlite3_open(database.c_str(), &db);
            sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
    }

    // Latency of one version request on a fresh connection, or "no answer".
    static std::string VersionLatency(int port, Clock::duration timeout) {
        const auto start = Clock::now();
        Client client(port);
        const Reply reply = client.Request(VersionTarget, "GET", "", timeout);
        if (reply.Status != 200)
            return "no answer within " +
                   std::to_string(std::chrono::duration_cast<std::chrono::seconds>(timeout).count()) + " s";
        char text[64];
        std::snprintf(text, sizeof text, "answered in %.1f ms", Seconds(Clock::now() - start) * 1000);
        return text;
    }

    // Clients that send a request one byte every period, until stopped.
    class SlowClients {
      public:
        SlowClients(int port, int count, Clock::duration period) {
            for (int i = 0; i < count; ++i)
                fds_.push_back(Connect(port));
            thread_ = std::thread([this, period] {
                const std::string request = "GET " + VersionTarget +
                                            " HTTP/1.1\r\nHost: x\r\nX-Slow: " + std::string(4000, 'a') +
                                            "\r\n\r\n";
                for (std::size_t at = 0; !stop_ && at < request.size(); ++at) {
                    for (int fd : fds_)
                        send(fd, &request[at], 1, MSG_NOSIGNAL | MSG_DONTWAIT);
                    for (auto waited = Clock::duration{}; !stop_ && waited < period; waited += 50ms)
                        std::this_thread::sleep_for(50ms);
                }
            });
        }
        ~SlowClients() {
            stop_ = true;
            thread_.join();
            for (int fd : fds_)
                if (fd >= 0) close(fd);
        }

      private:
        std::vector<int> fds_;
        std::atomic<bool> stop_ = false;
        std::thread thread_;
    };

    void SlowClientsCase() {
        const auto server = Start(FreshDatabase());
        SlowClients slow(server->Port(), 8, 4s);
        std::this_thread::sleep_for(1s);
        Row("8 slow clients (one byte every 4 s)",
            "a ninth client's version request " + VersionLatency(server->Port(), 10s));
    }

    void IdleConnectionsCase() {
        const auto server = Start(FreshDatabase());
        std::vector<int> idle;
        for (int i = 0; i < 200; ++i)
            idle.push_back(Connect(server->Port()));
        std::this_thread::sleep_for(200ms);
        Row("200 idle connections", "a further version request " + VersionLatency(server->Port(), 30s));
        for (int fd : idle)
            if (fd >= 0) close(fd);
    }

    void HugeHeadersCase() {
        const auto server = Start(FreshDatabase());
        const long before = server->ResidentKilobytes();
        const int fd = Connect(server->Port());
        std::string chunk = "GET " + VersionTarget + " HTTP/1.1\r\n";
        const std::string line = "X-Fill: " + std::string(990, 'a') + "\r\n";
        std::size_t sent = 0;
        const std::size_t total = 100u << 20;
        const auto deadline = Clock::now() + 20s;
        while (sent < total && Clock::now() < deadline) {
            while (chunk.size() < 65536)
                chunk += line;
            const ssize_t put = send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
            if (put <= 0) break;
            sent += static_cast<std::size_t>(put);
            chunk.erase(0, static_cast<std::size_t>(put));
        }
        close(fd);
        std::this_thread::sleep_for(200ms);
        char text[160];
        std::snprintf(
            text, sizeof text, "connection closed after %.1f kB sent; resident %ld -> %ld kB (peak %ld kB)",
            sent / 1024.0, before, server->ResidentKilobytes(), server->ResidentKilobytes("VmHWM:"));
        Row("100 MB of headers in one request", text);
    }

    void RangeCase() {
        const std::string database = FreshDatabase();
        Fill(database, 10000);
        const auto server = Start(database);
        std::string ranges = "Range: bytes=0-";
        while (ranges.size() < 8000)
            ranges += ",0-";
        Client client(server->Port());
        const Reply plain = client.Request(TableTarget);
        const Reply ranged = client.Request(TableTarget, "GET", ranges + "\r\n");
        Row("a Range header on the table page (8 kB request)",
            "status " + std::to_string(ranged.Status) + ", " + std::to_string(ranged.Bytes) +
                " bytes (the page without Range: " + std::to_string(plain.Bytes) + " bytes)");
    }

    void KeepAliveCase() {
        const auto server = Start(FreshDatabase());
        Client client(server->Port());
        const auto end = Clock::now() + std::chrono::seconds(options_.Seconds);
        const auto start = Clock::now();
        int done = 0;
        while (Clock::now() < end && client.Request(VersionTarget).Status == 200)
            ++done;
        const double seconds = Seconds(Clock::now() - start);
        char text[128];
        std::snprintf(text, sizeof text, "%.2f ms each: %.0f requests/s", seconds * 1000 / done,
                      done / seconds);
        Row("keep-alive requests (one client, version requests)", text);
    }

    struct PairFigures {
        double PerSecond = 0;
        int Failed = 0;
        std::uintmax_t LogBytes = 0;
        int Requests = 0;
    };

    // clients keep-alive clients, each sending version + result pairs for the run time.
    PairFigures Pairs(ServerProcess& server, int clients, std::atomic<int>* acknowledged = nullptr,
                      std::vector<std::string>* names = nullptr, Clock::duration length = {}) {
        if (length == Clock::duration{}) length = std::chrono::seconds(options_.Seconds);
        std::atomic<int> pairs = 0;
        std::atomic<int> failed = 0;
        std::vector<std::vector<std::string>> stored(static_cast<std::size_t>(clients));
        const auto logBefore = server.LogBytes();
        const auto start = Clock::now();
        const auto end = start + length;
        std::vector<std::thread> threads;
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&, c] {
                Client client(server.Port());
                for (int i = 0; Clock::now() < end; ++i) {
                    const Reply version = client.Request(VersionTarget);
                    if (version.Status != 200) return void(++failed);
                    std::string name = std::to_string(c); // "B<client>x<pair>", built without a
                    name.insert(0, 1, 'B');               // temporary the optimiser warns about
                    name += 'x';
                    name += std::to_string(i);
                    const Reply result =
                        client.Request(ResultFor(name, 100000 + i, FifthField(version.Body)));
                    if (result.Status != 200) return void(++failed);
                    ++pairs;
                    if (acknowledged) ++*acknowledged;
                    stored[static_cast<std::size_t>(c)].push_back(name);
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        if (names)
            for (const auto& list : stored)
                names->insert(names->end(), list.begin(), list.end());
        PairFigures figures;
        figures.PerSecond = pairs / Seconds(Clock::now() - start);
        figures.Failed = failed;
        figures.LogBytes = server.LogBytes() - logBefore;
        figures.Requests = pairs * 2;
        return figures;
    }

    void PairsCase() {
        char text[200];
        PairFigures loaded;
        struct Run {
            int Rows;
            std::vector<std::string> Extra;
        };
        std::vector<Run> runs = {{0, {}}, {10000, {}}};
        if (options_.Database.empty()) runs.push_back({10000, {"--sync", "normal"}});
        for (const Run& run : runs) {
            const std::string database = FreshDatabase();
            if (run.Rows > 0) Fill(database, run.Rows);
            const auto server = Start(database, run.Extra);
            if (!server) {
                Row("version + result pairs", "this server does not take " + run.Extra.front());
                continue;
            }
            const PairFigures figures = Pairs(*server, 8);
            std::snprintf(text, sizeof text, "%.0f pairs/s at %d rows (8 keep-alive clients, %d failed)%s",
                          figures.PerSecond, run.Rows, figures.Failed,
                          run.Extra.empty() ? "" : ", --sync normal");
            Row("version + result pairs", text);
            if (run.Extra.empty()) loaded = figures;
        }
        std::snprintf(text, sizeof text, "%ju bytes for %d requests in %d s: %.2f MB an hour at that rate",
                      loaded.LogBytes, loaded.Requests, options_.Seconds,
                      loaded.LogBytes / static_cast<double>(options_.Seconds) * 3600 / 1e6);
        Row("log", text);
    }

    void KilledCase() {
        const std::string database = FreshDatabase();
        std::atomic<int> acknowledged = 0;
        std::vector<std::string> names;
        {
            const auto server = Start(database);
            // Killed in the middle of the writes, before the table is full: the
            // server keeps only the best 10 000, and a pruned result is not a lost one.
            std::thread killer([&] {
                const auto end = Clock::now() + 1500ms;
                while (Clock::now() < end && acknowledged < 5000)
                    std::this_thread::sleep_for(1ms);
                server->Kill(SIGKILL);
            });
            Pairs(*server, 8, &acknowledged, &names, 3s);
            killer.join();
        }
        scoreserver::StoreSettings settings;
        settings.Address = database;
        const auto best = scoreserver::OpenScoreStore(settings)->Best(1000000);
        std::set<std::string> present;
        for (const auto& row : best)
            present.insert(row.Name);
        int lost = 0;
        for (const std::string& name : names)
            lost += present.contains(name) ? 0 : 1;
        Row("SIGKILL while 8 clients send results", std::to_string(names.size()) + " acknowledged, " +
                                                        std::to_string(lost) +
                                                        " of them missing after restart");
    }

    void TerminateCase() {
        const auto server = Start(FreshDatabase());
        SlowClients slow(server->Port(), 8, 4s);
        std::this_thread::sleep_for(1s);
        const auto took = server->Kill(SIGTERM);
        char text[96];
        if (took)
            std::snprintf(text, sizeof text, "exits after %.0f ms", Seconds(*took) * 1000);
        else
            std::snprintf(text, sizeof text, "still running after 30 s");
        Row("SIGTERM with 8 slow clients", text);
    }

    void HomeAndHeadCase() {
        const auto server = Start(FreshDatabase());
        Client client(server->Port());
        const Reply home = client.Request("/");
        Row("`GET /`",
            "status " + std::to_string(home.Status) + ", " + std::to_string(home.Body.size()) + " bytes");
        const Reply head = client.Request(VersionTarget, "HEAD");
        Row("a HEAD version request", "status " + std::to_string(head.Status) +
                                          (head.Status == 200 ? ": served as a GET, so a token was issued"
                                                              : ": refused, no token issued"));
    }

    // Hostile connections from the given loopback addresses, in turn: each either
    // sends nothing (idle) or dribbles a request head one header line a second
    // (slow), and opens again within a quarter second when the server closes it.
    class Attackers {
      public:
        Attackers(int port, int count, std::vector<std::string> from, bool slow)
            : port_(port), from_(std::move(from)), slow_(slow), fds_(static_cast<std::size_t>(count), -1) {
            thread_ = std::thread([this] { Attack(); });
        }
        ~Attackers() {
            stop_ = true;
            thread_.join();
            for (int fd : fds_)
                if (fd >= 0) close(fd);
        }
        int Reconnects() const { return reconnects_; }

      private:
        void Attack() {
            const std::string start = "GET " + VersionTarget + " HTTP/1.1\r\nHost: x\r\n";
            std::vector<bool> started(fds_.size());
            std::vector<pollfd> watched(fds_.size());
            auto nextLine = Clock::now() + 1s;
            for (int line = 0; !stop_;) {
                for (std::size_t i = 0; i < fds_.size(); ++i) {
                    int& fd = fds_[i];
                    if (fd < 0) {
                        fd = Connect(port_, from_[i % from_.size()], false);
                        started[i] = false;
                        ++reconnects_;
                    }
                    // A new connection starts its head at once, then adds a line a second.
                    const bool due = Clock::now() >= nextLine;
                    if (fd >= 0 && slow_ && (!started[i] || due)) {
                        const std::string text =
                            started[i] ? "X-Slow: " + std::to_string(line) + "\r\n" : start;
                        if (send(fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT) > 0)
                            started[i] = true;
                    }
                    watched[i] = pollfd{fd, POLLIN, 0};
                }
                if (Clock::now() >= nextLine) {
                    nextLine += 1s;
                    ++line;
                }
                // Whatever the server answers or closes is closed here and opened again.
                if (poll(watched.data(), watched.size(), 50) <= 0) continue;
                for (std::size_t i = 0; i < fds_.size(); ++i)
                    if (fds_[i] >= 0 && watched[i].revents != 0) {
                        close(fds_[i]);
                        fds_[i] = -1;
                    }
            }
        }

        int port_;
        std::vector<std::string> from_;
        bool slow_;
        std::vector<int> fds_;
        std::atomic<bool> stop_ = false;
        std::atomic<int> reconnects_ = 0;
        std::thread thread_;
    };

    struct Tally {
        int Asked = 0;
        int Answered = 0;
        Clock::duration Slowest{};
        Clock::duration Total{};
        // One exchange: true when every request of it was answered with 200.
        void Count(bool answered, Clock::duration took) {
            ++Asked;
            Answered += answered ? 1 : 0;
            Slowest = std::max(Slowest, took);
            Total += took;
        }
        std::string Text() const {
            char text[96];
            std::snprintf(text, sizeof text, "%d of %d (mean %.0f ms, slowest %.0f ms)", Answered, Asked,
                          Asked ? Seconds(Total) * 1000 / Asked : 0.0, Seconds(Slowest) * 1000);
            return text;
        }
    };

    // A real player for the given time, each on fresh connections as a browser
    // and the game open them: a home page request every pause, and a version +
    // result pair (the result sent delay after its token came) every fourth.
    static void Player(int port, Clock::duration length, Tally& pages, Tally& results,
                       Clock::duration delay = {}, Clock::duration pause = 150ms) {
        const auto end = Clock::now() + length;
        for (int i = 0; Clock::now() < end; ++i) {
            auto start = Clock::now();
            const bool page = Client(port).Request("/", "GET", "", 5s).Status == 200;
            pages.Count(page, Clock::now() - start);
            if (i % 4 != 0) {
                std::this_thread::sleep_for(pause);
                continue;
            }
            start = Clock::now();
            const Reply version = Client(port).Request(VersionTarget, "GET", "", 5s);
            std::this_thread::sleep_for(delay);
            const bool stored =
                version.Status == 200 &&
                Client(port)
                        .Request(ResultFor("Player", 1000 + i, FifthField(version.Body)), "GET", "", 5s)
                        .Status == 200;
            results.Count(stored, Clock::now() - start - delay);
        }
    }

    void SlowlorisCase() {
        const std::vector<std::vector<std::string>> sources = {{"127.0.0.2"}, Addresses(20)};
        for (const auto& from : sources) {
            for (const int count : {600, 2000}) {
                const auto server = Start(FreshDatabase());
                Attackers attackers(server->Port(), count, from, true);
                std::this_thread::sleep_for(3s);
                Tally pages, results;
                Player(server->Port(), 10s, pages, results);
                Row(std::to_string(count) + " slow heads from " + std::to_string(from.size()) +
                        " address(es), one line a second, reconnecting",
                    "a player's home pages answered " + pages.Text() + ", results stored " + results.Text());
            }
        }
    }

    void OpenFileLimitCase() {
        const auto server = Start(FreshDatabase(), {}, 64);
        Attackers attackers(server->Port(), 200, {"127.0.0.2"}, false);
        std::this_thread::sleep_for(2s);
        Tally pages, results;
        Player(server->Port(), 10s, pages, results);
        Row("200 idle connections, reconnecting, against an open-file limit of 64",
            "a player's home pages answered " + pages.Text() + ", results stored " + results.Text());
    }

    void TokenFloodCase() {
        const auto server = Start(FreshDatabase());
        std::atomic<bool> stop = false;
        std::atomic<long> flooded = 0;
        std::vector<std::thread> flood;
        for (int c = 0; c < 2; ++c)
            flood.emplace_back([&] {
                // 64 version requests at a time on one connection, the replies read after.
                std::string batch;
                for (int i = 0; i < 64; ++i)
                    batch += "GET " + VersionTarget + " HTTP/1.1\r\nHost: x\r\n\r\n";
                const int fd = Connect(server->Port(), "127.0.0.2");
                const std::string_view replyStart = "\nVantorix|"; // the body of each reply
                std::string in;
                char chunk[65536];
                while (!stop && send(fd, batch.data(), batch.size(), MSG_NOSIGNAL) > 0) {
                    for (int replies = 0; replies < 64;) {
                        const std::size_t at = in.find(replyStart);
                        if (at != std::string::npos) {
                            ++replies;
                            in.erase(0, at + replyStart.size());
                            continue;
                        }
                        if (!WaitReadable(fd, Clock::now() + 5s)) break;
                        const ssize_t got = recv(fd, chunk, sizeof chunk, 0);
                        if (got <= 0) break;
                        in.append(chunk, static_cast<std::size_t>(got));
                    }
                    flooded += 64;
                }
                close(fd);
            });
        std::this_thread::sleep_for(1s);
        const auto start = Clock::now();
        const long floodedBefore = flooded;
        Tally pages, results, lateResults;
        Player(server->Port(), 6s, pages, results, 100ms);
        Player(server->Port(), 6s, pages, lateResults, 1s);
        const double rate = (flooded - floodedBefore) / Seconds(Clock::now() - start);
        stop = true;
        for (std::thread& thread : flood)
            thread.join();
        char text[160];
        std::snprintf(text, sizeof text,
                      "%.0f version requests/s; results sent 100 ms after their token stored: ", rate);
        Row("a flood of version requests (two pipelining clients)",
            text + results.Text() + "; sent 1 s after: " + lateResults.Text());
    }

    void PagesWhileResultsArriveCase() {
        const std::string database = FreshDatabase();
        Fill(database, 10000);
        const auto server = Start(database);
        std::atomic<bool> stop = false;
        int pages = 0;
        const auto start = Clock::now();
        Clock::duration slowest{};
        std::thread reader([&] { // a page every 10 ms at most, as many readers would ask
            Client client(server->Port());
            for (auto next = Clock::now(); !stop; next += 10ms) {
                std::this_thread::sleep_until(next);
                const auto asked = Clock::now();
                if (client.Request(TableTarget).Status != 200) break;
                slowest = std::max(slowest, Clock::now() - asked);
                ++pages;
            }
        });
        const PairFigures pairs = Pairs(*server, 8);
        stop = true;
        reader.join();
        char text[160];
        std::snprintf(
            text, sizeof text,
            "%.0f table pages/s of 100 asked (slowest %.0f ms), %.0f pairs/s for 8 clients (%d failed)",
            pages / Seconds(Clock::now() - start), Seconds(slowest) * 1000, pairs.PerSecond, pairs.Failed);
        Row("the table page while 8 clients send results, 10 000 rows", text);
    }

    void RowsKeptCase() {
        const std::string database = FreshDatabase();
        Fill(database, 10000);
        const auto server = Start(database);
        const PairFigures pairs = Pairs(*server, 8);
        std::this_thread::sleep_for(200ms);
        scoreserver::StoreSettings settings;
        settings.Address = database;
        std::size_t rows = 0;
        if (options_.Database.empty()) {
            rows = scoreserver::OpenScoreStore(settings)->Best(1000000).size();
        } else {
            const std::string command = "psql -qtAX '" + database + "' -c 'SELECT count(*) FROM results'";
            FILE* out = popen(command.c_str(), "r");
            char line[64] = "";
            if (out && std::fgets(line, sizeof line, out)) rows = std::strtoul(line, nullptr, 10);
            if (out) pclose(out);
        }
        char text[160];
        std::snprintf(text, sizeof text,
                      "%zu rows in the results table after %.0f pairs/s for %d s (it keeps 10000)", rows,
                      pairs.PerSecond, options_.Seconds);
        Row("a 10 000-row table while 8 clients send results", text);
    }

    void NginxSlowlorisCase() {
        // As the unit runs it, nginx holding every connection; a server without the option as it comes.
        auto server = Start(FreshDatabase(), {"--max-per-address", "512"});
        if (!server) server = Start(FreshDatabase());
        char pattern[] = "/tmp/scoreserver-bench-nginx-XXXXXX";
        const fs::path folder = mkdtemp(pattern) ? fs::path(pattern) : folder_ / "nginx";
        {
            scoreserver::testnet::NginxProcess nginx(options_.NginxDeploy, folder, server->Port(),
                                                     options_.DebianNginx
                                                         ? scoreserver::testnet::DebianNginxMain
                                                         : scoreserver::testnet::GuideNginxMain);
            if (!nginx.Problem().empty()) {
                Row("2000 slow heads through nginx", nginx.Problem());
            } else {
                Attackers attackers(nginx.Port(), 2000, {"127.0.0.2"}, true);
                std::this_thread::sleep_for(2s);
                Tally pages, results;
                Player(nginx.Port(), 20s, pages, results, {}, 300ms); // within nginx's 10 requests a second
                std::error_code ignored;
                Row(std::string("2000 slow heads from one address through nginx, 20 s (") +
                        (options_.DebianNginx ? "Debian's nginx.conf" : "nginx.conf as the guide sets it") +
                        ")",
                    "a player's home pages answered " + pages.Text() + ", results stored " + results.Text() +
                        "; error log " + std::to_string(fs::file_size(nginx.ErrorLog(), ignored)) + " bytes");
            }
        }
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    static std::vector<std::string> Addresses(int count) {
        std::vector<std::string> addresses;
        for (int i = 1; i <= count; ++i)
            addresses.push_back("127.0.1." + std::to_string(i));
        return addresses;
    }

    // Requests per second of 8 keep-alive clients asking for one target, for the run time.
    double RequestsPerSecond(int port, const std::string& target) {
        std::atomic<int> answered = 0;
        const auto start = Clock::now();
        const auto end = start + std::chrono::seconds(options_.Seconds);
        std::vector<std::thread> clients;
        for (int c = 0; c < 8; ++c)
            clients.emplace_back([&] {
                Client client(port);
                while (Clock::now() < end && client.Request(target).Status == 200)
                    ++answered;
            });
        for (std::thread& client : clients)
            client.join();
        return answered / Seconds(Clock::now() - start);
    }

    void TablePageCase() {
        const std::string database = FreshDatabase();
        Fill(database, 100000);
        const auto server = Start(database);
        Client client(server->Port());
        const Reply page = client.Request(TableTarget);
        char pattern[] = "/tmp/scoreserver-bench-static-XXXXXX";
        const fs::path folder = mkdtemp(pattern) ? fs::path(pattern) : folder_ / "static";
        std::ofstream(folder / "table.html") << page.Body;
        const double fromServer = RequestsPerSecond(server->Port(), TableTarget);
        double fromNginx = 0;
        {
            StaticNginx nginx(folder);
            if (nginx.Port() != 0) fromNginx = RequestsPerSecond(nginx.Port(), "/table.html");
        }
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        char text[200];
        std::snprintf(
            text, sizeof text,
            "%.0f pages/s from the server, %.0f from nginx serving a static copy (%zu bytes): %.2f of "
            "nginx's (8 keep-alive clients)",
            fromServer, fromNginx, page.Body.size(), fromNginx > 0 ? fromServer / fromNginx : 0.0);
        Row("the table page at 100 000 rows", text);
    }

    // A version request, a result claiming the score and the replay's upload; the upload's status.
    static int SendGame(Client& client, const std::string& name, int score, const std::string& replay) {
        const Reply version = client.Request(VersionTarget);
        const std::string token = FifthField(version.Body);
        if (version.Status != 200 || client.Request(ResultFor(name, score, token)).Status != 200) return 0;
        return client
            .Request("/cgi/version.pl?replay&prg=Vantorix&p=" + token, "POST",
                     "Content-Type: application/octet-stream\r\nContent-Length: " +
                         std::to_string(replay.size()) + "\r\n",
                     10s, replay)
            .Status;
    }

    void UploadsCase() {
        // Nothing checks them meanwhile: the figure is the upload path's. The queue holds 1000.
        const auto server = Start(FreshDatabase(), {"--verify-workers", "0"});
        const std::string replay = "VTXREPLY" + std::string(31000, 'r'); // a ten-minute game's size
        std::atomic<int> taken = 0, refused = 0;
        const auto start = Clock::now();
        const auto end = start + std::chrono::seconds(options_.Seconds);
        std::vector<std::thread> clients;
        for (int c = 0; c < 8; ++c)
            clients.emplace_back([&, c] {
                Client client(server->Port());
                for (int i = 0; Clock::now() < end && taken < 1000; ++i)
                    (SendGame(client, "U" + std::to_string(c) + "x" + std::to_string(i), i, replay) == 202
                         ? taken
                         : refused)++;
            });
        for (std::thread& client : clients)
            client.join();
        const double seconds = Seconds(Clock::now() - start);
        char text[200];
        std::snprintf(
            text, sizeof text,
            "%.0f uploads/s of 31 kB, each after its version and result requests (%d taken, %d refused, "
            "8 keep-alive clients)",
            taken / seconds, taken.load(), refused.load());
        Row("replay uploads", text);
    }

    // The replay to check and the score it claims: the given file, whose claim its verifier reads, or the
    // stand-in's words.
    std::optional<std::pair<std::string, int>> ReplayToCheck() {
        if (options_.Replay.empty()) return std::pair(std::string("VTXREPLY verified 4200"), 4200);
        std::ifstream in(options_.Replay, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string command = "'" + options_.Verifier + "' --verify '" + options_.Replay + "'";
        FILE* out = popen(command.c_str(), "r");
        char line[4096] = "";
        if (!out || !std::fgets(line, sizeof line, out)) {
            if (out) pclose(out);
            return std::nullopt;
        }
        pclose(out);
        const char* claim = std::strstr(line, "\"claimed_score\":");
        if (bytes.empty() || !claim) return std::nullopt;
        return std::pair(bytes, std::atoi(claim + 16));
    }

    void VerifyCase() {
        const auto replay = ReplayToCheck();
        if (!replay) return Row("checks", "the verifier could not read " + options_.Replay);
        const int games = options_.Replay.empty() ? 200 : 20;
        const std::string database = FreshDatabase();
        const auto server = Start(database, {"--verify-workers", "1", "--verifier", options_.Verifier});
        Client client(server->Port());
        rusage before{};
        getrusage(RUSAGE_CHILDREN, &before);
        const auto start = Clock::now();
        for (int i = 0; i < games; ++i)
            if (SendGame(client, "V" + std::to_string(i), replay->second, replay->first) != 202)
                return Row("checks", "an upload was refused");
        int waiting = games;
        while (waiting > 0 && Clock::now() - start < 600s) {
            std::this_thread::sleep_for(100ms);
            const std::string page = client.Request(TableTarget).Body;
            waiting = 0;
            for (std::size_t at = page.find("being checked"); at != std::string::npos;
                 at = page.find("being checked", at + 1))
                ++waiting;
        }
        const double seconds = Seconds(Clock::now() - start);
        char text[240];
        std::snprintf(text, sizeof text,
                      "%d checks of %s in %.1f s with one worker: %.0f checks a minute per core", games,
                      options_.Replay.empty() ? "the stand-in verifier's answer (the server's own cost)"
                                              : options_.Replay.c_str(),
                      seconds, games * 60 / seconds);
        Row(waiting == 0 ? "checks" : "checks (unfinished)", text);
    }

  private:
    void ResetPostgres() {
        scoreserver::StoreSettings settings;
        settings.Address = options_.Database;
        scoreserver::OpenScoreStore(settings); // creates the tables when missing
        const std::string command = "psql -q -X '" + options_.Database +
                                    "' -c 'TRUNCATE results, spent_tokens, replays, verify_jobs' >/dev/null";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "could not empty %s\n", options_.Database.c_str());
    }

    Options options_;
    fs::path folder_;
    int databases_ = 0;
    int logs_ = 0;
};

std::optional<Options> ReadOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        if (name == "--server")
            options.Server = argv[i + 1];
        else if (name == "--db")
            options.Database = argv[i + 1];
        else if (name == "--cases")
            options.Cases = argv[i + 1];
        else if (name == "--nginx-deploy")
            options.NginxDeploy = argv[i + 1];
        else if (name == "--nginx-main")
            options.DebianNginx = std::string_view(argv[i + 1]) == "debian";
        else if (name == "--verifier")
            options.Verifier = argv[i + 1];
        else if (name == "--replay")
            options.Replay = argv[i + 1];
        else if (name == "--seconds")
            options.Seconds = std::clamp(std::atoi(argv[i + 1]), 1, 60);
        else
            return std::nullopt;
    }
    if (options.Server.empty() || argc % 2 == 0) return std::nullopt;
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = ReadOptions(argc, argv);
    if (!options) {
        std::fputs("usage: scoreserver_bench --server PATH [--db postgresql://...] [--seconds 1-60]\n"
                   "       [--cases all|attacks|store|nginx|verify] [--nginx-deploy DIR] [--nginx-main "
                   "debian|guide]\n"
                   "       [--verifier PATH --replay FILE]\n",
                   stderr);
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    Bench bench(*options);
    std::printf("| attack / figure | measured |\n|---|---|\n");
    if (options->Cases == "all" || options->Cases == "verify") {
        bench.VerifyCase();
        bench.UploadsCase();
        bench.TablePageCase();
        if (options->Cases == "verify") return 0;
    }
    if (options->Cases == "all" || options->Cases == "attacks") {
        bench.SlowlorisCase();
        bench.OpenFileLimitCase();
        bench.TokenFloodCase();
    }
    if (options->Cases != "nginx") {
        bench.PagesWhileResultsArriveCase();
        bench.RowsKeptCase();
    }
    if (options->Cases != "store") bench.NginxSlowlorisCase();
    if (options->Cases != "all") return 0;
    bench.SlowClientsCase();
    bench.IdleConnectionsCase();
    bench.HugeHeadersCase();
    bench.RangeCase();
    bench.KeepAliveCase();
    bench.PairsCase();
    bench.TerminateCase();
    bench.HomeAndHeadCase();
    bench.KilledCase();
    return 0;
}
