// Named layouts of longer item records: the fields after the first 16 bytes.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "vpdc_json_util.h"

namespace vpdc::json {

struct FieldDef {
    std::string name;
    uint32_t at = 0;      // byte offset in the record, 16 or more
    std::string type;     // u8 u16 u32 u64 i8 i16 i32 i64 ascii utf16 hex
    uint32_t width = 0;   // bytes (characters for utf16); set for every type
};

struct RecordLayout {
    uint32_t size = 16;
    std::vector<FieldDef> fields;
};

using Layouts = std::map<std::string, RecordLayout>;

// Reads the "record_layouts" object of a source.
Layouts ReadLayouts(const Json& src, const Place& at);
Json LayoutsToJson(const Layouts& layouts);

// A field definition from {"at", "type", "width"} (and "name" when named).
FieldDef ReadField(const Json& def, const Place& at, bool named);

// Writes one field's value into the record's extra bytes (record offset at - 16).
void EncodeField(const FieldDef& f, const Json& value, Bytes& extra, const Place& at);
// Reads it back; false when the bytes are not what EncodeField writes for any value.
bool DecodeField(const FieldDef& f, const Bytes& extra, Json* value);

}  // namespace vpdc::json
