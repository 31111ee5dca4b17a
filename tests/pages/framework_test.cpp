// The page framework's exports on the module's own templates: text tables, the
// modal dialog function, text-box limits, tool windows and stop icons; and the
// pieces that need no window (hint page adjustment, number formatting).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/proc.h"
#include "model/package.h"
#include "pages/hints.h"
#include "pages/page_fixture.h"
#include "pages/safe_format.h"

namespace {

using nvx::model::ControlTextRow;
using pagetest::PageHost;

INT_PTR CALLBACK PlainProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

ControlTextRow Row(std::initializer_list<DWORD> ids, const char* text, const char* key) {
    ControlTextRow r{};
    size_t i = 0;
    for (DWORD id : ids) r.ids[i++] = id;
    for (size_t k = 0; text[k] && k < 63; ++k) r.text[k] = static_cast<WCHAR>(text[k]);
    std::strncpy(r.key, key, sizeof r.key - 1);
    return r;
}

class Framework : public PageHost {
protected:
    void SetUp() override {
        PageHost::SetUp();
        owner_ = CreateWindowExW(0, WL("#32770"), WL("Owner"), WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(nullptr, owner_);
    }
    void TearDown() override {
        if (owner_) DestroyWindow(owner_);
        PageHost::TearDown();
    }
    // The Basic tab's template as a plain child dialog (no module procedure).
    HWND PlainBasic() {
        return CreateDialogParamW(resources_, MAKEINTRESOURCEW(100), owner_, PlainProc, 0);
    }
    template <typename Fn>
    Fn Get(const char* name) {
        return nvx::ProcAs<Fn>(Export(name));
    }
    HWND owner_ = nullptr;
};

TEST_F(Framework, TextTablesSetCaptionsAndControlsAndSkipWhatTheySay) {
    HWND dlg = PlainBasic();
    ASSERT_NE(nullptr, dlg);
    auto replace = Get<UINT_PTR (*)(HWND, UINT*)>("ReplaceDlgDispString");
    auto replaceCommon = Get<UINT_PTR (*)(HWND, void*, UINT, INT_PTR)>("ReplaceDlgDispStringCmnItem");
    ControlTextRow table[] = {
        Row({100}, "Paper", "Caption"),
        Row({3502, 3503}, "Size:", "Two"),      // one text, two controls
        Row({1014}, "", "Empty"),               // empty text: the template's text stays
        Row({0xFFFFFFFF, 1018}, "Format %d", "TextOnly"),  // no control of its own
        Row({4711}, "Nowhere", "Missing"),      // a control the dialog lacks
        Row({}, "", ""),
        Row({1016}, "After the end", "Late"),
    };
    EXPECT_EQ(1u, replace(dlg, reinterpret_cast<UINT*>(table)));
    EXPECT_EQ("Paper", TextOf(dlg));
    EXPECT_EQ("Size:", TextOf(GetDlgItem(dlg, 3502)));
    EXPECT_EQ("Size:", TextOf(GetDlgItem(dlg, 3503)));
    EXPECT_EQ("Collate", TextOf(GetDlgItem(dlg, 1014)));
    EXPECT_EQ("Job Offset", TextOf(GetDlgItem(dlg, 1018))) << "the 0xFFFFFFFF row changes no control";
    EXPECT_EQ("", TextOf(GetDlgItem(dlg, 1016))) << "rows after the end row are not read";
    EXPECT_EQ(1u, replace(nullptr, reinterpret_cast<UINT*>(table)));
    EXPECT_EQ(1u, replace(dlg, nullptr));

    // Common items: row 0 goes to its controls (not the caption), rows 1..5 are skipped.
    ControlTextRow common[] = {
        Row({1130}, "Details", "View"), Row({1016}, "one", "1"),  Row({1016}, "two", "2"),
        Row({1016}, "three", "3"),      Row({1016}, "four", "4"), Row({1016}, "five", "5"),
        Row({3507}, "Sets:", "6"),      Row({}, "", ""),
    };
    EXPECT_EQ(1u, replaceCommon(dlg, common, 100, 0));
    EXPECT_EQ("Paper", TextOf(dlg));
    EXPECT_EQ("Details", TextOf(GetDlgItem(dlg, 1130)));
    EXPECT_EQ("", TextOf(GetDlgItem(dlg, 1016)));
    EXPECT_EQ("Sets:", TextOf(GetDlgItem(dlg, 3507)));
    DestroyWindow(dlg);
}

// MyDialogBox removes the help button of a template (classic or extended) when
// help is the compiled help file, as it is on NT 6.0 and later.
struct StyleSeen {
    LONG style = 0;
    LONG exStyle = 0;
    LPARAM param = 0;
};
StyleSeen g_seen;
INT_PTR CALLBACK RecordStyle(HWND dlg, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG) return FALSE;
    g_seen.style = GetWindowLongW(dlg, GWL_STYLE);
    g_seen.exStyle = GetWindowLongW(dlg, GWL_EXSTYLE);
    g_seen.param = lParam;
    EndDialog(dlg, 42);
    return TRUE;
}

TEST_F(Framework, MyDialogBoxRunsTheTemplateWithoutTheHelpButton) {
    auto myDialogBox = Get<UINT_PTR (*)(BYTE*, UINT_PTR, UINT, UINT_PTR, UINT_PTR)>("MyDialogBox");
    ASSERT_NE(nullptr, myDialogBox);
    // The custom size template asks for DS_CONTEXTHELP.
    HRSRC found = FindResourceW(resources_, MAKEINTRESOURCEW(151), RT_DIALOG);
    ASSERT_NE(nullptr, found);
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(resources_, found)));
    uint32_t style;
    std::memcpy(&style, bytes + 12, 4);  // DLGTEMPLATEEX: version, signature, help id, extended style, style
    ASSERT_NE(0u, style & DS_CONTEXTHELP);

    g_seen = {};
    const UINT_PTR answer = myDialogBox(reinterpret_cast<BYTE*>(resources_), reinterpret_cast<UINT_PTR>(owner_), 151,
                                        reinterpret_cast<UINT_PTR>(&RecordStyle), 0x1234);
    EXPECT_EQ(42u, answer);
    EXPECT_EQ(0x1234, g_seen.param) << "the context is the creation parameter";
    EXPECT_EQ(0, g_seen.style & DS_CONTEXTHELP);
    EXPECT_EQ(0, g_seen.exStyle & WS_EX_CONTEXTHELP);
    std::memcpy(&style, bytes + 12, 4);
    EXPECT_NE(0u, style & DS_CONTEXTHELP) << "the resource itself is left alone";
}

TEST_F(Framework, TextLimitsFollowTheRuleOfTheEditBox) {
    auto check = Get<UINT_PTR (*)(HWND, UINT_PTR, UINT)>("Prc_TBLimit_CheckString");
    auto range = Get<UINT_PTR (*)(HWND, UINT_PTR, UINT, UINT, UINT)>("Prc_TBLimit_CheckMinMaxFromString");
    HWND dlg = PlainBasic();
    HWND copies = GetDlgItem(dlg, 1011);  // "Copies": digits, at most 4
    auto text = [](const WCHAR* s) { return reinterpret_cast<UINT_PTR>(s); };
    EXPECT_EQ(1u, check(copies, text(WL("12")), 10));
    EXPECT_EQ(1u, check(copies, text(WL("")), 10));
    EXPECT_EQ(0u, check(copies, text(WL("1a")), 10));
    EXPECT_EQ(0u, check(copies, text(WL("12345")), 10)) << "the rule's own limit is smaller";
    EXPECT_EQ(0u, check(copies, text(WL("123")), 2)) << "the caller's maximum is smaller";
    EXPECT_EQ(0u, check(copies, 0, 10));
    EXPECT_EQ(1u, range(copies, text(WL("999")), 1, 999, 0));
    EXPECT_EQ(0u, range(copies, text(WL("1000")), 1, 999, 0));
    EXPECT_EQ(0u, range(copies, text(WL("0")), 1, 999, 0));
    EXPECT_EQ(0u, range(copies, text(WL("")), 1, 999, 0));
    EXPECT_EQ(0u, range(copies, text(WL("-1")), 1, 999, 0));
    EXPECT_EQ(0u, range(copies, text(WL("99999999999999")), 0, 0x7FFFFFFF, 0)) << "no overflow";
    // A box without a rule: only the length and, for numbers, the range count.
    HWND label = GetDlgItem(dlg, 3502);
    EXPECT_EQ(1u, check(label, text(WL("any text!")), 20));
    EXPECT_EQ(0u, check(label, text(WL("any text!")), 5));
    EXPECT_EQ(1u, range(label, text(WL("-12")), static_cast<UINT>(-20), 0, 0));
    EXPECT_EQ(1u, range(label, text(WL("12.5")), 0, 200, 1)) << "one decimal: 125 tenths";
    EXPECT_EQ(0u, range(label, text(WL("12.55")), 0, 2000, 1));
    EXPECT_EQ(0u, range(label, text(WL("1.2.3")), 0, 2000, 2));
    EXPECT_EQ(0u, range(label, text(WL(".")), 0, 2000, 2));
    // A text-rule kind in place of the decimals: 115 accepts everything, another
    // kind asks for a whole number in range.
    EXPECT_EQ(1u, range(copies, text(WL("abc")), 1, 999, 115));
    EXPECT_EQ(1u, range(copies, text(WL("12")), 1, 999, 101));
    EXPECT_EQ(0u, range(copies, text(WL("1000")), 1, 999, 101));
    EXPECT_EQ(0u, range(label, text(WL("1.5")), 0, 999, 104));
    DestroyWindow(dlg);
}

TEST_F(Framework, ToolWindowsAndStopIconsLiveWithTheirPage) {
    const int before = NvxUi_WindowCount();
    HWND dlg = PlainBasic();
    const int withDialog = NvxUi_WindowCount();
    auto create = Get<INT_PTR (*)(HWND)>("CreateToolWnd");
    auto store = Get<void (*)(HWND)>("StoreStopIconRectExp");
    auto draw = Get<void (*)(HWND, UINT, WCHAR**)>("ReqDrawStopInfoIconExp");
    HWND tip = reinterpret_cast<HWND>(create(dlg));
    ASSERT_NE(nullptr, tip);
    WCHAR cls[32] = {};
    GetClassNameW(tip, cls, 32);
    EXPECT_EQ("tooltips_class32", Utf8(cls));
    // One tool window per stop icon of the page (12) and the page's own.
    EXPECT_EQ(withDialog + 13, NvxUi_WindowCount());
    HWND tip2 = reinterpret_cast<HWND>(create(dlg));
    EXPECT_EQ(withDialog + 13, NvxUi_WindowCount()) << "a second call replaces, never adds";
    EXPECT_FALSE(IsWindow(tip));
    store(dlg);
    // No rule holds: the icon is hidden and has no size.
    HWND icon = GetDlgItem(dlg, 3607);
    draw(dlg, 3607, nullptr);
    RECT r;
    GetWindowRect(icon, &r);
    EXPECT_FALSE(IsWindowVisible(icon));
    EXPECT_EQ(0, r.right - r.left);
    draw(dlg, 9999, nullptr);  // not a stop icon: nothing happens
    draw(nullptr, 3607, nullptr);
    EXPECT_EQ(0, create(nullptr));
    DestroyWindow(dlg);
    EXPECT_TRUE(IsWindow(tip2)) << "owned by the top-level window, as on Windows";
    DestroyWindow(owner_);
    owner_ = nullptr;
    EXPECT_FALSE(IsWindow(tip2));
    EXPECT_EQ(before - 1, NvxUi_WindowCount()) << "the tool windows go with their owner";
}

// The host's hook sees every page message first, with the page identifier, and a
// message it marks handled never reaches the page.
class HostHook : public PageHost {
protected:
    std::string HostLibrary() const override { return NVX_PAGES_HOOK_HOST; }
};

TEST_F(HostHook, AHandledMessageNeverReachesThePage) {
    ASSERT_NE(nullptr, OpenSheet({{100, "Prc_DocPaper1Proc"}}));
    HMODULE host = GetModuleHandleW(WL("NOVRIX_D.DLL"));
    ASSERT_NE(nullptr, host);
    auto ask = [&](const char* name) { return nvx::ProcAs<int (*)()>(GetProcAddress(host, name))(); };
    EXPECT_EQ(100, ask("HookInitPage"));
    EXPECT_GT(ask("HookCalls"), 1);
    ASSERT_TRUE(NvxUi_Click(Control(1014)));
    EXPECT_EQ(1, ask("HookConsumed"));
    EXPECT_EQ(0, Field("bCollate")) << "the hook took the click";
    ASSERT_TRUE(NvxUi_Click(Control(1018)));
    EXPECT_EQ(1, Field("bJobOffset")) << "other messages still reach the page";
}

TEST(PageHints, VariantsAndSharedPagesPickTheHintRow) {
    using nvx::pages::HintPageFor;
    auto none = [](const char*) -> unsigned { return 0; };
    auto pod = [](const char* name) -> unsigned { return std::strcmp(name, "_PRP_FINISHER_POD") == 0; };
    auto all = [](const char*) -> unsigned { return 1; };
    EXPECT_EQ(110u, HintPageFor(110, none, 0));
    EXPECT_EQ(202u, HintPageFor(110, pod, 0));
    EXPECT_EQ(203u, HintPageFor(2288, all, 0));
    EXPECT_EQ(206u, HintPageFor(187, all, 0));
    EXPECT_EQ(207u, HintPageFor(156, all, 0));
    EXPECT_EQ(208u, HintPageFor(157, all, 0));
    EXPECT_EQ(157u, HintPageFor(157, none, 0));
    EXPECT_EQ(126u, HintPageFor(2287, none, 0));
    EXPECT_EQ(126u, HintPageFor(2286, none, 0));
    EXPECT_EQ(115u, HintPageFor(2225, none, 0));
    EXPECT_EQ(194u, HintPageFor(2516, none, 2));
    EXPECT_EQ(127u, HintPageFor(2517, none, 1));
    EXPECT_EQ(39u, sizeof nvx::pages::kHintDefs / sizeof nvx::pages::kHintDefs[0]);
}

TEST(PageTexts, PackageFormatsFillOnlyNumbers) {
    using nvx::pages::FormatNumbers;
    auto s = [](const nvx::WString& w) { return nvx::Utf8FromW(w.c_str()); };
    EXPECT_EQ("[1...999]", s(FormatNumbers(WL("[%d...%d]"), 1, 999)));
    EXPECT_EQ("(25-400) 100%", s(FormatNumbers(WL("(%d-%d) 100%%"), 25, 400)));
    EXPECT_EQ("%s 1 2 %d %", s(FormatNumbers(WL("%s %d %d %d %"), 1, 2))) << "a %s is copied, never read";
    EXPECT_EQ("  5|-3", s(FormatNumbers(WL("%3d|%d"), 5, -3)));
}

}  // namespace
