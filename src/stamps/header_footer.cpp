// Device header/footer programs and the stamp texts.
#include "stamps/header_footer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/le.h"
#include "device/binary_cipher.h"
#include "device/device_info_cache.h"
#include "device/oapi.h"

namespace nvx::stamps {

namespace {

namespace o = nvx::oapi;

// A UTF-8 text field: up to its first NUL inside the field, converted, cut to `chars`.
WString FieldUtf8(const BYTE* entry, size_t at, size_t size, size_t chars) {
    const char* p = reinterpret_cast<const char*>(entry + at);
    WString text = WFromUtf8(std::string_view(p, strnlen(p, size)));
    if (text.size() > chars) text.resize(chars);
    return text;
}

bool IsOn(const BYTE* entry, size_t at, size_t size) {
    const char* p = reinterpret_cast<const char*>(entry + at);
    return std::string_view(p, strnlen(p, size)) == "On";
}

// "Date1" ... "Date5" give 0 ... 4; "Time1", "Time2" give 1, 2; anything else 0.
uint16_t FormatNumber(const BYTE* entry, size_t at, size_t size, const char* prefix, int count, int base) {
    const char* p = reinterpret_cast<const char*>(entry + at);
    const std::string_view v(p, strnlen(p, size));
    const size_t n = std::strlen(prefix);
    if (v.size() != n + 1 || v.substr(0, n) != prefix) return 0;
    const int digit = v[n] - '1';
    return digit >= 0 && digit < count ? static_cast<uint16_t>(digit + base) : 0;
}

WString DropLast(const WString& text) {
    return text.empty() ? text : text.substr(0, text.size() - 1);
}

}  // namespace

std::vector<DeviceHeaderFooter> ParseDeviceHeaderFooters(std::span<const BYTE> list) {
    std::vector<DeviceHeaderFooter> out;
    if (list.size() < o::kListHeaderSize) return out;
    size_t count = GetLE32(list.data());
    count = std::min(count, kMaxDevicePrograms);
    count = std::min(count, (list.size() - o::kListHeaderSize) / o::kHeaderFooterEntrySize);
    for (size_t i = 0; i < count; ++i) {
        const BYTE* e = list.data() + o::kListHeaderSize + i * o::kHeaderFooterEntrySize;
        DeviceHeaderFooter p;
        p.number = static_cast<int32_t>(i + 1);
        p.inUse = IsOn(e, o::kHfState, o::kHfStateSize);
        p.name = FieldUtf8(e, o::kHfName, o::kHfNameSize, 31);
        p.dateFormat = FormatNumber(e, o::kHfDateFormat, o::kHfDateFormatSize, "Date", 5, 0);
        p.timeFormat = FormatNumber(e, o::kHfTimeFormat, o::kHfTimeFormatSize, "Time", 2, 1);
        p.headerText = FieldUtf8(e, o::kHfHeaderText, o::kHfTextSize, 127);
        p.footerText = FieldUtf8(e, o::kHfFooterText, o::kHfTextSize, 127);
        for (size_t k = 0; k < o::kHfItemCount; ++k) {
            p.headerItems[k] = IsOn(e, o::kHfHeaderItems + k * o::kHfItemSize, o::kHfItemSize) ? 1 : 0;
            p.footerItems[k] = IsOn(e, o::kHfFooterItems + k * o::kHfItemSize, o::kHfItemSize) ? 1 : 0;
        }
        out.push_back(std::move(p));
    }
    return out;
}

std::vector<DeviceHeaderFooter> ProgramsInUse(const std::vector<DeviceHeaderFooter>& all) {
    std::vector<DeviceHeaderFooter> out;
    for (const DeviceHeaderFooter& p : all)
        if (p.inUse) out.push_back(p);
    return out;
}

std::optional<std::vector<DeviceHeaderFooter>> CachedDeviceHeaderFooters(HANDLE printer) {
    model::RegKey key;
    if (device::OpenDeviceInfoKey(printer, &key, false) != ERROR_SUCCESS) return std::nullopt;
    const device::DeviceInfoCache cache(model::ValueStore::OfKey(key.get()), device::PrinterBinaryCipher(printer));
    const std::optional<std::vector<BYTE>> data = cache.Read(device::info::Value::HeaderFooter);
    if (!data) return std::nullopt;
    return ParseDeviceHeaderFooters(*data);
}

WString DateTimeSample(const DeviceHeaderFooter& program, const HeaderFooterTexts& texts) {
    WString sample = DropLast(texts.dateFormats[program.dateFormat < 5 ? program.dateFormat : 0]);
    if (program.timeFormat >= 1 && program.timeFormat <= 2)
        sample += WL(" ") + DropLast(texts.timeFormats[program.timeFormat - 1]);
    return sample;
}

std::array<DetailRow, kDetailRows> DetailCells(const std::optional<std::vector<DeviceHeaderFooter>>& programs,
                                               int32_t devSetting, const HeaderFooterTexts& texts) {
    std::array<DetailRow, kDetailRows> rows{};
    if (!programs) {
        for (DetailRow& r : rows) r = {texts.unknown, texts.unknown};
        return rows;
    }
    if (programs->empty()) return rows;
    const DeviceHeaderFooter* p = &programs->front();
    for (const DeviceHeaderFooter& q : *programs)
        if (q.number == devSetting) {
            p = &q;
            break;
        }
    if (!p->inUse) {
        for (DetailRow& r : rows) r = {texts.off, texts.off};
        return rows;
    }
    auto flag = [&](uint8_t on) { return on ? texts.on : texts.off; };
    const WString sample = DateTimeSample(*p, texts);
    rows[0] = {p->headerText, p->footerText};
    rows[1] = {p->headerItems[kItemDateTime] ? sample : texts.off, p->footerItems[kItemDateTime] ? sample : texts.off};
    rows[2] = {flag(p->headerItems[kItemSerial]), flag(p->footerItems[kItemSerial])};
    rows[3] = {flag(p->headerItems[kItemJobNumber]), flag(p->footerItems[kItemJobNumber])};
    rows[4] = {flag(p->headerItems[kItemUserName]), flag(p->footerItems[kItemUserName])};
    return rows;
}

WString FormatStampDate(int format, bool userDefined, WStringView userText, int year, int month, int day) {
    if (userDefined) return WString(userText);
    static const struct {
        const WCHAR* pattern;
        char order[3];  // y, m, d
    } kFormats[] = {
        {WL("%04d-%02d-%02d"), {'y', 'm', 'd'}}, {WL("%04d/%02d/%02d"), {'y', 'm', 'd'}},
        {WL("%04d.%02d.%02d"), {'y', 'm', 'd'}}, {WL("%02d-%02d-%04d"), {'m', 'd', 'y'}},
        {WL("%02d/%02d/%04d"), {'m', 'd', 'y'}}, {WL("%02d.%02d.%04d"), {'m', 'd', 'y'}},
        {WL("%02d-%02d-%04d"), {'d', 'm', 'y'}}, {WL("%02d/%02d/%04d"), {'d', 'm', 'y'}},
        {WL("%02d.%02d.%04d"), {'d', 'm', 'y'}},
    };
    if (format < 0 || format > 8) return WString();
    int args[3];
    for (int i = 0; i < 3; ++i) {
        const char c = kFormats[format].order[i];
        args[i] = c == 'y' ? year : c == 'm' ? month : day;
    }
    return WFormatString(kFormats[format].pattern, args[0], args[1], args[2]);
}

WString FormatStartNumber(uint32_t number, bool digitFlag) {
    // Unsigned: a stored number above 2^31 - 1 is shown as stored, never negative.
    return WFormatString(digitFlag ? WL("%u") : WL("%08u"), static_cast<unsigned>(number));
}

}  // namespace nvx::stamps
