// The program's icon for the desktop: the player's ship, level with its engines lit, on a tile of
// deep space with a few stars and a thin rim in the game's green. One drawing, written as PNGs in the
// usual theme sizes and as SVG for the scalable theme folder.
#include "AssetGen.h"
#include "GameArt.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr double IconUnits = 256; // the drawing is made on a 256 x 256 grid and scaled
constexpr int IconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr const char* IconName = "vantorix";

struct Star {
    double x, y, radius, brightness;
};
constexpr Star Stars[] = {{46, 52, 2.2, 0.9},   {200, 40, 1.6, 0.7}, {214, 170, 2.0, 0.8},
                          {36, 190, 1.4, 0.6},  {170, 96, 1.2, 0.5}, {84, 124, 1.1, 0.5},
                          {120, 222, 1.5, 0.6}, {226, 112, 1.0, 0.5}};

void RoundedTile(cairo_t* cr, double inset, double radius) {
    const double a = inset, b = IconUnits - inset;
    cairo_new_sub_path(cr);
    cairo_arc(cr, b - radius, a + radius, radius, -kit::Pi / 2, 0);
    cairo_arc(cr, b - radius, b - radius, radius, 0, kit::Pi / 2);
    cairo_arc(cr, a + radius, b - radius, radius, kit::Pi / 2, kit::Pi);
    cairo_arc(cr, a + radius, a + radius, radius, kit::Pi, 3 * kit::Pi / 2);
    cairo_close_path(cr);
}

void DrawSpaceTile(cairo_t* cr) {
    RoundedTile(cr, 8, 44);
    cairo_pattern_t* space = cairo_pattern_create_radial(128, 110, 10, 128, 128, 190);
    cairo_pattern_add_color_stop_rgb(space, 0, 0.10, 0.16, 0.34);
    cairo_pattern_add_color_stop_rgb(space, 0.6, 0.03, 0.05, 0.14);
    cairo_pattern_add_color_stop_rgb(space, 1, 0.0, 0.0, 0.03);
    cairo_set_source(cr, space);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(space);
    kit::SetColour(cr, {0.0, 0.85, 0.25});
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    for (const Star& star : Stars) {
        kit::Ellipse(cr, star.x, star.y, star.radius, star.radius);
        kit::SetColour(cr, {0.8, 0.9, 1.0}, star.brightness);
        cairo_fill(cr);
    }
}

void DrawIcon(cairo_t* cr, double size) {
    cairo_save(cr);
    cairo_scale(cr, size / IconUnits, size / IconUnits);
    DrawSpaceTile(cr);
    // The 65 x 100 ship frame, twice its size, its flames reaching towards the bottom of the tile.
    constexpr double ShipScale = 2.1;
    cairo_translate(cr, IconUnits / 2 - 32.5 * ShipScale, 20);
    cairo_scale(cr, ShipScale, ShipScale);
    art::DrawPlayerShipFrame(cr, 2, true);
    cairo_restore(cr);
}

void CheckOrDie(cairo_status_t status, const std::string& path) {
    if (status == CAIRO_STATUS_SUCCESS) return;
    std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), cairo_status_to_string(status));
    std::exit(1);
}

void WritePngIcon(const std::filesystem::path& folder, int size) {
    const std::filesystem::path dir = folder / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / (std::string(IconName) + ".png")).string();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    DrawIcon(cr, size);
    cairo_destroy(cr);
    CheckOrDie(cairo_surface_write_to_png(surface, path.c_str()), path);
    cairo_surface_destroy(surface);
}

void WriteSvgIcon(const std::filesystem::path& folder) {
    const std::filesystem::path dir = folder / "scalable" / "apps";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / (std::string(IconName) + ".svg")).string();
    cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), IconUnits, IconUnits);
    cairo_t* cr = cairo_create(surface);
    DrawIcon(cr, IconUnits);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    CheckOrDie(cairo_surface_status(surface), path);
    cairo_surface_destroy(surface);
}

} // namespace

void WriteAppIcons(const std::string& hicolorFolder) {
    for (const int size : IconSizes)
        WritePngIcon(hicolorFolder, size);
    WriteSvgIcon(hicolorFolder);
}
