// Private platform roots for tests.
#include "support/platform_test.h"

#include <filesystem>
#include <random>

#ifndef _WIN32
#include "platform/host.h"
#endif

namespace nvxtest {

std::string MakeTempDir(const char* tag) {
    namespace fs = std::filesystem;
    static std::mt19937_64 rng{std::random_device{}()};
    for (;;) {
        fs::path dir = fs::temp_directory_path() / ("novrix-" + std::string(tag) + "-" + std::to_string(rng() % 100000000));
        std::error_code ec;
        if (fs::create_directory(dir, ec)) return dir.string();
    }
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
}

}  // namespace nvxtest

void PlatformTest::SetUp() {
#ifndef _WIN32
    root_ = nvxtest::MakeTempDir("root");
    ASSERT_TRUE(NvxPlatform_SetRoot(root_.c_str()));
    NvxPlatform_SetAdministrator(TRUE);
    NvxPlatform_SetAnsiCodePage(1252);
    NvxPlatform_SetCountryCode(1);
#endif
}

void PlatformTest::TearDown() {
#ifndef _WIN32
    nvxtest::RemoveTree(root_);
#endif
}
