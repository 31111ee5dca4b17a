// The constraint check on the sample model: a whole-sheet check and a single
// control check with the sample rule file, and with synthetic rule files of 500,
// 1,000 and 2,000 rules (to show linear growth).
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "constraints/engine.h"
#include "constraints/prepared_rules.h"
#include "features/list_builders.h"
#include "features/model_record.h"
#include "features/template_adjust.h"
#include "features/ui_items.h"
#include "model/messages.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "model/package_block.h"
#include "platform/host.h"
#include "platform/ui_host.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "settings/settings_state.h"
#include "vpdc.h"

namespace {

const std::string kDriver = NVX_DRIVER_DIR;

struct Model {
    std::string bytes;
    nvx::model::PackagePtr pkg;
    nvx::model::ModelTables tables;
    nvx::features::UiItemTable* items = nullptr;
    nvx::model::MessageTables messages;
};

Model& Sample() {
    static Model* m = [] {
        std::string root = (std::filesystem::temp_directory_path() / "novrix_constraint_bench").string();
        std::filesystem::create_directories(root);
        NvxPlatform_SetRoot(root.c_str());
        auto* s = new Model;
        std::ifstream in(kDriver + "/NOVRIX_D.VPD", std::ios::binary);
        s->bytes.assign(std::istreambuf_iterator<char>(in), {});
        s->pkg = nvx::model::Package::OpenImage(s->bytes.data(), s->bytes.size());
        using namespace nvx::features;
        nvx::settings::PrepareSettings();
        if (s->pkg && BuildModelRecord(*s->pkg, s->tables)) {
            PrepareDefaults(*s->pkg, s->tables);
            LoadOptionTexts(*s->pkg, s->tables);
            RefillLists(*s->pkg, s->tables);
            BuildDeviceOptionTable(*s->pkg, s->tables);
            UiBuildInputs in;
            in.record = s->tables.record;
            in.deviceOptions = s->tables.deviceOptions;
            s->items = BuildUiItemTable(in);
        }
        nvx::model::AllocateMessageTables(s->messages);
        return s;
    }();
    return *m;
}

// A synthetic rule file: change, prohibition and control rules over the Basic,
// Layout and Finishing features, two conditions each, in kind order.
std::vector<uint8_t> SyntheticRules(int count) {
    struct Cond {
        const char* feature;
        const char* options[3];
    };
    static const Cond kConds[] = {
        {"PaperSize", {"A4", "A5", "Letter"}},     {"Orientation", {"Portrait", "Landscape", "Portrait"}},
        {"InTray", {"Tray1", "Tray2", "AutoSelect"}}, {"MediaType", {"Plain", "Thick1", "Labels"}},
        {"Copies", {"1", "5", "10"}},              {"Collate", {"CollateON", "CollateOFF", "CollateON"}},
        {"DoubleSides", {"Simplex", "Duplex", "Booklet"}}, {"Nup_op", {"2up", "4up", "2x2"}},
    };
    // Change and control rules set features that no condition reads, so that the
    // record settles after one check; prohibitions forbid options nobody has chosen.
    static const char* const kTargets[][2] = {{"JobOffset", "JobOffsetON"},     {"PaperOption1", "PaperOption1ON"},
                                              {"PaperOption2", "PaperOption2OFF"}, {"JobOffset", "JobOffsetOFF"},
                                              {"PaperOption1", "PaperOption1OFF"}, {"PaperOption2", "PaperOption2ON"}};
    static const char* const kForbidden[][2] = {{"Nup_op", "4x4"}, {"InTray", "Tray3"}, {"PaperSize", "B4"},
                                                {"MediaType", "Labels"}};
    vpdc::Json rules = vpdc::Json::array();
    const char* const kKinds[] = {"change", "prohibit", "control"};
    for (int i = 0; i < count; ++i) {
        const int kind = i < count * 7 / 10 ? 0 : i < count * 9 / 10 ? 1 : 2;
        const Cond& a = kConds[i % 8];
        const Cond& b = kConds[(i / 8 + 3) % 8];
        const auto& t = kind == 1 ? kForbidden[i % 4] : kTargets[i % 6];
        vpdc::Json r{{"kind", kKinds[kind]}, {"target", t[0]}, {"target_option", t[1]},
                     {"conditions", vpdc::Json::array({vpdc::Json::array({a.feature, "eq", a.options[i % 3]}),
                                                       vpdc::Json::array({b.feature, "ne", b.options[i % 2]})})},
                     {"expr", i % 2 ? "c0 c1 and end" : "c0 c1 or end"}};
        vpdc::Json actions = vpdc::Json::array();
        if (kind == 0) actions.push_back(vpdc::Json::array({"change_message", 10 + i % 50}));
        if (kind == 1) actions.push_back(vpdc::Json::array({"constraint_message", 10 + i % 50}));
        if (i % 5 == 0) actions.push_back(vpdc::Json::array({"disable", 0}));
        if (i % 7 == 0) actions.push_back(vpdc::Json::array({"icon", 10 + i % 30}));
        r["actions"] = actions;
        rules.push_back(r);
    }
    return vpdc::Compile(vpdc::Json{{"layout", "block"}, {"rules", rules}});
}

struct Fixture {
    std::vector<uint8_t> file;
    nvx::model::ConstraintBlock block;
    nvx::constraints::PreparedRules* rules = nullptr;
    std::vector<BYTE> record;
    bool ok = false;

    explicit Fixture(int synthetic) {
        Model& m = Sample();
        if (!m.items) return;
        if (synthetic > 0) {
            file = SyntheticRules(synthetic);
            auto pkg = nvx::model::Package::OpenImage(file.data(), file.size());
            if (!pkg || !block.Load(*pkg)) return;
        } else {
            std::u16string path;
            for (char c : kDriver + "/NOVRIX_C.VPD") path.push_back(static_cast<char16_t>(c));
            block.Load(reinterpret_cast<const WCHAR*>(path.c_str()));
        }
        rules = nvx::constraints::PrepareRules(block, m.items, false);
        record.resize(nvx::settings::kOemDevSize);
        std::memcpy(record.data(), &nvx::settings::DefaultTemplate(), record.size());
        ok = rules != nullptr;
    }
    ~Fixture() { nvx::constraints::FreeRules(rules); }

    uint32_t Check(uint16_t control) {
        Model& m = Sample();
        nvx::constraints::EngineTables t;
        t.items = m.items;
        t.rules = rules;
        t.messages = &m.messages;
        t.record = m.tables.record;
        nvx::constraints::CheckContext ctx;
        ctx.record = record.data();
        ctx.control = control;
        return nvx::constraints::RunCheck(ctx, t);
    }
};

void Run(benchmark::State& state, int synthetic, uint16_t control) {
    Fixture f(synthetic);
    if (!f.ok) {
        state.SkipWithError("no sample model");
        return;
    }
    f.Check(0);  // settle the record first: later checks change nothing
    f.Check(control);
    NvxUi_ClearLog();
    for (auto _ : state) benchmark::DoNotOptimize(f.Check(control));
    if (NvxUi_LogCount() > 2) state.SkipWithError("the record did not settle: message boxes were shown");
    state.counters["rules"] = static_cast<double>(f.rules->rules.size());
    NvxUi_ClearLog();
}

void BM_SampleWholeSheet(benchmark::State& s) { Run(s, 0, 0); }
void BM_SampleSingleControl(benchmark::State& s) { Run(s, 0, 1000); }
void BM_SyntheticWholeSheet(benchmark::State& s) { Run(s, static_cast<int>(s.range(0)), 0); }
void BM_SyntheticSingleControl(benchmark::State& s) { Run(s, static_cast<int>(s.range(0)), 1000); }

BENCHMARK(BM_SampleWholeSheet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SampleSingleControl)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SyntheticWholeSheet)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SyntheticSingleControl)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
