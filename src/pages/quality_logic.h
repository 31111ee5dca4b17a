// What the Quality tab and its font dialog decide without a window: the enable
// states the settings give, the resolutions a print job may use, the font
// substitution table inside the settings record and the printer fonts read from
// the font data library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/text.h"
#include "pages/font_data.h"
#include "settings/oemdev.h"

namespace nvx::pages::quality {

// ---- The tab ----

struct Enables {
    bool printWithBlackScope = false;  // 2356 follows 2355
};
Enables ComputeEnables(const OEMDEV& record);

// A resolution the model offers for printing (its resolution list without the fax
// transmission resolutions, which the Fax tab offers).
struct Resolution {
    int32_t value = 0;  // byResolution
    int16_t horizontal = 0, vertical = 0, diagonal = 0, bitsPerPixel = 0;
    WString name;  // the display name, else the keyword
};
std::vector<Resolution> PrintResolutions();

// Writes a resolution and the dots and bits stored beside it.
void StoreResolution(OEMDEV& record, const Resolution& r);

// The fields the tab's Restore Defaults puts back.
extern const char* const kDefaultFields[];
extern const size_t kDefaultFieldCount;

// ---- The font substitution table ----
//
// SubFontEntryNum counts the table's entries (at most 27); entry n is the TrueType
// name SubTTFontName[n] with its device font SubPrnFontName[n].  An entry without a
// TrueType name is a free entry: it is counted but substitutes nothing and is not
// listed.  (The template counts nine entries of which the first five are named.)
inline constexpr size_t kFontEntries = 27;
inline constexpr size_t kFontNameBytes = 31;  // a 32-byte ANSI slot with its terminator

struct Substitution {
    size_t entry = 0;       // its index in the table
    std::string trueType;   // ANSI
    std::string device;     // ANSI; empty: printed as the TrueType font
};
// The named entries among the counted ones, in table order.
std::vector<Substitution> Substitutions(const OEMDEV& record);

enum class FontNameCheck { Ok, Empty, TooLong, NotAnsi };
// Whether a font name fits a slot: 1 to 31 bytes of the ANSI code page.
FontNameCheck CheckFontName(WStringView name, std::string* ansi);

// Sets the device font of a named entry; false (nothing changed) for an entry
// that is not counted or not named, or a name that does not fit.
bool SetDeviceFont(OEMDEV& record, size_t entry, WStringView name);

// ---- The printer fonts of the font data library ----

// The file the font data library is loaded from, beside the module.
inline constexpr WCHAR kFontLibraryFile[] = WL("NOVRIX_F.DLL");

// The four calls of the library (the work buffer holds kFontWorkBytes).
struct FontLibraryCalls {
    int (*init)(int mode) = nullptr;
    void (*term)() = nullptr;
    int (*count)() = nullptr;
    int (*data)(int index, unsigned char* work, PrinterFontEntry* entry) = nullptr;
};
// The printer font names the library gives: each entry it fills, its name cut at
// its slot's end, empty and repeated names left out, in the library's order.  An
// incomplete set of calls, or an init that fails, gives no names.
std::vector<std::string> ReadPrinterFonts(const FontLibraryCalls& calls);

// Loads the library beside the module, reads its fonts and frees it; empty
// when the library or one of its calls is missing.
std::vector<std::string> PrinterFontsBesideModule();
// The same for the library at `path` (novrix reads the driver folder's).
std::vector<std::string> PrinterFontsOf(const WString& path);

}  // namespace nvx::pages::quality
