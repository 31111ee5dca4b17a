// Fuzz target: any bytes as a stored preset order ("EasySetOrderCnt" and the values
// "EasySetOrder01"...) through the order reader and the reorder of a small list.
// The reader must never read past a value, keep at most 50 entries, names of at
// most 31 characters and scopes of 0 or 1; the reorder must keep every entry once.
//
// Input: byte 0 the number of order values; then the count (4 bytes); then each
// value as one size byte and that many bytes (size 255: the value is missing).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "presets/preset_store.h"

using namespace nvx::presets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    MemoryValues values;
    values.values[kOrderCountValue] = MemoryValues::Value{REG_DWORD, std::vector<BYTE>(data + 1, data + 5)};
    size_t at = 5;
    for (uint32_t i = 0; i < data[0] && at < size; ++i) {
        const size_t k = data[at++];
        if (k == 255) continue;
        if (k > size - at) break;
        values.values[kOrderNames.Name(i)] = MemoryValues::Value{REG_SZ, std::vector<BYTE>(data + at, data + at + k)};
        at += k;
    }
    const std::vector<OrderEntry> order = ReadPresetOrder(values);
    if (order.size() > kMaxListEntries) abort();
    for (const OrderEntry& o : order)
        if (o.name.size() > kMaxNameChars || o.scope > 1) abort();

    // A list of entries named like the first order entries and some others.
    EasySetList list;
    for (size_t i = 0; i < 6; ++i) {
        EasySetEntry e;
        e.header.magic = nvx::presets::kEasySetMagic;
        e.header.formatVersion = nvx::presets::kEasySetFormatVersion;
        e.scope = static_cast<uint32_t>(i & 1);
        const nvx::WString name = i < order.size() ? order[i].name : nvx::WString(1, static_cast<WCHAR>(u'a' + i));
        nvx::WCopy(e.header.name, 32, name);
        e.text.assign(1, static_cast<BYTE>(i));
        list.Add(e);
    }
    list.current = 2;
    ApplyOrder(list, order);
    if (list.Count() != 6 || list.current < 0 || list.entries[list.current].text[0] != 2) abort();
    std::vector<bool> seen(6, false);
    for (const EasySetEntry& e : list.entries) {
        if (seen[e.text[0]]) abort();
        seen[e.text[0]] = true;
    }
    // The list's order writes and reads back.
    MemoryValues written;
    if (WritePresetOrder(written, list) != ERROR_SUCCESS) abort();
    if (ReadPresetOrder(written).size() != 6) abort();
    return 0;
}
