// The type-1 user settings dialog and its logic.
#include "pages/user_setting_t1.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <utility>

#include "device/printer_cipher.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "model/text_tables.h"
#include "pages/auth_settings_dialogs.h"
#include "pages/page_help.h"
#include "pages/user_auth.h"
#include "settings/oemdev_fields.h"

namespace nvx::pages {

namespace {

using device::PasswordField;
using device::PasswordResult;

enum : int {
    kPublicUser = 1871,
    kNamedUser = 1872,
    kUserNameLabel = 1873,
    kUserName = 1874,
    kPasswordLabel = 1340,
    kPassword = 2028,
    kDepartmentName = 1870,
    kDepartmentPassword = 2029,
    kBoxNumber = 1419,
    kBoxFileName = 1421,
    kSecurePrintId = 1424,
    kRetention = 1425,
    kRetentionLabel = 1426,
    kSecurePrintPassword = 2027,
    kVerify = 2177,
};
constexpr UINT_PTR kNotShown = 5;
constexpr unsigned kCaptionMessage = 8;
constexpr size_t kSecurePrintIdChars = 16;
constexpr size_t kBoxFileNameChars = 30;
constexpr size_t kBoxNumberChars = 16;

struct Work {
    UserSettingT1Block block;
    bool passwordTyped = false;
    bool departmentPasswordTyped = false;
    bool securePrintPasswordTyped = false;
    std::vector<RetentionChoice> retention;
    int updating = 0;
};

const WCHAR kWorkProp[] = WL("NovrixUserSettingT1");

Work* WorkOf(HWND dlg) { return static_cast<Work*>(GetPropW(dlg, kWorkProp)); }

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

template <size_t N>
void PutText(WCHAR (&field)[N], const WString& text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1) * sizeof(WCHAR));
}

bool Fits(const WString& text, size_t limit) {
    return text.size() <= limit && text.find(WCHAR{0}) == WString::npos;
}

WString Message(unsigned n) {
    return model::MessageForDisplay(model::MessageSlot(model::Loaded().messages, model::MessageTable::Message, n));
}

// The model's job retention list and the value of its default option.
const uint8_t* RetentionList(std::optional<int32_t>* defaultValue) {
    defaultValue->reset();
    const features::ModelRecord* model = model::Loaded().tables.record;
    const features::ModelList* list = model ? model->List("JobRetention") : nullptr;
    if (!list || !list->present) return nullptr;
    if (list->defaultIndex >= 0)
        *defaultValue = features::ValueAt(list->Data(), static_cast<size_t>(list->defaultIndex));
    return list->Data();
}

void EnableNamedFields(HWND dlg, bool named) {
    for (int id : {kUserNameLabel, kUserName, kPasswordLabel, kPassword})
        if (HWND c = GetDlgItem(dlg, id)) EnableWindow(c, named);
}

void SwitchOff(HWND dlg, int id) {
    if (HWND c = GetDlgItem(dlg, id)) {
        EnableWindow(c, FALSE);
        ShowWindow(c, SW_HIDE);
    }
}

INT_PTR OnInit(HWND dlg, Work* work) {
    if (!work) return TRUE;
    SetPropW(dlg, kWorkProp, work);
    ++work->updating;
    if (const WCHAR* caption = model::TextByKey(model::UserSettingTextTable(true), model::kCaptionKey))
        if (*caption) SetWindowTextW(dlg, caption);
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(*work->block.record, true, &rec);
    // The store-only fields come from the store.
    device::UserSettingsRecord stored{};
    if (work->block.printer) device::ReadStoredUserSettings(work->block.printer, &stored);
    const bool named = rec.userType == kUserTypeNamed;
    CheckRadioButton(dlg, kPublicUser, kNamedUser, named ? kNamedUser : kPublicUser);
    for (const auto& [id, limit] : {std::pair{kUserName, device::kUserNameChars}, std::pair{kPassword, device::kPasswordChars},
                                    std::pair{kDepartmentName, device::kDepartmentNameChars},
                                    std::pair{kDepartmentPassword, device::kPasswordChars},
                                    std::pair{kSecurePrintId, kSecurePrintIdChars},
                                    std::pair{kSecurePrintPassword, device::kSecurePrintPasswordChars},
                                    std::pair{kBoxFileName, kBoxFileNameChars}, std::pair{kBoxNumber, kBoxNumberChars}})
        SendDlgItemMessageW(dlg, id, EM_LIMITTEXT, limit, 0);
    SetDlgItemTextW(dlg, kUserName, rec.userName);
    SetDlgItemTextW(dlg, kDepartmentName, rec.departmentName);
    SetDlgItemTextW(dlg, kSecurePrintId, stored.securePrintId);
    SetDlgItemTextW(dlg, kBoxFileName, stored.boxFileName);
    SetDlgItemTextW(dlg, kBoxNumber, stored.boxNumber);
    // A stored password is never shown.
    for (int id : {kPassword, kDepartmentPassword, kSecurePrintPassword}) SetDlgItemTextW(dlg, id, WL(""));
    EnableNamedFields(dlg, named);

    std::optional<int32_t> defaultValue;
    work->retention = RetentionChoices(RetentionList(&defaultValue));
    if (work->retention.empty()) {
        SwitchOff(dlg, kRetention);
        SwitchOff(dlg, kRetentionLabel);
    } else {
        for (const RetentionChoice& c : work->retention)
            SendDlgItemMessageW(dlg, kRetention, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.name.c_str()));
        SendDlgItemMessageW(dlg, kRetention, CB_SETCURSEL,
                            static_cast<WPARAM>(RetentionSelection(work->retention, rec.outputMethod, defaultValue)), 0);
    }
    if (!work->block.printer) {
        // Without a printer there is no store to keep these in, and no device to ask.
        for (int id : {kSecurePrintId, kBoxFileName, kBoxNumber, kVerify})
            if (HWND c = GetDlgItem(dlg, id)) EnableWindow(c, FALSE);
    }
    SecureZeroMemory(&rec, sizeof rec);
    SecureZeroMemory(&stored, sizeof stored);
    --work->updating;
    return TRUE;
}

UserSettingT1Input ReadInput(HWND dlg, const Work& work) {
    UserSettingT1Input in;
    in.publicUser = IsDlgButtonChecked(dlg, kNamedUser) != BST_CHECKED;
    in.userName = FieldText(dlg, kUserName, device::kUserNameChars);
    in.passwordTyped = work.passwordTyped;
    if (in.passwordTyped) in.password = FieldText(dlg, kPassword, device::kPasswordChars);
    in.department = FieldText(dlg, kDepartmentName, device::kDepartmentNameChars);
    in.departmentPasswordTyped = work.departmentPasswordTyped;
    if (in.departmentPasswordTyped) in.departmentPassword = FieldText(dlg, kDepartmentPassword, device::kPasswordChars);
    in.securePrintPasswordTyped = work.securePrintPasswordTyped;
    if (in.securePrintPasswordTyped)
        in.securePrintPassword = FieldText(dlg, kSecurePrintPassword, device::kSecurePrintPasswordChars);
    if (work.block.printer) {
        in.securePrintId = FieldText(dlg, kSecurePrintId, kSecurePrintIdChars);
        in.boxFileName = FieldText(dlg, kBoxFileName, kBoxFileNameChars);
        in.boxNumber = FieldText(dlg, kBoxNumber, kBoxNumberChars);
    }
    const LRESULT sel = SendDlgItemMessageW(dlg, kRetention, CB_GETCURSEL, 0, 0);
    if (sel >= 0 && static_cast<size_t>(sel) < work.retention.size())
        in.outputMethod = work.retention[static_cast<size_t>(sel)].value;
    return in;
}

void WipeInput(UserSettingT1Input* in) {
    Wipe(&in->password);
    Wipe(&in->departmentPassword);
    Wipe(&in->securePrintPassword);
}

int ControlOf(UserSettingT1Field f) {
    switch (f) {
        case UserSettingT1Field::UserName: return kUserName;
        case UserSettingT1Field::Password: return kPassword;
        case UserSettingT1Field::Department: return kDepartmentName;
        case UserSettingT1Field::DepartmentPassword: return kDepartmentPassword;
        case UserSettingT1Field::SecurePrintId: return kSecurePrintId;
        case UserSettingT1Field::SecurePrintPassword: return kSecurePrintPassword;
        case UserSettingT1Field::BoxFileName: return kBoxFileName;
        case UserSettingT1Field::BoxNumber: return kBoxNumber;
        case UserSettingT1Field::None: break;
    }
    return IDOK;
}

// Applies the dialog's entries to `record`; false (with the reason shown and the
// entry focused) when refused.
bool ApplyDialog(HWND dlg, const Work& work, OEMDEV* record, device::UserSettingsRecord* storeOnly,
                 UserSettingT1Input* input) {
    *input = ReadInput(dlg, work);
    const UserSettingT1Result r =
        ApplyUserSettingT1Input(device::PrinterPasswordCipher(work.block.printer), *input, record, storeOnly);
    if (r.result == PasswordResult::Stored) return true;
    const WString text = WFromUtf8(UserSettingT1RefusalText(r));
    MessageBoxW(dlg, text.c_str(), WL("User Settings"), MB_OK | MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(dlg, ControlOf(r.field)));
    return false;
}

void OnVerify(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work || !work->block.printer) return;
    auto copy = std::make_unique<OEMDEV>(*work->block.record);
    device::UserSettingsRecord scratch{};
    UserSettingT1Input input;
    if (ApplyDialog(dlg, *work, copy.get(), &scratch, &input)) {
        const device::PasswordCipher& cipher = device::PrinterPasswordCipher(work->block.printer);
        VerifyEntries entries;
        entries.userPart = !input.publicUser;
        entries.userName = input.userName;
        entries.userPassword = HoldsPassword(cipher, *copy, PasswordField::User);
        // Account track applies once a department is given (typed name or password).
        entries.accountPart = !input.department.empty() || (input.departmentPasswordTyped && !input.departmentPassword.empty());
        entries.department = input.department;
        entries.departmentPassword = HoldsPassword(cipher, *copy, PasswordField::Department);
        const MissingEntry missing = MissingForVerify(entries, ModelAsksNoPassword(work->block.devOption));
        if (missing != MissingEntry::None) {
            MessageBoxW(dlg, WFromUtf8(MissingEntryText(missing)).c_str(), Message(kCaptionMessage).c_str(),
                        MB_OK | MB_ICONEXCLAMATION);
        } else {
            settings::SetNumber(*copy, settings::FindField("bUserAuth"), entries.userPart ? 1 : 0);
            settings::SetNumber(*copy, settings::FindField("bAccountTrack"), entries.accountPart ? 1 : 0);
            VerifyAndShow(dlg, work->block.printer, *copy, work->block.devOption);
        }
    }
    WipeInput(&input);
    SecureZeroMemory(&scratch, sizeof scratch);
    SecureZeroMemory(copy.get(), sizeof *copy);
}

void OnOk(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work) return;
    device::UserSettingsRecord storeOnly{};
    UserSettingT1Input input;
    const bool applied = ApplyDialog(dlg, *work, work->block.record, &storeOnly, &input);
    WipeInput(&input);
    if (!applied) return;
    if (work->block.printer) {
        device::SaveUserSettings(work->block.printer, true, *work->block.record);
        device::SaveStoreOnlyFields(work->block.printer, storeOnly);
    }
    EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK UserSettingT1Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: return OnInit(dlg, reinterpret_cast<Work*>(lParam));
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        Work* work = WorkOf(dlg);
        const bool typed = code == EN_CHANGE && work && !work->updating;
        switch (id) {
        case kPublicUser:
        case kNamedUser:
            if (code == BN_CLICKED) EnableNamedFields(dlg, IsDlgButtonChecked(dlg, kNamedUser) == BST_CHECKED);
            return TRUE;
        case kPassword:
            if (typed) work->passwordTyped = true;
            return TRUE;
        case kDepartmentPassword:
            if (typed) work->departmentPasswordTyped = true;
            return TRUE;
        case kSecurePrintPassword:
            if (typed) work->securePrintPasswordTyped = true;
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
        // No typed password outlives the dialog in its edit box.
        for (int id : {kPassword, kDepartmentPassword, kSecurePrintPassword}) SetDlgItemTextW(dlg, id, WL(""));
        RemovePropW(dlg, kWorkProp);
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

UserSettingT1Result ApplyUserSettingT1Input(const device::PasswordCipher& cipher, const UserSettingT1Input& input,
                                            OEMDEV* record, device::UserSettingsRecord* storeOnly) {
    using F = UserSettingT1Field;
    if (!record || !storeOnly) return {PasswordResult::CipherFailed, F::None};
    for (const auto& [text, limit, field] :
         {std::tuple{&input.userName, device::kUserNameChars, F::UserName},
          std::tuple{&input.department, device::kDepartmentNameChars, F::Department},
          std::tuple{&input.securePrintId, kSecurePrintIdChars, F::SecurePrintId},
          std::tuple{&input.boxFileName, kBoxFileNameChars, F::BoxFileName},
          std::tuple{&input.boxNumber, kBoxNumberChars, F::BoxNumber}}) {
        if (text->find(WCHAR{0}) != WString::npos) return {PasswordResult::NulInside, field};
        if (!Fits(*text, limit)) return {PasswordResult::TooLong, field};
    }
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(*record, true, &rec);
    UserSettingT1Result r;
    for (const auto& [typed, text, slot, field] :
         {std::tuple{input.passwordTyped, &input.password, PasswordField::User, F::Password},
          std::tuple{input.departmentPasswordTyped, &input.departmentPassword, PasswordField::Department,
                     F::DepartmentPassword},
          std::tuple{input.securePrintPasswordTyped, &input.securePrintPassword, PasswordField::SecurePrint,
                     F::SecurePrintPassword}}) {
        if (!typed) continue;
        const PasswordResult p = device::SetPassword(cipher, *text, slot, &rec);
        if (p != PasswordResult::Stored) {
            r = {p, field};
            break;
        }
    }
    if (r.result == PasswordResult::Stored) {
        rec.userType = input.publicUser ? kUserTypePublic : kUserTypeNamed;
        PutText(rec.userName, input.userName);
        PutText(rec.departmentName, input.department);
        if (input.outputMethod) rec.outputMethod = *input.outputMethod;
        device::CopyToOemdev(rec, true, record);
        PutText(storeOnly->securePrintId, input.securePrintId);
        PutText(storeOnly->boxFileName, input.boxFileName);
        PutText(storeOnly->boxNumber, input.boxNumber);
    }
    SecureZeroMemory(&rec, sizeof rec);
    return r;
}

std::string UserSettingT1RefusalText(const UserSettingT1Result& r) {
    using F = UserSettingT1Field;
    const char* what = "";
    size_t limit = 0;
    switch (r.field) {
        case F::UserName: what = "the user name"; limit = device::kUserNameChars; break;
        case F::Department: what = "the department name"; limit = device::kDepartmentNameChars; break;
        case F::SecurePrintId: what = "the secure print ID"; limit = kSecurePrintIdChars; break;
        case F::BoxFileName: what = "the box file name"; limit = kBoxFileNameChars; break;
        case F::BoxNumber: what = "the box number"; limit = kBoxNumberChars; break;
        case F::Password: what = "the password"; break;
        case F::DepartmentPassword: what = "the department password"; break;
        case F::SecurePrintPassword: what = "the secure print password"; break;
        case F::None: break;
    }
    std::string reason;
    if (limit && r.result == PasswordResult::NulInside)
        reason = std::string(what) + " holds a NUL character";
    else if (limit)
        reason = std::string(what) + " takes at most " + std::to_string(limit) + " characters";
    else
        reason = std::string(device::PasswordResultText(r.result)) + (*what ? std::string(" (") + what + ")" : "");
    return "The settings were not stored: " + reason + ".";
}

std::vector<RetentionChoice> RetentionChoices(const uint8_t* list) {
    std::vector<RetentionChoice> out;
    const size_t n = features::ListCount(list);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* rec = features::RecordAt(list, i);
        const int32_t value = features::Value(rec);
        if (value < 0 || value > 0xFF) continue;
        WString name = features::DisplayName(rec);
        if (name.empty()) name = WFromUtf8(std::string(features::Keyword(rec)));
        out.push_back({std::move(name), static_cast<uint8_t>(value)});
    }
    return out;
}

int RetentionSelection(const std::vector<RetentionChoice>& choices, uint8_t outputMethod,
                       std::optional<int32_t> defaultValue) {
    if (choices.empty()) return -1;
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i].value == outputMethod) return static_cast<int>(i);
    if (defaultValue)
        for (size_t i = 0; i < choices.size(); ++i)
            if (choices[i].value == *defaultValue) return static_cast<int>(i);
    return 0;
}

UINT_PTR RunUserSettingT1(const UserSettingT1Block& block, HWND owner) {
    if (!block.record) return kNotShown;
    std::unique_ptr<Work> work(new (std::nothrow) Work);
    if (!work) return kNotShown;
    work->block = block;
    frame::InitModuleCommonControls();
    const INT_PTR r = RunModuleDialog(frame::Module().dialogResources, owner ? owner : GetActiveWindow(),
                                      kUserSettingT1Template, UserSettingT1Proc, reinterpret_cast<LPARAM>(work.get()));
    return static_cast<UINT_PTR>(r);
}

}  // namespace nvx::pages
