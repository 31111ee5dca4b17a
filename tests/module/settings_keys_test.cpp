// Every key of the settings text's "OEMDEV" section resolves to exactly one field of
// the record, and every field that the text carries has exactly one key.
//
// The list is the section's key list in writing order, every numbered key written
// out for each of its indexes.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "settings/oemdev_fields.h"

namespace {

using namespace nvx::settings;

const char* const kSectionKeys[] = {
    "bPassthruOff", "nOrientation", "nPaperSize", "sizPaper.cx", "sizPaper.cy", "rcMargin.left", "rcMargin.top",
    "rcMargin.right", "rcMargin.bottom", "byUnitInUserDefPaper", "sizInUserDefPaperMM.cx", "sizInUserDefPaperMM.cy",
    "sizInUserDefPaperIN.cx", "sizInUserDefPaperIN.cy", "nOutPaperSize", "sizOutPaper.cx", "sizOutPaper.cy",
    "byUnitOutUserDefPaper", "sizOutUserDefPaperMM.cx", "sizOutUserDefPaperMM.cy", "sizOutUserDefPaperIN.cx",
    "sizOutUserDefPaperIN.cy", "bScaleAuto", "nScale", "nDefaultSource", "nMediaType", "PTInfoAuto.szKey",
    "PTInfoAuto.nValue", "PTInfoAuto.nPaperType2", "PTInfoAuto.nPaperWeight", "PTInfoAuto.nPaperColor",
    "PTInfoAuto.nPaperPrePunched", "PTInfoEach[0].szKey", "PTInfoEach[0].nValue", "PTInfoEach[0].nPaperType2",
    "PTInfoEach[0].nPaperWeight", "PTInfoEach[0].nPaperColor", "PTInfoEach[0].nPaperPrePunched",
    "PTInfoEach[1].szKey", "PTInfoEach[1].nValue", "PTInfoEach[1].nPaperType2", "PTInfoEach[1].nPaperWeight",
    "PTInfoEach[1].nPaperColor", "PTInfoEach[1].nPaperPrePunched", "PTInfoEach[2].szKey", "PTInfoEach[2].nValue",
    "PTInfoEach[2].nPaperType2", "PTInfoEach[2].nPaperWeight", "PTInfoEach[2].nPaperColor",
    "PTInfoEach[2].nPaperPrePunched", "PTInfoEach[3].szKey", "PTInfoEach[3].nValue", "PTInfoEach[3].nPaperType2",
    "PTInfoEach[3].nPaperWeight", "PTInfoEach[3].nPaperColor", "PTInfoEach[3].nPaperPrePunched",
    "PTInfoEach[4].szKey", "PTInfoEach[4].nValue", "PTInfoEach[4].nPaperType2", "PTInfoEach[4].nPaperWeight",
    "PTInfoEach[4].nPaperColor", "PTInfoEach[4].nPaperPrePunched", "PTInfoEach[5].szKey", "PTInfoEach[5].nValue",
    "PTInfoEach[5].nPaperType2", "PTInfoEach[5].nPaperWeight", "PTInfoEach[5].nPaperColor",
    "PTInfoEach[5].nPaperPrePunched", "PTInfoEach[6].szKey", "PTInfoEach[6].nValue", "PTInfoEach[6].nPaperType2",
    "PTInfoEach[6].nPaperWeight", "PTInfoEach[6].nPaperColor", "PTInfoEach[6].nPaperPrePunched",
    "PTInfoEach[7].szKey", "PTInfoEach[7].nValue", "PTInfoEach[7].nPaperType2", "PTInfoEach[7].nPaperWeight",
    "PTInfoEach[7].nPaperColor", "PTInfoEach[7].nPaperPrePunched", "PTInfoEach[8].szKey", "PTInfoEach[8].nValue",
    "PTInfoEach[8].nPaperType2", "PTInfoEach[8].nPaperWeight", "PTInfoEach[8].nPaperColor",
    "PTInfoEach[8].nPaperPrePunched", "PTInfoEach[9].szKey", "PTInfoEach[9].nValue", "PTInfoEach[9].nPaperType2",
    "PTInfoEach[9].nPaperWeight", "PTInfoEach[9].nPaperColor", "PTInfoEach[9].nPaperPrePunched", "nCopies",
    "bCollate", "bJobOffset", "nPrintPosition", "nOutputMethod", "bPaperOption1", "bPaperOption2", "bUserAuth",
    "nBoxHoldType", "szVLUserName", "szVLUserKey", "bAccountTrack", "szVLSectionName", "szVLSectionKey", "bNup",
    "nNup", "nPageLayout", "bNupBorder_ui", "bPageBorder", "nPosterMarginLine", "bRotate180", "bStopBlankPaper",
    "bChapterMode", "szChapterPage", "nDuplex", "nBookletOrder", "bBookletBorder", "bPrintOrder", "byNupPages",
    "byNupOrder", "bNupBorder", "byPosterPages", "bPosterBorder", "byBookletOrder", "wBookletSheets",
    "wBookletMargin", "bBinding", "nBinding", "bBindingSame", "byBindingUnit", "nBindingUp", "nBindingDown",
    "nBindingUp_Inch", "nBindingDown_Inch", "nBindingMode", "bImgShift", "byImageShiftUnit", "nFrontImgShiftX",
    "nFrontImgShiftY", "nBackImgShiftX", "nBackImgShiftY", "nFrontImgShiftX_Inch", "nFrontImgShiftY_Inch",
    "nBackImgShiftX_Inch", "nBackImgShiftY_Inch", "nImgShiftSetting", "ImgShiftFronSide.byHShift",
    "ImgShiftFronSide.byVShift", "ImgShiftFronSide.nX", "ImgShiftFronSide.nY", "ImgShiftFronSide.nInterval",
    "ImgShiftFronSide.nOffset", "ImgShiftFronSide.nX_Inch", "ImgShiftFronSide.nY_Inch",
    "ImgShiftFronSide.nInterval_Inch", "ImgShiftFronSide.nOffset_Inch", "ImgShiftBackSide.byHShift",
    "ImgShiftBackSide.byVShift", "ImgShiftBackSide.nX", "ImgShiftBackSide.nY", "ImgShiftBackSide.nInterval",
    "ImgShiftBackSide.nOffset", "ImgShiftBackSide.nX_Inch", "ImgShiftBackSide.nY_Inch",
    "ImgShiftBackSide.nInterval_Inch", "ImgShiftBackSide.nOffset_Inch", "bImgShiftBackAuto", "nFrontImgShiftGap",
    "nFrontImgShiftOutOfs", "nBackImgShiftGap", "nBackImgShiftOutOfs", "bStaple", "nStapleMode", "bPunch",
    "nPunchNum", "nOutBin", "nOutputMode", "bCenterStapleFold", "bCenterErase", "bFolding", "nFoldingMode",
    "bMusenToji", "bTrim", "bLayout", "nLayoutMode", "bPageLoop", "nPageLoopNum", "bPileMode", "bTandem",
    "nFoldPageNum", "bPerfectBinding", "bTABImageShift", "bPaperArrangement", "nCoverMode", "nCoverTray",
    "bCoverDuplex", "bCoverTrim", "nSpinWidth_mm", "nTABWidth_mm", "bFrontCover", "nFrontCoverMode",
    "nFrontCoverTray", "bBackCover", "nBackCoverMode", "nBackCoverTray", "bOHP", "nOHPMode", "nOHPTray",
    "CoverPrinter.bSeparator", "CoverPrinter.nSeparatorMode", "CoverPrinter.nSeparatorTray",
    "CoverPrinter.nSeparatorPageSource", "CoverMFP.bPIFCover", "CoverMFP.nPIFCoverTray", "CoverMFP.nPIFCoverNum",
    "CoverMFP.bPIBCover", "CoverMFP.nPIBCoverTray", "CoverMFP.nPIBCoverNum", "CoverMFP.bUsePerPageSet",
    "CoverMFP.nPerPageList", "CarbonCopyTBL.bCarbonCopy", "CarbonCopyTBL.nCopyOrder", "CarbonCopyTBL.bCopyTray1",
    "CarbonCopyTBL.bCopyTray2", "CarbonCopyTBL.bCopyTray3", "CarbonCopyTBL.bCopyTray4", "CarbonCopyTBL.bCopyTray5",
    "CarbonCopyTBL.bCopyTrayLCT", "CarbonCopyTBL.bCopyTrayManual", "bWmk", "wWmkListPos", "WmkInfo.szKey",
    "WmkInfo.szWmkTitle", "WmkInfo.szWmkStr", "WmkInfo.szFontName", "WmkInfo.nStyle", "WmkInfo.wSize",
    "WmkInfo.crColor", "WmkInfo.nAngle", "WmkInfo.ptWmkPos.x", "WmkInfo.ptWmkPos.y", "WmkInfo.ptStrPOS.x",
    "WmkInfo.ptStrPOS.y", "WmkInfo.wFrame", "WmkInfo.bBkGrnd", "WmkInfo.bFstPg", "WmkInfo.bMultiStamp", "bHeadFooter",
    "bNumbering", "nNumberingType", "nNumberingDensity", "nNumberingColor", "nNumberingMode", "nNumberingStartNum",
    "bDateStamp", "nDateStampType", "nDateStampMode", "bPageStamp", "nPageStampMode", "nPageStampStartPage",
    "nPageStampStartNum", "nHFE_DevSetting", "bHFE_PrintHeader", "bHFE_PrintFooter", "dwHFE_StartNumber",
    "bHFE_Digit", "nHFE_PagetoPrint", "nHFE_TextColor", "nHFE_HeaderPos", "nHFE_FooterPos", "bCopyProtect",
    "nCSE_CopyProtectOp", "bStamp", "nStampType", "nFixedStamp", "nRecordStamp", "bTimeDate", "nDateFormat",
    "nTimeFormat", "nPattern", "nPatternSize", "nAngle", "bSerialNo", "bDistributionNumber", "bJobNumber",
    "bCompositeMethod", "nCPE_CP_Placement", "nCPE_SS_Placement", "nBackPattern", "nCPE_CP_Color", "nCPE_CP_Density",
    "nCPE_CP_Contrast", "nCPE_SS_Color", "nCPE_SS_Density", "DateTimePageNo.bDateTime",
    "DateTimePageNo.nDT_PagetoPrint", "DateTimePageNo.nDT_Color", "DateTimePageNo.nDT_Position",
    "DateTimePageNo.bPageNo", "DateTimePageNo.nPN_StartPage", "DateTimePageNo.nPN_StartNum",
    "DateTimePageNo.nPN_ChapterNum", "DateTimePageNo.bPN_PageNumFormat", "DateTimePageNo.bPN_PrintCoverCK",
    "DateTimePageNo.nPN_PrintCover", "DateTimePageNo.nPN_PrintNumColor", "DateTimePageNo.nPN_PrintNumPos",
    "CP_DateTime.wDateFormat", "CP_DateTime.bTimeFormat", "CP_DateTime.wTimeFormat", "DPE_DateTime.wDateFormat",
    "DPE_DateTime.bTimeFormat", "DPE_DateTime.wTimeFormat", "dwStartNumber", "bDigit", "szCPText", "szCPFontName",
    "bOverlay", "nFormListPos", "bCreateForm", "szOvlFname_PS", "dwOvlSrcType", "nOverlay", "nFormLaying",
    "nOverlay_Switch_op", "nFormListPos2p", "bEnable2p", "DevOvlInfo.bDevOvlSurfacePrint",
    "DevOvlInfo.DevOvlSurface.nDevOvlNo", "DevOvlInfo.DevOvlSurface.nDevOvlColor",
    "DevOvlInfo.DevOvlSurface.nDevOvlDensity", "DevOvlInfo.DevOvlSurface.nDevOvlPlacement",
    "DevOvlInfo.bDevOvlBackPrint", "DevOvlInfo.DevOvlBack.nDevOvlNo", "DevOvlInfo.DevOvlBack.nDevOvlColor",
    "DevOvlInfo.DevOvlBack.nDevOvlDensity", "DevOvlInfo.DevOvlBack.nDevOvlPlacement", "DevOvlInfo.bDevOvlSameSurface",
    "DevOvlInfo.nDevOvlPages", "nColorMode", "nColorMatch", "ColorAdjustPRT.nType", "ColorAdjustPRT.nBrightness",
    "ColorAdjustPRT.nContrast", "ColorAdjustPRT.nSaturation", "ColorAdjustMFP.nMatchSettings",
    "ColorAdjustMFP.nMatchType", "ColorAdjustMFP.MatchAll.nType", "ColorAdjustMFP.MatchAll.nBrightness",
    "ColorAdjustMFP.MatchAll.nContrast", "ColorAdjustMFP.MatchAll.nSaturation", "ColorAdjustMFP.BalanceAll.nCyan",
    "ColorAdjustMFP.BalanceAll.nMagenta", "ColorAdjustMFP.BalanceAll.nYellow", "ColorAdjustMFP.BalanceAll.nBlack",
    "ColorAdjustMFP.OthersAll.nPureBlack", "ColorAdjustMFP.OthersAll.nScreen", "ColorAdjustMFP.OthersAll.nSmoothing",
    "ColorAdjustMFP.EachText.Match.nType", "ColorAdjustMFP.EachText.Match.nBrightness",
    "ColorAdjustMFP.EachText.Match.nContrast", "ColorAdjustMFP.EachText.Match.nSaturation",
    "ColorAdjustMFP.EachText.Balance.nCyan", "ColorAdjustMFP.EachText.Balance.nMagenta",
    "ColorAdjustMFP.EachText.Balance.nYellow", "ColorAdjustMFP.EachText.Balance.nBlack",
    "ColorAdjustMFP.EachText.Others.nPureBlack", "ColorAdjustMFP.EachText.Others.nScreen",
    "ColorAdjustMFP.EachText.Others.nSmoothing", "ColorAdjustMFP.EachText.Others.nScreen2",
    "ColorAdjustMFP.EachPhoto.Match.nType", "ColorAdjustMFP.EachPhoto.Match.nBrightness",
    "ColorAdjustMFP.EachPhoto.Match.nContrast", "ColorAdjustMFP.EachPhoto.Match.nSaturation",
    "ColorAdjustMFP.EachPhoto.Balance.nCyan", "ColorAdjustMFP.EachPhoto.Balance.nMagenta",
    "ColorAdjustMFP.EachPhoto.Balance.nYellow", "ColorAdjustMFP.EachPhoto.Balance.nBlack",
    "ColorAdjustMFP.EachPhoto.Others.nPureBlack", "ColorAdjustMFP.EachPhoto.Others.nScreen",
    "ColorAdjustMFP.EachPhoto.Others.nSmoothing", "ColorAdjustMFP.EachEtc.nMatchBalance",
    "ColorAdjustMFP.EachEtc.nScreenSmooth", "ColorAdjustMFP.EachEtcType2.Match.nType",
    "ColorAdjustMFP.EachEtcType2.Match.nBrightness", "ColorAdjustMFP.EachEtcType2.Match.nContrast",
    "ColorAdjustMFP.EachEtcType2.Match.nSaturation", "ColorAdjustMFP.EachEtcType2.Balance.nCyan",
    "ColorAdjustMFP.EachEtcType2.Balance.nMagenta", "ColorAdjustMFP.EachEtcType2.Balance.nYellow",
    "ColorAdjustMFP.EachEtcType2.Balance.nBlack", "ColorAdjustMFP.EachEtcType2.Others.nPureBlack",
    "ColorAdjustMFP.EachEtcType2.Others.nScreen", "ColorAdjustMFP.EachEtcType2.Others.nSmoothing", "nMonoDensity",
    "nMonoBrightness", "nMonoContrast", "nSelectTwoColors", "ColorICM.nMethod", "ColorICM.nIntent", "byResolution",
    "nResoH", "nResoV", "nResoHV", "nBitsPixel", "bAutoTrapping", "bBlackOverPrint", "nBlackOverPrint",
    "nColorPattern", "nCompressMode", "bGlossyMode", "bTonerSave", "bPoint4Char", "bDiminBarcode", "bColorSeparation",
    "bSmoothing", "bThinning", "nThinning", "bPrintBlack", "nPrintBlack", "bEdgeType", "nEdgeType",
    "ColorImage.nColorChg", "ColorImage.nScreen", "ColorImage.nMkBlack", "ColorImage.nDestProfile",
    "ColorChar.nColorChg", "ColorChar.nScreen", "ColorChar.nMkBlack", "ColorChar.nDestProfile",
    "ColorGraphics.nColorChg", "ColorGraphics.nScreen", "ColorGraphics.nMkBlack", "ColorGraphics.nDestProfile",
    "nColorGraphics", "nSimProfileMode", "SimProfile.szProfileName", "SimProfile.szDownloadName",
    "SimProfile.dwSrcType", "nDestProfileMode", "DestProfile.szProfileName", "DestProfile.szDownloadName",
    "DestProfile.dwSrcType", "dwProfSrcType", "nCommonRGBColor", "nImageRGBColor", "nCharRGBColor",
    "nGraphicsRGBColor", "CharRGBSc.szProfileName", "CharRGBSc.szDownloadName", "CharRGBSc.dwSrcType",
    "ImageRGBSc.szProfileName", "ImageRGBSc.szDownloadName", "ImageRGBSc.dwSrcType", "GraphRGBSc.szProfileName",
    "GraphRGBSc.szDownloadName", "GraphRGBSc.dwSrcType", "nCharDestColor", "nImageDestColor", "nGraphDestColor",
    "CharDestSc.szProfileName", "CharDestSc.szDownloadName", "CharDestSc.dwSrcType", "ImageDestSc.szProfileName",
    "ImageDestSc.szDownloadName", "ImageDestSc.dwSrcType", "GraphDestSc.szProfileName", "GraphDestSc.szDownloadName",
    "GraphDestSc.dwSrcType", "bImageEdgeEnhance", "bCharEdgeEnhance", "bGraphEdgeEnhance", "bMatchPaperColor",
    "nSimCMYKGray", "nJpegCompressRatio", "nJpegSamplingRate", "nTTFont", "nFontDownLoad", "SubTTFontName[0]",
    "SubTTFontName[1]", "SubTTFontName[2]", "SubTTFontName[3]", "SubTTFontName[4]", "SubTTFontName[5]",
    "SubTTFontName[6]", "SubTTFontName[7]", "SubTTFontName[8]", "SubTTFontName[9]", "SubTTFontName[10]",
    "SubTTFontName[11]", "SubTTFontName[12]", "SubTTFontName[13]", "SubTTFontName[14]", "SubTTFontName[15]",
    "SubTTFontName[16]", "SubTTFontName[17]", "SubTTFontName[18]", "SubTTFontName[19]", "SubTTFontName[20]",
    "SubTTFontName[21]", "SubTTFontName[22]", "SubTTFontName[23]", "SubTTFontName[24]", "SubTTFontName[25]",
    "SubTTFontName[26]", "bySubPrnFontIndex[0]", "bySubPrnFontIndex[1]", "bySubPrnFontIndex[2]",
    "bySubPrnFontIndex[3]", "bySubPrnFontIndex[4]", "bySubPrnFontIndex[5]", "bySubPrnFontIndex[6]",
    "bySubPrnFontIndex[7]", "bySubPrnFontIndex[8]", "bySubPrnFontIndex[9]", "bySubPrnFontIndex[10]",
    "bySubPrnFontIndex[11]", "bySubPrnFontIndex[12]", "bySubPrnFontIndex[13]", "bySubPrnFontIndex[14]",
    "bySubPrnFontIndex[15]", "bySubPrnFontIndex[16]", "bySubPrnFontIndex[17]", "bySubPrnFontIndex[18]",
    "bySubPrnFontIndex[19]", "bySubPrnFontIndex[20]", "bySubPrnFontIndex[21]", "bySubPrnFontIndex[22]",
    "bySubPrnFontIndex[23]", "bySubPrnFontIndex[24]", "bySubPrnFontIndex[25]", "bySubPrnFontIndex[26]",
    "SubPrnFontName[0]", "SubPrnFontName[1]", "SubPrnFontName[2]", "SubPrnFontName[3]", "SubPrnFontName[4]",
    "SubPrnFontName[5]", "SubPrnFontName[6]", "SubPrnFontName[7]", "SubPrnFontName[8]", "SubPrnFontName[9]",
    "SubPrnFontName[10]", "SubPrnFontName[11]", "SubPrnFontName[12]", "SubPrnFontName[13]", "SubPrnFontName[14]",
    "SubPrnFontName[15]", "SubPrnFontName[16]", "SubPrnFontName[17]", "SubPrnFontName[18]", "SubPrnFontName[19]",
    "SubPrnFontName[20]", "SubPrnFontName[21]", "SubPrnFontName[22]", "SubPrnFontName[23]", "SubPrnFontName[24]",
    "SubPrnFontName[25]", "SubPrnFontName[26]", "SubFontEntryNum", "SubTTFontNameNumber[0]", "SubTTFontNameNumber[1]",
    "SubTTFontNameNumber[2]", "SubTTFontNameNumber[3]", "SubTTFontNameNumber[4]", "SubTTFontNameNumber[5]",
    "SubTTFontNameNumber[6]", "SubTTFontNameNumber[7]", "SubTTFontNameNumber[8]", "SubTTFontNameNumber[9]",
    "SubTTFontNameNumber[10]", "SubTTFontNameNumber[11]", "SubTTFontNameNumber[12]", "SubTTFontNameNumber[13]",
    "SubTTFontNameNumber[14]", "SubTTFontNameNumber[15]", "SubTTFontNameNumber[16]", "SubTTFontNameNumber[17]",
    "SubTTFontNameNumber[18]", "SubTTFontNameNumber[19]", "SubTTFontNameNumber[20]", "SubTTFontNameNumber[21]",
    "SubTTFontNameNumber[22]", "SubTTFontNameNumber[23]", "SubTTFontNameNumber[24]", "SubTTFontNameNumber[25]",
    "SubTTFontNameNumber[26]", "bPPTRmvWhiteBkg", "bRectOutMode", "b2ColorGradation", "bChkBlankRatio",
    "nChkBlankRatio", "bRoundOffColorValue", "nRoundOffCol_ThresholdVal", "nSingleSignOn", "FaxSetting.fgPrtRecFile",
    "FaxSetting.fgTimerSend", "FaxSetting.bySendHour", "FaxSetting.bySendMinute", "FaxSetting.fgSubAddress",
    "FaxSetting.szSubAddress", "FaxSetting.fgSendID", "FaxSetting.szSendID", "FaxSetting.fgFaxCoverSheet",
    "bDraftPrint", "nLowDensity", "nSmoothing", "sizServerPaper.cx", "sizServerPaper.cy",
};
constexpr size_t kSectionKeyCount = sizeof(kSectionKeys) / sizeof(kSectionKeys[0]);

// How many rows a key names, by brute force over the table (independent of the
// lookup's index): a plain row by its exact name, a numbered row by its pattern.
int RowsNaming(const std::string& key) {
    int hits = 0;
    for (size_t i = 0; i < kOemDevFieldCount; ++i) {
        const FieldDef& def = kOemDevFields[i];
        if (def.count == 1) {
            hits += key == def.name;
            continue;
        }
        const char* mark = std::strstr(def.name, "%d");
        const std::string head(def.name, mark), tail(mark + 2);
        if (key.size() <= head.size() + tail.size() || key.compare(0, head.size(), head) != 0 ||
            key.compare(key.size() - tail.size(), tail.size(), tail) != 0)
            continue;
        const std::string digits = key.substr(head.size(), key.size() - head.size() - tail.size());
        if (digits.find_first_not_of("0123456789") == std::string::npos && std::stoul(digits) < def.count) ++hits;
    }
    return hits;
}

TEST(SettingsKeys, EveryKeyResolvesToExactlyOneField) {
    EXPECT_EQ(611u, kSectionKeyCount);
    std::set<std::pair<const FieldDef*, uint32_t>> elements;
    for (const char* key : kSectionKeys) {
        FieldRef ref = FindExchangeKey(key);
        ASSERT_TRUE(ref) << key;
        EXPECT_EQ(1, RowsNaming(key)) << key;
        EXPECT_TRUE(elements.insert({ref.def, ref.index}).second) << key << " shares its field";
    }
    // And the other way round: the text carries every exchanged element, once.
    size_t exchanged = 0;
    for (size_t i = 0; i < kOemDevFieldCount; ++i)
        if (kOemDevFields[i].use == kExchanged) exchanged += kOemDevFields[i].count;
    EXPECT_EQ(kSectionKeyCount, exchanged);
}

// The writer takes its keys and their order from the table alone: expanded, the table
// gives the section's key list, key for key in the same order.
TEST(SettingsKeys, WritingOrderIsTheSectionsKeyOrder) {
    const auto& order = ExchangeOrder();
    ASSERT_EQ(kSectionKeyCount, order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(kSectionKeys[i], order[i].key) << "at " << i;
        FieldRef ref = FindExchangeKey(order[i].key);
        EXPECT_EQ(ref.def, order[i].field.def) << order[i].key;
        EXPECT_EQ(ref.index, order[i].field.index) << order[i].key;
    }
}

TEST(SettingsKeys, KeyKindsAndCapacitiesMatchTheText) {
    // Strings with their capacities in characters, narrow strings in bytes.
    const std::pair<const char*, size_t> strings[] = {
        {"szChapterPage", 512},       {"WmkInfo.szWmkTitle", 32},      {"WmkInfo.szWmkStr", 129},
        {"WmkInfo.szFontName", 32},   {"szCPText", 32},                {"szCPFontName", 32},
        {"szOvlFname_PS", 41},        {"SimProfile.szProfileName", 41}, {"GraphDestSc.szDownloadName", 41},
        {"FaxSetting.szSubAddress", 21}, {"FaxSetting.szSendID", 21}};
    for (const auto& [key, capacity] : strings) {
        FieldRef ref = FindExchangeKey(key);
        ASSERT_TRUE(ref) << key;
        EXPECT_EQ(FieldKind::Text, ref.def->kind) << key;
        EXPECT_EQ(capacity, TextCapacity(*ref.def)) << key;
    }
    const std::pair<const char*, size_t> narrow[] = {
        {"PTInfoAuto.szKey", 32}, {"PTInfoEach[9].szKey", 32}, {"szVLUserName", 193}, {"szVLUserKey", 73},
        {"szVLSectionName", 9},   {"szVLSectionKey", 17},      {"WmkInfo.szKey", 32},  {"SubTTFontName[26]", 32},
        {"SubPrnFontName[0]", 32}};
    for (const auto& [key, capacity] : narrow) {
        FieldRef ref = FindExchangeKey(key);
        ASSERT_TRUE(ref) << key;
        EXPECT_EQ(FieldKind::Ansi, ref.def->kind) << key;
        EXPECT_EQ(capacity, TextCapacity(*ref.def)) << key;
    }
    // Everything else in the section is a number.
    size_t texts = 0;
    for (const char* key : kSectionKeys)
        if (!IsNumberKind(FindExchangeKey(key).def->kind)) ++texts;
    // 25 UTF-16 fields, 6 plain ANSI fields, 10 + 27 + 27 numbered ANSI names.
    EXPECT_EQ(25u + 6u + 10u + 27u + 27u, texts);
}

TEST(SettingsKeys, LookupIsExactAndIndexesAreCanonical) {
    EXPECT_TRUE(FindExchangeKey("nCopies"));
    EXPECT_FALSE(FindExchangeKey("ncopies"));           // case matters
    EXPECT_FALSE(FindExchangeKey("nCopies "));
    EXPECT_FALSE(FindExchangeKey(""));
    EXPECT_FALSE(FindExchangeKey("PTInfoEach[%d].szKey"));  // the pattern is not a key
    EXPECT_FALSE(FindExchangeKey("PTInfoEach[10].szKey"));  // ten entries: 0 to 9
    EXPECT_FALSE(FindExchangeKey("PTInfoEach[01].szKey"));
    EXPECT_FALSE(FindExchangeKey("PTInfoEach[+1].szKey"));
    EXPECT_FALSE(FindExchangeKey("PTInfoEach[].szKey"));
    EXPECT_FALSE(FindExchangeKey("PTInfoEach[1].szkey"));
    EXPECT_FALSE(FindExchangeKey("SubTTFontName[27]"));
    EXPECT_FALSE(FindExchangeKey("SubTTFontName[4294967297]"));
    EXPECT_FALSE(FindExchangeKey("nCopies[0]"));        // a plain field takes no index

    FieldRef each = FindExchangeKey("PTInfoEach[9].nPaperPrePunched");
    ASSERT_TRUE(each);
    EXPECT_EQ(9u, each.index);
    EXPECT_EQ(180u + 9 * 45 + 44, each.Offset());
    FieldRef font = FindExchangeKey("SubTTFontNameNumber[26]");
    ASSERT_TRUE(font);
    EXPECT_EQ(7168u + 26 * 4, font.Offset());

    // Record-only fields have internal names and no key.
    EXPECT_TRUE(FindField("Header.dwSignature"));
    EXPECT_FALSE(FindExchangeKey("Header.dwSignature"));
    EXPECT_FALSE(FindExchangeKey("szModelID"));
}

}  // namespace
