// Projectile sheets (all pointing down: the game turns 22-30 upside down for the player's own shots)
// and the HUD gun icons, which show the same shots leaving a gun.
#include "GameArt.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

// A bolt of light with a white-hot core, head at the bottom.
void Bolt(cairo_t* cr, double cx, double top, double bottom, double halfWidth, Rgb core, Rgb rim) {
    const double length = bottom - top;
    GlowEllipse(cr, cx, top + length * 0.55, halfWidth, length * 0.5, Shade(core, 1.2), Shade(rim, 1.3));
    GlowEllipse(cr, cx, top + length * 0.62, halfWidth * 0.45, length * 0.36, Shade(core, 1.6), core);
}

void StandardShot(cairo_t* cr, int frame) { // k0, 26 x 28, a twin bolt
    const double stretch = frame ? 1.0 : 0.88;
    for (double x : {7.0, 19.0})
        Bolt(cr, x, 28 - 27 * stretch, 27.5, 5.5, Hex(0xFFE040), Hex(0xE06010));
}

void IonicShot(cairo_t* cr, int frame) { // k1, 15 x 29
    Bolt(cr, 7.5, 1, 28.5, 7, Hex(0x80F0FF), Hex(0x2060F0));
    // Crackling arcs along the bolt.
    Random random(400 + frame);
    cairo_new_path(cr);
    cairo_move_to(cr, 7.5, 3);
    for (double y = 6; y < 27; y += 3)
        cairo_line_to(cr, 7.5 + random.Real(-4.5, 4.5), y);
    SetColour(cr, Hex(0xF0FFFF));
    cairo_set_line_width(cr, 1.1);
    cairo_stroke(cr);
}

// A ball of energy that stays bright right out to its rim.
void HotBall(cairo_t* cr, double cx, double cy, double radius, Rgb core, Rgb rim) {
    cairo_pattern_t* pattern = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    const Rgb hot = Shade(core, 1.7);
    cairo_pattern_add_color_stop_rgba(pattern, 0, 1, 1, 1, 1);
    AddStop(pattern, 0.25, hot, 1);
    AddStop(pattern, 0.6, core, 1);
    AddStop(pattern, 0.85, rim, 0.9);
    AddStop(pattern, 1, rim, 0.3);
    cairo_set_source(cr, pattern);
    cairo_arc(cr, cx, cy, radius, 0, 2 * Pi);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void Orb(cairo_t* cr, double cx, double cy, double radius, Rgb core, Rgb rim) {
    HotBall(cr, cx, cy, radius, core, rim);
}

void EnemyOrb(cairo_t* cr, int) { // k2, 26 x 26
    Orb(cr, 13, 13, 12.5, Hex(0xFFA030), Hex(0xC02808));
    cairo_new_path(cr);
    Ellipse(cr, 13, 13, 9, 9);
    SetColour(cr, Hex(0xFFE0A0), 0.8);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

void PlasmaBall(cairo_t* cr, int) { // k3, 60 x 60
    HotBall(cr, 30, 30, 29, Hex(0x60F050), Hex(0x20A030));
    Random random(303);
    for (int i = 0; i < 7; ++i) { // swirling corona arcs
        const double start = random.Real(0, 2 * Pi), radius = random.Real(13, 22);
        cairo_new_path(cr);
        cairo_arc(cr, 30, 30, radius, start, start + random.Real(0.8, 1.8));
        SetColour(cr, Hex(0xF0FFE0), 0.95);
        cairo_set_line_width(cr, random.Real(1.2, 2.4));
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
    Glow(cr, 30, 30, 14, Hex(0xFFFFFF), Hex(0xC0FFA0));
}

void RedRing(cairo_t* cr, int) { // k4, 25 x 25
    Glow(cr, 12.5, 12.5, 12.5, Hex(0xFF5050), Hex(0x901010));
    cairo_new_path(cr);
    Ellipse(cr, 12.5, 12.5, 7.5, 7.5);
    SetColour(cr, Hex(0xFFE0E0));
    cairo_set_line_width(cr, 2.4);
    cairo_stroke(cr);
    Ellipse(cr, 12.5, 12.5, 4, 4);
    SetColour(cr, Hex(0x500808));
    cairo_fill(cr);
}

void Missile(cairo_t* cr, int frame) { // k5, 14 x 139
    const double flicker[] = {30, 36, 26, 40};
    Flame(cr, 7, 44, 4.5, flicker[frame], -1, FireCore, FireOuter);
    Glow(cr, 7, 44, 6, Hex(0xFFF0A0), Hex(0xF08020));
    DrawMissileBody(cr, 7, 42, 96, 6, 1);
}

void SkullShot(cairo_t* cr, int frame) { // k6, 8 x 35 x 35, pulsing aura with turning rays
    const double pulse = 0.5 + 0.5 * std::sin(frame * 2 * Pi / 8);
    cairo_save(cr);
    cairo_translate(cr, 17.5, 17.5);
    cairo_rotate(cr, frame * Pi / 16);
    for (int i = 0; i < 8; ++i) {
        cairo_rotate(cr, Pi / 4);
        Polygon(cr, {{-2.2, 0}, {0, -17.5}, {2.2, 0}});
        SetColour(cr, Hex(0xB0FF90), 0.95);
        cairo_fill(cr);
    }
    cairo_restore(cr);
    Glow(cr, 17.5, 17.5, 14 + pulse * 3.5, Hex(0xC0FF90), Hex(0x40C020));
    DrawSkull(cr, 17.5, 17.5, 24 + pulse * 2, Hex(0xE8E4D0), Hex(0xFF3020));
}

void VioletStar(cairo_t* cr, int) { // k7, 27 x 27
    Glow(cr, 13.5, 13.5, 13, Hex(0xE070FF), Hex(0x6010A0));
    cairo_save(cr);
    cairo_translate(cr, 13.5, 13.5);
    cairo_new_path(cr);
    for (int i = 0; i < 12; ++i) {
        const double angle = i * Pi / 6, radius = i % 2 ? 4 : 12.5;
        cairo_line_to(cr, std::cos(angle) * radius, std::sin(angle) * radius);
    }
    cairo_close_path(cr);
    SetColour(cr, Hex(0xF8D8FF));
    cairo_fill(cr);
    cairo_restore(cr);
    Glow(cr, 13.5, 13.5, 5, Hex(0xFFFFFF), Hex(0xF0C0FF));
}

void LaserLance(cairo_t* cr, int) { // k8, 20 x 45
    GlowEllipse(cr, 10, 22, 10, 22.5, Hex(0xFF4070), Hex(0xA00830));
    Polygon(cr, {{10, 1}, {13, 10}, {13, 34}, {10, 44.5}, {7, 34}, {7, 10}});
    cairo_pattern_t* pattern = cairo_pattern_create_linear(7, 0, 13, 0);
    cairo_pattern_add_color_stop_rgb(pattern, 0, 1, 0.35, 0.55);
    cairo_pattern_add_color_stop_rgb(pattern, 0.5, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(pattern, 1, 1, 0.35, 0.55);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void Shuriken(cairo_t* cr,
              int frame) { // k9, 8 x 32 x 32: a four-bladed star turning a quarter turn per cycle
    Glow(cr, 16, 16, 15.5, Hex(0x60E0FF), Hex(0x1040A0), 0.9);
    cairo_save(cr);
    cairo_translate(cr, 16, 16);
    cairo_rotate(cr, frame * (Pi / 2) / 8);
    for (int i = 0; i < 4; ++i) {
        cairo_rotate(cr, Pi / 2);
        cairo_new_path(cr);
        cairo_move_to(cr, -3, -2);
        cairo_curve_to(cr, -2, -9, 2, -13, 7, -15);
        cairo_curve_to(cr, 4, -10, 3, -6, 3, 0);
        cairo_close_path(cr);
        SetColour(cr, Hex(0xE0FAFF));
        cairo_fill_preserve(cr);
        Stroke(cr, Hex(0x3090E0), 0.8);
        cairo_new_path(cr);
    }
    cairo_restore(cr);
    Glow(cr, 16, 16, 5, Hex(0xFFFFFF), Hex(0x80E0FF));
}

void BossBeam(cairo_t* cr, int frame) { // k10, 5 x 75 x 420
    const double cx = 37.5;
    const double swell = 1.0 + 0.12 * std::sin(frame * 2 * Pi / 5);
    // Outer sheath, inner beam, white core: horizontal gradients across the whole length.
    struct Band {
        double halfWidth;
        Rgb edge, middle;
    };
    const Band bands[] = {{30 * swell, Hex(0x102080), Hex(0x3070FF)},
                          {16 * swell, Hex(0x3080FF), Hex(0x90E0FF)},
                          {6 * swell, Hex(0xB0F0FF), Hex(0xFFFFFF)}};
    for (const Band& band : bands) {
        cairo_rectangle(cr, cx - band.halfWidth, 0, band.halfWidth * 2, 420);
        cairo_pattern_t* pattern =
            cairo_pattern_create_linear(cx - band.halfWidth, 0, cx + band.halfWidth, 0);
        cairo_pattern_add_color_stop_rgba(pattern, 0, band.edge.r, band.edge.g, band.edge.b, 0.3);
        cairo_pattern_add_color_stop_rgba(pattern, 0.5, band.middle.r, band.middle.g, band.middle.b, 1);
        cairo_pattern_add_color_stop_rgba(pattern, 1, band.edge.r, band.edge.g, band.edge.b, 0.3);
        cairo_set_source(cr, pattern);
        cairo_fill(cr);
        cairo_pattern_destroy(pattern);
    }
    // Energy rings travelling down the beam.
    for (double y = frame * 14.0; y < 420; y += 70) {
        GlowEllipse(cr, cx, y + 10, 34, 7, Hex(0xC0F0FF), Hex(0x2060E0), 0.85);
    }
    // Muzzle flare at the top.
    Glow(cr, cx, 8, 36 * swell, Hex(0xFFFFFF), Hex(0x4090FF));
}

void GoldFireball(cairo_t* cr, int) { // k11, 35 x 35, travelling down with its tail above
    GlowEllipse(cr, 17.5, 13, 8, 13, Hex(0xFF9020), Hex(0x902008), 0.9);
    Orb(cr, 17.5, 21, 13, Hex(0xFFD040), Hex(0xD05010));
}

void BossWave(cairo_t* cr, int) { // k12, 235 x 225: a crescent shock front as wide as the crescent ship
    const double cx = 117.5;
    for (int layer = 0; layer < 3; ++layer) {
        const double inset = layer * 5.0;
        cairo_new_path(cr);
        cairo_move_to(cr, 4 + inset, 120 + inset * 2);
        cairo_curve_to(cr, 40, 190 - inset, 80, 220 - inset, cx, 221 - inset * 1.5);
        cairo_curve_to(cr, 155, 220 - inset, 195, 190 - inset, 231 - inset, 120 + inset * 2);
        cairo_curve_to(cr, 190, 170 - inset, 160, 188 - inset, cx, 190 - inset);
        cairo_curve_to(cr, 75, 188 - inset, 45, 170 - inset, 4 + inset, 120 + inset * 2);
        cairo_close_path(cr);
        const Rgb colours[] = {Hex(0x3060FF), Hex(0x80C8FF), Hex(0xF0FFFF)};
        cairo_pattern_t* pattern = cairo_pattern_create_linear(0, 150, 0, 222);
        cairo_pattern_add_color_stop_rgba(pattern, 0, colours[layer].r, colours[layer].g, colours[layer].b,
                                          0.35);
        cairo_pattern_add_color_stop_rgba(pattern, 0.8, colours[layer].r, colours[layer].g, colours[layer].b,
                                          1);
        cairo_set_source(cr, pattern);
        cairo_fill(cr);
        cairo_pattern_destroy(pattern);
    }
    Random random(1212);
    for (int i = 0; i < 16; ++i) {
        const double t = random.Real(0.05, 0.95);
        const double x = 10 + t * 215, y = 130 + 80 * std::sin(t * Pi) + random.Real(-4, 8);
        Glow(cr, x, y, random.Real(3, 6), Hex(0xFFFFFF), Hex(0x60A0FF));
    }
}

void PurpleComet(cairo_t* cr, int) { // k13, 50 x 70
    cairo_new_path(cr);
    cairo_move_to(cr, 25, 0);
    cairo_curve_to(cr, 36, 20, 44, 36, 43, 50);
    cairo_line_to(cr, 7, 50);
    cairo_curve_to(cr, 6, 36, 14, 20, 25, 0);
    cairo_pattern_t* tail = cairo_pattern_create_linear(0, 0, 0, 50);
    cairo_pattern_add_color_stop_rgba(tail, 0, 0.4, 0.1, 0.6, 0.0);
    cairo_pattern_add_color_stop_rgba(tail, 0.6, 0.6, 0.2, 0.9, 0.8);
    cairo_pattern_add_color_stop_rgba(tail, 1, 0.8, 0.4, 1.0, 1);
    cairo_set_source(cr, tail);
    cairo_fill(cr);
    cairo_pattern_destroy(tail);
    Orb(cr, 25, 48, 20, Hex(0xD080FF), Hex(0x6018A0));
    Glow(cr, 25, 50, 7, Hex(0xFFFFFF), Hex(0xA0FF80));
}

void PurpleNeedle(cairo_t* cr, int) { // k14, 15 x 35
    Bolt(cr, 7.5, 1, 34.5, 7, Hex(0xC070FF), Hex(0x501090));
}

struct ShotSheet {
    int frames, width, height;
    void (*draw)(cairo_t*, int);
};

constexpr ShotSheet ShotSheets[] = {
    {2, 26, 28, StandardShot}, {2, 15, 29, IonicShot},   {1, 26, 26, EnemyOrb},    {1, 60, 60, PlasmaBall},
    {1, 25, 25, RedRing},      {4, 14, 139, Missile},    {8, 35, 35, SkullShot},   {1, 27, 27, VioletStar},
    {1, 20, 45, LaserLance},   {8, 32, 32, Shuriken},    {5, 75, 420, BossBeam},   {1, 35, 35, GoldFireball},
    {1, 235, 225, BossWave},   {1, 50, 70, PurpleComet}, {1, 15, 35, PurpleNeedle}};

// ---- HUD gun icons: a gun body on the left firing its shot to the right ----

void GunBody(cairo_t* cr, double y, Rgb accent) {
    cairo_rectangle(cr, 26, y - 3.5, 8, 7); // barrel
    FillMetalDown(cr, Hex(0xA0A8B8), y - 3.5, y + 3.5);
    Stroke(cr, Hex(0x202428), 1);
    cairo_new_path(cr);
    Polygon(cr, {{4, y - 12},
                 {20, y - 12},
                 {27, y - 6},
                 {27, y + 6},
                 {20, y + 12},
                 {4, y + 12},
                 {1, y + 6},
                 {1, y - 6}});
    FillMetalDown(cr, Hex(0x8C94A4), y - 12, y + 12);
    Stroke(cr, Hex(0x202428), 1.2);
    cairo_new_path(cr);
    cairo_rectangle(cr, 5, y - 2.5, 17, 5); // charge window in the gun's colour
    cairo_pattern_t* window = cairo_pattern_create_linear(0, y - 2.5, 0, y + 2.5);
    const Rgb light = Shade(accent, 1.6);
    AddStop(window, 0, light);
    cairo_pattern_add_color_stop_rgb(window, 1, accent.r * 0.5, accent.g * 0.5, accent.b * 0.5);
    cairo_set_source(cr, window);
    cairo_fill(cr);
    cairo_pattern_destroy(window);
    for (double x : {7.0, 13.0, 19.0}) {
        Ellipse(cr, x, y - 8, 1.1, 1.1);
        SetColour(cr, Hex(0xE0E4EC));
        cairo_fill(cr);
    }
}

// The shot art points down; it is turned to fly right out of the muzzle, scaled so that its length
// fits between the muzzle and the icon's right edge.
Picture GunIcon(int height, Rgb accent, const ShotSheet& shot) {
    return DrawOne(
        56, height,
        [&](cairo_t* cr) {
            const double y = height / 2.0;
            const double scale = std::min(1.0, std::min(28.0 / shot.height, 24.0 / shot.width));
            cairo_save(cr);
            cairo_translate(cr, 27, y);
            cairo_rotate(cr, -Pi / 2);
            cairo_scale(cr, scale, scale);
            cairo_translate(cr, -shot.width / 2.0, 0);
            shot.draw(cr, 0);
            cairo_restore(cr);
            cairo_save(cr);
            cairo_scale(cr, 0.8, 1); // a stubby gun leaves room for its shot
            GunBody(cr, y, accent);
            cairo_restore(cr);
            Glow(cr, 27.5, y, 4, Hex(0xFFFFFF), accent);
        },
        MagentaKey, 100);
}

} // namespace

void DrawMissileBody(cairo_t* cr, double cx, double top, double length, double width, int dir) {
    // Built pointing down, then flipped for dir = -1.
    cairo_save(cr);
    if (dir < 0) {
        cairo_translate(cr, 0, 2 * top + length);
        cairo_scale(cr, 1, -1);
    }
    const double half = width / 2, bottom = top + length;
    for (double side : {-1.0, 1.0}) { // tail fins
        Polygon(cr, {{cx + side * half, top + 2},
                     {cx + side * (half + 3.5), top - 1},
                     {cx + side * (half + 3.5), top + 12},
                     {cx + side * half, top + 20}});
        SetColour(cr, Hex(0xB02020));
        cairo_fill(cr);
    }
    MirroredPath(cr, cx,
                 {{0, top},
                  {half, top},
                  {half, bottom - length * 0.16},
                  {half * 0.6, bottom - length * 0.06},
                  {0, bottom}});
    FillMetalAcross(cr, Hex(0xD8DCE4), cx - half, cx + half, 0.3);
    Stroke(cr, Hex(0x303238), 0.8);
    cairo_new_path(cr);
    MirroredPath(cr, cx,
                 {{0, bottom - length * 0.16},
                  {half, bottom - length * 0.16},
                  {half * 0.6, bottom - length * 0.06},
                  {0, bottom}});
    FillMetalAcross(cr, Hex(0xC83020), cx - half, cx + half, 0.3);
    cairo_new_path(cr);
    cairo_rectangle(cr, cx - half, top + length * 0.45, width, 2);
    SetColour(cr, Hex(0xE0C020));
    cairo_fill(cr);
    cairo_restore(cr);
}

std::vector<Picture> DrawProjectiles() {
    std::vector<Picture> sheets;
    for (const ShotSheet& sheet : ShotSheets)
        sheets.push_back(DrawSheet(sheet.frames, sheet.width, sheet.height, sheet.draw, MagentaKey, 100));
    return sheets;
}

std::vector<Picture> DrawGunIcons() {
    std::vector<Picture> icons;
    // 55 laser, 56 ionic, 57 plasma, 58 missiles (10 px taller), 59 standard gun.
    icons.push_back(GunIcon(40, Hex(0xFF3060), ShotSheets[8]));
    icons.push_back(GunIcon(40, Hex(0x40C0FF), ShotSheets[1]));
    icons.push_back(GunIcon(40, Hex(0x40FF40), ShotSheets[3]));
    icons.push_back(DrawOne(56, 50, [](cairo_t* cr) {
        for (double y : {15.0, 35.0}) {
            cairo_save(cr);
            cairo_translate(cr, 2, y);
            cairo_rotate(cr, -Pi / 2);
            Flame(cr, 0, 8, 4, 10, -1, FireCore, FireOuter);
            DrawMissileBody(cr, 0, 8, 44, 8, 1);
            cairo_restore(cr);
        }
    }));
    icons.push_back(GunIcon(40, Hex(0xFFC020), ShotSheets[0]));
    return icons;
}

} // namespace art
