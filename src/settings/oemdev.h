// The settings record (OEMDEV): the driver's private document settings, 8344 bytes,
// byte-packed, little-endian, inside the device mode's driver-extra area.
//
// The record is a plain byte array; fields are read and written through the field
// table (oemdev_fields.h), never through a C structure, so that no compiler layout
// can move an offset.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "platform/win32.h"
#include "settings/oemdev_fields.h"

// The record as the exports hand it around (declared, opaque, in frame/exports.h).
struct OEMDEV {
    BYTE bytes[nvx::settings::kOemDevSize];
};
static_assert(sizeof(OEMDEV) == 8344 && alignof(OEMDEV) == 1, "OEMDEV is a packed 8344-byte record");

namespace nvx::settings {

inline OEMDEV* AsRecord(void* p) {
    return static_cast<OEMDEV*>(p);
}
inline const OEMDEV* AsRecord(const void* p) {
    return static_cast<const OEMDEV*>(p);
}

// True when the 12 bytes at p are the record header: size 8344, "SPLX", version 1.
bool IsRecordHeader(const void* p);
// Writes the header and the repeated size (offsets 0 to 15).
void WriteRecordHeader(OEMDEV& record);

// The record inside a device mode: the first header that starts in the driver-extra
// area (dmSize bytes after the device mode's start, dmDriverExtra bytes long) and
// whose whole record lies inside the area.  Errors, as the FindOEMDevPtr export
// reports them: a null device mode sets ERROR_INVALID_PARAMETER; an area shorter
// than the 12-byte header answers null and leaves the last error alone; no record
// sets ERROR_INVALID_DATA.
OEMDEV* FindRecordInDevMode(DEVMODEW* devmode);

// ---- Typed field access (a null ref reads 0 or "" and refuses writes) ----

// A number field widened to 32 bits: I8 and I16 sign-extend, U8 and U16 do not,
// U32 reads as signed (as the settings text writes it).  0 for a text field.
int32_t GetNumber(const OEMDEV& record, FieldRef field);
// Stores the low bits of value at the field's width.  False for a text field.
bool SetNumber(OEMDEV& record, FieldRef field, int64_t value);

// An Ansi field's bytes up to its terminator or the field's end.
std::string GetAnsi(const OEMDEV& record, FieldRef field);
// Writes text and a terminator.  False, with the field unchanged, when the field
// is not Ansi or the text needs more than size - 1 bytes.
bool SetAnsi(OEMDEV& record, FieldRef field, std::string_view text);

// A Text field's characters up to its terminator or the field's end.
WString GetText(const OEMDEV& record, FieldRef field);
// Writes text cut to capacity - 1 characters and a terminator; the rest of the
// field is zeroed.  False when the field is not Text.
bool SetText(OEMDEV& record, FieldRef field, WStringView text);

// By name (FindField): conveniences for code that names its fields.
int32_t GetNumber(const OEMDEV& record, std::string_view name);
bool SetNumber(OEMDEV& record, std::string_view name, int64_t value);

}  // namespace nvx::settings
