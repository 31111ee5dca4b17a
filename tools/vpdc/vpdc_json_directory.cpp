// Directory-layout sources: JSON <-> DirectoryPackage.
#include <algorithm>
#include <map>

#include "model/vpd_format.h"
#include "vpdc_json_util.h"
#include "vpdc_layouts.h"

namespace vpdc {

using namespace json;

namespace {

constexpr const char* kItemMembers[] = {"key", "key_hex", "value", "value_hex", "aux", "size",
                                        "extra", "fields", "chain", "number", "comment"};

bool PrintableAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

uint32_t ReadFlags(const Json& v, const Place& at) {
    if (!v.is_array()) return U32(v, at);
    uint32_t flags = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i].is_string() && v[i].get<std::string>() == "reorder") flags |= nvx::vpd::kFlagReorder;
        else flags |= U32(v[i], at[i]);
    }
    return flags;
}

Json FlagsToJson(uint32_t flags) {
    Json out = Json::array();
    if (flags & nvx::vpd::kFlagReorder) out.push_back("reorder");
    if (flags & ~nvx::vpd::kFlagReorder) out.push_back(HexNumber(flags & ~nvx::vpd::kFlagReorder));
    return out;
}

std::string ReadKey(const Json& item, const Place& at) {
    if (item.contains("key_hex")) {
        Bytes b = FromHex(item["key_hex"], at / "key_hex");
        return std::string(b.begin(), b.end());
    }
    std::string key = String(item["key"], at / "key");
    for (unsigned char c : key)
        if (c > 0x7f) (at / "key").Fail("keys are ASCII; use key_hex for other bytes");
    return key;
}

std::u16string ReadValue(const Json& item, const Place& at) {
    if (item.contains("value_hex")) {
        Bytes b = FromHex(item["value_hex"], at / "value_hex");
        if (b.size() % 2 != 0) (at / "value_hex").Fail("UTF-16 needs an even number of bytes");
        std::u16string s;
        for (size_t i = 0; i < b.size(); i += 2) s.push_back(static_cast<char16_t>(b[i] | (b[i + 1] << 8)));
        return s;
    }
    return Utf16(String(item["value"], at / "value"));
}

Item ReadItem(const Json& v, const Place& at, uint32_t defaultSize, const RecordLayout* layout) {
    Item it;
    it.size = defaultSize;
    if (v.is_array()) {
        if (v.size() != 2) at.Fail("a short item is [key, value]");
        it.key = ReadKey(Json{{"key", v[0]}}, at[0]);
        it.value = Utf16(String(v[1], at[1]));
        return it;
    }
    Object(v, at);
    for (auto m = v.begin(); m != v.end(); ++m) {
        bool known = std::find_if(std::begin(kItemMembers), std::end(kItemMembers),
                                  [&](const char* k) { return m.key() == k; }) != std::end(kItemMembers);
        if (layout)
            for (const FieldDef& f : layout->fields) known = known || f.name == m.key();
        if (!known) at.Fail("unknown field \"" + m.key() + "\"");
    }
    if (v.contains("key") || v.contains("key_hex")) it.key = ReadKey(v, at);
    if (v.contains("value") || v.contains("value_hex")) it.value = ReadValue(v, at);
    if (v.contains("aux")) it.aux = U32(v["aux"], at / "aux");
    if (v.contains("size")) it.size = static_cast<uint32_t>(Integer(v["size"], at / "size", 16, 4096));
    if (v.contains("extra")) it.extra = FromHex(v["extra"], at / "extra");
    if (layout)
        for (const FieldDef& f : layout->fields)
            if (v.contains(f.name)) EncodeField(f, v[f.name], it.extra, at / f.name);
    if (v.contains("fields")) {
        const Json& fields = Array(v["fields"], at / "fields");
        for (size_t i = 0; i < fields.size(); ++i) {
            Place p = (at / "fields")[i];
            FieldDef f = ReadField(fields[i], p, false);
            if (!fields[i].contains("value")) p.Fail("field without \"value\"");
            EncodeField(f, fields[i]["value"], it.extra, p / "value");
        }
    }
    while (!it.extra.empty() && it.extra.back() == 0) it.extra.pop_back();
    if (it.extra.size() > it.size - 16) at.Fail("fields run past the record size " + std::to_string(it.size));
    if (v.contains("chain")) it.chain = Bool(v["chain"], at / "chain");
    if (v.contains("number")) it.number = U32(v["number"], at / "number");
    return it;
}

// An item reference: its position, or its key (which must name one item).
size_t ReadRef(const Json& v, const Entry& e, const Place& at) {
    if (v.is_string()) {
        std::string key = v.get<std::string>();
        size_t found = SIZE_MAX;
        for (size_t i = 0; i < e.items.size(); ++i) {
            if (e.items[i].key && *e.items[i].key == key) {
                if (found != SIZE_MAX) at.Fail("key \"" + key + "\" names more than one item; use its position");
                found = i;
            }
        }
        if (found == SIZE_MAX) at.Fail("no item has the key \"" + key + "\"");
        return found;
    }
    return static_cast<size_t>(Integer(v, at, 0, static_cast<int64_t>(e.items.size()) - 1));
}

Entry ReadEntry(const Json& v, Place at, uint32_t entrySize, const Layouts& layouts) {
    Object(v, at);
    OnlyMembers(v, at, {"name", "name_hex", "flags", "reserved", "count", "info_reserved", "record_size",
                        "record", "items", "chain_order", "display", "index", "default", "range", "comment"});
    Entry e;
    if (v.contains("name_hex")) {
        Bytes b = FromHex(v["name_hex"], at / "name_hex");
        e.name.assign(b.begin(), b.end());
        while (!e.name.empty() && e.name.back() == 0) e.name.pop_back();
        if (b.size() > nvx::vpd::kNameField) (at / "name_hex").Fail("more than 32 bytes");
    } else {
        if (!v.contains("name")) at.Fail("entry without \"name\"");
        e.name = String(v["name"], at / "name");
        if (e.name.empty() || e.name.size() > 31 || !PrintableAscii(e.name))
            (at / "name").Fail("entry names are 1 to 31 printable ASCII characters");
    }
    at = at / ("'" + e.name + "'");
    if (v.contains("flags")) e.flags = ReadFlags(v["flags"], at / "flags");
    if (v.contains("reserved")) {
        const Json& r = Array(v["reserved"], at / "reserved");
        if (r.size() != 2) (at / "reserved").Fail("expected two numbers");
        e.reserved = {U32(r[0], (at / "reserved")[0]), U32(r[1], (at / "reserved")[1])};
    }
    if (v.contains("count")) e.count = I32(v["count"], at / "count");
    if (v.contains("info_reserved")) e.infoReserved = U32(v["info_reserved"], at / "info_reserved");
    const RecordLayout* layout = nullptr;
    uint32_t size = 16;
    if (v.contains("record")) {
        std::string name = String(v["record"], at / "record");
        auto found = layouts.find(name);
        if (found == layouts.end()) (at / "record").Fail("no record layout \"" + name + "\"");
        layout = &found->second;
        size = layout->size;
    }
    if (v.contains("record_size")) {
        size = static_cast<uint32_t>(Integer(v["record_size"], at / "record_size", 16, 4096));
        if (size % 4 != 0) (at / "record_size").Fail("record sizes are multiples of 4");
    }
    if (v.contains("items")) {
        const Json& items = Array(v["items"], at / "items");
        for (size_t i = 0; i < items.size(); ++i) e.items.push_back(ReadItem(items[i], (at / "items")[i], size, layout));
    }
    if (v.contains("chain_order")) {
        const Json& c = Array(v["chain_order"], at / "chain_order");
        e.chainOrder.emplace();
        for (size_t i = 0; i < c.size(); ++i) e.chainOrder->push_back(ReadRef(c[i], e, (at / "chain_order")[i]));
    }
    if (v.contains("display")) {
        const Json& d = Array(v["display"], at / "display");
        e.display.emplace();
        for (size_t i = 0; i < d.size(); ++i) {
            if (d[i].is_null()) e.display->push_back(std::nullopt);
            else e.display->push_back(ReadRef(d[i], e, (at / "display")[i]));
        }
    }
    if (v.contains("index")) e.index = Bool(v["index"], at / "index");
    if (v.contains("default") && !v["default"].is_null()) e.defaultItem = ReadRef(v["default"], e, at / "default");
    if (v.contains("range")) {
        Place p = at / "range";
        const Json& r = Object(v["range"], p);
        OnlyMembers(r, p, {"min", "max", "default", "skipped"});
        Range range;
        if (r.contains("min")) range.minimum = I32(r["min"], p / "min");
        if (r.contains("max")) range.maximum = I32(r["max"], p / "max");
        if (r.contains("default")) range.defaultValue = I32(r["default"], p / "default");
        if (r.contains("skipped")) {
            Bytes b = FromHex(r["skipped"], p / "skipped");
            if (b.size() > range.skipped.size()) (p / "skipped").Fail("more than 36 bytes");
            std::copy(b.begin(), b.end(), range.skipped.begin());
        }
        e.range = range;
    }
    return e;
}

}  // namespace

DirectoryPackage DirectoryFromJson(const Json& src) {
    Place root;
    Object(src, root);
    OnlyMembers(src, root, {"layout", "header_tag", "directory_end", "record_layouts", "entries", "comment"});
    DirectoryPackage pkg;
    std::string layout = src.contains("layout") ? String(src["layout"], root / "layout") : "";
    if (layout == "directory52") pkg.entrySize = nvx::vpd::kEntry52Size;
    else if (layout == "directory40") pkg.entrySize = nvx::vpd::kEntry40Size;
    else (root / "layout").Fail("expected \"directory52\" or \"directory40\"");
    if (src.contains("header_tag")) pkg.tag = U32(src["header_tag"], root / "header_tag");
    if (src.contains("directory_end")) pkg.directoryEnd = U32(src["directory_end"], root / "directory_end");
    Layouts layouts = ReadLayouts(src, root);
    if (src.contains("entries")) {
        const Json& entries = Array(src["entries"], root / "entries");
        for (size_t i = 0; i < entries.size(); ++i)
            pkg.entries.push_back(ReadEntry(entries[i], (root / "entries")[i], pkg.entrySize, layouts));
    }
    return pkg;
}

namespace {

// The layout an entry's items are shown with, from a layouts source.
struct LayoutChoice {
    Layouts layouts;
    std::map<std::string, std::string> byEntry;
};

Json RefToJson(const Entry& e, size_t pos) {
    const Item& it = e.items[pos];
    if (it.key && PrintableAscii(*it.key)) {
        size_t same = std::count_if(e.items.begin(), e.items.end(),
                                    [&](const Item& o) { return o.key && *o.key == *it.key; });
        if (same == 1) return *it.key;
    }
    return pos;
}

// The item's named fields when they write exactly its extra bytes.
bool NamedFields(const Item& it, const RecordLayout& layout, Json& out) {
    if (it.size != layout.size) return false;
    Bytes rebuilt;
    Json fields = Json::object();
    for (const FieldDef& f : layout.fields) {
        Json value;
        if (!DecodeField(f, it.extra, &value)) return false;
        EncodeField(f, value, rebuilt, Place{});
        bool zero = (value.is_number() && value == 0) || (value.is_string() && value.get<std::string>().empty());
        if (!zero) fields[f.name] = value;
    }
    while (!rebuilt.empty() && rebuilt.back() == 0) rebuilt.pop_back();
    if (rebuilt != it.extra) return false;
    for (auto m = fields.begin(); m != fields.end(); ++m) out[m.key()] = m.value();
    return true;
}

Json ItemToJson(const Item& it, uint32_t size, bool chainMarks, const RecordLayout* layout) {
    std::string value;
    bool exactValue = it.value && ExactUtf8(*it.value, &value);
    if (it.key && PrintableAscii(*it.key) && exactValue && it.aux == 0 && it.size == size && it.extra.empty() &&
        (it.chain || !chainMarks) && it.number == 0)
        return Json::array({*it.key, value});
    Json o = Json::object();
    if (it.key) {
        if (PrintableAscii(*it.key)) o["key"] = *it.key;
        else o["key_hex"] = ToHex(Bytes(it.key->begin(), it.key->end()));
    }
    if (it.value) {
        if (exactValue) {
            o["value"] = value;
        } else {
            Bytes b;
            for (char16_t c : *it.value) b.insert(b.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
            o["value_hex"] = ToHex(b);
        }
    }
    if (it.aux) o["aux"] = it.aux;
    if (it.size != size) o["size"] = it.size;
    if (!it.extra.empty() && !(layout && NamedFields(it, *layout, o))) o["extra"] = ToHex(it.extra);
    if (chainMarks && !it.chain) o["chain"] = false;
    if (it.number) o["number"] = it.number;
    return o;
}

Json EntryToJson(const Entry& e, const RecordLayout* layout, const std::string& layoutName) {
    Json o = Json::object();
    if (!e.name.empty() && e.name.size() < 32 && PrintableAscii(e.name)) o["name"] = e.name;
    else o["name_hex"] = ToHex(Bytes(e.name.begin(), e.name.end()));
    if (e.flags) o["flags"] = FlagsToJson(e.flags);
    if (e.reserved[0] || e.reserved[1]) o["reserved"] = {e.reserved[0], e.reserved[1]};
    if (e.count) o["count"] = *e.count;
    if (e.infoReserved) o["info_reserved"] = e.infoReserved;
    // The record size most items have is the entry's.
    std::map<uint32_t, size_t> sizes;
    for (const Item& it : e.items) ++sizes[it.size];
    uint32_t size = 16;
    if (layout) {
        o["record"] = layoutName;
        size = layout->size;
    } else if (!sizes.empty()) {
        size = std::max_element(sizes.begin(), sizes.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
        if (size != 16) o["record_size"] = size;
    }
    if (e.range) {
        Json r = {{"min", e.range->minimum}, {"max", e.range->maximum}, {"default", e.range->defaultValue}};
        Bytes skipped(e.range->skipped.begin(), e.range->skipped.end());
        while (!skipped.empty() && skipped.back() == 0) skipped.pop_back();
        if (!skipped.empty()) r["skipped"] = ToHex(skipped);
        o["range"] = r;
    }
    if (e.defaultItem) o["default"] = RefToJson(e, *e.defaultItem);
    if (!e.index) o["index"] = false;
    if (e.display) {
        Json d = Json::array();
        for (const auto& slot : *e.display) d.push_back(slot ? RefToJson(e, *slot) : Json());
        o["display"] = d;
    }
    if (e.chainOrder) {
        Json c = Json::array();
        for (size_t pos : *e.chainOrder) c.push_back(RefToJson(e, pos));
        o["chain_order"] = c;
    }
    Json items = Json::array();
    for (const Item& it : e.items) items.push_back(ItemToJson(it, size, !e.chainOrder, layout));
    if (!items.empty()) o["items"] = items;
    return o;
}

}  // namespace

Json DirectoryToJson(const DirectoryPackage& pkg, const Json* layoutsSrc) {
    LayoutChoice choice;
    if (layoutsSrc) {
        choice.layouts = ReadLayouts(*layoutsSrc, Place{"layouts"});
        if (layoutsSrc->contains("entries") && (*layoutsSrc)["entries"].is_array())
            for (const Json& e : (*layoutsSrc)["entries"])
                if (e.is_object() && e.contains("name") && e.contains("record") && e["name"].is_string() &&
                    e["record"].is_string())
                    choice.byEntry[e["name"].get<std::string>()] = e["record"].get<std::string>();
    }
    Json out = Json::object();
    out["layout"] = pkg.entrySize == nvx::vpd::kEntry40Size ? "directory40" : "directory52";
    if (pkg.tag) out["header_tag"] = pkg.tag;
    if (pkg.directoryEnd) out["directory_end"] = *pkg.directoryEnd;
    Layouts used;
    Json entries = Json::array();
    for (const Entry& e : pkg.entries) {
        const RecordLayout* layout = nullptr;
        std::string name;
        auto byEntry = choice.byEntry.find(e.name);
        if (byEntry != choice.byEntry.end()) {
            auto found = choice.layouts.find(byEntry->second);
            if (found != choice.layouts.end()) {
                layout = &found->second;
                name = found->first;
                used[name] = found->second;
            }
        }
        entries.push_back(EntryToJson(e, layout, name));
    }
    if (!used.empty()) out["record_layouts"] = LayoutsToJson(used);
    out["entries"] = entries;
    return out;
}

}  // namespace vpdc
