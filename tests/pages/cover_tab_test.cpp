// The Cover/Insert tab: what each of its three types carries, the covers edited in
// the settings record through the page, the details that wait for their check box,
// Restore Defaults and the refusal to leave a damaged record; and the types whose
// variant switch is off answering nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pages/cover_logic.h"
#include "pages/page_fixture.h"
#include "settings/oemdev.h"
#include "settings/oemdev_fields.h"
#include "settings/oemdev_template.h"

namespace {

using pagetest::PageHost;
namespace cover = nvx::pages::cover;

constexpr pagetest::PageDef kCover{113, "Prc_DocCoverPageProc_T2"};
constexpr pagetest::PageDef kVersion{106, "Prc_DocVersionProc"};

class CoverTab : public PageHost {
protected:
    bool Shown(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    int Checked(int id) const { return static_cast<int>(SendMessageW(Control(id), BM_GETCHECK, 0, 0)); }
    std::string Selected(int id) const {
        HWND combo = Control(id);
        const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        WCHAR text[128] = {};
        if (sel >= 0) SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }
    bool LeavePage() {
        NvxUi_SelectTab(sheetWindow_, 1);
        NvxUi_Pump(0);
        return SendMessageW(sheetWindow_, PSM_GETCURRENTPAGEHWND, 0, 0) !=
               reinterpret_cast<LRESULT>(PropSheet_IndexToHwnd(sheetWindow_, 0));
    }
};

TEST_F(CoverTab, ShowsTheCoversOfTheRecordWithTheirDetailsWaiting) {
    ASSERT_NE(nullptr, OpenSheet({kCover}));
    EXPECT_EQ(0, MessageBoxCount());
    for (int id : {1148, 1305, 1311, 1150, 1314, 1316, 1214, 1320, 1322}) EXPECT_TRUE(Shown(id)) << id;
    EXPECT_EQ(BST_UNCHECKED, Checked(1148));
    // The details wait for their check box, labels with them.
    for (int id : {1305, 1311, 3585, 3586, 1314, 1316, 1320, 1322}) EXPECT_FALSE(Enabled(id)) << id;
    // Not carried by the second type: post-inserter covers, carbon copies (the model
    // has none, and its dialog is not in this build), per-page settings.
    for (int id : {1216, 1325, 3591, 1157, 1328, 3592, 3325, 3326, 1159, 1222, 1215}) EXPECT_FALSE(Shown(id)) << id;
}

TEST_F(CoverTab, AFrontCoverIsEditedInTheRecord) {
    ASSERT_NE(nullptr, OpenSheet({kCover}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1148)));
    EXPECT_EQ(1, Field("bFrontCover"));
    EXPECT_TRUE(Enabled(1305));
    EXPECT_TRUE(Enabled(1311));
    EXPECT_TRUE(Enabled(3586)) << "the label follows its box";
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1311), WL("Tray 2")));
    EXPECT_EQ(258, Field("nFrontCoverTray"));
    EXPECT_FALSE(Enabled(1316)) << "the back cover's tray still waits";
    ASSERT_TRUE(NvxUi_Click(Control(1148)));
    EXPECT_EQ(0, Field("bFrontCover"));
    EXPECT_EQ(258, Field("nFrontCoverTray")) << "the tray is kept for the next time";
    EXPECT_FALSE(Enabled(1311));
}

TEST_F(CoverTab, RestoreDefaultsPutsEveryCoverFieldBack) {
    SetField("bFrontCover", 1);
    SetField("nFrontCoverTray", 259);
    SetField("bOHP", 1);
    ASSERT_NE(nullptr, OpenSheet({kCover}));
    EXPECT_EQ("Tray 3 (option)", Selected(1311));
    ASSERT_TRUE(NvxUi_Click(Control(1032)));
    EXPECT_EQ(0, Field("bFrontCover"));
    EXPECT_EQ(0, Field("bOHP"));
    EXPECT_EQ(257, Field("nFrontCoverTray")) << "the model's default tray";
    EXPECT_EQ("Tray 1", Selected(1311));
    EXPECT_EQ(BST_UNCHECKED, Checked(1148));
    EXPECT_FALSE(Enabled(1311));
}

TEST_F(CoverTab, ADamagedCoverValueKeepsThePageOpen) {
    SetField("bBackCover", 7);
    SetField("nBackCoverTray", 999);  // no tray of the list
    ASSERT_NE(nullptr, OpenSheet({kCover, kVersion}));
    EXPECT_FALSE(LeavePage());
    EXPECT_EQ(Control(1150), GetFocus());
    SetField("bBackCover", 0);
    EXPECT_TRUE(LeavePage()) << "the tray of a cover that is not printed is never used";
}

TEST_F(CoverTab, ATrayOutsideItsListKeepsThePageOpenWhileItsCoverIsPrinted) {
    ASSERT_NE(nullptr, OpenSheet({kCover, kVersion}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1150)));
    ASSERT_EQ(1, Field("bBackCover"));
    // A print choice of the list (this host's record starts from the unadjusted template).
    SetField("nBackCoverMode", static_cast<int32_t>(SendMessageW(Control(1314), CB_GETITEMDATA, 0, 0)));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1316), WL("Tray 2")));
    const int32_t tray = Field("nBackCoverTray");
    ASSERT_EQ(258, tray);
    SetField("nBackCoverTray", 999);
    EXPECT_FALSE(LeavePage());
    EXPECT_EQ(Control(1316), GetFocus());
    SetField("nBackCoverTray", tray);
    EXPECT_TRUE(LeavePage());
}

TEST_F(CoverTab, TheTypesWhoseSwitchIsOffAnswerNothing) {
    ASSERT_NE(nullptr, OpenSheet({kCover}));
    for (const char* name : {"Prc_DocCoverPageProc", "Prc_DocCoverPageProc_T3"}) {
        SCOPED_TRACE(name);
        auto proc = reinterpret_cast<INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM)>(
            reinterpret_cast<void (*)()>(Export(name)));
        ASSERT_NE(nullptr, proc);
        HWND w = CreateWindowExW(0, WL("STATIC"), WL(""), 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, w);
        for (UINT msg : {static_cast<UINT>(WM_INITDIALOG), static_cast<UINT>(WM_COMMAND),
                         static_cast<UINT>(WM_NOTIFY), static_cast<UINT>(WM_DESTROY)})
            EXPECT_EQ(0, proc(w, msg, 0, reinterpret_cast<LPARAM>(sheet_.Context()))) << msg;
        DestroyWindow(w);
    }
}

TEST(CoverLogic, OnlyTheFirstTypeCarriesThePostInserterCovers) {
    for (int id : {cover::kPiFront, cover::kPiFrontTray, cover::kPiBack, cover::kPiBackTray}) {
        EXPECT_TRUE(cover::Carries(cover::Type::Type1, id)) << id;
        EXPECT_FALSE(cover::Carries(cover::Type::Type2, id)) << id;
        EXPECT_FALSE(cover::Carries(cover::Type::Type3, id)) << id;
    }
    for (cover::Type t : {cover::Type::Type1, cover::Type::Type2, cover::Type::Type3}) {
        EXPECT_TRUE(cover::Carries(t, cover::kFrontTray));
        EXPECT_FALSE(cover::Carries(t, cover::kCarbonDetails)) << "its dialog is not in this build";
        EXPECT_FALSE(cover::Carries(t, cover::kPerPageEdit));
    }
    const char* const* fields = nullptr;
    const size_t type1 = cover::DefaultFields(cover::Type::Type1, &fields);
    const size_t type2 = cover::DefaultFields(cover::Type::Type2, &fields);
    EXPECT_EQ(type1, type2 + 4);
    for (size_t i = 0; i < type1; ++i) EXPECT_TRUE(static_cast<bool>(nvx::settings::FindField(fields[i]))) << fields[i];
    for (size_t i = 0; i < type2; ++i) EXPECT_EQ(nullptr, std::strstr(fields[i], "CoverMFP")) << fields[i];
}

TEST(CoverLogic, EachDetailFollowsItsOwnCheckBox) {
    OEMDEV r = nvx::settings::DefaultTemplate();
    for (const char* f : {"bFrontCover", "bBackCover", "bOHP", "CoverMFP.bPIFCover", "CoverMFP.bPIBCover"})
        nvx::settings::SetNumber(r, f, 0);
    const struct {
        const char* field;
        int details[2];
    } kCases[] = {{"bFrontCover", {cover::kFrontOp, cover::kFrontTray}},
                  {"bBackCover", {cover::kBackOp, cover::kBackTray}},
                  {"bOHP", {cover::kOhpOp, cover::kOhpTray}},
                  {"CoverMFP.bPIFCover", {cover::kPiFrontTray, cover::kPiFrontTray}},
                  {"CoverMFP.bPIBCover", {cover::kPiBackTray, cover::kPiBackTray}}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.field);
        OEMDEV one = r;
        nvx::settings::SetNumber(one, c.field, 1);
        const cover::Enables e = cover::ComputeEnables(one);
        for (int id : {cover::kFrontOp, cover::kFrontTray, cover::kBackOp, cover::kBackTray, cover::kOhpOp,
                       cover::kOhpTray, cover::kPiFrontTray, cover::kPiBackTray}) {
            const bool mine = id == c.details[0] || id == c.details[1];
            EXPECT_EQ(mine, cover::Enabled(e, id)) << id;
            EXPECT_NE(0, cover::OwnerOf(id)) << id;
        }
    }
}

}  // namespace
