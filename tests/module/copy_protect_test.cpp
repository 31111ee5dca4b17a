// Copy protection without a window: the fields where the record keeps them, the
// dialog an operation opens, the copy-guard text values, the pattern's text and
// font, and the sliders' ranges.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "settings/oemdev.h"
#include "stamps/copy_protect.h"

namespace {

using namespace nvx::stamps;
namespace set = nvx::settings;

OEMDEV Zeroed() {
    OEMDEV r;
    std::memset(&r, 0, sizeof r);
    return r;
}

// The fields this code reads and writes, at the offsets the rendering side reads.
TEST(CopyProtectRecord, FieldsSitWhereTheRecordKeepsThem) {
    struct Pin {
        const char* name;
        uint32_t offset, size;
    };
    const Pin pins[] = {
        {"bCopyProtect", 3390, 1},     {"nCSE_CopyProtectOp", 3391, 1}, {"bStamp", 3540, 1},
        {"nStampType", 3541, 1},       {"nFixedStamp", 3542, 1},        {"nRecordStamp", 3543, 1},
        {"nPattern", 3547, 1},         {"nAngle", 3550, 2},             {"bDistributionNumber", 3553, 1},
        {"bCompositeMethod", 3555, 1}, {"nCPE_CP_Placement", 3556, 1},  {"nBackPattern", 3558, 1},
        {"nCPE_CP_Color", 3560, 2},    {"nCPE_CP_Density", 3562, 2},    {"nCPE_CP_Contrast", 3564, 2},
        {"nCPE_SS_Color", 3566, 2},    {"nCPE_SS_Density", 3568, 2},    {"szCPText", 3640, 64},
        {"szCPFontName", 3704, 64},
    };
    for (const Pin& p : pins) {
        const set::FieldRef f = set::FindField(p.name);
        ASSERT_TRUE(f) << p.name;
        EXPECT_EQ(p.offset, f.Offset()) << p.name;
        EXPECT_EQ(p.size, f.Size()) << p.name;
    }
    // A density below zero survives the 16-bit field (the sliders go both ways).
    OEMDEV r = Zeroed();
    ASSERT_TRUE(SetSliderValue(r, Slider::PatternDensity, -2, {-3, 3}));
    EXPECT_EQ(0xFE, r.bytes[3562]);
    EXPECT_EQ(0xFF, r.bytes[3563]);
    EXPECT_EQ(-2, set::GetNumber(r, "nCPE_CP_Density"));
}

TEST(CopyProtectOperation, EachOperationOpensItsDialog) {
    const CopyProtectModel none{0, false}, older{1, false}, kind2{2, false}, kind3{3, false}, driver{1, true};
    EXPECT_EQ(CopyProtectDialog::None, DialogFor(none, kCopyGuard));
    EXPECT_EQ(CopyProtectDialog::Protect, DialogFor(older, kCopyGuard)) << "no operation on the older kind";
    EXPECT_EQ(CopyProtectDialog::DriverEdit, DialogFor(driver, kCopyProtect));
    for (const CopyProtectModel& m : {kind2, kind3}) {
        EXPECT_EQ(CopyProtectDialog::GuardEdit, DialogFor(m, kCopyGuard));
        EXPECT_EQ(CopyProtectDialog::None, DialogFor(m, kPasswordCopy));
        EXPECT_EQ(CopyProtectDialog::Edit, DialogFor(m, kCopyProtect));
        EXPECT_EQ(CopyProtectDialog::Edit, DialogFor(m, kRepeatableStamp));
        EXPECT_EQ(CopyProtectDialog::None, DialogFor(m, 0)) << "an operation outside the list opens nothing";
        EXPECT_EQ(CopyProtectDialog::None, DialogFor(m, 99));
    }
    EXPECT_FALSE(OperationOffered(none));
    EXPECT_FALSE(OperationOffered(older));
    EXPECT_TRUE(OperationOffered(kind2));
    EXPECT_TRUE(OperationOffered(kind3));
    EXPECT_FALSE(OperationOffered({3, true})) << "a driver-drawn pattern has no device operation";
}

// Fixed texts 1 ... 8 go to "nFixedStamp", the device's registered texts
// 101 ... 108 to "nRecordStamp"; anything else leaves the record alone.
TEST(CopyGuardTexts, ValuesGoToTheFixedOrTheRegisteredText) {
    OEMDEV r = Zeroed();
    ASSERT_TRUE(SetGuardTextValue(r, 5));
    EXPECT_EQ(0, set::GetNumber(r, "nStampType"));
    EXPECT_EQ(5, set::GetNumber(r, "nFixedStamp"));
    EXPECT_EQ(5, GuardTextValue(r));
    ASSERT_TRUE(SetGuardTextValue(r, 108));
    EXPECT_EQ(1, set::GetNumber(r, "nStampType"));
    EXPECT_EQ(8, set::GetNumber(r, "nRecordStamp"));
    EXPECT_EQ(5, set::GetNumber(r, "nFixedStamp")) << "the fixed text is kept for when it is chosen again";
    EXPECT_EQ(108, GuardTextValue(r));
    ASSERT_TRUE(SetGuardTextValue(r, 1));
    EXPECT_EQ(1, GuardTextValue(r));
    ASSERT_TRUE(SetGuardTextValue(r, 101));
    EXPECT_EQ(101, GuardTextValue(r));

    const OEMDEV before = r;
    for (int32_t bad : {0, 9, 100, 109, -1, 255})
        EXPECT_FALSE(SetGuardTextValue(r, bad)) << bad;
    EXPECT_EQ(0, std::memcmp(&before, &r, sizeof r)) << "a refused value changes nothing";

    EXPECT_EQ(WL("*Device 1"), GuardTextLabel({WL("Device 1"), 101, true}));
    EXPECT_EQ(WL("COPY"), GuardTextLabel({WL("COPY"), 2, false}));
}

TEST(CopyProtectText, TextAndFaceAtAndPastTheirEnds) {
    OEMDEV r = Zeroed();
    const nvx::WString longest(31, u'x');
    EXPECT_EQ(TextProblem::None, SetCopyProtectText(r, longest));
    EXPECT_EQ(longest, CopyProtectText(r));
    EXPECT_EQ(TextProblem::TooLong, SetCopyProtectText(r, nvx::WString(32, u'y')));
    EXPECT_EQ(longest, CopyProtectText(r)) << "refused, never cut";
    EXPECT_EQ(0, r.bytes[3640 + 62]) << "the field keeps its end";
    EXPECT_EQ(TextProblem::None, SetCopyProtectText(r, WL("")));
    EXPECT_EQ(WL(""), CopyProtectText(r));

    const std::vector<nvx::WString> faces{WL("Arial"), WL("Courier")};
    EXPECT_EQ(WL("Arial"), ShownFace(r, WL("Arial"))) << "no face stored: the default";
    EXPECT_EQ(TextProblem::None, SetCopyProtectFace(r, WL("COURIER"), faces));
    EXPECT_EQ(WL("Courier"), CopyProtectFace(r)) << "stored as the list spells it";
    EXPECT_EQ(TextProblem::NoSuchFont, SetCopyProtectFace(r, WL("Wingdings"), faces));
    EXPECT_EQ(WL("Courier"), ShownFace(r, WL("Arial")));
}

TEST(CopyProtectSliders, RangesPositionsAndLabels) {
    EXPECT_EQ(-2, MakeSliderRange(std::nullopt).low);
    EXPECT_EQ(2, MakeSliderRange(std::nullopt).high);
    const SliderRange given = MakeSliderRange(std::make_pair(-5, 5));
    EXPECT_EQ(-5, given.low);
    EXPECT_EQ(5, given.high);
    // No range in the model (both ends 0) or ends the wrong way round: the default.
    EXPECT_EQ(-2, MakeSliderRange(std::make_pair(0, 0)).low);
    EXPECT_EQ(2, MakeSliderRange(std::make_pair(4, -4)).high);

    // A stored value outside the range is shown at the nearer end; storing one is refused.
    EXPECT_EQ(3, SliderPosition(100, {-3, 3}));
    EXPECT_EQ(-3, SliderPosition(-32768, {-3, 3}));
    EXPECT_EQ(1, SliderPosition(1, {-3, 3}));
    OEMDEV r = Zeroed();
    set::SetNumber(r, "nCPE_SS_Density", 2);
    EXPECT_FALSE(SetSliderValue(r, Slider::StampDensity, 4, {-3, 3}));
    EXPECT_EQ(2, set::GetNumber(r, "nCPE_SS_Density"));
    EXPECT_TRUE(SetSliderValue(r, Slider::StampDensity, -3, {-3, 3}));
    EXPECT_EQ(-3, set::GetNumber(r, "nCPE_SS_Density"));
    EXPECT_TRUE(SetSliderValue(r, Slider::PatternContrast, 1, {-3, 3}));
    EXPECT_EQ(1, set::GetNumber(r, "nCPE_CP_Contrast"));
    EXPECT_EQ(-3, set::GetNumber(r, "nCPE_SS_Density")) << "each slider its own field";

    EXPECT_STREQ("CPE_CP_Density_Light", SliderLowKey(Slider::PatternDensity));
    EXPECT_STREQ("CPE_CP_Density_Dark", SliderHighKey(Slider::PatternDensity));
    EXPECT_STREQ("CPE_SS_Density_Light", SliderLowKey(Slider::StampDensity));
    EXPECT_STREQ("CPE_SS_Density_Dark", SliderHighKey(Slider::StampDensity));
    EXPECT_STREQ("CSE_CP_Density_Light", SliderLowKey(Slider::GuardDensity));
    EXPECT_STREQ("CSE_CP_Density_Dark", SliderHighKey(Slider::GuardDensity));
    EXPECT_STREQ("nCPE_CP_Density", SliderField(Slider::GuardDensity)) << "the copy guard's density is the pattern's";
}

}  // namespace
