// A constraint engine over the sample model's tables, with rule files written in
// the test and a settings record of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "constraints/engine.h"
#include "constraints/prepared_rules.h"
#include "features/ui_items.h"
#include "model/messages.h"
#include "model/package_block.h"
#include "module/catalogue_test_util.h"
#include "platform/ui_host.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"
#include "settings/settings_state.h"
#include "support/platform_test.h"

namespace cstest {

using cattest::Json;

// An action [code, parameter].
inline Json Act(const char* code, int param) { return Json::array({code, param}); }

// One message box as the responder saw it.
struct Box {
    std::string caption;
    std::string text;
    UINT type;
};

class EngineTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        nvx::settings::PrepareSettings();
        pkg_ = cattest::Open(cattest::SampleSource());
        built_ = std::make_unique<cattest::Built>(*pkg_);
        ASSERT_TRUE(built_->ok);
        nvx::features::UiBuildInputs in;
        in.record = built_->tables.record;
        in.deviceOptions = built_->tables.deviceOptions;
        items_ = nvx::features::BuildUiItemTable(in);
        ASSERT_NE(nullptr, items_);
        nvx::model::AllocateMessageTables(messages_);
        SetSlot(nvx::model::MessageTable::Change, 0, "Change title");
        SetSlot(nvx::model::MessageTable::Change, 1, "These settings change:\\n");
        SetSlot(nvx::model::MessageTable::Constraint, 0, "Refused title");
        SetSlot(nvx::model::MessageTable::Constraint, 1, "Not possible:\\n");
        SetSlot(nvx::model::MessageTable::ToolTip, 1, "Why:");
        for (unsigned i = 10; i < 20; ++i) {
            const std::string n = std::to_string(i);
            SetSlot(nvx::model::MessageTable::Change, i, "change " + n);
            SetSlot(nvx::model::MessageTable::Constraint, i, "refusal " + n);
            SetSlot(nvx::model::MessageTable::ToolTip, i, "tip " + n);
        }
        record_.assign(nvx::settings::kOemDevSize, 0);
        std::memcpy(record_.data(), &nvx::settings::DefaultTemplate(), record_.size());
        NvxUi_SetMessageBoxResponder(&EngineTest::Respond, this);
        NvxUi_ClearLog();
    }
    void TearDown() override {
        NvxUi_SetMessageBoxResponder(nullptr, nullptr);
        nvx::constraints::FreeRules(rules_);
        nvx::constraints::SetFixedSettings({});
        nvx::model::FreeMessageTables(messages_);
        nvx::features::FreeUiItemTable(items_);
        built_.reset();
        nvx::settings::ReleaseSettings();
        PlatformTest::TearDown();
    }

    void SetSlot(nvx::model::MessageTable table, unsigned slot, const std::string& text) {
        WCHAR* p = messages_.text[static_cast<unsigned>(table)] + slot * nvx::model::kMessageSlotChars;
        nvx::WCopy(p, nvx::model::kMessageSlotChars, nvx::WFromUtf8(text));
    }

    // Compiles a block source with these rules and prepares it against the table.
    void LoadRules(const Json& rules) { LoadSource(Json{{"layout", "block"}, {"rules", rules}}); }
    void LoadSource(const Json& source) {
        bytes_ = vpdc::Compile(source);
        LoadBytes(bytes_);
    }
    void LoadBytes(const std::vector<uint8_t>& bytes) {
        bytes_ = bytes;
        auto pkg = nvx::model::Package::OpenImage(bytes_.data(), bytes_.size());
        block_.Clear();
        if (pkg) block_.Load(*pkg);
        nvx::constraints::FreeRules(rules_);
        rules_ = nvx::constraints::PrepareRules(block_, items_, false);
        ASSERT_NE(nullptr, rules_);
    }

    nvx::constraints::EngineTables Tables() {
        nvx::constraints::EngineTables t;
        t.items = items_;
        t.rules = rules_;
        t.messages = &messages_;
        t.record = built_->tables.record;
        return t;
    }

    uint32_t Run(uint16_t control, HWND dialog = nullptr) {
        ctx_ = nvx::constraints::CheckContext{};
        ctx_.record = record_.data();
        ctx_.control = control;
        ctx_.dialog = dialog;
        ctx_.noBooklet = noBooklet_;
        return nvx::constraints::RunCheck(ctx_, Tables());
    }

    int32_t Get(const char* field) { return nvx::settings::GetNumber(*nvx::settings::AsRecord(record_.data()), field); }
    void Set(const char* field, int32_t v) {
        ASSERT_TRUE(nvx::settings::SetNumber(*nvx::settings::AsRecord(record_.data()), field, v)) << field;
    }
    // The option record of a feature's option in the item's list.
    const uint8_t* Option(const char* feature, const char* option) {
        const nvx::features::UiItem* item = items_->Row(nvx::features::FindUiItem(items_, feature));
        return item ? nvx::features::FindKeyword(item->options, option) : nullptr;
    }
    bool Forbidden(const char* feature, const char* option) {
        const uint8_t* rec = Option(feature, option);
        return rec && nvx::features::Forbidden(rec);
    }

    static int Respond(void* self, HWND, LPCWSTR caption, LPCWSTR text, UINT type) {
        auto* t = static_cast<EngineTest*>(self);
        t->boxes_.push_back({nvx::Utf8FromW(caption), nvx::Utf8FromW(text), type});
        return t->answer_;
    }

    nvx::model::PackagePtr pkg_;
    std::unique_ptr<cattest::Built> built_;
    nvx::features::UiItemTable* items_ = nullptr;
    nvx::model::MessageTables messages_;
    nvx::model::ConstraintBlock block_;
    nvx::constraints::PreparedRules* rules_ = nullptr;
    std::vector<uint8_t> bytes_;
    std::vector<BYTE> record_;
    nvx::constraints::CheckContext ctx_;
    std::vector<Box> boxes_;
    int answer_ = IDYES;
    bool noBooklet_ = false;
};

// A rule in the block source's form.
inline Json Rule(Json kind, const char* target, const char* targetOption, Json conditions, const char* expr,
                 Json actions = Json::array(), const char* option = nullptr) {
    Json r{{"kind", kind}, {"target", target}, {"target_option", targetOption}, {"conditions", conditions},
           {"expr", expr}, {"actions", actions}};
    if (option) r["option"] = option;
    return r;
}

}  // namespace cstest
