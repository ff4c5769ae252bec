// The score server's reading of a request with a body (an uploaded replay): the head, then exactly
// the bytes its Content-Length announced. A complete request lies inside the bytes, its body has the
// announced length within the limit and only a POST has one; the same bytes arriving in two pieces
// never read as another request, and a request is complete only once its last byte is there.
#include "HttpRequest.h"

#include <cstdlib>
#include <string_view>

namespace {

const scoreserver::RequestLimits Limits{
    .MaxHeadBytes = 8192, .MaxRequestLine = 4096, .MaxFields = 40, .MaxBodyBytes = 4096};

void CheckWhole(std::string_view bytes, const scoreserver::ParsedHead& read) {
    const scoreserver::HttpRequest& request = read.Request;
    switch (read.State) {
    case scoreserver::HeadState::Complete:
        if (read.Length == 0 || read.Length > bytes.size()) std::abort();
        if (request.Body.size() != request.BodyLength || request.BodyLength > Limits.MaxBodyBytes)
            std::abort();
        if (!request.Body.empty() && request.Method != "POST") std::abort();
        if (request.Body != bytes.substr(read.Length - request.Body.size(), request.Body.size()))
            std::abort();
        break;
    case scoreserver::HeadState::AwaitingBody:
        if (read.Length > bytes.size() || bytes.size() - read.Length >= request.BodyLength) std::abort();
        if (request.Method != "POST" || request.BodyLength > Limits.MaxBodyBytes) std::abort();
        break;
    case scoreserver::HeadState::Refused:
        if (read.Status < 400 || read.Status > 599 || read.Reason.empty()) std::abort();
        break;
    case scoreserver::HeadState::Incomplete:
        if (bytes.size() > Limits.MaxHeadBytes) std::abort();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const scoreserver::ParsedHead whole = scoreserver::ReadRequest(bytes, Limits);
    CheckWhole(bytes, whole);
    // The first piece of the same bytes: still waiting, refused alike, or the very same request.
    const std::string_view piece = bytes.substr(0, size == 0 ? 0 : data[0] * size / 256);
    const scoreserver::ParsedHead early = scoreserver::ReadRequest(piece, Limits);
    CheckWhole(piece, early);
    if (early.State == scoreserver::HeadState::Complete &&
        (whole.State != scoreserver::HeadState::Complete || early.Length != whole.Length ||
         early.Request.Body != whole.Request.Body || early.Request.Target != whole.Request.Target))
        std::abort();
    return 0;
}
