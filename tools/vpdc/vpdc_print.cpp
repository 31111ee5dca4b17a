// Source printing.
#include "vpdc_print.h"

namespace vpdc {

namespace {

constexpr size_t kLineWidth = 110;

bool Flat(const Json& v) {
    if (v.is_object()) return false;
    if (v.is_array())
        for (const Json& e : v)
            if (e.is_object() || (e.is_array() && !Flat(e))) return false;
    return true;
}

// One line, with a blank after each comma.
std::string Line(const Json& v) {
    if (!v.is_array()) return v.dump();
    std::string s = "[";
    for (size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + Line(v[i]);
    return s + "]";
}

void Print(const Json& v, size_t indent, std::string& out) {
    if (Flat(v)) {
        std::string line = Line(v);
        if (indent + line.size() <= kLineWidth || !v.is_array()) {
            out += line;
            return;
        }
    }
    std::string pad(indent + 2, ' ');
    if (v.is_array()) {
        if (v.empty()) {
            out += "[]";
            return;
        }
        out += "[\n";
        for (size_t i = 0; i < v.size(); ++i) {
            out += pad;
            Print(v[i], indent + 2, out);
            out += i + 1 < v.size() ? ",\n" : "\n";
        }
        out += std::string(indent, ' ') + "]";
        return;
    }
    if (v.empty()) {
        out += "{}";
        return;
    }
    out += "{\n";
    size_t i = 0;
    for (auto it = v.begin(); it != v.end(); ++it, ++i) {
        out += pad + Json(it.key()).dump() + ": ";
        Print(it.value(), indent + 2, out);
        out += i + 1 < v.size() ? ",\n" : "\n";
    }
    out += std::string(indent, ' ') + "}";
}

}  // namespace

std::string Pretty(const Json& v) {
    std::string out;
    Print(v, 0, out);
    return out;
}

}  // namespace vpdc
