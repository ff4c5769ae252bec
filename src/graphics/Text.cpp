#include "graphics/Text.h"

#include "platform/FontRenderer.h"

namespace {

// Only the horizontal bits of a text-alignment value count (centre holds the right bit too); the
// line is always placed by the top of its cell.
TextAnchor AnchorFor(uint32_t alignment) {
    if ((alignment & AlignCentreTop) == AlignCentreTop) return TextAnchor::Centre;
    if (alignment & AlignRightTop) return TextAnchor::Right;
    return TextAnchor::Left;
}

// The glow is the same line one pixel down and to the right, drawn first so the main text covers all
// of it but a rim on the lower right of each stroke.
void DrawLine(FontFace face, int x, int y, int height, int width, const std::string& text, Surface& target,
              uint32_t colour, TextAnchor anchor, bool glow, uint32_t glowColour) {
    if (glow) RenderTextLine(face, height, width, x + 1, y + 1, anchor, text, target, glowColour);
    RenderTextLine(face, height, width, x, y, anchor, text, target, colour);
}

} // namespace

void DrawTitleText(int x, int y, int height, int width, const std::string& text, Surface& target,
                   uint32_t colour) {
    const uint32_t glowColour = colour == ColourBrightGreen ? ColourLightGreen : ColourMediumGreen;
    DrawLine(FontFace::Crystal, x, y, height, width, text, target, colour, TextAnchor::Left, true,
             glowColour);
}

int MeasureTitleText(int height, int width, const std::string& text) {
    return MeasureTextLine(FontFace::Crystal, height, width, text) + 1;
}

int WidthToFit(int height, int width, const std::string& text, int room) {
    while (width > 6 && MeasureTitleText(height, width, text) > room)
        --width;
    return width;
}

void DrawGameText(int x, int y, int height, int width, const std::string& text, Surface& target,
                  uint32_t colour, uint32_t alignment, bool glow) {
    DrawLine(FontFace::Crystal, x, y, height, width, text, target, colour, AnchorFor(alignment), glow,
             ColourLightGreen);
}

void DrawMenuText(int x, int y, int height, int width, const std::string& text, Surface& target,
                  uint32_t colour, bool glow) {
    DrawLine(FontFace::Crystal, x, y, height, width, text, target, colour, TextAnchor::Left, glow,
             ColourLightGreen);
}

void DrawEditText(int x, int y, int height, int width, const std::string& text, Surface& target,
                  uint32_t colour) {
    RenderTextLine(FontFace::CranberryCyr, height, width, x, y, TextAnchor::Left, text, target, colour);
}

int EditTextTopFor(int middleY, int height, int width) {
    return middleY - TextInkMiddle(FontFace::CranberryCyr, height, width);
}

InkRows EditTextInk(int height, int width) {
    return TextInkRows(FontFace::CranberryCyr, height, width);
}

int MeasureEditText(int height, int width, const std::string& text) {
    return MeasureTextLine(FontFace::CranberryCyr, height, width, text);
}
