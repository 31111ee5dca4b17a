// The settings record's field table: its shape, the published offsets, widths and
// template defaults, the offsets we chose, and the built-in template.
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
    EXPECT_EQ(459u, kOemDevFieldCount);
    std::vector<int> owner(kOemDevSize, -1);
    std::set<std::string> names;
    uint32_t lastOffset = 0;
    for (size_t i = 0; i < kOemDevFieldCount; ++i) {
        const FieldDef& d = kOemDevFields[i];
        SCOPED_TRACE(d.name);
        EXPECT_TRUE(names.insert(d.name).second) << "duplicate name";
        EXPECT_GE(d.offset, lastOffset) << "rows are in record order";
        lastOffset = d.offset;
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
    // The ranges whose meaning is left open stay free of fields.
    for (auto [from, to] : {std::pair{636u, 1063u}, {1361u, 1694u}, {3392u, 3539u}, {7290u, 8074u}})
        for (uint32_t b = from; b <= to; ++b) ASSERT_FALSE(FieldAtOffset(b)) << b;
    EXPECT_EQ(std::string("nCopies"), FieldAtOffset(631).def->name);
    FieldRef inFont = FieldAtOffset(5408 + 33);
    ASSERT_TRUE(inFont);
    EXPECT_EQ(std::string("SubTTFontName[%d]"), inFont.def->name);
    EXPECT_EQ(1u, inFont.index);
    EXPECT_FALSE(FieldAtOffset(kOemDevSize));
}

// Rows as the record's published layout gives them: name, offset, width, default.
struct Published {
    const char* name;
    uint32_t offset;
    uint32_t width;
    int32_t number;
};
const Published kPublishedSample[] = {
    {"bPassthruOff", 52, 4, 0},  // u32
    {"nOrientation", 72, 1, 1},  // u8
{"rcMargin.right", 84, 2, 43},  // i16
    {"sizOutPaper.cy", 108, 2, 2970},  // i16
    {"nMediaType", 130, 2, 257},  // i16
    {"nCopies", 630, 2, 1},  // u16
    {"bPaperOption1", 1064, 1, 0},  // u8
    {"bNup", 1695, 1, 0},  // u8
    {"byPosterPages", 2736, 1, 1},  // u8
    {"nBindingUp", 2748, 2, 0},  // i16
    {"nBackImgShiftX", 2764, 2, 0},  // i16
    {"ImgShiftBackSide.byHShift", 2795, 1, 0},  // u8
    {"bPunch", 2829, 1, 0},  // u8
    {"bLayout", 2840, 1, 0},  // u8
    {"bFrontCover", 2862, 1, 0},  // u8
    {"nFrontCoverTray", 2864, 2, 32767},  // i16
    {"CoverPrinter.bSeparator", 2874, 1, 0},  // u8
    {"CoverMFP.nPIBCoverNum", 2887, 2, 1},  // i16
    {"CarbonCopyTBL.bCopyTray5", 2899, 1, 0},  // u8
    {"WmkInfo.nStyle", 3324, 2, 1},  // i16
    {"WmkInfo.crColor", 3328, 4, 255},  // u32
    {"WmkInfo.bBkGrnd", 3352, 1, 1},  // u8
    {"nNumberingStartNum", 3362, 2, 1},  // i16
    {"bHFE_PrintHeader", 3376, 1, 1},  // u8
    {"dwHFE_StartNumber", 3380, 4, 1},  // u32
    {"nCSE_CopyProtectOp", 3391, 1, 1},  // u8
    {"nPatternSize", 3548, 1, 1},  // u8
    {"nCPE_CP_Color", 3560, 2, 1},  // i16
    {"DateTimePageNo.bPageNo", 3580, 1, 0},  // u8
    {"DateTimePageNo.nPN_ChapterNum", 3589, 4, 1},  // u32
    {"CP_DateTime.wDateFormat", 3616, 2, 0},  // u16
    {"nFormListPos", 3770, 2, -1},  // i16
    {"DevOvlInfo.bDevOvlSurfacePrint", 3863, 1, 1},  // u8
    {"DevOvlInfo.DevOvlBack.nDevOvlPlacement", 3872, 1, 0},  // u8
    {"ColorAdjustPRT.nContrast", 3897, 1, 0},  // i8
    {"ColorAdjustMFP.BalanceAll.nMagenta", 3906, 1, 0},  // i8
    {"ColorAdjustMFP.EachText.Match.nSaturation", 3916, 1, 0},  // i8
    {"ColorAdjustMFP.EachPhoto.Match.nType", 3925, 1, 0},  // u8
    {"ColorAdjustMFP.EachPhoto.Others.nScreen", 3934, 1, 0},  // i8
    {"ColorAdjustMFP.EachEtc.nMatchBalance", 3937, 1, 1},  // i8
    {"ColorAdjustMFP.EachEtcType2.Balance.nMagenta", 3944, 1, 0},  // i8
    {"nSelectTwoColors", 3954, 1, 0},  // u8
    {"nResoHV", 3962, 2, 848},  // i16
    {"nCompressMode", 3967, 1, 4},  // u8
    {"bThinning", 3976, 1, 0},  // u8
    {"ColorImage.nColorChg", 3985, 1, 1},  // u8
    {"ColorGraphics.nScreen", 3994, 1, 2},  // u8
    {"nImageDestColor", 4878, 2, 0},  // i16
    {"nJpegCompressRatio", 5404, 1, 95},  // u8
    {"nTTFont", 5406, 1, 1},  // u8
    {"SubFontEntryNum", 7164, 2, 9},  // u16
    {"nChkBlankRatio", 7287, 1, 75},  // u8
    {"nRoundOffCol_ThresholdVal", 7289, 1, 5},  // u8
    {"nSingleSignOn", 8075, 1, 0},  // u8
    {"FaxSetting.fgFaxCoverSheet", 8214, 1, 0},  // u8
    {"nLowDensity", 8216, 1, 0},  // u8
    {"sizServerPaper.cx", 8217, 2, 2100},  // i16
};

TEST(SettingsFields, PublishedRowsAndDefaults) {
    OEMDEV t;
    BuildTemplate(t);
    for (const Published& p : kPublishedSample) {
        SCOPED_TRACE(p.name);
        FieldRef ref = FindField(p.name);
        ASSERT_TRUE(ref);
        EXPECT_EQ(p.offset, ref.Offset());
        EXPECT_EQ(p.width, ref.Size());
        EXPECT_EQ(p.number, ref.def->number);
        EXPECT_EQ(p.number, GetNumber(t, ref));
    }
    // The fields that the layout leaves unnamed and the settings text names.
    const Published unnamed[] = {{"sizInUserDefPaperMM.cx", 89, 2, 2100},  {"sizInUserDefPaperMM.cy", 91, 2, 2970},
                                 {"sizOutUserDefPaperMM.cx", 111, 2, 2100}, {"sizOutUserDefPaperMM.cy", 113, 2, 2970},
                                 {"sizServerPaper.cy", 8219, 2, 2970}};
    for (const Published& p : unnamed) {
        FieldRef ref = FindExchangeKey(p.name);
        ASSERT_TRUE(ref) << p.name;
        EXPECT_EQ(p.offset, ref.Offset()) << p.name;
        EXPECT_EQ(p.number, GetNumber(t, ref)) << p.name;
    }
    // Signed reads where the layout stores negative or large values.
    EXPECT_EQ(-1, nvx::GetField<int16_t>(t.bytes, 3770));
    EXPECT_EQ(-1, nvx::GetField<int16_t>(t.bytes, 3876));
    EXPECT_EQ(32767, nvx::GetField<int16_t>(t.bytes, 2868));
    EXPECT_EQ(1001, nvx::GetField<int16_t>(t.bytes, 2885));
    // Text defaults.
    EXPECT_EQ("PCLXL", GetAnsi(t, FindField("szPDLName")));
    EXPECT_EQ(0, std::memcmp(t.bytes + 32, "PCLXL\0", 6));
    for (const char* key : {"CharRGBSc.szProfileName", "ImageRGBSc.szProfileName", "GraphRGBSc.szProfileName"})
        EXPECT_TRUE(GetText(t, FindField(key)) == nvx::WString(WL("sRGB"))) << key;
    EXPECT_EQ(0, std::memcmp(t.bytes + 4360, "s\0R\0G\0B\0\0\0", 10));
    EXPECT_TRUE(GetText(t, FindField("SimProfile.szProfileName")).empty());
}

// The offsets we chose for fields that the settings text names and the published
// layout does not place: name (element 0), offset, size, count, stride.
struct Placement {
    const char* name;
    uint32_t offset, size, count, stride;
};
const Placement kOurPlacements[] = {
    {"PTInfoAuto.nPaperType2", 171, 4, 1, 0},
    {"PTInfoAuto.nPaperWeight", 175, 2, 1, 0},
    {"PTInfoAuto.nPaperColor", 177, 2, 1, 0},
    {"PTInfoEach[0].szKey", 180, 32, 10, 45},
    {"PTInfoEach[0].nValue", 212, 4, 10, 45},
    {"PTInfoEach[0].nPaperType2", 216, 4, 10, 45},
    {"PTInfoEach[0].nPaperWeight", 220, 2, 10, 45},
    {"PTInfoEach[0].nPaperColor", 222, 2, 10, 45},
    {"PTInfoEach[0].nPaperPrePunched", 224, 1, 10, 45},
    {"ImgShiftFronSide.nX", 2779, 2, 1, 0},
    {"ImgShiftFronSide.nY", 2781, 2, 1, 0},
    {"ImgShiftFronSide.nInterval", 2783, 2, 1, 0},
    {"ImgShiftFronSide.nOffset", 2785, 2, 1, 0},
    {"ImgShiftFronSide.nX_Inch", 2787, 2, 1, 0},
    {"ImgShiftFronSide.nY_Inch", 2789, 2, 1, 0},
    {"ImgShiftFronSide.nInterval_Inch", 2791, 2, 1, 0},
    {"ImgShiftFronSide.nOffset_Inch", 2793, 2, 1, 0},
    {"ImgShiftBackSide.nX", 2797, 2, 1, 0},
    {"ImgShiftBackSide.nY", 2799, 2, 1, 0},
    {"ImgShiftBackSide.nInterval", 2801, 2, 1, 0},
    {"ImgShiftBackSide.nOffset", 2803, 2, 1, 0},
    {"ImgShiftBackSide.nX_Inch", 2805, 2, 1, 0},
    {"ImgShiftBackSide.nY_Inch", 2807, 2, 1, 0},
    {"ImgShiftBackSide.nInterval_Inch", 2809, 2, 1, 0},
    {"ImgShiftBackSide.nOffset_Inch", 2811, 2, 1, 0},
    {"nLayoutMode", 2841, 1, 1, 0},
    {"bPageLoop", 2842, 1, 1, 0},
    {"nPageLoopNum", 2843, 2, 1, 0},
    {"bPileMode", 2845, 1, 1, 0},
    {"bTandem", 2846, 1, 1, 0},
    {"nFoldPageNum", 2847, 2, 1, 0},
    {"bPerfectBinding", 2849, 1, 1, 0},
    {"SubTTFontName[0]", 5408, 32, 27, 32},
    {"bySubPrnFontIndex[0]", 6272, 1, 27, 1},
    {"SubPrnFontName[0]", 6299, 32, 27, 32},
    {"SubTTFontNameNumber[0]", 7168, 4, 27, 4},
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

    // Every byte that no default names is zero.
    OEMDEV again;
    BuildTemplate(again);
    EXPECT_EQ(0, std::memcmp(t.bytes, again.bytes, sizeof t.bytes));
    for (uint32_t b : {56u, 132u, 636u, 1063u, 3392u, 7290u, 8343u}) EXPECT_EQ(0, t.bytes[b]) << b;
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
