// The settings record: header, search in a device mode, typed field access.
#include "settings/oemdev.h"

#include <cstring>

#include "common/le.h"

namespace nvx::settings {

bool IsRecordHeader(const void* p) {
    return GetLE32(p) == kOemDevSize && GetLE32(static_cast<const BYTE*>(p) + 4) == kOemDevSignature &&
           GetLE32(static_cast<const BYTE*>(p) + 8) == kOemDevVersion;
}

void WriteRecordHeader(OEMDEV& record) {
    PutLE32(record.bytes, kOemDevSize);
    PutLE32(record.bytes + 4, kOemDevSignature);
    PutLE32(record.bytes + 8, kOemDevVersion);
    PutLE32(record.bytes + 12, kOemDevSize);
}

OEMDEV* FindRecordInDevMode(DEVMODEW* devmode) {
    if (!devmode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const size_t length = devmode->dmDriverExtra;
    if (length < kOemDevHeaderSize) return nullptr;
    BYTE* extra = reinterpret_cast<BYTE*>(devmode) + devmode->dmSize;
    // A header is taken only where the whole record fits in the area: a pointer to
    // a record that runs past the device mode would let every caller write beyond it.
    for (size_t at = 0; at + kOemDevSize <= length; ++at)
        if (IsRecordHeader(extra + at)) return AsRecord(extra + at);
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
}

int32_t GetNumber(const OEMDEV& record, FieldRef field) {
    if (!field) return 0;
    const BYTE* p = record.bytes + field.Offset();
    switch (field.def->kind) {
    case FieldKind::U8: return p[0];
    case FieldKind::I8: return static_cast<int8_t>(p[0]);
    case FieldKind::U16: return GetLE16(p);
    case FieldKind::I16: return static_cast<int16_t>(GetLE16(p));
    case FieldKind::U32: return static_cast<int32_t>(GetLE32(p));
    default: return 0;
    }
}

bool SetNumber(OEMDEV& record, FieldRef field, int64_t value) {
    if (!field) return false;
    BYTE* p = record.bytes + field.Offset();
    const auto bits = static_cast<uint64_t>(value);
    switch (field.def->kind) {
    case FieldKind::U8:
    case FieldKind::I8: p[0] = static_cast<BYTE>(bits); return true;
    case FieldKind::U16:
    case FieldKind::I16: PutLE16(p, static_cast<uint16_t>(bits)); return true;
    case FieldKind::U32: PutLE32(p, static_cast<uint32_t>(bits)); return true;
    default: return false;
    }
}

std::string GetAnsi(const OEMDEV& record, FieldRef field) {
    if (!field || field.def->kind != FieldKind::Ansi) return {};
    const char* p = reinterpret_cast<const char*>(record.bytes + field.Offset());
    size_t n = 0;
    while (n < field.Size() && p[n]) ++n;
    return std::string(p, n);
}

bool SetAnsi(OEMDEV& record, FieldRef field, std::string_view text) {
    if (!field || field.def->kind != FieldKind::Ansi) return false;
    const size_t size = field.Size();
    size_t length = text.find('\0');
    if (length == std::string_view::npos) length = text.size();
    if (length >= size) return false;
    BYTE* p = record.bytes + field.Offset();
    std::memset(p, 0, size);
    std::memcpy(p, text.data(), length);
    return true;
}

WString GetText(const OEMDEV& record, FieldRef field) {
    if (!field || field.def->kind != FieldKind::Text) return {};
    const BYTE* p = record.bytes + field.Offset();
    WString out;
    for (size_t i = 0; i < field.Size() / 2; ++i) {
        auto c = static_cast<WCHAR>(GetLE16(p + 2 * i));
        if (!c) break;
        out.push_back(c);
    }
    return out;
}

bool SetText(OEMDEV& record, FieldRef field, WStringView text) {
    if (!field || field.def->kind != FieldKind::Text) return false;
    const size_t capacity = field.Size() / 2;
    BYTE* p = record.bytes + field.Offset();
    std::memset(p, 0, field.Size());
    for (size_t i = 0; i + 1 < capacity && i < text.size() && text[i]; ++i)
        PutLE16(p + 2 * i, static_cast<uint16_t>(text[i]));
    return true;
}

int32_t GetNumber(const OEMDEV& record, std::string_view name) {
    return GetNumber(record, FindField(name));
}

bool SetNumber(OEMDEV& record, std::string_view name, int64_t value) {
    return SetNumber(record, FindField(name), value);
}

}  // namespace nvx::settings
