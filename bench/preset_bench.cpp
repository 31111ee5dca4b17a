// Presets: building a sheet's list from stores holding 50 presets (the Default
// entry, 29 shared and 20 per-user presets, with a stored order and the selection
// check), and applying one preset to a settings record.
// Targets: the list under 5 ms, applying under 1 ms.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "presets/preset_store.h"
#include "settings/oemdev_template.h"

namespace {

using namespace nvx::presets;

struct Fixture {
    PresetEnvironment env;
    OEMDEV defaults{};
    MemoryValues shared, personal;
    Fixture() {
        env.driverName = WL("NOVRIX Fax Driver");
        env.language = LanguageCode(0x0409);
        nvx::settings::BuildTemplate(defaults);
        EasySetList stored;
        for (int i = 0; i < 49; ++i) {
            OEMDEV r = defaults;
            nvx::settings::SetNumber(r, "nCopies", i + 1);
            const uint32_t scope = i < 29 ? kSharedScope : kPersonalScope;
            EasySetEntry e;
            MakeEntry(env, r, MakeHeader(env, nvx::WFormatString(WL("Preset %d"), i), WL("bench"), 0, 0, 0), scope,
                      &e);
            stored.Add(std::move(e));
        }
        WritePresetStore(shared, stored, kSharedScope);
        WritePresetStore(personal, stored, kPersonalScope);
        std::reverse(stored.entries.begin(), stored.entries.end());
        WritePresetOrder(personal, stored);
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_BuildListOf50(benchmark::State& state) {
    Fixture& f = Shared();
    ApplyContext ctx;
    ctx.env = &f.env;
    OEMDEV record = f.defaults;
    nvx::settings::SetNumber(record, "nCopies", 40);
    SetRecordPreset(record, kKindPersonal, WL("Preset 39"));
    ListSources sources{&f.shared, &f.personal, nullptr, &f.defaults};
    for (auto _ : state) {
        EasySetList list;
        BuildList(sources, record, ctx, &list);
        if (list.Count() != 50 || list.current < 0) state.SkipWithError("list not built");
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_BuildListOf50)->Unit(benchmark::kMillisecond);

void BM_ApplyOne(benchmark::State& state) {
    Fixture& f = Shared();
    ApplyContext ctx;
    ctx.env = &f.env;
    ListSources sources{&f.shared, &f.personal, nullptr, &f.defaults};
    EasySetList list;
    BuildList(sources, f.defaults, ctx, &list);
    const EasySetEntry& entry = list.entries[list.Count() / 2];
    for (auto _ : state) {
        OEMDEV record = f.defaults;
        ApplyEntry(entry, record, ctx);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_ApplyOne)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
