#include "InterfaceArt.h"

#include <algorithm>
#include <cmath>

namespace interface_art {

void RoundedBoxPath(cairo_t* cr, Box box, double radius) {
    const double r = std::min({radius, box.w / 2, box.h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, box.x + box.w - r, box.y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, box.x + box.w - r, box.y + box.h - r, r, 0, M_PI / 2);
    cairo_arc(cr, box.x + r, box.y + box.h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, box.x + r, box.y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void ChamferedBoxPath(cairo_t* cr, Box box, double cut) {
    const double c = std::min({cut, box.w / 2, box.h / 2});
    cairo_new_sub_path(cr);
    cairo_move_to(cr, box.x + c, box.y);
    cairo_line_to(cr, box.x + box.w - c, box.y);
    cairo_line_to(cr, box.x + box.w, box.y + c);
    cairo_line_to(cr, box.x + box.w, box.y + box.h - c);
    cairo_line_to(cr, box.x + box.w - c, box.y + box.h);
    cairo_line_to(cr, box.x + c, box.y + box.h);
    cairo_line_to(cr, box.x, box.y + box.h - c);
    cairo_line_to(cr, box.x, box.y + c);
    cairo_close_path(cr);
}

void MetalRim(cairo_t* cr, Box box, double cut, double thickness) {
    // Body of the rim: brushed gunmetal, lighter toward the top.
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, box.y, 0, box.y + box.h);
    AddStop(metal, 0.0, {0.62, 0.68, 0.66});
    AddStop(metal, 0.08, {0.36, 0.42, 0.41});
    AddStop(metal, 0.5, {0.20, 0.25, 0.25});
    AddStop(metal, 0.92, {0.13, 0.16, 0.16});
    AddStop(metal, 1.0, {0.30, 0.35, 0.34});
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    ChamferedBoxPath(cr, box, cut);
    ChamferedBoxPath(cr, box.Inset(thickness), std::max(0.0, cut - thickness * 0.4));
    cairo_set_source(cr, metal);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_pattern_destroy(metal);

    // Bevel light: a bright outer edge and a shadowed inner edge.
    cairo_set_line_width(cr, 1.0);
    ChamferedBoxPath(cr, box.Inset(0.5), cut);
    cairo_set_source_rgba(cr, 0.03, 0.05, 0.05, 1.0);
    cairo_stroke(cr);
    ChamferedBoxPath(cr, box.Inset(1.5), cut - 0.6);
    cairo_set_source_rgba(cr, 0.80, 0.88, 0.84, 0.55);
    cairo_stroke(cr);
    ChamferedBoxPath(cr, box.Inset(thickness - 0.5), std::max(0.0, cut - thickness * 0.4));
    cairo_set_source_rgba(cr, 0.02, 0.04, 0.03, 1.0);
    cairo_stroke(cr);
    // A thin green trace along the rim's middle gives the hardware the game's colour.
    if (thickness >= 5) {
        ChamferedBoxPath(cr, box.Inset(thickness / 2), std::max(0.0, cut - thickness * 0.2));
        SetColour(cr, DimGreen, 0.55);
        cairo_stroke(cr);
    }
}

void GlassFill(cairo_t* cr, Box box, double radius, Glass kind) {
    const bool lit = kind == Glass::Lit;
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, box.y, 0, box.y + box.h);
    if (kind == Glass::Tinted) {
        AddStop(glass, 0.0, {0.06, 0.22, 0.10});
        AddStop(glass, 0.45, {0.02, 0.10, 0.05});
        AddStop(glass, 0.55, {0.01, 0.06, 0.03});
        AddStop(glass, 1.0, {0.03, 0.15, 0.07});
    } else if (lit) {
        AddStop(glass, 0.0, {0.10, 0.42, 0.14});
        AddStop(glass, 0.45, {0.03, 0.24, 0.06});
        AddStop(glass, 0.55, {0.02, 0.17, 0.04});
        AddStop(glass, 1.0, {0.05, 0.32, 0.09});
    } else {
        AddStop(glass, 0.0, {0.07, 0.12, 0.11});
        AddStop(glass, 0.45, {0.03, 0.06, 0.06});
        AddStop(glass, 0.55, {0.01, 0.03, 0.03});
        AddStop(glass, 1.0, {0.03, 0.08, 0.06});
    }
    RoundedBoxPath(cr, box, radius);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);

    // Gloss: a faint light band over the upper half.
    cairo_save(cr);
    RoundedBoxPath(cr, box, radius);
    cairo_clip(cr);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, box.y, 0, box.y + box.h * 0.5);
    AddStop(gloss, 0.0, {1, 1, 1}, lit ? 0.22 : 0.10);
    AddStop(gloss, 1.0, {1, 1, 1}, 0.0);
    cairo_rectangle(cr, box.x, box.y, box.w, box.h * 0.5);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);

    // Edge line: green when lit, a cold grey-green otherwise.
    cairo_set_line_width(cr, 1.0);
    RoundedBoxPath(cr, box.Inset(0.5), radius);
    if (kind != Glass::Dark)
        SetColour(cr, GlowGreen, 0.95);
    else
        cairo_set_source_rgba(cr, 0.20, 0.34, 0.28, 0.9);
    cairo_stroke(cr);
}

void OpaqueHalo(cairo_t* cr, Box outer, Box inner, double radius) {
    const Rgb darkness{0.0, 0.07, 0.02};
    const int rings = static_cast<int>(
        std::max({inner.x - outer.x, inner.y - outer.y, outer.x + outer.w - inner.x - inner.w,
                  outer.y + outer.h - inner.y - inner.h}));
    for (int ring = 0; ring <= rings; ++ring) {
        const double t = rings == 0 ? 1.0 : static_cast<double>(ring) / rings;
        // Interpolate the box from outer to inner, the colour from darkness to glow.
        const Box box{outer.x + (inner.x - outer.x) * t, outer.y + (inner.y - outer.y) * t,
                      outer.w + (inner.w - outer.w) * t, outer.h + (inner.h - outer.h) * t};
        RoundedBoxPath(cr, box, radius + (1 - t) * rings);
        SetColour(cr, Mix(darkness, GlowGreen, t * t));
        cairo_fill(cr);
    }
}

void Rivet(cairo_t* cr, double x, double y, double radius) {
    cairo_pattern_t* head =
        cairo_pattern_create_radial(x - radius * 0.35, y - radius * 0.35, 0, x, y, radius);
    AddStop(head, 0.0, {0.85, 0.90, 0.88});
    AddStop(head, 0.6, {0.35, 0.40, 0.40});
    AddStop(head, 1.0, {0.08, 0.10, 0.10});
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    cairo_set_source(cr, head);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
}

void SelectTitleFont(cairo_t* cr, double pixelSize) {
    kit::SelectFace(cr, kit::Face::JuraBold, pixelSize);
}

LabelPlacement CentreLabel(cairo_t* cr, const char* text, double pixelSize, Box box) {
    SelectTitleFont(cr, pixelSize);
    cairo_text_extents_t ink;
    cairo_text_extents(cr, text, &ink);
    cairo_text_extents_t capital;
    cairo_text_extents(cr, "H", &capital);
    const double left = std::round(box.CentreX() - ink.width / 2 - ink.x_bearing);
    const double baseline = std::round(box.CentreY() - capital.y_bearing / 2);
    return {left, baseline};
}

static void LabelPath(cairo_t* cr, const char* text, double x, double y) {
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text);
}

void DrawLabel(cairo_t* cr, const char* text, double pixelSize, Box box, bool selected) {
    const LabelPlacement at = CentreLabel(cr, text, pixelSize, box);
    cairo_save(cr);
    if (selected) {
        // Soft glow: wide translucent strokes under the letters.
        for (double width : {7.0, 4.5, 2.5}) {
            LabelPath(cr, text, at.left, at.baseline);
            cairo_set_line_width(cr, width);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            SetColour(cr, GlowGreen, width > 6 ? 0.12 : width > 4 ? 0.22 : 0.45);
            cairo_stroke(cr);
        }
    }
    // The game's text look: a lighter copy one pixel down and right, the text itself over it.
    LabelPath(cr, text, at.left + 1, at.baseline + 1);
    SetColour(cr, selected ? GlowGreen : MediumGreen);
    cairo_fill(cr);
    LabelPath(cr, text, at.left, at.baseline);
    SetColour(cr, selected ? BrightGreen : DimGreen);
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace interface_art
