// The server's two HTML pages, small and self-contained: the home page (what the
// game is and its top ten) and the online high-score table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ScoreDatabase.h"

namespace scoreserver {

// Escapes the five characters that matter in HTML text and attribute values.
std::string HtmlEscape(std::string_view text);

// A time in seconds since 1970 written in UTC with a strftime format; "?" if it cannot be.
std::string FormatUtc(int64_t secondsSince1970, const char* format);

// Where the verified replays are downloaded: ReplaysPath, the result's number, ReplayFileEnding.
inline constexpr std::string_view ReplaysPath = "/replays/";
inline constexpr std::string_view ReplayFileEnding = ".vtxreplay";
std::string ReplayTarget(int64_t resultId);
// The result number a replay's path names, if it names one.
std::optional<int64_t> ReplayIdOf(std::string_view path);

// The pages' icon: the warship's outline in the game's green.
inline constexpr std::string_view FaviconPath = "/favicon.svg";
inline constexpr std::string_view FaviconSvg =
    R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 32 32">)"
    R"(<path d="M16 1 L21 14 L30 22 L30 27 L20 24 L18 30 L14 30 L12 24 L2 27 L2 22 L11 14 Z" )"
    R"(fill="#0c240c" stroke="#00ff00" stroke-width="2" stroke-linejoin="round"/></svg>)";

// Where the full table is, as the game's high-score screen opens it.
inline constexpr std::string_view TablePageTarget = "/cgi/version.pl?prg=Vantorix&show&type=0";

std::string RenderScorePage(const std::vector<StoredResult>& best);

// The home page at "/": a few words about the game, the best results given
// (the top ten) and a link to the full table.
std::string RenderHomePage(const std::vector<StoredResult>& best);

} // namespace scoreserver
