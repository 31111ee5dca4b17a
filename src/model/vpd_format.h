// On-disk layouts of the model-data packages (.VPD), shared by the reader and vpdc.
//
// All numbers are little-endian; all offsets are unsigned 32-bit byte offsets from
// the start of the file, and offset 0 designates nothing.  The structs below are
// the single statement of each layout: they are byte-packed, never read by
// casting (the reader takes every field with GetLE16/GetLE32 at offsetof), and
// every offset and size is pinned by a static_assert.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nvx::vpd {

#pragma pack(push, 1)

// ---- Directory layout (NOVRIX_D.VPD, NOVRIX__.VPD with 52-byte entries;
//      NOVRIX_M.VPD with 40-byte entries) ----

// File header at offset 0.
struct FileHeader {
    uint32_t tag;           // not interpreted by the readers
    uint32_t directoryEnd;  // entries at or beyond it count as absent; the walk stops there
};

// Directory entry of the 52-byte layout; the first one is at offset 8.
struct Entry52 {
    char name[32];          // ASCII, zero-terminated within the field
    uint32_t firstItem;     // first item record of the entry's chain
    uint32_t reserved[2];   // not interpreted by the readers
    uint32_t flags;         // kFlagReorder is tested by the reorder load
    uint32_t next;          // next directory entry
};

// Information block, immediately after a 52-byte entry.
struct Info52 {
    int32_t count;          // items; 0 or less means none
    uint32_t defaultItem;   // record of the default item
    uint32_t index;         // array of `count` record offsets in display order
};

// Range block, after the information block (at entry + 64).
struct RangeBlock {
    uint8_t skipped[36];    // three 12-byte fields the readers skip
    int32_t minimum;        // +36
    int32_t maximum;        // +40
    int32_t defaultValue;   // +44
};

// Directory entry of the 40-byte layout.
struct Entry40 {
    char name[32];
    uint32_t firstItem;
    uint32_t next;
};

// Information block after a 40-byte entry.
struct Info40 {
    int32_t count;
    uint32_t reserved;      // not interpreted by the readers
};

// Item record.  Some lists use longer records with the same first 16 bytes; in
// lists reached through the item index only, +12 may hold a number instead of a link.
struct Item {
    uint32_t key;           // ASCII zero-terminated string
    uint32_t aux;           // not interpreted by the generic readers
    uint32_t value;         // UTF-16 zero-terminated string (the display text)
    uint32_t next;          // next record of the entry's chain
};

// ---- Block layout (NOVRIX_C.VPD) ----

// 240-byte header: twelve 32-bit fields, the version name and the version text.
struct BlockHeader {
    uint32_t field[12];     // see the kBlock* field numbers below
    char versionName[64];   // "Ver_Cst" when the header carries a customisation version
    char versionText[128];  // ASCII text of the customisation version
};

// One half of a rule's payload: a feature name, an option name and a spare word.
struct RuleBlock {
    uint16_t feature[32];   // UTF-16
    uint16_t option[32];    // UTF-16
    uint32_t unused;        // not read by the engine
};

// Rule record, 292 bytes.
struct RuleRecord {
    uint32_t id;            // rule kind 1022 ... 1025
    uint8_t conditionCount; // this rule's share of the condition records
    uint8_t gap5[7];        // not read
    uint32_t tokenCount;    // this rule's share of the 32-bit values (expression tokens)
    uint8_t gap16[4];       // not read
    RuleBlock first;        // target feature, first option name, spare word
    RuleBlock second;       // second feature, target option keyword, spare word
    uint8_t actionCount;    // this rule's share of the 64-bit values (actions)
    uint8_t gap285[7];      // not read
};

// Condition record, 132 bytes.
struct ConditionRecordDisk {
    uint16_t feature[32];
    uint16_t option[32];
    uint32_t op;
};

// Action record (a 64-bit value), 8 bytes.
struct ActionRecordDisk {
    uint32_t code;
    uint32_t param;
};

#pragma pack(pop)

// ---- Sizes and constants ----

inline constexpr uint32_t kHeaderSize = sizeof(FileHeader);
inline constexpr uint32_t kFirstEntry = 8;
inline constexpr uint32_t kEntry52Size = sizeof(Entry52);
inline constexpr uint32_t kInfo52Size = sizeof(Info52);
inline constexpr uint32_t kInfo52At = kEntry52Size;                 // entry + 52
inline constexpr uint32_t kRangeAt = kEntry52Size + kInfo52Size;    // entry + 64
inline constexpr uint32_t kRangeSize = sizeof(RangeBlock);
inline constexpr uint32_t kEntry40Size = sizeof(Entry40);
inline constexpr uint32_t kInfo40Size = sizeof(Info40);
inline constexpr uint32_t kItemSize = sizeof(Item);
inline constexpr uint32_t kNameField = 32;
inline constexpr uint32_t kFlagReorder = 0x100;
// Longest key or value the readers copy, without the terminator.
inline constexpr uint32_t kMaxString = 290;

inline constexpr uint32_t kBlockHeaderSize = sizeof(BlockHeader);
inline constexpr uint32_t kRuleRecordSize = sizeof(RuleRecord);
inline constexpr uint32_t kConditionSize = sizeof(ConditionRecordDisk);
inline constexpr uint32_t kActionSize = sizeof(ActionRecordDisk);
inline constexpr uint32_t kRuleBlockSize = sizeof(RuleBlock);
inline constexpr uint32_t kTextChars = 32;  // UTF-16 names in rules and conditions

// Header field numbers of the block layout.
enum BlockField : unsigned {
    kRuleCount = 0, kRuleOffset = 1,
    kConditionCount = 3, kConditionOffset = 4,
    kTokenCount = 6, kTokenOffset = 7,
    kActionCount = 9, kActionOffset = 10,
};
inline constexpr const char* kCustomVersionName = "Ver_Cst";

// Rule kinds.
inline constexpr uint32_t kRuleChange = 1022;
inline constexpr uint32_t kRuleProhibit = 1023;
inline constexpr uint32_t kRuleControl = 1024;
inline constexpr uint32_t kRulePerPageChange = 1025;
// Condition operators.
inline constexpr uint32_t kOpEqual = 1005, kOpNotEqual = 1006, kOpNever1 = 1007, kOpNever2 = 1008,
                          kOpLess = 1009, kOpGreater = 1010, kOpLessEqual = 1011, kOpLessEqual2 = 1012,
                          kOpGreaterEqual = 1013, kOpGreaterEqual2 = 1014;
// Expression tokens (numbers below kTokenAnd select a condition).
inline constexpr uint32_t kTokenAnd = 1003, kTokenOr = 1004, kTokenEnd = 1017;
// Action codes.
inline constexpr uint32_t kActDisable = 1028, kActChangeMessage = 1029, kActConstraintMessage = 1030,
                          kActIcon = 1031, kActGate = 1032;

// ---- Pins ----

static_assert(sizeof(FileHeader) == 8 && offsetof(FileHeader, directoryEnd) == 4);
static_assert(sizeof(Entry52) == 52);
static_assert(offsetof(Entry52, name) == 0 && offsetof(Entry52, firstItem) == 32 &&
              offsetof(Entry52, reserved) == 36 && offsetof(Entry52, flags) == 44 &&
              offsetof(Entry52, next) == 48);
static_assert(sizeof(Info52) == 12 && offsetof(Info52, count) == 0 && offsetof(Info52, defaultItem) == 4 &&
              offsetof(Info52, index) == 8);
static_assert(kRangeAt == 64);
static_assert(sizeof(RangeBlock) == 48 && offsetof(RangeBlock, minimum) == 36 &&
              offsetof(RangeBlock, maximum) == 40 && offsetof(RangeBlock, defaultValue) == 44);
static_assert(sizeof(Entry40) == 40 && offsetof(Entry40, firstItem) == 32 && offsetof(Entry40, next) == 36);
static_assert(sizeof(Info40) == 8 && offsetof(Info40, count) == 0);
static_assert(sizeof(Item) == 16 && offsetof(Item, key) == 0 && offsetof(Item, aux) == 4 &&
              offsetof(Item, value) == 8 && offsetof(Item, next) == 12);
static_assert(sizeof(BlockHeader) == 240 && offsetof(BlockHeader, versionName) == 48 &&
              offsetof(BlockHeader, versionText) == 112);
static_assert(sizeof(RuleBlock) == 132 && offsetof(RuleBlock, option) == 64 && offsetof(RuleBlock, unused) == 128);
static_assert(sizeof(RuleRecord) == 292);
static_assert(offsetof(RuleRecord, id) == 0 && offsetof(RuleRecord, conditionCount) == 4 &&
              offsetof(RuleRecord, tokenCount) == 12 && offsetof(RuleRecord, first) == 20 &&
              offsetof(RuleRecord, second) == 152 && offsetof(RuleRecord, actionCount) == 284);
static_assert(offsetof(RuleRecord, first) + offsetof(RuleBlock, option) == 84 &&
              offsetof(RuleRecord, first) + offsetof(RuleBlock, unused) == 148 &&
              offsetof(RuleRecord, second) + offsetof(RuleBlock, option) == 216 &&
              offsetof(RuleRecord, second) + offsetof(RuleBlock, unused) == 280);
static_assert(sizeof(ConditionRecordDisk) == 132 && offsetof(ConditionRecordDisk, option) == 64 &&
              offsetof(ConditionRecordDisk, op) == 128);
static_assert(sizeof(ActionRecordDisk) == 8 && offsetof(ActionRecordDisk, param) == 4);

}  // namespace nvx::vpd
