// Registry enumeration: value order, key order, buffer rules and key information.
#include <cstring>

#include "common/text.h"
#include "support/platform_test.h"

namespace {

class RegistryEnum : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, WL("Software\\NovrixTest\\Enum"), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key_, nullptr));
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, WL("Software\\NovrixTest"));
        PlatformTest::TearDown();
    }
    void SetDword(const WCHAR* name, DWORD value) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4));
    }
    nvx::WString ValueAt(DWORD index) {
        WCHAR name[64];
        DWORD chars = 64;
        LONG rc = RegEnumValueW(key_, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        return rc == ERROR_SUCCESS ? nvx::WString(name, chars) : nvx::WString(WL("<none>"));
    }
    HKEY key_ = nullptr;
};

TEST_F(RegistryEnum, ValuesComeInCreationOrder) {
    SetDword(WL("A"), 1);
    SetDword(WL("C"), 2);
    SetDword(WL("D"), 3);
    SetDword(WL("B"), 4);
    SetDword(WL("c"), 5);  // overwriting keeps the place
    EXPECT_EQ(WL("A"), ValueAt(0));
    EXPECT_EQ(WL("C"), ValueAt(1));
    EXPECT_EQ(WL("D"), ValueAt(2));
    EXPECT_EQ(WL("B"), ValueAt(3));
    WCHAR name[8];
    DWORD chars = 8;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumValueW(key_, 4, name, &chars, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(key_, WL("C")));
    EXPECT_EQ(WL("D"), ValueAt(1));
}

TEST_F(RegistryEnum, ValueBufferRules) {
    const WCHAR data[] = WL("foobar");  // 14 bytes
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key_, WL("Test"), 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                            sizeof data));
    WCHAR name[8];
    BYTE buffer[32];
    DWORD chars, size, type;

    // Name too small (room for the name but not its terminator): nothing copied.
    std::memset(name, 0x55, sizeof name);
    std::memset(buffer, 0x55, sizeof buffer);
    chars = 4, size = sizeof buffer, type = 0;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueW(key_, 0, name, &chars, nullptr, &type, buffer, &size));
    EXPECT_EQ(4u, chars);
    EXPECT_EQ(14u, size);
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(0x5555, name[0]);
    EXPECT_EQ(0x55, buffer[0]);

    // Data too small: the name is copied, the data is not.
    chars = 8, size = 2;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueW(key_, 0, name, &chars, nullptr, &type, buffer, &size));
    EXPECT_EQ(4u, chars);
    EXPECT_EQ(14u, size);
    EXPECT_EQ(nvx::WString(WL("Test")), nvx::WString(name));
    EXPECT_EQ(0x55, buffer[0]);

    chars = 5, size = 14;
    EXPECT_EQ(ERROR_SUCCESS, RegEnumValueW(key_, 0, name, &chars, nullptr, &type, buffer, &size));
    EXPECT_EQ(4u, chars);
    EXPECT_EQ(0, std::memcmp(buffer, data, 14));

    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegEnumValueW(key_, 0, nullptr, &chars, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegEnumValueW(key_, 0, name, nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryEnum, SubkeysComeInNameOrderWithTheirSpelling) {
    for (const WCHAR* sub : {WL("beta"), WL("Alpha"), WL("GAMMA"), WL("delta")}) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(key_, sub, &key));
        RegCloseKey(key);
    }
    const WCHAR* expected[] = {WL("Alpha"), WL("beta"), WL("delta"), WL("GAMMA")};
    for (DWORD i = 0; i < 4; ++i) {
        WCHAR name[16];
        DWORD chars = 16;
        FILETIME written{};
        ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyExW(key_, i, name, &chars, nullptr, nullptr, nullptr, &written));
        EXPECT_EQ(nvx::WString(expected[i]), nvx::WString(name));
        EXPECT_EQ(nvx::WLen(expected[i]), chars);
        EXPECT_NE(0u, written.dwHighDateTime);
    }
    WCHAR name[16];
    DWORD chars = 5;  // "Alpha" needs 6 with its terminator
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExW(key_, 0, name, &chars, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(5u, chars);
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyW(key_, 1, name, 16));
    EXPECT_EQ(nvx::WString(WL("beta")), nvx::WString(name));
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyW(key_, 4, name, 16));
}

TEST_F(RegistryEnum, QueryInfoCountsAndLongestLengths) {
    DWORD subKeys = 9, maxSub = 9, maxClass = 9, values = 9, maxName = 9, maxData = 9, classChars = 9;
    FILETIME written{};
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(key_, nullptr, &classChars, nullptr, &subKeys, &maxSub, &maxClass,
                                              &values, &maxName, &maxData, nullptr, &written));
    EXPECT_EQ(0u, subKeys + maxSub + maxClass + values + maxName + maxData + classChars);
    EXPECT_NE(0u, written.dwLowDateTime | written.dwHighDateTime);

    WCHAR keyClass[] = WL("subkey class");
    HKEY sub = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(key_, WL("subsubkey"), 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    const WCHAR data[] = WL("second value data");
    RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(WL("data")), 10);
    RegSetValueExW(key_, WL("value one"), 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &subKeys, &maxSub, &maxClass, &values,
                                              &maxName, &maxData, nullptr, nullptr));
    EXPECT_EQ(1u, subKeys);
    EXPECT_EQ(9u, maxSub);  // "subsubkey", without the terminator
    EXPECT_EQ(12u, maxClass);
    EXPECT_EQ(2u, values);
    EXPECT_EQ(9u, maxName);  // "value one"
    EXPECT_EQ(DWORD(sizeof data), maxData);

    WCHAR classOut[32];
    classChars = 32;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(sub, classOut, &classChars, nullptr, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(12u, classChars);
    EXPECT_EQ(nvx::WString(keyClass), nvx::WString(classOut));
    classChars = 12;
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, RegQueryInfoKeyW(sub, classOut, &classChars, nullptr, nullptr, nullptr, nullptr,
                                                nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryInfoKeyW(sub, classOut, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                        nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryInfoKeyW(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(sub);
}

}  // namespace
