// Printer data: the size protocol, rights, keys, enumeration and lifetime.
#include <cstring>
#include <utility>
#include <vector>

#include "common/text.h"
#include "support/platform_test.h"
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

LPWSTR W(const WCHAR* text) {
    return const_cast<LPWSTR>(text);
}

class PrinterData : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        admin_ = AddNamed(WL("DataPrinter"));
        ASSERT_NE(nullptr, admin_);
    }
    void TearDown() override {
        DeletePrinter(admin_);
        ClosePrinter(admin_);
        PlatformTest::TearDown();
    }
    static HANDLE AddNamed(const WCHAR* name) {
        PRINTER_INFO_2W info{};
        info.pPrinterName = W(name);
        info.pDriverName = W(WL("Novrix Test Driver"));
        info.pPortName = W(WL("LPT1:"));
        info.pPrintProcessor = W(WL("winprint"));
        return nvxtest::AddTestPrinter(info);
    }
    DWORD Set(const WCHAR* name, const void* data, DWORD size, DWORD type = REG_BINARY) {
        return SetPrinterDataW(admin_, W(name), type, static_cast<LPBYTE>(const_cast<void*>(data)), size);
    }
    HANDLE admin_ = nullptr;
};

TEST_F(PrinterData, SizeProtocolAndNames) {
    BYTE record[6676];
    for (size_t i = 0; i < sizeof record; ++i) record[i] = static_cast<BYTE>(i);
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Set(WL("DefaultDevOption"), record, sizeof record));

    DWORD type = 0, needed = 0;
    EXPECT_EQ(DWORD(ERROR_MORE_DATA), GetPrinterDataW(admin_, W(WL("DefaultDevOption")), &type, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(sizeof record), needed);
    EXPECT_EQ(DWORD(REG_BINARY), type);
    std::vector<BYTE> back(sizeof record + 1, 0xEE);
    EXPECT_EQ(DWORD(ERROR_MORE_DATA), GetPrinterDataW(admin_, W(WL("defaultdevoption")), &type, back.data(),
                                                      sizeof record - 1, &needed));
    EXPECT_EQ(0xEE, back[0]);
    EXPECT_EQ(DWORD(ERROR_SUCCESS), GetPrinterDataW(admin_, W(WL("DEFAULTDEVOPTION")), &type, back.data(),
                                                    static_cast<DWORD>(back.size()), &needed));
    EXPECT_EQ(0, std::memcmp(record, back.data(), sizeof record));
    EXPECT_EQ(0xEE, back[sizeof record]);

    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetPrinterDataW(admin_, W(WL("Missing")), &type, nullptr, 0, &needed));
#ifndef _WIN32
    // The needed size's pointer is required (Windows' spooler may write through it regardless).
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetPrinterDataW(admin_, W(WL("Missing")), &type, nullptr, 0, nullptr));
#endif
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetPrinterDataW(nullptr, W(WL("x")), &type, nullptr, 0, &needed));

    // The keyed form of "PrinterDriverData" is the same store; other keys are apart.
    EXPECT_EQ(DWORD(ERROR_MORE_DATA),
              GetPrinterDataExW(admin_, WL("PrinterDriverData"), WL("DefaultDevOption"), &type, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND),
              GetPrinterDataExW(admin_, WL("OtherKey"), WL("DefaultDevOption"), &type, nullptr, 0, &needed));
    DWORD four = 4;
    EXPECT_EQ(DWORD(ERROR_SUCCESS),
              SetPrinterDataExW(admin_, WL("OtherKey"), WL("n"), REG_DWORD, reinterpret_cast<LPBYTE>(&four), 4));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetPrinterDataW(admin_, W(WL("n")), &type, nullptr, 0, &needed));
}

TEST_F(PrinterData, DeletingNeedsAdministerAccessAndIgnoresCase) {
    DWORD four = 4, type = 0, needed = 0;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Set(WL("DefaultDevOption"), &four, 4, REG_DWORD));
    PRINTER_DEFAULTSW use{nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE user = nullptr;
    ASSERT_TRUE(OpenPrinterW(W(WL("DataPrinter")), &user, &use));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), DeletePrinterDataW(user, W(WL("DefaultDevOption"))));
    ClosePrinter(user);
    EXPECT_EQ(DWORD(ERROR_SUCCESS), DeletePrinterDataW(admin_, W(WL("defaultDevOption"))));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetPrinterDataW(admin_, W(WL("DefaultDevOption")), &type, nullptr, 0, &needed));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), DeletePrinterDataW(admin_, W(WL("DefaultDevOption"))));
}

TEST_F(PrinterData, WritingNeedsAdministerAccess) {
    DWORD value = 5, needed = 0, type = 0;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Set(WL("WMInfoCnt"), &value, 4, REG_DWORD));
    PRINTER_DEFAULTSW use{nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE user = nullptr;
    ASSERT_TRUE(OpenPrinterW(W(WL("DataPrinter")), &user, &use));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED),
              SetPrinterDataW(user, W(WL("WMInfoCnt")), REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4));
    DWORD got = 0;
    EXPECT_EQ(DWORD(ERROR_SUCCESS),
              GetPrinterDataW(user, W(WL("WMInfoCnt")), &type, reinterpret_cast<LPBYTE>(&got), 4, &needed));
    EXPECT_EQ(5u, got);
    ClosePrinter(user);
}

TEST_F(PrinterData, ZeroSizesAskForTheLargestNameAndData) {
    DWORD nameBytes = 0, dataBytes = 0, type = 0;
    EXPECT_EQ(DWORD(ERROR_NO_MORE_ITEMS),
              EnumPrinterDataW(admin_, 0, nullptr, 0, &nameBytes, &type, nullptr, 0, &dataBytes));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Set(WL("Second"), "xy", 2));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Set(WL("A"), "long data", 9));
    ASSERT_EQ(DWORD(ERROR_SUCCESS),
              EnumPrinterDataW(admin_, 0, nullptr, 0, &nameBytes, &type, nullptr, 0, &dataBytes));
    EXPECT_EQ(14u, nameBytes);  // "Second" with its terminator
    EXPECT_EQ(9u, dataBytes);
}

TEST_F(PrinterData, Enumeration) {
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Set(WL("Second"), "xy", 2));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Set(WL("A"), "long data", 9));
    DWORD nameBytes = 0, dataBytes = 0, type = 0;
    WCHAR name[16];
    BYTE data[16];
    EXPECT_EQ(DWORD(ERROR_MORE_DATA), EnumPrinterDataW(admin_, 0, name, 4, &nameBytes, &type, data, 16, &dataBytes));
    std::vector<nvx::WString> names;
    for (DWORD i = 0; i < 2; ++i) {
        ASSERT_EQ(DWORD(ERROR_SUCCESS),
                  EnumPrinterDataW(admin_, i, name, sizeof name, &nameBytes, &type, data, sizeof data, &dataBytes));
        names.push_back(name);
        EXPECT_EQ(DWORD((names.back().size() + 1) * sizeof(WCHAR)), nameBytes);
        EXPECT_EQ(DWORD(names.back() == WL("A") ? 9 : 2), dataBytes);
    }
    EXPECT_EQ(DWORD(ERROR_NO_MORE_ITEMS),
              EnumPrinterDataW(admin_, 2, name, sizeof name, &nameBytes, &type, data, sizeof data, &dataBytes));
    // Windows gives the values in no set order; the layer keeps the order of writing.
#ifdef _WIN32
    if (names[0] == WL("A")) std::swap(names[0], names[1]);
#endif
    EXPECT_EQ(nvx::WString(WL("Second")), names[0]);
    EXPECT_EQ(nvx::WString(WL("A")), names[1]);
}

TEST_F(PrinterData, DataBelongsToOnePrinterAndGoesWithIt) {
    DWORD value = 1, needed = 0, type = 0;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), Set(WL("IPAddress"), WL("192.0.2.7"), 20, REG_SZ));
    HANDLE other = AddNamed(WL("Other"));
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetPrinterDataW(other, W(WL("IPAddress")), &type, nullptr, 0, &needed));
    ASSERT_EQ(DWORD(ERROR_SUCCESS),
              SetPrinterDataW(other, W(WL("kept")), REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4));
    ASSERT_TRUE(DeletePrinter(other));
    ClosePrinter(other);
    other = AddNamed(WL("Other"));  // a new printer of the same name starts empty
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetPrinterDataW(other, W(WL("kept")), &type, nullptr, 0, &needed));
    DeletePrinter(other);
    ClosePrinter(other);
}

TEST_F(PrinterData, AHandleToADeletedPrinterAnswersDeleted) {
    DWORD value = 1, needed = 0, type = 0;
    HANDLE other = AddNamed(WL("Other"));
    ASSERT_NE(nullptr, other);
    ASSERT_EQ(DWORD(ERROR_SUCCESS),
              SetPrinterDataW(other, W(WL("kept")), REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4));
    ASSERT_TRUE(DeletePrinter(other));
    EXPECT_EQ(DWORD(ERROR_PRINTER_DELETED), GetPrinterDataW(other, W(WL("kept")), &type, nullptr, 0, &needed));
    ClosePrinter(other);
}

#ifndef _WIN32
TEST_F(PrinterData, AnotherProcessSeesTheWrite) {
    pid_t pid = fork();
    if (pid == 0) {
        PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE printer = nullptr;
        if (!OpenPrinterW(W(WL("DataPrinter")), &printer, &all)) _exit(10);
        DWORD value = 42;
        _exit(SetPrinterDataW(printer, W(WL("FromChild")), REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4) ? 11 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(0, WEXITSTATUS(status));
    DWORD got = 0, needed = 0, type = 0;
    EXPECT_EQ(DWORD(ERROR_SUCCESS),
              GetPrinterDataW(admin_, W(WL("FromChild")), &type, reinterpret_cast<LPBYTE>(&got), 4, &needed));
    EXPECT_EQ(42u, got);
}
#endif

}  // namespace
