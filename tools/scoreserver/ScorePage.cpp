#include "ScorePage.h"

#include <charconv>
#include <ctime>

namespace scoreserver {
namespace {

// The game's colours: bright green (0, 255, 0), dim green (34, 136, 34),
// medium green (48, 187, 48) on a near-black field.
constexpr std::string_view PageStart = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<link rel="icon" href="/favicon.svg" type="image/svg+xml">
<title>)";

constexpr std::string_view PageStyle = R"(</title>
<style>
body { background: #030803; color: #228822; font-family: sans-serif; margin: 2em; }
h1 { color: #00ff00; text-shadow: 0 0 6px #00ff00; letter-spacing: 0.1em; }
table { border-collapse: collapse; min-width: 40em; }
th { color: #00ff00; text-align: left; border-bottom: 2px solid #30bb30; padding: 0.3em 1em; }
td { padding: 0.25em 1em; border-bottom: 1px solid #0c240c; }
tr:first-child td { color: #00ff00; }
td.score { text-align: right; font-variant-numeric: tabular-nums; }
td.check { white-space: nowrap; }
.verified { color: #00ff00; font-weight: bold; }
.pending, .unverified { color: #2a6a2a; }
p.empty { color: #30bb30; }
p, li { max-width: 46em; line-height: 1.4; }
a { color: #30bb30; }
a:hover { color: #00ff00; }
</style>
</head>
<body>
)";

constexpr std::string_view AboutTheGame =
    R"(<p>VANTORIX is a single-player arcade space shooter. You fly a warship up a
scrolling battle area, shoot down formations of enemy fighters and gunships, dodge
and break asteroids, and at the end of every third stage face a command ship.
Destroyed enemies sometimes leave bonuses that repair, arm or upgrade your ship.</p>
<p>When a game of yours enters your own high-score table, the game offers to send
the result here, to the online table that every player shares.</p>
)";

constexpr std::string_view PageTail = "</body>\n</html>\n";

void AppendCell(std::string& html, std::string_view cssClass, std::string_view text) {
    html += cssClass.empty() ? "<td>" : "<td class=\"" + std::string(cssClass) + "\">";
    html += HtmlEscape(text);
    html += "</td>";
}

} // namespace

std::string ReplayTarget(int64_t resultId) {
    return std::string(ReplaysPath) + std::to_string(resultId) + std::string(ReplayFileEnding);
}

std::optional<int64_t> ReplayIdOf(std::string_view path) {
    if (!path.starts_with(ReplaysPath) || !path.ends_with(ReplayFileEnding)) return std::nullopt;
    const std::string_view digits =
        path.substr(ReplaysPath.size(), path.size() - ReplaysPath.size() - ReplayFileEnding.size());
    int64_t id = 0;
    const auto [end, problem] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (digits.empty() || digits.front() == '0' || problem != std::errc() ||
        end != digits.data() + digits.size() || id <= 0)
        return std::nullopt;
    return id;
}

std::string FormatUtc(int64_t secondsSince1970, const char* format) {
    const std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm parts{};
    char text[64] = "";
    if (gmtime_r(&time, &parts) == nullptr || std::strftime(text, sizeof text, format, &parts) == 0)
        return "?";
    return text;
}

std::string HtmlEscape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

namespace {

std::string PageHead(std::string_view title) {
    return std::string(PageStart) + std::string(title) + std::string(PageStyle) + "<h1>" +
           std::string(title) + "</h1>\n";
}

// Whether the server re-played the result's game, and the link to watch it when it did.
void AppendCheckCell(std::string& html, const StoredResult& row) {
    switch (row.State) {
    case Verdict::Verified:
        html +=
            "<td class=\"check\"><span class=\"verified\" title=\"The server re-played this game: it reached "
            "this score\">&#10004; verified</span> <a href=\"" +
            ReplayTarget(row.Id) + "\" download>replay</a></td>";
        return;
    case Verdict::Pending:
        html += "<td class=\"check\"><span class=\"pending\">being checked</span></td>";
        return;
    case Verdict::Unverified:
    case Verdict::Refused:
        html += "<td class=\"check\"><span class=\"unverified\">not checked</span></td>";
        return;
    }
}

void AppendTable(std::string& html, const std::vector<StoredResult>& best) {
    if (best.empty()) {
        html += "<p class=\"empty\">No results yet.</p>\n";
    } else {
        html += "<table>\n<tr><th>Place</th><th>Name</th><th>Score</th><th>Country</th><th>Date</th>"
                "<th>Checked</th></tr>\n";
        for (std::size_t i = 0; i < best.size(); ++i) {
            const StoredResult& row = best[i];
            html += "<tr>";
            AppendCell(html, "", std::to_string(i + 1));
            AppendCell(html, "", row.Name.empty() ? "Anonymous" : row.Name); // the game's own default name
            AppendCell(html, "score", std::to_string(row.Score));
            AppendCell(html, "", row.Country);
            AppendCell(html, "", FormatUtc(row.SubmittedAt, "%Y-%m-%d %H:%M UTC"));
            AppendCheckCell(html, row);
            html += "</tr>\n";
        }
        html += "</table>\n";
        html += "<p>A verified result's game was sent with it and re-played by this server, and reached "
                "its score. Watch one with <code>vantorix --replay</code> and the file or its address.</p>\n";
    }
}

std::string TableLink(std::string_view text) {
    return "<a href=\"" + HtmlEscape(TablePageTarget) + "\">" + std::string(text) + "</a>";
}

} // namespace

std::string RenderScorePage(const std::vector<StoredResult>& best) {
    std::string html = PageHead("VANTORIX online high scores");
    AppendTable(html, best);
    html += "<p><a href=\"/\">About VANTORIX</a></p>\n";
    html += PageTail;
    return html;
}

std::string RenderHomePage(const std::vector<StoredResult>& best) {
    std::string html = PageHead("VANTORIX");
    html += AboutTheGame;
    html += "<h2>Top ten</h2>\n";
    AppendTable(html, best);
    html += "<p>The best hundred: " + TableLink(HtmlEscape(TablePageTarget)) + "</p>\n";
    html += PageTail;
    return html;
}

} // namespace scoreserver
