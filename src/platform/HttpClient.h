// A blocking HTTP client with the score server's fixed request headers, in-memory cookies and
// bounded waiting: a server that accepts the connection and never answers ends in a time-out. GET for
// the design's requests; POST for a body of bytes (a replay).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

struct HttpReply {
    // True for a finished request with a 2xx status; anything else (no connection, a time-out,
    // an error status, an over-long reply) is a failure.
    bool Ok = false;
    long Status = 0;   // 0 when no status line arrived
    std::string Body;  // what was read, at most the request's limit
    std::string Error; // one line saying why the request failed
};

class HttpClient {
  public:
    static constexpr int32_t DefaultConnectTimeoutMs = 10000;
    static constexpr int32_t DefaultRequestTimeoutMs = 20000;
    static constexpr size_t MaxReplyBytes = 64 * 1024;

    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // The whole request, connection included, ends after requestMs at the latest.
    void SetTimeouts(int32_t connectMs, int32_t requestMs);
    // A request under way fails soon (within about a second) after `*flag` turns true; null: never.
    void SetStopFlag(const std::atomic<bool>* flag);
    // Only http:// and https:// addresses are fetched; redirects are not followed. A reply longer than
    // maxBytes is a failure.
    HttpReply Get(const std::string& url, size_t maxBytes = MaxReplyBytes);
    // The bytes as the request's body, with Content-Length and the given Content-Type.
    HttpReply Post(const std::string& url, std::span<const uint8_t> body, const std::string& contentType);

  private:
    HttpReply Perform(const std::string& url, size_t maxBytes = MaxReplyBytes);
    struct Session;
    std::unique_ptr<Session> session;
};
