// Editing one watermark without a window: the limits of its fields, and the fit
// check that lowers its size until the text fits the printable area at every
// resolution of the model.  The watermark dialog (pages/watermark_dialog.cpp) and
// `novrix watermarks edit` both use these.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"
#include "settings/oemdev.h"
#include "stamps/watermark_store.h"

namespace nvx::stamps {

// ---- Field limits -----------------------------------------------------------

inline constexpr size_t kWatermarkTextMax = 128;   // szWmkStr holds 128 characters and its end
inline constexpr size_t kWatermarkTitleMax = 30;   // 60 in the extended-text mode of the sheet
inline constexpr size_t kWatermarkTitleMaxExtended = 60;
inline constexpr int32_t kWatermarkSizeMin = 1;    // a text of size 0 prints nothing
inline constexpr int32_t kWatermarkSizeMax = 999;  // the size field takes three digits
inline constexpr int32_t kWatermarkAngleMax = 90;  // -90 ... 90 degrees
inline constexpr int32_t kWatermarkPosMax = 100;   // -100 ... 100 percent of half the area

enum class FieldProblem {
    None,
    TitleEmpty,
    TitleTooLong,
    TextTooLong,
    NoSuchFont,
    SizeOutOfRange,
    AngleOutOfRange,
    PositionOutOfRange,
};

// What a person typed into the dialog or gave `novrix`, before it becomes a record.
struct WatermarkFields {
    WString title;
    WString text;
    WString face;
    int32_t style = 1;
    int32_t size = 72;
    uint32_t color = 255;
    int32_t angle = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t frame = 1;
    bool transparent = true;
    bool firstPage = false;
    bool repeat = false;
};

WatermarkFields FieldsOf(const WatermarkRecord& record);
// The fields into a record (key kept; texts cut to their fields after the check).
void PutFields(WatermarkRecord* record, const WatermarkFields& fields);

// The first field a watermark cannot carry, checked in the order of the enum:
// an empty title or one longer than `titleMax`, a text longer than 128
// characters, a face not in `faces` (the fonts the display offers), a size, an
// angle or a position outside its range.  Nothing is clamped: a refused value is
// given back to the person to correct.
FieldProblem CheckFields(const WatermarkFields& fields, size_t titleMax, const std::vector<WString>& faces);
const char* ProblemText(FieldProblem problem);

// The faces the watermark font list offers: the default face first, then the
// fonts of the font data library (the machine's fonts), each once.
std::vector<WString> WatermarkFaces(const std::vector<std::string>& libraryFonts, WStringView defaultFace);

// The new-watermark template of the dialog's Add button: empty key, title and
// text, the default face, style 1, size 72, colour 255, angle 0, position 0,0,
// frame 1, transparent, not first page only, not repeated.
WatermarkRecord NewWatermarkTemplate(WStringView face);

// ---- The dialog's list ---------------------------------------------------------

// One watermark of the dialog's list: its kind and its record.
struct EditItem {
    bool shared = false;
    WatermarkRecord record{};
};
std::vector<EditItem> EditItems(const WatermarkSet& set);
// The position of the first item whose title an earlier item of its kind has
// (two of one title could not be told apart in the order), or -1.
long DuplicateTitle(const std::vector<EditItem>& items);
// The lists rebuilt from the dialog's list: the shared list from the items flagged
// shared, the private list from the others (each cut to its capacity), the order
// from all items in their list order.
WatermarkSet SetFromItems(const std::vector<EditItem>& items);

// ---- Fit check ----------------------------------------------------------------

// The printable area in 0.1 mm: the paper less its margins (landscape turns it).
struct PrintArea {
    int32_t width = 0;
    int32_t height = 0;
};
PrintArea PrintableArea(const OEMDEV& record);

// Measures the watermark's text with a font of `height` pixels (the record's face
// at its regular weight, italic for styles 2 and 4, escapement angle x 10): the
// unrotated extent.  Styles 3 and 4 print outlines: they are measured by the glyph
// outlines' metrics, the box holding the advances (ascent to descent) and every
// glyph's black box.  False when it cannot be measured.
using TextMeasure = std::function<bool(const WatermarkRecord& record, int32_t height, SIZE* extent)>;
// The measure of the display: CreateFontIndirectW and GetTextExtentPoint32W (with
// GetGlyphOutlineW's GGO_METRICS for outlines) on the screen's device context.
bool MeasureWithGdi(const WatermarkRecord& record, int32_t height, SIZE* extent);

// The font height in dots of a size at a resolution: size x dpi / 72.
int32_t FontHeight(int32_t size, int32_t dpi);

// Whether a text of `extent` (dots at `dpi`) fits the area: the text box is the
// extent plus a margin of trunc(0.00167 x settingsDpi x size + 0.5) dots on each
// side, turned by the angle.  Single layout: the box centred at the position
// (percentages of half the area from its centre, y downward) lies inside the area.
// Repeated layout: the box fits the area at all (the copies are laid across it).
bool TextFits(const WatermarkRecord& record, const PrintArea& area, int32_t dpi, int32_t settingsDpi,
              int32_t size, SIZE extent);

// The largest size up to the record's that fits at `dpi`, lowering by one while
// the text does not fit; 0 when not even size 1 fits or the text cannot be measured.
int32_t LargestFittingSize(const WatermarkRecord& record, const PrintArea& area, int32_t dpi, int32_t settingsDpi,
                           const TextMeasure& measure);

// The fit check of the dialog's OK: every resolution of `resolutions` (dots per
// inch, the settings' own among them or added); `lowered` when the size had to be
// lowered for the settings' resolution, with the largest size that fits there.
struct FitResult {
    bool lowered = false;
    int32_t dpi = 0;
    int32_t size = 0;
};
FitResult CheckFit(const WatermarkRecord& record, const PrintArea& area, const std::vector<int32_t>& resolutions,
                   int32_t settingsDpi, const TextMeasure& measure);

// ---- Preview ------------------------------------------------------------------

// Where the dialog's preview draws: the printable area fitted into the preview
// frame (its aspect kept, centred), the font height in preview pixels (the size in
// points on that scale, at least 1), the text's extent at that height, the
// text's centre (the position, as a percentage of half the area from its centre),
// the point where a TA_LEFT | TA_TOP text turned by the angle starts so that its
// middle lies on the centre, and the corners of the box around the text (the
// extent plus the margin of the fit check), turned by the angle.
struct PreviewLayout {
    RECT page{};
    int32_t fontHeight = 0;
    SIZE extent{};
    POINT centre{};
    POINT origin{};
    POINT box[4]{};
};
bool LayoutPreview(const WatermarkRecord& record, const PrintArea& area, const RECT& frame, int32_t settingsDpi,
                   const TextMeasure& measure, PreviewLayout* out);

// The model's print resolutions (horizontal dots per inch, fax resolutions left out, each once).
std::vector<int32_t> ModelPrintResolutions();

}  // namespace nvx::stamps
