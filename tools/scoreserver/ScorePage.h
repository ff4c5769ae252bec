// The online high-score table as a small self-contained HTML page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ScoreDatabase.h"

namespace scoreserver {

// Escapes the five characters that matter in HTML text and attribute values.
std::string HtmlEscape(std::string_view text);

std::string RenderScorePage(const std::vector<StoredResult>& best);

}  // namespace scoreserver
