// Security support subset of the Linux platform layer: the Kerberos client calls
// of the security support interface (InitSecurityInterfaceW and the credentials,
// context, context attribute and signature calls of its function table), GetUserNameExW, and Base64 through
// CryptBinaryToStringA / CryptStringToBinaryA.  Kerberos is MIT Kerberos'
// GSSAPI, Base64 is OpenSSL's; docs/platform-security.md lists what each call does.
#pragma once
#include "win32_kernel.h"
#include "win32_types.h"

typedef LONG SECURITY_STATUS;

#define SEC_E_OK ((SECURITY_STATUS)0x00000000L)
#define SEC_I_CONTINUE_NEEDED ((SECURITY_STATUS)0x00090312L)
#define SEC_E_INSUFFICIENT_MEMORY ((SECURITY_STATUS)0x80090300L)
#define SEC_E_INVALID_HANDLE ((SECURITY_STATUS)0x80090301L)
#define SEC_E_UNSUPPORTED_FUNCTION ((SECURITY_STATUS)0x80090302L)
#define SEC_E_TARGET_UNKNOWN ((SECURITY_STATUS)0x80090303L)
#define SEC_E_INTERNAL_ERROR ((SECURITY_STATUS)0x80090304L)
#define SEC_E_SECPKG_NOT_FOUND ((SECURITY_STATUS)0x80090305L)
#define SEC_E_INVALID_TOKEN ((SECURITY_STATUS)0x80090308L)
#define SEC_E_QOP_NOT_SUPPORTED ((SECURITY_STATUS)0x8009030AL)
#define SEC_E_LOGON_DENIED ((SECURITY_STATUS)0x8009030CL)
#define SEC_E_NO_CREDENTIALS ((SECURITY_STATUS)0x8009030EL)
#define SEC_E_NO_AUTHENTICATING_AUTHORITY ((SECURITY_STATUS)0x80090311L)
#define SEC_E_CONTEXT_EXPIRED ((SECURITY_STATUS)0x80090317L)
#define SEC_E_BUFFER_TOO_SMALL ((SECURITY_STATUS)0x80090321L)

#define SECPKG_CRED_OUTBOUND 0x00000002
#define SECURITY_NATIVE_DREP 0x00000010
#define SECBUFFER_VERSION 0
#define SECBUFFER_EMPTY 0
#define SECBUFFER_DATA 1
#define SECBUFFER_TOKEN 2
#define SECBUFFER_ATTRMASK 0xF0000000
#define SECBUFFER_READONLY 0x80000000
#define SECBUFFER_READONLY_WITH_CHECKSUM 0x10000000

// Context attributes this layer answers (QueryContextAttributesW).
#define SECPKG_ATTR_SIZES 0
#define SECPKG_ATTR_NAMES 1

#define ISC_REQ_MUTUAL_AUTH 0x00000002
#define ISC_REQ_REPLAY_DETECT 0x00000004
#define ISC_REQ_SEQUENCE_DETECT 0x00000008
#define ISC_REQ_CONFIDENTIALITY 0x00000010
#define ISC_REQ_ALLOCATE_MEMORY 0x00000100
#define ISC_REQ_INTEGRITY 0x00010000
#define ISC_RET_MUTUAL_AUTH 0x00000002
#define ISC_RET_REPLAY_DETECT 0x00000004
#define ISC_RET_SEQUENCE_DETECT 0x00000008
#define ISC_RET_CONFIDENTIALITY 0x00000010
#define ISC_RET_ALLOCATED_MEMORY 0x00000100
#define ISC_RET_INTEGRITY 0x00010000

typedef struct _SecHandle {
    ULONG_PTR dwLower;
    ULONG_PTR dwUpper;
} SecHandle, *PSecHandle;
typedef SecHandle CredHandle, *PCredHandle, CtxtHandle, *PCtxtHandle;
typedef LARGE_INTEGER TimeStamp, *PTimeStamp;

typedef struct _SecBuffer {
    ULONG cbBuffer;
    ULONG BufferType;
    void* pvBuffer;
} SecBuffer, *PSecBuffer;

typedef struct _SecBufferDesc {
    ULONG ulVersion;
    ULONG cBuffers;
    PSecBuffer pBuffers;
} SecBufferDesc, *PSecBufferDesc;

typedef struct _SecPkgContext_Sizes {
    ULONG cbMaxToken;
    ULONG cbMaxSignature;
    ULONG cbBlockSize;
    ULONG cbSecurityTrailer;
} SecPkgContext_Sizes, *PSecPkgContext_Sizes;

// sUserName is allocated by the layer; the caller frees it with FreeContextBuffer.
typedef struct _SecPkgContext_NamesW {
    WCHAR* sUserName;
} SecPkgContext_NamesW, *PSecPkgContext_NamesW;

typedef SECURITY_STATUS(WINAPI* ACQUIRE_CREDENTIALS_HANDLE_FN_W)(LPWSTR pszPrincipal, LPWSTR pszPackage,
                                                                  ULONG fCredentialUse, void* pvLogonId,
                                                                  void* pAuthData, void* pGetKeyFn,
                                                                  void* pvGetKeyArgument, PCredHandle phCredential,
                                                                  PTimeStamp ptsExpiry);
typedef SECURITY_STATUS(WINAPI* FREE_CREDENTIALS_HANDLE_FN)(PCredHandle phCredential);
typedef SECURITY_STATUS(WINAPI* INITIALIZE_SECURITY_CONTEXT_FN_W)(PCredHandle phCredential, PCtxtHandle phContext,
                                                                   LPWSTR pszTargetName, ULONG fContextReq,
                                                                   ULONG Reserved1, ULONG TargetDataRep,
                                                                   PSecBufferDesc pInput, ULONG Reserved2,
                                                                   PCtxtHandle phNewContext, PSecBufferDesc pOutput,
                                                                   ULONG* pfContextAttr, PTimeStamp ptsExpiry);
typedef SECURITY_STATUS(WINAPI* DELETE_SECURITY_CONTEXT_FN)(PCtxtHandle phContext);
typedef SECURITY_STATUS(WINAPI* FREE_CONTEXT_BUFFER_FN)(void* pvContextBuffer);
typedef SECURITY_STATUS(WINAPI* QUERY_CONTEXT_ATTRIBUTES_FN_W)(PCtxtHandle phContext, ULONG ulAttribute,
                                                                void* pBuffer);
typedef SECURITY_STATUS(WINAPI* MAKE_SIGNATURE_FN)(PCtxtHandle phContext, ULONG fQOP, PSecBufferDesc pMessage,
                                                    ULONG MessageSeqNo);

// The function table, with the fields in the SDK's order; the calls this layer
// does not offer are null.
typedef struct _SECURITY_FUNCTION_TABLE_W {
    ULONG dwVersion;
    void* EnumerateSecurityPackagesW;
    void* QueryCredentialsAttributesW;
    ACQUIRE_CREDENTIALS_HANDLE_FN_W AcquireCredentialsHandleW;
    FREE_CREDENTIALS_HANDLE_FN FreeCredentialsHandle;
    void* Reserved2;
    INITIALIZE_SECURITY_CONTEXT_FN_W InitializeSecurityContextW;
    void* AcceptSecurityContext;
    void* CompleteAuthToken;
    DELETE_SECURITY_CONTEXT_FN DeleteSecurityContext;
    void* ApplyControlToken;
    QUERY_CONTEXT_ATTRIBUTES_FN_W QueryContextAttributesW;
    void* ImpersonateSecurityContext;
    void* RevertSecurityContext;
    MAKE_SIGNATURE_FN MakeSignature;
    void* VerifySignature;
    FREE_CONTEXT_BUFFER_FN FreeContextBuffer;
} SecurityFunctionTableW, *PSecurityFunctionTableW;

NVXAPI PSecurityFunctionTableW WINAPI InitSecurityInterfaceW(void);

typedef enum {
    NameUnknown = 0,
    NameFullyQualifiedDN = 1,
    NameSamCompatible = 2,
    NameDisplay = 3,
    NameUniqueId = 6,
    NameCanonical = 7,
    NameUserPrincipal = 8,
    NameCanonicalEx = 9,
    NameServicePrincipal = 10,
    NameDnsDomain = 12,
    NameGivenName = 13,
    NameSurname = 14
} EXTENDED_NAME_FORMAT;

#ifndef ERROR_NONE_MAPPED
#define ERROR_NONE_MAPPED 1332L
#endif
#ifndef ERROR_NO_SUCH_DOMAIN
#define ERROR_NO_SUCH_DOMAIN 1355L
#endif

// NameUserPrincipal ("user@REALM") and NameDnsDomain ("REALM\user") of the
// principal in the default Kerberos credentials cache; ERROR_NO_SUCH_DOMAIN when
// there is none, ERROR_NOT_SUPPORTED for the other formats.
NVXAPI BOOLEAN WINAPI GetUserNameExW(EXTENDED_NAME_FORMAT NameFormat, LPWSTR lpNameBuffer, PULONG nSize);

#define CRYPT_STRING_BASE64 0x00000001
#define CRYPT_STRING_NOCRLF 0x40000000

// Base64 only (CRYPT_STRING_BASE64, with or without CRYPT_STRING_NOCRLF; without
// it the text has CR LF after every 64 characters and at its end).
NVXAPI BOOL WINAPI CryptBinaryToStringA(const BYTE* pbBinary, DWORD cbBinary, DWORD dwFlags, LPSTR pszString,
                                        DWORD* pcchString);
NVXAPI BOOL WINAPI CryptStringToBinaryA(LPCSTR pszString, DWORD cchString, DWORD dwFlags, BYTE* pbBinary,
                                        DWORD* pcbBinary, DWORD* pdwSkip, DWORD* pdwFlags);
