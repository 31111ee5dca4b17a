// Any bytes as the constraint file: loaded as the module's rules, prepared against
// the sample model's UI item table, then a whole-sheet check and single-control
// checks on a settings record.  Nothing may read outside the file's arrays, the
// expression stack or the record; message boxes answer their default button.
#include <cstdint>
#include <cstring>
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
#include "platform/ui_host.h"
#include "settings/devoption.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "settings/settings_state.h"

namespace {

struct Model {
    std::string bytes;
    nvx::model::PackagePtr pkg;
    nvx::model::ModelTables tables;
    nvx::features::UiItemTable* items = nullptr;
    nvx::model::MessageTables messages;
};

Model* Sample() {
    static Model* m = [] {
        auto* s = new Model;
        std::ifstream file(std::string(NVX_DRIVER_DIR) + "/NOVRIX_D.VPD", std::ios::binary);
        s->bytes.assign(std::istreambuf_iterator<char>(file), {});
        s->pkg = nvx::model::Package::OpenImage(s->bytes.data(), s->bytes.size());
        if (!s->pkg) __builtin_trap();
        using namespace nvx::features;
        nvx::settings::PrepareSettings();
        if (!BuildModelRecord(*s->pkg, s->tables)) __builtin_trap();
        PrepareDefaults(*s->pkg, s->tables);
        LoadOptionTexts(*s->pkg, s->tables);
        RefillLists(*s->pkg, s->tables);
        BuildDeviceOptionTable(*s->pkg, s->tables);
        UiBuildInputs in;
        in.record = s->tables.record;
        in.deviceOptions = s->tables.deviceOptions;
        s->items = BuildUiItemTable(in);
        nvx::model::AllocateMessageTables(s->messages);
        return s;
    }();
    return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Model* m = Sample();
    nvx::model::ConstraintBlock block;
    if (auto pkg = nvx::model::Package::OpenImage(data, size)) block.Load(*pkg);
    nvx::constraints::PreparedRules* rules =
        nvx::constraints::PrepareRules(block, m->items, size > 0 && (data[0] & 1));
    if (!rules) return 0;
    nvx::constraints::EngineTables t;
    t.items = m->items;
    t.rules = rules;
    t.messages = &m->messages;
    t.record = m->tables.record;
    std::vector<BYTE> record(sizeof(OEMDEV));
    std::memcpy(record.data(), &nvx::settings::DefaultTemplate(), record.size());
    // A device-option record from the input's last bytes (the rest zero), so that
    // device-option conditions are read as well.
    std::vector<BYTE> deviceOptions(nvx::settings::kDevOptionSize, 0);
    const size_t tail = size < 64 ? size : 64;
    if (tail) std::memcpy(deviceOptions.data(), data + size - tail, tail);
    for (uint16_t control : {0, 1000, 1011, 1020, 1023, 1025, 1286, 1026, 1003, 0}) {
        nvx::constraints::CheckContext ctx;
        ctx.record = record.data();
        ctx.control = control;
        ctx.noBooklet = size > 1 && (data[1] & 1);
        ctx.customPaper = size > 1 && (data[1] & 2);
        ctx.deviceOptions = size > 1 && (data[1] & 4) ? deviceOptions.data() : nullptr;
        nvx::constraints::RunCheck(ctx, t);
    }
    NvxUi_ClearLog();
    nvx::constraints::FreeRules(rules);
    return 0;
}
