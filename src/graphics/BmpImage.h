// The BMP pictures of the data pack, read by the game itself: the header is checked against the bytes
// of its record before anything is allocated, then rows are decoded straight into 0x00RRGGBB pixels.
// Uncompressed 1-, 4-, 8-, 16-, 24- and 32-bit pictures are read, with bit-field masks for 16 and 32
// bits, bottom-up or top-down, with the 40-byte info header or any later one, or the 12-byte core one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// No picture the game draws is wider than 1024 or taller than 600 pixels; twice that each way leaves
// room for bigger sheets while a damaged header can never ask for gigabytes.
inline constexpr int MaxPictureWidth = 2048;
inline constexpr int MaxPictureHeight = 2048;
inline constexpr int64_t MaxPicturePixels = 2048 * 1024;

struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    size_t pixelOffset = 0;
    size_t rowStride = 0;
    // Per channel (red, green, blue) for 16 and 32 bits: mask and the shift to its lowest bit.
    std::array<uint32_t, 3> masks{};
    std::array<int, 3> shifts{};
    // Colour table for up to 8 bits; entries past those the file gives are black.
    std::array<uint32_t, 256> palette{};
};

// Checks that `bytes` hold a BMP this decoder reads and whose every row lies inside them.
// On failure `error` says what is wrong, in words that follow "record N is ...".
bool ReadBmpLayout(const uint8_t* bytes, size_t size, BmpLayout& layout, std::string& error);

// Decodes picture row `y` (0 is the top) of a checked BMP into `width` pixels 0x00RRGGBB.
void DecodeBmpRow(const uint8_t* bytes, const BmpLayout& layout, int y, uint32_t* out);
