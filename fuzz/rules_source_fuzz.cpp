// Fuzz target: the rule language's reader on any text, and its writer on any
// block file.  A source that reads is written out and read back to the same
// package; a block file that reads is dumped as rules and compiles back to the
// same bytes.  Errors are fine; a crash, a hang or a mismatch (trap) is not.
#include <cstddef>
#include <cstdint>
#include <string>

#include "vpdc.h"
#include "vpdc_rules.h"

namespace {

// text(pkg) reads back to pkg.
void ThroughText(const vpdc::BlockPackage& pkg) {
    vpdc::Bytes once;
    try {
        once = vpdc::WriteBlock(pkg);
    } catch (const vpdc::Error&) {
        return;  // counts the file cannot hold
    }
    vpdc::BlockPackage back = vpdc::RulesFromText(vpdc::RulesToText(pkg), "dump");
    if (vpdc::WriteBlock(back) != once) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        ThroughText(vpdc::RulesFromText(text, "fuzz"));
    } catch (const vpdc::Error&) {
    }
    try {
        ThroughText(vpdc::ReadBlock(vpdc::Bytes(data, data + size)));
    } catch (const vpdc::Error&) {
    }
    return 0;
}
