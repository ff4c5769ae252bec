#include "ScoreServer.h"

#include <exception>
#include <string_view>

#include "ResultCodec.h"
#include "ScorePage.h"

namespace scoreserver {
namespace {

constexpr std::string_view ScriptPath = "/cgi/version.pl";
constexpr std::string_view ProgramName = "Vantorix";
constexpr std::string_view LatestGameVersion = "1.0";
// Another server sharing a PostgreSQL table may change it meanwhile.
constexpr auto PageCacheTime = std::chrono::seconds(1);

// The pages carry no script and load nothing from elsewhere.
constexpr const char* PagePolicy = "default-src 'none'; style-src 'unsafe-inline'; img-src 'self'; "
                                   "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

int64_t SecondsSince1970() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

HttpResponse Line(std::string body) {
    HttpResponse response;
    response.Body = std::move(body);
    response.Headers.emplace_back("Cache-Control", "no-store");
    return response;
}

HttpResponse Page(std::string html) {
    HttpResponse response;
    response.ContentType = "text/html; charset=utf-8";
    response.Body = std::move(html);
    response.Headers.emplace_back("Cache-Control", "no-cache");
    response.Headers.emplace_back("Content-Security-Policy", PagePolicy);
    response.Headers.emplace_back("Referrer-Policy", "no-referrer");
    return response;
}

HttpResponse StoreFault() {
    return ErrorResponse(500, "internal error");
}

HttpResponse Icon() {
    HttpResponse icon;
    icon.ContentType = "image/svg+xml";
    icon.Body = FaviconSvg;
    icon.Headers.emplace_back("Cache-Control", "public, max-age=86400");
    return icon;
}

HttpResponse MethodRefusal(const char* allowed) {
    HttpResponse refusal = ErrorResponse(405, std::string("use ") + allowed + " for this request");
    refusal.Headers.emplace_back("Allow", allowed);
    return refusal;
}

int64_t MillisecondsSince1970() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Every replay file begins so; anything else is not worth a verifier's time.
constexpr std::string_view ReplayMagic = "VTXREPLY";

struct UploadAnswer {
    int Status;
    const char* Text;
};

UploadAnswer AnswerFor(UploadOutcome outcome) {
    switch (outcome) {
    case UploadOutcome::Queued:
        return {202, "OK|replay taken, its check is on the way\n"};
    case UploadOutcome::UnknownToken:
        return {400, "no result was stored with this token"};
    case UploadOutcome::AlreadyUploaded:
        return {409, "this result already has its replay"};
    case UploadOutcome::TooLate:
        return {400, "the token of this result has expired"};
    case UploadOutcome::QueueFull:
        return {503, "too many replays wait for their check; try again later"};
    }
    return {500, "internal error"};
}

} // namespace

ScoreServer::ScoreServer(const ServerSettings& settings)
    : log_(settings.LogSink),
      store_(OpenScoreStore(StoreSettings{settings.Database, settings.TokenCapacity, settings.TokenLifetime,
                                          settings.MaxStoredResults, settings.WaitForDisk,
                                          settings.RequireVerified, settings.MaxQueuedJobs})),
      tableRows_(settings.TableRows), homeRows_(settings.HomeRows),
      http_(
          settings.Limits,
          [this](const HttpRequest& request, HttpServer::ConnectionId connection) {
              return Handle(request, connection);
          },
          log_),
      worker_(*store_, log_) {
    if (settings.Verify.Workers > 0 && !settings.Verify.Verifiers.empty())
        verifiers_ = std::make_unique<VerifyWorkers>(*store_, settings.Verify, log_,
                                                     [this](Verdict) { ForgetPages(); });
}

ScoreServer::~ScoreServer() = default;

std::optional<int> ScoreServer::Bind(const std::string& address, int port) {
    return http_.Bind(address, port);
}

bool ScoreServer::Run() {
    return http_.Run();
}

void ScoreServer::Stop() {
    http_.Stop();
}

bool ScoreServer::FinishStore(std::chrono::milliseconds timeout) {
    return worker_.Finish(timeout);
}

std::optional<HttpResponse> ScoreServer::Refuse(int status, std::string_view reason) {
    log_.Refused(reason);
    return ErrorResponse(status, reason);
}

std::optional<HttpResponse> ScoreServer::Handle(const HttpRequest& request,
                                                HttpServer::ConnectionId connection) {
    if (request.Target.size() > MaxTargetLength) return Refuse(400, "request is too long");
    const std::string_view path = TargetPath(request.Target);
    if (path == ScriptPath) return HandleScript(request, connection);
    if (request.Method == "POST") {
        log_.Refused("POST of a page");
        return MethodRefusal("GET, HEAD");
    }
    if (path == "/") return AnswerPage(true, connection);
    if (path == FaviconPath) return Icon();
    if (path.starts_with(ReplaysPath)) return AnswerReplay(path, connection);
    return Refuse(404, "not found");
}

std::optional<HttpResponse> ScoreServer::HandleScript(const HttpRequest& request,
                                                      HttpServer::ConnectionId connection) {
    const ScriptQuery query = ReadScriptQuery(TargetQuery(request.Target));
    if (!query.Request) return Refuse(400, query.Error);
    const bool upload = *query.Request == ScriptRequest::Replay;
    if (upload != (request.Method == "POST")) {
        log_.Refused(upload ? "replay not POSTed" : "POST of a page");
        return MethodRefusal(upload ? "POST" : "GET, HEAD");
    }
    const bool acts = *query.Request != ScriptRequest::Table;
    if (acts && request.Method == "HEAD") {
        // HEAD must change nothing, and these two issue or spend a token.
        log_.Refused("HEAD of a version or result request");
        return MethodRefusal("GET");
    }
    switch (*query.Request) {
    case ScriptRequest::Version:
        log_.Answered("version");
        return VersionLine(store_->IssueToken());
    case ScriptRequest::Result:
        return AnswerResult(query.EncodedResult, connection);
    case ScriptRequest::Table:
        return AnswerPage(false, connection);
    case ScriptRequest::Replay:
        return AnswerUpload(request, query.Token, connection);
    }
    return Refuse(400, "no request named");
}

std::optional<HttpResponse> ScoreServer::AnswerResult(const std::string& encoded,
                                                      HttpServer::ConnectionId connection) {
    if (encoded.size() > MaxEncodedResultLength) return Refuse(400, "result is too long");
    const DecodedText decoded = DecodeResult(encoded);
    if (!decoded.Text) return Refuse(400, "result does not decode: " + decoded.Error);
    ParsedResult parsed = ParseResultText(*decoded.Text);
    if (!parsed.Result) return Refuse(400, parsed.Error);
    // The token is spent only by an otherwise valid result, so a garbled send can be retried.
    worker_.StoreResult(std::move(*parsed.Result), [this, connection](std::optional<bool> stored) {
        if (!stored) return http_.Answer(connection, StoreFault());
        if (!*stored) {
            log_.Refused("token is unknown, expired or already used");
            return http_.Answer(connection, ErrorResponse(400, "token is unknown, expired or already used"));
        }
        ForgetPages();
        log_.Answered("result");
        http_.Answer(connection, Line("OK|result stored\n"));
    });
    return std::nullopt;
}

// The replay is stored and its check queued, on the store thread; the answer
// says it was taken, not what its check will find.
std::optional<HttpResponse> ScoreServer::AnswerUpload(const HttpRequest& request, const std::string& token,
                                                      HttpServer::ConnectionId connection) {
    if (!request.Body.starts_with(ReplayMagic)) return Refuse(400, "the body is not a replay file");
    std::vector<uint8_t> replay(request.Body.begin(), request.Body.end());
    const int64_t uploadedMs = MillisecondsSince1970();
    worker_.Run([this, token, replay = std::move(replay), uploadedMs, connection](ScoreStore& store) {
        UploadOutcome outcome;
        try {
            outcome = store.AttachReplay(token, replay, uploadedMs);
        } catch (const std::exception& error) {
            log_.Fault(error.what());
            return http_.Answer(connection, StoreFault());
        }
        const UploadAnswer answer = AnswerFor(outcome);
        if (outcome != UploadOutcome::Queued) {
            log_.Refused(answer.Text);
            HttpResponse refusal = ErrorResponse(answer.Status, answer.Text);
            if (outcome == UploadOutcome::QueueFull) refusal.Headers.emplace_back("Retry-After", "60");
            return http_.Answer(connection, std::move(refusal));
        }
        log_.Answered("replay");
        ForgetPages();
        if (verifiers_) verifiers_->Wake();
        HttpResponse taken = Line(answer.Text);
        taken.Status = answer.Status;
        http_.Answer(connection, std::move(taken));
    });
    return std::nullopt;
}

// "/replays/<id>.vtxreplay": the replay of a verified result, for anyone to watch.
std::optional<HttpResponse> ScoreServer::AnswerReplay(std::string_view path,
                                                      HttpServer::ConnectionId connection) {
    const auto id = ReplayIdOf(path);
    if (!id) return Refuse(404, "not found");
    worker_.Run([this, id = *id, connection](ScoreStore& store) {
        std::optional<std::vector<uint8_t>> replay;
        try {
            replay = store.VerifiedReplay(id);
        } catch (const std::exception& error) {
            log_.Fault(error.what());
            return http_.Answer(connection, StoreFault());
        }
        if (!replay) {
            log_.Refused("not found");
            return http_.Answer(connection, ErrorResponse(404, "not found"));
        }
        HttpResponse file;
        file.ContentType = "application/octet-stream";
        file.Body.assign(replay->begin(), replay->end());
        file.Headers.emplace_back("Content-Disposition",
                                  "attachment; filename=\"vantorix-" + std::to_string(id) + ".vtxreplay\"");
        // A verified replay never changes.
        file.Headers.emplace_back("Cache-Control", "public, max-age=86400");
        log_.Answered("replay download");
        http_.Answer(connection, std::move(file));
    });
    return std::nullopt;
}

// The game takes the fifth "|"-separated field as its token. The other fields:
// program, latest game version, status, token lifetime in seconds, server time.
HttpResponse ScoreServer::VersionLine(const std::string& token) const {
    return Line(std::string(ProgramName) + "|" + std::string(LatestGameVersion) + "|ok|" +
                std::to_string(store_->TokenLifetime().count()) + "|" + token + "|" +
                std::to_string(SecondsSince1970()) + "\n");
}

// The page at once when it is cached; else read from the store and cached.
// Results are stored and read on the one store thread, so a page rendered
// after a result was stored shows it.
std::optional<HttpResponse> ScoreServer::AnswerPage(bool home, HttpServer::ConnectionId connection) {
    if (auto cached = CachedPage(home)) {
        log_.Answered(home ? "home" : "table");
        return cached;
    }
    uint64_t generation = 0;
    {
        std::lock_guard lock(pagesMutex_);
        generation = pages_.Generation;
    }
    worker_.ReadBest(home ? homeRows_ : tableRows_,
                     [this, home, connection, generation](std::optional<std::vector<StoredResult>> best) {
                         if (!best) return http_.Answer(connection, StoreFault());
                         HttpResponse page = Page(home ? RenderHomePage(*best) : RenderScorePage(*best));
                         {
                             std::lock_guard lock(pagesMutex_);
                             if (pages_.Generation == generation) {
                                 if (!pages_.Home && !pages_.Table)
                                     pages_.RenderedAt = std::chrono::steady_clock::now();
                                 (home ? pages_.Home : pages_.Table) = page;
                             }
                         }
                         log_.Answered(home ? "home" : "table");
                         http_.Answer(connection, std::move(page));
                     });
    return std::nullopt;
}

std::optional<HttpResponse> ScoreServer::CachedPage(bool home) {
    std::lock_guard lock(pagesMutex_);
    if (std::chrono::steady_clock::now() - pages_.RenderedAt > PageCacheTime) {
        pages_.Home.reset();
        pages_.Table.reset();
    }
    return home ? pages_.Home : pages_.Table;
}

void ScoreServer::ForgetPages() {
    std::lock_guard lock(pagesMutex_);
    pages_.Home.reset();
    pages_.Table.reset();
    ++pages_.Generation;
}

} // namespace scoreserver
