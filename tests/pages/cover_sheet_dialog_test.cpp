// The fax cover sheet dialog through its export, driven as a person would: its
// four tabs, their checks on leaving, the set dialogs, the check window, and what
// OK and Cancel leave in the record and the store.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/le.h"
#include "fax/cover_sheet.h"
#include "page_fixture.h"
#include "settings/oemdev.h"

namespace {

using namespace nvx::fax;
using nvx::WString;
using Bytes = std::vector<BYTE>;

const WCHAR* const kMaker = WL("VELMORA");
const WCHAR* const kDriver = WL("NOVRIX Fax Driver");
const WCHAR* const kPrinter = WL("Pages Printer");
const WCHAR* const kCoverPath = WL("Software\\VELMORA\\NOVRIX Fax Driver\\Pages Printer\\FaxCoverSheet");
const WCHAR* const kSetsPath = WL("Software\\VELMORA\\NOVRIX Fax Driver\\Pages Printer\\FaxCoverSheet\\CoverSheetSet");

enum : int {
    kSetList = 2030, kSave = 2034, kEdit = 2035, kTabs = 2036, kDefaults = 1032,
    kStyle = 1960, kCoverSize = 1974, kSubject = 1962, kPagesOn = 1970, kPages = 1971, kComment = 1972,
    kDetails = 1980, kTitle = 1979, kCompany = 1986, kName = 1990, kRead = 1993,
    kSenderOnFirst = 2010, kSenderTextFirst = 2016,
    kPaste = 2022, kFile = 2023, kX = 2027, kCheck = 2029,
    kSetName = 2033, kSets = 2031, kSetDelete = 2042,
};

template <typename T>
Bytes BytesOf(const T& v) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&v);
    return Bytes(p, p + sizeof v);
}

using Fn = UINT_PTR (*)(HWND, const WCHAR*, const WCHAR*, UINT, void*, void*, UINT_PTR, void*, UINT_PTR);

class CoverSheetDialogTest : public pagetest::PageHost {
protected:
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        pagetest::PageHost::TearDown();
    }
    // Runs the dialog; each modal dialog it opens (the cover sheet dialog first)
    // is driven by the next step.
    UINT_PTR Run(CoverSheetRecord* record, std::deque<std::function<void(HWND)>> steps, UINT mayApply = 1,
                 const std::vector<BYTE>* destinations = nullptr) {
        struct Holder {
            std::deque<std::function<void(HWND)>>* steps;
            static void Drive(void* self, HWND dlg) {
                auto* h = static_cast<Holder*>(self);
                if (h->steps->empty()) return;  // cancelled as Escape would
                auto step = std::move(h->steps->front());
                h->steps->pop_front();
                step(dlg);
            }
        } holder{&steps};
        NvxUi_SetModalDriver(Holder::Drive, &holder);
        auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(Export("FaxCoverSheet_PopupDialog")));
        OEMDEV devmode{};
        const UINT_PTR count = destinations ? destinations->size() / 652 : 0;
        UINT_PTR r = fn(nullptr, kPrinter, kDriver, mayApply, record, &devmode, count,
                        destinations ? const_cast<BYTE*>(destinations->data()) : nullptr, 0);
        NvxUi_SetModalDriver(nullptr, nullptr);
        return r;
    }
    // The tab page at index, and a control on it.
    static HWND Page(HWND dlg, int index) {
        const int marks[] = {kStyle, kTitle, kSenderOnFirst, kPaste};
        for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (GetDlgItem(c, marks[index])) return c;
        }
        return nullptr;
    }
    static HWND On(HWND dlg, int page, int id) { return GetDlgItem(Page(dlg, page), id); }
    static void Type(HWND control, const WCHAR* text) { NvxUi_Type(control, text, NVXUI_TYPE_REPLACE); }
    static bool Visible(HWND w) { return IsWindowVisible(w) != FALSE; }
    static std::string Text(HWND w) {
        WCHAR text[512] = {};
        GetWindowTextW(w, text, 512);
        return nvx::Utf8FromW(text);
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (int i = 0; i < NvxUi_LogCount(); ++i) {
            NvxUiLogEntry e{};
            NvxUi_GetLogEntry(i, &e);
            if (e.kind == NVXUI_LOG_MESSAGEBOX) texts.push_back(nvx::Utf8FromW(e.text));
        }
        return texts;
    }
    // Every value of the printer's cover sheet keys, as bytes.
    static std::vector<std::pair<std::string, Bytes>> StoreBytes() {
        std::vector<std::pair<std::string, Bytes>> out;
        for (const WCHAR* path : {kCoverPath, kSetsPath}) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
                out.push_back({"(no key)", {}});
                continue;
            }
            for (DWORD i = 0;; ++i) {
                WCHAR name[256];
                DWORD nameChars = 256, size = 0;
                if (RegEnumValueW(key, i, name, &nameChars, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) break;
                Bytes data(size);
                nameChars = 256;
                RegEnumValueW(key, i, name, &nameChars, nullptr, nullptr, data.data(), &size);
                out.push_back({nvx::Utf8FromW(name), data});
            }
            RegCloseKey(key);
        }
        return out;
    }
    static std::vector<BYTE> Destination(const WCHAR* name, const WCHAR* fax, const WCHAR* company,
                                         const WCHAR* department) {
        std::vector<BYTE> d(652, 0);
        auto put = [&](size_t unit, const WCHAR* text) {
            for (size_t i = 0; text[i]; ++i) nvx::PutLE16(&d[(unit + i) * 2], text[i]);
        };
        put(0, name);
        put(81, fax);
        put(162, company);
        put(243, department);
        return d;
    }
};

TEST_F(CoverSheetDialogTest, EditsReachTheRecordOnlyWithOk) {
    CoverSheetRecord record = DefaultCoverSheet();
    ASSERT_EQ(1u, Run(&record, {[](HWND dlg) {
                  // The basic tab is in front; the other pages are hidden.
                  EXPECT_TRUE(Visible(Page(dlg, 0)));
                  EXPECT_FALSE(Visible(Page(dlg, 3)));
                  EXPECT_EQ("Untitled", Text(GetDlgItem(dlg, kSetList)));
                  NvxUi_ChooseComboIndex(On(dlg, 0, kStyle), 2);
                  EXPECT_TRUE(NvxUi_ChooseComboText(On(dlg, 0, kCoverSize), WL("A4 Portrait")));
                  // Text put in as a paste would: control characters are no part of a field.
                  SetWindowTextW(On(dlg, 0, kSubject), WL("Fig\x01ur\tes"));
                  EXPECT_EQ("Fig\x01ur\tes", Text(On(dlg, 0, kSubject)));
                  Type(On(dlg, 0, kComment), WL("one\r\ntwo"));
                  ASSERT_TRUE(NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 2));
                  EXPECT_TRUE(Visible(Page(dlg, 2)));
                  NvxUi_Click(On(dlg, 2, kSenderOnFirst + 5));
                  Type(On(dlg, 2, kSenderTextFirst + 5), WL("fax@example.org"));
                  NvxUi_PressButton(dlg, IDOK);
              }}));
    EXPECT_EQ(2, record.basic.style);
    EXPECT_EQ(9, record.coverSize);  // the model's value of "FcsA4Portrait"
    EXPECT_EQ(WString(WL("Figures")), FieldText(record.basic.subject));
    EXPECT_EQ(WString(WL("one\r\ntwo")), FieldText(record.basic.comment));
    EXPECT_EQ(1, record.sender.items[kSenderEmail].on);
    EXPECT_EQ(WString(WL("fax@example.org")), FieldText(record.sender.items[kSenderEmail].text));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(CoverSheetDialogTest, CancelLeavesRecordAndStoreAsTheyWere) {
    CoverSheetRecord record = DefaultCoverSheet();
    std::vector<CoverSheetSet> sets;
    ASSERT_EQ(SaveSetResult::Saved, AppendSet(&sets, WL("Kept"), record));
    ASSERT_TRUE(WriteSets(kMaker, kDriver, kPrinter, sets).ok());
    record.basic.style = 1;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WriteCoverSheet(kMaker, kDriver, kPrinter, record));
    const Bytes before = BytesOf(record);
    const auto storeBefore = StoreBytes();
    EXPECT_EQ(2u, Run(&record, {[](HWND dlg) {
                  NvxUi_ChooseComboIndex(On(dlg, 0, kStyle), 3);
                  NvxUi_ChooseComboIndex(GetDlgItem(dlg, kSetList), 0);  // the set "Kept"
                  Type(On(dlg, 0, kSubject), WL("changed"));
                  NvxUi_PressButton(dlg, IDCANCEL);
              }}));
    EXPECT_EQ(before, BytesOf(record));
    EXPECT_EQ(storeBefore, StoreBytes());
}

TEST_F(CoverSheetDialogTest, PageCountIsCheckedOnLeavingTheBasicTab) {
    CoverSheetRecord record = DefaultCoverSheet();
    EXPECT_EQ(1u, Run(&record, {[](HWND dlg) {
                  NvxUi_Click(On(dlg, 0, kPagesOn));
                  Type(On(dlg, 0, kPages), WL("0"));
                  NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 1);
                  EXPECT_TRUE(Visible(Page(dlg, 0)));  // refused: the page stays in front
                  NvxUi_PressButton(dlg, IDOK);        // refused again
                  EXPECT_TRUE(IsWindow(dlg));
                  Type(On(dlg, 0, kPages), WL("9999"));
                  NvxUi_PressButton(dlg, IDOK);
              }}));
    const auto boxes = Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("The value is out of range. \nEnter a page count between 1 and 9999.", boxes[0]);
    EXPECT_EQ(1, record.basic.pagesOn);
    EXPECT_EQ(9999, record.basic.pageCount);
}

TEST_F(CoverSheetDialogTest, AnEmptyStandardTitleIsReplacedByTheFirst) {
    CoverSheetRecord record = DefaultCoverSheet();
    EXPECT_EQ(1u, Run(&record, {[](HWND dlg) {
                  NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 1);
                  NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 0);  // the empty title is refused
                  EXPECT_TRUE(Visible(Page(dlg, 1)));
                  EXPECT_EQ("To all concerned", Text(On(dlg, 1, kTitle)));
                  NvxUi_PressButton(dlg, IDOK);
              }}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("Choose or enter a title for the recipient.", Boxes()[0]);
    EXPECT_EQ(WString(WL("To all concerned")), FieldText(record.recipient.title));
}

TEST_F(CoverSheetDialogTest, ReadTakesTheFirstDestinationAndAsksBeforeReplacing) {
    std::vector<BYTE> destinations = Destination(WL("A. Reader"), WL("0123"), WL("Acme"), WL("Sales"));
    std::vector<BYTE> second = Destination(WL("B"), WL("9"), WL("Other"), WL("x"));
    destinations.insert(destinations.end(), second.begin(), second.end());
    CoverSheetRecord record = DefaultCoverSheet();
    nvx::fax::SetField(record.recipient.title, WL("To all"));
    EXPECT_EQ(1u, Run(&record, {[](HWND dlg) {
                  NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 1);
                  NvxUi_Click(On(dlg, 1, kDetails));
                  NvxUi_Click(On(dlg, 1, kRead));
                  EXPECT_EQ("Acme", Text(On(dlg, 1, kCompany)));
                  NvxUi_PressButton(dlg, IDOK);
              }},
                      1, &destinations));
    EXPECT_TRUE(Boxes().empty());  // nothing held text: nobody was asked
    EXPECT_EQ(WString(WL("A. Reader")), FieldText(record.recipient.name));
    EXPECT_EQ(WString(WL("0123")), FieldText(record.recipient.fax));
    EXPECT_EQ(WString(WL("Sales")), FieldText(record.recipient.department));

    // Now the fields hold text: No keeps them.
    AnswerMessageBoxes(IDNO);
    nvx::fax::SetField(record.recipient.company, WL("Mine"));
    EXPECT_EQ(1u, Run(&record, {[](HWND dlg) {
                  NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 1);
                  NvxUi_Click(On(dlg, 1, kRead));
                  NvxUi_PressButton(dlg, IDOK);
              }},
                      1, &destinations));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ(WString(WL("Mine")), FieldText(record.recipient.company));

    // Without destinations the button does nothing.
    CoverSheetRecord none = record;
    EXPECT_EQ(1u, Run(&none, {[](HWND dlg) {
                  NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 1);
                  EXPECT_FALSE(IsWindowEnabled(On(dlg, 1, kRead)));
                  NvxUi_PressButton(dlg, IDOK);
              }}));
    EXPECT_EQ(BytesOf(record.recipient), BytesOf(none.recipient));
}

TEST_F(CoverSheetDialogTest, TheImageMustBeABitmapWithItsPositionInRange) {
    const std::string bitmapPath = driver_.Folder() + "/logo.bmp";
    {
        std::string b(70, '\0');
        b[0] = 'B';
        b[1] = 'M';
        nvx::PutLE32(&b[10], 54);
        nvx::PutLE32(&b[14], 40);
        nvx::PutLE32(&b[18], 2);
        nvx::PutLE32(&b[22], 2);
        nvx::PutLE16(&b[26], 1);
        nvx::PutLE16(&b[28], 24);
        driver_.Write("logo.bmp", b);
        driver_.Write("notes.bmp", std::string(80, 'x'));
    }
    const WString good = driver_.WidePath("logo.bmp"), bad = driver_.WidePath("notes.bmp");
    const WString missing = driver_.WidePath("missing.bmp");
    CoverSheetRecord record = DefaultCoverSheet();
    EXPECT_EQ(1u, Run(&record, {[&](HWND dlg) {
                  NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 3);
                  NvxUi_Click(On(dlg, 3, kPaste));
                  Type(On(dlg, 3, kFile), missing.c_str());
                  NvxUi_PressButton(dlg, IDOK);
                  Type(On(dlg, 3, kFile), bad.c_str());
                  NvxUi_PressButton(dlg, IDOK);
                  Type(On(dlg, 3, kFile), good.c_str());
                  Type(On(dlg, 3, kX), WL("0"));
                  NvxUi_PressButton(dlg, IDOK);  // X is set to 1 and the page stays
                  EXPECT_EQ("1", Text(On(dlg, 3, kX)));
                  NvxUi_PressButton(dlg, IDOK);
              }}));
    const auto boxes = Boxes();
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ("The file could not be read.", boxes[0]);
    EXPECT_EQ("The file could not be read.", boxes[1]);
    EXPECT_EQ("The value is out of range. \nEnter a position X between 1 and 100.", boxes[2]);
    EXPECT_EQ(1, record.image.paste);
    EXPECT_EQ(good, FieldText(record.image.file));
    EXPECT_EQ(1, record.image.x);
}

TEST_F(CoverSheetDialogTest, TheCheckButtonOpensTheCheckWindow) {
    CoverSheetRecord record = DefaultCoverSheet();
    record.image.x = 30;
    record.image.y = 40;
    EXPECT_EQ(2u, Run(&record, {[](HWND dlg) {
                  NvxUi_SelectTab(GetDlgItem(dlg, kTabs), 3);
                  NvxUi_Click(On(dlg, 3, kCheck));
                  NvxUi_PressButton(dlg, IDCANCEL);
              }}));
    ASSERT_EQ(1u, Boxes().size());
    EXPECT_EQ("The cover sheet has no image.", Boxes()[0]);
}

TEST_F(CoverSheetDialogTest, SetsAreSavedRefusedAndEdited) {
    CoverSheetRecord record = DefaultCoverSheet();
    auto saveAs = [](const WCHAR* name) {
        return [name](HWND save) {
            Type(GetDlgItem(save, kSetName), name);
            NvxUi_PressButton(save, IDOK);
            if (IsWindow(save)) NvxUi_PressButton(save, IDCANCEL);  // refused
        };
    };
    EXPECT_EQ(1u, Run(&record, {[](HWND dlg) {
                                    NvxUi_ChooseComboIndex(On(dlg, 0, kStyle), 1);
                                    NvxUi_Click(GetDlgItem(dlg, kSave));
                                    EXPECT_EQ("Weekly", Text(GetDlgItem(dlg, kSetList)));
                                    NvxUi_ChooseComboIndex(On(dlg, 0, kStyle), 2);
                                    EXPECT_EQ("Untitled", Text(GetDlgItem(dlg, kSetList)));
                                    NvxUi_Click(GetDlgItem(dlg, kSave));  // the same name
                                    NvxUi_Click(GetDlgItem(dlg, kSave));  // no name
                                    NvxUi_Click(GetDlgItem(dlg, kSave));
                                    NvxUi_PressButton(dlg, IDOK);
                                },
                                saveAs(WL("Weekly")), saveAs(WL("Weekly")), saveAs(WL("")), saveAs(WL("Monthly"))}));
    const auto boxes = Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("The setting cannot be changed because it is locked by the administrator. \n"
              "Cover sheet settings named \"Weekly\" already exist. Enter another name.",
              boxes[0]);
    EXPECT_EQ("The settings conflict with each other. \nEnter a name for the cover sheet settings.", boxes[1]);
    std::vector<CoverSheetSet> sets = ReadSets(kMaker, kDriver, kPrinter);
    ASSERT_EQ(2u, sets.size());
    EXPECT_EQ(WString(WL("Weekly")), FieldText(sets[0].name));
    EXPECT_EQ(1, sets[0].basic.style);
    EXPECT_EQ(WString(WL("Monthly")), FieldText(sets[1].name));
    EXPECT_EQ(WString(WL("Monthly")), FieldText(record.setName));

    // Edit: delete the first set, OK writes the rest; Cancel writes nothing.
    const auto storeBefore = StoreBytes();
    EXPECT_EQ(2u, Run(&record, {[](HWND dlg) {
                                    NvxUi_Click(GetDlgItem(dlg, kEdit));
                                    NvxUi_PressButton(dlg, IDCANCEL);
                                },
                                [](HWND edit) {
                                    NvxUi_Click(GetDlgItem(edit, kSetDelete));
                                    NvxUi_PressButton(edit, IDCANCEL);
                                }}));
    EXPECT_EQ(storeBefore, StoreBytes());
    EXPECT_EQ(2u, Run(&record, {[](HWND dlg) {
                                    NvxUi_Click(GetDlgItem(dlg, kEdit));
                                    NvxUi_PressButton(dlg, IDCANCEL);
                                },
                                [](HWND edit) {
                                    EXPECT_EQ(2, SendMessageW(GetDlgItem(edit, kSets), LB_GETCOUNT, 0, 0));
                                    NvxUi_Click(GetDlgItem(edit, kSetDelete));
                                    NvxUi_PressButton(edit, IDOK);
                                }}));
    sets = ReadSets(kMaker, kDriver, kPrinter);
    ASSERT_EQ(1u, sets.size());
    EXPECT_EQ(WString(WL("Monthly")), FieldText(sets[0].name));
}

TEST_F(CoverSheetDialogTest, WithoutPermissionTheTabsTakeNoInput) {
    CoverSheetRecord record = DefaultCoverSheet();
    EXPECT_EQ(2u, Run(&record, {[](HWND dlg) {
                  EXPECT_FALSE(IsWindowEnabled(On(dlg, 0, kStyle)));
                  EXPECT_FALSE(IsWindowEnabled(On(dlg, 0, kDefaults)));
                  EXPECT_FALSE(IsWindowEnabled(On(dlg, 3, kPaste)));
                  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, kSave)));
                  NvxUi_PressButton(dlg, IDCANCEL);
              }},
                      0));
}

TEST_F(CoverSheetDialogTest, ANullRecordIsRefused) {
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(Export("FaxCoverSheet_PopupDialog")));
    EXPECT_EQ(static_cast<UINT_PTR>(-1), fn(nullptr, kPrinter, kDriver, 1, nullptr, nullptr, 0, nullptr, 0));
}

}  // namespace
