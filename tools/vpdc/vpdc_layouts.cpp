// Named fields of longer item records.
#include "vpdc_layouts.h"

#include <cstring>

namespace vpdc::json {

namespace {

struct IntType {
    const char* name;
    uint32_t width;
    bool isSigned;
};
constexpr IntType kIntTypes[] = {{"u8", 1, false}, {"u16", 2, false}, {"u32", 4, false}, {"u64", 8, false},
                                 {"i8", 1, true},  {"i16", 2, true},  {"i32", 4, true},  {"i64", 8, true}};

const IntType* FindInt(const std::string& type) {
    for (const IntType& t : kIntTypes)
        if (type == t.name) return &t;
    return nullptr;
}

// Item members that a field name may not take.
bool Reserved(const std::string& name) {
    for (const char* r : {"key", "key_hex", "value", "value_hex", "aux", "size", "extra", "fields", "chain", "number"})
        if (name == r) return true;
    return false;
}

}  // namespace

FieldDef ReadField(const Json& def, const Place& at, bool named) {
    Object(def, at);
    FieldDef f;
    if (named) {
        OnlyMembers(def, at, {"name", "at", "type", "width"});
        if (!def.contains("name")) at.Fail("field without \"name\"");
        f.name = String(def["name"], at / "name");
        if (Reserved(f.name)) (at / "name").Fail("\"" + f.name + "\" is an item member, not a field name");
    } else {
        OnlyMembers(def, at, {"at", "type", "width", "value"});
    }
    if (!def.contains("at") || !def.contains("type")) at.Fail("a field needs \"at\" and \"type\"");
    f.at = static_cast<uint32_t>(Integer(def["at"], at / "at", 16, 4095));
    f.type = String(def["type"], at / "type");
    if (const IntType* t = FindInt(f.type)) {
        f.width = t->width;
        if (def.contains("width")) (at / "width").Fail("integer fields have their own width");
    } else if (f.type == "ascii" || f.type == "utf16" || f.type == "hex") {
        if (!def.contains("width")) at.Fail(f.type + " fields need a \"width\"");
        f.width = static_cast<uint32_t>(Integer(def["width"], at / "width", 1, 4080));
    } else {
        (at / "type").Fail("unknown type \"" + f.type + "\" (u8 u16 u32 u64 i8 i16 i32 i64 ascii utf16 hex)");
    }
    return f;
}

Layouts ReadLayouts(const Json& src, const Place& at) {
    Layouts out;
    if (!src.contains("record_layouts")) return out;
    Place here = at / "record_layouts";
    const Json& all = Object(src["record_layouts"], here);
    for (auto it = all.begin(); it != all.end(); ++it) {
        Place p = here / ("'" + it.key() + "'");
        const Json& def = Object(it.value(), p);
        OnlyMembers(def, p, {"size", "fields"});
        RecordLayout layout;
        if (!def.contains("size")) p.Fail("a record layout needs a \"size\"");
        layout.size = static_cast<uint32_t>(Integer(def["size"], p / "size", 16, 4096));
        if (layout.size % 4 != 0) (p / "size").Fail("record sizes are multiples of 4");
        if (def.contains("fields")) {
            const Json& fields = Array(def["fields"], p / "fields");
            for (size_t i = 0; i < fields.size(); ++i) {
                FieldDef f = ReadField(fields[i], (p / "fields")[i], true);
                uint32_t bytes = f.type == "utf16" ? 2 * f.width : f.width;
                if (f.at + bytes > layout.size) ((p / "fields")[i]).Fail("field runs past the record size");
                layout.fields.push_back(f);
            }
        }
        out[it.key()] = layout;
    }
    return out;
}

Json LayoutsToJson(const Layouts& layouts) {
    Json out = Json::object();
    for (const auto& [name, layout] : layouts) {
        Json fields = Json::array();
        for (const FieldDef& f : layout.fields) {
            Json d = {{"name", f.name}, {"at", f.at}, {"type", f.type}};
            if (!FindInt(f.type)) d["width"] = f.width;
            fields.push_back(d);
        }
        out[name] = {{"size", layout.size}, {"fields", fields}};
    }
    return out;
}

void EncodeField(const FieldDef& f, const Json& value, Bytes& extra, const Place& at) {
    const uint32_t bytes = f.type == "utf16" ? 2 * f.width : f.width;
    const size_t start = f.at - 16;
    if (extra.size() < start + bytes) extra.resize(start + bytes, 0);
    uint8_t* p = extra.data() + start;
    if (const IntType* t = FindInt(f.type)) {
        uint64_t v;
        if (t->isSigned) {
            int64_t lo = t->width == 8 ? INT64_MIN : -(int64_t{1} << (8 * t->width - 1));
            int64_t hi = t->width == 8 ? INT64_MAX : (int64_t{1} << (8 * t->width - 1)) - 1;
            v = static_cast<uint64_t>(Integer(value, at, lo, hi));
        } else if (t->width == 8) {
            if (value.is_number_unsigned()) v = value.get<uint64_t>();
            else v = static_cast<uint64_t>(Integer(value, at, 0, INT64_MAX));
        } else {
            v = static_cast<uint64_t>(Integer(value, at, 0, (int64_t{1} << (8 * t->width)) - 1));
        }
        for (uint32_t i = 0; i < t->width; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
    } else if (f.type == "ascii") {
        std::string s = String(value, at);
        if (s.size() > f.width) at.Fail("longer than " + std::to_string(f.width) + " bytes");
        for (unsigned char c : s)
            if (c == 0 || c > 0x7f) at.Fail("not an ASCII text");
        std::memset(p, 0, bytes);
        std::memcpy(p, s.data(), s.size());
    } else if (f.type == "utf16") {
        std::u16string s = Utf16(String(value, at));
        if (s.size() > f.width) at.Fail("longer than " + std::to_string(f.width) + " characters");
        std::memset(p, 0, bytes);
        for (size_t i = 0; i < s.size(); ++i) {
            p[2 * i] = static_cast<uint8_t>(s[i]);
            p[2 * i + 1] = static_cast<uint8_t>(s[i] >> 8);
        }
    } else {
        Bytes b = FromHex(value, at);
        if (b.size() > f.width) at.Fail("more than " + std::to_string(f.width) + " bytes");
        std::memset(p, 0, bytes);
        std::memcpy(p, b.data(), b.size());
    }
}

bool DecodeField(const FieldDef& f, const Bytes& extra, Json* value) {
    const uint32_t bytes = f.type == "utf16" ? 2 * f.width : f.width;
    const size_t start = f.at - 16;
    Bytes b(bytes, 0);
    for (size_t i = 0; i < bytes && start + i < extra.size(); ++i) b[i] = extra[start + i];
    if (const IntType* t = FindInt(f.type)) {
        uint64_t v = 0;
        for (uint32_t i = 0; i < t->width; ++i) v |= static_cast<uint64_t>(b[i]) << (8 * i);
        if (!t->isSigned) {
            *value = v;
        } else {
            int shift = 64 - 8 * static_cast<int>(t->width);
            *value = static_cast<int64_t>(v << shift) >> shift;
        }
        return true;
    }
    if (f.type == "hex") {
        while (!b.empty() && b.back() == 0) b.pop_back();
        *value = ToHex(b);
        return true;
    }
    if (f.type == "ascii") {
        size_t len = 0;
        while (len < b.size() && b[len] != 0) ++len;
        for (size_t i = 0; i < b.size(); ++i)
            if (i < len ? b[i] > 0x7f : b[i] != 0) return false;
        *value = std::string(b.begin(), b.begin() + static_cast<long>(len));
        return true;
    }
    std::u16string s;
    size_t len = 0;
    while (len < f.width && (b[2 * len] | b[2 * len + 1]) != 0) s.push_back(static_cast<char16_t>(b[2 * len] | (b[2 * len + 1] << 8))), ++len;
    for (size_t i = 2 * len; i < b.size(); ++i)
        if (b[i] != 0) return false;
    std::string utf8;
    if (!ExactUtf8(s, &utf8)) return false;
    *value = utf8;
    return true;
}

}  // namespace vpdc::json
