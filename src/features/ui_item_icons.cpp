// The icon control of each feature: the picture control beside which a page shows
// the stop icon of the feature's items.  The definition rows carry none; the
// builder takes these where a row has 0 (and the model does not leave the icon
// out).  The ids are those of the stop-icon table (constraints/stop_icons.cpp): the
// Basic page 3601 ... 3612, the custom size dialog 3620/3621, the other pages
// 3630 ... 3750 in page order.
#include <cstring>

#include "features/ui_items.h"

namespace nvx::features {

namespace {

struct IconOf {
    const char* feature;
    uint32_t control;
};

constexpr IconOf kIcons[] = {
    // Basic page
    {"Orientation", 3601}, {"PaperSize", 3602}, {"OutPaperSize", 3603}, {"Zoom", 3604}, {"ZoomValue", 3604},
    {"InTray", 3605}, {"MediaType", 3606}, {"Copies", 3607}, {"Collate", 3608}, {"JobOffset", 3609},
    {"OutputMethod", 3610}, {"PaperOption1", 3611}, {"PaperOption2", 3612},
    // Custom size dialog (input and output sizes share the fields)
    {"UserPaper_Width", 3620}, {"UserPaper_Length", 3621}, {"OutUserPaper_Width", 3620},
    {"OutUserPaper_Length", 3621},
    // Layout page
    {"Nup", 3630}, {"Nup_op", 3631}, {"DoubleSides", 3632}, {"BindingEdge_MFP", 3633}, {"Combination", 3634},
    {"Combination_op", 3635}, {"Rotate180", 3636}, {"SaveBlankPaper", 3637}, {"Chapter", 3638},
    {"AdhesiveBind", 3639}, {"BindingShift", 3640}, {"ImageShift", 3641}, {"TABImageShift", 3642},
    {"NupStyle", 3643}, {"BorderLine", 3644}, {"PosterMarginLine", 3645}, {"BookletBorder", 3646},
    {"BookletBinding", 3647}, {"PrintPosition", 3648},
    // Finishing page
    {"Staple", 3660}, {"Staple_op", 3661}, {"HolePunch", 3662}, {"HolePunch_op", 3663}, {"CenterStaple", 3664},
    {"CenterErase", 3665}, {"OutputTray", 3666}, {"OutputOrder", 3667}, {"Folding", 3668}, {"Folding_op", 3669},
    {"Trim", 3670}, {"DivideOutput", 3671}, {"PileMode", 3672}, {"Tandem", 3673}, {"PerfectBinding", 3674},
    {"PaperArrangement", 3675}, {"FrontCover", 3676}, {"FrontCover_op", 3677}, {"FCoverTray", 3678},
    {"BackCover", 3679}, {"BackCover_op", 3680}, {"BCoverTray", 3681}, {"OHP_Interleave", 3682},
    {"OHP_Interleave_op", 3683}, {"OHPIntTray", 3684}, {"CarbonCopy", 3685}, {"PerPageSetting", 3686},
    {"PIFrontCover", 3687}, {"PIBackCover", 3688}, {"CC_CopyTray1", 3689}, {"CC_CopyTray2", 3690},
    {"CC_CopyTray3", 3691}, {"CC_CopyTray4", 3692}, {"CC_CopyTray5", 3693}, {"CC_CopyTrayLCT", 3694},
    {"CC_CopyTrayManual", 3695},
    // Quality page
    {"Resolution", 3700}, {"SelectColor", 3701}, {"ImageCompression", 3702}, {"Dnst_TonerSave", 3703},
    {"Dnst_DraftPrint", 3704}, {"Smoothing", 3705}, {"Thinning", 3706}, {"GlossyMode", 3707},
    {"ColorSeparation", 3708}, {"PrintWithBlack", 3709}, {"TonerSave", 3710},
    // Watermark and overlay page
    {"Watermark", 3720}, {"HeaderFooter", 3721}, {"Numbering", 3722}, {"CopyProtect", 3723}, {"Overlay", 3724},
    {"DateTime", 3725}, {"PageNumber", 3726}, {"Overlay_Switch", 3727}, {"CopyProtect_op", 3728},
    // Other page and account settings
    {"EMFSpool", 3735}, {"UserAuthentication", 3736}, {"AccountTrack", 3737}, {"EmailNotify", 3738},
    {"DisplayConstMsg", 3739}, {"UseServerForm", 3740},
};

}  // namespace

uint32_t BuiltInIconControl(std::string_view feature) {
    for (const IconOf& i : kIcons)
        if (feature == i.feature) return i.control;
    return 0;
}

}  // namespace nvx::features
