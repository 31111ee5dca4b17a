// The device's speed dials for the phone book component: the page reader and the
// entry conversion on their own, the phone book descriptors byte by byte, and
// FPB_Request_Abbr against the simulated device while a fax transmission dialog
// is open.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "common/ansi.h"
#include "common/le.h"
#include "device/oapi.h"
#include "device/password_cipher.h"
#include "device/user_settings.h"
#include "fax/speed_dials.h"
#include "features/fax.h"
#include "pages/fax_links.h"
#include "pages/fax_speed_dial_request.h"
#include "pages/page_fixture.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"

namespace {

namespace o = nvx::oapi;
namespace sd = nvx::fax::speed_dials;
using Bytes = std::vector<BYTE>;
using nvx::GetLE16;
using nvx::GetLE32;
using nvx::PutLE16;
using nvx::PutLE32;

Bytes DeviceEntry(uint16_t number, const std::string& name, const std::string& kind, const std::string& fax) {
    Bytes e(o::kAbbrEntrySize, 0);
    PutLE16(e.data() + o::kAbbrNumber, number);
    std::memcpy(e.data() + o::kAbbrName, name.data(), std::min(name.size(), o::kAbbrNameSize));
    std::memcpy(e.data() + o::kAbbrKind, kind.data(), std::min(kind.size(), o::kAbbrKindSize));
    std::memcpy(e.data() + o::kAbbrFaxNumber, fax.data(), std::min(fax.size(), o::kAbbrFaxNumberSize));
    return e;
}

Bytes Page(const std::vector<Bytes>& entries, uint32_t count) {
    Bytes page(o::kAbbrPageSize, 0);
    PutLE32(page.data(), count);
    for (size_t i = 0; i < entries.size() && i < o::kAbbrPageEntries; ++i)
        std::memcpy(page.data() + 4 + i * o::kAbbrEntrySize, entries[i].data(), o::kAbbrEntrySize);
    return page;
}

std::string TextAt(const BYTE* at, size_t width) {
    return std::string(reinterpret_cast<const char*>(at), strnlen(reinterpret_cast<const char*>(at), width));
}

// ---- Conversion ----

TEST(SpeedDialEntries, ConvertEveryFieldToItsPlace) {
    Bytes d = DeviceEntry(0x1234, "Caf\xC3\xA9 Nord", "Fax", "0301-555#*");
    PutLE32(d.data() + 100, 0xA1B2C3D4);
    PutLE32(d.data() + 108, 0x01020304);
    PutLE32(d.data() + 104, 0xFFFFFFFF);  // not carried over
    d[208] = 7;
    d[209] = 9;
    std::memcpy(d.data() + 210, "Dock 4", 6);
    d[242] = 1, d[243] = 2, d[244] = 3;
    Bytes out(sd::kOutputEntrySize, 0xEE);
    sd::ConvertEntry(d.data(), out.data());
    EXPECT_EQ(0x1234, GetLE16(out.data()));
    EXPECT_EQ(nvx::AnsiFromW(nvx::WFromUtf8("Caf\xC3\xA9 Nord")), TextAt(out.data() + 2, 97));
    EXPECT_EQ(0xA1B2C3D4u, GetLE32(out.data() + 100));
    EXPECT_EQ(0x01020304u, GetLE32(out.data() + 104));
    EXPECT_EQ("0301-555#*", TextAt(out.data() + 108, 65));
    EXPECT_EQ(7, out[176]);
    EXPECT_EQ(9, out[177]);
    EXPECT_EQ("Dock 4", TextAt(out.data() + 184, 33));
    EXPECT_EQ(1, out[220]);
    EXPECT_EQ(2, out[221]);
    EXPECT_EQ(3, out[222]);
    // Nothing of the earlier buffer survives between the fields.
    for (size_t i : {size_t(99), size_t(173), size_t(178), size_t(183), size_t(219), size_t(223), size_t(235)})
        EXPECT_EQ(0, out[i]) << i;
}

TEST(SpeedDialEntries, UnterminatedTextsAreCutWithinTheirFields) {
    Bytes d(o::kAbbrEntrySize, 'x');  // no terminator anywhere
    std::memcpy(d.data() + o::kAbbrKind, "Fax", 4);
    Bytes out(sd::kOutputEntrySize, 0);
    sd::ConvertEntry(d.data(), out.data());
    EXPECT_EQ(std::string(96, 'x'), TextAt(out.data() + 2, 97));
    EXPECT_EQ(0, out[2 + 96]);
    EXPECT_EQ(std::string(64, 'x'), TextAt(out.data() + 108, 65));
    EXPECT_EQ(std::string(32, 'x'), TextAt(out.data() + 184, 33));  // the device field is 32 bytes
}

TEST(SpeedDialEntries, OnlyTheKindFaxIsKept) {
    EXPECT_TRUE(sd::IsFaxEntry(DeviceEntry(1, "a", "Fax", "1").data()));
    for (const char* kind : {"Email", "Faxes", "Fa", "fax", ""})
        EXPECT_FALSE(sd::IsFaxEntry(DeviceEntry(1, "a", kind, "1").data())) << kind;
    Bytes unterminated = DeviceEntry(1, "a", std::string(32, 'F'), "1");
    EXPECT_FALSE(sd::IsFaxEntry(unterminated.data()));
}

// ---- Pages ----

TEST(SpeedDialPages, AMalformedPageIsRefused) {
    Bytes kept;
    Bytes page = Page({DeviceEntry(1, "a", "Fax", "1")}, 101);  // more than a page holds
    EXPECT_FALSE(sd::KeepFaxEntries(page, 10, &kept));
    EXPECT_FALSE(sd::KeepFaxEntries(Bytes(100, 0), 10, &kept));
    EXPECT_TRUE(kept.empty());
    page = Page({DeviceEntry(1, "a", "Fax", "1")}, 0xFFFFFFFFu);
    EXPECT_FALSE(sd::KeepFaxEntries(page, 10, &kept));
}

TEST(SpeedDialPages, PagesAreReadFromEntryOneInHundredsUntilTheEmptyPage) {
    std::vector<DWORD> asked;
    std::vector<Bytes> entries;
    for (int i = 0; i < 100; ++i) entries.push_back(DeviceEntry(uint16_t(i + 1), "n", i % 2 ? "Email" : "Fax", "1"));
    auto read = [&](DWORD first, BYTE* page) -> DWORD {
        EXPECT_EQ(0, std::memcmp(page, "ZQXWVTRA", 8));
        asked.push_back(first);
        const Bytes p = first <= 201 ? Page(entries, 100) : Page({}, 0);
        std::memcpy(page, p.data(), p.size());
        return 0;
    };
    // The device claims more than it gives: the empty page ends the list.
    auto kept = sd::ReadFaxEntries(900, 2000, read);
    ASSERT_TRUE(kept);
    EXPECT_EQ((std::vector<DWORD>{1, 101, 201, 301}), asked);
    EXPECT_EQ(150u, kept->size() / o::kAbbrEntrySize);

    asked.clear();
    kept = sd::ReadFaxEntries(900, 60, read);  // enough fax entries after two pages
    ASSERT_TRUE(kept);
    EXPECT_EQ((std::vector<DWORD>{1, 101}), asked);
    EXPECT_EQ(60u, kept->size() / o::kAbbrEntrySize);

    asked.clear();
    kept = sd::ReadFaxEntries(150, 2000, read);  // the device's count ends it
    EXPECT_EQ((std::vector<DWORD>{1, 101}), asked);
}

TEST(SpeedDialPages, ADeviceThatNeverEndsIsReadTwentyPagesAtMost) {
    int pages = 0;
    Bytes full = Page(std::vector<Bytes>(100, DeviceEntry(1, "n", "Fax", "1")), 100);
    auto read = [&](DWORD, BYTE* page) -> DWORD {
        ++pages;
        std::memcpy(page, full.data(), full.size());
        return 0;
    };
    auto kept = sd::ReadFaxEntries(0xFFFFFFFFu, 5000, read);
    ASSERT_TRUE(kept);
    EXPECT_EQ(20, pages);
    EXPECT_EQ(2000u, kept->size() / o::kAbbrEntrySize);
}

TEST(SpeedDialPages, AFailingOrMalformedPageDeliversNothing) {
    int calls = 0;
    auto failsSecond = [&](DWORD, BYTE* page) -> DWORD {
        if (++calls == 2) return o::kBusy;
        Bytes p = Page(std::vector<Bytes>(100, DeviceEntry(1, "n", "Fax", "1")), 100);
        std::memcpy(page, p.data(), p.size());
        return 0;
    };
    EXPECT_FALSE(sd::ReadFaxEntries(300, 300, failsSecond));
    auto lies = [&](DWORD, BYTE* page) -> DWORD {
        PutLE32(page, 250);  // a count past its page
        return 0;
    };
    EXPECT_FALSE(sd::ReadFaxEntries(300, 300, lies));
}

// ---- The phone book's descriptors ----

TEST(PhoneBookDescriptors, TheDeviceInfoDescriptorHoldsItsThreeTexts) {
    using nvx::pages::fax::MakeDeviceInfoDescriptor;
    auto d = MakeDeviceInfoDescriptor(nvx::WFromAscii("/drv/NOVRIX_U.DLL"), {}, nvx::WFromAscii("NOVRIX Fax Driver"),
                                      nvx::WFromAscii("\\\\server\\Fax 1"));
    const BYTE* b = reinterpret_cast<const BYTE*>(&d);
    EXPECT_EQ("/drv/NOVRIX_U.DLL", TextAt(b, 260));
    EXPECT_EQ(" ", TextAt(b + 260, 48));  // no model name: a single space
    EXPECT_EQ("Software\\VELMORA\\NOVRIX Fax Driver\\server\\Fax 1\\", TextAt(b + 308, 520));
    d = MakeDeviceInfoDescriptor(nvx::WString(400, u'p'), nvx::WString(60, u'm'), nvx::WString(300, u'd'),
                                 nvx::WString(300, u'q'));
    EXPECT_EQ(259u, TextAt(b, 260).size());
    EXPECT_EQ(47u, TextAt(b + 260, 48).size());
    EXPECT_EQ(519u, TextAt(b + 308, 520).size());
    EXPECT_EQ(0, b[259]);
    EXPECT_EQ(0, b[307]);
    EXPECT_EQ(0, b[827]);
}

// ---- FPB_Request_Abbr against the simulated device ----

constexpr const char* kAddress = "192.0.2.45";

void SetEnv(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }

class SpeedDialRequest : public pagetest::PageHost {
protected:
    void SetUp() override {
        profiles_ = nvxtest::MakeTempDir("abbr_profiles");
        SetEnv("NOVRIX_DEVICE_PROFILES", profiles_);
        WriteProfile(R"({"capability": {"authenticationType": "None"}, "blocks": {"abbr": [
            {"number": 1, "name": "Head office", "kind": "Fax", "faxNumber": "0312345678", "byte208": 1},
            {"number": 2, "name": "Support desk", "kind": "Email", "faxNumber": ""},
            {"number": 3, "name": "Lager S\u00fcd", "kind": "Fax", "faxNumber": "0398765432", "text": "Dock 4"}]}})");
        PageHost::SetUp();
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<LPWSTR>(WL("Abbr Printer"));
        info.pDriverName = const_cast<LPWSTR>(WL("NOVRIX Fax Driver"));
        nvx::WString port = nvx::WFromUtf8(std::string("IP_") + kAddress);
        info.pPortName = port.data();
        info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
        device_ = nvxtest::AddTestPrinter(info);
        ASSERT_NE(nullptr, device_);
        AnswerMessageBoxes(IDOK);
    }
    void TearDown() override {
        NvxUi_SetModalDriver(nullptr, nullptr);
        if (device_) ClosePrinter(device_);
        PageHost::TearDown();
        unsetenv("NOVRIX_DEVICE_PROFILES");
        nvxtest::RemoveTree(profiles_);
    }
    void WriteProfile(const std::string& json) const {
        std::ofstream(profiles_ + "/" + kAddress + ".json") << json;
    }

    // Opens the fax transmission dialog for the device's printer and runs `act`
    // while it is open.
    void WithDialog(std::function<void(HWND)> act) {
        act_ = std::move(act);
        int32_t count = 0;
        Bytes array(nvx::fax::kDestinationArrayBytes, 0), cover(3746, 0), setting(nvx::fax::kSettingSize, 0);
        Bytes record(sizeof(OEMDEV), 0), devOption(6676, 0);
        HANDLE printer = device_;
        void* block[7] = {&count, array.data(), cover.data(), setting.data(), &printer, record.data(),
                          devOption.data()};
        NvxUi_SetModalDriver(
            [](void* self, HWND dialog) {
                auto* me = static_cast<SpeedDialRequest*>(self);
                if (GetDlgItem(dialog, 100) && GetDlgItem(dialog, 103)) {  // the phone book's chooser
                    if (me->choose_) me->choose_(dialog);
                    return;
                }
                if (!GetDlgItem(dialog, 2047)) return;
                me->act_(dialog);
                NvxUi_PressButton(dialog, IDCANCEL);
            },
            this);
        using Fn = UINT_PTR (*)(UINT_PTR);
        auto popup = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Export("Popup_FaxSendToDlg")));
        popup(reinterpret_cast<UINT_PTR>(block));
    }
    UINT_PTR Request(HWND dialog, BYTE* buffer, int* count) const {
        using Fn = UINT_PTR (*)(void*, UINT_PTR, UINT*, int*);
        auto fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Export("FPB_Request_Abbr")));
        return fn(dialog, 0, reinterpret_cast<UINT*>(buffer), count);
    }

    // Puts the built phone book component beside the module.
    void PutPhoneBook() {
        std::ifstream in(nvxtest::BuiltDriverFolder() + "/NOVRIX_V.DLL", std::ios::binary);
        ASSERT_TRUE(in.good());
        driver_.Write("NOVRIX_V.DLL", std::string(std::istreambuf_iterator<char>(in), {}));
    }
    static int Rows(HWND dialog) {
        return static_cast<int>(SendMessageW(GetDlgItem(dialog, 2047), LVM_GETITEMCOUNT, 0, 0));
    }
    // Selects the chooser's rows that begin with `number` and presses OK.
    static void Pick(HWND chooser, const std::string& number) {
        HWND list = GetDlgItem(chooser, 100);
        const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int r = 0; r < n; ++r) {
            WCHAR text[256] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(text));
            if (nvx::Utf8FromW(text).rfind(number, 0) == 0) SendMessageW(list, LB_SETSEL, TRUE, r);
        }
        NvxUi_PressButton(chooser, IDOK);
    }

    std::string profiles_;
    HANDLE device_ = nullptr;
    std::function<void(HWND)> act_;
    std::function<void(HWND)> choose_;
};

TEST_F(SpeedDialRequest, DeliversTheDevicesFaxEntriesConverted) {
    bool ran = false;
    WithDialog([&](HWND dialog) {
        ran = true;
        Bytes buffer(10 * sd::kOutputEntrySize, 0xEE);
        int count = 10;
        EXPECT_EQ(1u, Request(dialog, buffer.data(), &count));
        ASSERT_EQ(2, count);
        EXPECT_EQ(1, GetLE16(buffer.data()));
        EXPECT_EQ("Head office", TextAt(buffer.data() + 2, 97));
        EXPECT_EQ("0312345678", TextAt(buffer.data() + 108, 65));
        EXPECT_EQ(1, buffer[176]);
        const BYTE* second = buffer.data() + sd::kOutputEntrySize;
        EXPECT_EQ(3, GetLE16(second));
        EXPECT_EQ(nvx::AnsiFromW(nvx::WFromUtf8("Lager S\xC3\xBC" "d")), TextAt(second + 2, 97));
        EXPECT_EQ("Dock 4", TextAt(second + 184, 33));
        EXPECT_EQ(0xEE, buffer[2 * sd::kOutputEntrySize]);  // nothing written past the entries delivered

        count = 1;  // the most entries wanted
        EXPECT_EQ(1u, Request(dialog, buffer.data(), &count));
        EXPECT_EQ(1, count);
    });
    EXPECT_TRUE(ran);
}

TEST_F(SpeedDialRequest, BadArgumentsAndForeignWindowsDeliverNothing) {
    Bytes buffer(sd::kOutputEntrySize, 0xEE);
    int count = 5;
    EXPECT_EQ(0u, Request(nullptr, buffer.data(), &count));
    EXPECT_EQ(0, count);
    count = 5;
    EXPECT_EQ(0u, Request(reinterpret_cast<HWND>(0x1234), buffer.data(), &count));
    EXPECT_EQ(0, count);
    WithDialog([&](HWND dialog) {
        int n = 5;
        EXPECT_EQ(0u, Request(dialog, nullptr, &n));
        EXPECT_EQ(0, n);
        EXPECT_EQ(0u, Request(dialog, buffer.data(), nullptr));
        EXPECT_EQ(0xEE, buffer[0]);
    });
}

TEST_F(SpeedDialRequest, ARefusedLoginSaysSoAndDeliversNothing) {
    WriteProfile(R"({"capability": {"authenticationType": "Device", "publicUser": 0},
        "users": [{"name": "alice", "password": "s3cret"}],
        "blocks": {"abbr": [{"number": 1, "name": "Head office", "kind": "Fax", "faxNumber": "1"}]}})");
    WithDialog([&](HWND dialog) {
        Bytes buffer(sd::kOutputEntrySize, 0xEE);
        int count = 5;
        const int boxes = MessageBoxCount();
        EXPECT_EQ(0u, Request(dialog, buffer.data(), &count));
        EXPECT_EQ(0, count);
        EXPECT_EQ(boxes + 1, MessageBoxCount());
        EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("could not be logged in"))
            << Utf8(LastMessageBox().text);
        EXPECT_EQ(0xEE, buffer[0]);
    });
}

TEST_F(SpeedDialRequest, TheStoredCredentialsLogIn) {
    WriteProfile(R"({"capability": {"authenticationType": "Device", "publicUser": 0},
        "users": [{"name": "alice", "password": "s3cret"}],
        "blocks": {"abbr": [{"number": 1, "name": "Head office", "kind": "Fax", "faxNumber": "1"}]}})");
    using namespace nvx::device;
    OEMDEV dev;
    nvx::settings::BuildTemplate(dev);
    UserSettingsRecord rec{};
    CopyFromOemdev(dev, false, &rec);
    nvx::WCopy(rec.userName, 81, WL("alice"));
    // The sample model enciphers with AES under key number 3 and model number 57.
    const PasswordCipher sampleCipher({CipherMode::Aes, 3, 57, std::nullopt});
    ASSERT_EQ(PasswordResult::Stored, SetPassword(sampleCipher, WL("s3cret"), PasswordField::User, &rec));
    CopyToOemdev(rec, false, &dev);
    ASSERT_TRUE(SaveUserSettings(device_, false, dev));
    WithDialog([&](HWND dialog) {
        Bytes buffer(sd::kOutputEntrySize, 0);
        int count = 5;
        EXPECT_EQ(1u, Request(dialog, buffer.data(), &count));
        EXPECT_EQ(1, count);
    });
}

TEST_F(SpeedDialRequest, ThePhoneBookComponentStoresAndAddsDestinations) {
    PutPhoneBook();
    std::vector<std::string> chooserRows;
    choose_ = [&](HWND chooser) {
        HWND list = GetDlgItem(chooser, 100);
        chooserRows.clear();
        for (int r = 0; r < static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); ++r) {
            WCHAR text[256] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(text));
            chooserRows.push_back(nvx::Utf8FromW(text));
        }
        Pick(chooser, chooserRows.empty() ? "none" : chooserRows.back().substr(0, chooserRows.back().find(' ')));
    };
    WithDialog([&](HWND dialog) {
        NvxUi_Type(GetDlgItem(dialog, 1990), WL("Ann"), NVXUI_TYPE_REPLACE);
        NvxUi_Type(GetDlgItem(dialog, 2053), WL("0301"), NVXUI_TYPE_REPLACE);
        const int boxes = MessageBoxCount();
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dialog, 2043)));
        EXPECT_EQ(boxes + 1, MessageBoxCount());
        EXPECT_NE(std::string::npos, Utf8(LastMessageBox().text).find("was stored")) << Utf8(LastMessageBox().text);
        // Added from the phone book: the stored entry.
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dialog, 2042)));
        EXPECT_EQ((std::vector<std::string>{"0301  Ann"}), chooserRows);
        EXPECT_EQ(1, Rows(dialog));
        // Added from the device: its two fax speed dials offered, the last one taken.
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dialog, 2594)));
        ASSERT_EQ(2u, chooserRows.size());
        EXPECT_EQ("0312345678  Head office", chooserRows[0]);
        EXPECT_EQ(2, Rows(dialog));
    });
}

TEST_F(SpeedDialRequest, CancellingTheChooserAddsNothing) {
    PutPhoneBook();
    choose_ = [](HWND chooser) { NvxUi_PressButton(chooser, IDCANCEL); };
    WithDialog([&](HWND dialog) {
        ASSERT_TRUE(NvxUi_Click(GetDlgItem(dialog, 2594)));
        EXPECT_EQ(0, Rows(dialog));
    });
}

}  // namespace
