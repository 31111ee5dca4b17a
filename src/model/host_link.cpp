// Host library link.
#include "model/host_link.h"

#include "frame/paths.h"

namespace nvx::model {

const char* const kHostFnNames[kHostFnCount] = {
    "DrawPrinterView",
    "MIB_IsAccessOK",
    "MIB_IsModelOK",
    "MIB_OptionRequest",
    "MIB_MrkSupRequest",
    "MIB_OverlayRequest",
    "MIB_FreeOverlayInfo",
    "MIB_ProfileRequest",
    "MIB_FreeProfileInfo",
    "GET_MrkSupItemList",
    "DrawLogoImage",
    "DrawLogoVersionTab",
    "DDProc_DeviceCapabilities",
    "DDProc_DlgProc",
    "DDProc_FeatureNameItemTable",
    "DDProc_FeatureNameValuePtr",
    "DDProc_GetPrinterIPAddress",
    "DDProc_EntryPaperNameStatus",
    "DDProc_IsEnableBdcLib",
    "DDProc_GetPrinterInfo_MIB2",
    "DDProc_GetDevOpenAPIConf",
    "DDProc_GetDevAuthCapability",
    "DDProc_GetDevEncryptionSetting",
    "DDProc_SendWOL",
    "DDProc_GetDevNetWakeup",
    "DDProc_GetPrinterStatus_USB",
    "DDProc_DeletePrinterStatus_USB",
    "DDProc_IsSupportModel_USB",
    "DDProc_OptionRequest_USB",
    "DDProc_InputTrayStatus_USB",
    "DDProc_Chk_ChangeMessage_Staple",
    "DDProc_Chk_ChangeMessage_Punch",
    "DDProc_Chk_AvailablePunch",
    "DDProc_Chk_AvailableStaple",
    "DDProc_BdcGroupTableCnt",
};
static_assert(static_cast<unsigned>(HostFn::DDProc_BdcGroupTableCnt) + 1 == kHostFnCount,
              "one name per host function");

void LinkHostLibrary(HostLink& link, HMODULE self) {
    if (link.library) return;
    WString path = frame::BesideModule(self, WL("NOVRIX_D.DLL"));
    if (path.empty()) return;
    link.library = frame::LoadModuleLibrary(path.c_str());
    if (!link.library) return;
    for (size_t i = 0; i < kHostFnCount; ++i) link.fn[i] = GetProcAddress(link.library, kHostFnNames[i]);
}

void UnlinkHostLibrary(HostLink& link) {
    if (link.library) {
        FreeLibrary(link.library);
        link.library = nullptr;
    }
    for (auto& fn : link.fn) fn = nullptr;
}

}  // namespace nvx::model
