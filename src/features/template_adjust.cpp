// The defaults step of the build order: catalogue binding, model papers, the
// settings template and the device-option template.
#include "features/template_adjust.h"

#include <cstring>

#include "common/le.h"
#include "features/catalogue.h"
#include "features/list_builders.h"
#include "features/model_record.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "settings/oemdev_defaults.h"
#include "settings/oemdev_template.h"
#include "settings/paper_defaults.h"

namespace nvx::features {

// The feature catalogue's entry order, then the entries the settings code maps
// that the catalogue's order does not name ("PaperSize" first: the input paper
// comes before the output paper that may copy it).
const char* const kTemplateEntries[] = {
    "PaperSize", "OutPaperSize", "MediaType", "MediaWeight", "MediaColor", "MediaPrePunched", "InTray", "Copies",
    "Collate", "UserPaper_Width", "UserPaper_Length", "PaperOption1", "PaperOption2", "Staple", "HolePunch",
    "Folding", "Combination", "OutputTray", "OutputOrder", "PerPageListStaple", "PerPageListPaperSrc",
    "PerPageListPrintType", "BindShift_Front", "BindShift_Back", "DoubleSides", "ImgShiftPrn_FrontH",
    "ImgShiftPrn_FrontV", "ImgShiftPrn_BackH", "ImgShiftPrn_BackV", "OHP_Interleave", "Watermark",
    "NME_StartNumber", "SelectColor2", "Resolution", "Img_Edge", "Text_Edge", "Graph_Edge", "EdgeType",
    "AutoTrapping", "2ColorGradation", "AuthUseEngine", "ChkBlankRatio", "PublicUser", "InterimPublicUser",
    "UserAuthentic_NoPassWord", "FontDownload", "FontSubstitute", "CC_CopyOrder", "TwoColors", "WM_Font",
    // Mapped by the settings code, not named above.
    "Zoom", "FCoverTray", "BCoverTray", "SeparatePageTray", "PIFrontCover", "PIBackCover", "PIFInsertPage",
    "PIBInsertPage", "OHPIntTray", "NME_Density", "CPE_CP_Density", "CPE_SS_Density", "Text_RGBColorMatch",
    "Text_Halftone", "Text_RGBGray", "Img_RGBColorMatch", "Img_Halftone", "Img_RGBGray", "Graph_RGBColorMatch",
    "Graph_Halftone", "Graph_RGBGray", "RGBProf", "Text_RGBProf", "Img_RGBProf", "Graph_RGBProf",
    "Text_Destination", "Img_Destination", "Graph_Destination", "Prof_Location", "Smoothing_op", "Thinning_op",
    "Dnst_Density", "ColAdj_Brightness", "ColAdj_Contrast", "ChkBlankRatio_op",
};
const size_t kTemplateEntryCount = sizeof(kTemplateEntries) / sizeof(kTemplateEntries[0]);

const EntryFieldName kExtraEntryFields[] = {
    {"Img_Edge", "bImageEdgeEnhance"}, {"Text_Edge", "bCharEdgeEnhance"}, {"Graph_Edge", "bGraphEdgeEnhance"},
    {"EdgeType", "nEdgeType"},         {"AutoTrapping", "bAutoTrapping"}, {"2ColorGradation", "b2ColorGradation"},
    {"FontDownload", "nFontDownLoad"}, {"FontSubstitute", "nTTFont"},     {"CC_CopyOrder", "CarbonCopyTBL.nCopyOrder"},
    {"Resolution", "byResolution"},
};
const size_t kExtraEntryFieldCount = sizeof(kExtraEntryFields) / sizeof(kExtraEntryFields[0]);

namespace {

const char* const kNumericEntries[] = {
    "Copies", "UserPaper_Width", "UserPaper_Length", "BindShift_Front", "BindShift_Back", "NME_StartNumber",
    "Zoom", "PIFInsertPage", "PIBInsertPage", "CPE_CP_Density", "CPE_SS_Density", "Dnst_Density",
    "ColAdj_Brightness", "ColAdj_Contrast",
};
const char* const kTenthsEntries[] = {"ImgShiftPrn_FrontH", "ImgShiftPrn_FrontV", "ImgShiftPrn_BackH",
                                      "ImgShiftPrn_BackV"};

// Rows of the catalogue whose lists the model supplies, and the model list of each.
const char* const kBoundRows[] = {"PaperSize", "OutPaperSize", "MediaType", "InTray", "Resolution", "SelectColor",
                                  "TwoColors"};

settings::PaperRow PaperRowOf(const uint8_t* rec) {
    settings::PaperRow p;
    const uint8_t* d = rec + kModelDataAt;
    p.id = Value(rec);
    p.width = static_cast<int32_t>(GetLE32(d + offsetof(PaperData, width)));
    p.height = static_cast<int32_t>(GetLE32(d + offsetof(PaperData, height)));
    for (int i = 0; i < 4; ++i) p.margins[i] = static_cast<int32_t>(GetLE32(d + offsetof(PaperData, margins) + 4 * i));
    uint16_t n = GetLE16(d + offsetof(PaperData, countryCount));
    for (uint16_t i = 0; i < n && i < 47; ++i) p.countries.push_back(GetLE16(d + offsetof(PaperData, countries) + 2 * i));
    return p;
}

// The record of a model list's default item, or null.
const uint8_t* DefaultRecord(const ModelRecord& record, const char* list) {
    const ModelList* l = record.List(list);
    return l && l->defaultIndex >= 0 ? RecordAt(l->Data(), static_cast<size_t>(l->defaultIndex)) : nullptr;
}

bool SetExtraField(OEMDEV& tmpl, const char* entry, int32_t value) {
    for (const EntryFieldName& e : kExtraEntryFields)
        if (std::strcmp(e.entry, entry) == 0) return settings::SetNumber(tmpl, settings::FindField(e.field), value);
    return false;
}

// Applies one entry's default; records the value.  False when the package gives none.
bool ApplyEntry(const model::Package& pkg, ModelRecord& record, OEMDEV& tmpl, const char* entry) {
    const bool inch = record.facts[kFactInchValues] != 0;
    int32_t value = 0;
    int scale = 1;
    if (std::strcmp(entry, "PaperSize") == 0 || std::strcmp(entry, "OutPaperSize") == 0) {
        const uint8_t* rec = DefaultRecord(record, entry);
        if (rec == nullptr) return false;
        settings::PaperRow p = PaperRowOf(rec);
        if (entry[0] == 'P') settings::ApplyPaperDefault(tmpl, p);
        else settings::ApplyOutPaperDefault(tmpl, p.id, p.width, p.height);
        value = p.id;
    } else if (std::strcmp(entry, "WM_Font") == 0) {
        char key[vpd::kMaxString + 1];
        WCHAR text[64] = {};
        if (!pkg.ReadDefaultName(entry, key, sizeof key) || !model::KeyedValueLoad(pkg, entry, key, text, 64))
            return false;
        settings::SetText(tmpl, settings::FindField("WmkInfo.szFontName"), text);
        return true;
    } else if (IsNumericTemplateEntry(entry, &scale)) {
        int32_t r[3];
        if (!model::RangeLoad(pkg, entry, r)) return false;
        value = r[2] * scale;
        if (std::strcmp(entry, "UserPaper_Width") == 0 || std::strcmp(entry, "UserPaper_Length") == 0)
            settings::ApplyUserPaperDefault(tmpl, entry[10] == 'W', value, inch);
        else
            settings::ApplyEntryDefault(tmpl, entry, value);
    } else {
        if (!DefaultOptionValue(pkg, record, entry, &value)) return false;
        if (!settings::ApplyEntryDefault(tmpl, entry, value)) SetExtraField(tmpl, entry, value);
        if (std::strcmp(entry, "Resolution") == 0) {
            if (const uint8_t* rec = DefaultRecord(record, "Resolution")) {
                const uint8_t* d = rec + kModelDataAt;
                settings::SetNumber(tmpl, "nResoH", static_cast<int16_t>(GetLE16(d + offsetof(ResolutionData, horizontal))));
                settings::SetNumber(tmpl, "nResoV", static_cast<int16_t>(GetLE16(d + offsetof(ResolutionData, vertical))));
                settings::SetNumber(tmpl, "nResoHV", static_cast<int16_t>(GetLE16(d + offsetof(ResolutionData, diagonal))));
                settings::SetNumber(tmpl, "nBitsPixel",
                                    static_cast<int16_t>(GetLE16(d + offsetof(ResolutionData, bitsPerPixel))));
            }
        }
    }
    record.packageDefaults.emplace_back(entry, value);
    return true;
}

}  // namespace

bool IsNumericTemplateEntry(const char* entry, int* scale) {
    for (const char* e : kNumericEntries)
        if (std::strcmp(e, entry) == 0) {
            *scale = 1;
            return true;
        }
    for (const char* e : kTenthsEntries)
        if (std::strcmp(e, entry) == 0) {
            *scale = 10;
            return true;
        }
    return false;
}

void BindCatalogue(ModelRecord& record) {
    Catalogue& cat = TheCatalogue();
    for (const char* row : kBoundRows) cat.Bind(row, record.ListData(row));
}

void AdjustDefaultTemplate(const model::Package& pkg, ModelRecord& record, OEMDEV& tmpl) {
    settings::SetAnsi(tmpl, settings::FindField("szModelID"), settings::kModelIdentifier);
    record.packageDefaults.clear();
    for (const char* entry : kTemplateEntries) ApplyEntry(pkg, record, tmpl, entry);
    Catalogue::CoverModes modes = TheCatalogue().ChooseCoverLists(record.switches.On(kSw_FCoverPrint),
                                                                  record.switches.On(kSw_BCoverPrint));
    settings::SetNumber(tmpl, "nFrontCoverMode", modes.front);
    settings::SetNumber(tmpl, "nBackCoverMode", modes.back);
}

void PrepareDefaults(const model::Package& pkg, model::ModelTables& tables, const WCHAR* fontLibrary) {
    if (tables.record == nullptr) return;
    tables.settings.fontLibrary = fontLibrary ? fontLibrary : WL("");
    ModelRecord& record = *tables.record;
    BindCatalogue(record);
    settings::ModelFacts facts;
    if (const uint8_t* papers = record.ListData("PaperSize")) {
        for (size_t i = 0, n = ListCount(papers); i < n; ++i) facts.papers.push_back(PaperRowOf(RecordAt(papers, i)));
        if (const uint8_t* def = DefaultRecord(record, "PaperSize")) {
            facts.hasPackageDefaultPaper = true;
            facts.packageDefaultPaper = Value(def);
        }
    }
    facts.inchValues = record.facts[kFactInchValues] != 0;
    facts.colourField = static_cast<uint32_t>(record.facts[kFactColour]);
    settings::SetModelFacts(std::move(facts));
    AdjustDefaultTemplate(pkg, record, settings::DefaultTemplate());
    WriteDeviceOptionDefaults(pkg);
}

}  // namespace nvx::features
