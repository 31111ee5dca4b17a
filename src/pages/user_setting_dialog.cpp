// The type-2 user settings dialog and its logic.
#include "pages/user_setting_dialog.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "device/printer_cipher.h"
#include "features/model_record.h"
#include "features/switch_ids.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "pages/page_help.h"

namespace nvx::pages {

namespace {

enum : int {
    kBoxNumber = 1419,
    kBoxFileName = 1421,
    kSecurePrintId = 1424,
    kPassword = 2027,
};
constexpr UINT_PTR kNotShown = 5;

struct Work {
    const UserSettingBlock* block = nullptr;
    void* value = nullptr;  // the block's fourth pointer
    bool passwordTyped = false;
    int updating = 0;
};

struct Launch {
    const UserSettingBlock* block;
    Work* work;
};

const WCHAR kWorkProp[] = WL("NovrixUserSetting");

Work* WorkOf(HWND dlg) { return static_cast<Work*>(GetPropW(dlg, kWorkProp)); }

bool UsrsetType1() { return frame::AskVariant("_DLG_USRSET_TYPE1") != 0; }

WString FieldText(HWND dlg, int id, size_t limit) {
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[limit + 2]());
    const UINT n = GetDlgItemTextW(dlg, id, buffer.get(), static_cast<int>(limit + 2));
    WString text(buffer.get(), n);
    SecureZeroMemory(buffer.get(), (limit + 2) * sizeof(WCHAR));
    return text;
}

template <size_t N>
void PutText(WCHAR (&field)[N], const WString& text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1) * sizeof(WCHAR));
}

bool Fits(const WString& text, size_t limit) {
    return text.size() <= limit && text.find(WCHAR{0}) == WString::npos;
}

INT_PTR OnInit(HWND dlg, const Launch* launch) {
    if (!launch || !launch->work || !launch->block) return TRUE;
    SetPropW(dlg, kWorkProp, launch->work);
    Work* work = launch->work;
    work->block = launch->block;
    work->value = launch->block->value;
    ++work->updating;
    // A sheet that never received the user's stored settings takes them now, so
    // that OK (which stores the whole record) cannot overwrite them with empty ones.
    if (launch->block->printer && *launch->block->printer)
        device::LoadUserSettings(*launch->block->printer, UsrsetType1(), launch->block->record);
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(*launch->block->record, UsrsetType1(), &rec);
    SendDlgItemMessageW(dlg, kSecurePrintId, EM_LIMITTEXT, kSecurePrintIdChars, 0);
    SendDlgItemMessageW(dlg, kPassword, EM_LIMITTEXT, device::kSecurePrintPasswordChars, 0);
    SendDlgItemMessageW(dlg, kBoxFileName, EM_LIMITTEXT, kBoxFileNameChars, 0);
    SendDlgItemMessageW(dlg, kBoxNumber, EM_LIMITTEXT, kBoxNumberChars, 0);
    SetDlgItemTextW(dlg, kSecurePrintId, rec.securePrintId);
    SetDlgItemTextW(dlg, kPassword, WL(""));  // a stored password is never shown
    SetDlgItemTextW(dlg, kBoxFileName, rec.boxFileName);
    SetDlgItemTextW(dlg, kBoxNumber, rec.boxNumber);
    SecureZeroMemory(&rec, sizeof rec);
    --work->updating;
    return TRUE;
}

void OnOk(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work || !work->block) return;
    UserSettingInput input;
    input.securePrintId = FieldText(dlg, kSecurePrintId, kSecurePrintIdChars);
    input.passwordTyped = work->passwordTyped;
    if (input.passwordTyped) input.password = FieldText(dlg, kPassword, device::kSecurePrintPasswordChars);
    input.boxFileName = FieldText(dlg, kBoxFileName, kBoxFileNameChars);
    input.boxNumber = FieldText(dlg, kBoxNumber, kBoxNumberChars);
    HANDLE printer = work->block->printer ? *work->block->printer : nullptr;
    const bool type1 = UsrsetType1();
    const device::PasswordResult r =
        ApplyUserSettingInput(device::PrinterPasswordCipher(printer), input, type1, work->block->record);
    SecureZeroMemory(input.password.data(), input.password.size() * sizeof(WCHAR));
    if (r != device::PasswordResult::Stored) {
        const WString text =
            WFromUtf8(std::string("The settings were not stored: ") + device::PasswordResultText(r) + ".");
        MessageBoxW(dlg, text.c_str(), WL("User Settings"), MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dlg, kPassword));
        return;
    }
    if (printer) device::SaveUserSettings(printer, type1, *work->block->record);
    EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK UserSettingProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: return OnInit(dlg, reinterpret_cast<const Launch*>(lParam));
    case WM_COMMAND: {
        Work* work = WorkOf(dlg);
        switch (LOWORD(wParam)) {
        case kPassword:
            if (HIWORD(wParam) == EN_CHANGE && work && !work->updating) work->passwordTyped = true;
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

device::PasswordResult ApplyUserSettingInput(const device::PasswordCipher& cipher, const UserSettingInput& input,
                                             bool usrsetType1, OEMDEV* record) {
    if (!record) return device::PasswordResult::CipherFailed;
    for (const auto& [text, limit] : {std::pair{&input.securePrintId, kSecurePrintIdChars},
                                      std::pair{&input.boxFileName, kBoxFileNameChars},
                                      std::pair{&input.boxNumber, kBoxNumberChars}}) {
        if (text->find(WCHAR{0}) != WString::npos) return device::PasswordResult::NulInside;
        if (!Fits(*text, limit)) return device::PasswordResult::TooLong;
    }
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(*record, usrsetType1, &rec);
    device::PasswordResult r = device::PasswordResult::Stored;
    if (input.passwordTyped) r = device::SetPassword(cipher, input.password, device::PasswordField::SecurePrint, &rec);
    if (r == device::PasswordResult::Stored) {
        PutText(rec.securePrintId, input.securePrintId);
        PutText(rec.boxFileName, input.boxFileName);
        PutText(rec.boxNumber, input.boxNumber);
        device::CopyToOemdev(rec, usrsetType1, record);
    }
    SecureZeroMemory(&rec, sizeof rec);
    return r;
}

UINT UserSettingTemplate(int32_t kind) {
    return kind == 1 ? 132 : kind == 2 ? 224 : 0;
}

UINT_PTR RunUserSetting(const UserSettingBlock* block, HWND owner) {
    const auto* model = model::Loaded().tables.record;
    const UINT templateId = UserSettingTemplate(model ? model->switches[features::kSw_UserAuthentication] : 0);
    if (frame::AskVariant("_PRP_CONFIG_TYPE2") == 0 || templateId == 0) return 0;
    if (!block || !block->record) return kNotShown;
    std::unique_ptr<Work> work(new (std::nothrow) Work);
    if (!work) return kNotShown;
    frame::InitModuleCommonControls();
    Launch launch{block, work.get()};
    return static_cast<UINT_PTR>(RunModuleDialog(frame::Module().dialogResources, owner ? owner : GetActiveWindow(), templateId,
                                                 UserSettingProc, reinterpret_cast<LPARAM>(&launch)));
}

}  // namespace nvx::pages
