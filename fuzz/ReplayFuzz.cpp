// The replay reader: any bytes are read or refused with a sentence, never past their end or into an
// allocation larger than the frames they claim; a replay that reads writes back to the same game.
#include "replay/ReplayFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ReplayReadResult read = ReadReplay(std::span(data, size));
    if (!read.Read) {
        if (read.Error.empty()) std::abort();
        return 0;
    }
    const ReplayReadResult again = ReadReplay(WriteReplay(*read.Read));
    if (!again.Read) std::abort();
    const Replay& a = *read.Read;
    const Replay& b = *again.Read;
    if (a.Frames != b.Frames || a.StateHashes != b.StateHashes || a.PlayerName != b.PlayerName ||
        a.GameVersion != b.GameVersion || a.Score != b.Score || a.Stage != b.Stage ||
        a.FinalHash != b.FinalHash || a.StartSeed != b.StartSeed || a.StartTick != b.StartTick ||
        a.PlayOptions != b.PlayOptions || a.PackHash != b.PackHash)
        std::abort();
    return 0;
}
