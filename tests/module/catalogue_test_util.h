// Packages for the catalogue's tests: the sample model's source, edited and
// compiled by vpdc's writer, and the catalogue's build steps run on it in order.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "features/list_builders.h"
#include "features/model_record.h"
#include "features/template_adjust.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "vpdc.h"

namespace cattest {

using Json = vpdc::Json;

// The sample model's source with the entries of its included files appended, as
// the model compiler merges them.
inline Json SampleSource() { return vpdc::ReadSource(NVX_SAMPLE_MODEL, true); }

inline Json& Entry(Json& src, const std::string& name) {
    for (Json& e : src["entries"])
        if (e["name"] == name) return e;
    throw std::runtime_error("no entry " + name);
}

inline void RemoveEntry(Json& src, const std::string& name) {
    Json& entries = src["entries"];
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i]["name"] == name) {
            entries.erase(i);
            return;
        }
}

// Replaces (or adds) an entry.
inline void SetEntry(Json& src, const Json& entry) {
    RemoveEntry(src, entry["name"]);
    src["entries"].push_back(entry);
}

inline nvx::model::PackagePtr Open(const Json& src) {
    vpdc::Bytes b = vpdc::Compile(src);
    return nvx::model::Package::OpenImage(b.data(), b.size());
}

// A package of the given entries alone (with the sample's record layouts).
inline Json Only(std::initializer_list<Json> entries) {
    Json src = SampleSource();
    src["entries"] = Json::array();
    for (const Json& e : entries) src["entries"].push_back(e);
    return src;
}

// An entry of [key, value] items, in order.
inline Json Items(const char* name, std::initializer_list<std::pair<const char*, const char*>> items) {
    Json list = Json::array();
    for (const auto& [k, v] : items) list.push_back(Json::array({k, v}));
    return Json{{"name", name}, {"items", list}};
}

// The catalogue's steps of the build order, on one package, into tables that the
// fixture frees.
struct Built {
    nvx::model::ModelTables tables;
    bool ok = false;
    explicit Built(const nvx::model::Package& pkg) {
        using namespace nvx::features;
        if (!BuildModelRecord(pkg, tables)) return;
        PrepareDefaults(pkg, tables);
        LoadOptionTexts(pkg, tables);
        RefillLists(pkg, tables);
        if (!BuildDeviceOptionTable(pkg, tables)) return;
        LoadFaxLists(pkg, tables);
        LoadDestinationLists(pkg, tables);
        ok = BuildListRelationTable(tables);
    }
    ~Built() { nvx::features::FreeCatalogueTables(tables); }
    nvx::features::ModelRecord& Record() { return *tables.record; }
};

inline std::string Utf8(const nvx::WString& s) { return nvx::Utf8FromW(s); }

}  // namespace cattest
