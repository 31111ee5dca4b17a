// The module's attach with the full sample package: loading NOVRIX_U.DLL from the
// driver folder (every attach step, the catalogue's among them), and the
// catalogue's build steps alone on the sample package held in memory.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "features/list_builders.h"
#include "features/model_record.h"
#include "features/template_adjust.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "platform/host.h"
#include "platform/win32.h"
#include "settings/settings_state.h"

namespace {

const std::string kDriver = NVX_DRIVER_DIR;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A private platform root, so that the run touches no user's registry.
void UsePrivateRoot() {
    static const bool done = [] {
        std::string root = (std::filesystem::temp_directory_path() / "novrix_catalogue_bench").string();
        std::filesystem::create_directories(root);
        return NvxPlatform_SetRoot(root.c_str()) != FALSE;
    }();
    (void)done;
}

void BM_ModuleAttachAndDetach(benchmark::State& state) {
    UsePrivateRoot();
    std::u16string path;
    for (char c : kDriver + "/NOVRIX_U.DLL") path.push_back(static_cast<char16_t>(c));
    for (auto _ : state) {
        HMODULE module = LoadLibraryW(reinterpret_cast<const WCHAR*>(path.c_str()));
        if (module == nullptr) {
            state.SkipWithError("NOVRIX_U.DLL did not load");
            break;
        }
        FreeLibrary(module);
    }
}
BENCHMARK(BM_ModuleAttachAndDetach)->Unit(benchmark::kMillisecond);

void BM_CatalogueBuildSteps(benchmark::State& state) {
    const std::string bytes = ReadFile(kDriver + "/NOVRIX_D.VPD");
    nvx::model::PackagePtr pkg = nvx::model::Package::OpenImage(bytes.data(), bytes.size());
    if (!pkg) {
        state.SkipWithError("no NOVRIX_D.VPD in the driver folder");
        return;
    }
    using namespace nvx::features;
    for (auto _ : state) {
        nvx::settings::PrepareSettings();
        nvx::model::ModelTables t;
        BuildModelRecord(*pkg, t);
        PrepareDefaults(*pkg, t);
        LoadOptionTexts(*pkg, t);
        RefillLists(*pkg, t);
        BuildDeviceOptionTable(*pkg, t);
        LoadFaxLists(*pkg, t);
        LoadDestinationLists(*pkg, t);
        benchmark::DoNotOptimize(BuildListRelationTable(t));
        FreeCatalogueTables(t);
    }
}
BENCHMARK(BM_CatalogueBuildSteps)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
