// Evaluating one rule: its conditions against the current values, combined by its
// postfix token list.
#include <algorithm>

#include "constraints/engine_state.h"
#include "features/model_record.h"
#include "features/option_record.h"

namespace nvx::constraints::detail {

namespace {

bool Compare(uint32_t op, int32_t current, int32_t option) {
    switch (op) {
    case vpd::kOpEqual: return current == option;
    case vpd::kOpNotEqual: return current != option;
    case vpd::kOpLess: return current < option;
    case vpd::kOpGreater: return current > option;
    case vpd::kOpLessEqual:
    case vpd::kOpLessEqual2: return current <= option;
    case vpd::kOpGreaterEqual:
    case vpd::kOpGreaterEqual2: return current >= option;
    }
    return false;  // 1007, 1008 and unknown operators never hold
}

// The postfix expression over the condition results.  A malformed list (a
// condition number out of range, too few operands, more than the stack holds, an
// unknown token, no result) is false.
bool Expression(const uint32_t* tokens, uint32_t count, const bool* results, size_t conditions) {
    bool stack[kStackDepth];
    size_t depth = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t token = tokens[i];
        if (token == vpd::kTokenEnd) break;
        if (token < vpd::kTokenAnd) {
            if (token >= conditions || depth == kStackDepth) return false;
            stack[depth++] = results[token];
        } else if (token == vpd::kTokenAnd || token == vpd::kTokenOr) {
            if (depth < 2) return false;
            const bool b = stack[--depth];
            bool& a = stack[depth - 1];
            a = token == vpd::kTokenAnd ? (a && b) : (a || b);
        } else {
            return false;
        }
    }
    return depth > 0 && stack[depth - 1];
}

bool IsSizeField(const features::UiItemTable& t, int row, bool* width) {
    const features::UiDirectRows& d = t.direct;
    *width = row == d.userPaperWidth || row == d.outUserPaperWidth;
    return *width || row == d.userPaperLength || row == d.outUserPaperLength;
}

}  // namespace

bool Check::SameFeature(int a, int b) const {
    const features::UiItem* x = Item(a);
    const features::UiItem* y = Item(b);
    if (!x || !y) return false;
    return std::equal(std::begin(x->feature), std::end(x->feature), std::begin(y->feature));
}

// Whether the current custom size is of the kind a custom keyword names:
// "UserPaper" any custom size, "UserLongLengthPaper" one longer than the normal
// range allows, "UserLargePaper" one wider or longer than the normal range.
static bool CustomKindHolds(const Check& c, int row, uint32_t index, uint32_t op) {
    const features::UiItemTable& t = *c.t_.items;
    const bool out = row == t.direct.outPaperSize;
    const int wRow = out ? t.direct.outUserPaperWidth : t.direct.userPaperWidth;
    const int lRow = out ? t.direct.outUserPaperLength : t.direct.userPaperLength;
    const auto current = c.Current(row);
    bool custom = false;
    if (current) {
        features::UiItem* item = c.Item(row);
        const int own = features::IndexOfKeyword(item->options, out ? "OutUserPaper" : "UserPaper");
        custom = own >= 0 && features::ValueAt(item->options, static_cast<size_t>(own)) == *current;
    }
    bool holds = false;
    if (custom) {
        const int32_t w = c.Current(wRow).value_or(0), l = c.Current(lRow).value_or(0);
        const features::CustomPaperModel m = features::CustomPaperModelOf(c.t_.record);
        if (index == features::kIndexUserPaper)
            holds = true;
        else if (index == features::kIndexUserLongLengthPaper)
            holds = l > m.normal.maxLength && w <= m.longLength.maxWidth && l <= m.longLength.maxLength;
        else
            holds = !features::InRange(m.normal, w, l) && features::InRange(m.large, w, l);
    }
    if (op == vpd::kOpEqual) return holds;
    if (op == vpd::kOpNotEqual) return !holds;
    return false;
}

const CompiledRule* Check::Compiled(const PreparedRule& r) const {
    if (!t_.rules || t_.rules->rules.empty()) return nullptr;
    const PreparedRule* first = t_.rules->rules.data();
    if (&r < first || &r >= first + t_.rules->compiled.size()) return nullptr;
    return &t_.rules->compiled[static_cast<size_t>(&r - first)];
}

bool Check::MentionsChanged(const PreparedRule& r) const {
    if (const CompiledRule* compiled = Compiled(r)) {
        const CompiledCondition* c = t_.rules->conditions.data() + compiled->firstCondition;
        for (const CompiledCondition* end = c + compiled->conditionCount; c != end; ++c)
            if (OnChangedFeature(c->row)) return true;
        return false;
    }
    for (int row : r.conditionRows)
        if (OnChangedFeature(row)) return true;
    return false;
}

int8_t Check::Condition(const PreparedRule& r, size_t c, const CompiledCondition& cond, bool rangeSizes) {
    const int item = cond.row;
    features::UiItem* it = Item(item);
    if (!it) return -1;
    const Lookup l = cond.key < keyLimit_ ? Key(cond.key).lookup : ResolveCondition(r, c);
    if (!l.usable()) return -1;
    if (l.index >= features::kIndexUserLargePaper && l.index <= features::kIndexUserPaper)  // a custom size
        return CustomKindHolds(*this, item, l.index, cond.op) ? 1 : 0;
    const auto cur = Current(item);
    if (!cur) return -1;
    int32_t value = *cur;
    bool width = false;
    if (rangeSizes && IsSizeField(*t_.items, item, &width))
        value = width ? features::ClampWidth(range_, value) : features::ClampLength(range_, value);
    return l.hasValue() && Compare(cond.op, Normalise(*it, value), Normalise(*it, l.value)) ? 1 : 0;
}

Truth Check::EvaluatePlain(const PreparedRule& r, EvalMode mode) {
    if (const CompiledRule* compiled = Compiled(r))
        return EvaluateCompiled(r, mode, t_.rules->conditions.data() + compiled->firstCondition,
                                compiled->conditionCount, t_.rules->tokens.data() + compiled->firstToken,
                                compiled->tokenCount, compiled->conjunction);
    // A rule without a compact form (made by hand, not by PrepareRules): its own
    // vectors and the file's records, with nothing kept by key or id.
    std::vector<CompiledCondition> own(std::min<size_t>(r.conditionRows.size(), 255));
    for (size_t c = 0; c < own.size(); ++c)
        own[c] = {r.conditionRows[c], UINT32_MAX, r.row->conditions[c].op, UINT32_MAX};
    return EvaluateCompiled(r, mode, own.data(), own.size(), r.row->tokens, r.row->tokens ? r.row->tokenCount : 0, 0);
}

Truth Check::EvaluateCompiled(const PreparedRule& r, EvalMode mode, const CompiledCondition* conditions, size_t n,
                              const uint32_t* tokens, uint32_t tokenCount, uint64_t conjunction) {
    bool results[256];  // a rule has at most 255 conditions
    uint64_t falseConditions = 0;  // with a conjunction: the conditions found false
    if (!conjunction) std::fill(results, results + n, true);
    const size_t used = mode.dropLast && n > 0 ? n - 1 : n;
    std::vector<uint32_t>& stamps = w_.conditionStamps;
    std::vector<int8_t>& kept = w_.conditionResults;
    for (size_t c = 0; c < used; ++c) {
        const CompiledCondition& cond = conditions[c];
        // Sizes brought into the range give other results: those are never kept.
        const bool keep = !mode.rangeSizes && cond.id < idLimit_;
        int8_t result;
        if (keep && stamps[cond.id] == w_.epoch) {
            result = kept[cond.id];
        } else {
            result = Condition(r, c, cond, mode.rangeSizes);
            if (keep) {
                stamps[cond.id] = w_.epoch;
                kept[cond.id] = result;
            }
        }
        if (result < 0) return Truth::Skipped;
        if (conjunction)
            falseConditions |= result == 0 ? uint64_t{1} << c : 0;
        else
            results[c] = result != 0;
    }
    if (mode.requireChanged && !MentionsChanged(r)) return Truth::False;
    // A change rule whose second feature the administrator fixed never holds.
    if ((r.kind == vpd::kRuleChange || r.kind == vpd::kRulePerPageChange) && r.secondRow >= 0) {
        const features::UiItem* second = Item(r.secondRow);
        for (const FixedSetting& f : FixedSettings()) {
            size_t i = 0;
            while (i < 31 && f.feature[i] && second->feature[i] == static_cast<unsigned char>(f.feature[i])) ++i;
            if (i < 32 && !f.feature[i] && !second->feature[i]) {
                if (conjunction) return Truth::False;  // every condition counts as false
                std::fill(results, results + n, false);
                break;
            }
        }
    }
    if (conjunction) return (falseConditions & conjunction) == 0 ? Truth::True : Truth::False;
    return Expression(tokens, tokenCount, results, n) ? Truth::True : Truth::False;
}

Truth Check::Evaluate(const PreparedRule& r, EvalMode mode) {
    // A rule that does not mention the changed control does not fire: no need to
    // look at its conditions.
    if (mode.requireChanged && !MentionsChanged(r)) return Truth::False;
    const Truth first = EvaluatePlain(r, mode);
    if (first != Truth::False || ctx_.deviceOption != -1 || !ctx_.customPaper || !r.paper) return first;
    // A custom size being edited: once more with the sizes brought into the range.
    EvalMode again = mode;
    again.rangeSizes = true;
    return EvaluatePlain(r, again) == Truth::True ? Truth::True : Truth::False;
}

}  // namespace nvx::constraints::detail
