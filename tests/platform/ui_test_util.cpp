// Helpers of the user-interface tests.
#include "platform/ui_test_util.h"

#include <cstdio>

namespace uitest {
namespace {

struct Name {
    UINT value;
    const char* name;
};

const Name kMessages[] = {
    {WM_CREATE, "WM_CREATE"},           {WM_DESTROY, "WM_DESTROY"},         {WM_NCCREATE, "WM_NCCREATE"},
    {WM_NCDESTROY, "WM_NCDESTROY"},     {WM_SIZE, "WM_SIZE"},               {WM_MOVE, "WM_MOVE"},
    {WM_ACTIVATE, "WM_ACTIVATE"},       {WM_SETFOCUS, "WM_SETFOCUS"},       {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_ENABLE, "WM_ENABLE"},           {WM_SHOWWINDOW, "WM_SHOWWINDOW"},   {WM_INITDIALOG, "WM_INITDIALOG"},
    {WM_SETFONT, "WM_SETFONT"},         {WM_TIMER, "WM_TIMER"},             {WM_HSCROLL, "WM_HSCROLL"},
    {WM_VSCROLL, "WM_VSCROLL"},         {WM_HELP, "WM_HELP"},               {WM_CLOSE, "WM_CLOSE"},
    {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"}, {WM_PAINT, "WM_PAINT"},          {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_DRAWITEM, "WM_DRAWITEM"},       {WM_MEASUREITEM, "WM_MEASUREITEM"}, {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
    {WM_CTLCOLOREDIT, "WM_CTLCOLOREDIT"}, {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"}, {WM_USER + 77, "WM_USER+77"},
};

struct Code {
    UINT value;
    const char* name;
};

// WM_COMMAND codes differ by control class, so they are named by class prefix.
const Code kButtonCodes[] = {{BN_CLICKED, "BN_CLICKED"}, {BN_DOUBLECLICKED, "BN_DOUBLECLICKED"},
                             {BN_SETFOCUS, "BN_SETFOCUS"}, {BN_KILLFOCUS, "BN_KILLFOCUS"}};
const Code kEditCodes[] = {{EN_SETFOCUS, "EN_SETFOCUS"}, {EN_KILLFOCUS, "EN_KILLFOCUS"}, {EN_CHANGE, "EN_CHANGE"},
                           {EN_UPDATE, "EN_UPDATE"}, {EN_MAXTEXT, "EN_MAXTEXT"}};
const Code kComboCodes[] = {{CBN_SELCHANGE, "CBN_SELCHANGE"},     {CBN_DBLCLK, "CBN_DBLCLK"},
                            {CBN_SETFOCUS, "CBN_SETFOCUS"},       {CBN_KILLFOCUS, "CBN_KILLFOCUS"},
                            {CBN_EDITCHANGE, "CBN_EDITCHANGE"},   {CBN_EDITUPDATE, "CBN_EDITUPDATE"},
                            {CBN_DROPDOWN, "CBN_DROPDOWN"},       {CBN_CLOSEUP, "CBN_CLOSEUP"},
                            {CBN_SELENDOK, "CBN_SELENDOK"},       {CBN_SELENDCANCEL, "CBN_SELENDCANCEL"}};
const Code kListCodes[] = {{LBN_SELCHANGE, "LBN_SELCHANGE"}, {LBN_DBLCLK, "LBN_DBLCLK"},
                           {LBN_SETFOCUS, "LBN_SETFOCUS"}, {LBN_KILLFOCUS, "LBN_KILLFOCUS"}};
const Code kStaticCodes[] = {{STN_CLICKED, "STN_CLICKED"}, {STN_DBLCLK, "STN_DBLCLK"},
                             {STN_ENABLE, "STN_ENABLE"}, {STN_DISABLE, "STN_DISABLE"}};
const Code kAnimateCodes[] = {{ACN_START, "ACN_START"}, {ACN_STOP, "ACN_STOP"}};
const Code kNotifyCodes[] = {
    {NM_CLICK, "NM_CLICK"},           {NM_DBLCLK, "NM_DBLCLK"},           {NM_SETFOCUS, "NM_SETFOCUS"},
    {NM_KILLFOCUS, "NM_KILLFOCUS"},   {NM_RCLICK, "NM_RCLICK"},           {LVN_ITEMCHANGING, "LVN_ITEMCHANGING"},
    {LVN_ITEMCHANGED, "LVN_ITEMCHANGED"}, {LVN_INSERTITEM, "LVN_INSERTITEM"}, {LVN_DELETEITEM, "LVN_DELETEITEM"},
    {LVN_DELETEALLITEMS, "LVN_DELETEALLITEMS"}, {LVN_ITEMACTIVATE, "LVN_ITEMACTIVATE"},
    {TCN_SELCHANGING, "TCN_SELCHANGING"}, {TCN_SELCHANGE, "TCN_SELCHANGE"}, {UDN_DELTAPOS, "UDN_DELTAPOS"},
    {PSN_SETACTIVE, "PSN_SETACTIVE"}, {PSN_KILLACTIVE, "PSN_KILLACTIVE"}, {PSN_APPLY, "PSN_APPLY"},
    {PSN_RESET, "PSN_RESET"},         {PSN_HELP, "PSN_HELP"},             {PSN_QUERYCANCEL, "PSN_QUERYCANCEL"},
    {TTN_GETDISPINFOW, "TTN_GETDISPINFOW"}, {NM_RELEASEDCAPTURE, "NM_RELEASEDCAPTURE"}};

const char* Find(const Code* table, size_t n, UINT value) {
    for (size_t i = 0; i < n; ++i)
        if (table[i].value == value) return table[i].name;
    return nullptr;
}

std::string ClassOf(HWND hwnd) {
    WCHAR name[64] = {};
    if (hwnd) GetClassNameW(hwnd, name, 64);
    return nvx::Utf8FromW(name);
}

}  // namespace

std::string Describe(UINT msg, WPARAM wParam, LPARAM lParam) {
    char buf[128];
    if (msg == WM_COMMAND) {
        UINT code = HIWORD(wParam);
        int id = LOWORD(wParam);
        std::string cls = ClassOf(reinterpret_cast<HWND>(lParam));
        const char* name = nullptr;
        if (cls == "Button") name = Find(kButtonCodes, std::size(kButtonCodes), code);
        else if (cls == "Edit") name = Find(kEditCodes, std::size(kEditCodes), code);
        else if (cls == "ComboBox") name = Find(kComboCodes, std::size(kComboCodes), code);
        else if (cls == "ListBox") name = Find(kListCodes, std::size(kListCodes), code);
        else if (cls == "Static") name = Find(kStaticCodes, std::size(kStaticCodes), code);
        else if (cls == "SysAnimate32") name = Find(kAnimateCodes, std::size(kAnimateCodes), code);
        if (name) snprintf(buf, sizeof buf, "%d:%s", id, name);
        else snprintf(buf, sizeof buf, "WM_COMMAND %d:%u", id, code);
        return buf;
    }
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        const char* name = Find(kNotifyCodes, std::size(kNotifyCodes), hdr->code);
        if (name) snprintf(buf, sizeof buf, "%d:%s", static_cast<int>(hdr->idFrom), name);
        else snprintf(buf, sizeof buf, "WM_NOTIFY %d:%d", static_cast<int>(hdr->idFrom), static_cast<int>(hdr->code));
        return buf;
    }
    for (const Name& n : kMessages)
        if (n.value == msg) return n.name;
    snprintf(buf, sizeof buf, "0x%04X", msg);
    return buf;
}

Recorder& DialogLog() {
    static Recorder log;
    return log;
}

std::vector<std::pair<UINT, LRESULT>>& NotifyAnswers() {
    static std::vector<std::pair<UINT, LRESULT>> answers;
    return answers;
}

INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: DialogLog().Add(Describe(msg, wParam, lParam)); return TRUE;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr->code == TTN_GETDISPINFOW) return FALSE;
        DialogLog().Add(Describe(msg, wParam, lParam));
        for (const auto& answer : NotifyAnswers())
            if (answer.first == hdr->code) {
                SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, answer.second);
                return TRUE;
            }
        return FALSE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        char buf[64];
        snprintf(buf, sizeof buf, "%s %d %d", msg == WM_HSCROLL ? "WM_HSCROLL" : "WM_VSCROLL",
                 static_cast<int>(LOWORD(wParam)), static_cast<int>(static_cast<short>(HIWORD(wParam))));
        DialogLog().Add(buf);
        return TRUE;
    }
    default: return FALSE;
    }
}

HWND CreateRecordingDialog(TemplateBuilder& t) {
    DialogLog().Clear();
    NotifyAnswers().clear();
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, RecordingDialogProc, 0);
}

namespace {
BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lp) {
    (void)hwnd;
    ++*reinterpret_cast<int*>(lp);
    return TRUE;
}
}  // namespace

int UiTest::LiveWindows() {
#ifdef _WIN32
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&n));
    return n;
#else
    (void)CountWindow;
    return NvxUi_WindowCount();
#endif
}

void UiTest::SetUp() {
    PlatformTest::SetUp();
#ifndef _WIN32
    NvxUi_SetMessageBoxResponder(nullptr, nullptr);
    NvxUi_SetModalDriver(nullptr, nullptr);
    NvxUi_ClearLog();
#endif
    windowsBefore_ = LiveWindows();
}

void UiTest::TearDown() {
    EXPECT_EQ(LiveWindows(), windowsBefore_) << "the test left windows behind";
#ifndef _WIN32
    NvxUi_SetMessageBoxResponder(nullptr, nullptr);
    NvxUi_SetModalDriver(nullptr, nullptr);
#endif
    PlatformTest::TearDown();
}

}  // namespace uitest
