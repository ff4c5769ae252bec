#include "graphics/Text.h"
#include "platform/FontRenderer.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

namespace {

constexpr uint32_t Backdrop = Rgb(0, 0, 200);

std::unique_ptr<Surface> Backed(int width, int height) {
    auto surface = Surface::Create(width, height);
    surface->Fill(Backdrop);
    return surface;
}

int CountColour(const Surface& surface, uint32_t colour) {
    int count = 0;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            count += surface.Pixel(x, y) == colour;
    return count;
}

// The box of every pixel that differs from the backdrop; right and bottom exclusive.
TRect InkBox(const Surface& surface) {
    TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.Pixel(x, y) != Backdrop) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

bool SameCounters(const FontRendererCounters& a, const FontRendererCounters& b) {
    return a.FaceLoads == b.FaceLoads && a.SizeBuilds == b.SizeBuilds && a.GlyphRenders == b.GlyphRenders;
}

} // namespace

TEST(Text, FacesAreTheNamedOnesOrTheirStandIns) {
    const std::string title = FontFamilyInUse(FontFace::Crystal);
    const std::string edit = FontFamilyInUse(FontFace::CranberryCyr);
    EXPECT_TRUE(title == "Crystal" || title == "Jura") << title;
    EXPECT_TRUE(edit == "Cranberry Cyr" || edit == "Dosis") << edit;
}

TEST(Text, GlowRimTakesTheColourOfItsRoutine) {
    struct Case {
        const char* name;
        std::function<void(Surface&)> draw;
        uint32_t rim; // 0: no glow at all
    };
    const Case cases[] = {
        {"title bright", [](Surface& s) { DrawTitleText(10, 10, 46, 20, "HIL", s, ColourBrightGreen); },
         ColourLightGreen},
        {"title dim", [](Surface& s) { DrawTitleText(10, 10, 46, 20, "HIL", s, ColourDimGreen); },
         ColourMediumGreen},
        {"title red", [](Surface& s) { DrawTitleText(10, 10, 46, 20, "HIL", s, ColourRed); },
         ColourMediumGreen},
        {"menu glow", [](Surface& s) { DrawMenuText(10, 10, 46, 20, "HIL", s, ColourDimGreen, true); },
         ColourLightGreen},
        {"menu plain", [](Surface& s) { DrawMenuText(10, 10, 46, 20, "HIL", s, ColourBrightGreen, false); },
         0},
        {"game glow",
         [](Surface& s) { DrawGameText(10, 10, 46, 20, "HIL", s, ColourRed, AlignLeftTop, true); },
         ColourLightGreen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto surface = Backed(200, 80);
        c.draw(*surface);
        for (uint32_t rim : {ColourLightGreen, ColourMediumGreen}) {
            if (rim == c.rim)
                EXPECT_GT(CountColour(*surface, rim), 0);
            else
                EXPECT_EQ(CountColour(*surface, rim), 0);
        }
        // The rim lies below and right of the strokes: the top-left ink is the text's own colour.
        const TRect box = InkBox(*surface);
        bool topRowHasRim = false;
        for (int x = box.left; x < box.right; ++x)
            topRowHasRim |= c.rim != 0 && surface->Pixel(x, box.top) == c.rim;
        EXPECT_FALSE(topRowHasRim);
    }
}

TEST(Text, RightAlignedNumbersEndAtTheSameColumnLeftOfX) {
    constexpr int RightEdge = 150;
    int ends[2] = {};
    const char* numbers[] = {"7", "98767"};
    for (int i = 0; i < 2; ++i) {
        auto surface = Backed(200, 40);
        DrawGameText(RightEdge, 5, 18, 10, numbers[i], *surface, ColourBrightGreen, AlignRightTop, false);
        ends[i] = InkBox(*surface).right;
    }
    EXPECT_EQ(ends[0], ends[1]);
    EXPECT_LE(ends[0], RightEdge);
    EXPECT_GE(ends[0], RightEdge - 4);

    auto surface = Backed(200, 40);
    DrawGameText(20, 5, 18, 10, "98767", *surface, ColourBrightGreen, AlignLeftTop, false);
    EXPECT_EQ(InkBox(*surface).right - 20,
              ends[1] - (RightEdge - MeasureTextLine(FontFace::Crystal, 18, 10, "98767")));
}

TEST(Text, EmptyStringLeavesTheSurfaceUntouched) {
    auto surface = Backed(100, 50);
    const FontRendererCounters before = FontCounters();
    DrawTitleText(5, 5, 24, 16, "", *surface, ColourBrightGreen);
    DrawGameText(90, 5, 18, 10, "", *surface, ColourBrightGreen, AlignRightTop, true);
    DrawMenuText(5, 5, 18, 12, "", *surface, ColourDimGreen, true);
    DrawEditText(5, 5, 32, 20, "", *surface, ColourBrightGreen);
    EXPECT_EQ(CountColour(*surface, Backdrop), 100 * 50);
    EXPECT_EQ(MeasureEditText(32, 20, ""), 0);
    EXPECT_TRUE(SameCounters(before, FontCounters()));
}

TEST(Text, BackgroundShowsBetweenAndInsideTheStrokes) {
    auto surface = Backed(200, 80);
    DrawTitleText(10, 10, 46, 20, "OHO", *surface, ColourBrightGreen);
    const TRect box = InkBox(*surface);
    ASSERT_LT(box.left, box.right);
    int backdropInside = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            backdropInside += surface->Pixel(x, y) == Backdrop;
    EXPECT_GT(backdropInside, (box.right - box.left) * (box.bottom - box.top) / 4);
    EXPECT_GT(CountColour(*surface, ColourBrightGreen), 50); // solid stroke interiors in the exact colour
}

TEST(Text, HeightIsTheCellAndWidthScalesOnItsOwn) {
    auto surface = Backed(300, 120);
    constexpr int Top = 20;
    constexpr int Height = 46;
    DrawMenuText(10, Top, Height, 20, "Hgjy", *surface, ColourBrightGreen, false);
    const TRect box = InkBox(*surface);
    EXPECT_GE(box.top, Top);
    EXPECT_LE(box.bottom, Top + Height);
    EXPECT_GT(box.bottom - box.top, Height / 2);

    const int narrow = MeasureTextLine(FontFace::Crystal, Height, 10, "Average width text");
    const int wide = MeasureTextLine(FontFace::Crystal, Height, 20, "Average width text");
    EXPECT_NEAR(static_cast<double>(wide) / narrow, 2.0, 0.15);
}

// The line sits in the middle of its cell: the band from the capitals' top to the descenders' bottom
// has as much room above it as below; and a requested width is the average of ordinary lowercase text,
// so a line of n letters at width w runs about n x w.
TEST(Text, InkIsCentredInTheCellAndLinesAreAsLongAsTheirWidthAsks) {
    for (const int height : {18, 24, 32}) {
        SCOPED_TRACE(height);
        auto surface = Backed(400, 100);
        constexpr int Top = 20;
        DrawMenuText(10, Top, height, height * 5 / 8, "Hgjy", *surface, ColourBrightGreen, false);
        const TRect box = InkBox(*surface);
        EXPECT_NEAR(box.top - Top, Top + height - box.bottom, 2);
    }
    const std::string line = "the quick brown fox jumps over a lazy dog";
    const int width = MeasureTextLine(FontFace::Crystal, 32, 20, line);
    EXPECT_NEAR(static_cast<double>(width) / (20.0 * line.size()), 1.0, 0.12);
}

// The text edit's longest name with descenders stays inside both fields' frames.
TEST(Text, EditTextIsCentredInsideItsField) {
    struct Field {
        int top, height;
    };
    for (const Field field : {Field{280, 34}, Field{409, 41}}) {
        for (const char* text : {"Gypsyquayq", "GYPSY"}) {
            SCOPED_TRACE(testing::Message() << field.height << " " << text);
            auto surface = Backed(400, 600);
            const int top = EditTextTopFor(field.top + field.height / 2, 32, 20);
            DrawEditText(12, top, 32, 20, text, *surface, ColourBrightGreen);
            const TRect box = InkBox(*surface);
            const InkRows ink = EditTextInk(32, 20);
            EXPECT_NEAR(box.top, top + ink.top, 1) << "the capitals reach the ink's top row";
            if (text[1] == 'y') {
                EXPECT_NEAR(box.bottom, top + ink.bottom, 1) << "the descenders reach its bottom row";
            }
            EXPECT_NEAR(top + ink.top - field.top, field.top + field.height - (top + ink.bottom), 1);
        }
    }
}

TEST(Text, SecondDrawOfALineUsesTheCaches) {
    auto surface = Backed(300, 60);
    DrawGameText(10, 5, 18, 10, "Score 0123456789", *surface, ColourBrightGreen, AlignLeftTop, true);
    const int edit = MeasureEditText(32, 20, "Beam");
    const FontRendererCounters warm = FontCounters();
    DrawGameText(10, 5, 18, 10, "Score 0123456789", *surface, ColourBrightGreen, AlignLeftTop, true);
    DrawGameText(280, 30, 18, 10, "9876", *surface, ColourBrightGreen, AlignRightTop, false);
    EXPECT_EQ(MeasureEditText(32, 20, "Beam"), edit);
    EXPECT_TRUE(SameCounters(warm, FontCounters()));

    DrawGameText(10, 5, 19, 10, "S", *surface, ColourBrightGreen, AlignLeftTop, false);
    EXPECT_EQ(FontCounters().FaceLoads, warm.FaceLoads); // a new size reuses the open face
    EXPECT_EQ(FontCounters().SizeBuilds, warm.SizeBuilds + 1);
}

TEST(Text, LinesHangingOffEveryEdgeAreClipped) {
    constexpr int W = 60, H = 40;
    const int length = MeasureTextLine(FontFace::Crystal, 24, 12, "WMWM");
    struct Case {
        const char* name;
        int x, y;
        TRect untouched; // a band the text must not reach, in particular through a wrapped row
        bool visible;
    };
    const Case cases[] = {
        {"left", 10 - length, 5, TRect{14, 0, W, H}, true},
        {"right", W - 10, 5, TRect{0, 0, W - 12, H}, true},
        {"top", 5, -15, TRect{0, 12, W, H}, true},
        {"bottom", 5, H - 14, TRect{0, 0, W, H - 15}, true},
        {"far away", INT_MAX - 5, INT_MIN + 5, TRect{0, 0, W, H}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto surface = Backed(W, H);
        DrawTitleText(c.x, c.y, 24, 12, "WMWM", *surface, ColourBrightGreen);
        for (int y = c.untouched.top; y < c.untouched.bottom; ++y)
            for (int x = c.untouched.left; x < c.untouched.right; ++x)
                ASSERT_EQ(surface->Pixel(x, y), Backdrop) << x << "," << y;
        EXPECT_EQ(CountColour(*surface, Backdrop) < W * H, c.visible);
    }
}
