#include "graphics/BmpImage.h"

#include <bit>

namespace {

constexpr size_t FileHeaderBytes = 14;
constexpr uint32_t CoreHeaderBytes = 12;
constexpr uint32_t InfoHeaderBytes = 40;
constexpr uint32_t MasksBytes = 12; // three 32-bit masks right after the 40-byte info header
constexpr uint32_t UncompressedRgb = 0;
constexpr uint32_t BitFields = 3;

uint32_t ReadLe16(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

uint32_t ReadLe32(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

bool Fail(std::string& error, const std::string& what) {
    error = what;
    return false;
}

void SetMask(BmpLayout& layout, int channel, uint32_t mask) {
    layout.masks[channel] = mask;
    layout.shifts[channel] = mask ? std::countr_zero(mask) : 0;
}

struct InfoFields {
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint32_t compression = UncompressedRgb;
    uint32_t coloursUsed = 0;
};

bool ReadInfoFields(const uint8_t* bytes, size_t size, InfoFields& info, BmpLayout& layout,
                    std::string& error) {
    info.headerSize = ReadLe32(bytes + FileHeaderBytes);
    if (info.headerSize != CoreHeaderBytes && info.headerSize < InfoHeaderBytes)
        return Fail(error, "not a valid BMP image (unknown info header of " +
                               std::to_string(info.headerSize) + " bytes)");
    if (info.headerSize > size - FileHeaderBytes)
        return Fail(error, "not a valid BMP image (its header is cut short)");
    const uint8_t* header = bytes + FileHeaderBytes;
    if (info.headerSize == CoreHeaderBytes) {
        info.width = ReadLe16(header + 4);
        info.height = ReadLe16(header + 6);
        layout.bitsPerPixel = static_cast<int>(ReadLe16(header + 10));
        return true;
    }
    info.width = static_cast<int32_t>(ReadLe32(header + 4));
    info.height = static_cast<int32_t>(ReadLe32(header + 8));
    layout.bitsPerPixel = static_cast<int>(ReadLe16(header + 14));
    info.compression = ReadLe32(header + 16);
    info.coloursUsed = ReadLe32(header + 32);
    return true;
}

bool CheckFormat(const InfoFields& info, const BmpLayout& layout, std::string& error) {
    const int bits = layout.bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(error, "a BMP image of " + std::to_string(bits) +
                               " bits per pixel, which the game does not read");
    const bool fieldsAllowed = bits == 16 || bits == 32;
    if (info.compression != UncompressedRgb && !(info.compression == BitFields && fieldsAllowed))
        return Fail(error, "a compressed BMP image (method " + std::to_string(info.compression) + " at " +
                               std::to_string(bits) + " bits), which the game does not read");
    return true;
}

bool CheckSize(const InfoFields& info, BmpLayout& layout, std::string& error) {
    const int64_t height = info.height < 0 ? -info.height : info.height;
    if (info.width <= 0 || height == 0)
        return Fail(error, "an empty BMP image (" + std::to_string(info.width) + " x " +
                               std::to_string(info.height) + " pixels)");
    if (info.width > MaxPictureWidth || height > MaxPictureHeight || info.width * height > MaxPicturePixels)
        return Fail(error, "a BMP image of " + std::to_string(info.width) + " x " + std::to_string(height) +
                               " pixels, larger than any picture the game uses");
    layout.width = static_cast<int>(info.width);
    layout.height = static_cast<int>(height);
    layout.topDown = info.height < 0;
    layout.rowStride = (static_cast<size_t>(layout.width) * layout.bitsPerPixel + 31) / 32 * 4;
    return true;
}

// Masks come from the file only for bit fields; otherwise 16 bits are 5-5-5 and 32 bits are X-R-G-B.
bool ReadMasks(const uint8_t* bytes, size_t size, const InfoFields& info, BmpLayout& layout,
               std::string& error) {
    if (info.compression == BitFields) {
        if (FileHeaderBytes + InfoHeaderBytes + MasksBytes > size)
            return Fail(error, "not a valid BMP image (its colour masks are cut short)");
        for (int channel = 0; channel < 3; ++channel)
            SetMask(layout, channel, ReadLe32(bytes + FileHeaderBytes + InfoHeaderBytes + 4 * channel));
        return true;
    }
    const bool fiveBits = layout.bitsPerPixel == 16;
    SetMask(layout, 0, fiveBits ? 0x7C00 : 0xFF0000);
    SetMask(layout, 1, fiveBits ? 0x03E0 : 0x00FF00);
    SetMask(layout, 2, fiveBits ? 0x001F : 0x0000FF);
    return true;
}

bool ReadPalette(const uint8_t* bytes, size_t size, const InfoFields& info, BmpLayout& layout,
                 std::string& error) {
    if (layout.bitsPerPixel > 8) return true;
    const uint32_t most = 1u << layout.bitsPerPixel;
    const uint32_t entries = info.coloursUsed == 0 || info.coloursUsed > most ? most : info.coloursUsed;
    const bool core = info.headerSize == CoreHeaderBytes;
    const size_t entryBytes = core ? 3 : 4;
    size_t start = FileHeaderBytes + info.headerSize;
    if (info.headerSize == InfoHeaderBytes && info.compression == BitFields) start += MasksBytes;
    if (start + entries * entryBytes > size)
        return Fail(error, "not a valid BMP image (its colour table runs past the end of the record)");
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* entry = bytes + start + i * entryBytes;
        layout.palette[i] = (uint32_t{entry[2]} << 16) | (uint32_t{entry[1]} << 8) | entry[0];
    }
    return true;
}

bool CheckPixelRows(const uint8_t* bytes, size_t size, const InfoFields& info, BmpLayout& layout,
                    std::string& error) {
    layout.pixelOffset = ReadLe32(bytes + 10);
    if (layout.pixelOffset < FileHeaderBytes + info.headerSize)
        return Fail(error, "not a valid BMP image (its pixel rows would start inside its header)");
    const size_t needed = layout.rowStride * static_cast<size_t>(layout.height);
    if (layout.pixelOffset > size || needed > size - layout.pixelOffset)
        return Fail(error, "not a valid BMP image (" + std::to_string(layout.width) + " x " +
                               std::to_string(layout.height) + " pixels need " + std::to_string(needed) +
                               " bytes from offset " + std::to_string(layout.pixelOffset) +
                               ", the record has " + std::to_string(size) + ")");
    return true;
}

// Scales a channel to 0..255 the way the display library converts such pictures (rounding down).
uint32_t ExpandChannel(uint32_t value, uint32_t largest) {
    return largest == 0 ? 0 : static_cast<uint32_t>(uint64_t{value} * 255 / largest);
}

uint32_t MaskedColour(const BmpLayout& layout, uint32_t pixel) {
    uint32_t colour = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const uint32_t value = (pixel & layout.masks[channel]) >> layout.shifts[channel];
        colour = (colour << 8) | ExpandChannel(value, layout.masks[channel] >> layout.shifts[channel]);
    }
    return colour;
}

} // namespace

bool ReadBmpLayout(const uint8_t* bytes, size_t size, BmpLayout& layout, std::string& error) {
    layout = BmpLayout{};
    if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M') return Fail(error, "not a BMP image");
    if (size < FileHeaderBytes + 4) return Fail(error, "not a valid BMP image (its header is cut short)");
    InfoFields info;
    return ReadInfoFields(bytes, size, info, layout, error) && CheckFormat(info, layout, error) &&
           CheckSize(info, layout, error) && ReadMasks(bytes, size, info, layout, error) &&
           ReadPalette(bytes, size, info, layout, error) && CheckPixelRows(bytes, size, info, layout, error);
}

void DecodeBmpRow(const uint8_t* bytes, const BmpLayout& layout, int y, uint32_t* out) {
    const int fileRow = layout.topDown ? y : layout.height - 1 - y;
    const uint8_t* row = bytes + layout.pixelOffset + static_cast<size_t>(fileRow) * layout.rowStride;
    const int width = layout.width;
    switch (layout.bitsPerPixel) {
    case 24:
        for (int x = 0; x < width; ++x, row += 3)
            out[x] = (uint32_t{row[2]} << 16) | (uint32_t{row[1]} << 8) | row[0];
        return;
    case 32:
        for (int x = 0; x < width; ++x)
            out[x] = MaskedColour(layout, ReadLe32(row + 4 * x));
        return;
    case 16:
        for (int x = 0; x < width; ++x)
            out[x] = MaskedColour(layout, ReadLe16(row + 2 * x));
        return;
    default: {
        // 1, 4 or 8 bits: indices packed from the high bits of each byte.
        const int bits = layout.bitsPerPixel;
        const int perByte = 8 / bits;
        const uint32_t indexMask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            out[x] = layout.palette[(row[x / perByte] >> shift) & indexMask];
        }
    }
    }
}
