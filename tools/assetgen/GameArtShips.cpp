// The craft: the player's ship sheet (faces up, five bank angles, flame off/on), the nine enemy kinds
// and the three bosses (all face down, engines at the top).
#include "GameArt.h"

#include <cmath>

namespace art {

namespace {

// Fills a symmetric hull piece with metal across its width and gives it a dark rim.
void HullPiece(cairo_t* cr, double cx, std::initializer_list<Point> rightHalf, Rgb metal, double halfWidth,
               double leftScale = 1, double rightScale = 1, double lightAt = 0.35) {
    MirroredPath(cr, cx, rightHalf, leftScale, rightScale);
    FillMetalAcross(cr, metal, cx - halfWidth * leftScale, cx + halfWidth * rightScale, lightAt);
    Stroke(cr, Shade(metal, 0.25), 1.0);
    cairo_new_path(cr);
}

void Canopy(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb glass) {
    Ellipse(cr, cx, cy, rx, ry);
    cairo_pattern_t* pattern = cairo_pattern_create_linear(cx - rx, cy - ry, cx + rx, cy + ry);
    const Rgb light = Shade(glass, 1.7);
    AddStop(pattern, 0, light);
    AddStop(pattern, 0.5, glass);
    cairo_pattern_add_color_stop_rgb(pattern, 1, glass.r * 0.25, glass.g * 0.25, glass.b * 0.25);
    cairo_set_source(cr, pattern);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pattern);
    Stroke(cr, Hex(0x202428), 1.0);
    cairo_new_path(cr);
    Specular(cr, cx - rx * 0.3, cy - ry * 0.35, rx * 0.35, ry * 0.3, 0.9);
}

void Lamp(cairo_t* cr, double x, double y, double radius, Rgb colour) {
    Glow(cr, x, y, radius * 2.2, Shade(colour, 1.3), colour, 0.9);
    Ellipse(cr, x, y, radius * 0.6, radius * 0.6);
    SetColour(cr, Shade(colour, 1.8));
    cairo_fill(cr);
}

void Barrel(cairo_t* cr, double x, double top, double bottom, double width, Rgb metal) {
    cairo_rectangle(cr, x - width / 2, top, width, bottom - top);
    FillMetalAcross(cr, metal, x - width / 2, x + width / 2);
    Stroke(cr, Shade(metal, 0.25), 0.8);
    cairo_new_path(cr);
    cairo_rectangle(cr, x - width / 2 - 0.8, bottom - 3, width + 1.6, 3);
    FillMetalAcross(cr, Shade(metal, 0.7), x - width / 2 - 0.8, x + width / 2 + 0.8);
    cairo_new_path(cr);
}

void Line(cairo_t* cr, std::initializer_list<Point> points, Rgb colour, double width, double alpha = 1) {
    cairo_new_path(cr);
    for (const Point& p : points)
        cairo_line_to(cr, p.x, p.y);
    SetColour(cr, colour, alpha);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

// Mirrored pair of lines about column cx.
void LinePair(cairo_t* cr, double cx, std::initializer_list<Point> rightSide, Rgb colour, double width,
              double alpha = 1) {
    for (double side : {-1.0, 1.0}) {
        cairo_new_path(cr);
        for (const Point& p : rightSide)
            cairo_line_to(cr, cx + side * p.x, p.y);
        SetColour(cr, colour, alpha);
        cairo_set_line_width(cr, width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
}

// ---------------- player ----------------

constexpr int ShipWidth = 65, ShipHeight = 100;

void DrawPlayerFrame(cairo_t* cr, int bank, bool flameOn) {
    const double b = (bank - 2) / 2.0; // -1 full left .. +1 full right
    const double cx = 32.5 + b * 2.0;
    const double leftScale = b < 0 ? 1 - 0.34 * -b : 1 - 0.1 * b;
    const double rightScale = b > 0 ? 1 - 0.34 * b : 1 - 0.1 * -b;
    const double lightAt = 0.35 - 0.15 * b;
    const Rgb hull = Hex(0xA8B4C4), wing = Hex(0x7E8A9C), accent = Hex(0xD02818);
    auto sx = [&](double offset) { return cx + offset * (offset < 0 ? leftScale : rightScale); };

    // Engine flames below the nozzles.
    const double flameLength = flameOn ? 17 : 9;
    for (double side : {-1.0, 1.0})
        Flame(cr, sx(side * 11), 83, 3.2, flameLength, 1, PlasmaCore, PlasmaOuter);
    Flame(cr, cx, 82, 4, flameLength + 3, 1, PlasmaCore, PlasmaOuter);

    // Wings, swept back, with cannon pods at the tips.
    HullPiece(cr, cx, {{0, 36}, {7, 36}, {29, 62}, {30, 73}, {22, 75}, {8, 72}, {0, 72}}, wing, 30, leftScale,
              rightScale, lightAt);
    for (double side : {-1.0, 1.0}) {
        const double s = side < 0 ? leftScale : rightScale;
        Line(cr, {{cx + side * 8 * s, 40}, {cx + side * 27 * s, 63}}, accent, 2.2);
        Barrel(cr, cx + side * 27.5 * s, 48, 68, 3.2, Hex(0x9098A8));
    }
    // Engine nacelles.
    for (double side : {-1.0, 1.0}) {
        const double x = sx(side * 11);
        cairo_rectangle(cr, x - 4, 46, 8, 36);
        FillMetalAcross(cr, Hex(0x8C96A6), x - 4, x + 4, lightAt);
        Stroke(cr, Hex(0x20242A), 1);
        cairo_new_path(cr);
        cairo_rectangle(cr, x - 3.5, 80, 7, 3);
        SetColour(cr, Hex(0x303238));
        cairo_fill(cr);
        Glow(cr, x, 82.5, 4, Hex(0xC0F8FF), PlasmaOuter);
    }
    // Canards and fuselage.
    HullPiece(cr, cx, {{0, 22}, {5, 24}, {12, 33}, {11, 36}, {5, 35}, {0, 35}}, wing, 12, leftScale,
              rightScale, lightAt);
    HullPiece(cr, cx, {{0, 3}, {2.5, 8}, {5, 20}, {7, 40}, {8, 60}, {7, 74}, {5.5, 82}, {0, 82}}, hull, 8,
              leftScale, rightScale, lightAt);
    Line(cr, {{cx, 44}, {cx, 78}}, Shade(hull, 0.55), 1);
    Line(cr, {{sx(-3), 50}, {sx(-3), 74}}, accent, 1.4);
    Line(cr, {{sx(3), 50}, {sx(3), 74}}, accent, 1.4);
    Canopy(cr, cx, 26, 3.6 * (leftScale + rightScale) / 2, 8, Hex(0x28B8E8));

    // The wing dipping away from the light falls into shadow; the raised one catches it.
    if (b != 0) {
        const double side = b < 0 ? -1 : 1;
        const double s = side < 0 ? leftScale : rightScale;
        Polygon(cr, {{cx + side * 7 * s, 36},
                     {cx + side * 31 * s, 62},
                     {cx + side * 31 * s, 76},
                     {cx + side * 7 * s, 72}});
        SetColour(cr, {0, 0, 0}, 0.3 * std::fabs(b));
        cairo_fill(cr);
        Specular(cr, cx - side * 17 * (side < 0 ? rightScale : leftScale), 58, 7, 4, 0.35 * std::fabs(b));
    }
    Specular(cr, cx - 2, 52, 2, 10, 0.45);
}

// ---------------- enemies (all nose down) ----------------

void DrawEnemyWasp(cairo_t* cr) { // kind 0, 59 x 28
    const double cx = 29.5;
    const Rgb red = Hex(0xB82A20), grey = Hex(0x8A909A);
    for (double side : {-1.0, 1.0})
        Flame(cr, cx + side * 5, 4, 2.2, 4, -1, FireCore, FireOuter);
    HullPiece(cr, cx, {{0, 9}, {5, 8}, {28, 3}, {29, 10}, {22, 15}, {6, 20}, {0, 20}}, red, 29);
    LinePair(cr, cx, {{7, 11}, {26, 6}}, Hex(0xF0D040), 1.3);
    HullPiece(cr, cx, {{0, 2}, {4, 4}, {6, 12}, {5, 20}, {2, 25}, {0, 27}}, grey, 6);
    Canopy(cr, cx, 16, 2.6, 4.5, Hex(0xF0A020));
    for (double side : {-1.0, 1.0})
        Barrel(cr, cx + side * 20, 10, 18, 2, grey);
}

void DrawEnemyTwinPod(cairo_t* cr) { // kind 1, 59 x 28
    const double cx = 29.5;
    const Rgb olive = Hex(0x5E8A3C), steel = Hex(0x8C9298);
    // Connecting wing bar and core.
    cairo_rectangle(cr, cx - 20, 10, 40, 7);
    FillMetalDown(cr, steel, 10, 17);
    Stroke(cr, Hex(0x202020), 1);
    cairo_new_path(cr);
    for (double side : {-1.0, 1.0}) {
        const double x = cx + side * 20;
        Flame(cr, x, 3, 2.5, 3, -1, FireCore, FireOuter);
        HullPiece(cr, x, {{0, 2}, {5, 4}, {6, 18}, {4, 24}, {1.5, 27}, {0, 27}}, olive, 6);
        Barrel(cr, x, 20, 27, 1.8, steel);
        Lamp(cr, x, 9, 1.4, Hex(0xFFE060));
    }
    Ellipse(cr, cx, 14, 7.5, 7);
    FillDome(cr, steel, cx, 14, 8);
    cairo_new_path(cr);
    Lamp(cr, cx, 15, 3, Hex(0x40FF60));
}

void DrawEnemyLancer(cairo_t* cr) { // kind 2, 75 x 102
    const double cx = 37.5;
    const Rgb purple = Hex(0x6A3C9A), steel = Hex(0x9298A8);
    for (double side : {-1.0, 1.0})
        Flame(cr, cx + side * 9, 9, 4, 9, -1, FireCore, FireOuter);
    // Wings swept back toward the top.
    HullPiece(cr, cx, {{0, 18}, {12, 14}, {36, 6}, {37, 20}, {24, 38}, {12, 50}, {0, 50}}, purple, 37);
    LinePair(cr, cx, {{13, 20}, {33, 12}}, Hex(0xE0C060), 1.5);
    // Forward prongs (cannons).
    for (double side : {-1.0, 1.0}) {
        const double x = cx + side * 15;
        HullPiece(cr, x, {{0, 40}, {4, 44}, {4.5, 84}, {2, 96}, {0, 100}}, steel, 4.5);
        Lamp(cr, x, 96, 1.8, Hex(0xFF4040));
    }
    HullPiece(cr, cx, {{0, 8}, {6, 10}, {10, 28}, {11, 56}, {8, 74}, {4, 82}, {0, 84}}, Shade(purple, 1.15),
              11);
    Line(cr, {{cx, 30}, {cx, 70}}, Shade(purple, 0.5), 1);
    // Red glowing visor.
    Ellipse(cr, cx, 64, 5, 9);
    SetColour(cr, Hex(0x200408));
    cairo_fill(cr);
    GlowEllipse(cr, cx, 66, 3.5, 7, Hex(0xFF5030), Hex(0xA01010));
    Specular(cr, cx - 4, 36, 2.5, 12, 0.45);
}

void DrawEnemyNeedle(cairo_t* cr) { // kind 3, 57 x 160
    const double cx = 28.5;
    const Rgb sand = Hex(0xC4A060), steel = Hex(0x8A8E96);
    for (double side : {-1.0, 0.0, 1.0})
        Flame(cr, cx + side * 6, 8, 3, 8, -1, FireCore, FireOuter);
    // Three pairs of fins along the spine.
    for (int i = 0; i < 3; ++i) {
        const double y = 22 + i * 42;
        const double span = 27 - i * 5;
        HullPiece(cr, cx,
                  {{0, y}, {span - 4, y - 6}, {span, y - 4}, {span - 2, y + 6}, {6, y + 20}, {0, y + 20}},
                  steel, span);
        LinePair(cr, cx, {{7, y + 2}, {span - 4, y - 3}}, Hex(0xE04020), 1.4);
    }
    HullPiece(cr, cx, {{0, 6}, {8, 8}, {9, 100}, {7, 130}, {4, 150}, {0, 158}}, sand, 9);
    for (double y = 28; y < 140; y += 20)
        Line(cr, {{cx - 8, y}, {cx + 8, y}}, Shade(sand, 0.45), 1.2);
    Lamp(cr, cx, 150, 2.6, Hex(0xFFF060));
    Canopy(cr, cx, 118, 3.5, 7, Hex(0x40D0A0));
    Specular(cr, cx - 4, 60, 1.8, 30, 0.4);
}

void DrawEnemySaucer(cairo_t* cr) { // kind 4, 75 x 75
    const double cx = 37.5, cy = 35;
    const Rgb teal = Hex(0x4A9098), steel = Hex(0xA0A8B0);
    for (double side : {-1.0, 0.0, 1.0})
        Barrel(cr, cx + side * 14, 56, 72 - std::fabs(side) * 4, 3, steel);
    Ellipse(cr, cx, cy, 35, 33);
    FillDome(cr, teal, cx, cy, 40);
    Stroke(cr, Hex(0x102024), 1.2);
    cairo_new_path(cr);
    Ellipse(cr, cx, cy, 25, 23);
    FillDome(cr, steel, cx, cy, 28);
    Stroke(cr, Hex(0x182028), 1);
    cairo_new_path(cr);
    for (int i = 0; i < 10; ++i) {
        const double angle = i * 2 * Pi / 10;
        Lamp(cr, cx + std::cos(angle) * 30, cy + std::sin(angle) * 28, 1.6,
             i % 2 ? Hex(0x60F0FF) : Hex(0xFFE060));
    }
    for (int i = 0; i < 6; ++i) {
        const double angle = i * 2 * Pi / 6 + 0.3;
        Line(cr,
             {{cx + std::cos(angle) * 14, cy + std::sin(angle) * 13},
              {cx + std::cos(angle) * 24, cy + std::sin(angle) * 22}},
             Shade(steel, 0.45), 1.2);
    }
    Ellipse(cr, cx, cy, 12, 11);
    FillDome(cr, Hex(0x8040C0), cx, cy, 12);
    cairo_new_path(cr);
    Specular(cr, cx - 4, cy - 4, 4, 3, 0.9);
}

void DrawEnemyCrab(cairo_t* cr) { // kind 5, 80 x 70
    const double cx = 40;
    const Rgb shell = Hex(0xC46A28), steel = Hex(0x8C9098);
    for (double side : {-1.0, 1.0})
        Flame(cr, cx + side * 8, 10, 3, 8, -1, FireCore, FireOuter);
    // Claws reaching forward (down).
    for (double side : {-1.0, 1.0}) {
        Line(cr, {{cx + side * 14, 34}, {cx + side * 28, 44}, {cx + side * 30, 52}}, Shade(steel, 0.6), 6);
        Line(cr, {{cx + side * 14, 34}, {cx + side * 28, 44}, {cx + side * 30, 52}}, steel, 3.5);
        const double x = cx + side * 30;
        Polygon(cr, {{x - 7 * side, 50},
                     {x + 4 * side, 49},
                     {x + 8 * side, 58},
                     {x + 4 * side, 68},
                     {x + 1 * side, 60},
                     {x - 2 * side, 68},
                     {x - 6 * side, 58}});
        FillMetalAcross(cr, shell, x - 8, x + 8);
        Stroke(cr, Hex(0x281008), 1);
        cairo_new_path(cr);
    }
    // Side legs/fins.
    for (double side : {-1.0, 1.0})
        for (int i = 0; i < 3; ++i) {
            const Point knee{cx + side * (30 + i * 3), 10.0 + i * 8},
                foot{cx + side * (38 - i), 16.0 + i * 9};
            Line(cr, {{cx + side * 16, 16.0 + i * 6}, knee, foot}, Hex(0x202428), 3.6);
            Line(cr, {{cx + side * 16, 16.0 + i * 6}, knee, foot}, Shade(shell, 1.1), 2.0);
        }
    Ellipse(cr, cx, 27, 21, 17);
    FillDome(cr, shell, cx, 27, 24);
    Stroke(cr, Hex(0x301408), 1.2);
    cairo_new_path(cr);
    for (double ry : {8.0, 13.0}) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, 22, ry, Pi * 0.15, Pi * 0.85);
        SetColour(cr, Shade(shell, 0.5));
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
    for (double side : {-1.0, 1.0})
        Lamp(cr, cx + side * 7, 38, 2.2, Hex(0xFF3020));
    Barrel(cr, cx, 38, 48, 3, steel);
}

void DrawEnemyBomber(cairo_t* cr) { // kind 6, 85 x 110
    const double cx = 42.5;
    const Rgb gunmetal = Hex(0x5E6878), steel = Hex(0x9AA0AA);
    for (double side : {-1.0, 1.0})
        Flame(cr, cx + side * 22, 14, 5, 12, -1, FireCore, FireOuter);
    HullPiece(cr, cx, {{0, 16}, {30, 22}, {42, 46}, {42, 58}, {30, 66}, {18, 70}, {0, 70}},
              Shade(gunmetal, 0.9), 42);
    for (double side : {-1.0, 1.0}) {
        const double x = cx + side * 22;
        HullPiece(cr, x, {{0, 13}, {7, 14}, {8, 40}, {5, 50}, {0, 50}}, steel, 8);
        cairo_rectangle(cr, x - 6, 13, 12, 3);
        SetColour(cr, Hex(0x282830));
        cairo_fill(cr);
        // Hazard stripes on the wing tips.
        for (int i = 0; i < 3; ++i)
            Line(cr, {{cx + side * (31 + i * 3.5), 48}, {cx + side * (34 + i * 3.5), 58}}, Hex(0xF0C020),
                 1.6);
    }
    HullPiece(cr, cx, {{0, 6}, {10, 8}, {14, 30}, {15, 70}, {11, 94}, {5, 106}, {0, 108}}, gunmetal, 15);
    // Bomb bay and turret.
    cairo_rectangle(cr, cx - 5, 40, 10, 26);
    SetColour(cr, Hex(0x181A20));
    cairo_fill(cr);
    for (double y = 43; y < 64; y += 6)
        Lamp(cr, cx, y, 1.2, Hex(0xFF8020));
    Ellipse(cr, cx, 82, 7, 7);
    FillDome(cr, steel, cx, 82, 8);
    cairo_new_path(cr);
    for (double side : {-1.0, 1.0})
        Barrel(cr, cx + side * 3, 84, 100, 2.2, steel);
    Canopy(cr, cx, 22, 4, 6, Hex(0xF0B030));
    Specular(cr, cx - 6, 40, 2.5, 20, 0.35);
}

void DrawEnemyArrow(cairo_t* cr) { // kind 7, 80 x 75
    const double cx = 40;
    const Rgb blue = Hex(0x3A50B8), steel = Hex(0xA0A8B8);
    for (double side : {-1.0, 1.0})
        Flame(cr, cx + side * 12, 8, 4, 7, -1, PlasmaCore, Hex(0x8020E0));
    HullPiece(cr, cx, {{0, 14}, {14, 8}, {39, 6}, {38, 18}, {20, 46}, {6, 66}, {0, 73}}, blue, 39);
    LinePair(cr, cx, {{4, 58}, {22, 26}, {37, 12}}, Hex(0xE8E8F8), 1.6);
    HullPiece(cr, cx, {{0, 8}, {5, 9}, {8, 30}, {5, 52}, {0, 60}}, steel, 8);
    for (double side : {-1.0, 1.0})
        Barrel(cr, cx + side * 24, 16, 32, 2.4, steel);
    Glow(cr, cx, 33, 9, Hex(0xFFB040), Hex(0xC04010));
    Lamp(cr, cx, 33, 3, Hex(0xFFE080));
    Specular(cr, cx - 14, 16, 8, 3, 0.35);
}

void DrawEnemyInsect(cairo_t* cr) { // kind 8, 60 x 75
    const double cx = 30;
    const Rgb chitin = Hex(0x3A9A6A), membrane = Hex(0x60C8D0);
    // Wings (membranes) behind the body.
    for (double side : {-1.0, 1.0}) {
        Ellipse(cr, cx + side * 17, 26, 12, 19);
        cairo_pattern_t* pattern = cairo_pattern_create_radial(cx + side * 14, 20, 2, cx + side * 17, 26, 20);
        cairo_pattern_add_color_stop_rgba(pattern, 0, membrane.r * 1.2, membrane.g * 1.2, membrane.b * 1.2,
                                          1);
        cairo_pattern_add_color_stop_rgba(pattern, 1, membrane.r * 0.3, membrane.g * 0.3, membrane.b * 0.4,
                                          1);
        cairo_set_source(cr, pattern);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(pattern);
        Stroke(cr, Hex(0x104040), 1);
        cairo_new_path(cr);
        Line(cr, {{cx + side * 6, 22}, {cx + side * 20, 12}, {cx + side * 26, 30}}, Hex(0x185050), 0.9);
        Line(cr, {{cx + side * 6, 26}, {cx + side * 18, 40}}, Hex(0x185050), 0.9);
    }
    // Abdomen, thorax, head.
    Ellipse(cr, cx, 16, 8, 14);
    FillDome(cr, chitin, cx, 16, 15);
    cairo_new_path(cr);
    for (double y = 8; y < 28; y += 5)
        Line(cr, {{cx - 6.5, y}, {cx + 6.5, y}}, Shade(chitin, 0.45), 1.1);
    Ellipse(cr, cx, 40, 10, 10);
    FillDome(cr, Shade(chitin, 1.1), cx, 40, 11);
    cairo_new_path(cr);
    Ellipse(cr, cx, 56, 9, 8);
    FillDome(cr, chitin, cx, 56, 10);
    cairo_new_path(cr);
    // Mandibles.
    for (double side : {-1.0, 1.0}) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx + side * 5, 61);
        cairo_curve_to(cr, cx + side * 11, 66, cx + side * 8, 72, cx + side * 2, 74);
        cairo_curve_to(cr, cx + side * 5, 70, cx + side * 6, 66, cx + side * 2, 63);
        cairo_close_path(cr);
        SetColour(cr, Hex(0xD8D0A0));
        cairo_fill_preserve(cr);
        Stroke(cr, Hex(0x383020), 0.8);
        cairo_new_path(cr);
        Lamp(cr, cx + side * 4.5, 54, 2, Hex(0xFF3040));
        Line(cr, {{cx + side * 8, 42}, {cx + side * 18, 48}, {cx + side * 22, 58}}, Shade(chitin, 0.6), 1.8);
    }
}

// ---------------- bosses ----------------

void DrawBossFortress(cairo_t* cr) { // boss 0, 150 x 180
    const double cx = 75;
    const Rgb armour = Hex(0xA83A30), steel = Hex(0x9098A4), dark = Hex(0x4A505C);
    for (double side : {-1.0, 0.0, 1.0})
        Flame(cr, cx + side * 24, 12, 6, 12, -1, FireCore, FireOuter);
    // Side cannons.
    for (double side : {-1.0, 1.0}) {
        const double x = cx + side * 50;
        HullPiece(cr, x, {{0, 60}, {12, 66}, {13, 120}, {8, 134}, {0, 134}}, dark, 13);
        Barrel(cr, x - 4, 120, 170, 4, steel);
        Barrel(cr, x + 4, 120, 170, 4, steel);
        Lamp(cr, x, 100, 3, Hex(0xFFA020));
    }
    HullPiece(cr, cx,
              {{0, 12},
               {30, 12},
               {40, 30},
               {50, 64},
               {74, 84},
               {74, 104},
               {50, 112},
               {36, 140},
               {22, 168},
               {8, 178},
               {0, 178}},
              armour, 74);
    HullPiece(cr, cx, {{0, 14}, {16, 16}, {22, 40}, {24, 110}, {18, 140}, {9, 160}, {0, 166}}, steel, 24);
    // Armour seams and plates.
    for (double y : {50.0, 80.0, 120.0, 145.0})
        Line(cr, {{cx - 20, y}, {cx + 20, y}}, Shade(steel, 0.4), 1.2);
    LinePair(cr, cx, {{28, 36}, {44, 72}, {70, 90}}, Shade(armour, 1.5), 1.4);
    LinePair(cr, cx, {{34, 112}, {60, 102}}, Shade(armour, 0.5), 1.4);
    // Reactor core and bridge.
    Ellipse(cr, cx, 92, 15, 15);
    SetColour(cr, Hex(0x200808));
    cairo_fill(cr);
    Glow(cr, cx, 92, 14, Hex(0xFFB040), Hex(0xD03010));
    Lamp(cr, cx, 92, 5, Hex(0xFFF0A0));
    Canopy(cr, cx, 38, 8, 12, Hex(0x30B0E0));
    Barrel(cr, cx, 150, 177, 5, steel);
    for (double side : {-1.0, 1.0})
        Lamp(cr, cx + side * 70, 96, 2, Hex(0x40FF60));
    Specular(cr, cx - 10, 70, 4, 30, 0.35);
}

void DrawBossCrescent(cairo_t* cr) { // boss 1, 235 x 225
    const double cx = 117.5;
    const Rgb gold = Hex(0xB8903A), bronze = Hex(0x8A6A3A), steel = Hex(0x9AA0AA);
    for (double side : {-1.0, 1.0})
        Flame(cr, cx + side * 30, 30, 7, 24, -1, PlasmaCore, PlasmaOuter);
    // The crescent: an outer arc from tip to tip, an inner arc back.
    cairo_new_path(cr);
    cairo_move_to(cr, cx - 114, 205);
    cairo_curve_to(cr, cx - 120, 110, cx - 70, 30, cx, 28);
    cairo_curve_to(cr, cx + 70, 30, cx + 120, 110, cx + 114, 205);
    cairo_curve_to(cr, cx + 96, 150, cx + 60, 118, cx, 116);
    cairo_curve_to(cr, cx - 60, 118, cx - 96, 150, cx - 114, 205);
    cairo_close_path(cr);
    FillMetalAcross(cr, gold, cx - 117, cx + 117, 0.3);
    Stroke(cr, Hex(0x302008), 1.5);
    cairo_new_path(cr);
    // Plate seams following the crescent.
    for (double t : {0.35, 0.65}) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx - 110 + t * 10, 190 - t * 20);
        cairo_curve_to(cr, cx - 100, 120 + t * 20, cx - 60, 50 + t * 40, cx, 45 + t * 45);
        cairo_curve_to(cr, cx + 60, 50 + t * 40, cx + 100, 120 + t * 20, cx + 110 - t * 10, 190 - t * 20);
        SetColour(cr, Shade(bronze, 0.55));
        cairo_set_line_width(cr, 1.3);
        cairo_stroke(cr);
    }
    // Wing-tip cannons and running lights.
    for (double side : {-1.0, 1.0}) {
        Barrel(cr, cx + side * 108, 170, 222, 6, steel);
        for (int i = 0; i < 5; ++i) {
            const double t = 0.2 + i * 0.15;
            Lamp(cr, cx + side * (40 + t * 68), 62 + t * t * 120, 2.2, Hex(0x50C8FF));
        }
    }
    // Central body with the eye.
    Ellipse(cr, cx, 92, 46, 42);
    FillDome(cr, bronze, cx, 92, 50);
    Stroke(cr, Hex(0x281808), 1.5);
    cairo_new_path(cr);
    Ellipse(cr, cx, 92, 30, 27);
    FillDome(cr, steel, cx, 92, 34);
    cairo_new_path(cr);
    for (int i = 0; i < 8; ++i) {
        const double angle = i * Pi / 4;
        Line(cr,
             {{cx + std::cos(angle) * 20, 92 + std::sin(angle) * 18},
              {cx + std::cos(angle) * 29, 92 + std::sin(angle) * 26}},
             Shade(steel, 0.4), 1.5);
    }
    Ellipse(cr, cx, 92, 17, 16);
    SetColour(cr, Hex(0x081020));
    cairo_fill(cr);
    Glow(cr, cx, 94, 16, Hex(0x60D8FF), Hex(0x1040C0));
    Lamp(cr, cx, 94, 6, Hex(0xE0FFFF));
    Barrel(cr, cx, 128, 150, 7, steel);
    Specular(cr, cx - 60, 70, 16, 8, 0.35);
}

void DrawBossBiomech(cairo_t* cr) { // boss 2, 225 x 280
    const double cx = 112.5;
    const Rgb carapace = Hex(0x5A2E6E), bone = Hex(0xC8C0A8), flesh = Hex(0x8A3050);
    // Tentacles hanging forward (down).
    for (int i = 0; i < 4; ++i) {
        for (double side : {-1.0, 1.0}) {
            const double x0 = cx + side * (22 + i * 14), y0 = 190 - i * 16;
            cairo_new_path(cr);
            cairo_move_to(cr, x0, y0);
            cairo_curve_to(cr, x0 + side * 18, y0 + 30, x0 - side * 8, y0 + 50, x0 + side * (10 + i * 4),
                           270 - i * 26);
            SetColour(cr, Shade(flesh, 0.4));
            cairo_set_line_width(cr, 8 - i);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_stroke_preserve(cr);
            SetColour(cr, flesh);
            cairo_set_line_width(cr, 5 - i * 0.8);
            cairo_stroke(cr);
            Lamp(cr, x0 + side * (10 + i * 4), 270 - i * 26, 2, Hex(0x80FF60));
        }
    }
    // Spines radiating from the back.
    for (int i = 0; i < 7; ++i) {
        const double angle = -Pi / 2 + (i - 3) * 0.36;
        const double x = cx + std::cos(angle) * 104, y = 110 + std::sin(angle) * 104;
        Polygon(cr, {{cx + std::cos(angle - 0.12) * 60, 110 + std::sin(angle - 0.12) * 60},
                     {x, y},
                     {cx + std::cos(angle + 0.12) * 60, 110 + std::sin(angle + 0.12) * 60}});
        FillMetalAcross(cr, bone, x - 12, x + 12);
        Stroke(cr, Hex(0x302820), 1);
        cairo_new_path(cr);
    }
    // Side claws.
    for (double side : {-1.0, 1.0}) {
        Polygon(cr, {{cx + side * 60, 100},
                     {cx + side * 110, 120},
                     {cx + side * 108, 176},
                     {cx + side * 96, 210},
                     {cx + side * 92, 168},
                     {cx + side * 60, 150}});
        FillMetalAcross(cr, carapace, cx + side * 60 - 50, cx + side * 60 + 50);
        Stroke(cr, Hex(0x180820), 1.2);
        cairo_new_path(cr);
        Lamp(cr, cx + side * 98, 182, 3, Hex(0xB040FF));
    }
    // Carapace body.
    cairo_new_path(cr);
    Ellipse(cr, cx, 120, 68, 82);
    FillDome(cr, carapace, cx, 112, 90);
    Stroke(cr, Hex(0x180820), 1.5);
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) {
        const double y = 60 + i * 20;
        cairo_new_path(cr);
        cairo_arc(cr, cx, y - 30, 58 - std::fabs(i - 2.5) * 6, Pi * 0.25, Pi * 0.75);
        SetColour(cr, Shade(carapace, 0.45));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    // Skull-like head at the front.
    DrawSkull(cr, cx, 206, 64, bone, Hex(0x60FF40));
    // The great eye.
    Ellipse(cr, cx, 118, 22, 22);
    SetColour(cr, Hex(0x100410));
    cairo_fill(cr);
    Glow(cr, cx, 118, 21, Hex(0xA0FF60), Hex(0x209020));
    Ellipse(cr, cx, 118, 4, 12);
    SetColour(cr, Hex(0x081008));
    cairo_fill(cr);
    Specular(cr, cx - 7, 110, 5, 4, 0.9);
    Specular(cr, cx - 30, 70, 14, 18, 0.3);
}

} // namespace

void DrawSkull(cairo_t* cr, double cx, double cy, double size, Rgb bone, Rgb eyes) {
    const double s = size / 64.0;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, s, s);
    // Cranium and jaw.
    cairo_new_path(cr);
    cairo_arc(cr, 0, -6, 28, Pi * 0.8, Pi * 2.2);
    cairo_line_to(cr, 20, 18);
    cairo_line_to(cr, 14, 30);
    cairo_line_to(cr, -14, 30);
    cairo_line_to(cr, -20, 18);
    cairo_close_path(cr);
    FillDome(cr, bone, -4, -8, 40);
    Stroke(cr, Shade(bone, 0.2), 2);
    cairo_new_path(cr);
    // Eye sockets glowing, nose, teeth.
    for (double side : {-1.0, 1.0}) {
        Ellipse(cr, side * 11, 2, 9, 8);
        SetColour(cr, Hex(0x100808));
        cairo_fill(cr);
        Glow(cr, side * 11, 3, 7, Shade(eyes, 1.4), eyes);
    }
    Polygon(cr, {{0, 10}, {4, 18}, {-4, 18}});
    SetColour(cr, Hex(0x181010));
    cairo_fill(cr);
    for (int i = -2; i <= 2; ++i) {
        cairo_rectangle(cr, i * 5.2 - 2, 21, 4, 8);
        SetColour(cr, Shade(bone, 1.2));
        cairo_fill_preserve(cr);
        Stroke(cr, Shade(bone, 0.3), 1);
        cairo_new_path(cr);
    }
    cairo_restore(cr);
}

void DrawPlayerShipFrame(cairo_t* cr, int bank, bool flameOn) {
    DrawPlayerFrame(cr, bank, flameOn);
}

Picture DrawPlayerShip() {
    return DrawSheet(10, ShipWidth, ShipHeight,
                     [](cairo_t* cr, int frame) { DrawPlayerFrame(cr, frame / 2, frame % 2); });
}

std::vector<Picture> DrawEnemyShips() {
    struct Kind {
        int width, height;
        void (*draw)(cairo_t*);
    };
    const Kind kinds[] = {{59, 28, DrawEnemyWasp},    {59, 28, DrawEnemyTwinPod}, {75, 102, DrawEnemyLancer},
                          {57, 160, DrawEnemyNeedle}, {75, 75, DrawEnemySaucer},  {80, 70, DrawEnemyCrab},
                          {85, 110, DrawEnemyBomber}, {80, 75, DrawEnemyArrow},   {60, 75, DrawEnemyInsect}};
    std::vector<Picture> ships;
    for (const Kind& kind : kinds)
        ships.push_back(DrawOne(kind.width, kind.height, kind.draw));
    return ships;
}

std::vector<Picture> DrawBosses() {
    return {DrawOne(150, 180, DrawBossFortress), DrawOne(235, 225, DrawBossCrescent),
            DrawOne(225, 280, DrawBossBiomech)};
}

} // namespace art
