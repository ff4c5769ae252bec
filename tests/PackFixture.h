// Small data packs for the sprite-store tests: BMPs of every layout in a chain of lengths.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

struct TestPicture {
    int width;
    int height;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first
};

inline TestPicture SolidPicture(int width, int height, uint32_t colour) {
    return TestPicture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, colour)};
}

inline void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline std::vector<uint8_t> EncodeTestBmp(const TestPicture& picture) {
    const uint32_t row = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    std::vector<uint8_t> out{'B', 'M'};
    PutLe(out, 54 + row * picture.height, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, picture.width, 4);
    PutLe(out, picture.height, 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    for (int i = 0; i < 6; ++i)
        PutLe(out, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            out.push_back(c & 0xFF);
            out.push_back((c >> 8) & 0xFF);
            out.push_back((c >> 16) & 0xFF);
        }
        while (out.size() - start < row)
            out.push_back(0);
    }
    return out;
}

// Any uncompressed BMP layout: raw pixel values (palette indices or packed pixels), top row first.
struct RawBmp {
    int width;
    int height; // negative: rows stored top-down
    int bits;
    std::vector<uint32_t> raw;
    std::vector<uint32_t> palette{}; // 0x00RRGGBB
    std::vector<uint32_t> masks{};   // bit fields, written right after a 40-byte info header
    uint32_t headerSize = 40;        // or 12 for the core header
};

inline std::vector<uint8_t> EncodeRawBmp(const RawBmp& bmp) {
    const bool core = bmp.headerSize == 12;
    const int rows = bmp.height < 0 ? -bmp.height : bmp.height;
    const uint32_t stride = (static_cast<uint32_t>(bmp.width) * bmp.bits + 31) / 32 * 4;
    std::vector<uint8_t> info;
    if (core) {
        PutLe(info, 12, 4);
        PutLe(info, bmp.width, 2);
        PutLe(info, rows, 2);
        PutLe(info, 1, 2);
        PutLe(info, bmp.bits, 2);
    } else {
        PutLe(info, 40, 4);
        PutLe(info, bmp.width, 4);
        PutLe(info, static_cast<uint32_t>(bmp.height), 4);
        PutLe(info, 1, 2);
        PutLe(info, bmp.bits, 2);
        PutLe(info, bmp.masks.empty() ? 0 : 3, 4);
        PutLe(info, stride * rows, 4);
        PutLe(info, 2835, 4);
        PutLe(info, 2835, 4);
        PutLe(info, static_cast<uint32_t>(bmp.palette.size()), 4);
        PutLe(info, 0, 4);
        for (uint32_t mask : bmp.masks)
            PutLe(info, mask, 4);
    }
    for (uint32_t colour : bmp.palette)
        PutLe(info, colour, core ? 3 : 4);
    std::vector<uint8_t> out{'B', 'M'};
    PutLe(out, static_cast<uint32_t>(14 + info.size() + stride * rows), 4);
    PutLe(out, 0, 4);
    PutLe(out, static_cast<uint32_t>(14 + info.size()), 4);
    out.insert(out.end(), info.begin(), info.end());
    for (int r = 0; r < rows; ++r) {
        const int y = bmp.height < 0 ? r : rows - 1 - r;
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < bmp.width; ++x) {
            const uint32_t value = bmp.raw[static_cast<size_t>(y) * bmp.width + x];
            const size_t bit = static_cast<size_t>(x) * bmp.bits;
            if (bmp.bits < 8)
                row[bit / 8] |= static_cast<uint8_t>(value << (8 - bmp.bits - bit % 8));
            else
                for (int b = 0; b < bmp.bits / 8; ++b)
                    row[bit / 8 + b] = static_cast<uint8_t>(value >> (8 * b));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

inline std::vector<uint8_t> ChainRecords(const std::vector<std::vector<uint8_t>>& records) {
    std::vector<uint8_t> pack;
    for (const auto& record : records) {
        PutLe(pack, static_cast<uint32_t>(record.size()), 4);
        pack.insert(pack.end(), record.begin(), record.end());
    }
    return pack;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
