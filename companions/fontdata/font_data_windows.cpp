// The installed fonts on Windows: GDI's TrueType and OpenType families.
#include <algorithm>
#include <map>

#include "font_data.h"
#include "platform/win32.h"

namespace fontdata {

namespace {

int CALLBACK OnFamily(const LOGFONTW* lf, const TEXTMETRICW* tm, DWORD type, LPARAM param) {
    auto* byName = reinterpret_cast<std::map<std::string, Font>*>(param);
    if (!(type & TRUETYPE_FONTTYPE) || lf->lfFaceName[0] == '@') return 1;  // vertical forms are not families
    char name[64] = {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, lf->lfFaceName, -1, name, static_cast<int>(sizeof name), nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return 1;
    Font f;
    f.name = name;
    f.family = name;
    f.fixedPitch = (lf->lfPitchAndFamily & 3) == FIXED_PITCH;
    f.scalable = true;
    (void)tm;
    if (UsableName(f.name)) byName->emplace(f.name, f);
    return 1;
}

}  // namespace

bool InstalledFonts(std::vector<Font>* out) {
    HDC dc = GetDC(nullptr);
    if (!dc) return false;
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::map<std::string, Font> byName;
    EnumFontFamiliesExW(dc, &lf, OnFamily, reinterpret_cast<LPARAM>(&byName), 0);
    ReleaseDC(nullptr, dc);
    out->clear();
    for (auto& [name, f] : byName) out->push_back(f);
    return true;
}

}  // namespace fontdata
