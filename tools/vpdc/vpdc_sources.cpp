// Reading source files: JSON with comments, and the sources a source includes.
#include <cerrno>
#include <cstring>
#include <fstream>

#include "vpdc.h"

namespace vpdc {
namespace {

Json ParseFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw Error("cannot open: " + std::string(std::strerror(errno)));
    try {
        return Json::parse(in, nullptr, true, true);
    } catch (const Json::parse_error& e) {
        throw Error(std::string("not valid JSON: ") + e.what());
    }
}

}  // namespace

void ResolveIncludes(Json& src, const std::filesystem::path& file) {
    if (!src.is_object() || !src.contains("include")) return;
    const Json includes = src["include"];
    src.erase("include");
    if (!includes.is_array()) throw Error("/include: expected an array of file names");
    for (const Json& name : includes) {
        if (!name.is_string()) throw Error("/include: expected an array of file names");
        std::filesystem::path path = file.parent_path() / name.get<std::string>();
        Json part;
        try {
            part = ParseFile(path.string());
        } catch (const Error& e) {
            throw Error(path.string() + ": " + e.what());
        }
        if (!part.is_object()) throw Error(path.string() + ": expected an object");
        for (auto it = part.begin(); it != part.end(); ++it) {
            const std::string& member = it.key();
            if (member == "comment") continue;
            if (member != "entries" && member != "rules")
                throw Error(path.string() + ": /" + member + ": an included file holds only entries or rules");
            if (!it->is_array()) throw Error(path.string() + ": /" + member + ": expected an array");
            Json& into = src[member];
            if (into.is_null()) into = Json::array();
            for (const Json& element : *it) {
                if (member == "entries" && element.is_object() && element.contains("name"))
                    for (const Json& have : into)
                        if (have.is_object() && have.contains("name") && have["name"] == element["name"])
                            throw Error(path.string() + ": entry " + element["name"].dump() + " is defined twice");
                into.push_back(element);
            }
        }
    }
}

Json ReadSource(const std::string& path, bool withIncludes) {
    Json src = ParseFile(path);
    if (withIncludes) ResolveIncludes(src, path);
    return src;
}

}  // namespace vpdc
