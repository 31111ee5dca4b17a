// LoadStringW and LoadStringA over RT_STRING blocks.
//
// String id n lives in block (n >> 4) + 1, slot n & 15; a block is 16 counted
// strings (a WORD length, then that many UTF-16 units, no terminator).
#include "common/ansi.h"
#include "common/le.h"
#include "platform/linux/loader/module_internal.h"
#include "platform/linux/kernel32/resource_index.h"

namespace nvxp {
namespace {

// Finds string uID of a module: answers its text (not terminated) and length,
// or false with the last error set.  The text lives as long as the module.
bool FindString(HINSTANCE hInstance, UINT uID, const WCHAR** text, size_t* length) {
    std::lock_guard<std::recursive_mutex> lock(LoaderLock());
    Module* module = FindModule(hInstance);
    if (!module) return Fail(ERROR_INVALID_HANDLE, false);
    ResourceId type, name;
    ResourceId::FromArgument(RT_STRING, &type);
    ResourceId::FromArgument(MAKEINTRESOURCEW((LOWORD(uID) >> 4) + 1), &name);
    DWORD error = 0;
    const ResourceEntry* block = ModuleResources(*module).Find(type, name, 0, &error);
    if (!block) return Fail(error, false);
    size_t pos = 0;
    const size_t end = block->size;
    for (UINT slot = 0; slot < (uID & 15u); ++slot) {
        if (pos + 2 > end) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND, false);
        pos += 2 + 2 * static_cast<size_t>(nvx::GetLE16(block->data + pos));
    }
    if (pos + 2 > end) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND, false);
    size_t count = nvx::GetLE16(block->data + pos);
    if (pos + 2 + 2 * count > end) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND, false);
    if (count == 0) return Fail(ERROR_RESOURCE_NAME_NOT_FOUND, false);
    *text = reinterpret_cast<const WCHAR*>(block->data + pos + 2);
    *length = count;
    return true;
}

}  // namespace
}  // namespace nvxp

extern "C" {

// cchBufferMax 0: *(LPCWSTR*)lpBuffer receives a read-only pointer to the text
// in the resource (not terminated) and the answer is its length.  Otherwise the
// string is copied, cut to cchBufferMax - 1 characters, and terminated.  A
// missing string answers 0 and leaves an empty string in the buffer.
NVXAPI int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax < 0) return nvxp::Fail(ERROR_INVALID_PARAMETER, 0);
    const WCHAR* text = nullptr;
    size_t length = 0;
    bool found = nvxp::FindString(hInstance, uID, &text, &length);
    if (cchBufferMax == 0) {
        if (!found) return 0;
        *reinterpret_cast<const WCHAR**>(lpBuffer) = text;
        return static_cast<int>(length);
    }
    if (!found) {
        lpBuffer[0] = 0;
        return 0;
    }
    size_t copied = std::min(length, static_cast<size_t>(cchBufferMax) - 1);
    for (size_t i = 0; i < copied; ++i) lpBuffer[i] = static_cast<WCHAR>(nvx::GetLE16(text + i));
    lpBuffer[copied] = 0;
    return static_cast<int>(copied);
}

// The string in the system code page, cut on a character boundary to
// cchBufferMax - 1 bytes and terminated; answers the bytes copied.
NVXAPI int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax <= 0) return nvxp::Fail(ERROR_INVALID_PARAMETER, 0);
    const WCHAR* text = nullptr;
    size_t length = 0;
    if (!nvxp::FindString(hInstance, uID, &text, &length)) {
        lpBuffer[0] = 0;
        return 0;
    }
    nvx::WString wide(length, 0);
    for (size_t i = 0; i < length; ++i) wide[i] = static_cast<WCHAR>(nvx::GetLE16(text + i));
    std::string ansi = nvx::AnsiFromW(wide);
    return static_cast<int>(nvx::AnsiCopyBounded(lpBuffer, static_cast<size_t>(cchBufferMax), ansi.c_str()));
}

}  // extern "C"
