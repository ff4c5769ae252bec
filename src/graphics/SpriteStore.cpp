#include "graphics/SpriteStore.h"

#include <cstdio>
#include <vector>

SlotList<Surface, GameSpriteCount> GameSprites;
SlotList<Surface, InterfaceSpriteCount> InterfaceSprites;
SlotList<Surface, PlayerShotSpriteCount> PlayerShotSprites;

namespace {

// Closes the pack on every path out, also when a record turns out to be damaged.
struct PackFile {
    std::FILE* file = nullptr;
    explicit PackFile(const std::string& path) : file(std::fopen(path.c_str(), "rb")) {}
    ~PackFile() {
        if (file) std::fclose(file);
    }
};

[[noreturn]] void FailRecord(const std::string& path, int record, const std::string& what) {
    throw PackError("The data pack " + path + " is damaged: record " + std::to_string(record) + " " + what +
                    ".");
}

bool ReadLength(std::FILE* file, uint32_t& length) {
    uint8_t bytes[4];
    if (std::fread(bytes, 1, 4, file) != 4) return false;
    length = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

long FileSize(std::FILE* file) {
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    return size;
}

} // namespace

std::unique_ptr<Surface> LoadPackImage(const std::string& packPath, int record) {
    PackFile pack(packPath);
    if (!pack.file)
        throw PackError("Cannot open the data pack " + packPath + ": it is missing or unreadable.");
    const long size = FileSize(pack.file);
    long position = 0;
    uint32_t length = 0;
    // Each record is found only through the lengths of the records before it.
    for (int k = 0; k <= record; ++k) {
        if (!ReadLength(pack.file, length)) FailRecord(packPath, record, "is missing: the file ends early");
        position += 4;
        const long left = size - position;
        if (length > static_cast<uint64_t>(left))
            FailRecord(packPath, k,
                       "says " + std::to_string(length) + " bytes but only " + std::to_string(left) +
                           " are left in the file");
        if (k < record) {
            std::fseek(pack.file, static_cast<long>(length), SEEK_CUR);
            position += static_cast<long>(length);
        }
    }
    std::vector<uint8_t> image(length);
    if (length > 0 && std::fread(image.data(), 1, length, pack.file) != length)
        FailRecord(packPath, record, "could not be read");
    std::string error;
    std::unique_ptr<Surface> surface = Surface::FromBmp(image.data(), image.size(), error);
    if (!surface) FailRecord(packPath, record, "is " + error);
    SetSurfaceColourKey(*surface, ColourMagenta);
    return surface;
}

uint32_t MatchSurfaceColour(Surface& surface, uint32_t rgb) {
    // The colour's raw value is read back through pixel (0, 0), which is put back as it was.
    const uint32_t remembered = surface.Row(0)[0];
    surface.SetPixel(0, 0, rgb);
    const uint32_t raw = surface.Row(0)[0];
    surface.Row(0)[0] = remembered;
    return raw;
}

void SetSurfaceColourKey(Surface& surface, uint32_t rgb) {
    surface.SetColourKey(MatchSurfaceColour(surface, rgb));
}

void MirrorSurface(const Surface& source, Surface& target) {
    const int height = std::min(target.Height(), source.Height());
    const int width = std::min(target.Width(), source.Width());
    for (int y = 0; y < height; ++y) {
        const uint32_t* from = source.Row(height - 1 - y);
        uint32_t* to = target.Row(y);
        for (int x = 0; x < width; ++x)
            to[x] = from[x];
    }
}

void LoadSpriteStore(const std::string& packPath) {
    for (int i = 0; i < GameSpriteCount; ++i) {
        GameSprites[i].reset();
        GameSprites[i] = LoadPackImage(packPath, i);
    }
    for (int i = 3; i <= 7; ++i)
        SetSurfaceColourKey(*GameSprites[i], ColourBlack);
    for (int i = 0; i < InterfaceSpriteCount; ++i) {
        InterfaceSprites[i].reset();
        InterfaceSprites[i] = LoadPackImage(packPath, FirstInterfaceRecord + i);
    }
    for (int j = 0; j < PlayerShotSpriteCount; ++j) {
        PlayerShotSprites[j].reset();
        PlayerShotSprites[j] = LoadPackImage(packPath, FirstShotRecord + j);
        MirrorSurface(*GameSprites[FirstShotRecord + j], *PlayerShotSprites[j]);
    }
}

void FreeSpriteStore() {
    for (auto& sprite : InterfaceSprites)
        sprite.reset();
    for (auto& sprite : GameSprites)
        sprite.reset();
    for (auto& sprite : PlayerShotSprites)
        sprite.reset();
}
