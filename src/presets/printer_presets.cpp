#include "presets/printer_presets.h"

#include <cstring>
#include <iterator>
#include <tuple>

#include "features/model_record.h"
#include "features/option_record.h"
#include "frame/variant_switches.h"
#include "model/model_tables.h"
#include "settings/oemdev_defaults.h"
#include "settings/oemdev_template.h"
#include "stamps/watermark_store.h"

namespace nvx::presets {

namespace {

WString DriverNameOf(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) return WString();
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return WString();
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return info->pDriverName ? WString(info->pDriverName) : WString();
}

// A handle of the printer (by its name) opened for administering, or null.
HANDLE OpenForAdministering(HANDLE printer) {
    WString name = stamps::PrinterNameOf(printer);
    if (name.empty()) return nullptr;
    PRINTER_DEFAULTSW defaults{};
    defaults.DesiredAccess = PRINTER_ACCESS_ADMINISTER;
    HANDLE admin = nullptr;
    if (!OpenPrinterW(name.data(), &admin, &defaults)) return nullptr;
    return admin;
}

template <typename From, typename To>
void CopyRecords(const std::vector<From>& from, std::vector<To>* to) {
    static_assert(sizeof(From) == std::tuple_size<To>::value);
    for (const From& r : from) {
        to->emplace_back();
        std::memcpy(to->back().data(), &r, sizeof r);
    }
}

}  // namespace

ContentOptions& ProcessContentOptions() {
    static ContentOptions options{};
    return options;
}

std::vector<std::array<int32_t, 4>> ResolutionTable(const model::ModelTables* tables) {
    std::vector<std::array<int32_t, 4>> table;
    if (!tables || !tables->record) return table;
    if (const uint8_t* list = tables->record->ListData("Resolution")) {
        for (size_t k = 0, n = features::ListCount(list); k < n; ++k) {
            features::ResolutionData r;
            std::memcpy(&r, features::RecordAt(list, k) + features::kModelDataAt, sizeof r);
            table.push_back({r.horizontal, r.vertical, r.diagonal, r.bitsPerPixel});
        }
    }
    return table;
}

std::vector<LockEntry> ReadLockedSettings(HANDLE printer) {
    std::vector<LockEntry> locked;
    BYTE record[kLockRecordBytes + 1] = {};
    DWORD type = 0, needed = 0;
    if (!printer || GetPrinterDataW(printer, const_cast<LPWSTR>(kLockValueName), &type, record, sizeof record,
                                    &needed) != ERROR_SUCCESS)
        return locked;
    for (LockEntry& e : DecodeLockRecord(record, needed))
        if (!e.feature.empty()) locked.push_back(std::move(e));
    return locked;
}

PresetEnvironment PrinterEnvironment(HANDLE printer, const model::ModelTables* tables) {
    PresetEnvironment env;
    env.driverName = DriverNameOf(printer);
    env.language = LanguageCode(kModelLanguageId);
    env.options = ProcessContentOptions();
    env.rules = RecordExchangeRules::FromVariants();
    env.rules.resolutions = ResolutionTable(tables);
    for (const LockEntry& e : ReadLockedSettings(printer)) env.rules.lockedFeatures.push_back(e.feature);
    const stamps::WatermarkSet set = stamps::LoadWatermarks(printer, nullptr);
    CopyRecords(set.shared, &env.lists.shared);
    CopyRecords(set.personal, &env.lists.personal);
    CopyRecords(set.order, &env.lists.order);
    const bool colourSwitch = frame::AskVariant("_PRP_QUALTY_MFP_C") != 0;
    env.monochrome = settings::MonochromeApplies(settings::DriverNameEndsInMono(printer), colourSwitch,
                                                 settings::CurrentModelFacts().colourField);
    return env;
}

bool CanAdministerPrinter(HANDLE printer) {
    HANDLE admin = OpenForAdministering(printer);
    if (!admin) return false;
    ClosePrinter(admin);
    return true;
}

bool LoadPrinterList(HANDLE printer, const OEMDEV& record, const ApplyContext& ctx, EasySetList* list) {
    StoreValues shared(model::ValueStore::OfPrinter(printer));
    model::RegKey key;
    const bool hasKey = model::OpenUserKey(printer, &key) == ERROR_SUCCESS;
    StoreValues personal(model::ValueStore::OfKey(key.get()));
    std::vector<BYTE> defaultText;
    const bool hasDefaultText =
        model::ValueStore::OfPrinter(printer).ReadAll(WL("DefaultEasySet"), &defaultText) == ERROR_SUCCESS;
    OEMDEV defaults;
    settings::FillDefaultSettings(defaults.bytes, printer);
    ListSources sources;
    sources.shared = &shared;
    sources.personal = hasKey ? &personal : nullptr;
    sources.defaultText = hasDefaultText ? &defaultText : nullptr;
    sources.defaults = &defaults;
    return BuildList(sources, record, ctx, list);
}

DWORD SavePrinterScope(HANDLE printer, const EasySetList& list, uint32_t scope) {
    if (scope == kSharedScope) {
        HANDLE admin = OpenForAdministering(printer);
        if (!admin) return ERROR_ACCESS_DENIED;
        StoreValues shared(model::ValueStore::OfPrinter(admin));
        const DWORD rc = WritePresetStore(shared, list, kSharedScope);
        ClosePrinter(admin);
        return rc;
    }
    model::RegKey key;
    if (LSTATUS rc = model::CreateUserKey(printer, &key); rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    StoreValues personal(model::ValueStore::OfKey(key.get()));
    return WritePresetStore(personal, list, kPersonalScope);
}

DWORD SavePrinterOrder(HANDLE printer, const EasySetList& list) {
    model::RegKey key;
    if (LSTATUS rc = model::CreateUserKey(printer, &key); rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    StoreValues personal(model::ValueStore::OfKey(key.get()));
    return WritePresetOrder(personal, list);
}

// ---- Factory presets ----

WString DecodeCatalogueComment(WStringView raw) {
    WString out;
    for (size_t i = 0; i < raw.size() && out.size() < 256; ++i) {
        if (raw[i] != u'\\') {
            out.push_back(raw[i]);
            continue;
        }
        if (++i >= raw.size()) break;
        if (raw[i] == u'n') {
            out += WL("\r\n");
        } else if (raw[i] == u'\\') {
            out.push_back(u'\\');
        }  // \r and any other character: dropped with the backslash
    }
    if (out.size() > 256) out.resize(256);
    return out;
}

std::vector<FactoryPreset> ReadFactoryCatalogue(const model::Package& pkg) {
    std::vector<FactoryPreset> catalogue;
    model::EntryInfo e;
    if (!pkg.GetEntry("EasySet", &e)) return catalogue;
    char first[vpd::kMaxString + 1] = {};
    const bool hasFirst = pkg.ReadDefaultName("EasySet", first, sizeof first);
    pkg.ForEachItem(e, model::ItemOrder::Chain, [&](uint32_t at) {
        vpd::Item item;
        char key[vpd::kMaxString + 1] = {};
        WCHAR file[MAX_PATH] = {};
        if (!pkg.ReadItem(at, &item) || !pkg.ReadKey(item.key, key, sizeof key) ||
            !pkg.ReadValue(item.value, file, MAX_PATH))
            return catalogue.size() < kMaxSharedEntries;
        FactoryPreset p;
        p.key = key;
        p.file = file;
        p.first = hasFirst && AsciiEqualNoCase(key, first);
        std::string textsEntry = "EasySetName_" + p.key;
        model::EntryInfo texts;
        if (textsEntry.size() < 64 && pkg.GetEntry(textsEntry.c_str(), &texts)) {
            pkg.ForEachItem(texts, model::ItemOrder::Chain, [&](uint32_t t) {
                vpd::Item ti;
                char tkey[16] = {};
                WCHAR value[vpd::kMaxString + 1] = {};
                if (!pkg.ReadItem(t, &ti) || !pkg.ReadKey(ti.key, tkey, sizeof tkey) ||
                    !pkg.ReadValue(ti.value, value, std::size(value)))
                    return true;
                if (AsciiEqualNoCase(tkey, "name"))
                    p.name = WString(value).substr(0, kMaxNameChars);
                else if (AsciiEqualNoCase(tkey, "comment"))
                    p.comment = DecodeCatalogueComment(value).substr(0, kMaxCommentChars);
                return true;
            });
        }
        catalogue.push_back(std::move(p));
        return catalogue.size() < kMaxSharedEntries;
    });
    return catalogue;
}

bool AcceptFactoryFile(const SettingsDoc& doc, const PresetEnvironment& env) {
    EasySetHeader h{};
    if (!ReadHeader(doc, h)) return false;
    int64_t versionNumber = 0;
    if (doc.ReadNumber(WL("DriverInfo"), WL("versionnum"), 0, 0xFFFF, &versionNumber) != SettingsDoc::Read::Ok ||
        versionNumber != 1)
        return false;
    const WString language(h.language, WLenBounded(h.language, 8));
    if (!language.empty() && !WEqualNoCase(language, env.language)) return false;
    // The model rule of the import check (version and system are not compared here).
    ImportEnvironment ie;
    ie.driverName = env.driverName;
    ie.language = language;  // checked above
    WString name(h.name, WLenBounded(h.name, 32));
    // A stand-in name: the name checks are the installer's own.
    const ImportVerdict v = CheckImport(&doc, name.empty() ? WString(WL("-")) : name, ie);
    return v.message == 0 || v.message == 87 || v.message == 88;
}

namespace {

// The record a factory file stands for: the printer's defaults with the file's keys.
bool FactoryRecord(SettingsDoc& doc, const PresetEnvironment& env, const OEMDEV& defaults, OEMDEV* record) {
    *record = defaults;
    RecordExchangeRules rules = env.rules;
    rules.options[kIncludePaper] = 1;
    rules.options[kIncludeResolution] = 1;
    ExchangeRecord(Direction::Read, doc, *record, rules);
    // A built-in watermark named by its key keeps the built-in's texts and face.
    const stamps::WatermarkRecord chosen = stamps::RecordWatermark(*record);
    const std::vector<stamps::WatermarkRecord> builtins = stamps::BuiltinWatermarks(stamps::DefaultWatermarkFace());
    for (size_t i = 0; i < builtins.size() && i < 20; ++i) {
        if (chosen.szKey[0] == 0 || std::strncmp(chosen.szKey, builtins[i].szKey, sizeof chosen.szKey) != 0) continue;
        stamps::WatermarkRecord replaced = chosen;
        std::memcpy(replaced.szWmkTitle, builtins[i].szWmkTitle, sizeof replaced.szWmkTitle);
        std::memcpy(replaced.szWmkStr, builtins[i].szWmkStr, sizeof replaced.szWmkStr);
        std::memcpy(replaced.szFontName, builtins[i].szFontName, sizeof replaced.szFontName);
        std::memcpy(record->bytes + stamps::kRecordWatermarkOffset, &replaced, sizeof replaced);
        break;
    }
    return true;
}

}  // namespace

DWORD InstallFactoryPresets(HANDLE printer, const std::vector<FactoryPreset>& catalogue, const WString& folder,
                            const model::ModelTables* tables) {
    model::ValueStore data = model::ValueStore::OfPrinter(printer);
    uint32_t installed = 0;
    if (data.ReadDword(kInstalledValue, &installed) && installed != 0) return ERROR_SUCCESS;

    PresetEnvironment env = PrinterEnvironment(printer, tables);
    StoreValues shared(data);
    EasySetList list;
    std::vector<EasySetEntry> stored;
    ReadPresetStore(shared, kSharedScope, &stored);
    for (EasySetEntry& e : stored) list.Add(std::move(e));
    // The defaults every factory preset starts from, read before the first preset's
    // record is stored as the printer's fresh defaults.
    OEMDEV defaults;
    settings::FillDefaultSettings(defaults.bytes, printer);
    bool added = false;
    for (const FactoryPreset& item : catalogue) {
        SettingsDoc doc;
        WString path = folder;
        if (!path.empty() && path.back() != u'\\' && path.back() != u'/') path.push_back(u'/');
        path += item.file;
        if (LoadSettingsFile(path, &doc) != ERROR_SUCCESS || !AcceptFactoryFile(doc, env)) continue;
        EasySetHeader fileHeader{};
        bool usedFallback = false;
        ReadHeader(doc, fileHeader, item.name.c_str(), item.comment.c_str(), &usedFallback);
        const WString name(fileHeader.name, WLenBounded(fileHeader.name, 32));
        const WString comment(fileHeader.comment, WLenBounded(fileHeader.comment, 256));
        if (name.empty() || list.Find(name, kSharedScope) >= 0) continue;
        if (list.CountScope(kSharedScope) + 1 >= kMaxSharedEntries) break;  // the Default entry counts as one
        OEMDEV record;
        FactoryRecord(doc, env, defaults, &record);
        EasySetEntry entry;
        if (!MakeEntry(env, record, MakeHeader(env, name, comment, 1, 0, 0), kSharedScope, &entry)) continue;
        if (item.first) {
            OEMDEV first = defaults;
            ApplyContext ctx;
            ctx.env = &env;
            ApplyEntry(entry, first, ctx);
            SetRecordPreset(first, kKindShared, name);
            if (DWORD rc = data.Write(kFirstRecordValue, REG_BINARY, first.bytes, sizeof first.bytes);
                rc != ERROR_SUCCESS)
                return rc;
        }
        list.Add(std::move(entry));
        added = true;
    }
    if (added) {
        if (DWORD rc = WritePresetStore(shared, list, kSharedScope); rc != ERROR_SUCCESS) return rc;
    }
    if (DWORD rc = data.WriteDword(kInstalledValue, 1); rc != ERROR_SUCCESS) return rc;
    SetLastError(ERROR_SUCCESS);
    return ERROR_SUCCESS;
}

bool ReadFirstPresetRecord(HANDLE printer, OEMDEV* out) {
    return model::ValueStore::OfPrinter(printer).ReadExact(kFirstRecordValue, out->bytes, sizeof out->bytes);
}

}  // namespace nvx::presets
