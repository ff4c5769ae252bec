#include "AssetGen.h"

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

} // namespace

// A plain 24-bit bottom-up Windows BMP: file header, BITMAPINFOHEADER, padded rows.
std::vector<uint8_t> EncodeBmp(const Picture& picture) {
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    PutLe(out, 54 + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<uint32_t>(picture.width), 4);
    PutLe(out, static_cast<uint32_t>(picture.height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t colour = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            out.push_back(static_cast<uint8_t>(colour));
            out.push_back(static_cast<uint8_t>(colour >> 8));
            out.push_back(static_cast<uint8_t>(colour >> 16));
        }
        while (out.size() - start < rowBytes)
            out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> BuildPack(const std::vector<Picture>& records) {
    std::vector<uint8_t> pack;
    for (const Picture& picture : records) {
        const std::vector<uint8_t> bmp = EncodeBmp(picture);
        PutLe(pack, static_cast<uint32_t>(bmp.size()), 4);
        pack.insert(pack.end(), bmp.begin(), bmp.end());
    }
    return pack;
}

void WriteFileOrDie(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void WriteTextFileOrDie(const std::string& path, const std::string& text) {
    WriteFileOrDie(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string EmbedSoundEffectsSource(const std::vector<std::vector<uint8_t>>& images) {
    std::ostringstream source;
    source << "// Made by the asset generator: the seven built-in sound effects as RIFF WAVE images.\n"
              "#include \"audio/SoundEffectImages.h\"\n\nnamespace {\n";
    for (size_t i = 0; i < images.size(); ++i) {
        source << "const unsigned char Effect" << i << "[] = {";
        for (size_t b = 0; b < images[i].size(); ++b) {
            if (b % 24 == 0) source << "\n";
            source << static_cast<int>(images[i][b]) << ",";
        }
        source << "\n};\n";
    }
    source << "} // namespace\n\nconst std::array<SoundEffectImage, " << images.size()
           << "> SoundEffectImages = {{\n";
    for (size_t i = 0; i < images.size(); ++i)
        source << "    {Effect" << i << ", sizeof(Effect" << i << ")},\n";
    source << "}};\n";
    return source.str();
}

// Every record on one sheet, in rows, with its number, for looking at the art.
void WriteContactSheet(const std::string& path, const std::vector<Picture>& records) {
    const int sheetWidth = 2100;
    int x = 0, y = 0, rowHeight = 0;
    std::vector<std::pair<int, int>> places;
    for (const Picture& picture : records) {
        const int w = std::min(picture.width, sheetWidth - 20);
        if (x + w + 10 > sheetWidth) {
            x = 0;
            y += rowHeight + 24;
            rowHeight = 0;
        }
        places.emplace_back(x + 5, y + 18);
        x += w + 14;
        rowHeight = std::max(rowHeight, picture.height);
    }
    const int sheetHeight = y + rowHeight + 30;
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetWidth, sheetHeight);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.3);
    cairo_paint(cr);
    cairo_surface_flush(sheet);
    unsigned char* data = cairo_image_surface_get_data(sheet);
    const int stride = cairo_image_surface_get_stride(sheet);
    for (size_t i = 0; i < records.size(); ++i) {
        const Picture& picture = records[i];
        const auto [left, top] = places[i];
        for (int py = 0; py < picture.height && top + py < sheetHeight; ++py) {
            auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(top + py) * stride);
            for (int px = 0; px < picture.width && left + px < sheetWidth; ++px)
                row[left + px] = picture.pixels[static_cast<size_t>(py) * picture.width + px];
        }
    }
    cairo_surface_mark_dirty(sheet);
    cairo_set_source_rgb(cr, 1, 1, 0.6);
    cairo_set_font_size(cr, 12);
    for (size_t i = 0; i < records.size(); ++i) {
        cairo_move_to(cr, places[i].first, places[i].second - 4);
        const std::string label = std::to_string(i) + " (" + std::to_string(records[i].width) + "x" +
                                  std::to_string(records[i].height) + ")";
        cairo_show_text(cr, label.c_str());
    }
    cairo_surface_write_to_png(sheet, path.c_str());
    cairo_destroy(cr);
    cairo_surface_destroy(sheet);
}
