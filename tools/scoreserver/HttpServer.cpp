#include "HttpServer.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <exception>

namespace scoreserver {
namespace {

// epoll keys below FirstConnectionId name the server's own descriptors.
constexpr uint64_t ListenerKey = 1;
constexpr uint64_t StopKey = 2;
constexpr uint64_t AnswerKey = 3;
constexpr uint64_t FirstConnectionId = 16;

constexpr auto SweepInterval = std::chrono::milliseconds(100);
// A new connection is never cut for room in its first second: it has had no
// time to send its request.
constexpr auto FreshTime = std::chrono::seconds(1);
// Connections taken per wake-up, so those taken are read before the queue is
// emptied and a burst cannot push out the ones accepted just before.
constexpr int AcceptBatch = 64;
// Connections the system queues for accepting (it caps this at somaxconn): a
// storm of connections must not leave a player's to be dropped and tried again
// a second later.
constexpr int ListenQueue = 4096;
constexpr int FreshRank = 3;
constexpr int NeverCut = 4;
// Descriptors the server needs besides its connections: standard streams, the
// listener, epoll, event descriptors, the reserve, the database's files or
// sockets, randomness.
constexpr std::size_t SpareDescriptors = 32;
constexpr std::size_t FewestConnections = 8;
constexpr auto DrainTime = std::chrono::seconds(1);
constexpr std::size_t MaxDrainBytes = 64 * 1024;

struct Reason {
    int Status;
    const char* Text;
};
constexpr std::array<Reason, 17> ReasonPhrases = {{
    {200, "OK"},
    {202, "Accepted"},
    {400, "Bad Request"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {408, "Request Timeout"},
    {409, "Conflict"},
    {411, "Length Required"},
    {413, "Content Too Large"},
    {414, "URI Too Long"},
    {417, "Expectation Failed"},
    {431, "Request Header Fields Too Large"},
    {500, "Internal Server Error"},
    {501, "Not Implemented"},
    {502, "Bad Gateway"},
    {503, "Service Unavailable"},
    {505, "HTTP Version Not Supported"},
}};

const char* ReasonPhrase(int status) {
    for (const Reason& reason : ReasonPhrases)
        if (reason.Status == status) return reason.Text;
    return "Unknown";
}

// "Date:" wants the current second in IMF-fixdate form; it changes once a second.
std::string HttpDate() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    char text[64] = "";
    if (gmtime_r(&now, &parts)) std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

std::string SerializeResponse(const HttpResponse& response, bool keepAlive, bool headOnly) {
    std::string out = "HTTP/1.1 " + std::to_string(response.Status) + " " + ReasonPhrase(response.Status) +
                      "\r\nDate: " + HttpDate() +
                      "\r\nServer: vantorix-scoreserver\r\nContent-Type: " + response.ContentType +
                      "\r\nContent-Length: " + std::to_string(response.Body.size()) +
                      "\r\nX-Content-Type-Options: nosniff\r\n";
    for (const auto& [name, value] : response.Headers)
        out += name + ": " + value + "\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    if (!headOnly) out += response.Body;
    return out;
}

void SetNoDelay(int fd) {
    const int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
}

// Every connection needs a descriptor: raises the soft limit to what the
// connection cap needs, as far as the hard limit allows, and returns the cap
// that fits under the limit that holds then.
std::size_t FitUnderDescriptorLimit(std::size_t wanted) {
    const rlim_t needed = wanted + SpareDescriptors;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return wanted;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < needed) {
        limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? needed : std::min(needed, limit.rlim_max);
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= needed) return wanted;
    return std::max<std::size_t>(FewestConnections,
                                 limit.rlim_cur - std::min<rlim_t>(limit.rlim_cur, SpareDescriptors));
}

// Connections are counted per IPv4 address or IPv6 /64 (what one host is
// usually given); an IPv4 address mapped into IPv6 counts as itself.
std::string AddressKey(const sockaddr_storage& peer) {
    if (peer.ss_family == AF_INET) {
        const auto& address = reinterpret_cast<const sockaddr_in&>(peer).sin_addr;
        return std::string(reinterpret_cast<const char*>(&address), 4);
    }
    if (peer.ss_family == AF_INET6) {
        const auto& address = reinterpret_cast<const sockaddr_in6&>(peer).sin6_addr;
        const char* bytes = reinterpret_cast<const char*>(address.s6_addr);
        return IN6_IS_ADDR_V4MAPPED(&address) ? std::string(bytes + 12, 4) : std::string(bytes, 8);
    }
    return {};
}

} // namespace

struct HttpServer::Connection {
    enum class Phase {
        Reading,  // waiting for (the rest of) a request head
        Waiting,  // the handler's answer is on its way
        Writing,  // sending the answer
        Draining, // answered and shut for writing; reading what the client still sends before closing
    };
    int Fd = -1;
    ConnectionId Id = 0;
    Phase State = Phase::Reading;
    std::string In;
    std::string Out;
    std::size_t Sent = 0;
    std::size_t Drained = 0;
    std::size_t BodyAwaited = 0; // while a body comes: the bytes of head and body together, else 0
    std::size_t BodyBytes = 0;   // while a body comes: its announced length
    bool InRequest = false;      // part of a request has arrived
    bool PeerDone = false;       // the client has shut its side: answer what came, then close
    bool KeepAlive = false;
    bool HeadOnly = false; // the answer goes without its body
    bool Served = false;   // an answer has been sent on it
    Clock::time_point Opened;
    Clock::time_point Since; // start of the current request, idle period, send or drain
    std::string Address;     // the peer's AddressKey
    uint32_t Watched = 0;
};

HttpResponse ErrorResponse(int status, std::string_view reason) {
    HttpResponse response;
    response.Status = status;
    response.Body = "ERROR|" + std::string(reason) + "\n";
    return response;
}

HttpServer::HttpServer(const ServerLimits& limits, Handler handler, ServerLog& log)
    : limits_(limits), handler_(std::move(handler)), log_(log),
      maxConnections_(FitUnderDescriptorLimit(limits.MaxConnections)), nextId_(FirstConnectionId) {
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    stopEvent_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    answerEvent_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    reserve_ = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (maxConnections_ < limits.MaxConnections) {
        rlimit limit{};
        getrlimit(RLIMIT_NOFILE, &limit);
        log_.Say("the open-file limit of " + std::to_string(limit.rlim_cur) + " leaves room for " +
                 std::to_string(maxConnections_) + " connections, not " +
                 std::to_string(limits.MaxConnections));
    }
}

HttpServer::~HttpServer() {
    while (!connections_.empty())
        Close(connections_.begin()->first);
    for (int fd : {listener_, epoll_, stopEvent_, answerEvent_, reserve_})
        if (fd >= 0) close(fd);
}

std::optional<int> HttpServer::Bind(const std::string& address, int port) {
    if (listener_ >= 0 || epoll_ < 0 || stopEvent_ < 0 || answerEvent_ < 0) return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return std::nullopt;
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, freeaddrinfo);

    const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    // SO_REUSEADDR alone allows a quick restart; SO_REUSEPORT would let a second
    // server share the port and split the players between two tables.
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_storage bound{};
    socklen_t boundLength = sizeof bound;
    if (bind(fd, found->ai_addr, found->ai_addrlen) != 0 || listen(fd, ListenQueue) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &boundLength) != 0) {
        close(fd);
        return std::nullopt;
    }
    listener_ = fd;
    return bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                       : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

bool HttpServer::Run() {
    if (listener_ < 0) return false;
    const std::pair<int, uint64_t> own[] = {
        {listener_, ListenerKey}, {stopEvent_, StopKey}, {answerEvent_, AnswerKey}};
    for (const auto& [fd, key] : own) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = key;
        if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0) return false;
    }

    std::array<epoll_event, 256> events;
    Clock::time_point lastSweep = Clock::now();
    for (bool stopping = false; !stopping;) {
        const int count = epoll_wait(epoll_, events.data(), static_cast<int>(events.size()),
                                     static_cast<int>(SweepInterval.count()));
        const Clock::time_point now = Clock::now();
        for (int i = 0; i < count; ++i) {
            const uint64_t key = events[i].data.u64;
            if (key == StopKey) {
                stopping = true;
            } else if (key == ListenerKey) {
                Accept(now);
            } else if (key == AnswerKey) {
                DeliverAnswers(now);
            } else if (const auto found = connections_.find(key); found != connections_.end()) {
                OnEvent(*found->second, events[i].events, now);
            }
        }
        if (now - lastSweep >= SweepInterval) {
            Sweep(now);
            lastSweep = now;
        }
        log_.Flush(now, connections_.size());
    }
    while (!connections_.empty())
        Close(connections_.begin()->first);
    log_.Flush(Clock::now(), 0, true);
    return true;
}

void HttpServer::Stop() {
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = write(stopEvent_, &one, sizeof one);
}

void HttpServer::Answer(ConnectionId connection, HttpResponse response) {
    {
        std::lock_guard lock(answersMutex_);
        answers_.emplace_back(connection, std::move(response));
    }
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = write(answerEvent_, &one, sizeof one);
}

void HttpServer::DeliverAnswers(Clock::time_point now) {
    uint64_t ignored = 0;
    [[maybe_unused]] const auto read = ::read(answerEvent_, &ignored, sizeof ignored);
    std::vector<std::pair<ConnectionId, HttpResponse>> ready;
    {
        std::lock_guard lock(answersMutex_);
        ready.swap(answers_);
    }
    for (const auto& [id, response] : ready) {
        const auto found = connections_.find(id);
        if (found != connections_.end() && found->second->State == Connection::Phase::Waiting)
            Send(*found->second, response, now);
    }
}

void HttpServer::Accept(Clock::time_point now) {
    for (int taken = 0; taken < AcceptBatch; ++taken) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const int fd =
            accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            Admit(fd, AddressKey(peer), now);
        } else if (errno == EMFILE || errno == ENFILE) {
            if (!ShedWithoutDescriptors(now)) return;
        } else if (errno == ENOBUFS || errno == ENOMEM) {
            log_.Refused("out of memory for connections");
            return PauseAccepting();
        } else if (errno != EINTR && errno != ECONNABORTED) {
            return; // nothing more is waiting
        }
    }
}

void HttpServer::Admit(int fd, const std::string& address, Clock::time_point now) {
    const auto held = perAddress_.find(address);
    if (held != perAddress_.end() && held->second >= limits_.MaxPerAddress && !MakeRoom(&address, now)) {
        log_.Refused("too many connections from one address");
        close(fd);
        return;
    }
    if (connections_.size() >= maxConnections_ && !MakeRoom(nullptr, now)) {
        log_.Refused("too many connections");
        close(fd);
        return;
    }
    SetNoDelay(fd);
    auto connection = std::make_unique<Connection>();
    connection->Fd = fd;
    connection->Id = nextId_++;
    connection->Opened = now;
    connection->Since = now;
    connection->Address = address;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = connection->Id;
    connection->Watched = EPOLLIN;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0) {
        close(fd);
        return;
    }
    ++perAddress_[address];
    connections_.emplace(connection->Id, std::move(connection));
}

// No descriptor is left for the waiting client: close a connection that may go
// and take the client, or else take it on the reserve descriptor and close it
// at once, so it hears no rather than waiting in the queue. False when there
// is nothing to do until the next sweep.
bool HttpServer::ShedWithoutDescriptors(Clock::time_point now) {
    log_.Refused("out of file descriptors");
    if (MakeRoom(nullptr, now)) return true;
    if (reserve_ < 0) {
        PauseAccepting();
        return false;
    }
    close(reserve_);
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) close(fd);
    reserve_ = open("/dev/null", O_RDONLY | O_CLOEXEC);
    return fd >= 0;
}

void HttpServer::PauseAccepting() {
    epoll_event event{};
    event.data.u64 = ListenerKey;
    epoll_ctl(epoll_, EPOLL_CTL_MOD, listener_, &event);
    acceptPaused_ = true;
}

// Which connection goes first to make room, lowest first: a draining one; one
// that has sent nothing for a while or whose head is slow; one kept alive
// between requests; one in its first second; never one waiting for or
// receiving its answer.
int HttpServer::EvictionRank(const Connection& c, Clock::time_point now) {
    using Phase = Connection::Phase;
    if (c.State == Phase::Draining) return 0;
    if (c.State != Phase::Reading) return NeverCut;
    if (!c.Served && now - c.Opened < FreshTime) return FreshRank;
    return c.Served && !c.InRequest ? 2 : 1;
}

// The connection to close for a newcomer (among those of one address, when
// given), by EvictionRank; between equals, the address holding most
// connections goes first, then the one longest in its state.
HttpServer::Connection* HttpServer::ChooseVictim(const std::string* address, Clock::time_point now) const {
    Connection* victim = nullptr;
    int victimRank = NeverCut;
    std::size_t victimCrowd = 0;
    for (const auto& [id, connection] : connections_) {
        if (address && connection->Address != *address) continue;
        const int r = EvictionRank(*connection, now);
        if (r == NeverCut || r > victimRank) continue;
        const std::size_t crowd = address ? 0 : perAddress_.at(connection->Address);
        if (victim && r == victimRank &&
            (crowd < victimCrowd || (crowd == victimCrowd && connection->Since >= victim->Since)))
            continue;
        victim = connection.get();
        victimRank = r;
        victimCrowd = crowd;
    }
    return victim;
}

// For an address at its limit, only one of its own that is no longer new makes
// room: a storm of reconnections from one address is turned away at once.
bool HttpServer::MakeRoom(const std::string* address, Clock::time_point now) {
    Connection* victim = ChooseVictim(address, now);
    if (!victim || (address && EvictionRank(*victim, now) == FreshRank)) return false;
    log_.Refused(victim->InRequest ? "slow request closed for a new connection"
                                   : "idle connection closed for a new one");
    Close(victim->Id);
    return true;
}

void HttpServer::OnEvent(Connection& connection, uint32_t events, Clock::time_point now) {
    const ConnectionId id = connection.Id;
    using Phase = Connection::Phase;
    if ((events & (EPOLLERR | EPOLLHUP)) && !(events & EPOLLIN)) return Close(id);
    switch (connection.State) {
    case Phase::Reading:
        return ReadInto(connection, now);
    case Phase::Writing:
        return WriteOut(connection, now);
    case Phase::Draining:
        return Drain(connection);
    case Phase::Waiting:
        return Close(id); // only a hang-up or an error can arrive here
    }
}

void HttpServer::ReadInto(Connection& connection, Clock::time_point now) {
    // Never hold more than one head's worth, or the head and body announced: the
    // parser refuses at that size.
    const std::size_t cap =
        connection.BodyAwaited ? connection.BodyAwaited : limits_.Request.MaxHeadBytes + 1;
    char buffer[16384];
    while (connection.In.size() < cap) {
        const ssize_t got = read(connection.Fd, buffer, std::min(sizeof buffer, cap - connection.In.size()));
        if (got > 0) {
            if (!connection.InRequest) {
                connection.InRequest = true;
                connection.Since = now;
            }
            connection.In.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (got < 0 && errno == EINTR) continue;
        // The client has gone, or shut its side: nothing more can come, but a
        // complete request may still be in the buffer.
        connection.PeerDone = true;
        break;
    }
    const ConnectionId id = connection.Id;
    Process(connection, now); // may close the connection
    const auto still = connections_.find(id);
    if (still != connections_.end() && still->second->PeerDone &&
        still->second->State == Connection::Phase::Reading)
        Close(id);
}

void HttpServer::Process(Connection& connection, Clock::time_point now) {
    if (connection.State != Connection::Phase::Reading || connection.In.empty()) return;
    const ParsedHead head = ReadRequest(connection.In, limits_.Request);
    if (head.State == HeadState::Incomplete) return;
    if (head.State == HeadState::Refused) return Refuse(connection, head.Status, head.Reason, now);
    if (head.State == HeadState::AwaitingBody) {
        if (!connection.BodyAwaited) AwaitBody(connection, head, now);
        return;
    }
    ForgetBody(connection);

    connection.In.erase(0, head.Length);
    connection.KeepAlive = head.Request.KeepAlive;
    const std::string& method = head.Request.Method;
    connection.HeadOnly = false;
    if (method != "GET" && method != "HEAD" && method != "POST") {
        HttpResponse refusal = ErrorResponse(405, "only GET, HEAD and POST are served");
        refusal.Headers.emplace_back("Allow", "GET, HEAD, POST");
        refusal.Close = true;
        log_.Refused("method not allowed");
        return Send(connection, refusal, now);
    }
    connection.State = Connection::Phase::Waiting;
    connection.HeadOnly = method == "HEAD";
    Watch(connection, 0);
    std::optional<HttpResponse> response;
    try {
        response = handler_(head.Request, connection.Id);
    } catch (const std::exception& error) {
        // One request's fault (out of memory, no randomness) must not end the server.
        log_.Fault(error.what());
        response = ErrorResponse(500, "internal error");
    }
    if (response) Send(connection, *response, now);
}

// A head has announced a body: it is taken if all the bodies being received
// stay within their bound together, and the client is told to go on when it
// waits for that.
void HttpServer::AwaitBody(Connection& connection, const ParsedHead& head, Clock::time_point now) {
    const std::size_t length = head.Request.BodyLength;
    if (bodyBytesAwaited_ + length > limits_.MaxBodyBytesInFlight) {
        HttpResponse refusal = ErrorResponse(503, "too many uploads at once; try again soon");
        refusal.Headers.emplace_back("Retry-After", "5");
        refusal.Close = true;
        log_.Refused("too many uploads at once");
        return Send(connection, refusal, now);
    }
    bodyBytesAwaited_ += length;
    connection.BodyBytes = length;
    connection.BodyAwaited = head.Length + length;
    connection.Since = now; // the body's own deadline starts
    if (head.Request.ExpectContinue) {
        constexpr std::string_view Continue = "HTTP/1.1 100 Continue\r\n\r\n";
        // The first bytes on a connection with nothing else to send: the socket takes them whole.
        [[maybe_unused]] const auto put = send(connection.Fd, Continue.data(), Continue.size(), MSG_NOSIGNAL);
    }
}

void HttpServer::ForgetBody(Connection& connection) {
    if (!connection.BodyAwaited) return;
    bodyBytesAwaited_ -= connection.BodyBytes;
    connection.BodyBytes = 0;
    connection.BodyAwaited = 0;
}

void HttpServer::Refuse(Connection& connection, int status, std::string_view reason, Clock::time_point now) {
    log_.Refused(reason);
    HttpResponse refusal = ErrorResponse(status, reason);
    refusal.Close = true;
    connection.HeadOnly = false;
    Send(connection, refusal, now);
}

void HttpServer::Send(Connection& connection, const HttpResponse& response, Clock::time_point now) {
    ForgetBody(connection);
    connection.KeepAlive = connection.KeepAlive && !response.Close && !connection.PeerDone;
    connection.Out = SerializeResponse(response, connection.KeepAlive, connection.HeadOnly);
    connection.Sent = 0;
    connection.Served = true;
    connection.State = Connection::Phase::Writing;
    connection.Since = now;
    WriteOut(connection, now);
}

void HttpServer::WriteOut(Connection& connection, Clock::time_point now) {
    while (connection.Sent < connection.Out.size()) {
        const ssize_t put = send(connection.Fd, connection.Out.data() + connection.Sent,
                                 connection.Out.size() - connection.Sent, MSG_NOSIGNAL);
        if (put > 0) {
            connection.Sent += static_cast<std::size_t>(put);
        } else if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return Watch(connection, EPOLLOUT);
        } else if (put < 0 && errno == EINTR) {
            continue;
        } else {
            return Close(connection.Id);
        }
    }
    connection.Out.clear();
    connection.Out.shrink_to_fit();
    if (!connection.KeepAlive) {
        // Shut our side and read what is left for a moment, so the client gets the
        // answer instead of a reset caused by unread bytes.
        shutdown(connection.Fd, SHUT_WR);
        connection.State = Connection::Phase::Draining;
        connection.Since = now;
        connection.Drained = 0;
        Watch(connection, EPOLLIN);
        return Drain(connection);
    }
    connection.State = Connection::Phase::Reading;
    connection.InRequest = !connection.In.empty();
    connection.Since = now;
    Watch(connection, EPOLLIN);
    Process(connection, now); // a pipelined request may be waiting already
}

void HttpServer::Drain(Connection& connection) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(connection.Fd, buffer, sizeof buffer);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (got < 0 && errno == EINTR) continue;
        connection.Drained += got > 0 ? static_cast<std::size_t>(got) : 0;
        if (got <= 0 || connection.Drained > MaxDrainBytes) return Close(connection.Id);
    }
}

void HttpServer::Watch(Connection& connection, uint32_t events) {
    if (connection.Watched == events) return;
    epoll_event event{};
    event.events = events;
    event.data.u64 = connection.Id;
    epoll_ctl(epoll_, EPOLL_CTL_MOD, connection.Fd, &event);
    connection.Watched = events;
}

void HttpServer::Close(ConnectionId id) {
    const auto found = connections_.find(id);
    if (found == connections_.end()) return;
    ForgetBody(*found->second);
    close(found->second->Fd); // also takes it out of the epoll set
    const auto held = perAddress_.find(found->second->Address);
    if (held != perAddress_.end() && --held->second == 0) perAddress_.erase(held);
    connections_.erase(found);
}

void HttpServer::Sweep(Clock::time_point now) {
    using Phase = Connection::Phase;
    if (acceptPaused_) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = ListenerKey;
        epoll_ctl(epoll_, EPOLL_CTL_MOD, listener_, &event);
        acceptPaused_ = false;
    }
    std::vector<ConnectionId> closing;
    std::vector<Connection*> late;
    for (const auto& [id, connection] : connections_) {
        const auto age = now - connection->Since;
        switch (connection->State) {
        case Phase::Reading:
            if (connection->InRequest &&
                age > (connection->BodyAwaited ? limits_.BodyDeadline : limits_.RequestDeadline))
                late.push_back(connection.get());
            else if (!connection->InRequest && age > limits_.IdleTimeout)
                closing.push_back(id);
            break;
        case Phase::Writing:
            if (age > limits_.SendDeadline) {
                log_.Refused("answer not taken in time");
                closing.push_back(id);
            }
            break;
        case Phase::Draining:
            if (age > DrainTime) closing.push_back(id);
            break;
        case Phase::Waiting:
            break;
        }
    }
    for (ConnectionId id : closing)
        Close(id);
    for (Connection* connection : late)
        Refuse(*connection, 408, "request took too long", now);
}

} // namespace scoreserver
