// The sheet's watermarks in the page work area.
#include "stamps/watermark_sheet.h"

#include <algorithm>
#include <cstring>

#include "settings/sheet_work.h"

namespace nvx::stamps {

static_assert(kSheetWatermarkBytes == settings::work::kWatermarkBytes, "the work area keeps room for the lists");

namespace {

template <typename T>
void PutList(BYTE*& at, const std::vector<T>& items, size_t cap) {
    const uint32_t count = static_cast<uint32_t>(std::min(items.size(), cap));
    std::memcpy(at, &count, 4);
    at += 4;
    std::memset(at, 0, cap * sizeof(T));
    if (count) std::memcpy(at, items.data(), count * sizeof(T));
    at += cap * sizeof(T);
}

template <typename T>
void GetList(const BYTE*& at, std::vector<T>* items, size_t cap) {
    uint32_t count = 0;
    std::memcpy(&count, at, 4);
    at += 4;
    count = std::min<uint32_t>(count, static_cast<uint32_t>(cap));
    items->resize(count);
    if (count) std::memcpy(items->data(), at, count * sizeof(T));
    at += cap * sizeof(T);
}

void Store(BYTE* area, const WatermarkSet& set) {
    BYTE* at = area + settings::work::kWatermarks;
    PutList(at, set.shared, kMaxSharedWatermarks);
    PutList(at, set.personal, kMaxPrivateWatermarks);
    PutList(at, set.order, kMaxOrderEntries);
}

WatermarkSet Fetch(const BYTE* area) {
    WatermarkSet set;
    const BYTE* at = area + settings::work::kWatermarks;
    GetList(at, &set.shared, kMaxSharedWatermarks);
    GetList(at, &set.personal, kMaxPrivateWatermarks);
    GetList(at, &set.order, kMaxOrderEntries);
    return set;
}

}  // namespace

bool SheetWatermarksLoaded(const settings::PrinterUIContext* ctx) {
    return settings::WorkGet(ctx, settings::work::kWatermarksLoaded) != 0;
}

bool SheetWatermarks(const settings::PrinterUIContext* ctx, WatermarkSet* out) {
    *out = WatermarkSet{};
    BYTE* area = settings::ContextPageWorkArea(ctx);
    if (!area) return false;
    if (!SheetWatermarksLoaded(ctx)) {
        HANDLE printer = settings::ContextPrinter(ctx);
        WatermarkSet set;
        if (printer && printer != INVALID_HANDLE_VALUE) set = LoadWatermarks(printer);
        Store(area, set);
        settings::WorkSet(ctx, settings::work::kWatermarksLoaded, 1);
    }
    *out = Fetch(area);
    return true;
}

bool SetSheetWatermarks(const settings::PrinterUIContext* ctx, const WatermarkSet& set) {
    BYTE* area = settings::ContextPageWorkArea(ctx);
    if (!area) return false;
    Store(area, set);
    settings::WorkSet(ctx, settings::work::kWatermarksLoaded, 1);
    return true;
}

DWORD SaveSheetWatermarks(const settings::PrinterUIContext* ctx) {
    const BYTE* area = settings::ContextPageWorkArea(ctx);
    if (!area || !SheetWatermarksLoaded(ctx)) return ERROR_SUCCESS;
    HANDLE printer = settings::ContextPrinter(ctx);
    if (!printer || printer == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    const WatermarkSet set = Fetch(area);
    const WString name = PrinterNameOf(printer);
    if (!name.empty()) SaveSharedWatermarks(name.c_str(), set.shared);  // refused without administer rights
    return SavePrivateWatermarks(printer, set);
}

}  // namespace nvx::stamps
