// The device-option record: the printer-wide record of the installed device options,
// 6676 bytes, byte-packed, little-endian.  The printer keeps its default copy in the
// printer data "DefaultDevOption"; a built-in template stands in when that value is
// missing or not exactly one record.
//
// Layout (docs/settings-record.md):
//   0 ..  479  option values: u16 slot n holds the value of the device option in
//              row n of the model's device-option table (240 slots);
//   480        u8, 1 when a user-defined passphrase is stored;
//   482 ..  554  the enciphered passphrase (73 bytes);
//   556        u16, its length;
//   560        u16, non-zero when the printer's port reaches the device over the network;
//   the rest is carried unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

namespace nvx::settings {

inline constexpr size_t kDevOptionSize = 6676;

namespace devoption {
inline constexpr size_t kOptionSlots = 240;        // u16 values from offset 0
inline constexpr size_t kPassphraseStored = 480;   // u8
inline constexpr size_t kPassphrase = 482;         // 73 bytes
inline constexpr size_t kPassphraseBytes = 73;
inline constexpr size_t kPassphraseLength = 556;   // u16
inline constexpr size_t kNetworkPort = 560;        // u16
static_assert(kOptionSlots * 2 <= kPassphraseStored && kPassphrase + kPassphraseBytes <= kPassphraseLength &&
              kNetworkPort + 2 <= kDevOptionSize);
}  // namespace devoption

// The process-wide template (zero until the attach sequence's device-option defaults
// step writes the model's defaults into it).  Always kDevOptionSize bytes.
BYTE* DevOptionTemplate();
// Clears the process-wide template back to its built-in content (zeros).
void ResetDevOptionTemplate();

// Copies the template over record; a null record is left alone.
void ResetDevOption(BYTE* record);

// Fills record (kDevOptionSize bytes) with the printer's "DefaultDevOption" when the
// query answers exactly kDevOptionSize bytes, else with the template.  Answers true
// when the stored value was taken; a null record does nothing and answers false.
bool LoadDefaultDevOption(HANDLE printer, BYTE* record);

// Option slot access; slots outside the table read 0 and refuse writes.
uint16_t GetOptionValue(const BYTE* record, size_t slot);
bool SetOptionValue(BYTE* record, size_t slot, uint16_t value);

}  // namespace nvx::settings
