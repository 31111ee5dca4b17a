// The custom page's file: the settings a person placed on their own tab, in two
// columns, kept with the profile-file functions; and the section a setup file
// carries for the custom tab ("MyTab_Management").  No window code here.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.h"

namespace nvx::presets {

// Keys are numbered with two digits: a column holds at most 99 settings.
inline constexpr size_t kCustomTabColumnMax = 99;

// The arrangement: control numbers (the control that shows the setting on its
// own tab) of the left and of the right column, top to bottom.
struct CustomTabArrangement {
    bool exists = false;  // "Is_MyTab_Arrangement"
    std::vector<uint32_t> left, right;
    bool operator==(const CustomTabArrangement& o) const {
        return exists == o.exists && left == o.left && right == o.right;
    }
};

// The custom page's file of a printer for the calling user: "MyTab_<printer>.ini"
// in the folder %APPDATA% names (the system's folder for profile files when it is
// not set); characters a file name cannot hold become "_".
WString CustomTabFilePath(WStringView printerName);

// Reads the section "MyTab_Arrangement".  A missing file or section reads as no
// arrangement; a key that is not a control number (1 ... 65535) is left out, and a
// column ends at its first missing key.
CustomTabArrangement ReadCustomTabArrangement(const WString& path);
// Replaces the section "MyTab_Arrangement" with the arrangement.  False when the
// file cannot be written.
bool WriteCustomTabArrangement(const WString& path, const CustomTabArrangement& arrangement);

// The management values a setup file carries beside the arrangement (the device
// options "MT_MngOpen", "MT_MngShare", "MT_MngEdit", "MT_MngGuide").
inline constexpr const char* kCustomTabManagementKeys[4] = {"MT_MngOpen", "MT_MngShare", "MT_MngEdit",
                                                            "MT_MngGuide"};
struct CustomTabManagement {
    int32_t values[4] = {};
    bool present[4] = {};           // read back: the key was in the file
    bool hasArrangementFlag = false;  // read back: "Is_MyTab_Arrangement" was in the file
    bool hasColumns = false;          // read back: a column key was in the file
    CustomTabArrangement arrangement;
};

// Appends the section "MyTab_Management" to a setup file: "Type" = 2, the four
// values, "Is_MyTab_Arrangement" and the columns as "MyTab_Left%.2d" and
// "MyTab_Right%.2d" (each from 01).  False when the file cannot be written.
bool AppendCustomTabManagement(const WString& path, const CustomTabManagement& management);
// Reads the section back; only keys present are marked present.
CustomTabManagement ReadCustomTabManagement(const WString& path);

// What an import makes of the file's section: the arrangement it names on top of
// the current one (the flag and the columns each only when present).
CustomTabArrangement MergeArrangement(const CustomTabArrangement& current, const CustomTabManagement& read);

}  // namespace nvx::presets

namespace nvx::presets {

// The model enables custom-tab management when its package names settings for
// the custom page ("Prop_MyTab1").
bool CustomTabManaged();

// Export: appends "MyTab_Management" to the saved setup file, with the four values
// from the device-option record's rows of those keys (0 where the model has no
// such row) and the printer's arrangement for the calling user.  True when the
// model does not manage the custom tab (nothing to add).
bool AppendCustomTabSetup(const WString& setupFile, WStringView printerName, const BYTE* devOption);

// Import, before anything is stored: the values the section holds go into the
// device-option record's rows of their keys (a row the model lacks takes none);
// the arrangement to keep afterwards is answered in *arrangement, and the answer
// tells whether the file names one (flag or columns).
bool ApplyCustomTabSetup(const WString& setupFile, WStringView printerName, BYTE* devOption,
                         CustomTabArrangement* arrangement);

}  // namespace nvx::presets
