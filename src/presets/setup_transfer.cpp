// Settings transfer for setup programs: the setup text, its checks and the lock
// record (docs/setup-transfer.md).
#include "presets/setup_transfer.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "common/ansi.h"
#include "common/le.h"
#include "device/middle_server.h"
#include "device/user_settings.h"
#include "settings/oemdev_fields.h"

namespace nvx::presets {

namespace {

constexpr const WCHAR* kExcelSection = WL("ExcelJobCtrl");
constexpr const WCHAR* kAuthSection = WL("AuthUseEngine");
constexpr const WCHAR* kOptionSection = WL("DeviceOption");

WString OptionKey(size_t n) {
    WCHAR name[32];
    WFormat(name, 32, WL("Option%u"), static_cast<unsigned>(n));
    return name;
}

WString FieldText(const WCHAR* field, size_t capacity) {
    return WString(field, WLenBounded(field, capacity));
}

// Reads a number key into *value; Absent leaves it.  False for a key that fails.
bool ReadKey(const SettingsDoc& doc, const WCHAR* section, const WCHAR* key, int64_t min, int64_t max,
             uint32_t* value, std::vector<std::string>* failed) {
    int64_t v = 0;
    switch (doc.ReadNumber(section, key, min, max, &v)) {
    case SettingsDoc::Read::Absent: return true;
    case SettingsDoc::Read::Ok: *value = static_cast<uint32_t>(v); return true;
    case SettingsDoc::Read::Bad: break;
    }
    if (failed) {
        std::string name(1, '[');
        name.append(Utf8FromW(section)).append("] ").append(Utf8FromW(key));
        failed->push_back(std::move(name));
    }
    return false;
}

ContentOptions AllContentOptions() {
    ContentOptions options{};
    options[kIncludeResolution] = 1;
    options[kIncludePaper] = 1;
    options[kIncludeWatermarks] = 1;
    options[kIncludeSharedWatermarks] = 1;
    return options;
}

RecordExchangeRules SetupRules(const SetupFacts& facts) {
    RecordExchangeRules rules = facts.rules;
    rules.fullSetup = true;
    rules.options = AllContentOptions();
    return rules;
}

uint32_t CarriedOptions(const SetupFacts& facts) {
    return facts.optionCount < settings::devoption::kOptionSlots ? facts.optionCount
                                                                  : static_cast<uint32_t>(settings::devoption::kOptionSlots);
}

}  // namespace

bool BuildSetupText(SettingsDoc& doc, const SetupFacts& facts, SetupContent& content) {
    const RecordExchangeRules rules = SetupRules(facts);
    EasySetHeader header{};
    header.magic = kEasySetMagic;
    header.formatVersion = kEasySetFormatVersion;
    WCopy(header.name, 32, kSetupHeaderName);
    WCopy(header.model, 37, facts.driverName);
    WCopy(header.version, 16, kEasySetVersionString);
    WCopy(header.system, 32, kEasySetSystem);
    WCopy(header.language, 8, facts.language);
    std::memcpy(header.contentOptions, facts.rules.options.data(), sizeof header.contentOptions);
    bool ok = ExchangeHeader(Direction::Write, doc, header);
    ok &= ExchangeRecord(Direction::Write, doc, content.record, rules);
    if (facts.otherTab) {
        ok &= doc.WriteNumber(kExcelSection, WL("ExcelJobCtrl"), static_cast<int32_t>(content.excelJobCtrl));
        ok &= doc.WriteNumber(kAuthSection, WL("AuthUseEngine"), static_cast<int32_t>(content.authUseEngine));
    }
    ok &= ExchangeWatermarkList(Direction::Write, true, doc, content.lists.shared, rules.options);
    ok &= ExchangeWatermarkList(Direction::Write, false, doc, content.lists.personal, rules.options);
    ok &= ExchangeWatermarkOrder(Direction::Write, doc, content.lists.order, rules.options);
    const uint32_t count = CarriedOptions(facts);
    ok &= doc.WriteNumber(kOptionSection, WL("OptionCount"), static_cast<int32_t>(count));
    for (uint32_t n = 1; n <= count; ++n)
        ok &= doc.WriteNumber(kOptionSection, OptionKey(n),
                              settings::GetOptionValue(content.devOption.data(), n - 1));
    ok &= WriteDeviceSections(doc, content);
    return ok;
}

uint32_t CheckSetupHeader(const SettingsDoc& doc, const SetupFacts& facts) {
    EasySetHeader h{};
    ReadHeader(doc, h);
    if (h.formatVersion != kEasySetFormatVersion) return kSetupFormatVersion;
    if (FieldText(h.model, 37) != facts.driverName) return kSetupOtherModel;
    if (!WEqualNoCase(FieldText(h.language, 8), facts.language)) return kSetupOtherLanguage;
    return kSetupOk;
}

uint32_t ApplySetupText(const SettingsDoc& constDoc, const SetupFacts& facts, SetupContent& content,
                        std::vector<std::string>* failed) {
    std::vector<std::string> names;
    SettingsDoc doc = constDoc;  // the exchange functions take a document they may write
    SetupContent next = content;
    const RecordExchangeRules rules = SetupRules(facts);
    bool ok = ExchangeRecord(Direction::Read, doc, next.record, rules, &names);
    if (facts.otherTab) {
        ok &= ReadKey(doc, kExcelSection, WL("ExcelJobCtrl"), 0, 1, &next.excelJobCtrl, &names);
        ok &= ReadKey(doc, kAuthSection, WL("AuthUseEngine"), 0, 1, &next.authUseEngine, &names);
    }
    auto section = [&](bool good, const char* name) {
        if (!good) names.push_back(name);
        ok &= good;
    };
    section(ExchangeWatermarkList(Direction::Read, true, doc, next.lists.shared, rules.options),
            "[Watermark_Public]");
    section(ExchangeWatermarkList(Direction::Read, false, doc, next.lists.personal, rules.options),
            "[Watermark_Private]");
    section(ExchangeWatermarkOrder(Direction::Read, doc, next.lists.order, rules.options), "[Watermark_Order]");
    uint32_t count = 0;
    if (ReadKey(doc, kOptionSection, WL("OptionCount"), 0, CarriedOptions(facts), &count, &names)) {
        for (uint32_t n = 1; n <= count; ++n) {
            uint32_t value = settings::GetOptionValue(next.devOption.data(), n - 1);
            if (ReadKey(doc, kOptionSection, OptionKey(n).c_str(), 0, 65535, &value, &names))
                settings::SetOptionValue(next.devOption.data(), n - 1, static_cast<uint16_t>(value));
            else
                ok = false;
        }
    } else {
        ok = false;
    }
    ok &= ReadDeviceSections(doc, facts, next, &names);
    settings::SetNumber(next.record, "bPPTRmvWhiteBkg", 0);
    if (failed) *failed = names;
    if (!ok) return kSetupCannotReadFile;
    content = std::move(next);
    return kSetupOk;
}

// ---- Personal information ----

std::vector<std::pair<WString, WString>> ReadPersonalInfoKeys(const WString& path) {
    std::vector<WCHAR> list;
    DWORD n = 0;
    for (DWORD size = 260;; size += 260) {
        list.assign(size, 0);
        n = GetPrivateProfileStringW(WL("PersonalInfo"), nullptr, WL(""), list.data(), size, path.c_str());
        if (n < size - 2 || size >= 260u * 1024) break;
    }
    std::vector<std::pair<WString, WString>> keys;
    for (DWORD at = 0; at < n && list[at];) {
        const WString key(list.data() + at);
        at += static_cast<DWORD>(key.size()) + 1;
        std::vector<WCHAR> value(1024, 0);
        const DWORD len = GetPrivateProfileStringW(WL("PersonalInfo"), key.c_str(), WL(""), value.data(), 1024,
                                                   path.c_str());
        keys.emplace_back(key, WString(value.data(), len));
        SecureZeroMemory(value.data(), value.size() * sizeof(WCHAR));
    }
    return keys;
}

uint32_t ApplyPersonalInfo(const std::vector<std::pair<WString, WString>>& keys, const device::PasswordCipher& cipher,
                           bool usrsetType1, OEMDEV& record, std::string* failedKey, PersonalInfoExtras* extras,
                           WStringView logonName) {
    device::UserSettingsRecord rec{};
    device::CopyFromOemdev(record, usrsetType1, &rec);
    PersonalInfoExtras more = extras ? *extras : PersonalInfoExtras{};
    auto plainText = [](const WString& v, size_t limit) {
        if (v.size() > limit) return false;
        for (WCHAR c : v)
            if (c < 0x20 || c == 0x7F) return false;
        return true;
    };
    auto asciiText = [&plainText](const WString& v, size_t limit) {
        for (WCHAR c : v)
            if (c > 0x7E) return false;
        return plainText(v, limit);
    };
    auto putText = [](WCHAR* field, size_t capacity, const WString& v) {
        std::memset(field, 0, capacity * sizeof(WCHAR));
        std::memcpy(field, v.data(), v.size() * sizeof(WCHAR));
    };
    auto number = [](const WString& v, int64_t max, int64_t* out) {
        SettingsDoc doc;
        return doc.SetRaw(WL("v"), WL("v"), v) && doc.ReadNumber(WL("v"), WL("v"), 0, max, out) == SettingsDoc::Read::Ok;
    };
    std::optional<int64_t> publicUser, useLogonName;
    bool ok = true;
    for (const auto& entry : keys) {
        if (!ok) break;
        const WString& key = entry.first;
        const WString& value = entry.second;
        auto is = [&key](const WCHAR* name) { return WEqualNoCase(key, name); };
        bool good = true;
        int64_t n = 0;
        if (is(WL("VLUserName"))) {
            good = !value.empty() && plainText(value, device::kUserNameChars);
            if (good && value == WL("Public")) {
                rec.userType = 1;  // public-user access
                putText(rec.userName, 81, WString());
            } else if (good) {
                rec.userType = 2;  // user authentication with this name
                putText(rec.userName, 81, value);
            }
        } else if (is(WL("VLUserKey"))) {
            good = device::SetPassword(cipher, value, device::PasswordField::User, &rec) ==
                   device::PasswordResult::Stored;
        } else if (is(WL("VLSectionName"))) {
            good = plainText(value, device::kDepartmentNameChars);
            if (good) putText(rec.departmentName, 13, value);
        } else if (is(WL("VLSectionKey"))) {
            good = device::SetPassword(cipher, value, device::PasswordField::Department, &rec) ==
                   device::PasswordResult::Stored;
        } else if (is(WL("ServerSetting"))) {
            good = number(value, 65535, &n);
            if (good) rec.serverSetting = static_cast<uint16_t>(n);
        } else if (is(WL("SecurePrintId"))) {
            good = plainText(value, 16);
            if (good) putText(rec.securePrintId, 17, value);
        } else if (is(WL("SecPassword"))) {
            good = device::SetPassword(cipher, value, device::PasswordField::SecurePrint, &rec) ==
                   device::PasswordResult::Stored;
        } else if (is(WL("BoxFileName"))) {
            good = plainText(value, 30);
            if (good) putText(rec.boxFileName, 31, value);
        } else if (is(WL("BoxNum"))) {
            good = plainText(value, 16);
            if (good) putText(rec.boxNumber, 17, value);
        } else if (is(WL("InterimPublicUser"))) {
            good = number(value, 1, &n);
            if (good) rec.middleServerMode = n ? device::kMiddleServerPublicUser : device::kMiddleServerNamedUser;
            more.middleServerChoice = more.middleServerChoice || good;
        } else if (is(WL("PublicUser"))) {
            good = number(value, 1, &n);
            if (good) publicUser = n;
        } else if (is(WL("UseDefaultLoginUserName"))) {
            good = number(value, 1, &n) && (n == 0 || (!logonName.empty() && plainText(WString(logonName),
                                                                                         device::kUserNameChars)));
            if (good) useLogonName = n;
        } else if (is(WL("AuthUseEngine"))) {
            good = number(value, 1, &n);
            if (good) more.authUseEngine = static_cast<uint32_t>(n);
        } else if (is(WL("TreeDomainName"))) {
            good = asciiText(value, 63);
            if (good) more.treeDomainName = value;
        } else if (is(WL("ExpenseCode"))) {
            good = asciiText(value, 8);
            if (good) more.expenseCode = value;
        } else if (is(WL("ExpenseCodePassword"))) {
            // The user password's rules and cipher, on a scratch record.
            device::UserSettingsRecord scratch{};
            good = device::SetPassword(cipher, value, device::PasswordField::User, &scratch) ==
                   device::PasswordResult::Stored;
            if (good)
                more.expenseCodePassword =
                    std::vector<BYTE>(scratch.userPass, scratch.userPass + scratch.userPassLength);
            SecureZeroMemory(&scratch, sizeof scratch);
        }
        if (!good) {
            ok = false;
            if (failedKey) *failedKey = AnsiFromW(key);
        }
    }
    if (ok && useLogonName == 1) {
        rec.userType = 2;
        putText(rec.userName, 81, WString(logonName));
    }
    if (ok && publicUser) {
        rec.userType = *publicUser ? 1 : 2;
        if (*publicUser) putText(rec.userName, 81, WString());
    }
    if (ok) {
        device::CopyToOemdev(rec, usrsetType1, &record);
        if (extras) *extras = std::move(more);
    }
    SecureZeroMemory(&rec, sizeof rec);
    return ok ? kSetupOk : kSetupBadPersonalValue;
}

// ---- Locked settings ----

std::vector<std::pair<std::string, std::string>> ReadLockFileKeys(const WString& path) {
    std::vector<WCHAR> list;
    DWORD n = 0;
    for (DWORD size = 260;; size += 260) {
        list.assign(size, 0);
        n = GetPrivateProfileStringW(WL("FixSetting"), nullptr, WL(""), list.data(), size, path.c_str());
        if (n < size - 2 || size >= 260u * 1024) break;
    }
    std::vector<std::pair<std::string, std::string>> keys;
    for (DWORD at = 0; at < n && list[at];) {
        const WString key(list.data() + at);
        at += static_cast<DWORD>(key.size()) + 1;
        WCHAR value[260] = {};
        GetPrivateProfileStringW(WL("FixSetting"), key.c_str(), WL(""), value, 260, path.c_str());
        keys.emplace_back(AnsiFromW(key), AnsiFromW(value));
    }
    return keys;
}

std::vector<LockEntry> LockEntriesFromKeys(const std::vector<std::pair<std::string, std::string>>& keys) {
    std::vector<LockEntry> entries;
    auto cut = [](const std::string& s) { return s.substr(0, kLockNameBytes - 1); };
    for (const auto& [key, value] : keys) {
        if (entries.size() >= kMaxLockEntries) break;
        if (key.empty() || value.empty()) continue;
        entries.push_back({cut(key), cut(value)});
        if (key == "SelectColor" && entries.size() < kMaxLockEntries)
            entries.push_back({"SelectColor_RB", cut(value)});
    }
    return entries;
}

void ApplyLockEntries(std::vector<LockEntry>& entries, const OptionValueFn& optionValue,
                      const OptionSlotFn& optionSlot, OEMDEV& record, BYTE* devOption) {
    auto onOff = [](const std::string& v, int* out) {
        if (v == "ON") *out = 1;
        else if (v == "OFF") *out = 0;
        else return false;
        return true;
    };
    auto setFlag = [&](const char* name, int value) {
        size_t slot = 0;
        if (devOption && optionSlot && optionSlot(name, &slot))
            settings::SetOptionValue(devOption, slot, static_cast<uint16_t>(value));
    };
    for (LockEntry& e : entries) {
        const std::string& f = e.feature;
        int32_t value = 0;
        int flag = 0;
        if (f == "OutputMethod") {
            if (optionValue && optionValue("OutputMethod", e.option, &value))
                settings::SetNumber(record, "nOutputMethod", value);
            else
                e.feature.clear();
        } else if (f == "SelectColor") {
            if (e.option == "Grayscale" && optionValue && optionValue("SelectColor", e.option, &value))
                settings::SetNumber(record, "nColorMode", value);
            else
                e.feature.clear();
        } else if (f == "SelectColor_RB") {
            if (e.option != "Grayscale") e.feature.clear();
        } else if (f == "ChangeUserNotPermit" || f == "ChkFixUserName") {
            if (onOff(e.option, &flag)) setFlag("ChkFixUserName", flag);
        } else if (f == "ChangePassNotPermit" || f == "ChkFixPassword") {
            if (onOff(e.option, &flag)) setFlag("ChkFixPassword", flag);
        } else if (f == "FixSecurePrint") {
            if (onOff(e.option, &flag)) setFlag("FixSecurePrint", flag);
        } else if (f == "SecurePrintModeChoice") {
            const std::string& v = e.option;
            if (v == "ON" || v == "FULL" || v == "SecurePrintModeFull") setFlag("SecurePrintModeChoice", 1);
            else if (v == "OFF" || v == "ID" || v == "SecurePrintModeID") setFlag("SecurePrintModeChoice", 0);
        }
    }
}

std::vector<BYTE> EncodeLockRecord(const std::vector<LockEntry>& entries) {
    std::vector<BYTE> out(kLockRecordBytes, 0);
    const size_t count = entries.size() < kMaxLockEntries ? entries.size() : kMaxLockEntries;
    PutLE32(out.data(), static_cast<uint32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        BYTE* at = out.data() + 4 + i * 2 * kLockNameBytes;
        std::memcpy(at, entries[i].feature.data(), entries[i].feature.size() < kLockNameBytes
                                                         ? entries[i].feature.size()
                                                         : kLockNameBytes - 1);
        std::memcpy(at + kLockNameBytes, entries[i].option.data(),
                    entries[i].option.size() < kLockNameBytes ? entries[i].option.size() : kLockNameBytes - 1);
    }
    return out;
}

std::vector<LockEntry> DecodeLockRecord(const BYTE* data, size_t size) {
    std::vector<LockEntry> entries;
    if (!data || size != kLockRecordBytes) return entries;
    uint32_t count = GetLE32(data);
    if (count > kMaxLockEntries) count = kMaxLockEntries;
    for (uint32_t i = 0; i < count; ++i) {
        const char* at = reinterpret_cast<const char*>(data + 4 + i * 2 * kLockNameBytes);
        entries.push_back({std::string(at, strnlen(at, kLockNameBytes)),
                           std::string(at + kLockNameBytes, strnlen(at + kLockNameBytes, kLockNameBytes))});
    }
    return entries;
}

}  // namespace nvx::presets
