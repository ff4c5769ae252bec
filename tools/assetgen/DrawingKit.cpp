#include "DrawingKit.h"

#include <algorithm>

namespace kit {

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Shade(Rgb colour, double factor) {
    if (factor <= 1.0) return {colour.r * factor, colour.g * factor, colour.b * factor};
    const double toWhite = std::clamp(factor - 1.0, 0.0, 1.0);
    return Mix(colour, {1, 1, 1}, toWhite);
}

void SetColour(cairo_t* cr, Rgb colour, double alpha) {
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void AddStop(cairo_pattern_t* pattern, double offset, Rgb colour, double alpha) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, colour.r, colour.g, colour.b, alpha);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * Pi);
    cairo_restore(cr);
}

uint32_t Random::Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

double Random::Real(double low, double high) {
    return low + (high - low) * (Next() / 4294967296.0);
}

int Random::Int(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<uint32_t>(high - low + 1));
}

double Scatter::Next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
}

} // namespace kit
