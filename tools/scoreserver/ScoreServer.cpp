#include "ScoreServer.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

#include "ResultCodec.h"
#include "ScorePage.h"

namespace scoreserver {
namespace {

constexpr std::string_view ScriptPattern = R"(/cgi/version\.pl)"; // httplib routes by regular expression
constexpr std::string_view ProgramName = "Vantorix";
constexpr std::string_view LatestGameVersion = "1.0";
constexpr std::size_t MaxLoggedTarget = 160;

constexpr const char* PlainText = "text/plain; charset=utf-8";
constexpr const char* HtmlText = "text/html; charset=utf-8";

enum class RequestKind { Version, Result, Table };

// The three requests differ by a flag parameter; each takes "prg" and at most one value.
struct RequestShape {
    RequestKind Kind;
    std::string_view Flag;
    std::string_view Value; // the one further parameter it requires, or empty
};
constexpr std::array<RequestShape, 3> RequestShapes = {{
    {RequestKind::Version, "version", ""},
    {RequestKind::Result, "hs", "inf"},
    {RequestKind::Table, "show", "type"},
}};

int64_t SecondsSince1970() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void Reply(httplib::Response& response, int status, const std::string& body, const char* type = PlainText) {
    response.status = status;
    response.set_content(body, type);
}

void Reject(httplib::Response& response, std::string_view reason) {
    Reply(response, 400, "ERROR|" + std::string(reason) + "\n");
}

// What a log line may show of client-supplied text: printable ASCII only, cut short.
std::string Printable(std::string_view text, std::size_t limit) {
    if (text.empty()) return "-";
    std::string shown;
    for (char c : text.substr(0, limit))
        shown += (c >= 0x20 && c < 0x7F) ? c : '?';
    if (text.size() > limit) shown += "...(" + std::to_string(text.size()) + " bytes)";
    return shown;
}

void LogRequest(const httplib::Request& request, const httplib::Response& response) {
    std::string line = FormatUtc(SecondsSince1970(), "%Y-%m-%dT%H:%M:%SZ") + " " +
                       Printable(request.remote_addr, 64) + " " + Printable(request.method, 16) + " " +
                       Printable(request.target, MaxLoggedTarget) + " " + std::to_string(response.status);
    if (response.status >= 400) {
        const std::string_view body = response.body;
        line += ' ';
        line += Printable(body.substr(0, body.find('\n')), 120);
    }
    line += "\n";
    static std::mutex logMutex;
    std::lock_guard lock(logMutex);
    std::fputs(line.c_str(), stderr);
}

const RequestShape* Refuse(httplib::Response& response, std::string_view reason) {
    Reject(response, reason);
    return nullptr;
}

bool IsKnownKey(std::string_view key) {
    if (key == "prg") return true;
    for (const RequestShape& shape : RequestShapes)
        if (key == shape.Flag || (!shape.Value.empty() && key == shape.Value)) return true;
    return false;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// URL decoding of one name or value: "%XY" escapes and "+" for a space; a broken escape fails.
std::optional<std::string> UrlDecode(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            decoded += ' ';
        } else if (text[i] != '%') {
            decoded += text[i];
        } else {
            const int high = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
            const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
            if (low < 0) return std::nullopt;
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return decoded;
}

using Query = std::map<std::string, std::string, std::less<>>;

// Reads the query of the target ("a&b=c") strictly: known names only, each once,
// no empty parts, well-formed escapes. Returns the problem, or nothing when it is sound.
std::optional<std::string_view> ReadQuery(std::string_view target, Query& query) {
    const std::size_t mark = target.find('?');
    const std::string_view text =
        mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('&', start), text.size());
        const std::string_view part = text.substr(start, end - start);
        const std::size_t equals = part.find('=');
        const auto key = UrlDecode(part.substr(0, equals));
        const auto value =
            UrlDecode(equals == std::string_view::npos ? std::string_view() : part.substr(equals + 1));
        if (!key || !value) return "broken escape in the query";
        if (!IsKnownKey(*key)) return "unknown parameter";
        if (!query.emplace(*key, *value).second) return "repeated parameter";
        start = end + 1;
        if (start == text.size()) return "query ends with &";
    }
    return std::nullopt;
}

// Checks the query against the table of request shapes; returns the matching
// shape, or sets the 400 answer and returns nothing.
const RequestShape* MatchShape(const Query& query, httplib::Response& response) {
    const auto program = query.find("prg");
    if (program == query.end() || program->second != ProgramName) return Refuse(response, "wrong program");

    const RequestShape* match = nullptr;
    for (const RequestShape& shape : RequestShapes) {
        const auto flag = query.find(shape.Flag);
        if (flag == query.end()) continue;
        if (match) return Refuse(response, "more than one request");
        if (!flag->second.empty()) return Refuse(response, "request flag carries a value");
        match = &shape;
    }
    if (!match) return Refuse(response, "no request named");

    const std::size_t expected = match->Value.empty() ? 2 : 3;
    if (query.size() != expected || (!match->Value.empty() && !query.contains(match->Value)))
        return Refuse(response, "parameters do not fit the request");
    return match;
}

} // namespace

ScoreServer::ScoreServer(const ServerSettings& settings)
    : database_(settings.DatabasePath, settings.MaxStoredResults),
      tokens_(settings.TokenCapacity, settings.TokenLifetime), tableRows_(settings.TableRows),
      http_(std::make_unique<httplib::Server>()) {
    // SO_REUSEADDR alone allows a quick restart; httplib's default SO_REUSEPORT would let
    // a second server share the port and split the players between two tables.
    http_->set_socket_options([](int socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    http_->set_read_timeout(5);
    http_->set_write_timeout(5);
    http_->set_keep_alive_timeout(2);
    http_->set_payload_max_length(4096);
    http_->set_logger(LogRequest);
    http_->set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty()) return; // our own answer already explains itself
        const char* reason = response.status == 404 ? "not found" : "request refused";
        Reply(response, response.status, "ERROR|" + std::string(reason) + "\n");
    });
    http_->set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr error) {
            std::string what = "unknown error";
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& exception) {
                what = exception.what();
            } catch (...) {
            }
            std::fprintf(stderr, "internal error: %s\n", what.c_str());
            Reply(response, 500, "ERROR|internal error\n");
        });
    http_->Get(std::string(ScriptPattern),
               [this](const httplib::Request& request, httplib::Response& response) {
                   HandleScript(request, response);
               });
}

ScoreServer::~ScoreServer() = default;

std::optional<int> ScoreServer::Bind(const std::string& address, int port) {
    if (port == 0) {
        const int bound = http_->bind_to_any_port(address);
        return bound > 0 ? std::optional<int>(bound) : std::nullopt;
    }
    return http_->bind_to_port(address, port) ? std::optional<int>(port) : std::nullopt;
}

bool ScoreServer::Run() {
    const bool served = http_->listen_after_bind();
    finished_ = true;
    return served;
}

void ScoreServer::Stop() {
    // stop() only acts on a running server, so give a starting Run a moment to get there.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!http_->is_running() && !finished_ && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    http_->stop();
}

void ScoreServer::HandleScript(const httplib::Request& request, httplib::Response& response) {
    if (request.target.size() > MaxTargetLength) return Reject(response, "request is too long");
    Query query;
    if (const auto problem = ReadQuery(request.target, query)) return Reject(response, *problem);
    const RequestShape* shape = MatchShape(query, response);
    if (!shape) return;
    switch (shape->Kind) {
    case RequestKind::Version:
        return AnswerVersion(response);
    case RequestKind::Result:
        return AnswerResult(query.find("inf")->second, response);
    case RequestKind::Table:
        if (query.find("type")->second != "0") return Reject(response, "unknown table type");
        return AnswerTable(response);
    }
}

// The game takes the fifth "|"-separated field as its token. The other fields:
// program, latest game version, status, token lifetime in seconds, server time.
void ScoreServer::AnswerVersion(httplib::Response& response) {
    const std::string token = tokens_.Issue(TokenStore::Clock::now());
    const auto lifetime = std::chrono::duration_cast<std::chrono::seconds>(tokens_.Lifetime()).count();
    Reply(response, 200,
          std::string(ProgramName) + "|" + std::string(LatestGameVersion) + "|ok|" +
              std::to_string(lifetime) + "|" + token + "|" + std::to_string(SecondsSince1970()) + "\n");
}

void ScoreServer::AnswerResult(const std::string& encoded, httplib::Response& response) {
    if (encoded.size() > MaxEncodedResultLength) return Reject(response, "result is too long");
    const DecodedText decoded = DecodeResult(encoded);
    if (!decoded.Text) return Reject(response, "result does not decode: " + decoded.Error);
    const ParsedResult parsed = ParseResultText(*decoded.Text);
    if (!parsed.Result) return Reject(response, parsed.Error);
    const SubmittedResult& result = *parsed.Result;
    // The token is spent only by an otherwise valid result, so a garbled send can be retried.
    if (!tokens_.Consume(result.Token, TokenStore::Clock::now()))
        return Reject(response, "token is unknown, expired or already used");
    database_.Add(StoredResult{result.Name, result.Score, result.Country, SecondsSince1970()});
    Reply(response, 200, "OK|result stored\n");
}

void ScoreServer::AnswerTable(httplib::Response& response) {
    Reply(response, 200, RenderScorePage(database_.Best(tableRows_)), HtmlText);
}

} // namespace scoreserver
