// vpdc's in-memory form of a package: what the readable source says and what a
// dump recovers.  Layout-free: offsets are computed by the writer and discarded
// by the reader; everything else is kept so that a package vpdc wrote is
// rewritten byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vpdc {

// A problem in a source or package, with the place it was found.
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using Bytes = std::vector<uint8_t>;

// ---- Directory layouts ----

struct Item {
    std::optional<std::string> key;       // ASCII bytes; absent: key offset 0
    std::optional<std::u16string> value;  // UTF-16 code units; absent: value offset 0
    uint32_t aux = 0;                     // +4
    uint32_t size = 16;                   // record size, a multiple of 4, 16 ... 4096
    Bytes extra;                          // bytes 16 .. size - 1 (shorter: zero-filled)
    bool chain = true;                    // linked in the entry's chain
    uint32_t number = 0;                  // +12 of a record outside the chain
};

struct Range {
    int32_t minimum = 0;        // +36
    int32_t maximum = 0;        // +40
    int32_t defaultValue = 0;   // +44
    std::array<uint8_t, 36> skipped{};
};

struct Entry {
    std::string name;                     // up to 32 bytes (32 only when unterminated)
    uint32_t flags = 0;                   // 52-byte layout
    std::array<uint32_t, 2> reserved{};   // 52-byte layout, +36 and +40
    std::optional<int32_t> count;         // information block count when not the chain length
    uint32_t infoReserved = 0;            // 40-byte layout, information block +4
    std::vector<Item> items;              // in record order
    std::optional<std::vector<size_t>> chainOrder;  // chain by item position; else items with chain set
    std::optional<std::vector<std::optional<size_t>>> display;  // item index; null slot: offset 0
    bool index = true;                    // write an item index (52-byte layout)
    std::optional<size_t> defaultItem;    // position in items
    std::optional<Range> range;           // 52-byte layout
};

struct DirectoryPackage {
    uint32_t entrySize = 52;              // 52 or 40
    uint32_t tag = 0;                     // header +0
    std::optional<uint32_t> directoryEnd; // when not the end of the written directory
    std::vector<Entry> entries;
};

// ---- Block layout ----

using Text32 = std::array<uint16_t, 32>;  // UTF-16 field, zero-padded

struct RuleHalf {
    Text32 feature{};
    Text32 option{};
    uint32_t unused = 0;
};

struct Condition {
    Text32 feature{};
    Text32 option{};
    uint32_t op = 0;
};

struct Action {
    uint32_t code = 0;
    uint32_t param = 0;
};

// Where the 18 bytes of a rule record that no reader interprets lie.
struct GapSpan {
    size_t at, len;
};
inline constexpr GapSpan kRuleGaps[] = {{5, 7}, {16, 4}, {285, 7}};

struct Rule {
    uint32_t kind = 0;
    RuleHalf first;   // target feature, first option name
    RuleHalf second;  // second feature, target option keyword
    std::vector<Condition> conditions;
    std::vector<uint32_t> tokens;
    std::vector<Action> actions;
    // Counts written into the record when they differ from the lists (malformed files).
    std::optional<uint32_t> conditionCount, tokenCount, actionCount;
    std::array<uint8_t, 18> gaps{};  // record bytes 5..11, 16..19, 285..291
};

struct BlockPackage {
    std::array<uint32_t, 4> spareFields{};    // header fields 2, 5, 8, 11
    std::array<uint8_t, 64> versionName{};
    std::array<uint8_t, 128> versionText{};
    std::vector<Rule> rules;
    std::vector<Condition> spareConditions;   // pool elements no rule claims
    std::vector<uint32_t> spareTokens;
    std::vector<Action> spareActions;
    // Header counts when they differ from what is written (malformed files).
    std::optional<uint32_t> ruleCount, conditionCount, tokenCount, actionCount;
};

// ---- Writer and reader ----

// Lays a package out in vpdc's canonical layout (docs/model-data-format.md).
Bytes WriteDirectory(const DirectoryPackage& pkg);
Bytes WriteBlock(const BlockPackage& pkg);

enum class Layout { Auto, Directory52, Directory40, Block };

// Recovers the readable form of any package.  Auto guesses the layout from the
// content.  Throws Error for a file that fits no layout.
Layout DetectLayout(const Bytes& file);
DirectoryPackage ReadDirectory(const Bytes& file, uint32_t entrySize);
BlockPackage ReadBlock(const Bytes& file);

}  // namespace vpdc
