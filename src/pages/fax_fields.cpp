#include "pages/fax_fields.h"

#include <cstdio>
#include <vector>

#include "model/loaded_model.h"
#include "model/messages.h"

namespace nvx::pages::fax {

namespace {

int g_updating = 0;
struct Updating {
    Updating() { ++g_updating; }
    ~Updating() { --g_updating; }
};

void SetCheck(HWND dialog, int id, bool on) {
    if (HWND c = GetDlgItem(dialog, id)) SendMessageW(c, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SetText(HWND dialog, int id, const WString& text) {
    HWND c = GetDlgItem(dialog, id);
    if (!c) return;
    if (FieldText(dialog, id, 260) != text) SetWindowTextW(c, text.c_str());
}

WString Number(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", v);
    return WFromAscii(buf);
}

void Enable(HWND dialog, int id, bool on) {
    if (HWND c = GetDlgItem(dialog, id)) EnableWindow(c, on);
}

}  // namespace

bool FieldsUpdating() {
    return g_updating > 0;
}

void PrepareFields(HWND dialog) {
    SendMessageW(GetDlgItem(dialog, kHour), EM_LIMITTEXT, 2, 0);
    SendMessageW(GetDlgItem(dialog, kMinute), EM_LIMITTEXT, 2, 0);
    SendMessageW(GetDlgItem(dialog, kSubAddress), EM_LIMITTEXT, nvx::fax::setting::kTextChars, 0);
    SendMessageW(GetDlgItem(dialog, kSendId), EM_LIMITTEXT, nvx::fax::setting::kTextChars, 0);
    SendMessageW(GetDlgItem(dialog, kHourSpin), UDM_SETRANGE32, 0, 23);
    SendMessageW(GetDlgItem(dialog, kMinuteSpin), UDM_SETRANGE32, 0, 59);
    ShowCurrentTime(dialog);
}

void ShowFields(HWND dialog, const BYTE* block, int except) {
    if (!block) return;
    Updating updating;
    namespace s = nvx::fax::setting;
    SetCheck(dialog, kPrtRecFile, nvx::fax::Flag(block, s::kPrtRecFile));
    SetCheck(dialog, kTimerSend, nvx::fax::Flag(block, s::kTimerSend));
    SetCheck(dialog, kSubAddressOn, nvx::fax::Flag(block, s::kSubAddressOn));
    SetCheck(dialog, kSendIdOn, nvx::fax::Flag(block, s::kSendIdOn));
    // The field the user is typing in keeps its text.
    if (except != kHour) SetText(dialog, kHour, Number(block[s::kSendHour]));
    if (except != kMinute) SetText(dialog, kMinute, Number(block[s::kSendMinute]));
    if (except != kSubAddress) SetText(dialog, kSubAddress, nvx::fax::Text(block, s::kSubAddress));
    if (except != kSendId) SetText(dialog, kSendId, nvx::fax::Text(block, s::kSendId));
}

void ShowCurrentTime(HWND dialog) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", now.wHour, now.wMinute);
    Updating updating;
    SetText(dialog, kCurrentTime, WFromAscii(buf));
}

void EnableFieldDependents(HWND dialog, const BYTE* block, bool mayApply) {
    if (!block || !mayApply) return;
    namespace s = nvx::fax::setting;
    const bool timer = nvx::fax::Flag(block, s::kTimerSend);
    const int timeControls[] = {kSendTimeLabel,    kHourLabel,   kHour,       kHourSpin, kMinuteLabel, kMinute,
                                kMinuteSpin,       kCurrentTimeLabel, kCurrentTime, kRefCurTime, 2235};
    for (int id : timeControls)
        Enable(dialog, id, timer);
    Enable(dialog, kSubAddress, nvx::fax::Flag(block, s::kSubAddressOn));
    Enable(dialog, kSubAddressLabel, nvx::fax::Flag(block, s::kSubAddressOn));
    Enable(dialog, kSendId, nvx::fax::Flag(block, s::kSendIdOn));
    Enable(dialog, kSendIdLabel, nvx::fax::Flag(block, s::kSendIdOn));
}

nvx::fax::Entered ReadEntered(HWND dialog, const BYTE* block) {
    namespace s = nvx::fax::setting;
    nvx::fax::Entered e;
    e.timerOn = block && nvx::fax::Flag(block, s::kTimerSend);
    e.hour = FieldText(dialog, kHour, 8);
    e.minute = FieldText(dialog, kMinute, 8);
    e.subAddressOn = block && nvx::fax::Flag(block, s::kSubAddressOn);
    e.subAddress = FieldText(dialog, kSubAddress, 64);
    e.sendIdOn = block && nvx::fax::Flag(block, s::kSendIdOn);
    e.sendId = FieldText(dialog, kSendId, 64);
    return e;
}

bool CheckEntered(HWND dialog, const BYTE* block) {
    const nvx::fax::Problem p = nvx::fax::FirstProblem(ReadEntered(dialog, block));
    if (p == nvx::fax::Problem::None) return true;
    const nvx::fax::ProblemMessage m = nvx::fax::MessageOf(p);
    if (HWND c = GetDlgItem(dialog, m.focus)) SetFocus(c);
    // The two texts as two lines, whether or not the first ends with its own break.
    WString text = MessageText(m.first);
    if (!text.empty() && text.back() != '\n') text.push_back('\n');
    ShowMessage(dialog, nvx::fax::kMsgCaption, text + MessageText(m.second), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

WString FilterField(HWND dialog, int control) {
    HWND c = GetDlgItem(dialog, control);
    const WString text = FieldText(dialog, control, 260);
    if (!c) return text;
    auto keep = control == kSubAddress ? nvx::fax::IsSubAddressChar
              : control == kSendId     ? nvx::fax::IsSendIdChar
                                       : nvx::fax::IsFaxNumberChar;
    DWORD start = 0, end = 0;
    SendMessageW(c, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const nvx::fax::Filtered f = nvx::fax::FilterTyped(text, static_cast<int>(end), keep);
    if (f.removed == 0) return text;
    {
        Updating updating;
        SetWindowTextW(c, f.text.c_str());
    }
    SendMessageW(c, EM_SETSEL, static_cast<WPARAM>(f.caret), f.caret);
    return f.text;
}

void UseShownTime(HWND dialog) {
    int hour = 0, minute = 0;
    nvx::fax::ReadShownTime(FieldText(dialog, kCurrentTime, 16), &hour, &minute);
    // Written as typed: each field's change stores and checks it.
    SetWindowTextW(GetDlgItem(dialog, kHour), Number(hour).c_str());
    SetWindowTextW(GetDlgItem(dialog, kMinute), Number(minute).c_str());
}

WString FieldText(HWND dialog, int control, size_t chars) {
    HWND c = GetDlgItem(dialog, control);
    if (!c) return {};
    std::vector<WCHAR> buf(chars + 1, 0);
    const int n = GetWindowTextW(c, buf.data(), static_cast<int>(buf.size()));
    return WString(buf.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

WString MessageText(unsigned slot) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, slot));
}

int ShowMessage(HWND owner, unsigned caption, WStringView text, UINT type) {
    const WString body(text);
    return MessageBoxW(owner, body.c_str(), MessageText(caption).c_str(), type);
}

}  // namespace nvx::pages::fax
