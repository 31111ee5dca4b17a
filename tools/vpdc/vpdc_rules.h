// The rule language: a readable source for the constraint file (the block
// layout), one rule per paragraph, mapping one to one onto the file's records so
// that any file vpdc writes can be dumped to it and compiled back byte for byte.
//
//   # booklet needs both sides
//   change DoubleSides = Duplex
//       when DoubleSides == Booklet and (Nup == NupON or Zoom == ZoomManual)
//       message 12
//       disable
//
// The language is described in docs/model-data-format.md ("The rule language").
#pragma once

#include <string>
#include <vector>

#include "vpdc_model.h"

namespace vpdc {

// Parses a rule source.  `file` names the source in messages, which read
// "<file>:<line>: <problem>".  Throws Error at the first problem.  Findings that
// do not stop the compile (rules of one kind that do not stand together, a kind
// the engine does not know) are appended to `warnings` when it is given.
BlockPackage RulesFromText(const std::string& text, const std::string& file,
                           std::vector<std::string>* warnings = nullptr);

// Writes a package as a rule source that RulesFromText reads back into the same
// package.  Rules whose expression has no infix spelling (or that the infix
// spelling would renumber) are written with their raw conditions and tokens.
std::string RulesToText(const BlockPackage& pkg);

// Whether two packages would be written as the same bytes.
bool SameBlock(const BlockPackage& a, const BlockPackage& b);

}  // namespace vpdc
