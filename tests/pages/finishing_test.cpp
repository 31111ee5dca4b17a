// The Finishing tab with the sample device's rules, its first type's switch, and a
// walk through every control of the Layout and Finishing tabs that checks, after
// each change, that no rule is left violated.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pages/finishing_logic.h"
#include "pages/page_fixture.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"

namespace {

using pagetest::PageHost;
namespace finishing = nvx::pages::finishing;

constexpr pagetest::PageDef kLayout{101, "Prc_DocPaper2Proc"};
constexpr pagetest::PageDef kFinishing{110, "Prc_DocFinishingProc_T2"};

class FinishingTab : public PageHost {
protected:
    std::string Rules() const override {
        std::ifstream in(NVX_SAMPLE_RULES);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
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
};

TEST_F(FinishingTab, ShowsWhatTheDeviceHas) {
    ASSERT_NE(nullptr, OpenSheet({kFinishing}));
    EXPECT_EQ(0, MessageBoxCount());
    for (int id : {1026, 1047, 1029, 1050, 1179}) EXPECT_TRUE(Shown(id)) << id;
    EXPECT_FALSE(Enabled(1047)) << "the staple position waits for stapling";
    EXPECT_FALSE(Enabled(1050));
    EXPECT_EQ("Auto", Selected(1179));
    // Switched off by the model, or without a settings field (output order).
    for (int id : {1780, 1781, 1037, 1053, 1044, 1182, 1184, 1183, 1055, 2304, 2305, 2118, 1144, 3356})
        EXPECT_FALSE(Shown(id)) << id;
}

TEST_F(FinishingTab, StaplingCollatesAndGoesToTheFinisherTray) {
    ASSERT_NE(nullptr, OpenSheet({kFinishing}));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1026)));
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_EQ("Confirm Settings Change", Utf8(LastMessageBox().caption));
    EXPECT_EQ(1, Field("bStaple"));
    EXPECT_EQ(1, Field("bCollate"));
    EXPECT_EQ("Finisher Tray", Selected(1179));
    EXPECT_TRUE(Enabled(1047));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1047), WL("2 at Left")));
    EXPECT_EQ(3, Field("nStapleMode"));
    // Stapled sets go to the finisher tray: the tray is held there.
    EXPECT_FALSE(Enabled(1179));
    ASSERT_TRUE(NvxUi_Click(Control(1026)));
    EXPECT_EQ(0, Field("bStaple"));
    EXPECT_FALSE(Enabled(1047));
}

TEST_F(FinishingTab, ABookletRefusesCornerStaplingWithTheRulesReason) {
    SetField("nDuplex", 3);  // Booklet
    ASSERT_NE(nullptr, OpenSheet({kFinishing}));
    AnswerMessageBoxes(IDYES);
    if (!Enabled(1026)) {
        // The booklet's change rule locks stapling off: nothing to click.
        EXPECT_EQ(0, Field("bStaple"));
        return;
    }
    ASSERT_TRUE(NvxUi_Click(Control(1026)));
    EXPECT_EQ("Settings Conflict", Utf8(LastMessageBox().caption));
    EXPECT_EQ(0, Field("bStaple"));
    EXPECT_EQ(BST_UNCHECKED, Checked(1026));
}

TEST_F(FinishingTab, TransparenciesAreNotPunched) {
    SetField("nMediaType", 267);  // the sample's Transparency
    SetField("bPunch", 1);
    ASSERT_NE(nullptr, OpenSheet({kFinishing}));
    EXPECT_EQ(0, Field("bPunch")) << "the page's check turns punching off";
    EXPECT_EQ(BST_UNCHECKED, Checked(1029));
    // Choosing it again is refused with the device's reason.
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_Click(Control(1029)));
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_EQ("Settings Conflict", Utf8(LastMessageBox().caption));
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("ransparenc")) << Utf8(LastMessageBox().text);
    EXPECT_EQ(0, Field("bPunch"));
    EXPECT_EQ(BST_UNCHECKED, Checked(1029));
}

TEST_F(FinishingTab, TheFirstTypeAnswersNothingInThisBuild) {
    auto proc = reinterpret_cast<INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM)>(
        reinterpret_cast<void (*)()>(Export("Prc_DocFinishingProc_T1")));
    ASSERT_NE(nullptr, proc);
    HWND w = CreateWindowExW(0, WL("STATIC"), WL(""), 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, w);
    for (UINT msg : {static_cast<UINT>(WM_INITDIALOG), static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_NOTIFY),
                     static_cast<UINT>(WM_PAINT), static_cast<UINT>(WM_DESTROY), 1125u})
        EXPECT_EQ(0, proc(w, msg, 0, reinterpret_cast<LPARAM>(sheet_.Context()))) << msg;
    DestroyWindow(w);
}

TEST(FinishingLogic, PagesPerFoldOnlyForTheFoldTypesThatTakeThem) {
    OEMDEV r = nvx::settings::DefaultTemplate();
    finishing::Switches sw;
    sw.foldPageFinish = true;
    nvx::settings::SetNumber(r, "bFolding", 1);
    nvx::settings::SetNumber(r, "nFoldingMode", 19);
    EXPECT_TRUE(finishing::ComputeEnables(r, sw).foldPages);
    nvx::settings::SetNumber(r, "nFoldingMode", 21);
    EXPECT_TRUE(finishing::ComputeEnables(r, sw).foldPages);
    nvx::settings::SetNumber(r, "nFoldingMode", 20);
    EXPECT_FALSE(finishing::ComputeEnables(r, sw).foldPages);
    nvx::settings::SetNumber(r, "nFoldingMode", 19);
    nvx::settings::SetNumber(r, "bFolding", 0);
    EXPECT_FALSE(finishing::ComputeEnables(r, sw).foldPages) << "folding off";
    EXPECT_FALSE(finishing::ComputeEnables(r, sw).foldOp);
    sw.divideOutput = true;
    EXPECT_FALSE(finishing::ComputeEnables(r, sw).foldPagesGoverned) << "divided output governs them";
}

// ---- Every control through every option ----

class EveryControl : public FinishingTab {
protected:
    using CheckFn = UINT_PTR (*)(UINT, UINT_PTR, UINT_PTR, WORD, UINT, UINT_PTR);
    std::vector<uint8_t> RecordBytes() {
        const auto* r = nvx::settings::AsRecord(sheet_.Record());
        return std::vector<uint8_t>(r->bytes, r->bytes + sizeof r->bytes);
    }
    // The rules accept the record: a whole-sheet check changes nothing, and a check
    // of each control of the page neither asks, refuses nor changes anything.
    void ExpectRulesHold(const std::vector<int>& controls, const std::string& after) {
        auto check = reinterpret_cast<CheckFn>(reinterpret_cast<void (*)()>(Export("DoConstraints")));
        ASSERT_NE(nullptr, check);
        HWND page = Page();
        const auto before = RecordBytes();
        check(0, reinterpret_cast<UINT_PTR>(page), 0, 0, static_cast<UINT>(-1), 0);
        EXPECT_TRUE(before == RecordBytes()) << "a change rule was left violated after " << after;
        AnswerMessageBoxes(IDNO);
        for (int id : controls) {
            if (!GetDlgItem(page, id) || !IsWindowVisible(GetDlgItem(page, id))) continue;
            const int boxes = MessageBoxCount();
            const UINT_PTR r = check(0, reinterpret_cast<UINT_PTR>(page), 0, static_cast<WORD>(id), static_cast<UINT>(-1), 0);
            EXPECT_EQ(199u, r) << "control " << id << " after " << after;
            EXPECT_EQ(boxes, MessageBoxCount()) << "control " << id << " after " << after << ": "
                                                << (MessageBoxCount() > boxes ? Utf8(LastMessageBox().text) : "");
        }
        AnswerMessageBoxes(IDYES);
    }
    int changes_ = 0;
    void Walk(int tab, const std::vector<int>& checks, const std::vector<int>& combos) {
        std::vector<int> all = checks;
        all.insert(all.end(), combos.begin(), combos.end());
        ASSERT_TRUE(NvxUi_SelectTab(sheetWindow_, tab));
        AnswerMessageBoxes(IDYES);
        for (int round = 0; round < 2; ++round) {
            // Each check box on and off again, each list through every entry and
            // back to its first, so that what one control locks is freed again
            // for the next; in the second round every other setting starts
            // from where the first left it.
            for (int id : checks) {
                for (int click = 0; click < 2; ++click) {
                    HWND c = Control(id);
                    if (!c || !IsWindowVisible(c) || !IsWindowEnabled(c)) break;
                    NvxUi_Click(c);
                    ++changes_;
                    ExpectRulesHold(all, "clicking " + std::to_string(id));
                }
            }
            for (int id : combos) {
                HWND c = Control(id);
                if (!c || !IsWindowVisible(c)) continue;
                const LRESULT n = SendMessageW(c, CB_GETCOUNT, 0, 0);
                for (LRESULT k = 0; k <= n; ++k) {
                    if (!IsWindowEnabled(c)) break;
                    const WPARAM entry = static_cast<WPARAM>(k < n ? k : 0);
                    NvxUi_ChooseComboData(c, static_cast<LPARAM>(SendMessageW(c, CB_GETITEMDATA, entry, 0)));
                    ++changes_;
                    ExpectRulesHold(all, "choosing entry " + std::to_string(entry) + " of " + std::to_string(id));
                }
            }
            if (round == 0)
                for (int id : checks)
                    if (HWND c = Control(id); c && IsWindowVisible(c) && IsWindowEnabled(c)) {
                        NvxUi_Click(c);  // the second round starts with every free box flipped
                        ExpectRulesHold(all, "flipping " + std::to_string(id));
                    }
        }
    }
};

TEST_F(EveryControl, OfBothTabsLeavesNoRuleViolated) {
    ASSERT_NE(nullptr, OpenSheet({kLayout, kFinishing}));
    const std::vector<int> layoutChecks = {1779, 1296, 1289, 1290, 1294, 1230, 1288, 1291, 2306};
    const std::vector<int> layoutCombos = {1286, 1025, 1031, 1046};
    const std::vector<int> finishingChecks = {1026, 1029, 1780, 1781, 1037, 1044, 1182, 1183, 1055, 2304};
    const std::vector<int> finishingCombos = {1047, 1050, 1053, 1144, 1179, 2118};
    Walk(0, layoutChecks, layoutCombos);
    Walk(1, finishingChecks, finishingCombos);
    Walk(0, layoutChecks, layoutCombos);
    EXPECT_GT(changes_, 60) << "the walk reached the controls";
    EXPECT_GT(MessageBoxCount(), 5) << "and the rules had things to say";
}

}  // namespace

namespace {

// A printer without a stapler: the Finishing tab turns stapling off and locks it,
// with a stop icon that says why; installing it again frees the box.
TEST_F(FinishingTab, WithoutAStaplerNothingIsStapledAndTheIconSaysWhy) {
    std::vector<BYTE> options(6676, 0);
    for (uint16_t slot : {0, 1, 2, 3}) options[slot * 2] = 1;  // memory, disk, duplex, bypass
    options[7 * 2] = 1;                                          // punch kit 2/3; the stapler (slot 6) none
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetPrinterDataW(printer_, const_cast<LPWSTR>(WL("DefaultDevOption")), REG_BINARY, options.data(),
                              static_cast<DWORD>(options.size())));
    SetField("bStaple", 1);
    ASSERT_NE(nullptr, OpenSheet({kFinishing}));
    EXPECT_EQ(0, Field("bStaple")) << "the page's check turned stapling off";
    EXPECT_EQ(0, MessageBoxCount()) << "silently";
    EXPECT_FALSE(Enabled(1026));
    EXPECT_TRUE(Enabled(1029)) << "the punch kit is installed";
    HWND icon = Control(3660);
    ASSERT_NE(nullptr, icon);
    EXPECT_TRUE(IsWindowVisible(icon)) << "the stop icon beside Staple";
    EXPECT_NE(std::string::npos, Text(1016).find("No stapler is installed")) << Text(1016);

    // Installed again: the next time the page is shown, stapling may be chosen.
    options[6 * 2] = 1;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetPrinterDataW(printer_, const_cast<LPWSTR>(WL("DefaultDevOption")), REG_BINARY, options.data(),
                              static_cast<DWORD>(options.size())));
    CloseSheet();
    ASSERT_NE(nullptr, OpenSheet({kFinishing}));
    EXPECT_TRUE(Enabled(1026));
    EXPECT_FALSE(IsWindowVisible(Control(3660)));
}

}  // namespace
