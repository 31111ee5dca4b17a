// Default settings: what a sheet's record holds when it opens without a valid
// record, and when a page restores defaults.
//
//  1. The printer's data value "DefaultOEMDEV", when it is exactly one record
//     (8344 bytes with a valid header).
//  2. Otherwise the template, adjusted to the user's locale paper, then the
//     monochrome rule.
//  3. A printer whose factory presets were installed with a designated first preset
//     ("EasySetFirstOEMDev", exactly one record): that record instead of step 2's.
#pragma once

#include <cstdint>
#include <vector>

#include "settings/oemdev.h"
#include "settings/paper_defaults.h"

namespace nvx::settings {

// What the defaults need to know about the model; the feature catalogue hands it
// over at attach (SetModelFacts).
struct ModelFacts {
    std::vector<PaperRow> papers;        // the model's paper table, in table order
    bool hasPackageDefaultPaper = false; // the "PaperSize" entry names a default item
    int32_t packageDefaultPaper = 0;     // its paper identifier
    bool inchValues = false;             // the model record asks for 0.01-inch sizes
    uint32_t colourField = 0;            // the model record's colour field
};

// The process-wide facts: set at attach, cleared at detach (empty facts until then).
void SetModelFacts(ModelFacts facts);
const ModelFacts& CurrentModelFacts();
void ClearModelFacts();

enum class DefaultsSource { None, PrinterData, Template };

// Fills record with the printer's default settings (steps above).  The template is
// adjusted to the locale paper in place, as the later copies expect.  None for a
// null record.
DefaultsSource MakeDefaultSettings(OEMDEV* record, HANDLE printer, const ModelFacts& facts, OEMDEV& tmpl);
// The same with the process-wide facts and template: the sheet context's entry.
// False for a null record.
bool FillDefaultSettings(BYTE* record, HANDLE printer);

// Copies the printer's "DefaultOEMDEV" into out when the query answers exactly 8344
// bytes that start with a valid header; otherwise out is unchanged and the answer false.
bool ReadStoredDefaults(HANDLE printer, OEMDEV& out);

// True when the printer's driver name (level-2 information) ends in "Mono", compared
// exactly and case-sensitively; false when the printer cannot be asked.
bool DriverNameEndsInMono(HANDLE printer);
// The monochrome rule.  With the quality switch "_PRP_QUALTY_MFP_C" off: a "Mono"
// driver.  With it on: unless the driver is not "Mono" and the model has colour.
bool MonochromeApplies(bool driverIsMono, bool qualityColourSwitch, uint32_t colourField);
// Writes the monochrome values: colour mode, copy-protect and date/page colours,
// header/footer text colour 1; device overlay colours 2.
void ApplyMonochrome(OEMDEV& record);

}  // namespace nvx::settings
