// The query of the one script address the game knows, "/cgi/version.pl": which
// of the four requests it is, read strictly. Plain C++, no network code.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace scoreserver {

// Longest request target ("/cgi/version.pl?..."), in bytes, that gets past the first check.
inline constexpr std::size_t MaxTargetLength = 1024;

enum class ScriptRequest {
    Version, // "version&prg=Vantorix": the version line with a fresh token
    Result,  // "hs&prg=Vantorix&inf=<encoded result>"
    Table,   // "prg=Vantorix&show&type=0": the online table page
    Replay,  // "replay&prg=Vantorix&p=<token>", POSTed: the replay of the result sent with that token
};

struct ScriptQuery {
    std::optional<ScriptRequest> Request; // set when the query is sound
    std::string EncodedResult;            // the "inf" value of a result request
    std::string Token;                    // the "p" value of a replay upload
    std::string Error;                    // why it is not
};

// Known names only, each once, no empty parts, well-formed "%" escapes, the
// program name, exactly one request flag without a value and exactly the
// parameters that request takes.
ScriptQuery ReadScriptQuery(std::string_view query);

} // namespace scoreserver
