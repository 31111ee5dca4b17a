// The build steps that read the small model settings: paper names, custom page,
// setup error messages, cipher settings, message list, directory-search methods.
#include <gtest/gtest.h>

#include <string>

#include "model/model_settings.h"
#include "package_test_util.h"

namespace {

using namespace nvx::model;

std::string U8(const WCHAR* s) { return s ? nvx::Utf8FromW(s) : std::string("<null>"); }

PackagePtr Pkg(const std::string& entriesJson) {
    static vpdc::Bytes bytes;
    bytes = pkgtest::Build(pkgtest::Directory(entriesJson));
    return pkgtest::OpenBytes(bytes);
}

TEST(ModelStepsTest, PaperNamesByKeyword) {
    PackagePtr pkg = Pkg(R"J({"name": "Paper_Name", "items": [
        ["A4", "A4"], ["B5", "B5 (JIS)"], ["Empty", ""],
        ["AKeywordThatIsFarLongerThanThirtyOneCharacters", "Long"], ["A4", "second A4"]]})J");
    ASSERT_NE(nullptr, pkg);
    PaperNames names;
    LoadPaperNames(*pkg, names);
    EXPECT_EQ(3u, names.rows.size());  // the empty text and the long keyword are left out
    EXPECT_EQ("B5 (JIS)", U8(names.Find("b5")));
    EXPECT_EQ("A4", U8(names.Find("A4")));  // the first of two wins
    EXPECT_EQ(nullptr, names.Find("Empty"));
    EXPECT_EQ(nullptr, names.Find(nullptr));
    EXPECT_FALSE(names.hasLocalePaper);

    PaperNames none;
    LoadPaperNames(*Pkg(R"J({"name": "Other", "items": [["A4", "A4"]]})J"), none);
    EXPECT_TRUE(none.rows.empty());
}

TEST(ModelStepsTest, SetupErrorMessagesFallBackToTheCommonText) {
    PackagePtr pkg = Pkg(R"J({"name": "DDTAL_ErrMsg", "items": [
        ["ERMSG_01", "Cannot open."], ["ERMSG_15", "Lock failed."], ["ERMSG_1", "not a code key"],
        ["ERMSG_16", "beyond the codes"], ["ERMSG_XX", "Failed."], ["ERMSG_04", ""]]})J");
    ASSERT_NE(nullptr, pkg);
    SetupErrorMessages m;
    LoadSetupErrorMessages(*pkg, m);
    EXPECT_EQ("Cannot open.", U8(SetupErrorMessage(m, 1)));
    EXPECT_EQ("Lock failed.", U8(SetupErrorMessage(m, 15)));
    EXPECT_EQ("Failed.", U8(SetupErrorMessage(m, 4)));   // a key without text
    EXPECT_EQ("Failed.", U8(SetupErrorMessage(m, 12)));  // no key
    EXPECT_EQ("Failed.", U8(SetupErrorMessage(m, 16)));
    EXPECT_EQ("Failed.", U8(SetupErrorMessage(m, -1)));

    SetupErrorMessages empty;
    LoadSetupErrorMessages(*Pkg(R"J({"name": "DDTAL_ErrMsg", "items": [["ERMSG_02", "Two"]]})J"), empty);
    EXPECT_EQ("Two", U8(SetupErrorMessage(empty, 2)));
    EXPECT_EQ("", U8(SetupErrorMessage(empty, 3)));  // neither: an empty string
}

TEST(ModelStepsTest, CipherSettings) {
    struct Case {
        const char* items;
        CipherMode mode;
        uint32_t keyId, modelId;
    } cases[] = {
        {R"J([["Encryption", "AES"], ["EncKeyID", "12"], ["ModelID", "57"]])J", CipherMode::Aes, 12, 57},
        {R"J([["Encryption", "DES"], ["EncKeyID", "0"], ["ModelID", "-3"]])J", CipherMode::Des, 0, 0},
        {R"J([["Encryption", "aes"], ["EncKeyID", "12x"], ["ModelID", "99999999999"]])J", CipherMode::None, 0, 0},
        {R"J([["encryption", "AES"], ["EncKeyID", " 5"]])J", CipherMode::None, 0, 0},  // names compare exactly
    };
    for (const Case& c : cases) {
        EncryptionSettings s;
        LoadEncryptionSettings(*Pkg(std::string(R"J({"name": "UI_Encryption", "items": )J") + c.items + "}"), s);
        EXPECT_EQ(c.mode, s.mode) << c.items;
        EXPECT_EQ(c.keyId, s.keyId) << c.items;
        EXPECT_EQ(c.modelId, s.modelId) << c.items;
    }
    // At most eight items; names and values are narrow texts cut to 31 characters.
    std::string many = R"J({"name": "UI_Encryption", "items": [)J";
    for (int i = 0; i < 10; ++i) many += "[\"Name" + std::to_string(i) + "\", \"value of more than thirty-one characters\"],";
    many += R"J(["Encryption", "AES"]]})J";
    EncryptionSettings s;
    LoadEncryptionSettings(*Pkg(many), s);
    EXPECT_EQ(kEncryptionItems, s.count);
    EXPECT_EQ(CipherMode::None, s.mode);  // the ninth item and later are not read
    EXPECT_STREQ("Name7", s.items[7].name);
    EXPECT_EQ(31u, std::string(s.items[0].value).size());

    EncryptionSettings missing;
    LoadEncryptionSettings(*Pkg(R"J({"name": "Other", "items": []})J"), missing);
    EXPECT_EQ(0u, missing.count);
    EXPECT_EQ(CipherMode::None, missing.mode);
}

TEST(ModelStepsTest, MessageListAndDirectoryMethods) {
    PackagePtr pkg = Pkg(R"J(
        {"name": "MessageStr", "items": [["MessageStr10", "a"], ["Title", "b"], ["Msg1000", "c"], ["M2", "d"]]},
        {"name": "LSR_AuthSetting", "default": 0, "items": [
            ["LSR_AuthSetting_NTLM", "NTLM"], ["LSR_AuthSetting_Kerberos", "unknown"],
            ["lsr_authsetting_simple", "Simple"], ["LSR_AuthSetting_NTLM", "again"],
            ["LSR_AuthSetting_Anonymous", ""]]})J");
    ASSERT_NE(nullptr, pkg);
    MessageList list;
    LoadMessageList(*pkg, list);
    EXPECT_EQ((std::vector<uint32_t>{10, 0, 2}), list.slots);  // a key without a digit fills slot 0

    DirectoryAuthMethods m;
    LoadDirectoryAuthMethods(*pkg, m);
    ASSERT_EQ(3u, m.count);
    EXPECT_EQ(4u, m.values[0]);
    EXPECT_EQ(1u, m.values[1]);
    EXPECT_EQ(0u, m.values[2]);
    EXPECT_EQ("NTLM", U8(m.names[0]));
    EXPECT_EQ("Anonymous", U8(m.names[2]));  // no text: the method's own name
    EXPECT_EQ(4u, m.defaultValue);

    // Without the entry: all five, in value order, the first the default.
    DirectoryAuthMethods all;
    LoadDirectoryAuthMethods(*Pkg(R"J({"name": "Other", "items": []})J"), all);
    ASSERT_EQ(kDirectoryAuthMethods, all.count);
    for (uint32_t v = 0; v < all.count; ++v) EXPECT_EQ(v, all.values[v]);
    EXPECT_EQ("Digest-MD5", U8(all.names[2]));
    EXPECT_EQ(0u, all.defaultValue);
}

TEST(ModelStepsTest, CustomPageAndFonts) {
    PackagePtr pkg = Pkg(R"J(
        {"name": "Tab_Prop_MyTab", "items": [["Tab_Prop_MyTab", "Favourites"], ["Other", "ignored"]]},
        {"name": "Prop_MyTab1", "items": [["Copies", "Copies"], ["Staple", "Staple"]]})J");
    CustomPageSettings page;
    LoadCustomPage(*pkg, page);
    EXPECT_EQ("Favourites", U8(page.tabName));
    EXPECT_EQ((std::vector<std::string>{"Copies", "Staple"}), page.features);

    CustomPageSettings builtIn;
    LoadCustomPage(*Pkg(R"J({"name": "Other", "items": []})J"), builtIn);
    EXPECT_EQ("My Tab", U8(builtIn.tabName));
    EXPECT_TRUE(builtIn.features.empty());

    ModelSettings s;
    SetDefaultFontNames(s.fonts);
    LoadPaperNames(*Pkg(R"J({"name": "Paper_Name", "items": [["A4", "A4"]]})J"), s.papers);
    EXPECT_EQ("Arial", U8(s.fonts.latin));
    EXPECT_EQ("MS UI Gothic", U8(s.fonts.japanese));
    ClearModelSettings(s);  // detach: nothing survives for the next attach
    EXPECT_TRUE(s.papers.rows.empty());
    EXPECT_EQ("", U8(s.fonts.latin));
}

}  // namespace
