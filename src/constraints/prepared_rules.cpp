// Preparing the constraint file's rules against the UI item table.
#include "constraints/prepared_rules.h"

#include <new>
#include <unordered_map>

#include "features/model_record.h"
#include "features/ui_items.h"
#include "model/loaded_model.h"

namespace nvx::constraints {

namespace {

using features::FindUiItem;
using features::UiItemTable;

WStringView Name(const WCHAR (&field)[32]) { return WStringView(field, WLenBounded(field, 32)); }

bool Is(WStringView a, const char* b) {
    size_t i = 0;
    for (; b[i]; ++i)
        if (i >= a.size() || a[i] != static_cast<WCHAR>(b[i])) return false;
    return i == a.size();
}

// FindUiItem's answers from two hash maps built once for a preparation, instead
// of a walk over the table for each name a rule holds.
class RowIndex {
public:
    explicit RowIndex(const UiItemTable* items) {
        if (!items) return;
        for (size_t i = 0; i < items->count; ++i) {
            const features::UiItem& item = items->rows[i];
            const WString feature(Name(item.feature));
            if (feature.empty()) continue;
            byFeature_.emplace(feature, static_cast<int>(i));  // the first row stays
            byPair_.emplace(Pair(feature, Name(item.option)), static_cast<int>(i));
        }
    }
    // As FindUiItem(items, feature, option).
    int Find(WStringView feature, WStringView option = {}) const {
        if (feature.empty()) return -1;
        if (option.empty()) {
            const auto it = byFeature_.find(WString(feature));
            return it == byFeature_.end() ? -1 : it->second;
        }
        const auto it = byPair_.find(Pair(feature, option));
        return it == byPair_.end() ? -1 : it->second;
    }

private:
    static WString Pair(WStringView feature, WStringView option) {
        WString k(feature);
        k.push_back(WCHAR{0});  // names hold no NUL: the pair is unambiguous
        k.append(option);
        return k;
    }
    std::unordered_map<WString, int> byFeature_;
    std::unordered_map<WString, int> byPair_;
};

// The row of a condition's feature: the radio row of its option when the feature
// has one, else the feature's first row.
int ConditionRow(const RowIndex& items, const model::ConditionRecord& c) {
    const WStringView option = Name(c.option);
    if (!option.empty()) {
        const int radio = items.Find(Name(c.feature), option);
        if (radio >= 0) return radio;
    }
    return items.Find(Name(c.feature));
}

int TargetRow(const UiItemTable* table, const RowIndex& items, const model::ConstraintRow& r, bool bindingEdgeSwitch) {
    const WStringView feature = Name(r.first.feature);
    if (feature.empty()) return -1;
    int row = items.Find(feature);
    if (row < 0 && bindingEdgeSwitch &&
        (Is(feature, "BindingEdge_PRN_Portrait") || Is(feature, "BindingEdge_PRN_Landscape") ||
         Is(feature, "BindingEdge_PS")))
        row = items.Find(WL("BindingEdge_MFP"));
    const features::UiItem* item = table ? table->Row(row) : nullptr;
    if (item && item->type == features::kUiRadio && !Name(r.first.option).empty()) {
        const int radio = items.Find(feature, Name(r.first.option));
        if (radio >= 0) row = radio;
    }
    return row;
}

bool PaperCondition(const model::ConditionRecord& c) {
    const WStringView f = Name(c.feature), o = Name(c.option);
    return (Is(f, "PaperSize") && Is(o, "UserPaper")) || (Is(f, "OutPaperSize") && Is(o, "OutUserPaper")) ||
           Is(f, "UserPaper_Width") || Is(f, "UserPaper_Length") || Is(f, "OutUserPaper_Width") ||
           Is(f, "OutUserPaper_Length");
}

bool PaperTarget(const model::ConstraintRow& r) {
    if (!Is(Name(r.first.feature), "PaperSize")) return false;
    const WStringView option = r.id == vpd::kRuleProhibit ? Name(r.second.option) : Name(r.first.option);
    return Is(option, "UserPaper");
}

KindRun* RunOf(PreparedRules& p, uint32_t kind) {
    switch (kind) {
    case vpd::kRuleChange: return &p.change;
    case vpd::kRuleProhibit: return &p.prohibit;
    case vpd::kRuleControl: return &p.control;
    case vpd::kRulePerPageChange: return &p.perPage;
    }
    return nullptr;
}

}  // namespace

uint32_t KeywordSlot(const WCHAR* k, uint32_t length, int row) {
    uint32_t h = 2166136261u ^ static_cast<uint32_t>(row);
    for (uint32_t i = 0; i < length; ++i) h = (h ^ k[i]) * 16777619u;
    return h % kKeywordCacheSlots;
}

uint64_t ConjunctionOf(const uint32_t* tokens, uint32_t count, uint32_t conditions) {
    if (!tokens || conditions > 64) return 0;
    // The expression's stack, each entry as the conditions it is the AND of.
    uint64_t stack[kStackDepth];
    size_t depth = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t token = tokens[i];
        if (token == vpd::kTokenEnd) break;
        if (token < vpd::kTokenAnd) {
            if (token >= conditions || depth == kStackDepth) return 0;
            stack[depth++] = uint64_t{1} << token;
        } else if (token == vpd::kTokenAnd) {
            if (depth < 2) return 0;
            --depth;
            stack[depth - 1] |= stack[depth];
        } else {
            return 0;  // OR, or a token the evaluation refuses
        }
    }
    return depth > 0 ? stack[depth - 1] : 0;
}

NamedRows NamedRows::Of(const UiItemTable* items) {
    NamedRows n;
    n.overlaySwitch = FindUiItem(items, "Overlay_Switch");
    n.copyProtectOp = FindUiItem(items, "CopyProtect_op");
    n.doubleSides = FindUiItem(items, "DoubleSides");
    n.nupOp = FindUiItem(items, "Nup_op");
    n.nup = FindUiItem(items, "Nup");
    return n;
}

PreparedRules* PrepareRules(const model::ConstraintBlock& file, const UiItemTable* items, bool bindingEdgeSwitch) {
    PreparedRules* p = new (std::nothrow) PreparedRules;
    if (!p) return nullptr;
    try {
        // (row, keyword) -> lookup key; the key text is the row's four bytes, then the keyword.
        const RowIndex index(items);
        std::unordered_map<WString, uint32_t> keys;
        std::unordered_map<uint64_t, uint32_t> conditionIds;  // (key, operator) -> condition id
        auto keyOf = [&](int row, const WCHAR (&keyword)[32]) {
            WString k(2, WCHAR{0});
            k[0] = static_cast<WCHAR>(static_cast<uint32_t>(row) & 0xFFFF);
            k[1] = static_cast<WCHAR>(static_cast<uint32_t>(row) >> 16);
            k.append(keyword, WLenBounded(keyword, 32));
            const auto added = keys.emplace(std::move(k), static_cast<uint32_t>(keys.size()));
            if (added.second) p->keys.push_back({row, keyword});
            return added.first->second;
        };
        p->named = NamedRows::Of(items);
        const uint32_t count = file.Rules() ? file.RuleCount() : 0;
        p->rules.reserve(count);
        p->compiled.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            const model::ConstraintRow& row = file.Rules()[i];
            KindRun* run = RunOf(*p, row.id);
            if (!run) {
                p->ignored = count - i;  // an unknown kind ends the grouping
                break;
            }
            PreparedRule r;
            r.row = &row;
            r.kind = row.id;
            r.fileIndex = i;
            const uint32_t conditions = row.conditions ? row.conditionCount : 0;
            r.conditionRows.resize(conditions, -1);
            for (uint32_t c = 0; c < conditions; ++c) {
                r.conditionRows[c] = ConditionRow(index, row.conditions[c]);
                r.paper = r.paper || PaperCondition(row.conditions[c]);
            }
            r.paper = r.paper || PaperTarget(row);
            r.targetRow = TargetRow(items, index, row, bindingEdgeSwitch);
            r.conditionSlots.resize(conditions);
            for (uint32_t c = 0; c < conditions; ++c) {
                const WCHAR* k = row.conditions[c].option;
                r.conditionSlots[c] = KeywordSlot(k, static_cast<uint32_t>(WLenBounded(k, 32)), r.conditionRows[c]);
            }
            r.targetSlot = KeywordSlot(row.second.option, static_cast<uint32_t>(WLenBounded(row.second.option, 32)),
                                       r.targetRow);
            r.conditionKeys.resize(conditions);
            for (uint32_t c = 0; c < conditions; ++c) r.conditionKeys[c] = keyOf(r.conditionRows[c], row.conditions[c].option);
            r.targetKey = keyOf(r.targetRow, row.second.option);
            r.secondRow = Name(row.second.feature).empty() ? -1 : index.Find(Name(row.second.feature));
            const uint32_t actions = row.actions ? row.actionCount : 0;
            for (uint32_t a = 0; a < actions; ++a) {
                const uint32_t code = row.actions[a].code;
                if (code >= 1028 && code <= 1032) r.hasAction[code - 1028] = true;
            }
            CompiledRule compiled;
            compiled.firstCondition = static_cast<uint32_t>(p->conditions.size());
            compiled.conditionCount = conditions;
            for (uint32_t c = 0; c < conditions; ++c) {
                const uint64_t idKey = uint64_t{r.conditionKeys[c]} << 32 | row.conditions[c].op;
                const uint32_t id = conditionIds.emplace(idKey, static_cast<uint32_t>(conditionIds.size())).first->second;
                p->conditions.push_back({r.conditionRows[c], r.conditionKeys[c], row.conditions[c].op, id});
            }
            compiled.firstToken = static_cast<uint32_t>(p->tokens.size());
            compiled.tokenCount = row.tokens ? row.tokenCount : 0;
            p->tokens.insert(p->tokens.end(), row.tokens, row.tokens + compiled.tokenCount);
            compiled.conjunction = ConjunctionOf(row.tokens, compiled.tokenCount, conditions);
            run->rules.push_back(p->rules.size());
            p->rules.push_back(std::move(r));
            p->compiled.push_back(compiled);
        }
        p->keyCount = static_cast<uint32_t>(keys.size());
        p->conditionIds = static_cast<uint32_t>(conditionIds.size());
    } catch (const std::bad_alloc&) {
        delete p;
        return nullptr;
    }
    return p;
}

void FreeRules(PreparedRules* rules) { delete rules; }

namespace {
PreparedRules* g_moduleRules = nullptr;
}

PreparedRules* ModuleRules() { return g_moduleRules; }

void BuildConstraintIndex() {
    FreeRules(g_moduleRules);
    const model::LoadedModel& loaded = model::Loaded();
    const bool bindingEdge = loaded.tables.record && loaded.tables.record->switches[features::kSw_BindingEdge] != 0;
    g_moduleRules = PrepareRules(loaded.constraints, features::ModuleItems(), bindingEdge);
}

void FreeConstraintIndex() {
    FreeRules(g_moduleRules);
    g_moduleRules = nullptr;
}

}  // namespace nvx::constraints
