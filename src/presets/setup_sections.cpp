// The device sections of a setup file: one table of their keys and where each
// lands (docs/setup-transfer.md).
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "common/le.h"
#include "presets/setup_transfer.h"

namespace nvx::presets {

namespace {

enum class Target : uint8_t {
    DevNumber,    // u16 of the device-option record at `at` + stride (n - 1)
    DevName,      // a name of the device-option record (32 units) at `at` + stride (n - 1)
    DeviceText,   // a device data text of the printer (`value`)
    PaperCount,   // the custom paper list's count
    PaperNumber,  // an i32 of custom paper entry n at `at`
    PaperName,    // the name of custom paper entry n
};

enum class Check : uint8_t { Range, Text, Address, Mac };

struct SetupKey {
    const WCHAR* section;
    const WCHAR* key;      // with %d: the numbered keys 1 .. count
    uint8_t count;         // 0: the custom paper list's count
    Target target;
    uint16_t at;
    uint16_t stride;
    Check check;
    int64_t min;           // numbers: the range; texts: max is the most characters
    int64_t max;
    const WCHAR* value;    // DeviceText: the printer data value
};

using namespace devsetup;
constexpr int64_t kU16 = 65535;
constexpr int64_t kI32 = std::numeric_limits<int32_t>::max();
constexpr uint16_t kTrayAt(size_t field) { return static_cast<uint16_t>(kTrays + 2 * field); }
constexpr uint16_t kInitialAt(size_t n) { return static_cast<uint16_t>(kInitial + 2 * n); }
constexpr uint16_t kEntry(size_t offset) { return static_cast<uint16_t>(offset); }

#define TRAY WL("SourceTraySetting")
#define ACQ WL("AcquistionSetting")
#define INIT WL("InitialSetting")
#define PAPER WL("CustomPaper")
#define MEDIA WL("CustomMedia")
#define WOL WL("WakeOnLanSetting")

// In the order the setup file writes them; within a section, the numbered keys go
// entry by entry.
const SetupKey kKeys[] = {
    {TRAY, WL("PaperSize%d"), kTrayCount, Target::DevNumber, kTrayAt(0), kTrayStride, Check::Range, 0, kU16, nullptr},
    {TRAY, WL("PaperDir%d"), kTrayCount, Target::DevNumber, kTrayAt(1), kTrayStride, Check::Range, 0, 1, nullptr},
    {TRAY, WL("PaperType%d"), kTrayCount, Target::DevNumber, kTrayAt(2), kTrayStride, Check::Range, 0, kU16, nullptr},
    {TRAY, WL("PaperWeight%d"), kTrayCount, Target::DevNumber, kTrayAt(3), kTrayStride, Check::Range, 0, kU16,
     nullptr},
    {TRAY, WL("PaperColor%d"), kTrayCount, Target::DevNumber, kTrayAt(4), kTrayStride, Check::Range, 0, kU16, nullptr},
    {TRAY, WL("PaperPrePunched%d"), kTrayCount, Target::DevNumber, kTrayAt(5), kTrayStride, Check::Range, 0, 1,
     nullptr},
    {ACQ, WL("AutoAcquisition"), 1, Target::DevNumber, kAutoAcquisition, 0, Check::Range, 0, 1, nullptr},
    {ACQ, WL("CustomAcquisition"), 1, Target::DevNumber, kCustomAcquisition, 0, Check::Range, 0, 1, nullptr},
    {ACQ, WL("IPAddress"), 1, Target::DeviceText, 0, 0, Check::Address, 0, 63, kDeviceAddressValue},
    {ACQ, WL("OpenAPIDrvUserPass"), 1, Target::DeviceText, 0, 0, Check::Text, 0, 64, kDriverUserPassValue},
    {ACQ, WL("ReadCommunityName"), 1, Target::DeviceText, 0, 0, Check::Text, 0, 32, kCommunityValue},
    {INIT, WL("EMFSpool"), 1, Target::DevNumber, kInitialAt(0), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("DisplayConstMsg"), 1, Target::DevNumber, kInitialAt(1), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("UseServerForm"), 1, Target::DevNumber, kInitialAt(2), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("FirstSheetAll"), 1, Target::DevNumber, kInitialAt(3), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("HardSecurityMode"), 1, Target::DevNumber, kInitialAt(4), 0, Check::Range, 0, 255, nullptr},
    {INIT, WL("FixSecurePrint"), 1, Target::DevNumber, kInitialAt(5), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("PopupUserSettingDlg"), 1, Target::DevNumber, kInitialAt(6), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("SecurePrintModeChoice"), 1, Target::DevNumber, kInitialAt(7), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("VerifyAuthentic"), 1, Target::DevNumber, kInitialAt(8), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("PopupAuthenticDlg"), 1, Target::DevNumber, kInitialAt(9), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("ChkFixUserName"), 1, Target::DevNumber, kInitialAt(10), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("ChkFixPassword"), 1, Target::DevNumber, kInitialAt(11), 0, Check::Range, 0, 1, nullptr},
    {INIT, WL("OutputMethodPreserve"), 1, Target::DevNumber, kInitialAt(12), 0, Check::Range, 0, 1, nullptr},
    {WL("Halverite"), WL("Halverite"), 1, Target::DevNumber, kHalverite, 0, Check::Range, 0, 1, nullptr},
    {PAPER, WL("PaperCount"), 1, Target::PaperCount, 0, 0, Check::Range, 0, features::kCustomPaperMaxEntries, nullptr},
    {PAPER, WL("name%d"), 0, Target::PaperName, 0, 0, Check::Text, 1, features::kCustomPaperNameChars, nullptr},
    {PAPER, WL("width%d"), 0, Target::PaperNumber, kEntry(offsetof(features::CustomPaperEntry, width)), 0, Check::Range,
     1, kI32, nullptr},
    {PAPER, WL("length%d"), 0, Target::PaperNumber, kEntry(offsetof(features::CustomPaperEntry, length)), 0,
     Check::Range, 1, kI32, nullptr},
    {PAPER, WL("image%d.left"), 0, Target::PaperNumber, kEntry(offsetof(features::CustomPaperEntry, area)), 0,
     Check::Range, 0, kI32, nullptr},
    {PAPER, WL("image%d.top"), 0, Target::PaperNumber, kEntry(offsetof(features::CustomPaperEntry, area) + 4), 0,
     Check::Range, 0, kI32, nullptr},
    {PAPER, WL("image%d.right"), 0, Target::PaperNumber, kEntry(offsetof(features::CustomPaperEntry, area) + 8), 0,
     Check::Range, 0, kI32, nullptr},
    {PAPER, WL("image%d.bottom"), 0, Target::PaperNumber, kEntry(offsetof(features::CustomPaperEntry, area) + 12), 0,
     Check::Range, 0, kI32, nullptr},
    {PAPER, WL("paper%d"), 0, Target::PaperNumber, kEntry(offsetof(features::CustomPaperEntry, paper)), 0, Check::Range,
     0, kU16, nullptr},
    {PAPER, WL("unit%d"), 0, Target::PaperNumber, kEntry(offsetof(features::CustomPaperEntry, unit)), 0, Check::Range, 0,
     1, nullptr},
    {MEDIA, WL("name%d"), kCustomMediaCount, Target::DevName, kCustomMedia, kCustomMediaStride, Check::Text, 0,
     kCustomMediaNameChars, nullptr},
    {MEDIA, WL("media%d"), kCustomMediaCount, Target::DevNumber, kCustomMedia + 64, kCustomMediaStride, Check::Range,
     0, kU16, nullptr},
    {WOL, WL("ChkWakeUpDevice"), 1, Target::DevNumber, kWakeUpDevice, 0, Check::Range, 0, 1, nullptr},
    {WOL, WL("MacAddress"), 1, Target::DeviceText, 0, 0, Check::Mac, 0, 17, kMacAddressValue},
};

#undef TRAY
#undef ACQ
#undef INIT
#undef PAPER
#undef MEDIA
#undef WOL

bool IsNumbered(const SetupKey& k) {
    return k.count != 1;
}

WString KeyName(const SetupKey& k, size_t n) {
    if (!IsNumbered(k)) return k.key;
    WCHAR name[64];
    WFormat(name, 64, k.key, static_cast<int>(n));
    return name;
}

bool PlainText(WStringView v) {
    for (WCHAR c : v)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}

size_t DevAt(const SetupKey& k, size_t n) {
    return k.at + k.stride * (n - 1);
}

// How many numbered entries a key has in this content.
size_t EntriesOf(const SetupKey& k, const features::CustomPaperList& paper) {
    return k.count == 0 ? paper.count : k.count;
}

int32_t* PaperField(features::CustomPaperEntry& e, size_t at) {
    return reinterpret_cast<int32_t*>(reinterpret_cast<BYTE*>(&e) + at);
}

WString DevName(const BYTE* record, size_t at) {
    WCHAR name[32];
    std::memcpy(name, record + at, sizeof name);
    return WString(name, WLenBounded(name, 32));
}

bool WriteKey(SettingsDoc& doc, const SetupKey& k, size_t n, const SetupContent& c) {
    const WString key = KeyName(k, n);
    const BYTE* dev = c.devOption.data();
    switch (k.target) {
    case Target::DevNumber: return doc.WriteNumber(k.section, key, GetLE16(dev + DevAt(k, n)));
    case Target::DevName: return doc.WriteString(k.section, key, DevName(dev, DevAt(k, n)));
    case Target::DeviceText: {
        const auto it = c.deviceData.find(k.value);
        return doc.WriteString(k.section, key, it == c.deviceData.end() ? WString() : it->second);
    }
    case Target::PaperCount: return doc.WriteNumber(k.section, key, static_cast<int32_t>(c.customPaper.count));
    case Target::PaperName: {
        const WCHAR* name = c.customPaper.entries[n - 1].name;
        return doc.WriteString(k.section, key, WString(name, WLenBounded(name, 32)));
    }
    case Target::PaperNumber: {
        features::CustomPaperEntry e = c.customPaper.entries[n - 1];
        return doc.WriteNumber(k.section, key, *PaperField(e, k.at));
    }
    }
    return false;
}

// Reads one key into content; Absent leaves its target.
SettingsDoc::Read ReadKey(const SettingsDoc& doc, const SetupKey& k, size_t n, SetupContent& c) {
    const WString key = KeyName(k, n);
    if (k.check == Check::Range) {
        int64_t v = 0;
        const SettingsDoc::Read r = doc.ReadNumber(k.section, key, k.min, k.max, &v);
        if (r != SettingsDoc::Read::Ok) return r;
        switch (k.target) {
        case Target::DevNumber: PutLE16(c.devOption.data() + DevAt(k, n), static_cast<uint16_t>(v)); break;
        case Target::PaperNumber: *PaperField(c.customPaper.entries[n - 1], k.at) = static_cast<int32_t>(v); break;
        default: break;  // the count is read by ReadDeviceSections
        }
        return r;
    }
    WString v;
    // Read one past the limit so that a value too long is refused, not cut.
    const SettingsDoc::Read r = doc.ReadString(k.section, key, static_cast<size_t>(k.max) + 2, &v);
    if (r != SettingsDoc::Read::Ok) return r;
    if (v.size() < static_cast<size_t>(k.min) || v.size() > static_cast<size_t>(k.max) || !PlainText(v))
        return SettingsDoc::Read::Bad;
    if (k.check == Check::Address && !IsDeviceAddress(v)) return SettingsDoc::Read::Bad;
    if (k.check == Check::Mac && !v.empty() && !ReadMacAddress(v, &v)) return SettingsDoc::Read::Bad;
    switch (k.target) {
    case Target::DevName: {
        BYTE* at = c.devOption.data() + DevAt(k, n);
        std::memset(at, 0, 64);
        std::memcpy(at, v.data(), v.size() * sizeof(WCHAR));
        break;
    }
    case Target::DeviceText: c.deviceData[k.value] = v; break;
    case Target::PaperName: WCopy(c.customPaper.entries[n - 1].name, 32, v); break;
    default: break;
    }
    return r;
}

int HexDigit(WCHAR c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ReadMacAddress(WStringView text, WString* canonical) {
    BYTE octets[6];
    const bool joined = text.size() == 12;
    if (!joined && text.size() != 17) return false;
    const WCHAR separator = joined ? 0 : text[2];
    if (!joined && separator != ':' && separator != '-') return false;
    const size_t step = joined ? 2 : 3;
    for (size_t i = 0; i < 6; ++i) {
        const int hi = HexDigit(text[i * step]);
        const int lo = HexDigit(text[i * step + 1]);
        if (hi < 0 || lo < 0) return false;
        if (!joined && i < 5 && text[i * step + 2] != separator) return false;
        octets[i] = static_cast<BYTE>(hi * 16 + lo);
    }
    bool zero = true;
    for (BYTE o : octets) zero = zero && o == 0;
    if (zero || (octets[0] & 1)) return false;  // no station: all zeros, multicast, broadcast
    WCHAR out[18];
    WFormat(out, 18, WL("%02X-%02X-%02X-%02X-%02X-%02X"), octets[0], octets[1], octets[2], octets[3], octets[4],
            octets[5]);
    *canonical = out;
    return true;
}

bool IsDeviceAddress(WStringView text) {
    if (text.size() > 63) return false;
    bool dottedDigits = !text.empty();
    for (WCHAR c : text) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!digit && !letter && c != '.' && c != '-' && c != ':' && c != '_') return false;
        if (!digit && c != '.') dottedDigits = false;
    }
    if (!dottedDigits) return true;
    // Digits and dots only: an IPv4 address.
    int parts = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('.', at);
        if (end == WStringView::npos) end = text.size();
        const WStringView part = text.substr(at, end - at);
        if (part.empty() || part.size() > 3) return false;
        int value = 0;
        for (WCHAR c : part) value = value * 10 + (c - '0');
        if (value > 255) return false;
        ++parts;
        at = end + 1;
    }
    return parts == 4;
}

bool WriteDeviceSections(SettingsDoc& doc, const SetupContent& content) {
    bool ok = true;
    const size_t rows = sizeof kKeys / sizeof kKeys[0];
    for (size_t first = 0; first < rows;) {
        size_t last = first;
        while (last < rows && WStringView(kKeys[last].section) == kKeys[first].section) ++last;
        // The single keys of the section, then the numbered ones entry by entry.
        size_t most = 0;
        for (size_t i = first; i < last; ++i) {
            if (!IsNumbered(kKeys[i])) ok &= WriteKey(doc, kKeys[i], 1, content);
            else if (EntriesOf(kKeys[i], content.customPaper) > most) most = EntriesOf(kKeys[i], content.customPaper);
        }
        for (size_t n = 1; n <= most; ++n)
            for (size_t i = first; i < last; ++i)
                if (IsNumbered(kKeys[i]) && n <= EntriesOf(kKeys[i], content.customPaper))
                    ok &= WriteKey(doc, kKeys[i], n, content);
        first = last;
    }
    return ok;
}

bool ReadDeviceSections(const SettingsDoc& doc, const SetupFacts& facts, SetupContent& content,
                        std::vector<std::string>* failed) {
    bool ok = true;
    auto fail = [&](const SetupKey& k, size_t n) {
        ok = false;
        if (!failed) return;
        std::string name = "[";
        name.append(Utf8FromW(k.section)).append("] ").append(Utf8FromW(KeyName(k, n)));
        failed->push_back(std::move(name));
    };
    // The custom paper list: a file that gives its count gives the whole list; every
    // entry needs its name and size, the rest defaults to the whole sheet, paper
    // 256 (user-defined) and millimetres.
    const SetupKey* countKey = nullptr;
    for (const SetupKey& k : kKeys)
        if (k.target == Target::PaperCount) countKey = &k;
    int64_t count = 0;
    const uint32_t capacity = facts.paperCapacity < features::kCustomPaperMaxEntries ? facts.paperCapacity
                                                                                  : features::kCustomPaperMaxEntries;
    const SettingsDoc::Read countRead =
        doc.ReadNumber(countKey->section, countKey->key, 0, capacity, &count);
    if (countRead == SettingsDoc::Read::Bad) fail(*countKey, 1);
    const bool newList = countRead == SettingsDoc::Read::Ok;
    if (newList) {
        content.customPaper = features::CustomPaperList{};
        content.customPaper.count = static_cast<uint32_t>(count);
        for (uint32_t i = 0; i < content.customPaper.count; ++i) {
            features::CustomPaperEntry& e = content.customPaper.entries[i];
            e.paper = 256;
            e.area[0] = e.area[1] = e.area[2] = e.area[3] = -1;  // not given yet
        }
    }
    for (const SetupKey& k : kKeys) {
        if (k.target == Target::PaperCount) continue;
        const bool paper = k.target == Target::PaperName || k.target == Target::PaperNumber;
        if (paper && !newList) continue;
        const size_t entries = EntriesOf(k, content.customPaper);
        for (size_t n = 1; n <= entries; ++n) {
            const SettingsDoc::Read r = ReadKey(doc, k, n, content);
            const bool required = paper && (k.target == Target::PaperName || k.at <= offsetof(features::CustomPaperEntry,
                                                                                               length));
            if (r == SettingsDoc::Read::Bad || (r == SettingsDoc::Read::Absent && required)) fail(k, n);
        }
    }
    if (newList) {
        for (uint32_t i = 0; i < content.customPaper.count; ++i) {
            features::CustomPaperEntry& e = content.customPaper.entries[i];
            const int32_t whole[4] = {0, 0, e.width, e.length};
            for (int side = 0; side < 4; ++side)
                if (e.area[side] < 0) e.area[side] = whole[side];
            const bool inside = e.area[0] < e.area[2] && e.area[2] <= e.width && e.area[1] < e.area[3] &&
                                e.area[3] <= e.length;
            // A name once in the list (compared without case).
            features::CustomPaperList earlier = content.customPaper;
            earlier.count = i;
            const bool twice = features::FindCustomPaper(earlier, e.name) >= 0;
            if (!inside || twice) {
                ok = false;
                if (failed) failed->push_back("[CustomPaper] entry " + std::to_string(i + 1));
            }
        }
    }
    return ok;
}

}  // namespace nvx::presets
