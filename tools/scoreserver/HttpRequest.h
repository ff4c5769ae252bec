// The head of one HTTP/1.x request (request line and header fields), read from
// the bytes a connection has received so far, and the body that follows it. Plain
// C++ without any socket, so it can be tested and fuzzed on its own. Strict where
// leniency helps an attacker: bounded size and field count, a body only on POST,
// announced by Content-Length and bounded, no chunks, no folded lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scoreserver {

struct RequestLimits {
    std::size_t MaxHeadBytes = 8192;   // request line, every field and the empty line
    std::size_t MaxRequestLine = 4096; // "GET <target> HTTP/1.1"
    std::size_t MaxFields = 40;
    std::size_t MaxBodyBytes = 256 * 1024; // a POST's body (an uploaded replay) at most
};

struct HttpRequest {
    std::string Method;
    std::string Target; // as sent: path and query, "%" escapes undecoded
    bool KeepAlive = false;
    std::size_t BodyLength = 0;  // as Content-Length announced it
    bool ExpectContinue = false; // "Expect: 100-continue": the client waits to be told to send the body
    std::string Body;            // set by ReadRequest once all of it has arrived
};

enum class HeadState {
    Incomplete,   // keep reading
    AwaitingBody, // ReadRequest: the head is read (Length bytes), Request.BodyLength more are to come
    Complete,     // Request is set and Length bytes of the buffer were its head (and body, for ReadRequest)
    Refused,      // Status and Reason say why; the connection is closed after the answer
};

struct ParsedHead {
    HeadState State = HeadState::Incomplete;
    HttpRequest Request;
    std::size_t Length = 0;
    int Status = 0;
    std::string Reason;
};

// Reads the head at the start of buffer. A head that has not ended within the
// limits is refused at once rather than waited for.
ParsedHead ParseRequestHead(std::string_view buffer, const RequestLimits& limits);

// The whole request at the start of buffer: its head, then the body its head
// announced, which is Complete only once every byte of it is there.
ParsedHead ReadRequest(std::string_view buffer, const RequestLimits& limits);

// The path of a target without its query; an absolute-form target
// ("http://host/path?q") gives its path too.
std::string_view TargetPath(std::string_view target);

// The part after "?", or empty.
std::string_view TargetQuery(std::string_view target);

} // namespace scoreserver
