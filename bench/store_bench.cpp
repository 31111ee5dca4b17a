// The registry and spooler database: value reads (warm handle, fresh handle,
// freshly opened database), value writes, printer-data reads and writes.
//
// Every benchmark runs on a private platform root that is removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/host.h"
#include "platform/win32.h"

namespace {

const WCHAR kKeyPath[] = WL("Software\\VELMORA\\Novrix Bench Driver\\Bench Printer");
const WCHAR kPrinterName[] = WL("Bench Printer");
constexpr DWORD kRecordSize = 8344;  // the size of the largest fixed printer-data record

std::string g_root;

LPWSTR W(const WCHAR* text) {
    return const_cast<LPWSTR>(text);
}

HKEY OpenBenchKey() {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

HANDLE OpenBenchPrinter() {
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    OpenPrinterW(W(kPrinterName), &printer, &all);
    return printer;
}

// The data every benchmark reads: one DWORD value and one printer record.
bool Prepare() {
    HKEY key = OpenBenchKey();
    DWORD value = 1;
    bool ok = key && RegSetValueExW(key, WL("ExcelJobCtrl"), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4) == 0;
    RegCloseKey(key);
    PRINTER_INFO_2W info{};
    info.pPrinterName = W(kPrinterName);
    info.pDriverName = W(WL("Novrix Bench Driver"));
    info.pPortName = W(WL("IP_192.0.2.7"));
    info.pPrintProcessor = W(WL("winprint"));
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    std::vector<BYTE> record(kRecordSize, 0x5A);
    ok = ok && printer && SetPrinterDataW(printer, W(WL("DefaultOEMDEV")), REG_BINARY, record.data(), kRecordSize) == 0;
    ClosePrinter(printer);
    return ok;
}

void BM_RegistryReadWarm(benchmark::State& state) {
    HKEY key = OpenBenchKey();
    for (auto _ : state) {
        DWORD value = 0, size = sizeof value, type = 0;
        LONG rc = RegQueryValueExW(key, WL("ExcelJobCtrl"), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        benchmark::DoNotOptimize(rc);
        benchmark::DoNotOptimize(value);
    }
    RegCloseKey(key);
}
BENCHMARK(BM_RegistryReadWarm);

// The per-user key opened, read and closed, as the module does per call.
void BM_RegistryReadOpenKey(benchmark::State& state) {
    for (auto _ : state) {
        HKEY key = nullptr;
        DWORD value = 0, size = sizeof value;
        RegOpenKeyW(HKEY_CURRENT_USER, kKeyPath, &key);
        LONG rc = RegQueryValueExW(key, WL("ExcelJobCtrl"), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        benchmark::DoNotOptimize(rc);
    }
}
BENCHMARK(BM_RegistryReadOpenKey);

// The first read after the database was (re)opened: connection, WAL and schema checks.
void BM_RegistryReadCold(benchmark::State& state) {
    for (auto _ : state) {
        NvxPlatform_SetRoot(g_root.c_str());  // closes the connection and every handle
        HKEY key = nullptr;
        DWORD value = 0, size = sizeof value;
        RegOpenKeyW(HKEY_CURRENT_USER, kKeyPath, &key);
        LONG rc = RegQueryValueExW(key, WL("ExcelJobCtrl"), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        benchmark::DoNotOptimize(rc);
    }
}
BENCHMARK(BM_RegistryReadCold);

void BM_RegistryWrite(benchmark::State& state) {
    HKEY key = OpenBenchKey();
    DWORD value = 0;
    for (auto _ : state) {
        ++value;
        LONG rc = RegSetValueExW(key, WL("Counter"), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
        benchmark::DoNotOptimize(rc);
    }
    RegCloseKey(key);
}
BENCHMARK(BM_RegistryWrite);

void BM_PrinterDataRead(benchmark::State& state) {
    HANDLE printer = OpenBenchPrinter();
    std::vector<BYTE> record(kRecordSize);
    for (auto _ : state) {
        DWORD type = 0, needed = 0;
        DWORD rc = GetPrinterDataW(printer, W(WL("DefaultOEMDEV")), &type, record.data(), kRecordSize, &needed);
        benchmark::DoNotOptimize(rc);
        benchmark::DoNotOptimize(record.data());
    }
    ClosePrinter(printer);
}
BENCHMARK(BM_PrinterDataRead);

void BM_PrinterDataWrite(benchmark::State& state) {
    HANDLE printer = OpenBenchPrinter();
    std::vector<BYTE> record(kRecordSize, 0x33);
    for (auto _ : state) {
        ++record[0];
        DWORD rc = SetPrinterDataW(printer, W(WL("DefaultOEMDEV")), REG_BINARY, record.data(), kRecordSize);
        benchmark::DoNotOptimize(rc);
    }
    ClosePrinter(printer);
}
BENCHMARK(BM_PrinterDataWrite);

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("novrix-bench-" + std::to_string(::getpid()));
    g_root = root.string();
    if (!NvxPlatform_SetRoot(g_root.c_str()) || !Prepare()) return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(root, ec);
    return 0;
}
