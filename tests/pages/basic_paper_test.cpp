// The Basic tab's paper sizes without a page: what goes into the device mode.
#include <gtest/gtest.h>

#include "pages/basic_paper.h"
#include "settings/oemdev.h"

namespace {

using nvx::pages::DevModePaperSize;

TEST(DevModePaper, InchModelsGiveTenthsOfAMillimetre) {
    OEMDEV r{};
    nvx::settings::SetNumber(r, "nPaperSize", 9);
    nvx::settings::SetNumber(r, "sizPaper.cx", 827);   // A4 in 0.01 inch
    nvx::settings::SetNumber(r, "sizPaper.cy", 1169);
    short w = 0, h = 0;
    DevModePaperSize(r, true, &w, &h);
    EXPECT_EQ(2101, w) << "8.27 inch is 210.06 mm";
    EXPECT_EQ(2969, h);
    DevModePaperSize(r, false, &w, &h);
    EXPECT_EQ(827, w) << "a millimetre model's size is already in 0.1 mm";
    // The user-defined size is taken from its own 0.1 mm fields: no round trip.
    nvx::settings::SetNumber(r, "nPaperSize", 256);
    nvx::settings::SetNumber(r, "sizInUserDefPaperMM.cx", 2100);
    nvx::settings::SetNumber(r, "sizInUserDefPaperMM.cy", 12000);
    nvx::settings::SetNumber(r, "sizPaper.cx", 827);
    DevModePaperSize(r, true, &w, &h);
    EXPECT_EQ(2100, w);
    EXPECT_EQ(12000, h);
    // A size past the device mode's 16 bits is held at its limit, not wrapped.
    nvx::settings::SetNumber(r, "nPaperSize", 9);
    nvx::settings::SetNumber(r, "sizPaper.cy", 20000);
    DevModePaperSize(r, true, &w, &h);
    EXPECT_EQ(32767, h);
}

}  // namespace
