// The seven built-in sound effects, as RIFF WAVE images compiled into the program by the asset generator.
#pragma once

#include <array>
#include <cstddef>

struct SoundEffectImage {
    const unsigned char* data;
    size_t size;
};

extern const std::array<SoundEffectImage, 7> SoundEffectImages;
