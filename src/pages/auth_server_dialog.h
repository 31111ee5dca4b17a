// The authentication server settings dialog (2178), opened by the user
// authentication dialog's Authentication Server button (2174) for a model whose
// "AuthenticationServerSetting" switch is on: which authentication server the
// user logs in at (2180, the "ServerSetting" list: Server01 ... Server20,
// Server101), the tree or domain name (2182), the expense code (2184) and its
// password (2186).
//
// The server setting is the settings record's (u16 at 1362, "UserServerSetting"
// in the store).  The other three have no place in the record: they are kept in
// the user's store for the printer, under "Authentication": "TreeDomainName" and
// "ExpenseCode" (texts) and "ExpenseCodePass" (the password enciphered with the
// printer's password cipher, its length the value's size).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/text.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "platform/win32.h"

namespace nvx::pages {

inline constexpr UINT kAuthServerTemplate = 2178;
// Printable ASCII (0x20 ... 0x7E) only, as the devices compare them byte by byte.
inline constexpr size_t kTreeDomainNameChars = 63;
inline constexpr size_t kExpenseCodeChars = 8;
inline constexpr size_t kExpenseCodePasswordChars = 8;
// The largest enciphered form of an 8-character password (the DES form: 72 bytes).
inline constexpr size_t kExpenseCodePassBytes = 80;

// What the store keeps (and the dialog hands back to its opener).
struct AuthServerStore {
    WString treeDomainName;
    WString expenseCode;
    std::vector<BYTE> expenseCodePass;  // enciphered; empty: none
};

// What the user entered.  The stored password is never shown: only a typed one
// replaces it (emptied after typing: no password).
struct AuthServerInput {
    uint16_t serverSetting = 0;
    WString treeDomainName;
    WString expenseCode;
    bool passwordTyped = false;
    WString expenseCodePassword;
};

enum class AuthServerField { None, TreeDomainName, ExpenseCode, ExpenseCodePassword };
struct AuthServerResult {
    device::PasswordResult result = device::PasswordResult::Stored;
    AuthServerField field = AuthServerField::None;
};

// Checks the entries (their limits, printable ASCII only: anything else is refused
// as NotCodePage1252, a NUL as NulInside) and enciphers a typed password into
// *store.  On any refusal *store is left exactly as it was.  A cipher failure
// leaves the password empty.  Plain copies are wiped.
AuthServerResult ApplyAuthServerInput(const device::PasswordCipher& cipher, const AuthServerInput& input,
                                      AuthServerStore* store);
std::string AuthServerRefusalText(const AuthServerResult& r);

// Takes the stored values (raw bytes as read: UTF-16LE texts, terminated or not,
// and the enciphered password).  A text that is not printable ASCII within its
// limit, or a password larger than its field, is taken as none; nothing is read
// past the given bytes.
AuthServerStore ParseAuthServerStore(std::span<const BYTE> tree, std::span<const BYTE> expenseCode,
                                     std::span<const BYTE> expenseCodePass);
// The store for the printer (empty values when there is none); false when the
// printer has no store key yet or it cannot be opened.
bool ReadAuthServerStore(HANDLE printer, AuthServerStore* store);
// Writes the three values; false when any failed (the others are still written).
bool SaveAuthServerStore(HANDLE printer, const AuthServerStore& store);
// Whether a stored password deciphers to a non-empty text (wiped at once).
bool HoldsExpenseCodePassword(const device::PasswordCipher& cipher, const AuthServerStore& store);

// Whether the model offers the dialog ("AuthenticationServerSetting" on).
bool AuthServerOffered();

// The dialog, modal to `owner`: IDOK (then *serverSetting and *store hold the
// entries; nothing is written anywhere), IDCANCEL, or 5 when it cannot be shown.
// *store starts the dialog (its texts are shown, its password is not).
UINT_PTR RunAuthServerSettings(HWND owner, HANDLE printer, uint16_t* serverSetting, AuthServerStore* store);

}  // namespace nvx::pages
