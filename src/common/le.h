// Little-endian access to packed records.
//
// Records that cross a process or file boundary are byte arrays with fixed
// offsets; these helpers read and write their fields without alignment or
// host byte-order assumptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace nvx {

inline uint16_t GetLE16(const void* p) {
    const auto* b = static_cast<const uint8_t*>(p);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}
inline uint32_t GetLE32(const void* p) {
    const auto* b = static_cast<const uint8_t*>(p);
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}
inline uint64_t GetLE64(const void* p) {
    const auto* b = static_cast<const uint8_t*>(p);
    return static_cast<uint64_t>(GetLE32(b)) | (static_cast<uint64_t>(GetLE32(b + 4)) << 32);
}
inline void PutLE16(void* p, uint16_t v) {
    auto* b = static_cast<uint8_t*>(p);
    b[0] = static_cast<uint8_t>(v);
    b[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLE32(void* p, uint32_t v) {
    auto* b = static_cast<uint8_t*>(p);
    for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutLE64(void* p, uint64_t v) {
    PutLE32(p, static_cast<uint32_t>(v));
    PutLE32(static_cast<uint8_t*>(p) + 4, static_cast<uint32_t>(v >> 32));
}

// Field access at a byte offset, with the width taken from the type.
template <typename T>
T GetField(const void* record, size_t offset) {
    const auto* p = static_cast<const uint8_t*>(record) + offset;
    if constexpr (sizeof(T) == 1) {
        return static_cast<T>(*p);
    } else if constexpr (sizeof(T) == 2) {
        return static_cast<T>(GetLE16(p));
    } else if constexpr (sizeof(T) == 4) {
        return static_cast<T>(GetLE32(p));
    } else {
        static_assert(sizeof(T) == 8, "fields are 1, 2, 4 or 8 bytes wide");
        return static_cast<T>(GetLE64(p));
    }
}
template <typename T>
void PutField(void* record, size_t offset, T value) {
    auto* p = static_cast<uint8_t*>(record) + offset;
    if constexpr (sizeof(T) == 1) {
        *p = static_cast<uint8_t>(value);
    } else if constexpr (sizeof(T) == 2) {
        PutLE16(p, static_cast<uint16_t>(value));
    } else if constexpr (sizeof(T) == 4) {
        PutLE32(p, static_cast<uint32_t>(value));
    } else {
        static_assert(sizeof(T) == 8, "fields are 1, 2, 4 or 8 bytes wide");
        PutLE64(p, static_cast<uint64_t>(value));
    }
}

// True when [offset, offset + length) lies inside a buffer of size bytes.
constexpr bool InBounds(size_t size, size_t offset, size_t length) {
    return offset <= size && length <= size - offset;
}

}  // namespace nvx
