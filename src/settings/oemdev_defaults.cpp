// Default settings from the printer's data or the template.
#include "settings/oemdev_defaults.h"

#include <cstring>
#include <utility>

#include "frame/variant_switches.h"
#include "model/stores.h"
#include "settings/oemdev_template.h"

namespace nvx::settings {

namespace {

ModelFacts& Facts() {
    static ModelFacts facts;
    return facts;
}

// GetPrinterDataW and GetPrinterW take non-const names.
LPWSTR Name(const WCHAR* text) {
    return const_cast<LPWSTR>(text);
}

}  // namespace

void SetModelFacts(ModelFacts facts) {
    Facts() = std::move(facts);
}

const ModelFacts& CurrentModelFacts() {
    return Facts();
}

void ClearModelFacts() {
    Facts() = ModelFacts{};
}

bool ReadStoredDefaults(HANDLE printer, OEMDEV& out) {
    OEMDEV stored;
    DWORD type = 0, needed = 0;
    const DWORD rc = GetPrinterDataW(printer, Name(WL("DefaultOEMDEV")), &type, stored.bytes, sizeof stored.bytes,
                                     &needed);
    // A value of the right size whose header is wrong would put a record into the
    // device mode that no later search finds; it is refused like a wrong size.
    if (rc != ERROR_SUCCESS || needed != kOemDevSize || !IsRecordHeader(stored.bytes)) return false;
    out = stored;
    return true;
}

bool DriverNameEndsInMono(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) return false;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return false;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    if (!info->pDriverName) return false;
    const WStringView name(info->pDriverName);
    const WStringView mono(WL("Mono"));
    return name.size() >= mono.size() && name.substr(name.size() - mono.size()) == mono;
}

bool MonochromeApplies(bool driverIsMono, bool qualityColourSwitch, uint32_t colourField) {
    if (!qualityColourSwitch) return driverIsMono;
    return driverIsMono || colourField == 0;
}

void ApplyMonochrome(OEMDEV& record) {
    for (const char* field : {"nColorMode", "nCPE_CP_Color", "nCPE_SS_Color", "DateTimePageNo.nDT_Color",
                              "DateTimePageNo.nPN_PrintNumColor", "nHFE_TextColor"})
        SetNumber(record, field, 1);
    SetNumber(record, "DevOvlInfo.DevOvlSurface.nDevOvlColor", 2);
    SetNumber(record, "DevOvlInfo.DevOvlBack.nDevOvlColor", 2);
}

DefaultsSource MakeDefaultSettings(OEMDEV* record, HANDLE printer, const ModelFacts& facts, OEMDEV& tmpl) {
    if (!record) return DefaultsSource::None;
    if (ReadStoredDefaults(printer, *record)) return DefaultsSource::PrinterData;

    if (const PaperRow* paper = ChooseLocalePaper(facts.papers, UserCountryCode(), facts.hasPackageDefaultPaper,
                                                  facts.packageDefaultPaper))
        ApplyLocalePaper(tmpl, *paper, facts.inchValues);
    std::memcpy(record->bytes, tmpl.bytes, kOemDevSize);

    const bool colourSwitch = frame::AskVariant("_PRP_QUALTY_MFP_C") != 0;
    if (MonochromeApplies(DriverNameEndsInMono(printer), colourSwitch, facts.colourField)) ApplyMonochrome(*record);
    // A printer whose factory presets were installed starts from the first of them.
    OEMDEV first;
    if (printer && printer != INVALID_HANDLE_VALUE &&
        model::ValueStore::OfPrinter(printer).ReadExact(WL("EasySetFirstOEMDev"), first.bytes, kOemDevSize) &&
        IsRecordHeader(first.bytes))
        std::memcpy(record->bytes, first.bytes, kOemDevSize);
    return DefaultsSource::Template;
}

bool FillDefaultSettings(BYTE* record, HANDLE printer) {
    return MakeDefaultSettings(AsRecord(record), printer, CurrentModelFacts(), DefaultTemplate()) !=
           DefaultsSource::None;
}

}  // namespace nvx::settings
