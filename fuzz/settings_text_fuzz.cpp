// Fuzz target: the settings text on any input, as records and printer data hold it
// (UTF-16LE) and as files hold it (UTF-8, byte-order mark optional).  Every
// section is read into a settings record, a preset header and the watermark lists;
// then the text is rendered and read again, which must give the same rendering.
// Refusals are fine; a crash, a write past a field or a mismatch (trap) is not.
#include <cstddef>
#include <cstdint>
#include <string>

#include "presets/settings_exchange.h"

namespace {

using namespace nvx::presets;

void ReadEverything(SettingsDoc& doc) {
    OEMDEV record{};
    nvx::settings::WriteRecordHeader(record);
    RecordExchangeRules rules;
    rules.options[kIncludePaper] = rules.options[kIncludeResolution] = 1;
    rules.options[kIncludeWatermarks] = rules.options[kIncludeSharedWatermarks] = 1;
    rules.imageShiftType1 = rules.coverType1 = rules.colorAdjustType1 = rules.colorAdjustOtherType2 = true;
    rules.resolutions = {{600, 600, 600, 1}};
    ExchangeRecord(Direction::Read, doc, record, rules);
    EasySetHeader header{};
    ExchangeHeader(Direction::Read, doc, header, u"fallback", u"comment");
    WatermarkLists lists;
    ExchangeWatermarkList(Direction::Read, true, doc, lists.shared, rules.options);
    ExchangeWatermarkList(Direction::Read, false, doc, lists.personal, rules.options);
    ExchangeWatermarkOrder(Direction::Read, doc, lists.order, rules.options);
    ImportEnvironment env;
    env.driverName = u"NOVRIX Fax Driver Mono";
    env.language = u"0409";
    CheckImport(&doc, u"name", env);
    // What was read writes out again.
    SettingsDoc out;
    BuildPresetText(out, header, record, lists, rules);
    RenderSettingsText(out);
}

void RenderTwice(const SettingsDoc& doc) {
    nvx::WString once = RenderSettingsText(doc);
    SettingsDoc again = ParseSettingsText(once.data(), once.size());
    if (RenderSettingsText(again) != once) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SettingsDoc wide = ParseUtf16Bytes(data, size);
    ReadEverything(wide);
    RenderTwice(wide);
    SettingsDoc file;
    if (ParseSettingsFileBytes(std::string(reinterpret_cast<const char*>(data), size), &file) == ERROR_SUCCESS) {
        ReadEverything(file);
        RenderTwice(file);
    }
    return 0;
}
