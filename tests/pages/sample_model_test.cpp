// The Basic tab with the sample device's own rules and texts: what a person sees
// when a choice drags other settings along or is not possible on this device.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "pages/page_fixture.h"

namespace {

using pagetest::PageHost;

constexpr pagetest::PageDef kBasic{100, "Prc_DocPaper1Proc"};
constexpr pagetest::PageDef kVersion{106, "Prc_DocVersionProc"};

class SampleModel : public PageHost {
protected:
    std::string Rules() const override {
        std::ifstream in(NVX_SAMPLE_RULES);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string Selected(int id) const {
        HWND combo = Control(id);
        const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        WCHAR text[128] = {};
        if (sel >= 0) SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }
    static bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }
};

TEST_F(SampleModel, AnEnvelopeSizeMovesTrayAndMediaAndForbidsTheCassettes) {
    ASSERT_FALSE(Rules().empty()) << NVX_SAMPLE_RULES;
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    ASSERT_EQ(0, MessageBoxCount()) << "showing the page never asks";
    EXPECT_EQ("A4", Selected(1000));

    // The envelope size asks once, listing both automatic changes under the header.
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1000), WL("Envelope DL")));
    ASSERT_EQ(1, MessageBoxCount());
    NvxUiLogEntry box = LastMessageBox();
    EXPECT_EQ("Confirm Settings Change", Utf8(box.caption));
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), box.type);
    const std::string text = Utf8(box.text);
    EXPECT_TRUE(Has(text, "Paper Source will be set to Bypass Tray")) << text;
    EXPECT_TRUE(Has(text, "Media Type will be set to Envelope")) << text;
    EXPECT_EQ("Envelope DL", Selected(1000));
    EXPECT_EQ("Bypass Tray", Selected(1006));
    EXPECT_EQ("Envelope", Selected(1003));

    // Tray 2 cannot feed envelopes: refused with the device's reason, the tray stays.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1006), WL("Tray 2")));
    ASSERT_EQ(2, MessageBoxCount());
    box = LastMessageBox();
    EXPECT_EQ("Settings Conflict", Utf8(box.caption));
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), box.type);
    EXPECT_FALSE(Utf8(box.text).empty());
    EXPECT_EQ("Bypass Tray", Selected(1006));
    EXPECT_EQ("Envelope DL", Selected(1000));

    // Back to A4 on plain paper: nothing holds the tray any more, and Tray 2 may be chosen.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1000), WL("A4")));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1003), WL("Plain")));
    EXPECT_EQ("Plain", Selected(1003));
    const int asked = MessageBoxCount();
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1006), WL("Tray 2")));
    EXPECT_EQ("Tray 2", Selected(1006));
    for (int i = asked; i < MessageBoxCount(); ++i) {
        NvxUiLogEntry later{};
        ASSERT_TRUE(NvxUi_GetLogEntry(i, &later));
        EXPECT_NE("Settings Conflict", Utf8(later.caption)) << Utf8(later.text);
    }
}

TEST_F(SampleModel, DecliningTheEnvelopeSizeLeavesEverySettingAsItWas) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    const int tray = Field("nDefaultSource"), media = Field("nMediaType"), paper = Field("nPaperSize");
    AnswerMessageBoxes(IDNO);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1000), WL("Envelope DL")));
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_EQ(paper, Field("nPaperSize"));
    EXPECT_EQ(tray, Field("nDefaultSource"));
    EXPECT_EQ(media, Field("nMediaType"));
    EXPECT_EQ("A4", Selected(1000));
    EXPECT_EQ(0u, sheet_.ChangedMark());
}

// A proof copy collates: Collate is set, locked and marked with the rule's icon,
// whose text leads the hint area.
TEST_F(SampleModel, AProofCopyLocksCollateAndExplainsWhy) {
    ASSERT_NE(nullptr, OpenSheet({kBasic, kVersion}));
    HWND icon = Control(3608);
    ASSERT_NE(nullptr, icon);
    EXPECT_FALSE(IsWindowVisible(icon));
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1138), WL("Proof Copy")));
    ASSERT_EQ(1, MessageBoxCount());
    const std::string text = Utf8(LastMessageBox().text);
    EXPECT_TRUE(Has(text, "Copies will be set to 2")) << text;
    EXPECT_TRUE(Has(text, "Collate will be turned on")) << text;
    EXPECT_EQ(2, Field("nCopies"));
    EXPECT_EQ("2", Text(1011));
    EXPECT_EQ(1, Field("bCollate"));
    EXPECT_EQ(BST_CHECKED, SendMessageW(Control(1014), BM_GETCHECK, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(Control(1014)));
    EXPECT_TRUE(IsWindowVisible(icon));
    const std::string hint = Text(1016);
    EXPECT_EQ(0u, hint.find("Set by other settings:\r\nCollate is on for a proof copy.")) << hint;
    // Shown again after another page: the whole-sheet check finds the same.
    ASSERT_TRUE(NvxUi_SelectTab(sheetWindow_, 1));
    ASSERT_TRUE(NvxUi_SelectTab(sheetWindow_, 0));
    ASSERT_EQ(icon, Control(3608));
    EXPECT_TRUE(IsWindowVisible(icon));
    EXPECT_FALSE(IsWindowEnabled(Control(1014)));
    EXPECT_EQ(0u, Text(1016).find("Set by other settings:")) << Text(1016);
    // Printing normally again: the lock and the icon go, the changed values stay.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1138), WL("Print")));
    EXPECT_TRUE(IsWindowEnabled(Control(1014)));
    EXPECT_FALSE(IsWindowVisible(icon));
    EXPECT_EQ(1, Field("bCollate"));
}

}  // namespace

namespace {

// Control ids repeat across dialogs: 1003 is the media type on the Basic tab and a
// tray's media type in the tray dialogs.  A rule about the tray's media type must
// neither show its value in nor lock the Basic tab's media type box.
class SharedControlIds : public PageHost {
protected:
    std::string Rules() const override {
        return "version \"Ver_Cst\" \"1.00\"\n"
               "change MediaType_Tray1 = Recycled when Orientation == Landscape message 2 disable\n";
    }
};

TEST_F(SharedControlIds, ARuleOnAnotherDialogsItemLeavesThisPagesControlAlone) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    AnswerMessageBoxes(IDYES);
    const int media = Field("nMediaType"), tray = Field("PTInfoEach[0].nValue");
    ASSERT_TRUE(NvxUi_Click(Control(1023)));
    EXPECT_EQ(1, MessageBoxCount()) << "the rule fires";
    EXPECT_NE(tray, Field("PTInfoEach[0].nValue")) << "the rule wrote the tray's media type";
    EXPECT_TRUE(IsWindowEnabled(Control(1003))) << "the tray's lock is not this page's";
    EXPECT_EQ(2, Field("nOrientation"));
    EXPECT_EQ(media, Field("nMediaType"));
    HWND combo = Control(1003);
    WCHAR text[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(SendMessageW(combo, CB_GETCURSEL, 0, 0)),
                 reinterpret_cast<LPARAM>(text));
    EXPECT_EQ("Plain", Utf8(text)) << "the Basic tab's box still shows the document's media type";
}

}  // namespace
