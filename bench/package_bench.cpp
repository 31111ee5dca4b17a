// The package reader on a large synthetic package: opening (file read into the
// image), entry lookups, keyed values, message tables and a text load.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/package.h"
#include "vpdc.h"

using namespace nvx::model;

namespace {

constexpr int kEntries = 2000;
constexpr int kItems = 40;

// 2000 entries of 40 items, and a 1000-item message table at the end.
const vpdc::Bytes& LargePackage() {
    static const vpdc::Bytes bytes = [] {
        vpdc::DirectoryPackage pkg;
        for (int e = 0; e < kEntries; ++e) {
            vpdc::Entry entry;
            entry.name = "Dlg_Entry" + std::to_string(e);
            for (int i = 0; i < kItems; ++i) {
                vpdc::Item item;
                item.key = "Key" + std::to_string(i);
                item.value = u"Display text of an item, long enough to be realistic";
                entry.items.push_back(item);
            }
            entry.defaultItem = 0;
            pkg.entries.push_back(std::move(entry));
        }
        vpdc::Entry messages;
        messages.name = "MessageStr";
        for (int i = 0; i < 1000; ++i) {
            vpdc::Item item;
            item.key = "Msg" + std::to_string(i);
            item.value = u"A message text of moderate length, as message boxes show them.";
            messages.items.push_back(item);
        }
        pkg.entries.push_back(std::move(messages));
        return vpdc::WriteDirectory(pkg);
    }();
    return bytes;
}

std::string PackageFile() {
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "novrix_bench_NOVRIX_D.VPD").string();
        const vpdc::Bytes& b = LargePackage();
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
        return p;
    }();
    return path;
}

void BM_OpenFile(benchmark::State& state) {
    nvx::WString path = nvx::WFromUtf8(PackageFile());
    for (auto _ : state) {
        PackagePtr pkg = Package::Open(path.c_str());
        benchmark::DoNotOptimize(pkg.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(LargePackage().size()));
}
BENCHMARK(BM_OpenFile)->Unit(benchmark::kMillisecond);

void BM_FindLastEntry(benchmark::State& state) {
    PackagePtr pkg = Package::OpenImage(LargePackage().data(), LargePackage().size());
    for (auto _ : state) benchmark::DoNotOptimize(pkg->FindEntry("dlg_entry1999"));
}
BENCHMARK(BM_FindLastEntry)->Unit(benchmark::kMicrosecond);

void BM_KeyedValueLastItem(benchmark::State& state) {
    PackagePtr pkg = Package::OpenImage(LargePackage().data(), LargePackage().size());
    WCHAR text[291];
    for (auto _ : state) benchmark::DoNotOptimize(KeyedValueLoad(*pkg, "Dlg_Entry1000", "Key39", text, 291));
}
BENCHMARK(BM_KeyedValueLastItem)->Unit(benchmark::kMicrosecond);

void BM_MessageTable(benchmark::State& state) {
    PackagePtr pkg = Package::OpenImage(LargePackage().data(), LargePackage().size());
    std::vector<WCHAR> table(1000 * 290);
    for (auto _ : state) benchmark::DoNotOptimize(NumberedStringLoad(*pkg, "MessageStr", table.data(), 290, 1000));
}
BENCHMARK(BM_MessageTable)->Unit(benchmark::kMicrosecond);

void BM_TextLoad(benchmark::State& state) {
    PackagePtr pkg = Package::OpenImage(LargePackage().data(), LargePackage().size());
    std::vector<ControlTextRow> table(kItems + 1, ControlTextRow{});
    for (int i = 0; i < kItems; ++i) std::snprintf(table[i].key, sizeof table[i].key, "KEY%d", i);
    for (auto _ : state) benchmark::DoNotOptimize(TextLoad(*pkg, "Dlg_Entry500", table.data()));
}
BENCHMARK(BM_TextLoad)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
