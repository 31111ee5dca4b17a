// The words of the rule language, shared by its reader and its writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/vpd_format.h"

namespace vpdc::rules {

namespace vpd = nvx::vpd;

struct Word {
    uint32_t code;
    const char* word;
};

// Rule kinds; any other kind is written "kind <number>".
inline constexpr Word kKindWords[] = {{vpd::kRuleChange, "change"},
                                      {vpd::kRuleProhibit, "forbid"},
                                      {vpd::kRuleControl, "control"},
                                      {vpd::kRulePerPageChange, "perpage"}};

// Operators; any other code is written "{<number>}".  The second spellings of
// "less or equal" and "greater or equal" keep the file's two codes apart.
inline constexpr Word kOperatorWords[] = {{vpd::kOpEqual, "=="},       {vpd::kOpNotEqual, "!="},
                                          {vpd::kOpLess, "<"},         {vpd::kOpGreater, ">"},
                                          {vpd::kOpLessEqual, "<="},   {vpd::kOpLessEqual2, "=<"},
                                          {vpd::kOpGreaterEqual, ">="}, {vpd::kOpGreaterEqual2, "=>"},
                                          {vpd::kOpNever1, "never"},   {vpd::kOpNever2, "never2"}};

// Actions; any other code is written "action <code> <parameter>".  The
// parameter of "disable" and "gate" may be left out (0).
inline constexpr Word kActionWords[] = {{vpd::kActDisable, "disable"},
                                        {vpd::kActChangeMessage, "message"},
                                        {vpd::kActConstraintMessage, "refuse"},
                                        {vpd::kActIcon, "icon"},
                                        {vpd::kActGate, "gate"}};

inline bool OptionalParameter(uint32_t code) { return code == vpd::kActDisable || code == vpd::kActGate; }

// Words that the writer quotes when they are names, so that a reader never
// mistakes a name for a clause.
inline constexpr const char* kReservedWords[] = {
    "and", "or", "when", "condition", "tokens", "admin", "message", "refuse", "icon", "disable",
    "gate", "action", "field148", "field280", "gaps", "declare", "never", "never2", "change", "forbid",
    "control", "perpage", "kind", "version", "header", "spare", "hex", "end"};

inline bool Reserved(std::string_view w) {
    for (const char* r : kReservedWords)
        if (w == r) return true;
    return false;
}

// Characters that end a bare word (besides white space and control characters).
inline bool Delimiter(char c) {
    switch (c) {
    case '#': case '"': case '(': case ')': case '[': case ']': case '{': case '}':
    case '=': case '!': case '<': case '>': case ',': case '\\':
        return true;
    default:
        return static_cast<unsigned char>(c) <= 0x20 || c == 0x7f;
    }
}

// The deepest stack the engine gives an expression.
inline constexpr size_t kEngineStack = 80;
// The deepest parenthesis nesting the reader accepts.
inline constexpr size_t kMaxNesting = 200;

}  // namespace vpdc::rules
