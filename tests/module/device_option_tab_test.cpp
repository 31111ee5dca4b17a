// The installed options of a device reaching the printer's device-option record:
// through the host's option request when a document sheet opens, and through the
// printer sheet's device option tab on the user's request, against the simulator
// on a free loopback port; every fault at every step of the tab's acquisition.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <string_view>
#include <utility>
#include <string>
#include <vector>

#include "../../companions/host/installed_options_text.h"
#include "common/le.h"
#include "common/proc.h"
#include "device/device_info_cache.h"
#include "device_server.h"
#include "hostsupport/sheet_builder.h"
#include "platform/ui_host.h"
#include "settings/devoption.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "support/thread_count.h"

namespace {

using namespace nvx::device;
using info::Value;
using U = UINT_PTR;

constexpr const char* kDevice = "192.0.2.78";  // a profile that names the simulator
constexpr const WCHAR* kName = WL("Options Fax");

// The sample model's device options, by their slot in the record.
constexpr size_t kSlotInTrayUnit = 4;
constexpr size_t kSlotOutTrayUnit = 5;
constexpr size_t kSlotStapler = 6;
constexpr size_t kSlotPunch = 7;
// The device-settings items follow the installed options; the profile's device
// allows the public user, the others stay off (0).
constexpr size_t kSlotPublicUser = 12;

constexpr int kRefresh = 1062;
constexpr int kOptionList = 1078;
constexpr int kValueBox = 1081;

std::string Profile(const std::string& options) {
    return R"({"configuration": {"port": 50003, "flag": 1, "generation": 3},
  "capability": {"authenticationType": "None", "accountTrackType": "None", "publicUser": 1})" +
           (options.empty() ? std::string() : ", \"options\": " + options) + "}";
}

// Message boxes: answered by `answer`, remembered.
struct Boxes {
    int answer = IDYES;
    std::vector<std::string> texts;
    std::vector<UINT> types;
    static int Respond(void* self, HWND, LPCWSTR, LPCWSTR text, UINT type) {
        auto* b = static_cast<Boxes*>(self);
        b->texts.push_back(nvx::Utf8FromW(text));
        b->types.push_back(type);
        return (type & 0xF) == MB_OK ? IDOK : b->answer;
    }
};

class DeviceOptionTabTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        folder_ = nvxtest::MakeTempDir("devopt");
        profiles_ = folder_ + "/profiles";
        ASSERT_EQ(0, system(("mkdir -p '" + profiles_ + "'").c_str()));
        setenv("NOVRIX_DEVICE_PROFILES", profiles_.c_str(), 1);
        served_ = folder_ + "/device.json";
        std::ofstream(served_) << Profile(R"({"OpStaplerUnit": 1, "OpInTrayUnit": 1})");
        StartServer({});
        module_ = LoadLibraryW(driver_.WidePath("NOVRIX_U.DLL").c_str());
        ASSERT_NE(nullptr, module_) << GetLastError();
        printer_ = AddPrinterAt(kName, std::string("IP_") + kDevice);
        ASSERT_NE(nullptr, printer_);
        auto reset = nvx::ProcAs<void (*)(BYTE*)>(GetProcAddress(module_, "Prc_ResetDevOption"));
        ASSERT_NE(nullptr, reset);
        record_.assign(nvx::settings::kDevOptionSize, 0);
        reset(record_.data());
        // The sample installs a finisher by default; these tests start from a device without one.
        nvx::settings::SetOptionValue(record_.data(), kSlotStapler, 0);
        NvxUi_SetMessageBoxResponder(&Boxes::Respond, &boxes_);
    }
    void TearDown() override {
        NvxUi_SetMessageBoxResponder(nullptr, nullptr);
        if (sheetWindow_) DestroyWindow(sheetWindow_);
        if (printer_) ClosePrinter(printer_);
        if (module_) FreeLibrary(module_);
        server_.reset();
        unsetenv("NOVRIX_DEVICE_PROFILES");
        nvxtest::RemoveTree(folder_);
        PlatformTest::TearDown();
    }
    void StartServer(std::map<std::string, std::string> faults) {
        server_.reset();
        server_ = std::make_unique<nvxo::DeviceServer>();
        nvxo::ServerOptions options;
        options.profile = served_;
        options.faults = std::move(faults);
        std::string error;
        ASSERT_TRUE(server_->Start(options, &error)) << error;
        std::ofstream(profiles_ + "/" + kDevice + ".json")
            << R"({"remote": {"address": "127.0.0.1:)" << server_->Port() << R"(", "timeoutMs": 300}})";
    }
    static HANDLE AddPrinterAt(const WCHAR* name, const std::string& port) {
        nvx::WString wport = nvx::WFromUtf8(port);
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<LPWSTR>(name);
        info.pDriverName = const_cast<LPWSTR>(WL("NOVRIX Fax Driver"));
        info.pPortName = wport.data();
        info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
        return nvxtest::AddTestPrinter(info);
    }
    U SheetsInit(BYTE* record) const {
        auto fn = nvx::ProcAs<U (*)(U, U, U, U, U, U)>(GetProcAddress(module_, "Bidi_DocumentPropertySheets_Init"));
        return fn(reinterpret_cast<U>(printer_), reinterpret_cast<U>(kName), 0, reinterpret_cast<U>(record), 0, 0);
    }
    uint16_t Slot(size_t slot) const { return nvx::settings::GetOptionValue(record_.data(), slot); }
    // Every value of the printer's device information cache, as stored.
    std::map<std::string, std::vector<BYTE>> CacheValues() const {
        std::map<std::string, std::vector<BYTE>> out;
        nvx::model::RegKey key;
        if (OpenDeviceInfoKey(printer_, &key, false) != ERROR_SUCCESS) return out;
        for (DWORD i = 0;; ++i) {
            WCHAR name[128];
            DWORD nameSize = 128, size = 0, type = 0;
            if (RegEnumValueW(key.get(), i, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
            std::vector<BYTE> data(size);
            DWORD got = size;
            RegQueryValueExW(key.get(), name, nullptr, &type, data.data(), &got);
            out[nvx::Utf8FromW(name)] = data;
        }
        return out;
    }
    // The printer sheet with the device option tab, as a host opens it: the page's
    // copy of its PROPSHEETPAGEW is the context (lParam, at 48, the block).
    HWND OpenSheetOn(nvx::host::SheetForm form, BYTE* record) {
        sheet_ = std::make_unique<nvx::host::HostSheet>(form, printer_);
        sheet_->SetDevOptionRecord(record);
        HMODULE resources = GetModuleHandleW(WL("NOVRIX_S.DLL"));
        auto proc = nvx::ProcAs<DLGPROC>(GetProcAddress(module_, "Prc_PrnDeviceOptionProc"));
        if (!resources || !proc) return nullptr;
        PROPSHEETPAGEW page{};
        page.dwSize = sizeof page;
        page.hInstance = resources;
        page.pszTemplate = MAKEINTRESOURCEW(156);
        page.pfnDlgProc = proc;
        page.lParam = reinterpret_cast<LPARAM>(sheet_->Block());
        PROPSHEETHEADERW header{};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
        header.hInstance = resources;
        header.pszCaption = WL("Options Fax Properties");
        header.nPages = 1;
        header.ppsp = &page;
        sheetWindow_ = reinterpret_cast<HWND>(PropertySheetW(&header));
        NvxUi_Pump(0);
        page_ = sheetWindow_ ? reinterpret_cast<HWND>(SendMessageW(sheetWindow_, PSM_GETCURRENTPAGEHWND, 0, 0))
                             : nullptr;
        return page_;
    }
    HWND OpenTab() { return OpenSheetOn(nvx::host::SheetForm::Two, record_.data()); }
    std::string Row(int i) const {
        WCHAR text[200] = {};
        SendDlgItemMessageW(page_, kOptionList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        return nvx::Utf8FromW(text);
    }

    nvxtest::DriverCopy driver_;
    std::string folder_, profiles_, served_;
    std::unique_ptr<nvxo::DeviceServer> server_;
    HMODULE module_ = nullptr;
    HANDLE printer_ = nullptr;
    std::vector<BYTE> record_;
    std::unique_ptr<nvx::host::HostSheet> sheet_;
    HWND sheetWindow_ = nullptr;
    HWND page_ = nullptr;
    Boxes boxes_;
};

TEST_F(DeviceOptionTabTest, TheDevicesOptionsReachTheRecordWhenADocumentSheetOpens) {
    const std::vector<BYTE> before = record_;
    ASSERT_EQ(0, Slot(kSlotStapler));
    ASSERT_EQ(0u, SheetsInit(record_.data()));
    EXPECT_EQ(1, Slot(kSlotStapler));
    EXPECT_EQ(1, Slot(kSlotInTrayUnit));
    // Only the reported options changed, and the device-settings items its capability sets.
    std::vector<BYTE> expected = before;
    nvx::settings::SetOptionValue(expected.data(), kSlotStapler, 1);
    nvx::settings::SetOptionValue(expected.data(), kSlotInTrayUnit, 1);
    nvx::settings::SetOptionValue(expected.data(), kSlotPublicUser, 1);
    EXPECT_EQ(expected, record_);
}

TEST_F(DeviceOptionTabTest, UnknownOptionsAndValuesOutOfRangeAreLeftOutAndNoOptionsChangeNothing) {
    std::ofstream(served_) << Profile(R"({"OpPunchKit": 70000, "OpNoSuchThing": 1, "OpOutTrayUnit": 1,
                                         "OpStaplerUnit": "1", "OpHDD": -1})");
    const std::vector<BYTE> before = record_;
    ASSERT_EQ(0u, SheetsInit(record_.data()));
    EXPECT_EQ(1, Slot(kSlotOutTrayUnit));
    std::vector<BYTE> expected = before;
    nvx::settings::SetOptionValue(expected.data(), kSlotOutTrayUnit, 1);
    nvx::settings::SetOptionValue(expected.data(), kSlotPublicUser, 1);
    EXPECT_EQ(expected, record_);
    // A device that reports no options: the acquisition goes on, the record stays.
    std::ofstream(served_) << Profile("");
    const std::vector<BYTE> now = record_;
    EXPECT_EQ(0u, SheetsInit(record_.data()));
    EXPECT_EQ(now, record_);
}

TEST_F(DeviceOptionTabTest, AnOptionRequestThatFailsLeavesTheRecordAndEndsTheAcquisition) {
    StartServer({{"DeviceInstalledOptions", "malformed"}});
    const std::vector<BYTE> before = record_;
    EXPECT_EQ(16u, SheetsInit(record_.data()));
    EXPECT_EQ(before, record_);
    EXPECT_TRUE(CacheValues().empty());  // the device was not asked further
}

TEST_F(DeviceOptionTabTest, TheTabListsTheRecordAndAValueChosenChangesIt) {
    nvx::settings::SetOptionValue(record_.data(), kSlotPunch, 2);
    ASSERT_TRUE(OpenTab());
    EXPECT_EQ(14, SendDlgItemMessageW(page_, kOptionList, LB_GETCOUNT, 0, 0));  // with the four device-settings items
    EXPECT_EQ("Public User Access: Not Allowed", Row(static_cast<int>(kSlotPublicUser)));
    EXPECT_EQ("Finisher: None", Row(static_cast<int>(kSlotStapler)));
    EXPECT_EQ("Punch Kit: 2/4 Holes", Row(static_cast<int>(kSlotPunch)));
    EXPECT_EQ("Card Authentication: Not Installed", Row(8));
    ASSERT_TRUE(NvxUi_ChooseListItem(GetDlgItem(page_, kOptionList), static_cast<int>(kSlotStapler)));
    HWND box = GetDlgItem(page_, kValueBox);
    EXPECT_EQ(2, SendMessageW(box, CB_GETCOUNT, 0, 0));
    ASSERT_TRUE(NvxUi_ChooseComboText(box, WL("Inner Finisher")));
    EXPECT_EQ(1, Slot(kSlotStapler));
    EXPECT_EQ("Finisher: Inner Finisher", Row(static_cast<int>(kSlotStapler)));
    EXPECT_EQ(1u, sheet_->ChangedMark());
}

TEST_F(DeviceOptionTabTest, GetDeviceInformationAsksFirstThenTakesTheDevicesOptions) {
    ASSERT_TRUE(OpenTab());
    boxes_.answer = IDNO;
    const uint64_t calls = server_->Calls();
    ASSERT_TRUE(NvxUi_Click(GetDlgItem(page_, kRefresh)));
    ASSERT_EQ(1u, boxes_.texts.size());
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes_.types[0] & (MB_TYPEMASK | MB_ICONMASK));
    EXPECT_EQ(calls, server_->Calls());  // No: nothing asked
    EXPECT_EQ(0, Slot(kSlotStapler));

    boxes_.answer = IDYES;
    ASSERT_TRUE(NvxUi_Click(GetDlgItem(page_, kRefresh)));
    ASSERT_EQ(3u, boxes_.texts.size());
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), boxes_.types[2] & MB_ICONMASK);
    EXPECT_NE(std::string::npos, boxes_.texts[2].find("taken from the device")) << boxes_.texts[2];
    EXPECT_EQ(1, Slot(kSlotStapler));
    EXPECT_EQ("Finisher: Inner Finisher", Row(static_cast<int>(kSlotStapler)));
    EXPECT_EQ(1u, sheet_->ChangedMark());
    EXPECT_TRUE(CacheValues().empty());  // the tab neither reads nor writes the cache
}

// A fault at each step of the tab's acquisition: the record and the cache stay as
// they were, the user is told, nothing hangs, the busy window goes down and no
// thread is left behind.
TEST_F(DeviceOptionTabTest, EveryFaultAtEveryStepOfTheTabsAcquisitionLeavesRecordAndCache) {
    ASSERT_EQ(0u, SheetsInit(nullptr));  // something in the cache
    const auto cache = CacheValues();
    ASSERT_FALSE(cache.empty());
    std::ofstream(served_) << Profile(R"({"OpStaplerUnit": 1, "OpPunchKit": 1, "OpOutTrayUnit": 1})");
    ASSERT_TRUE(OpenTab());
    const std::vector<BYTE> before = record_;
    server_.reset();
    const int threads = nvxtest::SettledThreadCount();
    const int windows = NvxUi_WindowCount();
    for (const char* fn : {"DeviceInstalledOptions", "OAPIConfigurationCheck", "OAPIAccessInit",
                           "OAPIGetAuthCapability"}) {
        for (const char* fault : {"noanswer", "refuse", "drop", "malformed", "busy:1"}) {
            SCOPED_TRACE(std::string(fn) + " " + fault);
            StartServer({{fn, fault}});
            boxes_.texts.clear();
            const auto started = std::chrono::steady_clock::now();
            ASSERT_TRUE(NvxUi_Click(GetDlgItem(page_, kRefresh)));
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
            ASSERT_EQ(2u, boxes_.texts.size());
            EXPECT_NE(std::string::npos, boxes_.texts[1].find("as they were")) << boxes_.texts[1];
            EXPECT_EQ(before, record_);
            EXPECT_EQ(cache, CacheValues());
            EXPECT_EQ(windows, NvxUi_WindowCount());  // the busy window went down
            server_.reset();
            EXPECT_EQ(threads, nvxtest::ThreadCountSettlesAt(threads));
        }
    }
    EXPECT_EQ(0u, sheet_->ChangedMark());
    // The device back: the options come.
    StartServer({});
    ASSERT_TRUE(NvxUi_Click(GetDlgItem(page_, kRefresh)));
    EXPECT_EQ(1, Slot(kSlotStapler));
    EXPECT_EQ(1, Slot(kSlotPunch));
}

TEST_F(DeviceOptionTabTest, WithoutARecordTheTabOffersNothingToChange) {
    ASSERT_TRUE(OpenSheetOn(nvx::host::SheetForm::A, record_.data()));  // a document sheet carries none
    EXPECT_EQ(0, SendDlgItemMessageW(page_, kOptionList, LB_GETCOUNT, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page_, kRefresh)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page_, kValueBox)));
}

TEST(InstalledOptionsText, OnlyWholeWellFormedLinesWithinTheBytesGivenAreTaken) {
    const char text[] = "OpA=1\nOpB=70000\n=3\nOpC=\nOpD=x1\nOpE=000007\nOpF=65535\nOpG=2";
    std::vector<std::pair<std::string, uint16_t>> taken;
    nvxhost::ForEachInstalledOption(text, sizeof text - 1, [&](std::string_view key, uint16_t value) {
        taken.emplace_back(std::string(key), value);
    });
    const std::vector<std::pair<std::string, uint16_t>> expected = {{"OpA", 1}, {"OpF", 65535}};
    EXPECT_EQ(expected, taken);
    // The size bounds the read: a line cut by it is not taken, nor anything after a NUL.
    taken.clear();
    const char cut[] = "OpA=1\nOpB=2\n";
    nvxhost::ForEachInstalledOption(cut, 9, [&](std::string_view key, uint16_t value) {
        taken.emplace_back(std::string(key), value);
    });
    EXPECT_EQ(1u, taken.size());
    const char nul[] = "OpA=1\n\0OpB=2\n";
    taken.clear();
    nvxhost::ForEachInstalledOption(nul, sizeof nul - 1, [&](std::string_view key, uint16_t value) {
        taken.emplace_back(std::string(key), value);
    });
    EXPECT_EQ(1u, taken.size());
    nvxhost::ForEachInstalledOption(nullptr, 10, [](std::string_view, uint16_t) { FAIL(); });
}

}  // namespace
