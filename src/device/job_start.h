// Job-start security: what the host asks the device when a job starts (its
// authentication capability, the job's credentials, the encryption passphrase,
// whether it answers), and the passphrase kept enciphered in the device-option
// record.
//
// Every step talks to the device through one connection (oapi_connection.h): the
// one kept in the job's shared cache when the host hands one in (its
// configuration and capability are reused), else one of its own.  The connection
// is cleaned up when the step ends.  Device codes and detail texts are handed
// back unchanged.
//
// docs/security.md, "Job start", describes the order of the calls.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/oapi_connection.h"
#include "device/password_cipher.h"
#include "platform/sspi.h"
#include "settings/oemdev.h"

namespace nvx::device {

// What the loaded model says about job start.
struct JobStartModel {
    double apiVersion = 0;          // 0: no device API
    bool alternativePath = false;   // the host's alternative functions answer instead
    bool encryptionAllowed = false; // "EncryptionKey": the passphrase may be stored
    bool closeVerifyLogin = false;  // "VerifyAuthentic": the verification login is closed at once
    bool userAuthentication = false;
    bool accountTrack = false;
    int copyProtectKind = 0;        // the model's "CopyProtect" kind
};
JobStartModel ModelJobStart();

// The option request mask of the document event.
inline constexpr DWORD kOptionMaskCreateDC = 39;

// Codes of the steps that do not come from the device.
inline constexpr DWORD kJobNotAsked = 16;    // no address, no host, bad arguments
inline constexpr DWORD kJobNoConnection = 1; // no connection could be opened

// The passphrase part of the encryption setting: at most this many bytes are kept.
inline constexpr size_t kPassphraseChars = 20;

// Key kinds of the encryption setting (compared without case): 1 "FactoryDefault",
// 2 "UserDefined", 3 "Unidentified", 0 anything else.
int KeyKindOf(std::span<const BYTE> encryptionSetting);

// Encryption is needed for the job: output method 3, user authentication or
// account track on, or, for a model whose copy-protect kind is 2 or 3, copy
// protection on with operation 2.  A null record needs none.
bool EncryptionNeeded(const OEMDEV* record, int copyProtectKind = 0);

// Stores the passphrase of a 64-byte encryption setting in the device-option
// record: at most kPassphraseChars bytes (up to the first NUL), enciphered with
// the cipher into the 73-byte field with its length; the user-defined flag is set
// when the key kind is 2 and something was enciphered.  A cipher failure leaves
// length 0 and the flag 0.  Answers whether anything was stored.  The plain copy
// is wiped.
bool StorePassphrase(const PasswordCipher& cipher, std::span<const BYTE> encryptionSetting, BYTE* devOption);

// The job's credentials for the device login, as UTF-8 texts (passwords
// deciphered from the record).  Every text is wiped when it goes.
struct JobCredentials {
    uint32_t kind = 0;  // 0 public user, 2 named user
    uint16_t server = 0;  // the server the login names: 0 the device, else the middle server's number
    std::string user, password, account, accountPassword;
    JobCredentials() = default;
    JobCredentials(const JobCredentials&) = delete;
    JobCredentials& operator=(const JobCredentials&) = delete;
    ~JobCredentials();
    OapiLoginRecord Record() const;
};
// From the settings record: a named user when user authentication is on and a
// user name is set (else the public user), the department when account track is
// on.  A stored password that does not decipher is taken as empty (the device
// refuses it with its own detail text).  Through a middle server (middleServer)
// the user part follows the record's middle server mode instead: mode 1 the
// public user, else the named user whenever a name is set, and the login names
// the middle server's number (MiddleServerNumberOf; 0: the verification takes the
// stored setting's).
void CredentialsFrom(const PasswordCipher& cipher, const OEMDEV& record, JobCredentials* out,
                     bool middleServer = false);

// One job-start step's arguments.
struct JobStartRequest {
    HANDLE printer = nullptr;
    const WCHAR* printerName = nullptr;  // null: read from the printer
    SharedCache* shared = nullptr;       // may be null
    OEMDEV* record = nullptr;            // the job's settings record, may be null
    BYTE* devOption = nullptr;           // the device-option record, may be null
    bool externalServerDone = false;     // the verification's first host value: the user has already been
                                         // authenticated by the external server ("DeviceAndExtServer")
    bool middleServerChoice = false;     // the middle server dialog verifies: the user part of the login
                                         // follows the record's middle server mode whatever the device
};

// Bidi_DocumentEvent_CreateDC: ask the device for its configuration and
// capability when the port is a network one or user authentication / account
// track is on.  0, or the host's or the device's code.
DWORD DocumentEventCreateDC(const JobStartRequest& request);
// Bidi_PrintStart_GetAuthCapability.  0, or the host's or the device's code.
DWORD PrintStartGetAuthCapability(const JobStartRequest& request);

struct VerifyResult {
    DWORD code = kJobNoConnection;  // the device's login code; 1 without a connection
    std::string detail;             // the device's detail text of a refusal
    bool passphraseStored = false;
    bool middleServer = false;      // the login went through the middle server
    bool renewed = false;           // the middle server setting was renewed
};
// Bidi_PrintStart_VerifyAndEncryptKey's device steps (the flag already checked).
// With a middle server (MiddleServerRenewalApplies) the middle server setting is
// renewed when the device's update count moved, and the login goes through it.
VerifyResult PrintStartVerify(const JobStartRequest& request);
// The Verify buttons of the authentication dialogs: the same connection, renewal
// and login with the record's credentials, the login closed at once; nothing
// else is asked.  code 1 without a connection.
VerifyResult VerifyCredentials(const JobStartRequest& request);
// Bidi_PrintStart_GetEncryptionKey's device steps: true when a passphrase was stored.
bool PrintStartGetEncryptionKey(const JobStartRequest& request);
// Bidi_PrintStart_IsCommunicate: 0 when the device answered, else its code (1
// without a connection); *authType the capability's authentication type.
DWORD PrintStartIsCommunicate(const JobStartRequest& request, int32_t* authType);

// Single sign-on states.
inline constexpr int32_t kSignOnNotPossible = 1;  // no sign-on host name or sign-on data
inline constexpr int32_t kSignOnFailed = 2;       // the Kerberos context or the device's answer failed
inline constexpr int32_t kSignOnNoExchange = 3;   // given: the token is not exchanged with the device

struct SignOnResult {
    UINT_PTR result = 0;   // 1 signed on
    int32_t authType = 0;  // the capability's authentication type
    int32_t state = 0;
    SECURITY_STATUS status = SEC_E_OK;  // of the failing security call, for the debugger line
};
// Bidi_PrintStart_SSO's steps: a Kerberos context for "service/host@domain"
// (service from the configuration's sign-on data, host its sign-on host name,
// domain the user's), its token exchanged with the device and the answer
// completing it, then the sign-on login.  `state` is the caller's state.
SignOnResult PrintStartSignOn(const JobStartRequest& request, int32_t state);

// The host's alternative function for an export ("Alt_" and the export's name
// without "Bidi_"), or null when the host lacks it.
FARPROC AlternativeFunction(const char* exportName);

}  // namespace nvx::device
