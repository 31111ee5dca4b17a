// The variant switch table of the monochrome multifunction fax build.
#include "frame/variant_switches.h"

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

unsigned AskVariant(const char* name) {
    if (!name) return 0;
    for (const auto& row : kVariantSwitches)
        if (strcmp(row.name, name) == 0) return row.answer;
    return 0;
}

}  // namespace nvx::frame
