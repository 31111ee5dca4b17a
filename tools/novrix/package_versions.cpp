// Package versions as the version page shows them, read with the module's reader.
#include "package_versions.h"

#include "model/model_tables.h"
#include "model/package.h"
#include "model/package_block.h"

namespace novrix {
namespace {

std::string OrDash(const WCHAR* text) {
    return *text ? nvx::Utf8FromW(text) : "-";
}

}  // namespace

std::vector<PackageDamage> DamagedPackages(const std::string& driverFolder) {
    struct File {
        const char* name;
        uint32_t entrySize;
    };
    const File files[] = {{"NOVRIX_D.VPD", nvx::vpd::kEntry52Size},
                          {"NOVRIX__.VPD", nvx::vpd::kEntry52Size},
                          {"NOVRIX_M.VPD", nvx::vpd::kEntry40Size}};
    std::vector<PackageDamage> out;
    for (const File& f : files) {
        std::string path = driverFolder + "/" + f.name;
        auto pkg = nvx::model::Package::Open(nvx::WFromUtf8(path).c_str());
        std::string what;
        if (pkg && !pkg->CheckDirectory(f.entrySize, &what))
            out.push_back({f.name, path, what, &f == &files[0]});
    }
    return out;
}

std::string DamageText(const PackageDamage& damage) {
    return "the model package " + damage.path + " is damaged (" + damage.what + "); " +
           (damage.main ? "the module cannot start without it: install the driver folder again"
                        : "the module uses its built-in version text instead");
}

bool ModelSendsFaxes(const std::string& driverFolder) {
    const nvx::WString path = nvx::WFromUtf8(driverFolder + "/NOVRIX_D.VPD");
    auto pkg = nvx::model::Package::OpenDirectory(path.c_str(), nvx::vpd::kEntry52Size);
    WCHAR text[16] = {};
    return pkg && nvx::model::KeyedValueLoad(*pkg, "MachineInfo", "Fax", text, 16) && text[0] == '1' && text[1] == 0;
}

PackageVersions ReadPackageVersions(const std::string& driverFolder) {
    nvx::model::VersionStrings v;
    nvx::WString folder = nvx::WFromUtf8(driverFolder + "/");
    if (auto pkg = nvx::model::Package::OpenDirectory((folder + WL("NOVRIX_D.VPD")).c_str(), nvx::vpd::kEntry52Size))
        nvx::model::ReadMainVersions(*pkg, v);
    nvx::model::ReadPackageVersions(v, folder);
    nvx::model::ConstraintBlock constraints;
    constraints.Load((folder + WL("NOVRIX_C.VPD")).c_str());
    nvx::model::ReadCustomizationVersion(constraints, v);
    return {OrDash(v.basic), OrDash(v.uiSetup), OrDash(v.localize), OrDash(v.driver), OrDash(v.command),
            OrDash(v.customization)};
}

}  // namespace novrix
