// Fetching device information into the cache.
#include "device/acquisition.h"

#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "common/le.h"
#include "device/auth_apply.h"
#include "device/busy_window.h"
#include "device/device_answers.h"
#include "features/model_record.h"
#include "model/loaded_model.h"
#include "settings/devoption.h"

namespace nvx::device {
namespace {

using info::Value;

using GetAddressFn = DWORD (*)(const WCHAR*, BYTE*, char*, DWORD, DWORD*);
using OptionRequestFn = DWORD (*)(const WCHAR*, BYTE*, DWORD);
using SendWolFn = DWORD (*)(const WCHAR*, const char*);
using EnableBdcFn = BOOL (*)(const WCHAR*);
using SupportUsbFn = BOOL (*)(const WCHAR*);
using UsbStatusFn = DWORD (*)(const WCHAR*, BYTE*, DWORD);

constexpr size_t kAbbrMaxPages = info::kAbbrMaxEntries / oapi::kAbbrPageEntries + 1;

// Cleans a connection up when it goes.
struct ConnectionGuard {
    Connection* c;
    ~ConnectionGuard() { CleanupConnection(c); }
};

// Keeps the busy window up for a scope.
struct BusyScope {
    BusyWindow window;
    BusyScope(HANDLE printer, HWND owner) : window(printer, kBusyMessage, kBusyAnimation) { window.Start(owner); }
    ~BusyScope() { window.Stop(); }
};

// An answer a device may lack: 0 taken, kNotSupported (and kNotLoggedIn where
// allowed) skipped, anything else ends the fetch.
enum class Outcome { Taken, Skipped, Failed };
Outcome Classify(DWORD code, bool loginMayBeNeeded) {
    if (code == oapi::kOk) return Outcome::Taken;
    if (code == oapi::kNotSupported || (loginMayBeNeeded && code == oapi::kNotLoggedIn)) return Outcome::Skipped;
    return Outcome::Failed;
}

// The device's answers, gathered before anything is stored.
struct Gathered {
    std::vector<std::pair<Value, std::vector<BYTE>>> values;
    void Add(Value v, std::vector<BYTE> data) { values.emplace_back(v, std::move(data)); }
};

bool GatherList(Connection* c, DWORD kind, size_t entrySize, size_t entries, Value value, Gathered& out) {
    std::vector<BYTE> block(oapi::kListHeaderSize + entrySize * entries, 0);
    switch (Classify(GetFileInfo(c, kind, block.data(), block.size()), false)) {
        case Outcome::Skipped: return true;
        case Outcome::Failed: return false;
        case Outcome::Taken: break;
    }
    std::optional<std::vector<BYTE>> checked = answers::CheckedList(block, entrySize, entries);
    if (!checked) return false;
    out.Add(value, std::move(*checked));
    return true;
}

bool GatherSpeedDials(Connection* c, Gathered& out) {
    std::vector<BYTE> conf(oapi::kAbbrConfigurationSize, 0);
    switch (Classify(GetAbbrConfiguration(c, 0, conf.data(), conf.size()), true)) {
        case Outcome::Skipped: return true;
        case Outcome::Failed: return false;
        case Outcome::Taken: break;
    }
    uint32_t held = GetLE32(conf.data() + oapi::kAbbrConfCount);
    if (held > info::kAbbrMaxEntries) held = info::kAbbrMaxEntries;
    std::vector<BYTE> entries(4, 0);
    std::vector<BYTE> page(oapi::kAbbrPageSize, 0);
    DWORD first = 1;
    for (size_t pages = 0; pages < kAbbrMaxPages && GetLE32(entries.data()) < held; ++pages) {
        DWORD code = GetAbbrPage(c, first, page.data(), page.size());
        if (code != oapi::kOk) return false;
        std::optional<size_t> added = answers::AppendAbbrPage(page, info::kAbbrMaxEntries, &entries);
        if (!added) return false;
        if (*added == 0) break;
        first += static_cast<DWORD>(oapi::kAbbrPageEntries);
    }
    out.Add(Value::AbbrConfiguration, std::move(conf));
    out.Add(Value::Abbr, std::move(entries));
    return true;
}

// Every answer step 4 stores, or false when one failed.
bool Gather(Connection* c, double apiVersion, Gathered& out) {
    std::span<const BYTE> configuration(c->configuration, oapi::kConfigurationSize);
    std::span<const BYTE> capability(c->capability, oapi::kCapabilitySize);
    out.Add(Value::Configuration, std::vector<BYTE>(configuration.begin(), configuration.end()));
    auto conf = answers::OpenApiConfFrom(configuration, apiVersion, AuthTypeOf(c->capability));
    auto cap = answers::AuthCapabilityFrom(capability);
    if (!conf || !cap) return false;
    out.Add(Value::OpenApiConf, std::move(*conf));
    out.Add(Value::AuthCapability, std::move(*cap));

    std::vector<BYTE> encryption(oapi::kEncryptionSettingSize, 0);
    switch (Classify(GetPrinterEncryptionSetting(c, encryption.data(), encryption.size()), false)) {
        case Outcome::Failed: return false;
        case Outcome::Skipped: break;
        case Outcome::Taken:
            out.Add(Value::EncryptionSetting, *answers::EncryptionSettingFrom(encryption));
            out.Add(Value::EncryptionInfo, encryption);
            break;
    }
    if (!GatherList(c, oapi::kFileTintBlock, oapi::kTintBlockEntrySize, oapi::kTintBlockEntries, Value::TintBlock, out) ||
        !GatherList(c, oapi::kFileHeaderFooter, oapi::kHeaderFooterEntrySize, oapi::kHeaderFooterEntries,
                    Value::HeaderFooter, out) ||
        !GatherList(c, oapi::kFileOverlay, oapi::kOverlayEntrySize, oapi::kOverlayEntries, Value::Overlay, out))
        return false;

    std::vector<BYTE> profile(oapi::kPermanentSettingSize, 0);
    switch (Classify(GetDevicePermanentSetting(c, profile.data(), profile.size()), false)) {
        case Outcome::Failed: return false;
        case Outcome::Skipped: break;
        case Outcome::Taken: out.Add(Value::IccProfile, std::move(profile)); break;
    }
    return GatherSpeedDials(c, out);
}

// The wake-up times, per printer name (upper case).
std::mutex g_wakeMutex;
std::map<WString, DWORD> g_wakeTimes;

}  // namespace

DeviceLinkModel ModelDeviceLink() {
    DeviceLinkModel link;
    const features::ModelRecord* record = model::Loaded().tables.record;
    if (!record) return link;
    const int32_t version = record->facts[features::kFactDeviceApiVersion];
    link.apiVersion = version > 0 ? version / 100.0 : 0;
    link.wakeUpKind = static_cast<uint32_t>(record->facts[features::kFactWakeUpKind]);
    link.connectionKind = static_cast<uint32_t>(record->facts[features::kFactConnectionKind]);
    link.connectionSubKind = static_cast<uint32_t>(record->facts[features::kFactConnectionSubKind]);
    link.alternativePath = record->facts[features::kFactAltDeviceLibrary] != 0;
    return link;
}

DWORD OptionRequestMask(AcquisitionPath path, const DeviceLinkModel& model) {
    DWORD mask = path == AcquisitionPath::PrinterEvent ? kOptionMaskPrinterEvent : kOptionMaskSheets;
    if (model.connectionKind == 1 && model.connectionSubKind == 2) mask |= kOptionMaskConnectionBit;
    return mask;
}

DWORD FetchDeviceInfo(const char* address, double apiVersion, SharedCache* shared, const DeviceInfoCache& cache,
                      uint64_t now, BYTE* devOption, bool* itemsChanged) {
    if (itemsChanged) *itemsChanged = false;
    Connection* c = OpenConnection(address, apiVersion);
    if (!c) return kAcqDeviceFailed;
    ConnectionGuard guard{c};
    if (PrepareConnection(c, shared) != oapi::kOk) return kAcqDeviceFailed;
    std::optional<std::vector<std::string>> stamps =
        answers::RenewalStamps(std::span<const BYTE>(c->configuration, oapi::kConfigurationSize), address);
    Gathered gathered;
    if (!stamps || !Gather(c, apiVersion, gathered)) return kAcqDeviceFailed;
    if (devOption) {
        const bool changed = ApplyDeviceCapability(std::span<const BYTE>(c->capability, oapi::kCapabilitySize),
                                                   std::span<const BYTE>(c->configuration, oapi::kConfigurationSize),
                                                   devOption);
        if (itemsChanged) *itemsChanged = changed;
    }
    // Everything came back: the new stamps first, then the values under them.
    if (!cache.WriteRenewal(info::MakeRenewalInfo(*stamps, now))) return kAcqDeviceFailed;
    bool stored = true;
    for (const auto& [value, data] : gathered.values) stored = cache.Write(value, data) && stored;
    return stored ? 0 : kAcqDeviceFailed;
}

DWORD RunAcquisition(const AcquisitionRequest& request) {
    const model::LoadedModel& m = model::Loaded();
    if (request.itemsChanged) *request.itemsChanged = false;
    if (!m.host.library) return 0;
    if (!request.printer || !request.printerName || !*request.printerName) return kAcqBadArguments;
    BYTE local[settings::kDevOptionSize];
    BYTE* devOption = request.devOption;
    if (!devOption) {
        settings::LoadDefaultDevOption(request.printer, local);
        devOption = local;
    }
    const DeviceLinkModel model = ModelDeviceLink();
    const DWORD mask = OptionRequestMask(request.path, model);

    if (model.alternativePath) {
        auto alternative = model::HostFunction<OptionRequestFn>(m.host, model::HostFn::MIB_OptionRequest);
        if (!alternative) return kAcqHostMissing;
        BusyScope busy(request.printer, request.owner);
        return alternative(request.printerName, devOption, mask);
    }

    auto getAddress = model::HostFunction<GetAddressFn>(m.host, model::HostFn::DDProc_GetPrinterIPAddress);
    if (!getAddress) return kAcqHostMissing;
    char address[oapi::kAddressSize] = {};
    DWORD isNetworkPort = 0;
    DWORD code = getAddress(request.printerName, devOption, address, sizeof address, &isNetworkPort);
    if (code != 0 && code != kAcqAddressFromStatus) return code;
    address[oapi::kAddressMax] = 0;
    if (!address[0]) return kAcqNoAddress;

    BusyScope busy(request.printer, request.owner);
    AccessWarmUp();
    auto optionRequest = model::HostFunction<OptionRequestFn>(m.host, model::HostFn::DDProc_GetPrinterInfo_MIB2);
    if (!optionRequest) return kAcqHostMissing;
    code = optionRequest(request.printerName, devOption, mask);
    if (code != 0 || model.apiVersion <= 0) return code;

    model::RegKey key;
    if (OpenDeviceInfoKey(request.printer, &key, true) != ERROR_SUCCESS) return kAcqDeviceFailed;
    DeviceInfoCache cache(model::ValueStore::OfKey(key.get()), PrinterBinaryCipher(request.printer));
    return FetchDeviceInfo(address, model.apiVersion, request.shared, cache,
                           static_cast<uint64_t>(std::time(nullptr)), devOption, request.itemsChanged);
}

WString PrinterNameOf(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed == 0 || needed > (1u << 20)) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return info->pPrinterName ? WString(info->pPrinterName) : WString();
}

DWORD RunDeviceOptionAcquisition(const AcquisitionRequest& request) {
    const model::LoadedModel& m = model::Loaded();
    if (request.itemsChanged) *request.itemsChanged = false;
    if (!m.host.library) return 0;
    if (!request.printer || !request.printerName || !*request.printerName || !request.devOption)
        return kAcqBadArguments;
    const DeviceLinkModel model = ModelDeviceLink();
    const DWORD mask = OptionRequestMask(AcquisitionPath::DeviceOptionTab, model);
    BusyScope busy(request.printer, request.owner);
    if (model.alternativePath) {
        auto alternative = model::HostFunction<OptionRequestFn>(m.host, model::HostFn::MIB_OptionRequest);
        return alternative ? alternative(request.printerName, request.devOption, mask) : kAcqHostMissing;
    }
    auto getAddress = model::HostFunction<GetAddressFn>(m.host, model::HostFn::DDProc_GetPrinterIPAddress);
    if (!getAddress) return kAcqHostMissing;
    char address[oapi::kAddressSize] = {};
    DWORD isNetworkPort = 0;
    DWORD code = getAddress(request.printerName, request.devOption, address, sizeof address, &isNetworkPort);
    if (code != 0 && code != kAcqAddressFromStatus && code != kAcqNoAddress) return code;
    address[oapi::kAddressMax] = 0;
    if (isNetworkPort) {
        auto enabled = model::HostFunction<EnableBdcFn>(m.host, model::HostFn::DDProc_IsEnableBdcLib);
        auto optionRequest = model::HostFunction<OptionRequestFn>(m.host, model::HostFn::DDProc_GetPrinterInfo_MIB2);
        if (!enabled || !optionRequest || !enabled(request.printerName)) return kAcqHostMissing;
        AccessWarmUp();
        code = optionRequest(request.printerName, request.devOption, mask);
    } else {
        auto supported = model::HostFunction<SupportUsbFn>(m.host, model::HostFn::DDProc_IsSupportModel_USB);
        auto status = model::HostFunction<UsbStatusFn>(m.host, model::HostFn::DDProc_GetPrinterStatus_USB);
        if (!supported || !status || !supported(request.printerName)) return kAcqHostMissing;
        code = status(request.printerName, request.devOption, mask);
    }
    if (code != 0) return code;
    if (model.apiVersion <= 0 || !address[0]) return 0;
    // The device itself: its configuration and capability must come back.
    Connection* c = OpenConnection(address, model.apiVersion);
    if (!c) return kAcqDeviceFailed;
    ConnectionGuard guard{c};
    if (PrepareConnection(c, request.shared) != oapi::kOk) return kAcqDeviceFailed;
    const bool changed = ApplyDeviceCapability(std::span<const BYTE>(c->capability, oapi::kCapabilitySize),
                                               std::span<const BYTE>(c->configuration, oapi::kConfigurationSize),
                                               request.devOption);
    if (request.itemsChanged) *request.itemsChanged = changed;
    static_assert(!kTabLogsIn, "the tab is given no settings record to log in with");
    return 0;
}

DWORD WakeOnCall(HANDLE printer, const WCHAR* printerName, DWORD now) {
    const model::LoadedModel& m = model::Loaded();
    if (!m.host.library) return 0;
    if (!printer || !printerName || !*printerName) return kAcqDeviceFailed;
    {
        std::lock_guard<std::mutex> lock(g_wakeMutex);
        WString name = WUpper(printerName);
        auto it = g_wakeTimes.find(name);
        // Unsigned difference: right also when the millisecond counter wrapped.
        if (it != g_wakeTimes.end() && static_cast<DWORD>(now - it->second) < kWakeInterval) return kAcqDeviceFailed;
        g_wakeTimes[name] = now;
    }
    const DeviceLinkModel model = ModelDeviceLink();
    if (model.apiVersion <= 0 || model.wakeUpKind == 0) return 0;
    auto getAddress = model::HostFunction<GetAddressFn>(m.host, model::HostFn::DDProc_GetPrinterIPAddress);
    if (!getAddress) return 0;
    BYTE devOption[settings::kDevOptionSize];
    settings::LoadDefaultDevOption(printer, devOption);
    char address[oapi::kAddressSize] = {};
    DWORD isNetworkPort = 0;
    DWORD code = getAddress(printerName, devOption, address, sizeof address, &isNetworkPort);
    address[oapi::kAddressMax] = 0;
    if ((code != 0 && code != kAcqAddressFromStatus) || !address[0]) return 0;
    // The port data "<BDC>" must allow waking the device.
    uint32_t allowed = 0;
    if (!model::ValueStore::OfPrinter(printer).ReadDword(WL("<BDC>"), &allowed) || allowed == 0) return 0;
    if (model.wakeUpKind == 3) {
        if (auto sendWol = model::HostFunction<SendWolFn>(m.host, model::HostFn::DDProc_SendWOL))
            sendWol(printerName, address);
    } else {
        WakeUpDevice(address);
    }
    return 0;
}

void ResetWakeTimes() {
    std::lock_guard<std::mutex> lock(g_wakeMutex);
    g_wakeTimes.clear();
}

}  // namespace nvx::device
