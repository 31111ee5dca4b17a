// Version information: GetFileVersionInfoSizeW, GetFileVersionInfoW and
// VerQueryValueW over a library's RT_VERSION resource.
//
// A version block is a tree of nodes, each DWORD aligned:
//   WORD wLength (the node with its children, in bytes); WORD wValueLength
//   (bytes, or characters when wType is 1); WORD wType (0 binary, 1 text);
//   WCHAR szKey[] terminated; padding; the value; padding; the children.
// The root is "VS_VERSION_INFO" with a VS_FIXEDFILEINFO value.
#include <cstring>

#include "common/le.h"
#include "platform/linux/loader/module_internal.h"

namespace nvxp {
namespace {

constexpr WORD kVersionInfoId = 1;  // VS_VERSION_INFO

size_t Align4(size_t n) {
    return (n + 3) & ~static_cast<size_t>(3);
}

struct VersionNode {
    size_t length = 0;        // whole node, children included
    size_t valueOffset = 0;   // from the node start
    size_t valueBytes = 0;
    WORD valueLength = 0;     // as stored
    size_t childrenOffset = 0;
    nvx::WString key;
};

// Reads the node at p, which has `available` bytes; false if it is malformed.
bool ReadNode(const BYTE* p, size_t available, VersionNode* node) {
    if (available < 6) return false;
    node->length = nvx::GetLE16(p);
    if (node->length < 6 || node->length > available) return false;
    node->valueLength = nvx::GetLE16(p + 2);
    WORD type = nvx::GetLE16(p + 4);
    node->key.clear();
    size_t pos = 6;
    for (;;) {
        if (pos + 2 > node->length) return false;
        WCHAR c = static_cast<WCHAR>(nvx::GetLE16(p + pos));
        pos += 2;
        if (c == 0) break;
        node->key.push_back(c);
    }
    node->valueOffset = std::min(Align4(pos), node->length);
    node->valueBytes = type == 1 ? 2 * static_cast<size_t>(node->valueLength) : node->valueLength;
    node->valueBytes = std::min(node->valueBytes, node->length - node->valueOffset);
    node->childrenOffset = std::min(Align4(node->valueOffset + node->valueBytes), node->length);
    return true;
}

// Loads a library's version resource as a data file; answers its bytes or
// false with the last error set.
bool ReadVersionResource(LPCWSTR path, std::vector<BYTE>* out) {
    if (!path || !*path) return Fail(ERROR_INVALID_PARAMETER, false);
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        if (GetLastError() == ERROR_MOD_NOT_FOUND) SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    bool found = false;
    if (HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(kVersionInfoId), RT_VERSION)) {
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, info)));
        DWORD size = SizeofResource(module, info);
        if (data && size >= 6) {
            out->assign(data, data + size);
            found = true;
        } else {
            SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        }
    }
    DWORD error = GetLastError();
    FreeLibrary(module);
    SetLastError(error);
    return found;
}

}  // namespace
}  // namespace nvxp

extern "C" {

// Answers the size a caller allocates for GetFileVersionInfoW (room for the
// block and, as on Windows, for an ANSI copy); 0 with the last error set when
// the file has no version information.
NVXAPI DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle) *lpdwHandle = 0;
    std::vector<BYTE> block;
    if (!nvxp::ReadVersionResource(lptstrFilename, &block)) return 0;
    return static_cast<DWORD>(block.size() * 2 + 4);
}

// Copies the version block into lpData (at most dwLen bytes; a cut block has its
// length adjusted so that VerQueryValueW stays inside it).
NVXAPI BOOL WINAPI GetFileVersionInfoW(LPCWSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData) {
    if (!lpData || dwLen == 0) return nvxp::Fail(ERROR_INVALID_PARAMETER, FALSE);
    std::vector<BYTE> block;
    if (!nvxp::ReadVersionResource(lptstrFilename, &block)) return FALSE;
    auto* out = static_cast<BYTE*>(lpData);
    size_t n = std::min<size_t>(dwLen, block.size());
    memcpy(out, block.data(), n);
    if (dwLen > n) memset(out + n, 0, dwLen - n);
    if (n >= 2 && nvx::GetLE16(out) > n) nvx::PutLE16(out, static_cast<uint16_t>(n));
    return TRUE;
}

// lpSubBlock: "\" for the VS_FIXEDFILEINFO, "\VarFileInfo\Translation",
// "\StringFileInfo\<lang><codepage>\<name>"; keys match ignoring case.  Text
// values answer their length in characters, binary values in bytes.
NVXAPI BOOL WINAPI VerQueryValueW(LPCVOID pBlock, LPCWSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen) {
    if (!pBlock || !lpSubBlock || !lplpBuffer) return nvxp::Fail(ERROR_INVALID_PARAMETER, FALSE);
    const BYTE* node = static_cast<const BYTE*>(pBlock);
    nvxp::VersionNode current;
    if (!nvxp::ReadNode(node, 0xFFFF, &current)) return nvxp::Fail(ERROR_RESOURCE_DATA_NOT_FOUND, FALSE);
    nvx::WStringView path(lpSubBlock);
    size_t pos = 0;
    while (pos < path.size()) {
        while (pos < path.size() && path[pos] == u'\\') ++pos;
        if (pos >= path.size()) break;
        size_t end = path.find(u'\\', pos);
        if (end == nvx::WStringView::npos) end = path.size();
        nvx::WStringView wanted = path.substr(pos, end - pos);
        pos = end;
        // Search the children of the current node.
        size_t child = current.childrenOffset;
        bool found = false;
        while (child + 6 <= current.length) {
            nvxp::VersionNode next;
            if (!nvxp::ReadNode(node + child, current.length - child, &next)) break;
            if (nvx::WEqualNoCase(next.key, wanted)) {
                node += child;
                current = next;
                found = true;
                break;
            }
            child = nvxp::Align4(child + next.length);
        }
        if (!found) return nvxp::Fail(ERROR_RESOURCE_TYPE_NOT_FOUND, FALSE);
    }
    *lplpBuffer = const_cast<BYTE*>(node + current.valueOffset);
    if (puLen) *puLen = current.valueLength;
    return TRUE;
}

}  // extern "C"
