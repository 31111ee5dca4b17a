// Device information: a whole acquisition (Bidi_DocumentPropertySheets_Init)
// against the device simulator on the loopback, without injected delay (goal:
// under 20 ms), and reading every value of the cache as a sheet does when it
// opens (goal: under 1 ms).
//
// Runs on a private platform root and a private profile folder, removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/proc.h"
#include "common/text.h"
#include "device/device_info_cache.h"
#include "device_server.h"
#include "platform/host.h"
#include "platform/win32.h"

namespace {

using U = UINT_PTR;
const WCHAR kPrinter[] = WL("Bench Device Fax");

std::string g_folder;
HMODULE g_module = nullptr;
HANDLE g_printer = nullptr;
nvxo::DeviceServer g_server;

// A device with full lists: 20 header/footer programs, 100 overlays, 8 tint
// blocks and 300 speed dials.
std::string Profile() {
    std::string hf, ovl, tint, abbr;
    for (int i = 1; i <= 20; ++i) hf += (i > 1 ? "," : "") + std::string(R"({"state": "On", "name": "Program )") + std::to_string(i) + "\"}";
    for (int i = 1; i <= 100; ++i) ovl += (i > 1 ? "," : "") + std::string(R"({"number": )") + std::to_string(i) + R"(, "name": "Form", "paper": "A4"})";
    for (int i = 1; i <= 8; ++i) tint += (i > 1 ? "," : "") + std::string(R"({"number": )") + std::to_string(i) + R"(, "name": "Tint"})";
    for (int i = 1; i <= 300; ++i)
        abbr += (i > 1 ? "," : "") + std::string(R"({"number": )") + std::to_string(i) +
                R"(, "name": "Destination", "kind": "Fax", "faxNumber": "0312345678"})";
    return R"({"configuration": {"port": 50003, "flag": 1, "generation": 1},
  "capability": {"authenticationType": "None", "accountTrackType": "None", "publicUser": 1},
  "encryption": {"keyKind": "UserDefined", "passphrase": "OpenSesame"},
  "blocks": {"fileInfo.8": [)" + hf + R"(], "fileInfo.9": [)" + ovl + R"(], "fileInfo.6": [)" + tint +
           R"(], "permanent.5": {"hex": "01"}, "abbr": [)" + abbr + "]}}";
}

U SheetsInit() {
    static auto init =
        nvx::ProcAs<U (*)(U, U, U, U, U, U)>(GetProcAddress(g_module, "Bidi_DocumentPropertySheets_Init"));
    return init(reinterpret_cast<U>(g_printer), reinterpret_cast<U>(kPrinter), 0, 0, 0, 0);
}

void BM_AcquisitionOverLoopback(benchmark::State& state) {
    for (auto _ : state) {
        if (SheetsInit() != 0) state.SkipWithError("the acquisition failed");
    }
}
BENCHMARK(BM_AcquisitionOverLoopback)->Unit(benchmark::kMillisecond);

void BM_ReadWholeCache(benchmark::State& state) {
    nvx::model::RegKey key;
    nvx::device::OpenDeviceInfoKey(g_printer, &key, false);
    nvx::device::DeviceInfoCache cache(nvx::model::ValueStore::OfKey(key.get()), nvx::device::NoneCipher());
    for (auto _ : state) {
        size_t bytes = 0;
        for (const auto& def : nvx::device::info::AllValues())
            if (auto data = cache.Read(def.value)) bytes += data->size();
        if (bytes == 0) state.SkipWithError("the cache is empty");
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_ReadWholeCache)->Unit(benchmark::kMicrosecond);

bool Prepare() {
    std::filesystem::create_directories(g_folder + "/root");
    std::filesystem::create_directories(g_folder + "/profiles");
    if (!NvxPlatform_SetRoot((g_folder + "/root").c_str())) return false;
    setenv("NOVRIX_DEVICE_PROFILES", (g_folder + "/profiles").c_str(), 1);
    std::ofstream(g_folder + "/device.json") << Profile();
    nvxo::ServerOptions options;
    options.profile = g_folder + "/device.json";
    std::string error;
    if (!g_server.Start(options, &error)) return false;
    const std::string port = "IP_127.0.0.1:" + std::to_string(g_server.Port());
    nvx::WString wport = nvx::WFromUtf8(port);
    PRINTER_INFO_2W info{};
    info.pPrinterName = const_cast<LPWSTR>(kPrinter);
    info.pDriverName = const_cast<LPWSTR>(WL("NOVRIX Fax Driver"));
    info.pPortName = wport.data();
    info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
    g_printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    nvx::WString module = nvx::WFromUtf8(std::string(NVX_DRIVER_DIR) + "/NOVRIX_U.DLL");
    g_module = LoadLibraryW(module.c_str());
    return g_printer && g_module && SheetsInit() == 0;
}

}  // namespace

int main(int argc, char** argv) {
    g_folder = (std::filesystem::temp_directory_path() / ("novrix_device_bench_" + std::to_string(getpid()))).string();
    int rc = 1;
    if (Prepare()) {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        rc = 0;
    }
    if (g_printer) ClosePrinter(g_printer);
    if (g_module) FreeLibrary(g_module);
    g_server.Stop();
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
    return rc;
}
