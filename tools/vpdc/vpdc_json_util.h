// Helpers shared by vpdc's source readers and writers: checked field access with
// the place of a problem in the message, hex, and UTF-16 text fields.
#pragma once

#include <cstdint>
#include <string>

#include "vpdc.h"

namespace vpdc::json {

// A place in the source, for messages: "entries[3] 'Copies' items[2]".
struct Place {
    std::string path;
    Place operator/(const std::string& part) const { return Place{path.empty() ? part : path + " " + part}; }
    Place operator[](size_t i) const { return Place{path + "[" + std::to_string(i) + "]"}; }
    [[noreturn]] void Fail(const std::string& what) const { throw Error((path.empty() ? "" : path + ": ") + what); }
};

// Rejects members other than the allowed ones (catches misspelt field names).
void OnlyMembers(const Json& obj, const Place& at, std::initializer_list<const char*> allowed);

const Json& Object(const Json& v, const Place& at);
const Json& Array(const Json& v, const Place& at);
std::string String(const Json& v, const Place& at);
bool Bool(const Json& v, const Place& at);
// An integer within [lo, hi]; also accepts a "0x..." string.
int64_t Integer(const Json& v, const Place& at, int64_t lo, int64_t hi);
uint32_t U32(const Json& v, const Place& at);
int32_t I32(const Json& v, const Place& at);

// Hex digits (whitespace ignored) to bytes, and back (lower case, no spaces).
Bytes FromHex(const Json& v, const Place& at);
std::string ToHex(const Bytes& b);
std::string ToHex(const uint8_t* p, size_t n);
std::string HexNumber(uint32_t v);  // "0x..."

// UTF-8 <-> UTF-16 that round-trips exactly (false when it would not).
std::u16string Utf16(const std::string& utf8);
bool ExactUtf8(const std::u16string& s, std::string* out);

// A 32-character UTF-16 field: from "name" (at most 31 characters) or from
// "name_hex" (64 bytes); written as a string when it is clean (zero after the
// terminator, exact in UTF-8), else as hex.
Text32 TextField(const Json& obj, const char* name, const Place& at);
void PutTextField(Json& obj, const char* name, const Text32& t, bool omitEmpty);
// The same for ASCII fields of n bytes ("name" of at most n - 1 characters, or
// "name_hex").
void AsciiField(const Json& obj, const char* name, uint8_t* out, size_t n, const Place& at);
void PutAsciiField(Json& obj, const char* name, const uint8_t* f, size_t n);

}  // namespace vpdc::json
