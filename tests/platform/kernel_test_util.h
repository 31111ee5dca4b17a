// Helpers for the kernel conformance tests: a private folder under the temporary
// path for each test, and small file utilities written with Win32 calls only.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "common/text.h"
#include "support/platform_test.h"

class KernelFolderTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        static std::atomic<unsigned> counter{0};
        WCHAR temp[MAX_PATH];
        DWORD n = GetTempPathW(MAX_PATH, temp);
        ASSERT_GT(n, 0u);
        ASSERT_LT(n, static_cast<DWORD>(MAX_PATH));
        dir_ = nvx::WString(temp) + nvx::WFormatString(WL("nvxk%u-%u"), static_cast<unsigned>(GetCurrentProcessId()),
                                                       counter++);
        ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr)) << GetLastError();
    }
    void TearDown() override {
        RemoveTree(dir_);
        PlatformTest::TearDown();
    }

    // A path inside the test's folder.
    nvx::WString Path(const WCHAR* name) const { return dir_ + WL("\\") + name; }
    const nvx::WString& Dir() const { return dir_; }

    // Writes a file with the given bytes (created or replaced).
    static bool WriteBytes(const nvx::WString& path, const std::string& bytes) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return ok && written == bytes.size();
    }
    // Reads a whole file ("" when it cannot be read).
    static std::string ReadBytes(const nvx::WString& path) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return std::string();
        std::string bytes(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        bytes.resize(read);
        return bytes;
    }

    static void RemoveTree(const nvx::WString& dir) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((dir + WL("\\*")).c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                nvx::WString name = data.cFileName;
                if (name == WL(".") || name == WL("..")) continue;
                nvx::WString path = dir + WL("\\") + name;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                } else {
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(dir.c_str());
    }

private:
    nvx::WString dir_;
};
