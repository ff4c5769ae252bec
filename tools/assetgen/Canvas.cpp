#include "Canvas.h"

#include <cstdio>
#include <cstdlib>

Canvas::Canvas(int width, int height) : width(width), height(height) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    context = cairo_create(surface);
    if (cairo_status(context) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "assetgen: cannot create a %dx%d canvas\n", width, height);
        std::exit(1);
    }
}

Canvas::~Canvas() {
    cairo_destroy(context);
    cairo_surface_destroy(surface);
}

static uint32_t Unpremultiply(uint32_t argb) {
    const uint32_t alpha = argb >> 24;
    if (alpha == 0) return 0;
    auto channel = [&](int shift) {
        const uint32_t value = (argb >> shift) & 0xFF;
        const uint32_t straight = (value * 255 + alpha / 2) / alpha;
        return straight > 255 ? 255u : straight;
    };
    return (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

// Builds a picture by turning every canvas pixel (premultiplied ARGB) into an opaque colour.
template <typename PixelRule>
static Picture MapPixels(cairo_surface_t* surface, int width, int height, PixelRule rule) {
    cairo_surface_flush(surface);
    Picture picture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x)
            picture.pixels[static_cast<size_t>(y) * width + x] = rule(row[x]);
    }
    return picture;
}

Picture Canvas::Flatten(uint32_t key) const {
    return MapPixels(surface, width, height, [key](uint32_t argb) {
        if ((argb >> 24) < 128) return key;
        uint32_t colour = Unpremultiply(argb);
        if (colour == key) colour ^= 0x000100; // one step of green off the key
        return colour;
    });
}

Picture Canvas::FlattenOpaque() const {
    // Premultiplied colour is the colour composited over black.
    return MapPixels(surface, width, height, [](uint32_t argb) { return argb & 0xFFFFFF; });
}

void PasteFrame(Picture& sheet, const Picture& frame, int frameIndex) {
    const int left = frameIndex * frame.width;
    for (int y = 0; y < frame.height && y < sheet.height; ++y)
        for (int x = 0; x < frame.width && left + x < sheet.width; ++x)
            sheet.pixels[static_cast<size_t>(y) * sheet.width + left + x] =
                frame.pixels[static_cast<size_t>(y) * frame.width + x];
}

Picture BlankPicture(int width, int height, uint32_t colour) {
    return Picture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, colour)};
}
