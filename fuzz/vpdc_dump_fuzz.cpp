// Fuzz target: vpdc dumps any bytes in each layout, the dump compiles, and the
// package compiled from it comes back byte for byte through a second dump in the
// same layout (it is one vpdc wrote).  A mismatch traps.
#include <cstddef>
#include <cstdint>

#include "vpdc.h"
#include "vpdc_print.h"

namespace {

void RoundTrip(const vpdc::Bytes& in, vpdc::Layout layout) {
    vpdc::Json src;
    try {
        src = vpdc::Dump(in, layout);
    } catch (const vpdc::Error&) {
        return;  // only a block file shorter than its header is refused
    }
    vpdc::Bytes once = vpdc::Compile(vpdc::Json::parse(vpdc::Pretty(src)));
    // Read back in the layout it was written in (guessing may differ for garbage).
    vpdc::Layout written = src["layout"] == "block"         ? vpdc::Layout::Block
                           : src["layout"] == "directory40" ? vpdc::Layout::Directory40
                                                            : vpdc::Layout::Directory52;
    vpdc::Bytes twice = vpdc::Compile(vpdc::Dump(once, written));
    if (twice != once) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vpdc::Bytes in(data, data + size);
    RoundTrip(in, vpdc::Layout::Auto);
    RoundTrip(in, vpdc::Layout::Directory52);
    RoundTrip(in, vpdc::Layout::Directory40);
    RoundTrip(in, vpdc::Layout::Block);
    return 0;
}
