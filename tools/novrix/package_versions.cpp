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

PackageVersions ReadPackageVersions(const std::string& driverFolder) {
    nvx::model::VersionStrings v;
    nvx::WString folder = nvx::WFromUtf8(driverFolder + "/");
    if (auto pkg = nvx::model::Package::Open((folder + WL("NOVRIX_D.VPD")).c_str()))
        nvx::model::ReadMainVersions(*pkg, v);
    nvx::model::ReadPackageVersions(v, folder);
    nvx::model::ConstraintBlock constraints;
    constraints.Load((folder + WL("NOVRIX_C.VPD")).c_str());
    nvx::model::ReadCustomizationVersion(constraints, v);
    return {OrDash(v.basic), OrDash(v.uiSetup), OrDash(v.localize), OrDash(v.driver), OrDash(v.command),
            OrDash(v.customization)};
}

}  // namespace novrix
