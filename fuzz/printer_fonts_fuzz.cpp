// Any bytes as what the module reads from outside for the Quality tab's font
// dialog: the printer font entries a font data library fills and the font
// substitution table of a stored settings record.  Every name the module keeps
// must be 1 to 31 bytes without a NUL, the fonts unique and at most one table's
// worth; the table's rows named and counted within the table.
//
// Input: a byte for the font count the library claims, then 66-byte entries (the
// library's answers, in turn); the same bytes also fill a settings record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

#include "pages/quality_logic.h"

namespace {

const uint8_t* g_data = nullptr;
size_t g_size = 0;
int g_count = 0;

int Init(int) { return 1; }
void Term() {}
int Count() { return g_count; }
int Data(int index, unsigned char* work, nvx::pages::quality::PrinterFontEntry* entry) {
    const size_t at = 1 + static_cast<size_t>(index) * sizeof *entry;
    if (!work || at + sizeof *entry > g_size) return 0;
    std::memcpy(entry, g_data + at, sizeof *entry);
    return g_data[at] != 0xFF;  // a library may also fail for a font
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace q = nvx::pages::quality;
    if (size == 0) return 0;
    g_data = data;
    g_size = size;
    g_count = static_cast<int8_t>(data[0]) * 3;  // also negative and past the table
    const auto fonts = q::ReadPrinterFonts({Init, Term, Count, Data});
    if (fonts.size() > static_cast<size_t>(q::kPrinterFontTable)) abort();
    std::set<std::string> seen;
    for (const std::string& f : fonts) {
        if (f.empty() || f.size() > 31 || f.find('\0') != std::string::npos) abort();
        if (!seen.insert(f).second) abort();
    }
    OEMDEV record{};
    std::memcpy(record.bytes, data, size < sizeof record.bytes ? size : sizeof record.bytes);
    const auto rows = q::Substitutions(record);
    if (rows.size() > q::kFontEntries) abort();
    for (const q::Substitution& s : rows)
        if (s.trueType.empty() || s.trueType.size() > 31 || s.device.size() > 31 || s.entry >= q::kFontEntries) abort();
    return 0;
}
