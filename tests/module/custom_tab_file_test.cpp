// The custom page's file and the custom tab's section of a setup file: what is
// written reads back, a shorter arrangement leaves no stale keys, damaged keys
// are left out, and a setup file's section is applied only as far as it goes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "presets/custom_tab_file.h"
#include "support/platform_test.h"

namespace {

using namespace nvx;
using namespace nvx::presets;

// The files live in a folder of the test's own: the platform root is empty on
// Windows, where the tests run against the real system.
class CustomTabFile : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        folder_ = nvxtest::MakeTempDir("customtab");
    }
    void TearDown() override {
        nvxtest::RemoveTree(folder_);
        PlatformTest::TearDown();
    }
    WString Path(const char* name) const { return WFromUtf8(folder_ + "/" + name); }
    void Put(const char* name, const std::string& text) const {
        std::ofstream(folder_ + "/" + name, std::ios::binary) << text;
    }
    std::string Get(const char* name) const {
        std::ifstream in(folder_ + "/" + name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

private:
    std::string folder_;
};

TEST_F(CustomTabFile, AnArrangementReadsBackAndAShorterOneLeavesNoStaleKeys) {
    const WString path = Path("tab.ini");
    EXPECT_FALSE(ReadCustomTabArrangement(path).exists) << "no file: no arrangement";
    CustomTabArrangement a;
    a.exists = true;
    a.left = {1000, 1011, 1020};
    a.right = {1026};
    ASSERT_TRUE(WriteCustomTabArrangement(path, a));
    EXPECT_EQ(a, ReadCustomTabArrangement(path));
    const std::string text = Get("tab.ini");
    EXPECT_NE(std::string::npos, text.find("[MyTab_Arrangement]\r\nIs_MyTab_Arrangement=1\r\nMyTab_Left01=1000\r\n"))
        << text;
    EXPECT_NE(std::string::npos, text.find("MyTab_Right01=1026")) << text;

    CustomTabArrangement shorter;
    shorter.exists = true;
    shorter.left = {1011};
    ASSERT_TRUE(WriteCustomTabArrangement(path, shorter));
    EXPECT_EQ(shorter, ReadCustomTabArrangement(path));
    EXPECT_EQ(std::string::npos, Get("tab.ini").find("MyTab_Left02")) << Get("tab.ini");
    EXPECT_EQ(std::string::npos, Get("tab.ini").find("MyTab_Right01"));

    ASSERT_TRUE(WriteCustomTabArrangement(path, CustomTabArrangement{}));
    EXPECT_FALSE(ReadCustomTabArrangement(path).exists);
    EXPECT_EQ(std::string::npos, Get("tab.ini").find("MyTab_Left01"));
}

TEST_F(CustomTabFile, DamagedKeysAreLeftOutAndAColumnEndsAtItsFirstGap) {
    Put("tab.ini",
        "[MyTab_Arrangement]\r\nIs_MyTab_Arrangement= 1 \r\nMyTab_Left01=1000\r\nMyTab_Left02=abc\r\n"
        "MyTab_Left03=70000\r\nMyTab_Left04=0\r\nMyTab_Left05=-3\r\nMyTab_Left06=1011\r\nMyTab_Left08=1020\r\n"
        "MyTab_Right01=\r\nMyTab_Right02=1026\r\n");
    const CustomTabArrangement a = ReadCustomTabArrangement(Path("tab.ini"));
    EXPECT_TRUE(a.exists);
    EXPECT_EQ((std::vector<uint32_t>{1000, 1011}), a.left) << "07 is missing: 08 is not read";
    EXPECT_EQ((std::vector<uint32_t>{1026}), a.right);

    Put("off.ini", "[MyTab_Arrangement]\r\nIs_MyTab_Arrangement=0\r\nMyTab_Left01=1000\r\n");
    EXPECT_FALSE(ReadCustomTabArrangement(Path("off.ini")).exists);
    EXPECT_TRUE(ReadCustomTabArrangement(Path("off.ini")).left.empty());
    Put("bad.ini", "[MyTab_Arrangement]\r\nIs_MyTab_Arrangement=yes\r\nMyTab_Left01=1000\r\n");
    EXPECT_FALSE(ReadCustomTabArrangement(Path("bad.ini")).exists);
}

TEST_F(CustomTabFile, AColumnStopsAtNinetyNineKeys) {
    std::string text = "[MyTab_Arrangement]\r\nIs_MyTab_Arrangement=1\r\n";
    for (int n = 1; n <= 100; ++n) text += "MyTab_Left" + std::string(n < 10 ? "0" : "") + std::to_string(n) + "=1000\r\n";
    Put("long.ini", text);
    EXPECT_EQ(99u, ReadCustomTabArrangement(Path("long.ini")).left.size());
}

TEST_F(CustomTabFile, TheFileNameOfAConnectionHoldsNoFolderSeparators) {
    const WString path = CustomTabFilePath(WL("\\\\srv\\q1:*?"));
    const std::string name = Utf8FromW(path);
    EXPECT_NE(std::string::npos, name.find("MyTab___srv_q1___.ini")) << name;
    EXPECT_EQ(std::string::npos, name.find("srv\\")) << name;
}

TEST_F(CustomTabFile, TheSetupSectionCarriesTheValuesAndTheArrangement) {
    Put("setup.txt", "\xEF\xBB\xBF[DriverInfo]\r\nmodel=\"x\"\r\n");
    CustomTabManagement m;
    m.values[0] = 1;
    m.values[3] = 2;
    m.arrangement.exists = true;
    m.arrangement.left = {1000};
    m.arrangement.right = {1026, 1011};
    ASSERT_TRUE(AppendCustomTabManagement(Path("setup.txt"), m));
    const std::string text = Get("setup.txt");
    EXPECT_NE(std::string::npos,
              text.find("[MyTab_Management]\r\nType=2\r\nMT_MngOpen=1\r\nMT_MngShare=0\r\nMT_MngEdit=0\r\n"
                        "MT_MngGuide=2\r\nIs_MyTab_Arrangement=1\r\nMyTab_Left01=1000\r\nMyTab_Right01=1026\r\n"
                        "MyTab_Right02=1011\r\n"))
        << text;
    EXPECT_EQ(0u, text.find("\xEF\xBB\xBF[DriverInfo]")) << "the settings text before it stays as it was";

    const CustomTabManagement back = ReadCustomTabManagement(Path("setup.txt"));
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(back.present[i]) << i;
    EXPECT_EQ(2, back.values[3]);
    EXPECT_TRUE(back.hasArrangementFlag && back.hasColumns);
    EXPECT_EQ(m.arrangement, back.arrangement);
}

TEST_F(CustomTabFile, AnImportAppliesOnlyTheKeysTheSectionHolds) {
    CustomTabArrangement current;
    current.exists = true;
    current.left = {1000};
    current.right = {1026};

    Put("values.txt", "[MyTab_Management]\r\nType=2\r\nMT_MngEdit=1\r\nMT_MngOpen=99999\r\n");
    CustomTabManagement read = ReadCustomTabManagement(Path("values.txt"));
    EXPECT_TRUE(read.present[2]);
    EXPECT_FALSE(read.present[0]) << "a value no device option holds is not applied";
    EXPECT_FALSE(read.present[1]);
    EXPECT_FALSE(read.hasArrangementFlag || read.hasColumns);
    EXPECT_EQ(current, MergeArrangement(current, read));

    Put("columns.txt", "[MyTab_Management]\r\nMyTab_Right01=1011\r\n");
    read = ReadCustomTabManagement(Path("columns.txt"));
    CustomTabArrangement merged = MergeArrangement(CustomTabArrangement{}, read);
    EXPECT_TRUE(merged.exists);
    EXPECT_TRUE(merged.left.empty());
    EXPECT_EQ((std::vector<uint32_t>{1011}), merged.right);

    Put("off.txt", "[MyTab_Management]\r\nIs_MyTab_Arrangement=0\r\n");
    merged = MergeArrangement(current, ReadCustomTabManagement(Path("off.txt")));
    EXPECT_FALSE(merged.exists);
    EXPECT_TRUE(merged.left.empty() && merged.right.empty());
}

}  // namespace
