// The faces the generator draws text in, each opened from its own file: fontconfig is never asked to
// find a face, so a missing font stops the generator instead of drawing the pictures in another face.
#pragma once

#include <cairo.h>

namespace kit {

enum class Face {
    JuraBold,       // menu labels, the logo (Debian fonts-jura)
    DejaVuSansBold, // the letters on pickups (Debian fonts-dejavu-core)
};

// Selects the face at the size in pixels. The first call opens every face: a file that is missing or
// is not the expected face stops the generator with one message naming the file and its package.
void SelectFace(cairo_t* cr, Face face, double pixelSize);

} // namespace kit
