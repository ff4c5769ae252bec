#include "replay/ReplayShelf.h"

#include "persistence/HiScores.h"
#include "persistence/SafeFile.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* TablePrefix = "top-";

bool WriteReplayFile(const std::string& path, const Replay& replay, std::string& reason) {
    std::error_code error;
    fs::create_directories(ReplayFolder, error);
    if (error) {
        reason = "cannot make the folder " + std::string(ReplayFolder) + " (" + error.message() + ")";
        return false;
    }
    const std::vector<uint8_t> bytes = WriteReplay(replay);
    return ReplaceFileAtomically(path, std::string(bytes.begin(), bytes.end()), reason);
}

// "replays/top-<score>-<hash of the game>.vtxreplay": two games of one score keep a file each.
std::string TableReplayPath(const Replay& replay) {
    char name[96];
    std::snprintf(name, sizeof name, "%s/%s%" PRId32 "-%016" PRIx64 "%s", ReplayFolder, TablePrefix,
                  replay.Score, replay.FinalHash, ReplayFileSuffix);
    return name;
}

struct KeptGame {
    std::string path;
    std::string name;
    int32_t score = 0;
    bool taken = false;
};

// The table replays that can be read, in the order of their file names.
std::vector<KeptGame> ReadableTableReplays() {
    std::vector<KeptGame> kept;
    std::error_code error;
    for (fs::directory_iterator entry(ReplayFolder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string file = entry->path().filename().string();
        if (!file.starts_with(TablePrefix) || !file.ends_with(ReplayFileSuffix)) continue;
        const ReplayReadResult read = LoadReplayFile(entry->path());
        if (read.Read) kept.push_back({entry->path().string(), read.Read->PlayerName, read.Read->Score});
    }
    std::sort(kept.begin(), kept.end(), [](const KeptGame& a, const KeptGame& b) { return a.path < b.path; });
    return kept;
}

// Each row takes the first kept game of its name and score that no row above it took.
std::array<std::string, HiScoreCount> MatchRows(std::vector<KeptGame>& kept) {
    std::array<std::string, HiScoreCount> files;
    for (int row = 0; row < HiScoreCount; ++row) {
        for (KeptGame& game : kept) {
            if (game.taken || game.score != HiScoreTable[row].Score || game.name != HiScoreTable[row].Name)
                continue;
            game.taken = true;
            files[row] = game.path;
            break;
        }
    }
    return files;
}

} // namespace

bool KeepLastGameReplay(const Replay& replay, std::string& reason) {
    return WriteReplayFile(LastGameReplayPath, replay, reason);
}

bool KeepTableReplay(const Replay& replay, std::string& reason) {
    return WriteReplayFile(TableReplayPath(replay), replay, reason);
}

std::array<std::string, HiScoreCount> TableReplayFiles() {
    std::vector<KeptGame> kept = ReadableTableReplays();
    return MatchRows(kept);
}

void ForgetReplaysOffTheTable() {
    std::vector<KeptGame> kept = ReadableTableReplays();
    MatchRows(kept);
    for (const KeptGame& game : kept) {
        std::error_code error;
        if (!game.taken) fs::remove(game.path, error);
    }
}
