// The built-in template and the package defaults that adjust it at attach.
#include "settings/oemdev_template.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace nvx::settings {

namespace {

void WriteDefault(OEMDEV& out, const FieldDef& def) {
    for (uint32_t i = 0; i < def.count; ++i) {
        FieldRef ref{&def, i};
        switch (def.kind) {
        case FieldKind::Ansi:
            if (def.text) SetAnsi(out, ref, def.text);
            break;
        case FieldKind::Text:
            if (def.text) SetText(out, ref, WFromAscii(def.text));
            break;
        default:
            SetNumber(out, ref, def.number);
            break;
        }
    }
}

// The font substitution table's built-in entries, written through the table.
void WriteFontTable(OEMDEV& out) {
    char name[32];
    for (size_t i = 0; i < std::size(kTemplateTrueTypeFonts); ++i) {
        std::snprintf(name, sizeof name, "SubTTFontName[%u]", static_cast<unsigned>(i));
        SetAnsi(out, FindField(name), kTemplateTrueTypeFonts[i]);
        std::snprintf(name, sizeof name, "SubPrnFontName[%u]", static_cast<unsigned>(i));
        SetAnsi(out, FindField(name), kTemplateDeviceFonts[i]);
    }
    for (size_t i = 0; i < std::size(kTemplateFontNumbers); ++i) {
        std::snprintf(name, sizeof name, "SubTTFontNameNumber[%u]", static_cast<unsigned>(i));
        SetNumber(out, FindField(name), kTemplateFontNumbers[i]);
    }
}

}  // namespace

// Package entry -> the field its default item sets.
const EntryField kEntryDefaultFields[] = {
    {"MediaType", "nMediaType"},
    {"MediaPrePunched", "PTInfoAuto.nPaperPrePunched"},
    {"InTray", "nDefaultSource"},
    {"Copies", "nCopies"},
    {"Collate", "bCollate"},
    {"Zoom", "nScale"},
    {"PaperOption1", "bPaperOption1"},
    {"PaperOption2", "bPaperOption2"},
    {"DoubleSides", "nDuplex"},
    {"Staple", "nStapleMode"},
    {"HolePunch", "nPunchNum"},
    {"Folding", "nFoldingMode"},
    {"OutputTray", "nOutBin"},
    {"OutputOrder", "nOutputMode"},
    {"BindShift_Front", "nBindingUp"},
    {"BindShift_Back", "nBindingDown"},
    {"ImgShiftPrn_FrontH", "nFrontImgShiftX"},
    {"ImgShiftPrn_FrontV", "nFrontImgShiftY"},
    {"ImgShiftPrn_BackH", "nBackImgShiftX"},
    {"ImgShiftPrn_BackV", "nBackImgShiftY"},
    {"OHP_Interleave", "nOHPMode"},
    {"FCoverTray", "nFrontCoverTray"},
    {"BCoverTray", "nBackCoverTray"},
    {"SeparatePageTray", "CoverPrinter.nSeparatorTray"},
    {"PIFrontCover", "CoverMFP.nPIFCoverTray"},
    {"PIBackCover", "CoverMFP.nPIBCoverTray"},
    {"PIFInsertPage", "CoverMFP.nPIFCoverNum"},
    {"PIBInsertPage", "CoverMFP.nPIBCoverNum"},
    {"OHPIntTray", "nOHPTray"},
    {"Watermark", "wWmkListPos"},
    {"NME_StartNumber", "nNumberingStartNum"},
    {"NME_Density", "nNumberingDensity"},
    {"CPE_CP_Density", "nCPE_CP_Density"},
    {"CPE_SS_Density", "nCPE_SS_Density"},
    {"SelectColor2", "nColorMode"},
    {"TwoColors", "nSelectTwoColors"},
    {"Text_RGBColorMatch", "ColorChar.nColorChg"},
    {"Text_Halftone", "ColorChar.nScreen"},
    {"Text_RGBGray", "ColorChar.nMkBlack"},
    {"Img_RGBColorMatch", "ColorImage.nColorChg"},
    {"Img_Halftone", "ColorImage.nScreen"},
    {"Img_RGBGray", "ColorImage.nMkBlack"},
    {"Graph_RGBColorMatch", "ColorGraphics.nColorChg"},
    {"Graph_Halftone", "ColorGraphics.nScreen"},
    {"Graph_RGBGray", "ColorGraphics.nMkBlack"},
    {"RGBProf", "nCommonRGBColor"},
    {"Text_RGBProf", "nCharRGBColor"},
    {"Img_RGBProf", "nImageRGBColor"},
    {"Graph_RGBProf", "nGraphicsRGBColor"},
    {"Text_Destination", "nCharDestColor"},
    {"Img_Destination", "nImageDestColor"},
    {"Graph_Destination", "nGraphDestColor"},
    {"Prof_Location", "dwProfSrcType"},
    {"Smoothing_op", "nSmoothing"},
    {"Thinning_op", "nThinning"},
    {"Dnst_Density", "nMonoDensity"},
    {"ColAdj_Brightness", "nMonoBrightness"},
    {"ColAdj_Contrast", "nMonoContrast"},
    {"ChkBlankRatio", "bChkBlankRatio"},
    {"ChkBlankRatio_op", "nChkBlankRatio"},
    // The media weight and colour defaults go to the paper-type fields we placed.
    {"MediaWeight", "PTInfoAuto.nPaperWeight"},
    {"MediaColor", "PTInfoAuto.nPaperColor"},
};
const size_t kEntryDefaultFieldCount = sizeof(kEntryDefaultFields) / sizeof(kEntryDefaultFields[0]);

void BuildTemplate(OEMDEV& out) {
    std::memset(out.bytes, 0, sizeof out.bytes);
    for (size_t i = 0; i < kOemDevFieldCount; ++i) WriteDefault(out, kOemDevFields[i]);
    WriteRecordHeader(out);
    WriteFontTable(out);
}

OEMDEV& DefaultTemplate() {
    static OEMDEV record = [] {
        OEMDEV r;
        BuildTemplate(r);
        return r;
    }();
    return record;
}

void PrepareDefaultTemplate() {
    OEMDEV& t = DefaultTemplate();
    BuildTemplate(t);
    SetAnsi(t, FindField("szModelID"), kModelIdentifier);
}

bool ApplyEntryDefault(OEMDEV& record, std::string_view entry, int32_t value) {
    for (size_t i = 0; i < kEntryDefaultFieldCount; ++i)
        if (entry == kEntryDefaultFields[i].entry)
            return SetNumber(record, FindField(kEntryDefaultFields[i].field), value);
    return false;
}

}  // namespace nvx::settings
