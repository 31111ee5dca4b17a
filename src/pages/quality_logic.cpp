#include "pages/quality_logic.h"

#include <algorithm>
#include <cstring>

#include "common/ansi.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/loaded_model.h"

namespace nvx::pages::quality {

Enables ComputeEnables(const OEMDEV& r) {
    Enables e;
    e.printWithBlackScope = settings::GetNumber(r, "bPrintBlack") != 0;
    return e;
}

std::vector<Resolution> PrintResolutions() {
    std::vector<Resolution> out;
    const features::ModelRecord* model = model::Loaded().tables.record;
    const features::ModelList* list = model ? model->List("Resolution") : nullptr;
    const uint8_t* first = list && !list->records.empty() ? list->records.data() : nullptr;
    const size_t n = features::ListCount(first);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* rec = features::RecordAt(first, i);
        if (features::RecordSize(rec) < features::kSizeModel) continue;
        features::ResolutionData data;
        std::memcpy(&data, rec + features::kModelDataAt, sizeof data);
        if (data.fax == 1) continue;
        Resolution r;
        r.value = features::Value(rec);
        r.horizontal = data.horizontal;
        r.vertical = data.vertical;
        r.diagonal = data.diagonal;
        r.bitsPerPixel = data.bitsPerPixel;
        WString name = features::DisplayName(rec);
        if (name.empty()) {
            const std::string_view kw = features::Keyword(rec);
            name.assign(kw.begin(), kw.end());
        }
        r.name = std::move(name);
        out.push_back(std::move(r));
    }
    return out;
}

void StoreResolution(OEMDEV& record, const Resolution& r) {
    settings::SetNumber(record, "byResolution", r.value);
    settings::SetNumber(record, "nResoH", r.horizontal);
    settings::SetNumber(record, "nResoV", r.vertical);
    settings::SetNumber(record, "nResoHV", r.diagonal);
    settings::SetNumber(record, "nBitsPixel", r.bitsPerPixel);
}

const char* const kDefaultFields[] = {"byResolution", "nResoH",     "nResoV",     "nResoHV",   "nBitsPixel",
                                      "nCompressMode", "nColorPattern", "bTonerSave", "bDraftPrint", "bSmoothing",
                                      "nSmoothing",   "bThinning",  "nThinning",  "bPrintBlack", "nPrintBlack"};
const size_t kDefaultFieldCount = sizeof kDefaultFields / sizeof kDefaultFields[0];

// ---- The font substitution table ----

namespace {

settings::FieldRef Slot(const char* row, size_t entry) {
    return settings::FindField(std::string(row) + "[" + std::to_string(entry) + "]");
}

// A name slot as text: up to its terminator, and at most the 31 bytes a slot holds
// with its terminator (a stored slot without one ends there, on a whole character).
std::string SlotName(const OEMDEV& r, const char* row, size_t entry) {
    const std::string raw = settings::GetAnsi(r, Slot(row, entry));
    char name[kFontNameBytes + 1];
    AnsiCopyBounded(name, sizeof name, raw.c_str());
    return name;
}

size_t CountedEntries(const OEMDEV& r) {
    const int32_t n = settings::GetNumber(r, "SubFontEntryNum");
    if (n <= 0) return 0;
    return std::min(static_cast<size_t>(n), kFontEntries);
}

}  // namespace

std::vector<Substitution> Substitutions(const OEMDEV& r) {
    std::vector<Substitution> out;
    const size_t n = CountedEntries(r);
    for (size_t i = 0; i < n; ++i) {
        Substitution s;
        s.entry = i;
        s.trueType = SlotName(r, "SubTTFontName", i);
        if (s.trueType.empty()) continue;
        s.device = SlotName(r, "SubPrnFontName", i);
        out.push_back(std::move(s));
    }
    return out;
}

FontNameCheck CheckFontName(WStringView wide, std::string* ansi) {
    if (wide.empty()) return FontNameCheck::Empty;
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault) return FontNameCheck::NotAnsi;
    if (static_cast<size_t>(n) > kFontNameBytes) return FontNameCheck::TooLong;
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    if (out.find('\0') != std::string::npos) return FontNameCheck::NotAnsi;
    if (ansi) *ansi = std::move(out);
    return FontNameCheck::Ok;
}

bool SetDeviceFont(OEMDEV& r, size_t entry, WStringView name) {
    if (entry >= CountedEntries(r)) return false;
    if (SlotName(r, "SubTTFontName", entry).empty()) return false;
    std::string ansi;
    if (CheckFontName(name, &ansi) != FontNameCheck::Ok) return false;
    return settings::SetAnsi(r, Slot("SubPrnFontName", entry), ansi);
}

// ---- The printer fonts ----

std::vector<std::string> ReadPrinterFonts(const FontLibraryCalls& calls) {
    std::vector<std::string> out;
    if (!calls.init || !calls.term || !calls.count || !calls.data) return out;
    if (!calls.init(0)) return out;
    int count = calls.count();
    if (count < 0) count = 0;
    if (count > kPrinterFontTable) count = kPrinterFontTable;
    std::vector<unsigned char> work(kFontWorkBytes);
    for (int i = 0; i < count; ++i) {
        PrinterFontEntry entry;
        std::memset(&entry, 0, sizeof entry);
        if (!calls.data(i, work.data(), &entry)) continue;
        // The library's name ends at its slot whether or not it wrote a terminator,
        // and a double-byte character cut there goes with it.
        char name[sizeof entry.name];
        AnsiCopyBounded(name, sizeof name, std::string(entry.name, strnlen(entry.name, sizeof entry.name)).c_str());
        if (!name[0]) continue;
        if (std::find(out.begin(), out.end(), name) != out.end()) continue;
        out.emplace_back(name);
    }
    calls.term();
    return out;
}

std::vector<std::string> PrinterFontsBesideModule() {
    const HMODULE self = frame::Module().self;
    if (!self) return {};
    return PrinterFontsOf(frame::BesideModule(self, kFontLibraryFile));
}

std::vector<std::string> PrinterFontsOf(const WString& path) {
    HMODULE lib = LoadLibraryW(path.c_str());
    if (!lib) return {};
    FontLibraryCalls calls;
    calls.init = reinterpret_cast<int (*)(int)>(reinterpret_cast<void (*)()>(GetProcAddress(lib, "InitXLFontData")));
    calls.term = reinterpret_cast<void (*)()>(GetProcAddress(lib, "TermXLFontData"));
    calls.count = reinterpret_cast<int (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(lib, "GetXLFontCount")));
    calls.data = reinterpret_cast<int (*)(int, unsigned char*, PrinterFontEntry*)>(
        reinterpret_cast<void (*)()>(GetProcAddress(lib, "GetXLFontData")));
    std::vector<std::string> fonts = ReadPrinterFonts(calls);
    FreeLibrary(lib);
    return fonts;
}

}  // namespace nvx::pages::quality
