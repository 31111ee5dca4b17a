// The font data library's side of the font dialog: the 66-byte entry it fills for
// each printer font, and the four calls the module makes.
//
//   int  InitXLFontData(int mode)         mode 0; 1 when the fonts can be read, else 0
//   void TermXLFontData()                 ends the use begun by a successful init
//   int  GetXLFontCount()                 the number of printer fonts
//   int  GetXLFontData(int index, unsigned char* work, PrinterFontEntry* entry)
//                                         fills the entry of font `index` (0-based);
//                                         `work` is kFontWorkBytes of scratch; 1 or 0
#pragma once

#include <cstddef>
#include <cstdint>

namespace nvx::pages::quality {

// The 66-byte entry the library fills for each font (module-side printer font table).
#pragma pack(push, 1)
struct PrinterFontEntry {
    char name[32];       // the device font's name, ANSI, zero-terminated
    char family[32];     // its family, ANSI, zero-terminated
    uint16_t flags;      // kFontFixedPitch, kFontScalable
};
#pragma pack(pop)
static_assert(sizeof(PrinterFontEntry) == 66, "a printer font entry is 66 bytes");
static_assert(offsetof(PrinterFontEntry, family) == 32 && offsetof(PrinterFontEntry, flags) == 64,
              "name, family, flags at 0, 32, 64");
inline constexpr uint16_t kFontFixedPitch = 1;
inline constexpr uint16_t kFontScalable = 2;
// Entries in the module's printer font table; a library that counts this many
// fonts or more is read for this many.
inline constexpr int kPrinterFontTable = 50;
// The work buffer handed to GetXLFontData.
inline constexpr size_t kFontWorkBytes = 4096;

}  // namespace nvx::pages::quality
