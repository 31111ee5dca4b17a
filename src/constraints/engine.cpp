// One check of the constraint engine, step by step in its fixed order.
#include "constraints/engine.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>
#include <utility>
#include <vector>

#include "constraints/engine_state.h"
#include "constraints/prepared_rules.h"
#include "constraints/stop_icons.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/ui_items.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"

namespace nvx::constraints {

using detail::Check;
using detail::EvalMode;
using detail::Truth;
using model::MessageTable;

namespace {

std::vector<FixedSetting> g_fixed;
IconRedrawFn g_iconRedraw = nullptr;
IconRedrawFn g_defaultIconRedraw = nullptr;  // the pages' own, registered at attach
std::vector<uint16_t> g_extraSecurityControls;

struct OptionTip {
    uint32_t control;
    int32_t value;
    WString text;
    std::vector<WString> messages;  // each message once, compared whole
};
std::vector<OptionTip> g_optionTips;

// The rule's actions that the file holds (none without an action array).
uint32_t ActionCount(const PreparedRule& r) { return r.row->actions ? r.row->actionCount : 0; }

WStringView Name(const WCHAR (&f)[32]) { return WStringView(f, WLenBounded(f, 32)); }

}  // namespace

namespace detail {

std::unordered_set<const uint8_t*>& PassMarks() {
    static std::unordered_set<const uint8_t*> marks;
    return marks;
}
void ClearOptionTips() { g_optionTips.clear(); }
void AddOptionTip(uint32_t control, int32_t value, const WString& text) {
    for (OptionTip& t : g_optionTips)
        if (t.control == control && t.value == value) {
            if (std::find(t.messages.begin(), t.messages.end(), text) == t.messages.end()) {
                t.messages.push_back(text);
                t.text += WL("\r\n");
                t.text += text;
            }
            if (t.text.size() > constraints::kStopIconTextChars - 1) t.text.resize(constraints::kStopIconTextChars - 1);
            return;
        }
    g_optionTips.push_back({control, value, text.substr(0, constraints::kStopIconTextChars - 1), {text}});
}
IconRedrawFn IconRedraw() { return g_iconRedraw; }
BYTE*& HostRecord() {
    static BYTE* record = nullptr;
    return record;
}
bool IsSecurityControl(uint16_t c) {
    static const uint16_t kControls[] = {1000, 1013, 1060, 1061, 1078, 1081, 1092, 1138, 1149, 1159,
                                         1164, 1208, 1222, 1227, 1228, 1230, 1610, 1779, 1833, 1871,
                                         1872, 1946, 2189, 2190, 2266, 2583, 2585, 3168};
    return std::find(std::begin(kControls), std::end(kControls), c) != std::end(kControls) ||
           std::find(g_extraSecurityControls.begin(), g_extraSecurityControls.end(), c) !=
               g_extraSecurityControls.end();
}

void RecordSet::Reset(size_t expected) {
    size_t capacity = 64;
    while (capacity < 2 * expected) capacity *= 2;
    if (records_.size() < capacity) {
        records_.assign(capacity, nullptr);
        stamps_.assign(capacity, 0);
        generation_ = 0;
    }
    if (++generation_ == 0) {
        std::fill(stamps_.begin(), stamps_.end(), 0);
        generation_ = 1;
    }
}

bool RecordSet::Insert(const uint8_t* rec) {
    const size_t mask = records_.size() - 1;  // a power of two, at least twice the records inserted
    size_t i = (reinterpret_cast<uintptr_t>(rec) * 0x9E3779B97F4A7C15ull >> 20) & mask;
    for (; stamps_[i] == generation_; i = (i + 1) & mask)
        if (records_[i] == rec) return false;
    stamps_[i] = generation_;
    records_[i] = rec;
    return true;
}

Check::Check(CheckContext& ctx, const EngineTables& t, Workspace& w)
    : ctx_(ctx),
      t_(t),
      w_(w),
      keys_(w.keys),
      generation_(w.generation),
      settled_(w.settled),
      current_(w.current),
      changedFeature_(w.changedFeature),
      pageControls_(w.pageControls),
      lockedByChange_(w.lockedByChange),
      changeText_(w.changeText),
      prohibitText_(w.prohibitText),
      listedChange_(w.listedChange),
      listedCst_(w.listedCst) {}

void Check::NewEpoch() {
    if (++w_.epoch == 0) {  // after 2^32 epochs the stale stamps could match again
        std::fill(w_.conditionStamps.begin(), w_.conditionStamps.end(), 0);
        w_.epoch = 1;
    }
}

Truth Check::Settled(size_t k) {
    int8_t& cached = settled_[k];
    if (cached < 0) cached = static_cast<int8_t>(Settle(k));
    return static_cast<Truth>(cached);
}

Truth Check::Settle(size_t k) { return EvaluateRule(k, false); }

Truth Check::EvaluateRule(size_t k, bool dropLast) {
    const PreparedRules& rules = *t_.rules;
    const PreparedRule& r = rules.rules[k];
    // The common shape in one loop: a compiled rule whose expression ANDs its
    // conditions, and no fixed second feature to consider (what Evaluate does
    // for it, without the general expression).
    if (k < rules.compiled.size() && rules.compiled[k].conjunction &&
        !((r.kind == vpd::kRuleChange || r.kind == vpd::kRulePerPageChange) && r.secondRow >= 0 &&
          !g_fixed.empty())) {
        const CompiledRule& compiled = rules.compiled[k];
        const CompiledCondition* conditions = rules.conditions.data() + compiled.firstCondition;
        // A left-out last condition counts as holding.
        const uint32_t used = dropLast && compiled.conditionCount > 0 ? compiled.conditionCount - 1
                                                                       : compiled.conditionCount;
        uint64_t falseConditions = 0;
        for (uint32_t c = 0; c < used; ++c) {
            const CompiledCondition& cond = conditions[c];
            int8_t result;
            if (cond.id < idLimit_ && w_.conditionStamps[cond.id] == w_.epoch) {
                result = w_.conditionResults[cond.id];
            } else {
                result = Condition(r, c, cond, false);
                if (cond.id < idLimit_) {
                    w_.conditionStamps[cond.id] = w_.epoch;
                    w_.conditionResults[cond.id] = result;
                }
            }
            if (result < 0) return Truth::Skipped;
            falseConditions |= static_cast<uint64_t>(result == 0) << c;
        }
        if ((falseConditions & compiled.conjunction) == 0) return Truth::True;
        // A custom size being edited: Evaluate's second evaluation decides.
        if (ctx_.deviceOption != -1 || !ctx_.customPaper || !r.paper) return Truth::False;
    }
    return Evaluate(r, {false, dropLast, false});
}

void Check::SetMark(int row, uint8_t* rec, bool on) {
    if (!rec) return;
    (void)row;
    features::SetForbidden(rec, on);
    if (on) PassMarks().insert(rec);
}

namespace {

// Controls that show a feature whose item the item table gives to another page:
// the Quality tab's resolution (the Resolution item is the Fax tab's 1931).
struct SharedControl {
    uint32_t page;
    uint32_t control;
    const char* feature;
};
constexpr SharedControl kSharedControls[] = {{196, 1013, "Resolution"}, {105, 1013, "Resolution"}};

}  // namespace

uint32_t Check::Run() {
    if (!ctx_.record || !t_.items) return kCheckStands;
    static const PreparedRules kNoRules;
    const PreparedRules& rules = t_.rules ? *t_.rules : kNoRules;
    features::UiItemTable& items = *t_.items;

    // 1. Per-call state.
    ResetKeywordCache();
    if (!ResetKeys(rules.keyCount)) return kCheckStands;
    // Keys of a set made by hand without their table are looked up through the cache.
    keyLimit_ = rules.keys.size() >= rules.keyCount ? rules.keyCount : 0;
    idLimit_ = rules.conditionIds;
    NewEpoch();
    if (w_.conditionStamps.size() < rules.conditionIds) {
        try {
            w_.conditionStamps.resize(rules.conditionIds, 0);
            w_.conditionResults.resize(rules.conditionIds, 0);
        } catch (const std::bad_alloc&) {
            return kCheckStands;
        }
    }
    perTrayMedia_ = t_.record && t_.record->facts[features::kFactPerTrayMedia] != 0;
    try {
        listedChange_.assign(model::kMessageSlots, 0);
        listedCst_.assign(model::kMessageSlots, 0);
    } catch (const std::bad_alloc&) {
        return kCheckStands;
    }
    pageControls_.clear();
    changeText_.clear();
    prohibitText_.clear();
    range_ = features::EffectiveCustomRange(features::CustomPaperModelOf(t_.record));
    if (ctx_.dialog && ctx_.page) {
        try {
            for (size_t i = 0; i < items.count; ++i)
                if (items.rows[i].OnDialog(ctx_.page)) pageControls_.push_back(items.rows[i].control);
        } catch (const std::bad_alloc&) {
            return kCheckStands;
        }
        std::sort(pageControls_.begin(), pageControls_.end());
    }
    for (size_t i = 0; i < items.count; ++i) {
        features::UiItemState& s = items.rows[i].state;
        s.present = OnDialog(static_cast<int>(i)) ? 1 : 0;
        s.pending = -1;
        s.scratch[0] = 0;  // a pending value is recorded
    }
    changedRow_ = -1;
    if (ctx_.control) {
        for (size_t i = 0; i < items.count && changedRow_ < 0; ++i)
            if (items.rows[i].control == ctx_.control && items.rows[i].state.present)
                changedRow_ = static_cast<int>(i);
        // A control that shows a feature whose item belongs to another page: the
        // check treats it as that feature's item.
        if (changedRow_ < 0)
            for (const SharedControl& c : kSharedControls)
                if (c.page == ctx_.page && c.control == ctx_.control)
                    changedRow_ = features::FindUiItem(&items, std::string_view(c.feature));
    }
    try {
        changedFeature_.assign(items.count, 0);
        current_.assign(items.count, kNotRead);
        lockedByChange_.assign(items.count, 0);
    } catch (const std::bad_alloc&) {
        return kCheckStands;
    }
    // The device option page names its option by its value in the DeviceOption
    // list, the option's row in the device-option table; the items of the device
    // options stand in the table's order.
    deviceOptionRow_ = -1;
    firstDeviceOptionRow_ = -1;
    if (ctx_.deviceOptions)
        for (size_t i = 0; i < items.count; ++i)
            if (items.rows[i].deviceOption) {
                firstDeviceOptionRow_ = static_cast<int>(i);
                break;
            }
    if (ctx_.deviceOption >= 0)
        for (size_t i = 0, n = 0; i < items.count; ++i)
            if (items.rows[i].deviceOption && n++ == static_cast<size_t>(ctx_.deviceOption)) {
                deviceOptionRow_ = static_cast<int>(i);
                break;
            }
    if (changedRow_ >= 0)
        for (size_t i = 0; i < items.count; ++i)
            changedFeature_[i] = static_cast<int>(i) == changedRow_ || SameFeature(static_cast<int>(i), changedRow_);

    // 2. Marks kept from earlier passes, fixed settings.
    if (ctx_.control == 0) PassMarks().clear();
    named_ = t_.rules ? t_.rules->named : NamedRows::Of(t_.items);
    auto clearUnlessPassed = [&](int row, const char* option) {
        features::UiItem* item = Item(row);
        if (!item || !item->options) return;
        const int index = features::IndexOfKeyword(item->options, option);
        uint8_t* rec = index < 0 ? nullptr : features::RecordAt(item->options, static_cast<size_t>(index));
        if (rec && !PassMarks().count(rec)) features::SetForbidden(rec, false);
    };
    if (t_.record && t_.record->switches[features::kSw_Overlay] == 2) {
        clearUnlessPassed(named_.overlaySwitch, "Ovl_Host_Create");
        clearUnlessPassed(named_.overlaySwitch, "Ovl_Host_Print");
    }
    if (t_.record && (t_.record->switches[features::kSw_CopyProtect] == 2 ||
                      t_.record->switches[features::kSw_CopyProtect] == 3))
        clearUnlessPassed(named_.copyProtectOp, "CP_PasswordCopy");
    if (ctx_.control == 0) {
        for (const FixedSetting& f : g_fixed) {
            const int row = features::FindUiItem(&items, std::string_view(f.feature, strnlen(f.feature, 32)));
            features::UiItem* item = Item(row);
            if (!item || !item->options) continue;
            const std::string_view option(f.option, strnlen(f.option, 32));
            const int index = features::IndexOfKeyword(item->options, option);
            if (index < 0) continue;
            const int32_t value = *features::ValueAt(item->options, static_cast<size_t>(index));
            if (Current(row) != value && Write(row, value)) ShowValue(row, value);
        }
        auto clearMark = [&](int row, const char* option) {
            features::UiItem* item = Item(row);
            const int index = item ? features::IndexOfKeyword(item->options, option) : -1;
            if (index >= 0)
                features::SetForbidden(features::RecordAt(item->options, static_cast<size_t>(index)), false);
        };
        clearMark(named_.doubleSides, "Booklet");
        for (const char* o : {"2x2", "3x3", "4x4"}) clearMark(named_.nupOp, o);
    }

    // 3. Prohibition check of the changed control: a holding rule that forbids the
    // value now set refuses it, with the messages of every such rule (rules that
    // forbid other options of the item add nothing to the text).
    if (changedRow_ >= 0) {
        bool refuse = false;
        const auto current = Current(changedRow_);
        for (size_t k : rules.prohibit.rules) {
            const PreparedRule& r = rules.rules[k];
            if (!r.Has(vpd::kActConstraintMessage) || !OnChangedFeature(r.targetRow)) continue;
            if (Evaluate(r, {}) != Truth::True) continue;
            uint8_t* rec = TargetRecord(r);
            if (!rec) continue;
            SetMark(r.targetRow, rec, true);
            if (!current || features::Value(rec) != *current) continue;
            refuse = true;
            for (uint32_t a = 0; a < ActionCount(r); ++a)
                if (r.row->actions[a].code == vpd::kActConstraintMessage) {
                    const uint32_t slot = r.row->actions[a].param;
                    if (slot < model::kMessageSlots && listedCst_[slot]) continue;
                    if (slot < model::kMessageSlots) listedCst_[slot] = 1;
                    Append(prohibitText_, MessageTable::Constraint, slot, prohibitHeaded_);
                }
        }
        // The written-in checks add their reasons to the same text.
        if (ContextChecks(true) || refuse) {
            ctx_.refused = true;
            ShowMessage(MessageTable::Constraint, prohibitText_, MB_OK | MB_ICONEXCLAMATION);
            return kCheckRefused;
        }
    }

    // 4. Change detection: change rules, then per-page change rules, in file order.
    bool anyChange = false;
    const EvalMode changeMode{ctx_.control != 0, false, false};
    auto detect = [&](const KindRun& run) {
        for (size_t k : run.rules) {
            const PreparedRule& r = rules.rules[k];
            features::UiItem* target = Item(r.targetRow);
            // What Evaluate(r, changeMode) answers: a rule that does not mention the
            // changed control does not fire.
            if (!target || (changeMode.requireChanged && !MentionsChanged(r)) || EvaluateRule(k, false) != Truth::True)
                continue;
            const Lookup l = TargetLookup(r);
            if (!l.usable() || !l.hasValue()) continue;
            const auto current = Current(r.targetRow);
            if (!current) continue;
            if (*current != l.value) {
                target->state.pending = l.value;
                target->state.scratch[0] = 1;
                for (uint32_t a = 0; a < ActionCount(r); ++a)
                    if (r.row->actions[a].code == vpd::kActChangeMessage) {
                        const uint32_t slot = r.row->actions[a].param;
                        if (slot < model::kMessageSlots && listedChange_[slot]) continue;
                        if (slot < model::kMessageSlots) listedChange_[slot] = 1;
                        Append(changeText_, MessageTable::Change, slot, changeHeaded_);
                    }
            } else {
                // The last holding rule decides: this one keeps the current value and
                // cancels what an earlier rule recorded for the item.
                target->state.pending = -1;
                target->state.scratch[0] = 0;
            }
        }
    };
    detect(rules.change);
    if (frame::AskVariant("_PRP_COVER_TYPE1") == 0) detect(rules.perPage);
    for (size_t i = 0; i < items.count; ++i) anyChange = anyChange || items.rows[i].state.scratch[0];

    // 5. Output method, secure printing and single sign-on.
    if (ctx_.control && IsSecurityControl(ctx_.control)) SecurityChecks();

    // 6. Confirmation.
    if (ctx_.control && anyChange) {
        ctx_.asked = true;
        const WString text = changeText_.empty() ? WString(Slot(MessageTable::Change, 1)) : changeText_;
        if (ShowMessage(MessageTable::Change, text, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            for (size_t i = 0; i < items.count; ++i) {
                items.rows[i].state.pending = -1;
                items.rows[i].state.scratch[0] = 0;
            }
            return kCheckDeclined;
        }
    }

    // 7. Apply the fired change rules.
    for (size_t i = 0; i < items.count; ++i) {
        features::UiItemState& s = items.rows[i].state;
        if (!s.scratch[0] || items.rows[i].type == features::kUiPerPageColumn) continue;
        if (Write(static_cast<int>(i), s.pending)) ShowValue(static_cast<int>(i), s.pending);
        s.pending = -1;
        s.scratch[0] = 0;
    }

    // From here on the record's values stay as they are: each rule's plain result
    // is computed once.
    settled_.assign(rules.rules.size(), -1);

    // 8. Per-page lists and account settings.
    ExtraApplyPasses();

    // 9. Enable states and icon flags of change rules.
    for (constraints::StopIconRow* row = constraints::StopIconTable(); row->control; ++row)
        if (!ctx_.dialog || Control(row->control)) {
            row->hasMessage = 0;
            row->flags = 0;
            row->text[0] = 0;
        }
    std::vector<int8_t>& disabled = w_.disabled;
    disabled.assign(items.count, -1);
    // With a device option given, only the rules on that device option count.
    auto deviceFilter = [&](const PreparedRule& r) {
        return ctx_.deviceOption == -1 || (r.targetRow >= 0 && r.targetRow == deviceOptionRow_);
    };
    std::vector<uint8_t>& holds = w_.holds;
    holds.assign(rules.rules.size(), 0);
    auto enableStates = [&](const KindRun& run) {
        for (size_t k : run.rules) {
            const PreparedRule& r = rules.rules[k];
            if (!(r.Has(vpd::kActDisable) || r.Has(vpd::kActIcon)) || !OnDialog(r.targetRow) || !deviceFilter(r))
                continue;
            const EvalMode mode{false, !Name(r.row->first.option).empty(), false};
            const bool h = (mode.dropLast ? EvaluateRule(k, true) : Settled(k)) == Truth::True;
            holds[k] = h;
            if (r.Has(vpd::kActDisable)) {
                int8_t& d = disabled[static_cast<size_t>(r.targetRow)];
                d = static_cast<int8_t>(d == 1 || h);
            }
            if (h && r.Has(vpd::kActIcon))
                if (constraints::StopIconRow* icon = constraints::FindStopIcon(Item(r.targetRow)->iconControl))
                    icon->hasMessage = 1;
        }
    };
    enableStates(rules.change);
    enableStates(rules.perPage);
    for (size_t i = 0; i < items.count; ++i) {
        if (disabled[i] >= 0) items.rows[i].state.disabled = static_cast<uint32_t>(disabled[i]);
        if (disabled[i] == 1) lockedByChange_[i] = 1;
    }

    // 10. Actions of the change rules.
    auto runActions = [&](const PreparedRule& r, bool holdsNow) {
        const uint32_t n = ActionCount(r);
        for (uint32_t a = 0; a < n; ++a) {
            const uint32_t code = r.row->actions[a].code;
            if (code == vpd::kActGate && !holdsNow) return;
            if (code == vpd::kActDisable && OnDialog(r.targetRow))
                ApplyEnable(r, Item(r.targetRow)->state.disabled != 0);
        }
    };
    for (size_t k : rules.change.rules) {
        const PreparedRule& r = rules.rules[k];
        if (!Item(r.targetRow)) continue;
        const bool gateHolds = !r.Has(vpd::kActGate) || Settled(k) == Truth::True;
        runActions(r, gateHolds);
    }

    // 11. Prohibition marks.
    RecordSet& seen = w_.seen;  // options a rule of this pass has decided
    seen.Reset(rules.prohibit.rules.size());
    for (size_t k : rules.prohibit.rules) {
        const PreparedRule& r = rules.rules[k];
        features::UiItem* target = Item(r.targetRow);
        if (!target || !target->state.present) continue;
        const Truth h = Settled(k);
        if (h == Truth::Skipped) continue;
        holds[k] = h == Truth::True;
        uint8_t* rec = TargetRecord(r);
        if (!rec) continue;
        // A key's record is looked up in the set once; keys of other rows or
        // keywords can still name the same record.
        bool first;
        if (r.targetKey < keyLimit_) {
            detail::KeyEntry& e = keys_[r.targetKey];
            first = e.decidedGeneration != generation_ && seen.Insert(rec);
            e.decidedGeneration = generation_;
        } else {
            first = seen.Insert(rec);
        }
        const bool on = h == Truth::True || (!first && features::Forbidden(rec));
        SetMark(r.targetRow, rec, on);
        // The per-tray media entries that stand for the same media type follow.
        if (target->control == 1003 && t_.record && t_.record->facts[features::kFactPerTrayMedia]) {
            const int32_t v = features::Value(rec);
            for (size_t i = 0; uint8_t* e = features::RecordAt(target->options, i); ++i) {
                const int32_t ev = features::Value(e);
                if (ev >= 1001 && Normalise(*target, ev) == v && e != rec) features::SetForbidden(e, on);
            }
        }
    }

    // 12. Control rules.  A target is disabled while any of its control rules
    // holds and enabled again when none does, unless a change rule's 1028 disabled it
    // in this pass (step 10).  A gate stops the rule's later actions while it does not
    // hold; the rule still decides its part of the target's state.  A rule that is
    // skipped (a condition this model cannot resolve) decides nothing.
    std::vector<int8_t>& controlled = w_.controlled;  // per row: -1 no rule, 0 enable, 1 disable
    controlled.assign(items.count, -1);
    std::vector<int>& rows = w_.rows;
    for (size_t k : rules.control.rules) {
        const PreparedRule& r = rules.rules[k];
        if (!Item(r.targetRow) || !deviceFilter(r)) continue;
        const Truth t = Settled(k);
        const bool h = t == Truth::True;
        holds[k] = h;
        if (t == Truth::Skipped || !r.Has(vpd::kActDisable) || !OnDialog(r.targetRow)) continue;
        EnableRows(r, rows);
        for (int row : rows) {
            int8_t& c = controlled[static_cast<size_t>(row)];
            c = static_cast<int8_t>(c == 1 || h);
        }
    }
    bool focusBack = false;
    for (size_t i = 0; i < items.count; ++i) {
        if (controlled[i] < 0) continue;
        const bool off = controlled[i] == 1 || lockedByChange_[i];
        focusBack = (EnableItem(static_cast<int>(i), off) && !off) || focusBack;
    }
    if (focusBack) FocusBack();

    // 13. Written-in checks, marks only.
    ContextChecks(false);

    // 14. Icons.
    ClearOptionTips();
    // The messages each icon row lists in this pass, compared whole (a message that
    // is part of a longer one is still a message of its own).
    std::vector<std::pair<const constraints::StopIconRow*, WString>> listedTips;
    for (size_t k = 0; k < rules.rules.size(); ++k) {
        const PreparedRule& r = rules.rules[k];
        if (!holds[k] || !r.Has(vpd::kActIcon)) continue;
        features::UiItem* target = Item(r.targetRow);
        if (!target) continue;
        if (r.kind == vpd::kRuleControl)
            if (constraints::StopIconRow* icon = constraints::FindStopIcon(target->iconControl)) icon->hasMessage = 1;
        constraints::StopIconRow* icon = constraints::FindStopIcon(target->iconControl);
        for (uint32_t a = 0; a < ActionCount(r); ++a) {
            if (r.row->actions[a].code != vpd::kActIcon) continue;
            const WString message = DisplayText(Slot(MessageTable::ToolTip, r.row->actions[a].param));
            if (icon && icon->hasMessage && (r.kind != vpd::kRuleProhibit)) {
                WString text(icon->text, WLenBounded(icon->text, constraints::kStopIconTextChars));
                if (!(icon->flags & constraints::kStopIconHeaderWritten)) {
                    text = DisplayText(Slot(MessageTable::ToolTip, 1));
                    icon->flags |= constraints::kStopIconHeaderWritten;
                }
                const std::pair<const constraints::StopIconRow*, WString> listed{icon, message};
                if (std::find(listedTips.begin(), listedTips.end(), listed) == listedTips.end()) {
                    listedTips.push_back(listed);
                    if (!text.empty()) text += WL("\r\n");
                    text += message;
                }
                WCopy(icon->text, constraints::kStopIconTextChars, text);
            }
            if (r.kind == vpd::kRuleProhibit && target->options) {
                const WStringView first = Name(r.row->first.option);
                for (size_t i = 0; const uint8_t* e = features::RecordAt(target->options, i); ++i) {
                    if (!features::Forbidden(e)) continue;
                    const std::string_view kw = features::Keyword(e);
                    if (first.size() != kw.size() || !std::equal(kw.begin(), kw.end(), first.begin())) continue;
                    detail::AddOptionTip(target->control, features::Value(e), message);
                }
            }
        }
    }
    if (ctx_.dialog)
        for (constraints::StopIconRow* row = constraints::StopIconTable(); row->control; ++row) {
            HWND c = Control(row->control);
            if (!c) continue;
            if (IconRedrawFn draw = g_iconRedraw ? g_iconRedraw : g_defaultIconRedraw)
                draw(ctx_.dialog, row->control, nullptr);
        }

    // 15. Fixed settings: every control of a fixed feature stays read-only, whatever
    // the rules decided.
    for (const FixedSetting& f : g_fixed) {
        const int first = features::FindUiItem(&items, std::string_view(f.feature, strnlen(f.feature, 32)));
        if (first < 0) continue;
        for (size_t i = 0; i < items.count; ++i)
            if (SameFeature(static_cast<int>(i), first)) EnableItem(static_cast<int>(i), true);
    }

    // 16. Repaint.
    if (ctx_.dialog) InvalidateRect(ctx_.dialog, nullptr, TRUE);
    return kCheckStands;
}

}  // namespace detail

EngineTables EngineTables::OfModule() {
    model::LoadedModel& m = model::Loaded();
    EngineTables t;
    t.items = features::ModuleItems();
    t.rules = constraints::ModuleRules();
    t.messages = &m.messages;
    t.record = m.tables.record;
    return t;
}

uint32_t RunCheck(CheckContext& ctx, const EngineTables& tables) {
    // No exception leaves the engine: without memory for its working state the
    // check ends where it is and the change stands.
    static detail::Workspace shared;
    struct Borrow {
        detail::Workspace* w;
        ~Borrow() { w->busy = false; }
    };
    try {
        if (shared.busy) {
            detail::Workspace own;
            Check check(ctx, tables, own);
            return check.Run();
        }
        shared.busy = true;
        const Borrow borrowed{&shared};
        Check check(ctx, tables, shared);
        return check.Run();
    } catch (const std::bad_alloc&) {
        return kCheckStands;
    }
}

uint32_t RunCheck(CheckContext& ctx) { return RunCheck(ctx, EngineTables::OfModule()); }

void SetFixedSettings(const std::vector<FixedSetting>& list) { g_fixed = list; }
const std::vector<FixedSetting>& FixedSettings() { return g_fixed; }

const WCHAR* OptionTipText(uint32_t control, int32_t value) {
    for (const auto& t : g_optionTips)
        if (t.control == control && t.value == value) return t.text.c_str();
    return nullptr;
}

void AddSecurityCheckControl(uint16_t control) { g_extraSecurityControls.push_back(control); }
void SetIconRedraw(IconRedrawFn fn) { g_iconRedraw = fn; }
void SetDefaultIconRedraw(IconRedrawFn fn) { g_defaultIconRedraw = fn; }
void SetCheckRecord(BYTE* record) { detail::HostRecord() = record; }
BYTE* CheckRecordForHosts() { return detail::HostRecord(); }

// The shown form of a composed text: backslash and "n" become a space and a line
// feed, as in a single slot, but over the whole text (a composed confirmation
// holds up to kMessageChars - 1 characters, far more than one slot's 290).
WString DisplayText(WStringView text) {
    WString out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
            out += u' ';
            out += u'\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace nvx::constraints
