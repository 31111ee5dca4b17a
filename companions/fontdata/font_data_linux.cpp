// The installed fonts on Linux: fontconfig lists the font files, FreeType opens
// each face for its family name and kind.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>

#include "font_data.h"

namespace fontdata {

namespace {

// More files than any machine's font folders hold: a bound on the work.
constexpr int kMaxFaces = 4000;

}  // namespace

bool InstalledFonts(std::vector<Font>* out) {
    // A configuration of our own, released after the listing: the library may be
    // unloaded at any time, and fontconfig's default configuration would stay
    // behind in the process with nothing left to release it.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return false;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_SCALABLE, nullptr);
    FcFontSet* set = pattern && objects ? FcFontList(config, pattern, objects) : nullptr;
    if (objects) FcObjectSetDestroy(objects);
    if (pattern) FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    if (!set) {
        FcFini();
        return false;
    }
    FT_Library ft = nullptr;
    if (FT_Init_FreeType(&ft) != 0) {
        FcFontSetDestroy(set);
        FcFini();
        return false;
    }
    std::map<std::string, Font> byName;
    for (int i = 0; i < set->nfont && i < kMaxFaces; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch || !file) continue;
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
        FT_Face face = nullptr;
        if (FT_New_Face(ft, reinterpret_cast<const char*>(file), index, &face) != 0) continue;
        Font f;
        f.family = face->family_name ? face->family_name : "";
        f.name = f.family;
        f.fixedPitch = FT_IS_FIXED_WIDTH(face);
        f.scalable = FT_IS_SCALABLE(face);
        FT_Done_Face(face);
        // The device names the family; a style of a family already listed adds nothing.
        if (!UsableName(f.name) || byName.count(f.name)) continue;
        byName.emplace(f.name, f);
    }
    FT_Done_FreeType(ft);
    FcFontSetDestroy(set);
    // fontconfig's own tables go too: this library is the process's only user of
    // fontconfig, and it may be unloaded right after the listing.
    FcFini();
    out->clear();
    for (auto& [name, f] : byName) out->push_back(f);
    return true;
}

}  // namespace fontdata
