// The replay reader: any bytes are read or refused with a sentence, never past their end or into an
// allocation larger than the frames they claim; a replay that reads writes back to the same game, and
// its start tells the same player and score as the whole file.
#include "replay/ReplayFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const std::optional<ReplayClaim> claim = ReadReplayClaim(bytes);
    const ReplayReadResult read = ReadReplay(bytes);
    if (!read.Read) {
        if (read.Error.empty() || read.Kind == ReplayReadError::None) std::abort();
        return 0;
    }
    if (!claim || claim->PlayerName != read.Read->PlayerName || claim->Score != read.Read->Score)
        std::abort();
    const ReplayReadResult again = ReadReplay(WriteReplay(*read.Read));
    if (!again.Read || !(*again.Read == *read.Read)) std::abort();
    return 0;
}
