// The variant switch table of the monochrome multifunction fax build.
#include "frame/variant_switches.h"

#include <cstdlib>
#include <cstring>

namespace nvx::frame {

const VariantSwitch kVariantSwitches[] = {
    {"_PRP_QUALTY_MFP_C", 0},     {"_PRP_QUALTY_MFP_M", 1},     {"_PRP_QUALTY_PRN_C", 0},
    {"_PRP_QUALTY_PRN_M", 0},     {"_PRP_QUALTY_DISABLE", 0},   {"_DLG_USRSET_TYPE1", 0},
    {"_DLG_USRSET_TYPE2", 1},     {"_DLG_USRSET_DISABLE", 0},   {"_DLG_IMGSHIFT_TYPE1", 0},
    {"_DLG_IMGSHIFT_TYPE2", 0},   {"_DLG_IMGSHIFT_TYPE3", 1},   {"_DLG_IMGSHIFT_DISABLE", 0},
    {"_PRP_FINISHER_TYPE1", 0},   {"_PRP_FINISHER_TYPE2", 1},   {"_PRP_FINISHER_POD", 0},
    {"_PRP_FINISHER_DISABLE", 0}, {"_PRP_COVER_TYPE1", 0},      {"_PRP_COVER_TYPE2", 1},
    {"_PRP_COVER_TYPE3", 0},      {"_PRP_COVER_DISABLE", 0},    {"_DLG_HDRFTR_TYPE1", 0},
    {"_DLG_HDRFTR_TYPE2", 0},     {"_DLG_HDRFTR_TYPE3", 1},     {"_DLG_HDRFTR_DISABLE", 0},
    {"_DLG_CLRADJ_TYPE2", 1},     {"_PRP_CONFIG_TYPE1", 0},     {"_PRP_CONFIG_TYPE2", 1},
    {"_PRP_CONFIG_TYPE2_POD", 0}, {"_PRP_CONFIG_DISABLE", 0},   {"_DLG_PERPAGE_TYPE1", 1},
    {"_DLG_PERPAGE_TYPE2", 0},    {"_DLG_PERPAGE_DISABLE", 0},  {"_PRP_SYNCMP_TYPE1", 1},
    {"_PRP_SYNCMP_TYPE2", 0},     {"_PRP_SYNCMP_DISABLE", 0},   {"OTHERTAB_ENABLE", 1},
    {"OTHERTAB_POD_ENABLE", 0},   {"BASIC_POD_ENABLE", 0},      {"LAYOUT_POD_ENABLE", 0},
    {"WMRKOVERLAY_POD_ENABLE", 0}, {"QUALTY_TYPE_POD_ENABLE", 0},
};
const size_t kVariantSwitchCount = sizeof(kVariantSwitches) / sizeof(kVariantSwitches[0]);

bool OverriddenVariant(const char* overrides, const char* name, unsigned* answer) {
    if (!overrides || !name || !*name) return false;
    const size_t nameLength = strlen(name);
    bool found = false;
    for (const char* p = overrides; *p;) {
        const char* end = strchr(p, ',');
        const size_t length = end ? static_cast<size_t>(end - p) : strlen(p);
        // NAME=0 or NAME=1, nothing else.
        if (length == nameLength + 2 && strncmp(p, name, nameLength) == 0 && p[nameLength] == '=' &&
            (p[nameLength + 1] == '0' || p[nameLength + 1] == '1')) {
            *answer = p[nameLength + 1] == '1' ? 1u : 0u;
            found = true;  // the last mention wins
        }
        if (!end) break;
        p = end + 1;
    }
    return found;
}

unsigned AskVariant(const char* name) {
    if (!name) return 0;
    unsigned answer = 0;
    if (OverriddenVariant(std::getenv(kVariantOverrideVariable), name, &answer)) return answer;
    for (const auto& row : kVariantSwitches)
        if (strcmp(row.name, name) == 0) return row.answer;
    return 0;
}

}  // namespace nvx::frame
