#include "GameArt.h"

#include <algorithm>
#include <cmath>

namespace art {

void MirroredPath(cairo_t* cr, double cx, std::initializer_list<Point> rightHalf, double leftScale,
                  double rightScale) {
    cairo_new_sub_path(cr);
    for (const Point& p : rightHalf)
        cairo_line_to(cr, cx + p.x * rightScale, p.y);
    for (auto it = std::rbegin(rightHalf); it != std::rend(rightHalf); ++it)
        cairo_line_to(cr, cx - it->x * leftScale, it->y);
    cairo_close_path(cr);
}

void Polygon(cairo_t* cr, std::initializer_list<Point> points, double dx, double dy) {
    cairo_new_sub_path(cr);
    for (const Point& p : points)
        cairo_line_to(cr, p.x + dx, p.y + dy);
    cairo_close_path(cr);
}

// A light-to-dark ramp: the lit colour at 0, the base at `middleAt`, the base darkened at 1.
static void AddLitStops(cairo_pattern_t* pattern, Rgb base, double litFactor, double middleAt,
                        double darkFactor) {
    const Rgb lit = Shade(base, litFactor);
    AddStop(pattern, 0, lit);
    AddStop(pattern, middleAt, base);
    cairo_pattern_add_color_stop_rgb(pattern, 1, base.r * darkFactor, base.g * darkFactor,
                                     base.b * darkFactor);
}

static void AddMetalStops(cairo_pattern_t* pattern, Rgb base, double lightAt) {
    cairo_pattern_add_color_stop_rgb(pattern, 0.0, base.r * 0.35, base.g * 0.35, base.b * 0.35);
    const Rgb lit = Shade(base, 1.25);
    const Rgb shine = Shade(base, 1.75);
    cairo_pattern_add_color_stop_rgb(pattern, std::max(0.05, lightAt - 0.2), lit.r, lit.g, lit.b);
    AddStop(pattern, lightAt, shine);
    cairo_pattern_add_color_stop_rgb(pattern, std::min(0.9, lightAt + 0.12), base.r, base.g, base.b);
    cairo_pattern_add_color_stop_rgb(pattern, 0.85, base.r * 0.6, base.g * 0.6, base.b * 0.6);
    cairo_pattern_add_color_stop_rgb(pattern, 1.0, base.r * 0.3, base.g * 0.3, base.b * 0.3);
}

void FillMetalAcross(cairo_t* cr, Rgb base, double x0, double x1, double lightAt) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(x0, 0, x1, 0);
    AddMetalStops(pattern, base, lightAt);
    cairo_set_source(cr, pattern);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pattern);
}

void FillMetalDown(cairo_t* cr, Rgb base, double y0, double y1, double lightAt) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, y0, 0, y1);
    AddMetalStops(pattern, base, lightAt);
    cairo_set_source(cr, pattern);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pattern);
}

void FillDome(cairo_t* cr, Rgb base, double cx, double cy, double radius) {
    cairo_pattern_t* pattern =
        cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.4, radius * 0.05, cx, cy, radius);
    const Rgb shine = Shade(base, 1.8);
    AddStop(pattern, 0.0, shine);
    AddStop(pattern, 0.35, base);
    cairo_pattern_add_color_stop_rgb(pattern, 1.0, base.r * 0.25, base.g * 0.25, base.b * 0.25);
    cairo_set_source(cr, pattern);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pattern);
}

void Stroke(cairo_t* cr, Rgb colour, double width, double alpha) {
    SetColour(cr, colour, alpha);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
}

void Glow(cairo_t* cr, double cx, double cy, double radius, Rgb core, Rgb rim, double alpha) {
    GlowEllipse(cr, cx, cy, radius, radius, core, rim, alpha);
}

void GlowEllipse(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb core, Rgb rim, double alpha) {
    if (rx <= 0 || ry <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_pattern_t* pattern = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(pattern, 0.0, 1, 1, 1, alpha);
    AddStop(pattern, 0.2, core, alpha);
    AddStop(pattern, 0.55, rim, alpha * 0.75);
    AddStop(pattern, 1.0, rim, 0);
    cairo_set_source(cr, pattern);
    cairo_arc(cr, 0, 0, 1, 0, 2 * Pi);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
}

void Specular(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha) {
    if (rx <= 0 || ry <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_pattern_t* pattern = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(pattern, 0.0, 1, 1, 1, alpha);
    cairo_pattern_add_color_stop_rgba(pattern, 1.0, 1, 1, 1, 0);
    cairo_set_source(cr, pattern);
    cairo_arc(cr, 0, 0, 1, 0, 2 * Pi);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
}

void Flame(cairo_t* cr, double cx, double y, double halfWidth, double length, int dir, Rgb core, Rgb outer) {
    cairo_save(cr);
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, y, 0, y + dir * length);
    cairo_pattern_add_color_stop_rgba(pattern, 0.0, 1, 1, 1, 1);
    AddStop(pattern, 0.25, core, 1);
    AddStop(pattern, 0.7, outer, 0.8);
    AddStop(pattern, 1.0, outer, 0);
    cairo_move_to(cr, cx - halfWidth, y);
    cairo_curve_to(cr, cx - halfWidth, y + dir * length * 0.4, cx - halfWidth * 0.3, y + dir * length * 0.8,
                   cx, y + dir * length);
    cairo_curve_to(cr, cx + halfWidth * 0.3, y + dir * length * 0.8, cx + halfWidth, y + dir * length * 0.4,
                   cx + halfWidth, y);
    cairo_close_path(cr);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
}

void Label(cairo_t* cr, const char* text, double cx, double cy, double size, Rgb fill, Rgb outline) {
    cairo_save(cr);
    kit::SelectFace(cr, kit::Face::DejaVuSansBold, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_move_to(cr, cx - extents.width / 2 - extents.x_bearing,
                  cy - extents.height / 2 - extents.y_bearing);
    cairo_text_path(cr, text);
    Stroke(cr, outline, std::max(1.5, size * 0.16));
    cairo_pattern_t* pattern =
        cairo_pattern_create_linear(0, cy - extents.height / 2, 0, cy + extents.height / 2);
    AddLitStops(pattern, fill, 1.6, 0.5, 0.6);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
}

Picture Finish(Canvas& canvas, uint32_t key, int alphaFloor) {
    cairo_surface_t* surface = cairo_get_target(canvas.cr());
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < canvas.Height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < canvas.Width(); ++x) {
            const uint32_t alpha = row[x] >> 24;
            // Premultiplied colour with full alpha is the colour laid over black.
            row[x] = alpha < static_cast<uint32_t>(alphaFloor) ? 0 : (0xFF000000u | (row[x] & 0xFFFFFF));
        }
    }
    cairo_surface_mark_dirty(surface);
    return canvas.Flatten(key);
}

Picture DrawSheet(int frames, int width, int height, const FrameDrawer& draw, uint32_t key, int alphaFloor) {
    Picture sheet = BlankPicture(frames * width, height, key);
    for (int frame = 0; frame < frames; ++frame) {
        Canvas canvas(width, height);
        draw(canvas.cr(), frame);
        PasteFrame(sheet, Finish(canvas, key, alphaFloor), frame);
    }
    return sheet;
}

Picture DrawOne(int width, int height, const std::function<void(cairo_t* cr)>& draw, uint32_t key,
                int alphaFloor) {
    Canvas canvas(width, height);
    draw(canvas.cr());
    return Finish(canvas, key, alphaFloor);
}

} // namespace art

namespace art {

RockShape MakeRock(Random& random, int corners, double roughness, int craters) {
    RockShape rock;
    for (int i = 0; i < corners; ++i)
        rock.radii.push_back(random.Real(1.0 - roughness, 1.0));
    for (int i = 0; i < craters; ++i)
        rock.craters.push_back({random.Real(0, 2 * Pi), random.Real(0.1, 0.6), random.Real(0.12, 0.28)});
    return rock;
}

static void RockOutline(cairo_t* cr, const RockShape& rock, double rotation) {
    const size_t n = rock.radii.size();
    auto at = [&](size_t i) {
        const double angle = rotation + 2 * Pi * static_cast<double>(i % n) / static_cast<double>(n);
        return Point{std::cos(angle) * rock.radii[i % n], std::sin(angle) * rock.radii[i % n]};
    };
    // Smooth lumps: a curve through the midpoints of the corners.
    Point first = at(0), second = at(1);
    cairo_new_sub_path(cr);
    cairo_move_to(cr, (first.x + second.x) / 2, (first.y + second.y) / 2);
    for (size_t i = 1; i <= n; ++i) {
        const Point corner = at(i), next = at(i + 1);
        const Point middle{(corner.x + next.x) / 2, (corner.y + next.y) / 2};
        cairo_curve_to(cr, corner.x, corner.y, corner.x, corner.y, middle.x, middle.y);
    }
    cairo_close_path(cr);
}

void DrawRock(cairo_t* cr, const RockShape& rock, double cx, double cy, double rx, double ry, double rotation,
              Rgb base) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    RockOutline(cr, rock, rotation);
    cairo_pattern_t* light = cairo_pattern_create_radial(-0.4, -0.45, 0.05, 0, 0, 1.1);
    AddLitStops(light, base, 1.45, 0.45, 0.22);
    cairo_set_source(cr, light);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(light);
    cairo_clip(cr);
    for (const Crater& crater : rock.craters) {
        const double angle = rotation + crater.angle;
        const double x = std::cos(angle) * crater.distance, y = std::sin(angle) * crater.distance;
        // The crater's lower-right rim catches the light, its upper-left inside lies in shadow.
        Ellipse(cr, x + crater.size * 0.12, y + crater.size * 0.12, crater.size, crater.size * 0.9);
        SetColour(cr, Shade(base, 1.35), 0.7);
        cairo_fill(cr);
        Ellipse(cr, x, y, crater.size, crater.size * 0.9);
        SetColour(cr, Shade(base, 0.45), 0.9);
        cairo_fill(cr);
    }
    cairo_reset_clip(cr);
    RockOutline(cr, rock, rotation);
    cairo_restore(cr);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, Shade(base, 0.3), 0.9);
    cairo_stroke(cr);
}

} // namespace art
