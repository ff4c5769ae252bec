// Config.cfg: any bytes decode without fault, and whatever was decoded is written back and read
// again unchanged.
#include "persistence/ConfigFile.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Options = TOptions{};
    ResetHighScores();
    DecodeConfig(data, size);
    const std::string written = EncodeConfig();
    Options = TOptions{};
    ResetHighScores();
    const auto* bytes = reinterpret_cast<const uint8_t*>(written.data());
    if (!DecodeConfig(bytes, written.size())) std::abort();
    if (EncodeConfig() != written) std::abort();
    return 0;
}
