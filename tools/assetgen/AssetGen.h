// The asset generator's pieces: every picture of the data pack, the built-in sound effects and the
// two tunes are drawn or composed here, deterministically, from code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An opaque picture ready for the pack: 0x00RRGGBB per pixel, rows top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

inline constexpr uint32_t MagentaKey = 0xFF00FF;
inline constexpr uint32_t BlackKey = 0x000000;

// The pack's two groups, each record at the number graphics/PackRecords.h gives it.
std::vector<Picture> DrawGameSprites();
std::vector<Picture> DrawInterfaceSprites();

std::vector<std::vector<uint8_t>> MakeSoundEffects(); // the seven RIFF WAVE images, in bank order
std::vector<uint8_t> ComposeTitleTune();              // sound/1.xm
std::vector<uint8_t> ComposeGameTune();               // sound/2.xm

// Pack and file output (PackWriter.cpp).
std::vector<uint8_t> EncodeBmp(const Picture& picture);
std::vector<uint8_t> BuildPack(const std::vector<Picture>& records);
// The desktop icon in the hicolor theme's layout under the folder: NxN/apps/vantorix.png,
// scalable/apps/vantorix.svg.
void WriteAppIcons(const std::string& hicolorFolder);

void WriteFileOrDie(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteTextFileOrDie(const std::string& path, const std::string& text);
std::string EmbedSoundEffectsSource(const std::vector<std::vector<uint8_t>>& images);
void WriteContactSheet(const std::string& path, const std::vector<Picture>& records);
