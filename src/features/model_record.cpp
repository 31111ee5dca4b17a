// The model record: switches, facts, ranges and the package-built option lists.
#include "features/model_record.h"

#include <cstring>
#include <new>

#include "common/le.h"
#include "features/catalogue.h"
#include "model/model_tables.h"
#include "model/package.h"

namespace nvx::features {

// The lists, in the order the record reads their entries.
const ModelListDef kModelLists[] = {
    {"NME_Density", "NME_Density", ListKind::Plain},
    {"PaperSizeFigure", "PaperSizeFigure", ListKind::Plain},
    {"PaperSize", "PaperSize", ListKind::Paper},
    {"OutPaperSize", "OutPaperSize", ListKind::Paper},
    {"MediaType", "MediaType", ListKind::Media},
    {"InTray", "InTray", ListKind::Tray},
    {"ALL_InTray", "ALL_InTray", ListKind::Tray},
    {"MediaTypeList_Tray", "MediaTypeList_Tray", ListKind::Plain},
    {"OutputTray", "OutputTray", ListKind::Plain},
    {"MediaWeight", "MediaWeight", ListKind::Plain},
    {"MediaColor", "MediaColor", ListKind::Plain},
    {"Resolution", "Resolution", ListKind::Resolution},
    {"Country", "Country", ListKind::Plain},
    {"Combination_op", "Combination", ListKind::Plain},
    {"Folding_op", "Folding", ListKind::Plain},
    {"HolePunch_op", "HolePunch", ListKind::Plain},
    {"OutputOrder", "OutputOrder", ListKind::Plain},
    {"PerPageListPrintType", "PerPageListPrintType", ListKind::Plain},
    {"MediaPrePunched", "MediaPrePunched", ListKind::Plain},
    {"Staple_op", "Staple", ListKind::Plain},
    {"PerPageListStaple", "PerPageListStaple", ListKind::Plain},
    {"OutputMethod", "OutputMethod", ListKind::Plain},
    {"JobRetention", "JobRetention", ListKind::Plain},
    {"OvlForm_Location", "OvlForm_Location", ListKind::Plain},
    {"Prof_Location", "Prof_Location", ListKind::Plain},
    {"FCoverTray", "FCoverTray", ListKind::Tray},
    {"BCoverTray", "BCoverTray", ListKind::Tray},
    {"SeparatePageTray", "SeparatePageTray", ListKind::Tray},
    {"OHPIntTray", "OHPIntTray", ListKind::Tray},
    {"PIFrontCover_op", "PIFrontCover", ListKind::Tray},
    {"PIBackCover_op", "PIBackCover", ListKind::Tray},
    {"PerPageListPaperSrc", "PerPageListPaperSrc", ListKind::BitValues},
    {"TabPaperPaperSize", "TabPaperPaperSize", ListKind::Paper},
    {"Collate", "Collate", ListKind::Plain},
    {"OHP_Interleave_op", "OHP_Interleave", ListKind::Plain},
    {"PaperArrangement", "PaperArrangement", ListKind::Plain},
    {"Smoothing_op", "Smoothing_op", ListKind::Plain},
    {"Thinning_op", "Thinning_op", ListKind::Plain},
    {"BindingEdge_MFP", "BindingEdge_MFP", ListKind::Plain},
    {"DoubleSides", "DoubleSides", ListKind::Plain},
    {"SelectColor", "SelectColor", ListKind::Plain},
    {"SelectColor2", "SelectColor2", ListKind::Plain},
    {"TwoColors", "TwoColors", ListKind::Plain},
    {"CustomMediaType", "CustomMediaType", ListKind::Plain},
    {"FcsCoverSize", "FcsCoverSize", ListKind::CoverSheet},
    {"EasySet_Icon_CB", "EasySet_Icon_CB", ListKind::Plain},
};
const size_t kModelListCount = sizeof(kModelLists) / sizeof(kModelLists[0]);

const char* const kModelRanges[] = {
    "Copies", "UserPaper_Width", "UserPaper_Length", "UserLongLengthPaper_Width", "UserLongLengthPaper_Length",
    "UserLargePaper_Width", "UserLargePaper_Length", "NME_StartNumber", "PrintRatePPM", "FoldPageFinish",
    "TabPaperTextPosRange", "Dnst_Density", "ColAdj_Brightness", "ColAdj_Contrast", "Zoom", "CPE_StartNumber",
    "RoundOffCol_ThresholdVal", "LSR_Port", "LSR_SearchTimeout", "LSR_SearchMaxResult",
};
const size_t kModelRangeCount = sizeof(kModelRanges) / sizeof(kModelRanges[0]);

const MachineFactDef kMachineFacts[] = {
    {"Multifunction", 1}, {"Colour", 0},          {"InchValues", 0},    {"FinePrecision", 0},
    {"SharedOverlay", 0}, {"DestinationKind", 0}, {"PerPageCount", 0},  {"PerTrayMedia", 0},
    {"PaperFeedType", 0}, {"MaxFeedLength", 0},   {"MinWidth", 0},      {"MinLength", 0},
    {"MaxWidth", 0},      {"MaxLength", 0},       {"Fax", 0},
    {"DeviceApiVersion", 0}, {"WakeUpKind", 0},   {"ConnectionKind", 0}, {"ConnectionSubKind", 0},
    {"AltDeviceLibrary", 0},
};
const size_t kMachineFactCount = sizeof(kMachineFacts) / sizeof(kMachineFacts[0]);
static_assert(sizeof(kMachineFacts) / sizeof(kMachineFacts[0]) == kFactCount);

namespace {

using KeyBuffer = char[vpd::kMaxString + 1];

// A decimal number (optional '-') at the start of a UTF-16 text; false when none.
bool ParseNumber(const WCHAR* s, int32_t* out) {
    bool negative = *s == u'-';
    if (negative) ++s;
    if (*s < u'0' || *s > u'9') return false;
    int64_t v = 0;
    for (; *s >= u'0' && *s <= u'9'; ++s)
        if (v < 10000000000LL) v = v * 10 + (*s - u'0');
    if (negative) v = -v;
    *out = static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
    return true;
}

uint32_t ItemSize(ListKind kind) {
    switch (kind) {
    case ListKind::Paper: return kPaperItemSize;
    case ListKind::Tray:
    case ListKind::Media:
    case ListKind::Resolution: return kDeviceItemSize;
    case ListKind::BitValues: return vpd::kItemSize;
    default: return kPlainItemSize;
    }
}

uint32_t RecordSizeOf(ListKind kind) {
    switch (kind) {
    case ListKind::Paper:
    case ListKind::Tray:
    case ListKind::Media:
    case ListKind::Resolution: return kSizeModel;
    default: return kSizeNamed;
    }
}

// Country codes written as decimal numbers separated by anything else; at most 47.
uint16_t ParseCountries(const uint8_t* text, size_t len, uint8_t* dst) {
    uint16_t n = 0;
    size_t i = 0;
    while (i < len && text[i] && n < 47) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        uint32_t v = 0;
        for (; i < len && text[i] >= '0' && text[i] <= '9'; ++i)
            if (v < 100000) v = v * 10 + (text[i] - '0');
        PutLE16(dst + 2 * n++, static_cast<uint16_t>(v > 0xFFFF ? 0xFFFF : v));
    }
    return n;
}

// Copies the kind's model data from the package item into the 288-byte record.
void WriteModelData(ListKind kind, const uint8_t* item, uint8_t* rec) {
    uint8_t* d = rec + kModelDataAt;
    switch (kind) {
    case ListKind::Paper:
        std::memcpy(d + offsetof(PaperData, width), item + 20, 24);  // width, height, four margins
        PutLE16(d + offsetof(PaperData, countryCount),
                ParseCountries(item + 46, 274, d + offsetof(PaperData, countries)));
        std::memcpy(d + offsetof(PaperData, flags), item + 320, 4);
        break;
    case ListKind::Tray: std::memcpy(d, item + 20, 16); break;        // kind, capacity, media mask, slot
    case ListKind::Media: std::memcpy(d, item + 20, 12); break;       // weight ... paper type 2
    case ListKind::Resolution: std::memcpy(d, item + 20, 12); break;  // dpi, bits, fax flag
    default: break;
    }
}

bool IsCoverSheetMeta(std::string_view key) {
    return AsciiEqualNoCase(key, "Count") || AsciiEqualNoCase(key, "Order") || AsciiEqualNoCase(key, "DefaultItem");
}

}  // namespace

ModelList ReadModelList(const model::Package& pkg, const ModelListDef& def) {
    ModelList out;
    model::EntryInfo e;
    if (!pkg.GetEntry(def.entry, &e)) return out;
    out.present = true;
    const uint32_t itemSize = ItemSize(def.kind);
    const uint32_t recSize = RecordSizeOf(def.kind);
    OptionListBuilder b;
    std::vector<uint32_t> offsets;
    std::string defaultKeyword;  // the cover sheet list names its default by keyword
    uint8_t item[kPaperItemSize];
    pkg.ForEachItem(e, model::ItemOrder::Index, [&](uint32_t at) {
        std::memset(item, 0, sizeof item);
        vpd::Item head;
        KeyBuffer key;
        if (!pkg.ReadItem(at, &head) || !pkg.ReadKey(head.key, key, sizeof key)) return true;
        if (itemSize > vpd::kItemSize && !pkg.ReadRecord(at, itemSize, item)) return true;
        WCHAR name[kNameChars] = {};
        pkg.ReadValue(head.value, name, kNameChars);
        if (def.kind == ListKind::CoverSheet && IsCoverSheetMeta(key)) {
            if (AsciiEqualNoCase(key, "DefaultItem")) defaultKeyword = Utf8FromW(name);
            return true;
        }
        int32_t value = static_cast<int32_t>(GetLE32(item + 16));
        if (def.kind == ListKind::BitValues) value = b.Count() < 31 ? (1 << b.Count()) : 0;
        uint8_t* rec = b.Add(recSize, key, value);
        WriteDisplayName(rec, name);
        WriteModelData(def.kind, item, rec);
        offsets.push_back(at);
        return true;
    });
    out.records = b.Finish();
    for (size_t i = 0; i < offsets.size(); ++i)
        if (offsets[i] == e.defaultItem) out.defaultIndex = static_cast<int>(i);
    if (!defaultKeyword.empty()) out.defaultIndex = IndexOfKeyword(out.records.data(), defaultKeyword);
    return out;
}

void ReadMachineFacts(const model::Package& pkg, int32_t facts[kFactCount]) {
    for (size_t i = 0; i < kFactCount; ++i) {
        facts[i] = kMachineFacts[i].defaultValue;
        WCHAR text[16] = {};
        int32_t v = 0;
        if (model::KeyedValueLoad(pkg, "MachineInfo", kMachineFacts[i].key, text, 16) && ParseNumber(text, &v))
            facts[i] = v;
    }
}

ModelList* ModelRecord::List(std::string_view name) {
    return const_cast<ModelList*>(static_cast<const ModelRecord*>(this)->List(name));
}

const ModelList* ModelRecord::List(std::string_view name) const {
    for (size_t i = 0; i < kModelListCount && i < lists.size(); ++i)
        if (name == kModelLists[i].name) return lists[i].present ? &lists[i] : nullptr;
    return nullptr;
}

uint8_t* ModelRecord::ListData(std::string_view name) {
    ModelList* l = List(name);
    return l ? l->Data() : nullptr;
}

const Range* ModelRecord::FindRange(std::string_view entry) const {
    for (size_t i = 0; i < kModelRangeCount && i < ranges.size(); ++i)
        if (entry == kModelRanges[i]) return ranges[i].present ? &ranges[i] : nullptr;
    return nullptr;
}

bool ModelRecord::PackageDefault(std::string_view entry, int32_t* value) const {
    for (const auto& [name, v] : packageDefaults)
        if (name == entry) {
            *value = v;
            return true;
        }
    return false;
}

bool DefaultOptionValue(const model::Package& pkg, const ModelRecord& record, const char* entry, int32_t* value) {
    for (size_t i = 0; i < kModelListCount; ++i) {
        if (std::strcmp(kModelLists[i].entry, entry) != 0) continue;
        const ModelList& l = record.lists[i];
        if (!l.present || l.defaultIndex < 0) return false;
        auto v = ValueAt(l.Data(), static_cast<size_t>(l.defaultIndex));
        if (v) *value = *v;
        return v.has_value();
    }
    KeyBuffer key;
    if (!pkg.ReadDefaultName(entry, key, sizeof key)) return false;
    const Catalogue& cat = TheCatalogue();
    for (std::string name : {std::string(entry), std::string(entry) + "_op"}) {
        const uint8_t* rec = FindKeyword(cat.FindList(name), key);
        if (rec) {
            *value = Value(rec);
            return true;
        }
    }
    return false;
}

bool BuildModelRecord(const model::Package& pkg, model::ModelTables& tables) {
    TheCatalogue().Reset();
    auto* record = new (std::nothrow) ModelRecord();
    if (record == nullptr) return false;
    record->switches.Apply(ReadFeatureSettings(pkg), ColourBuild());
    ReadMachineFacts(pkg, record->facts);
    record->ranges.resize(kModelRangeCount);
    for (size_t i = 0; i < kModelRangeCount; ++i) {
        int32_t r[3];
        if (model::RangeLoad(pkg, kModelRanges[i], r)) record->ranges[i] = {r[1], r[0], r[2], true};
    }
    record->lists.reserve(kModelListCount);
    for (size_t i = 0; i < kModelListCount; ++i) record->lists.push_back(ReadModelList(pkg, kModelLists[i]));
    WCopy(record->texts.customMediaSide2, 64, WL("(Side2)"));
    tables.record = record;
    return true;
}

void FreeModelRecord(ModelRecord* record) {
    delete record;
}

}  // namespace nvx::features
