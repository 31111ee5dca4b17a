// Every settings record the sample model can produce survives the settings text:
// the template, then each option of each feature of the model in turn (its value in
// the feature's field, a paper's size and margins, a resolution's four values,
// the ends of each numeric range), written, rendered, parsed and read back, is the
// same in every exchanged field, byte for byte.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstring>
#include <fstream>
#include <string>

#include "features/ui_items.h"
#include "presets/settings_exchange.h"
#include "settings/oemdev_template.h"

namespace {

using namespace nvx;
using namespace nvx::presets;
using namespace nvx::settings;

RecordExchangeRules AllGroups() {
    RecordExchangeRules rules;
    rules.options[kIncludePaper] = rules.options[kIncludeResolution] = 1;
    rules.imageShiftType1 = rules.coverType1 = rules.colorAdjustType1 = rules.colorAdjustOtherType2 = true;
    return rules;
}

// Written, rendered, parsed and read into a record of zeros: the exchanged fields
// must come back unchanged.  Answers how many fields differed.
int RoundTrip(const OEMDEV& in, const std::string& what) {
    RecordExchangeRules rules = AllGroups();
    OEMDEV source = in;
    SettingsDoc doc;
    EXPECT_TRUE(ExchangeRecord(Direction::Write, doc, source, rules)) << what;
    std::string file = SettingsFileBytes(doc);
    SettingsDoc back;
    EXPECT_EQ(ERROR_SUCCESS, ParseSettingsFileBytes(file, &back)) << what;
    OEMDEV out{};
    WriteRecordHeader(out);
    EXPECT_TRUE(ExchangeRecord(Direction::Read, back, out, rules)) << what;
    int differing = 0;
    for (const ExchangeItem& item : ExchangeOrder()) {
        if (!IsKeyExchanged(*item.field.def, rules)) continue;
        if (std::memcmp(in.bytes + item.field.Offset(), out.bytes + item.field.Offset(), item.field.Size()) != 0) {
            ADD_FAILURE() << what << ": " << item.key;
            ++differing;
        }
    }
    return differing;
}

TEST(SettingsSampleModel, EveryOptionOfEveryFeatureRoundTrips) {
    std::ifstream in(NVX_SAMPLE_MODEL);
    ASSERT_TRUE(in) << NVX_SAMPLE_MODEL;
    nlohmann::json model = nlohmann::json::parse(in);
    OEMDEV base;
    BuildTemplate(base);
    EXPECT_EQ(0, RoundTrip(base, "template"));
    int options = 0;
    for (const auto& entry : model["entries"]) {
        std::string feature = entry.value("name", "");
        const char* fieldName = features::UiFieldNameOf(feature);
        FieldRef field = fieldName ? FindField(fieldName) : FieldRef{};
        if (entry.contains("range") && field && IsNumberKind(field.def->kind)) {
            for (const char* end : {"min", "max"}) {
                OEMDEV r = base;
                SetNumber(r, field, entry["range"].value(end, 0));
                RoundTrip(r, feature + " " + end);
                ++options;
            }
        }
        if (!entry.contains("record") || !entry["items"].is_array()) continue;
        for (const auto& item : entry["items"]) {
            if (!item.is_object() || !item.contains("id")) continue;
            OEMDEV r = base;
            std::string what = feature + "=" + item.value("key", "");
            if (field && IsNumberKind(field.def->kind)) SetNumber(r, field, item["id"].get<int64_t>());
            if (item.contains("width") && feature == "PaperSize") {
                SetNumber(r, "sizPaper.cx", item["width"].get<int64_t>());
                SetNumber(r, "sizPaper.cy", item["height"].get<int64_t>());
                SetNumber(r, "rcMargin.left", item.value("left", 0));
                SetNumber(r, "rcMargin.top", item.value("top", 0));
                SetNumber(r, "rcMargin.right", item.value("right", 0));
                SetNumber(r, "rcMargin.bottom", item.value("bottom", 0));
            }
            if (item.contains("dpi_h")) {
                SetNumber(r, "nResoH", item["dpi_h"].get<int64_t>());
                SetNumber(r, "nResoV", item["dpi_v"].get<int64_t>());
                SetNumber(r, "nResoHV", item["dpi_hv"].get<int64_t>());
                SetNumber(r, "nBitsPixel", item["bits"].get<int64_t>());
            }
            // The output size follows the input size for "same as paper" (356/357).
            int32_t outPaper = GetNumber(r, "nOutPaperSize");
            if (outPaper == 356 || outPaper == 357) {
                SetNumber(r, "sizOutPaper.cx", GetNumber(r, "sizPaper.cx"));
                SetNumber(r, "sizOutPaper.cy", GetNumber(r, "sizPaper.cy"));
            }
            RoundTrip(r, what);
            ++options;
        }
    }
    EXPECT_GT(options, 100);  // the sample model's options were all reached
}

}  // namespace
