// The nine bonus sheets: each a badge that pulses and turns over eight frames, with a letter or icon
// that says what it gives (Armor, Live, Energy, the four guns, Mega-skull, mega-bomb).
#include "GameArt.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr int BonusFrames = 8;

enum class Badge { Shield, Heart, Cell, Hexagon, Skull, Bomb };

struct BonusLook {
    int width, height;
    Badge badge;
    Rgb colour;
    const char* letter; // nullptr where the badge itself is the icon
};

constexpr BonusLook BonusLooks[] = {
    {58, 66, Badge::Shield, Hex(0x3070D0), "A"},   {60, 64, Badge::Heart, Hex(0xD02838), "1UP"},
    {56, 56, Badge::Cell, Hex(0xD8B020), nullptr}, {62, 58, Badge::Hexagon, Hex(0x2098E0), "I"},
    {58, 56, Badge::Hexagon, Hex(0xE02858), "L"},  {56, 58, Badge::Hexagon, Hex(0x28B838), "P"},
    {56, 58, Badge::Hexagon, Hex(0xE07818), "M"},  {70, 68, Badge::Skull, Hex(0x50D030), nullptr},
    {58, 60, Badge::Bomb, Hex(0x484C58), nullptr},
};

double Pulse(int frame) {
    return 0.5 + 0.5 * std::sin(frame * 2 * Pi / BonusFrames);
}

void ShieldPath(cairo_t* cr, double cx, double top, double halfWidth, double height) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx, top);
    cairo_curve_to(cr, cx + halfWidth * 0.5, top + height * 0.08, cx + halfWidth * 0.8, top + height * 0.06,
                   cx + halfWidth, top + height * 0.04);
    cairo_curve_to(cr, cx + halfWidth, top + height * 0.55, cx + halfWidth * 0.6, top + height * 0.8, cx,
                   top + height);
    cairo_curve_to(cr, cx - halfWidth * 0.6, top + height * 0.8, cx - halfWidth, top + height * 0.55,
                   cx - halfWidth, top + height * 0.04);
    cairo_curve_to(cr, cx - halfWidth * 0.8, top + height * 0.06, cx - halfWidth * 0.5, top + height * 0.08,
                   cx, top);
    cairo_close_path(cr);
}

void HeartPath(cairo_t* cr, double cx, double cy, double size) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx, cy + size * 0.95);
    cairo_curve_to(cr, cx - size * 1.25, cy + size * 0.1, cx - size * 1.0, cy - size * 1.0, cx,
                   cy - size * 0.45);
    cairo_curve_to(cr, cx + size * 1.0, cy - size * 1.0, cx + size * 1.25, cy + size * 0.1, cx,
                   cy + size * 0.95);
    cairo_close_path(cr);
}

void HexagonPath(cairo_t* cr, double cx, double cy, double radius, double turn) {
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) {
        const double angle = turn + i * Pi / 3;
        cairo_line_to(cr, cx + std::cos(angle) * radius, cy + std::sin(angle) * radius);
    }
    cairo_close_path(cr);
}

// A gem-like fill with a bright sweep crossing it as the frames go by.
void GemFill(cairo_t* cr, Rgb colour, double cx, double cy, double radius, int frame) {
    FillDome(cr, Shade(colour, 1.0 + 0.35 * Pulse(frame)), cx, cy, radius * 1.2);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    const double sweep = -radius * 1.6 + frame * radius * 3.2 / BonusFrames;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(cx + sweep - radius * 0.4, cy - radius,
                                                           cx + sweep + radius * 0.4, cy + radius);
    cairo_pattern_add_color_stop_rgba(pattern, 0, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(pattern, 0.5, 1, 1, 1, 0.45);
    cairo_pattern_add_color_stop_rgba(pattern, 1, 1, 1, 1, 0);
    cairo_set_source(cr, pattern);
    cairo_paint(cr);
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
}

// Sparks orbiting the badge; a sixth of a turn per cycle so the loop is seamless.
void OrbitLights(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb colour, int frame) {
    for (int i = 0; i < 6; ++i) {
        const double angle = i * Pi / 3 + frame * (Pi / 3) / BonusFrames;
        Glow(cr, cx + std::cos(angle) * rx, cy + std::sin(angle) * ry, 3 + 1.8 * Pulse(frame),
             Shade(colour, 1.8), Shade(colour, 1.3));
    }
}

void LightningBolt(cairo_t* cr, double cx, double cy, double size) {
    Polygon(cr, {{cx + size * 0.15, cy - size},
                 {cx - size * 0.55, cy + size * 0.15},
                 {cx - size * 0.05, cy + size * 0.15},
                 {cx - size * 0.25, cy + size},
                 {cx + size * 0.55, cy - size * 0.2},
                 {cx + size * 0.05, cy - size * 0.2}});
    FillMetalAcross(cr, Hex(0xFFF080), cx - size * 0.5, cx + size * 0.5, 0.4);
    Stroke(cr, Hex(0x402800), 1.4);
    cairo_new_path(cr);
}

void DrawBomb(cairo_t* cr, double cx, double cy, double radius, int frame) {
    // Fuse with a spark that flickers.
    cairo_new_path(cr);
    cairo_move_to(cr, cx + radius * 0.55, cy - radius * 0.75);
    cairo_curve_to(cr, cx + radius * 0.8, cy - radius * 1.2, cx + radius * 1.1, cy - radius * 1.0,
                   cx + radius * 1.15, cy - radius * 1.3);
    SetColour(cr, Hex(0xC8A060));
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    const double flicker = 3.5 + 2.5 * Pulse(frame * 3);
    Glow(cr, cx + radius * 1.15, cy - radius * 1.3, flicker, Hex(0xFFF0A0), Hex(0xFF6010));
    // Cap and body.
    cairo_save(cr);
    cairo_translate(cr, cx + radius * 0.48, cy - radius * 0.7);
    cairo_rotate(cr, Pi / 4);
    cairo_rectangle(cr, -radius * 0.22, -radius * 0.16, radius * 0.44, radius * 0.32);
    FillMetalAcross(cr, Hex(0x9098A8), -radius * 0.22, radius * 0.22);
    cairo_new_path(cr);
    cairo_restore(cr);
    Ellipse(cr, cx, cy, radius, radius);
    FillDome(cr, Hex(0x404450), cx, cy, radius * 1.1);
    Stroke(cr, Hex(0x101014), 1.2);
    cairo_new_path(cr);
}

void DrawBonusFrame(cairo_t* cr, const BonusLook& look, int frame) {
    const double w = look.width, h = look.height, cx = w / 2, cy = h / 2;
    const double pulse = Pulse(frame);
    const double radius = std::min(w, h) / 2 - 4;
    Glow(cr, cx, cy, radius + 1 + pulse * 4, Shade(look.colour, 1.6), Shade(look.colour, 1.2),
         0.7 + 0.3 * pulse);
    double letterY = cy, letterSize = radius * 0.95;
    switch (look.badge) {
    case Badge::Shield:
        ShieldPath(cr, cx, 5, radius, h - 10);
        GemFill(cr, look.colour, cx, cy - 4, radius, frame);
        Stroke(cr, Hex(0xD8E0F0), 2.6);
        cairo_new_path(cr);
        letterY = cy - 3;
        break;
    case Badge::Heart:
        HeartPath(cr, cx, cy + 2, radius * (0.95 + 0.05 * pulse));
        GemFill(cr, look.colour, cx, cy - 4, radius, frame);
        Stroke(cr, Hex(0xFFD0D8), 2.2);
        cairo_new_path(cr);
        letterSize = radius * 0.5;
        break;
    case Badge::Cell:
    case Badge::Hexagon: {
        const double turn = frame * (Pi / 3) / BonusFrames;
        HexagonPath(cr, cx, cy, radius, turn);
        FillMetalAcross(cr, Hex(0xB8C0CC), cx - radius, cx + radius, 0.3);
        Stroke(cr, Hex(0x202428), 1.2);
        cairo_new_path(cr);
        Ellipse(cr, cx, cy, radius * 0.72, radius * 0.72);
        GemFill(cr, look.colour, cx, cy, radius * 0.72, frame);
        Stroke(cr, Shade(look.colour, 0.3), 1.2);
        cairo_new_path(cr);
        letterSize = radius * 0.9;
        break;
    }
    case Badge::Skull: {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, frame * (Pi / 4) / BonusFrames);
        for (int i = 0; i < 8; ++i) {
            cairo_rotate(cr, Pi / 4);
            Polygon(cr, {{-3, 0}, {0, -radius - 2}, {3, 0}});
            SetColour(cr, Shade(look.colour, 1.3), 0.9);
            cairo_fill(cr);
        }
        cairo_restore(cr);
        DrawSkull(cr, cx, cy + 1, radius * 1.45, Hex(0xECE6D2), Hex(0xFF4020));
        break;
    }
    case Badge::Bomb:
        DrawBomb(cr, cx - 2, cy + 4, radius * 0.78, frame);
        break;
    }
    if (look.badge == Badge::Cell) LightningBolt(cr, cx, cy, radius * 0.62);
    if (look.letter) Label(cr, look.letter, cx, letterY, letterSize, Hex(0xFFFFFF), Hex(0x101018));
    if (look.badge == Badge::Bomb) Label(cr, "B", cx - 2, cy + 5, radius * 0.8, Hex(0xFFD040), Hex(0x101018));
    if (look.badge != Badge::Skull)
        OrbitLights(cr, cx, cy, w / 2 - 4, h / 2 - 4, Shade(look.colour, 1.2), frame);
}

} // namespace

std::vector<Picture> DrawBonuses() {
    std::vector<Picture> sheets;
    for (const BonusLook& look : BonusLooks)
        sheets.push_back(DrawSheet(
            BonusFrames, look.width, look.height,
            [&](cairo_t* cr, int frame) { DrawBonusFrame(cr, look, frame); }, MagentaKey, 96));
    return sheets;
}

} // namespace art
