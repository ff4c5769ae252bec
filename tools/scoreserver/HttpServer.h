// A small HTTP/1.1 server on one thread and epoll, made to face the open
// internet: every connection costs a few kilobytes, never a thread, so slow or
// idle clients cannot starve the others. It enforces:
//  - a deadline on each whole request head, from its first byte;
//  - caps on the head's size and field count; a body only on POST, announced
//    by Content-Length, bounded, and all bodies being received at once bounded
//    together, within a deadline of its own;
//  - a bounded number of connections, fitted under the open-file limit, and of
//    connections from one address; when full, a connection that has sent
//    nothing for a while or whose head is slow goes first, a new one gets its
//    chance to send its request, and the address holding most loses first;
//  - a deadline on sending each answer;
//  - GET, HEAD and POST only, no ranges, answers written in one piece (TCP_NODELAY).
// The handler runs on the server thread; a slow answer (a database write) is
// handed back later through Answer from any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "HttpRequest.h"
#include "ServerLog.h"

namespace scoreserver {

struct HttpResponse {
    int Status = 200;
    std::string ContentType = "text/plain; charset=utf-8";
    std::string Body;
    std::vector<std::pair<std::string, std::string>> Headers; // further fields
    bool Close = false;                                       // close the connection after this answer
};

// The answer "ERROR|reason" that the game and the tests read.
HttpResponse ErrorResponse(int status, std::string_view reason);

struct ServerLimits {
    RequestLimits Request;
    std::chrono::milliseconds RequestDeadline{5000}; // from a request's first byte to its head's last
    std::chrono::milliseconds BodyDeadline{30000};   // from the end of a head to the last byte of its body
    std::size_t MaxBodyBytesInFlight = 16 << 20;  // bodies being received at once, announced lengths together
    std::chrono::milliseconds IdleTimeout{15000}; // a kept-alive connection waiting for its next request
    std::chrono::milliseconds SendDeadline{10000}; // to hand one answer to the client
    std::size_t MaxConnections = 512;
    std::size_t MaxPerAddress = 32; // from one IPv4 address or IPv6 /64
};

class HttpServer {
  public:
    using ConnectionId = uint64_t;
    // Returns the answer, or nothing when it will come later through Answer.
    using Handler = std::function<std::optional<HttpResponse>(const HttpRequest&, ConnectionId)>;

    HttpServer(const ServerLimits& limits, Handler handler, ServerLog& log);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds the listening socket (port 0 picks a free one); returns the port.
    std::optional<int> Bind(const std::string& address, int port);

    // Serves until Stop; false if nothing was bound.
    bool Run();

    // Ends Run soon, from any thread, even before Run has started.
    void Stop();

    // The later answer to a request whose handler returned nothing; from any
    // thread. An answer for a connection that has gone meanwhile is dropped.
    void Answer(ConnectionId connection, HttpResponse response);

    std::size_t OpenConnections() const { return connections_.size(); }

  private:
    struct Connection;
    using Clock = std::chrono::steady_clock;

    void Accept(Clock::time_point now);
    void Admit(int fd, const std::string& address, Clock::time_point now);
    bool ShedWithoutDescriptors(Clock::time_point now);
    static int EvictionRank(const Connection& connection, Clock::time_point now);
    Connection* ChooseVictim(const std::string* address, Clock::time_point now) const;
    bool MakeRoom(const std::string* address, Clock::time_point now);
    void PauseAccepting();
    void OnEvent(Connection& connection, uint32_t events, Clock::time_point now);
    void ReadInto(Connection& connection, Clock::time_point now);
    void Process(Connection& connection, Clock::time_point now);
    void Send(Connection& connection, const HttpResponse& response, Clock::time_point now);
    void Refuse(Connection& connection, int status, std::string_view reason, Clock::time_point now);
    void AwaitBody(Connection& connection, const ParsedHead& head, Clock::time_point now);
    void ForgetBody(Connection& connection);
    void WriteOut(Connection& connection, Clock::time_point now);
    void Drain(Connection& connection);
    void Watch(Connection& connection, uint32_t events);
    void Close(ConnectionId id);
    void DeliverAnswers(Clock::time_point now);
    void Sweep(Clock::time_point now);

    const ServerLimits limits_;
    Handler handler_;
    ServerLog& log_;
    std::size_t maxConnections_; // the limit's cap, or less when the open-file limit is lower
    int listener_ = -1;
    int reserve_ = -1; // a spare descriptor, given up to turn away a client when none is left
    int epoll_ = -1;
    int stopEvent_ = -1;
    int answerEvent_ = -1;
    bool acceptPaused_ = false;
    ConnectionId nextId_;
    std::unordered_map<ConnectionId, std::unique_ptr<Connection>> connections_;
    std::unordered_map<std::string, std::size_t> perAddress_; // open connections by address key
    std::size_t bodyBytesAwaited_ = 0; // announced lengths of the bodies being received
    std::mutex answersMutex_;
    std::vector<std::pair<ConnectionId, HttpResponse>> answers_;
};

} // namespace scoreserver
