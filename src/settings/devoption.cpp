// The device-option record: template, reset, stored default, option slots.
#include "settings/devoption.h"

#include <cstring>

#include "common/le.h"
#include "common/text.h"

namespace nvx::settings {

namespace {

BYTE g_template[kDevOptionSize];

}  // namespace

BYTE* DevOptionTemplate() {
    return g_template;
}

void ResetDevOptionTemplate() {
    std::memset(g_template, 0, sizeof g_template);
}

void ResetDevOption(BYTE* record) {
    if (record) std::memcpy(record, g_template, kDevOptionSize);
}

bool LoadDefaultDevOption(HANDLE printer, BYTE* record) {
    if (!record) return false;
    BYTE stored[kDevOptionSize];
    DWORD type = 0, needed = 0;
    const DWORD rc = GetPrinterDataW(printer, const_cast<LPWSTR>(WL("DefaultDevOption")), &type, stored,
                                     sizeof stored, &needed);
    if (rc == ERROR_SUCCESS && needed == kDevOptionSize) {
        std::memcpy(record, stored, kDevOptionSize);
        return true;
    }
    ResetDevOption(record);
    return false;
}

uint16_t GetOptionValue(const BYTE* record, size_t slot) {
    return record && slot < devoption::kOptionSlots ? GetLE16(record + 2 * slot) : 0;
}

bool SetOptionValue(BYTE* record, size_t slot, uint16_t value) {
    if (!record || slot >= devoption::kOptionSlots) return false;
    PutLE16(record + 2 * slot, value);
    return true;
}

}  // namespace nvx::settings
