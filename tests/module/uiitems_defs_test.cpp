// The built-in UI item definition table and the item-to-field binding table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "features/ui_items.h"
#include "settings/oemdev_fields.h"

using namespace nvx::features;

namespace {

std::string Dialogs(const UiItemDef& d) {
    std::string s;
    for (uint32_t id : d.dialogs) {
        if (id == 0) break;
        if (!s.empty()) s += '/';
        s += std::to_string(id);
    }
    return s;
}

// "dialogs feature(option) control:type" of row i.
std::string RowText(size_t i) {
    const UiItemDef& d = kUiItemDefs[i];
    std::string s = Dialogs(d) + " " + d.feature;
    if (d.option[0]) s += std::string("(") + d.option + ")";
    return s + " " + std::to_string(d.control) + ":" + std::to_string(d.type);
}

TEST(UiItemDefs, RowCountOrderAndSampleRows) {
    size_t n = 0;
    while (kUiItemDefs[n].feature[0]) ++n;
    EXPECT_EQ(461u, n);
    EXPECT_EQ(0u, kUiItemDefs[461].control);

    struct Sample {
        size_t row;
        const char* text;
    } samples[] = {
        {0, "100/200 OutputMethod 1138:1"},
        {2, "100/200 Orientation(Portrait) 1020:3"},
        {3, "100/200 Orientation(Landscape) 1023:3"},
        {18, "100/130/164 MediaType 1003:1"},
        {19, "130/164/3154/3155 MediaType_Tray1 1003:1"},
        {41, "2171 SingleSignOn 3430:5"},
        {44, "2171 SingleSignOn 3156:5"},
        {460, "171 Resolution 1931:1"},
    };
    for (const Sample& s : samples) EXPECT_EQ(s.text, RowText(s.row)) << s.row;

    // Rows found by name sit at their place in the listed order.
    auto rowOf = [&](const char* feature, const char* option = "") -> int {
        for (size_t i = 0; i < n; ++i)
            if (std::strcmp(kUiItemDefs[i].feature, feature) == 0 && std::strcmp(kUiItemDefs[i].option, option) == 0)
                return static_cast<int>(i);
        return -1;
    };
    EXPECT_EQ("156/207 OptionSetting 1081:1", RowText(static_cast<size_t>(rowOf("OptionSetting"))));
    EXPECT_EQ(rowOf("OptionSetting") + 1, rowOf("MediaTypeList_Tray"));
    EXPECT_EQ(" HF_Numbering 1579:5", RowText(static_cast<size_t>(rowOf("HF_Numbering"))));  // no dialog ids
    EXPECT_EQ("2055/191/2551 DPE_PageNumStartNum 2241:4", RowText(static_cast<size_t>(rowOf("DPE_PageNumStartNum"))));
    EXPECT_EQ("3328 CC_CopyOrder(CC_CopyOrder_Page) 3347:3",
              RowText(static_cast<size_t>(rowOf("CC_CopyOrder", "CC_CopyOrder_Page"))));
    EXPECT_LT(rowOf("PaperSize"), rowOf("OutPaperSize"));
    EXPECT_LT(rowOf("Staple_op"), rowOf("HolePunch_op"));
    EXPECT_LT(rowOf("PerPageListStaple"), rowOf("PerPageListHolePunch"));
}

TEST(UiItemDefs, RowShapes) {
    size_t radio = 0;
    for (size_t i = 0; i < kUiItemDefCount; ++i) {
        const UiItemDef& d = kUiItemDefs[i];
        SCOPED_TRACE(RowText(i));
        EXPECT_GE(d.type, 1u);
        EXPECT_LE(d.type, 8u);
        // Only radio rows name an option.
        EXPECT_EQ(d.type == kUiRadio, d.option[0] != 0);
        radio += d.type == kUiRadio;
        EXPECT_EQ(0u, d.listSource);
        EXPECT_NE(0u, d.control);
        EXPECT_LT(std::strlen(d.feature), kUiNameBytes);
        // Id lists are zero-terminated: nothing after the first 0.
        bool ended = false;
        for (uint32_t id : d.dialogs) {
            if (ended) {
                EXPECT_EQ(0u, id);
            }
            ended = ended || id == 0;
        }
    }
    EXPECT_EQ(52u, radio);
}

TEST(UiItemDefs, EveryBindingResolvesInTheFieldTable) {
    for (size_t i = 0; i < kUiFieldBindingCount; ++i) {
        const UiFieldBinding& b = kUiFieldBindings[i];
        nvx::settings::FieldRef ref = nvx::settings::FindField(b.field);
        EXPECT_TRUE(ref) << b.feature << " -> " << b.field;
        // The bound feature is one that the definition table names.
        bool named = false;
        for (size_t k = 0; k < kUiItemDefCount && !named; ++k) named = std::strcmp(kUiItemDefs[k].feature, b.feature) == 0;
        EXPECT_TRUE(named) << b.feature;
        // One row per feature: the first would hide a second.
        for (size_t k = 0; k < i; ++k) EXPECT_STRNE(kUiFieldBindings[k].feature, b.feature);
    }
    EXPECT_EQ(nullptr, UiFieldNameOf("SetNupStyle"));
    EXPECT_EQ(nullptr, UiFieldNameOf(""));
    EXPECT_STREQ("PTInfoEach[5].nValue", UiFieldNameOf("MediaType_Manual"));
}

TEST(UiItemDefs, StorageTypesFollowTheFieldKinds) {
    using nvx::settings::FieldKind;
    EXPECT_EQ(kUiStoreU8, StorageTypeOf(FieldKind::U8));
    EXPECT_EQ(kUiStoreI8, StorageTypeOf(FieldKind::I8));
    EXPECT_EQ(kUiStoreI16, StorageTypeOf(FieldKind::I16));
    EXPECT_EQ(kUiStoreU16, StorageTypeOf(FieldKind::U16));
    EXPECT_EQ(kUiStoreU32, StorageTypeOf(FieldKind::U32));
    EXPECT_EQ(kUiStoreI8, StorageTypeOf(FieldKind::Ansi));  // texts: their first byte
    EXPECT_EQ(kUiStoreI8, StorageTypeOf(FieldKind::Text));
}

}  // namespace
