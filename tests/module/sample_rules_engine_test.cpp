// The sample rule set run by the engine over a settings record: the conflicts a
// user meets on this device are corrected with the model's own messages, refused
// with its own reasons, and marked in whole-sheet checks.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "constraints/engine_fixture.h"
#include "support/driver_folder.h"

namespace {

using nvx::model::MessageTable;

class SampleRulesEngine : public cstest::EngineTest {
protected:
    void SetUp() override {
        cstest::EngineTest::SetUp();
        // The model's own texts in place of the fixture's.
        const char* entries[] = {"ChgMessageStr", "CstMessageStr", "ToolChipStr"};
        const MessageTable tables[] = {MessageTable::Change, MessageTable::Constraint, MessageTable::ToolTip};
        for (int i = 0; i < 3; ++i) {
            WCHAR* text = messages_.text[static_cast<unsigned>(tables[i])];
            std::fill(text, text + nvx::model::kMessageSlots * nvx::model::kMessageSlotChars, 0);
            ASSERT_TRUE(nvx::model::NumberedStringLoad(*pkg_, entries[i], text, nvx::model::kMessageSlotChars,
                                                       nvx::model::kMessageSlots));
        }
        std::ifstream in(nvxtest::BuiltDriverFolder() + "/NOVRIX_C.VPD", std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty());
        LoadBytes(bytes);
        answer_ = IDYES;
    }

    // A feature's value by option keyword, through the feature's settings field.
    int32_t Value(const char* feature, const char* option) {
        const uint8_t* rec = Option(feature, option);
        EXPECT_NE(nullptr, rec) << feature << " " << option;
        return rec ? nvx::features::Value(rec) : -1;
    }
    void SetTo(const char* feature, const char* option) { Set(Field(feature), Value(feature, option)); }
    void SetNumber(const char* feature, int32_t v) { Set(Field(feature), v); }
    bool Is(const char* feature, const char* option) { return Get(Field(feature)) == Value(feature, option); }
    int32_t Number(const char* feature) { return Get(Field(feature)); }
    static const char* Field(const char* feature) {
        const char* f = nvx::features::UiFieldNameOf(feature);
        EXPECT_NE(nullptr, f) << feature;
        return f ? f : "";
    }
    bool Shown(const std::string& words) {
        for (const cstest::Box& b : boxes_)
            if (b.text.find(words) != std::string::npos) return true;
        return false;
    }
};

TEST_F(SampleRulesEngine, ChoosingABookletCorrectsTheLayoutAfterConfirmation) {
    SetTo("Nup", "NupON");
    SetTo("Staple", "StapleON");
    SetTo("Collate", "CollateOFF");
    SetTo("DoubleSides", "Booklet");
    EXPECT_EQ(199u, Run(1286));
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("Confirm Settings Change", boxes_[0].caption);
    EXPECT_EQ(0u, boxes_[0].text.find("To use this setting, the following settings will be changed."));
    EXPECT_TRUE(Shown("Pages per Sheet will be turned off: a booklet")) << boxes_[0].text;
    EXPECT_TRUE(Shown("Collate will be turned on: booklets")) << boxes_[0].text;
    EXPECT_TRUE(Shown("Staple will be turned off: a folded booklet")) << boxes_[0].text;
    EXPECT_FALSE(Shown("Hole Punch"));  // already off: nothing to say
    EXPECT_TRUE(Is("Nup", "NupOFF"));
    EXPECT_TRUE(Is("Collate", "CollateON"));
    EXPECT_TRUE(Is("Staple", "StapleOFF"));

    // Declined: nothing the rules would change has changed.
    boxes_.clear();
    answer_ = IDNO;
    SetTo("DoubleSides", "Simplex");
    SetTo("Nup", "NupON");
    SetTo("DoubleSides", "Booklet");
    EXPECT_EQ(100u, Run(1286));
    EXPECT_TRUE(Is("Nup", "NupON"));
}

TEST_F(SampleRulesEngine, ImpossibleChoicesAreRefusedWithTheDevicesReason) {
    SetTo("PaperSize", "Env10");
    SetTo("InTray", "Tray2");
    EXPECT_EQ(101u, Run(1006));
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("Settings Conflict", boxes_[0].caption);
    EXPECT_TRUE(Shown("Envelopes cannot be fed from Tray 2. Use the Bypass Tray.")) << boxes_[0].text;

    boxes_.clear();
    SetTo("InTray", "BypassTray");
    SetTo("MediaType", "Labels");
    SetTo("DoubleSides", "Duplex");
    EXPECT_EQ(101u, Run(1286));
    EXPECT_TRUE(Shown("cannot be printed on both sides")) << (boxes_.empty() ? "" : boxes_[0].text);

    // The other direction is corrected, not refused: labels while printing 2-sided,
    // stapling while the inner tray is chosen.
    boxes_.clear();
    SetTo("PaperSize", "A4");
    SetTo("InTray", "Tray1");
    SetTo("MediaType", "Plain");
    SetTo("DoubleSides", "Duplex");
    SetTo("MediaType", "Labels");
    EXPECT_EQ(199u, Run(1003));
    EXPECT_TRUE(Is("DoubleSides", "Simplex"));
    EXPECT_TRUE(Shown("Print Type will be set to 1-Sided")) << (boxes_.empty() ? "" : boxes_[0].text);
    SetTo("MediaType", "Plain");
    SetTo("OutputTray", "InnerTray");
    SetTo("Staple", "StapleON");
    EXPECT_EQ(199u, Run(1026));
    EXPECT_TRUE(Is("OutputTray", "FinisherTray"));
    EXPECT_TRUE(Is("Collate", "CollateON"));

    // A whole-sheet check marks what cannot be chosen and never asks.
    boxes_.clear();
    SetTo("PaperSize", "Env10");
    SetTo("InTray", "BypassTray");
    SetTo("Staple", "StapleOFF");
    SetTo("DoubleSides", "Simplex");
    SetTo("MediaType", "Envelope");
    EXPECT_EQ(199u, Run(0));
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(Forbidden("InTray", "Tray1"));
    EXPECT_TRUE(Forbidden("InTray", "Tray2"));
    EXPECT_TRUE(Forbidden("InTray", "Tray3"));
    EXPECT_FALSE(Forbidden("InTray", "BypassTray"));
    EXPECT_TRUE(Forbidden("DoubleSides", "Duplex"));
    EXPECT_TRUE(Forbidden("Staple", "StapleON"));
    EXPECT_FALSE(Forbidden("PaperSize", "Env10"));
}

TEST_F(SampleRulesEngine, NumbersRadioRowsAndOutputMethodFollowTheRules) {
    // The zoom field keeps to 25 ... 400 %.
    SetTo("Zoom", "ZoomManual");
    SetNumber("ZoomValue", 10);
    EXPECT_EQ(199u, Run(1033));
    EXPECT_EQ(25, Number("ZoomValue"));
    SetNumber("ZoomValue", 999);
    EXPECT_EQ(199u, Run(1033));
    EXPECT_EQ(400, Number("ZoomValue"));
    EXPECT_TRUE(Shown("Zoom will be set to 400%"));

    // Pages per sheet moves the zoom radio rows to Auto.
    SetTo("Nup", "NupON");
    EXPECT_EQ(199u, Run(1779));
    EXPECT_TRUE(Is("Zoom", "ZoomAuto"));

    // A proof copy needs two collated copies.
    boxes_.clear();
    SetTo("Nup", "NupOFF");
    SetNumber("Copies", 1);
    SetTo("Collate", "CollateOFF");
    SetTo("OutputMethod", "OutputProof");
    EXPECT_EQ(199u, Run(1138));
    EXPECT_EQ(2, Number("Copies"));
    EXPECT_TRUE(Is("Collate", "CollateON"));
    EXPECT_TRUE(Shown("Copies will be set to 2")) << (boxes_.empty() ? "" : boxes_[0].text);

    // 1200 dpi turns toner save off.
    SetTo("Dnst_TonerSave", "Dnst_TonerSaveON");
    SetTo("Resolution", "1200dpi");
    EXPECT_EQ(199u, Run(1931));
    EXPECT_TRUE(Is("Dnst_TonerSave", "Dnst_TonerSaveOFF"));
}

}  // namespace
