// Menu pictures: the main-menu panel and its highlights, button faces with their highlights, the
// question panel, the high-score row strip, the screen header and the text-field frames.
#include "InterfaceArt.h"

#include <cmath>

namespace interface_art {

namespace {

// The main menu's buttons, relative to the panel's top-left (the panel is drawn at (461, 327)).
struct MenuButton {
    int left, top, width, height;
    const char* label;
};
constexpr MenuButton MainMenuButtons[6] = {
    {9, 10, 316, 38, "New game"}, {9, 49, 316, 37, "Options"},   {9, 88, 316, 36, "High scores"},
    {9, 125, 316, 39, "Help"},    {9, 165, 316, 40, "Web site"}, {9, 206, 316, 40, "Exit"},
};
constexpr int MainPanelWidth = 335;
constexpr int MainPanelHeight = 260;
constexpr double MainMenuLabelSize = 23;

// A face and the highlight drawn over it: the highlight's size and where the face sits inside it.
struct FaceLayout {
    int faceWidth, faceHeight;
    int highlightWidth, highlightHeight;
    int faceLeft, faceTop; // face offset inside the highlight
    const char* label;     // nullptr: the game writes a value on the face
};
// 32 / 11 and 33 / 12.
constexpr FaceLayout WideFaces[2] = {
    {175, 60, 187, 75, 7, 7, "Clear table"},
    {175, 60, 185, 76, 6, 7, "Online table"},
};
// 23 / 16, 24 / 15 and 34 / 14.
constexpr FaceLayout PageFaces[3] = {
    {104, 37, 116, 51, 6, 7, "Next"},
    {104, 37, 116, 51, 6, 7, "Previous"},
    {102, 37, 116, 51, 7, 7, "Back"},
};
// 17 / 36, 18 / 35 and 9 / 38 (the options screen draws 17 at +5,+4, 18 at +5,+5, 9 at +4,+4).
// The game writes values 8 .. 11 px below a face's top in an 18 px cell, so the faces are a little
// taller than the cell and their glass sits low, under a thicker top lip.
constexpr FaceLayout ValueFaces[3] = {
    {132, 26, 142, 30, 5, 4, nullptr},
    {58, 25, 68, 30, 5, 5, nullptr},
    {178, 31, 186, 36, 4, 4, nullptr},
};
constexpr double WideLabelSize = 21;
constexpr double PageLabelSize = 18;

void FillAll(cairo_t* cr, Rgb colour) {
    SetColour(cr, colour);
    cairo_paint(cr);
}

constexpr Rgb NearBlack{0.01, 0.025, 0.03};

void FaintGrid(cairo_t* cr, Box box, double step, double alpha) {
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.w, box.h);
    cairo_clip(cr);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, DimGreen, alpha);
    for (double x = box.x + step / 2; x < box.x + box.w; x += step) {
        cairo_move_to(cr, std::floor(x) + 0.5, box.y);
        cairo_line_to(cr, std::floor(x) + 0.5, box.y + box.h);
    }
    for (double y = box.y + step / 2; y < box.y + box.h; y += step) {
        cairo_move_to(cr, box.x, std::floor(y) + 0.5);
        cairo_line_to(cr, box.x + box.w, std::floor(y) + 0.5);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// ---- Main menu ----

void MenuBar(cairo_t* cr, const MenuButton& button, bool lit) {
    const Box bar =
        Box{double(button.left), double(button.top), double(button.width), double(button.height)}.Inset(2);
    GlassFill(cr, bar, 6, LitOrDark(lit));
    // Side markers: small chevrons that light up with the bar.
    const double mid = bar.CentreY();
    for (int side = 0; side < 2; ++side) {
        const double tip = side == 0 ? bar.x + 18 : bar.x + bar.w - 18;
        const double back = side == 0 ? bar.x + 10 : bar.x + bar.w - 10;
        cairo_move_to(cr, back, mid - 6);
        cairo_line_to(cr, tip, mid);
        cairo_line_to(cr, back, mid + 6);
        cairo_close_path(cr);
        if (lit)
            SetColour(cr, BrightGreen);
        else
            SetColour(cr, {0.10, 0.22, 0.14});
        cairo_fill(cr);
    }
    DrawLabel(cr, button.label, MainMenuLabelSize, bar, lit);
}

// The whole panel, with one bar lit (or none when litItem is -1); the highlights are crops of it.
void DrawMainPanel(cairo_t* cr, int litItem) {
    const Box outline{0, 0, MainPanelWidth, MainPanelHeight};
    ChamferedBoxPath(cr, outline.Inset(4), 12);
    SetColour(cr, {0.015, 0.035, 0.04});
    cairo_fill(cr);
    FaintGrid(cr, outline.Inset(6), 12, 0.10);
    MetalRim(cr, outline, 16, 6);
    for (int corner = 0; corner < 4; ++corner)
        Rivet(cr, corner % 2 ? MainPanelWidth - 9.5 : 9.5, corner / 2 ? MainPanelHeight - 7.5 : 7.5, 1.8);
    for (int item = 0; item < 6; ++item)
        MenuBar(cr, MainMenuButtons[item], item == litItem);
}

// ---- Faces with labels ----

void WideFaceAt(cairo_t* cr, const FaceLayout& layout, double x, double y, bool lit) {
    const Box face{x, y, double(layout.faceWidth), double(layout.faceHeight)};
    ChamferedBoxPath(cr, face, 12);
    SetColour(cr, NearBlack);
    cairo_fill(cr);
    MetalRim(cr, face, 12, 5);
    const Box glass = face.Inset(6);
    GlassFill(cr, glass, 5, LitOrDark(lit));
    DrawLabel(cr, layout.label, WideLabelSize, glass, lit);
}

// Page faces are blitted without the key (help pages and the question screens), so they are
// square-cornered and fully opaque.
void PageFaceAt(cairo_t* cr, const FaceLayout& layout, double x, double y, bool lit) {
    const Box face{x, y, double(layout.faceWidth), double(layout.faceHeight)};
    cairo_rectangle(cr, face.x, face.y, face.w, face.h);
    SetColour(cr, NearBlack);
    cairo_fill(cr);
    MetalRim(cr, face, 0, 4);
    const Box glass = face.Inset(5);
    GlassFill(cr, glass, 3, LitOrDark(lit));
    DrawLabel(cr, layout.label, PageLabelSize, glass, lit);
}

void ValueFaceAt(cairo_t* cr, const FaceLayout& layout, double x, double y) {
    const Box face{x, y, double(layout.faceWidth), double(layout.faceHeight)};
    MetalRim(cr, face, 5, 3);
    ChamferedBoxPath(cr, face.Inset(3), 3);
    cairo_set_source_rgb(cr, 0.16, 0.20, 0.20);
    cairo_fill(cr);
    GlassFill(cr, {face.x + 3, face.y + 5, face.w - 6, face.h - 7}, 2, Glass::Dark);
    // Three small marks on the top lip.
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, MediumGreen, 0.8);
    for (int mark = -1; mark <= 1; ++mark) {
        cairo_move_to(cr, std::round(face.CentreX()) + mark * 6 - 2, y + 3.5);
        cairo_line_to(cr, std::round(face.CentreX()) + mark * 6 + 2, y + 3.5);
    }
    cairo_stroke(cr);
}

using FaceDrawer = void (*)(cairo_t*, const FaceLayout&, double, double, bool);

Picture LabelledFace(const FaceLayout& layout, bool highlight, FaceDrawer draw, bool opaque) {
    if (!highlight) {
        Canvas canvas(layout.faceWidth, layout.faceHeight);
        draw(canvas.cr(), layout, 0, 0, false);
        return opaque ? canvas.FlattenOpaque() : canvas.Flatten(MagentaKey);
    }
    Canvas canvas(layout.highlightWidth, layout.highlightHeight);
    const Box outer{0, 0, double(layout.highlightWidth), double(layout.highlightHeight)};
    const Box face{double(layout.faceLeft), double(layout.faceTop), double(layout.faceWidth),
                   double(layout.faceHeight)};
    OpaqueHalo(canvas.cr(), outer, face.Inset(-1), 6);
    draw(canvas.cr(), layout, layout.faceLeft, layout.faceTop, true);
    return canvas.Flatten(MagentaKey);
}

} // namespace

Picture MainMenuPanel() {
    Canvas canvas(MainPanelWidth, MainPanelHeight);
    DrawMainPanel(canvas.cr(), -1);
    return canvas.Flatten(MagentaKey);
}

Picture MainMenuHighlight(int item) {
    const MenuButton& button = MainMenuButtons[item];
    Canvas canvas(button.width, button.height);
    cairo_translate(canvas.cr(), -button.left, -button.top);
    DrawMainPanel(canvas.cr(), item);
    return canvas.Flatten(MagentaKey);
}

Picture WideFace(int which, bool highlight) {
    return LabelledFace(WideFaces[which], highlight, WideFaceAt, false);
}

Picture PageFace(int which, bool highlight) {
    return LabelledFace(PageFaces[which], highlight, PageFaceAt, !highlight);
}

// A value face is a recessed display; its highlight is a larger glowing display that covers it,
// and the game writes the value over either.
Picture ValueFace(int which, bool highlight) {
    const FaceLayout& layout = ValueFaces[which];
    if (!highlight) {
        Canvas canvas(layout.faceWidth, layout.faceHeight);
        ValueFaceAt(canvas.cr(), layout, 0, 0);
        return canvas.Flatten(MagentaKey);
    }
    Canvas canvas(layout.highlightWidth, layout.highlightHeight);
    const Box outer{0, 0, double(layout.highlightWidth), double(layout.highlightHeight)};
    OpaqueHalo(canvas.cr(), outer, {2, 2, outer.w - 4, outer.h - 3}, 5);
    const Box glass{3, 6, outer.w - 6, outer.h - 8};
    GlassFill(canvas.cr(), glass, 2, Glass::Tinted);
    cairo_set_line_width(canvas.cr(), 1.0);
    RoundedBoxPath(canvas.cr(), glass.Inset(-0.5), 2.5);
    SetColour(canvas.cr(), BrightGreen);
    cairo_stroke(canvas.cr());
    return canvas.Flatten(MagentaKey);
}

// 8: the unfocused frame, 364 x 33, drawn 4 px inside the field without the key: fully opaque.
// 37: the focused frame, 372 x 41, keyed, filling the country field's rectangle exactly.
Picture TextFieldFrame(bool focused) {
    if (!focused) {
        Canvas canvas(364, 33);
        FillAll(canvas.cr(), NearBlack);
        const Box frame{0, 0, 364, 33};
        MetalRim(canvas.cr(), frame, 0, 3);
        GlassFill(canvas.cr(), frame.Inset(3), 2, Glass::Dark);
        return canvas.FlattenOpaque();
    }
    Canvas canvas(372, 41);
    const Box frame{0, 0, 372, 41};
    OpaqueHalo(canvas.cr(), frame, frame.Inset(4), 6);
    const Box glass = frame.Inset(4);
    RoundedBoxPath(canvas.cr(), glass, 3);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, glass.y, 0, glass.y + glass.h);
    cairo_pattern_add_color_stop_rgb(fill, 0, 0.02, 0.16, 0.06);
    cairo_pattern_add_color_stop_rgb(fill, 0.5, 0.01, 0.06, 0.03);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.02, 0.10, 0.05);
    cairo_set_source(canvas.cr(), fill);
    cairo_fill(canvas.cr());
    cairo_pattern_destroy(fill);
    cairo_set_line_width(canvas.cr(), 1.0);
    RoundedBoxPath(canvas.cr(), glass.Inset(0.5), 3);
    SetColour(canvas.cr(), BrightGreen);
    cairo_stroke(canvas.cr());
    return canvas.Flatten(MagentaKey);
}

Picture QuestionPanel() {
    constexpr int Width = 420, Height = 200;
    Canvas canvas(Width, Height);
    cairo_t* cr = canvas.cr();
    FillAll(cr, {0.02, 0.04, 0.045});
    const Box frame{0, 0, Width, Height};
    const Box inside = frame.Inset(8);
    cairo_pattern_t* depth = cairo_pattern_create_radial(Width / 2.0, 60, 20, Width / 2.0, 100, 260);
    cairo_pattern_add_color_stop_rgb(depth, 0, 0.03, 0.10, 0.08);
    cairo_pattern_add_color_stop_rgb(depth, 1, 0.01, 0.025, 0.03);
    cairo_rectangle(cr, inside.x, inside.y, inside.w, inside.h);
    cairo_set_source(cr, depth);
    cairo_fill(cr);
    cairo_pattern_destroy(depth);
    FaintGrid(cr, inside, 14, 0.08);
    // The answers sit below an engraved groove (captions at 140 .. 186 inside the panel).
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, {0, 0, 0});
    cairo_move_to(cr, 24, 127.5);
    cairo_line_to(cr, Width - 24, 127.5);
    cairo_stroke(cr);
    SetColour(cr, DimGreen, 0.8);
    cairo_move_to(cr, 24, 128.5);
    cairo_line_to(cr, Width - 24, 128.5);
    cairo_stroke(cr);
    MetalRim(cr, frame, 0, 8);
    // Corner brackets in green over the rim.
    cairo_set_line_width(cr, 2.0);
    SetColour(cr, MediumGreen);
    for (int corner = 0; corner < 4; ++corner) {
        const double sx = corner % 2 ? -1 : 1, sy = corner / 2 ? -1 : 1;
        const double x = corner % 2 ? Width - 12 : 12, y = corner / 2 ? Height - 12 : 12;
        cairo_move_to(cr, x, y + sy * 14);
        cairo_line_to(cr, x, y);
        cairo_line_to(cr, x + sx * 14, y);
        cairo_stroke(cr);
    }
    for (int corner = 0; corner < 4; ++corner)
        Rivet(cr, corner % 2 ? Width - 4 : 4, corner / 2 ? Height - 4 : 4, 2.0);
    // Shadow just inside the rim, so the glass looks set into the frame.
    cairo_set_line_width(cr, 1.0);
    for (int step = 0; step < 3; ++step) {
        cairo_rectangle(cr, inside.x + step + 0.5, inside.y + step + 0.5, inside.w - 2 * step - 1,
                        inside.h - 2 * step - 1);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.6 - step * 0.2);
        cairo_stroke(cr);
    }
    // Signal strips set into the top and bottom rims.
    for (int edge = 0; edge < 2; ++edge) {
        const double y = edge ? Height - 6 : 2;
        cairo_rectangle(cr, Width / 2.0 - 62, y, 124, 4);
        cairo_set_source_rgb(cr, 0.01, 0.03, 0.02);
        cairo_fill(cr);
        cairo_pattern_t* strip = cairo_pattern_create_linear(Width / 2.0 - 60, 0, Width / 2.0 + 60, 0);
        cairo_pattern_add_color_stop_rgb(strip, 0, 0.0, 0.25, 0.05);
        cairo_pattern_add_color_stop_rgb(strip, 0.5, edge ? 0.2 : 0.6, 1.0, edge ? 0.2 : 0.6);
        cairo_pattern_add_color_stop_rgb(strip, 1, 0.0, 0.25, 0.05);
        cairo_rectangle(cr, Width / 2.0 - 60, y + 1, 120, 2);
        cairo_set_source(cr, strip);
        cairo_fill(cr);
        cairo_pattern_destroy(strip);
    }
    return canvas.FlattenOpaque();
}

// One row of the high-score table: 500 x 34, blitted without the key. The game writes the place
// at +20/+60, the name at +160 and the score at +390, 4 px below the strip's top.
Picture HiScoreRowStrip() {
    constexpr int Width = 500, Height = 34;
    Canvas canvas(Width, Height);
    cairo_t* cr = canvas.cr();
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, 0, 0, Height);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.05, 0.12, 0.10);
    cairo_pattern_add_color_stop_rgb(glass, 0.5, 0.015, 0.045, 0.04);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.03, 0.07, 0.06);
    cairo_set_source(cr, glass);
    cairo_paint(cr);
    cairo_pattern_destroy(glass);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, DimGreen, 0.9);
    cairo_move_to(cr, 0, 0.5);
    cairo_line_to(cr, Width, 0.5);
    cairo_stroke(cr);
    SetColour(cr, {0.06, 0.16, 0.10});
    cairo_move_to(cr, 0, Height - 0.5);
    cairo_line_to(cr, Width, Height - 0.5);
    cairo_stroke(cr);
    // Column separators between place, name and score.
    for (double x : {135.5, 375.5}) {
        SetColour(cr, {0, 0, 0});
        cairo_move_to(cr, x, 4);
        cairo_line_to(cr, x, Height - 4);
        cairo_stroke(cr);
        SetColour(cr, DimGreen, 0.5);
        cairo_move_to(cr, x + 1, 4);
        cairo_line_to(cr, x + 1, Height - 4);
        cairo_stroke(cr);
    }
    // End caps: short metal blocks with a green lamp.
    for (int side = 0; side < 2; ++side) {
        const double x = side ? Width - 8 : 0;
        cairo_rectangle(cr, x, 1, 8, Height - 2);
        SetColour(cr, {0.22, 0.27, 0.27});
        cairo_fill(cr);
        cairo_rectangle(cr, x + 3, Height / 2.0 - 5, 2, 10);
        SetColour(cr, MediumGreen);
        cairo_fill(cr);
    }
    return canvas.FlattenOpaque();
}

// The header frame at (388, 0), reaching the screen's top and right edges; titles are written at
// (420, 25), that is (32, 25) inside it.
Picture ScreenHeader() {
    constexpr int Width = 412, Height = 80;
    Canvas canvas(Width, Height);
    cairo_t* cr = canvas.cr();
    auto outline = [&](double inset) {
        cairo_new_path(cr);
        cairo_move_to(cr, inset, -10);
        cairo_line_to(cr, Width + 10, -10);
        cairo_line_to(cr, Width + 10, Height - 8 - inset);
        cairo_line_to(cr, 34 + inset * 0.4, Height - 8 - inset);
        cairo_line_to(cr, inset, Height - 42 - inset * 0.4);
        cairo_close_path(cr);
    };
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, 0, 0, Height);
    cairo_pattern_add_color_stop_rgb(metal, 0, 0.18, 0.22, 0.22);
    cairo_pattern_add_color_stop_rgb(metal, 0.85, 0.30, 0.36, 0.35);
    cairo_pattern_add_color_stop_rgb(metal, 1, 0.12, 0.15, 0.15);
    outline(0);
    cairo_set_source(cr, metal);
    cairo_fill(cr);
    cairo_pattern_destroy(metal);
    outline(0.5);
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgb(cr, 0.03, 0.05, 0.05);
    cairo_stroke(cr);
    outline(1.5);
    cairo_set_source_rgba(cr, 0.8, 0.9, 0.85, 0.5);
    cairo_stroke(cr);
    // Glass window behind the title.
    cairo_save(cr);
    outline(7);
    cairo_clip(cr);
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, 0, 0, Height);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.01, 0.03, 0.03);
    cairo_pattern_add_color_stop_rgb(glass, 0.6, 0.02, 0.08, 0.06);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.04, 0.16, 0.09);
    cairo_set_source(cr, glass);
    cairo_paint(cr);
    cairo_pattern_destroy(glass);
    FaintGrid(cr, {0, 0, Width, Height}, 10, 0.09);
    cairo_restore(cr);
    outline(7);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.04);
    cairo_stroke(cr);
    // A glowing trace along the lower edge, ending in a lamp.
    cairo_set_line_width(cr, 2.0);
    SetColour(cr, MediumGreen);
    cairo_move_to(cr, 44, Height - 11.0);
    cairo_line_to(cr, Width - 16, Height - 11.0);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, GlowGreen);
    cairo_move_to(cr, 44, Height - 11.5);
    cairo_line_to(cr, Width - 16, Height - 11.5);
    cairo_stroke(cr);
    for (int i = 0; i < 3; ++i)
        Rivet(cr, Width - 60 + i * 18, Height - 4.0, 1.6);
    return canvas.Flatten(MagentaKey);
}

} // namespace interface_art
