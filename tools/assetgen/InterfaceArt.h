// The interface pictures' shared drawing kit: colours, panel shapes, bevels, glass, glows and labels.
// Every face and its highlight are drawn by the same function at the same offset, so a highlight
// always lands exactly on the label of the face under it.
#pragma once

#include "AssetGen.h"
#include "Canvas.h"
#include "DrawingKit.h"

#include <cairo.h>

namespace interface_art {

using kit::AddStop;
using kit::Mix;
using kit::Rgb;
using kit::Scatter;
using kit::SetColour;

inline constexpr Rgb BrightGreen{0.0, 1.0, 0.0};
inline constexpr Rgb DimGreen{34 / 255.0, 136 / 255.0, 34 / 255.0};
inline constexpr Rgb GlowGreen{120 / 255.0, 1.0, 120 / 255.0};
inline constexpr Rgb MediumGreen{48 / 255.0, 187 / 255.0, 48 / 255.0};

struct Box {
    double x, y, w, h;
    Box Inset(double by) const { return {x + by, y + by, w - 2 * by, h - 2 * by}; }
    double CentreX() const { return x + w / 2; }
    double CentreY() const { return y + h / 2; }
};

// Paths.
void RoundedBoxPath(cairo_t* cr, Box box, double radius);
void ChamferedBoxPath(cairo_t* cr, Box box, double cut);

// A bevelled gunmetal rim of the given thickness around a chamfered box; the inside is left alone.
void MetalRim(cairo_t* cr, Box box, double cut, double thickness);
// Glass filling a rounded box, with a gloss band across its top half: dark, dark with a green
// tint (a selected display the game writes on), or lit green (a selected button).
enum class Glass { Dark, Tinted, Lit };
void GlassFill(cairo_t* cr, Box box, double radius, Glass glass);
inline Glass LitOrDark(bool lit) {
    return lit ? Glass::Lit : Glass::Dark;
}
// An opaque halo around a rounded box: rings from near-black outside to light green at the box.
// Keyed pictures cannot blend with what lies under them, so the glow fades to the screen's darkness.
void OpaqueHalo(cairo_t* cr, Box outer, Box inner, double radius);
// Thin circuit-like grooves and rivets used to dress up larger panels.
void Rivet(cairo_t* cr, double x, double y, double radius);

// Labels in the title face, Jura Bold.
struct LabelPlacement {
    double left;     // x of the text's origin
    double baseline; // y of the text's baseline
};
void SelectTitleFont(cairo_t* cr, double pixelSize);
// Centres the label in the box: horizontally by its ink, vertically by the capital height.
LabelPlacement CentreLabel(cairo_t* cr, const char* text, double pixelSize, Box box);
// Plain look: dim green with a medium green rim on the lower right. Selected look: bright green,
// a light green rim and a soft glow around the strokes.
void DrawLabel(cairo_t* cr, const char* text, double pixelSize, Box box, bool selected);

// The finished pictures, grouped by where they appear; graphics/PackRecords.h names their records.
Picture MenuBackground();
Picture TitleLogo();
Picture ScreenHeader();
Picture AboutBadge();
Picture MainMenuPanel();
Picture MainMenuHighlight(int item);
Picture QuestionPanel();
Picture HiScoreRowStrip();
Picture WideFace(int which, bool highlight);  // which 0 = clear table, 1 = online table
Picture PageFace(int which, bool highlight);  // which 0 = next, 1 = previous, 2 = back
Picture ValueFace(int which, bool highlight); // which 0 = display mode, 1 = on/off, 2 = boss key
Picture TextFieldFrame(bool focused);
Picture StageMarker();
Picture LivesPlate();
Picture TopBar();
Picture SidePanel();
Picture OnBoardIcon(bool skull);
Picture UnusedTile();

} // namespace interface_art
