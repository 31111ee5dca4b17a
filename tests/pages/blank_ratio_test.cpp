// The blank page question at job time: what a block calls for without a window,
// and the export driven as a person would (print, do not print, stop checking).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "page_fixture.h"
#include "pages/blank_ratio.h"
#include "platform/host.h"
#include "settings/oemdev.h"

namespace {

using nvx::pages::BlankDecision;
using nvx::pages::BlankRatioBlock;
using nvx::pages::DecideBlankQuestion;

OEMDEV Record(int on, int threshold) {
    OEMDEV r;
    std::memset(&r, 0, sizeof r);
    nvx::settings::SetNumber(r, "bChkBlankRatio", on);
    nvx::settings::SetNumber(r, "nChkBlankRatio", threshold);
    return r;
}

TEST(BlankQuestion, EveryBlockHasAnAnswer) {
    OEMDEV r = Record(1, 75);
    BlankRatioBlock b{24, 3, 80, 0, &r};
    EXPECT_EQ(BlankDecision::Ask, DecideBlankQuestion(&b, true));
    EXPECT_EQ(BlankDecision::Print, DecideBlankQuestion(&b, false)) << "a model without the check asks nothing";
    EXPECT_EQ(BlankDecision::NotShown, DecideBlankQuestion(nullptr, true));
    BlankRatioBlock wrongSize = b;
    wrongSize.size = 16;
    EXPECT_EQ(BlankDecision::NotShown, DecideBlankQuestion(&wrongSize, true));
    BlankRatioBlock noRecord = b;
    noRecord.record = nullptr;
    EXPECT_EQ(BlankDecision::NotShown, DecideBlankQuestion(&noRecord, true));
    BlankRatioBlock past = b;
    past.percent = 101;
    EXPECT_EQ(BlankDecision::NotShown, DecideBlankQuestion(&past, true));
    b.percent = 74;
    EXPECT_EQ(BlankDecision::Print, DecideBlankQuestion(&b, true)) << "below the threshold";
    b.percent = 75;
    EXPECT_EQ(BlankDecision::Ask, DecideBlankQuestion(&b, true)) << "the threshold itself asks";
    OEMDEV off = Record(0, 75);
    b.record = &off;
    EXPECT_EQ(BlankDecision::Print, DecideBlankQuestion(&b, true)) << "the check is off";
    // A threshold outside 1..100 reads as the model's 75.
    for (int t : {0, 101, 255}) {
        OEMDEV odd = Record(1, t);
        EXPECT_EQ(75u, nvx::pages::BlankThreshold(odd)) << t;
    }
    OEMDEV fifty = Record(1, 50);
    EXPECT_EQ(50u, nvx::pages::BlankThreshold(fifty));
}

class BlankQuestionDialog : public pagetest::PageHost {
protected:
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        pagetest::PageHost::TearDown();
    }
    // Calls the export; `drive` acts on the dialog when one opens.
    UINT_PTR Ask(UINT_PTR context, std::function<void(HWND)> drive = nullptr) {
        struct Holder {
            std::function<void(HWND)>* fn;
            int opened = 0;
            static void Drive(void* self, HWND dlg) {
                auto* h = static_cast<Holder*>(self);
                ++h->opened;
                if (*h->fn) (*h->fn)(dlg);
            }
        } holder{&drive};
        NvxUi_SetModalDriver(Holder::Drive, &holder);
        auto fn = reinterpret_cast<UINT_PTR (*)(UINT_PTR)>(reinterpret_cast<void*>(Export("Popup_ChkBlankRatioDlg")));
        const UINT_PTR r = fn(context);
        NvxUi_SetModalDriver(nullptr, nullptr);
        opened_ = holder.opened;
        return r;
    }
    int opened_ = 0;
};

TEST_F(BlankQuestionDialog, ThePersonPrintsTheBlankPageOrNot) {
    OEMDEV r = Record(1, 50);
    BlankRatioBlock b{24, 3, 80, 0, &r};
    std::string text;
    EXPECT_EQ(1u, Ask(reinterpret_cast<UINT_PTR>(&b), [&](HWND dlg) {
                  text = TextOf(GetDlgItem(dlg, 2600));
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ("Page 3 of the job is 80% blank. \nDo you want to print it?", text);
    b.page = 0;
    EXPECT_EQ(2u, Ask(reinterpret_cast<UINT_PTR>(&b), [&](HWND dlg) {
                  text = TextOf(GetDlgItem(dlg, 2600));
                  NvxUi_PressButton(dlg, IDCANCEL);
              }));
    EXPECT_EQ("A page of the job is 80% blank. \nDo you want to print it?", text);
    EXPECT_EQ(1, nvx::settings::GetNumber(r, "bChkBlankRatio")) << "the check stays on";
    EXPECT_EQ(2u, Ask(reinterpret_cast<UINT_PTR>(&b))) << "a dialog left open is cancelled: not printed";
}

TEST_F(BlankQuestionDialog, StoppingTheCheckTurnsItOffForTheRestOfTheJob) {
    OEMDEV r = Record(1, 75);
    BlankRatioBlock b{24, 9, 100, 0, &r};
    EXPECT_EQ(1u, Ask(reinterpret_cast<UINT_PTR>(&b), [](HWND dlg) {
                  ASSERT_TRUE(NvxUi_SetCheck(GetDlgItem(dlg, 2601), BST_CHECKED));
                  NvxUi_PressButton(dlg, IDOK);
              }));
    EXPECT_EQ(0, nvx::settings::GetNumber(r, "bChkBlankRatio"));
    EXPECT_EQ(1u, Ask(reinterpret_cast<UINT_PTR>(&b)));
    EXPECT_EQ(0, opened_) << "the next blank page is printed without a question";
}

TEST_F(BlankQuestionDialog, ABlockThatCannotBeReadShowsNothing) {
    NvxPlatform_ClearDebugOutput();
    EXPECT_EQ(5u, Ask(0));
    EXPECT_EQ(0, opened_);
    OEMDEV r = Record(1, 75);
    BlankRatioBlock b{16, 1, 90, 0, &r};
    EXPECT_EQ(5u, Ask(reinterpret_cast<UINT_PTR>(&b)));
    EXPECT_EQ(0, opened_);
    char out[4096] = {};
    NvxPlatform_GetDebugOutput(out, sizeof out);
    EXPECT_EQ(std::string::npos, std::string(out).find("not available")) << out;
}

}  // namespace
