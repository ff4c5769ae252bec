// The scrolling backgrounds: the far starfield with its nebula (opaque) and the five near debris tiles
// (on black, which the game treats as transparent). Both tile seamlessly: every feature that crosses an
// edge is drawn again on the opposite side, and the nebula noise wraps its lattice.
#include "GameArt.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr int FarWidth = 512;
constexpr int FarHeight = 486;
constexpr int NearWidth = 300;
constexpr int NearHeight = 200;

// Value noise on a lattice of cellsX x cellsY that wraps, so it tiles over the picture.
class WrappingNoise {
  public:
    WrappingNoise(uint64_t seed, int cellsX, int cellsY) : cellsX(cellsX), cellsY(cellsY) {
        Random random(seed);
        for (int i = 0; i < cellsX * cellsY; ++i)
            lattice.push_back(random.Real(0, 1));
    }
    double At(double u, double v) const { // u, v in 0..1 across the picture
        const double x = u * cellsX, y = v * cellsY;
        const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
        const double fx = Smooth(x - x0), fy = Smooth(y - y0);
        const double top = Lerp(Cell(x0, y0), Cell(x0 + 1, y0), fx);
        const double bottom = Lerp(Cell(x0, y0 + 1), Cell(x0 + 1, y0 + 1), fx);
        return Lerp(top, bottom, fy);
    }

  private:
    static double Smooth(double t) { return t * t * (3 - 2 * t); }
    static double Lerp(double a, double b, double t) { return a + (b - a) * t; }
    double Cell(int x, int y) const {
        x = ((x % cellsX) + cellsX) % cellsX;
        y = ((y % cellsY) + cellsY) % cellsY;
        return lattice[static_cast<size_t>(y * cellsX + x)];
    }
    int cellsX, cellsY;
    std::vector<double> lattice;
};

double Fractal(double u, double v, const std::vector<WrappingNoise>& octaves) {
    double sum = 0, weight = 1, total = 0;
    for (const WrappingNoise& octave : octaves) {
        sum += octave.At(u, v) * weight;
        total += weight;
        weight *= 0.5;
    }
    return sum / total;
}

std::vector<WrappingNoise> MakeOctaves(uint64_t seed, int baseCellsX, int baseCellsY, int count) {
    std::vector<WrappingNoise> octaves;
    for (int i = 0; i < count; ++i)
        octaves.emplace_back(seed + i * 7919, baseCellsX << i, baseCellsY << i);
    return octaves;
}

double SmoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

void PaintNebula(cairo_t* cr) {
    cairo_surface_t* surface = cairo_get_target(cr);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const auto violet = MakeOctaves(11, 3, 3, 5);
    const auto teal = MakeOctaves(23, 2, 2, 5);
    const auto dust = MakeOctaves(37, 4, 4, 4);
    const Rgb space = Hex(0x04050E), violetColour = Hex(0x5A2470), tealColour = Hex(0x124E6A),
              dustColour = Hex(0x8A5A3A);
    for (int y = 0; y < FarHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < FarWidth; ++x) {
            const double u = static_cast<double>(x) / FarWidth, v = static_cast<double>(y) / FarHeight;
            const double a = SmoothStep(0.48, 0.78, Fractal(u, v, violet));
            const double b = SmoothStep(0.5, 0.8, Fractal(u, v, teal));
            const double c = SmoothStep(0.58, 0.85, Fractal(u, v, dust)) * a;
            Rgb colour = space;
            colour = Mix(colour, tealColour, b * 0.75);
            colour = Mix(colour, violetColour, a * 0.65);
            colour = Mix(colour, dustColour, c * 0.5);
            auto channel = [](double value) {
                return static_cast<uint32_t>(std::clamp(value, 0.0, 1.0) * 255.0);
            };
            row[x] = 0xFF000000u | (channel(colour.r) << 16) | (channel(colour.g) << 8) | channel(colour.b);
        }
    }
    cairo_surface_mark_dirty(surface);
}

// Calls draw at (x, y) and again at every shifted copy that reaches into the tile.
template <typename Draw>
void DrawWrapped(int width, int height, double x, double y, double reach, const Draw& draw) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const double px = x + dx * width, py = y + dy * height;
            if (px + reach < 0 || px - reach > width || py + reach < 0 || py - reach > height) continue;
            draw(px, py);
        }
}

void DrawStar(cairo_t* cr, double x, double y, double size, Rgb tint, bool flare) {
    Glow(cr, x, y, size * 2.6, Shade(tint, 1.5), Shade(tint, 0.55), 0.9);
    if (flare) {
        cairo_save(cr);
        for (int axis = 0; axis < 2; ++axis) {
            GlowEllipse(cr, x, y, axis ? size * 7 : size * 0.7, axis ? size * 0.7 : size * 7,
                        Shade(tint, 1.6), tint, 0.8);
        }
        cairo_restore(cr);
    }
    Ellipse(cr, x, y, size * 0.7, size * 0.7);
    SetColour(cr, Shade(tint, 1.85));
    cairo_fill(cr);
}

void DrawStars(cairo_t* cr) {
    Random random(2024);
    const Rgb tints[] = {Hex(0xC8D8FF), Hex(0xFFF0D0), Hex(0xFFD0A0), Hex(0xD0FFFF), Hex(0xFFFFFF)};
    struct Layer {
        int count;
        double minSize, maxSize;
        bool flare;
    };
    const Layer layers[] = {
        {420, 0.35, 0.6, false}, {90, 0.6, 1.0, false}, {18, 1.0, 1.5, false}, {5, 1.3, 1.8, true}};
    for (const Layer& layer : layers)
        for (int i = 0; i < layer.count; ++i) {
            const double x = random.Real(0, FarWidth), y = random.Real(0, FarHeight);
            const double size = random.Real(layer.minSize, layer.maxSize);
            const Rgb tint = tints[random.Int(0, 4)];
            DrawWrapped(FarWidth, FarHeight, x, y, size * 8,
                        [&](double px, double py) { DrawStar(cr, px, py, size, tint, layer.flare); });
        }
}

// ---- near debris ----

void DrawGirder(cairo_t* cr, double length, double thickness, Rgb metal) {
    // Two rails with cross bracing, broken off at the far end.
    for (double side : {-1.0, 1.0}) {
        cairo_rectangle(cr, 0, side * thickness / 2 - 1.5, length, 3);
        FillMetalDown(cr, metal, side * thickness / 2 - 1.5, side * thickness / 2 + 1.5);
        cairo_new_path(cr);
    }
    cairo_set_line_width(cr, 1.6);
    for (double x = 0; x + thickness < length; x += thickness) {
        cairo_move_to(cr, x, -thickness / 2);
        cairo_line_to(cr, x + thickness, thickness / 2);
        cairo_move_to(cr, x + thickness, -thickness / 2);
        cairo_line_to(cr, x + thickness, thickness / 2);
    }
    SetColour(cr, Shade(metal, 0.8));
    cairo_stroke(cr);
    Polygon(cr, {{length - 2, -thickness / 2 - 2},
                 {length + 5, -thickness / 4},
                 {length + 1, thickness / 2 + 2},
                 {length - 3, thickness / 2}});
    SetColour(cr, Shade(metal, 0.45));
    cairo_fill(cr);
}

void DrawHullPlate(cairo_t* cr, double w, double h, Rgb metal, Random& random) {
    Polygon(cr, {{0, 0},
                 {w * 0.7, 0},
                 {w * 0.78, h * 0.18},
                 {w, h * 0.25},
                 {w * 0.92, h},
                 {w * 0.3, h * 0.9},
                 {w * 0.12, h},
                 {-w * 0.04, h * 0.45}});
    FillMetalAcross(cr, metal, 0, w, 0.3);
    Stroke(cr, Shade(metal, 0.35), 1.0);
    cairo_new_path(cr);
    // Panel seams and rivets.
    cairo_set_line_width(cr, 1);
    SetColour(cr, Shade(metal, 0.5));
    cairo_move_to(cr, w * 0.35, h * 0.05);
    cairo_line_to(cr, w * 0.4, h * 0.9);
    cairo_move_to(cr, w * 0.02, h * 0.5);
    cairo_line_to(cr, w * 0.95, h * 0.55);
    cairo_stroke(cr);
    for (int i = 0; i < 6; ++i) {
        Ellipse(cr, random.Real(w * 0.1, w * 0.85), random.Real(h * 0.12, h * 0.85), 0.9, 0.9);
        SetColour(cr, Shade(metal, 1.3));
        cairo_fill(cr);
    }
    // Scorch mark.
    GlowEllipse(cr, w * 0.65, h * 0.7, w * 0.2, h * 0.18, Hex(0x100804), Hex(0x281810), 0.55);
}

void DrawSolarPanel(cairo_t* cr, double w, double h) {
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_pattern_t* cells = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgb(cells, 0, 0.15, 0.3, 0.6);
    cairo_pattern_add_color_stop_rgb(cells, 0.45, 0.35, 0.55, 0.85);
    cairo_pattern_add_color_stop_rgb(cells, 1, 0.06, 0.12, 0.3);
    cairo_set_source(cr, cells);
    cairo_fill(cr);
    cairo_pattern_destroy(cells);
    cairo_set_line_width(cr, 1);
    SetColour(cr, Hex(0x9098A8));
    for (double x = 0; x <= w; x += w / 4) {
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x, h);
    }
    for (double y = 0; y <= h; y += h / 3) {
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, w, y);
    }
    cairo_stroke(cr);
    // A corner torn off.
    Polygon(cr, {{w * 0.7, h + 1}, {w + 1, h * 0.35}, {w + 1, h + 1}});
    SetColour(cr, {0, 0, 0});
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void DrawPipe(cairo_t* cr, double length, double radius, Rgb metal) {
    cairo_rectangle(cr, 0, -radius, length, radius * 2);
    FillMetalDown(cr, metal, -radius, radius);
    cairo_new_path(cr);
    for (double x : {length * 0.25, length * 0.7}) {
        cairo_rectangle(cr, x, -radius - 1.2, 3, radius * 2 + 2.4);
        FillMetalDown(cr, Shade(metal, 1.2), -radius - 1.2, radius + 1.2);
        cairo_new_path(cr);
    }
}

void DrawCrystal(cairo_t* cr, double size, Random& random) {
    const int shards = random.Int(3, 5);
    for (int i = 0; i < shards; ++i) {
        const double angle = random.Real(-0.9, 0.9) - Pi / 2;
        const double length = size * random.Real(0.6, 1.0), width = size * random.Real(0.15, 0.25);
        cairo_save(cr);
        cairo_rotate(cr, angle);
        Polygon(cr, {{0, -width},
                     {length * 0.8, -width * 0.8},
                     {length, 0},
                     {length * 0.8, width * 0.8},
                     {0, width}});
        cairo_pattern_t* ice = cairo_pattern_create_linear(0, -width, 0, width);
        cairo_pattern_add_color_stop_rgb(ice, 0, 0.85, 0.95, 1.0);
        cairo_pattern_add_color_stop_rgb(ice, 0.5, 0.4, 0.65, 0.9);
        cairo_pattern_add_color_stop_rgb(ice, 1, 0.12, 0.22, 0.45);
        cairo_set_source(cr, ice);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(ice);
        Stroke(cr, Hex(0xB8E0FF), 0.8, 0.8);
        cairo_new_path(cr);
        cairo_restore(cr);
    }
}

void DrawWarningLight(cairo_t* cr, double x, double y, Rgb colour) {
    Glow(cr, x, y, 5, Shade(colour, 1.4), colour, 0.9);
}

enum class Debris { Rock, Pebble, Girder, Plate, Panel, Pipe, Crystal };

struct Placement {
    Debris what;
    double x, y, size, angle;
};

void DrawDebris(cairo_t* cr, const Placement& item, Random& random) {
    cairo_save(cr);
    cairo_translate(cr, item.x, item.y);
    cairo_rotate(cr, item.angle);
    switch (item.what) {
    case Debris::Rock: {
        const RockShape rock = MakeRock(random, 9, 0.3, 3);
        DrawRock(cr, rock, 0, 0, item.size, item.size * 0.8, item.angle, Hex(0x6A5E54));
        break;
    }
    case Debris::Pebble: {
        const RockShape rock = MakeRock(random, 7, 0.35, 1);
        DrawRock(cr, rock, 0, 0, item.size, item.size * 0.85, item.angle, Hex(0x5A5660));
        break;
    }
    case Debris::Girder:
        DrawGirder(cr, item.size, 9, Hex(0x7A7C84));
        break;
    case Debris::Plate:
        DrawHullPlate(cr, item.size, item.size * 0.6, Hex(0x6C7480), random);
        break;
    case Debris::Panel:
        DrawSolarPanel(cr, item.size, item.size * 0.45);
        break;
    case Debris::Pipe:
        DrawPipe(cr, item.size, 3.5, Hex(0x8A6A4A));
        break;
    case Debris::Crystal:
        DrawCrystal(cr, item.size, random);
        break;
    }
    cairo_restore(cr);
}

Picture DrawNearTile(uint64_t seed, std::initializer_list<Placement> items,
                     std::initializer_list<Point> lights) {
    return DrawOne(
        NearWidth, NearHeight,
        [&](cairo_t* cr) {
            for (const Placement& item : items) {
                const double reach = item.size * 1.3 + 6;
                DrawWrapped(NearWidth, NearHeight, item.x, item.y, reach, [&](double x, double y) {
                    Random random(
                        seed + static_cast<uint64_t>(item.x * 131 + item.y * 7)); // same look in every copy
                    Placement copy = item;
                    copy.x = x;
                    copy.y = y;
                    DrawDebris(cr, copy, random);
                });
            }
            for (const Point& light : lights)
                DrawWrapped(NearWidth, NearHeight, light.x, light.y, 6,
                            [&](double x, double y) { DrawWarningLight(cr, x, y, Hex(0xFF3020)); });
        },
        BlackKey, 110);
}

} // namespace

Picture DrawFarStarfield() {
    Canvas canvas(FarWidth, FarHeight);
    PaintNebula(canvas.cr());
    DrawStars(canvas.cr());
    return canvas.FlattenOpaque();
}

std::vector<Picture> DrawNearTiles() {
    using D = Debris;
    std::vector<Picture> tiles;
    tiles.push_back(DrawNearTile(301,
                                 {{D::Rock, 60, 44, 18, 0.4},
                                  {D::Rock, 215, 128, 24, 1.9},
                                  {D::Pebble, 150, 70, 6, 0.2},
                                  {D::Pebble, 292, 18, 7, 2.1},
                                  {D::Pebble, 30, 170, 8, 1.0},
                                  {D::Rock, 120, 196, 11, 0.7},
                                  {D::Pebble, 262, 62, 4, 0.3}},
                                 {}));
    tiles.push_back(DrawNearTile(302,
                                 {{D::Girder, 20, 60, 120, 0.45},
                                  {D::Plate, 185, 112, 62, -0.4},
                                  {D::Pebble, 120, 172, 5, 0.3},
                                  {D::Pipe, 246, 20, 56, 2.2},
                                  {D::Pebble, 60, 150, 4, 1.3}},
                                 {{208, 136}}));
    tiles.push_back(DrawNearTile(303,
                                 {{D::Crystal, 70, 120, 28, 0.0},
                                  {D::Crystal, 232, 52, 20, 1.2},
                                  {D::Pebble, 180, 172, 6, 0.0},
                                  {D::Pebble, 20, 30, 5, 1.0},
                                  {D::Crystal, 292, 190, 14, 2.5},
                                  {D::Rock, 150, 40, 9, 1.5}},
                                 {}));
    tiles.push_back(DrawNearTile(304,
                                 {{D::Panel, 60, 36, 76, 0.35},
                                  {D::Rock, 232, 150, 15, 0.9},
                                  {D::Pipe, 130, 140, 42, -0.8},
                                  {D::Pebble, 270, 60, 5, 0.5},
                                  {D::Pebble, 16, 140, 5, 0.5},
                                  {D::Pebble, 196, 10, 4, 0.5}},
                                 {{86, 46}}));
    tiles.push_back(DrawNearTile(305,
                                 {{D::Plate, 20, 100, 52, 0.9},
                                  {D::Girder, 160, 24, 96, 2.6},
                                  {D::Pipe, 210, 150, 66, 0.2},
                                  {D::Pebble, 120, 80, 5, 0.5},
                                  {D::Rock, 286, 92, 10, 0.1}},
                                 {{232, 151}, {28, 112}}));
    return tiles;
}

} // namespace art
