// novrix prefs --picture and novrix picture: the real binary writes one PNG per
// page, named after the tab, and the dialog a press opens; the errors have
// their exit codes.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tools/novrix_run.h"

namespace {

using nvxtest::Outcome;

class NovrixPictureTest : public nvxtest::NovrixRunTest {
protected:
    // Whether the file starts with the PNG signature.
    static bool IsPng(const std::string& path) {
        std::string bytes = Read(path);
        return bytes.size() > 8 && bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0;
    }
    static int PngCount(const std::string& dir) {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir)) n += e.path().extension() == ".png";
        return n;
    }
};

TEST_F(NovrixPictureTest, PrefsPictureWritesEveryPageNamedAfterItsTab) {
    const std::string dir = Root() + "/pictures";  // made by novrix
    Outcome r = Novrix("prefs --set Orientation=Landscape --picture '" + dir + "'");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(Has(r.out, "Orientation: Landscape"));
    EXPECT_TRUE(Has(r.out, "Picture of Basic: " + dir + "/basic.png")) << r.out;
    for (const char* name : {"basic", "layout", "quality", "finishing", "other", "stamp-composition", "version",
                             "device-settings"})
        EXPECT_TRUE(IsPng(dir + "/" + name + ".png")) << name;
    EXPECT_EQ(PngCount(dir), static_cast<int>(std::count(r.out.begin(), r.out.end(), '\n')) - 2) << r.out;
}

TEST_F(NovrixPictureTest, PictureWithAPressWritesOnlyTheDialogItOpens) {
    const std::string dir = Root() + "/dialogs";
    Outcome r = Novrix("picture '" + dir + "' --press 'Custom Paper...'");
    ASSERT_EQ(0, r.rc) << r.err;
    EXPECT_TRUE(IsPng(dir + "/custom-paper.png")) << r.out;
    EXPECT_EQ(1, PngCount(dir));
    EXPECT_FALSE(Has(r.out, "not stored")) << r.out;
    EXPECT_FALSE(Has(r.err, "declined")) << r.err;
}

TEST_F(NovrixPictureTest, ErrorsHaveTheirExitCodes) {
    Outcome noDir = Novrix("picture");
    EXPECT_EQ(2, noDir.rc);
    EXPECT_TRUE(Has(noDir.err, "give the folder")) << noDir.err;
    std::ofstream(Root() + "/afile") << "x";
    Outcome notFolder = Novrix("prefs --picture '" + Root() + "/afile'");
    EXPECT_EQ(1, notFolder.rc);
    EXPECT_TRUE(Has(notFolder.err, "is not a folder")) << notFolder.err;
    Outcome noPage = Novrix("picture '" + Root() + "/p' --page Nowhere --press Edit...");
    EXPECT_EQ(1, noPage.rc);
    EXPECT_TRUE(Has(noPage.err, "no page \"Nowhere\"")) << noPage.err;
}

}  // namespace
