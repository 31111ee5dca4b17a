// The engine's internals shared by its files: one check's working state, the
// keyword cache and the value lookups.  Not part of the engine's interface.
#pragma once

#include <climits>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

#include "constraints/engine.h"
#include "constraints/prepared_rules.h"
#include "features/custom_paper.h"
#include "features/ui_items.h"
#include "model/messages.h"

namespace nvx::constraints::detail {

// The outcome of evaluating one rule.
enum class Truth { Skipped, False, True };

// A keyword looked up in an item's list.
struct Lookup {
    uint32_t index = features::kIndexNotFound;  // list position or a special index
    int32_t value = features::kValueNone;       // the option's value, kValueNone for none
    bool usable() const {
        return index != features::kIndexNotFound && index != static_cast<uint32_t>(features::kValueNoList);
    }
    bool hasValue() const { return value != features::kValueNone; }
};

// Evaluation switches.
struct EvalMode {
    bool requireChanged = false;  // the changed control must be among the conditions
    bool dropLast = false;        // the last condition is left out (counts as holding)
    bool rangeSizes = false;      // custom width/length conditions use values clamped to the range
};

// A set of option records with a generation stamp per slot: emptied by one
// increment, no allocation once it has grown to the largest rule set checked.
class RecordSet {
public:
    // Empties the set and makes room for `expected` records.
    void Reset(size_t expected);
    // Adds the record; false when it was already there.
    bool Insert(const uint8_t* rec);

private:
    std::vector<const uint8_t*> records_;
    std::vector<uint32_t> stamps_;
    uint32_t generation_ = 0;
};

// A prepared lookup key's entry: what the lookup found and the option record it
// names, each counting only in the check whose generation it carries.
struct KeyEntry {
    uint32_t generation = 0;
    uint32_t recordGeneration = 0;
    uint32_t decidedGeneration = 0;  // a prohibition of this check decided the record
    Lookup lookup;
    uint8_t* record = nullptr;
};

// The working arrays of one check.  A check borrows the module's workspace, so
// that their memory is allocated once, not at every call; a check started while
// another is running (a message box's loop could start one) gets its own.
struct Workspace {
    std::vector<int8_t> settled;
    std::vector<int64_t> current;
    std::vector<uint8_t> changedFeature;
    std::vector<uint32_t> pageControls;
    std::vector<uint8_t> lockedByChange;
    std::vector<uint8_t> listedChange;
    std::vector<uint8_t> listedCst;
    std::vector<int8_t> disabled;
    std::vector<uint8_t> holds;
    std::vector<int8_t> controlled;
    std::vector<int> rows;
    RecordSet seen;
    std::vector<KeyEntry> keys;  // by prepared lookup key
    uint32_t generation = 0;     // of this check; entries of other generations do not count
    // Condition results by condition id, each valid while its stamp is the epoch:
    // the epoch changes at every check and at every value a check writes.
    std::vector<uint32_t> conditionStamps;
    std::vector<int8_t> conditionResults;  // -1 unresolvable, 0 false, 1 true
    uint32_t epoch = 0;
    WString changeText;
    WString prohibitText;
    bool busy = false;
};

class Check {
public:
    Check(CheckContext& ctx, const EngineTables& t, Workspace& w);
    uint32_t Run();

    // ---- lookups (lookup.cpp) ----
    Lookup LookupKeyword(int row, const WCHAR (&keyword)[32]);
    // The same with the keyword's cache slot known (prepared rules carry it).
    Lookup LookupKeyword(int row, const WCHAR (&keyword)[32], uint32_t slot);
    // A prepared key's lookup and option record, resolved once per check (key
    // below keyLimit_).
    const KeyEntry& Key(uint32_t key) {
        KeyEntry& e = keys_[key];
        if (e.generation != generation_) ResolveKey(key, e);
        return e;
    }
    void ResolveKey(uint32_t key, KeyEntry& e);
    // The target's lookup by the prepared key, once per check.
    Lookup TargetLookup(const PreparedRule& r) {
        if (r.targetKey < keyLimit_) return Key(r.targetKey).lookup;
        return ResolveTarget(r);
    }
    // The target option's record (OptionRecord of the target lookup), once per check.
    uint8_t* TargetRecord(const PreparedRule& r) {
        if (r.targetKey < keyLimit_) return Key(r.targetKey).record;
        return ResolveTargetRecord(r);
    }
    // Condition c's lookup, made and kept for the check (conditions read the kept one).
    Lookup ResolveCondition(const PreparedRule& r, size_t c);
    Lookup ResolveTarget(const PreparedRule& r);
    uint8_t* ResolveTargetRecord(const PreparedRule& r);
    // Prepares the key entries for a rule set of `keys` lookup keys; false without memory.
    bool ResetKeys(uint32_t keys);
    // The item's value in the record (read once per check until a write), none
    // for an unbound item.
    std::optional<int32_t> Current(int row) const {
        if (row >= 0 && static_cast<size_t>(row) < current_.size()) {
            const int64_t cached = current_[static_cast<size_t>(row)];
            if (cached > kUnbound) return static_cast<int32_t>(cached);
        }
        return CurrentSlow(row);
    }
    std::optional<int32_t> CurrentSlow(int row) const;
    std::optional<int32_t> ReadCurrent(int row) const;
    bool Write(int row, int32_t value);
    int32_t Normalise(const features::UiItem& item, int32_t value) const {
        return perTrayMedia_ && item.control == 1003 ? NormaliseTrayMedia(value) : value;
    }
    int32_t NormaliseTrayMedia(int32_t value) const;
    uint8_t* OptionRecord(int row, const Lookup& l);
    // ---- evaluation (evaluate.cpp) ----
    Truth Evaluate(const PreparedRule& r, EvalMode mode);
    Truth EvaluatePlain(const PreparedRule& r, EvalMode mode);
    Truth EvaluateCompiled(const PreparedRule& r, EvalMode mode, const CompiledCondition* conditions, size_t n,
                           const uint32_t* tokens, uint32_t tokenCount, uint64_t conjunction);
    // Condition c of the rule: -1 when it cannot be resolved, else whether it holds.
    int8_t Condition(const PreparedRule& r, size_t c, const CompiledCondition& cond, bool rangeSizes);
    // The rule's compact form (null for a rule that is not of the set being checked).
    const CompiledRule* Compiled(const PreparedRule& r) const;
    // Rule k's plain result once the record no longer changes (after the changes
    // are applied), computed once per check.
    Truth Settled(size_t k);
    Truth Settle(size_t k);  // Settled's evaluation
    // Evaluate(rule k, {false, dropLast, false}), for the common shape without its layers.
    Truth EvaluateRule(size_t k, bool dropLast);
    // Whether one of the rule's conditions is on the changed item's feature.
    bool MentionsChanged(const PreparedRule& r) const;
    // ---- controls (controls.cpp) ----
    bool OnDialog(int row) const;
    HWND Control(uint32_t id) const;
    void ShowValue(int row, int32_t value);
    // The item rows a rule's enable state applies to (radio features: every row of
    // the feature, or the row of the rule's first option).
    void EnableRows(const PreparedRule& r, std::vector<int>& rows) const;
    // Sets the row's disabled flag and enables or disables its main and related
    // controls (a switched-off control is never enabled); answers whether the
    // changed control is among them.
    bool EnableItem(int row, bool disabled);
    void FocusBack();
    void ApplyEnable(const PreparedRule& r, bool disabled);
    int ShowMessage(model::MessageTable table, const WString& text, UINT flags);
    // ---- written-in checks (context_checks.cpp) ----
    bool ContextChecks(bool withMessages);
    void SecurityChecks();
    void ExtraApplyPasses();

    features::UiItem* Item(int row) const {
        return t_.items && row >= 0 && static_cast<size_t>(row) < t_.items->count ? &t_.items->rows[static_cast<size_t>(row)]
                                                                                 : nullptr;
    }
    const WCHAR* Slot(model::MessageTable table, unsigned n) const;
    void Append(WString& text, model::MessageTable table, unsigned slot, bool& headed);
    void SetMark(int row, uint8_t* rec, bool on);
    bool SameFeature(int a, int b) const;

    CheckContext& ctx_;
    const EngineTables& t_;
    int changedRow_ = -1;
    NamedRows named_;
    // Whether the row is one of the changed item's feature (false for no row).
    bool OnChangedFeature(int row) const {
        return row >= 0 && static_cast<size_t>(row) < changedFeature_.size() && changedFeature_[static_cast<size_t>(row)];
    }

    Workspace& w_;
    std::vector<KeyEntry>& keys_;
    uint32_t& generation_;
    uint32_t keyLimit_ = 0;  // the checked set's lookup keys (keys_ may be longer, from a larger set)
    uint32_t idLimit_ = 0;   // its condition ids
    // Starts a new epoch: every kept condition result is stale.
    void NewEpoch();
    bool perTrayMedia_ = false;  // the model keeps media per tray (control 1003's values stand for trays)
    std::vector<int8_t>& settled_;  // per rule: -1 not yet, else a Truth
    static constexpr int64_t kNotRead = INT64_MIN;
    static constexpr int64_t kUnbound = INT64_MIN + 1;
    std::vector<int64_t>& current_;  // per item row: its value, kNotRead or kUnbound
    std::vector<uint8_t>& changedFeature_;  // per item row: a row of the changed item's feature
    std::vector<uint32_t>& pageControls_;   // sorted control ids of the items the page lists
    std::vector<uint8_t>& lockedByChange_;  // per item row: a change rule's 1028 disabled it in this pass
    int deviceOptionRow_ = -1;             // the item of the device option the check is for
    int firstDeviceOptionRow_ = -1;        // the first device option's item (its slot 0), -1 none
    features::SizeRange range_{};
    WString& changeText_;
    bool changeHeaded_ = false;
    WString& prohibitText_;
    bool prohibitHeaded_ = false;
    std::vector<uint8_t>& listedChange_;   // change messages listed in this call (by slot)
    std::vector<uint8_t>& listedCst_;
};

// The module-wide set of options (their records) marked forbidden since the last
// whole-sheet check.
std::unordered_set<const uint8_t*>& PassMarks();
// Per-option tooltip texts of the last check.
void ClearOptionTips();
void AddOptionTip(uint32_t control, int32_t value, const WString& text);
// The keyword cache's per-call reset.
void ResetKeywordCache();
IconRedrawFn IconRedraw();
// The record a check without a dialog works on (SetCheckRecord).
BYTE*& HostRecord();
bool IsSecurityControl(uint16_t control);

}  // namespace nvx::constraints::detail
