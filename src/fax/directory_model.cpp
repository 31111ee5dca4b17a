// The model's word on the directory servers (see directory_model.h).
#include "fax/directory_model.h"

#include "features/model_record.h"
#include "model/loaded_model.h"
#include "model/model_settings.h"

namespace nvx::fax::directory {
namespace {

// A range as the package keeps it: [0] maximum, [1] minimum, [2] default.
bool TakeRange(const int32_t r[3], uint32_t* minimum, uint32_t* maximum, uint32_t* defaultValue) {
    if (r[1] < 0 || r[0] < r[1]) return false;
    if (defaultValue && (r[2] < r[1] || r[2] > r[0])) return false;
    *minimum = static_cast<uint32_t>(r[1]);
    *maximum = static_cast<uint32_t>(r[0]);
    if (defaultValue) *defaultValue = static_cast<uint32_t>(r[2]);
    return true;
}

bool DefaultIs(const model::Package& pkg, const char* entry, const char* key, bool* answer) {
    char name[292] = {};
    if (!pkg.ReadDefaultName(entry, name, sizeof name)) return false;
    *answer = std::string_view(name) == key;
    return true;
}

}  // namespace

Limits PackageLimits(const model::Package& pkg) {
    Limits l;
    int32_t r[3] = {};
    if (model::RangeLoad(pkg, "LSR_Port", r)) TakeRange(r, &l.portMin, &l.portMax, nullptr);
    if (model::RangeLoad(pkg, "LSR_SearchTimeout", r)) TakeRange(r, &l.timeoutMin, &l.timeoutMax, &l.timeoutDefault);
    if (model::RangeLoad(pkg, "LSR_SearchMaxResult", r))
        TakeRange(r, &l.resultsMin, &l.resultsMax, &l.resultsDefault);
    model::DirectoryAuthMethods methods;
    model::LoadDirectoryAuthMethods(pkg, methods);
    l.authDefault = methods.defaultValue;
    bool is = false;
    if (DefaultIs(pkg, "LSR_ShareLogonInfo", "LSR_ShareLogonInfoOFF", &is)) l.shareDefault = is ? 0 : 1;
    if (DefaultIs(pkg, "LSR_SSL", "ChkLDAPServerUseSSLON", &is)) l.sslDefault = is ? 1 : 0;
    return l;
}

Limits ModuleLimits() {
    Limits l;
    const model::LoadedModel& m = model::Loaded();
    if (const features::ModelRecord* record = m.tables.record) {
        auto take = [](const features::Range* range, uint32_t* minimum, uint32_t* maximum, uint32_t* def) {
            if (!range) return;
            const int32_t r[3] = {range->maximum, range->minimum, range->defaultValue};
            TakeRange(r, minimum, maximum, def);
        };
        take(record->FindRange("LSR_Port"), &l.portMin, &l.portMax, nullptr);
        take(record->FindRange("LSR_SearchTimeout"), &l.timeoutMin, &l.timeoutMax, &l.timeoutDefault);
        take(record->FindRange("LSR_SearchMaxResult"), &l.resultsMin, &l.resultsMax, &l.resultsDefault);
    }
    l.authDefault = m.tables.settings.directoryAuth.defaultValue;
    l.shareDefault = m.tables.services.sharedLogon;
    l.sslDefault = m.tables.services.directorySsl;
    return l;
}

}  // namespace nvx::fax::directory
