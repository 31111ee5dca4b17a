// The preset combo on the Basic tab: filled from the printer's presets, a preset
// picked is applied, the combo follows the settings to Untitled and back, the order
// is written on apply, a read-only sheet cannot pick.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "common/proc.h"
#include "model/stores.h"
#include "pages/page_fixture.h"
#include "platform/host.h"
#include "presets/preset_store.h"
#include "settings/oemdev.h"
#include "settings/sheet_layout.h"
#include "settings/sheet_work.h"

namespace {

using pagetest::PageHost;

constexpr pagetest::PageDef kBasic{100, "Prc_DocPaper1Proc"};
constexpr pagetest::PageDef kVersion{106, "Prc_DocVersionProc"};

class PresetCombo : public PageHost {
protected:
    void SetUp() override {
        PageHost::SetUp();
        auto install = nvx::ProcAs<UINT_PTR (*)(const WCHAR*)>(Export("SetEasySetPreset"));
        ASSERT_TRUE(install);
        ASSERT_EQ(1u, install(WL("Pages Printer")));
    }
    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        HWND combo = Control(1132);
        const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            WCHAR text[64] = {};
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.push_back(Utf8(text));
        }
        return items;
    }
    std::string Shown() const {
        HWND combo = Control(1132);
        const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        WCHAR text[64] = {};
        if (sel >= 0) SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }
    std::string RecordName() const {
        const OEMDEV* r = nvx::settings::AsRecord(const_cast<nvx::host::HostSheet&>(sheet_).Record());
        return nvx::Utf8FromW(nvx::presets::RecordPresetName(*r));
    }
    uint64_t PresetsPointer() {
        uint64_t p = 0;
        std::memcpy(&p, sheet_.Block() + nvx::settings::layout::formA::kPageWork + 28488, sizeof p);
        return p;
    }
};

TEST_F(PresetCombo, PickFollowAndComeBack) {
    ASSERT_NE(nullptr, OpenSheet({kBasic, kVersion}));
    EXPECT_EQ("Preset:", Text(1131));
    // The template's record is no preset: Untitled after the list.
    EXPECT_EQ((std::vector<std::string>{"Default", "Booklet", "Eco", "Draft", "Untitled"}), Items());
    EXPECT_EQ("Untitled", Shown());
    EXPECT_NE(0u, PresetsPointer());  // the sheet's list, in the page work area at 28488
    // Save: the settings are no preset and there is room.  Edit: always on a sheet
    // that may apply.
    EXPECT_TRUE(IsWindowVisible(Control(1133)) && IsWindowEnabled(Control(1133)));
    EXPECT_TRUE(IsWindowVisible(Control(1134)) && IsWindowEnabled(Control(1134)));

    sheet_.ClearChangedMark();
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1132), WL("Eco")));
    EXPECT_EQ(2, Field("nDuplex"));
    EXPECT_EQ(1, Field("bTonerSave"));
    EXPECT_EQ(1, Field("byEasySetKind"));
    EXPECT_EQ("Eco", RecordName());
    EXPECT_EQ("Eco", Shown());
    EXPECT_EQ((std::vector<std::string>{"Default", "Booklet", "Eco", "Draft"}), Items());
    EXPECT_EQ(1u, sheet_.ChangedMark());
    EXPECT_FALSE(IsWindowEnabled(Control(1133)));  // a preset is shown: nothing to save

    // A covered setting changes: Untitled; changed back: Eco again.
    ASSERT_TRUE(NvxUi_Type(Control(1011), WL("2"), NVXUI_TYPE_REPLACE));
    EXPECT_EQ(2, Field("nCopies"));
    EXPECT_EQ("Untitled", Shown());
    EXPECT_EQ(3, Field("byEasySetKind"));
    EXPECT_EQ("", RecordName());
    ASSERT_TRUE(NvxUi_Type(Control(1011), WL("1"), NVXUI_TYPE_REPLACE));
    EXPECT_EQ("Eco", Shown());
    EXPECT_EQ(1, Field("byEasySetKind"));

    // Picking the Default entry: the printer's defaults, kind 0.
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1132), WL("Default")));
    EXPECT_EQ("Default", Shown());
    EXPECT_EQ(0, Field("byEasySetKind"));
    EXPECT_EQ(1, Field("nDuplex"));

    // Apply writes the display order under the user's key.
    ASSERT_TRUE(SendMessageW(sheetWindow_, PSM_APPLY, 0, 0));
    nvx::model::RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, nvx::model::OpenUserKey(printer_, &key));
    uint32_t count = 0;
    EXPECT_TRUE(nvx::model::ValueStore::OfKey(key.get()).ReadDword(WL("EasySetOrderCnt"), &count));
    EXPECT_EQ(4u, count);
    CloseSheet();
    EXPECT_EQ(0u, PresetsPointer());  // freed with the page that built it
}

TEST_F(PresetCombo, ARecordThatIsAPresetOpensOnIt) {
    SetField("nDuplex", 3);
    SetField("bCollate", 1);
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    // The record only resembles Booklet: without its name the combo says Untitled.
    EXPECT_EQ("Untitled", Shown());
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1132), WL("Booklet")));
    CloseSheet();
    // Opened again on the record now holding Booklet: selected, no Untitled item.
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    EXPECT_EQ("Booklet", Shown());
    EXPECT_EQ(4u, Items().size());
}

TEST_F(PresetCombo, ASheetThatMayNotApplyCannotPick) {
    sheet_.SetMayApply(0);
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    EXPECT_FALSE(IsWindowEnabled(Control(1132)));
    EXPECT_FALSE(IsWindowEnabled(Control(1133)));
    EXPECT_FALSE(IsWindowEnabled(Control(1134)));
    EXPECT_EQ("Untitled", Shown());
}

// The save dialog as a person fills it in: the name checks keep it open with their
// messages; OK stores the preset in its scope and the combo shows it.
class PresetSave : public PresetCombo {
protected:
    struct Fill {
        const WCHAR* name;
        bool shared;
        bool withPaper;
        int button;
        static void Drive(void* self, HWND dialog) {
            auto* f = static_cast<Fill*>(self);
            NvxUi_Type(GetDlgItem(dialog, 1901), f->name, NVXUI_TYPE_REPLACE);
            NvxUi_Type(GetDlgItem(dialog, 1906), WL("typed by hand"), NVXUI_TYPE_REPLACE);
            if ((SendDlgItemMessageW(dialog, 1904, BM_GETCHECK, 0, 0) == BST_CHECKED) != f->shared &&
                IsWindowEnabled(GetDlgItem(dialog, 1904)))
                NvxUi_Click(GetDlgItem(dialog, 1904));
            if (f->withPaper && GetDlgItem(dialog, 1920)) NvxUi_Click(GetDlgItem(dialog, 1920));
            NvxUi_PressButton(dialog, f->button);
            // A name refused: the dialog stays open; cancel it then.
            if (IsWindow(dialog) && IsWindowVisible(dialog)) NvxUi_PressButton(dialog, IDCANCEL);
        }
    };
    std::vector<nvx::WString> Stored(uint32_t scope) {
        std::vector<nvx::presets::EasySetEntry> read;
        if (scope == nvx::presets::kSharedScope) {
            nvx::presets::StoreValues shared(nvx::model::ValueStore::OfPrinter(printer_));
            nvx::presets::ReadPresetStore(shared, scope, &read);
        } else {
            nvx::model::RegKey key;
            if (nvx::model::OpenUserKey(printer_, &key) != ERROR_SUCCESS) return {};
            nvx::presets::StoreValues personal(nvx::model::ValueStore::OfKey(key.get()));
            nvx::presets::ReadPresetStore(personal, scope, &read);
        }
        std::vector<nvx::WString> names;
        for (const auto& e : read) names.push_back(e.Name());
        return names;
    }
    std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void Save(Fill& fill) {
        NvxUi_SetModalDriver(Fill::Drive, &fill);
        NvxUi_Click(Control(1133));
        NvxUi_SetModalDriver(nullptr, nullptr);
    }
};

TEST_F(PresetSave, NamesAreCheckedAndOkStoresThePreset) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    SetField("nCopies", 3);
    Fill empty{WL(""), false, false, IDOK};
    Save(empty);
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("has no name")) << Utf8(LastMessageBox().text);
    Fill taken{WL("Eco"), true, false, IDOK};
    Save(taken);
    ASSERT_EQ(2, MessageBoxCount());
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("\"Eco\" is in use")) << Utf8(LastMessageBox().text);
    EXPECT_TRUE(Stored(nvx::presets::kPersonalScope).empty());

    // The same name is free among the user's own presets.
    Fill mine{WL("Eco"), false, true, IDOK};
    Save(mine);
    EXPECT_EQ(2, MessageBoxCount());
    EXPECT_EQ(std::vector<nvx::WString>{WL("Eco")}, Stored(nvx::presets::kPersonalScope));
    EXPECT_EQ("Eco", Shown());
    EXPECT_EQ(2, Field("byEasySetKind"));
    EXPECT_EQ((std::vector<std::string>{"Default", "Booklet", "Eco", "Draft", "Eco"}), Items());
    // The sample model enables the content options: the preset takes the paper.
    nvx::model::RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, nvx::model::OpenUserKey(printer_, &key));
    nvx::presets::StoreValues personal(nvx::model::ValueStore::OfKey(key.get()));
    std::vector<nvx::presets::EasySetEntry> read;
    nvx::presets::ReadPresetStore(personal, nvx::presets::kPersonalScope, &read);
    ASSERT_EQ(1u, read.size());
    EXPECT_EQ(1, read[0].header.contentOptions[nvx::presets::kIncludePaper]);
    EXPECT_EQ(nvx::WString(WL("typed by hand")), read[0].Comment());
    // Cancel stores nothing.
    SetField("nCopies", 4);
    ASSERT_TRUE(NvxUi_Type(Control(1011), WL("4"), NVXUI_TYPE_REPLACE));
    Fill cancel{WL("Four"), false, false, IDCANCEL};
    Save(cancel);
    EXPECT_EQ(1u, Stored(nvx::presets::kPersonalScope).size());
}

TEST_F(PresetSave, AUserWhoMayNotAdministerSavesOnlyTheirOwn) {
    NvxPlatform_SetAdministrator(FALSE);
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    Fill shared{WL("Team"), true, false, IDOK};  // the shared box is cleared and disabled
    Save(shared);
    NvxPlatform_SetAdministrator(TRUE);
    EXPECT_EQ(std::vector<nvx::WString>{WL("Team")}, Stored(nvx::presets::kPersonalScope));
    EXPECT_EQ(3u, Stored(nvx::presets::kSharedScope).size());
}

// The edit dialog: a taken name keeps the selection with its message; moves,
// deletion after the question and OK reach the stores; Cancel changes nothing.
TEST_F(PresetSave, TheEditDialogRenamesMovesAndDeletes) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    Fill mine{WL("Mine"), false, false, IDOK};
    Save(mine);
    ASSERT_TRUE(NvxUi_Type(Control(1011), WL("2"), NVXUI_TYPE_REPLACE));
    Fill other{WL("Other"), false, false, IDOK};
    Save(other);
    ASSERT_EQ((std::vector<nvx::WString>{WL("Mine"), WL("Other")}), Stored(nvx::presets::kPersonalScope));

    struct Edit {
        static void Drive(void*, HWND dialog) {
            HWND list = GetDlgItem(dialog, 1907);
            EXPECT_EQ(6, SendMessageW(list, LB_GETCOUNT, 0, 0));
            EXPECT_EQ(5, SendMessageW(list, LB_GETCURSEL, 0, 0));  // Other, the sheet's preset
            // Taken: the message, the selection stays.
            NvxUi_Type(GetDlgItem(dialog, 1901), WL("Mine"), NVXUI_TYPE_REPLACE);
            NvxUi_ChooseListItem(list, 4);
            EXPECT_EQ(5, SendMessageW(list, LB_GETCURSEL, 0, 0));
            NvxUi_Type(GetDlgItem(dialog, 1901), WL("Renamed"), NVXUI_TYPE_REPLACE);
            NvxUi_Click(GetDlgItem(dialog, 1908));  // up, above Mine
            NvxUi_ChooseListItem(list, 5);         // Mine
            NvxUi_Click(GetDlgItem(dialog, 1910));  // delete: Yes
            NvxUi_PressButton(dialog, IDOK);
        }
    };
    AnswerMessageBoxes(IDYES);
    NvxUi_SetModalDriver(Edit::Drive, nullptr);
    NvxUi_Click(Control(1134));
    NvxUi_SetModalDriver(nullptr, nullptr);
    EXPECT_EQ(std::vector<nvx::WString>{WL("Renamed")}, Stored(nvx::presets::kPersonalScope));
    EXPECT_EQ("Renamed", Shown());  // the selection followed its entry
    EXPECT_EQ("Renamed", RecordName());
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("Delete the preset \"Mine\"?"));

    // Cancel: nothing changes.
    struct Cancel {
        static void Drive(void*, HWND dialog) {
            NvxUi_Click(GetDlgItem(dialog, 1910));
            NvxUi_PressButton(dialog, IDCANCEL);
        }
    };
    NvxUi_SetModalDriver(Cancel::Drive, nullptr);
    NvxUi_Click(Control(1134));
    NvxUi_SetModalDriver(nullptr, nullptr);
    EXPECT_EQ(std::vector<nvx::WString>{WL("Renamed")}, Stored(nvx::presets::kPersonalScope));
}

// Export a preset from the edit dialog and import the file back under another name;
// a file of another model is refused with its message.
TEST_F(PresetSave, TheEditDialogExportsAndImports) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    Fill mine{WL("Mine"), false, false, IDOK};
    Save(mine);
    static std::string file;
    file = Root() + "/mine.txt";
    struct Steps {
        static void ExportIt(void*, HWND dialog) {
            const nvx::WString path = nvx::WFromUtf8(file);
            NvxUi_Type(GetDlgItem(dialog, 1940), path.c_str(), NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dialog, IDOK);
        }
        static void ImportIt(void*, HWND dialog) {
            const nvx::WString path = nvx::WFromUtf8(file);
            NvxUi_Type(GetDlgItem(dialog, 1940), path.c_str(), NVXUI_TYPE_REPLACE);
            NvxUi_Type(GetDlgItem(dialog, 1901), WL("Copy"), NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dialog, IDOK);
        }
        static void Edit(void*, HWND dialog) {
            NvxUi_SetModalDriver(ExportIt, nullptr);
            NvxUi_Click(GetDlgItem(dialog, 1912));
            NvxUi_SetModalDriver(ImportIt, nullptr);
            NvxUi_Click(GetDlgItem(dialog, 1911));
            NvxUi_SetModalDriver(Edit, nullptr);
            NvxUi_PressButton(dialog, IDOK);
        }
    };
    NvxUi_SetModalDriver(Steps::Edit, nullptr);
    NvxUi_Click(Control(1134));
    NvxUi_SetModalDriver(nullptr, nullptr);
    EXPECT_NE(std::string::npos, Read(file).find("name=\"Mine\""));
    EXPECT_EQ((std::vector<nvx::WString>{WL("Mine"), WL("Copy")}), Stored(nvx::presets::kPersonalScope));
    EXPECT_EQ(0, MessageBoxCount());

    // Another model's file: message 256, nothing added.
    std::string text = Read(file);
    text.replace(text.find("NOVRIX Fax Driver"), 17, "Other Driver");
    std::ofstream(file, std::ios::binary) << text;
    struct Refused {
        static void ImportIt(void*, HWND dialog) {
            const nvx::WString path = nvx::WFromUtf8(file);
            NvxUi_Type(GetDlgItem(dialog, 1940), path.c_str(), NVXUI_TYPE_REPLACE);
            NvxUi_Type(GetDlgItem(dialog, 1901), WL("Third"), NVXUI_TYPE_REPLACE);
            NvxUi_PressButton(dialog, IDOK);
            NvxUi_PressButton(dialog, IDCANCEL);
        }
        static void Edit(void*, HWND dialog) {
            NvxUi_SetModalDriver(ImportIt, nullptr);
            NvxUi_Click(GetDlgItem(dialog, 1911));
            NvxUi_SetModalDriver(Edit, nullptr);
            NvxUi_PressButton(dialog, IDOK);
        }
    };
    NvxUi_SetModalDriver(Refused::Edit, nullptr);
    NvxUi_Click(Control(1134));
    NvxUi_SetModalDriver(nullptr, nullptr);
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("another printer model (Other Driver)"))
        << Utf8(LastMessageBox().text);
    EXPECT_EQ(2u, Stored(nvx::presets::kPersonalScope).size());
}

}  // namespace
