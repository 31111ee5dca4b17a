// Cryptography subset of the Linux platform layer: the CNG calls the printer
// password cipher needs (AES and DES in CBC or ECB mode, SHA-256, random bytes),
// CoCreateGuid and SecureZeroMemory.  Implemented over OpenSSL's libcrypto; DES
// comes from OpenSSL's legacy provider.
#pragma once
#include "win32_types.h"

typedef LONG NTSTATUS;
#define BCRYPT_SUCCESS(Status) (((NTSTATUS)(Status)) >= 0)

#ifndef STATUS_SUCCESS
#define STATUS_SUCCESS ((NTSTATUS)0x00000000L)
#endif
#define STATUS_INVALID_HANDLE ((NTSTATUS)0xC0000008L)
#define STATUS_INVALID_PARAMETER ((NTSTATUS)0xC000000DL)
#define STATUS_NO_MEMORY ((NTSTATUS)0xC0000017L)
#define STATUS_BUFFER_TOO_SMALL ((NTSTATUS)0xC0000023L)
#define STATUS_DATA_ERROR ((NTSTATUS)0xC000003EL)
#define STATUS_NOT_SUPPORTED ((NTSTATUS)0xC00000BBL)
#define STATUS_INVALID_BUFFER_SIZE ((NTSTATUS)0xC0000206L)
#define STATUS_NOT_FOUND ((NTSTATUS)0xC0000225L)

typedef void* BCRYPT_HANDLE;
typedef void* BCRYPT_ALG_HANDLE;
typedef void* BCRYPT_KEY_HANDLE;
typedef void* BCRYPT_HASH_HANDLE;

// Algorithm and property names, as the SDK spells them.
#define BCRYPT_AES_ALGORITHM u"AES"
#define BCRYPT_DES_ALGORITHM u"DES"
#define BCRYPT_SHA256_ALGORITHM u"SHA256"
#define BCRYPT_OBJECT_LENGTH u"ObjectLength"
#define BCRYPT_BLOCK_LENGTH u"BlockLength"
#define BCRYPT_HASH_LENGTH u"HashDigestLength"
#define BCRYPT_CHAINING_MODE u"ChainingMode"
#define BCRYPT_CHAIN_MODE_CBC u"ChainingModeCBC"
#define BCRYPT_CHAIN_MODE_ECB u"ChainingModeECB"

#define BCRYPT_BLOCK_PADDING 0x00000001
#define BCRYPT_USE_SYSTEM_PREFERRED_RNG 0x00000002

NVX_BEGIN_DECLS

// Algorithms: "AES", "DES" and "SHA256"; no implementation name, no flags.
NVXAPI NTSTATUS WINAPI BCryptOpenAlgorithmProvider(BCRYPT_ALG_HANDLE* phAlgorithm, LPCWSTR pszAlgId,
                                                   LPCWSTR pszImplementation, ULONG dwFlags);
NVXAPI NTSTATUS WINAPI BCryptCloseAlgorithmProvider(BCRYPT_ALG_HANDLE hAlgorithm, ULONG dwFlags);
// Properties: "ObjectLength", "BlockLength", "HashDigestLength", "ChainingMode"
// (read); "ChainingMode" (set, on an algorithm or a key).
NVXAPI NTSTATUS WINAPI BCryptGetProperty(BCRYPT_HANDLE hObject, LPCWSTR pszProperty, PUCHAR pbOutput,
                                         ULONG cbOutput, ULONG* pcbResult, ULONG dwFlags);
NVXAPI NTSTATUS WINAPI BCryptSetProperty(BCRYPT_HANDLE hObject, LPCWSTR pszProperty, PUCHAR pbInput,
                                         ULONG cbInput, ULONG dwFlags);

NVXAPI NTSTATUS WINAPI BCryptGenerateSymmetricKey(BCRYPT_ALG_HANDLE hAlgorithm, BCRYPT_KEY_HANDLE* phKey,
                                                  PUCHAR pbKeyObject, ULONG cbKeyObject, PUCHAR pbSecret,
                                                  ULONG cbSecret, ULONG dwFlags);
NVXAPI NTSTATUS WINAPI BCryptDestroyKey(BCRYPT_KEY_HANDLE hKey);
// pPaddingInfo must be null (symmetric keys).  pbOutput null asks for the size.
NVXAPI NTSTATUS WINAPI BCryptEncrypt(BCRYPT_KEY_HANDLE hKey, PUCHAR pbInput, ULONG cbInput, void* pPaddingInfo,
                                     PUCHAR pbIV, ULONG cbIV, PUCHAR pbOutput, ULONG cbOutput, ULONG* pcbResult,
                                     ULONG dwFlags);
NVXAPI NTSTATUS WINAPI BCryptDecrypt(BCRYPT_KEY_HANDLE hKey, PUCHAR pbInput, ULONG cbInput, void* pPaddingInfo,
                                     PUCHAR pbIV, ULONG cbIV, PUCHAR pbOutput, ULONG cbOutput, ULONG* pcbResult,
                                     ULONG dwFlags);

NVXAPI NTSTATUS WINAPI BCryptCreateHash(BCRYPT_ALG_HANDLE hAlgorithm, BCRYPT_HASH_HANDLE* phHash,
                                        PUCHAR pbHashObject, ULONG cbHashObject, PUCHAR pbSecret, ULONG cbSecret,
                                        ULONG dwFlags);
NVXAPI NTSTATUS WINAPI BCryptHashData(BCRYPT_HASH_HANDLE hHash, PUCHAR pbInput, ULONG cbInput, ULONG dwFlags);
// cbOutput must be the digest length.
NVXAPI NTSTATUS WINAPI BCryptFinishHash(BCRYPT_HASH_HANDLE hHash, PUCHAR pbOutput, ULONG cbOutput, ULONG dwFlags);
NVXAPI NTSTATUS WINAPI BCryptDestroyHash(BCRYPT_HASH_HANDLE hHash);

// Only the system generator: hAlgorithm null with BCRYPT_USE_SYSTEM_PREFERRED_RNG.
NVXAPI NTSTATUS WINAPI BCryptGenRandom(BCRYPT_ALG_HANDLE hAlgorithm, PUCHAR pbBuffer, ULONG cbBuffer,
                                       ULONG dwFlags);

// A random (version 4) GUID.
NVXAPI HRESULT WINAPI CoCreateGuid(GUID* pguid);

NVX_END_DECLS

// Zeroes memory in a way the compiler may not drop (as the SDK's inline does).
inline PVOID SecureZeroMemory(PVOID ptr, SIZE_T cnt) {
    volatile BYTE* p = static_cast<volatile BYTE*>(ptr);
    while (cnt--) *p++ = 0;
    return ptr;
}
