// The user authentication and account track settings dialogs and the shared
// Verify button.
#include "pages/auth_settings_dialogs.h"

#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>

#include "device/auth_apply.h"
#include "device/job_start.h"
#include "device/middle_server.h"
#include "device/printer_cipher.h"
#include "features/model_record.h"
#include "features/switch_ids.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "pages/page_help.h"
#include "pages/user_auth.h"

namespace nvx::pages {

namespace {

enum : int {
    kPublicUser = 1871,
    kNamedUser = 1872,
    kUserNameLabel = 1873,
    kUserName = 1874,
    kPasswordLabel = 1340,
    kPassword = 2028,
    kDepartmentName = 1870,
    kDepartmentPassword = 2029,
    kVerify = 2177,
};
constexpr UINT kUserTemplate = 158;
constexpr UINT kAccountTemplate = 160;
constexpr UINT_PTR kNotShown = 5;
constexpr unsigned kCaptionMessage = 8;

struct Work {
    AuthSettingsKind kind = AuthSettingsKind::User;
    AuthSettingsBlock block;
    bool passwordTyped = false;
    int updating = 0;
};

const WCHAR kWorkProp[] = WL("NovrixAuthSettings");

Work* WorkOf(HWND dlg) { return static_cast<Work*>(GetPropW(dlg, kWorkProp)); }

bool UsrsetType1() { return frame::AskVariant("_DLG_USRSET_TYPE1") != 0; }

WString FieldText(HWND dlg, int id, size_t limit) {
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[limit + 2]());
    const UINT n = GetDlgItemTextW(dlg, id, buffer.get(), static_cast<int>(limit + 2));
    WString text(buffer.get(), n);
    SecureZeroMemory(buffer.get(), (limit + 2) * sizeof(WCHAR));
    return text;
}

void Wipe(WString* s) {
    if (!s->empty()) SecureZeroMemory(s->data(), s->size() * sizeof(WCHAR));
    s->clear();
}

WString Message(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

void EnableNamedFields(HWND dlg, bool named) {
    for (int id : {kUserNameLabel, kUserName, kPasswordLabel, kPassword})
        if (HWND c = GetDlgItem(dlg, id)) EnableWindow(c, named);
}

int PasswordControl(const Work& w) { return w.kind == AuthSettingsKind::User ? kPassword : kDepartmentPassword; }

INT_PTR OnInit(HWND dlg, Work* work) {
    if (!work) return TRUE;
    SetPropW(dlg, kWorkProp, work);
    ++work->updating;
    // A sheet that never received the user's stored settings takes them now, so
    // that OK (which stores the whole record) cannot overwrite them with empty ones.
    if (work->block.printer) device::LoadUserSettings(work->block.printer, UsrsetType1(), work->block.record);
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(*work->block.record, UsrsetType1(), &rec);
    if (work->kind == AuthSettingsKind::User) {
        const bool named = rec.userType == kUserTypeNamed;
        CheckRadioButton(dlg, kPublicUser, kNamedUser, named ? kNamedUser : kPublicUser);
        SendDlgItemMessageW(dlg, kUserName, EM_LIMITTEXT, device::kUserNameChars, 0);
        SendDlgItemMessageW(dlg, kPassword, EM_LIMITTEXT, device::kPasswordChars, 0);
        SetDlgItemTextW(dlg, kUserName, rec.userName);
        SetDlgItemTextW(dlg, kPassword, WL(""));  // a stored password is never shown
        EnableNamedFields(dlg, named);
    } else {
        SendDlgItemMessageW(dlg, kDepartmentName, EM_LIMITTEXT, device::kDepartmentNameChars, 0);
        SendDlgItemMessageW(dlg, kDepartmentPassword, EM_LIMITTEXT, device::kPasswordChars, 0);
        SetDlgItemTextW(dlg, kDepartmentName, rec.departmentName);
        SetDlgItemTextW(dlg, kDepartmentPassword, WL(""));
    }
    SecureZeroMemory(&rec, sizeof rec);
    // Verify needs a printer to find the device through.
    if (!work->block.printer)
        if (HWND c = GetDlgItem(dlg, kVerify)) EnableWindow(c, FALSE);
    --work->updating;
    return TRUE;
}

void RefusedBox(HWND dlg, const std::string& reason) {
    const WString text = WFromUtf8("The settings were not stored: " + reason + ".");
    MessageBoxW(dlg, text.c_str(), WL("Authentication"), MB_OK | MB_ICONEXCLAMATION);
}

// The dialog's entries applied to `record`; false (with the reason shown) when refused.
bool ApplyFields(HWND dlg, const Work& work, OEMDEV* record, VerifyEntries* entries) {
    const device::PasswordCipher& cipher = device::PrinterPasswordCipher(work.block.printer);
    device::PasswordResult r;
    if (work.kind == AuthSettingsKind::User) {
        UserAuthInput input;
        input.publicUser = IsDlgButtonChecked(dlg, kNamedUser) != BST_CHECKED;
        input.userName = FieldText(dlg, kUserName, device::kUserNameChars);
        input.passwordTyped = work.passwordTyped;
        if (input.passwordTyped) input.password = FieldText(dlg, kPassword, device::kPasswordChars);
        r = ApplyUserAuthInput(cipher, input, UsrsetType1(), record);
        if (entries) {
            entries->userPart = !input.publicUser;
            entries->userName = input.userName;
        }
        Wipe(&input.password);
    } else {
        AccountInput input;
        input.department = FieldText(dlg, kDepartmentName, device::kDepartmentNameChars);
        input.passwordTyped = work.passwordTyped;
        if (input.passwordTyped) input.password = FieldText(dlg, kDepartmentPassword, device::kPasswordChars);
        r = ApplyAccountInput(cipher, input, UsrsetType1(), record);
        if (entries) {
            entries->accountPart = true;
            entries->department = input.department;
        }
        Wipe(&input.password);
    }
    if (r == device::PasswordResult::Stored) return true;
    RefusedBox(dlg, device::PasswordResultText(r));
    SetFocus(GetDlgItem(dlg, PasswordControl(work)));
    return false;
}

void OnVerify(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work || !work->block.printer) return;
    auto copy = std::make_unique<OEMDEV>(*work->block.record);
    VerifyEntries entries;
    if (ApplyFields(dlg, *work, copy.get(), &entries)) {
        const device::PasswordCipher& cipher = device::PrinterPasswordCipher(work->block.printer);
        entries.userPassword = HoldsPassword(cipher, *copy, device::PasswordField::User);
        entries.departmentPassword = HoldsPassword(cipher, *copy, device::PasswordField::Department);
        const MissingEntry missing = MissingForVerify(entries, ModelAsksNoPassword(work->block.devOption));
        if (missing != MissingEntry::None) {
            MessageBoxW(dlg, WFromUtf8(MissingEntryText(missing)).c_str(), Message(kCaptionMessage).c_str(),
                        MB_OK | MB_ICONEXCLAMATION);
        } else {
            if (work->kind == AuthSettingsKind::User)
                settings::SetNumber(*copy, settings::FindField("bUserAuth"), entries.userPart ? 1 : 0);
            else
                settings::SetNumber(*copy, settings::FindField("bAccountTrack"), 1);
            VerifyAndShow(dlg, work->block.printer, *copy, work->block.devOption);
        }
    }
    SecureZeroMemory(copy.get(), sizeof *copy);
}

void OnOk(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work) return;
    if (!ApplyFields(dlg, *work, work->block.record, nullptr)) return;
    if (work->block.printer) device::SaveUserSettings(work->block.printer, UsrsetType1(), *work->block.record);
    EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK AuthSettingsProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: return OnInit(dlg, reinterpret_cast<Work*>(lParam));
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        Work* work = WorkOf(dlg);
        switch (id) {
        case kPublicUser:
        case kNamedUser:
            if (code == BN_CLICKED) EnableNamedFields(dlg, IsDlgButtonChecked(dlg, kNamedUser) == BST_CHECKED);
            return TRUE;
        case kPassword:
        case kDepartmentPassword:
            if (code == EN_CHANGE && work && !work->updating) work->passwordTyped = true;
            return TRUE;
        case kVerify:
            if (code == BN_CLICKED) OnVerify(dlg);
            return TRUE;
        case IDOK: OnOk(dlg); return TRUE;
        case IDCANCEL: EndDialog(dlg, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    }
    case WM_DESTROY:
        SetDlgItemTextW(dlg, kPassword, WL(""));
        SetDlgItemTextW(dlg, kDepartmentPassword, WL(""));
        RemovePropW(dlg, kWorkProp);
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

device::PasswordResult ApplyAccountInput(const device::PasswordCipher& cipher, const AccountInput& input,
                                         bool usrsetType1, OEMDEV* record) {
    if (!record) return device::PasswordResult::CipherFailed;
    if (input.department.size() > device::kDepartmentNameChars || input.department.find(WCHAR{0}) != WString::npos)
        return device::PasswordResult::TooLong;
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(*record, usrsetType1, &rec);
    device::PasswordResult r = device::PasswordResult::Stored;
    if (input.passwordTyped)
        r = device::SetPassword(cipher, input.password, device::PasswordField::Department, &rec);
    if (r == device::PasswordResult::Stored) {
        std::memset(rec.departmentName, 0, sizeof rec.departmentName);
        std::memcpy(rec.departmentName, input.department.data(), input.department.size() * sizeof(WCHAR));
        device::CopyToOemdev(rec, usrsetType1, record);
    }
    SecureZeroMemory(&rec, sizeof rec);
    return r;
}

MissingEntry MissingForVerify(const VerifyEntries& e, bool passwordOptional) {
    if (e.userPart) {
        if (e.userName.empty()) return MissingEntry::UserName;
        if (!e.userPassword && !passwordOptional) return MissingEntry::UserPassword;
    }
    if (e.accountPart) {
        if (e.department.empty()) return MissingEntry::DepartmentName;
        if (!e.departmentPassword) return MissingEntry::DepartmentPassword;
    }
    return MissingEntry::None;
}

const char* MissingEntryText(MissingEntry missing) {
    switch (missing) {
        case MissingEntry::UserName: return "Enter the user name.";
        case MissingEntry::UserPassword: return "Enter the password.";
        case MissingEntry::DepartmentName: return "Enter the department name.";
        case MissingEntry::DepartmentPassword: return "Enter the department password.";
        case MissingEntry::None: break;
    }
    return "";
}

// Whether the record holds a non-empty password in the field (typed now or
// stored before); the plain text is wiped at once.
bool HoldsPassword(const device::PasswordCipher& cipher, const OEMDEV& record, device::PasswordField field) {
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(record, false, &rec);
    const device::PasswordSlot slot = device::SlotOf(rec, field);
    std::optional<std::string> plain =
        device::ReadPassword(cipher, std::span<const BYTE>(slot.bytes, slot.capacity), *slot.length);
    const bool holds = plain && !plain->empty();
    if (plain && !plain->empty()) SecureZeroMemory(plain->data(), plain->size());
    SecureZeroMemory(&rec, sizeof rec);
    return holds;
}

bool ModelAsksNoPassword(const BYTE* devOption) {
    return device::NoPasswordAsked(devOption);
}

DWORD VerifyAndShow(HWND owner, HANDLE printer, const OEMDEV& copy, BYTE* devOption) {
    auto record = std::make_unique<OEMDEV>(copy);
    device::JobStartRequest request;
    request.printer = printer;
    request.record = record.get();
    request.devOption = devOption;
    const device::VerifyResult result = device::VerifyCredentials(request);
    SecureZeroMemory(record.get(), sizeof *record);
    const unsigned message = device::VerificationMessage(result.code, result.detail);
    MessageBoxW(owner, Message(message).c_str(), Message(kCaptionMessage).c_str(), MB_OK | MB_ICONINFORMATION);
    return result.code;
}

UINT_PTR RunAuthSettings(AuthSettingsKind kind, const AuthSettingsBlock& block, HWND owner) {
    if (!block.record) return kNotShown;
    std::unique_ptr<Work> work(new (std::nothrow) Work);
    if (!work) return kNotShown;
    work->kind = kind;
    work->block = block;
    frame::InitModuleCommonControls();
    const UINT id = kind == AuthSettingsKind::User ? kUserTemplate : kAccountTemplate;
    const INT_PTR r = RunModuleDialog(frame::Module().dialogResources, owner ? owner : GetActiveWindow(), id,
                                      AuthSettingsProc, reinterpret_cast<LPARAM>(work.get()));
    return static_cast<UINT_PTR>(r);
}

}  // namespace nvx::pages
