// Registry keys: creating, opening, closing, deleting, names, rights and stale handles.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "common/text.h"
#include "support/platform_test.h"
#ifndef _WIN32
#include "platform/host.h"
#endif

namespace {

const WCHAR kBase[] = WL("Software\\NovrixTest");

class RegistryKeys : public PlatformTest {
protected:
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kBase);
        RegDeleteKeyW(HKEY_CURRENT_USER, kBase);
        PlatformTest::TearDown();
    }
    // Creates a key below the test base and answers its handle (all access).
    HKEY Create(const WCHAR* subKey, DWORD* disposition = nullptr) {
        nvx::WString path = nvx::WString(kBase) + WL("\\") + subKey;
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, disposition));
        return key;
    }
};

TEST_F(RegistryKeys, CreateMakesIntermediateKeysAndReportsDisposition) {
    DWORD disposition = 0;
    HKEY deep = Create(WL("A\\B\\C"), &disposition);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(DWORD(REG_CREATED_NEW_KEY), disposition);
    HKEY again = Create(WL("A\\B\\C"), &disposition);
    EXPECT_EQ(DWORD(REG_OPENED_EXISTING_KEY), disposition);
    EXPECT_NE(again, deep);  // every open is a handle of its own

    HKEY middle = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, WL("Software\\NovrixTest\\A\\B"), 0, KEY_READ, &middle));
    // Names compare without case; doubled and trailing backslashes are skipped.
    HKEY folded = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, WL("SOFTWARE\\novrixtest\\a\\\\b\\c\\"), 0, KEY_READ,
                                           &folded));
    HKEY missing = deep;
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegOpenKeyExW(HKEY_CURRENT_USER, WL("\\Software"), 0, KEY_READ, &missing));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(middle, WL("Nope"), 0, KEY_READ, &missing));
    EXPECT_EQ(nullptr, missing);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExW(HKEY_CURRENT_USER, WL("Software"), 0, KEY_READ, nullptr));
    // Without a subkey RegOpenKeyW answers the key it was given.
    HKEY same = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyW(deep, nullptr, &same));
    EXPECT_EQ(deep, same);
    // The roots are separate trees.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kBase, 0, KEY_READ, &missing));
    for (HKEY key : {deep, again, middle, folded}) EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
}

TEST_F(RegistryKeys, NameLengthLimits) {
    nvx::WString longest(255, WL('k'));
    HKEY key = Create(longest.c_str());
    ASSERT_NE(key, nullptr);
    RegCloseKey(key);
    nvx::WString tooLong(300, WL('k'));
    nvx::WString path = nvx::WString(kBase) + WL("\\") + tooLong;
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key));
}

TEST_F(RegistryKeys, UnknownAndClosedHandlesAreRefused) {
    HKEY key = Create(WL("H"));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    DWORD size = 0;
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExW(key, WL("v"), nullptr, nullptr, nullptr, &size));
    HKEY madeUp = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x1234568));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegSetValueExW(madeUp, WL("v"), 0, REG_DWORD, nullptr, 0));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(nullptr));
    HKEY out = nullptr;
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(nullptr, WL("Software"), 0, KEY_READ, &out));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_CURRENT_USER));  // predefined keys stay usable
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kBase, 0, KEY_READ, &out));
    RegCloseKey(out);
}

TEST_F(RegistryKeys, HandleOfDeletedKeyAnswersKeyDeleted) {
    HKEY stale = Create(WL("Gone"));
    DWORD value = 7;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(stale, WL("v"), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4));
    HKEY base = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kBase, 0, KEY_ALL_ACCESS, &base));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(base, WL("gone")));

    DWORD size = sizeof value;
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExW(stale, WL("v"), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                                  &size));
    EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExW(stale, WL("v"), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4));
    WCHAR name[32];
    DWORD chars = 32;
    EXPECT_EQ(ERROR_KEY_DELETED, RegEnumValueW(stale, 0, name, &chars, nullptr, nullptr, nullptr, nullptr));
    HKEY child = nullptr;
    EXPECT_EQ(ERROR_KEY_DELETED, RegCreateKeyExW(stale, WL("Child"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child,
                                                 nullptr));
    // A new key of the same name is another key: the old handle stays stale.
    HKEY fresh = Create(WL("Gone"));
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExW(stale, WL("v"), nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(fresh, WL("v"), nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(stale));
    RegCloseKey(fresh);
    RegCloseKey(base);
}

TEST_F(RegistryKeys, DeleteKeyAndDeleteTree) {
    HKEY parent = Create(WL("P"));
    HKEY child = Create(WL("P\\C\\D"));
    DWORD one = 1;
    RegSetValueExW(parent, WL("kept?"), 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(parent, WL("")));  // has subkeys
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(HKEY_CURRENT_USER, WL("")));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyW(parent, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(parent, WL("NoSuchKey")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteTreeW(parent, WL("NoSuchKey")));

    // The tree below a subkey goes, the key itself with it.
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(parent, WL("C")));
    HKEY out = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(parent, WL("C"), 0, KEY_READ, &out));
    EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExW(child, WL("x"), 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));

    // Without a subkey the values and subkeys go and the key stays.
    RegCloseKey(Create(WL("P\\E")));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(parent, nullptr));
    DWORD subKeys = 9, values = 9;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(parent, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                                              nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, subKeys);
    EXPECT_EQ(0u, values);
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(parent, WL("")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, WL("Software\\NovrixTest\\P"), 0, KEY_READ, &out));
    RegCloseKey(parent);
    RegCloseKey(child);
}

TEST_F(RegistryKeys, HandleRightsLimitWhatItCanDo) {
    RegCloseKey(Create(WL("R")));
    const WCHAR path[] = WL("Software\\NovrixTest\\R");
    DWORD value = 5, size = 4;
    HKEY reader = nullptr, writer = nullptr, setter = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &reader));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_WRITE, &writer));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &setter));
    const BYTE* data = reinterpret_cast<const BYTE*>(&value);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExW(reader, WL("v"), 0, REG_DWORD, data, 4));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueW(reader, WL("v")));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(writer, WL("v"), 0, REG_DWORD, data, 4));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExW(setter, WL("v"), nullptr, nullptr, nullptr, &size));
    WCHAR name[8];
    DWORD chars = 8;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegEnumKeyExW(setter, 0, name, &chars, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(reader, WL("v"), nullptr, nullptr, nullptr, &size));
    // Creating below a key ignores the rights of the parent handle, as on Windows.
    HKEY sub = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(reader, WL("Sub"), 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExW(sub, WL("v"), 0, REG_DWORD, data, 4));
    for (HKEY key : {reader, writer, setter, sub}) RegCloseKey(key);
}

#ifndef _WIN32
TEST_F(RegistryKeys, LocalMachineNeedsNoAdministrator) {
    NvxPlatform_SetAdministrator(FALSE);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, WL("Software\\NovrixTest"), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    DWORD value = 1;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, WL("v"), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4));
    RegCloseKey(key);
}

TEST_F(RegistryKeys, DamagedDatabaseFailsCleanly) {
    // The root's database opens on first use: put something else in its place first.
    std::ofstream(Root() + "/platform.db", std::ios::binary) << std::string(8192, 'x');
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, RegCreateKeyExW(HKEY_CURRENT_USER, kBase, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                      nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, RegOpenKeyExW(HKEY_CURRENT_USER, kBase, 0, KEY_READ, &key));
    PRINTER_INFO_2W info{};
    info.pPrinterName = const_cast<LPWSTR>(WL("P"));
    info.pDriverName = info.pPortName = const_cast<LPWSTR>(WL("D"));
    EXPECT_EQ(nullptr, AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(DWORD(ERROR_REGISTRY_CORRUPT), GetLastError());
    char detail[256] = {};
    EXPECT_EQ(NVX_STORE_DAMAGED, NvxPlatform_StoreState(detail, sizeof detail));
    EXPECT_STREQ("file is not a database", detail);
}

// A file that holds no store (emptied, or a database without this layer's schema)
// is damage: calls fail, the state says why, and the file is left as it is
// instead of becoming a new, empty store.  Moved away, a new store is made.
TEST_F(RegistryKeys, AnEmptiedOrForeignFileIsNeverMadeANewStore) {
    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kBase, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegFlushKey(key));  // the log into the file
    RegCloseKey(key);
    char detail[256] = "x";
    EXPECT_EQ(NVX_STORE_OK, NvxPlatform_StoreState(detail, sizeof detail));
    EXPECT_STREQ("", detail);
    const std::string store = read(Root() + "/platform.db");
    ASSERT_GT(store.size(), 100u);

    const std::string other = nvxtest::MakeTempDir("store");
    const std::string path = other + "/platform.db";
    std::string foreign = store;
    foreign.replace(60, 4, std::string(4, '\0'));  // the schema version (user_version) 0
    std::ofstream(path, std::ios::binary) << foreign;
    ASSERT_TRUE(NvxPlatform_SetRoot(other.c_str()));
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, RegOpenKeyExW(HKEY_CURRENT_USER, kBase, 0, KEY_READ, &key));
    EXPECT_EQ(NVX_STORE_DAMAGED, NvxPlatform_StoreState(detail, sizeof detail));
    EXPECT_STREQ("it holds no store of this layer", detail);
    EXPECT_EQ(foreign, read(path));

    std::ofstream(path, std::ios::binary | std::ios::trunc);
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, RegCreateKeyExW(HKEY_CURRENT_USER, kBase, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                      nullptr, &key, nullptr));
    EXPECT_EQ(NVX_STORE_DAMAGED, NvxPlatform_StoreState(detail, sizeof detail));
    EXPECT_STREQ("the file is empty", detail);
    EXPECT_EQ("", read(path));

    ASSERT_EQ(0, std::remove(path.c_str()));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kBase, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr));
    RegCloseKey(key);
    EXPECT_EQ(NVX_STORE_OK, NvxPlatform_StoreState(detail, sizeof detail));
    ASSERT_TRUE(NvxPlatform_SetRoot(Root().c_str()));
    nvxtest::RemoveTree(other);
}
#endif

}  // namespace
