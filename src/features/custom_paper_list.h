// The custom paper list: the named paper sizes a user keeps for a printer, kept
// in the sheet's page work area while a sheet is open, stored in the printer's
// data ("CustomPaperData") and registered with the spooler as forms.  No window
// code: the custom paper list dialog (115) and the tests use it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "features/custom_paper.h"
#include "platform/win32.h"

namespace nvx::features {

// One entry.  Sizes in micrometres (the spooler's unit).  Binary layout (stored as
// it is in the printer's data and in the page work area; little-endian, 96 bytes):
//   0 name (32 UTF-16 units, terminated), 64 width, 68 length, 72 imageable area
//   (left, top, right, bottom), 88 paper identifier, 92 unit (0 mm, 1 inch).
struct CustomPaperEntry {
    WCHAR name[32];
    int32_t width;
    int32_t length;
    int32_t area[4];
    int32_t paper;
    int32_t unit;
};
static_assert(sizeof(CustomPaperEntry) == 96 && offsetof(CustomPaperEntry, width) == 64 &&
              offsetof(CustomPaperEntry, area) == 72 && offsetof(CustomPaperEntry, paper) == 88 &&
              offsetof(CustomPaperEntry, unit) == 92);

inline constexpr uint32_t kCustomPaperMaxEntries = 10;
inline constexpr size_t kCustomPaperNameChars = 31;

// The list: a count, then room for ten entries (964 bytes).
struct CustomPaperList {
    uint32_t count;
    CustomPaperEntry entries[kCustomPaperMaxEntries];
};
static_assert(sizeof(CustomPaperList) == 964 && offsetof(CustomPaperList, entries) == 4);

// The printer data value that holds the list.
inline constexpr const WCHAR* kCustomPaperValue = WL("CustomPaperData");

// The most entries a list may hold: 10, and 9 in the multifunction quality
// variants (_PRP_QUALTY_MFP_C, _PRP_QUALTY_MFP_M).
uint32_t CustomPaperCapacity();

// A list read from stored bytes: exactly the list's size, a count within the
// capacity, and every entry's name terminated and non-empty and its size positive;
// false (and *out empty) otherwise.
bool DecodeCustomPaperList(const BYTE* data, size_t size, uint32_t capacity, CustomPaperList* out);

// The entry of a name (compared without case), or -1.
int FindCustomPaper(const CustomPaperList& list, WStringView name);

// Why an entry cannot go into a list.
enum class EntryProblem { None, Name, Width, Length, Full };

// Checks a name and a size (0.1 mm) against the effective custom range: a name of
// 1 ... 31 characters, each dimension inside its range.
EntryProblem CheckEntry(WStringView name, int32_t widthTenths, int32_t lengthTenths,
                        const SizeRange& range);

// Puts an entry into the list: the entry of the same name is replaced, otherwise
// the entry is added at the end when the list has room under `capacity`
// (EntryProblem::Full when it has not).  The imageable area is the whole sheet.
EntryProblem PutCustomPaper(CustomPaperList* list, uint32_t capacity, WStringView name, int32_t widthMicrons,
                            int32_t lengthMicrons, int32_t unit);
// Removes entry `index` (the later ones move up); false for an index past the count.
bool RemoveCustomPaper(CustomPaperList* list, uint32_t index);

// Parses a size field's text in the given unit (a decimal number with at most
// three decimals) into micrometres; false for anything else.
bool ParseSizeMicrons(WStringView text, SizeUnit unit, int32_t* microns);
// The text a size field shows for a size in micrometres: whole mm, tenths of mm,
// hundredths or thousandths of an inch, each to the nearest.
WString SizeMicronsText(int32_t microns, SizeUnit unit, bool fine);

// Reads the printer's stored list (an absent or malformed value: an empty list).
CustomPaperList LoadCustomPaperList(HANDLE printer);

// What a save did, for the caller and the tests.
struct CustomPaperSave {
    bool stored = false;      // the list went into the printer's data
    uint32_t formsDeleted = 0;
    uint32_t formsAdded = 0;
};

// Stores the list with the printer's settings and, unless `noForms`, replaces the
// spooler forms of the previously registered list with one user form per entry:
// first every old name that the spooler knows (GetFormW succeeds or answers
// ERROR_INSUFFICIENT_BUFFER) is deleted, then each entry is added.  A form that
// cannot be deleted or added is skipped.  When the list cannot be stored, the forms
// stay as they are.  The printer data is written through the sheet's handle, or,
// when that one may not write it, through a handle opened for administration.
// `feedType`/`maxFeedLength` (0.1 mm): with feed type 3, a form longer than the
// maximum feed length has that length as its imageable bottom.
CustomPaperSave SaveCustomPaperList(HANDLE printer, const CustomPaperList& previous, const CustomPaperList& list,
                                    bool noForms, int32_t feedType, int32_t maxFeedLength);

// The spooler form of an entry (level 1: user form, its name, size and area).
FORM_INFO_1W CustomPaperForm(const CustomPaperEntry& entry, int32_t feedType, int32_t maxFeedLength);

}  // namespace nvx::features
