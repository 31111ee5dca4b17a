// Watermarks: the 449-byte watermark record, the built-in watermarks, and the
// three stores that keep the user's lists outside any document:
//
//   shared    the printer's data: "WMInfoCnt" (count) and "WaterMark1" ... (449 bytes each)
//   private   the per-user key:   "WMInfoCnt" and "WaterMark1" ...
//   order     the per-user key's "WMOrder" subkey: "WMOrder00", "WMOrder01" ... (100 bytes each, no count)
//
// The chosen watermark is copied into the settings record (the "WmkInfo." fields
// and the list position "wWmkListPos"), so that a document carries it.
//
// No window code here; the tab that edits watermarks, the settings text and the
// novrix tool build on these functions.  Stored lists are outside data: every
// reader takes any sizes, counts and bytes and never reads past what it was given.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "common/text.h"
#include "model/stores.h"
#include "platform/win32.h"

struct OEMDEV;

namespace nvx::stamps {

static_assert(std::endian::native == std::endian::little, "watermark records are stored as they lie in memory");

// ---- Records ------------------------------------------------------------------

#pragma pack(push, 1)
// One watermark, packed little-endian, the same bytes in the printer data, the
// registry, the sheet and the settings record (offset 2906).
struct WatermarkRecord {
    char szKey[32];          // identifier ("WM_001" ... for the built-ins, empty for a user's own)
    WCHAR szWmkTitle[32];    // the name a list shows
    WCHAR szWmkStr[129];     // the text printed
    WCHAR szFontName[32];    // font face
    int16_t nStyle;          // font style
    uint16_t wSize;          // text size
    uint32_t crColor;        // 0x00BBGGRR
    int16_t nAngle;          // degrees
    int32_t ptWmkPosX;
    int32_t ptWmkPosY;
    int32_t ptStrPosX;
    int32_t ptStrPosY;
    uint16_t wFrame;         // frame (box) kind
    uint8_t bBkGrnd;         // behind the page contents
    uint8_t bFstPg;          // first page only
    uint8_t bMultiStamp;     // repeated across the page
};

// One entry of the user's display order.
struct WatermarkOrderRecord {
    char szKey[32];       // the watermark's szKey
    uint32_t bPublic;     // 1 shared, 0 private
    WCHAR szName[32];     // the watermark's title
};
#pragma pack(pop)

inline constexpr size_t kWatermarkRecordBytes = 449;
inline constexpr size_t kOrderRecordBytes = 100;
static_assert(sizeof(WatermarkRecord) == kWatermarkRecordBytes && alignof(WatermarkRecord) == 1);
static_assert(offsetof(WatermarkRecord, szWmkTitle) == 32 && offsetof(WatermarkRecord, szWmkStr) == 96 &&
              offsetof(WatermarkRecord, szFontName) == 354 && offsetof(WatermarkRecord, nStyle) == 418 &&
              offsetof(WatermarkRecord, wSize) == 420 && offsetof(WatermarkRecord, crColor) == 422 &&
              offsetof(WatermarkRecord, nAngle) == 426 && offsetof(WatermarkRecord, ptWmkPosX) == 428 &&
              offsetof(WatermarkRecord, ptWmkPosY) == 432 && offsetof(WatermarkRecord, ptStrPosX) == 436 &&
              offsetof(WatermarkRecord, ptStrPosY) == 440 && offsetof(WatermarkRecord, wFrame) == 444 &&
              offsetof(WatermarkRecord, bBkGrnd) == 446 && offsetof(WatermarkRecord, bFstPg) == 447 &&
              offsetof(WatermarkRecord, bMultiStamp) == 448);
static_assert(sizeof(WatermarkOrderRecord) == kOrderRecordBytes && offsetof(WatermarkOrderRecord, bPublic) == 32 &&
              offsetof(WatermarkOrderRecord, szName) == 36);

// How many records a sheet keeps of each list.
inline constexpr size_t kMaxSharedWatermarks = 30;
inline constexpr size_t kMaxPrivateWatermarks = 20;
inline constexpr size_t kMaxOrderEntries = 50;

// A text field of a packed record, copied out: a record inside a list or a page work
// area may lie at an odd address, where no WCHAR pointer or reference into it may be
// read.  `field` is the field (`r.szWmkTitle`), `bytes` its size (`sizeof r.szWmkTitle`).
inline WString FieldText(const void* field, size_t bytes) {
    WString out(bytes / sizeof(WCHAR), 0);
    std::memcpy(out.data(), field, out.size() * sizeof(WCHAR));
    out.resize(WLenBounded(out.data(), out.size()));
    return out;
}
// Writes text (cut to the field, terminated, the rest cleared) into such a field.
void PutFieldText(void* field, size_t bytes, WStringView text);


// Stored bytes into a record: exactly kWatermarkRecordBytes, and every text
// (key, title, text, face) terminated inside its field.  *out is written only on success.
bool DecodeWatermark(const BYTE* data, size_t size, WatermarkRecord* out);
// The record's stored bytes (the record itself: the layout is the stored one).
std::span<const BYTE, kWatermarkRecordBytes> EncodeWatermark(const WatermarkRecord& record);
// The same for an order entry: exactly 100 bytes, key and name terminated.
bool DecodeOrderRecord(const BYTE* data, size_t size, WatermarkOrderRecord* out);
std::span<const BYTE, kOrderRecordBytes> EncodeOrderRecord(const WatermarkOrderRecord& record);

// Writes the texts of a record: title and text cut to their fields, key to 31 bytes
// (the key is ASCII; a longer key is cut).
void SetWatermarkTexts(WatermarkRecord* record, const char* key, WStringView title, WStringView text,
                       WStringView face);

// ---- Built-in watermarks and fonts --------------------------------------------

// The default face of watermarks: the model's latin font name ("Arial").
WString DefaultWatermarkFace();

// The six built-in watermarks, in their order, with the given face.
std::vector<WatermarkRecord> BuiltinWatermarks(WStringView face);

// Whether a face can be realised on the display.
using FaceCheck = bool (*)(const WCHAR* face);
// The display's answer: a font made with the face and selected into the screen's
// device context reports the same face (ASCII case ignored).  An empty face is not.
bool DisplayHasFace(const WCHAR* face);
// Puts the default face into a record whose face fails the check; answers
// whether it changed the record.
bool CheckWatermarkFont(WatermarkRecord* record, FaceCheck check, WStringView defaultFace);

// ---- Display order ------------------------------------------------------------

WatermarkOrderRecord MakeOrderRecord(const WatermarkRecord& record, bool shared);
// Keys equal when both are set; titles equal when both keys are empty; else no match.
bool OrderMatches(const WatermarkOrderRecord& order, const WatermarkRecord& record);

// A sheet's watermarks: both lists and the display order.
struct WatermarkSet {
    std::vector<WatermarkRecord> shared;    // at most kMaxSharedWatermarks
    std::vector<WatermarkRecord> personal;  // at most kMaxPrivateWatermarks
    std::vector<WatermarkOrderRecord> order;  // at most kMaxOrderEntries
};

// The order a sheet shows: the stored order entries whose watermark exists (in
// their order, each read until the lists are covered), then every shared
// watermark no entry names, then every private one; at most kMaxOrderEntries.
std::vector<WatermarkOrderRecord> CompleteOrder(std::span<const WatermarkOrderRecord> stored,
                                                std::span<const WatermarkRecord> shared,
                                                std::span<const WatermarkRecord> personal);

// A watermark as the display order lists it.
struct ListedWatermark {
    bool shared;
    uint32_t index;  // in its list
    const WatermarkRecord* record;
};
// The watermarks in display order.  Each entry names the first watermark of its
// kind that it matches and that no earlier entry named (else the first it matches),
// so that two watermarks of one title are both listed.  Entries that name none are
// left out.
std::vector<ListedWatermark> DisplayList(const WatermarkSet& set);

// ---- Editing a set (what the tab and novrix do) ---------------------------------

enum class EditResult { Done, Full, EmptyTitle, DuplicateTitle, NoSuchEntry };

// Adds a user's watermark (key emptied) at the end of its list and of the order.
// Full when the list or the order has no room; DuplicateTitle when its list holds
// the title already (titles name user watermarks in the order).
EditResult AddWatermark(WatermarkSet* set, const WatermarkRecord& record, bool shared);
// Removes the watermark at a display position, with its order entry.
EditResult RemoveWatermark(WatermarkSet* set, size_t position);
// Moves the watermark at display position `from` to `to` (the others close up).
EditResult MoveWatermark(WatermarkSet* set, size_t from, size_t to);

// ---- Stored lists ---------------------------------------------------------------

inline constexpr const WCHAR* kWatermarkCountValue = WL("WMInfoCnt");
inline constexpr const WCHAR* kOrderSubkey = WL("WMOrder");
inline const model::NumberedNames kWatermarkNames{WL("WaterMark%d"), 1};
inline const model::NumberedNames kOrderNames{WL("WMOrder%02d"), 0};
// The most order values looked at, so that a store full of stale entries cannot
// keep a reader going.
inline constexpr uint32_t kOrderScanLimit = 1000;
// A stored count above this is damaged: its list is read as empty.
inline constexpr uint32_t kCountLimit = 10000;

// Where a list is read from: one query as ValueStore::Query answers it.  The
// stores implement it over a registry key or printer data; tests and the fuzz
// target over bytes in memory.
class ValueSource {
public:
    virtual ~ValueSource() = default;
    virtual DWORD Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const = 0;
};
class StoreSource final : public ValueSource {
public:
    explicit StoreSource(const model::ValueStore& store) : store_(store) {}
    DWORD Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const override {
        return store_.Query(name, type, data, capacity, size);
    }

private:
    model::ValueStore store_;
};

// A shared or private list: "WMInfoCnt" (no count: empty), then each of the
// counted values, which must all be readable records (449 bytes, texts
// terminated); one that is not empties the whole list, as does a count above
// kCountLimit.  The first `capacity` records are kept, each with its face checked
// (check may be null: faces are kept).  Answers false for a list that was damaged
// (and is empty); an absent count is an empty list, not damage.
bool ReadWatermarkList(const ValueSource& source, size_t capacity, FaceCheck check, WStringView defaultFace,
                       std::vector<WatermarkRecord>* out);
// The stored order values "WMOrder00" ... until one is missing or unreadable, as
// many as both lists need (entries naming no watermark are passed over), made
// whole by CompleteOrder.
std::vector<WatermarkOrderRecord> ReadWatermarkOrder(const ValueSource& source,
                                                     std::span<const WatermarkRecord> shared,
                                                     std::span<const WatermarkRecord> personal);

// Writes a list: the records from "WaterMark1" on (stopping at the first failure),
// then the count, then removes what a longer old list left.  A failed write keeps
// the old count, so the store still reads as a whole list.
model::ListWrite WriteWatermarkList(const model::ValueStore& store, std::span<const WatermarkRecord> records);
// Writes the order from "WMOrder00" on and removes the entries behind it.
model::ListWrite WriteWatermarkOrder(const model::ValueStore& store, std::span<const WatermarkOrderRecord> order);

// ---- A printer's lists ------------------------------------------------------------

// Reads the shared list (printer data through `printer`), the private list and
// the order (the printer's per-user key).  Missing stores give empty lists.
WatermarkSet LoadWatermarks(HANDLE printer, FaceCheck check = DisplayHasFace);
// Saves the private list and the order under the user's key (created when
// missing).  Answers the first failure, or ERROR_SUCCESS.
DWORD SavePrivateWatermarks(HANDLE printer, const WatermarkSet& set);
// Saves the shared list through a handle of the named printer opened with
// administer access; ERROR_ACCESS_DENIED when the user may not administer it.
DWORD SaveSharedWatermarks(const WCHAR* printerName, std::span<const WatermarkRecord> shared);
// The level-1 name of an open printer (empty when it cannot be read).
WString PrinterNameOf(HANDLE printer);

// Registers the built-in watermarks as the printer's shared list unless its
// "WMInfoCnt" already counts at least as many (then nothing changes).  The records
// go first and the count last, so that a failed write never leaves a count over
// missing records.  Answers ERROR_SUCCESS or the first failure.
DWORD RegisterDefaultWatermarks(HANDLE printer);

// ---- The settings record -----------------------------------------------------------

// Offset of the watermark record inside the settings record.
inline constexpr size_t kRecordWatermarkOffset = 2906;

// The record's chosen watermark ("WmkInfo." fields) and list position.
WatermarkRecord RecordWatermark(const OEMDEV& record);
// Chooses the watermark at a display position: "wWmkListPos" and the "WmkInfo."
// fields.  False (nothing changed) for a position past the list.
bool ChooseWatermark(OEMDEV& record, const WatermarkSet& set, size_t position);
// After the lists changed: the position follows the record's watermark (found by
// its key, else by its kind-free title); when it is gone, or the position lies past
// the list, position 0 is chosen (its watermark copied when the list has one).
// Answers whether the record changed.
bool FollowChosenWatermark(OEMDEV& record, const WatermarkSet& set);

// The list positions after a preset was applied, a settings file imported or the
// lists changed, given how many overlay forms and watermarks are listed: with no
// forms the overlay is switched off ("bOverlay" 0, "nFormListPos" -1, an overlay
// operation "nOverlay_Switch_op" of 2 made 0); a form position outside the forms
// becomes 0; a watermark position "wWmkListPos" not below the watermark count
// becomes 0.  Answers true only when the watermark position was changed.
bool FixListPositions(OEMDEV& record, size_t formCount, size_t sharedCount, size_t privateCount);

}  // namespace nvx::stamps
