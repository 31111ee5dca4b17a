#include "frame/module_state.h"

#include <new>

namespace nvx::frame {

ModuleState& Module() {
    static ModuleState state;
    return state;
}

bool AllocatePerPageBuffers(PerPageBuffers& buffers, size_t columns, size_t ruleCount) {
    FreePerPageBuffers(buffers);
    try {
        buffers.slots.resize(kPerPageRows * columns);
        for (PerPageSlot& slot : buffers.slots) {
            slot.settings.assign(kPerPageSettingBytes, 0);
            slot.ruleValues.assign(ruleCount, 0);
        }
    } catch (const std::bad_alloc&) {
        FreePerPageBuffers(buffers);
        return false;
    }
    buffers.columns = columns;
    return true;
}

void FreePerPageBuffers(PerPageBuffers& buffers) {
    std::vector<PerPageSlot>().swap(buffers.slots);
    buffers.columns = 0;
}

}  // namespace nvx::frame
