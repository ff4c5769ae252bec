// Placeholder until the sound lands: seven short silent WAVE images.
#include "AssetGen.h"

std::vector<std::vector<uint8_t>> MakeSoundEffects() {
    std::vector<std::vector<uint8_t>> effects;
    for (int i = 0; i < 7; ++i) {
        std::vector<uint8_t> wav = {'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                    16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0,
                                    'd', 'a', 't', 'a', 8, 0, 0, 0, 128, 128, 128, 128, 128, 128, 128, 128};
        effects.push_back(wav);
    }
    return effects;
}
