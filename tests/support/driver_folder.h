// A private copy of the built driver folder, so that a test can remove, replace or
// add files beside the module before loading it.
#pragma once

#include <initializer_list>
#include <string>

#include "common/text.h"

namespace nvxtest {

// The driver folder the build produced (NOVRIX_DRIVER_DIR).
std::string BuiltDriverFolder();

class DriverCopy {
public:
    // Copies every file of the built driver folder except those listed.
    explicit DriverCopy(std::initializer_list<const char*> leaveOut = {});
    ~DriverCopy();
    DriverCopy(const DriverCopy&) = delete;
    DriverCopy& operator=(const DriverCopy&) = delete;

    const std::string& Folder() const { return folder_; }
    // Full path of a file in the copy, as UTF-16 for Win32 calls.
    nvx::WString WidePath(const char* file) const;
    // Writes (or replaces) a file in the copy.
    void Write(const char* file, const std::string& bytes) const;
    void Remove(const char* file) const;

private:
    std::string folder_;
};

}  // namespace nvxtest
