// Loading and freeing libraries: attach and detach, reference counts, nested
// loads, search order, data-file loads and the error codes of failed loads.
#include <filesystem>

#include "support/platform_test.h"
#include "testdlls/testdll_paths.h"

namespace {

using testdll::Path;
using testdll::Proc;

class ModuleLoad : public PlatformTest {};

TEST_F(ModuleLoad, AttachesOnceAndDetachesOnTheLastFree) {
    testdll::Probe probe;
    ASSERT_TRUE(probe.Loaded());
    HMODULE first = LoadLibraryW(Path("TSTMAIN.DLL").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(probe.Log(), "main-attach;");
    // The entry point received the module handle that LoadLibraryW answers.
    auto self = Proc<HINSTANCE (*)()>(first, "Main_Self");
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(reinterpret_cast<HMODULE>(self()), first);

    HMODULE second = LoadLibraryW(Path("TSTMAIN.DLL").c_str());
    EXPECT_EQ(second, first);
    HMODULE byName = LoadLibraryW(WL("tstmain"));  // loaded modules match by base name
    EXPECT_EQ(byName, first);
    EXPECT_EQ(probe.Log(), "main-attach;");

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_TRUE(FreeLibrary(byName));
    EXPECT_EQ(probe.Log(), "main-attach;");
    EXPECT_EQ(GetModuleHandleW(WL("TSTMAIN.DLL")), first);
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(probe.Log(), "main-attach;main-detach;");

    SetLastError(0);
    EXPECT_EQ(GetModuleHandleW(WL("TSTMAIN.DLL")), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(ModuleLoad, ALibraryLoadedAgainStartsFresh) {
    HMODULE probe = LoadLibraryW(Path("TSTPROBE.DLL").c_str());
    ASSERT_NE(probe, nullptr);
    Proc<void (*)(const char*)>(probe, "Probe_Note")("old");
    EXPECT_TRUE(FreeLibrary(probe));
    EXPECT_EQ(GetModuleHandleW(WL("TSTPROBE.DLL")), nullptr);
    probe = LoadLibraryW(Path("TSTPROBE.DLL").c_str());
    ASSERT_NE(probe, nullptr);
    char log[64] = "?";
    EXPECT_EQ(Proc<int (*)(char*, int)>(probe, "Probe_Read")(log, sizeof log), 0);
    EXPECT_STREQ(log, "");
    EXPECT_TRUE(FreeLibrary(probe));
}

TEST_F(ModuleLoad, RefusedAttachDetachesAndLeavesNothingLoaded) {
    testdll::Probe probe;
    auto marker = testdll::FsPath(Path("TSTMAIN.DLL") + WL(".fail"));
    testdll::WriteFile(marker, "x");
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(Path("TSTMAIN.DLL").c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
    EXPECT_EQ(probe.Log(), "main-refuse;main-detach;");
    EXPECT_EQ(GetModuleHandleW(WL("TSTMAIN.DLL")), nullptr);
    std::filesystem::remove(marker);

    probe.Clear();
    HMODULE module = LoadLibraryW(Path("TSTMAIN.DLL").c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(probe.Log(), "main-attach;");
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(ModuleLoad, LibraryLoadsAnotherInsideItsEntryPoint) {
    testdll::Probe probe;
    HMODULE nest = LoadLibraryW(Path("TSTNEST.DLL").c_str());
    ASSERT_NE(nest, nullptr);
    EXPECT_EQ(probe.Log(), "nest-attach;main-attach;");
    auto inner = Proc<HMODULE (*)()>(nest, "Nest_Inner");
    ASSERT_NE(inner, nullptr);
    HMODULE main = GetModuleHandleW(WL("TSTMAIN.DLL"));
    EXPECT_NE(main, nullptr);
    EXPECT_EQ(inner(), main);

    // The test holds its own reference: the nested detach must not unload it.
    HMODULE held = LoadLibraryW(Path("TSTMAIN.DLL").c_str());
    EXPECT_EQ(held, main);
    EXPECT_TRUE(FreeLibrary(nest));
    EXPECT_EQ(probe.Log(), "nest-attach;main-attach;nest-detach;");
    EXPECT_EQ(GetModuleHandleW(WL("TSTNEST.DLL")), nullptr);
    EXPECT_TRUE(FreeLibrary(held));
    EXPECT_EQ(probe.Log(), "nest-attach;main-attach;nest-detach;main-detach;");
}

TEST_F(ModuleLoad, FailedLoadsAnswerTheWin32Errors) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(Path("NOSUCH.DLL").c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(WL("NVXNOSUCHLIBRARY.DLL")), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    std::string folder = nvxtest::MakeTempDir("junk");
    std::filesystem::path junk = std::filesystem::path(folder) / "JUNK.DLL";
    testdll::WriteFile(junk, "This is not a library, just text.\n" + std::string(512, 'x'));
    nvx::WString junkPath = nvx::WFromUtf8(junk.string());
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(junkPath.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    nvxtest::RemoveTree(folder);

#ifndef _WIN32
    // The reserved file handle must be null (the layer refuses anything else).
    SetLastError(0);
    EXPECT_EQ(LoadLibraryExW(Path("TSTORD.DLL").c_str(), reinterpret_cast<HANDLE>(1), 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
#endif

    // Handles that are no module.
    int local = 0;
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&local)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_FALSE(DisableThreadLibraryCalls(reinterpret_cast<HMODULE>(&local)));
}

TEST_F(ModuleLoad, RelativeNamesSearchTheCurrentFolder) {
    namespace fs = std::filesystem;
    std::string folder = nvxtest::MakeTempDir("cwd");
    fs::copy_file(testdll::FsPath(Path("TSTORD.DLL")), fs::path(folder) / "COPYORD.DLL");
    fs::path previous = fs::current_path();
    fs::current_path(folder);

    // No extension: ".dll" is added; case does not matter.
    HMODULE module = LoadLibraryW(WL("copyord"));
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(GetModuleHandleW(WL("COPYORD.DLL")), module);
    EXPECT_EQ(GetModuleHandleW(WL("CopyOrd")), module);
    // A trailing dot means "no extension": there is no file "copyord".
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(WL("copyord.")), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    if (module) {
        auto one = Proc<int (*)()>(module, "Ord_One");
        ASSERT_NE(one, nullptr);
        EXPECT_EQ(one(), 1);
        EXPECT_TRUE(FreeLibrary(module));
    }
    fs::current_path(previous);
    nvxtest::RemoveTree(folder);
}

#ifndef _WIN32
TEST_F(ModuleLoad, RelativeNamesSearchTheSystemFolder) {
    namespace fs = std::filesystem;
    fs::path system = fs::path(Root()) / "drive_c" / "Windows" / "System32";
    fs::create_directories(system);
    fs::copy_file(testdll::FsPath(Path("TSTORD.DLL")), system / "SYSORD.DLL");
    HMODULE module = LoadLibraryW(WL("sysord.dll"));
    ASSERT_NE(module, nullptr);
    WCHAR path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(module, path, MAX_PATH), 0u);
    EXPECT_EQ(nvx::Utf8FromW(path), fs::canonical(system / "SYSORD.DLL").string());
    EXPECT_TRUE(FreeLibrary(module));
}
#endif

TEST_F(ModuleLoad, DataFileLoadsRunNoEntryPointAndExportNothing) {
    testdll::Probe probe;
    HMODULE data = LoadLibraryExW(Path("TSTMAIN.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(probe.Log(), "");
    EXPECT_EQ(GetProcAddress(data, "Main_Value"), nullptr);
    EXPECT_EQ(GetModuleHandleW(WL("TSTMAIN.DLL")), nullptr);
    EXPECT_TRUE(FreeLibrary(data));
    EXPECT_EQ(probe.Log(), "");

    // Resources are there.
    HMODULE resources = LoadLibraryExW(Path("TSTRES.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(resources, nullptr);
    EXPECT_NE(FindResourceW(resources, MAKEINTRESOURCEW(100), RT_DIALOG), nullptr);
    EXPECT_TRUE(FreeLibrary(resources));

    // A data-file request for a library loaded already answers that library.
    HMODULE normal = LoadLibraryW(Path("TSTORD.DLL").c_str());
    ASSERT_NE(normal, nullptr);
    HMODULE again = LoadLibraryExW(Path("TSTORD.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_EQ(again, normal);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_NE(GetProcAddress(normal, "Ord_One"), nullptr);
    EXPECT_TRUE(FreeLibrary(normal));
}

TEST_F(ModuleLoad, SystemModulesAnswerAsThePlatform) {
    HMODULE kernel = GetModuleHandleW(WL("kernel32.dll"));
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(GetModuleHandleW(WL("KERNEL32")), kernel);
    EXPECT_EQ(LoadLibraryW(WL("Kernel32.DLL")), kernel);
    EXPECT_TRUE(FreeLibrary(kernel));

    auto getLastError = Proc<DWORD (*)()>(kernel, "GetLastError");
    ASSERT_NE(getLastError, nullptr);
    SetLastError(1234);
    EXPECT_EQ(getLastError(), 1234u);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(kernel, "NvxNoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    HMODULE user = LoadLibraryW(WL("user32.dll"));
    ASSERT_NE(user, nullptr);
    EXPECT_NE(GetProcAddress(user, "LoadStringW"), nullptr);
    WCHAR path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(user, path, MAX_PATH);
    ASSERT_GT(length, 10u);
    EXPECT_TRUE(nvx::WEqualNoCase(nvx::WStringView(path + length - 10, 10), WL("user32.dll")));
    EXPECT_TRUE(FreeLibrary(user));
}

}  // namespace
