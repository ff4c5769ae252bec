// The data pack: a chain of (32-bit little-endian length, BMP file) records with no header and no
// index. The file is read once; records are then found in memory through the lengths before them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PackRecord {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
};

// Walks the first `count` records of `pack`, checking each length against the bytes left.
// On failure `error` names the record, in words that follow "record N ...".
bool WalkPackRecords(const uint8_t* pack, size_t size, int count, std::vector<PackRecord>& records,
                     int& failedRecord, std::string& error);

// The whole pack file in memory; `error` says why it could not be read.
bool ReadPackFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
