// The user settings record, its copies and its store.
#include "device/user_settings.h"

#include <cstring>
#include <functional>
#include <vector>

#include "common/le.h"
#include "device/middle_server.h"
#include "model/stores.h"

namespace nvx::device {
namespace {

namespace at = oemdev_user;

template <size_t N>
void FromDev(const OEMDEV& dev, size_t offset, BYTE (&field)[N]) {
    std::memcpy(field, dev.bytes + offset, N);
}
template <size_t N>
void FromDev(const OEMDEV& dev, size_t offset, WCHAR (&field)[N]) {
    std::memcpy(field, dev.bytes + offset, sizeof field);
    field[N - 1] = 0;
}
template <typename T>
void FromDevNumber(const OEMDEV& dev, size_t offset, T* value) {
    std::memcpy(value, dev.bytes + offset, sizeof(T));
}
template <typename T>
void ToDev(OEMDEV* dev, size_t offset, const T& field) {
    std::memcpy(dev->bytes + offset, &field, sizeof field);
}

// A length that does not fit its field is no password.
template <size_t N>
void CheckLength(BYTE (&field)[N], uint16_t* length) {
    if (*length > N) {
        SecureZeroMemory(field, N);
        *length = 0;
    }
}

void CheckLengths(UserSettingsRecord* rec) {
    CheckLength(rec->userPass, &rec->userPassLength);
    CheckLength(rec->departmentPass, &rec->departmentPassLength);
    CheckLength(rec->securePrintPass, &rec->securePrintPassLength);
    CheckLength(rec->copyPass, &rec->copyPassLength);
}

// Text in code page 1252, refused when a character does not fit.
PasswordResult ToCodePage1252(WStringView typed, std::string* out) {
    if (typed.find(WCHAR{0}) != WStringView::npos) return PasswordResult::NulInside;
    if (typed.empty()) {
        out->clear();
        return PasswordResult::Stored;
    }
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, typed.data(), static_cast<int>(typed.size()),
                                      nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return PasswordResult::NotCodePage1252;
    out->assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, typed.data(), static_cast<int>(typed.size()), out->data(), n,
                        nullptr, &usedDefault);
    // One code unit each way: a surrogate pair or a character the code page
    // cannot hold would change the count.
    if (usedDefault || static_cast<size_t>(n) != typed.size()) {
        SecureZeroMemory(out->data(), out->size());
        return PasswordResult::NotCodePage1252;
    }
    return PasswordResult::Stored;
}

PasswordResult Encipher(const PasswordCipher& cipher, WStringView typed, size_t limit, BYTE* field, size_t capacity,
                        uint16_t* length) {
    if (typed.size() > limit) return PasswordResult::TooLong;
    std::string narrow;
    PasswordResult r = ToCodePage1252(typed, &narrow);
    if (r != PasswordResult::Stored) return r;
    std::vector<BYTE> out(capacity, 0);
    const size_t n = narrow.empty() && cipher.Mode() == CipherMode::None
                         ? 0
                         : cipher.EncipherText(narrow, out.data(), out.size());
    SecureZeroMemory(narrow.data(), narrow.size());
    if (n == 0 && !(narrow.empty() && cipher.Mode() == CipherMode::None)) {
        SecureZeroMemory(field, capacity);
        *length = 0;
        return PasswordResult::CipherFailed;
    }
    std::memcpy(field, out.data(), capacity);
    *length = static_cast<uint16_t>(n);
    return PasswordResult::Stored;
}

// ---- The store ----

struct Subkeys {
    static constexpr const WCHAR* kAuthentication = WL("Authentication");
    static constexpr const WCHAR* kAccountTrack = WL("AccountTrack");
    static constexpr const WCHAR* kSecurePrint = WL("SecurePrint");
    static constexpr const WCHAR* kOutputMethod = WL("OutputMethod");
    static constexpr const WCHAR* kBoxFileName = WL("BoxFileName");
    static constexpr const WCHAR* kBoxNumber = WL("BoxNumber");
    static constexpr const WCHAR* kPassCopy = WL("PassCopy");
};

template <size_t N>
bool ReadText(const model::ValueStore& s, const WCHAR* name, WCHAR (&field)[N]) {
    WCHAR buf[N + 1] = {};
    DWORD type = 0, size = 0;
    if (s.Query(name, &type, buf, sizeof(WCHAR) * N, &size) != ERROR_SUCCESS || type != REG_SZ) return false;
    buf[N - 1] = 0;  // at most N - 1 characters
    std::memcpy(field, buf, sizeof field);
    return true;
}
template <size_t N>
bool WriteText(const model::ValueStore& s, const WCHAR* name, const WCHAR (&field)[N]) {
    size_t n = 0;
    while (n < N - 1 && field[n]) ++n;
    WCHAR buf[N] = {};
    std::memcpy(buf, field, n * sizeof(WCHAR));
    return s.Write(name, REG_SZ, buf, static_cast<DWORD>((n + 1) * sizeof(WCHAR))) == ERROR_SUCCESS;
}
template <size_t N>
bool ReadPass(const model::ValueStore& s, const WCHAR* name, BYTE (&field)[N], uint16_t* length) {
    BYTE buf[N] = {};
    DWORD type = 0, size = 0;
    // A value larger than its field is refused whole (ERROR_MORE_DATA).
    if (s.Query(name, &type, buf, N, &size) != ERROR_SUCCESS || type != REG_BINARY || size > N) return false;
    std::memcpy(field, buf, N);
    *length = static_cast<uint16_t>(size);
    SecureZeroMemory(buf, N);
    return true;
}
template <size_t N>
bool WritePass(const model::ValueStore& s, const WCHAR* name, const BYTE (&field)[N], uint16_t length) {
    if (length > N) return false;
    return s.Write(name, REG_BINARY, field, length) == ERROR_SUCCESS;
}

bool WithKey(HANDLE printer, const WCHAR* subkey, bool create, const std::function<bool(const model::ValueStore&)>& f) {
    model::RegKey key;
    const LSTATUS st = create ? model::CreateUserKey(printer, &key, subkey) : model::OpenUserKey(printer, &key, subkey);
    if (st != ERROR_SUCCESS) return false;
    return f(model::ValueStore::OfKey(key.get()));
}

bool ReadStore(HANDLE printer, UserSettingsRecord* rec) {
    bool ok = true;
    ok = WithKey(printer, Subkeys::kAuthentication, false, [&](const model::ValueStore& s) {
             bool r = true;
             uint32_t n = 0;
             if (s.ReadDword(WL("UserType"), &n)) rec->userType = static_cast<uint8_t>(n);
             else r = false;
             r = ReadText(s, WL("UserName"), rec->userName) && r;
             r = ReadPass(s, WL("UserPass"), rec->userPass, &rec->userPassLength) && r;
             if (s.ReadDword(WL("UserServerSetting"), &n)) rec->serverSetting = static_cast<uint16_t>(n);
             else r = false;
             return r;
         }) && ok;
    ok = WithKey(printer, Subkeys::kAccountTrack, false, [&](const model::ValueStore& s) {
             bool r = ReadText(s, WL("DepartmentName"), rec->departmentName);
             return ReadPass(s, WL("DepartmentPass"), rec->departmentPass, &rec->departmentPassLength) && r;
         }) && ok;
    ok = WithKey(printer, Subkeys::kSecurePrint, false, [&](const model::ValueStore& s) {
             bool r = ReadText(s, WL("ID"), rec->securePrintId);
             return ReadPass(s, WL("Pass"), rec->securePrintPass, &rec->securePrintPassLength) && r;
         }) && ok;
    ok = WithKey(printer, Subkeys::kOutputMethod, false, [&](const model::ValueStore& s) {
             BYTE v = 0;
             if (!s.ReadExact(WL("OutputMethodValue"), &v, 1)) return false;
             rec->outputMethod = v;
             return true;
         }) && ok;
    ok = WithKey(printer, Subkeys::kBoxFileName, false,
                 [&](const model::ValueStore& s) { return ReadText(s, WL("BoxFileNameValue"), rec->boxFileName); }) &&
         ok;
    ok = WithKey(printer, Subkeys::kBoxNumber, false,
                 [&](const model::ValueStore& s) { return ReadText(s, WL("BoxNumberValue"), rec->boxNumber); }) &&
         ok;
    ok = WithKey(printer, Subkeys::kPassCopy, false, [&](const model::ValueStore& s) {
             return ReadPass(s, WL("Pass"), rec->copyPass, &rec->copyPassLength);
         }) && ok;
    // The middle server choice exists only once the middle server dialog stored
    // one: no key is no failure.
    model::RegKey middle;
    if (model::OpenUserKey(printer, &middle, kMiddleServerKey) == ERROR_SUCCESS) {
        const model::ValueStore s = model::ValueStore::OfKey(middle.get());
        uint32_t n = 0;
        if (s.ReadDword(kMiddleServerUserType, &n) && n <= 0xFF) rec->middleServerMode = static_cast<uint8_t>(n);
        if (s.ReadDword(kMiddleServerAuthType, &n)) rec->middleServerValue = n;
    }
    return ok;
}

}  // namespace

void CopyFromOemdev(const OEMDEV& dev, bool usrsetType1, UserSettingsRecord* rec) {
    FromDevNumber(dev, at::kUserType, &rec->userType);
    FromDev(dev, at::kUserName, rec->userName);
    FromDev(dev, at::kUserPass, rec->userPass);
    FromDevNumber(dev, at::kUserPassLength, &rec->userPassLength);
    FromDev(dev, at::kDepartmentName, rec->departmentName);
    FromDev(dev, at::kDepartmentPass, rec->departmentPass);
    FromDevNumber(dev, at::kDepartmentPassLength, &rec->departmentPassLength);
    FromDevNumber(dev, at::kServerSetting, &rec->serverSetting);
    if (!usrsetType1) FromDev(dev, at::kSecurePrintId, rec->securePrintId);
    FromDev(dev, at::kSecurePrintPass, rec->securePrintPass);
    FromDevNumber(dev, at::kSecurePrintPassLength, &rec->securePrintPassLength);
    FromDev(dev, at::kCopyPass, rec->copyPass);
    FromDevNumber(dev, at::kCopyPassLength, &rec->copyPassLength);
    FromDevNumber(dev, at::kOutputMethod, &rec->outputMethod);
    if (!usrsetType1) {
        FromDev(dev, at::kBoxFileName, rec->boxFileName);
        FromDev(dev, at::kBoxNumber, rec->boxNumber);
    }
    FromDevNumber(dev, at::kMiddleServerMode, &rec->middleServerMode);
    FromDevNumber(dev, at::kSingleSignOn, &rec->singleSignOn);
    FromDevNumber(dev, at::kMiddleServerValue, &rec->middleServerValue);
    FromDev(dev, at::kMiddleServerData, rec->middleServerData);
    CheckLengths(rec);
}

void CopyToOemdev(const UserSettingsRecord& source, bool usrsetType1, OEMDEV* dev) {
    UserSettingsRecord rec = source;
    CheckLengths(&rec);
    rec.userName[80] = rec.departmentName[12] = rec.securePrintId[16] = rec.boxFileName[30] = rec.boxNumber[16] = 0;
    ToDev(dev, at::kUserType, rec.userType);
    ToDev(dev, at::kUserName, rec.userName);
    ToDev(dev, at::kUserPass, rec.userPass);
    ToDev(dev, at::kUserPassLength, rec.userPassLength);
    ToDev(dev, at::kDepartmentName, rec.departmentName);
    ToDev(dev, at::kDepartmentPass, rec.departmentPass);
    ToDev(dev, at::kDepartmentPassLength, rec.departmentPassLength);
    ToDev(dev, at::kServerSetting, rec.serverSetting);
    if (!usrsetType1) ToDev(dev, at::kSecurePrintId, rec.securePrintId);
    ToDev(dev, at::kSecurePrintPass, rec.securePrintPass);
    ToDev(dev, at::kSecurePrintPassLength, rec.securePrintPassLength);
    ToDev(dev, at::kCopyPass, rec.copyPass);
    ToDev(dev, at::kCopyPassLength, rec.copyPassLength);
    ToDev(dev, at::kOutputMethod, rec.outputMethod);
    if (!usrsetType1) {
        ToDev(dev, at::kBoxFileName, rec.boxFileName);
        ToDev(dev, at::kBoxNumber, rec.boxNumber);
    }
    ToDev(dev, at::kMiddleServerMode, rec.middleServerMode);
    ToDev(dev, at::kSingleSignOn, rec.singleSignOn);
    ToDev(dev, at::kMiddleServerValue, rec.middleServerValue);
    ToDev(dev, at::kMiddleServerData, rec.middleServerData);
    SecureZeroMemory(&rec, sizeof rec);
}

PasswordSlot SlotOf(UserSettingsRecord& rec, PasswordField field) {
    switch (field) {
        case PasswordField::User: return {rec.userPass, sizeof rec.userPass, &rec.userPassLength};
        case PasswordField::Department: return {rec.departmentPass, sizeof rec.departmentPass, &rec.departmentPassLength};
        case PasswordField::SecurePrint:
            return {rec.securePrintPass, sizeof rec.securePrintPass, &rec.securePrintPassLength};
        case PasswordField::Copy: return {rec.copyPass, sizeof rec.copyPass, &rec.copyPassLength};
    }
    return {rec.userPass, sizeof rec.userPass, &rec.userPassLength};
}

size_t CharLimitOf(PasswordField field) {
    switch (field) {
        case PasswordField::SecurePrint: return kSecurePrintPasswordChars;
        // The longest text whose AES form (the next multiple of 16) fits the 146-byte field.
        case PasswordField::Copy: return (sizeof(UserSettingsRecord::copyPass) / kAesBlock) * kAesBlock - 1;
        default: return kPasswordChars;
    }
}

PasswordResult SetPassword(const PasswordCipher& cipher, WStringView typed, PasswordField field,
                           UserSettingsRecord* rec) {
    PasswordSlot slot = SlotOf(*rec, field);
    return Encipher(cipher, typed, CharLimitOf(field), slot.bytes, slot.capacity, slot.length);
}

PasswordResult SetDepartmentPassword(const PasswordCipher& cipher, WStringView typed, OEMDEV* dev) {
    BYTE field[162] = {};
    uint16_t length = 0;
    PasswordResult r = Encipher(cipher, typed, kPasswordChars, field, sizeof field, &length);
    if (r == PasswordResult::Stored || r == PasswordResult::CipherFailed) {
        ToDev(dev, at::kDepartmentPass, field);
        ToDev(dev, at::kDepartmentPassLength, length);
    }
    return r;
}

std::optional<std::string> ReadPassword(const PasswordCipher& cipher, std::span<const BYTE> field, size_t length) {
    if (length > field.size()) return std::nullopt;
    if (length == 0) return std::string();
    return cipher.DecipherText(field.first(length));
}

const char* PasswordResultText(PasswordResult r) {
    switch (r) {
        case PasswordResult::Stored: return "stored";
        case PasswordResult::TooLong: return "the password is longer than the field takes";
        case PasswordResult::NotCodePage1252:
            return "the password holds a character that code page 1252 cannot hold (the device takes Western "
                   "European text only)";
        case PasswordResult::NulInside: return "the password holds a NUL character";
        case PasswordResult::CipherFailed: return "the password could not be enciphered; nothing was stored";
    }
    return "";
}

bool ReadStoredUserSettings(HANDLE printer, UserSettingsRecord* rec) {
    std::memset(rec, 0, sizeof *rec);
    return ReadStore(printer, rec);
}

bool LoadUserSettings(HANDLE printer, bool usrsetType1, OEMDEV* dev, bool modelCheckPasses) {
    if (!printer || !dev) return false;
    UserSettingsRecord rec{};
    CopyFromOemdev(*dev, usrsetType1, &rec);
    if (!modelCheckPasses) rec.userType = rec.middleServerMode = 1;
    const bool ok = ReadStore(printer, &rec);
    CopyToOemdev(rec, usrsetType1, dev);
    SecureZeroMemory(&rec, sizeof rec);
    return ok;
}

bool SaveUserSettings(HANDLE printer, bool usrsetType1, const OEMDEV& dev) {
    if (!printer) return false;
    UserSettingsRecord rec{};
    CopyFromOemdev(dev, usrsetType1, &rec);
    bool ok = true;
    ok = WithKey(printer, Subkeys::kAuthentication, true, [&](const model::ValueStore& s) {
             bool r = s.WriteDword(WL("UserType"), rec.userType) == ERROR_SUCCESS;
             r = WriteText(s, WL("UserName"), rec.userName) && r;
             r = WritePass(s, WL("UserPass"), rec.userPass, rec.userPassLength) && r;
             return s.WriteDword(WL("UserServerSetting"), rec.serverSetting) == ERROR_SUCCESS && r;
         }) && ok;
    ok = WithKey(printer, Subkeys::kAccountTrack, true, [&](const model::ValueStore& s) {
             bool r = WriteText(s, WL("DepartmentName"), rec.departmentName);
             return WritePass(s, WL("DepartmentPass"), rec.departmentPass, rec.departmentPassLength) && r;
         }) && ok;
    ok = WithKey(printer, Subkeys::kSecurePrint, true, [&](const model::ValueStore& s) {
             // OEMDEV holds no secure-print ID with the type-1 dialog: the stored one stays.
             bool r = usrsetType1 || WriteText(s, WL("ID"), rec.securePrintId);
             return WritePass(s, WL("Pass"), rec.securePrintPass, rec.securePrintPassLength) && r;
         }) && ok;
    ok = WithKey(printer, Subkeys::kOutputMethod, true, [&](const model::ValueStore& s) {
             return s.Write(WL("OutputMethodValue"), REG_BINARY, &rec.outputMethod, 1) == ERROR_SUCCESS;
         }) && ok;
    if (!usrsetType1) {  // nor the box fields
        ok = WithKey(printer, Subkeys::kBoxFileName, true,
                     [&](const model::ValueStore& s) { return WriteText(s, WL("BoxFileNameValue"), rec.boxFileName); }) &&
             ok;
        ok = WithKey(printer, Subkeys::kBoxNumber, true,
                     [&](const model::ValueStore& s) { return WriteText(s, WL("BoxNumberValue"), rec.boxNumber); }) &&
             ok;
    }
    ok = WithKey(printer, Subkeys::kPassCopy, true, [&](const model::ValueStore& s) {
             return WritePass(s, WL("Pass"), rec.copyPass, rec.copyPassLength);
         }) && ok;
    SecureZeroMemory(&rec, sizeof rec);
    return ok;
}

bool SaveStoreOnlyFields(HANDLE printer, const UserSettingsRecord& source) {
    if (!printer) return false;
    UserSettingsRecord rec{};
    std::memcpy(rec.securePrintId, source.securePrintId, sizeof rec.securePrintId);
    std::memcpy(rec.boxFileName, source.boxFileName, sizeof rec.boxFileName);
    std::memcpy(rec.boxNumber, source.boxNumber, sizeof rec.boxNumber);
    rec.securePrintId[16] = rec.boxFileName[30] = rec.boxNumber[16] = 0;  // never past a field
    bool ok = WithKey(printer, Subkeys::kSecurePrint, true,
                      [&](const model::ValueStore& s) { return WriteText(s, WL("ID"), rec.securePrintId); });
    ok = WithKey(printer, Subkeys::kBoxFileName, true,
                 [&](const model::ValueStore& s) { return WriteText(s, WL("BoxFileNameValue"), rec.boxFileName); }) &&
         ok;
    ok = WithKey(printer, Subkeys::kBoxNumber, true,
                 [&](const model::ValueStore& s) { return WriteText(s, WL("BoxNumberValue"), rec.boxNumber); }) &&
         ok;
    return ok;
}

bool SaveMiddleServerChoice(HANDLE printer, const OEMDEV& dev) {
    if (!printer) return false;
    model::RegKey key;
    if (model::CreateUserKey(printer, &key, kMiddleServerKey) != ERROR_SUCCESS) return false;
    const model::ValueStore s = model::ValueStore::OfKey(key.get());
    const bool ok = s.WriteDword(kMiddleServerUserType, dev.bytes[oemdev_user::kMiddleServerMode]) == ERROR_SUCCESS;
    return s.WriteDword(kMiddleServerAuthType, GetLE32(dev.bytes + oemdev_user::kMiddleServerValue)) ==
               ERROR_SUCCESS &&
           ok;
}

}  // namespace nvx::device
