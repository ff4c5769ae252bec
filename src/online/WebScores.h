// Sending a result to the online high-score table: the version request for the server's token,
// then the result request carrying the encoded result text; then, from games that recorded one, the
// game's replay, tied to the result by that token, so the server can re-play it.
#pragma once

#include "online/OnlineState.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#ifndef VANTORIX_SERVER_HOST
#define VANTORIX_SERVER_HOST "localhost"
#endif

// Where the score server is and how long a request may take. The build fixes the host; tests point
// it at a server of their own and shorten the waits.
struct TScoreServer {
    std::string BaseAddress = "http://" VANTORIX_SERVER_HOST;
    int32_t ConnectTimeoutMs = 10000;
    int32_t RequestTimeoutMs = 20000;
};

// The score server's home page, the game's page on the web: what the menus show and open.
const std::string& ScoreServerHomePage();

inline constexpr std::string_view ResultAlphabet = "MNBVCXZLKJHGFDSAPUYTREW987654321";
inline constexpr char ResultKeyLetter = 'V';

// Two blocking requests to ScoreServer with Options.Country: the version request, then the result.
// True when both were answered.
bool SubmitScore(const std::string& name, int32_t score);
// The same to `server` with `country`; the requests end early once `*stop` turns true (null: never).
// `token`, when given, receives the token the result went with.
bool SendScore(const TScoreServer& server, const std::string& country, const std::string& name, int32_t score,
               const std::atomic<bool>* stop, std::string* token = nullptr);

// Where a replay goes: the score script with the result's token, POSTed (at most MaxReplayUploadBytes).
inline constexpr size_t MaxReplayUploadBytes = 256 * 1024;
std::string ReplayUploadAddress(const TScoreServer& server, std::string_view token);
// POSTs the replay of the result just sent with `token`; true when the server took it.
bool SendReplay(const TScoreServer& server, const std::string& token, std::span<const uint8_t> replay,
                const std::atomic<bool>* stop);

// The fifth "|"-separated field of the version reply; empty when the reply has fewer than five "|".
std::string FifthField(std::string_view reply);

// "type=0|name=..|score=..|key=..|p=..|add=..|z=" filled with "0" to a multiple of five bytes.
std::string BuildResultText(const std::string& name, int32_t score, const std::string& p,
                            const std::string& country);

// Every byte as eight bits, most significant first, "0" bits in front up to a multiple of five,
// then each group of five bits as one character of ResultAlphabet.
std::string EncodeResult(std::string_view text);
