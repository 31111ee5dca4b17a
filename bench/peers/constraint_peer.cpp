// Our side of the peer comparison (bench/peers/run.sh): the constraint check on a
// model of the same shape as the peer's generated PPD.  The PPD's options become
// drop-down items (each choice an option, value = its position, the first one the
// default, every item bound to its own number field of the settings record) and
// each "*UIConstraints: *A x *B y" line a prohibition rule: while A is x, option y
// of B is forbidden.  Prints, like the peer's program:
//
//   prepare_ms=...  whole_us=...  change_us=...  conflicts=...
//
// prepare_ms: building the prepared rules (the attach step); whole_us: one
// whole-sheet check (best of 5 x 2,000); change_us: setting the fourth option to
// its second choice or back and checking that control (best of 5 x 200).  Times
// are the process's CPU time, as the peer program measures them here.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "constraints/engine.h"
#include "constraints/prepared_rules.h"
#include "features/option_record.h"
#include "features/ui_items.h"
#include "model/messages.h"
#include "model/package.h"
#include "model/package_block.h"
#include "settings/oemdev.h"
#include "settings/oemdev_fields.h"
#include "vpdc.h"

namespace {

double Now() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Option {
    std::string name;
    std::vector<std::string> choices;
};

// The PPD's options (in order) and constraints.
bool ReadPpd(const char* path, std::vector<Option>& options, std::vector<std::array<std::string, 4>>& constraints) {
    std::ifstream in(path);
    if (!in) return false;
    std::map<std::string, size_t> index;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("*OpenUI *", 0) == 0) {
            const std::string name = line.substr(9, line.find_first_of("/:", 9) - 9);
            if (name == "PageSize") continue;
            index[name] = options.size();
            options.push_back({name, {}});
        } else if (line.rfind("*UIConstraints: ", 0) == 0) {
            std::istringstream s(line.substr(16));
            std::string a, x, b, y;
            s >> a >> x >> b >> y;
            if (a.size() > 1 && b.size() > 1) constraints.push_back({a.substr(1), x, b.substr(1), y});
        } else if (line.size() > 1 && line[0] == '*') {
            const size_t space = line.find(' ');
            if (space == std::string::npos) continue;
            const auto it = index.find(line.substr(1, space - 1));
            if (it == index.end()) continue;
            options[it->second].choices.push_back(line.substr(space + 1, line.find_first_of("/:", space) - space - 1));
        }
    }
    return !options.empty();
}

struct Peer {
    std::vector<std::vector<uint8_t>> lists;
    nvx::features::UiItemTable items;
    std::vector<uint8_t> file;
    nvx::model::ConstraintBlock block;
    nvx::constraints::PreparedRules* rules = nullptr;
    nvx::model::MessageTables messages;
    std::vector<BYTE> record = std::vector<BYTE>(nvx::settings::kOemDevSize, 0);

    uint32_t Check(uint16_t control) {
        nvx::constraints::EngineTables t;
        t.items = &items;
        t.rules = rules;
        t.messages = &messages;
        nvx::constraints::CheckContext ctx;
        ctx.record = record.data();
        ctx.control = control;
        return nvx::constraints::RunCheck(ctx, t);
    }
};

bool Build(Peer& p, const std::vector<Option>& options, const std::vector<std::array<std::string, 4>>& constraints) {
    using namespace nvx;
    // One number field of the record for each option, none shared.
    std::vector<settings::FieldRef> fields;
    for (size_t i = 0; i < settings::kOemDevFieldCount && fields.size() < options.size(); ++i) {
        const settings::FieldDef& d = settings::kOemDevFields[i];
        if (settings::IsNumberKind(d.kind) && d.use == settings::kExchanged) fields.push_back({&d, 0});
    }
    if (fields.size() < options.size()) return false;
    p.items.rows.resize(options.size() + 1);
    p.items.count = options.size();
    for (size_t i = 0; i < options.size(); ++i) {
        features::OptionListBuilder b;
        for (size_t c = 0; c < options[i].choices.size(); ++c)
            b.Add(features::kSizeNamed, options[i].choices[c], static_cast<int32_t>(c));
        p.lists.push_back(b.Finish());
        features::UiItem& item = p.items.rows[i];
        item.control = static_cast<uint32_t>(5000 + i);
        item.type = features::kUiDropDown;
        for (size_t k = 0; k < options[i].name.size() && k < 31; ++k)
            item.feature[k] = static_cast<WCHAR>(options[i].name[k]);
        item.options = p.lists.back().data();
        item.state.field = fields[i];
        item.state.storage = features::StorageTypeOf(fields[i].def->kind);
        settings::SetNumber(*settings::AsRecord(p.record.data()), fields[i], 0);
    }
    vpdc::Json rules = vpdc::Json::array();
    for (const auto& c : constraints)
        rules.push_back(vpdc::Json{{"kind", "prohibit"},
                                   {"target", c[2]},
                                   {"target_option", c[3]},
                                   {"conditions", vpdc::Json::array({vpdc::Json::array({c[0], "eq", c[1]})})},
                                   {"expr", "c0 end"},
                                   {"actions", vpdc::Json::array({vpdc::Json::array({"constraint_message", 10})})}});
    p.file = vpdc::Compile(vpdc::Json{{"layout", "block"}, {"rules", rules}});
    auto pkg = model::Package::OpenImage(p.file.data(), p.file.size());
    if (!pkg || !p.block.Load(*pkg)) return false;
    model::AllocateMessageTables(p.messages);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // A second argument sets the whole checks per batch (a profiler's run wants few).
    const int loops = argc == 3 ? std::atoi(argv[2]) : 2000;
    if ((argc != 2 && argc != 3) || loops < 10) {
        std::fprintf(stderr, "usage: constraint_peer FILE.PPD [CHECKS_PER_BATCH, at least 10]\n");
        return 2;
    }
    std::vector<Option> options;
    std::vector<std::array<std::string, 4>> constraints;
    if (!ReadPpd(argv[1], options, constraints)) {
        std::fprintf(stderr, "constraint_peer: cannot read %s\n", argv[1]);
        return 1;
    }
    Peer p;
    if (!Build(p, options, constraints)) {
        std::fprintf(stderr, "constraint_peer: cannot build the model\n");
        return 1;
    }
    double t0 = Now();
    p.rules = nvx::constraints::PrepareRules(p.block, &p.items, false);
    const double prepare = Now() - t0;
    if (!p.rules || p.rules->prohibit.rules.size() != constraints.size()) {
        std::fprintf(stderr, "constraint_peer: the rules did not prepare\n");
        return 1;
    }
    int conflicts = 0;
    double whole = 1e9;
    for (int rep = 0; rep < 5; ++rep) {
        const double a = Now();
        for (int i = 0; i < loops; ++i) conflicts += p.Check(0) != nvx::constraints::kCheckStands;
        whole = std::min(whole, (Now() - a) / loops);
    }
    // One change: the fourth option (the peer's Opt3) to its second choice and back.
    const size_t changed = options.size() > 3 ? 3 : 0;
    const nvx::settings::FieldRef field = p.items.rows[changed].state.field;
    const auto control = static_cast<uint16_t>(p.items.rows[changed].control);
    double change = 1e9;
    for (int rep = 0; rep < 5; ++rep) {
        const double a = Now();
        for (int i = 0; i < loops / 10; ++i) {
            nvx::settings::SetNumber(*nvx::settings::AsRecord(p.record.data()), field, i & 1);
            conflicts += p.Check(control) != nvx::constraints::kCheckStands;
        }
        change = std::min(change, (Now() - a) / (loops / 10));
    }
    std::printf("prepare_ms=%.3f whole_us=%.2f change_us=%.2f conflicts=%d\n", prepare * 1e3, whole * 1e6,
                change * 1e6, conflicts);
    nvx::constraints::FreeRules(p.rules);
    return 0;
}
