// Text rasterising for the whole program: fontconfig finds the face (or its stand-in), FreeType
// renders it, and the antialiased coverage is blended straight onto a surface. The sizes behave like
// a Windows logical font: height is the character cell (ascender - descender), width the average
// character width, each scaled on its own axis. Faces, sizes and glyph bitmaps are cached, so a line
// that has been drawn once is drawn again without touching the disk or allocating.
#pragma once

#include <cstdint>
#include <string>

class Surface;

// "Crystal" for titles, menus and the head-up display; "Cranberry Cyr" for the text edit.
enum class FontFace : uint8_t { Crystal, CranberryCyr };

// Where x lies on the line; the top of the character cell is always at y.
enum class TextAnchor : uint8_t { Left, Right, Centre };

struct FontRendererCounters {
    uint32_t FaceLoads = 0;    // font files read and opened
    uint32_t SizeBuilds = 0;   // (face, height, width) sizes set up
    uint32_t GlyphRenders = 0; // glyph bitmaps rasterised
};

// One line of text in `rgb` (0x00RRGGBB), clipped to the target. Each byte of `text` is one character
// (Latin-1). Nothing is drawn for an empty string, a size below one pixel or a face that cannot be found.
void RenderTextLine(FontFace face, int height, int width, int x, int y, TextAnchor anchor,
                    const std::string& text, Surface& target, uint32_t rgb);
// The rows of the line's ink, from the capitals' top to the descenders' bottom (exclusive), in pixels
// below the top of the cell; both 0 when no font could be opened.
struct InkRows {
    int top = 0;
    int bottom = 0;
};
InkRows TextInkRows(FontFace face, int height, int width);
// The middle of those rows.
int TextInkMiddle(FontFace face, int height, int width);
// The advance width of the whole line in pixels.
int MeasureTextLine(FontFace face, int height, int width, const std::string& text);

// The family actually drawn for `face`: the requested one, its stand-in, or the font mapper's
// substitute; empty when no font could be opened.
std::string FontFamilyInUse(FontFace face);
FontRendererCounters FontCounters();
