// FindFirstFileW / FindNextFileW / FindClose: wildcards as Windows matches them,
// the find data record, and the errors.
#include <algorithm>

#include "platform/kernel_test_util.h"

static_assert(sizeof(WIN32_FIND_DATAW) == 592, "WIN32_FIND_DATAW is 592 bytes");
static_assert(offsetof(WIN32_FIND_DATAW, nFileSizeLow) == 32, "WIN32_FIND_DATAW layout");
static_assert(offsetof(WIN32_FIND_DATAW, cFileName) == 44, "WIN32_FIND_DATAW layout");
static_assert(offsetof(WIN32_FIND_DATAW, cAlternateFileName) == 564, "WIN32_FIND_DATAW layout");

namespace {

class KernelFind : public KernelFolderTest {
protected:
    void SetUp() override {
        KernelFolderTest::SetUp();
        for (const WCHAR* name : {WL("a.txt"), WL("B.TXT"), WL("readme"), WL("c.txt.bak"), WL("data.db"), WL("ab.txt")})
            ASSERT_TRUE(WriteBytes(Path(name), "12345"));
        ASSERT_TRUE(CreateDirectoryW(Path(WL("sub")).c_str(), nullptr));
    }

    // The names a pattern finds, sorted, "." and ".." left out unless asked for.
    std::vector<nvx::WString> Names(const WCHAR* pattern, bool withDots = false) {
        std::vector<nvx::WString> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(Path(pattern).c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            nvx::WString name = data.cFileName;
            if (withDots || (name != WL(".") && name != WL(".."))) names.push_back(nvx::WUpper(name));
        } while (FindNextFileW(find, &data));
        EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
        EXPECT_TRUE(FindClose(find));
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::vector<nvx::WString> List(std::initializer_list<const WCHAR*> items) {
        std::vector<nvx::WString> names;
        for (const WCHAR* item : items) names.push_back(item);
        return names;
    }
};

TEST_F(KernelFind, WildcardsMatchAsWindowsDoes) {
    EXPECT_EQ(List({WL("A.TXT"), WL("AB.TXT"), WL("B.TXT")}), Names(WL("*.txt")));
    EXPECT_EQ(List({WL("A.TXT"), WL("AB.TXT"), WL("B.TXT"), WL("C.TXT.BAK"), WL("DATA.DB"), WL("README"), WL("SUB")}),
              Names(WL("*.*")));  // "*.*" also finds names without a dot
    EXPECT_EQ(Names(WL("*.*")), Names(WL("*")));
    EXPECT_EQ(List({WL("A.TXT"), WL("B.TXT")}), Names(WL("?.txt")));
    EXPECT_EQ(List({WL("README")}), Names(WL("READ*")));
    EXPECT_EQ(List({WL("C.TXT.BAK")}), Names(WL("*.bak")));
    EXPECT_EQ(List({WL("C.TXT.BAK")}), Names(WL("c.t?t.*")));
    EXPECT_EQ(List({WL("A.TXT")}), Names(WL("A.TXT")));  // a plain name, any case
    EXPECT_TRUE(Names(WL("*.tx")).empty());
}

// The wildcards that keep their MS-DOS meaning: a final "." matches names
// without an extension, and "?" may match nothing before a dot.
TEST_F(KernelFind, DosWildcardsMatchAtTheDot) {
    EXPECT_EQ(List({WL("README"), WL("SUB")}), Names(WL("*.")));
    EXPECT_EQ(List({WL("A.TXT"), WL("AB.TXT"), WL("B.TXT")}), Names(WL("??.txt")));
}

TEST_F(KernelFind, FindDataAndDotEntries) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Path(WL("data.db")).c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    EXPECT_EQ(nvx::WString(WL("data.db")), data.cFileName);
    EXPECT_EQ(5u, data.nFileSizeLow);
    EXPECT_EQ(0u, data.nFileSizeHigh);
    EXPECT_EQ(0u, data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(0u, data.ftLastWriteTime.dwHighDateTime);
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
    EXPECT_TRUE(FindClose(find));

    find = FindFirstFileW(Path(WL("sub")).c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    EXPECT_NE(0u, data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(find);

    // A folder that is not a drive's root lists "." and "..".
    std::vector<nvx::WString> all = Names(WL("sub\\*"), true);
    EXPECT_EQ(List({WL("."), WL("..")}), all);
}

TEST_F(KernelFind, ErrorsAndBadHandles) {
    WIN32_FIND_DATAW data;
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileW(Path(WL("*.none")).c_str(), &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileW(Path(WL("nofolder\\*")).c_str(), &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileW(Path(WL("sub\\")).c_str(), &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    HANDLE find = FindFirstFileW(Path(WL("*")).c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    EXPECT_TRUE(FindClose(find));
#ifndef _WIN32
    // The layer refuses a closed find handle (Windows gives its use no meaning:
    // the handle is freed memory there, and Wine reads through it).
    EXPECT_FALSE(FindClose(find));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
#endif

#ifndef _WIN32
    // A file handle is not a find handle (on Windows, handing one over is a
    // caller's fault without a defined answer; Wine reads through it).
    HANDLE file = CreateFileW(Path(WL("a.txt")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_FALSE(FindNextFileW(file, &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_TRUE(CloseHandle(file));
    // Nor is a find handle closed by CloseHandle.
    find = FindFirstFileW(Path(WL("*")).c_str(), &data);
    EXPECT_FALSE(CloseHandle(find));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_TRUE(FindClose(find));
#endif
}

}  // namespace
