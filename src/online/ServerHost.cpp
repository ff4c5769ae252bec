#include "online/ServerHost.h"

#include "online/WebScores.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t MaxHostLength = 253;

bool IsHostNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

bool IsHostName(std::string_view host) {
    if (host.empty() || host.size() > MaxHostLength || host.front() == '.' || host.front() == '-')
        return false;
    for (const char c : host)
        if (!IsHostNameCharacter(c)) return false;
    return true;
}

bool IsBracketedIpv6(std::string_view host) {
    if (host.size() < 4 || host.front() != '[' || host.back() != ']') return false;
    for (const char c : host.substr(1, host.size() - 2))
        if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return false;
    return true;
}

bool IsPort(std::string_view port) {
    if (port.empty() || port.size() > 5) return false;
    int value = 0;
    for (const char c : port) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

} // namespace

std::string ScoreServerAddressFor(std::string_view hostAndPort) {
    // The port follows the last ':' outside the brackets of an IPv6 address.
    const size_t bracket = hostAndPort.rfind(']');
    const size_t colon = hostAndPort.rfind(':');
    const bool hasPort =
        colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket);
    const std::string_view host = hasPort ? hostAndPort.substr(0, colon) : hostAndPort;
    if (hasPort && !IsPort(hostAndPort.substr(colon + 1))) return {};
    if (!IsHostName(host) && !IsBracketedIpv6(host)) return {};
    return "http://" + std::string(hostAndPort);
}

void UseScoreServerFromEnvironment() {
    const char* value = std::getenv(ServerVariable);
    if (!value || !*value) return;
    const std::string address = ScoreServerAddressFor(value);
    if (address.empty()) {
        std::fprintf(stderr, "vantorix: %s=%s is not host[:port]; the scores go to %s\n", ServerVariable,
                     value, ScoreServer.BaseAddress.c_str());
        return;
    }
    ScoreServer.BaseAddress = address;
}
