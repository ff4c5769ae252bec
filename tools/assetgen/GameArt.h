// Shared drawing kit of the game sprites: colours, a fixed-seed random source, symmetric hull paths,
// metal and glow fills, and the sheet builder. Each GameArt*.cpp draws one group of pictures with it.
#pragma once

#include "AssetGen.h"
#include "Canvas.h"
#include "DrawingKit.h"

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace art {

using kit::AddStop;
using kit::Ellipse;
using kit::Hex;
using kit::Mix;
using kit::Pi;
using kit::Point;
using kit::Random;
using kit::Rgb;
using kit::SetColour;
using kit::Shade;

// Engine and explosion fire, and the player's blue plasma exhaust.
inline constexpr Rgb FireCore = Hex(0xFFD040), FireOuter = Hex(0xD03008);
inline constexpr Rgb PlasmaCore = Hex(0x80E8FF), PlasmaOuter = Hex(0x2050E0);

// A closed path symmetric about column cx: the points give the right half from top to bottom (x as an
// offset from cx); the left half is mirrored. Each side can be squeezed for banking.
void MirroredPath(cairo_t* cr, double cx, std::initializer_list<Point> rightHalf, double leftScale = 1.0,
                  double rightScale = 1.0);
void Polygon(cairo_t* cr, std::initializer_list<Point> points, double dx = 0, double dy = 0);

// Fills the current path (and keeps it) with a brushed-metal band across x0..x1: dark rims, a lit
// flank on the left, a bright specular streak, and the base colour between.
void FillMetalAcross(cairo_t* cr, Rgb base, double x0, double x1, double lightAt = 0.35);
// Same along y0..y1 (for horizontal parts).
void FillMetalDown(cairo_t* cr, Rgb base, double y0, double y1, double lightAt = 0.35);
// Fills the current path (and keeps it) with a sphere-like radial shading lit from the upper left.
void FillDome(cairo_t* cr, Rgb base, double cx, double cy, double radius);
// Strokes the current path (and keeps it).
void Stroke(cairo_t* cr, Rgb colour, double width, double alpha = 1.0);
// A soft radial glow: core colour in the middle fading out to nothing at the radius.
void Glow(cairo_t* cr, double cx, double cy, double radius, Rgb core, Rgb rim, double alpha = 1.0);
// An elliptical glow (engine flames, beams).
void GlowEllipse(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb core, Rgb rim,
                 double alpha = 1.0);
// A specular highlight: a white ellipse fading to nothing.
void Specular(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha = 0.8);
// An engine flame pointing along +y (dir = 1) or -y (dir = -1) from (cx, y).
void Flame(cairo_t* cr, double cx, double y, double halfWidth, double length, int dir, Rgb core, Rgb outer);
// Centred bold text with a dark outline.
void Label(cairo_t* cr, const char* text, double cx, double cy, double size, Rgb fill, Rgb outline);

// Turns soft alpha into solid colour over black (so glows fade to dark, not to the key) and drops the
// faintest pixels, then flattens against the key.
Picture Finish(Canvas& canvas, uint32_t key, int alphaFloor = 56);

using FrameDrawer = std::function<void(cairo_t* cr, int frame)>;
Picture DrawSheet(int frames, int width, int height, const FrameDrawer& draw, uint32_t key = MagentaKey,
                  int alphaFloor = 56);
Picture DrawOne(int width, int height, const std::function<void(cairo_t* cr)>& draw,
                uint32_t key = MagentaKey, int alphaFloor = 56);

// The groups, in pack order.
Picture DrawArmourBar();
Picture DrawEnergyBar();
Picture DrawFarStarfield();
std::vector<Picture> DrawNearTiles(); // 5
Picture DrawPlayerShip();
// One 65 x 100 frame of the player's ship at the origin: bank 0 (full left) .. 2 (level) .. 4.
void DrawPlayerShipFrame(cairo_t* cr, int bank, bool flameOn);
std::vector<Picture> DrawEnemyShips();  // 9
std::vector<Picture> DrawBosses();      // 3
std::vector<Picture> DrawProjectiles(); // 15
std::vector<Picture> DrawAsteroids();   // 2
std::vector<Picture> DrawHitSparks();   // 3
std::vector<Picture> DrawExplosions();  // 3
std::vector<Picture> DrawBonuses();     // 9
std::vector<Picture> DrawGunIcons();    // 5

// A lumpy rock outline with craters, drawn turned by any angle while the light stays at the upper left
// (asteroids tumble with it; the near background scatters still ones).
struct Crater {
    double angle, distance, size; // distance and size as fractions of the rock's radius
};
struct RockShape {
    std::vector<double> radii; // evenly spaced around the rock, about 1
    std::vector<Crater> craters;
};
RockShape MakeRock(Random& random, int corners, double roughness, int craters);
void DrawRock(cairo_t* cr, const RockShape& rock, double cx, double cy, double rx, double ry, double rotation,
              Rgb base);

// Pieces shared between groups.
void DrawSkull(cairo_t* cr, double cx, double cy, double size, Rgb bone, Rgb eyes);
void DrawMissileBody(cairo_t* cr, double cx, double top, double length, double width, int dir);

} // namespace art
