// Config.cfg: any bytes decode without fault into names and a country the game could have written,
// and whatever was decoded is written back and read again unchanged.
#include "persistence/ConfigFile.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"
#include "persistence/StoredValues.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Options = TOptions{};
    ResetHighScores();
    DecodeConfig(data, size);
    if (!StoredTextIsSound(Options.Country, true)) std::abort();
    for (const THiScores& entry : HiScoreTable)
        if (!StoredTextIsSound(entry.Name, false)) std::abort();
    const std::string written = EncodeConfig();
    Options = TOptions{};
    ResetHighScores();
    const auto* bytes = reinterpret_cast<const uint8_t*>(written.data());
    if (!DecodeConfig(bytes, written.size())) std::abort();
    if (EncodeConfig() != written) std::abort();
    return 0;
}
