// The simulator's side of one call: the call run against this process's
// component, from the wire's JSON request.
#include "device_dispatch.h"

#include <cstring>
#include <type_traits>

#include "device/oapi.h"
#include "remote_call.h"

// The component's functions, answered in this process from the served profile.
#define NVXO_DECLARE(name) extern "C" std::remove_pointer_t<PFN_##name> name;
NVX_OAPI_FUNCTIONS(NVXO_DECLARE)
#undef NVXO_DECLARE
extern "C" DWORD NvxDevice_GetInstalledOptions(const char* address, char* text, DWORD size);

namespace nvxo {
namespace {

namespace o = nvx::oapi;

uint64_t U(const json& body, size_t i) {
    const json* v = Member(&body, "v");
    return v && v->is_array() && i < v->size() ? NumberOf(&(*v)[i]) : 0;
}
double D(const json& body, size_t i) {
    const json* d = Member(&body, "d");
    return d && d->is_array() && i < d->size() && (*d)[i].is_number() ? (*d)[i].get<double>() : 0.0;
}
std::string S(const json& body, size_t i) {
    const json* s = Member(&body, "s");
    return s && s->is_array() && i < s->size() ? TextOf(&(*s)[i]) : std::string();
}

}  // namespace

uint32_t Dispatch(const std::string& fn, const json& body, std::vector<uint8_t>& out, uint64_t* handle) {
    const uint64_t h = NumberOf(Member(&body, "handle"));
    const std::string address = TextOf(Member(&body, "address"));
    std::vector<uint8_t> in;
    if (!FromHex(TextOf(Member(&body, "in")), &in)) return o::kBadParameter;
    BYTE* buffer = out.empty() ? nullptr : out.data();
    const DWORD size = static_cast<DWORD>(out.size());
    auto need = [&](size_t n) { return out.size() == n; };
    if (fn == "OAPIConfigurationCheck")
        return need(o::kConfigurationSize) ? OAPIConfigurationCheck(D(body, 0), D(body, 1), address.c_str(), buffer)
                                           : o::kBadParameter;
    if (fn == "OAPIAccessInit") {
        *handle = OAPIAccessInit(D(body, 0), static_cast<DWORD>(U(body, 0)), static_cast<DWORD>(U(body, 1)),
                                 address.c_str(), static_cast<WORD>(U(body, 2)), static_cast<BYTE>(U(body, 3)));
        return *handle ? o::kOk : o::kNoAnswer;
    }
    if (fn == "OAPIAccessEnd") return OAPIAccessEnd(h);
    if (fn == "OAPIGetErrorDetail") return size ? OAPIGetErrorDetail(h, reinterpret_cast<char*>(buffer), size) : 2;
    if (fn == "OAPIGetAuthCapability")
        return need(o::kCapabilitySize) ? OAPIGetAuthCapability(h, buffer) : o::kBadParameter;
    if (fn == "OAPILogin") {
        std::string user = S(body, 0), password = S(body, 1), account = S(body, 2), accountPassword = S(body, 3);
        OapiLoginRecord record{static_cast<uint32_t>(U(body, 1)), user.c_str(), password.c_str(), account.c_str(),
                               accountPassword.c_str(), static_cast<uint16_t>(U(body, 2)), ""};
        return OAPILogin(h, U(body, 0) ? &record : nullptr, in.empty() ? nullptr : in.data(),
                         static_cast<DWORD>(in.size()), static_cast<UINT_PTR>(U(body, 3)),
                         static_cast<UINT_PTR>(U(body, 4)));
    }
    if (fn == "OAPILogout") return OAPILogout(h);
    if (fn == "OAPIGetFileInfo" || fn == "OAPIGetFileInfoForDriver") {
        OapiFileInfoRequest request{static_cast<uint32_t>(U(body, 1)), static_cast<uint32_t>(U(body, 2)),
                                    static_cast<uint32_t>(U(body, 3)), static_cast<uint32_t>(U(body, 4))};
        if (!buffer) return o::kBadParameter;
        std::vector<uint8_t> full(o::kHeaderFooterListSize > o::kOverlayListSize ? o::kHeaderFooterListSize
                                                                                   : o::kOverlayListSize);
        uint32_t code = fn == "OAPIGetFileInfo"
                            ? OAPIGetFileInfo(h, static_cast<DWORD>(U(body, 0)), &request, full.data())
                            : OAPIGetFileInfoForDriver(h, 0, static_cast<DWORD>(U(body, 0)), &request, full.data());
        std::memcpy(buffer, full.data(), out.size() < full.size() ? out.size() : full.size());
        return code;
    }
    if (fn == "OAPIGetDevicePermanentSetting" || fn == "OAPIGetDevicePermanentSettingForDriver") {
        if (!need(o::kPermanentSettingSize)) return o::kBadParameter;
        return fn == "OAPIGetDevicePermanentSetting"
                   ? OAPIGetDevicePermanentSetting(h, static_cast<DWORD>(U(body, 0)), buffer)
                   : OAPIGetDevicePermanentSettingForDriver(h, 0, static_cast<DWORD>(U(body, 0)), buffer);
    }
    if (fn == "OAPIGetPrinterEncryptionSetting" || fn == "OAPIGetPrinterEncryptionSettingForDriver") {
        if (!need(o::kEncryptionSettingSize)) return o::kBadParameter;
        return fn == "OAPIGetPrinterEncryptionSetting" ? OAPIGetPrinterEncryptionSetting(h, buffer)
                                                       : OAPIGetPrinterEncryptionSettingForDriver(h, 0, buffer);
    }
    if (fn == "OAPIGetMiddleServerSetting")
        return need(o::kMiddleServerSettingSize) ? OAPIGetMiddleServerSetting(h, S(body, 0).c_str(), buffer)
                                                 : o::kBadParameter;
    if (fn == "OAPIGetUserBoxList")
        return need(o::kUserBoxListSize) ? OAPIGetUserBoxList(h, static_cast<UINT_PTR>(U(body, 0)), buffer)
                                         : o::kBadParameter;
    if (fn == "OAPIGetAbbrConfiguration")
        return need(o::kAbbrConfigurationSize) ? OAPIGetAbbrConfiguration(h, static_cast<DWORD>(U(body, 0)), buffer)
                                               : o::kBadParameter;
    if (fn == "OAPIGetAbbr") {
        if (!need(o::kAbbrPageSize)) return o::kBadParameter;
        std::memcpy(buffer, in.data(), in.size() < o::kAbbrRequestTagSize ? in.size() : o::kAbbrRequestTagSize);
        return OAPIGetAbbr(h, static_cast<DWORD>(U(body, 0)), buffer);
    }
    if (fn == "OAPIGetSingleSignOnInfo") {
        if (!size) return o::kBadParameter;
        return OAPIGetSingleSignOnInfo(h, S(body, 0).c_str(), reinterpret_cast<char*>(buffer), size);
    }
    if (fn == "OAPIWakeUpDevice") return OAPIWakeUpDevice(address.c_str());
    if (fn == "DeviceInstalledOptions")
        return need(kInstalledOptionsBlock)
                   ? NvxDevice_GetInstalledOptions(address.c_str(), reinterpret_cast<char*>(buffer), size)
                   : o::kBadParameter;
    BYTE scratch[8] = {};
    if (fn == "OAPIGetDeviceInfo") return OAPIGetDeviceInfo(h, scratch, sizeof scratch);
    if (fn == "OAPIGetDeviceInfoDetail") return OAPIGetDeviceInfoDetail(h, scratch, sizeof scratch);
    if (fn == "OAPIGetJobList") return OAPIGetJobList(h, scratch, sizeof scratch);
    if (fn == "OAPIGetJobJournalList") return OAPIGetJobJournalList(h, scratch, sizeof scratch);
    if (fn == "OAPIGetGammaCorrectionTableForDriver")
        return OAPIGetGammaCorrectionTableForDriver(h, 0, scratch, sizeof scratch);
    return o::kBadParameter;
}

}  // namespace nvxo
