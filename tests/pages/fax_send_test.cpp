// The fax transmission dialog as the host opens it through Popup_FaxSendToDlg:
// the host's buffers before and after OK and Cancel, adding, refusing and deleting
// destinations, the per-job fax settings, the cover sheet switch and settings.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/le.h"
#include "fax/cover_sheet.h"
#include "features/fax.h"
#include "pages/fax_send.h"
#include "pages/page_fixture.h"
#include "settings/oemdev.h"

namespace {

using pagetest::PageHost;
namespace f = nvx::fax;
namespace s = nvx::fax::setting;

class FaxSend : public PageHost {
protected:
    struct Buffers {
        int32_t count = -7;
        std::vector<BYTE> array = std::vector<BYTE>(f::kDestinationArrayBytes, 0xEE);
        std::vector<BYTE> cover = std::vector<BYTE>(3746, 0x5A);
        std::vector<BYTE> setting = std::vector<BYTE>(f::kSettingSize, 0);
        HANDLE printer = nullptr;
        std::vector<BYTE> record = std::vector<BYTE>(sizeof(OEMDEV), 0x11);
        std::vector<BYTE> devOption = std::vector<BYTE>(6676, 0);
        void* block[7] = {};
        void Wire() {
            void* p[7] = {&count, array.data(), cover.data(), setting.data(), &printer, record.data(),
                          devOption.data()};
            std::memcpy(block, p, sizeof p);
        }
        bool operator==(const Buffers& o) const {
            return count == o.count && array == o.array && cover == o.cover && setting == o.setting &&
                   record == o.record && devOption == o.devOption;
        }
    };

    void SetUp() override {
        PageHost::SetUp();
        host_.printer = printer_;
        host_.Wire();
        AnswerMessageBoxes(IDOK);
    }
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        PageHost::TearDown();
    }

    // Opens the dialog; `drive` acts on every modal dialog by its template number.
    UINT_PTR Run(std::function<void(int, HWND)> drive) {
        drive_ = std::move(drive);
        NvxUi_SetModalDriver(
            [](void* self, HWND dialog) {
                static_cast<FaxSend*>(self)->drive_(Kind(dialog), dialog);
            },
            this);
        using Fn = UINT_PTR (*)(UINT_PTR);
        auto popup = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Export("Popup_FaxSendToDlg")));
        return popup(reinterpret_cast<UINT_PTR>(host_.block));
    }

    // Which dialog it is (the module runs its templates from a copy in memory, so
    // the template number is not known to the host): told by a control of its own.
    static int Kind(HWND dialog) {
        if (GetDlgItem(dialog, 2047)) return 180;
        if (GetDlgItem(dialog, 2580)) return 2575;
        if (GetDlgItem(dialog, 1943)) return 181;
        return NvxUi_DialogResourceId(dialog);
    }
    static bool Type(HWND dialog, int id, const WCHAR* text) {
        return NvxUi_Type(GetDlgItem(dialog, id), text, NVXUI_TYPE_REPLACE) != FALSE;
    }
    static bool Click(HWND dialog, int id) { return NvxUi_Click(GetDlgItem(dialog, id)) != FALSE; }
    static void AddDestination(HWND dialog, const WCHAR* name, const WCHAR* number) {
        Type(dialog, 1990, name);
        Type(dialog, 2053, number);
        Click(dialog, 2041);
    }
    static int Rows(HWND dialog) {
        return static_cast<int>(SendMessageW(GetDlgItem(dialog, 2047), LVM_GETITEMCOUNT, 0, 0));
    }
    static std::string Cell(HWND dialog, int row, int column) {
        WCHAR text[128] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(GetDlgItem(dialog, 2047), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return nvx::Utf8FromW(text);
    }
    std::string LastBoxText() const { return Utf8(LastMessageBox().text); }
    f::Destination Entry(int i) const { return f::ReadDestination(host_.array.data(), i); }

    Buffers host_;
    std::function<void(int, HWND)> drive_;
    bool details_ok_ = false;
};

TEST_F(FaxSend, CancelLeavesEveryHostBufferAsItWas) {
    host_.setting[s::kTimerSend] = 1;
    const Buffers before = host_;
    EXPECT_EQ(2u, Run([](int id, HWND dialog) {
                  if (id != 180) return;
                  AddDestination(dialog, WL("Ann"), WL("0301"));
                  Click(dialog, 2052);  // cover sheet on
                  NvxUi_PressButton(dialog, IDCANCEL);
              }));
    EXPECT_TRUE(before == host_);
}

TEST_F(FaxSend, OkHandsTheHostTheListTheCoverSheetSwitchAndTheSettings) {
    int rowsSeen = 0;
    std::string counter, ecmCell;
    EXPECT_EQ(1u, Run([&](int id, HWND dialog) {
                  if (id != 180) return;
                  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK))) << "OK needs a destination";
                  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 2041))) << "Add needs a number";
                  AddDestination(dialog, WL("Ann"), WL("0301"));
                  AddDestination(dialog, WL("Bob"), WL("0302#"));
                  // V.34 off and ECM off for the third.
                  NvxUi_SetCheck(GetDlgItem(dialog, 2046), BST_UNCHECKED);
                  NvxUi_SetCheck(GetDlgItem(dialog, 2044), BST_UNCHECKED);
                  AddDestination(dialog, WL("Cy"), WL("P-0303*"));
                  rowsSeen = Rows(dialog);
                  WCHAR text[64] = {};
                  GetDlgItemTextW(dialog, 2048, text, 64);
                  counter = nvx::Utf8FromW(text);
                  ecmCell = Cell(dialog, 2, 4);
                  EXPECT_EQ("", Cell(dialog, 0, 2)) << "company stays empty";
                  Click(dialog, 2052);
                  NvxUi_PressButton(dialog, IDOK);
              }));
    EXPECT_EQ(3, rowsSeen);
    EXPECT_EQ("Recipients: 3/100  ", counter);
    EXPECT_EQ("Off", ecmCell);
    ASSERT_EQ(3, host_.count);
    EXPECT_EQ(nvx::WString(WL("Ann")), Entry(0).name);
    EXPECT_EQ(nvx::WString(WL("0302#")), Entry(1).number);
    EXPECT_TRUE(Entry(0).ecm && Entry(0).v34 && !Entry(0).international);
    EXPECT_FALSE(Entry(2).ecm);
    EXPECT_FALSE(Entry(2).v34);
    // The rest of the array is cleared, so the host never reads a stale entry.
    EXPECT_EQ(std::vector<BYTE>(f::kDestinationSize, 0),
              std::vector<BYTE>(host_.array.begin() + 3 * f::kDestinationSize,
                                host_.array.begin() + 4 * f::kDestinationSize));
    EXPECT_EQ(1, host_.setting[s::kCoverSheet]);
    EXPECT_EQ(std::vector<BYTE>(sizeof(OEMDEV), 0x11), host_.record) << "the job's record is read only";
}

TEST_F(FaxSend, V34AlwaysMeansEcmAndTheNumberKeepsOnlyDialCharacters) {
    std::string typed;
    bool ecmEnabled = true;
    Run([&](int id, HWND dialog) {
        if (id != 180) return;
        NvxUi_SetCheck(GetDlgItem(dialog, 2044), BST_UNCHECKED);  // refused while V.34 is on
        ecmEnabled = IsWindowEnabled(GetDlgItem(dialog, 2044)) != FALSE;
        Type(dialog, 2053, WL("12a3PT-#*"));
        WCHAR text[64] = {};
        GetDlgItemTextW(dialog, 2053, text, 64);
        typed = nvx::Utf8FromW(text);
        Type(dialog, 2053, WL("1234567890123456789012345678901234567890"));  // 40: two past
        GetDlgItemTextW(dialog, 2053, text, 64);
        EXPECT_EQ(38u, nvx::Utf8FromW(text).size());
        Click(dialog, 2041);
        NvxUi_PressButton(dialog, IDOK);
    });
    EXPECT_FALSE(ecmEnabled);
    EXPECT_EQ("123PT-#*", typed);
    ASSERT_EQ(1, host_.count);
    EXPECT_TRUE(Entry(0).ecm);
    EXPECT_EQ(38u, Entry(0).number.size());
}

TEST_F(FaxSend, ARepeatedNumberAndTheHundredAndFirstAreRefused) {
    int rows = 0;
    int boxesBefore = MessageBoxCount();
    std::string duplicateText, fullText;
    Run([&](int id, HWND dialog) {
        if (id != 180) return;
        AddDestination(dialog, WL("Ann"), WL("555"));
        NvxUi_SetCheck(GetDlgItem(dialog, 2046), BST_UNCHECKED);
        AddDestination(dialog, WL("Other name"), WL("555"));
        duplicateText = LastBoxText();
        for (int i = 1; i < 100; ++i) AddDestination(dialog, WL(""), nvx::WFromAscii(std::to_string(i)).c_str());
        EXPECT_EQ(100, Rows(dialog));
        AddDestination(dialog, WL(""), WL("999999"));
        fullText = LastBoxText();
        rows = Rows(dialog);
        NvxUi_PressButton(dialog, IDOK);
    });
    EXPECT_NE(std::string::npos, duplicateText.find("already in the list")) << duplicateText;
    EXPECT_NE(std::string::npos, fullText.find("at most 100")) << fullText;
    EXPECT_EQ(boxesBefore + 2, MessageBoxCount());
    EXPECT_EQ(100, rows);
    EXPECT_EQ(100, host_.count);
    EXPECT_EQ(nvx::WString(WL("99")), Entry(99).number);
}

TEST_F(FaxSend, DeletingRowsOneAndThreeKeepsTheOthersInOrder) {
    int rowsAfter = 0;
    Run([&](int id, HWND dialog) {
        if (id != 180) return;
        for (int i = 0; i < 5; ++i) AddDestination(dialog, WL(""), nvx::WFromAscii(std::to_string(i)).c_str());
        HWND list = GetDlgItem(dialog, 2047);
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
        SendMessageW(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));
        AnswerMessageBoxes(IDNO);
        Click(dialog, 2049);
        EXPECT_EQ(5, Rows(dialog)) << "No keeps them";
        AnswerMessageBoxes(IDYES);
        Click(dialog, 2049);
        rowsAfter = Rows(dialog);
        NvxUi_PressButton(dialog, IDOK);
    });
    EXPECT_EQ(3, rowsAfter);
    ASSERT_EQ(3, host_.count);
    EXPECT_EQ(nvx::WString(WL("0")), Entry(0).number);
    EXPECT_EQ(nvx::WString(WL("2")), Entry(1).number);
    EXPECT_EQ(nvx::WString(WL("4")), Entry(2).number);
}

TEST_F(FaxSend, FaxModeDetailsEditAPrivateCopyKeptOnlyOnOk) {
    Run([&](int id, HWND dialog) {
        if (id == 181) {
            NvxUi_SetCheck(GetDlgItem(dialog, 1942), BST_CHECKED);
            // An empty sub-address keeps the dialog open with its message.
            const int boxes = MessageBoxCount();
            NvxUi_PressButton(dialog, IDOK);
            EXPECT_EQ(boxes + 1, MessageBoxCount());
            EXPECT_NE(std::string::npos, LastBoxText().find("sub-address")) << LastBoxText();
            Type(dialog, 1943, WL("12x34"));
            NvxUi_PressButton(dialog, details_ok_ ? IDOK : IDCANCEL);
            return;
        }
        if (id != 180) return;
        AddDestination(dialog, WL(""), WL("1"));
        details_ok_ = false;
        Click(dialog, 2050);
        details_ok_ = true;
        Click(dialog, 2050);
        NvxUi_PressButton(dialog, IDOK);
    });
    EXPECT_EQ(1, host_.setting[s::kSubAddressOn]);
    EXPECT_EQ(nvx::WString(WL("1234")), f::Text(host_.setting.data(), s::kSubAddress));
}

TEST_F(FaxSend, TimedTransmissionAsksWithTheSendDateAndCancelKeepsTheDialogOpen) {
    host_.setting[s::kTimerSend] = 1;
    host_.setting[s::kSendHour] = 23;
    host_.setting[s::kSendMinute] = 59;
    int presses = 0;
    AnswerMessageBoxes(IDCANCEL);
    EXPECT_EQ(1u, Run([&](int id, HWND dialog) {
                  if (id != 180) return;
                  AddDestination(dialog, WL(""), WL("1"));
                  NvxUi_PressButton(dialog, IDOK);
                  ++presses;
                  EXPECT_TRUE(IsWindow(dialog)) << "Cancel in the confirmation keeps the dialog";
                  EXPECT_EQ(UINT(MB_OKCANCEL | MB_ICONINFORMATION), LastMessageBox().type);
                  EXPECT_NE(std::string::npos, LastBoxText().find("at 23:59")) << LastBoxText();
                  EXPECT_EQ("Timer Send", Utf8(LastMessageBox().caption));
                  AnswerMessageBoxes(IDOK);
                  NvxUi_PressButton(dialog, IDOK);
              }));
    EXPECT_EQ(1, presses);
    EXPECT_EQ(1, host_.count);
}

// The dialog takes the printer's current cover sheet (here none is stored: the
// built-in one) into the host's record; a cover sheet dialog that ends with
// Cancel keeps it as it was.
TEST_F(FaxSend, TheCoverSheetIsThePrintersAndACancelledCoverSheetDialogKeepsIt) {
    bool coverDialogSeen = false;
    Run([&](int id, HWND dialog) {
        if (id != 180 && id != 181 && id != 2575) {  // the cover sheet dialog
            coverDialogSeen = true;
            NvxUi_PressButton(dialog, IDCANCEL);
            return;
        }
        if (id != 180) return;
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 2051))) << "only with the cover sheet on";
        Click(dialog, 2052);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 2051)));
        Click(dialog, 2051);
        AddDestination(dialog, WL(""), WL("1"));
        NvxUi_PressButton(dialog, IDOK);
    });
    EXPECT_TRUE(coverDialogSeen);
    const nvx::fax::CoverSheetRecord builtIn = nvx::fax::DefaultCoverSheet();
    const auto* bytes = reinterpret_cast<const BYTE*>(&builtIn);
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + sizeof builtIn), host_.cover);
    EXPECT_EQ(1, host_.setting[s::kCoverSheet]);
}

TEST_F(FaxSend, WithoutThePhoneBookAddingFromItDoesNothingAndStoringSaysSo) {
    Run([&](int id, HWND dialog) {
        if (id != 180) return;
        const int boxes = MessageBoxCount();
        Click(dialog, 2042);
        EXPECT_EQ(boxes, MessageBoxCount());
        EXPECT_EQ(0, Rows(dialog));
        Type(dialog, 1990, WL("Ann"));
        Type(dialog, 2053, WL("1"));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 2043)));
        Click(dialog, 2043);
        EXPECT_EQ(boxes + 1, MessageBoxCount());
        EXPECT_NE(std::string::npos, LastBoxText().find("could not be stored")) << LastBoxText();
        NvxUi_PressButton(dialog, IDCANCEL);
    });
}

TEST_F(FaxSend, ABlockWithoutItsBuffersIsRefusedWithNothingWritten) {
    using Fn = UINT_PTR (*)(UINT_PTR);
    auto popup = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Export("Popup_FaxSendToDlg")));
    EXPECT_EQ(2u, popup(0));
    int32_t count = 9;
    void* block[7] = {&count};
    EXPECT_EQ(2u, popup(reinterpret_cast<UINT_PTR>(block)));
    EXPECT_EQ(9, count);
}

}  // namespace

namespace {

// The number confirmation on its own (the sample printer does not ask for it): the
// name shown disabled, OK only with a number, the number's characters filtered,
// the number typed again written at unit 162 (byte 324) of the buffer.
class ConfirmFaxNumber : public PageHost {};

TEST_F(ConfirmFaxNumber, TheNumberTypedAgainGoesBehindNameAndNumber) {
    BYTE buffer[486];
    std::memset(buffer, 0xAB, sizeof buffer);
    std::vector<BYTE> entry(f::kDestinationSize, 0);
    f::Destination shown;
    shown.name = WL("Ann");
    shown.number = WL("0301");
    f::WriteDestination(entry.data(), 0, shown);
    std::memcpy(buffer, entry.data(), 324);
    struct Seen {
        bool nameEnabled = true, okEmpty = true;
        std::string name, typed;
    } seen;
    NvxUi_SetModalDriver(
        [](void* self, HWND dialog) {
            auto* s = static_cast<Seen*>(self);
            WCHAR text[128] = {};
            GetDlgItemTextW(dialog, 2578, text, 128);
            s->name = nvx::Utf8FromW(text);
            s->nameEnabled = IsWindowEnabled(GetDlgItem(dialog, 2578)) != FALSE;
            s->okEmpty = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
            NvxUi_Type(GetDlgItem(dialog, 2580), WL("03a01"), NVXUI_TYPE_REPLACE);
            GetDlgItemTextW(dialog, 2580, text, 128);
            s->typed = nvx::Utf8FromW(text);
            NvxUi_PressButton(dialog, IDOK);
        },
        &seen);
    const INT_PTR r = DialogBoxParamW(resources_, MAKEINTRESOURCEW(2575), nullptr,
                                      nvx::pages::ConfirmFaxNumberDialogProc, reinterpret_cast<LPARAM>(buffer));
    NvxUi_SetModalDriver(nullptr, nullptr);
    EXPECT_EQ(IDOK, r);
    EXPECT_EQ("Ann", seen.name);
    EXPECT_FALSE(seen.nameEnabled);
    EXPECT_FALSE(seen.okEmpty) << "OK waits for a number";
    EXPECT_EQ("0301", seen.typed);
    std::memcpy(entry.data(), buffer, sizeof buffer);
    EXPECT_EQ(nvx::WString(WL("0301")), f::ReadDestination(entry.data(), 0).company);
    EXPECT_EQ(nvx::WString(WL("Ann")), f::ReadDestination(entry.data(), 0).name) << "name and number untouched";
}

}  // namespace
