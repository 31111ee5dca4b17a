// Process-wide objects of the module's frame: created at attach, released at detach.
//
// The host owns sheets, contexts and device modes.  Each layer keeps what it loads
// beside its own code (the model in model/loaded_model.h, the UI item table in
// features/ui_items.h, the prepared rules in constraints/prepared_rules.h); this
// state holds what belongs to no layer above the frame.  Every release clears its
// pointer and skips what is already null.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"

namespace nvx::frame {

// The security interface link (single sign-on).
struct SecurityLink {
    HMODULE library = nullptr;     // Secur32.dll
    void* functionTable = nullptr; // answer of InitSecurityInterfaceW
    FARPROC getUserNameEx = nullptr;
    uint32_t count = 0;            // set to 37 when linked
};

// The per-page setting buffers: a grid of kPerPageRows x N slots (N from the model
// record), each with a zero-filled settings buffer and one 32-bit value per
// constraint rule.  Empty when the variant keeps no per-page settings or memory ran out.
inline constexpr size_t kPerPageRows = 10;
inline constexpr size_t kPerPageSettingBytes = 578;
// A model that asks for more slots per row is taken as damaged: no grid.
inline constexpr size_t kPerPageMaxColumns = 1000;
struct PerPageSlot {
    std::vector<uint8_t> settings;     // kPerPageSettingBytes
    std::vector<uint32_t> ruleValues;  // one per rule of the constraint file
    uint32_t counter = 0;
    uint32_t value = 0;
};
struct PerPageBuffers {
    size_t columns = 0;              // N
    std::vector<PerPageSlot> slots;  // row-major, kPerPageRows x columns
    PerPageSlot* Slot(size_t row, size_t column) {
        return row < kPerPageRows && column < columns ? &slots[row * columns + column] : nullptr;
    }
};
// Allocates the grid; false (and an empty grid) when memory runs out.
bool AllocatePerPageBuffers(PerPageBuffers& buffers, size_t columns, size_t ruleCount);
void FreePerPageBuffers(PerPageBuffers& buffers);

struct ModuleState {
    HMODULE self = nullptr;             // not owned
    HMODULE imageResources = nullptr;   // NOVRIX_R.DLL; GetImgResInst answers it
    HMODULE dialogResources = nullptr;  // NOVRIX_S.DLL; released at detach with NOVRIX_R.DLL
    uint32_t engineStateWords[12] = {}; // UI item table builder and constraint engine
    PerPageBuffers perPage;  // only without the type-1 cover page
    SecurityLink security;
    // Device-API selection: a flag and a marker that the Basic tab and the
    // user-settings dialogs read and change.
    uint32_t deviceApiSelected = 0;
    uint16_t deviceApiSelectionMarker = 0;
    bool attached = false;
};

// The module's one instance of the state.
ModuleState& Module();

}  // namespace nvx::frame
