// vpdc, the model-data compiler: readable JSON sources <-> .VPD packages.
//
// The source format and the canonical layout are described in
// docs/model-data-format.md.
#pragma once

#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "vpdc_model.h"

namespace vpdc {

using Json = nlohmann::ordered_json;

// Source -> in-memory form.  Throws Error naming the place ("entries[3] 'Copies'
// items[2]: ...") of the first problem.
DirectoryPackage DirectoryFromJson(const Json& src);
BlockPackage BlockFromJson(const Json& src);
// Source -> package bytes, by the source's "layout".
Bytes Compile(const Json& src);

// In-memory form -> source.  `layouts`, when given, is a source whose
// "record_layouts" and entries' "record" names let items be shown by named
// fields instead of hex (only where that rewrites the same bytes).
Json DirectoryToJson(const DirectoryPackage& pkg, const Json* layouts = nullptr);
Json BlockToJson(const BlockPackage& pkg);
// Package bytes -> source (any package; Auto guesses the layout).
Json Dump(const Bytes& file, Layout layout = Layout::Auto, const Json* layouts = nullptr);

// Reads a source file (JSON; `//` and `/* */` comments allowed).  With
// withIncludes, the sources its "include" member names are merged in (see
// ResolveIncludes).  Throws Error on an unreadable file or bad JSON.
Json ReadSource(const std::string& path, bool withIncludes = false);
// Merges the sources that src's "include" member names (paths relative to `file`,
// the including file) into it: their "entries" (directory layouts) or "rules"
// (block layout) follow the including file's own, in include order, and the
// member is removed.  An entry name that two files define is refused, as is an
// included file with members other than those two and "comment".
void ResolveIncludes(Json& src, const std::filesystem::path& file);

}  // namespace vpdc
