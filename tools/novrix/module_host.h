// Loading NOVRIX_U.DLL as a host does, and calling its entry points.
#pragma once

#include <string>

#include "common/proc.h"
#include "common/text.h"

namespace novrix {

class ModuleHost {
public:
    ModuleHost() = default;
    ~ModuleHost();
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    // Loads the module from the driver folder; on failure Error() says why.
    bool Load(const std::string& driverFolder);
    HMODULE Handle() const { return module_; }
    const std::string& Error() const { return error_; }

    // The entry point by name, cast to its type (null when missing).
    template <typename Fn>
    Fn Entry(const char* name) const {
        return module_ ? nvx::ProcAs<Fn>(GetProcAddress(module_, name)) : nullptr;
    }

private:
    HMODULE module_ = nullptr;
    std::string error_;
};

}  // namespace novrix
