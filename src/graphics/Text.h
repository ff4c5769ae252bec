// One line of green text with a one-pixel glow, drawn straight onto a surface. Height is the cell
// height and width the average character width, set independently; the faces are cached by the
// font renderer, so drawing a string never opens a file.
#pragma once

#include "platform/FontRenderer.h"
#include "platform/Surface.h"

#include <cstdint>
#include <string>

inline constexpr uint32_t ColourBrightGreen = Rgb(0, 255, 0);
inline constexpr uint32_t ColourDimGreen = Rgb(34, 136, 34);
inline constexpr uint32_t ColourRed = Rgb(255, 0, 0);
inline constexpr uint32_t ColourLightGreen = Rgb(120, 255, 120);
inline constexpr uint32_t ColourMediumGreen = Rgb(48, 187, 48);

// Text-alignment values for DrawGameText: x is the left edge, the right edge or the centre of the
// line; y is always the top of the character cell.
inline constexpr uint32_t AlignLeftTop = 0;
inline constexpr uint32_t AlignRightTop = 2;
inline constexpr uint32_t AlignCentreTop = 6;

void DrawTitleText(int x, int y, int height, int width, const std::string& text, Surface& target,
                   uint32_t colour);
// The width DrawTitleText gives the line, its glow included.
int MeasureTitleText(int height, int width, const std::string& text);
// The character width, `width` or narrower (never under 6), at which the line fits in `room` pixels.
int WidthToFit(int height, int width, const std::string& text, int room);
void DrawGameText(int x, int y, int height, int width, const std::string& text, Surface& target,
                  uint32_t colour, uint32_t alignment, bool glow);
void DrawMenuText(int x, int y, int height, int width, const std::string& text, Surface& target,
                  uint32_t colour, bool glow);

// The text edit's face ("Cranberry Cyr" or its stand-in): draw and measure.
void DrawEditText(int x, int y, int height, int width, const std::string& text, Surface& target,
                  uint32_t colour);
int MeasureEditText(int height, int width, const std::string& text);
// Where the text edit's line must start so that its ink is centred on `middleY`.
int EditTextTopFor(int middleY, int height, int width);
// The rows the text edit's ink covers below the top of its line: capitals' top to descenders' bottom.
InkRows EditTextInk(int height, int width);
