// The item-to-field binding: which settings field holds each feature's value.
//
// Only names: the offsets, widths and kinds come from the settings field table
// (settings/oemdev_fields.h), so there is one list of offsets.  A feature that no
// field holds (buttons, sub-dialog lists, texts kept elsewhere) has no row and its
// items stay unbound.

#include <string_view>
#include <unordered_map>

#include "features/ui_items.h"

namespace nvx::features {

const UiFieldBinding kUiFieldBindings[] = {
    // Basic
    {"OutputMethod", "nOutputMethod"},
    {"Orientation", "nOrientation"},
    {"PaperSize", "nPaperSize"},
    {"OutPaperSize", "nOutPaperSize"},
    {"Zoom", "bScaleAuto"},
    {"ZoomValue", "nScale"},
    {"Copies", "nCopies"},
    {"Collate", "bCollate"},
    {"JobOffset", "bJobOffset"},
    {"InTray", "nDefaultSource"},
    {"PaperOption1", "bPaperOption1"},
    {"PaperOption2", "bPaperOption2"},
    {"MediaType", "nMediaType"},
    // The per-tray media items bind to the entry of their tray.
    {"MediaType_Tray1", "PTInfoEach[0].nValue"},
    {"MediaType_Tray2", "PTInfoEach[1].nValue"},
    {"MediaType_Tray3", "PTInfoEach[2].nValue"},
    {"MediaType_Tray4", "PTInfoEach[3].nValue"},
    {"MediaType_LCT", "PTInfoEach[4].nValue"},
    {"MediaType_Manual", "PTInfoEach[5].nValue"},
    {"MediaWeight", "PTInfoAuto.nPaperWeight"},
    {"MediaColor", "PTInfoAuto.nPaperColor"},
    {"MediaPrePunched", "PTInfoAuto.nPaperPrePunched"},
    {"UserPaper_Width", "sizInUserDefPaperMM.cx"},
    {"UserPaper_Length", "sizInUserDefPaperMM.cy"},
    {"OutUserPaper_Width", "sizOutUserDefPaperMM.cx"},
    {"OutUserPaper_Length", "sizOutUserDefPaperMM.cy"},
    {"UserPaper_Unit", "byUnitInUserDefPaper"},
    {"UserAuthentication", "bUserAuth"},
    {"AccountTrack", "bAccountTrack"},
    {"RecipientUserName", "szVLUserName"},
    {"RecipientPassword", "szVLUserKey"},
    {"DepartmentName", "szVLSectionName"},
    {"DepartmentPassword", "szVLSectionKey"},
    {"SingleSignOn", "nSingleSignOn"},
    // Layout
    {"Nup", "bNup"},
    {"Nup_op", "nNup"},
    {"NupStyle", "nPageLayout"},
    {"BorderLine", "bNupBorder_ui"},
    {"BorderLine_op", "bPageBorder"},
    {"BookletBinding", "nBookletOrder"},
    {"PosterMarginLine", "nPosterMarginLine"},
    {"BookletBorder", "bBookletBorder"},
    {"Rotate180", "bRotate180"},
    {"SaveBlankPaper", "bStopBlankPaper"},
    {"Chapter", "bChapterMode"},
    {"DoubleSides", "nDuplex"},
    {"AdhesiveBind", "bMusenToji"},
    {"BindingEdge_MFP", "nBinding"},
    {"BindingShift", "bBinding"},
    {"BindShift_Mode", "nBindingMode"},
    {"BindShift_Front", "nBindingUp"},
    {"BindShift_Back", "nBindingDown"},
    {"BindShift_Same", "bBindingSame"},
    {"BindShift_Unit", "byBindingUnit"},
    {"ImageShift", "bImgShift"},
    {"ImgShiftMFP_Unit", "byImageShiftUnit"},
    {"ImgShiftMFP_Setup", "nImgShiftSetting"},
    {"ImgShiftMFP_Auto", "bImgShiftBackAuto"},
    {"ImgShiftMFP_FrontH_op", "ImgShiftFronSide.byHShift"},
    {"ImgShiftMFP_FrontV_op", "ImgShiftFronSide.byVShift"},
    {"ImgShiftMFP_BackH_op", "ImgShiftBackSide.byHShift"},
    {"ImgShiftMFP_BackV_op", "ImgShiftBackSide.byVShift"},
    {"PrintPosition", "nPrintPosition"},
    {"TABImageShift", "bTABImageShift"},
    // Finishing
    {"Staple", "bStaple"},
    {"Staple_op", "nStapleMode"},
    {"HolePunch", "bPunch"},
    {"HolePunch_op", "nPunchNum"},
    {"CenterStaple", "bCenterStapleFold"},
    {"CenterErase", "bCenterErase"},
    {"OutputTray", "nOutBin"},
    {"Folding", "bFolding"},
    {"Folding_op", "nFoldingMode"},
    {"Trim", "bTrim"},
    {"FoldPageFinish", "nFoldPageNum"},
    {"PileMode", "bPileMode"},
    {"Tandem", "bTandem"},
    {"PerfectBinding", "bPerfectBinding"},
    {"PaperArrangement", "bPaperArrangement"},
    {"PBCoverMode", "nCoverMode"},
    {"PBCoverTray", "nCoverTray"},
    {"PBCoverDuplex", "bCoverDuplex"},
    {"PBCoverTriming", "bCoverTrim"},
    {"PBSpinWidth", "nSpinWidth_mm"},
    // Covers and inserts
    {"FrontCover", "bFrontCover"},
    {"FrontCover_op", "nFrontCoverMode"},
    {"FCoverTray", "nFrontCoverTray"},
    {"BackCover", "bBackCover"},
    {"BackCover_op", "nBackCoverMode"},
    {"BCoverTray", "nBackCoverTray"},
    {"OHP_Interleave", "bOHP"},
    {"OHP_Interleave_op", "nOHPMode"},
    {"OHPIntTray", "nOHPTray"},
    {"PerPageSetting", "CoverMFP.bUsePerPageSet"},
    {"PIFrontCover", "CoverMFP.bPIFCover"},
    {"PIFrontCover_op", "CoverMFP.nPIFCoverTray"},
    {"PIBackCover", "CoverMFP.bPIBCover"},
    {"PIBackCover_op", "CoverMFP.nPIBCoverTray"},
    {"CarbonCopy", "CarbonCopyTBL.bCarbonCopy"},
    {"CC_CopyTray1", "CarbonCopyTBL.bCopyTray1"},
    {"CC_CopyTray2", "CarbonCopyTBL.bCopyTray2"},
    {"CC_CopyTray3", "CarbonCopyTBL.bCopyTray3"},
    {"CC_CopyTray4", "CarbonCopyTBL.bCopyTray4"},
    {"CC_CopyTray5", "CarbonCopyTBL.bCopyTray5"},
    {"CC_CopyTrayLCT", "CarbonCopyTBL.bCopyTrayLCT"},
    {"CC_CopyTrayManual", "CarbonCopyTBL.bCopyTrayManual"},
    {"CC_CopyOrder", "CarbonCopyTBL.nCopyOrder"},
    // Stamps and forms
    {"Watermark", "bWmk"},
    {"WM_FirstPage", "WmkInfo.bFstPg"},
    {"WM_Repeat", "WmkInfo.bMultiStamp"},
    {"HeaderFooter", "bHeadFooter"},
    {"CopyProtect", "bCopyProtect"},
    {"CopyProtect_op", "nCSE_CopyProtectOp"},
    {"Overlay", "bOverlay"},
    {"Overlay_Switch", "nOverlay_Switch_op"},
    {"DateTime", "DateTimePageNo.bDateTime"},
    {"PageNumber", "DateTimePageNo.bPageNo"},
    {"DevOvlSurfacePrint", "DevOvlInfo.bDevOvlSurfacePrint"},
    {"DevOvlSurfaceSelName", "DevOvlInfo.DevOvlSurface.nDevOvlNo"},
    {"DevOvlSurfaceSelColor", "DevOvlInfo.DevOvlSurface.nDevOvlColor"},
    {"DevOvlSurfaceSelDensity", "DevOvlInfo.DevOvlSurface.nDevOvlDensity"},
    {"DevOvlSurfaceSelPlacement", "DevOvlInfo.DevOvlSurface.nDevOvlPlacement"},
    {"DevOvlBackPrint", "DevOvlInfo.bDevOvlBackPrint"},
    {"DevOvlBackSelName", "DevOvlInfo.DevOvlBack.nDevOvlNo"},
    {"DevOvlBackSelColor", "DevOvlInfo.DevOvlBack.nDevOvlColor"},
    {"DevOvlBackSelDensity", "DevOvlInfo.DevOvlBack.nDevOvlDensity"},
    {"DevOvlBackSelPlacement", "DevOvlInfo.DevOvlBack.nDevOvlPlacement"},
    {"DevOvlSameSurface", "DevOvlInfo.bDevOvlSameSurface"},
    {"DevOvlPages", "DevOvlInfo.nDevOvlPages"},
    {"NME_Type", "nNumberingType"},
    {"NME_StartNumber", "nNumberingStartNum"},
    {"NME_Color", "nNumberingColor"},
    {"NME_Density", "nNumberingDensity"},
    {"HFE_PrintHeader", "bHFE_PrintHeader"},
    {"HFE_PrintFooter", "bHFE_PrintFooter"},
    {"HFE_TextColor", "nHFE_TextColor"},
    {"HFE_HeaderPosition", "nHFE_HeaderPos"},
    {"HFE_FooterPosition", "nHFE_FooterPos"},
    {"CP_StampText", "bStamp"},
    {"CP_StampType", "nStampType"},
    {"CP_FixedStamp_op", "nFixedStamp"},
    {"CP_RegistStamp_op", "nRecordStamp"},
    {"CP_DateTime", "bTimeDate"},
    {"CP_SerialNumber", "bSerialNo"},
    {"CP_Pattern", "nPattern"},
    {"CP_PatternSize", "nPatternSize"},
    {"CP_Angle", "nAngle"},
    {"CPE_CompositeMethod", "bCompositeMethod"},
    {"CPE_CP_Color", "nCPE_CP_Color"},
    {"CPE_SS_Color", "nCPE_SS_Color"},
    {"CPE_DistributionNumber", "bDistributionNumber"},
    // The copy guard: the text switch, distribution number, angle, colour,
    // placement and effect (emboss the text or the background).  Its text list
    // (CSE_String_op) and density are the dialog's own (stamps/copy_protect.h).
    {"CSE_String", "bStamp"},
    {"CSE_DistributionNumber", "bDistributionNumber"},
    {"CSE_TextAngle", "nAngle"},
    {"CSE_CP_Color", "nCPE_CP_Color"},
    {"CSE_CP_Placement", "nCPE_CP_Placement"},
    {"CSE_CP_Effect", "nBackPattern"},
    {"DPE_DateTime", "DateTimePageNo.bDateTime"},
    {"DPE_DateTimePagetoPrint", "DateTimePageNo.nDT_PagetoPrint"},
    {"DPE_DateTimeColor", "DateTimePageNo.nDT_Color"},
    {"DPE_PageNumber", "DateTimePageNo.bPageNo"},
    {"DPE_PageNumStartPage", "DateTimePageNo.nPN_StartPage"},
    {"DPE_PageNumStartNum", "DateTimePageNo.nPN_StartNum"},
    {"DPE_PageNumColor", "DateTimePageNo.nPN_PrintNumColor"},
    {"DPE_PN_PageNumFormat", "DateTimePageNo.bPN_PageNumFormat"},
    {"DPE_PN_ChapterNum", "DateTimePageNo.nPN_ChapterNum"},
    // Quality
    {"SelectColor", "nColorMode"},
    {"SelectColor_RB", "nColorMode"},
    {"TwoColors", "nSelectTwoColors"},
    {"Pattern", "nColorPattern"},
    {"GlossyMode", "bGlossyMode"},
    {"Point4Character", "bPoint4Char"},
    {"DiminBarcode", "bDiminBarcode"},
    {"ColorSeparation", "bColorSeparation"},
    {"ImageCompression", "nCompressMode"},
    {"Dnst_TonerSave", "bTonerSave"},
    {"Dnst_DraftPrint", "bDraftPrint"},
    {"Smoothing", "bSmoothing"},
    {"Smoothing_op", "nSmoothing"},
    {"Thinning", "bThinning"},
    {"Thinning_op", "nThinning"},
    {"PrintWithBlack", "bPrintBlack"},
    {"PrintWithBlack_op", "nPrintBlack"},
    {"AutoTrapping", "bAutoTrapping"},
    {"BlackOverPrint", "bBlackOverPrint"},
    {"BlackOverPrint_op", "nBlackOverPrint"},
    {"RGBProf", "nCommonRGBColor"},
    {"Text_RGBProf", "nCharRGBColor"},
    {"Img_RGBProf", "nImageRGBColor"},
    {"Graph_RGBProf", "nGraphicsRGBColor"},
    {"Text_RGBColorMatch", "ColorChar.nColorChg"},
    {"Text_Halftone", "ColorChar.nScreen"},
    {"Text_RGBGray", "ColorChar.nMkBlack"},
    {"Text_Destination", "nCharDestColor"},
    {"Img_RGBColorMatch", "ColorImage.nColorChg"},
    {"Img_Halftone", "ColorImage.nScreen"},
    {"Img_RGBGray", "ColorImage.nMkBlack"},
    {"Img_Destination", "nImageDestColor"},
    {"Graph_RGBColorMatch", "ColorGraphics.nColorChg"},
    {"Graph_Halftone", "ColorGraphics.nScreen"},
    {"Graph_RGBGray", "ColorGraphics.nMkBlack"},
    {"Graph_Destination", "nGraphDestColor"},
    {"Graphics", "nColorGraphics"},
    {"Img_Edge", "bImageEdgeEnhance"},
    {"Text_Edge", "bCharEdgeEnhance"},
    {"Graph_Edge", "bGraphEdgeEnhance"},
    {"ICM_Method", "ColorICM.nMethod"},
    {"ICM_Intent", "ColorICM.nIntent"},
    {"ColAdj_SimulationProf", "nSimProfileMode"},
    {"ColAdj_DestinationProf", "nDestProfileMode"},
    {"ColAdj_MatchPaperColor", "bMatchPaperColor"},
    {"ColAdj_Simu_CMYKGray", "nSimCMYKGray"},
    {"FontDownload", "nFontDownLoad"},
    {"FontSubstitute", "nTTFont"},
    {"Resolution", "byResolution"},
    // Other
    {"RectOutMode", "bRectOutMode"},
    {"OverlayForPPT", "bPPTRmvWhiteBkg"},
    {"EmailNotify", "bEmailNotify"},
    {"EmailAddress", "szEmailAddress"},
    {"ChkBlankRatio", "bChkBlankRatio"},
    {"ChkBlankRatio_op", "nChkBlankRatio"},
    {"RoundOffColorValue", "bRoundOffColorValue"},
    {"RoundOffCol_ThresholdVal", "nRoundOffCol_ThresholdVal"},
};
const size_t kUiFieldBindingCount = sizeof(kUiFieldBindings) / sizeof(kUiFieldBindings[0]);

const char* UiFieldNameOf(std::string_view feature) {
    for (const UiFieldBinding& b : kUiFieldBindings)
        if (feature == b.feature) return b.field;
    return nullptr;
}

uint32_t StorageTypeOf(settings::FieldKind kind) {
    switch (kind) {
    case settings::FieldKind::U8: return kUiStoreU8;
    case settings::FieldKind::I8: return kUiStoreI8;
    case settings::FieldKind::U16: return kUiStoreU16;
    case settings::FieldKind::I16: return kUiStoreI16;
    case settings::FieldKind::U32: return kUiStoreU32;
    case settings::FieldKind::Ansi:
    case settings::FieldKind::Text: return kUiStoreI8;  // read as the first byte
    }
    return kUiStoreNone;
}

namespace {

// Every binding resolved once per process: the field table is constant.
const std::unordered_map<std::string_view, settings::FieldRef>& ResolvedBindings() {
    static const std::unordered_map<std::string_view, settings::FieldRef> map = [] {
        std::unordered_map<std::string_view, settings::FieldRef> m;
        for (const UiFieldBinding& b : kUiFieldBindings)
            if (settings::FieldRef ref = settings::FindField(b.field)) m.emplace(b.feature, ref);
        return m;
    }();
    return map;
}

}  // namespace

void BindUiItemFields(UiItemTable& table) {
    const auto& bindings = ResolvedBindings();
    for (size_t i = 0; i < table.count; ++i) {
        UiItem& item = table.rows[i];
        item.state.field = {};
        item.state.storage = kUiStoreNone;
        if (item.deviceOption) continue;  // device options live in the device-option record
        char name[kUiNameBytes] = {};
        size_t n = 0;
        bool ascii = true;
        for (; n + 1 < kUiNameBytes && item.feature[n]; ++n) {
            ascii = ascii && item.feature[n] < 0x80;  // binding names are ASCII
            name[n] = static_cast<char>(item.feature[n]);
        }
        if (!ascii) continue;
        auto it = bindings.find(std::string_view(name, n));
        if (it == bindings.end()) continue;
        item.state.field = it->second;
        item.state.storage = StorageTypeOf(it->second.def->kind);
    }
}

}  // namespace nvx::features
