// Paper sizes of the Basic tab: the dimensions and margins a paper identifier
// stands for, the user-defined size, the output size and the automatic zoom.
#pragma once

#include <cstdint>

#include "settings/oemdev.h"

namespace nvx::features {

// The paper identifier of the user-defined size, and the output-size identifiers
// that follow the document's paper.
inline constexpr int32_t kUserDefinedPaper = 256;
inline constexpr int32_t kOutPaperFollows1 = 356;
inline constexpr int32_t kOutPaperFollows2 = 357;

// Writes the size and margins of the record's nPaperSize into sizPaper and
// rcMargin: a listed paper from its option record, the user-defined size from the
// custom width and length (in 0.01 inch when the model keeps inch values).  An
// identifier the list lacks changes nothing (answer false).
bool ApplyPaperDimensions(OEMDEV& record);
// The value of the output size list's custom option (keyword "OutUserPaper"), or
// -1 when the list has none.
int32_t OutUserPaperValue();
// Writes the output size's dimensions: a listed output paper from its record,
// 356 and 357 a copy of the document's paper size, the custom output size from its
// own fields (in 0.01 inch when the model keeps inch values).
bool ApplyOutPaperDimensions(OEMDEV& record);
// Whether the model keeps its paper sizes in 0.01 inch (else 0.1 mm).
bool ModelKeepsInchValues();
// The document paper's width and length in the device mode's unit (0.1 mm): the
// user-defined size from its own fields, a listed paper from sizPaper (converted
// from 0.01 inch when `inchValues`), each kept inside 0 ... 32767.
void DevModePaperSize(const OEMDEV& record, bool inchValues, short* width, short* length);
// Brings the custom width and length inside the model's effective custom range.
void ClampUserPaper(OEMDEV& record);
// The same for the output size's custom width and length.
void ClampOutUserPaper(OEMDEV& record);
// The automatic zoom of the record's paper and output size (percent, inside the
// model's zoom range): the smaller of the two ratios, 100 when the output follows
// the paper.
int32_t AutomaticZoom(const OEMDEV& record);
// The model's numeric range of a package entry ("Zoom", "Copies"); false when the
// model has none (min and max are then 1 and 999).
bool ModelRange(const char* entry, int32_t* minimum, int32_t* maximum);
// Whether a value is an option of the named model list.
bool InModelList(const char* list, int32_t value);

}  // namespace nvx::features
