// Job-start entry points: what the host driver UI asks when a job starts.
//
// Each export hands its arguments unchanged to the host's alternative function
// ("Alt_" and the export's name without "Bidi_") when the model's device link
// goes through the host's alternative library; a host without that function gets
// the export's "not asked" answer.  Otherwise the device steps of job_start.h run.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/proc.h"
#include "device/job_start.h"
#include "frame/exports.h"

using namespace nvx::device;

namespace {

JobStartRequest Request(UINT_PTR printer, UINT_PTR printerName, UINT_PTR sharedCache, UINT_PTR record,
                        UINT_PTR devOption) {
    JobStartRequest r;
    r.printer = reinterpret_cast<HANDLE>(printer);
    r.printerName = reinterpret_cast<const WCHAR*>(printerName);
    r.shared = SharedCacheFrom(reinterpret_cast<void*>(sharedCache));
    r.record = reinterpret_cast<OEMDEV*>(record);
    r.devOption = reinterpret_cast<BYTE*>(devOption);
    return r;
}

template <typename Fn>
Fn Alternative(const char* name) {
    return nvx::ProcAs<Fn>(AlternativeFunction(name));
}

}  // namespace

// (printer handle, printer name, device-option record).  0 when the device was
// asked or nothing needed asking; the host's or the device's code otherwise.
NVX_EXPORT UINT_PTR Bidi_DocumentEvent_CreateDC(UINT* printer, UINT_PTR printerName, UINT_PTR devOption) {
    if (ModelJobStart().alternativePath) {
        auto alt = Alternative<UINT_PTR (*)(UINT*, UINT_PTR, UINT_PTR)>("Bidi_DocumentEvent_CreateDC");
        return alt ? alt(printer, printerName, devOption) : kJobNotAsked;
    }
    if (!printer) return kJobNotAsked;
    return DocumentEventCreateDC(Request(reinterpret_cast<UINT_PTR>(printer), printerName, 0, 0, devOption));
}

// (printer handle, printer name, shared cache, device-option record, two host
// values, settings record).  0, or the host's or the device's code.
NVX_EXPORT UINT_PTR Bidi_PrintStart_GetAuthCapability(UINT_PTR printer, UINT_PTR printerName, UINT_PTR sharedCache,
                                                      UINT_PTR devOption, UINT_PTR value1, UINT_PTR value2,
                                                      UINT_PTR record) {
    if (ModelJobStart().alternativePath) {
        auto alt = Alternative<UINT_PTR (*)(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR)>(
            "Bidi_PrintStart_GetAuthCapability");
        return alt ? alt(printer, printerName, sharedCache, devOption, value1, value2, record) : kJobNotAsked;
    }
    if (!printer) return kJobNotAsked;
    return PrintStartGetAuthCapability(Request(printer, printerName, sharedCache, record, devOption));
}

// (printer handle, printer name, shared cache, settings record, device-option
// record, detail buffer, its size, five host values, flag; the first host value
// non-zero: the external server has already authenticated the user, so that a
// "DeviceAndExtServer" device is not asked through the middle server).  1 at once when the
// flag is 0; otherwise the device's login code (1 when no connection opens), its
// detail text in the buffer (at most size - 1 characters, always terminated).
NVX_EXPORT UINT_PTR Bidi_PrintStart_VerifyAndEncryptKey(UINT_PTR printer, UINT_PTR printerName, UINT_PTR sharedCache,
                                                        UINT_PTR record, UINT_PTR devOption, UINT_PTR detail,
                                                        UINT_PTR detailSize, UINT_PTR v1, UINT_PTR v2, UINT_PTR v3,
                                                        UINT_PTR v4, UINT_PTR v5, UINT_PTR flag) {
    if (ModelJobStart().alternativePath) {
        using Fn = UINT_PTR (*)(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR,
                                UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR);
        auto alt = Alternative<Fn>("Bidi_PrintStart_VerifyAndEncryptKey");
        if (alt) return alt(printer, printerName, sharedCache, record, devOption, detail, detailSize, v1, v2, v3, v4,
                            v5, flag);
    }
    const uint32_t size = static_cast<uint32_t>(detailSize);
    char* out = reinterpret_cast<char*>(detail);
    if (out && size > 0) out[0] = 0;
    if (flag == 0) return kJobNoConnection;
    if (!printer || ModelJobStart().alternativePath) return kJobNoConnection;
    JobStartRequest request = Request(printer, printerName, sharedCache, record, devOption);
    request.externalServerDone = v1 != 0;
    VerifyResult result = PrintStartVerify(request);
    if (out && size > 0) {
        const size_t n = result.detail.size() < size - 1 ? result.detail.size() : size - 1;
        std::memcpy(out, result.detail.data(), n);
        out[n] = 0;
    }
    return result.code;
}

// (printer handle, printer name, shared cache, settings record, device-option
// record, flag).  1 when the device's passphrase was stored in the record; 0
// otherwise, and always when the flag is not 1.
NVX_EXPORT UINT_PTR Bidi_PrintStart_GetEncryptionKey(UINT_PTR printer, UINT_PTR printerName, UINT_PTR sharedCache,
                                                     UINT_PTR record, UINT_PTR devOption, UINT_PTR flag) {
    if (ModelJobStart().alternativePath) {
        auto alt = Alternative<UINT_PTR (*)(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR)>(
            "Bidi_PrintStart_GetEncryptionKey");
        return alt ? alt(printer, printerName, sharedCache, record, devOption, flag) : 0;
    }
    if (static_cast<uint32_t>(flag) != 1 || !printer) return 0;
    return PrintStartGetEncryptionKey(Request(printer, printerName, sharedCache, record, devOption)) ? 1 : 0;
}

// (printer handle, device-option record, shared cache, host value, authentication
// type).  0 when the device answered, its code otherwise (1: no connection);
// the authentication type of its capability (0 when it did not answer).
NVX_EXPORT UINT_PTR Bidi_PrintStart_IsCommunicate(UINT_PTR printer, UINT_PTR devOption, UINT_PTR sharedCache,
                                                  UINT_PTR value, UINT_PTR authType) {
    if (ModelJobStart().alternativePath) {
        auto alt = Alternative<UINT_PTR (*)(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR)>(
            "Bidi_PrintStart_IsCommunicate");
        if (alt) return alt(printer, devOption, sharedCache, value, authType);
    }
    int32_t type = 0;
    DWORD code = kJobNoConnection;
    if (printer && !ModelJobStart().alternativePath)
        code = PrintStartIsCommunicate(Request(printer, 0, sharedCache, 0, devOption), &type);
    if (authType) *reinterpret_cast<int32_t*>(authType) = type;
    return code;
}

// (printer handle, device-option record, shared cache, host value, authentication
// type, state).  1 when signed on, with the capability's authentication type;
// 0 otherwise, the state telling why (1 nothing to sign on with, 2 the sign-on
// failed).  A state of 3 handed in skips the token exchange with the device.
NVX_EXPORT UINT_PTR Bidi_PrintStart_SSO(UINT_PTR printer, UINT_PTR devOption, UINT_PTR sharedCache, UINT_PTR value,
                                        UINT_PTR authType, UINT_PTR state) {
    if (ModelJobStart().alternativePath) {
        auto alt = Alternative<UINT_PTR (*)(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR)>(
            "Bidi_PrintStart_SSO");
        if (alt) return alt(printer, devOption, sharedCache, value, authType, state);
    }
    auto* type = reinterpret_cast<int32_t*>(authType);
    auto* st = reinterpret_cast<int32_t*>(state);
    SignOnResult result;
    result.state = kSignOnNotPossible;
    if (printer && !ModelJobStart().alternativePath)
        result = PrintStartSignOn(Request(printer, 0, sharedCache, 0, devOption), st ? *st : 0);
    if (result.state == kSignOnFailed) {
        char line[96];
        snprintf(line, sizeof line, "NOVRIX_U: single sign-on failed (security status 0x%08X)\n",
                 static_cast<unsigned>(result.status));
        OutputDebugStringA(line);
    }
    if (type) *type = result.authType;
    if (st) *st = result.state;
    return result.result;
}
