#include "platform/HttpClient.h"

#include <curl/curl.h>

#include <string_view>

namespace {

// The request headers the score server has always been sent.
constexpr const char* RequestHeaders[] = {
    "Accept: text/html, */*",
    "Content-Type: text/html",
};
constexpr const char* UserAgent = "Mozilla/3.0 (compatible; Indy Library)";

// libcurl's process-wide state, set up before the first handle and torn down after the last
// static client is gone (function-local statics are destroyed in reverse order of construction).
void EnsureCurlLibrary() {
    struct CurlLibrary {
        CurlLibrary() { curl_global_init(CURL_GLOBAL_DEFAULT); }
        ~CurlLibrary() { curl_global_cleanup(); }
    };
    static CurlLibrary library;
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Where a reply's body goes, and how much of it is taken.
struct BodyTarget {
    std::string& body;
    size_t maxBytes;
};

size_t CollectBody(char* data, size_t size, size_t count, void* target) {
    auto& [body, maxBytes] = *static_cast<BodyTarget*>(target);
    const size_t bytes = size * count;
    if (body.size() + bytes > maxBytes) return 0; // ends the transfer with an error
    body.append(data, bytes);
    return bytes;
}

// libcurl asks this between reads and while it waits; non-zero ends the transfer.
int StopIfAsked(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* stop = static_cast<const std::atomic<bool>*>(flag);
    return stop && stop->load() ? 1 : 0;
}

bool IsSuccessStatus(long status) {
    return status >= 200 && status <= 299;
}

} // namespace

// A list of header lines; empty when it could not be made.
std::unique_ptr<curl_slist, HeaderListDeleter> HeaderList(std::initializer_list<const char*> lines) {
    curl_slist* list = nullptr;
    for (const char* line : lines) {
        curl_slist* longer = curl_slist_append(list, line);
        if (!longer) break;
        list = longer;
    }
    return std::unique_ptr<curl_slist, HeaderListDeleter>(list);
}

struct HttpClient::Session {
    std::unique_ptr<CURL, EasyDeleter> easy;
    std::unique_ptr<curl_slist, HeaderListDeleter> headers;
    char errorText[CURL_ERROR_SIZE] = "";
};

HttpClient::HttpClient() : session(std::make_unique<Session>()) {
    EnsureCurlLibrary();
    session->easy.reset(curl_easy_init());
    session->headers = HeaderList({RequestHeaders[0], RequestHeaders[1]});

    CURL* easy = session->easy.get();
    if (!easy) return;
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, session->headers.get());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, UserAgent);
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, ""); // cookie engine on, kept in memory
    curl_easy_setopt(easy, CURLOPT_PROXY, "");      // no proxy, whatever the environment says
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L); // time-outs without SIGALRM
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, session->errorText);
    SetTimeouts(DefaultConnectTimeoutMs, DefaultRequestTimeoutMs);
}

HttpClient::~HttpClient() = default;

void HttpClient::SetTimeouts(int32_t connectMs, int32_t requestMs) {
    CURL* easy = session->easy.get();
    if (!easy) return;
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(requestMs));
}

void HttpClient::SetStopFlag(const std::atomic<bool>* flag) {
    CURL* easy = session->easy.get();
    if (!easy) return;
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, StopIfAsked);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(flag));
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, flag ? 0L : 1L);
}

HttpReply HttpClient::Get(const std::string& url, size_t maxBytes) {
    CURL* easy = session->easy.get();
    if (easy) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, session->headers.get());
    }
    return Perform(url, maxBytes);
}

HttpReply HttpClient::Post(const std::string& url, std::span<const uint8_t> body,
                           const std::string& contentType) {
    CURL* easy = session->easy.get();
    const std::string contentLine = "Content-Type: " + contentType;
    const auto headers = HeaderList({RequestHeaders[0], contentLine.c_str()});
    if (easy) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.data());
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
    }
    HttpReply reply = Perform(url);
    if (easy) {
        // The handle keeps no pointer to this body or these headers past the request.
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, session->headers.get());
    }
    return reply;
}

HttpReply HttpClient::Perform(const std::string& url, size_t maxBytes) {
    HttpReply reply;
    CURL* easy = session->easy.get();
    if (!easy) {
        reply.Error = "the HTTP client could not be created";
        return reply;
    }
    session->errorText[0] = '\0';
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    BodyTarget target{reply.Body, maxBytes};
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &target);
    const CURLcode code = curl_easy_perform(easy);
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &reply.Status);
    if (code != CURLE_OK) {
        reply.Error = session->errorText[0] ? session->errorText : curl_easy_strerror(code);
    } else if (!IsSuccessStatus(reply.Status)) {
        reply.Error = "the server answered with status " + std::to_string(reply.Status);
    } else {
        reply.Ok = true;
    }
    return reply;
}
