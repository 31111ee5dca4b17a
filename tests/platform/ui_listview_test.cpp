// SysListView32 in report view: columns, items and sub-items, state changes
// with LVN_ITEMCHANGING/LVN_ITEMCHANGED (and refusing them), single
// selection, check boxes, search, deletion and clicks.
#include "platform/ui_test_util.h"

namespace {

using uitest::DialogLog;
using uitest::NotifyAnswers;
using uitest::TemplateBuilder;
using uitest::UiTest;

constexpr int kView = 10, kSorted = 11, kOther = 12;

// The last NMLISTVIEW of LVN_ITEMCHANGED, for state checks.
NMLISTVIEW g_changed;

INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_ITEMCHANGED)
        g_changed = *reinterpret_cast<NMLISTVIEW*>(lParam);
    return uitest::RecordingDialogProc(hwnd, msg, wParam, lParam);
}

class ListViews : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_CAPTION | WS_VISIBLE, 260, 160, WL("Views"));
        t.Control(kView, 0, WL("SysListView32"), WL(""), LVS_REPORT | LVS_SINGLESEL | WS_TABSTOP | WS_VISIBLE, 5, 5,
                  200, 100)
            .Control(kSorted, 0, WL("SysListView32"), WL(""), LVS_REPORT | LVS_SORTASCENDING | WS_VISIBLE, 5, 110,
                     100, 40)
            .Control(kOther, 0x80, nullptr, WL("Other"), BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 205, 120, 50, 14);
        DialogLog().Clear();
        NotifyAnswers().clear();
        dlg_ = CreateDialogIndirectParamW(nullptr, t.Get(), nullptr, Proc, 0);
        ASSERT_NE(dlg_, nullptr);
        view_ = GetDlgItem(dlg_, kView);
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 80;
        col.pszText = const_cast<WCHAR*>(WL("Name"));
        EXPECT_EQ(SendMessageW(view_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col)), 0);
        col.pszText = const_cast<WCHAR*>(WL("Number"));
        EXPECT_EQ(SendMessageW(view_, LVM_INSERTCOLUMNW, 5, reinterpret_cast<LPARAM>(&col)), 1);  // appended
        const WCHAR* names[] = {WL("Alice"), WL("Bob"), WL("Carol")};
        const WCHAR* numbers[] = {WL("100"), WL("200"), WL("300")};
        for (int i = 0; i < 3; ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = 99;  // past the end: appended
            item.pszText = const_cast<WCHAR*>(names[i]);
            item.lParam = 1000 + i;
            EXPECT_EQ(SendMessageW(view_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), i);
            item.iSubItem = 1;
            item.pszText = const_cast<WCHAR*>(numbers[i]);
            EXPECT_TRUE(SendMessageW(view_, LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
        }
        SetFocus(GetDlgItem(dlg_, kOther));
        DialogLog().Clear();
    }
    void TearDown() override {
        EXPECT_TRUE(DestroyWindow(dlg_));
        UiTest::TearDown();
    }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(view_, msg, w, l); }
    nvx::WString Text(int item, int sub) {
        WCHAR buffer[32] = {};
        LVITEMW lv{};
        lv.iSubItem = sub;
        lv.pszText = buffer;
        lv.cchTextMax = 32;
        Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
        return buffer;
    }
    void SetState(int item, UINT state, UINT mask) {
        LVITEMW lv{};
        lv.state = state;
        lv.stateMask = mask;
        Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    }
    HWND dlg_ = nullptr;
    HWND view_ = nullptr;
};

TEST_F(ListViews, ItemsSubItemsAndData) {
    EXPECT_EQ(Send(LVM_GETITEMCOUNT), 3);
    EXPECT_EQ(Text(1, 0), nvx::WString(WL("Bob")));
    EXPECT_EQ(Text(1, 1), nvx::WString(WL("200")));
    LVITEMW lv{};
    lv.mask = LVIF_PARAM | LVIF_STATE;
    lv.iItem = 2;
    lv.stateMask = 0xFFFF;
    EXPECT_TRUE(Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv)));
    EXPECT_EQ(lv.lParam, 1002);
    EXPECT_EQ(lv.state, 0u);
    lv.iItem = 7;
    EXPECT_FALSE(Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lv)));

    LVCOLUMNW col{};
    WCHAR name[16] = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = name;
    col.cchTextMax = 16;
    EXPECT_TRUE(Send(LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&col)));
    EXPECT_EQ(nvx::WString(name), nvx::WString(WL("Number")));
    EXPECT_EQ(col.cx, 80);
    EXPECT_TRUE(Send(LVM_SETCOLUMNWIDTH, 1, 50));
    EXPECT_EQ(Send(LVM_GETCOLUMNWIDTH, 1), 50);

    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = 1001;
    EXPECT_EQ(Send(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 1);
    find.flags = LVFI_STRING;
    find.psz = WL("carol");
    EXPECT_EQ(Send(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 2);
    find.flags = LVFI_PARTIAL;
    find.psz = WL("Al");
    EXPECT_EQ(Send(LVM_FINDITEMW, 0, reinterpret_cast<LPARAM>(&find)), -1);  // starts after item 0
    find.flags = LVFI_PARTIAL | LVFI_WRAP;
    EXPECT_EQ(Send(LVM_FINDITEMW, 0, reinterpret_cast<LPARAM>(&find)), 0);

    // Sorted views insert in order.
    HWND sorted = GetDlgItem(dlg_, kSorted);
    for (const WCHAR* s : {WL("pear"), WL("Apple"), WL("fig")}) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<WCHAR*>(s);
        SendMessageW(sorted, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    WCHAR first[8] = {};
    LVITEMW read{};
    read.pszText = first;
    read.cchTextMax = 8;
    SendMessageW(sorted, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&read));
    EXPECT_EQ(nvx::WString(first), nvx::WString(WL("Apple")));
    EXPECT_EQ(DialogLog().Joined(), "11:LVN_INSERTITEM|11:LVN_INSERTITEM|11:LVN_INSERTITEM");
}

TEST_F(ListViews, StateChangesNotifyAndCanBeRefused) {
    SetState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(DialogLog().Joined(), "10:LVN_ITEMCHANGING|10:LVN_ITEMCHANGED");
    EXPECT_EQ(g_changed.iItem, 0);
    EXPECT_EQ(g_changed.uNewState, static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(g_changed.uOldState, 0u);
    EXPECT_EQ(g_changed.uChanged, static_cast<UINT>(LVIF_STATE));
    EXPECT_EQ(g_changed.lParam, 1000);

    // Single selection: selecting item 2 deselects item 0 inside the change
    // of item 2 (a nested pair), and item 2's LVN_ITEMCHANGED closes.
    DialogLog().Clear();
    SetState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(DialogLog().Joined(), "10:LVN_ITEMCHANGING|10:LVN_ITEMCHANGING|10:LVN_ITEMCHANGED|10:LVN_ITEMCHANGED");
    EXPECT_EQ(g_changed.iItem, 2);
    EXPECT_EQ(Send(LVM_GETITEMSTATE, 0, LVIS_SELECTED), 0);
    EXPECT_EQ(Send(LVM_GETITEMSTATE, 0, LVIS_FOCUSED), LVIS_FOCUSED);
    EXPECT_EQ(Send(LVM_GETSELECTEDCOUNT), 1);
    EXPECT_EQ(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
    EXPECT_EQ(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
    EXPECT_EQ(Send(LVM_GETNEXTITEM, 0, LVNI_ALL), 1);

    // A change that changes nothing still asks; -1 cannot focus every item.
    DialogLog().Clear();
    SetState(2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(DialogLog().Joined(), "10:LVN_ITEMCHANGING");
    LVITEMW all{};
    all.stateMask = LVIS_FOCUSED;
    all.state = LVIS_FOCUSED;
    EXPECT_FALSE(Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all)));
    all.stateMask = all.state = LVIS_SELECTED;  // nor select every item of a single-selection view
    EXPECT_FALSE(Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all)));
    EXPECT_EQ(Send(LVM_GETSELECTEDCOUNT), 1);

    // The parent refuses: nothing changes, not even the other items' states.
    NotifyAnswers().push_back({LVN_ITEMCHANGING, TRUE});
    DialogLog().Clear();
    SetState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(DialogLog().Joined(), "10:LVN_ITEMCHANGING");
    EXPECT_EQ(Send(LVM_GETITEMSTATE, 1, LVIS_SELECTED), 0);
    EXPECT_EQ(Send(LVM_GETITEMSTATE, 2, LVIS_SELECTED), LVIS_SELECTED);
    NotifyAnswers().clear();

    // Check boxes are state images 1 (unchecked) and 2 (checked).
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    EXPECT_EQ(Send(LVM_GETEXTENDEDLISTVIEWSTYLE) & LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    EXPECT_EQ(Send(LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
    SetState(1, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    EXPECT_EQ(Send(LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
}

TEST_F(ListViews, DeletionAndClicks) {
    DialogLog().Clear();
    EXPECT_TRUE(Send(LVM_DELETEITEM, 1));
    EXPECT_FALSE(Send(LVM_DELETEITEM, 5));
    EXPECT_EQ(Send(LVM_GETITEMCOUNT), 2);
    EXPECT_EQ(Text(1, 0), nvx::WString(WL("Carol")));
    // The item first loses selection and focus (it had neither: no LVN_ITEMCHANGED).
    EXPECT_EQ(DialogLog().Joined(), "10:LVN_ITEMCHANGING|10:LVN_DELETEITEM");

    // A click selects and focuses the item, takes the focus, then NM_CLICK on release.
    RECT r{};
    r.left = LVIR_LABEL;
    EXPECT_TRUE(Send(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)));
    DialogLog().Clear();
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Send(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(DialogLog().Joined(),
              "10:NM_RELEASEDCAPTURE|10:LVN_ITEMCHANGING|10:LVN_ITEMCHANGED|10:NM_SETFOCUS|10:NM_CLICK");
    EXPECT_EQ(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED | LVNI_FOCUSED), 1);
    LVHITTESTINFO hit{};
    hit.pt = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
    EXPECT_TRUE(hit.flags & LVHT_ONITEMLABEL);

    DialogLog().Clear();
    EXPECT_TRUE(Send(LVM_DELETEALLITEMS));
    EXPECT_EQ(DialogLog().Joined(), "10:LVN_DELETEALLITEMS|10:LVN_DELETEITEM|10:LVN_DELETEITEM");
    EXPECT_EQ(Send(LVM_GETITEMCOUNT), 0);
    EXPECT_EQ(Send(LVM_GETSELECTEDCOUNT), 0);
}

#ifndef _WIN32
TEST_F(ListViews, HostChoosesAndChecksItems) {
    EXPECT_TRUE(NvxUi_ChooseListItem(view_, 2));
    EXPECT_EQ(DialogLog().Joined(),
              "10:NM_RELEASEDCAPTURE|10:LVN_ITEMCHANGING|10:LVN_ITEMCHANGED|10:NM_SETFOCUS|10:NM_CLICK");
    DialogLog().Clear();
    EXPECT_TRUE(NvxUi_ChooseListItem(view_, 0));
    // The old item loses selection and focus (one pair each), the new one gains both.
    EXPECT_EQ(DialogLog().Joined("CHANGED"), "10:LVN_ITEMCHANGED|10:LVN_ITEMCHANGED|10:LVN_ITEMCHANGED");
    EXPECT_FALSE(NvxUi_ChooseListItem(view_, 3));
    EXPECT_FALSE(NvxUi_CheckListItem(view_, 0, TRUE));  // no check boxes yet
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
    DialogLog().Clear();
    EXPECT_TRUE(NvxUi_CheckListItem(view_, 1, TRUE));
    EXPECT_EQ(DialogLog().Joined(), "10:NM_RELEASEDCAPTURE|10:NM_CLICK|10:LVN_ITEMCHANGING|10:LVN_ITEMCHANGED");
    EXPECT_EQ(Send(LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0);  // the check left the selection
    EXPECT_TRUE(NvxUi_CheckListItem(view_, 1, FALSE));
    DialogLog().Clear();
    EXPECT_TRUE(NvxUi_DoubleClick(view_));
    EXPECT_NE(DialogLog().Joined().find("10:NM_DBLCLK"), std::string::npos);
}
#endif

}  // namespace
