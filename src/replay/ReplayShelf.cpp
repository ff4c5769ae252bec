#include "replay/ReplayShelf.h"

#include "persistence/HiScores.h"
#include "persistence/SafeFile.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <optional>
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
    bool otherFormat = false;
    bool taken = false;
};

// A kept file whose game reads, or one of another version whose start still tells whose game it is.
std::optional<KeptGame> ReadKeptGame(const fs::path& path) {
    const ReplayReadResult read = LoadReplayFile(path);
    if (read.Read) return KeptGame{path.string(), read.Read->PlayerName, read.Read->Score};
    if (read.Kind != ReplayReadError::OtherFormat) return std::nullopt;
    const std::optional<ReplayClaim> claim = LoadReplayClaim(path);
    if (!claim) return std::nullopt;
    return KeptGame{path.string(), claim->PlayerName, claim->Score, true};
}

// The table replays that tell whose game they are, in the order of their file names.
std::vector<KeptGame> KeptTableReplays() {
    std::vector<KeptGame> kept;
    std::error_code error;
    for (fs::directory_iterator entry(ReplayFolder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string file = entry->path().filename().string();
        if (!file.starts_with(TablePrefix) || !file.ends_with(ReplayFileSuffix)) continue;
        if (std::optional<KeptGame> game = ReadKeptGame(entry->path())) kept.push_back(std::move(*game));
    }
    std::sort(kept.begin(), kept.end(), [](const KeptGame& a, const KeptGame& b) { return a.path < b.path; });
    return kept;
}

// Each row takes the first kept game of its name and score that no row above it took.
std::array<TableReplayFile, HiScoreCount> MatchRows(std::vector<KeptGame>& kept) {
    std::array<TableReplayFile, HiScoreCount> files;
    for (int row = 0; row < HiScoreCount; ++row) {
        for (KeptGame& game : kept) {
            if (game.taken || game.score != HiScoreTable[row].Score || game.name != HiScoreTable[row].Name)
                continue;
            game.taken = true;
            files[row] = {game.path, game.otherFormat};
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

std::array<TableReplayFile, HiScoreCount> TableReplayFiles() {
    std::vector<KeptGame> kept = KeptTableReplays();
    return MatchRows(kept);
}

void ForgetReplaysOffTheTable() {
    std::vector<KeptGame> kept = KeptTableReplays();
    MatchRows(kept);
    for (const KeptGame& game : kept) {
        std::error_code error;
        if (!game.taken) fs::remove(game.path, error);
    }
}
