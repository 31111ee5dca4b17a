// Device connections and the shared cache: the lifecycle of one conversation.
#include "device/oapi_connection.h"

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

#include "common/le.h"
#include "device/oapi_link.h"

namespace nvx::device {
namespace {

// Live objects of this module: pointers handed across the module boundary are
// checked here before use, so that a stale or made-up pointer is ignored.
class LiveSet {
public:
    void Add(const void* p) {
        std::lock_guard<std::mutex> lock(mutex_);
        live_.insert(p);
    }
    bool Remove(const void* p) {
        std::lock_guard<std::mutex> lock(mutex_);
        return live_.erase(p) != 0;
    }
    bool Contains(const void* p) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return p && live_.count(p) != 0;
    }

private:
    mutable std::mutex mutex_;
    std::unordered_set<const void*> live_;
};

LiveSet& Caches() {
    static LiveSet set;
    return set;
}
LiveSet& Connections() {
    static LiveSet set;
    return set;
}

// Copies a device address into the connection; false when empty or too long.
bool SetAddress(Connection* c, const char* address) {
    if (!address) return false;
    size_t n = strnlen(address, oapi::kAddressSize);
    if (n == 0 || n > oapi::kAddressMax) return false;
    std::memcpy(c->address, address, n);
    c->address[n] = '\0';
    return true;
}

// Fills a zeroed connection; false (and nothing to undo) when it cannot open.
bool Fill(Connection* c, const char* address, double apiVersion) {
    HMODULE library = DeviceApiLibrary();
    if (!library || !SetAddress(c, address)) return false;
    c->library = library;
    c->apiVersion = apiVersion;
    return true;
}

// Records a call's code; for code 4 fetches the device's detail text, otherwise
// clears it.
DWORD Finish(Connection* c, DWORD code) {
    c->lastCode = code;
    c->detail[0] = '\0';
    if (code == oapi::kRefusedWithDetail && c->access) {
        char detail[oapi::kDetailSize] = {};
        DWORD rc = NVX_OAPI_CALL(OAPIGetErrorDetail, c->library, oapi::kNoAnswer, c->access, detail,
                                 static_cast<DWORD>(sizeof detail));
        if (rc == oapi::kOk) {
            detail[sizeof detail - 1] = '\0';
            std::memcpy(c->detail, detail, sizeof detail);
        }
    }
    return code;
}

// The common guard of the queries: a live connection with an access handle and a
// buffer of at least `need` bytes.
DWORD CheckQuery(Connection* c, const void* buffer, size_t size, size_t need) {
    if (!IsConnection(c)) return oapi::kBadParameter;
    if (!c->access) return Finish(c, oapi::kUnknownHandle);
    if (!buffer || size < need) return Finish(c, oapi::kBadParameter);
    return oapi::kOk;
}

// The block size of a file information kind; 0 for an unknown kind.
size_t FileInfoSize(DWORD kind, uint32_t* count) {
    switch (kind) {
        case oapi::kFileTintBlock: *count = oapi::kTintBlockEntries; return oapi::kTintBlockListSize;
        case oapi::kFileHeaderFooter: *count = oapi::kHeaderFooterEntries; return oapi::kHeaderFooterListSize;
        case oapi::kFileOverlay: *count = oapi::kOverlayEntries; return oapi::kOverlayListSize;
        default: *count = 0; return 0;
    }
}

}  // namespace

// ---- Shared cache ----

SharedCache* CreateSharedCache() {
    auto* cache = new (std::nothrow) SharedCache();
    if (!cache) return nullptr;
    cache->size = sizeof(SharedCache);
    cache->configuration = cache->configurationArea;
    cache->capability = cache->capabilityArea;
    cache->connection = cache->connectionArea;
    Caches().Add(cache);
    return cache;
}

SharedCache* SharedCacheFrom(void* cache) {
    return Caches().Contains(cache) ? static_cast<SharedCache*>(cache) : nullptr;
}

bool DeleteSharedCache(void* p) {
    SharedCache* cache = SharedCacheFrom(p);
    if (!cache) return false;
    // A connection still kept here would leave its device session open.
    CleanupConnection(KeptConnection(cache));
    Caches().Remove(cache);
    delete cache;
    return true;
}

// ---- Opening and closing ----

Connection* OpenConnection(const char* address, double apiVersion) {
    auto* c = new (std::nothrow) Connection();
    if (!c) return nullptr;
    if (!Fill(c, address, apiVersion)) {
        delete c;
        return nullptr;
    }
    Connections().Add(c);
    return c;
}

Connection* KeptConnection(SharedCache* cache) {
    if (!SharedCacheFrom(cache)) return nullptr;
    auto* c = reinterpret_cast<Connection*>(cache->connectionArea);
    return IsConnection(c) ? c : nullptr;
}

Connection* OpenKeptConnection(SharedCache* cache, const char* address, double apiVersion) {
    if (!SharedCacheFrom(cache)) return nullptr;
    if (Connection* kept = KeptConnection(cache)) {
        if (address && std::strncmp(kept->address, address, oapi::kAddressSize) == 0) return kept;
        CleanupConnection(kept);  // another device: the old conversation ends
    }
    std::memset(cache->connectionArea, 0, sizeof cache->connectionArea);
    auto* c = new (cache->connectionArea) Connection();
    if (!Fill(c, address, apiVersion)) {
        std::memset(cache->connectionArea, 0, sizeof cache->connectionArea);
        return nullptr;
    }
    c->inSharedCache = 1;
    Connections().Add(c);
    return c;
}

bool IsConnection(const void* connection) { return Connections().Contains(connection); }

void CleanupConnection(Connection* c) {
    if (!IsConnection(c)) return;
    if (c->loggedIn) Logout(c);
    if (c->access) {
        NVX_OAPI_CALL(OAPIAccessEnd, c->library, oapi::kNoAnswer, c->access);
        c->access = 0;
    }
    Connections().Remove(c);
    if (c->inSharedCache) {
        std::memset(static_cast<void*>(c), 0, sizeof(Connection));
    } else {
        delete c;
    }
}

// ---- The conversation ----

DWORD CheckConfiguration(Connection* c, SharedCache* cache) {
    if (!IsConnection(c)) return oapi::kBadParameter;
    cache = SharedCacheFrom(cache);
    if (cache && cache->configurationHeld) {
        std::memcpy(c->configuration, cache->configurationArea, sizeof c->configuration);
    } else {
        BYTE block[oapi::kConfigurationSize] = {};
        DWORD rc = NVX_OAPI_CALL(OAPIConfigurationCheck, c->library, oapi::kNoAnswer, c->apiVersion,
                                 oapi::kClientVersion, static_cast<const char*>(c->address), block);
        if (rc != oapi::kOk) return Finish(c, rc);
        std::memcpy(c->configuration, block, sizeof block);
        if (cache && !block[oapi::kConfRefused]) {
            std::memcpy(cache->configurationArea, block, sizeof block);
            cache->configurationHeld = 1;
        }
    }
    c->port = GetField<uint16_t>(c->configuration, oapi::kConfPort);
    c->flag = c->configuration[oapi::kConfFlag];
    if (c->configuration[oapi::kConfRefused]) return Finish(c, oapi::kConfigurationRefused);
    return Finish(c, oapi::kOk);
}

DWORD InitAccess(Connection* c) {
    if (!IsConnection(c)) return oapi::kBadParameter;
    if (c->access) return Finish(c, oapi::kOk);
    OAPIHANDLE handle = NVX_OAPI_CALL(OAPIAccessInit, c->library, OAPIHANDLE{0}, c->apiVersion, DWORD{0},
                                      DWORD{0}, static_cast<const char*>(c->address), WORD{c->port},
                                      BYTE{c->flag});
    if (!handle) return Finish(c, oapi::kNoAnswer);
    c->access = handle;
    return Finish(c, oapi::kOk);
}

DWORD ReadCapability(Connection* c, SharedCache* cache) {
    if (!IsConnection(c)) return oapi::kBadParameter;
    cache = SharedCacheFrom(cache);
    if (cache && cache->capabilityHeld) {
        std::memcpy(c->capability, cache->capabilityArea, sizeof c->capability);
        return Finish(c, oapi::kOk);
    }
    if (!c->access) return Finish(c, oapi::kUnknownHandle);
    BYTE block[oapi::kCapabilitySize] = {};
    DWORD rc = NVX_OAPI_CALL(OAPIGetAuthCapability, c->library, oapi::kNoAnswer, c->access, block);
    if (rc != oapi::kOk) return Finish(c, rc);
    std::memcpy(c->capability, block, sizeof block);
    if (cache) {
        std::memcpy(cache->capabilityArea, block, sizeof block);
        cache->capabilityHeld = 1;
    }
    return Finish(c, oapi::kOk);
}

DWORD PrepareConnection(Connection* c, SharedCache* cache) {
    DWORD rc = CheckConfiguration(c, cache);
    if (rc == oapi::kOk) rc = InitAccess(c);
    if (rc == oapi::kOk) rc = ReadCapability(c, cache);
    return rc;
}

DWORD Login(Connection* c, const OapiLoginRecord* record, const BYTE* ticket, DWORD ticketLength,
            UINT_PTR passThrough1, UINT_PTR passThrough2) {
    if (!IsConnection(c)) return oapi::kBadParameter;
    if (!c->access) return Finish(c, oapi::kUnknownHandle);
    DWORD rc = NVX_OAPI_CALL(OAPILogin, c->library, oapi::kNoAnswer, c->access, record, ticket, ticketLength,
                             passThrough1, passThrough2);
    if (rc == oapi::kOk) c->loggedIn = 1;
    return Finish(c, rc);
}

DWORD Logout(Connection* c) {
    if (!IsConnection(c)) return oapi::kBadParameter;
    if (!c->loggedIn || !c->access) return Finish(c, oapi::kOk);
    DWORD rc = NVX_OAPI_CALL(OAPILogout, c->library, oapi::kNoAnswer, c->access);
    c->loggedIn = 0;  // the login is over for this side whatever the device says
    return Finish(c, rc);
}

// ---- Queries ----

DWORD GetFileInfo(Connection* c, DWORD kind, BYTE* buffer, size_t size) {
    uint32_t count = 0;
    size_t need = FileInfoSize(kind, &count);
    if (need == 0) return IsConnection(c) ? Finish(c, oapi::kBadParameter) : oapi::kBadParameter;
    if (DWORD rc = CheckQuery(c, buffer, size, need)) return rc;
    OapiFileInfoRequest request{0, 1, count, 0};
    return Finish(c, NVX_OAPI_CALL(OAPIGetFileInfo, c->library, oapi::kNoAnswer, c->access, kind,
                                   static_cast<const OapiFileInfoRequest*>(&request), buffer));
}

DWORD GetFileInfoForDriver(Connection* c, UINT_PTR requestValue, DWORD kind, BYTE* buffer, size_t size) {
    uint32_t count = 0;
    size_t need = FileInfoSize(kind, &count);
    if (need == 0) return IsConnection(c) ? Finish(c, oapi::kBadParameter) : oapi::kBadParameter;
    if (DWORD rc = CheckQuery(c, buffer, size, need)) return rc;
    OapiFileInfoRequest request{0, 1, count, 0};
    return Finish(c, NVX_OAPI_CALL(OAPIGetFileInfoForDriver, c->library, oapi::kNoAnswer, c->access,
                                   requestValue, kind, static_cast<const OapiFileInfoRequest*>(&request),
                                   buffer));
}

DWORD GetDevicePermanentSetting(Connection* c, BYTE* buffer, size_t size) {
    if (DWORD rc = CheckQuery(c, buffer, size, oapi::kPermanentSettingSize)) return rc;
    return Finish(c, NVX_OAPI_CALL(OAPIGetDevicePermanentSetting, c->library, oapi::kNoAnswer, c->access,
                                   oapi::kPermanentColourProfile, buffer));
}

DWORD GetDevicePermanentSettingForDriver(Connection* c, UINT_PTR request, BYTE* buffer, size_t size) {
    if (DWORD rc = CheckQuery(c, buffer, size, oapi::kPermanentSettingSize)) return rc;
    return Finish(c, NVX_OAPI_CALL(OAPIGetDevicePermanentSettingForDriver, c->library, oapi::kNoAnswer,
                                   c->access, request, oapi::kPermanentColourProfile, buffer));
}

DWORD GetPrinterEncryptionSetting(Connection* c, BYTE* buffer, size_t size) {
    if (DWORD rc = CheckQuery(c, buffer, size, oapi::kEncryptionSettingSize)) return rc;
    return Finish(c, NVX_OAPI_CALL(OAPIGetPrinterEncryptionSetting, c->library, oapi::kNoAnswer, c->access,
                                   buffer));
}

DWORD GetPrinterEncryptionSettingForDriver(Connection* c, UINT_PTR request, BYTE* buffer, size_t size) {
    if (DWORD rc = CheckQuery(c, buffer, size, oapi::kEncryptionSettingSize)) return rc;
    return Finish(c, NVX_OAPI_CALL(OAPIGetPrinterEncryptionSettingForDriver, c->library, oapi::kNoAnswer,
                                   c->access, request, buffer));
}

DWORD GetMiddleServerSetting(Connection* c, const char* languageCode, BYTE* buffer, size_t size) {
    if (DWORD rc = CheckQuery(c, buffer, size, oapi::kMiddleServerSettingSize)) return rc;
    if (!languageCode || strnlen(languageCode, oapi::kLanguageCodeMax + 1) > oapi::kLanguageCodeMax)
        return Finish(c, oapi::kBadParameter);
    return Finish(c, NVX_OAPI_CALL(OAPIGetMiddleServerSetting, c->library, oapi::kNoAnswer, c->access,
                                   languageCode, buffer));
}

DWORD GetAbbrConfiguration(Connection* c, DWORD selector, BYTE* buffer, size_t size) {
    if (DWORD rc = CheckQuery(c, buffer, size, oapi::kAbbrConfigurationSize)) return rc;
    return Finish(c, NVX_OAPI_CALL(OAPIGetAbbrConfiguration, c->library, oapi::kNoAnswer, c->access, selector,
                                   buffer));
}

DWORD GetAbbrPage(Connection* c, DWORD firstEntry, BYTE* page, size_t size) {
    if (DWORD rc = CheckQuery(c, page, size, oapi::kAbbrPageSize)) return rc;
    std::memset(page, 0, oapi::kAbbrPageSize);
    std::memcpy(page, oapi::kAbbrRequestTag, oapi::kAbbrRequestTagSize);
    return Finish(c, NVX_OAPI_CALL(OAPIGetAbbr, c->library, oapi::kNoAnswer, c->access, firstEntry, page));
}

DWORD GetSingleSignOnInfo(Connection* c, const char* request, char* answer, size_t answerSize) {
    if (DWORD rc = CheckQuery(c, answer, answerSize, 1)) return rc;
    if (!request) return Finish(c, oapi::kBadParameter);
    DWORD capacity = static_cast<DWORD>(answerSize < oapi::kSignOnTokenSize ? answerSize : oapi::kSignOnTokenSize);
    return Finish(c, NVX_OAPI_CALL(OAPIGetSingleSignOnInfo, c->library, oapi::kNoAnswer, c->access, request,
                                   answer, capacity));
}

DWORD GetUserBoxList(Connection* c, UINT_PTR request, BYTE* buffer, size_t size) {
    if (DWORD rc = CheckQuery(c, buffer, size, oapi::kUserBoxListSize)) return rc;
    return Finish(c, NVX_OAPI_CALL(OAPIGetUserBoxList, c->library, oapi::kNoAnswer, c->access, request, buffer));
}

// ---- Calls without a connection ----

void AccessWarmUp() {
    DeviceApiLock lock;
    if (auto proc = DeviceApiProc(oapi::Fn::k_OAPIAccessWarmUp)) reinterpret_cast<PFN_OAPIAccessWarmUp>(proc)();
}

DWORD WakeUpDevice(const char* address) {
    if (!address || strnlen(address, oapi::kAddressSize) > oapi::kAddressMax) return oapi::kBadParameter;
    return NVX_OAPI_CALL(OAPIWakeUpDevice, nullptr, oapi::kNoAnswer, address);
}

// ---- Capability texts ----

short AuthTypeFromText(const char* text) {
    static constexpr const char* kTypes[] = {"None", "Server", "Device", "MiddleServer", "DeviceAndServer",
                                             "DeviceAndExtServer"};
    if (!text) return 0;
    for (short i = 0; i < 6; ++i) {
        // strcmp stops at the first difference, so a text without terminator is
        // read no further than the longest name plus one byte.
        if (std::strcmp(text, kTypes[i]) == 0) return static_cast<short>(i + 1);
    }
    return 0;
}

short AuthTypeFromText(const WCHAR* text) {
    static constexpr const char* kTypes[] = {"None", "Server", "Device", "MiddleServer", "DeviceAndServer",
                                             "DeviceAndExtServer"};
    if (!text) return 0;
    for (short i = 0; i < 6; ++i) {
        // Stops at the first difference, as the narrow form does.
        const char* name = kTypes[i];
        size_t k = 0;
        while (name[k] && text[k] == static_cast<WCHAR>(name[k])) ++k;
        if (name[k] == 0 && text[k] == 0) return static_cast<short>(i + 1);
    }
    return 0;
}

short AuthTypeOf(const BYTE* capability) {
    if (!capability) return 0;
    char text[oapi::kCapAuthTypeSize + 1] = {};
    std::memcpy(text, capability + oapi::kCapAuthType, oapi::kCapAuthTypeSize);
    return AuthTypeFromText(text);
}

}  // namespace nvx::device
