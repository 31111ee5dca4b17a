// Fuzz target: the custom page's file and a setup file's custom tab section, on any
// input, read through the platform's profile functions.  Columns never exceed their
// 99 keys and hold only control numbers; an arrangement written out reads back as
// it was.  Refusals are fine; a crash, a read past a buffer or a mismatch (trap) is not.
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "presets/custom_tab_file.h"

namespace {

using namespace nvx::presets;

nvx::WString TempPath(const char16_t* stem) {
    WCHAR temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return nvx::WString(temp) + nvx::WFormatString(u"%ls_%u.ini", stem, static_cast<unsigned>(getpid()));
}

bool Sound(const std::vector<uint32_t>& column) {
    if (column.size() > kCustomTabColumnMax) return false;
    for (uint32_t c : column)
        if (c == 0 || c > 65535) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const nvx::WString input = TempPath(u"novrix_custom_tab_fuzz");
    static const nvx::WString copy = TempPath(u"novrix_custom_tab_fuzz_copy");
    HANDLE file = CreateFileW(input.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    const bool whole = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    CloseHandle(file);
    if (!whole) return 0;

    const CustomTabArrangement a = ReadCustomTabArrangement(input);
    if (!Sound(a.left) || !Sound(a.right) || (!a.exists && (!a.left.empty() || !a.right.empty()))) __builtin_trap();
    const CustomTabManagement m = ReadCustomTabManagement(input);
    if (!Sound(m.arrangement.left) || !Sound(m.arrangement.right)) __builtin_trap();
    const CustomTabArrangement merged = MergeArrangement(a, m);
    if (!Sound(merged.left) || !Sound(merged.right)) __builtin_trap();

    DeleteFileW(copy.c_str());
    if (WriteCustomTabArrangement(copy, merged) && !(ReadCustomTabArrangement(copy) == merged)) __builtin_trap();
    return 0;
}
