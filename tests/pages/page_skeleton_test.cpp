// The page skeleton on its own: a page made of a PageDef with recording handlers,
// in a dialog of this process.  What the framework answers for each message, and
// in which order it calls the page.
#include <gtest/gtest.h>

#include <string>

#include "pages/page_framework.h"
#include "pages/page_skeleton.h"
#include "support/platform_test.h"

namespace {

using namespace nvx::pages;

std::string g_calls;
bool g_mayLeave = true;
bool g_valid = true;
bool g_initializingSeen = false;

INT_PTR Init(HWND, LPARAM context) {
    g_initializingSeen = PageInitializing();
    g_calls += "init(" + std::to_string(context) + ") ";
    return TRUE;
}
bool Command(HWND, int control, UINT code) {
    g_calls += "command(" + std::to_string(control) + "," + std::to_string(code) + ") ";
    return control == 7;
}
void SetActive(HWND) { g_calls += "setActive "; }
bool KillActive(HWND) { return g_mayLeave; }
bool Apply(HWND) { return g_valid; }
bool Notify(HWND, const NMHDR* header, LRESULT* result) {
    if (header->code != 1234) return false;
    *result = 55;
    return true;
}
void Destroy(HWND) { g_calls += "destroy "; }

const PageDef kSheetPage = [] {
    PageDef d{4242, 0};
    d.commonInit = false;
    d.init = Init;
    d.command = Command;
    d.setActive = SetActive;
    d.killActive = KillActive;
    d.apply = Apply;
    d.notify = Notify;
    d.destroy = Destroy;
    return d;
}();

const PageDef kDialog = [] {
    PageDef d = kSheetPage;
    d.kind = PageKind::Dialog;
    return d;
}();

const PageDef* g_def = &kSheetPage;

INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RunPage(*g_def, hwnd, msg, wParam, lParam);
}

class Skeleton : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        g_calls.clear();
        g_mayLeave = g_valid = true;
        g_initializingSeen = false;
    }
    HWND Open(const PageDef& def) {
        g_def = &def;
        // A bare template: no controls, no font.
        struct {
            DLGTEMPLATE t;
            WORD menu, cls, title, pad;
        } tpl{};
        tpl.t.style = WS_POPUP;
        tpl.t.cx = 100;
        tpl.t.cy = 50;
        return CreateDialogIndirectParamW(nullptr, &tpl.t, nullptr, Proc, 77);
    }
    static LRESULT Notify(HWND page, int code, INT_PTR* answer) {
        NMHDR nm{page, 0, static_cast<UINT>(code)};
        *answer = Proc(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
        return GetWindowLongPtrW(page, DWLP_MSGRESULT);
    }
};

TEST_F(Skeleton, TheFrameworkAnswersEveryNotificationOfASheetPage) {
    HWND page = Open(kSheetPage);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ("init(77) ", g_calls);
    EXPECT_TRUE(g_initializingSeen) << "the page knows its set-up is running";
    EXPECT_FALSE(PageInitializing());
    INT_PTR answer = 0;
    EXPECT_EQ(0, Notify(page, PSN_SETACTIVE, &answer));
    EXPECT_EQ(TRUE, answer);
    EXPECT_EQ(FALSE, Notify(page, PSN_KILLACTIVE, &answer)) << "the page may be left";
    g_mayLeave = false;
    EXPECT_EQ(TRUE, Notify(page, PSN_KILLACTIVE, &answer)) << "the page stays";
    EXPECT_EQ(PSNRET_NOERROR, Notify(page, PSN_APPLY, &answer));
    g_valid = false;
    EXPECT_EQ(PSNRET_INVALID, Notify(page, PSN_APPLY, &answer));
    EXPECT_EQ(TRUE, answer);
    EXPECT_EQ(55, Notify(page, 1234, &answer)) << "the page's own notification and its result";
    EXPECT_EQ(TRUE, answer);
    SetWindowLongPtrW(page, DWLP_MSGRESULT, 9);
    EXPECT_EQ(9, Notify(page, 999, &answer)) << "an unhandled code leaves the result alone";
    EXPECT_EQ(FALSE, answer);
    EXPECT_EQ(TRUE, Proc(page, WM_COMMAND, MAKEWPARAM(7, 3), 0));
    EXPECT_EQ(FALSE, Proc(page, WM_COMMAND, MAKEWPARAM(8, 0), 0));
    EXPECT_EQ(FALSE, Proc(page, WM_TIMER, 1, 0));
    EXPECT_EQ(FALSE, Proc(page, WM_PAINT, 0, 0)) << "no paint handler: the dialog manager paints";
    g_calls.clear();
    DestroyWindow(page);
    EXPECT_EQ("destroy ", g_calls);
}

TEST_F(Skeleton, ADialogGetsEveryNotificationItself) {
    HWND dlg = Open(kDialog);
    ASSERT_NE(nullptr, dlg);
    INT_PTR answer = 0;
    SetWindowLongPtrW(dlg, DWLP_MSGRESULT, 3);
    EXPECT_EQ(3, Notify(dlg, PSN_APPLY, &answer)) << "not a sheet page: nothing answered for it";
    EXPECT_EQ(FALSE, answer);
    EXPECT_EQ(3, Notify(dlg, PSN_SETACTIVE, &answer));
    EXPECT_EQ(std::string::npos, g_calls.find("setActive"));
    EXPECT_EQ(55, Notify(dlg, 1234, &answer));
    DestroyWindow(dlg);
}

}  // namespace
