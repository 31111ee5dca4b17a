// The Quality tab with the sample device's rules: what the model offers, the
// resolution and its rules, print with black, the font dialog in a document's
// sheet; the procedures of the other variants; the font substitution table and
// the reading of the font data library without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "common/proc.h"
#include "pages/page_fixture.h"
#include "pages/quality_logic.h"
#include "platform/host.h"
#include "settings/oemdev.h"
#include "settings/oemdev_template.h"

namespace {

using pagetest::PageHost;
namespace quality = nvx::pages::quality;

constexpr pagetest::PageDef kQuality{196, "Prc_DocQualityMonoProc"};

class QualityTab : public PageHost {
protected:
    std::string Rules() const override {
        std::ifstream in(NVX_SAMPLE_RULES);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Shown(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    int Checked(int id) const { return static_cast<int>(SendMessageW(Control(id), BM_GETCHECK, 0, 0)); }
    static std::string Selected(HWND combo) {
        const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        WCHAR text[128] = {};
        if (sel >= 0) SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }
    static std::vector<std::string> Entries(HWND combo) {
        std::vector<std::string> out;
        const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            WCHAR text[128] = {};
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            out.push_back(Utf8(text));
        }
        return out;
    }
    // Runs the font dialog from the tab's button with `steps`; the dialog is
    // cancelled when the steps leave it open.
    void RunFontDialog(const std::function<void(HWND)>& steps) {
        struct Run {
            std::function<void(HWND)> steps;
            static void Drive(void* self, HWND dlg) {
                auto* r = static_cast<Run*>(self);
                r->steps(dlg);
                if (IsWindow(dlg) && IsWindowVisible(dlg)) NvxUi_PressButton(dlg, IDCANCEL);
            }
        } run{steps};
        NvxUi_SetModalDriver(Run::Drive, &run);
        EXPECT_TRUE(NvxUi_Click(Control(1301)));
        NvxUi_SetModalDriver(nullptr, nullptr);
    }
};

TEST_F(QualityTab, ShowsWhatTheModelOffers) {
    ASSERT_NE(nullptr, OpenSheet({kQuality}));
    EXPECT_EQ(0, MessageBoxCount());
    // Print resolutions only: the fax resolutions are the Fax tab's.
    EXPECT_EQ((std::vector<std::string>{"600 x 600 dpi", "1200 x 1200 dpi"}), Entries(Control(1013)));
    EXPECT_EQ("600 x 600 dpi", Selected(Control(1013)));
    for (int id : {1013, 1009, 2350, 2344, 2345, 2352, 2353, 1301, 1032}) EXPECT_TRUE(Shown(id)) << id;
    // The model switches compression and the pattern off; the density dialog is not built.
    for (int id : {1300, 2544, 1307, 1295}) EXPECT_FALSE(Shown(id)) << id;
    EXPECT_EQ("Light", Selected(Control(2345)));
}

TEST_F(QualityTab, TonerSaveAndSmoothingReachTheRecord) {
    ASSERT_NE(nullptr, OpenSheet({kQuality}));
    ASSERT_TRUE(NvxUi_Click(Control(1009)));
    EXPECT_EQ(1, Field("bTonerSave"));
    ASSERT_TRUE(NvxUi_Click(Control(2344)));
    EXPECT_EQ(1, Field("bSmoothing"));
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(2345), WL("Dark")));
    EXPECT_EQ(2, Field("nSmoothing"));
    // Restore Defaults puts the tab's settings back.
    ASSERT_TRUE(NvxUi_Click(Control(1032)));
    EXPECT_EQ(0, Field("bTonerSave"));
    EXPECT_EQ(0, Field("bSmoothing"));
    EXPECT_EQ(1, Field("nSmoothing"));
    EXPECT_EQ(BST_UNCHECKED, Checked(1009));
}

TEST_F(QualityTab, HighResolutionTurnsTonerSaveOffAfterAskingAndKeepsTheDotsWithIt) {
    SetField("bTonerSave", 1);
    ASSERT_NE(nullptr, OpenSheet({kQuality}));
    // Declined: the resolution and its dots stay.
    AnswerMessageBoxes(IDNO);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1013), WL("1200 x 1200 dpi")));
    ASSERT_EQ(1, MessageBoxCount());
    EXPECT_EQ(0, Field("byResolution"));
    EXPECT_EQ(600, Field("nResoH"));
    EXPECT_EQ(1, Field("bTonerSave"));
    EXPECT_EQ("600 x 600 dpi", Selected(Control(1013)));
    // Accepted: 1200 dpi with its dots, toner save off and locked.
    AnswerMessageBoxes(IDYES);
    ASSERT_TRUE(NvxUi_ChooseComboText(Control(1013), WL("1200 x 1200 dpi")));
    EXPECT_EQ(1, Field("byResolution"));
    EXPECT_EQ(1200, Field("nResoH"));
    EXPECT_EQ(1200, Field("nResoV"));
    EXPECT_EQ(1697, Field("nResoHV"));
    EXPECT_EQ(0, Field("bTonerSave"));
    EXPECT_EQ(BST_UNCHECKED, Checked(1009));
    EXPECT_FALSE(Enabled(1009));
}

TEST_F(QualityTab, TheFontDialogOfADocumentSetsSubstitutionWithoutTheTable) {
    ASSERT_NE(nullptr, OpenSheet({kQuality}));
    const int32_t before = Field("nTTFont");
    ASSERT_EQ(1, before) << "the template substitutes nothing";
    bool tableShown = true;
    RunFontDialog([&](HWND dlg) {
        tableShown = IsWindowVisible(GetDlgItem(dlg, 1494)) || IsWindowVisible(GetDlgItem(dlg, 1283));
        EXPECT_EQ(BST_UNCHECKED, SendMessageW(GetDlgItem(dlg, 1492), BM_GETCHECK, 0, 0));
        NvxUi_Click(GetDlgItem(dlg, 1492));
        NvxUi_PressButton(dlg, IDOK);
    });
    EXPECT_FALSE(tableShown);
    EXPECT_EQ(0, Field("nTTFont")) << "substitution on is stored as 0";
    // Cancel puts the whole record back.
    RunFontDialog([&](HWND dlg) {
        NvxUi_Click(GetDlgItem(dlg, 1492));
        EXPECT_EQ(1, Field("nTTFont"));
        NvxUi_PressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(0, Field("nTTFont"));
}

TEST_F(QualityTab, OnThePrinterDefaultsTheTableTakesAnInstalledFont) {
    nvx::host::HostSheet defaults(nvx::host::SheetForm::Two, printer_);
    OEMDEV record;
    nvx::settings::BuildTemplate(record);
    defaults.LoadRecord(record.bytes);
    contextSheet_ = &defaults;
    ASSERT_NE(nullptr, OpenSheet({kQuality}));
    std::vector<std::string> download, fonts;
    std::string trueType;
    RunFontDialog([&](HWND dlg) {
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, 1494)));
        download = Entries(GetDlgItem(dlg, 1491));
        EXPECT_TRUE(NvxUi_ChooseListItem(GetDlgItem(dlg, 1494), 1));
        trueType = TextOf(GetDlgItem(dlg, 1499));
        fonts = Entries(GetDlgItem(dlg, 1283));
        EXPECT_TRUE(NvxUi_ChooseComboText(GetDlgItem(dlg, 1283), WL("DejaVu Sans Mono")));
        NvxUi_PressButton(dlg, IDOK);
    });
    // The printer's defaults do not offer Auto and native TrueType download.
    EXPECT_EQ((std::vector<std::string>{"Outline", "Bitmap"}), download);
    EXPECT_EQ("Courier New", trueType);
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ("Courier", fonts[0]) << "the entry's own device font comes first";
    EXPECT_NE(fonts.end(), std::find(fonts.begin(), fonts.end(), "DejaVu Sans")) << "the installed fonts follow";
    const auto rows = quality::Substitutions(*nvx::settings::AsRecord(defaults.Record()));
    EXPECT_EQ("DejaVu Sans Mono", rows[1].device);
    EXPECT_EQ("Arial", rows[0].device);
    CloseSheet();
    contextSheet_ = nullptr;
}

TEST_F(QualityTab, TheOtherVariantsAnswerNothingInThisBuild) {
    HWND w = CreateWindowExW(0, WL("STATIC"), WL(""), 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, w);
    for (const char* name : {"Prc_DocQualityProc", "Prc_DocQualityPrnMonoProc"}) {
        auto proc = nvx::ProcAs<DLGPROC>(Export(name));
        ASSERT_NE(nullptr, proc) << name;
        for (UINT msg : {static_cast<UINT>(WM_INITDIALOG), static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_NOTIFY),
                         static_cast<UINT>(WM_PAINT), static_cast<UINT>(WM_DESTROY)})
            EXPECT_EQ(0, proc(w, msg, 0, reinterpret_cast<LPARAM>(sheet_.Context()))) << name << " " << msg;
    }
    DestroyWindow(w);
}

// The stand-in of the font data library answers with the fonts installed here
// (the build machine has the DejaVu fonts).
TEST_F(QualityTab, TheFontLibraryListsTheInstalledFonts) {
    HMODULE lib = LoadLibraryW(driver_.WidePath("NOVRIX_F.DLL").c_str());
    ASSERT_NE(nullptr, lib);
    auto init = nvx::ProcAs<int (*)(int)>(GetProcAddress(lib, "InitXLFontData"));
    auto term = nvx::ProcAs<void (*)()>(GetProcAddress(lib, "TermXLFontData"));
    auto count = nvx::ProcAs<int (*)()>(GetProcAddress(lib, "GetXLFontCount"));
    auto data = nvx::ProcAs<int (*)(int, unsigned char*, quality::PrinterFontEntry*)>(GetProcAddress(lib, "GetXLFontData"));
    ASSERT_TRUE(init && term && count && data);
    quality::PrinterFontEntry entry{};
    std::vector<unsigned char> work(quality::kFontWorkBytes);
    EXPECT_EQ(0, count()) << "nothing before a use";
    EXPECT_EQ(0, data(0, work.data(), &entry));
    EXPECT_EQ(0, init(1)) << "mode 0 only";
    ASSERT_EQ(1, init(0));
    const int n = count();
    ASSERT_GT(n, 0);
    std::vector<std::string> names;
    bool monoFixed = false;
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(1, data(i, work.data(), &entry)) << i;
        ASSERT_LT(strnlen(entry.name, sizeof entry.name), sizeof entry.name);
        names.emplace_back(entry.name);
        if (names.back() == "DejaVu Sans Mono") monoFixed = (entry.flags & quality::kFontFixedPitch) != 0;
    }
    EXPECT_EQ(0, data(n, work.data(), &entry));
    EXPECT_EQ(0, data(-1, work.data(), &entry));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "DejaVu Sans"));
    EXPECT_TRUE(monoFixed);
    // Nested uses share the list; the last end frees it.
    ASSERT_EQ(1, init(0));
    term();
    EXPECT_EQ(n, count());
    term();
    EXPECT_EQ(0, count());
    FreeLibrary(lib);
}

// ---- Without a window ----

TEST(QualityLogic, PrintWithBlackScopeFollowsItsSwitch) {
    OEMDEV r = nvx::settings::DefaultTemplate();
    nvx::settings::SetNumber(r, "bPrintBlack", 0);
    EXPECT_FALSE(quality::ComputeEnables(r).printWithBlackScope);
    nvx::settings::SetNumber(r, "bPrintBlack", 1);
    EXPECT_TRUE(quality::ComputeEnables(r).printWithBlackScope);
}

class FontTable : public PlatformTest {};

TEST_F(FontTable, TheTemplateCountsNineEntriesAndNamesFive) {
    OEMDEV r;
    nvx::settings::BuildTemplate(r);
    EXPECT_EQ(9, nvx::settings::GetNumber(r, "SubFontEntryNum"));
    const auto rows = quality::Substitutions(r);
    ASSERT_EQ(5u, rows.size());
    EXPECT_EQ("Times New Roman", rows[2].trueType);
    EXPECT_EQ("TimesNewRmn", rows[2].device);
}

TEST_F(FontTable, ACountPastTheTableOrBelowZeroReadsOnlyTheTable) {
    OEMDEV r;
    nvx::settings::BuildTemplate(r);
    nvx::settings::SetAnsi(r, nvx::settings::FindField("SubTTFontName[26]"), "Last");
    nvx::settings::SetNumber(r, "SubFontEntryNum", 60000);
    EXPECT_EQ(6u, quality::Substitutions(r).size());
    EXPECT_EQ("Last", quality::Substitutions(r).back().trueType);
    nvx::settings::SetNumber(r, "SubFontEntryNum", 0);
    EXPECT_TRUE(quality::Substitutions(r).empty());
}

TEST_F(FontTable, AStoredNameWithoutTerminatorEndsAtItsSlot) {
    OEMDEV r;
    nvx::settings::BuildTemplate(r);
    std::memset(r.bytes + 5408, 'T', 32);  // entry 0's TrueType slot, full
    std::memset(r.bytes + 6299, 'D', 32);  // and its device slot
    const auto rows = quality::Substitutions(r);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(std::string(31, 'T'), rows[0].trueType);
    EXPECT_EQ(std::string(31, 'D'), rows[0].device);
}

TEST_F(FontTable, ADeviceFontIsSetOnlyOnANamedCountedEntryAndOnlyWhenItFits) {
    OEMDEV r;
    nvx::settings::BuildTemplate(r);
    EXPECT_TRUE(quality::SetDeviceFont(r, 1, WL("Courier 10 Pitch")));
    EXPECT_EQ("Courier 10 Pitch", quality::Substitutions(r)[1].device);
    // 31 bytes fit, 32 do not.
    EXPECT_TRUE(quality::SetDeviceFont(r, 0, WL("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234")));
    EXPECT_FALSE(quality::SetDeviceFont(r, 0, WL("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345")));
    EXPECT_EQ("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", quality::Substitutions(r)[0].device);
    EXPECT_FALSE(quality::SetDeviceFont(r, 0, WL("")));
    EXPECT_FALSE(quality::SetDeviceFont(r, 0, WL("Noto \u4E2D")));  // not in code page 1252
    EXPECT_FALSE(quality::SetDeviceFont(r, 6, WL("Arial"))) << "counted but unnamed";
    EXPECT_FALSE(quality::SetDeviceFont(r, 9, WL("Arial"))) << "past the count";
    EXPECT_EQ(quality::FontNameCheck::TooLong, quality::CheckFontName(WL("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"), nullptr));
    EXPECT_EQ(quality::FontNameCheck::NotAnsi, quality::CheckFontName(WL("\u4E2D"), nullptr));
}

TEST_F(FontTable, AFontNameOfDoubleByteCharactersIsMeasuredInTheCodePage) {
    NvxPlatform_SetAnsiCodePage(932);
    std::string ansi;
    // 15 double-byte characters: 30 bytes fit; 16: 32 bytes do not.
    EXPECT_EQ(quality::FontNameCheck::Ok,
              quality::CheckFontName(WL("\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042"), &ansi));
    EXPECT_EQ(30u, ansi.size());
    EXPECT_EQ(quality::FontNameCheck::TooLong,
              quality::CheckFontName(WL("\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042"), nullptr));
    NvxPlatform_SetAnsiCodePage(1252);
}

// A font data library as a test writes it: its answers come from these.
struct FakeLibrary {
    static inline int initResult = 1;
    static inline int count = 0;
    static inline int terms = 0;
    static inline std::vector<std::string> names;  // "" : that font fails
    static inline std::vector<int> asked;
    static int Init(int mode) { return mode == 0 ? initResult : 0; }
    static void Term() { ++terms; }
    static int Count() { return count; }
    static int Data(int index, unsigned char* work, quality::PrinterFontEntry* entry) {
        asked.push_back(index);
        if (!work || !entry) return 0;
        std::memset(work, 0xCC, quality::kFontWorkBytes);  // the whole work buffer is the library's
        const std::string& n = names[static_cast<size_t>(index) % names.size()];
        if (n.empty()) return 0;
        std::memset(entry->name, 'X', sizeof entry->name);
        std::memcpy(entry->name, n.data(), n.size() < sizeof entry->name ? n.size() + 1 : sizeof entry->name);
        return 1;
    }
    static quality::FontLibraryCalls Calls() { return {Init, Term, Count, Data}; }
    static void Reset() {
        initResult = 1;
        count = 0;
        terms = 0;
        names.clear();
        asked.clear();
    }
};

TEST_F(FontTable, PrinterFontsComeFromTheLibraryInItsOrder) {
    FakeLibrary::Reset();
    FakeLibrary::names = {"Courier", "", "Arial", "Courier", "Symbol"};
    FakeLibrary::count = 5;
    EXPECT_EQ((std::vector<std::string>{"Courier", "Arial", "Symbol"}), quality::ReadPrinterFonts(FakeLibrary::Calls()))
        << "a failed font is skipped, a repeated one listed once";
    EXPECT_EQ(1, FakeLibrary::terms);
}

TEST_F(FontTable, ALibraryThatCountsTooManyIsReadForTheTableOnly) {
    FakeLibrary::Reset();
    FakeLibrary::count = 1000;
    for (int i = 0; i < 60; ++i) FakeLibrary::names.push_back("Font" + std::to_string(i));
    quality::ReadPrinterFonts(FakeLibrary::Calls());
    EXPECT_EQ(static_cast<size_t>(quality::kPrinterFontTable), FakeLibrary::asked.size());
    FakeLibrary::Reset();
    FakeLibrary::names = {"A"};
    FakeLibrary::count = -3;
    EXPECT_TRUE(quality::ReadPrinterFonts(FakeLibrary::Calls()).empty());
    EXPECT_TRUE(FakeLibrary::asked.empty());
}

TEST_F(FontTable, ANameWithoutTerminatorEndsAtItsSlot) {
    FakeLibrary::Reset();
    FakeLibrary::names = {std::string(40, 'N')};
    FakeLibrary::count = 1;
    const auto fonts = quality::ReadPrinterFonts(FakeLibrary::Calls());
    ASSERT_EQ(1u, fonts.size());
    EXPECT_EQ(std::string(31, 'N'), fonts[0]);
}

TEST_F(FontTable, AnIncompleteOrFailingLibraryGivesNoFonts) {
    FakeLibrary::Reset();
    FakeLibrary::names = {"Arial"};
    FakeLibrary::count = 1;
    quality::FontLibraryCalls calls = FakeLibrary::Calls();
    calls.data = nullptr;
    EXPECT_TRUE(quality::ReadPrinterFonts(calls).empty());
    FakeLibrary::initResult = 0;
    EXPECT_TRUE(quality::ReadPrinterFonts(FakeLibrary::Calls()).empty());
    EXPECT_EQ(0, FakeLibrary::terms) << "a library that did not start is not ended";
}

}  // namespace
