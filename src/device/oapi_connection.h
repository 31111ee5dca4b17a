// Device connections and the shared cache.
//
// A connection is one conversation with one device through the device-API
// component: open -> configuration check (unless the shared cache holds it) ->
// access init -> capability (unless the shared cache holds it) -> login when
// needed -> queries -> cleanup.  Every call into the component goes through the
// device-API lock (oapi_link.h).  Fresh configuration and capability blocks are
// copied into the shared cache, so that later connections of the same job skip
// those two calls.
//
// Both records are fixed layouts that cross the module boundary (the host holds
// the shared cache, OAPI_Cleanup takes a connection); their offsets are pinned.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/oapi.h"

namespace nvx::device {

// The connection, 1784 bytes.
struct Connection {
    HMODULE library;         // the component it was opened with
    uint64_t access;         // access handle of OAPIAccessInit, 0 when none
    double apiVersion;       // the model's device API version
    uint32_t loggedIn;       // 1 after a successful login
    uint32_t lastCode;       // code of the last call (0 success)
    uint16_t port;           // from the configuration block
    uint8_t flag;            // from the configuration block
    uint8_t inSharedCache;   // 1 when it lives in a shared cache's connection area
    char address[oapi::kAddressSize];                  // narrow, terminated
    BYTE configuration[oapi::kConfigurationSize];
    BYTE capability[oapi::kCapabilitySize];
    char detail[oapi::kDetailSize];                    // detail text of the last code 4
    BYTE reserved[276];
};
static_assert(offsetof(Connection, library) == 0);
static_assert(offsetof(Connection, access) == 8);
static_assert(offsetof(Connection, apiVersion) == 16);
static_assert(offsetof(Connection, loggedIn) == 24);
static_assert(offsetof(Connection, lastCode) == 28);
static_assert(offsetof(Connection, port) == 32);
static_assert(offsetof(Connection, flag) == 34);
static_assert(offsetof(Connection, inSharedCache) == 35);
static_assert(offsetof(Connection, address) == 36);
static_assert(offsetof(Connection, configuration) == 100);
static_assert(offsetof(Connection, capability) == 444);
static_assert(offsetof(Connection, detail) == 1252);
static_assert(offsetof(Connection, reserved) == 1508);
static_assert(sizeof(Connection) == 1784);

// The shared cache, 2984 bytes: a 48-byte header, the configuration block, the
// capability block and room for one connection kept across the steps of a job.
struct SharedCache {
    uint64_t size;                 // 2984
    BYTE* configuration;           // -> configurationArea
    uint32_t configurationHeld;    // 1 when configurationArea holds a device answer
    uint32_t reserved1;
    BYTE* capability;              // -> capabilityArea
    uint32_t capabilityHeld;       // 1 when capabilityArea holds a device answer
    uint32_t reserved2;
    BYTE* connection;              // -> connectionArea
    BYTE configurationArea[oapi::kConfigurationSize];
    BYTE capabilityArea[oapi::kCapabilitySize];
    alignas(8) BYTE connectionArea[sizeof(Connection)];
};
static_assert(offsetof(SharedCache, configuration) == 8);
static_assert(offsetof(SharedCache, configurationHeld) == 16);
static_assert(offsetof(SharedCache, capability) == 24);
static_assert(offsetof(SharedCache, capabilityHeld) == 32);
static_assert(offsetof(SharedCache, connection) == 40);
static_assert(offsetof(SharedCache, configurationArea) == 48);
static_assert(offsetof(SharedCache, capabilityArea) == 392);
static_assert(offsetof(SharedCache, connectionArea) == 1200);
static_assert(sizeof(SharedCache) == 2984);

// ---- Shared cache ----

// A zeroed shared cache with its size word and its three pointers set; null when
// memory runs out.  Free it with DeleteSharedCache.
SharedCache* CreateSharedCache();
// Cleans up a connection kept in it, then frees it.  Answers false (and frees
// nothing) for null and for anything CreateSharedCache did not make.
bool DeleteSharedCache(void* cache);
// The cache behind a pointer the host handed in; null unless CreateSharedCache made it.
SharedCache* SharedCacheFrom(void* cache);

// ---- Opening and closing ----

// Opens a connection of its own to the device at address (at most 63 characters)
// with the model's API version.  Null when the component is not linked or the
// address is empty or too long.  Nothing is sent to the device yet.
Connection* OpenConnection(const char* address, double apiVersion);

// The connection kept in the cache: reused when one to the same address is open
// there, else opened in the cache's connection area.  Null as for OpenConnection,
// and for an unknown cache.
Connection* OpenKeptConnection(SharedCache* cache, const char* address, double apiVersion);
// The connection kept in the cache, or null when none is open there.
Connection* KeptConnection(SharedCache* cache);

// Logs out when logged in, ends the access when a handle is held, and frees the
// connection (a kept one is cleared in its cache).  Null and unknown pointers are
// ignored.  This is OAPI_Cleanup.
void CleanupConnection(Connection* connection);
// Whether the pointer is an open connection.
bool IsConnection(const void* connection);

// ---- The conversation (each answers the code, also kept in lastCode) ----

// OAPIConfigurationCheck, or the cache's copy when it holds one; a fresh answer is
// copied into the cache.  Sets port and flag.  A set refusal byte answers
// kConfigurationRefused.
DWORD CheckConfiguration(Connection* connection, SharedCache* cache);
// OAPIAccessInit with the configured port and flag (nothing when a handle is held).
// No handle answers kNoAnswer.
DWORD InitAccess(Connection* connection);
// OAPIGetAuthCapability, or the cache's copy; a fresh answer is copied into the cache.
DWORD ReadCapability(Connection* connection, SharedCache* cache);
// The three above in order, stopping at the first failure.
DWORD PrepareConnection(Connection* connection, SharedCache* cache);

// OAPILogin with a login record or a sign-on ticket; sets loggedIn on success and
// keeps the detail text of a refusal (code 4).
DWORD Login(Connection* connection, const OapiLoginRecord* record, const BYTE* ticket, DWORD ticketLength,
            UINT_PTR passThrough1, UINT_PTR passThrough2);
// OAPILogout when logged in (0 otherwise).
DWORD Logout(Connection* connection);

// Queries.  Each refuses (kBadParameter, no call) a buffer smaller than the block
// the call fills, and a connection without an access handle (kUnknownHandle).
DWORD GetFileInfo(Connection* connection, DWORD kind, BYTE* buffer, size_t size);
DWORD GetFileInfoForDriver(Connection* connection, UINT_PTR request, DWORD kind, BYTE* buffer, size_t size);
DWORD GetDevicePermanentSetting(Connection* connection, BYTE* buffer, size_t size);
DWORD GetDevicePermanentSettingForDriver(Connection* connection, UINT_PTR request, BYTE* buffer, size_t size);
DWORD GetPrinterEncryptionSetting(Connection* connection, BYTE* buffer, size_t size);
DWORD GetPrinterEncryptionSettingForDriver(Connection* connection, UINT_PTR request, BYTE* buffer, size_t size);
DWORD GetMiddleServerSetting(Connection* connection, const char* languageCode, BYTE* buffer, size_t size);
DWORD GetAbbrConfiguration(Connection* connection, DWORD selector, BYTE* buffer, size_t size);
// One page of speed dials from entry firstEntry (1, 101, 201, ...); the request tag
// is written into the page before the call.
DWORD GetAbbrPage(Connection* connection, DWORD firstEntry, BYTE* page, size_t size);
// Sends a Base64 token and receives the device's Base64 answer (terminated).
DWORD GetSingleSignOnInfo(Connection* connection, const char* request, char* answer, size_t answerSize);
DWORD GetUserBoxList(Connection* connection, UINT_PTR request, BYTE* buffer, size_t size);

// ---- Calls without a connection ----

// OAPIAccessWarmUp (nothing when the component is not linked).
void AccessWarmUp();
// OAPIWakeUpDevice with the device address; kNoAnswer when not linked.
DWORD WakeUpDevice(const char* address);

// ---- Capability texts ----

// The authentication type of a capability text: 1 "None", 2 "Server", 3 "Device",
// 4 "MiddleServer", 5 "DeviceAndServer", 6 "DeviceAndExtServer"; 0 for any other
// text and for null.  Exact comparison.
short AuthTypeFromText(const char* text);
// The same for a UTF-16 text.
short AuthTypeFromText(const WCHAR* text);
// The text at kCapAuthType of a capability block, mapped as above.
short AuthTypeOf(const BYTE* capability);

}  // namespace nvx::device
