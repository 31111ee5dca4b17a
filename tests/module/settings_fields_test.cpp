// The settings record's field table: its shape, the offsets we chose, and the
// built-in template (every published row: settings_reference_test.cpp).
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/le.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"

namespace {

using namespace nvx::settings;

size_t KindWidth(FieldKind kind) {
    switch (kind) {
    case FieldKind::U8:
    case FieldKind::I8: return 1;
    case FieldKind::U16:
    case FieldKind::I16: return 2;
    case FieldKind::U32: return 4;
    default: return 0;
    }
}

TEST(SettingsFields, TableShape) {
    EXPECT_EQ(463u, kOemDevFieldCount);
    std::vector<int> owner(kOemDevSize, -1);
    std::set<std::string> names;
    for (size_t i = 0; i < kOemDevFieldCount; ++i) {
        const FieldDef& d = kOemDevFields[i];
        SCOPED_TRACE(d.name);
        EXPECT_TRUE(names.insert(d.name).second) << "duplicate name";
        ASSERT_GE(d.count, 1);
        EXPECT_EQ(d.count > 1, std::strstr(d.name, "%d") != nullptr);
        EXPECT_TRUE(d.count > 1 ? d.stride >= d.size : d.stride == 0);
        if (IsNumberKind(d.kind)) {
            EXPECT_EQ(KindWidth(d.kind), d.size);
            EXPECT_EQ(nullptr, d.text);
        } else {
            EXPECT_EQ(0, d.number);
            EXPECT_TRUE(d.kind == FieldKind::Ansi || d.size % 2 == 0);
        }
        for (uint32_t e = 0; e < d.count; ++e) {
            const uint32_t at = d.offset + e * d.stride;
            ASSERT_LE(at + d.size, kOemDevSize) << "element " << e << " leaves the record";
            for (uint32_t b = at; b < at + d.size; ++b) {
                EXPECT_EQ(-1, owner[b]) << "byte " << b << " also belongs to " << kOemDevFields[owner[b]].name;
                owner[b] = static_cast<int>(i);
            }
        }
    }
    // The ranges whose meaning is left open stay free of fields, but for the preset
    // selection at the start of the last one and the e-mail notification in it.
    for (auto [from, to] : {std::pair{636u, 1063u}, {1361u, 1694u}, {3392u, 3539u}, {7291u, 7291u}, {7356u, 7799u},
                            {8060u, 8074u}})
        for (uint32_t b = from; b <= to; ++b) ASSERT_FALSE(FieldAtOffset(b)) << b;
    EXPECT_EQ(std::string("byEasySetKind"), FieldAtOffset(7290).def->name);
    EXPECT_EQ(std::string("szEasySetName"), FieldAtOffset(7355).def->name);
    EXPECT_EQ(kInternal, FieldAtOffset(7292).def->use);
    EXPECT_EQ(std::string("bEmailNotify"), FieldAtOffset(7800).def->name);
    EXPECT_FALSE(FieldAtOffset(7801));
    EXPECT_EQ(std::string("szEmailAddress"), FieldAtOffset(8059).def->name);
    EXPECT_EQ(kInternal, FieldAtOffset(7802).def->use);
    EXPECT_EQ(std::string("nCopies"), FieldAtOffset(631).def->name);
    FieldRef inFont = FieldAtOffset(5408 + 33);
    ASSERT_TRUE(inFont);
    EXPECT_EQ(std::string("SubTTFontName[%d]"), inFont.def->name);
    EXPECT_EQ(1u, inFont.index);
    EXPECT_FALSE(FieldAtOffset(kOemDevSize));
}

// The offsets we chose for fields that the settings text names and the published
// layout does not place: name (element 0), offset, size, count, stride, kind.  All
// of them are carried by the settings text and hold 0 in the field table (the font
// table's built-in names and numbers are written by the template builder).
struct Placement {
    const char* name;
    uint32_t offset, size, count, stride;
    FieldKind kind;
};
const Placement kOurPlacements[] = {
    {"PTInfoAuto.nPaperType2", 171, 4, 1, 0, FieldKind::U32},
    {"PTInfoAuto.nPaperWeight", 175, 2, 1, 0, FieldKind::I16},
    {"PTInfoAuto.nPaperColor", 177, 2, 1, 0, FieldKind::I16},
    {"PTInfoEach[0].szKey", 180, 32, 10, 45, FieldKind::Ansi},
    {"PTInfoEach[0].nValue", 212, 4, 10, 45, FieldKind::U32},
    {"PTInfoEach[0].nPaperType2", 216, 4, 10, 45, FieldKind::U32},
    {"PTInfoEach[0].nPaperWeight", 220, 2, 10, 45, FieldKind::I16},
    {"PTInfoEach[0].nPaperColor", 222, 2, 10, 45, FieldKind::I16},
    {"PTInfoEach[0].nPaperPrePunched", 224, 1, 10, 45, FieldKind::U8},
    {"ImgShiftFronSide.nX", 2779, 2, 1, 0, FieldKind::I16},
    {"ImgShiftFronSide.nY", 2781, 2, 1, 0, FieldKind::I16},
    {"ImgShiftFronSide.nInterval", 2783, 2, 1, 0, FieldKind::I16},
    {"ImgShiftFronSide.nOffset", 2785, 2, 1, 0, FieldKind::I16},
    {"ImgShiftFronSide.nX_Inch", 2787, 2, 1, 0, FieldKind::I16},
    {"ImgShiftFronSide.nY_Inch", 2789, 2, 1, 0, FieldKind::I16},
    {"ImgShiftFronSide.nInterval_Inch", 2791, 2, 1, 0, FieldKind::I16},
    {"ImgShiftFronSide.nOffset_Inch", 2793, 2, 1, 0, FieldKind::I16},
    {"ImgShiftBackSide.nX", 2797, 2, 1, 0, FieldKind::I16},
    {"ImgShiftBackSide.nY", 2799, 2, 1, 0, FieldKind::I16},
    {"ImgShiftBackSide.nInterval", 2801, 2, 1, 0, FieldKind::I16},
    {"ImgShiftBackSide.nOffset", 2803, 2, 1, 0, FieldKind::I16},
    {"ImgShiftBackSide.nX_Inch", 2805, 2, 1, 0, FieldKind::I16},
    {"ImgShiftBackSide.nY_Inch", 2807, 2, 1, 0, FieldKind::I16},
    {"ImgShiftBackSide.nInterval_Inch", 2809, 2, 1, 0, FieldKind::I16},
    {"ImgShiftBackSide.nOffset_Inch", 2811, 2, 1, 0, FieldKind::I16},
    {"nLayoutMode", 2841, 1, 1, 0, FieldKind::U8},
    {"bPageLoop", 2842, 1, 1, 0, FieldKind::U8},
    {"nPageLoopNum", 2843, 2, 1, 0, FieldKind::I16},
    {"bPileMode", 2845, 1, 1, 0, FieldKind::U8},
    {"bTandem", 2846, 1, 1, 0, FieldKind::U8},
    {"nFoldPageNum", 2847, 2, 1, 0, FieldKind::I16},
    {"bPerfectBinding", 2849, 1, 1, 0, FieldKind::U8},
    {"SubTTFontName[0]", 5408, 32, 27, 32, FieldKind::Ansi},
    {"bySubPrnFontIndex[0]", 6272, 1, 27, 1, FieldKind::U8},
    {"SubPrnFontName[0]", 6299, 32, 27, 32, FieldKind::Ansi},
    {"SubTTFontNameNumber[0]", 7168, 4, 27, 4, FieldKind::U32},
};

TEST(SettingsFields, OurPlacementsStayPut) {
    for (const Placement& p : kOurPlacements) {
        SCOPED_TRACE(p.name);
        FieldRef ref = FindField(p.name);
        ASSERT_TRUE(ref);
        EXPECT_EQ(p.offset, ref.Offset());
        EXPECT_EQ(p.size, ref.Size());
        EXPECT_EQ(p.count, ref.def->count);
        EXPECT_EQ(p.stride, ref.def->stride);
        EXPECT_EQ(p.kind, ref.def->kind);
        EXPECT_EQ(kExchanged, ref.def->use);
        EXPECT_EQ(0, ref.def->number);
        EXPECT_EQ(nullptr, ref.def->text);
    }
    // The paper-type entries repeat the 45-byte shape of PTInfoAuto (135 to 179).
    EXPECT_EQ(179u - 135u, FindField("PTInfoAuto.nPaperPrePunched").Offset() - FindField("PTInfoAuto.szKey").Offset());
    EXPECT_EQ(224u - 180u, FindField("PTInfoEach[0].nPaperPrePunched").Offset() - 180u);
}

TEST(SettingsFields, TemplateHeaderAndFontTable) {
    OEMDEV t;
    std::memset(t.bytes, 0xCC, sizeof t.bytes);
    BuildTemplate(t);
    EXPECT_EQ(8344u, nvx::GetLE32(t.bytes));
    EXPECT_EQ(0x584C5053u, nvx::GetLE32(t.bytes + 4));
    EXPECT_EQ(0, std::memcmp(t.bytes + 4, "SPLX", 4));
    EXPECT_EQ(1u, nvx::GetLE32(t.bytes + 8));
    EXPECT_EQ(8344u, nvx::GetLE32(t.bytes + 12));
    EXPECT_TRUE(IsRecordHeader(t.bytes));
    EXPECT_EQ("", GetAnsi(t, FindField("szModelID")));  // written at attach

    // The font substitution table: five TrueType names and their device fonts,
    // nine entries counted, nine values.
    const char* trueType[] = {"Arial", "Courier New", "Times New Roman", "Symbol", "Wingdings"};
    const char* device[] = {"Arial", "Courier", "TimesNewRmn", "Symbol", "Wingdings"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(trueType[i], reinterpret_cast<const char*>(t.bytes + 5408 + 32 * i));
        EXPECT_STREQ(device[i], reinterpret_cast<const char*>(t.bytes + 6299 + 32 * i));
    }
    for (int i = 5; i < 27; ++i) {
        EXPECT_EQ(0, t.bytes[5408 + 32 * i]) << i;
        EXPECT_EQ(0, t.bytes[6299 + 32 * i]) << i;
    }
    EXPECT_EQ(9, nvx::GetField<uint16_t>(t.bytes, 7164));
    const uint32_t values[] = {489, 726, 1405, 630, 938, 1383, 1624, 1169, 1410};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(values[i], nvx::GetLE32(t.bytes + 7168 + 4 * i)) << i;
    for (int i = 9; i < 27; ++i) EXPECT_EQ(0u, nvx::GetLE32(t.bytes + 7168 + 4 * i)) << i;

    // Texts are stored as they travel: ANSI bytes, UTF-16 little-endian.
    EXPECT_EQ(0, std::memcmp(t.bytes + 32, "PCLXL\0", 6));
    EXPECT_EQ(0, std::memcmp(t.bytes + 4360, "s\0R\0G\0B\0\0\0", 10));

    // Every byte that no field covers is zero, whatever the record held before.
    for (uint32_t b = 0; b < kOemDevSize; ++b) {
        if (!FieldAtOffset(b)) {
            ASSERT_EQ(0, t.bytes[b]) << b;
        }
    }
}

TEST(SettingsFields, PreparedTemplateCarriesTheModel) {
    PrepareDefaultTemplate();
    EXPECT_EQ("Q57_3FA", GetAnsi(DefaultTemplate(), FindField("szModelID")));
    EXPECT_EQ(0, std::memcmp(DefaultTemplate().bytes + 16, "Q57_3FA\0", 8));
    // A second preparation starts again from the table.
    SetNumber(DefaultTemplate(), "nCopies", 7);
    PrepareDefaultTemplate();
    EXPECT_EQ(1, GetNumber(DefaultTemplate(), "nCopies"));
}

}  // namespace
