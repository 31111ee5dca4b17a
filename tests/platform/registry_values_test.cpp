// Registry values: types, the size protocol, names, and what another process sees.
#include <cstring>
#include <vector>

#include "common/text.h"
#include "support/platform_test.h"
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

class RegistryValues : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, WL("Software\\NovrixTest\\Values"), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key_, nullptr));
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, WL("Software\\NovrixTest"));
        PlatformTest::TearDown();
    }
    LONG Set(const WCHAR* name, DWORD type, const void* data, DWORD size) {
        return RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), size);
    }
    // Reads a whole value; answers the error code.
    LONG Get(const WCHAR* name, DWORD* type, std::vector<BYTE>* data) {
        DWORD size = 0;
        LONG rc = RegQueryValueExW(key_, name, nullptr, type, nullptr, &size);
        if (rc != ERROR_SUCCESS) return rc;
        data->assign(size, 0xCC);
        return RegQueryValueExW(key_, name, nullptr, type, data->data(), &size);
    }
    HKEY key_ = nullptr;
};

TEST_F(RegistryValues, EveryTypeRoundTrips) {
    const WCHAR text[] = WL("text");
    const WCHAR multi[] = WL("a\0bc\0");  // two strings and the closing terminator
    const BYTE binary[] = {0, 1, 2, 0xFE, 0xFF};
    DWORD dword = 0x12345678;
    ULONGLONG qword = 0x1122334455667788ull;
    struct Case {
        const WCHAR* name;
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {
        {WL("sz"), REG_SZ, text, sizeof text},
        {WL("expand"), REG_EXPAND_SZ, text, sizeof text},
        {WL("multi"), REG_MULTI_SZ, multi, sizeof multi},
        {WL("binary"), REG_BINARY, binary, sizeof binary},
        {WL("dword"), REG_DWORD, &dword, 4},
        {WL("qword"), REG_QWORD, &qword, 8},
        {WL("none"), REG_NONE, nullptr, 0},
    };
    for (const Case& c : cases) ASSERT_EQ(ERROR_SUCCESS, Set(c.name, c.type, c.data, c.size)) << c.type;
    for (const Case& c : cases) {
        DWORD type = 0xDEAD;
        std::vector<BYTE> data;
        ASSERT_EQ(ERROR_SUCCESS, Get(c.name, &type, &data)) << c.type;
        EXPECT_EQ(c.type, type);
        ASSERT_EQ(c.size, data.size()) << c.type;
        if (c.size) {
            EXPECT_EQ(0, std::memcmp(c.data, data.data(), c.size)) << c.type;
        }
    }
}

TEST_F(RegistryValues, SizeProtocol) {
    const WCHAR text[] = WL("hello");  // 12 bytes with the terminator
    ASSERT_EQ(ERROR_SUCCESS, Set(WL("s"), REG_SZ, text, sizeof text));
    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, WL("s"), nullptr, &type, nullptr, &size));
    EXPECT_EQ(12u, size);
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, WL("s"), nullptr, nullptr, nullptr, nullptr));

    BYTE small[11];
    std::memset(small, 0xAB, sizeof small);
    size = sizeof small;
    type = 0;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(key_, WL("s"), nullptr, &type, small, &size));
    EXPECT_EQ(12u, size);
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(0xAB, small[0]);  // nothing copied

    BYTE exact[13];
    exact[12] = 0x5A;
    size = 12;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, WL("s"), nullptr, nullptr, exact, &size));
    EXPECT_EQ(0, std::memcmp(exact, text, 12));
    EXPECT_EQ(0x5A, exact[12]);

    DWORD reserved = 0;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExW(key_, WL("s"), nullptr, nullptr, exact, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExW(key_, WL("s"), &reserved, nullptr, nullptr, &size));
    size = 77;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(key_, WL("missing"), nullptr, nullptr, exact, &size));
    EXPECT_EQ(77u, size);
}

TEST_F(RegistryValues, StringsKeepWhatTheCallerCounted) {
    const WCHAR text[] = WL("abc");
    ASSERT_EQ(ERROR_SUCCESS, Set(WL("with"), REG_SZ, text, sizeof text));
    ASSERT_EQ(ERROR_SUCCESS, Set(WL("without"), REG_SZ, text, 3 * sizeof(WCHAR)));
    DWORD size = 0;
    RegQueryValueExW(key_, WL("with"), nullptr, nullptr, nullptr, &size);
    EXPECT_EQ(8u, size);
    RegQueryValueExW(key_, WL("without"), nullptr, nullptr, nullptr, &size);
    EXPECT_GE(size, 6u);  // Windows adds the terminator that followed in memory; this layer stores 6 bytes
    EXPECT_LE(size, 8u);
}

TEST_F(RegistryValues, DefaultValueNamesAndErrors) {
    DWORD one = 1, two = 2, size = 4, got = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(key_, nullptr, nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(0u, size);  // a size query of a missing value answers 0
    ASSERT_EQ(ERROR_SUCCESS, Set(nullptr, REG_DWORD, &one, 4));
    size = 4;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, WL(""), nullptr, nullptr, reinterpret_cast<BYTE*>(&got), &size));
    EXPECT_EQ(1u, got);

    ASSERT_EQ(ERROR_SUCCESS, Set(WL("MixedCase"), REG_DWORD, &one, 4));
    ASSERT_EQ(ERROR_SUCCESS, Set(WL("MIXEDCASE"), REG_DWORD, &two, 4));
    size = 4;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key_, WL("mixedcase"), nullptr, nullptr, reinterpret_cast<BYTE*>(&got), &size));
    EXPECT_EQ(2u, got);
    WCHAR name[16];
    DWORD chars = 16;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumValueW(key_, 1, name, &chars, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(nvx::WString(WL("MixedCase")), nvx::WString(name));  // the first spelling stays

    EXPECT_EQ(ERROR_NOACCESS, Set(WL("null"), REG_BINARY, nullptr, 4));
    EXPECT_EQ(ERROR_SUCCESS, Set(WL("null"), REG_BINARY, nullptr, 0));
    nvx::WString longest(16383, WL('n')), tooLong(16384, WL('n'));
    EXPECT_EQ(ERROR_SUCCESS, Set(longest.c_str(), REG_DWORD, &one, 4));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, Set(tooLong.c_str(), REG_DWORD, &one, 4));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(key_, tooLong.c_str(), nullptr, nullptr, nullptr, &size));

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(key_, WL("mixedCASE")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueW(key_, WL("MixedCase")));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(key_, nullptr));
}

TEST_F(RegistryValues, LargeBinaryValue) {
    std::vector<BYTE> big(1 << 20);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<BYTE>(i * 7);
    ASSERT_EQ(ERROR_SUCCESS, Set(WL("big"), REG_BINARY, big.data(), static_cast<DWORD>(big.size())));
    DWORD type = 0;
    std::vector<BYTE> back;
    ASSERT_EQ(ERROR_SUCCESS, Get(WL("big"), &type, &back));
    EXPECT_EQ(big, back);
}

#ifndef _WIN32
// Runs body in a child process on the same platform root; answers its exit code.
template <typename Body>
int InChild(Body body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RegistryValues, AnotherProcessSeesWritesBothWays) {
    DWORD before = 1;
    ASSERT_EQ(ERROR_SUCCESS, Set(WL("shared"), REG_DWORD, &before, 4));
    // The child reads the parent's value and answers with its own writes.
    int code = InChild([] {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, WL("Software\\NovrixTest\\Values"), 0, KEY_ALL_ACCESS, &key)) return 10;
        DWORD value = 0, size = 4;
        if (RegQueryValueExW(key, WL("shared"), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size)) return 11;
        if (value != 1) return 12;
        value = 2;
        if (RegSetValueExW(key, WL("shared"), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4)) return 13;
        HKEY made = nullptr;
        if (RegCreateKeyW(key, WL("FromChild"), &made)) return 14;
        return 0;
    });
    ASSERT_EQ(0, code);
    DWORD after = 0, size = 4;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key_, WL("shared"), nullptr, nullptr, reinterpret_cast<BYTE*>(&after), &size));
    EXPECT_EQ(2u, after);
    HKEY made = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(key_, WL("FromChild"), 0, KEY_READ, &made));
    RegCloseKey(made);
}
#endif

}  // namespace
