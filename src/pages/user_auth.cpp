// The user authentication dialog and its logic.
#include "pages/user_auth.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "common/le.h"
#include "device/auth_apply.h"
#include "device/printer_cipher.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "frame/variant_switches.h"
#include "pages/auth_server_dialog.h"
#include "pages/auth_settings_dialogs.h"
#include "pages/page_help.h"

namespace nvx::pages {

namespace {

enum : int {
    kPublicUser = 1871,
    kNamedUser = 1872,
    kUserNameLabel = 1873,
    kUserName = 1874,
    kPasswordLabel = 1340,
    kPassword = 2028,
    kServerSetting = 2174,
    kVerify = 2177,
    kSignOn = 3430,
    kSignOnAlt = 3156,
};
constexpr UINT kTemplate = 2171;
constexpr UINT_PTR kNotShown = 5;

// The dialog's working area.
struct Work {
    const UserAuthBlock* block = nullptr;
    bool passwordTyped = false;
    int updating = 0;
    // The authentication server settings, taken by OK (serverChosen: their dialog
    // ended with OK at least once).
    bool serverChosen = false;
    uint16_t serverSetting = 0;
    AuthServerStore server;
};

const WCHAR kWorkProp[] = WL("NovrixUserAuth");

Work* WorkOf(HWND dlg) { return static_cast<Work*>(GetPropW(dlg, kWorkProp)); }

bool UsrsetType1() { return frame::AskVariant("_DLG_USRSET_TYPE1") != 0; }

HANDLE PrinterOf(const Work& w) { return w.block->printer ? *w.block->printer : nullptr; }

// The text of an edit box; the caller wipes it when it is a password.
WString FieldText(HWND dlg, int id, size_t limit) {
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[limit + 2]());
    const UINT n = GetDlgItemTextW(dlg, id, buffer.get(), static_cast<int>(limit + 2));
    WString text(buffer.get(), n);
    SecureZeroMemory(buffer.get(), (limit + 2) * sizeof(WCHAR));
    return text;
}

void ShowNamedFields(HWND dlg, bool named) {
    for (int id : {kUserNameLabel, kUserName, kPasswordLabel, kPassword})
        if (HWND c = GetDlgItem(dlg, id)) EnableWindow(c, named);
}

void SwitchOff(HWND dlg, int id) {
    if (HWND c = GetDlgItem(dlg, id)) {
        ShowWindow(c, SW_HIDE);
        EnableWindow(c, FALSE);
    }
}

// The authentication server button: its dialog on what this dialog holds so far
// (the record's server setting and the store's values the first time).
void OnServerSettings(HWND dlg) {
    Work* work = WorkOf(dlg);
    HANDLE printer = work && work->block ? PrinterOf(*work) : nullptr;
    if (!printer) return;
    uint16_t serverSetting = work->serverChosen ? work->serverSetting
                                                : GetLE16(work->block->record->bytes + device::oemdev_user::kServerSetting);
    AuthServerStore store;
    if (work->serverChosen)
        store = work->server;
    else
        ReadAuthServerStore(printer, &store);
    if (RunAuthServerSettings(dlg, printer, &serverSetting, &store) == IDOK) {
        work->serverChosen = true;
        work->serverSetting = serverSetting;
        if (!work->server.expenseCodePass.empty())
            SecureZeroMemory(work->server.expenseCodePass.data(), work->server.expenseCodePass.size());
        work->server = std::move(store);
    }
}

// What WM_INITDIALOG is handed: the host's block and the working area.
struct Launch {
    const UserAuthBlock* block;
    Work* work;
};

INT_PTR OnInit(HWND dlg, const Launch* launch) {
    if (!launch || !launch->work || !launch->block) return TRUE;
    SetPropW(dlg, kWorkProp, launch->work);
    Work* work = launch->work;
    const UserAuthBlock* block = launch->block;
    work->block = block;
    ++work->updating;
    // A sheet that never received the user's stored settings takes them now, so
    // that OK (which stores the whole record) cannot overwrite them with empty ones.
    if (HANDLE printer = PrinterOf(*work)) device::LoadUserSettings(printer, UsrsetType1(), block->record);
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(*block->record, UsrsetType1(), &rec);
    const bool named = rec.userType == kUserTypeNamed;
    CheckRadioButton(dlg, kPublicUser, kNamedUser, named ? kNamedUser : kPublicUser);
    SendDlgItemMessageW(dlg, kUserName, EM_LIMITTEXT, device::kUserNameChars, 0);
    SendDlgItemMessageW(dlg, kPassword, EM_LIMITTEXT, device::kPasswordChars, 0);
    SetDlgItemTextW(dlg, kUserName, rec.userName);
    SetDlgItemTextW(dlg, kPassword, WL(""));  // a stored password is never shown
    SecureZeroMemory(&rec, sizeof rec);
    ShowNamedFields(dlg, named);
    // Verify needs a printer to find the device through, and the authentication
    // server settings a store to keep what the record does not hold.  Single
    // sign-on is not offered by this dialog.
    if (!PrinterOf(*work))
        if (HWND c = GetDlgItem(dlg, kVerify)) EnableWindow(c, FALSE);
    if (AuthServerOffered())
        EnableWindow(GetDlgItem(dlg, kServerSetting), PrinterOf(*work) != nullptr);
    else
        SwitchOff(dlg, kServerSetting);
    for (int id : {kSignOn, kSignOnAlt})
        if (HWND c = GetDlgItem(dlg, id)) {
            ShowWindow(c, SW_HIDE);
            EnableWindow(c, FALSE);
        }
    --work->updating;
    return TRUE;
}

void RefusedBox(HWND dlg, device::PasswordResult r) {
    const WString text = WFromUtf8(std::string("The settings were not stored: ") + device::PasswordResultText(r) + ".");
    MessageBoxW(dlg, text.c_str(), WL("User Authentication"), MB_OK | MB_ICONEXCLAMATION);
}

// Verify: the entries on a copy of the record (the host's record changes only
// with OK), checked with the device; its answer in a message box.
void OnVerify(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work || !work->block || !PrinterOf(*work)) return;
    UserAuthInput input;
    input.publicUser = IsDlgButtonChecked(dlg, kNamedUser) != BST_CHECKED;
    input.userName = FieldText(dlg, kUserName, device::kUserNameChars);
    input.passwordTyped = work->passwordTyped;
    if (input.passwordTyped) input.password = FieldText(dlg, kPassword, device::kPasswordChars);
    HANDLE printer = PrinterOf(*work);
    const device::PasswordCipher& cipher = device::PrinterPasswordCipher(printer);
    auto copy = std::make_unique<OEMDEV>(*work->block->record);
    const device::PasswordResult r = ApplyUserAuthInput(cipher, input, UsrsetType1(), copy.get());
    SecureZeroMemory(input.password.data(), input.password.size() * sizeof(WCHAR));
    if (r != device::PasswordResult::Stored) {
        RefusedBox(dlg, r);
    } else {
        VerifyEntries entries;
        entries.userPart = !input.publicUser;
        entries.userName = input.userName;
        entries.userPassword = HoldsPassword(cipher, *copy, device::PasswordField::User);
        const MissingEntry missing = MissingForVerify(entries, ModelAsksNoPassword(work->block->devOption));
        if (missing != MissingEntry::None) {
            MessageBoxW(dlg, WFromUtf8(MissingEntryText(missing)).c_str(), WL("User Authentication"),
                        MB_OK | MB_ICONEXCLAMATION);
        } else {
            settings::SetNumber(*copy, settings::FindField("bUserAuth"), entries.userPart ? 1 : 0);
            VerifyAndShow(dlg, printer, *copy, work->block->devOption);
        }
    }
    SecureZeroMemory(copy.get(), sizeof *copy);
}

void OnOk(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work || !work->block) return;
    UserAuthInput input;
    input.publicUser = IsDlgButtonChecked(dlg, kNamedUser) != BST_CHECKED;
    input.userName = FieldText(dlg, kUserName, device::kUserNameChars);
    input.passwordTyped = work->passwordTyped;
    if (input.passwordTyped) input.password = FieldText(dlg, kPassword, device::kPasswordChars);
    HANDLE printer = PrinterOf(*work);
    const device::PasswordCipher& cipher = device::PrinterPasswordCipher(printer);
    const bool type1 = UsrsetType1();
    const device::PasswordResult r = ApplyLogonInput(
        cipher, input.userName, input.passwordTyped, input.password, type1,
        [&](device::UserSettingsRecord& rec) {
            rec.userType = input.publicUser ? kUserTypePublic : kUserTypeNamed;
            if (work->serverChosen) rec.serverSetting = work->serverSetting;
        },
        work->block->record);
    SecureZeroMemory(input.password.data(), input.password.size() * sizeof(WCHAR));
    if (r != device::PasswordResult::Stored) {
        RefusedBox(dlg, r);
        SetFocus(GetDlgItem(dlg, kPassword));
        return;
    }
    if (printer) {
        device::SaveUserSettings(printer, type1, *work->block->record);
        if (work->serverChosen) SaveAuthServerStore(printer, work->server);
    }
    EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK UserAuthProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: return OnInit(dlg, reinterpret_cast<const Launch*>(lParam));
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        Work* work = WorkOf(dlg);
        switch (id) {
        case kPublicUser:
        case kNamedUser:
            if (code == BN_CLICKED) ShowNamedFields(dlg, IsDlgButtonChecked(dlg, kNamedUser) == BST_CHECKED);
            return TRUE;
        case kPassword:
            if (code == EN_CHANGE && work && !work->updating) work->passwordTyped = true;
            return TRUE;
        case kVerify:
            if (code == BN_CLICKED) OnVerify(dlg);
            return TRUE;
        case kServerSetting:
            if (code == BN_CLICKED) OnServerSettings(dlg);
            return TRUE;
        case IDOK: OnOk(dlg); return TRUE;
        case IDCANCEL: EndDialog(dlg, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    }
    case WM_DESTROY:
        // No typed password outlives the dialog in its edit box or its working area.
        SetDlgItemTextW(dlg, kPassword, WL(""));
        if (Work* work = WorkOf(dlg); work && !work->server.expenseCodePass.empty())
            SecureZeroMemory(work->server.expenseCodePass.data(), work->server.expenseCodePass.size());
        RemovePropW(dlg, kWorkProp);
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

device::PasswordResult ApplyLogonInput(const device::PasswordCipher& cipher, const WString& userName,
                                       bool passwordTyped, const WString& password, bool usrsetType1,
                                       const std::function<void(device::UserSettingsRecord&)>& mark, OEMDEV* record) {
    if (!record) return device::PasswordResult::CipherFailed;
    if (userName.size() > device::kUserNameChars || userName.find(WCHAR{0}) != WString::npos)
        return device::PasswordResult::TooLong;
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(*record, usrsetType1, &rec);
    device::PasswordResult r = device::PasswordResult::Stored;
    if (passwordTyped) r = device::SetPassword(cipher, password, device::PasswordField::User, &rec);
    if (r == device::PasswordResult::Stored) {
        mark(rec);
        std::memset(rec.userName, 0, sizeof rec.userName);
        std::memcpy(rec.userName, userName.data(), userName.size() * sizeof(WCHAR));
        device::CopyToOemdev(rec, usrsetType1, record);
    }
    SecureZeroMemory(&rec, sizeof rec);
    return r;
}

device::PasswordResult ApplyUserAuthInput(const device::PasswordCipher& cipher, const UserAuthInput& input,
                                          bool usrsetType1, OEMDEV* record) {
    return ApplyLogonInput(cipher, input.userName, input.passwordTyped, input.password, usrsetType1,
                           [&](device::UserSettingsRecord& rec) {
                               rec.userType = input.publicUser ? kUserTypePublic : kUserTypeNamed;
                           },
                           record);
}

UINT_PTR RunUserAuthentication(const UserAuthBlock* block, HWND owner) {
    if (!block || !block->record) return kNotShown;
    std::unique_ptr<Work> work(new (std::nothrow) Work);
    if (!work) return kNotShown;
    frame::InitModuleCommonControls();
    Launch launch{block, work.get()};
    const INT_PTR r = RunModuleDialog(frame::Module().dialogResources, owner ? owner : GetActiveWindow(), kTemplate, UserAuthProc,
                                      reinterpret_cast<LPARAM>(&launch));
    return static_cast<UINT_PTR>(r);
}

}  // namespace nvx::pages
