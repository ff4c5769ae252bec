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
// The game repeats one near tile every 300 x 200 over the whole field, so a tile holds only one to three
// small pieces at uneven places, dimmed like far-off debris: anything bigger or brighter reads as a grid.

// Fills the current path (and keeps it) with dull metal shaded from (x0, y0) to (x1, y1): no specular
// streak, which at this size would be the brightest thing on the tile.
void FillDullMetal(cairo_t* cr, Rgb base, double x0, double y0, double x1, double y1) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(x0, y0, x1, y1);
    const Rgb lit = Shade(base, 1.15), dark = Shade(base, 0.5);
    AddStop(pattern, 0, lit);
    AddStop(pattern, 0.45, base);
    AddStop(pattern, 1, dark);
    cairo_set_source(cr, pattern);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pattern);
}

void DrawGirder(cairo_t* cr, double length, double thickness, Rgb metal) {
    // Two rails with cross bracing, broken off at the far end.
    for (double side : {-1.0, 1.0}) {
        const double rail = side * thickness / 2;
        cairo_rectangle(cr, 0, rail - 1, length, 2);
        FillDullMetal(cr, metal, 0, rail - 1, 0, rail + 1);
        cairo_new_path(cr);
    }
    cairo_set_line_width(cr, 1.0);
    for (double x = 0; x + thickness < length; x += thickness) {
        cairo_move_to(cr, x, -thickness / 2);
        cairo_line_to(cr, x + thickness, thickness / 2);
    }
    SetColour(cr, Shade(metal, 0.75));
    cairo_stroke(cr);
    Polygon(cr, {{length - 1, -thickness / 2 - 1},
                 {length + 3, -thickness / 4},
                 {length + 1, thickness / 2 + 1},
                 {length - 2, thickness / 2}});
    SetColour(cr, Shade(metal, 0.5));
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
    FillDullMetal(cr, metal, 0, 0, w, h);
    Stroke(cr, Shade(metal, 0.4), 1.0);
    cairo_new_path(cr);
    // One seam, a few rivets and a scorch mark.
    cairo_set_line_width(cr, 1);
    SetColour(cr, Shade(metal, 0.55));
    cairo_move_to(cr, w * 0.38, h * 0.08);
    cairo_line_to(cr, w * 0.42, h * 0.88);
    cairo_stroke(cr);
    for (int i = 0; i < 3; ++i) {
        Ellipse(cr, random.Real(w * 0.5, w * 0.85), random.Real(h * 0.3, h * 0.8), 0.7, 0.7);
        SetColour(cr, Shade(metal, 1.2));
        cairo_fill(cr);
    }
    GlowEllipse(cr, w * 0.7, h * 0.65, w * 0.18, h * 0.22, Hex(0x181008), Hex(0x282018), 0.6);
}

void DrawSolarPanel(cairo_t* cr, double w, double h) {
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_pattern_t* cells = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgb(cells, 0, 0.12, 0.22, 0.48);
    cairo_pattern_add_color_stop_rgb(cells, 0.45, 0.26, 0.4, 0.7);
    cairo_pattern_add_color_stop_rgb(cells, 1, 0.08, 0.12, 0.3);
    cairo_set_source(cr, cells);
    cairo_fill(cr);
    cairo_pattern_destroy(cells);
    cairo_set_line_width(cr, 0.8);
    SetColour(cr, Hex(0x6A7080));
    for (double x = 0; x <= w + 0.01; x += w / 3) {
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x, h);
    }
    for (double y = 0; y <= h + 0.01; y += h / 2) {
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, w, y);
    }
    cairo_stroke(cr);
    // A corner torn off.
    Polygon(cr, {{w * 0.72, h + 1}, {w + 1, h * 0.3}, {w + 1, h + 1}});
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void DrawPipe(cairo_t* cr, double length, double radius, Rgb metal) {
    cairo_rectangle(cr, 0, -radius, length, radius * 2);
    FillDullMetal(cr, metal, 0, -radius, 0, radius);
    cairo_new_path(cr);
    cairo_rectangle(cr, length * 0.6, -radius - 0.8, 2, radius * 2 + 1.6);
    FillDullMetal(cr, Shade(metal, 1.15), 0, -radius - 0.8, 0, radius + 0.8);
    cairo_new_path(cr);
}

// A chunk of ice: an angular outline cut into facets from an off-centre apex, the facets facing the
// upper left lit pale, the others in blue shadow.
void DrawIce(cairo_t* cr, double size, double rotation, Random& random) {
    const int corners = random.Int(5, 7);
    std::vector<Point> outline;
    for (int i = 0; i < corners; ++i) {
        const double angle = rotation + 2 * Pi * (i + random.Real(-0.25, 0.25)) / corners;
        const double radius = size * random.Real(0.6, 1.0);
        outline.push_back({std::cos(angle) * radius, std::sin(angle) * radius * 0.8});
    }
    const Point apex{-size * 0.15, -size * 0.12};
    const Rgb lit = Hex(0x9CCCF4), shadow = Hex(0x1E3C6C), edge = Hex(0x5080B0);
    for (int i = 0; i < corners; ++i) {
        const Point a = outline[i], b = outline[(i + 1) % corners];
        // The light comes from the upper left: facets whose middle lies that way are brighter.
        const double mx = (a.x + b.x) / 2 - apex.x, my = (a.y + b.y) / 2 - apex.y;
        const double facing = std::clamp((-mx - my) / (std::hypot(mx, my) * 1.4142) * 0.5 + 0.5, 0.0, 1.0);
        cairo_move_to(cr, apex.x, apex.y);
        cairo_line_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_close_path(cr);
        SetColour(cr, Mix(shadow, lit, facing));
        cairo_fill_preserve(cr);
        Stroke(cr, edge, 0.5, 0.6);
        cairo_new_path(cr);
    }
}

enum class Debris { Rock, Pebble, Girder, Plate, Panel, Pipe, Ice };

struct Placement {
    Debris what;
    double x, y, size, angle;
    bool light = false; // a small red warning light on the piece
};

// How far from its origin a piece can reach, for drawing the copies that cross an edge.
double Reach(const Placement& item) {
    return item.size * 1.3 + 4;
}

// Rocks and ice turn their outline under a light that stays at the upper left; wreckage turns whole.
bool KeepsLightFixed(Debris what) {
    return what == Debris::Rock || what == Debris::Pebble || what == Debris::Ice;
}

void DrawDebris(cairo_t* cr, const Placement& item, Random& random) {
    cairo_save(cr);
    cairo_translate(cr, item.x, item.y);
    if (!KeepsLightFixed(item.what)) cairo_rotate(cr, item.angle);
    switch (item.what) {
    case Debris::Rock:
        DrawRock(cr, MakeRock(random, 9, 0.3, 2), 0, 0, item.size, item.size * 0.8, item.angle,
                 Hex(0x5A524C));
        break;
    case Debris::Pebble:
        DrawRock(cr, MakeRock(random, 7, 0.35, 0), 0, 0, item.size, item.size * 0.85, item.angle,
                 Hex(0x525058));
        break;
    case Debris::Ice:
        DrawIce(cr, item.size, item.angle, random);
        break;
    case Debris::Girder:
        DrawGirder(cr, item.size, 5, Hex(0x626670));
        break;
    case Debris::Plate:
        DrawHullPlate(cr, item.size, item.size * 0.6, Hex(0x5A606A), random);
        break;
    case Debris::Panel:
        DrawSolarPanel(cr, item.size, item.size * 0.45);
        break;
    case Debris::Pipe:
        DrawPipe(cr, item.size, 2, Hex(0x6A5644));
        break;
    }
    cairo_restore(cr);
}

// Where a piece carries its warning light: a corner of a plate or of a panel's frame.
Point LightSpot(const Placement& item) {
    const Point local = item.what == Debris::Panel ? Point{item.size * 0.04, item.size * 0.04}
                                                   : Point{item.size * 0.2, item.size * 0.18};
    const double c = std::cos(item.angle), s = std::sin(item.angle);
    return {item.x + local.x * c - local.y * s, item.y + local.x * s + local.y * c};
}

// Far-off debris is faintly lit: colours lose most of their saturation and contrast, and the darkest
// parts are lifted to a cool grey, which also keeps every drawn pixel off the black key.
uint32_t Distant(uint32_t colour) {
    constexpr double Saturation = 0.65, Gain = 0.62;
    constexpr Rgb Lift{10 / 255.0, 11 / 255.0, 15 / 255.0};
    const Rgb c{((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, (colour & 0xFF) / 255.0};
    const double grey = 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
    const Rgb toned = Mix({grey, grey, grey}, c, Saturation);
    auto channel = [&](double value, double lift) {
        return static_cast<uint32_t>(std::lround(std::clamp(lift + value * Gain, 0.0, 1.0) * 255.0));
    };
    return (channel(toned.r, Lift.r) << 16) | (channel(toned.g, Lift.g) << 8) | channel(toned.b, Lift.b);
}

void LayOver(Picture& under, const Picture& over) {
    for (size_t i = 0; i < under.pixels.size(); ++i)
        if (over.pixels[i] != BlackKey) under.pixels[i] = over.pixels[i];
}

Picture DrawNearTile(uint64_t seed, std::initializer_list<Placement> items) {
    constexpr int AlphaFloor = 110;
    Picture tile = DrawOne(
        NearWidth, NearHeight,
        [&](cairo_t* cr) {
            for (const Placement& item : items)
                DrawWrapped(NearWidth, NearHeight, item.x, item.y, Reach(item), [&](double x, double y) {
                    Random random(
                        seed + static_cast<uint64_t>(item.x * 131 + item.y * 7)); // same look in every copy
                    Placement copy = item;
                    copy.x = x;
                    copy.y = y;
                    DrawDebris(cr, copy, random);
                });
        },
        BlackKey, AlphaFloor);
    for (uint32_t& pixel : tile.pixels)
        if (pixel != BlackKey) pixel = Distant(pixel);
    // The warning lights keep their own colour: a dim red spark on the grey.
    const Picture lights = DrawOne(
        NearWidth, NearHeight,
        [&](cairo_t* cr) {
            for (const Placement& item : items) {
                if (!item.light) continue;
                const Point spot = LightSpot(item);
                DrawWrapped(NearWidth, NearHeight, spot.x, spot.y, 3, [&](double x, double y) {
                    Glow(cr, x, y, 2.6, Hex(0xB83020), Hex(0x701810), 0.9);
                });
            }
        },
        BlackKey, AlphaFloor);
    LayOver(tile, lights);
    return tile;
}

} // namespace

Picture DrawFarStarfield() {
    Canvas canvas(FarWidth, FarHeight);
    PaintNebula(canvas.cr());
    DrawStars(canvas.cr());
    return canvas.FlattenOpaque();
}

// Rocks stay under about 20 pixels and a wreck fragment under about 40. Places differ from tile to tile
// and avoid simple fractions of the tile, so the repeats of different pieces do not fall into shared rows.
std::vector<Picture> DrawNearTiles() {
    using D = Debris;
    std::vector<Picture> tiles;
    tiles.push_back(DrawNearTile(301, {{D::Rock, 212, 47, 9, 0.4}, //
                                       {D::Pebble, 71, 131, 4, 1.2},
                                       {D::Pebble, 247, 164, 3, 2.6}}));
    tiles.push_back(DrawNearTile(302, {{D::Girder, 44, 150, 34, -0.5}, //
                                       {D::Pipe, 226, 57, 13, 1.1},
                                       {D::Pebble, 167, 199, 3, 0.3}}));
    tiles.push_back(DrawNearTile(303, {{D::Ice, 97, 62, 8, 0.3}, //
                                       {D::Ice, 238, 139, 4, 1.4},
                                       {D::Pebble, 298, 88, 3, 1.0}}));
    tiles.push_back(DrawNearTile(304, {{D::Panel, 176, 112, 24, 0.35, true}, //
                                       {D::Pebble, 47, 34, 4, 0.8},
                                       {D::Pebble, 104, 173, 3, 1.7}}));
    tiles.push_back(DrawNearTile(305, {{D::Plate, 28, 68, 26, 0.9, true}, //
                                       {D::Pebble, 208, 163, 4, 2.2},
                                       {D::Rock, 263, 28, 6, 0.5}}));
    return tiles;
}

} // namespace art
