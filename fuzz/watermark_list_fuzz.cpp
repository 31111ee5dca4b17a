// Fuzz target: any bytes as stored watermark lists and a stored display order,
// through the list reader, the order reader, the display list, the edits and
// the settings record's follow-up.  The readers must never read past a value,
// never keep more than a list's capacity and never hand out a record whose
// texts lack their terminator.
//
// Input: byte 0 the number of list values; byte 1 the size of the count value
// (0: no count, at most 7) and its bytes; then the list values "WaterMark1" ...
// and after them the order values "WMOrder00" ..., each as a 16-bit
// little-endian size followed by that many bytes (size 0xFFFF: the value is
// missing).  The last bytes, if any, choose the edits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "common/text.h"
#include "settings/oemdev.h"
#include "stamps/watermark_store.h"

using namespace nvx::stamps;

namespace {

class BytesSource final : public ValueSource {
public:
    std::map<nvx::WString, std::vector<BYTE>> values;
    DWORD countType = REG_DWORD;

    DWORD Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const override {
        auto it = values.find(name);
        if (it == values.end()) return ERROR_FILE_NOT_FOUND;
        if (type) *type = nvx::WString(name) == kWatermarkCountValue ? countType : REG_BINARY;
        const DWORD n = static_cast<DWORD>(it->second.size());
        if (size) *size = n;
        if (n > capacity) return ERROR_MORE_DATA;
        if (n) std::memcpy(data, it->second.data(), n);
        return ERROR_SUCCESS;
    }
};

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
    // One value; false at the end of the input.  *missing for the 0xFFFF size.
    bool Value(std::vector<BYTE>* out, bool* missing) {
        const uint8_t* size;
        if (!Take(2, &size)) return false;
        const size_t k = size[0] | (size[1] << 8);
        *missing = k == 0xFFFF;
        if (*missing) return true;
        const uint8_t* data;
        if (!Take(k, &data)) return false;
        out->assign(data, data + k);
        return true;
    }
};

bool Terminated(const WatermarkRecord& r) {
    using nvx::stamps::FieldText;
    return std::memchr(r.szKey, 0, sizeof r.szKey) && FieldText(r.szWmkTitle, sizeof r.szWmkTitle).size() < 32 &&
           FieldText(r.szWmkStr, sizeof r.szWmkStr).size() < 129 &&
           FieldText(r.szFontName, sizeof r.szFontName).size() < 32;
}

bool NoFaceStartingWithX(const WCHAR* face) {
    return face[0] != u'X';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    const uint8_t* head;
    if (!in.Take(2, &head)) return 0;
    const size_t listValues = head[0];
    BytesSource list, order;
    const size_t countBytes = head[1] & 7;
    list.countType = (head[1] & 8) ? REG_BINARY : REG_DWORD;
    if (countBytes) {
        const uint8_t* count;
        if (!in.Take(countBytes, &count)) return 0;
        list.values[kWatermarkCountValue].assign(count, count + countBytes);
    }
    bool missing = false;
    std::vector<BYTE> value;
    for (uint32_t i = 0; i < listValues && in.Value(&value, &missing); ++i)
        if (!missing) list.values[kWatermarkNames.Name(i)] = value;
    for (uint32_t i = 0; i < 120 && in.Value(&value, &missing); ++i)
        if (!missing) order.values[kOrderNames.Name(i)] = value;

    WatermarkSet set;
    ReadWatermarkList(list, kMaxSharedWatermarks, NoFaceStartingWithX, u"Arial", &set.shared);
    ReadWatermarkList(list, kMaxPrivateWatermarks, nullptr, u"Arial", &set.personal);
    if (set.shared.size() > kMaxSharedWatermarks || set.personal.size() > kMaxPrivateWatermarks) abort();
    for (const WatermarkRecord& r : set.shared)
        if (!Terminated(r) || r.szFontName[0] == u'X') abort();
    set.order = ReadWatermarkOrder(order, set.shared, set.personal);
    if (set.order.size() > kMaxOrderEntries) abort();

    std::vector<ListedWatermark> listed = DisplayList(set);
    if (listed.size() > set.order.size()) abort();

    // Edits chosen by what is left of the input.
    OEMDEV record{};
    for (size_t i = 0; i < in.n && i < 16; ++i) {
        const uint8_t op = in.p[i];
        const size_t count = DisplayList(set).size();
        switch (op & 3) {
        case 0:
            if (!set.shared.empty()) AddWatermark(&set, set.shared[op % set.shared.size()], (op & 4) != 0);
            break;
        case 1: RemoveWatermark(&set, count ? (op >> 2) % (count + 1) : 0); break;
        case 2: MoveWatermark(&set, (op >> 2) % (count + 1), (op >> 5) % (count + 1)); break;
        default: ChooseWatermark(record, set, (op >> 2) % (count + 1)); break;
        }
        FollowChosenWatermark(record, set);
        if (set.shared.size() > kMaxSharedWatermarks || set.personal.size() > kMaxPrivateWatermarks ||
            set.order.size() > kMaxOrderEntries)
            abort();
    }
    return 0;
}
