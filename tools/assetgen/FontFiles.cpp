#include "FontFiles.h"

#include <cairo-ft.h>
#include <fontconfig/fcfreetype.h>
#include <fontconfig/fontconfig.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace kit {
namespace {

struct FontFile {
    const char* path;
    const char* family;
    const char* style;
    const char* package;
};

// In the order of Face.
constexpr std::array<FontFile, 2> FontFiles = {{
    {"/usr/share/fonts/opentype/jura/Jura-Bold.otf", "Jura", "Bold", "fonts-jura"},
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", "DejaVu Sans", "Bold", "fonts-dejavu-core"},
}};

std::array<cairo_font_face_t*, FontFiles.size()> OpenedFaces{};

[[noreturn]] void StopForFont(const FontFile& file, const char* problem) {
    std::fprintf(stderr, "assetgen: the font file %s %s; install the Debian package %s\n", file.path, problem,
                 file.package);
    std::exit(1);
}

bool HasString(FcPattern* pattern, const char* object, const char* wanted) {
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(pattern, object, i, &value) == FcResultMatch; ++i)
        if (!std::strcmp(reinterpret_cast<const char*>(value), wanted)) return true;
    return false;
}

// The rendering settings are part of the face, not taken from the machine's fontconfig configuration:
// grey antialiasing and slight hinting, as Debian's defaults give.
void PinRendering(FcPattern* pattern) {
    FcPatternAddBool(pattern, FC_ANTIALIAS, FcTrue);
    FcPatternAddBool(pattern, FC_HINTING, FcTrue);
    FcPatternAddInteger(pattern, FC_HINT_STYLE, FC_HINT_SLIGHT);
    FcPatternAddBool(pattern, FC_AUTOHINT, FcFalse);
    FcPatternAddInteger(pattern, FC_RGBA, FC_RGBA_NONE);
}

cairo_font_face_t* OpenFace(const FontFile& file) {
    if (access(file.path, R_OK) != 0) StopForFont(file, "is missing");
    int faceCount = 0;
    FcPattern* pattern = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.path), 0, nullptr, &faceCount);
    if (!pattern) StopForFont(file, "cannot be read as a font");
    if (!HasString(pattern, FC_FAMILY, file.family) || !HasString(pattern, FC_STYLE, file.style)) {
        FcPatternDestroy(pattern);
        const std::string expected = std::string("is not ") + file.family + " " + file.style;
        StopForFont(file, expected.c_str());
    }
    PinRendering(pattern);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
    FcPatternDestroy(pattern);
    if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) StopForFont(file, "cannot be opened by cairo");
    return face;
}

void OpenFacesOnce() {
    if (OpenedFaces[0]) return;
    for (size_t i = 0; i < FontFiles.size(); ++i)
        OpenedFaces[i] = OpenFace(FontFiles[i]);
}

} // namespace

void SelectFace(cairo_t* cr, Face face, double pixelSize) {
    OpenFacesOnce();
    cairo_set_font_face(cr, OpenedFaces[static_cast<size_t>(face)]);
    cairo_set_font_size(cr, pixelSize);
}

} // namespace kit
