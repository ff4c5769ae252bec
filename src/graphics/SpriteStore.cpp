#include "graphics/SpriteStore.h"

#include "graphics/BmpImage.h"
#include "graphics/DataPack.h"
#include "graphics/DerivedSprites.h"

#include <vector>

SlotList<Surface, GameSpriteCount> GameSprites;
SlotList<Surface, InterfaceSpriteCount> InterfaceSprites;
SlotList<Surface, PlayerShotSpriteCount> PlayerShotSprites;

namespace {

constexpr int PackRecordCount = FirstInterfaceRecord + InterfaceSpriteCount;

[[noreturn]] void FailRecord(const std::string& path, int record, const std::string& what) {
    throw PackError("The data pack " + path + " is damaged: record " + std::to_string(record) + " " + what +
                    ".");
}

// The whole pack in memory and its first records, found through the chain of lengths.
struct LoadedPack {
    std::vector<uint8_t> bytes;
    std::vector<PackRecord> records;
};

LoadedPack ReadPack(const std::string& path, int count) {
    LoadedPack pack;
    std::string error;
    if (!ReadPackFile(path, pack.bytes, error))
        throw PackError("Cannot open the data pack " + path + ": " + error + ".");
    int failedRecord = 0;
    if (!WalkPackRecords(pack.bytes.data(), pack.bytes.size(), count, pack.records, failedRecord, error))
        FailRecord(path, failedRecord, error);
    return pack;
}

BmpLayout CheckedLayout(const std::string& path, int record, const PackRecord& bytes) {
    BmpLayout layout;
    std::string error;
    if (!ReadBmpLayout(bytes.bytes, bytes.size, layout, error)) FailRecord(path, record, "is " + error);
    return layout;
}

// A surface of the picture's size, keyed magenta (the key does not depend on the pixels).
std::unique_ptr<Surface> BlankSurface(const std::string& path, int record, const BmpLayout& layout) {
    std::unique_ptr<Surface> surface = Surface::Create(layout.width, layout.height);
    if (!surface)
        FailRecord(path, record,
                   "could not be given a surface of " + std::to_string(layout.width) + " x " +
                       std::to_string(layout.height) + " pixels");
    SetSurfaceColourKey(*surface, ColourMagenta);
    return surface;
}

std::unique_ptr<Surface> DecodeRecord(const std::string& path, int record, const PackRecord& bytes) {
    const BmpLayout layout = CheckedLayout(path, record, bytes);
    std::unique_ptr<Surface> surface = BlankSurface(path, record, layout);
    for (int y = 0; y < layout.height; ++y)
        DecodeBmpRow(bytes.bytes, layout, y, surface->Row(y));
    return surface;
}

// Done once the pictures are final: keyed blits then copy only the solid stretches.
void IndexKeyedSprites() {
    auto index = [](auto& list) {
        for (auto& sprite : list)
            if (sprite && sprite->HasColourKey()) sprite->IndexSolidRuns();
    };
    index(GameSprites);
    index(InterfaceSprites);
    index(PlayerShotSprites);
    if (ShipHitFlashSprite) ShipHitFlashSprite->IndexSolidRuns();
}

} // namespace

std::unique_ptr<Surface> LoadPackImage(const std::string& packPath, int record) {
    const LoadedPack pack = ReadPack(packPath, record + 1);
    return DecodeRecord(packPath, record, pack.records[record]);
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
    const LoadedPack pack = ReadPack(packPath, PackRecordCount);
    for (int i = 0; i < GameSpriteCount; ++i) {
        GameSprites[i].reset();
        GameSprites[i] = DecodeRecord(packPath, i, pack.records[i]);
    }
    for (int i = 3; i <= 7; ++i)
        SetSurfaceColourKey(*GameSprites[i], ColourBlack);
    for (int i = 0; i < InterfaceSpriteCount; ++i) {
        InterfaceSprites[i].reset();
        InterfaceSprites[i] =
            DecodeRecord(packPath, FirstInterfaceRecord + i, pack.records[FirstInterfaceRecord + i]);
    }
    // A player shot is its enemy sheet turned upside down: only the size comes from the record.
    for (int j = 0; j < PlayerShotSpriteCount; ++j) {
        const int record = FirstShotRecord + j;
        PlayerShotSprites[j].reset();
        PlayerShotSprites[j] =
            BlankSurface(packPath, record, CheckedLayout(packPath, record, pack.records[record]));
        MirrorSurface(*GameSprites[record], *PlayerShotSprites[j]);
    }
    MakeDerivedSprites();
    IndexKeyedSprites();
}

void FreeSpriteStore() {
    FreeDerivedSprites();
    for (auto& sprite : InterfaceSprites)
        sprite.reset();
    for (auto& sprite : GameSprites)
        sprite.reset();
    for (auto& sprite : PlayerShotSprites)
        sprite.reset();
}
