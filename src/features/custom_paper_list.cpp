#include "features/custom_paper_list.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "frame/variant_switches.h"
#include "model/stores.h"

namespace nvx::features {

namespace {

LPWSTR Mutable(const WCHAR* text) {
    return const_cast<LPWSTR>(text);
}

constexpr int32_t kFeedTypeLimited = 3;

// The printer's level-2 name, for a handle that may administer it.
WString PrinterName(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed == 0 || needed > (1u << 20)) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return info->pPrinterName ? WString(info->pPrinterName) : WString();
}

DWORD StoreList(HANDLE printer, const CustomPaperList& list) {
    CustomPaperList copy{};
    copy.count = list.count;
    std::memcpy(copy.entries, list.entries, sizeof(CustomPaperEntry) * list.count);
    auto* bytes = reinterpret_cast<BYTE*>(&copy);
    constexpr DWORD kBytes = sizeof copy;
    DWORD rc = SetPrinterDataW(printer, Mutable(kCustomPaperValue), REG_BINARY, bytes, kBytes);
    if (rc != ERROR_ACCESS_DENIED) return rc;
    // A sheet's handle is opened for use; the printer's data needs administration.
    const WString name = PrinterName(printer);
    model::PrinterHandle admin;
    if (name.empty() || !admin.Open(name.c_str(), PRINTER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    return SetPrinterDataW(admin.get(), Mutable(kCustomPaperValue), REG_BINARY, bytes, kBytes);
}

// Whether the spooler knows a form of that name.
bool FormExists(HANDLE printer, const WCHAR* name) {
    DWORD needed = 0;
    if (GetFormW(printer, Mutable(name), 1, nullptr, 0, &needed)) return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

}  // namespace

uint32_t CustomPaperCapacity() {
    const bool mfp = frame::AskVariant("_PRP_QUALTY_MFP_C") != 0 || frame::AskVariant("_PRP_QUALTY_MFP_M") != 0;
    return mfp ? kCustomPaperMaxEntries - 1 : kCustomPaperMaxEntries;
}

bool DecodeCustomPaperList(const BYTE* data, size_t size, uint32_t capacity, CustomPaperList* out) {
    *out = CustomPaperList{};
    if (!data || size != sizeof(CustomPaperList)) return false;
    CustomPaperList list;
    std::memcpy(&list, data, sizeof list);
    if (list.count > capacity || list.count > kCustomPaperMaxEntries) return false;
    for (uint32_t i = 0; i < list.count; ++i) {
        const CustomPaperEntry& e = list.entries[i];
        const size_t chars = WLenBounded(e.name, 32);
        if (chars == 0 || chars > kCustomPaperNameChars || e.width <= 0 || e.length <= 0) return false;
    }
    // What lies behind the count is nobody's: keep it zero.
    for (uint32_t i = list.count; i < kCustomPaperMaxEntries; ++i) list.entries[i] = CustomPaperEntry{};
    *out = list;
    return true;
}

int FindCustomPaper(const CustomPaperList& list, WStringView name) {
    for (uint32_t i = 0; i < list.count && i < kCustomPaperMaxEntries; ++i)
        if (WCompareNoCase(WStringView(list.entries[i].name), name) == 0) return static_cast<int>(i);
    return -1;
}

EntryProblem CheckEntry(WStringView name, int32_t widthTenths, int32_t lengthTenths,
                        const SizeRange& range) {
    if (name.empty() || name.size() > kCustomPaperNameChars) return EntryProblem::Name;
    if (name.find(WCHAR(0)) != WStringView::npos) return EntryProblem::Name;
    if (widthTenths < range.minWidth || widthTenths > range.maxWidth) return EntryProblem::Width;
    if (lengthTenths < range.minLength || lengthTenths > range.maxLength) return EntryProblem::Length;
    return EntryProblem::None;
}

EntryProblem PutCustomPaper(CustomPaperList* list, uint32_t capacity, WStringView name, int32_t widthMicrons,
                            int32_t lengthMicrons, int32_t unit) {
    if (name.empty() || name.size() > kCustomPaperNameChars) return EntryProblem::Name;
    int index = FindCustomPaper(*list, name);
    if (index < 0) {
        if (list->count >= std::min(capacity, kCustomPaperMaxEntries)) return EntryProblem::Full;
        index = static_cast<int>(list->count++);
    }
    CustomPaperEntry& e = list->entries[index];
    e = CustomPaperEntry{};
    std::copy(name.begin(), name.end(), e.name);
    e.width = widthMicrons;
    e.length = lengthMicrons;
    e.area[0] = 0;
    e.area[1] = 0;
    e.area[2] = widthMicrons;
    e.area[3] = lengthMicrons;
    e.paper = 256;  // the user-defined paper size
    e.unit = unit;
    return EntryProblem::None;
}

bool RemoveCustomPaper(CustomPaperList* list, uint32_t index) {
    if (index >= list->count || index >= kCustomPaperMaxEntries) return false;
    for (uint32_t i = index; i + 1 < list->count; ++i) list->entries[i] = list->entries[i + 1];
    list->entries[--list->count] = CustomPaperEntry{};
    return true;
}

bool ParseSizeMicrons(WStringView text, SizeUnit unit, int32_t* microns) {
    int64_t thousandths = 0;
    int decimals = -1;
    size_t digits = 0;
    for (WCHAR c : text) {
        if (c == '.') {
            if (decimals >= 0) return false;
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9' || digits >= 9 || decimals == 3) return false;
        thousandths = thousandths * 10 + (c - '0');
        ++digits;
        if (decimals >= 0) ++decimals;
    }
    if (digits == 0) return false;
    for (int d = decimals < 0 ? 0 : decimals; d < 3; ++d) thousandths *= 10;
    // mm: thousandths of a millimetre are micrometres; inch: 1/1000 inch = 25.4 um.
    const int64_t um = unit == SizeUnit::Mm ? thousandths : (thousandths * 254 + 5) / 10;
    if (um > INT32_MAX) return false;
    *microns = static_cast<int32_t>(um);
    return true;
}

WString SizeMicronsText(int32_t microns, SizeUnit unit, bool fine) {
    if (unit == SizeUnit::Mm)
        return fine ? TenthsText(MicronsToTenths(microns))
                    : WFormatString(WL("%d"), MicronsToMm(microns));
    return fine ? ThousandthsText(MicronsToThousandthInch(microns))
                : HundredthsText(MicronsToHundredthInch(microns));
}

CustomPaperList LoadCustomPaperList(HANDLE printer) {
    CustomPaperList list{};
    if (!printer || printer == INVALID_HANDLE_VALUE) return list;
    std::vector<BYTE> data;
    if (model::ValueStore::OfPrinter(printer).ReadAll(kCustomPaperValue, &data) != ERROR_SUCCESS) return list;
    DecodeCustomPaperList(data.data(), data.size(), CustomPaperCapacity(), &list);
    return list;
}

FORM_INFO_1W CustomPaperForm(const CustomPaperEntry& entry, int32_t feedType, int32_t maxFeedLength) {
    FORM_INFO_1W form{};
    form.Flags = FORM_USER;
    form.pName = Mutable(entry.name);
    form.Size = {entry.width, entry.length};
    form.ImageableArea = {entry.area[0], entry.area[1], entry.area[2], entry.area[3]};
    const int64_t feedMicrons = static_cast<int64_t>(maxFeedLength) * 100;
    if (feedType == kFeedTypeLimited && maxFeedLength > 0 && entry.length > feedMicrons)
        form.ImageableArea.bottom = static_cast<LONG>(feedMicrons);
    return form;
}

CustomPaperSave SaveCustomPaperList(HANDLE printer, const CustomPaperList& previous, const CustomPaperList& list,
                                    bool noForms, int32_t feedType, int32_t maxFeedLength) {
    CustomPaperSave done;
    if (!printer || printer == INVALID_HANDLE_VALUE) return done;
    // The forms follow the stored list: a list that cannot be stored leaves them.
    done.stored = StoreList(printer, list) == ERROR_SUCCESS;
    if (!done.stored || noForms) return done;
    for (uint32_t i = 0; i < previous.count && i < kCustomPaperMaxEntries; ++i) {
        const WCHAR* name = previous.entries[i].name;
        if (*name && FormExists(printer, name) && DeleteFormW(printer, Mutable(name))) ++done.formsDeleted;
    }
    for (uint32_t i = 0; i < list.count && i < kCustomPaperMaxEntries; ++i) {
        FORM_INFO_1W form = CustomPaperForm(list.entries[i], feedType, maxFeedLength);
        if (AddFormW(printer, 1, reinterpret_cast<LPBYTE>(&form))) ++done.formsAdded;
    }
    return done;
}

}  // namespace nvx::features
