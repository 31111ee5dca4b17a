// The settings text's sections: preset header, settings record, watermarks; and the
// import checks.
#include "presets/settings_exchange.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/ansi.h"
#include "frame/variant_switches.h"

namespace nvx::presets {

namespace {

using settings::FieldDef;
using settings::FieldKind;
using settings::FieldRef;

constexpr const WCHAR* kDriverInfo = WL("DriverInfo");
constexpr const WCHAR* kEasySetName = WL("EasySetName");
constexpr const WCHAR* kOemDev = WL("OEMDEV");

// The numbers a field of this kind accepts: its own range; 32-bit fields also take
// the unsigned spelling.
void NumberRange(FieldKind kind, int64_t* min, int64_t* max) {
    switch (kind) {
    case FieldKind::U8: *min = 0, *max = 0xFF; break;
    case FieldKind::I8: *min = -0x80, *max = 0x7F; break;
    case FieldKind::U16: *min = 0, *max = 0xFFFF; break;
    case FieldKind::I16: *min = -0x8000, *max = 0x7FFF; break;
    default: *min = INT32_MIN, *max = UINT32_MAX; break;
    }
}

// Reads a string key into a fixed WCHAR field; absent keys leave it.
bool ReadHeaderText(const SettingsDoc& doc, const WCHAR* section, const WCHAR* key, WCHAR* field, size_t capacity) {
    WString value;
    switch (doc.ReadString(section, key, capacity, &value)) {
    case SettingsDoc::Read::Absent: return true;
    case SettingsDoc::Read::Bad: return false;
    case SettingsDoc::Read::Ok: break;
    }
    std::memset(field, 0, capacity * sizeof(WCHAR));
    WCopy(field, capacity, value);
    return true;
}

WString FieldText(const WCHAR* field, size_t capacity) {
    return WString(field, WLenBounded(field, capacity));
}

// The wide spelling of each key of ExchangeOrder(), made once.
const std::vector<WString>& WideKeys() {
    static const std::vector<WString> keys = [] {
        std::vector<WString> out;
        for (const settings::ExchangeItem& item : settings::ExchangeOrder()) out.push_back(WFromAscii(item.key));
        return out;
    }();
    return keys;
}

// Rows of the field table whose exchange depends on a switch of the rules, named by
// their first and last row; resolved against the table once.
enum class Gate { PresetOnly, SetupOnly, ImageShift, Cover, ColorAdjust, ColorAdjustOther };
struct GateRange {
    const char* first;
    const char* last;
    Gate gate;
};
constexpr GateRange kGates[] = {
    {"bPassthruOff", "bPassthruOff", Gate::PresetOnly},
    {"nOutputMethod", "nOutputMethod", Gate::SetupOnly},
    {"nFrontImgShiftX", "bImgShiftBackAuto", Gate::ImageShift},
    {"CoverPrinter.bSeparator", "CoverMFP.nPerPageList", Gate::Cover},
    {"ColorAdjustPRT.nType", "ColorAdjustMFP.EachEtc.nScreenSmooth", Gate::ColorAdjust},
    {"ColorAdjustMFP.EachEtcType2.Match.nType", "ColorAdjustMFP.EachEtcType2.Others.nSmoothing",
     Gate::ColorAdjustOther},
};
// The groups that reading takes only with a content option.
constexpr GateRange kPaperGroup = {"nOrientation", "rcMargin.bottom", Gate::PresetOnly};
constexpr GateRange kResolutionGroup = {"byResolution", "nBitsPixel", Gate::PresetOnly};

size_t RowOf(const char* name) {
    for (size_t i = 0; i < settings::kOemDevFieldCount; ++i)
        if (std::strcmp(settings::kOemDevFields[i].name, name) == 0) return i;
    return settings::kOemDevFieldCount;  // not reached: the table test pins every name
}

bool InRange(const FieldDef& def, const GateRange& range) {
    size_t row = static_cast<size_t>(&def - settings::kOemDevFields);
    return row >= RowOf(range.first) && row <= RowOf(range.last);
}

struct GateRows {
    size_t first, last;
    Gate gate;
};
const std::vector<GateRows>& ResolvedGates() {
    static const std::vector<GateRows> rows = [] {
        std::vector<GateRows> out;
        for (const GateRange& g : kGates) out.push_back({RowOf(g.first), RowOf(g.last), g.gate});
        return out;
    }();
    return rows;
}

bool GateOpen(Gate gate, const RecordExchangeRules& rules) {
    switch (gate) {
    case Gate::PresetOnly: return !rules.fullSetup;
    case Gate::SetupOnly: return rules.fullSetup;
    case Gate::ImageShift: return rules.imageShiftType1;
    case Gate::Cover: return rules.coverType1;
    case Gate::ColorAdjust: return rules.colorAdjustType1;
    case Gate::ColorAdjustOther: return rules.colorAdjustType1 && rules.colorAdjustOtherType2;
    }
    return false;
}

// The user's and the department's keys: secrets a settings text never carries in
// clear (their keys are written empty, and read back as nothing).
bool SecretField(const FieldDef& def) {
    return std::strcmp(def.name, "szVLUserKey") == 0 || std::strcmp(def.name, "szVLSectionKey") == 0;
}

bool WriteField(SettingsDoc& doc, const WCHAR* section, WStringView key, const OEMDEV& record, FieldRef field,
                int32_t numberOverride, bool useOverride) {
    switch (field.def->kind) {
    case FieldKind::Ansi:
        if (SecretField(*field.def)) return doc.WriteNarrow(section, key, std::string());
        return doc.WriteNarrow(section, key, settings::GetAnsi(record, field));
    case FieldKind::Text: return doc.WriteString(section, key, settings::GetText(record, field));
    default:
        return doc.WriteNumber(section, key, useOverride ? numberOverride : settings::GetNumber(record, field));
    }
}

// Reads one key into its field; true when absent or applied.
bool ReadField(const SettingsDoc& doc, const WCHAR* section, WStringView key, OEMDEV& record, FieldRef field) {
    const FieldDef& def = *field.def;
    switch (def.kind) {
    case FieldKind::Ansi: {
        // A secret in a text written elsewhere is not taken: the record keeps its own.
        if (SecretField(def)) return true;
        std::string value;
        auto r = doc.ReadNarrow(section, key, def.size, &value);
        if (r == SettingsDoc::Read::Absent) return true;
        return r == SettingsDoc::Read::Ok && settings::SetAnsi(record, field, value);
    }
    case FieldKind::Text: {
        WString value;
        auto r = doc.ReadString(section, key, settings::TextCapacity(def), &value);
        if (r == SettingsDoc::Read::Absent) return true;
        return r == SettingsDoc::Read::Ok && settings::SetText(record, field, value);
    }
    default: {
        int64_t min = 0, max = 0, value = 0;
        NumberRange(def.kind, &min, &max);
        auto r = doc.ReadNumber(section, key, min, max, &value);
        if (r == SettingsDoc::Read::Absent) return true;
        return r == SettingsDoc::Read::Ok && settings::SetNumber(record, field, value);
    }
    }
}

// The watermark record's fields: the settings record's "WmkInfo." rows, at their
// distance from "WmkInfo.szKey".
struct WatermarkField {
    const FieldDef* def;
    std::string suffix;  // "szKey", "ptWmkPos.x", ...
};
const std::vector<WatermarkField>& WatermarkFields() {
    static const std::vector<WatermarkField> fields = [] {
        std::vector<WatermarkField> out;
        for (size_t i = 0; i < settings::kOemDevFieldCount; ++i) {
            const FieldDef& def = settings::kOemDevFields[i];
            if (std::strncmp(def.name, "WmkInfo.", 8) == 0) out.push_back({&def, def.name + 8});
        }
        return out;
    }();
    return fields;
}
uint32_t WatermarkBase() {
    return settings::FindField("WmkInfo.szKey").Offset();
}

WString Key(const char* prefix, size_t n, std::string_view suffix) {
    std::string k = prefix + std::to_string(n) + "." + std::string(suffix);
    return WFromAscii(k);
}

}  // namespace

WString LanguageCode(uint16_t languageId) {
    char hex[8];
    snprintf(hex, sizeof hex, "%04x", languageId);
    return WUpper(WFromAscii(hex));
}

bool ExchangeHeader(Direction direction, SettingsDoc& doc, EasySetHeader& h, const WCHAR* fallbackName,
                    const WCHAR* fallbackComment, bool* usedFallback) {
    if (usedFallback) *usedFallback = false;
    if (direction == Direction::Write) {
        bool ok = doc.WriteString(kDriverInfo, WL("model"), FieldText(h.model, 37));
        ok &= doc.WriteString(kDriverInfo, WL("version"), FieldText(h.version, 16));
        ok &= doc.WriteNumber(kDriverInfo, WL("versionnum"), static_cast<int32_t>(h.formatVersion));
        ok &= doc.WriteString(kDriverInfo, WL("system"), FieldText(h.system, 32));
        ok &= doc.WriteString(kDriverInfo, WL("language"), FieldText(h.language, 8));
        ok &= doc.WriteString(kEasySetName, WL("name"), FieldText(h.name, 32));
        ok &= doc.WriteString(kEasySetName, WL("comment"), FieldText(h.comment, 256));
        return ok;
    }
    return ReadHeader(doc, h, fallbackName, fallbackComment, usedFallback);
}

bool ReadHeader(const SettingsDoc& doc, EasySetHeader& h, const WCHAR* fallbackName, const WCHAR* fallbackComment,
                bool* usedFallback) {
    if (usedFallback) *usedFallback = false;
    h.magic = kEasySetMagic;
    bool ok = ReadHeaderText(doc, kDriverInfo, WL("model"), h.model, 37);
    ok &= ReadHeaderText(doc, kDriverInfo, WL("version"), h.version, 16);
    int64_t number = 0;
    switch (doc.ReadNumber(kDriverInfo, WL("versionnum"), INT32_MIN, UINT32_MAX, &number)) {
    case SettingsDoc::Read::Ok: h.formatVersion = static_cast<uint32_t>(number); break;
    case SettingsDoc::Read::Bad: ok = false; break;
    case SettingsDoc::Read::Absent: break;
    }
    ok &= ReadHeaderText(doc, kDriverInfo, WL("system"), h.system, 32);
    ok &= ReadHeaderText(doc, kDriverInfo, WL("language"), h.language, 8);
    ok &= ReadHeaderText(doc, kEasySetName, WL("name"), h.name, 32);
    ok &= ReadHeaderText(doc, kEasySetName, WL("comment"), h.comment, 256);
    bool used = false;
    if (fallbackName && h.name[0] == 0) {
        std::memset(h.name, 0, sizeof h.name);
        WCopy(h.name, 32, fallbackName);
        used = true;
    }
    if (fallbackComment && h.comment[0] == 0) {
        std::memset(h.comment, 0, sizeof h.comment);
        WCopy(h.comment, 256, fallbackComment);
        used = true;
    }
    if (usedFallback) *usedFallback = used;
    return ok;
}

RecordExchangeRules RecordExchangeRules::FromVariants() {
    RecordExchangeRules rules;
    rules.imageShiftType1 = frame::AskVariant("_DLG_IMGSHIFT_TYPE1") != 0;
    rules.coverType1 = frame::AskVariant("_PRP_COVER_TYPE1") != 0;
    rules.colorAdjustType1 = frame::AskVariant("_DLG_CLRADJ_TYPE1") != 0;
    return rules;
}

bool IsKeyExchanged(const FieldDef& def, const RecordExchangeRules& rules) {
    if (def.use != settings::kExchanged) return false;
    size_t row = static_cast<size_t>(&def - settings::kOemDevFields);
    for (const GateRows& g : ResolvedGates())
        if (row >= g.first && row <= g.last && !GateOpen(g.gate, rules)) return false;
    return true;
}

bool ExchangeRecord(Direction direction, SettingsDoc& doc, OEMDEV& record, const RecordExchangeRules& rules,
                    std::vector<std::string>* failedKeys) {
    bool ok = true;
    if (direction == Direction::Write) {
        // A copy protection the model cannot keep (kinds 2 and 3, operation 2) is
        // written as off; the record itself keeps it.
        bool protectOff = (rules.copyProtectKind == 2 || rules.copyProtectKind == 3) &&
                          settings::GetNumber(record, "bCopyProtect") != 0 &&
                          settings::GetNumber(record, "nCSE_CopyProtectOp") == 2;
        const auto& order = settings::ExchangeOrder();
        for (size_t i = 0; i < order.size(); ++i) {
            const settings::ExchangeItem& item = order[i];
            if (!IsKeyExchanged(*item.field.def, rules)) continue;
            bool off = protectOff && item.key == "bCopyProtect";
            if (!WriteField(doc, kOemDev, WideKeys()[i], record, item.field, 0, off)) {
                ok = false;
                if (failedKeys) failedKeys->push_back(item.key);
            }
        }
        return ok;
    }
    bool paper = rules.options[kIncludePaper] != 0;
    bool resolution = rules.options[kIncludeResolution] != 0;
    bool colorLocked = false;
    for (const std::string& f : rules.lockedFeatures) colorLocked |= f == "SelectColor";
    const auto& order = settings::ExchangeOrder();
    for (size_t i = 0; i < order.size(); ++i) {
        const settings::ExchangeItem& item = order[i];
        const FieldDef& def = *item.field.def;
        if (!IsKeyExchanged(def, rules)) continue;
        if (!paper && InRange(def, kPaperGroup)) continue;
        if (!resolution && InRange(def, kResolutionGroup)) continue;
        if (colorLocked && item.key == "nColorMode") continue;
        if (!ReadField(doc, kOemDev, WideKeys()[i], record, item.field)) {
            ok = false;
            if (failedKeys) failedKeys->push_back(item.key);
        }
    }
    if (resolution && !rules.resolutions.empty()) {
        std::array<int32_t, 4> values = {settings::GetNumber(record, "nResoH"), settings::GetNumber(record, "nResoV"),
                                         settings::GetNumber(record, "nResoHV"),
                                         settings::GetNumber(record, "nBitsPixel")};
        for (size_t i = 0; i < rules.resolutions.size() && i < 256; ++i) {
            if (rules.resolutions[i] == values) {
                settings::SetNumber(record, "byResolution", static_cast<int64_t>(i));
                break;
            }
        }
    }
    int32_t outPaper = settings::GetNumber(record, "nOutPaperSize");
    if (outPaper == 356 || outPaper == 357) {
        settings::SetNumber(record, "sizOutPaper.cx", settings::GetNumber(record, "sizPaper.cx"));
        settings::SetNumber(record, "sizOutPaper.cy", settings::GetNumber(record, "sizPaper.cy"));
    }
    return ok;
}

bool ExchangeWatermarkList(Direction direction, bool shared, SettingsDoc& doc, std::vector<WatermarkRecord>& list,
                           const ContentOptions& options) {
    const WCHAR* section = shared ? WL("Watermark_Public") : WL("Watermark_Private");
    const size_t limit = shared ? kMaxSharedWatermarks : kMaxPrivateWatermarks;
    const uint32_t base = WatermarkBase();
    OEMDEV scratch{};
    auto fieldIn = [&](const WatermarkField& f) { return FieldRef{f.def, 0}; };
    bool ok = true;
    if (direction == Direction::Write) {
        size_t count = std::min(list.size(), limit);
        ok &= doc.WriteNumber(section, WL("WMInfoCnt"), static_cast<int32_t>(count));
        for (size_t n = 0; n < count; ++n) {
            std::memcpy(scratch.bytes + base, list[n].data(), kWatermarkRecordSize);
            for (const WatermarkField& f : WatermarkFields())
                ok &= WriteField(doc, section, Key("WMInfo", n + 1, f.suffix), scratch, fieldIn(f), 0, false);
        }
        return ok;
    }
    if (options[kIncludeWatermarks] == 0) return true;
    if (shared && options[kIncludeSharedWatermarks] == 0) return true;
    int64_t count = 0;
    switch (doc.ReadNumber(section, WL("WMInfoCnt"), 0, INT32_MAX, &count)) {
    case SettingsDoc::Read::Absent: return true;
    case SettingsDoc::Read::Bad: return false;
    case SettingsDoc::Read::Ok: break;
    }
    if (static_cast<uint64_t>(count) > limit) {
        ok = false;  // more than the list holds: the first ones are kept
        count = static_cast<int64_t>(limit);
    }
    std::vector<WatermarkRecord> read;
    for (size_t n = 0; n < static_cast<size_t>(count); ++n) {
        std::memset(scratch.bytes + base, 0, kWatermarkRecordSize);
        for (const WatermarkField& f : WatermarkFields())
            ok &= ReadField(doc, section, Key("WMInfo", n + 1, f.suffix), scratch, fieldIn(f));
        WatermarkRecord record;
        std::memcpy(record.data(), scratch.bytes + base, kWatermarkRecordSize);
        read.push_back(record);
    }
    list = std::move(read);
    return ok;
}

bool ExchangeWatermarkOrder(Direction direction, SettingsDoc& doc, std::vector<WatermarkOrderRecord>& order,
                            const ContentOptions& options) {
    const WCHAR* section = WL("Watermark_Order");
    bool ok = true;
    if (direction == Direction::Write) {
        size_t count = std::min(order.size(), kMaxWatermarkOrder);
        ok &= doc.WriteNumber(section, WL("WMOrderCnt"), static_cast<int32_t>(count));
        for (size_t n = 0; n < count; ++n) {
            const BYTE* r = order[n].data();
            std::string key(reinterpret_cast<const char*>(r + kOrderKeyOffset),
                            strnlen(reinterpret_cast<const char*>(r + kOrderKeyOffset), kOrderKeySize));
            uint32_t pub = r[kOrderPublicOffset] | r[kOrderPublicOffset + 1] << 8 | r[kOrderPublicOffset + 2] << 16 |
                           static_cast<uint32_t>(r[kOrderPublicOffset + 3]) << 24;
            WString name;
            for (size_t i = 0; i < kOrderNameChars; ++i) {
                WCHAR c = static_cast<WCHAR>(r[kOrderNameOffset + 2 * i] | r[kOrderNameOffset + 2 * i + 1] << 8);
                if (c == 0) break;
                name += c;
            }
            ok &= doc.WriteNarrow(section, Key("WMOrder", n + 1, "szKey"), key);
            ok &= doc.WriteNumber(section, Key("WMOrder", n + 1, "bPublic"), static_cast<int32_t>(pub));
            ok &= doc.WriteString(section, Key("WMOrder", n + 1, "szName"), name);
        }
        return ok;
    }
    if (options[kIncludeWatermarks] == 0) return true;
    int64_t count = 0;
    switch (doc.ReadNumber(section, WL("WMOrderCnt"), 0, INT32_MAX, &count)) {
    case SettingsDoc::Read::Absent: return true;
    case SettingsDoc::Read::Bad: return false;
    case SettingsDoc::Read::Ok: break;
    }
    if (static_cast<uint64_t>(count) > kMaxWatermarkOrder) {
        ok = false;
        count = static_cast<int64_t>(kMaxWatermarkOrder);
    }
    std::vector<WatermarkOrderRecord> read;
    for (size_t n = 0; n < static_cast<size_t>(count); ++n) {
        WatermarkOrderRecord r{};
        std::string key;
        switch (doc.ReadNarrow(section, Key("WMOrder", n + 1, "szKey"), kOrderKeySize, &key)) {
        case SettingsDoc::Read::Ok: std::memcpy(r.data() + kOrderKeyOffset, key.data(), key.size()); break;
        case SettingsDoc::Read::Bad: ok = false; break;
        case SettingsDoc::Read::Absent: break;
        }
        int64_t pub = 0;
        switch (doc.ReadNumber(section, Key("WMOrder", n + 1, "bPublic"), INT32_MIN, UINT32_MAX, &pub)) {
        case SettingsDoc::Read::Ok:
            for (int b = 0; b < 4; ++b) r[kOrderPublicOffset + b] = static_cast<BYTE>(static_cast<uint64_t>(pub) >> (8 * b));
            break;
        case SettingsDoc::Read::Bad: ok = false; break;
        case SettingsDoc::Read::Absent: break;
        }
        WString name;
        switch (doc.ReadString(section, Key("WMOrder", n + 1, "szName"), kOrderNameChars, &name)) {
        case SettingsDoc::Read::Ok:
            for (size_t i = 0; i < name.size(); ++i) {
                r[kOrderNameOffset + 2 * i] = static_cast<BYTE>(name[i] & 0xFF);
                r[kOrderNameOffset + 2 * i + 1] = static_cast<BYTE>(name[i] >> 8);
            }
            break;
        case SettingsDoc::Read::Bad: ok = false; break;
        case SettingsDoc::Read::Absent: break;
        }
        read.push_back(r);
    }
    order = std::move(read);
    return ok;
}

bool BuildPresetText(SettingsDoc& doc, EasySetHeader& header, OEMDEV& record, WatermarkLists& lists,
                     const RecordExchangeRules& rules) {
    RecordExchangeRules presetRules = rules;
    presetRules.fullSetup = false;
    bool ok = ExchangeHeader(Direction::Write, doc, header);
    ok &= ExchangeRecord(Direction::Write, doc, record, presetRules);
    ok &= ExchangeWatermarkList(Direction::Write, true, doc, lists.shared, rules.options);
    ok &= ExchangeWatermarkList(Direction::Write, false, doc, lists.personal, rules.options);
    ok &= ExchangeWatermarkOrder(Direction::Write, doc, lists.order, rules.options);
    return ok;
}

ImportVerdict CheckImport(const SettingsDoc* doc, WStringView name, const ImportEnvironment& env) {
    ImportVerdict v;
    EasySetHeader h{};
    if (!doc || !ReadHeader(*doc, h)) {
        v.message = 89;
        return v;
    }
    if (name.empty()) {
        v.message = 30;
        return v;
    }
    for (const WString& listed : env.personalPresetNames) {
        if (listed == name) {
            v.message = 31;
            return v;
        }
    }
    WString language = FieldText(h.language, 8);
    if (h.formatVersion != kEasySetFormatVersion || !WEqualNoCase(language, env.language)) {
        v.message = 89;
        return v;
    }
    WString model = FieldText(h.model, 37);
    const WString& driver = env.driverName;
    const WStringView mono = WL("Mono");
    bool modelOk;
    if (driver.size() >= mono.size() && WStringView(driver).substr(driver.size() - mono.size()) == mono) {
        WStringView stem = WStringView(driver).substr(0, driver.size() >= 5 ? driver.size() - 5 : 0);
        modelOk = WStringView(model).substr(0, stem.size()) == stem;
    } else {
        modelOk = model == driver;
    }
    if (!modelOk) {
        v.message = 256;
        v.args[0] = model;
        v.args[1] = driver;
        return v;
    }
    WString system = FieldText(h.system, 32);
    if (system != env.system) {
        v.message = 87;
        v.args[0] = system;
        v.args[1] = env.system;
        return v;
    }
    WString version = FieldText(h.version, 16);
    if (version != kEasySetVersionString) {
        v.message = 88;
        v.args[0] = version;
        v.args[1] = kEasySetVersionString;
    }
    return v;
}

}  // namespace nvx::presets
