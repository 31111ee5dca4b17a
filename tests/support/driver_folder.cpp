// Private driver folders for tests.
#include "support/driver_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/platform_test.h"

namespace nvxtest {

std::string BuiltDriverFolder() {
    const char* env = getenv("NOVRIX_DRIVER_DIR");
    return env ? env : "driver";
}

DriverCopy::DriverCopy(std::initializer_list<const char*> leaveOut) : folder_(MakeTempDir("driver")) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(BuiltDriverFolder())) {
        std::string name = entry.path().filename().string();
        bool skip = false;
        for (const char* out : leaveOut) skip = skip || name == out;
        if (skip) continue;
        fs::copy(entry.path(), fs::path(folder_) / name, fs::copy_options::recursive);
    }
}

DriverCopy::~DriverCopy() {
    RemoveTree(folder_);
}

nvx::WString DriverCopy::WidePath(const char* file) const {
    return nvx::WFromUtf8(folder_ + "/" + file);
}

void DriverCopy::Write(const char* file, const std::string& bytes) const {
    std::ofstream out(folder_ + "/" + file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void DriverCopy::Remove(const char* file) const {
    std::error_code ec;
    std::filesystem::remove(folder_ + "/" + file, ec);
}

}  // namespace nvxtest
