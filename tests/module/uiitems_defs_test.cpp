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
