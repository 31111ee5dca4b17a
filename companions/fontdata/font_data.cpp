// Stand-in for the font data library: the four calls over the installed fonts.
//
// InitXLFontData(0) reads the installed fonts once (the list stays until the
// matching TermXLFontData; nested uses share it); GetXLFontCount and GetXLFontData
// answer from that list.  A call outside a use answers 0.
#include "font_data.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/win32.h"

#ifdef _WIN32
#define FONTDATA_EXPORT extern "C"
#else
#define FONTDATA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace fontdata {

bool UsableName(const std::string& name) {
    if (name.empty() || name.size() > 31) return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

}  // namespace fontdata

namespace {

using nvx::pages::quality::PrinterFontEntry;

std::vector<fontdata::Font>* g_fonts = nullptr;
int g_uses = 0;

}  // namespace

FONTDATA_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        delete g_fonts;
        g_fonts = nullptr;
        g_uses = 0;
    }
    return TRUE;
}

FONTDATA_EXPORT int InitXLFontData(int mode) {
    if (mode != 0) return 0;
    if (g_uses > 0) {
        ++g_uses;
        return 1;
    }
    auto* fonts = new (std::nothrow) std::vector<fontdata::Font>;
    if (!fonts) return 0;
    if (!fontdata::InstalledFonts(fonts)) {
        delete fonts;
        return 0;
    }
    g_fonts = fonts;
    g_uses = 1;
    return 1;
}

FONTDATA_EXPORT void TermXLFontData() {
    if (g_uses == 0) return;
    if (--g_uses > 0) return;
    delete g_fonts;
    g_fonts = nullptr;
}

FONTDATA_EXPORT int GetXLFontCount() {
    return g_fonts ? static_cast<int>(g_fonts->size()) : 0;
}

FONTDATA_EXPORT int GetXLFontData(int index, unsigned char* work, PrinterFontEntry* entry) {
    if (!g_fonts || !entry || index < 0 || static_cast<size_t>(index) >= g_fonts->size()) return 0;
    (void)work;  // this library needs no scratch space
    const fontdata::Font& f = (*g_fonts)[static_cast<size_t>(index)];
    std::memset(entry, 0, sizeof *entry);
    std::memcpy(entry->name, f.name.data(), std::min(f.name.size(), sizeof entry->name - 1));
    std::memcpy(entry->family, f.family.data(), std::min(f.family.size(), sizeof entry->family - 1));
    entry->flags = static_cast<uint16_t>((f.fixedPitch ? nvx::pages::quality::kFontFixedPitch : 0) |
                                         (f.scalable ? nvx::pages::quality::kFontScalable : 0));
    return 1;
}
