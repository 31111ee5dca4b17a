// Fuzz target: any bytes as the device's header/footer list from the device
// information cache, through the list reader, the combo's choices and the detail
// list.  The reader must never read past the bytes (the input is copied to a
// buffer of exactly its size), keep more than 20 programs, or texts longer than
// the driver keeps.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "stamps/header_footer.h"

using namespace nvx::stamps;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<BYTE> bytes(data, data + size);
    const std::vector<DeviceHeaderFooter> programs = ParseDeviceHeaderFooters(bytes);
    if (programs.size() > kMaxDevicePrograms) __builtin_trap();
    for (const DeviceHeaderFooter& p : programs) {
        if (p.name.size() > 31 || p.headerText.size() > 127 || p.footerText.size() > 127) __builtin_trap();
        if (p.dateFormat > 4 || p.timeFormat > 2) __builtin_trap();
    }
    const HeaderFooterTexts texts;
    const int32_t setting = size ? data[0] : 1;
    const auto rows = DetailCells(programs, setting, texts);
    (void)rows;
    (void)ProgramsInUse(programs);
    return 0;
}
