// The data pack walk and the BMP header check: every picture that passes the check decodes without
// reading outside its record, and no check lets a picture past the size limits.
#include "graphics/BmpImage.h"
#include "graphics/DataPack.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr int PackRecordCount = 102;
    std::vector<PackRecord> records;
    int failedRecord = 0;
    std::string error;
    WalkPackRecords(data, size, PackRecordCount, records, failedRecord, error);
    std::vector<uint32_t> row;
    for (const PackRecord& record : records) {
        if (record.bytes < data || record.bytes + record.size > data + size) std::abort();
        BmpLayout layout;
        if (!ReadBmpLayout(record.bytes, record.size, layout, error)) continue;
        if (layout.width < 1 || layout.width > MaxPictureWidth || layout.height < 1 ||
            layout.height > MaxPictureHeight ||
            static_cast<int64_t>(layout.width) * layout.height > MaxPicturePixels)
            std::abort();
        // Copies of each record, exactly sized, so any read past its end is caught.
        const std::vector<uint8_t> bytes(record.bytes, record.bytes + record.size);
        row.assign(static_cast<size_t>(layout.width), 0);
        for (int y = 0; y < layout.height; ++y)
            DecodeBmpRow(bytes.data(), layout, y, row.data());
    }
    return 0;
}
