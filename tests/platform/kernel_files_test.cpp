// Files: dispositions, share modes, reading and writing, the file pointer,
// whole-file operations, folders, attributes and path rules.
#include "platform/kernel_test_util.h"

namespace {

class KernelFiles : public KernelFolderTest {
protected:
    HANDLE Open(const nvx::WString& path, DWORD access, DWORD share, DWORD disposition) {
        return CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
};

TEST_F(KernelFiles, DispositionsAndTheirErrors) {
    nvx::WString path = Path(WL("a.bin"));
    SetLastError(12345);
    HANDLE h = Open(path, GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(0u, GetLastError());
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, "hello", 5, &n, nullptr));
    EXPECT_TRUE(CloseHandle(h));

    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_WRITE, 0, CREATE_NEW));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());

    h = Open(path, GENERIC_READ, 0, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(5u, GetFileSize(h, nullptr));
    CloseHandle(h);

    h = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);  // replaces the contents
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(0u, GetFileSize(h, nullptr));
    CloseHandle(h);

    h = Open(Path(WL("new.bin")), GENERIC_WRITE, 0, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(0u, GetLastError());
    CloseHandle(h);

    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(Path(WL("missing.bin")), GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(Path(WL("nofolder\\x.bin")), GENERIC_WRITE, 0, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(Path(WL("missing.bin")), GENERIC_WRITE, 0, TRUNCATE_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_READ, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(Dir(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));  // a folder
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST_F(KernelFiles, TruncatingNeedsWriteAccess) {
    nvx::WString path = Path(WL("a.bin"));
    ASSERT_TRUE(WriteBytes(path, "hello"));
    HANDLE h = Open(path, GENERIC_READ, 0, TRUNCATE_EXISTING);
    EXPECT_EQ(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    EXPECT_EQ("hello", ReadBytes(path));
}

TEST_F(KernelFiles, ShareModesAreEnforcedBetweenHandles) {
    nvx::WString path = Path(WL("shared.txt"));
    ASSERT_TRUE(WriteBytes(path, "x"));
    HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);

    HANDLE second = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(INVALID_HANDLE_VALUE, second);
    CloseHandle(second);
    // Writing is not shared by the first handle.
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    // A new handle must share what the first one does (read).
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    // Deleting and renaming need FILE_SHARE_DELETE from every open handle.
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_FALSE(MoveFileW(path.c_str(), Path(WL("moved.txt")).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_TRUE(CloseHandle(reader));

    HANDLE writer = Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    HANDLE other = Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        OPEN_EXISTING);
    EXPECT_NE(INVALID_HANDLE_VALUE, other);
    EXPECT_TRUE(MoveFileW(path.c_str(), Path(WL("moved.txt")).c_str()));
    CloseHandle(other);
    CloseHandle(writer);
    EXPECT_TRUE(DeleteFileW(Path(WL("moved.txt")).c_str()));
}

TEST_F(KernelFiles, ReadWriteAndOverlappedOffsets) {
    nvx::WString path = Path(WL("rw.bin"));
    HANDLE h = Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD n = 99;
    EXPECT_TRUE(WriteFile(h, "0123456789", 10, &n, nullptr));
    EXPECT_EQ(10u, n);
    EXPECT_EQ(0u, SetFilePointer(h, 0, nullptr, FILE_BEGIN));
    char buf[32] = {};
    EXPECT_TRUE(ReadFile(h, buf, 4, &n, nullptr));
    EXPECT_EQ(4u, n);
    EXPECT_EQ(std::string("0123"), std::string(buf, 4));
    EXPECT_TRUE(ReadFile(h, buf, sizeof(buf), &n, nullptr));
    EXPECT_EQ(6u, n);
    EXPECT_TRUE(ReadFile(h, buf, sizeof(buf), &n, nullptr));  // at the end: success, nothing read
    EXPECT_EQ(0u, n);

    OVERLAPPED ov = {};
    ov.Offset = 7;
    EXPECT_TRUE(ReadFile(h, buf, 2, &n, &ov));
    EXPECT_EQ(std::string("78"), std::string(buf, 2));
    EXPECT_EQ(2u, ov.InternalHigh);
    EXPECT_EQ(9u, SetFilePointer(h, 0, nullptr, FILE_CURRENT));  // the pointer follows the read
    ov.Offset = 50;
    EXPECT_FALSE(ReadFile(h, buf, 2, &n, &ov));
    EXPECT_EQ(static_cast<DWORD>(ERROR_HANDLE_EOF), GetLastError());
    ov.Offset = 2;
    EXPECT_TRUE(WriteFile(h, "ab", 2, nullptr, &ov));  // the count may be left out with an OVERLAPPED
    EXPECT_EQ(2u, ov.InternalHigh);

#ifndef _WIN32
    // Without an OVERLAPPED the count pointer is required (Windows may fault instead).
    EXPECT_FALSE(ReadFile(h, buf, 2, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
#endif
    CloseHandle(h);
    EXPECT_EQ("01ab456789", ReadBytes(path));

    h = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    CloseHandle(h);
    h = Open(path, GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_FALSE(ReadFile(h, buf, 1, &n, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    CloseHandle(h);
}

TEST_F(KernelFiles, EndOfFileNeedsWriteAccess) {
    nvx::WString path = Path(WL("e.bin"));
    ASSERT_TRUE(WriteBytes(path, "0123456789"));
    HANDLE h = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(4u, SetFilePointer(h, 4, nullptr, FILE_BEGIN));
    EXPECT_FALSE(SetEndOfFile(h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    CloseHandle(h);
    EXPECT_EQ("0123456789", ReadBytes(path));
}

TEST_F(KernelFiles, FilePointerSizesAndEndOfFile) {
    HANDLE h = Open(Path(WL("ptr.bin")), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD n;
    WriteFile(h, "abcdef", 6, &n, nullptr);
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(h, -10, nullptr, FILE_CURRENT));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NEGATIVE_SEEK), GetLastError());
    EXPECT_EQ(6u, SetFilePointer(h, 0, nullptr, FILE_CURRENT));  // unchanged by the failure
    EXPECT_EQ(4u, SetFilePointer(h, -2, nullptr, FILE_END));
    EXPECT_EQ(2u, SetFilePointer(h, 2, nullptr, FILE_BEGIN));
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(h, 0, nullptr, 7));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    // Past 4 GiB with the high part (the file stays small until written).
    LONG high = 1;
    EXPECT_EQ(16u, SetFilePointer(h, 16, &high, FILE_BEGIN));
    EXPECT_EQ(1, high);
    LARGE_INTEGER to, now;
    to.QuadPart = 3;
    EXPECT_TRUE(SetFilePointerEx(h, to, &now, FILE_BEGIN));
    EXPECT_EQ(3, now.QuadPart);
    EXPECT_TRUE(SetEndOfFile(h));
    DWORD sizeHigh = 77;
    EXPECT_EQ(3u, GetFileSize(h, &sizeHigh));
    EXPECT_EQ(0u, sizeHigh);
    to.QuadPart = 100;
    EXPECT_TRUE(SetFilePointerEx(h, to, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(h));  // extends
    LARGE_INTEGER size;
    EXPECT_TRUE(GetFileSizeEx(h, &size));
    EXPECT_EQ(100, size.QuadPart);
    EXPECT_TRUE(FlushFileBuffers(h));
    EXPECT_EQ(static_cast<DWORD>(FILE_TYPE_DISK), GetFileType(h));
    CloseHandle(h);
}

TEST_F(KernelFiles, UnknownAndClosedHandlesFailCleanly) {
    HANDLE h = Open(Path(WL("h.bin")), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_TRUE(CloseHandle(h));
    DWORD n;
    char c;
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(ReadFile(h, &c, 1, &n, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(INVALID_FILE_SIZE, GetFileSize(h, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(h, 0, nullptr, FILE_BEGIN));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
#ifndef _WIN32
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x12345678))));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
#endif
}

TEST_F(KernelFiles, DeleteCopyAndMove) {
    nvx::WString a = Path(WL("a.txt")), b = Path(WL("b.txt")), c = Path(WL("c.txt"));
    ASSERT_TRUE(WriteBytes(a, "alpha"));
    ASSERT_TRUE(WriteBytes(b, "beta"));
    EXPECT_FALSE(CopyFileW(a.c_str(), b.c_str(), TRUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());
    EXPECT_TRUE(CopyFileW(a.c_str(), b.c_str(), FALSE));
    EXPECT_EQ("alpha", ReadBytes(b));
    EXPECT_FALSE(CopyFileW(Path(WL("none.txt")).c_str(), c.c_str(), FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    EXPECT_FALSE(MoveFileW(a.c_str(), b.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    ASSERT_TRUE(WriteBytes(a, "again"));
    EXPECT_TRUE(MoveFileExW(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ("again", ReadBytes(b));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(a.c_str()));
    EXPECT_FALSE(MoveFileW(a.c_str(), c.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_TRUE(MoveFileW(b.c_str(), c.c_str()));

    EXPECT_FALSE(DeleteFileW(b.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(DeleteFileW(Path(WL("nofolder\\b.txt")).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_FALSE(DeleteFileW(Dir().c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST_F(KernelFiles, ReadOnlyAttributeProtectsTheFile) {
    nvx::WString a = Path(WL("a.txt")), c = Path(WL("c.txt"));
    ASSERT_TRUE(WriteBytes(c, "gamma"));
    EXPECT_TRUE(SetFileAttributesW(c.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              GetFileAttributesW(c.c_str()) & FILE_ATTRIBUTE_READONLY);
    HANDLE h = Open(c, GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_EQ(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    h = Open(c, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    EXPECT_FALSE(DeleteFileW(c.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    ASSERT_TRUE(WriteBytes(a, "x"));
    EXPECT_FALSE(CopyFileW(a.c_str(), c.c_str(), FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_TRUE(SetFileAttributesW(c.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileW(c.c_str()));
}

TEST_F(KernelFiles, FoldersAndAttributes) {
    nvx::WString sub = Path(WL("sub"));
    EXPECT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryW(sub.c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_FALSE(CreateDirectoryW(Path(WL("x\\y")).c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_NE(0u, GetFileAttributesW(sub.c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    ASSERT_TRUE(WriteBytes(sub + WL("\\f.txt"), "12345"));
    EXPECT_FALSE(RemoveDirectoryW(sub.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIR_NOT_EMPTY), GetLastError());
    EXPECT_FALSE(RemoveDirectoryW((sub + WL("\\f.txt")).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIRECTORY), GetLastError());
    WIN32_FILE_ATTRIBUTE_DATA info;
    EXPECT_TRUE(GetFileAttributesExW((sub + WL("\\f.txt")).c_str(), GetFileExInfoStandard, &info));
    EXPECT_EQ(5u, info.nFileSizeLow);
    EXPECT_EQ(0u, info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(DeleteFileW((sub + WL("\\f.txt")).c_str()));
    EXPECT_TRUE(RemoveDirectoryW(sub.c_str()));
    EXPECT_FALSE(RemoveDirectoryW(sub.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Path(WL("none")).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Path(WL("none\\deeper")).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

// A path longer than MAX_PATH is not found; a folder path needs room for an
// 8.3 name under MAX_PATH.
TEST_F(KernelFiles, TooLongNamesAreRefused) {
    const nvx::WString longName = Path(nvx::WString(MAX_PATH, WL('n')).c_str());
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileW(longName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    nvx::WString longFolder = Dir() + WL("\\");
    longFolder += nvx::WString(MAX_PATH - 8 - longFolder.size(), WL('d'));
    EXPECT_FALSE(CreateDirectoryW(longFolder.c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), GetLastError());
}

TEST_F(KernelFiles, PathRules) {
    // Names compare without regard to case.
    ASSERT_TRUE(WriteBytes(Path(WL("MixedCase.Txt")), "m"));
    EXPECT_EQ("m", ReadBytes(Path(WL("mixedcase.TXT"))));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Path(WL("MIXEDCASE.TXT")).c_str()));
    // "." and ".." and trailing dots are resolved as Windows resolves them.
    EXPECT_EQ("m", ReadBytes(Dir() + WL("\\.\\sub\\..\\MixedCase.Txt.")));

    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileW(Path(WL("a|b")).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileW(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileW(WL(""), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());

    WCHAR full[MAX_PATH];
    WCHAR* part = nullptr;
    DWORD n = GetFullPathNameW(WL("C:\\one\\.\\two\\..\\three.txt"), MAX_PATH, full, &part);
    EXPECT_EQ(nvx::WString(WL("C:\\one\\three.txt")), full);
    EXPECT_EQ(16u, n);
    ASSERT_NE(nullptr, part);
    EXPECT_EQ(nvx::WString(WL("three.txt")), part);
    EXPECT_EQ(17u, GetFullPathNameW(WL("C:\\one\\.\\two\\..\\three.txt"), 5, full, nullptr));  // needed size
    EXPECT_EQ(7u, GetFullPathNameW(WL("C:\\dir\\"), MAX_PATH, full, &part));
    EXPECT_EQ(nullptr, part);
}

TEST_F(KernelFiles, CurrentDirectoryTempNamesAndDeleteOnClose) {
    WCHAR saved[MAX_PATH], now[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(n + 1, GetCurrentDirectoryW(0, nullptr));
    ASSERT_TRUE(SetCurrentDirectoryW(Dir().c_str()));
    ASSERT_TRUE(WriteBytes(WL("relative.txt"), "r"));  // lands in the current directory
    EXPECT_EQ("r", ReadBytes(Path(WL("relative.txt"))));
    GetCurrentDirectoryW(MAX_PATH, now);
    EXPECT_TRUE(nvx::WEqualNoCase(Dir(), now));
    EXPECT_FALSE(RemoveDirectoryW(Dir().c_str()));  // in use as the current directory
    EXPECT_FALSE(SetCurrentDirectoryW(Path(WL("relative.txt")).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIRECTORY), GetLastError());
    EXPECT_FALSE(SetCurrentDirectoryW(Path(WL("none")).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    ASSERT_TRUE(SetCurrentDirectoryW(saved));

    WCHAR temp[MAX_PATH];
    UINT unique = GetTempFileNameW(Dir().c_str(), WL("nvxtmp"), 0, temp);
    EXPECT_NE(0u, unique);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(temp));  // created, empty
    EXPECT_EQ(0, nvx::WCompareNoCase(nvx::WStringView(temp).substr(Dir().size() + 1, 3), WL("nvx")));
    EXPECT_EQ(0x1234u, GetTempFileNameW(Dir().c_str(), WL("x"), 0x1234, temp));
    EXPECT_TRUE(nvx::WEqualNoCase(Path(WL("x1234.tmp")), temp));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(temp));  // a given number creates nothing

    nvx::WString scratch = Path(WL("scratch.tmp"));
    HANDLE h = CreateFileW(scratch.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(scratch.c_str()));
    CloseHandle(h);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(scratch.c_str()));
}

TEST_F(KernelFiles, WellKnownFoldersAnswerNeededSizes) {
    WCHAR buf[MAX_PATH];
    UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(n, nvx::WLen(buf));
    EXPECT_NE(0u, GetFileAttributesW(buf) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(n + 1, GetWindowsDirectoryW(nullptr, 0));
    WCHAR small[4] = {WL('x'), 0};
    EXPECT_EQ(n + 1, GetWindowsDirectoryW(small, n));  // one short of the terminator
    EXPECT_EQ(n, GetWindowsDirectoryW(buf, n + 1));

    UINT s = GetSystemDirectoryW(buf, MAX_PATH);
    ASSERT_GT(s, n);
    EXPECT_NE(0u, GetFileAttributesW(buf) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(s + 1, GetSystemDirectoryW(buf, 2));

    DWORD t = GetTempPathW(MAX_PATH, buf);
    ASSERT_GT(t, 0u);
    EXPECT_EQ(WL('\\'), buf[t - 1]);
    EXPECT_EQ(t + 1, GetTempPathW(0, nullptr));
#ifndef _WIN32
    GetWindowsDirectoryW(buf, MAX_PATH);
    EXPECT_EQ(nvx::WString(WL("C:\\Windows")), buf);
#endif
}

}  // namespace
