// The device's speed-dial list as the phone book component asks for it through
// FPB_Request_Abbr, without any window or device: reading the device's pages,
// keeping the fax entries and converting them into the entries the component
// takes.
//
// Device entry (296 bytes, UTF-8 texts): the layout of device/oapi.h.
// Output entry (236 bytes, texts in the system code page):
//   u16 number at 0; name at 2 (97 bytes); u32 at 100 (device 100); u32 at 104
//   (device 108); fax number at 108 (65 bytes); u8 at 176 and 177 (device 208,
//   209); text at 184 (33 bytes, device 210); three bytes at 220 (device 242).
// Texts are cut on a character boundary and always terminated; the bytes between
// the fields are zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "device/oapi.h"
#include "platform/win32.h"

namespace nvx::fax::speed_dials {

namespace o = nvx::oapi;

inline constexpr size_t kOutputEntrySize = 236;
inline constexpr size_t kOutNumber = 0;
inline constexpr size_t kOutName = 2, kOutNameSize = 97;
inline constexpr size_t kOutValue100 = 100;
inline constexpr size_t kOutValue104 = 104;
inline constexpr size_t kOutFaxNumber = 108, kOutFaxNumberSize = 65;
inline constexpr size_t kOutByte176 = 176, kOutByte177 = 177;
inline constexpr size_t kOutText = 184, kOutTextSize = 33;
inline constexpr size_t kOutBytes220 = 220, kOutBytes220Size = 3;
static_assert(kOutName + kOutNameSize <= kOutValue100 && kOutValue104 + 4 == kOutFaxNumber &&
                  kOutFaxNumber + kOutFaxNumberSize <= kOutByte176 && kOutText + kOutTextSize <= kOutBytes220 &&
                  kOutBytes220 + kOutBytes220Size <= kOutputEntrySize,
              "the output entry's fields do not overlap");

// The working area: at most this many device entries are kept (592,000 bytes).
inline constexpr size_t kWorkingEntries = 2000;
static_assert(kWorkingEntries * o::kAbbrEntrySize == 592000);
// The kind text of the entries that are kept, compared over at most 31 characters.
inline constexpr char kFaxKind[] = "Fax";
inline constexpr size_t kKindCompareChars = 31;

// Whether a device entry (kAbbrEntrySize bytes) is a fax entry.
bool IsFaxEntry(const BYTE* deviceEntry);

// One device entry into one output entry (kOutputEntrySize bytes, written whole).
void ConvertEntry(const BYTE* deviceEntry, BYTE* out);

// One page answer (u32 count, then entries): appends its fax entries to `kept`
// (device entries) until `kept` holds `wanted` entries.  Answers the entries the
// page held (0: the empty page that ends the list), or nothing when the page is
// not of its size or its count runs past the entries a page can hold.
std::optional<size_t> KeepFaxEntries(std::span<const BYTE> page, size_t wanted, std::vector<BYTE>* kept);

// Reads one page from entry `first` (1, 101, 201, ...) into `page`
// (o::kAbbrPageSize bytes, the request tag already written); answers the
// device's code (0 success).
using PageReader = std::function<DWORD(DWORD first, BYTE* page)>;

// The whole list: pages of 100 from entry 1 until an empty page, until the
// device's count (`held`, at most kWorkingEntries) has been read, after the 20
// pages that hold entries 1 to 2000 (whatever the counts say), or until
// `wanted` fax entries are kept.  Nothing when a page fails or is malformed: a
// list read only in part is not delivered.
std::optional<std::vector<BYTE>> ReadFaxEntries(uint32_t held, size_t wanted, const PageReader& read);

// The kept device entries converted into `out` (room for `capacity` output
// entries); answers how many were written.
size_t ConvertAll(std::span<const BYTE> kept, BYTE* out, size_t capacity);

}  // namespace nvx::fax::speed_dials
