// Link to the host driver UI's library NOVRIX_D.DLL: 35 functions taken by name,
// each of which may be missing.  Every caller tests its pointer before calling.
#pragma once

#include <cstddef>

#include "common/proc.h"
#include "common/text.h"

namespace nvx::model {

// The host functions, in the order they are linked.
enum class HostFn : unsigned {
    DrawPrinterView,
    MIB_IsAccessOK,
    MIB_IsModelOK,
    MIB_OptionRequest,
    MIB_MrkSupRequest,
    MIB_OverlayRequest,
    MIB_FreeOverlayInfo,
    MIB_ProfileRequest,
    MIB_FreeProfileInfo,
    GET_MrkSupItemList,
    DrawLogoImage,
    DrawLogoVersionTab,
    DDProc_DeviceCapabilities,
    DDProc_DlgProc,
    DDProc_FeatureNameItemTable,
    DDProc_FeatureNameValuePtr,
    DDProc_GetPrinterIPAddress,
    DDProc_EntryPaperNameStatus,
    DDProc_IsEnableBdcLib,
    DDProc_GetPrinterInfo_MIB2,
    DDProc_GetDevOpenAPIConf,
    DDProc_GetDevAuthCapability,
    DDProc_GetDevEncryptionSetting,
    DDProc_SendWOL,
    DDProc_GetDevNetWakeup,
    DDProc_GetPrinterStatus_USB,
    DDProc_DeletePrinterStatus_USB,
    DDProc_IsSupportModel_USB,
    DDProc_OptionRequest_USB,
    DDProc_InputTrayStatus_USB,
    DDProc_Chk_ChangeMessage_Staple,
    DDProc_Chk_ChangeMessage_Punch,
    DDProc_Chk_AvailablePunch,
    DDProc_Chk_AvailableStaple,
    DDProc_BdcGroupTableCnt,
};
constexpr size_t kHostFnCount = 35;
extern const char* const kHostFnNames[kHostFnCount];

struct HostLink {
    HMODULE library = nullptr;
    FARPROC fn[kHostFnCount] = {};
};

// Loads NOVRIX_D.DLL from beside the module and takes the functions, unless the
// link is already made.  A missing library or function leaves null pointers.
void LinkHostLibrary(HostLink& link, HMODULE self);
// Frees the library and clears every pointer.
void UnlinkHostLibrary(HostLink& link);

// The function's address cast to its type, or null when the host lacks it.
template <typename Fn>
Fn HostFunction(const HostLink& link, HostFn which) {
    return ProcAs<Fn>(link.fn[static_cast<unsigned>(which)]);
}

}  // namespace nvx::model
