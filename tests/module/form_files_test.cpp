// Overlay form files: the header read field by field from bytes and from files,
// the resolution classes and properties, the user's form list in the per-user key
// with the shared form folder, and the check before printing, also through the
// module's CheckFormFile.
#include <gtest/gtest.h>

// Files and stores are tried on the platform layer (its own root per test).
#ifndef _WIN32

#include <cstring>
#include <string>
#include <vector>

#include "common/proc.h"
#include "common/text.h"
#include "model/stores.h"
#include "platform/host.h"
#include "platform/ui_host.h"
#include "settings/oemdev.h"
#include "stamps/form_file_dialog.h"
#include "stamps/form_store.h"
#include "support/driver_folder.h"
#include "support/platform_test.h"
#include "support/sheet_builder.h"

namespace {

using namespace nvx::stamps;
using nvx::model::ValueStore;
using Bytes = std::vector<BYTE>;

// A header built by offset (independently of the structs), version 1 or 2.
Bytes HeaderBytes(uint32_t version, uint16_t dpi, const char* name = "Form", size_t size = 0) {
    Bytes b(version == 2 ? 224 : 96, 0);
    std::memcpy(b.data(), "VFO1", 4);
    std::memcpy(b.data() + 4, &version, 4);
    std::memcpy(b.data() + 16, name, std::strlen(name));
    const uint32_t w = 2100, h = 2970;
    std::memcpy(b.data() + 80, &w, 4);
    std::memcpy(b.data() + 84, &h, 4);
    const uint16_t colour = 2, orientation = 2;
    std::memcpy(b.data() + 88, &colour, 2);
    std::memcpy(b.data() + 90, &orientation, 2);
    std::memcpy(b.data() + 92, &dpi, 2);
    if (version == 2) {
        const char16_t wide[] = u"Wide name";
        std::memcpy(b.data() + 96, wide, sizeof wide);
    }
    if (size) b.resize(size, 0xEE);
    return b;
}

TEST(FormHeader, FieldsAreReadAtTheirOffsets) {
    FormHeader h;
    Bytes v1 = HeaderBytes(1, 600, "Letterhead");
    v1.resize(4096, 0x55);  // a body behind the header changes nothing
    ASSERT_EQ(FormHeaderResult::Ok, ReadFormHeader(v1.data(), v1.size(), &h));
    EXPECT_EQ(1u, h.file.version);
    EXPECT_EQ(2100u, h.file.paperKey1);
    EXPECT_EQ(2970u, h.file.paperKey2);
    EXPECT_EQ(2, h.file.colour);
    EXPECT_EQ(2, h.file.orientation);
    EXPECT_EQ(600, h.file.resolution);
    EXPECT_EQ(WL("Letterhead"), FormName(h));
    EXPECT_TRUE(FormWideName(h).empty());
    EXPECT_EQ(0, h.wideName[0]);  // version 1: the extension is zero, not the body's bytes

    const Bytes v2 = HeaderBytes(2, 1200, "Narrow");
    ASSERT_EQ(FormHeaderResult::Ok, ReadFormHeader(v2.data(), v2.size(), &h));
    EXPECT_EQ(WL("Wide name"), FormName(h));
    EXPECT_EQ(WL("Wide name"), FormWideName(h));
}

TEST(FormHeader, DamagedHeadersAreRefusedWithoutReadingPastTheData) {
    FormHeader h;
    std::memset(&h, 0x77, sizeof h);
    const FormHeader untouched = h;
    Bytes b = HeaderBytes(1, 600);
    EXPECT_EQ(FormHeaderResult::Short, ReadFormHeader(b.data(), 95, &h));
    EXPECT_EQ(FormHeaderResult::Short, ReadFormHeader(b.data(), 0, &h));
    EXPECT_EQ(FormHeaderResult::Short, ReadFormHeader(nullptr, 96, &h));
    Bytes v3 = HeaderBytes(3, 600);
    EXPECT_EQ(FormHeaderResult::BadVersion, ReadFormHeader(v3.data(), v3.size(), &h));
    Bytes v0 = HeaderBytes(0, 600);
    EXPECT_EQ(FormHeaderResult::BadVersion, ReadFormHeader(v0.data(), v0.size(), &h));
    Bytes magic = HeaderBytes(1, 600);
    magic[3] = '2';  // "VFO2" is no form file header
    EXPECT_EQ(FormHeaderResult::BadMagic, ReadFormHeader(magic.data(), magic.size(), &h));
    // A version-2 header shorter than its extension: exact sizes, so a sanitizer sees any over-read.
    const Bytes v2 = HeaderBytes(2, 600);
    for (size_t size : {size_t(96), size_t(223)}) {
        Bytes cut(v2.begin(), v2.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(FormHeaderResult::ExtensionMissing, ReadFormHeader(cut.data(), cut.size(), &h)) << size;
    }
    EXPECT_EQ(0, std::memcmp(&h, &untouched, sizeof h));
    // The 8-bit name filling its whole field is cut at the field's end.
    Bytes full = HeaderBytes(1, 600);
    std::memset(full.data() + 16, 'N', 64);
    ASSERT_EQ(FormHeaderResult::Ok, ReadFormHeader(full.data(), full.size(), &h));
    EXPECT_EQ(64u, FormName(h).size());
}

TEST(FormHeader, ResolutionClasses) {
    FormHeader h{};
    std::memcpy(h.file.magic, "VFO1", 4);
    h.file.resolution = 1200;
    EXPECT_EQ(1, FormResolutionClass(h));
    h.file.resolution = 600;
    EXPECT_EQ(2, FormResolutionClass(h));
    h.file.resolution = 300;
    EXPECT_EQ(0, FormResolutionClass(h));
    std::memcpy(h.file.magic, "VFO2", 4);
    h.file.resolution = 600;
    EXPECT_EQ(2, FormResolutionClass(h));
    const uint32_t raster = 65;
    std::memcpy(h.file.magic, &raster, 4);
    EXPECT_EQ(3, FormResolutionClass(h));
    std::memcpy(h.file.magic, "ABCD", 4);
    EXPECT_EQ(0, FormResolutionClass(h));

    EXPECT_EQ(1, JobResolutionClass("1200dpi_8bit"));
    EXPECT_EQ(1, JobResolutionClass("1200dpi_3"));
    EXPECT_EQ(2, JobResolutionClass("600dpi_1bit"));
    EXPECT_EQ(0, JobResolutionClass("300dpi"));
    EXPECT_EQ(3, JobResolutionClass("1200dpi_Raster"));
    EXPECT_EQ(0, JobResolutionClass("1200dpi_raster"));  // names are exact
    EXPECT_EQ(0, JobResolutionClass("Unknown"));
    EXPECT_EQ(0, JobResolutionClass(nullptr));
}

TEST(FormHeader, Properties) {
    FormHeader h;
    const Bytes b = HeaderBytes(1, 600, "");
    ASSERT_EQ(FormHeaderResult::Ok, ReadFormHeader(b.data(), b.size(), &h));
    const std::vector<FormPaper> papers = {{WL("Letter"), 2159, 2794, false}, {WL("A4"), 2100, 2970, false}};
    std::vector<FormProperty> rows = FormProperties(WL("C:\\Forms\\memo.vfo"), h, papers, false);
    ASSERT_EQ(6u, rows.size());  // no "Color:" on a monochrome model
    EXPECT_EQ(WL("Overlay Name:"), rows[0].label);
    EXPECT_EQ(WL("memo"), rows[0].value);  // the base name when the header has none
    EXPECT_EQ(WL("memo.vfo"), rows[1].value);
    EXPECT_EQ(WL("C:\\Forms"), rows[2].value);
    EXPECT_EQ(WL("A4"), rows[3].value);
    EXPECT_EQ(WL("Landscape"), rows[4].value);
    EXPECT_EQ(WL("Resolution:"), rows[5].label);
    EXPECT_EQ(WL("600 dpi"), rows[5].value);
    rows = FormProperties(WL("C:\\memo.vfo"), h, {{WL("Custom"), 0, 0, true}}, true);
    ASSERT_EQ(7u, rows.size());
    EXPECT_EQ(WL("C:\\"), rows[2].value);
    EXPECT_EQ(WL("Custom"), rows[3].value);  // the custom entry names any paper
    EXPECT_EQ(WL("Color"), rows[5].value);
    EXPECT_TRUE(FormPaperName(h, {{WL("Letter"), 2159, 2794, false}}).empty());
}

TEST(FormHeader, WriterOutputReadsBack) {
    NewForm form;
    form.name = "Sample";
    form.wideName = WL("Sample wide");
    form.version = 2;
    form.resolution = 1200;
    form.bodyBytes = 64;
    const Bytes bytes = MakeFormFile(form);
    ASSERT_EQ(224u + 64u, bytes.size());
    uint32_t body = 0, offset = 0;
    std::memcpy(&body, bytes.data() + 8, 4);
    std::memcpy(&offset, bytes.data() + 12, 4);
    EXPECT_EQ(64u, body);
    EXPECT_EQ(224u, offset);
    FormHeader h;
    ASSERT_EQ(FormHeaderResult::Ok, ReadFormHeader(bytes.data(), bytes.size(), &h));
    EXPECT_EQ(WL("Sample wide"), FormName(h));
    EXPECT_EQ(1, FormResolutionClass(h));
}

TEST(FormPaths, FolderMatching) {
    EXPECT_TRUE(PathInFolder(WL("C:\\Shared\\a.vfo"), WL("c:\\shared")));
    EXPECT_TRUE(PathInFolder(WL("C:\\Shared\\a.vfo"), WL("C:\\Shared\\")));
    EXPECT_TRUE(PathInFolder(WL("/srv/forms/a.VFO"), WL("/srv/forms")));
    EXPECT_FALSE(PathInFolder(WL("C:\\SharedMore\\a.vfo"), WL("C:\\Shared")));
    EXPECT_FALSE(PathInFolder(WL("C:\\Sh"), WL("C:\\Shared")));
    EXPECT_FALSE(PathInFolder(WL("C:\\a.vfo"), WL("")));
    EXPECT_EQ(WL("a.vfo"), FileNamePart(WL("a.vfo")));
    EXPECT_EQ(WL(""), FolderPart(WL("a.vfo")));
    EXPECT_EQ(WL(".hidden"), BaseNamePart(WL("/x/.hidden")));
}

// ---- Files, stores and the check ---------------------------------------------------

class FormStoreTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        printer_ = nvxtest::AddTestPrinter(WL("Forms Fax"));
        ASSERT_NE(nullptr, printer_);
        ASSERT_EQ(ERROR_SUCCESS, nvx::model::CreateUserKey(printer_, &key_));
        dir_ = nvxtest::MakeTempDir("forms");
        record_.assign(nvx::settings::kOemDevSize, 0);
    }
    void TearDown() override {
        key_.Close();
        if (printer_) ClosePrinter(printer_);
        nvxtest::RemoveTree(dir_);
        NvxPlatform_SetAdministrator(TRUE);
        PlatformTest::TearDown();
    }
    nvx::WString Path(const char* name) const { return nvx::WFromUtf8(dir_ + "/" + name); }
    nvx::WString Write(const char* name, const Bytes& bytes) const {
        const nvx::WString p = Path(name);
        HANDLE f = CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, f);
        DWORD n = 0;
        if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
        CloseHandle(f);
        return p;
    }
    nvx::WString Form(const char* name, uint16_t dpi = 600) const { return Write(name, HeaderBytes(1, dpi, name)); }
    ValueStore User() const { return ValueStore::OfKey(key_.get()); }
    void PutSlot(uint32_t number, const nvx::WString& path) const {
        const nvx::WString name = nvx::WFormatString(WL("Form%d"), number);
        User().Write(name.c_str(), REG_SZ, path.c_str(), static_cast<DWORD>((path.size() + 1) * 2));
    }
    OEMDEV& Record() { return *reinterpret_cast<OEMDEV*>(record_.data()); }
    void Choose(int32_t position, bool on = true) {
        nvx::settings::SetNumber(Record(), "bOverlay", on ? 1 : 0);
        nvx::settings::SetNumber(Record(), "nFormListPos", position);
    }

    HANDLE printer_ = nullptr;
    nvx::model::RegKey key_;
    std::string dir_;
    Bytes record_;
};

TEST_F(FormStoreTest, FilesThatAreNoFormsAreRefused) {
    FormHeader h;
    EXPECT_EQ(FormHeaderResult::Ok, ReadFormFileHeader(Form("good.vfo").c_str(), &h));
    EXPECT_EQ(FormHeaderResult::Short, ReadFormFileHeader(Write("short.vfo", Bytes(95, 'V')).c_str(), &h));
    EXPECT_EQ(FormHeaderResult::Short, ReadFormFileHeader(Write("empty.vfo", {}).c_str(), &h));
    EXPECT_EQ(FormHeaderResult::BadVersion, ReadFormFileHeader(Write("v3.vfo", HeaderBytes(3, 600)).c_str(), &h));
    Bytes v2 = HeaderBytes(2, 600);
    v2.resize(200);
    EXPECT_EQ(FormHeaderResult::ExtensionMissing, ReadFormFileHeader(Write("v2.vfo", v2).c_str(), &h));
    // A body claiming 4 GB (the print path's fields) is never looked at.
    Bytes huge = HeaderBytes(1, 600);
    const uint32_t claimed = 0xFFFFFFFFu;
    std::memcpy(huge.data() + 8, &claimed, 4);
    std::memcpy(huge.data() + 12, &claimed, 4);
    EXPECT_EQ(FormHeaderResult::Ok, ReadFormFileHeader(Write("huge.vfo", huge).c_str(), &h));
    // A folder named like a form, a missing file, no path.
    ASSERT_TRUE(CreateDirectoryW(Path("folder.vfo").c_str(), nullptr));
    EXPECT_EQ(FormHeaderResult::Unreadable, ReadFormFileHeader(Path("folder.vfo").c_str(), &h));
    EXPECT_EQ(FormHeaderResult::Unreadable, ReadFormFileHeader(Path("gone.vfo").c_str(), &h));
    EXPECT_EQ(FormHeaderResult::Unreadable, ReadFormFileHeader(WL(""), &h));
    EXPECT_EQ(FormHeaderResult::Unreadable, ReadFormFileHeader(nullptr, &h));
}

TEST_F(FormStoreTest, TheListReadsUserSlotsAfterTheSharedOnes) {
    const std::string shared = dir_ + "/shared";
    ASSERT_TRUE(CreateDirectoryW(nvx::WFromUtf8(shared).c_str(), nullptr));
    const nvx::WString s1 = Write("shared/B.VFO", HeaderBytes(1, 1200, "B"));
    const nvx::WString s2 = Write("shared/A.VFO", HeaderBytes(1, 600, "A"));
    Write("shared/junk.VFO", Bytes(10, 0));  // not a form: not listed
    const nvx::WString own1 = Form("own1.vfo");
    const nvx::WString own2 = Form("own2.vfo");
    User().WriteDword(kSharedFormCountValue, 1);
    User().WriteDword(kFormCountValue, 6);
    PutSlot(1, WL("C:\\never\\read.vfo"));  // a shared slot: not read from the key
    PutSlot(2, own1);
    PutSlot(3, s1);                         // points into the shared folder: listed once
    PutSlot(4, WL(""));                     // empty: skipped
    PutSlot(5, own2);
    PutSlot(6, own1);                       // twice: listed once
    const FormList list = ReadFormList(User(), nvx::WFromUtf8(shared));
    ASSERT_EQ(4u, list.forms.size());
    EXPECT_EQ(2u, list.sharedCount);
    EXPECT_EQ(s2, list.forms[0].path);  // shared ones by name
    EXPECT_EQ(s1, list.forms[1].path);
    EXPECT_TRUE(list.forms[0].shared && list.forms[1].shared);
    EXPECT_EQ(own1, list.forms[2].path);
    EXPECT_EQ(own2, list.forms[3].path);
    EXPECT_FALSE(list.forms[3].shared);
    EXPECT_TRUE(list.forms[3].usable);
}

TEST_F(FormStoreTest, AGoneFileKeepsItsPositionAndADamagedCountIsBounded) {
    const nvx::WString a = Form("a.vfo"), b = Form("b.vfo");
    User().WriteDword(kFormCountValue, 0xFFFFFFFFu);
    PutSlot(1, a);
    PutSlot(2, b);
    ASSERT_TRUE(DeleteFileW(a.c_str()));
    const FormList list = ReadFormList(User(), nvx::WString());
    ASSERT_EQ(2u, list.forms.size());
    EXPECT_FALSE(list.forms[0].usable);
    EXPECT_EQ(b, list.forms[1].path);  // still position 1, which a record may hold
    EXPECT_TRUE(list.forms[1].usable);
    // A path longer than a form path, and a value of another type, are left out.
    User().WriteDword(kFormCountValue, 2);
    PutSlot(1, nvx::WString(300, u'x'));
    User().WriteDword(WL("Form2"), 7);
    EXPECT_TRUE(ReadFormList(User(), nvx::WString()).forms.empty());
}

TEST_F(FormStoreTest, WritingNumbersAfterTheSharedFormsAndDeletesLeftovers) {
    User().WriteDword(kFormCountValue, 5);
    for (uint32_t i = 1; i <= 5; ++i) PutSlot(i, WL("old"));
    FormList list;
    list.forms.push_back({WL("/s/one.vfo"), {}, true, true});
    list.sharedCount = 1;
    list.forms.push_back({WL("/u/a.vfo"), {}, false, true});
    list.forms.push_back({WL("/u/b.vfo"), {}, false, true});
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WriteFormList(User(), list));
    uint32_t count = 0, shared = 0;
    ASSERT_TRUE(User().ReadDword(kFormCountValue, &count));
    ASSERT_TRUE(User().ReadDword(kSharedFormCountValue, &shared));
    EXPECT_EQ(3u, count);
    EXPECT_EQ(1u, shared);
    std::vector<BYTE> v;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), User().ReadAll(WL("Form2"), &v));
    EXPECT_EQ(WL("/u/a.vfo"), nvx::WString(reinterpret_cast<const WCHAR*>(v.data())));
    EXPECT_NE(DWORD(ERROR_SUCCESS), User().ReadAll(WL("Form4"), &v));
    EXPECT_NE(DWORD(ERROR_SUCCESS), User().ReadAll(WL("Form5"), &v));
}

TEST_F(FormStoreTest, AddAndRemove) {
    FormList list;
    list.sharedFolder = nvx::WFromUtf8(dir_ + "/shared");
    EXPECT_EQ(FormAdd::Done, AddForm(&list, Form("a.vfo")));
    EXPECT_EQ(FormAdd::AlreadyListed, AddForm(&list, Form("a.vfo")));
    EXPECT_EQ(FormAdd::NotAForm, AddForm(&list, Write("x.vfo", Bytes(100, 0))));
    EXPECT_EQ(FormAdd::InSharedFolder, AddForm(&list, list.sharedFolder + WL("/z.vfo")));
    EXPECT_EQ(FormAdd::TooLong, AddForm(&list, nvx::WString(260, u'a')));
    ASSERT_EQ(1u, list.forms.size());
    list.forms.insert(list.forms.begin(), FormEntry{WL("/s.vfo"), {}, true, true});
    list.sharedCount = 1;
    EXPECT_FALSE(RemoveForm(&list, 0));  // shared
    EXPECT_FALSE(RemoveForm(&list, 2));
    EXPECT_TRUE(RemoveForm(&list, 1));
    EXPECT_EQ(1u, list.forms.size());
}

TEST_F(FormStoreTest, TheCheckBeforePrinting) {
    const OverlayModel flag{1, true}, operation{2, true};
    const nvx::WString a = Form("a.vfo");
    FormList list;
    ASSERT_EQ(FormAdd::Done, AddForm(&list, a));
    ASSERT_EQ(FormAdd::Done, AddForm(&list, Form("b.vfo")));

    Choose(0, false);
    EXPECT_EQ(FormCheck::Go, CheckChosenForms(Record(), flag, list));  // overlay off
    Choose(0);
    EXPECT_EQ(FormCheck::Go, CheckChosenForms(Record(), flag, list));
    EXPECT_EQ(FormCheck::Go, CheckChosenForms(Record(), OverlayModel{}, list));  // no overlay on the model
    // Kind 2 goes by the operation, not the flag.
    EXPECT_EQ(FormCheck::Go, CheckChosenForms(Record(), operation, list));
    Choose(5, false);
    nvx::settings::SetNumber(Record(), "nOverlay_Switch_op", 2);
    EXPECT_EQ(FormCheck::FormMissing, CheckChosenForms(Record(), operation, list));
    nvx::settings::SetNumber(Record(), "nOverlay_Switch_op", 0);
    Choose(-1);
    EXPECT_EQ(FormCheck::FormMissing, CheckChosenForms(Record(), flag, list));
    // Deleted between listing and checking.
    Choose(0);
    ASSERT_TRUE(DeleteFileW(a.c_str()));
    EXPECT_EQ(FormCheck::FormMissing, CheckChosenForms(Record(), flag, list));
    // The form for other pages: a shared one gone cancels.
    Choose(1);
    nvx::settings::SetNumber(Record(), "bEnable2p", 1);
    nvx::settings::SetNumber(Record(), "nFormListPos2p", 1);
    EXPECT_EQ(FormCheck::Go, CheckChosenForms(Record(), flag, list));
    list.forms[0].shared = true;
    list.sharedCount = 1;
    nvx::settings::SetNumber(Record(), "nFormListPos2p", 0);
    EXPECT_EQ(FormCheck::SharedMissing, CheckChosenForms(Record(), flag, list));
    EXPECT_EQ(FormCheck::Go, CheckChosenForms(Record(), OverlayModel{1, false}, list));

    // The tab's start drops the overlay whose form is gone.
    EXPECT_TRUE(DropMissingForms(Record(), flag, list));
    EXPECT_EQ(0, nvx::settings::GetNumber(Record(), "bOverlay"));
    EXPECT_EQ(-1, nvx::settings::GetNumber(Record(), "nFormListPos"));
    EXPECT_FALSE(DropMissingForms(Record(), flag, list));
}

// CheckFormFile through the module: the question when the form is gone (Yes goes on,
// No cancels), nothing asked when the form is there, and the record never changed.
struct Answers {
    int answer = IDYES;
    int asked = 0;
    std::string text;
};
int Respond(void* context, HWND, LPCWSTR caption, LPCWSTR text, UINT type) {
    auto* a = static_cast<Answers*>(context);
    ++a->asked;
    a->text = nvx::Utf8FromW(caption) + ": " + nvx::Utf8FromW(text);
    return (type & MB_YESNO) ? a->answer : IDOK;
}

TEST_F(FormStoreTest, CheckFormFileExport) {
    nvxtest::DriverCopy driver;
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    auto check = nvx::ProcAs<UINT_PTR (*)(UINT_PTR, UINT_PTR, UINT_PTR, UINT_PTR)>(GetProcAddress(module, "CheckFormFile"));
    ASSERT_NE(nullptr, check);
    Answers answers;
    NvxUi_SetMessageBoxResponder(Respond, &answers);
    const UINT_PTR printer = reinterpret_cast<UINT_PTR>(printer_);
    const UINT_PTR record = reinterpret_cast<UINT_PTR>(record_.data());

    EXPECT_EQ(1u, check(printer, 0, 0, 0));  // no record: nothing to check
    EXPECT_EQ(1u, check(printer, 0, record, 0));  // overlay off
    const nvx::WString a = Form("a.vfo");
    User().WriteDword(kFormCountValue, 1);
    PutSlot(1, a);
    Choose(0);
    const Bytes before = record_;
    EXPECT_EQ(1u, check(printer, 0, record, 0));
    EXPECT_EQ(0, answers.asked);
    ASSERT_TRUE(DeleteFileW(a.c_str()));
    EXPECT_EQ(1u, check(printer, 0, record, 0));
    EXPECT_EQ(1, answers.asked);
    EXPECT_NE(std::string::npos, answers.text.find("Overlay Form: The overlay form chosen")) << answers.text;
    answers.answer = IDNO;
    EXPECT_EQ(0u, check(printer, 0, record, 0));
    EXPECT_EQ(2, answers.asked);
    EXPECT_EQ(before, record_);
    NvxUi_SetMessageBoxResponder(nullptr, nullptr);
    FreeLibrary(module);
}

// GetFormFileName through the module: the host answers the file dialog.
struct FileAnswers {
    std::vector<nvx::WString> paths;  // answered in turn; past the end: cancel
    size_t next = 0;
    std::vector<nvx::WString> initialDirs, titles;
    std::vector<DWORD> flags;
};
BOOL AnswerFile(void* context, BOOL, const OPENFILENAMEW* ofn, LPWSTR path, DWORD capacity) {
    auto* a = static_cast<FileAnswers*>(context);
    a->initialDirs.push_back(ofn->lpstrInitialDir ? ofn->lpstrInitialDir : WL(""));
    a->titles.push_back(ofn->lpstrTitle ? ofn->lpstrTitle : WL(""));
    a->flags.push_back(ofn->Flags);
    if (a->next >= a->paths.size()) return FALSE;
    nvx::WCopy(path, capacity, a->paths[a->next++]);
    return TRUE;
}

TEST_F(FormStoreTest, GetFormFileNameExport) {
    nvxtest::DriverCopy driver;
    HMODULE module = LoadLibraryW(driver.WidePath("NOVRIX_U.DLL").c_str());
    ASSERT_NE(nullptr, module) << GetLastError();
    auto get = nvx::ProcAs<UINT_PTR (*)(UINT_PTR*)>(GetProcAddress(module, "GetFormFileName"));
    ASSERT_NE(nullptr, get);
    DWORD needed = 0;
    GetPrinterW(printer_, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    ASSERT_TRUE(GetPrinterW(printer_, 2, info.data(), needed, &needed));
    const auto* p2 = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
    FileAnswers answers;
    NvxUi_SetFileDialogResponder(AnswerFile, &answers);
    Answers boxes;
    NvxUi_SetMessageBoxResponder(Respond, &boxes);

    EXPECT_EQ(0u, get(nullptr));
    FormFileRequest request{};
    request.mode = 1;
    request.printer = p2->pPrinterName;
    request.driver = p2->pDriverName;
    EXPECT_EQ(0u, get(reinterpret_cast<UINT_PTR*>(&request)));  // cancelled: nothing written
    EXPECT_EQ(0, request.path[0]);
    ASSERT_EQ(1u, answers.titles.size());
    EXPECT_EQ(WL("Import Overlay Form File"), answers.titles[0]);
    EXPECT_EQ(3u, answers.initialDirs[0].size()) << "the drive root of the Windows folder";
    EXPECT_TRUE(answers.flags[0] & OFN_FILEMUSTEXIST);

    // Open: the chosen file, and its folder remembered for the next dialog.
    const nvx::WString a = Form("a.vfo");
    answers.paths = {a};
    ASSERT_EQ(1u, get(reinterpret_cast<UINT_PTR*>(&request)));
    EXPECT_EQ(a, nvx::WString(request.path));
    request.path[0] = 0;
    answers.paths.clear();
    answers.next = 0;
    get(reinterpret_cast<UINT_PTR*>(&request));
    EXPECT_EQ(nvx::WFromUtf8(dir_), answers.initialDirs.back());

    // Save: a name without extension is refused (525) and the dialog comes back; a
    // folder other than the proposed one is asked about (440), No brings it back.
    const std::string other = dir_ + "/other";
    ASSERT_TRUE(CreateDirectoryW(nvx::WFromUtf8(other).c_str(), nullptr));
    request.mode = 0;
    request.useFixedFolder = 1;
    nvx::WCopy(request.fixedFolder, 260, nvx::WFromUtf8(dir_));
    answers.paths = {Path("noextension"), nvx::WFromUtf8(other + "/new.VFO"), Path("new.VFO")};
    answers.next = 0;
    boxes.answer = IDNO;
    boxes.asked = 0;
    ASSERT_EQ(1u, get(reinterpret_cast<UINT_PTR*>(&request)));
    EXPECT_EQ(Path("new.VFO"), nvx::WString(request.path));
    EXPECT_EQ(2, boxes.asked);  // 525, then 440
    EXPECT_EQ(3u, answers.next);
    EXPECT_EQ(0u, request.useFixedFolder) << "cleared after a create-mode dialog";
    EXPECT_EQ(WL("Create New Overlay Form File"), answers.titles.back());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Path("new.VFO").c_str())) << "the trial file is gone";

    NvxUi_SetFileDialogResponder(nullptr, nullptr);
    NvxUi_SetMessageBoxResponder(nullptr, nullptr);
    FreeLibrary(module);
}

}  // namespace

#endif  // _WIN32
