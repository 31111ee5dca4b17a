// Fuzz target: the host stand-in's reader of the device's installed options text.
// Every option it takes has a non-empty key without '=' or a line end, and a value
// that came as digits; nothing is read past the bytes given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "../companions/host/installed_options_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly size bytes, so that a read past them is caught.
    std::vector<char> text(data, data + size);
    size_t taken = 0;
    nvxhost::ForEachInstalledOption(text.data(), text.size(), [&](std::string_view key, uint16_t) {
        if (key.empty() || key.find('=') != std::string_view::npos || key.find('\n') != std::string_view::npos ||
            key.find('\0') != std::string_view::npos)
            std::abort();
        ++taken;
    });
    if (taken > size / 3) std::abort();  // a line takes at least "K=0\n"
    return 0;
}
