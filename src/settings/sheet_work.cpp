#include "settings/sheet_work.h"

#include <cstring>

#include "settings/sheet_layout.h"

namespace nvx::settings {

static_assert(work::kUsedBytes <= layout::kPageWorkBytes, "the page state fits every form's work area");

uint32_t WorkGet(const PrinterUIContext* ctx, size_t offset) {
    const BYTE* area = settings::ContextPageWorkArea(ctx);
    uint32_t v = 0;
    if (area) std::memcpy(&v, area + offset, sizeof v);
    return v;
}

void WorkSet(const PrinterUIContext* ctx, size_t offset, uint32_t value) {
    if (BYTE* area = settings::ContextPageWorkArea(ctx)) std::memcpy(area + offset, &value, sizeof value);
}

uint64_t WorkGet64(const PrinterUIContext* ctx, size_t offset) {
    const BYTE* area = settings::ContextPageWorkArea(ctx);
    uint64_t v = 0;
    if (area) std::memcpy(&v, area + offset, sizeof v);
    return v;
}

void WorkSet64(const PrinterUIContext* ctx, size_t offset, uint64_t value) {
    if (BYTE* area = settings::ContextPageWorkArea(ctx)) std::memcpy(area + offset, &value, sizeof value);
}

bool CustomPagePointerSet(const PrinterUIContext* ctx) {
    return WorkGet64(ctx, work::kCustomPage) != 0;
}

bool InCustomPage(const PrinterUIContext* ctx) {
    const uint64_t p = WorkGet64(ctx, work::kCustomPage);
    if (!p) return false;
    char magic[4];
    std::memcpy(magic, reinterpret_cast<const void*>(static_cast<uintptr_t>(p)), sizeof magic);
    return std::memcmp(magic, kCustomPageMagic, sizeof magic) == 0;
}

}  // namespace nvx::settings
