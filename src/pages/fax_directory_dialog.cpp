// The directory server dialog (3369); see directory_dialog.h.
//
// One dialog: the list and its buttons on the left, the entry name and server
// address above the tab control, and the controls of the three tabs as children
// of the dialog itself, shown and hidden with the tab in front.
#include "pages/fax_directory_dialog.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "device/acquisition.h"
#include "device/printer_cipher.h"
#include "fax/directory_editor.h"
#include "fax/directory_model.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "model/package.h"
#include "model/vpd_format.h"
#include "pages/page_help.h"
#include "pages/page_skeleton.h"
#include "pages/safe_format.h"

namespace nvx::fax::directory {

namespace {

using pages::PageDef;
using pages::PageKind;
using pages::RunPage;

constexpr uint32_t kDialog = 3369;

enum : int {
    kList = 3370, kUp = 3371, kDown = 3372, kDelete = 3373, kAdd = 3374, kTabs = 3375,
    kAddress = 3384, kName = 3385, kAuth = 3377, kShare = 3380, kDomain = 3436, kLogonName = 3395,
    kPassword = 3396, kPort = 3398, kPortRange = 3399, kSsl = 3392,
    kSearchBase = 3393, kTimeout = 3401, kTimeoutRange = 3402, kResults = 3406, kResultsRange = 3407,
};

// Message slots.
enum : unsigned {
    kSlotCaption = 0,
    kSlotOutOfRange = 2,
    kSlotRequired = 3,
    kSlotTaken = 4,
    kSlotTooManyNames = 25,
    kSlotSearchBase = 159,
    kSlotNameTaken = 181,
    kSlotPortRange = 547,
    kSlotTimeoutRange = 548,
    kSlotResultsRange = 549,
    kSlotNotStored = 550,
    kSlotPassword = 551,
    kSlotNoName = 552,
    kSlotNoAddress = 553,
    kSlotNotDn = 554,
};

// The controls of each tab (fields, their labels and range texts).
const std::vector<int> kTabControls[3] = {
    {3441, kAuth, kShare, 3442, kDomain, 3443, kLogonName, 3444, kPassword, 3445, kPort, kPortRange, kSsl},
    {3446, kSearchBase, 3447, kTimeout, kTimeoutRange, 3448, kResults, kResultsRange},
    {3449, 3419, 3450, 3409, 3451, 3394, 3452, 3412, 3453, 3414, 3454, 3416, 3455, 3418},
};
constexpr const char* kTabKeys[3] = {"Dlg_LDAPServerReg_Connect", "Dlg_LDAPServerReg_Search",
                                     "Dlg_LDAPServerReg_Schema"};
constexpr const WCHAR* kTabFallbacks[3] = {WL("Connection"), WL("Search"), WL("Schema")};

const WCHAR kStateProp[] = WL("NovrixDirectoryServers");

struct State {
    HWND dialog = nullptr;
    HANDLE printer = nullptr;
    bool mayApply = false;
    std::unique_ptr<Editor> editor;
    int tab = 0;
    bool showing = false;  // controls are being filled: their notifications are not edits
};

State* StateOf(HWND dialog) { return static_cast<State*>(GetPropW(dialog, kStateProp)); }

WString Slot(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

void Box(HWND owner, const WString& text) {
    MessageBoxW(owner, text.c_str(), Slot(kSlotCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

WString PackageText(const char* entry, const char* key, const WCHAR* fallback) {
    WString path = frame::BesideModule(frame::Module().self, WL("NOVRIX_D.VPD"));
    if (!path.empty()) {
        if (model::PackagePtr pkg = model::Package::OpenDirectory(path.c_str(), vpd::kEntry52Size)) {
            WCHAR text[vpd::kMaxString + 1] = {};
            if (model::KeyedValueLoad(*pkg, entry, key, text, vpd::kMaxString + 1) && text[0]) return WString(text);
        }
    }
    return WString(fallback);
}

WString ControlText(HWND dialog, int id) {
    HWND c = GetDlgItem(dialog, id);
    if (!c) return {};
    const int n = GetWindowTextLengthW(c);
    WString text(static_cast<size_t>(n > 0 ? n : 0) + 1, 0);
    GetWindowTextW(c, text.data(), n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

void SetText(HWND dialog, int id, const WString& text) { SetDlgItemTextW(dialog, id, text.c_str()); }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void SetCheck(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }
void Enable(HWND dialog, int id, bool on) {
    if (HWND c = GetDlgItem(dialog, id)) EnableWindow(c, on ? TRUE : FALSE);
}

// The tab that holds a control; -1 for the controls above the tabs.
int TabOf(int id) {
    for (int t = 0; t < 3; ++t)
        for (int c : kTabControls[t])
            if (c == id) return t;
    return -1;
}

void ShowTab(State* s, int tab) {
    s->tab = tab;
    for (int t = 0; t < 3; ++t)
        for (int id : kTabControls[t])
            if (HWND c = GetDlgItem(s->dialog, id)) ShowWindow(c, t == tab ? SW_SHOW : SW_HIDE);
    SendDlgItemMessageW(s->dialog, kTabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
}

const device::PasswordCipher& Cipher(State* s) { return device::PrinterPasswordCipher(s->printer); }

// ---- The entry in front ---------------------------------------------------------

EntryTexts ReadTexts(HWND d) {
    EntryTexts t;
    t.address = ControlText(d, kAddress);
    t.name = ControlText(d, kName);
    t.domain = ControlText(d, kDomain);
    t.logonName = ControlText(d, kLogonName);
    t.searchBase = ControlText(d, kSearchBase);
    t.port = ControlText(d, kPort);
    t.timeout = ControlText(d, kTimeout);
    t.maxResults = ControlText(d, kResults);
    for (size_t i = 0; i < kAttributeCount; ++i) t.attributes[i] = ControlText(d, kAttributeControls[i]);
    const LRESULT sel = SendDlgItemMessageW(d, kAuth, CB_GETCURSEL, 0, 0);
    t.auth = sel >= 0 ? static_cast<uint32_t>(SendDlgItemMessageW(d, kAuth, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0))
                      : 0;
    t.share = Checked(d, kShare) ? 1 : 0;
    t.ssl = Checked(d, kSsl) ? 1 : 0;
    return t;
}

void ShowAuth(HWND d, uint32_t value) {
    const LRESULT count = SendDlgItemMessageW(d, kAuth, CB_GETCOUNT, 0, 0);
    SendDlgItemMessageW(d, kAuth, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (LRESULT i = 0; i < count; ++i)
        if (static_cast<uint32_t>(SendDlgItemMessageW(d, kAuth, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == value)
            SendDlgItemMessageW(d, kAuth, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

const int kEntryControls[] = {kAddress, kName, kAuth, kShare, kDomain, kLogonName, kPassword, kPort, kSsl,
                              kSearchBase, kTimeout, kResults, 3419, 3409, 3394, 3412, 3414, 3416, 3418};

void ShowButtons(State* s) {
    const Editor& e = *s->editor;
    const std::optional<size_t> cur = e.Current();
    const size_t n = e.Servers().size();
    Enable(s->dialog, kUp, s->mayApply && cur && *cur > 0);
    Enable(s->dialog, kDown, s->mayApply && cur && *cur + 1 < n);
    Enable(s->dialog, kDelete, s->mayApply && cur.has_value());
    Enable(s->dialog, kAdd, s->mayApply && e.CanAdd());
}

void ShowList(State* s) {
    HWND d = s->dialog;
    SendDlgItemMessageW(d, kList, LB_RESETCONTENT, 0, 0);
    for (const Server& server : s->editor->Servers())
        SendDlgItemMessageW(d, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(server.name.c_str()));
    const std::optional<size_t> cur = s->editor->Current();
    SendDlgItemMessageW(d, kList, LB_SETCURSEL, cur ? static_cast<WPARAM>(*cur) : static_cast<WPARAM>(-1), 0);
}

void ShowEntry(State* s) {
    HWND d = s->dialog;
    s->showing = true;
    const Server* server = s->editor->CurrentServer();
    const EntryTexts t = server ? TextsOf(*server) : EntryTexts{};
    SetText(d, kAddress, t.address);
    SetText(d, kName, t.name);
    SetText(d, kDomain, t.domain);
    SetText(d, kLogonName, t.logonName);
    SetText(d, kSearchBase, t.searchBase);
    SetText(d, kPort, server ? t.port : WString());
    SetText(d, kTimeout, server ? t.timeout : WString());
    SetText(d, kResults, server ? t.maxResults : WString());
    for (size_t i = 0; i < kAttributeCount; ++i) SetText(d, kAttributeControls[i], t.attributes[i]);
    ShowAuth(d, server ? t.auth : UINT32_MAX);
    SetCheck(d, kShare, t.share != 0);
    SetCheck(d, kSsl, t.ssl != 0);
    // The password is shown again deciphered (the box shows it masked).
    WString shown = server ? ShownPassword(Cipher(s), *server) : WString();
    SetText(d, kPassword, shown);
    if (!shown.empty()) SecureZeroMemory(shown.data(), shown.size() * sizeof(WCHAR));
    SendDlgItemMessageW(d, kPassword, EM_SETMODIFY, FALSE, 0);
    for (int id : kEntryControls) Enable(d, id, s->mayApply && server);
    ShowButtons(s);
    s->showing = false;
}

// The problem of a check as a message box, its tab brought forward and the
// focus on its control.
void ShowProblem(State* s, const Check& c) {
    const Limits& l = s->editor->GetLimits();
    const Server* server = s->editor->CurrentServer();
    WString text;
    switch (c.problem) {
    case Problem::None: return;
    case Problem::FieldTooLong: text = Slot(kSlotOutOfRange); break;
    case Problem::PortRange:
        text = pages::FormatNumbers(Slot(kSlotOutOfRange) + Slot(kSlotPortRange), static_cast<int32_t>(l.portMin),
                                    static_cast<int32_t>(l.portMax));
        break;
    case Problem::TimeoutRange:
        text = pages::FormatNumbers(Slot(kSlotOutOfRange) + Slot(kSlotTimeoutRange),
                                    static_cast<int32_t>(l.timeoutMin), static_cast<int32_t>(l.timeoutMax));
        break;
    case Problem::ResultsRange:
        text = pages::FormatNumbers(Slot(kSlotOutOfRange) + Slot(kSlotResultsRange),
                                    static_cast<int32_t>(l.resultsMin), static_cast<int32_t>(l.resultsMax));
        break;
    case Problem::TooManyNames:
        text = Slot(kSlotTooManyNames);
        for (Attribute a : c.attributes) text += WL("\n") + Slot(kAttributeMessages[a]);
        break;
    case Problem::EmptySearchBase: text = Slot(kSlotRequired) + Slot(kSlotSearchBase); break;
    case Problem::DuplicateName: {
        text = Slot(kSlotTaken) + Slot(kSlotNameTaken);
        // The name goes where the text says %s; nothing else in the text is a conversion.
        if (size_t at = text.find(WL("%s")); at != WString::npos && server) text.replace(at, 2, server->name);
        break;
    }
    case Problem::EmptyName: text = Slot(kSlotNoName); break;
    case Problem::EmptyAddress: text = Slot(kSlotNoAddress); break;
    case Problem::SearchBaseNotDn: text = Slot(kSlotNotDn); break;
    }
    Box(s->dialog, text);
    const int tab = TabOf(c.focus);
    if (tab >= 0) ShowTab(s, tab);
    if (HWND f = GetDlgItem(s->dialog, c.focus)) SetFocus(f);
}

// Takes what the boxes hold into the entry in front.  False (after saying why)
// when a typed password cannot be kept; the entry keeps its old password then.
bool Commit(State* s) {
    Server* server = s->editor->CurrentServer();
    if (!server || !s->mayApply) return true;
    TakeTexts(ReadTexts(s->dialog), server);
    if (!SendDlgItemMessageW(s->dialog, kPassword, EM_GETMODIFY, 0, 0)) return true;
    WString typed = ControlText(s->dialog, kPassword);
    const device::PasswordCipher* cipher = &Cipher(s);
    // A printer whose cipher needs a key seed it does not have yet gets one first.
    if (!typed.empty() && cipher->Mode() != device::CipherMode::None && cipher->Settings().keyId == 0 &&
        !cipher->Settings().keyText && device::CreateKeySeed(s->printer) == ERROR_SUCCESS)
        cipher = &Cipher(s);
    const PasswordResult r = SetPassword(*cipher, typed, server);
    if (!typed.empty()) SecureZeroMemory(typed.data(), typed.size() * sizeof(WCHAR));
    if (r == PasswordResult::Stored) {
        SendDlgItemMessageW(s->dialog, kPassword, EM_SETMODIFY, FALSE, 0);
        return true;
    }
    Box(s->dialog, Slot(kSlotPassword));
    ShowTab(s, TabOf(kPassword));
    if (HWND f = GetDlgItem(s->dialog, kPassword)) SetFocus(f);
    return false;
}

// ---- Actions ----------------------------------------------------------------------

void OnSelect(State* s) {
    const LRESULT sel = SendDlgItemMessageW(s->dialog, kList, LB_GETCURSEL, 0, 0);
    const std::optional<size_t> cur = s->editor->Current();
    if (sel < 0 || (cur && static_cast<size_t>(sel) == *cur)) return;
    auto stay = [&] {
        SendDlgItemMessageW(s->dialog, kList, LB_SETCURSEL, cur ? static_cast<WPARAM>(*cur) : static_cast<WPARAM>(-1),
                            0);
    };
    if (!s->mayApply) {  // read-only: nothing to check, nothing taken
        s->editor->Look(static_cast<size_t>(sel));
        ShowEntry(s);
        return;
    }
    if (!Commit(s)) return stay();  // said already; the entry stays in front
    const Check c = s->editor->Select(static_cast<size_t>(sel));
    if (c.problem != Problem::None) {
        stay();
        ShowProblem(s, c);
        return;
    }
    ShowEntry(s);
}

void OnAdd(State* s) {
    if (!Commit(s)) return;
    Check c;
    switch (s->editor->Add(&c)) {
    case Editor::AddOutcome::Full: MessageBeep(MB_ICONEXCLAMATION); ShowButtons(s); return;
    case Editor::AddOutcome::CurrentRefused: ShowList(s); ShowProblem(s, c); return;
    case Editor::AddOutcome::Added: break;
    }
    ShowList(s);
    ShowEntry(s);
    ShowTab(s, 0);
    if (HWND f = GetDlgItem(s->dialog, kName)) SetFocus(f);
}

void OnDelete(State* s) {
    if (!s->editor->Remove()) return;
    ShowList(s);
    ShowEntry(s);
}

void OnMove(State* s, bool up) {
    if (!Commit(s) || !s->editor->Move(up)) return;
    ShowList(s);
    ShowButtons(s);
}

// The entry name typed: the list row follows it.
void OnNameTyped(State* s) {
    Server* server = s->editor->CurrentServer();
    if (!server || s->showing) return;
    server->name = ControlText(s->dialog, kName);
    const WPARAM row = static_cast<WPARAM>(*s->editor->Current());
    SendDlgItemMessageW(s->dialog, kList, LB_DELETESTRING, row, 0);
    SendDlgItemMessageW(s->dialog, kList, LB_INSERTSTRING, row, reinterpret_cast<LPARAM>(server->name.c_str()));
    SendDlgItemMessageW(s->dialog, kList, LB_SETCURSEL, row, 0);
}

// SSL switched: the port follows (636 on, 389 off).
void OnSsl(State* s) {
    Server* server = s->editor->CurrentServer();
    if (!server) return;
    TakeTexts(ReadTexts(s->dialog), server);
    SetSsl(server, Checked(s->dialog, kSsl));
    s->showing = true;
    SetText(s->dialog, kPort, WFromAscii(std::to_string(server->port).c_str()));
    s->showing = false;
}

// Writes the list; a handle that may not write printer data is replaced by one
// opened to administer the printer.
DWORD Store(State* s) {
    DWORD rc = SavePrinterList(s->printer, s->editor->Servers());
    if (rc != ERROR_ACCESS_DENIED) return rc;
    WString name = device::PrinterNameOf(s->printer);
    if (name.empty()) return rc;
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = PRINTER_ACCESS_ADMINISTER;
    HANDLE admin = nullptr;
    if (!OpenPrinterW(name.data(), &admin, &defaults) || !admin) return rc;
    rc = SavePrinterList(admin, s->editor->Servers());
    ClosePrinter(admin);
    return rc;
}

void OnOk(State* s) {
    if (!s->mayApply) {
        EndDialog(s->dialog, 2);
        return;
    }
    if (!Commit(s)) return;
    const Check c = s->editor->Finish();
    if (c.problem != Problem::None) {
        ShowList(s);
        ShowEntry(s);
        ShowProblem(s, c);
        return;
    }
    if (Store(s) != ERROR_SUCCESS) {
        Box(s->dialog, Slot(kSlotNotStored));
        return;
    }
    EndDialog(s->dialog, 1);
}

// ---- The dialog -------------------------------------------------------------------

void FillAuthMethods(HWND d) {
    const model::DirectoryAuthMethods& m = model::Loaded().tables.settings.directoryAuth;
    for (uint32_t i = 0; i < m.count && i < model::kDirectoryAuthMethods; ++i) {
        const LRESULT at = SendDlgItemMessageW(d, kAuth, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m.names[i]));
        SendDlgItemMessageW(d, kAuth, CB_SETITEMDATA, static_cast<WPARAM>(at), m.values[i]);
    }
}

void ShowRange(HWND d, int id, const char* key, uint32_t minimum, uint32_t maximum) {
    const WString format = PackageText("Dlg_LDAPServerReg", key, WL("(%d - %d)"));
    SetText(d, id, pages::FormatNumbers(format, static_cast<int32_t>(minimum), static_cast<int32_t>(maximum)));
}

void LimitText(HWND d, int id, size_t chars) {
    SendDlgItemMessageW(d, id, EM_LIMITTEXT, static_cast<WPARAM>(chars), 0);
}

struct Request {
    HANDLE printer;
    bool mayApply;
};

INT_PTR InitDialog(HWND dialog, LPARAM lParam) {
    const auto* request = reinterpret_cast<const Request*>(lParam);
    auto state = std::make_unique<State>();
    State* s = state.get();
    s->dialog = dialog;
    s->printer = request->printer;
    s->mayApply = request->mayApply;
    const Limits limits = ModuleLimits();
    s->editor = std::make_unique<Editor>(LoadPrinterList(request->printer), limits);
    SetPropW(dialog, kStateProp, state.release());

    SetWindowTextW(dialog, PackageText("Dlg_LDAPServerReg", "Caption", WL("Directory Server Registration")).c_str());
    HWND tabs = GetDlgItem(dialog, kTabs);
    for (int i = 0; i < 3; ++i) {
        WString title = PackageText(kTabKeys[i], "Caption", kTabFallbacks[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    FillAuthMethods(dialog);
    LimitText(dialog, kAddress, kLongChars);
    LimitText(dialog, kName, kNameChars);
    LimitText(dialog, kDomain, kLongChars);
    LimitText(dialog, kLogonName, kLongChars);
    LimitText(dialog, kPassword, kPasswordChars);
    LimitText(dialog, kSearchBase, kLongChars);
    for (int id : kAttributeControls) LimitText(dialog, id, kAttributeChars);
    LimitText(dialog, kPort, DigitsOf(limits.portMax));
    LimitText(dialog, kTimeout, DigitsOf(limits.timeoutMax));
    LimitText(dialog, kResults, DigitsOf(limits.resultsMax));
    ShowRange(dialog, kPortRange, "LSR_PortRange", limits.portMin, limits.portMax);
    ShowRange(dialog, kTimeoutRange, "LSR_SearchTimeOutRange", limits.timeoutMin, limits.timeoutMax);
    ShowRange(dialog, kResultsRange, "LSR_SearchMaxResultRange", limits.resultsMin, limits.resultsMax);
    ShowList(s);
    ShowEntry(s);
    ShowTab(s, 0);
    return TRUE;
}

bool DialogCommand(HWND dialog, int id, UINT code) {
    State* s = StateOf(dialog);
    if (!s) return false;
    switch (id) {
    case IDOK:
        if (code == BN_CLICKED) OnOk(s);
        return true;
    case IDCANCEL:
        EndDialog(dialog, 2);
        return true;
    case kList:
        if (code == LBN_SELCHANGE) OnSelect(s);
        return true;
    case kAdd:
        if (code == BN_CLICKED) OnAdd(s);
        return true;
    case kDelete:
        if (code == BN_CLICKED) OnDelete(s);
        return true;
    case kUp:
    case kDown:
        if (code == BN_CLICKED) OnMove(s, id == kUp);
        return true;
    case kSsl:
        if (code == BN_CLICKED && !s->showing) OnSsl(s);
        return true;
    case kName:
        if (code == EN_CHANGE) OnNameTyped(s);
        return true;
    default:
        return false;
    }
}

bool DialogNotify(HWND dialog, const NMHDR* header, LRESULT* result) {
    State* s = StateOf(dialog);
    if (!s || header->idFrom != static_cast<UINT_PTR>(kTabs)) return false;
    if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
        ShowTab(s, static_cast<int>(SendDlgItemMessageW(dialog, kTabs, TCM_GETCURSEL, 0, 0)));
        *result = 0;
        return true;
    }
    return false;
}

void DestroyDialog(HWND dialog) {
    State* s = StateOf(dialog);
    RemovePropW(dialog, kStateProp);
    delete s;
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static const PageDef def = [] {
        PageDef d{kDialog, 0, PageKind::Dialog};
        d.commonInit = false;
        d.init = InitDialog;
        d.command = DialogCommand;
        d.notify = DialogNotify;
        d.destroy = DestroyDialog;
        return d;
    }();
    return RunPage(def, hwnd, msg, wParam, lParam);
}

}  // namespace

INT_PTR RunDirectoryDialog(HWND owner, HANDLE printer, bool mayApply) {
    Request request{printer, mayApply};
    const INT_PTR r = pages::RunModuleDialog(frame::Module().dialogResources, owner, kDialog, DialogProc,
                                             reinterpret_cast<LPARAM>(&request));
    return r == 1 ? 1 : r == -1 ? -1 : 2;
}

}  // namespace nvx::fax::directory
