// Presets ("Easy Set"): the entries a sheet lists, the two stores that keep them
// (shared presets in the printer's data, per-user presets under the user's key),
// the user's display order, and building a sheet's list (docs/presets.md).
//
// A stored preset is the 792-byte header (settings_exchange.h) followed by its
// settings text in UTF-16LE.  The records of one scope lie back to back and are
// split into numbered chunks of 16384 bytes.
//
// No window code here.  Stored values are outside data: the readers take any
// count, size and bytes, never allocate from a count they did not check and never
// read past what they were given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "common/text.h"
#include "model/stores.h"
#include "presets/settings_exchange.h"
#include "settings/oemdev.h"

namespace nvx::presets {

// ---- Entries and lists ------------------------------------------------------------

enum Scope : uint32_t { kSharedScope = 0, kPersonalScope = 1 };

// The preset kind the settings record keeps ("byEasySetKind").
enum PresetKind : uint8_t { kKindDefault = 0, kKindShared = 1, kKindPersonal = 2, kKindNone = 3 };

inline constexpr size_t kMaxListEntries = 50;   // a whole list, the Default entry included
inline constexpr size_t kMaxSharedEntries = 30; // shared presets, the Default entry counted as one
inline constexpr size_t kMaxPersonalEntries = 20;
inline constexpr size_t kMaxNameChars = 31;
inline constexpr size_t kMaxCommentChars = 255;
inline constexpr const WCHAR* kDefaultEntryName = WL("Default");
inline constexpr const WCHAR* kUntitledName = WL("Untitled");

struct EasySetEntry {
    uint32_t isDefault = 0;       // 1 only for the Default entry
    uint32_t scope = kSharedScope;
    EasySetHeader header{};       // dataLength == text.size()
    std::vector<BYTE> text;       // the settings text, UTF-16LE, no mark, no terminator

    WString Name() const;
    WString Comment() const;
    // 0 for the Default entry, 1 shared, 2 per-user.
    PresetKind Kind() const;
};

// A header the list takes: magic "VLES", format version 1.
bool IsValidHeader(const EasySetHeader& header);
// Terminates the header's texts inside their fields (stored bytes may lack it).
void TerminateHeaderTexts(EasySetHeader& header);

struct EasySetList {
    std::vector<EasySetEntry> entries;
    int current = -1;  // selected entry, -1: none (Untitled)
    // The entry selected last: while the settings differ from it the combo shows
    // Untitled, and it is selected again when they equal it again.
    int remembered = -1;

    size_t Count() const { return entries.size(); }
    // Presets of a scope, the Default entry counted with the shared ones.
    size_t CountScope(uint32_t scope) const;
    // The first entry of that name and scope (names compare exactly), or -1.
    int Find(WStringView name, uint32_t scope) const;
    // Adds at the tail; false for an entry whose header is not valid.
    bool Add(EasySetEntry entry);
    const EasySetEntry* Current() const {
        return current >= 0 && static_cast<size_t>(current) < entries.size() ? &entries[current] : nullptr;
    }
};

// ---- Where stores are read and written ------------------------------------------------

// One named value place: a registry key or a printer's data.  Tests and the fuzz
// targets put values in memory behind it (and refuse writes on purpose).
class PresetValues {
public:
    virtual ~PresetValues() = default;
    // As ValueStore::Query: on success *size is the value's size; ERROR_MORE_DATA
    // with the size needed.
    virtual DWORD Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const = 0;
    virtual DWORD Write(const WCHAR* name, DWORD type, const void* data, DWORD size) = 0;
    virtual DWORD Remove(const WCHAR* name) = 0;
};

// Over a registry key or printer data.
class StoreValues final : public PresetValues {
public:
    explicit StoreValues(const model::ValueStore& store) : store_(store) {}
    DWORD Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const override {
        return store_.Query(name, type, data, capacity, size);
    }
    DWORD Write(const WCHAR* name, DWORD type, const void* data, DWORD size) override {
        return store_.Write(name, type, data, size);
    }
    DWORD Remove(const WCHAR* name) override { return store_.Remove(name); }

private:
    model::ValueStore store_;
};

// Values in memory: the tests' and fuzz targets' store.  With failFrom set, every
// write and removal from that one on (counted from 1) is refused with
// ERROR_WRITE_FAULT (a process that stops there); with failOnly, just that one.
class MemoryValues final : public PresetValues {
public:
    struct Value {
        DWORD type = REG_BINARY;
        std::vector<BYTE> bytes;
    };
    std::map<WString, Value> values;
    uint32_t changes = 0;   // writes and removals tried
    uint32_t failFrom = 0;  // 0: none refused
    bool failOnly = false;

    DWORD Query(const WCHAR* name, DWORD* type, void* data, DWORD capacity, DWORD* size) const override;
    DWORD Write(const WCHAR* name, DWORD type, const void* data, DWORD size) override;
    DWORD Remove(const WCHAR* name) override;

private:
    bool Refuse();
};

// ---- The chunked preset stores -----------------------------------------------------------

inline constexpr DWORD kPresetChunkBytes = 16384;
inline constexpr const WCHAR* kPresetCountValue = WL("EasySetDataCnt");
inline const model::NumberedNames kPresetChunkNames{WL("EasySetData%04d"), 1};
// A write in progress: the new store is written here first and counted last, so
// that a write that stops anywhere leaves either the old or the new store readable.
inline constexpr const WCHAR* kPendingCountValue = WL("EasySetNextCnt");
inline const model::NumberedNames kPendingChunkNames{WL("EasySetNext%04d"), 1};
// The most chunks a reader takes (64 MB): a count above it reads that many at most.
inline constexpr uint32_t kMaxPresetChunks = 4096;

// The stored bytes of a scope: the pending store when its count and every chunk
// it counts read, else the chunks "EasySetDataCnt" counts, up to the first that is
// missing or larger than a chunk.  False when neither count reads (an empty store).
bool ReadPresetBytes(const PresetValues& values, std::vector<BYTE>* bytes);
// Walks stored bytes into entries of the scope: each record is a header with a
// valid magic and version whose data fits in what is left; the walk ends at the
// first that is not (it and everything behind it dropped).  Entries go to *out's tail.
void ParsePresetRecords(const BYTE* data, size_t size, uint32_t scope, std::vector<EasySetEntry>* out);
// The records of the list's entries of a scope (not the Default entry), back to back.
std::vector<BYTE> PresetRecordBytes(const EasySetList& list, uint32_t scope);

// Writes a scope's bytes so that a write that stops at any step leaves a store that
// reads as the old bytes or the new ones:
//   1. a pending store left by an earlier write that stopped is finished (or, when
//      it is incomplete, its count removed);
//   2. the new chunks "EasySetNext0001"...; then "EasySetNextCnt" (from here on the
//      store reads as the new bytes);
//   3. the chunks "EasySetData0001"...; then "EasySetDataCnt";
//   4. "EasySetNextCnt" removed; then the stale "EasySetData" chunks behind the new
//      count and the pending chunks.
// ERROR_SUCCESS when the store reads as the new bytes (also when a later tidying
// step failed); else the first failure, the store reading as the old bytes.
DWORD WritePresetBytes(PresetValues& values, const std::vector<BYTE>& bytes);

// A scope's entries from a store (appended to *out); false for an empty store.
bool ReadPresetStore(const PresetValues& values, uint32_t scope, std::vector<EasySetEntry>* out);
DWORD WritePresetStore(PresetValues& values, const EasySetList& list, uint32_t scope);

// ---- The display order -----------------------------------------------------------------

inline constexpr const WCHAR* kOrderCountValue = WL("EasySetOrderCnt");
inline const model::NumberedNames kOrderNames{WL("EasySetOrder%02d"), 1};
// The most order values looked at (two-digit names).
inline constexpr uint32_t kMaxOrderValues = 99;

struct OrderEntry {
    WString name;   // at most 31 characters
    uint32_t scope; // 0 shared, 1 per-user
};

// "EasySetOrderCnt" values "EasySetOrder01"...: each "%d," and the name; the number
// before the first comma is the scope (any non-zero number is 1); values that do
// not read or hold no comma are skipped.  At most kMaxListEntries entries.
std::vector<OrderEntry> ReadPresetOrder(const PresetValues& values);
// The order of the list (every entry, the Default entry included), then the stale
// values removed, then the count.
DWORD WritePresetOrder(PresetValues& values, const EasySetList& list);
// Reorders the list: each order entry takes the first remaining entry of its name
// and scope; the entries not taken follow in their order.  The selection follows
// its entry.
void ApplyOrder(EasySetList& list, const std::vector<OrderEntry>& order);

// ---- Making entries ---------------------------------------------------------------------

// What entries are made with: the header's facts, the exchange rules and the
// watermark lists the settings text carries.
struct PresetEnvironment {
    WString driverName;       // the header's model (at most 36 characters)
    WString language;         // LanguageCode of the model
    ContentOptions options{}; // the process-wide content options
    RecordExchangeRules rules;
    WatermarkLists lists;     // the sheet's lists, or the built-in watermarks
    bool monochrome = false;  // the monochrome rule applies to applied presets
};

// The header of a new entry (texts cut to their fields).
EasySetHeader MakeHeader(const PresetEnvironment& env, WStringView name, WStringView comment, uint16_t builtIn,
                         uint16_t iconEnabled, uint16_t iconNumber);
// An entry from a settings record: the header above and the whole settings text.
bool MakeEntry(const PresetEnvironment& env, const OEMDEV& record, const EasySetHeader& header, uint32_t scope,
               EasySetEntry* out);
// An entry from a settings text (an imported file or "DefaultEasySet"): the header
// is written into the text's header sections.
bool EntryFromText(SettingsDoc doc, const EasySetHeader& header, uint32_t scope, EasySetEntry* out);
// The entry's settings text.
SettingsDoc EntryDocument(const EasySetEntry& entry);
// Renames / re-comments an entry and renders its text with the new header.
bool RewriteEntryHeader(EasySetEntry& entry, const EasySetHeader& header);

// ---- Applying -------------------------------------------------------------------------------

// What applying takes from the sheet.
struct ApplyContext {
    const PresetEnvironment* env = nullptr;
    const OEMDEV* startSettings = nullptr;  // the settings the sheet started with (Default entry)
    bool canAdminister = false;             // shared watermarks follow IncludeSharedWatermarks
    WatermarkLists* lists = nullptr;        // the sheet's lists, replaced per the content options
};

// Applies an entry to a record: the settings text's record section with the entry's
// content options, the monochrome rule, the preset selection (kind and name), the
// Default entry's output method and authentication choices from the start settings,
// the paper dimensions and, without IncludePaper and with automatic zoom, the zoom.
// False when a key did not apply (the others did).
bool ApplyEntry(const EasySetEntry& entry, OEMDEV& record, const ApplyContext& ctx);

// The record's preset selection.
PresetKind RecordPresetKind(const OEMDEV& record);
WString RecordPresetName(const OEMDEV& record);
void SetRecordPreset(OEMDEV& record, PresetKind kind, WStringView name);

// The entry the record's selection names, kept only when applying it to a copy of
// the record leaves the record as it is; else -1.
int FindMatchingEntry(const EasySetList& list, const OEMDEV& record, const ApplyContext& ctx);
// Selects an entry (-1: none) and remembers it.
void Select(EasySetList& list, int index);
// The list's selection after the settings changed: the selected (or else the
// remembered) entry while applying it would change nothing, or none; the record's
// kind and name follow (3 and empty for none).
void FollowSettings(EasySetList& list, OEMDEV& record, const ApplyContext& ctx);

// ---- Building a sheet's list ---------------------------------------------------------------

struct ListSources {
    const PresetValues* shared = nullptr;    // the printer's data (may be null)
    const PresetValues* personal = nullptr;  // the user's key (may be null: no key)
    const std::vector<BYTE>* defaultText = nullptr;  // "DefaultEasySet", when the printer holds it
    const OEMDEV* defaults = nullptr;        // the printer's default settings record
};

// The six steps: the Default entry ("DefaultEasySet" with a new header, else made from
// the defaults), the shared presets, the per-user presets, the stored order, and the
// selection from the record.  False (an empty list) when no Default entry can be made.
bool BuildList(const ListSources& sources, const OEMDEV& record, const ApplyContext& ctx, EasySetList* out);

// The room rule of the save button: an administering user while the list has fewer
// than 50 entries, others while there are fewer than 20 per-user presets.
bool HasRoomToSave(const EasySetList& list, bool canAdminister);

// ---- The edit dialog's rules ----

// What the name checks of the save and edit dialogs answer.
enum class NameCheck { Ok, Empty, Duplicate };

// The edit dialog works on a copy of the list; OK hands the copy back.
struct EditSession {
    EasySetList list;
    bool canAdminister = false;

    // An entry's fields can be changed: not built in; a per-user entry always, a
    // shared one by an administering user.
    bool CanEdit(int index) const;
    // An entry can be deleted: not the Default entry; per-user, or shared for an
    // administering user.
    bool CanDelete(int index) const;
    // How many presets can still be added: (30 - shared, for an administering user)
    // + (20 - per-user).
    int Remaining() const;
    // Moves an entry one place (not past either end); the new index, or -1.
    int Move(int index, bool up);
    // Deletes an entry; the index to select then (the entry now at that place, or the
    // last one; -1 for an empty list).
    int Delete(int index);
    // Commits the fields of an entry: Empty or Duplicate (another entry of the target
    // scope has the name) change nothing; otherwise name, comment and scope (when the
    // move is allowed: shared needs an administering user and fewer than 30 shared,
    // per-user fewer than 20) are written and the text rendered with the new header.
    NameCheck Commit(int index, WStringView name, WStringView comment, uint32_t scope);
};

// ---- The save dialog's rules ---------------------------------------------------------------

// The shared box of the save dialog: an administering user finds it ticked; it is
// ticked and disabled when there are 20 per-user presets, cleared and disabled when
// there are 30 shared ones (the Default entry counted); others find it cleared and
// disabled.
struct SharedBox {
    bool checked;
    bool enabled;
};
SharedBox SaveSharedBox(const EasySetList& list, bool canAdminister);

// A new preset's name in a scope: empty, or the name of an entry of that scope (the
// Default entry's among the shared ones).
NameCheck CheckNewName(const EasySetList& list, WStringView name, uint32_t scope);

}  // namespace nvx::presets
