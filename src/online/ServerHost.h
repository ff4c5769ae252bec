// The score server's address chosen at run time: VANTORIX_SERVER=host[:port] replaces the built-in host.
#pragma once

#include <string>
#include <string_view>

inline constexpr const char* ServerVariable = "VANTORIX_SERVER";

// "http://host[:port]" for a host name, an IPv4 address or a bracketed IPv6 address with an optional
// port 1-65535; empty when the text is anything else.
std::string ScoreServerAddressFor(std::string_view hostAndPort);

// Points ScoreServer at $VANTORIX_SERVER when it is set; a value that is not host[:port] is reported
// on stderr and the built-in address stays.
void UseScoreServerFromEnvironment();
