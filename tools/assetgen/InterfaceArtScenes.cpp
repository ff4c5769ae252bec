// Scene pictures: the menu background, the title logo and the "About" badge.
#include "InterfaceArt.h"

#include <algorithm>
#include <cmath>

namespace interface_art {

namespace {

void FillRadial(cairo_t* cr, double x, double y, double radius, Rgb colour, double alpha) {
    cairo_pattern_t* blob = cairo_pattern_create_radial(x, y, 0, x, y, radius);
    AddStop(blob, 0, colour, alpha);
    AddStop(blob, 0.5, colour, alpha * 0.45);
    AddStop(blob, 1, colour, 0);
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    cairo_set_source(cr, blob);
    cairo_fill(cr);
    cairo_pattern_destroy(blob);
}

// Nebula: soft clouds along a band that sweeps from the upper left to the right, kept dim in the
// middle of the screen where the menus write their texts.
void Nebula(cairo_t* cr) {
    Scatter scatter(0x5EED1);
    const Rgb tints[4] = {{0.05, 0.45, 0.35}, {0.10, 0.55, 0.20}, {0.20, 0.18, 0.45}, {0.02, 0.30, 0.40}};
    for (int i = 0; i < 90; ++i) {
        const double t = scatter.Next();
        const double x = -60 + t * 920 + scatter.Between(-70, 70);
        const double y = 60 + 150 * std::sin(t * 2.6 + 0.4) + t * 120 + scatter.Between(-90, 90);
        const double radius = scatter.Between(40, 150);
        const Rgb tint = tints[static_cast<int>(scatter.Next() * 4)];
        FillRadial(cr, x, y, radius, tint, scatter.Between(0.03, 0.09));
    }
    // Bright knots inside the clouds.
    for (int i = 0; i < 14; ++i) {
        const double t = scatter.Next();
        FillRadial(cr, -40 + t * 880, 80 + 140 * std::sin(t * 2.6 + 0.4) + t * 110, scatter.Between(15, 45),
                   {0.45, 1.0, 0.70}, scatter.Between(0.05, 0.12));
    }
}

void Stars(cairo_t* cr, int width, int height) {
    Scatter scatter(0xA57E55);
    for (int i = 0; i < 900; ++i) {
        const double x = scatter.Next() * width, y = scatter.Next() * height;
        const double bright = std::pow(scatter.Next(), 3.0);
        const double hue = scatter.Next();
        const double radius = 0.35 + bright * 1.1;
        cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 0.75 + 0.25 * hue, 0.85 + 0.15 * (1 - hue), 0.8 + 0.2 * (1 - hue),
                              0.25 + 0.75 * bright);
        cairo_fill(cr);
    }
    // A few big stars with cross-shaped glints.
    for (int i = 0; i < 18; ++i) {
        const double x = scatter.Next() * width, y = scatter.Next() * height * 0.85;
        const double size = scatter.Between(4, 11);
        FillRadial(cr, x, y, size * 1.2, {0.7, 1.0, 0.85}, 0.35);
        cairo_set_line_width(cr, 1.0);
        cairo_pattern_t* flare = cairo_pattern_create_radial(x, y, 0, x, y, size * 1.6);
        AddStop(flare, 0, {1, 1, 1}, 0.9);
        AddStop(flare, 1, {0.6, 1, 0.8}, 0);
        cairo_set_source(cr, flare);
        cairo_move_to(cr, x - size * 1.6, y + 0.5);
        cairo_line_to(cr, x + size * 1.6, y + 0.5);
        cairo_move_to(cr, x + 0.5, y - size * 1.6);
        cairo_line_to(cr, x + 0.5, y + size * 1.6);
        cairo_stroke(cr);
        cairo_pattern_destroy(flare);
        cairo_arc(cr, x + 0.5, y + 0.5, 1.3, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
    }
}

// A large planet rising from the lower left, lit from the upper right, with a green atmosphere.
void Planet(cairo_t* cr) {
    const double cx = 150, cy = 930, radius = 470;
    FillRadial(cr, cx, cy, radius + 60, {0.1, 0.8, 0.45}, 0.25);
    cairo_save(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_pattern_t* body = cairo_pattern_create_radial(cx + 220, cy - 380, 40, cx, cy, radius * 1.05);
    AddStop(body, 0, {0.30, 0.45, 0.40});
    AddStop(body, 0.35, {0.08, 0.18, 0.17});
    AddStop(body, 0.7, {0.02, 0.05, 0.06});
    AddStop(body, 1, {0.01, 0.02, 0.03});
    cairo_set_source(cr, body);
    cairo_paint(cr);
    cairo_pattern_destroy(body);
    // Cloud bands following the curve of the planet.
    Scatter scatter(0xB0D1E5);
    for (int band = 0; band < 16; ++band) {
        const double r = radius - 10 - band * scatter.Between(10, 26);
        cairo_set_line_width(cr, scatter.Between(2, 9));
        cairo_arc(cr, cx + scatter.Between(-30, 30), cy + scatter.Between(-10, 10), r, M_PI * 1.05,
                  M_PI * 1.95);
        cairo_set_source_rgba(cr, 0.5, 0.8, 0.7, scatter.Between(0.03, 0.08));
        cairo_stroke(cr);
    }
    // Night side: darken toward the lower left.
    cairo_pattern_t* night = cairo_pattern_create_linear(cx + 260, cy - 420, cx - 200, cy - 100);
    AddStop(night, 0, {0, 0, 0}, 0);
    AddStop(night, 1, {0, 0.01, 0.01}, 0.85);
    cairo_set_source(cr, night);
    cairo_paint(cr);
    cairo_pattern_destroy(night);
    cairo_restore(cr);
    // Atmosphere rim, brightest on the lit side.
    cairo_pattern_t* rim = cairo_pattern_create_linear(cx - radius, cy, cx + radius * 0.7, cy - radius * 0.7);
    AddStop(rim, 0, {0.1, 0.6, 0.3}, 0.05);
    AddStop(rim, 1, {0.5, 1.0, 0.7}, 0.85);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 2.5);
    cairo_arc(cr, cx, cy, radius - 1, M_PI, 2 * M_PI);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
}

void Moon(cairo_t* cr, double x, double y, double radius) {
    FillRadial(cr, x, y, radius * 1.6, {0.4, 0.9, 0.7}, 0.12);
    cairo_pattern_t* body = cairo_pattern_create_radial(x + radius * 0.4, y - radius * 0.4, 1, x, y, radius);
    AddStop(body, 0, {0.75, 0.82, 0.78});
    AddStop(body, 0.5, {0.32, 0.38, 0.36});
    AddStop(body, 1, {0.05, 0.07, 0.07});
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    Scatter scatter(0xC8A7E8);
    cairo_save(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    cairo_clip(cr);
    for (int i = 0; i < 9; ++i) {
        const double a = scatter.Next() * 2 * M_PI, d = scatter.Next() * radius * 0.8;
        cairo_arc(cr, x + std::cos(a) * d, y + std::sin(a) * d, scatter.Between(1.5, radius * 0.22), 0,
                  2 * M_PI);
        cairo_set_source_rgba(cr, 0.0, 0.02, 0.02, 0.35);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// Sleek wedge of the player's warship seen from above, nose up, centred on (x, y), scaled.
void ShipSilhouette(cairo_t* cr, double x, double y, double scale, bool lit) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_move_to(cr, 0, -50);
    cairo_line_to(cr, 9, -18);
    cairo_line_to(cr, 14, -4);
    cairo_line_to(cr, 44, 22);
    cairo_line_to(cr, 44, 34);
    cairo_line_to(cr, 16, 28);
    cairo_line_to(cr, 11, 44);
    cairo_line_to(cr, -11, 44);
    cairo_line_to(cr, -16, 28);
    cairo_line_to(cr, -44, 34);
    cairo_line_to(cr, -44, 22);
    cairo_line_to(cr, -14, -4);
    cairo_line_to(cr, -9, -18);
    cairo_close_path(cr);
    cairo_pattern_t* hull = cairo_pattern_create_linear(-44, 0, 44, 0);
    AddStop(hull, 0, {0.20, 0.24, 0.25});
    AddStop(hull, 0.45, {0.78, 0.85, 0.82});
    AddStop(hull, 0.55, {0.50, 0.58, 0.56});
    AddStop(hull, 1, {0.12, 0.15, 0.16});
    cairo_set_source(cr, hull);
    cairo_pattern_destroy(hull); // the context keeps its own reference while it is the source
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 2.0 / scale);
    cairo_set_source_rgb(cr, 0.02, 0.05, 0.04);
    cairo_stroke(cr);
    // Cockpit canopy and engine glow.
    cairo_move_to(cr, 0, -30);
    cairo_curve_to(cr, 5, -22, 5, -8, 0, -4);
    cairo_curve_to(cr, -5, -8, -5, -22, 0, -30);
    SetColour(cr, lit ? GlowGreen : MediumGreen);
    cairo_fill(cr);
    for (int side = -1; side <= 1; side += 2) {
        cairo_rectangle(cr, side * 34 - 3, 24, 6, 8);
        SetColour(cr, BrightGreen);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void ScanLines(cairo_t* cr, int width, int height) {
    for (int y = 0; y < height; y += 2)
        cairo_rectangle(cr, 0, y, width, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.18);
    cairo_fill(cr);
}

// The help pages and the options write dim green text over the left and middle of the picture: a
// soft dark cloud there keeps the stars from breaking up the letters.
void ReadingShade(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, 300, 320);
    cairo_scale(cr, 1.0, 0.62);
    cairo_pattern_t* shade = cairo_pattern_create_radial(0, 0, 0, 0, 0, 330);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0.0, 0.01, 0.01, 0.72);
    cairo_pattern_add_color_stop_rgba(shade, 0.65, 0.0, 0.01, 0.01, 0.55);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0.0, 0.01, 0.01, 0.0);
    cairo_set_source(cr, shade);
    cairo_arc(cr, 0, 0, 330, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);
}

} // namespace

Picture MenuBackground() {
    constexpr int Width = 800, Height = 600;
    Canvas canvas(Width, Height);
    cairo_t* cr = canvas.cr();
    cairo_pattern_t* deep = cairo_pattern_create_linear(0, 0, 0, Height);
    AddStop(deep, 0, {0.005, 0.02, 0.03});
    AddStop(deep, 0.6, {0.01, 0.03, 0.035});
    AddStop(deep, 1, {0.02, 0.06, 0.05});
    cairo_set_source(cr, deep);
    cairo_paint(cr);
    cairo_pattern_destroy(deep);
    Nebula(cr);
    Stars(cr, Width, Height);
    Moon(cr, 318, 74, 24);
    Planet(cr);
    // A distant patrol of warships crossing the planet's glow.
    ShipSilhouette(cr, 370, 472, 0.30, false);
    ShipSilhouette(cr, 330, 505, 0.22, false);
    ShipSilhouette(cr, 405, 520, 0.18, false);
    ReadingShade(cr);
    ScanLines(cr, Width, Height);
    // A thin green frame with corner brackets, as on a tactical display.
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, DimGreen, 0.55);
    cairo_rectangle(cr, 4.5, 4.5, Width - 9, Height - 9);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 3.0);
    SetColour(cr, MediumGreen, 0.9);
    for (int corner = 0; corner < 4; ++corner) {
        const double x = corner % 2 ? Width - 6 : 6, y = corner / 2 ? Height - 6 : 6;
        const double sx = corner % 2 ? -1 : 1, sy = corner / 2 ? -1 : 1;
        cairo_move_to(cr, x, y + sy * 30);
        cairo_line_to(cr, x, y);
        cairo_line_to(cr, x + sx * 30, y);
        cairo_stroke(cr);
    }
    return canvas.FlattenOpaque();
}

// The title logo: a winged emblem over the name, in cold metal with a green glow, on a keyed canvas.
// Every shape carries a dark rim so the hard keyed edge never shows against the dark screen.
Picture TitleLogo() {
    constexpr int Width = 250, Height = 138;
    Canvas canvas(Width, Height);
    cairo_t* cr = canvas.cr();
    const double cx = Width / 2.0;

    // Emblem: swept wings around a diamond core.
    auto wings = [&] {
        cairo_new_path(cr);
        for (int side = -1; side <= 1; side += 2) {
            cairo_move_to(cr, cx + side * 10, 20);
            cairo_line_to(cr, cx + side * 112, 8);
            cairo_line_to(cr, cx + side * 82, 24);
            cairo_line_to(cr, cx + side * 120, 26);
            cairo_line_to(cr, cx + side * 70, 44);
            cairo_line_to(cr, cx + side * 14, 42);
            cairo_close_path(cr);
        }
        cairo_move_to(cr, cx, 4);
        cairo_line_to(cr, cx + 16, 28);
        cairo_line_to(cr, cx, 54);
        cairo_line_to(cr, cx - 16, 28);
        cairo_close_path(cr);
    };
    wings();
    cairo_set_line_width(cr, 5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(cr, 0.0, 0.06, 0.02);
    cairo_stroke(cr);
    wings();
    cairo_pattern_t* steel = cairo_pattern_create_linear(0, 4, 0, 54);
    AddStop(steel, 0, {0.92, 0.97, 0.95});
    AddStop(steel, 0.45, {0.45, 0.52, 0.52});
    AddStop(steel, 0.55, {0.22, 0.28, 0.28});
    AddStop(steel, 1, {0.40, 0.48, 0.46});
    cairo_set_source(cr, steel);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(steel);
    cairo_set_line_width(cr, 1.2);
    SetColour(cr, MediumGreen);
    cairo_stroke(cr);
    // The glowing core of the emblem.
    cairo_move_to(cr, cx, 14);
    cairo_line_to(cr, cx + 8, 28);
    cairo_line_to(cr, cx, 44);
    cairo_line_to(cr, cx - 8, 28);
    cairo_close_path(cr);
    cairo_pattern_t* core = cairo_pattern_create_radial(cx, 28, 1, cx, 28, 14);
    AddStop(core, 0, {0.9, 1, 0.9});
    AddStop(core, 1, {0, 0.75, 0.1});
    cairo_set_source(cr, core);
    cairo_fill(cr);
    cairo_pattern_destroy(core);

    // The name.
    double size = 48;
    cairo_text_extents_t ink;
    for (;; size -= 1) { // fit the name in the logo's width
        SelectTitleFont(cr, size);
        cairo_text_extents(cr, "VANTORIX", &ink);
        if (ink.width <= Width - 16 || size <= 20) break;
    }
    // Stretched upward for presence: the letters stand between the emblem and the underline.
    const double baseline = 109;
    const double stretch = std::min(1.45, (baseline - 60) / ink.height);
    const double left = std::round(cx - ink.width / 2 - ink.x_bearing);
    const double top = baseline + ink.y_bearing * stretch;
    auto name = [&] {
        cairo_new_path(cr);
        cairo_save(cr);
        cairo_translate(cr, left, baseline);
        cairo_scale(cr, 1.0, stretch);
        cairo_move_to(cr, 0, 0);
        cairo_text_path(cr, "VANTORIX");
        cairo_restore(cr);
    };
    name();
    cairo_set_line_width(cr, 7);
    cairo_set_source_rgb(cr, 0.0, 0.10, 0.03);
    cairo_stroke(cr);
    name();
    cairo_set_line_width(cr, 3.5);
    SetColour(cr, {0.05, 0.45, 0.12});
    cairo_stroke(cr);
    name();
    cairo_pattern_t* face = cairo_pattern_create_linear(0, top, 0, baseline);
    AddStop(face, 0, {0.95, 1.0, 0.95});
    AddStop(face, 0.48, {0.55, 0.95, 0.55});
    AddStop(face, 0.52, {0.05, 0.70, 0.12});
    AddStop(face, 1, {0.45, 1.0, 0.45});
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);

    // Underline bar with a bright centre, fading to the dark rim.
    const double barY = 121;
    cairo_rectangle(cr, 14, barY - 3, Width - 28, 6);
    cairo_set_source_rgb(cr, 0.0, 0.08, 0.03);
    cairo_fill(cr);
    cairo_pattern_t* bar = cairo_pattern_create_linear(14, 0, Width - 14, 0);
    AddStop(bar, 0, {0.0, 0.25, 0.05});
    AddStop(bar, 0.5, {0.7, 1.0, 0.7});
    AddStop(bar, 1, {0.0, 0.25, 0.05});
    cairo_rectangle(cr, 16, barY - 1, Width - 32, 2);
    cairo_set_source(cr, bar);
    cairo_fill(cr);
    cairo_pattern_destroy(bar);
    return canvas.Flatten(MagentaKey);
}

// The "About" page picture: the warship inside a round badge with a glowing ring.
Picture AboutBadge() {
    constexpr int Size = 120;
    Canvas canvas(Size, Size);
    cairo_t* cr = canvas.cr();
    const double c = Size / 2.0;
    cairo_arc(cr, c, c, 59, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.0, 0.07, 0.02);
    cairo_fill(cr);
    cairo_pattern_t* ring = cairo_pattern_create_linear(0, 0, 0, Size);
    AddStop(ring, 0, {0.85, 0.92, 0.88});
    AddStop(ring, 0.5, {0.25, 0.30, 0.30});
    AddStop(ring, 1, {0.55, 0.62, 0.60});
    cairo_arc(cr, c, c, 57, 0, 2 * M_PI);
    cairo_set_source(cr, ring);
    cairo_fill(cr);
    cairo_pattern_destroy(ring);
    cairo_pattern_t* space = cairo_pattern_create_radial(c, c - 10, 4, c, c, 50);
    AddStop(space, 0, {0.05, 0.28, 0.16});
    AddStop(space, 1, {0.01, 0.04, 0.04});
    cairo_arc(cr, c, c, 50, 0, 2 * M_PI);
    cairo_set_source(cr, space);
    cairo_fill(cr);
    cairo_pattern_destroy(space);
    cairo_save(cr);
    cairo_arc(cr, c, c, 50, 0, 2 * M_PI);
    cairo_clip(cr);
    Scatter scatter(0xAB0075);
    for (int i = 0; i < 40; ++i) {
        cairo_arc(cr, scatter.Next() * Size, scatter.Next() * Size, 0.6, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 0.8, 1, 0.9, scatter.Between(0.3, 0.9));
        cairo_fill(cr);
    }
    cairo_restore(cr);
    cairo_set_line_width(cr, 2);
    SetColour(cr, BrightGreen);
    cairo_arc(cr, c, c, 50, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1);
    SetColour(cr, DimGreen);
    cairo_arc(cr, c, c, 44, 0, 2 * M_PI);
    cairo_stroke(cr);
    // Tick marks around the ring, like a gun sight.
    cairo_set_line_width(cr, 2);
    SetColour(cr, GlowGreen);
    for (int tick = 0; tick < 4; ++tick) {
        const double a = tick * M_PI / 2;
        cairo_move_to(cr, c + std::cos(a) * 44, c + std::sin(a) * 44);
        cairo_line_to(cr, c + std::cos(a) * 52, c + std::sin(a) * 52);
        cairo_stroke(cr);
    }
    FillRadial(cr, c, c + 30, 12, {0.3, 1, 0.4}, 0.6);
    ShipSilhouette(cr, c, c + 2, 0.72, true);
    return canvas.Flatten(MagentaKey);
}

} // namespace interface_art
