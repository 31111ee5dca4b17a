// The authentication server settings dialog and its store.
#include "pages/auth_server_dialog.h"

#include <cstring>
#include <string>
#include <memory>
#include <new>
#include <optional>
#include <tuple>
#include <utility>

#include "device/printer_cipher.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/switch_ids.h"
#include "features/ui_items.h"
#include "frame/module_state.h"
#include "frame/paths.h"
#include "model/loaded_model.h"
#include "model/stores.h"
#include "model/text_tables.h"
#include "pages/page_help.h"

namespace nvx::pages {

namespace {

using device::PasswordResult;

enum : int {
    kServerSetting = 2180,
    kTreeDomainName = 2182,
    kExpenseCode = 2184,
    kExpenseCodePassword = 2186,
};
constexpr UINT_PTR kNotShown = 5;
const WCHAR kSubkey[] = WL("Authentication");
const WCHAR kTreeValue[] = WL("TreeDomainName");
const WCHAR kExpenseCodeValue[] = WL("ExpenseCode");
const WCHAR kExpenseCodePassValue[] = WL("ExpenseCodePass");

struct Work {
    HANDLE printer = nullptr;
    uint16_t* serverSetting = nullptr;
    AuthServerStore* store = nullptr;
    const uint8_t* servers = nullptr;  // the "ServerSetting" list
    bool passwordTyped = false;
    int updating = 0;
};

const WCHAR kWorkProp[] = WL("NovrixAuthServer");

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

// Printable ASCII within the limit; the refusal otherwise.
std::optional<PasswordResult> Refusal(const WString& text, size_t limit) {
    if (text.find(WCHAR{0}) != WString::npos) return PasswordResult::NulInside;
    if (text.size() > limit) return PasswordResult::TooLong;
    for (WCHAR c : text)
        if (c < 0x20 || c > 0x7E) return PasswordResult::NotCodePage1252;
    return std::nullopt;
}

// A stored UTF-16LE text: up to its terminator or the end of the bytes; none when
// it is not printable ASCII within the limit.
WString StoredText(std::span<const BYTE> bytes, size_t limit) {
    WString text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const WCHAR c = static_cast<WCHAR>(bytes[i] | (bytes[i + 1] << 8));
        if (c == 0) break;
        if (text.size() == limit || c < 0x20 || c > 0x7E) return WString();
        text.push_back(c);
    }
    return text;
}

// The server list of the dialog's item, or the catalogue's.
const uint8_t* ServerList() {
    const features::UiItemTable* table = features::ModuleItems();
    const int row = table ? features::FindUiItemByControl(table, kServerSetting, kAuthServerTemplate) : -1;
    const features::UiItem* item = table ? table->Row(row) : nullptr;
    return item ? item->options : nullptr;
}

INT_PTR OnInit(HWND dlg, Work* work) {
    if (!work) return TRUE;
    SetPropW(dlg, kWorkProp, work);
    ++work->updating;
    if (const WCHAR* caption =
            model::TextByKey(model::TextTable("Dlg_AuthenticationSVSetting"), model::kCaptionKey))
        if (*caption) SetWindowTextW(dlg, caption);
    work->servers = ServerList();
    HWND combo = GetDlgItem(dlg, kServerSetting);
    const size_t n = features::ListCount(work->servers);
    int selected = n ? 0 : -1;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* rec = features::RecordAt(work->servers, i);
        WString name = features::DisplayName(rec);
        if (name.empty()) name = WFromUtf8(std::string(features::Keyword(rec)));
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (features::Value(rec) == *work->serverSetting) selected = static_cast<int>(i);
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    if (!n) EnableWindow(combo, FALSE);
    SendDlgItemMessageW(dlg, kTreeDomainName, EM_LIMITTEXT, kTreeDomainNameChars, 0);
    SendDlgItemMessageW(dlg, kExpenseCode, EM_LIMITTEXT, kExpenseCodeChars, 0);
    SendDlgItemMessageW(dlg, kExpenseCodePassword, EM_LIMITTEXT, kExpenseCodePasswordChars, 0);
    SetDlgItemTextW(dlg, kTreeDomainName, work->store->treeDomainName.c_str());
    SetDlgItemTextW(dlg, kExpenseCode, work->store->expenseCode.c_str());
    SetDlgItemTextW(dlg, kExpenseCodePassword, WL(""));  // a stored password is never shown
    --work->updating;
    return TRUE;
}

int ControlOf(AuthServerField f) {
    switch (f) {
        case AuthServerField::TreeDomainName: return kTreeDomainName;
        case AuthServerField::ExpenseCode: return kExpenseCode;
        case AuthServerField::ExpenseCodePassword: return kExpenseCodePassword;
        case AuthServerField::None: break;
    }
    return IDOK;
}

void OnOk(HWND dlg) {
    Work* work = WorkOf(dlg);
    if (!work) return;
    AuthServerInput input;
    input.serverSetting = *work->serverSetting;
    const LRESULT sel = SendDlgItemMessageW(dlg, kServerSetting, CB_GETCURSEL, 0, 0);
    if (sel >= 0)
        if (std::optional<int32_t> v = features::ValueAt(work->servers, static_cast<size_t>(sel));
            v && *v >= 0 && *v <= 0xFFFF)
            input.serverSetting = static_cast<uint16_t>(*v);
    input.treeDomainName = FieldText(dlg, kTreeDomainName, kTreeDomainNameChars);
    input.expenseCode = FieldText(dlg, kExpenseCode, kExpenseCodeChars);
    input.passwordTyped = work->passwordTyped;
    if (input.passwordTyped) input.expenseCodePassword = FieldText(dlg, kExpenseCodePassword, kExpenseCodePasswordChars);
    const AuthServerResult r =
        ApplyAuthServerInput(device::PrinterPasswordCipher(work->printer), input, work->store);
    Wipe(&input.expenseCodePassword);
    if (r.result != PasswordResult::Stored) {
        MessageBoxW(dlg, WFromUtf8(AuthServerRefusalText(r)).c_str(), WL("Authentication Server"),
                    MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dlg, ControlOf(r.field)));
        return;
    }
    *work->serverSetting = input.serverSetting;
    EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK AuthServerProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: return OnInit(dlg, reinterpret_cast<Work*>(lParam));
    case WM_COMMAND: {
        Work* work = WorkOf(dlg);
        switch (LOWORD(wParam)) {
        case kExpenseCodePassword:
            if (HIWORD(wParam) == EN_CHANGE && work && !work->updating) work->passwordTyped = true;
            return TRUE;
        case IDOK: OnOk(dlg); return TRUE;
        case IDCANCEL: EndDialog(dlg, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    }
    case WM_DESTROY:
        SetDlgItemTextW(dlg, kExpenseCodePassword, WL(""));
        RemovePropW(dlg, kWorkProp);
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

AuthServerResult ApplyAuthServerInput(const device::PasswordCipher& cipher, const AuthServerInput& input,
                                      AuthServerStore* store) {
    if (!store) return {PasswordResult::CipherFailed, AuthServerField::None};
    for (const auto& [text, limit, field] :
         {std::tuple{&input.treeDomainName, kTreeDomainNameChars, AuthServerField::TreeDomainName},
          std::tuple{&input.expenseCode, kExpenseCodeChars, AuthServerField::ExpenseCode},
          std::tuple{&input.expenseCodePassword, kExpenseCodePasswordChars, AuthServerField::ExpenseCodePassword}}) {
        if (field == AuthServerField::ExpenseCodePassword && !input.passwordTyped) continue;
        if (std::optional<PasswordResult> refused = Refusal(*text, limit)) return {*refused, field};
    }
    AuthServerResult r;
    std::vector<BYTE> pass = store->expenseCodePass;
    if (input.passwordTyped) {
        pass.clear();
        if (!input.expenseCodePassword.empty()) {
            // Printable ASCII is its own code page 1252 form.
            std::string narrow(input.expenseCodePassword.begin(), input.expenseCodePassword.end());
            BYTE out[kExpenseCodePassBytes] = {};
            const size_t n = cipher.EncipherText(narrow, out, sizeof out);
            SecureZeroMemory(narrow.data(), narrow.size());
            if (n == 0 || n > sizeof out)
                r = {PasswordResult::CipherFailed, AuthServerField::ExpenseCodePassword};
            else
                pass.assign(out, out + n);
            SecureZeroMemory(out, sizeof out);
        }
    }
    store->treeDomainName = input.treeDomainName;
    store->expenseCode = input.expenseCode;
    if (!store->expenseCodePass.empty())
        SecureZeroMemory(store->expenseCodePass.data(), store->expenseCodePass.size());
    store->expenseCodePass = std::move(pass);
    return r;
}

std::string AuthServerRefusalText(const AuthServerResult& r) {
    const char* what = r.field == AuthServerField::TreeDomainName      ? "the tree or domain name"
                       : r.field == AuthServerField::ExpenseCode       ? "the expense code"
                       : r.field == AuthServerField::ExpenseCodePassword ? "the expense code password"
                                                                         : "the entry";
    const size_t limit = r.field == AuthServerField::TreeDomainName ? kTreeDomainNameChars
                         : r.field == AuthServerField::ExpenseCode  ? kExpenseCodeChars
                                                                    : kExpenseCodePasswordChars;
    std::string reason;
    switch (r.result) {
        case PasswordResult::TooLong: reason = " takes at most " + std::to_string(limit) + " characters"; break;
        case PasswordResult::NotCodePage1252:
            reason = " takes letters, digits and the signs of plain ASCII only";
            break;
        case PasswordResult::NulInside: reason = " holds a NUL character"; break;
        case PasswordResult::CipherFailed: reason = " could not be enciphered"; break;
        case PasswordResult::Stored: return "";
    }
    return std::string("The settings were not stored: ") + what + reason + ".";
}

AuthServerStore ParseAuthServerStore(std::span<const BYTE> tree, std::span<const BYTE> expenseCode,
                                     std::span<const BYTE> expenseCodePass) {
    AuthServerStore s;
    s.treeDomainName = StoredText(tree, kTreeDomainNameChars);
    s.expenseCode = StoredText(expenseCode, kExpenseCodeChars);
    if (expenseCodePass.size() <= kExpenseCodePassBytes)
        s.expenseCodePass.assign(expenseCodePass.begin(), expenseCodePass.end());
    return s;
}

bool ReadAuthServerStore(HANDLE printer, AuthServerStore* store) {
    *store = AuthServerStore{};
    if (!printer) return false;
    model::RegKey key;
    if (model::OpenUserKey(printer, &key, kSubkey) != ERROR_SUCCESS) return false;
    const model::ValueStore values = model::ValueStore::OfKey(key.get());
    std::vector<BYTE> tree, code, pass;
    values.ReadAll(kTreeValue, &tree);
    values.ReadAll(kExpenseCodeValue, &code);
    values.ReadAll(kExpenseCodePassValue, &pass);
    *store = ParseAuthServerStore(tree, code, pass);
    if (!pass.empty()) SecureZeroMemory(pass.data(), pass.size());
    return true;
}

bool SaveAuthServerStore(HANDLE printer, const AuthServerStore& store) {
    if (!printer) return false;
    model::RegKey key;
    if (model::CreateUserKey(printer, &key, kSubkey) != ERROR_SUCCESS) return false;
    const model::ValueStore values = model::ValueStore::OfKey(key.get());
    auto text = [&](const WCHAR* name, const WString& v) {
        return values.Write(name, REG_SZ, v.c_str(), static_cast<DWORD>((v.size() + 1) * sizeof(WCHAR))) ==
               ERROR_SUCCESS;
    };
    bool ok = text(kTreeValue, store.treeDomainName);
    ok = text(kExpenseCodeValue, store.expenseCode) && ok;
    ok = values.Write(kExpenseCodePassValue, REG_BINARY, store.expenseCodePass.data(),
                      static_cast<DWORD>(store.expenseCodePass.size())) == ERROR_SUCCESS &&
         ok;
    return ok;
}

bool HoldsExpenseCodePassword(const device::PasswordCipher& cipher, const AuthServerStore& store) {
    if (store.expenseCodePass.empty()) return false;
    std::optional<std::string> plain = cipher.DecipherText(store.expenseCodePass);
    const bool holds = plain && !plain->empty();
    if (plain && !plain->empty()) SecureZeroMemory(plain->data(), plain->size());
    return holds;
}

bool AuthServerOffered() {
    const features::ModelRecord* model = model::Loaded().tables.record;
    return model && model->switches[features::kSw_AuthenticationServerSetting] != 0;
}

UINT_PTR RunAuthServerSettings(HWND owner, HANDLE printer, uint16_t* serverSetting, AuthServerStore* store) {
    if (!serverSetting || !store) return kNotShown;
    std::unique_ptr<Work> work(new (std::nothrow) Work);
    if (!work) return kNotShown;
    work->printer = printer;
    work->serverSetting = serverSetting;
    work->store = store;
    frame::InitModuleCommonControls();
    const INT_PTR r = RunModuleDialog(frame::Module().dialogResources, owner ? owner : GetActiveWindow(),
                                      kAuthServerTemplate, AuthServerProc, reinterpret_cast<LPARAM>(work.get()));
    return static_cast<UINT_PTR>(r);
}

}  // namespace nvx::pages
