// Overlay form files (".VFO"): the header this module reads, what it tells the
// pages, and a small writer of form files for samples and tests.
//
// A form file is made and printed by the print path; this module reads only the
// first 96 bytes (and the 128-byte extension of a version-2 header) to list a
// form, show its properties and check that it is still usable.  Form files are
// outside data: every reader takes any bytes and never reads past them.
//
// File layout (little-endian):
//
//   0   "VFO1"           magic (as a little-endian u32: 0x3156464F)
//   4   u32 version      1, or 2 when the 128-byte extension follows at 96
//   8   8 bytes          the print path's (our writer: body size and body offset)
//   16  char[64]         form name in the system code page (may be empty)
//   80  u32 paperKey1    paper width in 0.1 mm (our writer; see FormPaperName)
//   84  u32 paperKey2    paper length in 0.1 mm
//   88  u16 colour       1 grayscale, 2 colour
//   90  u16 orientation  1 portrait, 2 landscape
//   92  u16 resolution   dots per inch
//   94  2 bytes          not interpreted
//   96  WCHAR[64]        version 2 only: the form name in UTF-16
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

namespace nvx::stamps {

static_assert(std::endian::native == std::endian::little, "form headers are read as they lie in memory");

#pragma pack(push, 1)
struct FormFileHeader {
    char magic[4];          // "VFO1"
    uint32_t version;       // 1 or 2
    uint8_t printPath[8];   // not interpreted here
    char name[64];          // system code page
    uint32_t paperKey1;
    uint32_t paperKey2;
    uint16_t colour;        // 1 grayscale, 2 colour
    uint16_t orientation;   // 1 portrait, 2 landscape
    uint16_t resolution;    // dots per inch
    uint8_t reserved[2];
};
// The header as the module keeps it: the 96 bytes and the extension (zero for version 1).
struct FormHeader {
    FormFileHeader file;
    WCHAR wideName[64];
};
#pragma pack(pop)

inline constexpr size_t kFormHeaderBytes = 96;
inline constexpr size_t kFormExtensionBytes = 128;
inline constexpr size_t kFormHeaderMemoryBytes = 224;
static_assert(sizeof(FormFileHeader) == kFormHeaderBytes && alignof(FormFileHeader) == 1);
static_assert(offsetof(FormFileHeader, version) == 4 && offsetof(FormFileHeader, printPath) == 8 &&
              offsetof(FormFileHeader, name) == 16 && offsetof(FormFileHeader, paperKey1) == 80 &&
              offsetof(FormFileHeader, paperKey2) == 84 && offsetof(FormFileHeader, colour) == 88 &&
              offsetof(FormFileHeader, orientation) == 90 && offsetof(FormFileHeader, resolution) == 92);
static_assert(sizeof(FormHeader) == kFormHeaderMemoryBytes && offsetof(FormHeader, wideName) == 96);

// The magic as a little-endian u32 ("VFO1" reads as "1OFV"), and the two values the
// resolution class also knows.
inline constexpr uint32_t kFormMagic = 0x314F4656;
inline constexpr uint32_t kFormMagic2 = 0x324F4656;  // "VFO2"

// Why bytes are not a form header.
enum class FormHeaderResult {
    Ok,
    Short,             // fewer than 96 bytes
    BadMagic,          // not "VFO1"
    BadVersion,        // neither 1 nor 2
    ExtensionMissing,  // version 2 with fewer than 224 bytes
    Unreadable,        // no such file, a folder, or the file could not be read
};

// Reads a header from bytes: *out (zeroed first) is written only when the answer is Ok.
FormHeaderResult ReadFormHeader(const BYTE* data, size_t size, FormHeader* out);
// Reads the header of a file: opens it for reading (shared), reads at most 224 bytes.
// A folder, a missing file or a read error answers Unreadable.
FormHeaderResult ReadFormFileHeader(const WCHAR* path, FormHeader* out);
inline bool IsFormFile(const WCHAR* path) {
    FormHeader h;
    return ReadFormFileHeader(path, &h) == FormHeaderResult::Ok;
}

// The form's name: the UTF-16 name of a version-2 header when it has one, else the
// 8-bit name converted from the system code page (empty when both are).
WString FormName(const FormHeader& header);
// Only the UTF-16 name (empty for version 1).
WString FormWideName(const FormHeader& header);

// Resolution classes: 1 (1200 dpi), 2 (600 dpi), 3 (raster), 0 others.  A header
// whose magic position holds "VFO2" counts like "VFO1"; a stored value of 65 in
// the magic position gives class 3.
int FormResolutionClass(const FormHeader& header);
// The class of the job from the name of its resolution entry; names outside the
// table give 0.
int JobResolutionClass(const char* resolutionName);

// ---- Properties ------------------------------------------------------------------

// One paper size the model knows, for the properties' "Paper Size:".
struct FormPaper {
    WString name;
    uint32_t key1 = 0, key2 = 0;
    bool custom = false;  // the model's custom size entry
};
// The name shown for the paper keys: the first entry of kind custom, or the first
// whose two keys equal the header's, gives the name; none gives an empty text.
WString FormPaperName(const FormHeader& header, const std::vector<FormPaper>& papers);

// The properties shown for a form, label and value, in their order.  `colour`
// adds the "Color:" row (colour models only).
struct FormProperty {
    WString label, value;
};
std::vector<FormProperty> FormProperties(const WCHAR* path, const FormHeader& header,
                                         const std::vector<FormPaper>& papers, bool colour);

// The file name with its extension, the folder (without the final backslash) and
// the base name, split at the last backslash or slash.
WString FileNamePart(WStringView path);
WString FolderPart(WStringView path);
WString BaseNamePart(WStringView path);

// ---- Writer ---------------------------------------------------------------------

// What the writer puts into a form file.  The body after the header is ours: a
// plain byte count at 8 and the body's offset at 12 (the print path's fields),
// then that many bytes of a simple page picture (rows of 0/1 bytes).
struct NewForm {
    std::string name;        // 8-bit name (cut to 63 bytes)
    WString wideName;        // version 2 only (cut to 63 characters)
    uint32_t version = 1;
    uint32_t paperKey1 = 2100, paperKey2 = 2970;  // A4 in 0.1 mm
    uint16_t colour = 1, orientation = 1, resolution = 600;
    uint32_t bodyBytes = 256;
};
std::vector<BYTE> MakeFormFile(const NewForm& form);
// Writes the file (replacing one that exists).  Answers ERROR_SUCCESS or the file error.
DWORD WriteFormFile(const WCHAR* path, const NewForm& form);

}  // namespace nvx::stamps
