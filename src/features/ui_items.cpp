// Building the UI item table from the definition rows and the model, and finding
// items in it.
#include "features/ui_items.h"

#include <cstring>
#include <new>
#include <string_view>
#include <unordered_map>

#include "common/ansi.h"
#include "features/catalogue.h"
#include "features/list_builders.h"
#include "features/model_record.h"
#include "frame/variant_switches.h"

namespace nvx::features {

namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

template <size_t N>
bool OneOf(const char* name, const char* const (&names)[N]) {
    for (const char* n : names)
        if (Is(name, n)) return true;
    return false;
}

// Widens an ASCII or ANSI name into a 32-character field (cut to 31, NUL-padded).
void Widen(WCHAR (&dst)[kUiNameBytes], const char* src) {
    size_t n = strnlen(src, kUiNameBytes - 1);
    bool ascii = true;
    for (size_t i = 0; i < n; ++i) ascii = ascii && static_cast<unsigned char>(src[i]) < 0x80;
    if (ascii) {
        for (size_t i = 0; i < n; ++i) dst[i] = static_cast<WCHAR>(src[i]);
        return;
    }
    WString w = WFromAnsi(std::string_view(src, n));
    for (size_t i = 0; i < w.size() && i + 1 < kUiNameBytes; ++i) dst[i] = w[i];
}

void CopyIds(uint32_t (&dst)[kUiIdSlots], const uint32_t (&src)[kUiIdSlots]) {
    std::memcpy(dst, src, sizeof dst);
}

int32_t Switch(const ModelRecord* record, SwitchId id) { return record ? record->switches[id] : 0; }

uint8_t* ModelList(ModelRecord* record, const char* name) { return record ? record->ListData(name) : nullptr; }

// The catalogue's rows by name, for one build.
using CatalogueIndex = std::unordered_map<std::string_view, uint8_t*>;

CatalogueIndex IndexCatalogue(const Catalogue& cat) {
    CatalogueIndex index;
    index.reserve(kCatalogueRows);
    for (const FeatureEntry* row = cat.Rows(); row->name && row->name[0]; ++row) index.emplace(row->name, row->options);
    return index;
}

// The option list of a definition row by the binding rules: the first rule whose
// name matches decides, even when the model lacks that list.
uint8_t* ListFor(const UiItemDef& def, const UiBuildInputs& in, const CatalogueIndex& catalogue) {
    const char* f = def.feature;
    const UiVariants& v = in.variants;
    static const char* const kSameNameA[] = {"PaperSize", "OutPaperSize", "InTray", "FCoverTray", "BCoverTray",
                                                "SeparatePageTray", "OHPIntTray", "PIFrontCover_op",
                                                "PIBackCover_op", "Resolution"};
    static const char* const kMedia[] = {"MediaType", "MediaType_Tray1", "MediaType_Tray2", "MediaType_Tray3",
                                         "MediaType_Tray4", "MediaType_LCT", "MediaType_Manual"};
    static const char* const kSameNameB[] = {"Combination_op", "Staple_op", "HolePunch_op", "Folding_op",
                                             "OutputTray", "OutputOrder", "Collate", "OHP_Interleave_op",
                                             "PaperArrangement", "NME_Density", "FcsCoverSize", "SelectColor"};
    static const char* const kPerPage[] = {"PerPageListPrintType", "PerPageListPaperSrc", "PerPageListStaple"};
    if (OneOf(f, kSameNameA) || OneOf(f, kSameNameB)) return ModelList(in.record, f);
    // The print types and binding edges the device has, with the model's texts; the
    // catalogue's full list only for a model without its own.
    static const char* const kModelFirst[] = {"DoubleSides", "BindingEdge_MFP"};
    if (OneOf(f, kModelFirst))
        if (uint8_t* own = ModelList(in.record, f)) return own;
    if (OneOf(f, kMedia)) return ModelList(in.record, "MediaType");
    if (Is(f, "OutputMethod") && v.userSetType2) return ModelList(in.record, f);
    if (!v.coverType1) {
        if (OneOf(f, kPerPage)) return ModelList(in.record, f);
        if (Is(f, "PerPagePunch")) return ModelList(in.record, "HolePunch_op");
        if (Is(f, "PerPageStaple")) return ModelList(in.record, "Staple_op");
    }
    if (Is(f, "MediaTypeList_Tray") && v.configType2) return ModelList(in.record, f);
    if (Is(f, "JobRetention") && v.userSetType1) return ModelList(in.record, f);
    if ((Is(f, "Smoothing_op") || Is(f, "Thinning_op")) && v.qualityMfpMono) return ModelList(in.record, f);
    // The first row of a name wins, as a search in order finds it.
    auto it = catalogue.find(f);
    return it == catalogue.end() ? nullptr : it->second;
}

// The icon control an item keeps: the definition's, unless the model switch of its
// feature is off for the features that have one.
uint32_t IconFor(const UiItemDef& def, const ModelRecord* record) {
    const uint32_t icon = def.iconControl ? def.iconControl : BuiltInIconControl(def.feature);
    struct Gate {
        const char* feature;
        SwitchId sw;
    };
    static const Gate kGates[] = {
        {"PaperOption1", kSw_PaperOption1},       {"PaperOption2", kSw_PaperOption2},
        {"OHP_Interleave", kSw_OHP_Interleave},   {"OHP_Interleave_op", kSw_OHP_Interleave},
        {"OHPIntTray", kSw_OHP_Interleave},       {"TonerSave", kSw_TonerSave},
        {"ColorSeparation", kSw_ColorSeparation}, {"CarbonCopy", kSw_CarbonCopy},
        {"CC_CopyTray1", kSw_CC_CopyTray1},       {"CC_CopyTray2", kSw_CC_CopyTray2},
        {"CC_CopyTray3", kSw_CC_CopyTray3},       {"CC_CopyTray4", kSw_CC_CopyTray4},
        {"CC_CopyTray5", kSw_CC_CopyTray5},       {"CC_CopyTrayLCT", kSw_CC_CopyTrayLCT},
        {"CC_CopyTrayManual", kSw_CC_CopyTrayManual},
    };
    for (const Gate& g : kGates)
        if (Is(def.feature, g.feature)) return Switch(record, g.sw) != 0 ? icon : 0;
    return icon;
}

UiItem ItemFromDef(const UiItemDef& def) {
    UiItem item;
    item.control = def.control;
    CopyIds(item.related, def.related);
    item.iconControl = def.iconControl;
    CopyIds(item.dialogs, def.dialogs);
    item.type = def.type;
    Widen(item.feature, def.feature);
    Widen(item.option, def.option);
    item.listSource = def.listSource;
    return item;
}

void RecordDirectRows(UiItemTable& t, const UiVariants& v) {
    UiDirectRows& d = t.direct;
    d.paperSize = FindUiItem(&t, "PaperSize");
    d.outPaperSize = FindUiItem(&t, "OutPaperSize");
    d.resolution = FindUiItem(&t, "Resolution");
    d.stapleOp = FindUiItem(&t, "Staple_op");
    d.holePunchOp = FindUiItem(&t, "HolePunch_op");
    d.userPaperWidth = FindUiItem(&t, "UserPaper_Width");
    d.userPaperLength = FindUiItem(&t, "UserPaper_Length");
    d.outUserPaperWidth = FindUiItem(&t, "OutUserPaper_Width");
    d.outUserPaperLength = FindUiItem(&t, "OutUserPaper_Length");
    d.perPageListStaple = v.coverType1 ? -1 : FindUiItem(&t, "PerPageListStaple");
    d.perPageListHolePunch = v.coverType1 ? -1 : FindUiItem(&t, "PerPageListHolePunch");
    d.colAdjSmoothing = FindUiItem(&t, "ColAdj_Smoothing");
    d.headerFooter = FindUiItem(&t, "HeaderFooter");
}

// An ASCII or ANSI name widened into dst (at most kUiNameBytes - 1 characters);
// false when it does not fit.
bool WidenName(std::string_view name, WCHAR (&dst)[kUiNameBytes], size_t* length) {
    *length = 0;
    if (name.empty()) return true;
    if (name.size() >= kUiNameBytes) return false;
    bool ascii = true;
    for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        for (size_t i = 0; i < name.size(); ++i) dst[i] = static_cast<WCHAR>(name[i]);
        *length = name.size();
        return true;
    }
    const int n = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), dst,
                                      static_cast<int>(kUiNameBytes - 1));
    if (n <= 0) return false;
    *length = static_cast<size_t>(n);
    return true;
}

bool SameName(const WCHAR (&field)[kUiNameBytes], WStringView name) {
    size_t n = 0;
    while (n < kUiNameBytes && field[n]) ++n;
    return WStringView(field, n) == name;
}

}  // namespace

UiVariants UiVariants::OfBuild() {
    UiVariants v;
    v.coverType1 = frame::AskVariant("_PRP_COVER_TYPE1") != 0;
    v.userSetType1 = frame::AskVariant("_DLG_USRSET_TYPE1") != 0;
    v.userSetType2 = frame::AskVariant("_DLG_USRSET_TYPE2") != 0;
    v.configType2 = frame::AskVariant("_PRP_CONFIG_TYPE2") != 0;
    v.qualityMfpMono = frame::AskVariant("_PRP_QUALTY_MFP_M") != 0;
    v.qualityMfpColour = frame::AskVariant("_PRP_QUALTY_MFP_C") != 0;
    return v;
}

bool UiItem::OnDialog(uint32_t dialog) const {
    for (uint32_t d : dialogs) {
        if (d == 0) break;
        if (d == dialog) return true;
    }
    return false;
}

const UiItem* UiItemTable::Row(int row) const {
    return row >= 0 && static_cast<size_t>(row) < count ? &rows[static_cast<size_t>(row)] : nullptr;
}
UiItem* UiItemTable::Row(int row) {
    return row >= 0 && static_cast<size_t>(row) < count ? &rows[static_cast<size_t>(row)] : nullptr;
}

bool UiItemLeftOut(const UiItemDef& def, const ModelRecord* record, const UiVariants& v) {
    const char* f = def.feature;
    const bool numbering = Switch(record, kSw_HeaderFooterNumber) != 0;
    if (Is(f, "NME_Type") || Is(f, "NME_PagetoPrint") || Is(f, "NME_StartNumber")) return !numbering;
    if (Is(f, "NME_Color")) return !v.qualityMfpColour || !numbering;
    if (Is(f, "NME_Density")) return !v.qualityMfpMono || !numbering;
    if (!v.qualityMfpColour) return false;
    static const char* const kWatermarkColour[] = {"WM_Color", "DevOvlSurfaceSelColor", "DevOvlBackSelColor"};
    static const char* const kCopyProtectColour[] = {"CSE_CP_Color", "CPE_CP_Color", "CPE_SS_Color"};
    static const char* const kDatePageColour[] = {"DPE_DateTimeColor", "DPE_PageNumColor"};
    static const char* const kColourAdjust[] = {"ColAdj_ColorMatchType", "ColAdj_PureBlack", "ColAdj_Saturation",
                                                "ColAdj_Cyan", "ColAdj_Magenta", "ColAdj_Yellow", "ColAdj_Black"};
    if (OneOf(f, kWatermarkColour)) return Switch(record, kSw_WatermarkColor) == 2;
    if (OneOf(f, kCopyProtectColour)) return Switch(record, kSw_CopyProtectColor) == 2;
    if (OneOf(f, kDatePageColour)) return Switch(record, kSw_DateTimePageColor) == 0;
    if (Is(f, "HFE_TextColor")) return Switch(record, kSw_HeaderFooterColor) == 0;
    if (Is(f, "SelectColor_RB")) return Switch(record, kSw_SelectColorUI) == 0;
    if (OneOf(f, kColourAdjust)) return Switch(record, kSw_Dlg_ColorAdjust) == 1;
    return false;
}

UiItemTable* BuildUiItemTable(const UiBuildInputs& in) {
    UiItemTable* t = new (std::nothrow) UiItemTable;
    if (!t) return nullptr;
    try {
        const size_t deviceRows = in.deviceOptions ? in.deviceOptions->count : 0;
        size_t defs = 0;
        if (in.defs)
            while (in.defs[defs].feature[0]) ++defs;
        t->rows.reserve(defs + deviceRows + 1);
        const CatalogueIndex catalogue = IndexCatalogue(in.catalogue ? *in.catalogue : TheCatalogue());
        for (size_t i = 0; i < defs; ++i) {
            const UiItemDef& def = in.defs[i];
            if (Is(def.feature, "OptionSetting")) {
                // One item per device option, in the table's order, in place of the row.
                for (size_t k = 0; k < deviceRows; ++k) {
                    const DeviceOptionRow& opt = in.deviceOptions->rows[k];
                    char key[kUiNameBytes] = {};
                    std::memcpy(key, opt.key, sizeof key - 1);
                    UiItem item = ItemFromDef(def);
                    std::memset(item.feature, 0, sizeof item.feature);
                    std::memset(item.option, 0, sizeof item.option);
                    Widen(item.feature, key);
                    item.deviceOption = 1;
                    item.options = opt.values;
                    t->rows.push_back(item);
                }
                continue;
            }
            if (UiItemLeftOut(def, in.record, in.variants)) continue;
            UiItem item = ItemFromDef(def);
            item.iconControl = IconFor(def, in.record);
            item.options = ListFor(def, in, catalogue);
            t->rows.push_back(item);
        }
        t->count = t->rows.size();
        UiItem end;
        end.state.current = 0;
        end.state.pending = 0;
        t->rows.push_back(end);  // the zeroed end row
        // Binding resolves the field table once per process and may allocate then.
        BindUiItemFields(*t);
        RecordDirectRows(*t, in.variants);
        if (in.record)
            t->paperSizeTwice = FindKeyword(in.record->ListData("OutPaperSize"), "PaperSizeTwice") != nullptr;
    } catch (const std::bad_alloc&) {
        delete t;
        return nullptr;
    }
    return t;
}

void FreeUiItemTable(UiItemTable* table) { delete table; }

namespace {
UiItemTable* g_moduleItems = nullptr;
}

UiItemTable* ModuleItems() { return g_moduleItems; }

void BuildModuleItems(const UiBuildInputs& in) {
    FreeModuleItems();
    g_moduleItems = BuildUiItemTable(in);
}

void FreeModuleItems() {
    FreeUiItemTable(g_moduleItems);
    g_moduleItems = nullptr;
}

int FindUiItem(const UiItemTable* table, WStringView feature, WStringView option) {
    if (!table || feature.empty()) return -1;
    for (size_t i = 0; i < table->count; ++i) {
        const UiItem& item = table->rows[i];
        if (SameName(item.feature, feature) && (option.empty() || SameName(item.option, option)))
            return static_cast<int>(i);
    }
    return -1;
}

int FindUiItem(const UiItemTable* table, std::string_view feature, std::string_view option) {
    // Widened on the stack: a lookup never allocates.  A name longer than a name
    // field holds matches no item.
    WCHAR f[kUiNameBytes] = {};
    WCHAR o[kUiNameBytes] = {};
    size_t fn = 0, on = 0;
    if (!WidenName(feature, f, &fn) || !WidenName(option, o, &on)) return -1;
    return FindUiItem(table, WStringView(f, fn), WStringView(o, on));
}

int FindUiItemByControl(const UiItemTable* table, uint32_t control, uint32_t dialog) {
    if (!table || control == 0) return -1;
    for (size_t i = 0; i < table->count; ++i) {
        const UiItem& item = table->rows[i];
        if (item.control == control && (dialog == 0 || item.OnDialog(dialog))) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace nvx::features
