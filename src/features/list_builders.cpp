// Option texts, reorders and refills of the built-in lists (build-order steps 7, 9,
// 11 and 14).
#include "features/list_builders.h"

#include <cstring>
#include <string>

#include "features/catalogue.h"
#include "features/catalogue_defs.h"
#include "features/model_record.h"
#include "model/model_tables.h"
#include "model/package.h"

namespace nvx::features {

// ---- Step 7 ----

namespace {

// Entries whose list has another name.
const OptionTextLoad kAliasedTextLoads[] = {
    {"Nup", "Nup_op", 1},
    {"BorderLine", "BorderLine_op", 1},
    {"FrontCover", "FrontCover_op", 1},
    {"FrontCover", "FrontCover_op_PJL", 1},
    {"BackCover", "BackCover_op", 1},
    {"BackCover", "BackCover_op_PJL", 1},
    {"SeparatePage", "SeparatePage_op", 1},
    {"DateFormat", "CP_Date", 1},
    {"TimeFormat", "CP_Time", 1},
    // The model record's lists named after their entry with "_op", and OutputOrder.
    {"Combination", "Combination_op", 1},
    {"Folding", "Folding_op", 1},
    {"HolePunch", "HolePunch_op", 1},
    {"Staple", "Staple_op", 1},
    {"OHP_Interleave", "OHP_Interleave_op", 1},
    {"PIFrontCover", "PIFrontCover_op", 1},
    {"PIBackCover", "PIBackCover_op", 1},
    {"OutputOrder", "OutputOrder", 1},
    // Two fax transmission lists also take their names here (and again with the fax lists).
    {"FtpECM", "FtpECM", 1},
    {"FtpV34", "FtpV34", 1},
};

bool IsFaxList(std::string_view name) {
    for (const char* f : kFaxTextLoads)
        if (name == f) return true;
    return false;
}

}  // namespace

const ReorderLoadDef kReorderLoads[8] = {
    {"CPDE_String", false},    {"CPDE_Pattern", false},   {"CPE_StringTYPE3_op", false}, {"CPE_CP_Pattern", false},
    {"CopyProtect_op", false}, {"CSE_CP_Pattern", false}, {"EdgeType_op", false},        {"FontDownload", true},
};

std::vector<OptionTextLoad> OptionTextLoads() {
    std::vector<OptionTextLoad> loads;
    for (size_t i = 0; i < defs::kFeatureCount; ++i) {
        const defs::FeatureDef& f = defs::kFeatures[i];
        if (f.recordSize >= kSizeNamed && !IsFaxList(f.name)) loads.push_back({f.name, f.name, 1});
    }
    for (const OptionTextLoad& a : kAliasedTextLoads) loads.push_back(a);
    return loads;
}

void LoadOptionTexts(const model::Package& pkg, model::ModelTables& tables) {
    Catalogue& cat = TheCatalogue();
    for (const OptionTextLoad& l : OptionTextLoads()) {
        uint8_t* list = cat.FindList(l.list);
        uint32_t size = FirstRecordSize(list);
        if (size >= kSizeNamed) model::OptionTextLoad(pkg, l.entry, list, size, l.kind);
    }
    for (const ReorderLoadDef& r : kReorderLoads) {
        uint8_t* list = cat.FindList(r.entry);
        if (FirstRecordSize(list) == kSizeNamed) model::ReorderLoad(pkg, r.entry, list, kSizeNamed, 1, r.onlyIfFlagged);
    }
    if (tables.record == nullptr) return;
    ListTexts& t = tables.record->texts;
    model::StringListLoad(pkg, "Overlay", t.overlayNone, sizeof t.overlayNone, 0);
    model::KeyedValueLoad(pkg, "DPE_PN_Preview", "DPE_PN_Preview_PageNum", t.previewPageNumber, 64);
    model::KeyedValueLoad(pkg, "connectionStr", "CustomMedia_2nd", t.customMediaSide2, 64);
}

// ---- Refills ----

namespace {

const RefillKey kOverlaySwitchKeys[] = {{"Ovl_Nosetting", 0},  {"Ovl_Host_Create", 1},     {"Ovl_Host_Print", 2},
                                        {"Ovl_Device_Print", 3}, {"Ovl_Host_CreateShare", 4}};
const RefillKey kHeaderKeys[] = {{"HFE_HeaderLeft", 1}, {"HFE_HeaderCenter", 2}, {"HFE_HeaderRight", 3}};
const RefillKey kFooterKeys[] = {{"HFE_FooterLeft", 1}, {"HFE_FooterCenter", 2}, {"HFE_FooterRight", 3}};
const RefillKey kPrintWithBlackKeys[] = {{"PrnBk_TextAndGraphics", 0}, {"PrnBk_All", 1}, {"PrnBk_Text", 2}};
const RefillKey kBlackOverPrintKeys[] = {{"BlackOverPrintText", 0}, {"BlackOverPrintTextAndGraphics", 1}};
const RefillKey kChkBlankRatioKeys[] = {{"ChkBlankRatio_75", 75}, {"ChkBlankRatio_50", 50}};

template <size_t N>
constexpr RefillDef Named(const char* entry, size_t capacity, const RefillKey (&keys)[N]) {
    return {entry, capacity, keys, N};
}

// The keys of a list's built-in options.
std::vector<RefillKey> OwnKeys(const uint8_t* list, std::vector<std::string>& store) {
    std::vector<RefillKey> keys;
    size_t n = ListCount(list);
    store.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* rec = RecordAt(list, i);
        store.emplace_back(Keyword(rec));
        keys.push_back({store.back().c_str(), Value(rec)});
    }
    return keys;
}

// Refills a catalogue list with its own built-in keywords and values, capacity its
// built-in count.
void RefillWithOwnKeys(const model::Package& pkg, const char* name) {
    Catalogue& cat = TheCatalogue();
    uint8_t* list = cat.FindList(name);
    if (list == nullptr) return;
    std::vector<std::string> store;
    std::vector<RefillKey> keys = OwnKeys(list, store);
    RefillList(pkg, name, list, cat.StorageBytes(list), keys, keys.size());
}

}  // namespace

const RefillDef kNamedRefills[6] = {
    Named("Overlay_Switch", 5, kOverlaySwitchKeys),       Named("HFE_HeaderPosition", 3, kHeaderKeys),
    Named("HFE_FooterPosition", 3, kFooterKeys),          Named("PrintWithBlack_op", 3, kPrintWithBlackKeys),
    Named("BlackOverPrint_op", 2, kBlackOverPrintKeys),   Named("ChkBlankRatio_op", 2, kChkBlankRatioKeys),
};

const char* const kColourRefills[] = {
    "ColorSetting",       "RGBProf",           "Text_RGBProf",        "Img_RGBProf",     "Graph_RGBProf",
    "Text_RGBColorMatch", "Img_RGBColorMatch", "Graph_RGBColorMatch", "Text_RGBGray",    "Img_RGBGray",
    "Graph_RGBGray",      "Text_Halftone",     "Img_Halftone",        "Graph_Halftone",  "SimulationProf",
    "DestinationProf",    "Simu_CMYKGray",
};
const size_t kColourRefillCount = sizeof(kColourRefills) / sizeof(kColourRefills[0]);

bool RefillList(const model::Package& pkg, const char* entry, uint8_t* list, size_t storageBytes,
                const std::vector<RefillKey>& keys, size_t capacity, const char* dropKey) {
    model::EntryInfo e;
    if (list == nullptr || !pkg.GetEntry(entry, &e)) return false;
    size_t room = storageBytes / kSizeNamed;
    if (room == 0) return false;
    if (capacity > room - 1) capacity = room - 1;
    // The built-in names stay available for items without a text.
    std::vector<uint8_t> before(list, list + ListBytes(list));
    OptionListBuilder b;
    pkg.ForEachItem(e, model::ItemOrder::Index, [&](uint32_t at) {
        if (b.Count() >= capacity) return false;
        vpd::Item item;
        char key[vpd::kMaxString + 1];
        if (!pkg.ReadItem(at, &item) || !pkg.ReadKey(item.key, key, sizeof key)) return true;
        if (dropKey && AsciiEqualNoCase(key, dropKey)) return true;
        const RefillKey* match = nullptr;
        for (const RefillKey& k : keys)
            if (AsciiEqualNoCase(key, k.key)) match = match ? match : &k;
        if (match == nullptr) return true;
        uint8_t* rec = b.Add(kSizeNamed, key, match->value);
        WCHAR name[kNameChars] = {};
        if (pkg.ReadValue(item.value, name, kNameChars)) {
            WriteDisplayName(rec, name);
        } else if (const uint8_t* old = FindKeyword(before.data(), match->key)) {
            WriteDisplayName(rec, DisplayName(old));
        }
        return true;
    });
    std::vector<uint8_t> rebuilt = b.Finish();
    std::memset(list, 0, storageBytes);
    std::memcpy(list, rebuilt.data(), rebuilt.size());
    return true;
}

void RefillLists(const model::Package& pkg, model::ModelTables& tables) {
    Catalogue& cat = TheCatalogue();
    const bool sharedOverlay = tables.record && tables.record->facts[kFactSharedOverlay] == 1;
    for (const RefillDef& r : kNamedRefills) {
        uint8_t* list = cat.FindList(r.entry);
        std::vector<RefillKey> keys(r.keys, r.keys + r.keyCount);
        const char* drop = std::strcmp(r.entry, "Overlay_Switch") == 0 && !sharedOverlay ? "Ovl_Host_CreateShare" : nullptr;
        RefillList(pkg, r.entry, list, cat.StorageBytes(list), keys, r.capacity, drop);
    }
    for (const char* name : kColourRefills) RefillWithOwnKeys(pkg, name);
}

void LoadDestinationLists(const model::Package& pkg, model::ModelTables& tables) {
    if (tables.record == nullptr || tables.record->facts[kFactDestinationKind] != 3) return;
    for (const char* name : {"Text_Destination", "Img_Destination", "Graph_Destination"}) RefillWithOwnKeys(pkg, name);
}

// ---- Step 11 ----

const char* const kFaxTextLoads[7] = {"FcsBStyle",       "FcsBSelectForm",  "FcsRStandard", "FtpRecipentList",
                                      "FtpECM",          "FtpIntTransMode", "FtpV34"};

void LoadFaxLists(const model::Package& pkg, model::ModelTables&) {
    Catalogue& cat = TheCatalogue();
    for (const char* name : kFaxTextLoads) {
        uint8_t* list = cat.FindList(name);
        if (FirstRecordSize(list) == kSizeNamed) model::OptionTextLoad(pkg, name, list, kSizeNamed, 1);
    }
}

}  // namespace nvx::features
