// The asset generator's one drawing kit: the colour type, colour arithmetic, the two deterministic
// random sources and the small cairo helpers every picture uses. The game art (namespace art) and the
// interface art (namespace interface_art) both draw with it, and in the faces FontFiles.h opens.
#pragma once

#include "FontFiles.h"

#include <cairo.h>

#include <cstdint>

namespace kit {

struct Rgb {
    double r, g, b;
};

constexpr Rgb Hex(uint32_t value) {
    return {((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Shade(Rgb colour, double factor); // factor < 1 darkens, > 1 brightens, clamped

struct Point {
    double x, y;
};

constexpr double Pi = 3.14159265358979323846;

void SetColour(cairo_t* cr, Rgb colour, double alpha = 1.0);
void AddStop(cairo_pattern_t* pattern, double offset, Rgb colour, double alpha = 1.0);
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);

// Small deterministic generator (SplitMix64): the same seed draws the same stars on every build.
class Random {
  public:
    explicit Random(uint64_t seed) : state(seed) {}
    uint32_t Next();
    double Real(double low, double high);
    int Int(int low, int high); // inclusive
  private:
    uint64_t state;
};

// Deterministic scatter for the interface's stars and speckles (a 32-bit linear congruential step).
class Scatter {
  public:
    explicit Scatter(uint32_t seed) : state(seed) {}
    double Next(); // 0 <= value < 1
    double Between(double low, double high) { return low + (high - low) * Next(); }

  private:
    uint32_t state;
};

} // namespace kit
