#include "pages/page_identity.h"

#include "common/text.h"

namespace nvx::pages {
namespace {

const WCHAR* const kPageIdProp = WL("NovrixPageId");

}  // namespace

void RecordPageId(HWND window, uint32_t page) {
    if (!window) return;
    if (page == 0) {
        RemovePropW(window, kPageIdProp);
        return;
    }
    SetPropW(window, kPageIdProp, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(page)));
}

uint32_t PageIdOf(HWND window) {
    if (!window) return 0;
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetPropW(window, kPageIdProp)));
}

}  // namespace nvx::pages
