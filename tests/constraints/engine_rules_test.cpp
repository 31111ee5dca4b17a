// The check over a bare settings record: expressions and operators, change rules
// with their confirmation, prohibitions with their refusal, enable states, icons,
// fixed settings and the written-in booklet check.
#include "engine_fixture.h"

#include "constraints/stop_icons.h"
#include "features/list_builders.h"
#include "frame/exports.h"
#include "platform/ui_test_util.h"
#include "settings/devoption.h"

namespace {

using cstest::Json;
using cstest::Rule;
using nvx::constraints::kCheckDeclined;
using nvx::constraints::kCheckRefused;
using nvx::constraints::kCheckStands;

class Rules : public cstest::EngineTest {};

TEST_F(Rules, TokensCombineConditionsAndSomeOperatorsNeverHold) {
    LoadRules(Json::array({
        Rule("change", "JobOffset", "JobOffsetON",
             {{"Orientation", "eq", "Landscape"}, {"InTray", "eq", "Tray1"}}, "c0 c1 and end"),
        Rule("change", "Collate", "CollateON", {{"Orientation", "eq", "Landscape"}, {"InTray", "eq", "Tray1"}},
             "c0 c1 or end"),
        Rule("change", "PaperOption1", "PaperOption1ON", {{"Orientation", "never", "Portrait"}}, "c0 end"),
        Rule("change", "PaperOption2", "PaperOption2ON", {{"Orientation", 1008, "Portrait"}}, "c0 end"),
    }));
    Set("nOrientation", 2);
    Set("nDefaultSource", 258);  // Tray2
    Set("bJobOffset", 0);
    Set("bCollate", 0);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_EQ(0, Get("bJobOffset"));  // AND: one of two
    EXPECT_EQ(1, Get("bCollate"));    // OR: one of two
    EXPECT_EQ(0, Get("bPaperOption1"));
    EXPECT_EQ(0, Get("bPaperOption2"));
    Set("nDefaultSource", 257);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_EQ(1, Get("bJobOffset"));
    EXPECT_TRUE(boxes_.empty());  // the whole-sheet check never asks
}

TEST_F(Rules, NumericConditionsCompareSigned) {
    LoadRules(Json::array({
        Rule("change", "Collate", "CollateON", {{"Copies", "ge", "5"}, {"Copies", 1014, "5"}}, "c0 c1 and end"),
        Rule("change", "JobOffset", "JobOffsetON", {{"Copies", "lt", "3"}, {"Copies", 1012, "-1"}}, "c0 c1 or end"),
    }));
    for (int copies : {4, 5, 2}) {
        Set("nCopies", copies);
        Set("bCollate", 0);
        Set("bJobOffset", 0);
        Run(0);
        EXPECT_EQ(copies >= 5 ? 1 : 0, Get("bCollate")) << copies;
        EXPECT_EQ(copies < 3 ? 1 : 0, Get("bJobOffset")) << copies;
    }
}

TEST_F(Rules, ConfirmationAnsweredNoChangesNothingAndYesApplies) {
    LoadRules(Json::array({
        Rule("change", "Collate", "CollateON", {{"PaperSize", "eq", "A5"}}, "c0 end",
            Json::array({cstest::Act("change_message", 11)})),
        Rule("change", "JobOffset", "JobOffsetON", {{"PaperSize", "eq", "A5"}}, "c0 end",
             Json::array({cstest::Act("change_message", 11), cstest::Act("change_message", 12)})),
    }));
    Set("bCollate", 0);
    Set("bJobOffset", 0);
    // A control no rule mentions: nothing happens.
    EXPECT_EQ(kCheckStands, Run(1011));
    EXPECT_TRUE(boxes_.empty());
    Set("nPaperSize", 11);  // the user picks A5
    answer_ = IDNO;
    EXPECT_EQ(kCheckDeclined, Run(1000));
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("Change title", boxes_[0].caption);
    // Header and first message directly, each message once, the line break shown.
    EXPECT_EQ("These settings change: \nchange 11\r\nchange 12", boxes_[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes_[0].type);
    EXPECT_EQ(0, Get("bCollate"));
    EXPECT_EQ(0, Get("bJobOffset"));
    answer_ = IDYES;
    EXPECT_EQ(kCheckStands, Run(1000));
    EXPECT_EQ(1, Get("bCollate"));
    EXPECT_EQ(1, Get("bJobOffset"));
    // Values already equal: no message.
    boxes_.clear();
    EXPECT_EQ(kCheckStands, Run(1000));
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Rules, TheLastHoldingRuleOnAnItemDecides) {
    LoadRules(Json::array({
        Rule("change", "Collate", "CollateON", {{"PaperSize", "eq", "A5"}}, "c0 end",
            Json::array({cstest::Act("change_message", 14)})),
        Rule("change", "Collate", "CollateOFF", {{"PaperSize", "eq", "A5"}}, "c0 end",
            Json::array({cstest::Act("change_message", 15)})),
        Rule("change", "JobOffset", "JobOffsetON", {{"PaperSize", "eq", "A5"}}, "c0 end",
            Json::array({cstest::Act("change_message", 16)})),
    }));
    Set("bCollate", 0);
    Set("bJobOffset", 0);
    Set("nPaperSize", 11);
    EXPECT_EQ(kCheckStands, Run(1000));
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("These settings change: \nchange 14\r\nchange 16", boxes_[0].text);
    EXPECT_EQ(0, Get("bCollate"));
    EXPECT_EQ(1, Get("bJobOffset"));
}

TEST_F(Rules, ForbiddenChoiceIsRefusedAndMarksFollowTheRule) {
    SetSlot(nvx::model::MessageTable::Constraint, 12, "A5 cannot be landscape\\nhere");
    LoadRules(Json::array({
        Rule("prohibit", "PaperSize", "A5", {{"Orientation", "eq", "Landscape"}}, "c0 end",
             Json::array({cstest::Act("constraint_message", 12)})),
        // Holds as well, but forbids another size: its reason is not shown for A5.
        Rule("prohibit", "PaperSize", "A3", {{"Orientation", "eq", "Landscape"}}, "c0 end",
             Json::array({cstest::Act("constraint_message", 13)})),
    }));
    Set("nOrientation", 2);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_TRUE(Forbidden("PaperSize", "A5"));
    EXPECT_FALSE(Forbidden("PaperSize", "A4"));
    EXPECT_TRUE(Forbidden("PaperSize", "A3"));
    Set("nPaperSize", 11);
    EXPECT_EQ(kCheckRefused, Run(1000));
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("Refused title", boxes_[0].caption);
    EXPECT_EQ("Not possible: \nA5 cannot be landscape \nhere", boxes_[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), boxes_[0].type);
    // Another size passes; portrait lifts the mark.
    Set("nPaperSize", 9);
    EXPECT_EQ(kCheckStands, Run(1000));
    Set("nOrientation", 1);
    EXPECT_EQ(kCheckStands, Run(1020));
    EXPECT_FALSE(Forbidden("PaperSize", "A5"));
    Set("nPaperSize", 11);
    EXPECT_EQ(kCheckStands, Run(1000));
    EXPECT_EQ(1u, boxes_.size());
}

TEST_F(Rules, EnableStatesIconsAndOptionTips) {
    LoadRules(Json::array({
        Rule("change", "Collate", "CollateOFF", {{"PaperSize", "eq", "A5"}}, "c0 end",
            Json::array({cstest::Act("disable", 0), cstest::Act("icon", 17)})),
        Rule("change", "Collate", "CollateOFF", {{"Copies", "eq", "1"}}, "c0 end",
            Json::array({cstest::Act("icon", 18), cstest::Act("icon", 17)})),
        Rule("prohibit", "InTray", "Tray1", {{"PaperSize", "eq", "A5"}}, "c0 end",
            Json::array({cstest::Act("icon", 19)}), "Tray1"),
    }));
    const int collate = nvx::features::FindUiItem(items_, "Collate");
    Set("nPaperSize", 11);
    Set("nCopies", 1);
    Run(0);
    EXPECT_EQ(1u, items_->rows[collate].state.disabled);
    const nvx::constraints::StopIconRow* icon = nvx::constraints::FindStopIcon(3608);
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(1u, icon->hasMessage);
    EXPECT_EQ("Why:\r\ntip 17\r\ntip 18", nvx::Utf8FromW(icon->text));  // header once, each tip once
    const WCHAR* tip = nvx::constraints::OptionTipText(1006, 257);
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ("tip 19", nvx::Utf8FromW(tip));
    Set("nPaperSize", 9);
    Set("nCopies", 2);
    Run(0);
    EXPECT_EQ(0u, items_->rows[collate].state.disabled);
    EXPECT_EQ(0u, icon->hasMessage);
    EXPECT_EQ(0, icon->text[0]);
    EXPECT_EQ(nullptr, nvx::constraints::OptionTipText(1006, 257));
}

// A message that is part of a longer one already listed is still listed: tips are
// compared whole, for the icon's text and for an option's tip alike.
TEST_F(Rules, IconAndOptionTipsListAMessageThatIsPartOfAnother) {
    SetSlot(nvx::model::MessageTable::ToolTip, 20, "tip 1");
    LoadRules(Json::array({
        Rule("change", "Collate", "CollateOFF", {{"PaperSize", "eq", "A5"}}, "c0 end",
             Json::array({cstest::Act("icon", 17)})),
        Rule("change", "Collate", "CollateOFF", {{"PaperSize", "eq", "A5"}}, "c0 end",
             Json::array({cstest::Act("icon", 20), cstest::Act("icon", 17)})),
        Rule("prohibit", "InTray", "Tray1", {{"PaperSize", "eq", "A5"}}, "c0 end",
             Json::array({cstest::Act("icon", 17)}), "Tray1"),
        Rule("prohibit", "InTray", "Tray1", {{"PaperSize", "eq", "A5"}}, "c0 end",
             Json::array({cstest::Act("icon", 20), cstest::Act("icon", 17)}), "Tray1"),
    }));
    Set("nPaperSize", 11);
    Run(0);
    const nvx::constraints::StopIconRow* icon = nvx::constraints::FindStopIcon(3608);
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ("Why:\r\ntip 17\r\ntip 1", nvx::Utf8FromW(icon->text));
    const WCHAR* tip = nvx::constraints::OptionTipText(1006, 257);
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ("tip 17\r\ntip 1", nvx::Utf8FromW(tip));
}

// On the device option page (device option value given) only the rules whose target
// is that device option decide the state of the page's option control; the device
// option whose value is N is the N-th of the model's DeviceOption list.
TEST_F(Rules, ADeviceOptionCheckCountsOnlyThatDeviceOptionsRules) {
    const Json gated = Json::array({cstest::Act("gate", 0), cstest::Act("disable", 0)});
    LoadRules(Json::array({
        Rule("control", "OpHDD", "", {{"Orientation", "eq", "Landscape"}}, "c0 end", gated),
        Rule("control", "OpDuplex", "", {{"Orientation", "eq", "Portrait"}}, "c0 end", gated),
    }));
    uitest::TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_VISIBLE, 200, 100);
    t.Control(1081, 0x0085, nullptr, WL(""), CBS_DROPDOWNLIST | WS_VISIBLE | WS_TABSTOP, 10, 10, 100, 80);
    HWND dialog = CreateDialogIndirectParamW(
        nullptr, t.Get(), nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(nullptr, dialog);
    HWND option = GetDlgItem(dialog, 1081);
    const int duplex = nvx::features::FindUiItem(items_, "OpDuplex");
    ASSERT_GE(duplex, 0);
    auto check = [&](int32_t deviceOption) {
        ctx_ = nvx::constraints::CheckContext{};
        ctx_.record = record_.data();
        ctx_.dialog = dialog;
        ctx_.deviceOption = deviceOption;
        return nvx::constraints::RunCheck(ctx_, Tables());
    };
    // Landscape: the hard disk's rule holds, the duplex unit's does not.
    Set("nOrientation", 2);
    EXPECT_EQ(kCheckStands, check(2));  // OpMemory 0, OpHDD 1, OpDuplex 2
    EXPECT_TRUE(IsWindowEnabled(option)) << "the hard disk's rule is not the duplex unit's";
    EXPECT_EQ(0u, items_->rows[duplex].state.disabled);
    EXPECT_EQ(kCheckStands, check(1));
    EXPECT_FALSE(IsWindowEnabled(option));
    // Portrait: the duplex unit's rule holds.
    Set("nOrientation", 1);
    EXPECT_EQ(kCheckStands, check(2));
    EXPECT_FALSE(IsWindowEnabled(option));
    EXPECT_EQ(1u, items_->rows[duplex].state.disabled);
    EXPECT_EQ(kCheckStands, check(1));
    EXPECT_TRUE(IsWindowEnabled(option));
    EXPECT_EQ(kCheckStands, check(40));  // no such device option: no rule counts
    EXPECT_TRUE(IsWindowEnabled(option));
    DestroyWindow(dialog);
}

TEST_F(Rules, FixedSettingsAreWrittenAndSilenceRulesOnThem) {
    Json r = Rule("change", "JobOffset", "JobOffsetON", {{"PaperSize", "eq", "A5"}}, "c0 end");
    r["second"] = "Collate";
    LoadRules(Json::array({r}));
    Set("nPaperSize", 11);
    Set("bCollate", 0);
    Set("bJobOffset", 0);
    nvx::constraints::FixedSetting f{};
    std::strcpy(f.feature, "Collate");
    std::strcpy(f.option, "CollateON");
    nvx::constraints::SetFixedSettings({f});
    Run(0);
    EXPECT_EQ(1, Get("bCollate"));
    EXPECT_EQ(0, Get("bJobOffset"));  // its second feature is fixed
    nvx::constraints::SetFixedSettings({});
    Run(0);
    EXPECT_EQ(1, Get("bJobOffset"));
}

// A fixed feature's control stays read-only after every check, also after a
// check of another control; without the fixed setting the same check leaves it be.
TEST_F(Rules, FixedSettingsAreReadOnlyOnTheDialog) {
    LoadRules(Json::array());
    const int collate = nvx::features::FindUiItem(items_, "Collate");
    ASSERT_GE(collate, 0);
    const uint32_t id = items_->rows[collate].control;
    uitest::TemplateBuilder t(DS_SETFONT | WS_POPUP | WS_VISIBLE, 200, 100);
    t.Control(static_cast<WORD>(id), 0x0080, nullptr, WL("Collate"), BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP, 10,
              10, 100, 14);
    HWND dialog = CreateDialogIndirectParamW(
        nullptr, t.Get(), nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(nullptr, dialog);
    HWND box = GetDlgItem(dialog, static_cast<int>(id));
    Run(0, dialog);
    EXPECT_TRUE(IsWindowEnabled(box));
    nvx::constraints::FixedSetting f{};
    std::strcpy(f.feature, "Collate");
    std::strcpy(f.option, "CollateON");
    nvx::constraints::SetFixedSettings({f});
    Run(0, dialog);
    EXPECT_FALSE(IsWindowEnabled(box));
    EXPECT_EQ(1, Get("bCollate"));
    EnableWindow(box, TRUE);
    Run(static_cast<uint16_t>(id), dialog);
    EXPECT_FALSE(IsWindowEnabled(box));
    nvx::constraints::SetFixedSettings({});
    DestroyWindow(dialog);
}

TEST_F(Rules, ContextsWithoutBookletsForbidAndRefuseThem) {
    SetSlot(nvx::model::MessageTable::Constraint, 70, "no booklet");
    SetSlot(nvx::model::MessageTable::Constraint, 71, "no poster");
    LoadRules(Json::array());
    noBooklet_ = true;
    Run(0);
    EXPECT_TRUE(Forbidden("Nup_op", "2x2"));
    EXPECT_TRUE(Forbidden("Nup_op", "4x4"));
    EXPECT_FALSE(Forbidden("Nup_op", "2up"));
    EXPECT_TRUE(Forbidden("DoubleSides", "Booklet"));
    Set("nDuplex", 3);
    EXPECT_EQ(kCheckRefused, Run(1286));
    Set("nDuplex", 2);
    EXPECT_EQ(kCheckStands, Run(1286));
    Set("bNup", 1);
    Set("nNup", 8);
    EXPECT_EQ(kCheckRefused, Run(1025));
    ASSERT_EQ(2u, boxes_.size());
    EXPECT_EQ("Not possible: \nno booklet", boxes_[0].text);
    EXPECT_EQ("Not possible: \nno poster", boxes_[1].text);
    // A context that can: the whole-sheet check lifts the marks.
    noBooklet_ = false;
    Run(0);
    EXPECT_FALSE(Forbidden("Nup_op", "2x2"));
    EXPECT_EQ(kCheckStands, Run(1025));
}

TEST_F(Rules, CustomSizesCountAsTheirKindOfPaper) {
    LoadRules(Json::array({
        Rule("change", "Collate", "CollateON", {{"PaperSize", "eq", "UserPaper"}}, "c0 end"),
        Rule("change", "JobOffset", "JobOffsetON", {{"PaperSize", "eq", "UserLongLengthPaper"}}, "c0 end"),
    }));
    Set("bCollate", 0);
    Set("bJobOffset", 0);
    Set("nPaperSize", 9);  // A4 is no custom size
    Run(0);
    EXPECT_EQ(0, Get("bCollate"));
    Set("nPaperSize", 256);
    Set("sizInUserDefPaperMM.cx", 2100);
    Set("sizInUserDefPaperMM.cy", 2970);
    Run(0);
    EXPECT_EQ(1, Get("bCollate"));
    EXPECT_EQ(0, Get("bJobOffset"));
    Set("sizInUserDefPaperMM.cy", 9000);  // beyond the normal length: long-length paper
    Run(0);
    EXPECT_EQ(1, Get("bJobOffset"));
}

TEST_F(Rules, ModeOneAndMissingPiecesChangeNothing) {
    LoadRules(Json::array({Rule("change", "Collate", "CollateON", {{"PaperSize", "eq", "A4"}}, "c0 end")}));
    Set("bCollate", 0);
    EXPECT_EQ(0u, DoConstraints(1, 0, 0, 0, 0xFFFFFFFFu, 0));
    EXPECT_EQ(0u, DoConstraints(7, 0, 0, 1000, 0xFFFFFFFFu, 0));
    nvx::constraints::CheckContext none;  // no record
    EXPECT_EQ(kCheckStands, nvx::constraints::RunCheck(none, Tables()));
    nvx::constraints::EngineTables noItems = Tables();
    noItems.items = nullptr;
    ctx_ = {};
    ctx_.record = record_.data();
    EXPECT_EQ(kCheckStands, nvx::constraints::RunCheck(ctx_, noItems));
    EXPECT_EQ(0, Get("bCollate"));
}

}  // namespace

namespace {

// Conditions on a device option read the printer's device-option record: its slot
// is the option's row in the device-option table.  Without a record the rule
// decides nothing.
TEST_F(Rules, DeviceOptionConditionsReadThePrintersDeviceOptions) {
    LoadRules(Json::array({
        Rule("change", "Staple", "StapleOFF", {{"OpStaplerUnit", "eq", "Stapler_None"}}, "c0 end"),
        Rule("prohibit", "Staple", "StapleON", {{"OpStaplerUnit", "eq", "Stapler_None"}}, "c0 end",
             Json::array({cstest::Act("constraint_message", 12)})),
    }));
    const auto* table = built_->tables.deviceOptions;
    ASSERT_NE(nullptr, table);
    const auto* stapler = table->Find("OpStaplerUnit");
    ASSERT_NE(nullptr, stapler);
    std::vector<BYTE> options(nvx::settings::kDevOptionSize, 0);
    nvx::settings::SetOptionValue(options.data(), stapler->index, 1);  // Stapler_Inner
    auto run = [&](uint16_t control, const BYTE* devopt) {
        ctx_ = nvx::constraints::CheckContext{};
        ctx_.record = record_.data();
        ctx_.control = control;
        ctx_.deviceOptions = devopt;
        return nvx::constraints::RunCheck(ctx_, Tables());
    };
    Set("bStaple", 1);
    EXPECT_EQ(kCheckStands, run(0, options.data()));
    EXPECT_EQ(1, Get("bStaple")) << "a stapler is installed";
    EXPECT_EQ(kCheckStands, run(0, nullptr));
    EXPECT_EQ(1, Get("bStaple")) << "no record: the device counts as equipped";
    nvx::settings::SetOptionValue(options.data(), stapler->index, 0);  // Stapler_None
    EXPECT_EQ(kCheckStands, run(0, options.data()));
    EXPECT_EQ(0, Get("bStaple")) << "no stapler: stapling goes off";
    // Choosing it again is refused with the reason.
    Set("bStaple", 1);
    answer_ = IDOK;
    EXPECT_EQ(kCheckRefused, run(1026, options.data()));
    ASSERT_FALSE(boxes_.empty());
    EXPECT_NE(std::string::npos, boxes_.back().text.find("refusal 12"));
    // Another option's slot does not count.
    nvx::settings::SetOptionValue(options.data(), stapler->index, 1);
    nvx::settings::SetOptionValue(options.data(), stapler->index + 1, 0);
    Set("bStaple", 1);
    EXPECT_EQ(kCheckStands, run(0, options.data()));
    EXPECT_EQ(1, Get("bStaple"));
}

}  // namespace

namespace {

// A confirmation lists every change, even when the list is far longer than one
// message slot (290 characters): nothing is cut before the 1023-character limit.
TEST_F(Rules, ALongConfirmationIsShownWhole) {
    const std::string tail(200, 'x');
    for (unsigned i = 10; i < 14; ++i) {
        const std::string n = std::to_string(i);
        std::string text = "change ";
        text += n;
        text += ' ';
        text += tail;
        text += " end";
        text += n;
        SetSlot(nvx::model::MessageTable::Change, i, text);
    }
    LoadRules(Json::array({
        Rule("change", "Collate", "CollateON", {{"Orientation", "eq", "Landscape"}}, "c0 end",
             Json::array({cstest::Act("change_message", 10)})),
        Rule("change", "JobOffset", "JobOffsetON", {{"Orientation", "eq", "Landscape"}}, "c0 end",
             Json::array({cstest::Act("change_message", 11)})),
        Rule("change", "PaperOption1", "PaperOption1ON", {{"Orientation", "eq", "Landscape"}}, "c0 end",
             Json::array({cstest::Act("change_message", 12)})),
        Rule("change", "PaperOption2", "PaperOption2ON", {{"Orientation", "eq", "Landscape"}}, "c0 end",
             Json::array({cstest::Act("change_message", 13)})),
    }));
    Set("nOrientation", 2);
    answer_ = IDYES;
    EXPECT_EQ(kCheckStands, Run(1023));
    ASSERT_EQ(1u, boxes_.size());
    const std::string& text = boxes_[0].text;
    EXPECT_GT(text.size(), 800u);
    for (const char* end : {"end10", "end11", "end12", "end13"}) EXPECT_NE(std::string::npos, text.find(end)) << end;
    EXPECT_EQ(0u, text.find("These settings change: \n")) << "the header's line break is shown as one";
}

}  // namespace

// Condition results are kept for the check until a rule writes a value: a
// condition that a change rule read before the write is read again after it.
TEST_F(Rules, AConditionIsReadAgainAfterARuleWritesItsItem) {
    LoadRules(Json::array({
        Rule("change", "MediaType", "Thick1", {{"PaperSize", "eq", "A5"}}, "c0 end"),
        // Reads MediaType == Thick1 before the first rule's value is written.
        Rule("change", "JobOffset", "JobOffsetON", {{"MediaType", "eq", "Thick1"}, {"PaperSize", "eq", "Letter"}},
             "c0 c1 and end"),
        Rule("prohibit", "InTray", "Tray2", {{"MediaType", "eq", "Thick1"}}, "c0 end"),
    }));
    const uint8_t* thick = Option("MediaType", "Thick1");
    ASSERT_NE(nullptr, thick);
    ASSERT_NE(nullptr, Option("InTray", "Tray2"));
    Set("nPaperSize", 11);  // A5
    Set("nMediaType", nvx::features::Value(thick) + 1);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_EQ(nvx::features::Value(thick), Get("nMediaType"));
    EXPECT_TRUE(Forbidden("InTray", "Tray2"));
    // And the kept results of one check do not reach the next one.
    Set("nPaperSize", 9);
    Set("nMediaType", nvx::features::Value(thick) + 1);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_FALSE(Forbidden("InTray", "Tray2"));
}

// Custom-size keywords of one list name one option record: a later prohibition
// through another keyword cannot lift the mark an earlier one set in the pass,
// however the lookups are kept.
TEST_F(Rules, ProhibitionsThroughKeywordsOfOneRecordDecideTogether) {
    LoadRules(Json::array({
        Rule("prohibit", "PaperSize", "UserPaper", {{"Orientation", "eq", "Landscape"}}, "c0 end"),
        Rule("prohibit", "PaperSize", "UserLargePaper", {{"Orientation", "eq", "Portrait"}}, "c0 end"),
        Rule("prohibit", "PaperSize", "UserLongLengthPaper", {{"Orientation", "eq", "Portrait"}}, "c0 end"),
    }));
    ASSERT_NE(nullptr, Option("PaperSize", "UserPaper"));
    Set("nOrientation", 2);  // landscape: the first rule holds, the later ones do not
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_TRUE(Forbidden("PaperSize", "UserPaper"));
    Set("nOrientation", 1);  // portrait: the first rule sets the mark off, the later ones on
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_TRUE(Forbidden("PaperSize", "UserPaper"));
    EXPECT_EQ(kCheckStands, Run(1020));
    EXPECT_TRUE(Forbidden("PaperSize", "UserPaper"));
}

// Expressions that only AND conditions are settled from a prepared mask: the
// result is still the top of the expression's stack (an operand left under it does
// not count), and a malformed list still never holds.
TEST_F(Rules, ExpressionsOfAndsDecideAsTheirTokensSay) {
    LoadRules(Json::array({
        Rule("prohibit", "PaperSize", "A5", {{"Orientation", "eq", "Landscape"}, {"InTray", "eq", "Tray1"}},
             "c0 c1 end"),
        Rule("prohibit", "PaperSize", "A4", {{"Orientation", "eq", "Landscape"}, {"InTray", "eq", "Tray1"}},
             "c1 c0 and c1 and end"),
        Rule("prohibit", "PaperSize", "B5", {{"Orientation", "eq", "Landscape"}}, "c0 and end"),
        Rule("prohibit", "PaperSize", "A3", {{"Orientation", "eq", "Landscape"}, {"InTray", "eq", "Tray1"}},
             "c1 end"),
    }));
    ASSERT_NE(nullptr, Option("PaperSize", "B5"));
    ASSERT_NE(nullptr, Option("PaperSize", "A3"));
    Set("nOrientation", 1);      // portrait: c0 false
    Set("nDefaultSource", 257);  // Tray1: c1 true
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_TRUE(Forbidden("PaperSize", "A5"));   // only c1 decides
    EXPECT_FALSE(Forbidden("PaperSize", "A4"));  // c0 is false
    EXPECT_FALSE(Forbidden("PaperSize", "B5"));  // malformed
    EXPECT_TRUE(Forbidden("PaperSize", "A3"));   // c0 is not in the expression
    Set("nOrientation", 2);
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_TRUE(Forbidden("PaperSize", "A4"));
    EXPECT_FALSE(Forbidden("PaperSize", "B5"));
    Set("nDefaultSource", 258);  // Tray2: c1 false
    EXPECT_EQ(kCheckStands, Run(0));
    EXPECT_FALSE(Forbidden("PaperSize", "A5"));
    EXPECT_FALSE(Forbidden("PaperSize", "A4"));
    EXPECT_FALSE(Forbidden("PaperSize", "A3"));
}
