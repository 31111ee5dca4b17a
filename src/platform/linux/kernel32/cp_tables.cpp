// Code page tables: 1252 and 28591 from our own data; 932 and 437 built once from
// glibc's converters ("CP932", "IBM437"), with the few bytes where Windows differs
// from glibc set by hand.  After the build every conversion is a table look-up.
#include <iconv.h>

#include <cstring>
#include <mutex>

#include "platform/host.h"
#include "platform/linux/kernel32/kernel_codepage.h"

namespace nvxp {
namespace {

// Windows 1252, bytes 0x80..0x9F.  The five bytes Windows leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value.
constexpr WCHAR k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Converts one character of `bytes` with the iconv descriptor; 0 when glibc has no mapping.
WCHAR IconvToWide(iconv_t cd, const unsigned char* bytes, size_t count) {
    char in[2];
    memcpy(in, bytes, count);
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = count, outLeft = sizeof(out);
    size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (rc == static_cast<size_t>(-1) || inLeft != 0 || sizeof(out) - outLeft != 2) return 0;
    return static_cast<WCHAR>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
}

// The bytes glibc chooses for a character (its preference among duplicates), or kNoMapping.
uint16_t IconvToBytes(iconv_t cd, WCHAR c) {
    char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    unsigned char out[4];
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = 2, outLeft = sizeof(out);
    size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    size_t n = sizeof(out) - outLeft;
    if (rc == static_cast<size_t>(-1) || inLeft != 0) return CodePageTable::kNoMapping;
    if (n == 1) return out[0];
    if (n == 2) return static_cast<uint16_t>(out[0] << 8 | out[1]);
    return CodePageTable::kNoMapping;
}

void SetSingle(CodePageTable& t, unsigned byte, WCHAR c) {
    t.single[byte] = c;
    t.singleValid[byte] = true;
}

// The reverse map from the forward one.  Where several byte sequences give the
// same character, `prefer` (may be null) names the one to write.
void BuildReverse(CodePageTable& t, iconv_t prefer) {
    t.toBytes.assign(65536, CodePageTable::kNoMapping);
    auto offer = [&](WCHAR c, uint16_t code) {
        if (t.toBytes[c] == CodePageTable::kNoMapping) t.toBytes[c] = code;
    };
    if (t.dbcs && prefer) {
        // Duplicates exist only among the double-byte rows; ask glibc which one Windows writes.
        std::vector<bool> seen(65536, false), duplicate(65536, false);
        for (unsigned code = 0; code < 65536; ++code) {
            WCHAR c = t.pairs[code];
            if (!c) continue;
            if (seen[c]) duplicate[c] = true;
            seen[c] = true;
        }
        for (unsigned c = 0; c < 65536; ++c) {
            if (!duplicate[c]) continue;
            uint16_t code = IconvToBytes(prefer, static_cast<WCHAR>(c));
            if (code != CodePageTable::kNoMapping && code > 0xFF && t.pairs[code] == c) t.toBytes[c] = code;
        }
    }
    for (unsigned b = 0; b < 256; ++b)
        if (t.singleValid[b] && !t.lead[b]) offer(t.single[b], static_cast<uint16_t>(b));
    if (t.dbcs) {
        for (unsigned code = 0x100; code < 65536; ++code)
            if (t.pairs[code]) offer(t.pairs[code], static_cast<uint16_t>(code));
    }
}

void Build1252(CodePageTable& t) {
    t.id = 1252;
    for (unsigned b = 0; b < 256; ++b) SetSingle(t, b, static_cast<WCHAR>(b));
    for (unsigned b = 0; b < 32; ++b) SetSingle(t, 0x80 + b, k1252High[b]);
    BuildReverse(t, nullptr);
}

void Build28591(CodePageTable& t) {
    t.id = 28591;
    for (unsigned b = 0; b < 256; ++b) SetSingle(t, b, static_cast<WCHAR>(b));
    BuildReverse(t, nullptr);
}

bool Build437(CodePageTable& t) {
    iconv_t cd = iconv_open("UTF-16LE", "IBM437");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    t.id = 437;
    for (unsigned b = 0; b < 256; ++b) {
        unsigned char byte = static_cast<unsigned char>(b);
        WCHAR c = b == 0 ? 0 : IconvToWide(cd, &byte, 1);
        if (b == 0 || c) SetSingle(t, b, c);
    }
    iconv_close(cd);
    BuildReverse(t, nullptr);
    return true;
}

bool Build932(CodePageTable& t) {
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_t back = iconv_open("CP932", "UTF-16LE");
    if (back == reinterpret_cast<iconv_t>(-1)) {
        iconv_close(cd);
        return false;
    }
    t.id = 932;
    t.dbcs = true;
    t.defaultWide = 0x30FB;  // KATAKANA MIDDLE DOT, as Windows answers for undefined characters
    t.pairs.assign(65536, 0);
    for (unsigned b = 0; b < 256; ++b) t.lead[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    for (unsigned b = 0; b < 256; ++b) {
        if (t.lead[b]) continue;
        unsigned char byte = static_cast<unsigned char>(b);
        WCHAR c = b == 0 ? 0 : IconvToWide(cd, &byte, 1);
        if (b == 0 || c) SetSingle(t, b, c);
    }
    // Bytes Windows maps that glibc leaves undefined.
    SetSingle(t, 0x80, 0x0080);
    SetSingle(t, 0xA0, 0xF8F0);
    SetSingle(t, 0xFD, 0xF8F1);
    SetSingle(t, 0xFE, 0xF8F2);
    SetSingle(t, 0xFF, 0xF8F3);
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!t.lead[lead]) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            unsigned char pair[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            t.pairs[lead << 8 | trail] = IconvToWide(cd, pair, 2);
        }
    }
    BuildReverse(t, back);
    iconv_close(back);
    iconv_close(cd);
    return true;
}

struct TableSlot {
    std::once_flag once;
    CodePageTable table;
    bool ok = false;
};

}  // namespace

UINT ResolveCodePage(UINT codePage) {
    UINT acp = NvxPlatform_AnsiCodePage();
    switch (codePage) {
    case CP_ACP:
    case CP_THREAD_ACP:
        return acp;
    case CP_OEMCP:
        return acp == 932 ? 932 : 437;
    case CP_MACCP:
        return 10000;
    default:
        return codePage;
    }
}

const CodePageTable* CodePageTableFor(UINT codePage) {
    static TableSlot s1252, s932, s437, s28591;
    TableSlot* slot = nullptr;
    bool (*build)(CodePageTable&) = nullptr;
    switch (codePage) {
    case 1252:
        slot = &s1252;
        build = [](CodePageTable& t) { Build1252(t); return true; };
        break;
    case 28591:
        slot = &s28591;
        build = [](CodePageTable& t) { Build28591(t); return true; };
        break;
    case 932:
        slot = &s932;
        build = Build932;
        break;
    case 437:
        slot = &s437;
        build = Build437;
        break;
    default:
        return nullptr;
    }
    std::call_once(slot->once, [&] { slot->ok = build(slot->table); });
    return slot->ok ? &slot->table : nullptr;
}

}  // namespace nvxp
