// The block layout load: the constraint file's rules, conditions, expression
// tokens and actions as in-memory arrays with real pointers.
//
// Every rule row points at its own share of the three pools; the shares follow
// one another in rule order.  A malformed file is trimmed to what it really holds:
// each array keeps only the elements that lie wholly inside the file, and the
// rules stop before the first rule whose share runs past a pool (or whose record
// is cut short).  The in-memory header's four counts are rewritten to what was
// kept, so a reader of the header never sees more than the arrays hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/text.h"
#include "model/vpd_format.h"

namespace nvx::model {

class Package;

// Condition record as the engine reads it.
struct ConditionRecord {
    WCHAR feature[32];
    WCHAR option[32];  // for a numeric feature, the number in decimal
    uint32_t op;       // vpd::kOp*
};
static_assert(sizeof(ConditionRecord) == 132);

// Action record (the constraint file's 64-bit value).
struct ActionRecord {
    uint32_t code;   // vpd::kAct*
    uint32_t param;
};
static_assert(sizeof(ActionRecord) == 8);

// One half of a rule's payload, kept verbatim.
struct RuleBlock {
    WCHAR feature[32];  // first block: target feature; second: the feature checked against fixed settings
    WCHAR option[32];   // first block: first option name; second: target option keyword
    uint32_t unused;
};
static_assert(sizeof(RuleBlock) == 132);

// The in-memory rule row (312 bytes on 64-bit targets).
struct ConstraintRow {
    uint32_t id;                  // rule kind
    uint8_t conditionCount;
    ConditionRecord* conditions;  // first condition of this rule
    uint32_t tokenCount;
    uint32_t* tokens;             // first expression token of this rule
    RuleBlock first;
    RuleBlock second;
    uint8_t actionCount;
    ActionRecord* actions;        // first action of this rule
};
static_assert(sizeof(void*) != 8 || sizeof(ConstraintRow) == 312, "the rule row is 312 bytes");
static_assert(sizeof(void*) != 8 || (offsetof(ConstraintRow, conditions) == 8 &&
                                     offsetof(ConstraintRow, tokenCount) == 16 &&
                                     offsetof(ConstraintRow, tokens) == 24 && offsetof(ConstraintRow, first) == 32 &&
                                     offsetof(ConstraintRow, second) == 164 &&
                                     offsetof(ConstraintRow, actionCount) == 296 &&
                                     offsetof(ConstraintRow, actions) == 304));

// The 240-byte header as loaded (fields in host order).
struct ConstraintHeader {
    uint32_t field[12];
    char versionName[64];
    char versionText[128];
};
static_assert(sizeof(ConstraintHeader) == 240 && offsetof(ConstraintHeader, versionName) == 48 &&
              offsetof(ConstraintHeader, versionText) == 112);

class ConstraintBlock {
public:
    ConstraintBlock() = default;

    // Reads the constraint file at path.  Answers true when the file's contents
    // were loaded (possibly trimmed), false when the fallback was taken: no file,
    // a file shorter than the header, or an allocation failure; the fallback has a
    // zeroed header and one zeroed element in each array, row 0 pointing at the
    // other three (or all four null when even that cannot be allocated).
    bool Load(const WCHAR* path);
    // The same over an open package (image or file mode); the package stays open.
    bool Load(const Package& pkg);

    const ConstraintHeader& Header() const { return header_; }
    uint32_t RuleCount() const { return header_.field[vpd::kRuleCount]; }
    uint32_t ConditionCount() const { return header_.field[vpd::kConditionCount]; }
    uint32_t TokenCount() const { return header_.field[vpd::kTokenCount]; }
    uint32_t ActionCount() const { return header_.field[vpd::kActionCount]; }
    ConstraintRow* Rules() const { return rules_.get(); }
    ConditionRecord* Conditions() const { return conditions_.get(); }
    uint32_t* Tokens() const { return tokens_.get(); }
    ActionRecord* Actions() const { return actions_.get(); }

    // The customisation version: the header's text when its name field reads
    // "Ver_Cst" (as names compare: whole string, ASCII case ignored); else empty
    // and false.
    bool CustomVersion(char* dst, size_t size) const;

    // Frees the arrays and zeroes the header.
    void Clear();

private:
    bool Fallback();

    ConstraintHeader header_{};
    std::unique_ptr<ConstraintRow[]> rules_;
    std::unique_ptr<ConditionRecord[]> conditions_;
    std::unique_ptr<uint32_t[]> tokens_;
    std::unique_ptr<ActionRecord[]> actions_;
};

}  // namespace nvx::model
