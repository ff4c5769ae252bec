#include "ScriptQuery.h"

#include <algorithm>
#include <array>
#include <map>

namespace scoreserver {
namespace {

constexpr std::string_view ProgramName = "Vantorix";

// The three requests differ by a flag parameter; each takes "prg" and at most one value.
struct RequestShape {
    ScriptRequest Kind;
    std::string_view Flag;
    std::string_view Value; // the one further parameter it requires, or empty
};
constexpr std::array<RequestShape, 4> RequestShapes = {{
    {ScriptRequest::Version, "version", ""},
    {ScriptRequest::Result, "hs", "inf"},
    {ScriptRequest::Table, "show", "type"},
    {ScriptRequest::Replay, "replay", "p"},
}};

// A token as the version reply hands it out: lower-case hexadecimal digits.
bool IsTokenText(std::string_view text) {
    return !text.empty() && text.size() <= 64 &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

using Query = std::map<std::string, std::string, std::less<>>;

ScriptQuery Refuse(std::string error) {
    ScriptQuery refused;
    refused.Error = std::move(error);
    return refused;
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

// Splits "a&b=c" into names and values; returns the problem, or nothing when it is sound.
std::optional<std::string> SplitQuery(std::string_view text, Query& query) {
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

} // namespace

ScriptQuery ReadScriptQuery(std::string_view text) {
    Query query;
    if (auto problem = SplitQuery(text, query)) return Refuse(*problem);

    const auto program = query.find("prg");
    if (program == query.end() || program->second != ProgramName) return Refuse("wrong program");

    const RequestShape* match = nullptr;
    for (const RequestShape& shape : RequestShapes) {
        const auto flag = query.find(shape.Flag);
        if (flag == query.end()) continue;
        if (match) return Refuse("more than one request");
        if (!flag->second.empty()) return Refuse("request flag carries a value");
        match = &shape;
    }
    if (!match) return Refuse("no request named");

    const std::size_t expected = match->Value.empty() ? 2 : 3;
    if (query.size() != expected || (!match->Value.empty() && !query.contains(match->Value)))
        return Refuse("parameters do not fit the request");
    if (match->Kind == ScriptRequest::Table && query.find("type")->second != "0")
        return Refuse("unknown table type");
    if (match->Kind == ScriptRequest::Replay && !IsTokenText(query.find("p")->second))
        return Refuse("malformed token");

    ScriptQuery sound;
    sound.Request = match->Kind;
    if (match->Kind == ScriptRequest::Result) sound.EncodedResult = query.find("inf")->second;
    if (match->Kind == ScriptRequest::Replay) sound.Token = query.find("p")->second;
    return sound;
}

} // namespace scoreserver
