// The score server's reading of a request: the head of an HTTP request and the script's query.
// A head that is complete lies inside the bytes and the limits; a refused one carries an error
// status; a query is either one of the three requests or a reason, never both.
#include "HttpRequest.h"
#include "ScriptQuery.h"

#include <cstdlib>
#include <string_view>

namespace {

bool Inside(std::string_view part, std::string_view whole) {
    return part.empty() ||
           (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void CheckHead(std::string_view bytes) {
    const scoreserver::RequestLimits limits;
    const scoreserver::ParsedHead head = scoreserver::ParseRequestHead(bytes, limits);
    switch (head.State) {
    case scoreserver::HeadState::Complete: {
        if (head.Length == 0 || head.Length > bytes.size() || head.Length > limits.MaxHeadBytes) std::abort();
        const std::string_view target = head.Request.Target;
        // An absolute target with an empty path ("http://host?q") has the path "/".
        const std::string_view path = scoreserver::TargetPath(target);
        if ((!Inside(path, target) && path != "/") || !Inside(scoreserver::TargetQuery(target), target))
            std::abort();
        break;
    }
    case scoreserver::HeadState::Refused:
        if (head.Status < 400 || head.Status > 599 || head.Reason.empty()) std::abort();
        break;
    case scoreserver::HeadState::Incomplete:
        if (bytes.size() > limits.MaxHeadBytes) std::abort();
        break;
    }
}

void CheckQuery(std::string_view query) {
    const scoreserver::ScriptQuery read = scoreserver::ReadScriptQuery(query);
    if (read.Request.has_value() == !read.Error.empty()) std::abort();
    if (read.Request != scoreserver::ScriptRequest::Result && !read.EncodedResult.empty()) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckHead(bytes);
    CheckQuery(bytes);
    CheckQuery(scoreserver::TargetQuery(bytes));
    return 0;
}
