// Text metrics of the fonts the machine has.  A font whose face names a family
// fontconfig knows (the same fonts the font data library lists) is measured with
// FreeType: the extent of a text is the sum of its characters' advances at the
// font's em height, unhinted, rounded once at the end; the height is the face's
// ascender plus descender.  Other faces (the dialog fonts "MS Shell Dlg", "System"
// and so on) keep the fixed metric of gdi32/gdi.cpp, so dialog layout does not
// depend on the fonts installed.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

// A face the lookup resolved, open for as long as the process runs.
struct OpenFace {
    FT_Face face = nullptr;
};

struct FontCache {
    std::mutex lock;
    FT_Library library = nullptr;
    bool libraryTried = false;
    // (family lower case, bold, italic) -> the face, or null when fontconfig has no such family.
    std::map<std::tuple<std::string, bool, bool>, FT_Face> faces;
};

FontCache& Cache() {
    static auto* cache = new FontCache;
    return *cache;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The font file of `family` in the wanted weight and slant, when fontconfig's best
// match for it is of that very family (a substitute for another family is not
// the font asked for).  A configuration of our own, released at once: nothing of
// fontconfig stays behind between calls (the font data library releases
// fontconfig's tables after its listing).
bool FindFontFile(const std::string& family, bool bold, bool italic, std::string* file, int* index) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return false;
    bool found = false;
    FcPattern* pattern = FcPatternCreate();
    if (pattern) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        if (match) {
            FcChar8* name = nullptr;
            for (int i = 0; !found && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
                found = name && Lower(reinterpret_cast<const char*>(name)) == Lower(family);
            FcChar8* path = nullptr;
            if (found && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
                *file = reinterpret_cast<const char*>(path);
                *index = 0;
                FcPatternGetInteger(match, FC_INDEX, 0, index);
            } else {
                found = false;
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return found;
}

// The face of a logical font, or null when the machine has no such family.
// Called with the cache locked.
FT_Face FaceOf(FontCache& cache, const LOGFONTW& lf) {
    const std::string family = nvx::Utf8FromW(nvx::WStringView(lf.lfFaceName, nvx::WLen(lf.lfFaceName)));
    if (family.empty()) return nullptr;
    const bool bold = lf.lfWeight >= FW_SEMIBOLD;
    const bool italic = lf.lfItalic != 0;
    const auto key = std::make_tuple(Lower(family), bold, italic);
    auto it = cache.faces.find(key);
    if (it != cache.faces.end()) return it->second;
    FT_Face face = nullptr;
    if (!cache.libraryTried) {
        cache.libraryTried = true;
        if (FT_Init_FreeType(&cache.library) != 0) cache.library = nullptr;
    }
    std::string file;
    int index = 0;
    if (cache.library && FindFontFile(family, bold, italic, &file, &index)) {
        if (FT_New_Face(cache.library, file.c_str(), index, &face) != 0 || !FT_IS_SCALABLE(face)) {
            if (face) FT_Done_Face(face);
            face = nullptr;
        }
    }
    cache.faces.emplace(key, face);
    return face;
}

// The em height in pixels of a logical font on `face`: -lfHeight, or for a
// positive (cell) height the em that makes ascender plus descender that high.
int EmPixels(FT_Face face, LONG height) {
    if (height < 0) return static_cast<int>(-height);
    if (height == 0) return 16;
    const long cell = static_cast<long>(face->ascender) - static_cast<long>(face->descender);
    if (cell <= 0) return static_cast<int>(height);
    return std::max(1, static_cast<int>(std::lround(static_cast<double>(height) * face->units_per_EM / cell)));
}

// Sizes the face for a logical font; false when FreeType refuses the size.
bool SizeFace(FT_Face face, const LOGFONTW& lf) {
    const int em = EmPixels(face, lf.lfHeight);
    return em > 0 && em <= 0x7FFF && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) == 0;
}

// A character's unhinted advance in 16.16 pixels (0 for one the face lacks a glyph for).
FT_Fixed Advance(FT_Face face, WCHAR c) {
    if (FT_Load_Char(face, c, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return 0;
    return face->glyph->linearHoriAdvance;
}

int CellHeight(FT_Face face) {
    const FT_Size_Metrics& m = face->size->metrics;
    return static_cast<int>((m.ascender - m.descender + 32) >> 6);
}

}  // namespace

bool RealTextExtent(const LOGFONTW& lf, const WCHAR* text, int count, SIZE* size, int maxExtent, int* fit,
                    int* dx) {
    FontCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.lock);
    FT_Face face = FaceOf(cache, lf);
    if (!face || !SizeFace(face, lf)) return false;
    FT_Fixed total = 0;
    int fitting = 0;
    for (int i = 0; i < count; ++i) {
        total += Advance(face, text[i]);
        const int upTo = static_cast<int>((total + 0x8000) >> 16);
        if (dx) dx[i] = upTo;
        if (maxExtent < 0 || upTo <= maxExtent) fitting = i + 1;
    }
    if (fit) *fit = fitting;
    size->cx = static_cast<LONG>((total + 0x8000) >> 16);
    size->cy = CellHeight(face);
    return true;
}

bool RealTextMetrics(const LOGFONTW& lf, TEXTMETRICW* tm) {
    FontCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.lock);
    FT_Face face = FaceOf(cache, lf);
    if (!face || !SizeFace(face, lf)) return false;
    const FT_Size_Metrics& m = face->size->metrics;
    tm->tmAscent = static_cast<LONG>((m.ascender + 32) >> 6);
    tm->tmDescent = static_cast<LONG>((-m.descender + 32) >> 6);
    tm->tmHeight = tm->tmAscent + tm->tmDescent;
    const int em = EmPixels(face, lf.lfHeight);
    tm->tmInternalLeading = std::max<LONG>(0, tm->tmHeight - em);
    tm->tmExternalLeading = std::max<LONG>(0, static_cast<LONG>((m.height + 32) >> 6) - tm->tmHeight);
    tm->tmAveCharWidth = static_cast<LONG>((Advance(face, 'x') + 0x8000) >> 16);
    tm->tmMaxCharWidth = static_cast<LONG>((m.max_advance + 32) >> 6);
    if (FT_IS_FIXED_WIDTH(face)) tm->tmPitchAndFamily = FF_MODERN | 0x04;
    else tm->tmPitchAndFamily = VARIABLE_PITCH | FF_SWISS | 0x04;  // TMPF_TRUETYPE
    return true;
}

bool RealGlyphMetrics(const LOGFONTW& lf, WCHAR c, GLYPHMETRICS* gm) {
    FontCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.lock);
    FT_Face face = FaceOf(cache, lf);
    if (!face || !SizeFace(face, lf)) return false;
    if (FT_Load_Char(face, c, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return false;
    const FT_Glyph_Metrics& m = face->glyph->metrics;  // 26.6 pixels
    auto floor64 = [](FT_Pos v) { return static_cast<LONG>(v >= 0 ? v / 64 : -((-v + 63) / 64)); };
    auto ceil64 = [](FT_Pos v) { return static_cast<LONG>(v >= 0 ? (v + 63) / 64 : -(-v / 64)); };
    *gm = GLYPHMETRICS{};
    if (m.width > 0 && m.height > 0) {
        const LONG left = floor64(m.horiBearingX), right = ceil64(m.horiBearingX + m.width);
        const LONG top = ceil64(m.horiBearingY), bottom = floor64(m.horiBearingY - m.height);
        gm->gmBlackBoxX = static_cast<UINT>(right - left);
        gm->gmBlackBoxY = static_cast<UINT>(top - bottom);
        gm->gmptGlyphOrigin = {left, top};
    }
    gm->gmCellIncX = static_cast<short>((face->glyph->linearHoriAdvance + 0x8000) >> 16);
    return true;
}

}  // namespace nvxp
