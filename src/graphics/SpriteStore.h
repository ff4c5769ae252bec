// Every picture the program draws, each on its own colour-keyed surface, read from the data pack
// Data/Data.pp: a chain of (32-bit length, BMP file) records with no header and no index.
#pragma once

#include "core/GameFolders.h"
#include "core/SlotList.h"
#include "graphics/GraphicsState.h"
#include "graphics/PackRecords.h"
#include "platform/Surface.h"

#include <stdexcept>
#include <string>

inline constexpr const char* DataPackPath = "Data/Data.pp";
inline constexpr int FirstShotRecord = GameRecord::FirstShot;

inline constexpr uint32_t ColourMagenta = Rgb(255, 0, 255);
inline constexpr uint32_t ColourBlack = Rgb(0, 0, 0);

// A pack that cannot be read: the message names the file and the record.
class PackError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Fills all three groups from the pack; throws PackError when a record cannot be read.
void LoadSpriteStore(const std::string& packPath = DataFolder + DataPackPath);
void FreeSpriteStore();

// Reads record `record` by walking the lengths of the records before it.
std::unique_ptr<Surface> LoadPackImage(const std::string& packPath, int record);

uint32_t MatchSurfaceColour(Surface& surface, uint32_t rgb);
void SetSurfaceColourKey(Surface& surface, uint32_t rgb);
// Copies the source into the target upside down (not left-right mirrored).
void MirrorSurface(const Surface& source, Surface& target);
