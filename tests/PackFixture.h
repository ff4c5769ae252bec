// Small data packs for the sprite-store tests: plain 24-bit BMPs in a chain of lengths.
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
