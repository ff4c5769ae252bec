// Fetching a recorded game from the web (vantorix --replay URL, a verified game's link on the online
// table): its file's bytes into memory, never onto the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// No replay file is read when larger than this, wherever it comes from.
inline constexpr size_t MaxReplayDownloadBytes = 8 * 1024 * 1024;

struct ReplayDownload {
    std::vector<uint8_t> Bytes;
    std::string Error; // one line when the download failed; empty otherwise
};

// A blocking GET with the score server's time-outs.
ReplayDownload DownloadReplay(const std::string& url);
