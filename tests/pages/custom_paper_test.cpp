// The custom paper list (entries, limits, stored form, spooler forms) and the
// custom paper list dialog driven from the Basic tab.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "features/custom_paper_list.h"
#include "pages/page_fixture.h"
#include "settings/oemdev.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::features;
using nvx::features::SizeUnit;
using pagetest::PageHost;

constexpr pagetest::PageDef kBasic{100, "Prc_DocPaper1Proc"};

std::vector<std::string> FormNames(HANDLE printer) {
    DWORD needed = 0, count = 0;
    EnumFormsW(printer, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    std::vector<std::string> names;
    if (!EnumFormsW(printer, 1, buffer.data(), needed, &needed, &count)) return names;
    const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (forms[i].Flags == FORM_USER) names.push_back(nvx::Utf8FromW(forms[i].pName));
    return names;
}

FORM_INFO_1W FormOf(HANDLE printer, const WCHAR* name, std::vector<BYTE>* buffer) {
    DWORD needed = 0;
    GetFormW(printer, const_cast<LPWSTR>(name), 1, nullptr, 0, &needed);
    buffer->assign(needed ? needed : sizeof(FORM_INFO_1W), 0);
    FORM_INFO_1W form{};
    if (GetFormW(printer, const_cast<LPWSTR>(name), 1, buffer->data(), needed, &needed))
        form = *reinterpret_cast<FORM_INFO_1W*>(buffer->data());
    return form;
}

CustomPaperList ListOf(std::initializer_list<const WCHAR*> names) {
    CustomPaperList list{};
    int32_t w = 100000;
    for (const WCHAR* n : names) PutCustomPaper(&list, 10, n, w += 1000, 297000, 0);
    return list;
}

// ---- Entries and their limits ----

TEST(CustomPaperEntries, TenEntriesOrNineAndNamesReplace) {
    for (uint32_t capacity : {10u, 9u}) {
        CustomPaperList list{};
        for (uint32_t i = 0; i < capacity; ++i) {
            const nvx::WString name = nvx::WFromUtf8("Paper " + std::to_string(i));
            ASSERT_EQ(EntryProblem::None, PutCustomPaper(&list, capacity, name, 100000, 200000, 0)) << i;
        }
        EXPECT_EQ(EntryProblem::Full, PutCustomPaper(&list, capacity, WL("One more"), 100000, 200000, 0));
        EXPECT_EQ(capacity, list.count);
        // A name already there (any case) replaces its entry even in a full list.
        EXPECT_EQ(EntryProblem::None, PutCustomPaper(&list, capacity, WL("PAPER 3"), 150000, 250000, 1));
        EXPECT_EQ(capacity, list.count);
        EXPECT_EQ(150000, list.entries[3].width);
        EXPECT_EQ(1, list.entries[3].unit);
        EXPECT_EQ(250000, list.entries[3].area[3]) << "the imageable area is the whole sheet";
    }
    CustomPaperList list = ListOf({WL("A"), WL("B"), WL("C")});
    ASSERT_TRUE(RemoveCustomPaper(&list, 0));
    EXPECT_EQ(2u, list.count);
    EXPECT_EQ(nvx::WString(WL("B")), list.entries[0].name);
    EXPECT_FALSE(RemoveCustomPaper(&list, 2));
    EXPECT_EQ(EntryProblem::Name, PutCustomPaper(&list, 10, WL(""), 1, 1, 0));
    EXPECT_EQ(EntryProblem::Name,
              PutCustomPaper(&list, 10, WL("12345678901234567890123456789012"), 1, 1, 0)) << "32 characters";
}

TEST(CustomPaperEntries, CheckAgainstTheRangeAndParseTheFields) {
    const nvx::features::SizeRange range{900, 2970, 1390, 12000};
    EXPECT_EQ(EntryProblem::None, CheckEntry(WL("X"), 900, 12000, range));
    EXPECT_EQ(EntryProblem::Width, CheckEntry(WL("X"), 899, 2000, range));
    EXPECT_EQ(EntryProblem::Length, CheckEntry(WL("X"), 2000, 12001, range));
    EXPECT_EQ(EntryProblem::Name, CheckEntry(WL(""), 2000, 2000, range));
    int32_t um = 0;
    ASSERT_TRUE(ParseSizeMicrons(WL("210"), SizeUnit::Mm, &um));
    EXPECT_EQ(210000, um);
    ASSERT_TRUE(ParseSizeMicrons(WL("8.27"), SizeUnit::Inch, &um));
    EXPECT_EQ(210058, um);
    ASSERT_TRUE(ParseSizeMicrons(WL("0.5"), SizeUnit::Mm, &um));
    EXPECT_EQ(500, um);
    for (const WCHAR* bad : {WL(""), WL("."), WL("1.2345"), WL("1.2.3"), WL("-5"), WL("12a"), WL("9999999999")})
        EXPECT_FALSE(ParseSizeMicrons(bad, SizeUnit::Mm, &um)) << nvx::Utf8FromW(bad);
    EXPECT_EQ("210", nvx::Utf8FromW(SizeMicronsText(210058, SizeUnit::Mm, false).c_str()));
    EXPECT_EQ("210.1", nvx::Utf8FromW(SizeMicronsText(210058, SizeUnit::Mm, true).c_str()));
    EXPECT_EQ("8.27", nvx::Utf8FromW(SizeMicronsText(210058, SizeUnit::Inch, false).c_str()));
    EXPECT_EQ("8.270", nvx::Utf8FromW(SizeMicronsText(210058, SizeUnit::Inch, true).c_str()));
}

TEST(CustomPaperEntries, StoredBytesAreCheckedBeforeUse) {
    const CustomPaperList list = ListOf({WL("Wide"), WL("Long")});
    const auto* bytes = reinterpret_cast<const BYTE*>(&list);
    CustomPaperList out;
    ASSERT_TRUE(DecodeCustomPaperList(bytes, sizeof list, 10, &out));
    EXPECT_EQ(2u, out.count);
    EXPECT_EQ(nvx::WString(WL("Long")), out.entries[1].name);
    EXPECT_FALSE(DecodeCustomPaperList(bytes, sizeof list - 1, 10, &out)) << "wrong size";
    EXPECT_EQ(0u, out.count);
    CustomPaperList bad = list;
    bad.count = 10;
    EXPECT_FALSE(DecodeCustomPaperList(reinterpret_cast<const BYTE*>(&bad), sizeof bad, 9, &out)) << "too many";
    bad = list;
    for (WCHAR& c : bad.entries[0].name) c = 'x';  // no terminator
    EXPECT_FALSE(DecodeCustomPaperList(reinterpret_cast<const BYTE*>(&bad), sizeof bad, 10, &out));
    bad = list;
    bad.entries[1].length = 0;
    EXPECT_FALSE(DecodeCustomPaperList(reinterpret_cast<const BYTE*>(&bad), sizeof bad, 10, &out));
}

TEST(CustomPaperEntries, ALimitedFeedCutsTheImageableBottom) {
    const CustomPaperList list = ListOf({WL("Banner")});
    CustomPaperEntry e = list.entries[0];
    e.length = 1300000;
    e.area[3] = 1300000;
    EXPECT_EQ(1200000, CustomPaperForm(e, 3, 12000).ImageableArea.bottom);
    EXPECT_EQ(1300000, CustomPaperForm(e, 2, 12000).ImageableArea.bottom) << "only feed type 3";
    EXPECT_EQ(1300000, CustomPaperForm(e, 3, 0).ImageableArea.bottom) << "no maximum given";
    e.length = 1000000;
    e.area[3] = 1000000;
    EXPECT_EQ(1000000, CustomPaperForm(e, 3, 12000).ImageableArea.bottom);
    const FORM_INFO_1W form = CustomPaperForm(e, 0, 0);
    EXPECT_EQ(DWORD(FORM_USER), form.Flags);
    EXPECT_EQ(1000000, form.Size.cy);
}

// ---- Stored with the printer, registered as forms ----

class CustomPaperStore : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        printer_ = nvxtest::AddTestPrinter(WL("Paper Printer"));
        ASSERT_NE(nullptr, printer_);
    }
    void TearDown() override {
        for (const std::string& name : FormNames(printer_)) {
            nvx::WString w = nvx::WFromUtf8(name);
            DeleteFormW(printer_, w.data());
        }
        ClosePrinter(printer_);
        PlatformTest::TearDown();
    }
    HANDLE printer_ = nullptr;
};

TEST_F(CustomPaperStore, ASavedListReplacesThePreviousForms) {
    const CustomPaperList first = ListOf({WL("Old One"), WL("Kept")});
    CustomPaperSave done = SaveCustomPaperList(printer_, CustomPaperList{}, first, false, 0, 0);
    EXPECT_TRUE(done.stored);
    EXPECT_EQ(2u, done.formsAdded);
    EXPECT_EQ((std::vector<std::string>{"Old One", "Kept"}), FormNames(printer_));
    CustomPaperList second = ListOf({WL("Kept"), WL("New One")});
    done = SaveCustomPaperList(printer_, first, second, false, 0, 0);
    EXPECT_EQ(2u, done.formsDeleted);
    EXPECT_EQ(2u, done.formsAdded);
    EXPECT_EQ((std::vector<std::string>{"Kept", "New One"}), FormNames(printer_));
    std::vector<BYTE> buffer;
    const FORM_INFO_1W form = FormOf(printer_, WL("New One"), &buffer);
    EXPECT_EQ(second.entries[1].width, form.Size.cx);
    EXPECT_EQ(297000, form.Size.cy);
    EXPECT_EQ(297000, form.ImageableArea.bottom);
    // The printer keeps the list: read back as it was stored.
    const CustomPaperList read = LoadCustomPaperList(printer_);
    ASSERT_EQ(2u, read.count);
    EXPECT_EQ(nvx::WString(WL("New One")), read.entries[1].name);
}

TEST_F(CustomPaperStore, BuiltInFormsStayAndTheNoFormFlagRegistersNothing) {
    // A previous entry named like a built-in form: the built-in form is not deleted.
    CustomPaperList previous = ListOf({WL("Letter")});
    CustomPaperSave done = SaveCustomPaperList(printer_, previous, ListOf({WL("Mine")}), true, 0, 0);
    EXPECT_TRUE(done.stored);
    EXPECT_EQ(0u, done.formsAdded);
    EXPECT_TRUE(FormNames(printer_).empty());
    EXPECT_EQ(1u, LoadCustomPaperList(printer_).count) << "stored all the same";
    done = SaveCustomPaperList(printer_, previous, ListOf({WL("Mine")}), false, 0, 0);
    EXPECT_EQ(0u, done.formsDeleted);
    std::vector<BYTE> buffer;
    EXPECT_EQ(215900, FormOf(printer_, WL("Letter"), &buffer).Size.cx);
    EXPECT_EQ((std::vector<std::string>{"Mine"}), FormNames(printer_));
}

TEST_F(CustomPaperStore, AUseOnlyHandleStoresThroughAnAdministeringOneAndAFailureKeepsTheForms) {
    SaveCustomPaperList(printer_, CustomPaperList{}, ListOf({WL("Before")}), false, 0, 0);
    HANDLE use = nullptr;
    nvx::WString name(WL("Paper Printer"));
    ASSERT_TRUE(OpenPrinterW(name.data(), &use, nullptr));
    CustomPaperSave done = SaveCustomPaperList(use, ListOf({WL("Before")}), ListOf({WL("After")}), false, 0, 0);
    ClosePrinter(use);
    EXPECT_TRUE(done.stored);
    EXPECT_EQ((std::vector<std::string>{"After"}), FormNames(printer_));
    // Without a printer to store in nothing is touched.
    done = SaveCustomPaperList(INVALID_HANDLE_VALUE, ListOf({WL("After")}), CustomPaperList{}, false, 0, 0);
    EXPECT_FALSE(done.stored);
    EXPECT_EQ((std::vector<std::string>{"After"}), FormNames(printer_));
}

// ---- The dialog, opened from the Basic tab ----

class CustomPaperDialog : public PageHost {
protected:
    void TearDown() override {
        for (const std::string& name : FormNames(printer_)) {
            nvx::WString w = nvx::WFromUtf8(name);
            DeleteFormW(printer_, w.data());
        }
        PageHost::TearDown();
    }
    // Runs the dialog from the Basic tab's button with a driver.
    template <typename Drive>
    void RunDialog(Drive drive) {
        struct Holder {
            Drive* drive;
            static void Run(void* self, HWND dlg) { (*static_cast<Holder*>(self)->drive)(dlg); }
        } holder{&drive};
        NvxUi_SetModalDriver(Holder::Run, &holder);
        ASSERT_TRUE(NvxUi_Click(Control(1551)));
        NvxUi_SetModalDriver(nullptr, nullptr);
    }
    static void Enter(HWND dlg, const WCHAR* name, const WCHAR* width, const WCHAR* length) {
        NvxUi_Type(GetDlgItem(dlg, 1553), name, NVXUI_TYPE_REPLACE);
        NvxUi_Type(GetDlgItem(dlg, 1555), width, NVXUI_TYPE_REPLACE);
        NvxUi_Type(GetDlgItem(dlg, 1559), length, NVXUI_TYPE_REPLACE);
    }
    static int Lines(HWND dlg) { return static_cast<int>(SendMessageW(GetDlgItem(dlg, 1547), LB_GETCOUNT, 0, 0)); }
    static std::string Line(HWND dlg, int i) {
        WCHAR text[128] = {};
        SendMessageW(GetDlgItem(dlg, 1547), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        return nvx::Utf8FromW(text);
    }
};

TEST_F(CustomPaperDialog, EntriesAddedAreStoredAndRegisteredOnOk) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    std::string range, line, inchLine;
    RunDialog([&](HWND dlg) {
        range = TextOf(GetDlgItem(dlg, 3533));
        Enter(dlg, WL("Postcard Wide"), WL("200"), WL("148"));
        NvxUi_PressButton(dlg, 1549);
        line = Line(dlg, 0);
        NvxUi_SetCheck(GetDlgItem(dlg, 1241), BST_CHECKED);
        inchLine = Line(dlg, 0);
        Enter(dlg, WL("Banner"), WL("8.5"), WL("40"));  // inches, not added yet: OK keeps it
        NvxUi_PressButton(dlg, IDOK);
    });
    EXPECT_EQ("mm [90...297]", range);
    EXPECT_EQ("Postcard Wide\t(200 x 148mm)", line);
    EXPECT_EQ("Postcard Wide\t(7.87 x 5.83inch)", inchLine);
    EXPECT_EQ((std::vector<std::string>{"Postcard Wide", "Banner"}), FormNames(printer_));
    std::vector<BYTE> buffer;
    const FORM_INFO_1W banner = FormOf(printer_, WL("Banner"), &buffer);
    EXPECT_EQ(215900, banner.Size.cx);
    EXPECT_EQ(1016000, banner.Size.cy);
    const CustomPaperList stored = LoadCustomPaperList(printer_);
    ASSERT_EQ(2u, stored.count);
    EXPECT_EQ(1, stored.entries[1].unit);
    EXPECT_EQ(2100, Field("sizInUserDefPaperMM.cx")) << "the document's own custom size is untouched";

    // Opened again: the sheet's list; deleting one and OK deletes its form.
    int shown = 0;
    RunDialog([&](HWND dlg) {
        shown = Lines(dlg);
        NvxUi_Type(GetDlgItem(dlg, 1553), WL("postcard wide"), NVXUI_TYPE_REPLACE);  // selects it
        NvxUi_PressButton(dlg, 1550);
        SetDlgItemTextW(dlg, 1553, WL(""));
        NvxUi_PressButton(dlg, IDOK);
    });
    EXPECT_EQ(2, shown);
    EXPECT_EQ((std::vector<std::string>{"Banner"}), FormNames(printer_));
    EXPECT_EQ(1u, LoadCustomPaperList(printer_).count);
}

TEST_F(CustomPaperDialog, TheListStopsAtItsCapacityAndCancelKeepsTheSheetsList) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    int lines = 0;
    RunDialog([&](HWND dlg) {
        for (int i = 0; i < 11; ++i) {
            const nvx::WString name = nvx::WFromUtf8("Size " + std::to_string(i));
            Enter(dlg, name.c_str(), WL("200"), WL("300"));
            NvxUi_PressButton(dlg, 1549);
        }
        lines = Lines(dlg);
        SetDlgItemTextW(dlg, 1553, WL(""));
        NvxUi_PressButton(dlg, IDOK);
    });
    EXPECT_EQ(static_cast<int>(CustomPaperCapacity()), lines) << "nine in this build's multifunction variant";
    EXPECT_EQ(CustomPaperCapacity(), LoadCustomPaperList(printer_).count);
    // Cancel: nothing added, nothing registered.
    RunDialog([&](HWND dlg) {
        NvxUi_PressButton(dlg, 1550);
        Enter(dlg, WL("Dropped"), WL("200"), WL("300"));
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(CustomPaperCapacity(), FormNames(printer_).size());
    EXPECT_EQ(CustomPaperCapacity(), LoadCustomPaperList(printer_).count);
}

TEST_F(CustomPaperDialog, ASizeTheRulesLeaveKeepsItsExactMicrometres) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    RunDialog([&](HWND dlg) {
        NvxUi_SetCheck(GetDlgItem(dlg, 1241), BST_CHECKED);
        Enter(dlg, WL("Inch Wide"), WL("8.27"), WL("11.693"));  // 210.058 x 297.002 mm
        NvxUi_PressButton(dlg, IDOK);
    });
    const CustomPaperList stored = LoadCustomPaperList(printer_);
    ASSERT_EQ(1u, stored.count);
    EXPECT_EQ(210058, stored.entries[0].width) << "not the 0.1 mm the check saw (210100)";
    EXPECT_EQ(297002, stored.entries[0].length);
}

TEST_F(CustomPaperDialog, ASheetThatMayNotApplyShowsTheListOnly) {
    sheet_.SetMayApply(0);
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    bool addEnabled = true, okEnabled = true, cancelEnabled = false;
    RunDialog([&](HWND dlg) {
        addEnabled = IsWindowEnabled(GetDlgItem(dlg, 1549));
        okEnabled = IsWindowEnabled(GetDlgItem(dlg, IDOK));
        cancelEnabled = IsWindowEnabled(GetDlgItem(dlg, IDCANCEL));
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    EXPECT_FALSE(addEnabled);
    EXPECT_FALSE(okEnabled);
    EXPECT_TRUE(cancelEnabled);
}

TEST_F(CustomPaperDialog, AnEntryOutsideTheRangeKeepsTheDialogOpen) {
    ASSERT_NE(nullptr, OpenSheet({kBasic}));
    bool stillOpen = false;
    HWND focus = nullptr;
    RunDialog([&](HWND dlg) {
        Enter(dlg, WL("Too Narrow"), WL("50"), WL("300"));
        NvxUi_PressButton(dlg, IDOK);
        stillOpen = IsWindow(dlg) && IsWindowVisible(dlg);
        focus = GetFocus() == GetDlgItem(dlg, 1555) ? GetFocus() : nullptr;
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_NE(nullptr, focus) << "the focus goes to the width";
    EXPECT_TRUE(FormNames(printer_).empty());
}

}  // namespace
