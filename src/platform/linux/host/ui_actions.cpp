// The host interface's actions: a user's clicks, typing, focus moves and keys,
// each turned into the window messages Win32 delivers for it.  Every action
// runs the thread's ready messages afterwards, as a message loop would between
// two inputs.  The sequences are listed in docs/platform-ui.md.
#include <algorithm>
#include <string>

#include "platform/linux/user32/user_internal.h"
#include "platform/ui_host.h"

namespace nvxp {
namespace {

constexpr DWORD kErrorNotFound = ERROR_NOT_FOUND;

// The control and its ancestors are visible and enabled.
bool Actionable(HWND hwnd) {
    if (!IsWindow(hwnd)) return false;
    HWND desktop = DesktopHandle();
    for (HWND h = hwnd; h && h != desktop; h = GetAncestor(h, GA_PARENT)) {
        DWORD style = StyleOf(h);
        if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) return false;
    }
    return true;
}

// Checks a target: a window of this thread that takes input.
bool Prepare(HWND hwnd) {
    if (!CheckWindow(hwnd)) return false;
    if (GetWindowThreadProcessId(hwnd, nullptr) != CurrentThreadId())
        return Fail(ERROR_WINDOW_OF_OTHER_THREAD, false);
    if (!Actionable(hwnd)) return Fail(ERROR_ACCESS_DENIED, false);
    return true;
}

// The dialog whose IsDialogMessageW sees the user's input: the top-level window.
HWND InputRoot(HWND hwnd) {
    HWND root = GetAncestor(hwnd, GA_ROOT);
    return root ? root : hwnd;
}

void RunQueue(HWND hwnd) {
    HWND root = IsWindow(hwnd) ? InputRoot(hwnd) : nullptr;
    PumpPending(root && DialogAncestor(root) == root ? root : nullptr);
}

POINT Center(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return POINT{r.right / 2, r.bottom / 2};
}

// A click goes to the window under the pointer that does not let it through
// (group boxes and plain static controls are transparent).
HWND HitTarget(HWND hwnd, POINT* pt) {
    for (int depth = 0; depth < 32; ++depth) {
        POINT screen = *pt;
        ClientToScreen(hwnd, &screen);
        if (Send(hwnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) != HTTRANSPARENT) break;
        HWND parent = GetParent(hwnd);
        if (!parent || !(StyleOf(hwnd) & WS_CHILD)) break;
        MapWindowPoints(hwnd, parent, pt, 1);
        hwnd = parent;
    }
    return hwnd;
}

// The mouse activation of a click in an inactive window.
void ActivateFor(HWND hwnd) {
    HWND top = InputRoot(hwnd);
    if (top == GetActiveWindow()) return;
    LRESULT how = Send(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    if (how != MA_NOACTIVATE && how != MA_NOACTIVATEANDEAT && IsWindow(top)) SetActiveWindow(top);
}

// Button down and up at a client point (a second pair for a double click).
void ClickAt(HWND hwnd, POINT pt, bool twice) {
    hwnd = HitTarget(hwnd, &pt);
    POINT screen = pt;
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
    ActivateFor(hwnd);
    LPARAM at = MAKELPARAM(pt.x, pt.y);
    if (IsWindow(hwnd)) Send(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    if (IsWindow(hwnd)) Send(hwnd, WM_LBUTTONUP, 0, at);
    if (twice) {
        if (IsWindow(hwnd)) Send(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        if (IsWindow(hwnd)) Send(hwnd, WM_LBUTTONUP, 0, at);
    }
}

bool Click(HWND hwnd, POINT pt, bool twice) {
    ClickAt(hwnd, pt, twice);
    RunQueue(hwnd);
    return true;
}

HWND FindDescendant(HWND parent, int id) {
    for (HWND child : ChildHandles(parent)) {
        if (GetDlgCtrlID(child) == id) return child;
    }
    for (HWND child : ChildHandles(parent))
        if (HWND inner = FindDescendant(child, id)) return inner;
    return nullptr;
}

HWND ComboEdit(HWND combo) {
    for (HWND child : ChildHandles(combo))
        if (IsClass(child, u"Edit")) return child;
    return nullptr;
}

// Gives the focus as the dialog manager does, or plainly outside dialogs.
void FocusLikeDialog(HWND control) {
    HWND parent = GetParent(control);
    HWND dialog = parent ? DialogAncestor(parent) : nullptr;
    if (dialog)
        Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    else
        SetFocus(control);
}

bool ChooseCombo(HWND combo, int index) {
    if (!Prepare(combo)) return false;
    if (!IsClass(combo, u"ComboBox")) return Fail(ERROR_INVALID_PARAMETER, false);
    int count = static_cast<int>(Send(combo, CB_GETCOUNT));
    if (index < 0 || index >= count) return Fail(kErrorNotFound, false);
    RECT r;
    GetClientRect(combo, &r);
    if ((StyleOf(combo) & 3) != CBS_SIMPLE) ClickAt(combo, POINT{r.right - 2, r.bottom / 2}, false);
    if (IsWindow(combo)) Send(combo, kComboChoose, static_cast<WPARAM>(index));
    RunQueue(combo);
    return true;
}

}  // namespace
}  // namespace nvxp

using nvxp::Fail;

extern "C" {

NVXAPI BOOL NvxUi_IsActionable(HWND control) {
    return nvxp::Actionable(control);
}

NVXAPI int NvxUi_WindowCount(void) {
    return nvxp::LiveWindowCount();
}

NVXAPI int NvxUi_GdiObjectCount(void) {
    return nvxp::GdiObjectCount();
}

NVXAPI BOOL NvxUi_Click(HWND control) {
    if (!nvxp::Prepare(control)) return FALSE;
    return nvxp::Click(control, nvxp::Center(control), false);
}

NVXAPI BOOL NvxUi_DoubleClick(HWND control) {
    if (!nvxp::Prepare(control)) return FALSE;
    return nvxp::Click(control, nvxp::Center(control), true);
}

// Clicks until the box shows the state (at most three clicks: a 3-state cycle).
NVXAPI BOOL NvxUi_SetCheck(HWND button, UINT state) {
    if (!nvxp::Prepare(button)) return FALSE;
    DWORD type = nvxp::StyleOf(button) & BS_TYPEMASK;
    bool checkable = nvxp::IsClass(button, u"Button") &&
                     (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                      type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE);
    if (!checkable) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    for (int i = 0; i < 3; ++i) {
        if (!IsWindow(button)) return FALSE;
        if (static_cast<UINT>(SendMessageW(button, BM_GETCHECK, 0, 0)) == state) return TRUE;
        nvxp::Click(button, nvxp::Center(button), false);
        if (!nvxp::Actionable(button)) break;
    }
    if (IsWindow(button) && static_cast<UINT>(SendMessageW(button, BM_GETCHECK, 0, 0)) == state) return TRUE;
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
}

NVXAPI BOOL NvxUi_ChooseComboIndex(HWND combo, int index) {
    return nvxp::ChooseCombo(combo, index);
}

NVXAPI BOOL NvxUi_ChooseComboText(HWND combo, LPCWSTR text) {
    if (!nvxp::CheckWindow(combo)) return FALSE;
    if (!text) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    int index = static_cast<int>(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(text)));
    if (index < 0) return Fail(ERROR_NOT_FOUND, FALSE);
    return nvxp::ChooseCombo(combo, index);
}

NVXAPI BOOL NvxUi_ChooseComboData(HWND combo, LPARAM data) {
    if (!nvxp::CheckWindow(combo)) return FALSE;
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == data) return nvxp::ChooseCombo(combo, i);
    return Fail(ERROR_NOT_FOUND, FALSE);
}

NVXAPI BOOL NvxUi_ChooseListItem(HWND list, int index) {
    if (!nvxp::Prepare(list)) return FALSE;
    RECT item{};
    if (nvxp::IsClass(list, u"ListBox")) {
        if (index < 0 || index >= static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)))
            return Fail(ERROR_NOT_FOUND, FALSE);
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    } else if (nvxp::IsClass(list, u"SysListView32")) {
        if (index < 0 || index >= static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)))
            return Fail(ERROR_NOT_FOUND, FALSE);
        SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
        item.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    } else {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    return nvxp::Click(list, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2}, false);
}

NVXAPI BOOL NvxUi_CheckListItem(HWND listView, int index, BOOL checked) {
    if (!nvxp::Prepare(listView)) return FALSE;
    if (!nvxp::IsClass(listView, u"SysListView32") ||
        !(SendMessageW(listView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES))
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (index < 0 || index >= static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0)))
        return Fail(ERROR_NOT_FOUND, FALSE);
    auto isChecked = [&]() {
        UINT state = static_cast<UINT>(SendMessageW(listView, LVM_GETITEMSTATE, static_cast<WPARAM>(index),
                                                    LVIS_STATEIMAGEMASK));
        return (state >> 12) == 2;
    };
    if (isChecked() == (checked != FALSE)) return TRUE;
    SendMessageW(listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    RECT icon{};
    icon.left = LVIR_ICON;
    SendMessageW(listView, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&icon));
    // The check box is the state image, left of the icon.
    nvxp::Click(listView, POINT{std::max<LONG>(1, icon.left - 8), (icon.top + icon.bottom) / 2}, false);
    return IsWindow(listView) && isChecked() == (checked != FALSE) ? TRUE : Fail(ERROR_INVALID_PARAMETER, FALSE);
}

NVXAPI BOOL NvxUi_Focus(HWND control) {
    if (!nvxp::Prepare(control)) return FALSE;
    nvxp::FocusLikeDialog(control);
    nvxp::RunQueue(control);
    return GetFocus() == control || IsChild(control, GetFocus());
}

NVXAPI BOOL NvxUi_Type(HWND edit, LPCWSTR text, UINT flags) {
    if (!nvxp::Prepare(edit)) return FALSE;
    if (!text) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    HWND target = edit;
    if (nvxp::IsClass(edit, u"ComboBox")) {
        if (HWND inner = nvxp::ComboEdit(edit)) target = inner;
    } else if (!nvxp::IsClass(edit, u"Edit")) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    HWND focus = GetFocus();
    if (focus != target && focus != edit) nvxp::FocusLikeDialog(edit);
    if (!IsWindow(target)) return FALSE;
    if (GetFocus() != target && GetFocus() != edit) return Fail(ERROR_ACCESS_DENIED, FALSE);
    if (flags & NVXUI_TYPE_APPEND) {
        int len = GetWindowTextLengthW(target);
        SendMessageW(target, EM_SETSEL, static_cast<WPARAM>(len), len);
    } else {
        SendMessageW(target, EM_SETSEL, 0, -1);
    }
    nvxp::RunQueue(edit);
    for (const WCHAR* p = text; *p; ++p) {
        if (!IsWindow(target) || !nvxp::Actionable(target)) return Fail(ERROR_ACCESS_DENIED, FALSE);
        SendMessageW(target, WM_CHAR, *p, 1);
        nvxp::RunQueue(target);
    }
    return TRUE;
}

// Tab from the control; when it is the only tab stop the focus leaves the window.
NVXAPI BOOL NvxUi_LeaveControl(HWND control) {
    if (!nvxp::CheckWindow(control)) return FALSE;
    HWND focus = GetFocus();
    if (focus != control && !IsChild(control, focus)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    HWND parent = GetParent(control);
    HWND dialog = parent ? nvxp::DialogAncestor(parent) : nullptr;
    if (dialog) SendMessageW(dialog, WM_NEXTDLGCTL, 0, FALSE);
    focus = GetFocus();
    if (focus == control || IsChild(control, focus)) SetFocus(nullptr);
    nvxp::RunQueue(control);
    return TRUE;
}

NVXAPI BOOL NvxUi_Spin(HWND upDown, int steps) {
    if (!nvxp::Prepare(upDown)) return FALSE;
    if (!nvxp::IsClass(upDown, u"msctls_updown32")) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    RECT r;
    GetClientRect(upDown, &r);
    bool horizontal = (nvxp::StyleOf(upDown) & UDS_HORZ) != 0;
    POINT up = horizontal ? POINT{r.right * 3 / 4, r.bottom / 2} : POINT{r.right / 2, r.bottom / 4};
    POINT down = horizontal ? POINT{r.right / 4, r.bottom / 2} : POINT{r.right / 2, r.bottom * 3 / 4};
    for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) {
        if (!nvxp::Actionable(upDown)) return Fail(ERROR_ACCESS_DENIED, FALSE);
        nvxp::Click(upDown, steps > 0 ? up : down, false);
    }
    return TRUE;
}

NVXAPI BOOL NvxUi_SetTrackBar(HWND trackBar, int position) {
    if (!nvxp::Prepare(trackBar)) return FALSE;
    if (!nvxp::IsClass(trackBar, u"msctls_trackbar32")) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    nvxp::ActivateFor(trackBar);
    SendMessageW(trackBar, nvxp::kTrackDrag, static_cast<WPARAM>(position), 0);
    nvxp::RunQueue(trackBar);
    return TRUE;
}

NVXAPI BOOL NvxUi_SelectTab(HWND tabOrSheet, int index) {
    if (!nvxp::CheckWindow(tabOrSheet)) return FALSE;
    HWND tab = tabOrSheet;
    if (!nvxp::IsClass(tab, u"SysTabControl32")) {
        tab = reinterpret_cast<HWND>(SendMessageW(tabOrSheet, PSM_GETTABCONTROL, 0, 0));
        if (!tab || !nvxp::IsClass(tab, u"SysTabControl32")) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    if (!nvxp::Prepare(tab)) return FALSE;
    if (index < 0 || index >= static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0)))
        return Fail(ERROR_NOT_FOUND, FALSE);
    RECT item{};
    SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return nvxp::Click(tab, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2}, false);
}

NVXAPI BOOL NvxUi_PressButton(HWND dialog, int id) {
    if (!nvxp::CheckWindow(dialog)) return FALSE;
    HWND button = nvxp::FindDescendant(dialog, id);
    if (!button) return Fail(ERROR_NOT_FOUND, FALSE);
    if (!nvxp::Prepare(button)) return FALSE;
    return nvxp::Click(button, nvxp::Center(button), false);
}

NVXAPI BOOL NvxUi_PressKey(HWND dialog, UINT vk) {
    if (!nvxp::Prepare(dialog)) return FALSE;
    HWND focus = GetFocus();
    HWND target = focus && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
    MSG m{};
    m.hwnd = target;
    m.message = WM_KEYDOWN;
    m.wParam = vk;
    m.lParam = 1;
    nvxp::StampMessage(&m);
    if (!IsDialogMessageW(dialog, &m)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    nvxp::PumpPending(IsWindow(dialog) ? dialog : nullptr);
    if (IsWindow(target)) {
        m.message = WM_KEYUP;
        m.lParam = static_cast<LPARAM>(0xC0000001u);
        if (!IsWindow(dialog) || !IsDialogMessageW(dialog, &m)) DispatchMessageW(&m);
    }
    nvxp::RunQueue(dialog);
    return TRUE;
}

NVXAPI BOOL NvxUi_ContextHelp(HWND control) {
    if (!nvxp::CheckWindow(control)) return FALSE;
    if (!IsWindowVisible(control)) return Fail(ERROR_ACCESS_DENIED, FALSE);
    HELPINFO hi{};
    hi.cbSize = sizeof hi;
    hi.iContextType = HELPINFO_WINDOW;
    hi.iCtrlId = GetDlgCtrlID(control);
    hi.hItemHandle = control;
    POINT center = nvxp::Center(control);
    ClientToScreen(control, &center);
    hi.MousePos = center;
    SendMessageW(control, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
    nvxp::RunQueue(control);
    return TRUE;
}

NVXAPI void NvxUi_SetKeyState(int vk, BOOL down) {
    nvxp::SetKeyDown(vk, down != FALSE);
}

NVXAPI BOOL NvxUi_Pump(DWORD milliseconds) {
    return milliseconds ? nvxp::PumpFor(milliseconds) : nvxp::PumpPending(nullptr);
}

// The text a tool's tip shows; the tool's owner answers TTN_GETDISPINFOW for callbacks.
NVXAPI int NvxUi_GetToolTipText(HWND tooltip, HWND toolOwner, UINT_PTR toolId, LPWSTR buffer, int size) {
    if (!nvxp::CheckWindow(tooltip)) return -1;
    nvxp::ToolTipQuery query{toolOwner, toolId, {}};
    if (!SendMessageW(tooltip, nvxp::kToolTipQuery, 0, reinterpret_cast<LPARAM>(&query)))
        return Fail(ERROR_NOT_FOUND, -1);
    if (buffer && size > 0) nvxp::CopyOut(query.text, buffer, static_cast<size_t>(size));
    return static_cast<int>(query.text.size());
}

}  // extern "C"
