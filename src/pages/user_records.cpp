#include "pages/user_records.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "frame/module_state.h"
#include "model/stores.h"

namespace nvx::pages {

namespace {
BYTE* g_buffer = nullptr;
}

BYTE* UserRecordBuffer() {
    return g_buffer;
}

uint16_t UserRecordCount() {
    return frame::Module().deviceApiSelectionMarker;
}

void SetUserRecordCount(uint16_t count) {
    frame::Module().deviceApiSelectionMarker = count;
}

void EnsureUserRecordBuffer() {
    if (g_buffer) return;
    g_buffer = static_cast<BYTE*>(std::calloc(1, kUserRecordBufferBytes));
    SetUserRecordCount(g_buffer ? kUserRecordsNotLoaded : kUserRecordsAllocFailed);
}

void FreeUserRecordBuffer() {
    std::free(g_buffer);
    g_buffer = nullptr;
    SetUserRecordCount(kUserRecordsNoBuffer);
}

bool WriteUserRecords(HANDLE printer) {
    const uint16_t count = UserRecordCount();
    if (!g_buffer || count > kUserRecordCount) return false;
    std::vector<WString> texts;
    texts.reserve(count);
    for (uint16_t i = 0; i < count; ++i) {
        const BYTE* rec = g_buffer + i * kUserRecordBytes;
        int32_t id, value;
        std::memcpy(&id, rec + kUserRecordIdAt, 4);
        std::memcpy(&value, rec + kUserRecordValueAt, 4);
        size_t n = 0;
        while (n < kUserRecordNameBytes && rec[kUserRecordNameAt + n]) ++n;
        WString name = WFromUtf8(std::string_view(reinterpret_cast<const char*>(rec + kUserRecordNameAt), n));
        if (name.size() > 32) name.resize(32);
        texts.push_back(WFormatString(WL("%d,%d,%s"), id, value, name.c_str()));
    }
    std::vector<model::ValueBytes> values;
    for (const WString& t : texts)
        values.push_back({t.c_str(), static_cast<DWORD>((t.size() + 1) * sizeof(WCHAR))});
    model::RegKey key;
    if (model::CreateUserKey(printer, &key) != ERROR_SUCCESS) return false;
    const auto store = model::ValueStore::OfKey(key.get());
    // The count first, then the records (WriteList writes the count again).
    if (model::WriteCount(store, kUserRecordCountName, count) != ERROR_SUCCESS) return false;
    return model::WriteList(store, kUserRecordCountName, {kUserRecordNameFormat, 1}, REG_SZ, values).ok();
}

}  // namespace nvx::pages
