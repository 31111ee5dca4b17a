// The middle server authentication dialog and its logic.
#include "pages/middle_server_dialog.h"

#include <memory>
#include <new>

#include "common/le.h"
#include "device/job_start.h"
#include "device/middle_server.h"
#include "device/printer_cipher.h"
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
    kPublicUser = 999,
    kUserNameLabel = 1873,
    kUserName = 1874,
    kPasswordLabel = 1340,
    kPassword = 2028,
    kVerify = 2177,
    kServerName = 1881,
};
constexpr UINT kTemplate = 188;
constexpr UINT_PTR kNotShown = 5;
constexpr unsigned kCaptionMessage = 8;

struct Work {
    const MiddleServerBlock* block = nullptr;
    uint32_t serverNumber = 0;
    bool passwordTyped = false;
    int updating = 0;
};

const WCHAR kWorkProp[] = WL("NovrixMiddleServer");

Work* WorkOf(HWND dlg) { return static_cast<Work*>(GetPropW(dlg, kWorkProp)); }

bool UsrsetType1() { return frame::AskVariant("_DLG_USRSET_TYPE1") != 0; }

WString FieldText(HWND dlg, int id, size_t limit) {
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[limit + 2]());
    const UINT n = GetDlgItemTextW(dlg, id, buffer.get(), static_cast<int>(limit + 2));
    WString text(buffer.get(), n);
    SecureZeroMemory(buffer.get(), (limit + 2) * sizeof(WCHAR));
    return text;
}

void EnableNamedFields(HWND dlg, bool named) {
    for (int id : {kUserNameLabel, kUserName, kPasswordLabel, kPassword})
        if (HWND c = GetDlgItem(dlg, id)) EnableWindow(c, named);
}

WString Message(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

struct Launch {
    const MiddleServerBlock* block;
    Work* work;
};

INT_PTR OnInit(HWND dlg, const Launch* launch) {
    if (!launch || !launch->work || !launch->block) return TRUE;
    SetPropW(dlg, kWorkProp, launch->work);
    Work* work = launch->work;
    work->block = launch->block;
    ++work->updating;
    // A sheet that never received the user's stored settings takes them now, so
    // that OK (which stores the whole record) cannot overwrite them with empty ones.
    if (work->block->printer) device::LoadUserSettings(work->block->printer, UsrsetType1(), work->block->record);
    // The server the device named at the last renewal.
    const device::MiddleServerStored stored = device::ReadMiddleServerStored(work->block->printer);
    const device::MiddleServerInfo info = device::MiddleServerInfoOf(stored.interimUi);
    // 0 without a stored setting: the login takes the one its renewal fetches.
    work->serverNumber = stored.interimUi.empty() ? 0 : info.serverNumber;
    SetDlgItemTextW(dlg, kServerName, WFromUtf8(info.serverName).c_str());
    if (stored.renewalFlag && work->block->printer) device::ClearMiddleServerRenewal(work->block->printer);

    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(*work->block->record, UsrsetType1(), &rec);
    const bool named = rec.middleServerMode != device::kMiddleServerPublicUser;
    CheckDlgButton(dlg, kPublicUser, named ? BST_UNCHECKED : BST_CHECKED);
    SendDlgItemMessageW(dlg, kUserName, EM_LIMITTEXT, device::kUserNameChars, 0);
    SendDlgItemMessageW(dlg, kPassword, EM_LIMITTEXT, device::kPasswordChars, 0);
    SetDlgItemTextW(dlg, kUserName, rec.userName);
    SetDlgItemTextW(dlg, kPassword, WL(""));  // a stored password is never shown
    SecureZeroMemory(&rec, sizeof rec);
    EnableNamedFields(dlg, named);
    if (work->block->verified) *work->block->verified = 0;
    --work->updating;
    return TRUE;
}

void RefusedBox(HWND dlg, device::PasswordResult r) {
    const WString text = WFromUtf8(std::string("The settings were not stored: ") + device::PasswordResultText(r) + ".");
    MessageBoxW(dlg, text.c_str(), WL("Authentication"), MB_OK | MB_ICONEXCLAMATION);
}

MiddleServerInput InputOf(HWND dlg, const Work& work) {
    MiddleServerInput input;
    input.publicUser = IsDlgButtonChecked(dlg, kPublicUser) == BST_CHECKED;
    input.userName = FieldText(dlg, kUserName, device::kUserNameChars);
    input.passwordTyped = work.passwordTyped;
    if (input.passwordTyped) input.password = FieldText(dlg, kPassword, device::kPasswordChars);
    return input;
}

void Wipe(MiddleServerInput* input) {
    if (!input->password.empty()) SecureZeroMemory(input->password.data(), input->password.size() * sizeof(WCHAR));
    input->password.clear();
}

// Applies the fields to `record`; shows the refusal and answers false when refused.
bool ApplyFields(HWND dlg, const Work& work, OEMDEV* record) {
    MiddleServerInput input = InputOf(dlg, work);
    const device::PasswordCipher& cipher = device::PrinterPasswordCipher(work.block->printer);
    const device::PasswordResult r =
        ApplyMiddleServerInput(cipher, input, UsrsetType1(), work.serverNumber, record);
    Wipe(&input);
    if (r == device::PasswordResult::Stored) return true;
    RefusedBox(dlg, r);
    SetFocus(GetDlgItem(dlg, kPassword));
    return false;
}

// Verify: the fields on a copy of the record, checked with the device through
// the middle server; the answer in a message box.  The host's record is only
// changed by OK.
void OnVerify(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work || !work->block) return;
    auto copy = std::make_unique<OEMDEV>(*work->block->record);
    if (ApplyFields(dlg, *work, copy.get())) {
        if (!IsDlgButtonChecked(dlg, kPublicUser) && FieldText(dlg, kUserName, device::kUserNameChars).empty()) {
            MessageBoxW(dlg, Message(425).c_str(), Message(kCaptionMessage).c_str(), MB_OK | MB_ICONINFORMATION);
        } else {
            device::JobStartRequest request;
            request.printer = work->block->printer;
            request.record = copy.get();
            request.devOption = work->block->devOption;
            request.middleServerChoice = true;
            const device::VerifyResult result = device::VerifyCredentials(request);
            if (work->block->verified) *work->block->verified = result.code == 0 ? 1 : 0;
            const unsigned message = device::VerificationMessage(result.code, result.detail);
            MessageBoxW(dlg, Message(message).c_str(), Message(kCaptionMessage).c_str(), MB_OK | MB_ICONINFORMATION);
        }
    }
    SecureZeroMemory(copy.get(), sizeof *copy);
}

void OnOk(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work || !work->block) return;
    if (!ApplyFields(dlg, *work, work->block->record)) return;
    if (work->block->printer) {
        device::SaveUserSettings(work->block->printer, UsrsetType1(), *work->block->record);
        device::SaveMiddleServerChoice(work->block->printer, *work->block->record);
    }
    EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK MiddleServerProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: return OnInit(dlg, reinterpret_cast<const Launch*>(lParam));
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        Work* work = WorkOf(dlg);
        switch (id) {
        case kPublicUser:
            if (code == BN_CLICKED) EnableNamedFields(dlg, IsDlgButtonChecked(dlg, kPublicUser) != BST_CHECKED);
            return TRUE;
        case kPassword:
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
        RemovePropW(dlg, kWorkProp);
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

device::PasswordResult ApplyMiddleServerInput(const device::PasswordCipher& cipher, const MiddleServerInput& input,
                                              bool usrsetType1, uint32_t serverNumber, OEMDEV* record) {
    return ApplyLogonInput(cipher, input.userName, input.passwordTyped, input.password, usrsetType1,
                           [&](device::UserSettingsRecord& rec) {
                               rec.middleServerMode =
                                   input.publicUser ? device::kMiddleServerPublicUser : device::kMiddleServerNamedUser;
                               rec.middleServerValue = serverNumber;
                           },
                           record);
}

UINT_PTR RunMiddleServerAuthentication(const MiddleServerBlock* block, HWND owner) {
    if (!block || !block->record) return kNotShown;
    std::unique_ptr<Work> work(new (std::nothrow) Work);
    if (!work) return kNotShown;
    frame::InitModuleCommonControls();
    Launch launch{block, work.get()};
    const INT_PTR r = RunModuleDialog(frame::Module().dialogResources, owner ? owner : GetActiveWindow(), kTemplate,
                                      MiddleServerProc, reinterpret_cast<LPARAM>(&launch));
    return static_cast<UINT_PTR>(r);
}

}  // namespace nvx::pages
