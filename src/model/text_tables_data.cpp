// The built-in texts of every page and dialog (English), in the order of the text
// loads.  Full tables for the pages whose controls are fixed; a caption row for
// the others, which the package can still rename.
#include "model/text_tables_data.h"

#include <iterator>

namespace nvx::model::textdata {
namespace {

constexpr DWORD T = kTextOnlyRow;

// Basic tab (page 100).
const ControlTextRow kBasic[] = {
    {{100}, WL("Basic"), "Caption"},
    {{3501}, WL("Orientation"), "Orientation"},
    {{1020}, WL("Portrait"), "Portrait"},
    {{1023}, WL("Landscape"), "Landscape"},
    {{3502}, WL("Paper Size:"), "PaperSize"},
    {{3503}, WL("Output Size:"), "OutPaperSize"},
    {{3504}, WL("Zoom"), "Zoom"},
    {{1227}, WL("Auto"), "ZoomAuto"},
    {{1228}, WL("Manual"), "ZoomManual"},
    {{1067}, WL("%"), "ZoomPercent"},
    {{1178}, WL("(%d-%d)"), "ZoomRange"},
    {{3505}, WL("Paper Source:"), "InTray"},
    {{3506}, WL("Media Type:"), "MediaType"},
    {{3507}, WL("Copies:"), "Copies"},
    {{1014}, WL("Collate"), "Collate"},
    {{1018}, WL("Job Offset"), "JobOffset"},
    {{3508}, WL("Output Method:"), "OutputMethod"},
    {{1193}, WL("Paper Option 1"), "PaperOption1"},
    {{1194}, WL("Paper Option 2"), "PaperOption2"},
    {{1285}, WL("User Settings..."), "UserSettings"},
    {{1287}, WL("Paper Source Settings..."), "PaperSourceSettings"},
    {{1898}, WL("Auto Paper Settings..."), "AutoPaperSettings"},
    {{2170}, WL("Authentication..."), "Authentication"},
    {{T}, WL(""), "CopiesRange"},
    {{T}, WL("Default"), "EasySetDefaults"},
    {{T}, WL("Untitled"), "EasySetUntitled"},
    {},
};

// Common items of every page.  Row 0 lists the common controls; rows 1..5 are
// skipped by the common-item replace and hold texts that pages look up by key.
const ControlTextRow kCommon[] = {
    {{1130}, WL("Show Details"), "ViewDetails"},
    {{T}, WL("Hide Details"), "ViewSimple"},
    {{T}, WL("Show Details"), "ViewDetailsText"},
    {{1015}, WL(""), "HintIcon"},
    {{1016}, WL(""), "HintText"},
    {{T}, WL("Restore Defaults"), "RestoreDefaults"},
    {},
};

// Custom size dialog (151).
const ControlTextRow kUserPaper[] = {
    {{151}, WL("Custom Paper Size"), "Caption"},
    {{3512}, WL("Width:"), "Width"},
    {{3513}, WL("Length:"), "Length"},
    {{3514}, WL("Unit"), "Unit"},
    {{1240}, WL("mm"), "UnitMM"},
    {{1241}, WL("inch"), "UnitInch"},
    {{1273}, WL(""), "WidthRange"},
    {{1274}, WL(""), "LengthRange"},
    {{1}, WL("OK"), "OK"},
    {{2}, WL("Cancel"), "Cancel"},
    {},
};

// Version tab (106).
const ControlTextRow kVersion[] = {
    {{106}, WL("Version"), "Caption"},
    {{1225}, WL(""), "DriverName"},
    {{1171}, WL("NOVRIX printer driver"), "Notice1"},
    {{1172}, WL("Copyright (C) 2026 VELMORA. All rights reserved."), "Notice2"},
    {{1174}, WL(""), "Notice3"},
    {{T}, WL("Version"), "VersionLabel"},
    {{T}, WL("Core"), "Version_Core"},
    {{T}, WL("Sub"), "Version_Sub"},
    {{T}, WL("Model data"), "Version_VPD"},
    {},
};

// Initial page (161).
const ControlTextRow kInitial[] = {
    {{161}, WL("Device Settings"), "Caption"},
    {{1866}, WL("User Authentication"), "UserAuthentication"},
    {{1867, 1220}, WL("Settings..."), "Settings"},
    {{1229}, WL("Account Track"), "AccountTrack"},
    {{3521}, WL("Department Password:"), "DepartmentPassword"},
    {},
};

// Overlay delete dialog: labels of a form's properties, copied out after the load.
const ControlTextRow kOverlayDelete[] = {
    {{1}, WL("Delete Overlay Forms"), "Caption"},
    {{T}, WL("Overlay Name:"), "OvlDel_Name"},
    {{T}, WL("File Name:"), "OvlDel_File"},
    {{T}, WL("Folder:"), "OvlDel_Folder"},
    {{T}, WL("Paper Size:"), "OvlDel_PaperSize"},
    {{T}, WL("Orientation:"), "OvlDel_Orientation"},
    {{T}, WL("Color:"), "OvlDel_Color"},
    {{T}, WL("Resolution:"), "OvlDel_Resolution"},
    {{T}, WL("Portrait"), "OvlDel_Portrait"},
    {{T}, WL("Landscape"), "OvlDel_Landscape"},
    {{T}, WL("Grayscale"), "OvlDel_Grayscale"},
    {{T}, WL("Color"), "OvlDel_ColorValue"},
    {{T}, WL("%u dpi"), "OvlDel_Dpi"},
    {},
};

#define NVX_FULL(entry, page, rows) {entry, page, nullptr, rows, std::size(rows), Variant::None}
#define NVX_CAPTION(entry, page, text) {entry, page, WL(text), nullptr, 0, Variant::None}
#define NVX_VARIANT(entry, text, variant) {entry, 0, WL(text), nullptr, 0, Variant::variant}

}  // namespace

const TableDef kTables[] = {
    {"Common_Items", 0, nullptr, kCommon, std::size(kCommon), Variant::Common},
    NVX_FULL("Property_0", 100, kBasic),
    NVX_CAPTION("Dlg_SaveEasySet", 0, "Save Favorite Settings"),
    NVX_CAPTION("Dlg_SaveEasySet2", 0, "Save Favorite Settings"),
    NVX_CAPTION("Dlg_EditEasySet", 0, "Edit Favorite Settings"),
    NVX_CAPTION("Dlg_EasySetOpt", 0, "Favorite Settings Options"),
    NVX_CAPTION("Dlg_ImportEasySet", 0, "Import Favorite Settings"),
    NVX_CAPTION("Dlg_ExportEasySet", 0, "Export Favorite Settings"),
    NVX_CAPTION("Property_MT1", 0, "My Tab"),
    NVX_CAPTION("Dlg_MyTab_Setting", 0, "My Tab Settings"),
    NVX_CAPTION("PgBar_MyTab_Waiting", 0, "Please wait..."),
    NVX_CAPTION("MyTab_Right_Menu", 0, "My Tab Menu"),
    NVX_CAPTION("Dlg_MyTab_Management", 0, "Manage My Tab"),
    NVX_CAPTION("Property_1", 0, "Paper"),
    NVX_FULL("Dlg_UserPaper", 151, kUserPaper),
    NVX_CAPTION("Dlg_MediaTypeAuto", 0, "Media Type for Auto Selection"),
    NVX_CAPTION("Dlg_MediaType", 0, "Media Type"),
    NVX_VARIANT("Dlg_UserSetting", "User Settings", UserSettingType1),
    NVX_VARIANT("Dlg_UserSetting", "User Settings", UserSettingType2),
    NVX_CAPTION("Dlg_AuthenticationSetting", 0, "Authentication Settings"),
    NVX_CAPTION("Dlg_AuthenticationSVSetting", 0, "Authentication Server Settings"),
    NVX_CAPTION("Dlg_InterimAuthenticSetting", 0, "Authentication"),
    NVX_CAPTION("Property_2", 0, "Layout"),
    NVX_CAPTION("Dlg_SetNupStyle", 0, "Pages per Sheet Settings"),
    NVX_CAPTION("Dlg_SetBookletStyle", 0, "Booklet Settings"),
    NVX_CAPTION("Dlg_SetBindShift", 0, "Binding Margin"),
    NVX_VARIANT("Dlg_SetImgShiftPrn", "Image Shift", ImageShiftPrn),
    NVX_VARIANT("Dlg_SetImgShiftMFP", "Image Shift", ImageShiftMfp),
    NVX_CAPTION("Dlg_PrintPosition", 0, "Print Position"),
    NVX_CAPTION("Property_12", 0, "Finishing"),
    NVX_CAPTION("Dlg_PerfectBinding", 2308, "Perfect Binding Settings"),
    NVX_CAPTION("Dlg_TABImageShift", 0, "Tab Image Shift"),
    NVX_CAPTION("Property_3", 0, "Cover/Insert"),
    NVX_CAPTION("Dlg_CarbonCopy", 0, "Carbon Copy"),
    NVX_CAPTION("Dlg_PerPageSetting", 0, "Per Page Settings"),
    NVX_CAPTION("Dlg_PerPageEditListName", 0, "List Name"),
    NVX_CAPTION("Dlg_PerPagePunch", 0, "Punch"),
    NVX_CAPTION("Dlg_PerPageStaple", 0, "Staple"),
    NVX_CAPTION("Dlg_TabPaperSettings", 0, "Tab Paper Settings"),
    NVX_CAPTION("Dlg_TabTextDetails", 0, "Tab Text Details"),
    NVX_CAPTION("Property_4", 0, "Stamp/Composition"),
    NVX_CAPTION("Dlg_HeaderFooter", 0, "Header/Footer"),
    NVX_CAPTION("Dlg_HeaderFooterEdit", 0, "Edit Header/Footer"),
    NVX_CAPTION("Dlg_NumberingEdit", 0, "Numbering"),
    NVX_CAPTION("Dlg_CopyProtect", 0, "Copy Protection"),
    NVX_CAPTION("Dlg_CopyProtectDrvEdit", 0, "Edit Copy Protection"),
    NVX_CAPTION("Dlg_CopyProtectEdit", 0, "Edit Copy Protection"),
    NVX_CAPTION("Dlg_CopyProtect2Edit", 0, "Edit Copy Guard"),
    NVX_CAPTION("Dlg_CreateOvlForm", 0, "Create Overlay Form"),
    NVX_CAPTION("Dlg_ImportOvlForm", 0, "Import Overlay Form"),
    NVX_CAPTION("Dlg_ManageOvlForm", 0, "Manage Overlay Forms"),
    NVX_CAPTION("Dlg_OverlayInfo", 0, "Overlay Form Information"),
    NVX_FULL("Dlg_OverlayDelete", 0, kOverlayDelete),
    NVX_CAPTION("Dlg_DevOverlayInfo", 0, "Device Overlay Information"),
    NVX_CAPTION("Dlg_DevOvlDevFile", 0, "Device Overlay Files"),
    NVX_CAPTION("Dlg_Watermark", 0, "Watermark"),
    NVX_CAPTION("Dlg_DateTimeFormat", 0, "Date/Time Format"),
    NVX_CAPTION("Dlg_DateTimePageEdit", 0, "Date/Time and Page Number"),
    NVX_CAPTION("Dlg_PageNumStartNum", 0, "Page Number"),
    NVX_CAPTION("Dlg_CopyProtectColor", 0, "Copy Protection Color"),
    NVX_CAPTION("Dlg_CopyProtectBackColor", 0, "Copy Protection Background Color"),
    NVX_CAPTION("Dlg_DistributionNumEdit", 0, "Distribution Number"),
    NVX_CAPTION("Property_6", 0, "Quality"),
    NVX_VARIANT("Dlg_ColorAdjust", "Color Adjustment", ColorAdjust),
    NVX_VARIANT("Dlg_ColorAdjust", "Color Adjustment", ColorAdjust),
    NVX_VARIANT("Dlg_ColorAdjust", "Color Adjustment", ColorAdjust),
    NVX_VARIANT("Dlg_ColorAdjust", "Color Adjustment", ColorAdjust),
    NVX_VARIANT("Dlg_ColorAdjust", "Color Adjustment", ColorAdjust),
    NVX_VARIANT("Dlg_ColorAdjust", "Color Adjustment", ColorAdjust),
    NVX_VARIANT("Dlg_ColorAdjust", "Color Adjustment", ColorAdjust),
    NVX_CAPTION("Dlg_ColorAdjust_T1", 0, "Color Adjustment"),
    NVX_CAPTION("Dlg_ICM", 0, "Color Management"),
    NVX_CAPTION("Dlg_ColorSetting", 0, "Color Settings"),
    NVX_CAPTION("Dlg_ManageProfile", 0, "Manage Profiles"),
    NVX_CAPTION("Dlg_FontSetting", 0, "Font Settings"),
    NVX_FULL("Property_7", 106, kVersion),
    NVX_CAPTION("Property_Other", 0, "Other"),
    NVX_CAPTION("Dlg_VersionInfo", 0, "Version Information"),
    NVX_CAPTION("Pop_ChkBlankRatio", 0, "Blank Page Detection"),
    NVX_CAPTION("Dlg_Overlay_SharedFolder", 0, "Shared Folder"),
    NVX_CAPTION("Dlg_Overlay_SharedFolderEdit", 0, "Edit Shared Folder"),
    NVX_FULL("Property_13", 161, kInitial),
    NVX_CAPTION("Dlg_UserAuthenticationSetting", 0, "User Authentication Settings"),
    NVX_CAPTION("Dlg_AccountTrackSetting", 0, "Account Track Settings"),
    NVX_CAPTION("Dlg_EmailAddressSetting", 0, "E-mail Address Settings"),
    NVX_CAPTION("Property_10", 0, "Configuration"),
    NVX_CAPTION("Dlg_PaperSourceTraySetting", 0, "Paper Source Settings"),
    NVX_CAPTION("Dlg_CustomMediaTypeSetting", 0, "Custom Media Type Settings"),
    NVX_CAPTION("Dlg_AcquisitionSetting", 0, "Acquire Device Information"),
    NVX_CAPTION("Property_11", 0, "Settings"),
    NVX_CAPTION("Dlg_SecurePrintSetting", 0, "Secure Print Settings"),
    NVX_CAPTION("Dlg_AuthenticSetting", 0, "Authentication Settings"),
    NVX_CAPTION("Dlg_WakeOnLANSetting", 0, "Wake on LAN Settings"),
    NVX_CAPTION("Dlg_CustomPaper", 115, "Custom Paper"),
    NVX_CAPTION("Property_FAX", 171, "Fax"),
    NVX_CAPTION("Dlg_FAXCoverSheetSet", 172, "Cover Sheet Settings"),
    NVX_CAPTION("FcsBasic", 0, "Basic"),
    NVX_CAPTION("FcsRecipient", 0, "Recipient"),
    NVX_CAPTION("FcsSender", 0, "Sender"),
    NVX_CAPTION("FcsImage", 0, "Image"),
    NVX_CAPTION("CoverSheetSetList", 0, "Cover Sheet Settings List"),
    NVX_CAPTION("Dlg_LDAPServerReg", 3369, "Directory Server Registration"),
    NVX_CAPTION("Dlg_LDAPServerReg_Connect", 0, "Connection"),
    NVX_CAPTION("Dlg_LDAPServerReg_Search", 0, "Search"),
    NVX_CAPTION("Dlg_LDAPServerReg_Schema", 0, "Schema"),
    NVX_CAPTION("Dlg_SaveCoverSheetSet", 0, "Save Cover Sheet Settings"),
    NVX_CAPTION("Dlg_EditCoverSheetSet", 0, "Edit Cover Sheet Settings"),
    NVX_CAPTION("Pop_FaxTransmission", 180, "Fax Transmission"),
    NVX_CAPTION("Dlg_FaxModeDetails", 181, "Fax Mode Details"),
    NVX_CAPTION("Dlg_ConfirmFaxNumber", 2575, "Confirm Fax Number"),
};
const size_t kTableCount = std::size(kTables);

const NamedTextDef kNamedTexts[static_cast<size_t>(NamedText::Count)] = {
    {NamedText::PresetDefault, "Property_0", "EasySetDefaults", kPresetNameChars},
    {NamedText::PresetUntitled, "Property_0", "EasySetUntitled", kPresetNameChars},
    {NamedText::OverlayName, "Dlg_OverlayDelete", "OvlDel_Name", kNamedTextChars},
    {NamedText::OverlayFile, "Dlg_OverlayDelete", "OvlDel_File", kNamedTextChars},
    {NamedText::OverlayFolder, "Dlg_OverlayDelete", "OvlDel_Folder", kNamedTextChars},
    {NamedText::OverlayPaper, "Dlg_OverlayDelete", "OvlDel_PaperSize", kNamedTextChars},
    {NamedText::OverlayOrientation, "Dlg_OverlayDelete", "OvlDel_Orientation", kNamedTextChars},
    {NamedText::OverlayColor, "Dlg_OverlayDelete", "OvlDel_Color", kNamedTextChars},
    {NamedText::OverlayResolution, "Dlg_OverlayDelete", "OvlDel_Resolution", kNamedTextChars},
    {NamedText::OverlayPortrait, "Dlg_OverlayDelete", "OvlDel_Portrait", kNamedTextChars},
    {NamedText::OverlayLandscape, "Dlg_OverlayDelete", "OvlDel_Landscape", kNamedTextChars},
    {NamedText::OverlayGrayscale, "Dlg_OverlayDelete", "OvlDel_Grayscale", kNamedTextChars},
    {NamedText::OverlayColorValue, "Dlg_OverlayDelete", "OvlDel_ColorValue", kNamedTextChars},
    {NamedText::OverlayDpi, "Dlg_OverlayDelete", "OvlDel_Dpi", kNamedTextChars},
    {NamedText::VersionCore, "Property_7", "Version_Core", kNamedTextChars},
    {NamedText::VersionSub, "Property_7", "Version_Sub", kNamedTextChars},
    {NamedText::VersionData, "Property_7", "Version_VPD", kNamedTextChars},
};

}  // namespace nvx::model::textdata
