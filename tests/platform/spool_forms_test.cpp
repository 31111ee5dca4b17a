// Forms: built-in forms, adding, changing, deleting, the size protocol and order.
#include <vector>

#include "common/text.h"
#include "support/platform_test.h"
#ifndef _WIN32
#include "platform/host.h"
#endif

namespace {

LPWSTR W(const WCHAR* text) {
    return const_cast<LPWSTR>(text);
}

FORM_INFO_1W Form(const WCHAR* name, LONG cx, LONG cy) {
    FORM_INFO_1W form{};
    form.Flags = FORM_USER;
    form.pName = W(name);
    form.Size = {cx, cy};
    form.ImageableArea = {0, 0, cx, cy};
    return form;
}

class Forms : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        PRINTER_INFO_2W info{};
        info.pPrinterName = W(WL("FormPrinter"));
        info.pDriverName = W(WL("Novrix Test Driver"));
        info.pPortName = W(WL("LPT1:"));
        info.pPrintProcessor = W(WL("winprint"));
        printer_ = nvxtest::AddTestPrinter(info);
        ASSERT_NE(nullptr, printer_);
    }
    void TearDown() override {
        DeleteFormW(printer_, W(WL("Novrix Custom")));
        DeletePrinter(printer_);
        ClosePrinter(printer_);
        PlatformTest::TearDown();
    }
    bool Add(FORM_INFO_1W form) { return AddFormW(printer_, 1, reinterpret_cast<LPBYTE>(&form)); }
    HANDLE printer_ = nullptr;
};

TEST_F(Forms, BuiltInFormsAndTheSizeProtocol) {
    DWORD needed = 0;
    EXPECT_FALSE(GetFormW(printer_, W(WL("Letter")), 1, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());  // the caller's "form exists" test
    EXPECT_EQ(sizeof(FORM_INFO_1W) + 7 * sizeof(WCHAR), needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetFormW(printer_, W(WL("letter")), 1, buffer.data(), needed, &needed));
    auto* letter = reinterpret_cast<FORM_INFO_1W*>(buffer.data());
    EXPECT_EQ(DWORD(FORM_BUILTIN), letter->Flags);
    EXPECT_EQ(215900, letter->Size.cx);
    EXPECT_EQ(279400, letter->Size.cy);
    EXPECT_EQ(nvx::WString(WL("Letter")), letter->pName);
    EXPECT_EQ(reinterpret_cast<BYTE*>(letter->pName), buffer.data() + sizeof(FORM_INFO_1W));

    EXPECT_FALSE(GetFormW(printer_, W(WL("No Such Form")), 1, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_INVALID_FORM_NAME), GetLastError());
    EXPECT_FALSE(DeleteFormW(printer_, W(WL("A4"))));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    FORM_INFO_1W a4 = Form(WL("A4"), 1000, 1000);
    EXPECT_FALSE(SetFormW(printer_, W(WL("A4")), 1, reinterpret_cast<LPBYTE>(&a4)));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(Forms, AddChangeDeleteUserForm) {
    ASSERT_TRUE(Add(Form(WL("Novrix Custom"), 100000, 400000)));
    EXPECT_FALSE(Add(Form(WL("NOVRIX CUSTOM"), 100000, 400000)));
    EXPECT_EQ(DWORD(ERROR_FILE_EXISTS), GetLastError());
    EXPECT_FALSE(Add(Form(WL(""), 100000, 400000)));
    EXPECT_EQ(DWORD(ERROR_INVALID_FORM_NAME), GetLastError());
    EXPECT_FALSE(Add(Form(WL("Flat"), 0, 400000)));
    EXPECT_EQ(DWORD(ERROR_INVALID_FORM_SIZE), GetLastError());
    FORM_INFO_1W outside = Form(WL("Outside"), 1000, 1000);
    outside.ImageableArea.bottom = 1001;
    EXPECT_FALSE(Add(outside));
    EXPECT_EQ(DWORD(ERROR_INVALID_FORM_SIZE), GetLastError());
    FORM_INFO_1W form = Form(WL("Level2"), 1000, 1000);
    EXPECT_FALSE(AddFormW(printer_, 2, reinterpret_cast<LPBYTE>(&form)));
    EXPECT_EQ(DWORD(ERROR_INVALID_LEVEL), GetLastError());

    // A long form registered with a shorter imageable bottom.
    FORM_INFO_1W changed = Form(WL("Novrix Custom"), 100000, 1200000);
    changed.ImageableArea.bottom = 900000;
    ASSERT_TRUE(SetFormW(printer_, W(WL("novrix custom")), 1, reinterpret_cast<LPBYTE>(&changed)));
    DWORD needed = 0;
    GetFormW(printer_, W(WL("Novrix Custom")), 1, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetFormW(printer_, W(WL("Novrix Custom")), 1, buffer.data(), needed, &needed));
    auto* back = reinterpret_cast<FORM_INFO_1W*>(buffer.data());
    EXPECT_EQ(DWORD(FORM_USER), back->Flags);
    EXPECT_EQ(1200000, back->Size.cy);
    EXPECT_EQ(900000, back->ImageableArea.bottom);

    ASSERT_TRUE(DeleteFormW(printer_, W(WL("Novrix Custom"))));
    EXPECT_FALSE(GetFormW(printer_, W(WL("Novrix Custom")), 1, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_INVALID_FORM_NAME), GetLastError());
    EXPECT_FALSE(DeleteFormW(printer_, W(WL("Novrix Custom"))));
    EXPECT_EQ(DWORD(ERROR_INVALID_FORM_NAME), GetLastError());
#ifndef _WIN32
    NvxPlatform_SetAdministrator(FALSE);
    EXPECT_FALSE(Add(Form(WL("Novrix Custom"), 100000, 400000)));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
#endif
}

TEST_F(Forms, EnumerationBuiltInFirstThenAdded) {
    ASSERT_TRUE(Add(Form(WL("Novrix Custom"), 100000, 400000)));
    DWORD needed = 0, count = 9;
    EXPECT_FALSE(EnumFormsW(printer_, 1, nullptr, 0, &needed, &count));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(0u, count);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumFormsW(printer_, 1, buffer.data(), needed, &needed, &count));
    ASSERT_GE(count, 3u);
    auto* forms = reinterpret_cast<FORM_INFO_1W*>(buffer.data());
    EXPECT_EQ(nvx::WString(WL("Letter")), forms[0].pName);
    EXPECT_EQ(nvx::WString(WL("Novrix Custom")), forms[count - 1].pName);
    bool sawA4 = false;
    for (DWORD i = 0; i < count; ++i) {
        BYTE* name = reinterpret_cast<BYTE*>(forms[i].pName);
        EXPECT_TRUE(name >= buffer.data() + count * sizeof(FORM_INFO_1W) && name < buffer.data() + needed);
        sawA4 |= nvx::WString(forms[i].pName) == WL("A4") && forms[i].Flags == FORM_BUILTIN;
    }
    EXPECT_TRUE(sawA4);
}

}  // namespace
