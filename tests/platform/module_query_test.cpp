// GetProcAddress by name and ordinal, GetModuleFileNameW/A and GetModuleHandleW/ExW.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "support/platform_test.h"
#include "testdlls/testdll_paths.h"

namespace {

using testdll::Path;
using testdll::Proc;

class ModuleQuery : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module_ = LoadLibraryW(Path("TSTORD.DLL").c_str());
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        PlatformTest::TearDown();
    }
    HMODULE module_ = nullptr;
};

using IntProc = int (*)();

TEST_F(ModuleQuery, ProcAddressByNameAndByOrdinal) {
    const struct {
        const char* name;
        WORD ordinal;
        int value;
    } exports[] = {{"Ord_One", 1, 1}, {"Ord_Two", 2, 2}, {"Ord_Five", 5, 5}};
    for (const auto& e : exports) {
        auto byName = Proc<IntProc>(module_, e.name);
        auto byOrdinal = Proc<IntProc>(module_, MAKEINTRESOURCEA(e.ordinal));
        ASSERT_NE(byName, nullptr) << e.name;
        ASSERT_NE(byOrdinal, nullptr) << e.ordinal;
        EXPECT_EQ(byName, byOrdinal);
        EXPECT_EQ(byOrdinal(), e.value);
    }
    // NONAME: by ordinal only.
    auto hidden = Proc<IntProc>(module_, MAKEINTRESOURCEA(7));
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden(), 7);

    // Empty slots of the gap, past the end, and names the .def does not give.
    for (WORD ordinal : {3, 4, 6, 8, 500}) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(ordinal)), nullptr) << ordinal;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND)) << ordinal;
    }
    for (const char* name : {"Ord_Hidden", "Ord_Internal", "ord_one", "DllMain", "nvx_ordinal_table", ""}) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(module_, name), nullptr) << name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND)) << name;
    }
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(nullptr, "NvxNoSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    int local = 0;
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(&local), "Ord_One"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(ModuleQuery, FileNameAnswersTheFullPath) {
    nvx::WString expected = Path("TSTORD.DLL");
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(module_, path, MAX_PATH);
    ASSERT_EQ(length, expected.size());
    EXPECT_TRUE(nvx::WEqualNoCase(path, expected));
    EXPECT_EQ(path[length], 0);
    EXPECT_EQ(GetModuleFileNameW(module_, path, length + 1), length);  // fits with its terminator
    char narrow[MAX_PATH];
    ASSERT_EQ(GetModuleFileNameA(module_, narrow, MAX_PATH), length);
    EXPECT_TRUE(nvx::WEqualNoCase(nvx::WFromAscii(narrow), expected));

    // The executable, and a handle that is no module.
    DWORD exeLength = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(exeLength, 0u);
    EXPECT_NE(nvx::Utf8FromW(nvx::WStringView(path, exeLength)).find("platform_module_tests"), std::string::npos);
    WCHAR again[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameW(GetModuleHandleW(nullptr), again, MAX_PATH), exeLength);
    int local = 0;
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(&local), path, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

// A buffer too small: the path is cut and terminated, as Windows does since Vista.
TEST_F(ModuleQuery, FileNameTruncatesLikeWindows10) {
    nvx::WString expected = Path("TSTORD.DLL");
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(module_, path, MAX_PATH);
    ASSERT_EQ(length, expected.size());

    // Exactly one character short: cut, terminated, the size answered.
    std::fill(std::begin(path), std::end(path), WCHAR('#'));
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(module_, path, length), length);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(path[length - 1], 0);
    EXPECT_TRUE(nvx::WEqualNoCase(nvx::WStringView(path, length - 1), nvx::WStringView(expected).substr(0, length - 1)));
    EXPECT_EQ(path[length], WCHAR('#'));

    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(module_, path, 1), 1u);
    EXPECT_EQ(path[0], 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    // ANSI: the same.
    char narrow[MAX_PATH];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(module_, narrow, 4), 4u);
    EXPECT_EQ(strlen(narrow), 3u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(ModuleQuery, HandlesByNameAndByAddress) {
    EXPECT_EQ(GetModuleHandleW(WL("TSTORD.DLL")), module_);
    EXPECT_EQ(GetModuleHandleW(WL("tstord")), module_);
    EXPECT_EQ(GetModuleHandleW(Path("TSTORD.DLL").c_str()), module_);
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleW(WL("TSTORD.EXE")), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_NE(GetModuleHandleW(nullptr), nullptr);

    auto one = GetProcAddress(module_, "Ord_One");
    HMODULE found = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(one)), &found));
    EXPECT_EQ(found, module_);

    // Without UNCHANGED_REFCOUNT the handle counts as a load of its own.
    HMODULE counted = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(0, WL("TSTORD.DLL"), &counted));
    EXPECT_EQ(counted, module_);
    EXPECT_TRUE(FreeLibrary(counted));
    EXPECT_EQ(GetModuleHandleW(WL("TSTORD.DLL")), module_);

    SetLastError(0);
    EXPECT_FALSE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                    WL("TSTORD.DLL"), &counted));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(counted, nullptr);
    SetLastError(0);
    EXPECT_FALSE(GetModuleHandleExW(0, WL("TSTORD.DLL"), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_FALSE(GetModuleHandleExW(0, WL("NVXNOTLOADED.DLL"), &counted));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
