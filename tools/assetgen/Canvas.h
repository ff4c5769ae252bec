// A Cairo drawing surface that is flattened into a pack picture: every pixel becomes either an opaque
// colour or exactly the colour key, so antialiased edges never blend toward the key colour.
#pragma once

#include "AssetGen.h"

#include <cairo.h>

class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return context; }
    int Width() const { return width; }
    int Height() const { return height; }

    // Pixels at least half covered keep their colour; the rest become the key. A drawn colour
    // that happens to equal the key is nudged by one step so it stays visible.
    Picture Flatten(uint32_t key) const;
    // For opaque pictures (backgrounds, panels): composite over black, no key.
    Picture FlattenOpaque() const;

  private:
    int width;
    int height;
    cairo_surface_t* surface;
    cairo_t* context;
};

// Cuts frame f of a sheet of equal frames laid side by side: handy for drawing sheets frame by frame.
void PasteFrame(Picture& sheet, const Picture& frame, int frameIndex);
Picture BlankPicture(int width, int height, uint32_t colour);
