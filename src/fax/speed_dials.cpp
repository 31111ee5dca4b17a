// The device's speed-dial list (see speed_dials.h).
#include "fax/speed_dials.h"

#include <cstring>
#include <string>

#include "common/ansi.h"
#include "common/le.h"
#include "common/text.h"

namespace nvx::fax::speed_dials {
namespace {

// A UTF-8 text field of a device entry, read within its width.
std::string DeviceText(const BYTE* entry, size_t at, size_t width) {
    const char* p = reinterpret_cast<const char*>(entry + at);
    return std::string(p, strnlen(p, width));
}

// The same text in the system code page, into an output field.
void PutText(const BYTE* entry, size_t at, size_t width, BYTE* out, size_t outAt, size_t outWidth) {
    AnsiFieldFromW(reinterpret_cast<char*>(out + outAt), outWidth, WFromUtf8(DeviceText(entry, at, width)));
}

}  // namespace

bool IsFaxEntry(const BYTE* deviceEntry) {
    const char* kind = reinterpret_cast<const char*>(deviceEntry + o::kAbbrKind);
    return strncmp(std::string(kind, strnlen(kind, o::kAbbrKindSize)).c_str(), kFaxKind, kKindCompareChars) == 0;
}

void ConvertEntry(const BYTE* d, BYTE* out) {
    std::memset(out, 0, kOutputEntrySize);
    PutLE16(out + kOutNumber, GetLE16(d + o::kAbbrNumber));
    PutText(d, o::kAbbrName, o::kAbbrNameSize, out, kOutName, kOutNameSize);
    PutLE32(out + kOutValue100, GetLE32(d + o::kAbbrValue100));
    PutLE32(out + kOutValue104, GetLE32(d + o::kAbbrValue108));
    PutText(d, o::kAbbrFaxNumber, o::kAbbrFaxNumberSize, out, kOutFaxNumber, kOutFaxNumberSize);
    out[kOutByte176] = d[o::kAbbrByte208];
    out[kOutByte177] = d[o::kAbbrByte209];
    PutText(d, o::kAbbrText, o::kAbbrTextSize, out, kOutText, kOutTextSize);
    std::memcpy(out + kOutBytes220, d + o::kAbbrBytes242, kOutBytes220Size);
}

std::optional<size_t> KeepFaxEntries(std::span<const BYTE> page, size_t wanted, std::vector<BYTE>* kept) {
    if (page.size() != o::kAbbrPageSize || !kept) return std::nullopt;
    const uint32_t count = GetLE32(page.data());
    if (count > o::kAbbrPageEntries) return std::nullopt;
    for (uint32_t i = 0; i < count; ++i) {
        if (kept->size() / o::kAbbrEntrySize >= wanted) break;
        const BYTE* entry = page.data() + o::kListHeaderSize + size_t(i) * o::kAbbrEntrySize;
        if (IsFaxEntry(entry)) kept->insert(kept->end(), entry, entry + o::kAbbrEntrySize);
    }
    return count;
}

std::optional<std::vector<BYTE>> ReadFaxEntries(uint32_t held, size_t wanted, const PageReader& read) {
    std::vector<BYTE> kept;
    if (wanted > kWorkingEntries) wanted = kWorkingEntries;
    const size_t toRead = held < kWorkingEntries ? held : kWorkingEntries;
    std::vector<BYTE> page(o::kAbbrPageSize);
    constexpr size_t kMaxPages = kWorkingEntries / o::kAbbrPageEntries;  // entries 1 to 2000
    size_t seen = 0;
    DWORD first = 1;
    for (size_t pages = 0; pages < kMaxPages && seen < toRead && kept.size() / o::kAbbrEntrySize < wanted;
         ++pages) {
        std::memset(page.data(), 0, page.size());
        std::memcpy(page.data(), o::kAbbrRequestTag, o::kAbbrRequestTagSize);
        if (read(first, page.data()) != o::kOk) return std::nullopt;
        std::optional<size_t> inPage = KeepFaxEntries(page, wanted, &kept);
        if (!inPage) return std::nullopt;
        if (*inPage == 0) break;
        seen += *inPage;
        first += static_cast<DWORD>(o::kAbbrPageEntries);
    }
    return kept;
}

size_t ConvertAll(std::span<const BYTE> kept, BYTE* out, size_t capacity) {
    const size_t n = kept.size() / o::kAbbrEntrySize;
    size_t written = 0;
    for (; written < n && written < capacity; ++written)
        ConvertEntry(kept.data() + written * o::kAbbrEntrySize, out + written * kOutputEntrySize);
    return written;
}

}  // namespace nvx::fax::speed_dials
