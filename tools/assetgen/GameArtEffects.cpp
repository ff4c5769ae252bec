// Tumbling asteroids, small hit sparks and the big explosions (a fire ball that swells, cools and
// fades to smoke over sixteen frames).
#include "GameArt.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr int AsteroidFrames = 8;
constexpr int EffectFrames = 16;

Picture DrawAsteroid(uint64_t seed, int width, int height, Rgb stone, int craters) {
    Random random(seed);
    const RockShape rock = MakeRock(random, 11, 0.28, craters);
    return DrawSheet(AsteroidFrames, width, height, [&](cairo_t* cr, int frame) {
        const double turn = frame * 2 * Pi / AsteroidFrames;
        DrawRock(cr, rock, width / 2.0, height / 2.0, width / 2.0 - 1.5, height / 2.0 - 1.5, turn, stone);
    });
}

struct EffectPalette {
    Rgb hot, warm, cool, smoke;
};

// Heat 1 is white-hot, 0 is cold smoke.
Rgb HeatColour(const EffectPalette& palette, double heat) {
    if (heat > 0.75) return Mix(palette.warm, palette.hot, (heat - 0.75) / 0.25);
    if (heat > 0.4) return Mix(palette.cool, palette.warm, (heat - 0.4) / 0.35);
    return Mix(palette.smoke, palette.cool, heat / 0.4);
}

void DrawSpark(cairo_t* cr, int frame, const EffectPalette& palette, uint64_t seed) {
    const double t = frame / double(EffectFrames - 1);
    const double flash = frame < 3 ? 3 + frame * 1.6 : std::max(0.0, 7.8 - (frame - 3) * 0.75);
    if (flash > 0.3) {
        Glow(cr, 8, 8, flash, palette.hot, palette.warm);
        // A four-pointed glint, turning a little from frame to frame.
        cairo_save(cr);
        cairo_translate(cr, 8, 8);
        cairo_rotate(cr, frame * 0.2);
        const double ray = flash * 1.05, waist = std::max(0.6, flash * 0.18);
        Polygon(cr, {{0, -ray},
                     {waist, -waist},
                     {ray, 0},
                     {waist, waist},
                     {0, ray},
                     {-waist, waist},
                     {-ray, 0},
                     {-waist, -waist}});
        SetColour(cr, HeatColour(palette, 1.0 - t * 0.6));
        cairo_fill(cr);
        cairo_restore(cr);
    }
    Random random(seed);
    for (int i = 0; i < 7; ++i) { // flying splinters with short trails
        const double angle = random.Real(0, 2 * Pi), speed = random.Real(4, 7.5);
        const double distance = speed * std::sqrt(t) + 1;
        const double x = 8 + std::cos(angle) * distance, y = 8 + std::sin(angle) * distance;
        const double trail = 2.5 * (1 - t);
        if (t > 0.9) continue;
        cairo_new_path(cr);
        cairo_move_to(cr, x - std::cos(angle) * trail, y - std::sin(angle) * trail);
        cairo_line_to(cr, x, y);
        SetColour(cr, HeatColour(palette, 1 - t), 1 - t * 0.6);
        cairo_set_line_width(cr, 1.3);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
}

// Smooth value noise from a hashed lattice: the boiling texture of the fire ball.
double LatticeValue(uint64_t seed, int x, int y) {
    uint64_t h = seed ^ (static_cast<uint64_t>(static_cast<uint32_t>(x)) * 0x9E3779B97F4A7C15ull) ^
                 (static_cast<uint64_t>(static_cast<uint32_t>(y)) * 0xC2B2AE3D27D4EB4Full);
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return (h & 0xFFFF) / 65535.0;
}

double ValueNoise(uint64_t seed, double x, double y) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const double fx = smooth(x - x0), fy = smooth(y - y0);
    const double top =
        LatticeValue(seed, x0, y0) + (LatticeValue(seed, x0 + 1, y0) - LatticeValue(seed, x0, y0)) * fx;
    const double bottom = LatticeValue(seed, x0, y0 + 1) +
                          (LatticeValue(seed, x0 + 1, y0 + 1) - LatticeValue(seed, x0, y0 + 1)) * fx;
    return top + (bottom - top) * fy;
}

double Turbulence(uint64_t seed, double x, double y) {
    return (ValueNoise(seed, x, y) * 0.55 + ValueNoise(seed + 1, x * 2.1, y * 2.1) * 0.3 +
            ValueNoise(seed + 2, x * 4.3, y * 4.3) * 0.15);
}

// The fire ball, pixel by pixel: a ball whose edge is broken up by turbulence, hottest at the heart,
// cooling from white through the palette to smoke as the frames go by.
void PaintFireBall(cairo_t* cr, double t, const EffectPalette& palette, uint64_t seed, double radius,
                   double heat, double fade) {
    cairo_surface_t* surface = cairo_get_target(cr);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const double cx = 32, cy = 32 - t * 3; // the hot cloud drifts up a little as it rises
    for (int y = 0; y < 64; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < 64; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double distance = std::sqrt(dx * dx + dy * dy) / radius;
            // The texture is pinned to the ball, so it swells with it, and it churns with time.
            const double churn = Turbulence(seed, dx / radius * 2.2 + t * 1.5, dy / radius * 2.2 - t * 2.5);
            const double erosion = std::max(0.0, t - 0.55) * 1.1; // the smoke breaks up as it thins
            const double density = 1.0 - distance + (churn - 0.5) * (0.9 + t * 0.6) - erosion;
            if (density <= 0) continue;
            const double alpha = std::min(1.0, density * 6) * fade;
            const double temperature =
                std::clamp(heat * (0.55 + density * 0.9) + (churn - 0.5) * 0.3, 0.0, 1.0);
            const Rgb colour = HeatColour(palette, temperature);
            auto channel = [&](double value) {
                return static_cast<uint32_t>(std::clamp(value * alpha, 0.0, 1.0) * 255.0 + 0.5);
            };
            const uint32_t a = static_cast<uint32_t>(alpha * 255.0 + 0.5);
            row[x] = (a << 24) | (channel(colour.r) << 16) | (channel(colour.g) << 8) | channel(colour.b);
        }
    }
    cairo_surface_mark_dirty(surface);
}

void DrawExplosionFrame(cairo_t* cr, int frame, const EffectPalette& palette, uint64_t seed, double reach) {
    const double t = frame / double(EffectFrames - 1);
    const double growth = 1 - (1 - t) * (1 - t);          // swells fast, then slows
    const double radius = reach * (0.25 + 0.75 * growth); // fire ball radius
    const double heat = std::clamp(1.1 - t * 1.1, 0.0, 1.0);
    const double fade = t < 0.6 ? 1.0 : std::max(0.0, 1 - (t - 0.6) / 0.4);
    const double cx = 32, cy = 32;

    PaintFireBall(cr, t, palette, seed, radius, heat, fade);
    // Shock ring in the first frames.
    if (frame >= 1 && frame <= 6) {
        cairo_new_path(cr);
        Ellipse(cr, cx, cy, radius * 1.2, radius * 1.2);
        SetColour(cr, Shade(palette.hot, 1.2), 0.9 - frame * 0.12);
        cairo_set_line_width(cr, 2.5 - frame * 0.3);
        cairo_stroke(cr);
    }
    // Burning debris flung out.
    Random random(seed + 99);
    for (int i = 0; i < 12; ++i) {
        const double angle = random.Real(0, 2 * Pi), speed = random.Real(0.75, 1.1);
        const double distance = reach * speed * (0.35 + growth);
        const double x = cx + std::cos(angle) * distance, y = cy + std::sin(angle) * distance;
        if (t > 0.8 || x < 1 || y < 1 || x > 63 || y > 63) continue;
        cairo_new_path(cr);
        cairo_move_to(cr, x - std::cos(angle) * 4 * (1 - t), y - std::sin(angle) * 4 * (1 - t));
        cairo_line_to(cr, x, y);
        SetColour(cr, HeatColour(palette, 1 - t * 0.8));
        cairo_set_line_width(cr, 1.8);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
}

Picture DrawExplosion(uint64_t seed, const EffectPalette& palette, double reach) {
    return DrawSheet(
        EffectFrames, 64, 64,
        [&](cairo_t* cr, int frame) { DrawExplosionFrame(cr, frame, palette, seed, reach); }, MagentaKey, 64);
}

const EffectPalette FirePalette{Hex(0xFFFFE0), Hex(0xFFC030), Hex(0xD83810), Hex(0x383030)};
const EffectPalette PlasmaPalette{Hex(0xF0FFFF), Hex(0x70D8FF), Hex(0x6040E0), Hex(0x282438)};
const EffectPalette InfernoPalette{Hex(0xFFFFF0), Hex(0xFFE060), Hex(0xF05010), Hex(0x403028)};
const EffectPalette EmberPalette{Hex(0xFFF8E0), Hex(0xFF9030), Hex(0xC02010), Hex(0x301818)};

} // namespace

std::vector<Picture> DrawAsteroids() {
    return {DrawAsteroid(3701, 36, 31, Hex(0x7A7068), 3), DrawAsteroid(3802, 74, 52, Hex(0x8A6450), 6)};
}

std::vector<Picture> DrawHitSparks() {
    std::vector<Picture> sparks;
    const EffectPalette palettes[] = {FirePalette, PlasmaPalette, EmberPalette};
    for (int i = 0; i < 3; ++i)
        sparks.push_back(DrawSheet(
            EffectFrames, 16, 16,
            [&](cairo_t* cr, int frame) { DrawSpark(cr, frame, palettes[i], 3900 + i); }, MagentaKey, 96));
    return sparks;
}

std::vector<Picture> DrawExplosions() {
    return {DrawExplosion(4201, FirePalette, 27), DrawExplosion(4302, PlasmaPalette, 28),
            DrawExplosion(4403, InfernoPalette, 31)};
}

} // namespace art
