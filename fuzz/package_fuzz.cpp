// Fuzz target: any bytes as a package image, through every lookup, read and
// loader of the package reader and through the block layout load.  The reader
// must answer without crashing, hanging, leaking or touching memory outside the
// image and the destinations it was given.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/le.h"
#include "model/package.h"
#include "model/package_block.h"

using namespace nvx::model;

namespace {

// Names the seeds use, plus whatever name the input itself carries at offset 8.
const char* const kNames[] = {"Property_0", "Nup", "MessageStr", "Copies", "Overlay", "DeviceOption",
                              "Version", "Numbers", "Backwards", "Odd", "Other"};
const char* const kKeys[] = {"OK", "4up", "Ver_Command"};

ControlTextRow TextRow(const char* key) {
    ControlTextRow r{};
    std::strncpy(r.key, key, sizeof r.key - 1);
    return r;
}

// Option rows of 144 bytes with keys, and a terminating row.
std::vector<uint8_t> OptionRows() {
    std::vector<uint8_t> rows(5 * 144, 0);
    const char* keys[] = {"2up", "4up", "9up", "Tray2"};
    for (int i = 0; i < 4; ++i) {
        nvx::PutLE32(rows.data() + i * 144, 144);
        std::strcpy(reinterpret_cast<char*>(rows.data() + i * 144 + 4), keys[i]);
    }
    return rows;
}

// Touches every element a rule row points at, so that a pointer past its array shows.
uint64_t WalkRules(const ConstraintBlock& block) {
    uint64_t sum = 0;
    const ConstraintRow* rows = block.Rules();
    if (rows == nullptr) return 0;
    for (uint32_t i = 0; i < block.RuleCount(); ++i) {
        const ConstraintRow& r = rows[i];
        for (uint32_t c = 0; c < r.conditionCount; ++c) sum += r.conditions[c].op + r.conditions[c].feature[31];
        for (uint32_t t = 0; t < r.tokenCount; ++t) sum += r.tokens[t];
        for (uint32_t a = 0; a < r.actionCount; ++a) sum += r.actions[a].code + r.actions[a].param;
        sum += r.first.feature[0] + r.second.option[31];
    }
    sum += rows[0].conditions != nullptr;
    char version[40];
    block.CustomVersion(version, sizeof version);
    return sum;
}

void Exercise(const Package& pkg, const char* name, std::vector<WCHAR>& messages) {
    pkg.FindEntry40(name);
    char def[64];
    pkg.ReadDefaultName(name, def, sizeof def);
    int32_t range[3];
    RangeLoad(pkg, name, range);

    ControlTextRow table[] = {TextRow("OK"), TextRow("Cancel"), TextRow("Title"), TextRow("")};
    TextLoad(pkg, name, table);
    std::vector<uint8_t> rows = OptionRows();
    OptionTextLoad(pkg, name, rows.data(), 144, 1);
    ReorderLoad(pkg, name, rows.data(), 144, 1, false);
    rows = OptionRows();
    ReorderLoad(pkg, name, rows.data(), 144, 3, true);
    NumberedStringLoad(pkg, name, messages.data(), 290, 1000);
    WCHAR list[64];
    StringListLoad(pkg, name, list, sizeof list, 0);
    StringListLoad(pkg, name, list, sizeof list, 20);
    WCHAR value[300];
    for (const char* key : kKeys) {
        KeyedValueLoad(pkg, name, key, value, 300);
        KeyedValueLoad40(pkg, name, key, value, 300);
    }

    EntryInfo e;
    if (pkg.GetEntry(name, &e)) {
        for (ItemOrder order : {ItemOrder::Chain, ItemOrder::Index}) {
            pkg.ForEachItem(e, order, [&](uint32_t at) {
                nvx::vpd::Item item;
                char key[291];
                uint8_t record[28];
                if (pkg.ReadItem(at, &item)) {
                    pkg.ReadKey(item.key, key, sizeof key);
                    pkg.ReadValue(item.value, value, 300);
                }
                pkg.ReadRecord(at, sizeof record, record);
                return true;
            });
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<WCHAR> messages(1000 * 290);
    PackagePtr pkg = Package::OpenImage(data, size);
    if (!pkg) return 0;
    // The module's check of the directory, in both layouts (the answer is not
    // used: it must only end, and read nothing outside the input).
    std::string what;
    pkg->CheckDirectory(nvx::vpd::kEntry52Size, &what);
    pkg->CheckDirectory(nvx::vpd::kEntry40Size, &what);

    // One of the seeds' names per run (chosen by the size, so that every name
    // gets its turn without multiplying the work of each run) ...
    Exercise(*pkg, kNames[size % (sizeof kNames / sizeof kNames[0])], messages);
    // ... and the name the input carries in its first entry.
    if (size >= 8 + 32) {
        char own[33] = {};
        std::memcpy(own, data + 8, 32);
        Exercise(*pkg, own, messages);
    }
    // Raw reads at offsets the input chooses.
    for (size_t i = 0; i + 4 <= size && i < 64; i += 4) {
        uint32_t at = nvx::GetLE32(data + i);
        uint8_t buf[64];
        uint32_t v;
        char key[291];
        WCHAR text[291];
        int32_t range[3];
        pkg->Read(buf, sizeof buf, at);
        pkg->Read32(at, &v);
        pkg->ReadEntry(at, buf);
        pkg->ReadInfo(at, buf);
        pkg->ReadKey(at, key, sizeof key);
        pkg->ReadValue(at, text, 291);
        pkg->ReadRange(at, range);
    }
    ConstraintBlock block;
    block.Load(*pkg);
    volatile uint64_t sink = WalkRules(block);
    (void)sink;
    return 0;
}
