#include "HttpRequest.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>

namespace scoreserver {
namespace {

ParsedHead Refuse(int status, std::string reason) {
    ParsedHead head;
    head.State = HeadState::Refused;
    head.Status = status;
    head.Reason = std::move(reason);
    return head;
}

bool IsTokenCharacter(char c) {
    constexpr std::string_view extra = "!#$%&'*+-.^_`|~";
    return std::isalnum(static_cast<unsigned char>(c)) || extra.find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenCharacter);
}

// Visible ASCII only: no spaces, no control bytes, nothing above 0x7E.
bool IsTargetText(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

bool IsFieldValueText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == '\t' || (byte >= 0x20 && byte != 0x7F);
    });
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// True if the comma-separated list holds the token, in any letter case.
bool ListHas(std::string_view list, std::string_view token) {
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (Lower(Trim(list.substr(start, comma - start))) == token) return true;
        start = comma + 1;
    }
    return false;
}

// Where the head ends: just past its empty line. A line may end in CRLF or a bare LF.
std::optional<std::size_t> FindHeadEnd(std::string_view buffer) {
    for (std::size_t newline = buffer.find('\n'); newline != std::string_view::npos;
         newline = buffer.find('\n', newline + 1)) {
        const std::size_t next = newline + 1;
        if (next < buffer.size() && buffer[next] == '\n') return next + 1;
        if (next + 1 < buffer.size() && buffer[next] == '\r' && buffer[next + 1] == '\n') return next + 2;
    }
    return std::nullopt;
}

std::string_view CutLine(std::string_view& rest) {
    const std::size_t newline = rest.find('\n');
    std::string_view line = rest.substr(0, newline);
    rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// "METHOD SP target SP HTTP/1.x"; fills method, target and the default keep-alive.
std::optional<ParsedHead> ReadRequestLine(std::string_view line, ParsedHead& head) {
    const std::size_t first = line.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos)
        return Refuse(400, "malformed request line");
    const std::string_view method = line.substr(0, first);
    const std::string_view target = line.substr(first + 1, second - first - 1);
    const std::string_view version = line.substr(second + 1);
    if (!IsToken(method) || method.size() > 16) return Refuse(400, "malformed method");
    if (!IsTargetText(target)) return Refuse(400, "malformed target");
    if (version == "HTTP/1.1") {
        head.Request.KeepAlive = true;
    } else if (version == "HTTP/1.0") {
        head.Request.KeepAlive = false;
    } else if (version.starts_with("HTTP/")) {
        return Refuse(505, "HTTP version not supported");
    } else {
        return Refuse(400, "malformed request line");
    }
    head.Request.Method = method;
    head.Request.Target = target;
    return std::nullopt;
}

struct FieldsSeen {
    bool Length = false;
    int Hosts = 0;
};

// Content-Length: plain digits; a value past any limit reads as the largest there is.
std::optional<std::size_t> ReadLength(std::string_view value) {
    if (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    std::size_t length = 0;
    for (const char digit : value) {
        if (length > (SIZE_MAX - 9) / 10) return SIZE_MAX;
        length = length * 10 + static_cast<std::size_t>(digit - '0');
    }
    return length;
}

std::optional<ParsedHead> ReadField(std::string_view line, ParsedHead& head, FieldsSeen& seen) {
    if (line.front() == ' ' || line.front() == '\t') return Refuse(400, "folded header line");
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !IsToken(line.substr(0, colon)))
        return Refuse(400, "malformed header line");
    const std::string name = Lower(line.substr(0, colon));
    const std::string_view value = Trim(line.substr(colon + 1));
    if (!IsFieldValueText(value)) return Refuse(400, "control byte in a header");
    // Chunks would let a body run on without a length known in advance.
    if (name == "transfer-encoding") return Refuse(411, "a body must come with Content-Length");
    if (name == "content-length") {
        if (seen.Length) return Refuse(400, "repeated Content-Length");
        seen.Length = true;
        const auto length = ReadLength(value);
        if (!length) return Refuse(400, "malformed Content-Length");
        head.Request.BodyLength = *length;
    }
    if (name == "expect") {
        if (Lower(value) != "100-continue") return Refuse(417, "unknown expectation");
        head.Request.ExpectContinue = true;
    }
    if (name == "host") ++seen.Hosts;
    if (name == "connection") {
        if (ListHas(value, "close"))
            head.Request.KeepAlive = false;
        else if (ListHas(value, "keep-alive"))
            head.Request.KeepAlive = true;
    }
    return std::nullopt;
}

// Only a POST carries a body, always with its length, and never a large one.
std::optional<ParsedHead> CheckBody(HttpRequest& request, const FieldsSeen& seen,
                                    const RequestLimits& limits) {
    if (request.Method != "POST") {
        if (request.BodyLength > 0) return Refuse(413, "request carries a body");
        request.ExpectContinue = false; // nothing to continue with
        return std::nullopt;
    }
    if (!seen.Length) return Refuse(411, "a body must come with Content-Length");
    if (request.BodyLength > limits.MaxBodyBytes) return Refuse(413, "request body is too large");
    return std::nullopt;
}

} // namespace

ParsedHead ParseRequestHead(std::string_view buffer, const RequestLimits& limits) {
    // Empty lines before a request are allowed and skipped.
    std::size_t skipped = 0;
    while (skipped < buffer.size() && (buffer[skipped] == '\r' || buffer[skipped] == '\n'))
        ++skipped;
    const std::string_view rest = buffer.substr(skipped);

    const std::size_t lineEnd = rest.find('\n');
    if ((lineEnd == std::string_view::npos ? rest.size() : lineEnd) > limits.MaxRequestLine)
        return Refuse(414, "request line is too long");
    const auto end = FindHeadEnd(rest);
    if (!end) {
        if (buffer.size() >= limits.MaxHeadBytes) return Refuse(431, "request head is too large");
        return ParsedHead{};
    }
    if (skipped + *end > limits.MaxHeadBytes) return Refuse(431, "request head is too large");

    ParsedHead head;
    std::string_view lines = rest.substr(0, *end);
    const std::string_view requestLine = CutLine(lines);
    if (auto refused = ReadRequestLine(requestLine, head)) return *refused;
    std::size_t fields = 0;
    FieldsSeen seen;
    for (std::string_view line = CutLine(lines); !line.empty(); line = CutLine(lines)) {
        if (++fields > limits.MaxFields) return Refuse(431, "too many header fields");
        if (auto refused = ReadField(line, head, seen)) return *refused;
    }
    if (auto refused = CheckBody(head.Request, seen, limits)) return *refused;
    // HTTP/1.1 requires exactly one Host; HTTP/1.0 may leave it out.
    if (seen.Hosts > 1) return Refuse(400, "repeated Host");
    if (seen.Hosts == 0 && requestLine.ends_with("HTTP/1.1"))
        return Refuse(400, "HTTP/1.1 request without Host");
    head.State = HeadState::Complete;
    head.Length = skipped + *end;
    return head;
}

ParsedHead ReadRequest(std::string_view buffer, const RequestLimits& limits) {
    ParsedHead read = ParseRequestHead(buffer, limits);
    if (read.State != HeadState::Complete || read.Request.BodyLength == 0) return read;
    if (buffer.size() - read.Length < read.Request.BodyLength) {
        read.State = HeadState::AwaitingBody;
        return read;
    }
    read.Request.Body = buffer.substr(read.Length, read.Request.BodyLength);
    read.Length += read.Request.BodyLength;
    return read;
}

std::string_view TargetPath(std::string_view target) {
    if (target.starts_with("http://") || target.starts_with("https://")) {
        const std::size_t slash = target.find('/', target.find("//") + 2);
        target = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
    }
    return target.substr(0, target.find('?'));
}

std::string_view TargetQuery(std::string_view target) {
    const std::size_t mark = target.find('?');
    return mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
}

} // namespace scoreserver
