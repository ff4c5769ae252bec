// Head-up display pieces: the top bar, the lives plate, the right-hand console, the stage-progress
// marker and the two "on board" icons.
#include "InterfaceArt.h"

#include <array>
#include <cmath>
#include <vector>

namespace interface_art {

namespace {

struct Point {
    double x, y;
};

void PolygonPath(cairo_t* cr, const std::vector<Point>& points) {
    cairo_new_path(cr);
    for (const Point& p : points)
        cairo_line_to(cr, p.x, p.y);
    cairo_close_path(cr);
}

void MetalFill(cairo_t* cr, double top, double bottom) {
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgb(metal, 0, 0.34, 0.40, 0.39);
    cairo_pattern_add_color_stop_rgb(metal, 0.5, 0.19, 0.23, 0.23);
    cairo_pattern_add_color_stop_rgb(metal, 1, 0.10, 0.13, 0.13);
    cairo_set_source(cr, metal);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(metal);
}

// Plate outline: dark outer edge, then a light bevel line just inside.
void OutlinePlate(cairo_t* cr, const std::vector<Point>& points) {
    PolygonPath(cr, points);
    cairo_set_line_width(cr, 2.0);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.04);
    cairo_stroke(cr);
}

// A recessed glass window with a thin dark groove round it.
void Window(cairo_t* cr, Box box, double radius) {
    RoundedBoxPath(cr, box.Inset(-1), radius + 1);
    cairo_set_source_rgb(cr, 0.02, 0.03, 0.03);
    cairo_fill(cr);
    GlassFill(cr, box, radius, Glass::Dark);
}

void Lamp(cairo_t* cr, double x, double y) {
    cairo_arc(cr, x, y, 2.5, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.02, 0.05, 0.03);
    cairo_fill(cr);
    cairo_arc(cr, x, y, 1.6, 0, 2 * M_PI);
    SetColour(cr, BrightGreen);
    cairo_fill(cr);
}

} // namespace

// The top bar at (0, 0): a thin metal strip along the screen's top with deeper bays under the lives
// plate (80 .. 176), the stage caption (written at 315, 5) and the score (533 .. 720, at y 5).
Picture TopBar() {
    constexpr int Width = 800, Height = 34;
    Canvas canvas(Width, Height);
    cairo_t* cr = canvas.cr();
    const std::vector<Point> outline = {{-2, -2},  {802, -2}, {802, 14}, {748, 14}, {738, 31}, {512, 31},
                                        {502, 14}, {434, 14}, {424, 31}, {292, 31}, {282, 14}, {196, 14},
                                        {186, 33}, {70, 33},  {60, 14},  {-2, 14}};
    PolygonPath(cr, outline);
    MetalFill(cr, 0, Height);
    cairo_new_path(cr);
    OutlinePlate(cr, outline);
    // Bevel light along the strip's lower edges.
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 0.75, 0.85, 0.8, 0.35);
    cairo_move_to(cr, 0, 1.5);
    cairo_line_to(cr, Width, 1.5);
    cairo_stroke(cr);
    Window(cr, {298, 2, 120, 25}, 4);
    Window(cr, {520, 2, 212, 25}, 4);
    // A green trace running along the strip from bay to bay.
    SetColour(cr, DimGreen, 0.8);
    for (const auto& [from, to] : {std::pair{4.0, 60.0}, {200.0, 280.0}, {438.0, 500.0}, {752.0, 796.0}}) {
        cairo_move_to(cr, from, 8.5);
        cairo_line_to(cr, to, 8.5);
    }
    cairo_stroke(cr);
    for (double x : {24.0, 240.0, 466.0, 774.0})
        Lamp(cr, x, 8.5);
    return canvas.Flatten(MagentaKey);
}

// The lives plate at (80, 4): a small warship and a window where the game writes the lives (140, 5).
Picture LivesPlate() {
    constexpr int Width = 96, Height = 26;
    Canvas canvas(Width, Height);
    cairo_t* cr = canvas.cr();
    const Box plate{0, 0, Width, Height};
    ChamferedBoxPath(cr, plate, 6);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.04);
    cairo_fill(cr);
    MetalRim(cr, plate, 6, 3);
    GlassFill(cr, {3, 3, 44, 20}, 2, Glass::Dark);
    Window(cr, {52, 3, 40, 20}, 3);
    // The ship icon, nose up.
    cairo_save(cr);
    cairo_translate(cr, 25, 13.5);
    cairo_move_to(cr, 0, -9);
    cairo_line_to(cr, 3, -2);
    cairo_line_to(cr, 10, 4);
    cairo_line_to(cr, 10, 7);
    cairo_line_to(cr, 3, 6);
    cairo_line_to(cr, 2, 9);
    cairo_line_to(cr, -2, 9);
    cairo_line_to(cr, -3, 6);
    cairo_line_to(cr, -10, 7);
    cairo_line_to(cr, -10, 4);
    cairo_line_to(cr, -3, -2);
    cairo_close_path(cr);
    SetColour(cr, BrightGreen);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.8);
    SetColour(cr, GlowGreen);
    cairo_stroke(cr);
    cairo_restore(cr);
    // The small "x" between the ship and the count.
    cairo_set_line_width(cr, 1.6);
    SetColour(cr, MediumGreen);
    cairo_move_to(cr, 39, 10);
    cairo_line_to(cr, 44, 16);
    cairo_move_to(cr, 44, 10);
    cairo_line_to(cr, 39, 16);
    cairo_stroke(cr);
    return canvas.Flatten(MagentaKey);
}

namespace {

// A thin metal line: a dark outer stroke with a light core, readable over any background.
void MetalLine(cairo_t* cr) {
    cairo_set_line_width(cr, 3.0);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.04);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgb(cr, 0.55, 0.64, 0.62);
    cairo_stroke(cr);
}

// Corner brackets round a box: only the corners are drawn, so the middle stays open.
void CornerBrackets(cairo_t* cr, Box box, double arm) {
    const double right = box.x + box.w, bottom = box.y + box.h;
    cairo_new_path(cr);
    for (const auto& [x, y, dx, dy] :
         {std::array{box.x, box.y, 1.0, 1.0}, std::array{right, box.y, -1.0, 1.0},
          std::array{box.x, bottom, 1.0, -1.0}, std::array{right, bottom, -1.0, -1.0}}) {
        cairo_move_to(cr, x + dx * arm, y);
        cairo_line_to(cr, x, y);
        cairo_line_to(cr, x, y + dy * arm);
    }
    MetalLine(cr);
}

// Fills the current path with a gradient from `from` at (x0, y0) to `to` at (x1, y1), then outlines it
// thinly: the look of the console's two bar labels.
void FillAndOutlineLabel(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb from, Rgb to,
                         Rgb outline) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgb(gradient, 0, from.r, from.g, from.b);
    cairo_pattern_add_color_stop_rgb(gradient, 1, to.r, to.g, to.b);
    cairo_set_source(cr, gradient);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(gradient);
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgb(cr, outline.r, outline.g, outline.b);
    cairo_stroke(cr);
}

// The armour label: a small steel shield with an "A", as on the armour pickup.
void ShieldLabel(cairo_t* cr, double cx, double top) {
    auto shield = [&] {
        cairo_new_path(cr);
        cairo_move_to(cr, cx - 7, top);
        cairo_line_to(cr, cx + 7, top);
        cairo_line_to(cr, cx + 7, top + 7);
        cairo_curve_to(cr, cx + 7, top + 12, cx + 3, top + 15, cx, top + 17);
        cairo_curve_to(cr, cx - 3, top + 15, cx - 7, top + 12, cx - 7, top + 7);
        cairo_close_path(cr);
    };
    shield();
    FillAndOutlineLabel(cr, cx - 7, top, cx + 7, top + 17, {0.85, 0.92, 1.0}, {0.22, 0.38, 0.72},
                        {0.02, 0.05, 0.12});
    // The "A": two legs and a bar.
    cairo_move_to(cr, cx - 3.5, top + 12.5);
    cairo_line_to(cr, cx, top + 3);
    cairo_line_to(cr, cx + 3.5, top + 12.5);
    cairo_move_to(cr, cx - 2, top + 9);
    cairo_line_to(cr, cx + 2, top + 9);
    cairo_set_line_width(cr, 1.8);
    cairo_set_source_rgb(cr, 0.05, 0.08, 0.2);
    cairo_stroke(cr);
}

// The energy label: a gold lightning bolt, as on the energy pickup.
void BoltLabel(cairo_t* cr, double cx, double top) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx + 3, top);
    cairo_line_to(cr, cx - 5, top + 10);
    cairo_line_to(cr, cx - 0.5, top + 10);
    cairo_line_to(cr, cx - 3, top + 17);
    cairo_line_to(cr, cx + 5, top + 6.5);
    cairo_line_to(cr, cx + 0.5, top + 6.5);
    cairo_close_path(cr);
    FillAndOutlineLabel(cr, cx, top, cx, top + 17, {1.0, 0.95, 0.55}, {0.85, 0.55, 0.1}, {0.15, 0.08, 0.0});
}

} // namespace

// The right-hand console at (652, 37), drawn as an open frame: the ship flies under all of it, so
// only thin keyed lines, marks and labels are drawn and the field shows through everywhere else.
// Inside it (screen coordinates minus (652, 37)): the progress rail where the marker (x 760, y 55 ..
// 245) slides, the housings of the armour bar (x 747) and the energy bar (x 780) that grow up from
// y 454 with their labels above, and the bay at the bottom for the gun icon (663, 518), the "X n"
// count (721, 521) and the on-board icons (670 and 733, 545).
Picture SidePanel() {
    constexpr int Width = 148, Height = 563;
    Canvas canvas(Width, Height);
    cairo_t* cr = canvas.cr();

    // Progress rail: two thin rails either side of the marker's path, a tick every tenth of the stage.
    for (double x : {104.5, 134.5}) {
        cairo_move_to(cr, x, 14);
        cairo_line_to(cr, x, 232);
    }
    MetalLine(cr);
    for (int tick = 0; tick <= 10; ++tick) {
        const double y = std::round(18 + tick * 19.0 + 8) + 0.5; // marker centres from y 26 to 216
        cairo_move_to(cr, 106, y);
        cairo_line_to(cr, tick % 5 == 0 ? 112 : 109, y);
        cairo_move_to(cr, 133, y);
        cairo_line_to(cr, tick % 5 == 0 ? 127 : 130, y);
        cairo_set_line_width(cr, 2.0);
        SetColour(cr, tick == 0 ? GlowGreen : DimGreen);
        cairo_stroke(cr);
    }
    Lamp(cr, 94, 26); // the goal

    // Bar housings: an outline a little wider and taller than each bar (rows 330 .. 454 on screen),
    // open inside, with scale marks and the bar's label above it.
    for (double x : {95.0, 128.0}) {
        RoundedBoxPath(cr, {x - 2.5, 290.5, 15, 130}, 3);
        MetalLine(cr);
        for (int mark = 0; mark <= 4; ++mark) {
            const double y = 293 + mark * 31.0 + 0.5;
            cairo_move_to(cr, x - 8, y);
            cairo_line_to(cr, x - 4, y);
        }
        cairo_set_line_width(cr, 2.0);
        SetColour(cr, DimGreen);
        cairo_stroke(cr);
    }
    ShieldLabel(cr, 100, 268);
    BoltLabel(cr, 133, 268);

    // The bottom bay: corner brackets only.
    CornerBrackets(cr, {6.5, 466.5, 137, 94}, 10);
    return canvas.Flatten(MagentaKey);
}

// The stage-progress marker: a glowing arrowhead pointing left along the rail.
Picture StageMarker() {
    constexpr int Width = 24, Height = 16;
    Canvas canvas(Width, Height);
    cairo_t* cr = canvas.cr();
    auto arrow = [&] {
        cairo_new_path(cr);
        cairo_move_to(cr, 1, 8);
        cairo_line_to(cr, 9, 1);
        cairo_line_to(cr, 23, 1);
        cairo_line_to(cr, 17, 8);
        cairo_line_to(cr, 23, 15);
        cairo_line_to(cr, 9, 15);
        cairo_close_path(cr);
    };
    arrow();
    cairo_set_source_rgb(cr, 0.0, 0.12, 0.03);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 12, 8);
    cairo_scale(cr, 0.8, 0.72);
    cairo_translate(cr, -12, -8);
    arrow();
    cairo_restore(cr);
    cairo_pattern_t* glow = cairo_pattern_create_linear(0, 0, 0, Height);
    cairo_pattern_add_color_stop_rgb(glow, 0, 0.75, 1, 0.75);
    cairo_pattern_add_color_stop_rgb(glow, 0.5, 0, 1, 0);
    cairo_pattern_add_color_stop_rgb(glow, 1, 0.1, 0.6, 0.1);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    return canvas.Flatten(MagentaKey);
}

namespace {

void IconBadge(cairo_t* cr, int width, int height) {
    const double radius = height / 2.0 - 1;
    cairo_arc(cr, width / 2.0, height / 2.0, radius, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.04);
    cairo_fill(cr);
    cairo_arc(cr, width / 2.0, height / 2.0, radius - 1.5, 0, 2 * M_PI);
    cairo_set_line_width(cr, 2.0);
    cairo_set_source_rgb(cr, 0.55, 0.64, 0.62);
    cairo_stroke(cr);
    cairo_arc(cr, width / 2.0, height / 2.0, radius - 3, 0, 2 * M_PI);
    cairo_pattern_t* glass =
        cairo_pattern_create_radial(width / 2.0, height / 2.0, 2, width / 2.0, height / 2.0, 30);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.04, 0.24, 0.10);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.01, 0.05, 0.04);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
}

void Skull(cairo_t* cr, double cx, double cy) {
    auto cranium = [&] {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy - 4, 14, M_PI * 0.85, M_PI * 2.15);
        cairo_line_to(cr, cx + 9, cy + 12);
        cairo_line_to(cr, cx - 9, cy + 12);
        cairo_close_path(cr);
    };
    cranium();
    cairo_set_line_width(cr, 3);
    cairo_set_source_rgb(cr, 0.0, 0.05, 0.02);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* bone = cairo_pattern_create_radial(cx - 4, cy - 10, 1, cx, cy, 18);
    cairo_pattern_add_color_stop_rgb(bone, 0, 0.97, 1.0, 0.94);
    cairo_pattern_add_color_stop_rgb(bone, 0.7, 0.62, 0.70, 0.62);
    cairo_pattern_add_color_stop_rgb(bone, 1, 0.35, 0.42, 0.36);
    cairo_set_source(cr, bone);
    cairo_fill(cr);
    cairo_pattern_destroy(bone);
    for (int side = -1; side <= 1; side += 2) {
        cairo_arc(cr, cx + side * 6, cy - 2, 4.2, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.0, 0.08, 0.02);
        cairo_fill(cr);
        cairo_arc(cr, cx + side * 6, cy - 2, 2.0, 0, 2 * M_PI);
        SetColour(cr, BrightGreen);
        cairo_fill(cr);
    }
    cairo_move_to(cr, cx, cy + 3);
    cairo_line_to(cr, cx + 2.5, cy + 7);
    cairo_line_to(cr, cx - 2.5, cy + 7);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.05, 0.1, 0.06);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.2);
    for (int tooth = -2; tooth <= 2; ++tooth) {
        cairo_move_to(cr, cx + tooth * 3.2, cy + 9);
        cairo_line_to(cr, cx + tooth * 3.2, cy + 12);
    }
    cairo_set_source_rgb(cr, 0.1, 0.15, 0.1);
    cairo_stroke(cr);
}

void Bomb(cairo_t* cr, double cx, double cy) {
    cairo_arc(cr, cx - 2, cy + 3, 15, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.0, 0.05, 0.02);
    cairo_fill(cr);
    cairo_pattern_t* shell = cairo_pattern_create_radial(cx - 7, cy - 3, 1, cx - 2, cy + 3, 14);
    cairo_pattern_add_color_stop_rgb(shell, 0, 0.85, 0.92, 0.88);
    cairo_pattern_add_color_stop_rgb(shell, 0.35, 0.35, 0.42, 0.42);
    cairo_pattern_add_color_stop_rgb(shell, 1, 0.06, 0.08, 0.09);
    cairo_arc(cr, cx - 2, cy + 3, 13.5, 0, 2 * M_PI);
    cairo_set_source(cr, shell);
    cairo_fill(cr);
    cairo_pattern_destroy(shell);
    // Green band round the shell and the fuse cap.
    cairo_save(cr);
    cairo_arc(cr, cx - 2, cy + 3, 13.5, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_set_line_width(cr, 3);
    SetColour(cr, MediumGreen);
    cairo_move_to(cr, cx - 18, cy + 10);
    cairo_curve_to(cr, cx - 8, cy + 14, cx + 4, cy + 14, cx + 14, cy + 8);
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_rectangle(cr, cx + 4, cy - 12, 7, 6);
    cairo_set_source_rgb(cr, 0.45, 0.52, 0.5);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, cx + 8, cy - 12);
    cairo_curve_to(cr, cx + 10, cy - 17, cx + 14, cy - 15, cx + 15, cy - 18);
    cairo_set_source_rgb(cr, 0.7, 0.6, 0.4);
    cairo_stroke(cr);
    // The spark at the fuse's end.
    cairo_pattern_t* spark = cairo_pattern_create_radial(cx + 15, cy - 18, 0, cx + 15, cy - 18, 5);
    cairo_pattern_add_color_stop_rgba(spark, 0, 1, 1, 0.8, 1);
    cairo_pattern_add_color_stop_rgba(spark, 0.5, 1, 0.7, 0.1, 0.8);
    cairo_pattern_add_color_stop_rgba(spark, 1, 1, 0.3, 0, 0);
    cairo_arc(cr, cx + 15, cy - 18, 5, 0, 2 * M_PI);
    cairo_set_source(cr, spark);
    cairo_fill(cr);
    cairo_pattern_destroy(spark);
}

} // namespace

// 39 / 40: a round lit badge on the key, so the field shows round it when the ship flies under it.
Picture OnBoardIcon(bool skull) {
    constexpr int Width = 56, Height = 50;
    Canvas canvas(Width, Height);
    IconBadge(canvas.cr(), Width, Height);
    if (skull)
        Skull(canvas.cr(), Width / 2.0, Height / 2.0);
    else
        Bomb(canvas.cr(), Width / 2.0, Height / 2.0 + 1);
    return canvas.Flatten(MagentaKey);
}

Picture UnusedTile() {
    Canvas canvas(16, 16);
    cairo_set_source_rgb(canvas.cr(), 0.02, 0.05, 0.04);
    cairo_paint(canvas.cr());
    return canvas.FlattenOpaque();
}

} // namespace interface_art
