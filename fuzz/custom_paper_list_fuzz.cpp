// Any bytes as a printer's stored custom paper list ("CustomPaperData"): a list
// that is taken must hold what its readers rely on (a count within the capacity,
// every name terminated and not empty, every size positive); one that is refused
// must come out empty.
//
// Input: a byte for the capacity (1 ... 10), then the stored value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/text.h"
#include "features/custom_paper_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint32_t capacity = 1 + data[0] % nvx::features::kCustomPaperMaxEntries;
    nvx::features::CustomPaperList list;
    const bool taken = nvx::features::DecodeCustomPaperList(data + 1, size - 1, capacity, &list);
    if (!taken) {
        if (list.count != 0) abort();
        return 0;
    }
    if (list.count > capacity) abort();
    for (uint32_t i = 0; i < list.count; ++i) {
        const nvx::features::CustomPaperEntry& e = list.entries[i];
        const size_t n = nvx::WLenBounded(e.name, 32);
        if (n == 0 || n == 32 || e.width <= 0 || e.length <= 0) abort();
        if (nvx::features::FindCustomPaper(list, nvx::WStringView(e.name, n)) < 0) abort();
    }
    return 0;
}
