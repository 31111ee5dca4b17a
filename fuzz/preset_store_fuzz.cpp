// Fuzz target: any bytes as a stored preset scope (the chunk count, the chunks and
// a pending store beside them) through the chunked reader and the record walk, then
// a write of what was read and a second read.  The reader must never read past a
// chunk, never take more than the chunks hold, and hand out only entries whose
// header is valid, whose texts end inside their fields and whose data length is
// the length of their text.
//
// Input: byte 0 the number of chunk values; byte 1 the size of the count value
// (bits 0-2, at most 7 bytes; bit 3: REG_BINARY instead of REG_DWORD) and bit 4 a
// pending count of the same bytes; then the count bytes; then the chunks
// "EasySetData0001"... each as a 16-bit little-endian size and that many bytes
// (size 0xFFFF: the chunk is missing).  The rest, if any, goes to "EasySetNext0001".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "presets/preset_store.h"

using namespace nvx::presets;

namespace {

struct Input {
    const uint8_t* p;
    size_t n;
    bool Take(size_t k, const uint8_t** out) {
        if (k > n) return false;
        *out = p;
        p += k;
        n -= k;
        return true;
    }
};

void CheckEntries(const std::vector<EasySetEntry>& entries, size_t storedBytes) {
    size_t total = 0;
    for (const EasySetEntry& e : entries) {
        if (!IsValidHeader(e.header) || e.header.dataLength != e.text.size()) abort();
        if (e.header.name[31] != 0 || e.header.comment[255] != 0 || e.header.language[7] != 0) abort();
        total += sizeof(EasySetHeader) + e.text.size();
    }
    if (total > storedBytes) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    const uint8_t* head;
    if (!in.Take(2, &head)) return 0;
    MemoryValues values;
    const size_t countBytes = head[1] & 7;
    const DWORD countType = (head[1] & 8) ? REG_BINARY : REG_DWORD;
    if (countBytes) {
        const uint8_t* count;
        if (!in.Take(countBytes, &count)) return 0;
        values.values[kPresetCountValue] = MemoryValues::Value{countType, std::vector<BYTE>(count, count + countBytes)};
        if (head[1] & 16)
            values.values[kPendingCountValue] =
                MemoryValues::Value{countType, std::vector<BYTE>(count, count + countBytes)};
    }
    size_t stored = 0;
    for (uint32_t i = 0; i < head[0]; ++i) {
        const uint8_t* sz;
        if (!in.Take(2, &sz)) break;
        const size_t k = sz[0] | (sz[1] << 8);
        if (k == 0xFFFF) continue;
        const uint8_t* chunk;
        if (!in.Take(k, &chunk)) break;
        values.values[kPresetChunkNames.Name(i)] = MemoryValues::Value{REG_BINARY, std::vector<BYTE>(chunk, chunk + k)};
        stored += k;
    }
    if (in.n) {
        values.values[kPendingChunkNames.Name(0)] = MemoryValues::Value{REG_BINARY, std::vector<BYTE>(in.p, in.p + in.n)};
        stored += in.n;
    }

    std::vector<BYTE> bytes;
    ReadPresetBytes(values, &bytes);
    if (bytes.size() > stored) abort();
    std::vector<EasySetEntry> entries;
    ReadPresetStore(values, kPersonalScope, &entries);
    CheckEntries(entries, bytes.size());

    // What was read writes back and reads the same.
    EasySetList list;
    for (const EasySetEntry& e : entries) list.Add(e);
    if (WritePresetStore(values, list, kPersonalScope) != ERROR_SUCCESS) return 0;
    std::vector<EasySetEntry> again;
    ReadPresetStore(values, kPersonalScope, &again);
    if (again.size() != entries.size()) abort();
    for (size_t i = 0; i < again.size(); ++i)
        if (again[i].text != entries[i].text) abort();
    return 0;
}
