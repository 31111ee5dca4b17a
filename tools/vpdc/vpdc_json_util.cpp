// Checked access to source values, hex and text fields.
#include "vpdc_json_util.h"

#include <cstring>

#include "common/text.h"

namespace vpdc::json {

void OnlyMembers(const Json& obj, const Place& at, std::initializer_list<const char*> allowed) {
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        bool ok = false;
        for (const char* a : allowed) ok = ok || it.key() == a;
        if (!ok) at.Fail("unknown field \"" + it.key() + "\"");
    }
}

const Json& Object(const Json& v, const Place& at) {
    if (!v.is_object()) at.Fail("expected an object");
    return v;
}

const Json& Array(const Json& v, const Place& at) {
    if (!v.is_array()) at.Fail("expected an array");
    return v;
}

std::string String(const Json& v, const Place& at) {
    if (!v.is_string()) at.Fail("expected a string");
    return v.get<std::string>();
}

bool Bool(const Json& v, const Place& at) {
    if (!v.is_boolean()) at.Fail("expected true or false");
    return v.get<bool>();
}

int64_t Integer(const Json& v, const Place& at, int64_t lo, int64_t hi) {
    int64_t n = 0;
    if (v.is_number_integer()) {
        if (v.is_number_unsigned() && v.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)) at.Fail("number too large");
        n = v.get<int64_t>();
    } else if (v.is_string()) {
        std::string s = v.get<std::string>();
        if (s.size() < 3 || s.size() > 18 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) at.Fail("expected a number");
        n = 0;
        for (size_t i = 2; i < s.size(); ++i) {
            char c = s[i];
            int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0) at.Fail("\"" + s + "\" is not a hexadecimal number");
            n = n * 16 + d;
        }
    } else {
        at.Fail("expected an integer");
    }
    if (n < lo || n > hi) at.Fail(std::to_string(n) + " is outside " + std::to_string(lo) + " ... " + std::to_string(hi));
    return n;
}

uint32_t U32(const Json& v, const Place& at) { return static_cast<uint32_t>(Integer(v, at, 0, UINT32_MAX)); }

int32_t I32(const Json& v, const Place& at) {
    // Negative numbers and unsigned 32-bit patterns are both accepted.
    return static_cast<int32_t>(static_cast<uint32_t>(Integer(v, at, INT32_MIN, UINT32_MAX)));
}

Bytes FromHex(const Json& v, const Place& at) {
    std::string s = String(v, at);
    Bytes out;
    int hi = -1;
    for (char c : s) {
        if (c == ' ' || c == '\n' || c == '\t') continue;
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) at.Fail("'" + std::string(1, c) + "' is not a hex digit");
        if (hi < 0) {
            hi = d;
        } else {
            out.push_back(static_cast<uint8_t>(hi * 16 + d));
            hi = -1;
        }
    }
    if (hi >= 0) at.Fail("odd number of hex digits");
    return out;
}

std::string ToHex(const uint8_t* p, size_t n) {
    static const char kDigits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s.push_back(kDigits[p[i] >> 4]);
        s.push_back(kDigits[p[i] & 15]);
    }
    return s;
}

std::string ToHex(const Bytes& b) { return ToHex(b.data(), b.size()); }

std::string HexNumber(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", v);
    return buf;
}

std::u16string Utf16(const std::string& utf8) {
    nvx::WString w = nvx::WFromUtf8(utf8);
    return std::u16string(w.begin(), w.end());
}

bool ExactUtf8(const std::u16string& s, std::string* out) {
    nvx::WString w(s.begin(), s.end());
    std::string u = nvx::Utf8FromW(nvx::WStringView(w));
    if (Utf16(u) != s) return false;
    *out = u;
    return true;
}

Text32 TextField(const Json& obj, const char* name, const Place& at) {
    Text32 t{};
    std::string hexName = std::string(name) + "_hex";
    if (obj.contains(hexName)) {
        Bytes b = FromHex(obj[hexName], at / hexName);
        if (b.size() > 64) (at / hexName).Fail("more than 64 bytes");
        for (size_t i = 0; i + 1 < b.size(); i += 2) t[i / 2] = static_cast<uint16_t>(b[i] | (b[i + 1] << 8));
        return t;
    }
    if (!obj.contains(name)) return t;
    std::u16string s = Utf16(String(obj[name], at / name));
    if (s.size() > 31) (at / name).Fail("longer than 31 UTF-16 characters");
    if (s.find(u'\0') != std::u16string::npos) (at / name).Fail("holds a zero character");
    for (size_t i = 0; i < s.size(); ++i) t[i] = s[i];
    return t;
}

void PutTextField(Json& obj, const char* name, const Text32& t, bool omitEmpty) {
    size_t len = 0;
    while (len < t.size() && t[len] != 0) ++len;
    bool clean = len < t.size();
    for (size_t i = len; i < t.size(); ++i) clean = clean && t[i] == 0;
    std::string utf8;
    if (clean && ExactUtf8(std::u16string(t.begin(), t.begin() + static_cast<long>(len)), &utf8)) {
        if (len > 0 || !omitEmpty) obj[name] = utf8;
        return;
    }
    uint8_t b[64];
    for (size_t i = 0; i < t.size(); ++i) {
        b[2 * i] = static_cast<uint8_t>(t[i]);
        b[2 * i + 1] = static_cast<uint8_t>(t[i] >> 8);
    }
    obj[std::string(name) + "_hex"] = ToHex(b, sizeof b);
}

void AsciiField(const Json& obj, const char* name, uint8_t* out, size_t n, const Place& at) {
    std::memset(out, 0, n);
    std::string hexName = std::string(name) + "_hex";
    if (obj.contains(hexName)) {
        Bytes b = FromHex(obj[hexName], at / hexName);
        if (b.size() > n) (at / hexName).Fail("more than " + std::to_string(n) + " bytes");
        std::memcpy(out, b.data(), b.size());
        return;
    }
    if (!obj.contains(name)) return;
    std::string s = String(obj[name], at / name);
    if (s.size() > n - 1) (at / name).Fail("longer than " + std::to_string(n - 1) + " characters");
    for (unsigned char c : s)
        if (c == 0 || c > 0x7e) (at / name).Fail("holds a character that is not printable ASCII");
    std::memcpy(out, s.data(), s.size());
}

void PutAsciiField(Json& obj, const char* name, const uint8_t* f, size_t n) {
    size_t len = 0;
    while (len < n && f[len] != 0) ++len;
    bool clean = len < n;
    for (size_t i = 0; i < len; ++i) clean = clean && f[i] >= 0x20 && f[i] <= 0x7e;
    for (size_t i = len; i < n; ++i) clean = clean && f[i] == 0;
    if (clean) {
        if (len > 0) obj[name] = std::string(reinterpret_cast<const char*>(f), len);
        return;
    }
    obj[std::string(name) + "_hex"] = ToHex(f, n);
}

}  // namespace vpdc::json
