// The user records the Basic tab shares with the user-settings dialogs: a buffer
// of 1000 records of 428 bytes (identifier at +0, UTF-8 name at +9, value at +52)
// and the 16-bit count beside it (the module's selection marker):
//   65533 (-3) no buffer, 65535 (-1) a buffer without loaded records,
//   65534 (-2) the buffer could not be allocated, else the number of records.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "platform/win32.h"

namespace nvx::pages {

inline constexpr size_t kUserRecordBytes = 428;
inline constexpr size_t kUserRecordCount = 1000;
inline constexpr size_t kUserRecordBufferBytes = kUserRecordBytes * kUserRecordCount;  // 428,000
inline constexpr size_t kUserRecordIdAt = 0;
inline constexpr size_t kUserRecordNameAt = 9;
inline constexpr size_t kUserRecordNameBytes = 52 - 9;
inline constexpr size_t kUserRecordValueAt = 52;

inline constexpr uint16_t kUserRecordsNoBuffer = 65533;
inline constexpr uint16_t kUserRecordsNotLoaded = 65535;
inline constexpr uint16_t kUserRecordsAllocFailed = 65534;

// The buffer (null when there is none) and the count.
BYTE* UserRecordBuffer();
uint16_t UserRecordCount();
void SetUserRecordCount(uint16_t count);

// Allocates the zero-filled buffer when there is none: count -1 on success, -2 on
// failure.  Nothing happens when a buffer exists.
void EnsureUserRecordBuffer();
// Frees the buffer and sets the count back to -3.
void FreeUserRecordBuffer();

// The value names of the user records in the per-user store.
inline constexpr const WCHAR* kUserRecordCountName = WL("UserDataCnt");
inline constexpr const WCHAR* kUserRecordNameFormat = WL("UserData%04d");

// Writes the loaded records to the printer's per-user key: the count, then per
// record the text "%d,%d,%s" (identifier, value, name from UTF-8, at most 32
// characters).  Writes nothing unless the count is a record count (0 ... 1000).
// Answers whether records were written.
bool WriteUserRecords(HANDLE printer);

}  // namespace nvx::pages
