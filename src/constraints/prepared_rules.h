// The prepared rules: the constraint file's rule rows, tied at attach to the UI
// item rows they address, and grouped by kind.
//
// Built once from the loaded constraint file and the UI item table (attach step
// "build the constraint index") and freed at detach.  The engine reads them; it
// never changes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/package_block.h"

namespace nvx::features {
struct UiItemTable;
}

namespace nvx::constraints {

inline constexpr size_t kStackDepth = 80;
inline constexpr uint32_t kKeywordCacheSlots = 32173;

struct PreparedRule {
    const model::ConstraintRow* row = nullptr;  // the file's rule (conditions, tokens, actions)
    uint32_t kind = 0;
    uint32_t fileIndex = 0;         // position in the file
    std::vector<int> conditionRows; // item row of each condition, -1 when the model has none
    int targetRow = -1;             // item row of the target feature (radio: the first option's row)
    int secondRow = -1;             // item row of the second feature, -1 none
    std::vector<uint32_t> conditionSlots;  // keyword cache slot of each condition's option
    uint32_t targetSlot = 0;        // keyword cache slot of the target option
    // The lookup key of each condition's option and of the target option: one
    // small number per distinct (item row, keyword) pair of the set, so that a
    // check finds a lookup it already made by indexing, without hashing.
    std::vector<uint32_t> conditionKeys;
    uint32_t targetKey = 0;
    bool paper = false;             // a condition or the target is on a custom paper size
    bool hasAction[5] = {};         // codes 1028 ... 1032 present

    bool Has(uint32_t code) const { return code >= 1028 && code <= 1032 && hasAction[code - 1028]; }
};

// The compact form the engine evaluates: each rule's conditions and expression
// tokens back to back in two pools, so that a check reads few cache lines per rule.
struct CompiledCondition {
    int32_t row = -1;  // the condition's item row (conditionRows)
    uint32_t key = 0;  // its lookup key (conditionKeys)
    uint32_t op = 0;   // its operator
    uint32_t id = 0;   // one number per distinct (key, operator): conditions with the
                       // same id have the same result while no value changes
};
struct CompiledRule {
    uint32_t firstCondition = 0;  // in PreparedRules::conditions
    uint32_t conditionCount = 0;
    uint32_t firstToken = 0;      // in PreparedRules::tokens
    uint32_t tokenCount = 0;      // the rule's own share of the token pool
    // When the expression is well formed and only ANDs conditions (the common
    // shape): the conditions its result is the AND of, one bit each; the rule then
    // holds when none of them is false.  0: the expression is evaluated token by token.
    uint64_t conjunction = 0;
};

// The conditions a token list's result is the AND of, one bit per condition, when
// the list is well formed and has no other operator; 0 otherwise (also for more
// than 64 conditions).
uint64_t ConjunctionOf(const uint32_t* tokens, uint32_t count, uint32_t conditions);

// A lookup key: the item row and the rule keyword it looks up (in the file's row).
struct LookupKey {
    int32_t row = -1;
    const WCHAR* keyword = nullptr;  // 32 characters, NUL-terminated when shorter
};

struct KindRun {
    std::vector<size_t> rules;  // indexes into PreparedRules::rules, in file order
};

// Item rows the engine's fixed steps address by name (-1 when the model has none).
struct NamedRows {
    int overlaySwitch = -1;  // Overlay_Switch
    int copyProtectOp = -1;  // CopyProtect_op
    int doubleSides = -1;    // DoubleSides
    int nupOp = -1;          // Nup_op
    int nup = -1;            // Nup
    static NamedRows Of(const features::UiItemTable* items);
};

// The keyword cache slot of a keyword of an item row (any function onto the slots).
uint32_t KeywordSlot(const WCHAR* keyword, uint32_t length, int row);

struct PreparedRules {
    NamedRows named;
    std::vector<PreparedRule> rules;  // every grouped rule, in file order
    KindRun change;                   // 1022
    KindRun prohibit;                 // 1023
    KindRun control;                  // 1024
    KindRun perPage;                  // 1025
    size_t ignored = 0;               // rules after a kind outside 1022 ... 1025
    uint32_t keyCount = 0;            // distinct lookup keys of the rules
    std::vector<LookupKey> keys;      // by lookup key: what it looks up
    std::vector<CompiledRule> compiled;          // per rule, as `rules`
    std::vector<CompiledCondition> conditions;   // every rule's conditions
    uint32_t conditionIds = 0;                   // distinct condition ids
    std::vector<uint32_t> tokens;                // every rule's expression tokens
};

// Builds the prepared rules from a loaded constraint file.  A null table or an
// empty file gives an empty set; bindingEdgeSwitch lets the printer binding-edge
// targets match the binding-edge item.  Null only when memory runs out.
PreparedRules* PrepareRules(const model::ConstraintBlock& file, const features::UiItemTable* items,
                            bool bindingEdgeSwitch);
void FreeRules(PreparedRules* rules);

// The module's set (null before attach and after detach).
PreparedRules* ModuleRules();
// Attach and detach steps.
void BuildConstraintIndex();
void FreeConstraintIndex();

}  // namespace nvx::constraints
