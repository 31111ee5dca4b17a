// Numeric ranges: the pair as the range block holds it, image shifts in tenths.
#include <gtest/gtest.h>

#include "model/numeric_ranges.h"
#include "package_test_util.h"

using nvx::model::RangeId;

TEST(NumericRanges, PairsFromTheRangeBlockWithImageShiftsInTenths) {
    auto bytes = pkgtest::Build(pkgtest::Directory(R"(
        {"name": "BindShift_Front", "items": [], "range": {"min": -20, "max": 30, "default": 0}},
        {"name": "imgshiftmfp_backo", "items": [], "range": {"min": -5, "max": 7, "default": 1}},
        {"name": "ImgShiftPrn_FrontH", "items": [], "range": {"min": 2147483647, "max": -2147483647, "default": 0}})"));
    auto pkg = pkgtest::OpenBytes(bytes);
    ASSERT_TRUE(pkg);
    nvx::model::NumericRanges ranges;
    ranges.range[static_cast<unsigned>(RangeId::DivideFinish)] = {11, 22};  // absent: stays
    nvx::model::LoadNumericRanges(*pkg, ranges);
    EXPECT_EQ(-20, ranges[RangeId::BindShift_Front].first);   // +36
    EXPECT_EQ(30, ranges[RangeId::BindShift_Front].second);   // +40
    EXPECT_EQ(-50, ranges[RangeId::ImgShiftMFP_BackO].first);  // millimetres to tenths; names ignore case
    EXPECT_EQ(70, ranges[RangeId::ImgShiftMFP_BackO].second);
    EXPECT_EQ(INT32_MAX, ranges[RangeId::ImgShiftPrn_FrontH].first);  // held, never wrapped
    EXPECT_EQ(-INT32_MAX - 1, ranges[RangeId::ImgShiftPrn_FrontH].second);
    EXPECT_EQ(11, ranges[RangeId::DivideFinish].first);
    EXPECT_EQ(22, ranges[RangeId::DivideFinish].second);
    EXPECT_EQ(0, ranges[RangeId::PIBInsertPage].second);
}
