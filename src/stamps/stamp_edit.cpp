#include "stamps/stamp_edit.h"

namespace nvx::stamps {

std::optional<uint32_t> ParseBoxNumber(WStringView text, uint32_t low, uint32_t high) {
    size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    if (begin == end) return std::nullopt;
    uint64_t value = 0;
    for (size_t i = begin; i < end; ++i) {
        const WCHAR c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    if (value < low || value > high) return std::nullopt;
    return static_cast<uint32_t>(value);
}

uint32_t MaxStartNumber(bool digitFlag) {
    return digitFlag ? 0xFFFFFFFFu : 99999999u;
}

std::array<WString, 3> DetailColumnTitles() {
    return {WL("Print Item"), WL("Header"), WL("Footer")};
}

std::array<WString, 5> DetailRowTitles() {
    return {WL("String"), WL("Date/Time"), WL("Serial Number"), WL("Job Number"), WL("User Name")};
}

}  // namespace nvx::stamps
