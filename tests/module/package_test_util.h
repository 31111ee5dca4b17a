// Packages for the reader's tests, built by vpdc's writer from JSON sources.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/le.h"
#include "model/package.h"
#include "vpdc.h"

namespace pkgtest {

inline vpdc::Bytes Build(const std::string& json) { return vpdc::Compile(vpdc::Json::parse(json)); }

inline nvx::model::PackagePtr OpenBytes(const vpdc::Bytes& b) {
    return nvx::model::Package::OpenImage(b.data(), b.size());
}

inline uint32_t Get32(const vpdc::Bytes& b, uint32_t at) { return nvx::GetLE32(b.data() + at); }
inline void Put32(vpdc::Bytes& b, uint32_t at, uint32_t v) { nvx::PutLE32(b.data() + at, v); }

inline std::string Utf8(const WCHAR* s) { return nvx::Utf8FromW(s); }

// A source with one 52-byte-layout entry per {name, items-json} pair.
inline std::string Directory(const std::string& entries) {
    return R"({"layout": "directory52", "entries": [)" + entries + "]}";
}

}  // namespace pkgtest
