// novrix device: the simulated device on the loopback (serve), and what the
// device information cache holds for a printer (info [--refresh]).
#include <csignal>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>

#include "commands.h"
#include "common/le.h"
#include "device/device_answers.h"
#include "device/device_info_cache.h"
#include "device/oapi.h"
#include "device_server.h"
#include "echo.h"
#include "installed_options.h"
#include "module_host.h"
#include "platform/host.h"
#include "stamps/header_footer.h"
#include "store.h"

namespace novrix {
namespace {

using nvx::device::DeviceInfoCache;
using nvx::device::info::Value;
namespace answers = nvx::device::answers;
namespace oapi = nvx::oapi;

void DeviceUsage(FILE* out) {
    fprintf(out,
            "usage: novrix device serve --profile FILE [--listen 127.0.0.1:PORT] [--fault FUNCTION=FAULT]...\n"
            "       novrix device info [--printer NAME] [--refresh]\n"
            "serve answers the device API's calls over HTTP on the loopback from a device profile\n"
            "(PORT 0 or none: a free port) until Ctrl-C.  FUNCTION is a device API function or *;\n"
            "FAULT is noanswer, refuse, delay:MS, drop, malformed or busy:K.\n"
            "info shows the device information cached for the printer (default: the default printer);\n"
            "--refresh asks the device first, as opening the printing preferences does.\n");
}

// ---- serve ----

int Serve(const std::vector<std::string>& args) {
    nvxo::ServerOptions options;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--profile" && i + 1 < args.size()) {
            options.profile = args[++i];
        } else if (args[i] == "--listen" && i + 1 < args.size()) {
            const std::string listen = args[++i];
            size_t colon = listen.rfind(':');
            std::string port = colon == std::string::npos ? "" : listen.substr(colon + 1);
            options.host = colon == std::string::npos ? listen : listen.substr(0, colon);
            bool digits = !port.empty() && port.size() <= 5 && port.find_first_not_of("0123456789") == std::string::npos;
            if (!digits || std::stoul(port) > 65535) {
                fprintf(stderr, "novrix device serve: --listen wants 127.0.0.1:PORT (PORT 0 to 65535), not '%s'\n",
                        EchoText(listen).c_str());
                return kExitUsage;
            }
            options.port = static_cast<uint16_t>(std::stoul(port));
        } else if (args[i] == "--fault" && i + 1 < args.size()) {
            const std::string fault = args[++i];
            size_t eq = fault.find('=');
            if (eq == std::string::npos || eq == 0 || !nvxo::ValidFault(fault.substr(eq + 1))) {
                fprintf(stderr,
                        "novrix device serve: --fault wants FUNCTION=FAULT (noanswer, refuse, delay:MS, drop, "
                        "malformed, busy:K), not '%s'\n",
                        EchoText(fault).c_str());
                return kExitUsage;
            }
            options.faults[fault.substr(0, eq)] = fault.substr(eq + 1);
        } else {
            fprintf(stderr, "novrix device serve: unexpected argument '%s'\n", EchoText(args[i]).c_str());
            DeviceUsage(stderr);
            return kExitUsage;
        }
    }
    if (options.profile.empty()) {
        fprintf(stderr, "novrix device serve: a device profile is needed (--profile FILE)\n");
        return kExitUsage;
    }
    if (options.host != "127.0.0.1" && options.host != "localhost") {
        fprintf(stderr, "novrix device serve: the simulator listens on the loopback only (127.0.0.1), not %s\n",
                EchoText(options.host).c_str());
        return kExitUsage;
    }
    // Ctrl-C and kill are taken by this thread alone (the server's threads inherit
    // the blocked set), so the server is stopped in order.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    nvxo::DeviceServer server;
    std::string error;
    if (!server.Start(options, &error)) {
        fprintf(stderr, "novrix device serve: %s\n", error.c_str());
        return kExitFailed;
    }
    printf("Device simulator listening on 127.0.0.1:%u with the profile %s (Ctrl-C stops it).\n", server.Port(),
           options.profile.c_str());
    printf("Add a printer at it: novrix printer add NAME --address 127.0.0.1:%u\n", server.Port());
    fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    printf("Device simulator stopped after %llu calls.\n", static_cast<unsigned long long>(server.Calls()));
    return kExitOk;
}

// ---- info ----

std::string Age(uint64_t takenAt) {
    const uint64_t now = static_cast<uint64_t>(std::time(nullptr));
    if (takenAt == 0) return "at an unknown time";
    if (takenAt > now) return "just now";
    const uint64_t s = now - takenAt;
    auto unit = [](uint64_t n, const char* one) {
        return std::to_string(n) + " " + one + (n == 1 ? "" : "s") + " ago";
    };
    if (s < 60) return unit(s, "second");
    if (s < 3600) return unit(s / 60, "minute");
    if (s < 86400) return unit(s / 3600, "hour");
    return unit(s / 86400, "day");
}

std::string When(uint64_t takenAt) {
    std::time_t t = static_cast<std::time_t>(takenAt);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    return text;
}

std::string ListCount(const std::vector<BYTE>& data) {
    uint32_t n = data.size() >= 4 ? nvx::GetLE32(data.data()) : 0;
    return std::to_string(n) + (n == 1 ? " entry" : " entries");
}

// What a person reads about a value that is current.
std::string Summary(Value value, const std::vector<BYTE>& data) {
    switch (value) {
        case Value::AuthCapability:
            return "authentication \"" + answers::FieldText(data, answers::kCapSummaryAuthType, 64) +
                   "\", account track \"" + answers::FieldText(data, answers::kCapSummaryAccountTrack, 32) +
                   "\", public user " + (data[answers::kCapSummaryPublicUser] ? "allowed" : "not allowed");
        case Value::OpenApiConf:
            return "port " + std::to_string(nvx::GetLE16(data.data() + 8)) + ", single sign-on " +
                   (data[11] ? "on" : "off") + ", set-up generation " + std::to_string(nvx::GetLE32(data.data() + 12));
        case Value::EncryptionSetting: {
            static const char* const kinds[] = {"unknown", "factory default", "user defined", "unidentified"};
            uint32_t kind = nvx::GetLE32(data.data());
            return std::string("key ") + kinds[kind < 4 ? kind : 0];
        }
        case Value::Configuration:
            return "port " + std::to_string(nvx::GetLE16(data.data() + oapi::kConfPort)) +
                   (data[oapi::kConfRefused] ? ", refuses the device API" : "");
        case Value::EncryptionInfo: return "held";
        case Value::AbbrConfiguration:
            return std::to_string(nvx::GetLE32(data.data() + oapi::kAbbrConfCount)) + " held, room for " +
                   std::to_string(nvx::GetLE32(data.data() + oapi::kAbbrConfMax));
        case Value::HeaderFooter:
        case Value::Overlay:
        case Value::TintBlock:
        case Value::Abbr: return ListCount(data);
        case Value::IccProfile: return std::to_string(data.size()) + " bytes";
    }
    return {};
}

const char* StateText(DeviceInfoCache::State state) {
    switch (state) {
        case DeviceInfoCache::State::Current: return "current";
        case DeviceInfoCache::State::Stale: return "out of date (the device changed since)";
        case DeviceInfoCache::State::Missing: return "not held";
        case DeviceInfoCache::State::Unreadable: return "damaged (read as not held)";
    }
    return "";
}

std::string DeviceAddress(const std::string& printer) {
    for (const PrinterEntry& p : ListPrinters())
        if (p.name == printer) return p.port.rfind("IP_", 0) == 0 ? p.port.substr(3) : std::string();
    return {};
}

// Runs the acquisition as a document sheet opening would.  Answers its code.
UINT_PTR Refresh(const Options& options, HANDLE printer, const std::string& name, std::string* error) {
    std::string folder = PrinterDriverFolder(printer, options);
    NvxPlatform_SetDriverFolder(kDriverName, folder.c_str());
    ModuleHost module;
    if (!module.Load(folder)) {
        *error = module.Error();
        return static_cast<UINT_PTR>(-1);
    }
    auto init = module.Entry<SheetsInitFn>("Bidi_DocumentPropertySheets_Init");
    if (!init) {
        *error = "the module has no Bidi_DocumentPropertySheets_Init";
        return static_cast<UINT_PTR>(-1);
    }
    std::string note;
    UINT_PTR code = AcquireForSheets(init, module.Entry<ResetDevOptionFn>("Prc_ResetDevOption"), printer, name, folder,
                                     &note);
    if (!note.empty()) printf("%s\n", note.c_str());
    return code;
}

// The installed options the printer keeps (its device-option record), by name.
void PrintInstalledOptions(const Options& options, HANDLE printer) {
    bool stored = false;
    std::vector<BYTE> record = LoadPrinterDevOption(printer, nullptr, &stored);
    if (!stored) {
        printf("Installed options: the model's defaults (the device has not reported its options yet).\n");
        return;
    }
    std::vector<std::string> lines = DescribeInstalledOptions(PrinterDriverFolder(printer, options), record);
    printf("Installed options (kept with the printer):\n");
    for (const std::string& line : lines) printf("  %s\n", line.c_str());
}

// The device's header/footer programs, each with what its header and footer print.
void PrintHeaderFooterPrograms(HANDLE printer) {
    const auto programs = nvx::stamps::CachedDeviceHeaderFooters(printer);
    if (!programs) return;
    const nvx::stamps::HeaderFooterTexts texts;
    static const char* const kRows[] = {"text", "date/time", "serial number", "job number", "user name"};
    for (const nvx::stamps::DeviceHeaderFooter& p : *programs) {
        printf("    program %d \"%s\"%s\n", p.number, nvx::Utf8FromW(p.name).c_str(), p.inUse ? "" : " (off)");
        if (!p.inUse) continue;
        const auto rows = nvx::stamps::DetailCells(programs, p.number, texts);
        for (size_t i = 0; i < rows.size(); ++i)
            printf("      %-14s header: %s; footer: %s\n", kRows[i], nvx::Utf8FromW(rows[i].header).c_str(),
                   nvx::Utf8FromW(rows[i].footer).c_str());
    }
}

int Info(const Options& options, const std::vector<std::string>& args) {
    std::string name;
    bool refresh = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--printer" && i + 1 < args.size()) {
            name = args[++i];
        } else if (args[i] == "--refresh") {
            refresh = true;
        } else {
            fprintf(stderr, "novrix device info: unexpected argument '%s'\n", EchoText(args[i]).c_str());
            DeviceUsage(stderr);
            return kExitUsage;
        }
    }
    if (name.empty()) name = DefaultPrinterName();
    if (name.empty()) {
        fprintf(stderr, "novrix device info: there is no default printer; name one with --printer\n");
        return kExitFailed;
    }
    PrinterHandle printer;
    if (DWORD rc = printer.Open(name); rc != ERROR_SUCCESS) {
        fprintf(stderr, "novrix device info: unknown printer \"%s\" (%s; novrix printer list shows them)\n",
                EchoText(name).c_str(), ErrorText(rc).c_str());
        return kExitFailed;
    }
    const std::string address = DeviceAddress(name);
    printf("Printer: %s\n", name.c_str());
    printf("Device address: %s\n", address.empty() ? "none (the port is not a network port)" : address.c_str());
    int exitCode = kExitOk;
    if (refresh) {
        std::string error;
        UINT_PTR code = Refresh(options, printer.get(), name, &error);
        if (code == static_cast<UINT_PTR>(-1)) {
            fprintf(stderr, "novrix device info: %s\n", error.c_str());
            return kExitFailed;
        }
        if (code == 0) {
            printf("Asked the device: the information below is fresh.\n");
        } else {
            printf("The device did not answer (code %u); the cache keeps what it held.\n", static_cast<unsigned>(code));
            exitCode = kExitFailed;
        }
    }
    PrintInstalledOptions(options, printer.get());
    // Enciphered values read with the printer's cipher, as the module wrote them.
    if (!LoadModelCipher(PrinterDriverFolder(printer.get(), options))) {
        fprintf(stderr, "novrix device info: the model data of the printer's driver cannot be read\n");
        return kExitFailed;
    }
    nvx::model::RegKey key;
    std::optional<nvx::device::info::RenewalInfo> renewal;
    if (nvx::device::OpenDeviceInfoKey(printer.get(), &key, false) == ERROR_SUCCESS) {
        DeviceInfoCache probe(nvx::model::ValueStore::OfKey(key.get()), nvx::device::PrinterBinaryCipher(printer.get()));
        renewal = probe.Renewal();
    }
    if (!renewal) {
        printf("No device information is cached for this printer (novrix device info --refresh asks the device).\n");
        return exitCode;
    }
    DeviceInfoCache cache(nvx::model::ValueStore::OfKey(key.get()), nvx::device::PrinterBinaryCipher(printer.get()));
    printf("Last asked: %s (%s)\n", Age(renewal->TakenAt()).c_str(), When(renewal->TakenAt()).c_str());
    for (const auto& def : nvx::device::info::AllValues()) {
        DeviceInfoCache::Entry entry = cache.Describe(def.value);
        std::string line = std::string("  ") + def.label + ": " + StateText(entry.state);
        if (entry.state == DeviceInfoCache::State::Current) {
            if (std::optional<std::vector<BYTE>> data = cache.Read(def.value))
                line += ", " + Summary(def.value, *data);
            if (entry.takenAt != renewal->TakenAt()) line += " (taken " + Age(entry.takenAt) + ")";
        }
        printf("%s\n", line.c_str());
        if (def.value == Value::HeaderFooter && entry.state == DeviceInfoCache::State::Current)
            PrintHeaderFooterPrograms(printer.get());
    }
    return exitCode;
}

}  // namespace

std::string CachedDeviceNote(HANDLE printer, UINT_PTR code) {
    std::string note = "Device information: the device did not answer (code " + std::to_string(code) + "); ";
    nvx::model::RegKey key;
    if (nvx::device::OpenDeviceInfoKey(printer, &key, false) == ERROR_SUCCESS) {
        DeviceInfoCache cache(nvx::model::ValueStore::OfKey(key.get()), nvx::device::PrinterBinaryCipher(printer));
        if (std::optional<nvx::device::info::RenewalInfo> renewal = cache.Renewal())
            return note + "the pages use the information cached " + Age(renewal->TakenAt()) + ".";
    }
    return note + "no device information is cached, the pages use the printer's settings.";
}

int CmdDevice(const Options& options, const std::vector<std::string>& args) {
    const std::string sub = args.empty() ? "" : args[0];
    if (sub == "serve") return Serve(args);
    if (sub == "info") return Info(options, args);
    if (sub == "--help" || sub == "help") {
        DeviceUsage(stdout);
        return kExitOk;
    }
    DeviceUsage(stderr);
    return kExitUsage;
}

}  // namespace novrix
