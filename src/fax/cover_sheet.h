// The fax cover sheet: its 3746-byte record, the built-in default, the checks a
// stored record passes before it is used, the per-printer store of the current
// cover sheet and the user's named cover sheet sets.  No window code: the cover
// sheet dialog, the fax pages and novrix use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

namespace nvx::fax {

#pragma pack(push, 1)

// Basic data: style, subject, date, page count, comment.
struct CoverBasic {
    uint8_t style;          // 0 to 3
    uint8_t subjectOn;
    WCHAR subject[65];      // at most 64 characters
    uint8_t dateOn;
    uint8_t dateMode;       // 0 a form from the list, 1 typed freely
    uint8_t dateForm;       // 0 to 8
    uint8_t pad0;
    WCHAR typedDate[21];    // at most 20 characters
    uint8_t pagesOn;
    uint8_t pad1;
    uint16_t pageCount;     // 1 to 9999 while pagesOn
    WCHAR comment[641];     // lines separated by CR LF
};

// Recipient: a standard title, or details of the addressee.
struct CoverRecipient {
    uint8_t mode;           // 0 standard, 1 details
    uint8_t pad0;
    WCHAR title[33];        // at most 32 characters
    uint8_t source;         // 0 joint name, 1 changed for each recipient, 2 set information
    uint8_t companyOn;
    WCHAR company[81];
    uint8_t departmentOn;
    uint8_t pad1;
    WCHAR department[81];
    uint8_t nameOn;
    uint8_t pad2;
    WCHAR name[81];
    uint8_t faxOn;
    uint8_t pad3;
    WCHAR fax[81];
};

// One sender item: a switch and its text.
struct CoverSenderItem {
    uint8_t on;
    uint8_t pad;
    WCHAR text[81];         // at most 80 characters
};

// Sender items, in this order.
enum SenderItem : size_t { kSenderCompany, kSenderDepartment, kSenderName, kSenderPhone, kSenderFax, kSenderEmail };
inline constexpr size_t kSenderItems = 6;

struct CoverSender {
    CoverSenderItem items[kSenderItems];
};

// A pasted image.
struct CoverImage {
    uint8_t paste;
    uint8_t pad0;
    WCHAR file[260];        // a bitmap file
    uint8_t zoomOn;
    uint8_t pad1;
    uint16_t zoom;          // percent, 50 to 800 while zoomOn
    int16_t x;              // 1 to 100
    int16_t y;              // 1 to 100
};

// The cover sheet record.
struct CoverSheetRecord {
    WCHAR setName[21];      // the set the record came from; empty when untitled
    uint16_t coverSize;
    CoverBasic basic;
    CoverRecipient recipient;
    CoverSender sender;
    CoverImage image;
};

#pragma pack(pop)

static_assert(sizeof(CoverBasic) == 1464 && sizeof(CoverRecipient) == 724 && sizeof(CoverSender) == 984 &&
              sizeof(CoverImage) == 530 && sizeof(CoverSheetRecord) == 3746, "cover sheet record sizes");
static_assert(offsetof(CoverSheetRecord, coverSize) == 42 && offsetof(CoverSheetRecord, basic) == 44 &&
              offsetof(CoverSheetRecord, recipient) == 1508 && offsetof(CoverSheetRecord, sender) == 2232 &&
              offsetof(CoverSheetRecord, image) == 3216, "cover sheet record parts");
static_assert(offsetof(CoverBasic, subject) == 2 && offsetof(CoverBasic, dateOn) == 132 &&
              offsetof(CoverBasic, dateMode) == 133 && offsetof(CoverBasic, dateForm) == 134 &&
              offsetof(CoverBasic, typedDate) == 136 && offsetof(CoverBasic, pagesOn) == 178 &&
              offsetof(CoverBasic, pageCount) == 180 && offsetof(CoverBasic, comment) == 182, "basic part");
static_assert(offsetof(CoverRecipient, title) == 2 && offsetof(CoverRecipient, source) == 68 &&
              offsetof(CoverRecipient, companyOn) == 69 && offsetof(CoverRecipient, company) == 70 &&
              offsetof(CoverRecipient, departmentOn) == 232 && offsetof(CoverRecipient, department) == 234 &&
              offsetof(CoverRecipient, nameOn) == 396 && offsetof(CoverRecipient, name) == 398 &&
              offsetof(CoverRecipient, faxOn) == 560 && offsetof(CoverRecipient, fax) == 562, "recipient part");
static_assert(sizeof(CoverSenderItem) == 164 && offsetof(CoverSenderItem, text) == 2, "sender item");
static_assert(offsetof(CoverImage, file) == 2 && offsetof(CoverImage, zoomOn) == 522 &&
              offsetof(CoverImage, zoom) == 524 && offsetof(CoverImage, x) == 526 && offsetof(CoverImage, y) == 528,
              "image part");

// Value ranges.
inline constexpr uint8_t kStyleCount = 4;
inline constexpr uint8_t kDateFormCount = 9;
inline constexpr uint8_t kRecipientSourceCount = 3;
inline constexpr uint16_t kMinPageCount = 1, kMaxPageCount = 9999;
inline constexpr uint16_t kMinZoom = 50, kMaxZoom = 800;
inline constexpr int16_t kMinPosition = 1, kMaxPosition = 100;
// Characters of a set name.
inline constexpr size_t kSetNameChars = 20;

// The built-in default record: untitled, cover size 0, style 0, subject on and
// empty, date off, page count off with a count of 1, no comment, standard
// recipient with an empty title, sender items off, no image (zoom 100 %, off;
// position 1, 1).
CoverSheetRecord DefaultCoverSheet();
CoverBasic DefaultBasic();
CoverRecipient DefaultRecipient();
CoverSender DefaultSender();
CoverImage DefaultImage();

// Whether a part read from outside can be used: every text ends within its field
// and every choice is one of its values.  Switches count as on when nonzero.
bool IsSoundBasic(const CoverBasic& part);
bool IsSoundRecipient(const CoverRecipient& part);
bool IsSoundSender(const CoverSender& part);
bool IsSoundImage(const CoverImage& part);

// ---- Stored values ----------------------------------------------------------

// The values of a printer's cover sheet key as they were read, each absent when
// the store holds none.
struct StoredCoverSheet {
    std::optional<std::vector<BYTE>> setName, coverSize, basic, recipient, sender, image;
};

// The record the stored values stand for: the default, and each value that is
// of its size and sound replaces its part (a value of another size, a text
// without its end, a choice out of range count as missing).  The name is read
// from its first 42 bytes and must end within them; the cover size is a 4-byte
// number up to 65535.
CoverSheetRecord CoverSheetFromStored(const StoredCoverSheet& stored);

// A named set: the record without its recipient part.
struct CoverSheetSet {
    WCHAR name[21];
    CoverBasic basic;
    CoverSender sender;
    CoverImage image;
};

// A set from its stored values: the name is stored without its end (at most 20
// characters, no NUL inside), the parts must be of their sizes and sound.
std::optional<CoverSheetSet> SetFromStored(const std::vector<BYTE>& name, const std::vector<BYTE>& basic,
                                           const std::vector<BYTE>& sender, const std::vector<BYTE>& image);

// ---- Sets in memory -----------------------------------------------------------

// Whether the set's basic, sender and image parts equal the record's.
bool SetMatches(const CoverSheetSet& set, const CoverSheetRecord& record);
// The first set that matches the record, or -1.
int MatchingSet(const std::vector<CoverSheetSet>& sets, const CoverSheetRecord& record);
// The set named name (exact comparison), or -1.
int FindSet(const std::vector<CoverSheetSet>& sets, WStringView name);

// How many sets the store keeps (two-digit value names).
inline constexpr size_t kMaxSets = 100;

enum class SaveSetResult { Saved, EmptyName, NameTooLong, NameTaken, Full };
// Appends a set made of name and the record's basic, sender and image parts.
// Nothing changes unless the answer is Saved.
SaveSetResult AppendSet(std::vector<CoverSheetSet>* sets, WStringView name, const CoverSheetRecord& record);
// Puts a set's parts and name into the record; the recipient part stays.
void ApplySet(const CoverSheetSet& set, CoverSheetRecord* record);

// The edit dialog's changes: a new name for a set (the same checks as
// AppendSet, the set's own name allowed), and a set moved to another position.
// Nothing changes unless the answer is Saved / true.
SaveSetResult RenameSet(std::vector<CoverSheetSet>* sets, size_t index, WStringView name);
bool MoveSet(std::vector<CoverSheetSet>* sets, size_t from, size_t to);

// ---- The tabs' checks -----------------------------------------------------------

// The page count as typed: digits only, 1 to 9999.
bool ParsePageCount(WStringView text, uint16_t* count);

// The recipient details the read button takes from the job's first destination.
struct RecipientDetails {
    WString company, department, name, fax;
};
// Whether any of the four detail texts holds text (the user is asked first then).
bool DetailsHoldText(const CoverRecipient& recipient);
// Puts the details into the recipient's four texts, each cut to 80 characters.
void FillDetails(CoverRecipient* recipient, const RecipientDetails& details);
// An empty standard title is refused on leaving the recipient tab and replaced by
// the title of value 0 (`firstTitle`).  Answers false when it was empty.
bool KeepStandardTitle(CoverRecipient* recipient, WStringView firstTitle);

// ---- The store ------------------------------------------------------------------

// Reads the printer's current cover sheet from the per-user key
// "Software\<maker>\<driver>\<printer>\FaxCoverSheet".  With the key present the
// record becomes CoverSheetFromStored of its values; with no key it becomes the
// default (nothing is created).  Answers false, leaving the record as it was,
// when the key cannot be opened for another reason (for example a name that
// makes the path too long).
bool ReadCoverSheet(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer, CoverSheetRecord* record);
// Writes name, cover size and the four parts, stopping at the first failure.
// Answers ERROR_SUCCESS or the first error.
DWORD WriteCoverSheet(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer, const CoverSheetRecord& record);

// Reads the sets in stored order ("OrderNum", missing means none; at most
// kMaxSets).  A set whose values are missing or unsound is left out.  No key:
// no sets.
std::vector<CoverSheetSet> ReadSets(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer);

struct SetsWrite {
    uint32_t written = 0;
    DWORD error = ERROR_SUCCESS;
    bool ok() const { return error == ERROR_SUCCESS; }
};
// Deletes the values of the stored count, writes each set, then "OrderNum".  At
// the first failure the count of sets written so far is stored.
SetsWrite WriteSets(const WCHAR* maker, const WCHAR* driver, const WCHAR* printer,
                    const std::vector<CoverSheetSet>& sets);

// ---- Texts --------------------------------------------------------------------

// A field's text: up to its first NUL, never past its end.
template <size_t N>
WString FieldText(const WCHAR (&field)[N]) {
    return WString(field, WLenBounded(field, N));
}
// Sets a field from text, cut to the field's room and terminated; the rest of
// the field is cleared so that equal texts give equal bytes.
template <size_t N>
void SetField(WCHAR (&field)[N], WStringView text) {
    for (WCHAR& c : field) c = 0;
    WCopy(field, N, text);
}

// The comment's lines, split at CR LF.
std::vector<WString> CommentLines(const CoverBasic& basic);

// ---- The image file -------------------------------------------------------------

enum class ImageCheck { Ok, NoFile, NotImage };
// Whether path names a readable bitmap file ("BM" header, a size that fits the
// file, a known info header, sane width, height and bit depth).  An empty path is
// NoFile.
ImageCheck CheckImageFile(const WCHAR* path);

// The image part's ranges, as checked on leaving the image tab while an image is
// pasted.  Each field out of range is brought to its nearest bound; the answer
// says which fields were out (0 none, else the first: 1 zoom, 2 X, 3 Y).
int ClampImageRanges(CoverImage* image);

}  // namespace nvx::fax
