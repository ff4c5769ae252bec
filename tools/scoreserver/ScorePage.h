// The online high-score table as a small self-contained HTML page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ScoreDatabase.h"

namespace scoreserver {

// Escapes the five characters that matter in HTML text and attribute values.
std::string HtmlEscape(std::string_view text);

// A time in seconds since 1970 written in UTC with a strftime format; "?" if it cannot be.
std::string FormatUtc(int64_t secondsSince1970, const char* format);

std::string RenderScorePage(const std::vector<StoredResult>& best);

} // namespace scoreserver
