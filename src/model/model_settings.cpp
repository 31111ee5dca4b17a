// Reading the small model settings from the main package.
#include "model/model_settings.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "common/le.h"
#include "model/package.h"

namespace nvx::model {
namespace {

using KeyBuffer = char[vpd::kMaxString + 1];

// Calls fn(key, item) for each item of the entry whose key can be read; false when
// the entry is missing.
template <typename Fn>
bool ForEachKeyedItem(const Package& pkg, const char* entry, ItemOrder order, Fn&& fn) {
    EntryInfo e;
    if (!pkg.GetEntry(entry, &e)) return false;
    pkg.ForEachItem(e, order, [&](uint32_t at) {
        vpd::Item item;
        KeyBuffer key;
        if (!pkg.ReadItem(at, &item) || !pkg.ReadKey(item.key, key, sizeof key)) return true;
        return fn(static_cast<const char*>(key), item);
    });
    return true;
}

// The item's text as ASCII (other characters become '?'), cut to cap - 1.
void NarrowValue(const Package& pkg, const vpd::Item& item, char* dst, size_t cap) {
    WCHAR wide[vpd::kMaxString + 1] = {};
    pkg.ReadValue(item.value, wide, std::size(wide));
    size_t i = 0;
    for (; wide[i] != 0 && i + 1 < cap; ++i) dst[i] = wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?';
    dst[i] = 0;
}

// A positive decimal number (digits only, fitting 31 bits), else 0.
uint32_t PositiveNumber(const char* s) {
    uint64_t n = 0;
    if (*s == 0) return 0;
    for (; *s; ++s) {
        if (*s < '0' || *s > '9') return 0;
        n = n * 10 + static_cast<uint64_t>(*s - '0');
        if (n > INT32_MAX) return 0;
    }
    return static_cast<uint32_t>(n);
}

bool FitsKey(const char* key, size_t field) { return std::strlen(key) < field; }

}  // namespace

// ---- Paper names ----

const WCHAR* PaperNames::Find(const char* key) const {
    if (!key) return nullptr;
    for (const PaperName& row : rows)
        if (AsciiEqualNoCase(row.key, key)) return row.name;
    return nullptr;
}

void LoadPaperNames(const Package& pkg, PaperNames& names) {
    ForEachKeyedItem(pkg, "Paper_Name", ItemOrder::Chain, [&](const char* key, const vpd::Item& item) {
        PaperName row;
        if (!FitsKey(key, sizeof row.key) || !pkg.ReadValue(item.value, row.name, std::size(row.name))) return true;
        std::memcpy(row.key, key, std::strlen(key) + 1);
        names.rows.push_back(row);
        return true;
    });
}

// ---- Custom page ----

void LoadCustomPage(const Package& pkg, CustomPageSettings& page) {
    WCopy(page.tabName, std::size(page.tabName), WL("My Tab"));
    bool first = true;
    ForEachKeyedItem(pkg, "Tab_Prop_MyTab", ItemOrder::Chain, [&](const char*, const vpd::Item& item) {
        if (first) pkg.ReadValue(item.value, page.tabName, std::size(page.tabName));
        first = false;
        return false;
    });
    ForEachKeyedItem(pkg, "Prop_MyTab1", ItemOrder::Index, [&](const char* key, const vpd::Item&) {
        if (page.features.size() >= kCustomPageItems) return false;
        if (FitsKey(key, 32)) page.features.emplace_back(key);
        return true;
    });
}

// ---- Setup error messages ----

void LoadSetupErrorMessages(const Package& pkg, SetupErrorMessages& m) {
    ForEachKeyedItem(pkg, "DDTAL_ErrMsg", ItemOrder::Chain, [&](const char* key, const vpd::Item& item) {
        int slot = -1;
        if (AsciiEqualNoCase(key, "ERMSG_XX")) {
            slot = kSetupErrorCodes;
        } else {
            for (int code = 0; code < kSetupErrorCodes && slot < 0; ++code) {
                char name[16];
                std::snprintf(name, sizeof name, "ERMSG_%02d", code);
                if (AsciiEqualNoCase(key, name)) slot = code;
            }
        }
        if (slot >= 0 && m.text[slot][0] == 0) pkg.ReadValue(item.value, m.text[slot], kSetupMessageChars);
        return true;
    });
}

const WCHAR* SetupErrorMessage(const SetupErrorMessages& m, int code) {
    if (code >= 0 && code < kSetupErrorCodes && m.text[code][0] != 0) return m.text[code];
    return m.text[kSetupErrorCodes];
}

// ---- Consumables ----

void LoadConsumables(const Package& pkg, ConsumablesSettings& c) {
    EntryInfo e;
    if (pkg.GetEntry("Varnx", &e)) {
        pkg.ForEachItem(e, ItemOrder::Chain, [&](uint32_t at) {
            uint8_t record[kShopRecordBytes] = {};
            if (!pkg.ReadRecord(at, sizeof record, record)) return true;
            std::memcpy(c.shopRecord, record, sizeof record);
            c.shopFlag = GetLE32(record + kShopSwitchOffset) != 0 ? 1 : 0;
            return false;  // the first record is the switch
        });
    }
    if (pkg.GetEntry("ConsumSetting", &e)) {
        pkg.ForEachItem(e, ItemOrder::Chain, [&](uint32_t at) {
            vpd::Item item;
            KeyBuffer key;
            if (!pkg.ReadItem(at, &item) || !pkg.ReadKey(item.key, key, sizeof key)) return true;
            if (!AsciiEqualNoCase(key, "URL")) return true;
            uint8_t record[kAddressRecordBytes] = {};
            if (!pkg.ReadRecord(at, sizeof record, record)) return true;
            const char* text = reinterpret_cast<const char*>(record + kAddressTextOffset);
            std::memcpy(c.address, text, strnlen(text, sizeof c.address - 1));
            return false;  // the first "URL" record wins
        });
    }
}

// ---- Cipher settings ----

void LoadEncryptionSettings(const Package& pkg, EncryptionSettings& s) {
    ForEachKeyedItem(pkg, "UI_Encryption", ItemOrder::Chain, [&](const char* key, const vpd::Item& item) {
        if (s.count >= kEncryptionItems) return false;
        EncryptionItem& it = s.items[s.count++];
        size_t n = strnlen(key, sizeof it.name - 1);
        std::memcpy(it.name, key, n);
        it.name[n] = 0;
        NarrowValue(pkg, item, it.value, sizeof it.value);
        return true;
    });
    for (uint32_t i = 0; i < s.count; ++i) {
        const EncryptionItem& it = s.items[i];
        if (std::strcmp(it.name, "Encryption") == 0)
            s.mode = std::strcmp(it.value, "AES") == 0   ? CipherMode::Aes
                     : std::strcmp(it.value, "DES") == 0 ? CipherMode::Des
                                                          : CipherMode::None;
        else if (std::strcmp(it.name, "EncKeyID") == 0)
            s.keyId = PositiveNumber(it.value);
        else if (std::strcmp(it.name, "ModelID") == 0)
            s.modelId = PositiveNumber(it.value);
    }
}

// ---- Message list ----

void LoadMessageList(const Package& pkg, MessageList& list) {
    ForEachKeyedItem(pkg, "MessageStr", ItemOrder::Chain, [&](const char* key, const vpd::Item&) {
        uint32_t n = KeyNumber(key);
        if (n < 1000) list.slots.push_back(n);
        return true;
    });
}

// ---- Directory-search authentication ----

const char* const kDirectoryAuthKeys[kDirectoryAuthMethods] = {
    "LSR_AuthSetting_Anonymous", "LSR_AuthSetting_Simple", "LSR_AuthSetting_Digest-MD5",
    "LSR_AuthSetting_GSS-SPNEGO", "LSR_AuthSetting_NTLM",
};

namespace {
int AuthValue(const char* key) {
    for (size_t v = 0; v < kDirectoryAuthMethods; ++v)
        if (AsciiEqualNoCase(key, kDirectoryAuthKeys[v])) return static_cast<int>(v);
    return -1;
}
}  // namespace

void LoadDirectoryAuthMethods(const Package& pkg, DirectoryAuthMethods& m) {
    m = DirectoryAuthMethods{};
    bool listed[kDirectoryAuthMethods] = {};
    bool present = ForEachKeyedItem(pkg, "LSR_AuthSetting", ItemOrder::Index, [&](const char* key, const vpd::Item& item) {
        int v = AuthValue(key);
        if (v < 0 || listed[v]) return true;
        listed[v] = true;
        m.values[m.count] = static_cast<uint32_t>(v);
        if (!pkg.ReadValue(item.value, m.names[m.count], 64)) WCopy(m.names[m.count], 64, WFromAscii(key + 16));
        ++m.count;
        return true;
    });
    if (!present || m.count == 0) {
        m = DirectoryAuthMethods{};
        for (size_t v = 0; v < kDirectoryAuthMethods; ++v) {
            m.values[v] = static_cast<uint32_t>(v);
            WCopy(m.names[v], 64, WFromAscii(kDirectoryAuthKeys[v] + 16));  // after "LSR_AuthSetting_"
        }
        m.count = kDirectoryAuthMethods;
    }
    m.defaultValue = m.values[0];
    char def[64] = {};
    if (pkg.ReadDefaultName("LSR_AuthSetting", def, sizeof def)) {
        int v = AuthValue(def);
        for (uint32_t i = 0; v >= 0 && i < m.count; ++i)
            if (m.values[i] == static_cast<uint32_t>(v)) m.defaultValue = m.values[i];
    }
}

// ---- Fonts ----

void SetDefaultFontNames(DefaultFontNames& f) {
    WCopy(f.latin, std::size(f.latin), WL("Arial"));
    WCopy(f.japanese, std::size(f.japanese), WL("MS UI Gothic"));
}

void ClearModelSettings(ModelSettings& s) { s = ModelSettings{}; }

}  // namespace nvx::model
