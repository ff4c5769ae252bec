#include "platform/FontRenderer.h"

#include "platform/Surface.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <type_traits>
#include <vector>

namespace {

constexpr int FontFaceCount = 2;
constexpr int MaxCachedSizes = 32; // the screens use a couple of dozen (height, width) pairs
constexpr int GlyphsPerSize = 256; // one per byte value
constexpr int MaxFontPixels = 512; // larger requests are clamped, so one glyph stays a small bitmap
constexpr uint8_t FullCoverage = 255;
constexpr int FarOffSurface =
    1 << 24; // positions beyond this are off any surface; keeps the pen arithmetic in range

// The face the program asks for, and the stand-in chosen for this game's look when it is missing.
struct FaceChoice {
    const char* Family;
    int Weight; // fontconfig weight
    const char* StandIn;
    int StandInWeight;
};
constexpr std::array<FaceChoice, FontFaceCount> FaceChoices{{
    {"Crystal", FC_WEIGHT_EXTRABOLD, "Jura", FC_WEIGHT_BOLD},
    {"Cranberry Cyr", FC_WEIGHT_BOLD, "Dosis", FC_WEIGHT_EXTRABOLD},
}};

template <auto Release> struct CallRelease {
    template <typename T> void operator()(T* object) const { Release(object); }
};
using FtLibraryHandle = std::unique_ptr<std::remove_pointer_t<FT_Library>, CallRelease<FT_Done_FreeType>>;
using FtFaceHandle = std::unique_ptr<std::remove_pointer_t<FT_Face>, CallRelease<FT_Done_Face>>;
using FcConfigHandle = std::unique_ptr<FcConfig, CallRelease<FcConfigDestroy>>;
using FcPatternHandle = std::unique_ptr<FcPattern, CallRelease<FcPatternDestroy>>;

struct LoadedFace {
    bool Tried = false;
    FT_Long AverageWidth = 1;       // font units, see AverageCharWidth
    FT_Long Capitals = 1;           // cap height in font units
    std::vector<uint8_t> FileBytes; // FreeType reads glyph outlines from here, never from the disk again
    FtFaceHandle Face;
    bool Embolden = false; // the mapper asks for a synthetic bold when the face is too light
    std::string Family;
};

struct CachedGlyph {
    bool Ready = false;
    int16_t Left = 0;
    int16_t Top = 0;
    uint16_t Width = 0;
    uint16_t Rows = 0;
    int32_t Advance = 0;
    uint32_t Offset = 0; // into the size's coverage pool
};

// One (face, height, width) with its own FreeType size and the glyphs rendered at it.
struct SizeEntry {
    SizeEntry() = default;
    SizeEntry(const SizeEntry&) = delete;
    SizeEntry& operator=(const SizeEntry&) = delete;
    ~SizeEntry() { Release(); }

    void Release() {
        if (Size) FT_Done_Size(Size);
        Size = nullptr;
        InUse = false;
        Glyphs.fill(CachedGlyph{});
        Coverage.clear(); // keeps its capacity for the next size in this slot
    }

    bool InUse = false;
    FontFace Face = FontFace::Crystal;
    int Height = 0;
    int Width = 0;
    FT_Size Size = nullptr;
    int Baseline = 0; // pixels below the top of the cell
    uint64_t LastUse = 0;
    std::array<CachedGlyph, GlyphsPerSize> Glyphs{};
    std::vector<uint8_t> Coverage;
};

bool FamilyMatches(FcPattern* match, const char* family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family)) == 0) return true;
    return false;
}

FcPatternHandle MatchFamily(FcConfig* config, const char* family, int weight) {
    FcPatternHandle pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, weight);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    return FcPatternHandle(FcFontMatch(config, pattern.get(), &result));
}

std::string FirstFamily(FcPattern* match) {
    FcChar8* name = nullptr;
    return FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch ? reinterpret_cast<char*>(name)
                                                                           : "";
}

// Letter frequencies (per thousand, space included) of the classic definition of a font's average
// character width, the one the fonts of the Windows 9x era carried: newer fonts average every glyph
// they hold, which counts capitals, figures and accented letters and comes out about a sixth wider,
// so text drawn at a requested width would run short of where those screens expect it to end.
constexpr std::array<int, 26> LowercaseWeights = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6, 35, 20,
                                                  56, 56, 17, 4,  49,  56, 71, 31, 10, 18, 3, 18, 2};
constexpr int SpaceWeight = 166;

FT_Pos AdvanceUnits(FT_Face face, FT_ULong code) {
    if (FT_Get_Char_Index(face, code) == 0 || FT_Load_Char(face, code, FT_LOAD_NO_SCALE) != 0) return 0;
    return face->glyph->advance.x;
}

// The width a logical font's requested width stands for, in font units: the weighted average of the
// lowercase letters and the space, or, for a face without them, OS/2's average or half an em.
FT_Long AverageCharWidth(FT_Face face) {
    FT_Pos weighted = SpaceWeight * AdvanceUnits(face, ' ');
    bool complete = weighted > 0;
    for (size_t letter = 0; letter < LowercaseWeights.size() && complete; ++letter) {
        const FT_Pos advance = AdvanceUnits(face, 'a' + letter);
        complete = advance > 0;
        weighted += LowercaseWeights[letter] * advance;
    }
    if (complete) return std::max<FT_Long>(1, weighted / 1000);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->xAvgCharWidth > 0) return os2->xAvgCharWidth;
    return std::max<FT_Long>(1, face->units_per_EM / 2);
}

// Height of the capitals in font units: OS/2's figure, else the top of "H", else the ascender.
FT_Long CapHeight(FT_Face face) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version >= 2 && os2->sCapHeight > 0) return os2->sCapHeight;
    if (FT_Get_Char_Index(face, 'H') != 0 && FT_Load_Char(face, 'H', FT_LOAD_NO_SCALE) == 0)
        return face->glyph->metrics.horiBearingY;
    return face->ascender;
}

uint32_t MixChannel(uint32_t under, uint32_t over, uint32_t coverage) {
    return (under * (FullCoverage - coverage) + over * coverage + 127) / FullCoverage;
}

uint32_t Mix(uint32_t under, uint32_t over, uint32_t coverage) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= MixChannel((under >> shift) & 0xFF, (over >> shift) & 0xFF, coverage) << shift;
    return out;
}

void BlendGlyph(const CachedGlyph& glyph, const uint8_t* coverage, int left, int top, Surface& target,
                uint32_t rgb) {
    const int x0 = std::max(left, 0);
    const int x1 = std::min(left + glyph.Width, target.Width());
    const int y0 = std::max(top, 0);
    const int y1 = std::min(top + glyph.Rows, target.Height());
    for (int y = y0; y < y1; ++y) {
        uint32_t* row = target.RowToDrawOn(y, x0, x1);
        const uint8_t* source = coverage + static_cast<size_t>(y - top) * glyph.Width;
        for (int x = x0; x < x1; ++x) {
            const uint32_t alpha = source[x - left];
            if (alpha == FullCoverage)
                row[x] = rgb;
            else if (alpha != 0)
                row[x] = Mix(row[x] & 0xFFFFFF, rgb, alpha);
        }
    }
}

class FontRenderer {
  public:
    static FontRenderer& Instance() {
        static FontRenderer renderer;
        return renderer;
    }

    SizeEntry* FindSize(FontFace face, int height, int width);
    const CachedGlyph& Glyph(SizeEntry& size, uint8_t code);
    LoadedFace& Face(FontFace face);
    const FontRendererCounters& Counters() const { return counters; }

  private:
    FontRenderer();
    bool OpenFace(FontFace face, LoadedFace& loaded);
    bool OpenMatchedFile(FcPattern* match, LoadedFace& loaded);
    bool BuildSize(SizeEntry& entry, FontFace face, int height, int width);
    SizeEntry& SlotForNewSize();

    // Members are destroyed bottom-up: sizes before their faces, faces before the library.
    FtLibraryHandle library;
    FcConfigHandle fontConfig;
    std::array<LoadedFace, FontFaceCount> faces;
    std::array<SizeEntry, MaxCachedSizes> sizes;
    uint64_t useClock = 0;
    FontRendererCounters counters;
};

FontRenderer::FontRenderer() {
    FT_Library raw = nullptr;
    if (FT_Init_FreeType(&raw) == 0)
        library.reset(raw);
    else
        std::fprintf(stderr, "FreeType could not be started; no text will be drawn.\n");
}

LoadedFace& FontRenderer::Face(FontFace face) {
    LoadedFace& loaded = faces[static_cast<size_t>(face)];
    if (!loaded.Tried) {
        loaded.Tried = true;
        if (library && !OpenFace(face, loaded))
            std::fprintf(stderr,
                         "No font could be opened for \"%s\" (install fonts-jura and fonts-dosis); "
                         "its text will not be drawn.\n",
                         FaceChoices[static_cast<size_t>(face)].Family);
        if (std::all_of(faces.begin(), faces.end(), [](const LoadedFace& f) { return f.Tried; }))
            fontConfig.reset();
    }
    return loaded;
}

// The face itself when it is installed, else this game's stand-in, else whatever the font mapper
// offers for the name.
bool FontRenderer::OpenFace(FontFace face, LoadedFace& loaded) {
    if (!fontConfig) fontConfig.reset(FcInitLoadConfigAndFonts());
    if (!fontConfig) return false;
    const FaceChoice& choice = FaceChoices[static_cast<size_t>(face)];
    FcPatternHandle wanted = MatchFamily(fontConfig.get(), choice.Family, choice.Weight);
    if (wanted && FamilyMatches(wanted.get(), choice.Family) && OpenMatchedFile(wanted.get(), loaded))
        return true;
    FcPatternHandle standIn = MatchFamily(fontConfig.get(), choice.StandIn, choice.StandInWeight);
    if (standIn && FamilyMatches(standIn.get(), choice.StandIn) && OpenMatchedFile(standIn.get(), loaded))
        return true;
    return wanted && OpenMatchedFile(wanted.get(), loaded);
}

bool FontRenderer::OpenMatchedFile(FcPattern* match, LoadedFace& loaded) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return false;
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcBool embolden = FcFalse;
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);

    std::ifstream in(reinterpret_cast<const char*>(file), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return false;
    FT_Face raw = nullptr;
    if (bytes.empty() ||
        FT_New_Memory_Face(library.get(), bytes.data(), static_cast<FT_Long>(bytes.size()), index, &raw) != 0)
        return false;
    FtFaceHandle face(raw);
    if (!FT_IS_SCALABLE(raw)) return false;
    ++counters.FaceLoads;
    loaded.FileBytes = std::move(bytes); // the vector's buffer moves with it, so the face stays valid
    loaded.Face = std::move(face);
    loaded.Embolden = embolden == FcTrue;
    loaded.Family = FirstFamily(match);
    loaded.AverageWidth = AverageCharWidth(raw);
    loaded.Capitals = CapHeight(raw);
    return true;
}

SizeEntry* FontRenderer::FindSize(FontFace face, int height, int width) {
    height = std::min(height, MaxFontPixels);
    width = std::min(width, MaxFontPixels);
    if (height < 1) return nullptr;
    for (SizeEntry& entry : sizes) {
        if (entry.InUse && entry.Face == face && entry.Height == height && entry.Width == width) {
            entry.LastUse = ++useClock;
            return &entry;
        }
    }
    if (!Face(face).Face) return nullptr;
    SizeEntry& entry = SlotForNewSize();
    if (!BuildSize(entry, face, height, width)) return nullptr;
    entry.LastUse = ++useClock;
    return &entry;
}

SizeEntry& FontRenderer::SlotForNewSize() {
    auto oldest = std::min_element(sizes.begin(), sizes.end(), [](const SizeEntry& a, const SizeEntry& b) {
        return a.InUse == b.InUse ? a.LastUse < b.LastUse : !a.InUse;
    });
    oldest->Release();
    return *oldest;
}

// Height is the full cell and width the average character width, each on its own axis, as a
// Windows logical font sizes them. A width of 0 keeps the face's own proportions.
//
// Where the line sits in its cell: the screens place text by the top of a cell whose ink fills it
// evenly, capitals near the top and descenders near the bottom. Faces of today keep more room above
// the capitals (for accents) than below the descenders, which drops their letters towards and through
// the lower edge of a field; so the baseline is set to centre the band from the capitals' top to the
// descenders' bottom in the cell.
bool FontRenderer::BuildSize(SizeEntry& entry, FontFace face, int height, int width) {
    const LoadedFace& loaded = Face(face);
    FT_Face ftFace = loaded.Face.get();
    if (FT_New_Size(ftFace, &entry.Size) != 0) {
        entry.Size = nullptr;
        return false;
    }
    FT_Activate_Size(entry.Size);
    const FT_Long cellUnits = std::max<FT_Long>(1, ftFace->ascender - ftFace->descender);
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_SCALES;
    request.height = FT_DivFix(height * 64, cellUnits);
    request.width = width > 0 ? FT_DivFix(width * 64, loaded.AverageWidth) : request.height;
    if (FT_Request_Size(ftFace, &request) != 0) {
        entry.Release();
        return false;
    }
    ++counters.SizeBuilds;
    entry.InUse = true;
    entry.Face = face;
    entry.Height = height;
    entry.Width = width;
    const FT_Long inkUnits = loaded.Capitals - ftFace->descender; // capitals' top to descenders' bottom
    const FT_Long baselineUnits = (cellUnits + inkUnits) / 2 + ftFace->descender;
    entry.Baseline = static_cast<int>((FT_MulFix(baselineUnits, entry.Size->metrics.y_scale) + 32) >> 6);
    return true;
}

const CachedGlyph& FontRenderer::Glyph(SizeEntry& size, uint8_t code) {
    CachedGlyph& glyph = size.Glyphs[code];
    if (glyph.Ready) return glyph;
    glyph.Ready = true; // a glyph that fails to render stays empty instead of being retried every frame
    ++counters.GlyphRenders;
    const LoadedFace& loaded = faces[static_cast<size_t>(size.Face)];
    FT_Face face = loaded.Face.get();
    FT_Activate_Size(size.Size);
    if (FT_Load_Char(face, code, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) != 0) return glyph;
    if (loaded.Embolden) FT_GlyphSlot_Embolden(face->glyph);
    glyph.Advance = static_cast<int32_t>((face->glyph->advance.x + 32) >> 6);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return glyph;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
    glyph.Left = static_cast<int16_t>(face->glyph->bitmap_left);
    glyph.Top = static_cast<int16_t>(face->glyph->bitmap_top);
    glyph.Width = static_cast<uint16_t>(bitmap.width);
    glyph.Rows = static_cast<uint16_t>(bitmap.rows);
    glyph.Offset = static_cast<uint32_t>(size.Coverage.size());
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const uint8_t* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        size.Coverage.insert(size.Coverage.end(), source, source + bitmap.width);
    }
    return glyph;
}

int LineWidth(FontRenderer& renderer, SizeEntry& size, const std::string& text) {
    int width = 0;
    for (char c : text)
        width += renderer.Glyph(size, static_cast<uint8_t>(c)).Advance;
    return width;
}

int LineStart(int x, int width, TextAnchor anchor) {
    switch (anchor) {
    case TextAnchor::Right:
        return x - width;
    case TextAnchor::Centre:
        return x - width / 2;
    case TextAnchor::Left:
        break;
    }
    return x;
}

} // namespace

void RenderTextLine(FontFace face, int height, int width, int x, int y, TextAnchor anchor,
                    const std::string& text, Surface& target, uint32_t rgb) {
    if (text.empty() || std::abs(x) > FarOffSurface || std::abs(y) > FarOffSurface) return;
    FontRenderer& renderer = FontRenderer::Instance();
    SizeEntry* size = renderer.FindSize(face, height, width);
    if (!size) return;
    int penX = LineStart(x, anchor == TextAnchor::Left ? 0 : LineWidth(renderer, *size, text), anchor);
    const int baseline = y + size->Baseline;
    rgb &= 0xFFFFFF;
    for (char c : text) {
        const CachedGlyph& glyph = renderer.Glyph(*size, static_cast<uint8_t>(c));
        if (glyph.Width > 0)
            BlendGlyph(glyph, size->Coverage.data() + glyph.Offset, penX + glyph.Left, baseline - glyph.Top,
                       target, rgb);
        penX += glyph.Advance;
    }
}

// Measured on the glyphs as they are drawn, hinting and emboldening included: a face's own figures
// for its capitals and descender can be pixels away from its ink.
InkRows TextInkRows(FontFace face, int height, int width) {
    FontRenderer& renderer = FontRenderer::Instance();
    SizeEntry* size = renderer.FindSize(face, height, width);
    if (!size) return {};
    int above = 0, below = 0; // pixels over and under the baseline
    for (uint8_t capital = 'A'; capital <= 'Z'; ++capital)
        above = std::max<int>(above, renderer.Glyph(*size, capital).Top);
    for (const char descender : std::string_view("gjpqy")) {
        const CachedGlyph& glyph = renderer.Glyph(*size, static_cast<uint8_t>(descender));
        below = std::max(below, glyph.Rows - glyph.Top);
    }
    return {size->Baseline - above, size->Baseline + below};
}

int TextInkMiddle(FontFace face, int height, int width) {
    const InkRows ink = TextInkRows(face, height, width);
    return (ink.top + ink.bottom) / 2;
}

int MeasureTextLine(FontFace face, int height, int width, const std::string& text) {
    if (text.empty()) return 0;
    FontRenderer& renderer = FontRenderer::Instance();
    SizeEntry* size = renderer.FindSize(face, height, width);
    return size ? LineWidth(renderer, *size, text) : 0;
}

std::string FontFamilyInUse(FontFace face) {
    return FontRenderer::Instance().Face(face).Family;
}

FontRendererCounters FontCounters() {
    return FontRenderer::Instance().Counters();
}
