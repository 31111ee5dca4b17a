// Global/local memory (fixed and moveable blocks) and heaps.  Every block is
// registered, so that a stale or made-up handle or pointer fails with an error
// instead of corrupting the allocator.
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/linux/internal.h"

namespace nvxp {
namespace {

constexpr UINT kMemFlags = GMEM_MOVEABLE | GMEM_NOCOMPACT | GMEM_NODISCARD | GMEM_ZEROINIT | GMEM_MODIFY |
                           LMEM_DISCARDABLE | GMEM_NOT_BANKED | GMEM_SHARE | GMEM_NOTIFY;
constexpr unsigned kMaxLocks = 0xFF;

// A moveable block; its handle is the address of this record.
struct Moveable {
    void* data = nullptr;  // null when discarded (or allocated with size 0)
    SIZE_T size = 0;
    unsigned locks = 0;
};

struct GlobalMemory {
    std::mutex mutex;
    std::unordered_map<void*, SIZE_T> fixed;           // pointer -> requested size
    std::unordered_set<Moveable*> moveable;            // live handles
    std::unordered_map<void*, Moveable*> moveableData; // data pointer -> handle
};

GlobalMemory& Memory() {
    static GlobalMemory* memory = new GlobalMemory;
    return *memory;
}

// Changes a block's size.  In place when the allocation already has room;
// otherwise moves it only when `mayMove`.  Zero-fills the new part when asked.
// Answers the (possibly new) data, or null when it cannot.
void* Resize(void* data, SIZE_T oldSize, SIZE_T newSize, bool mayMove, bool zero) {
    void* result = data;
    if (newSize > malloc_usable_size(data)) {
        if (!mayMove) return nullptr;
        result = realloc(data, newSize);
        if (!result) return nullptr;
    }
    if (zero && newSize > oldSize) memset(static_cast<char*>(result) + oldSize, 0, newSize - oldSize);
    return result;
}

HGLOBAL MemAlloc(UINT flags, SIZE_T bytes) {
    if (flags & ~kMemFlags) return Fail(ERROR_INVALID_PARAMETER, HGLOBAL(nullptr));
    GlobalMemory& memory = Memory();
    bool zero = (flags & GMEM_ZEROINIT) != 0;
    if (flags & GMEM_MOVEABLE) {
        auto* block = new Moveable;
        if (bytes) {
            block->data = zero ? calloc(1, bytes) : malloc(bytes);
            if (!block->data) {
                delete block;
                return Fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
            }
            block->size = bytes;
        }
        std::lock_guard<std::mutex> lock(memory.mutex);
        memory.moveable.insert(block);
        if (block->data) memory.moveableData[block->data] = block;
        return block;
    }
    void* data = zero ? calloc(1, bytes ? bytes : 1) : malloc(bytes ? bytes : 1);
    if (!data) return Fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
    std::lock_guard<std::mutex> lock(memory.mutex);
    memory.fixed[data] = bytes;
    return data;
}

HGLOBAL MemFree(HGLOBAL handle) {
    if (!handle) return nullptr;
    GlobalMemory& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    if (auto it = memory.fixed.find(handle); it != memory.fixed.end()) {
        memory.fixed.erase(it);
        free(handle);
        return nullptr;
    }
    auto* block = static_cast<Moveable*>(handle);
    if (!memory.moveable.count(block)) return Fail(ERROR_INVALID_HANDLE, handle);
    memory.moveable.erase(block);
    if (block->data) memory.moveableData.erase(block->data);
    free(block->data);
    delete block;
    return nullptr;
}

LPVOID MemLock(HGLOBAL handle) {
    GlobalMemory& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    if (memory.fixed.count(handle)) return handle;
    auto* block = static_cast<Moveable*>(handle);
    if (!handle || !memory.moveable.count(block)) return Fail(ERROR_INVALID_HANDLE, LPVOID(nullptr));
    if (!block->data) return Fail(ERROR_DISCARDED, LPVOID(nullptr));
    if (block->locks < kMaxLocks) ++block->locks;
    return block->data;
}

BOOL MemUnlock(HGLOBAL handle) {
    GlobalMemory& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    if (memory.fixed.count(handle)) return Fail(ERROR_NOT_LOCKED, FALSE);
    auto* block = static_cast<Moveable*>(handle);
    if (!handle || !memory.moveable.count(block)) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (block->locks == 0) return Fail(ERROR_NOT_LOCKED, FALSE);
    if (--block->locks == 0) return Fail(ERROR_SUCCESS, FALSE);  // unlocked now: FALSE with no error
    return TRUE;
}

SIZE_T MemSize(HGLOBAL handle) {
    GlobalMemory& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    if (auto it = memory.fixed.find(handle); it != memory.fixed.end()) return it->second;
    auto* block = static_cast<Moveable*>(handle);
    if (!handle || !memory.moveable.count(block)) return Fail(ERROR_INVALID_HANDLE, SIZE_T(0));
    return block->size;
}

UINT MemFlags(HGLOBAL handle) {
    GlobalMemory& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    if (memory.fixed.count(handle)) return 0;
    auto* block = static_cast<Moveable*>(handle);
    if (!handle || !memory.moveable.count(block)) return Fail(ERROR_INVALID_HANDLE, UINT(GMEM_INVALID_HANDLE));
    return block->locks | (block->data ? 0 : GMEM_DISCARDED);
}

HGLOBAL MemHandle(LPCVOID pointer) {
    GlobalMemory& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    void* p = const_cast<void*>(pointer);
    if (memory.fixed.count(p)) return p;
    if (auto it = memory.moveableData.find(p); it != memory.moveableData.end()) return it->second;
    return Fail(ERROR_INVALID_HANDLE, HGLOBAL(nullptr));
}

HGLOBAL MemReAlloc(HGLOBAL handle, SIZE_T bytes, UINT flags) {
    if (flags & ~kMemFlags) return Fail(ERROR_INVALID_PARAMETER, HGLOBAL(nullptr));
    GlobalMemory& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    bool zero = (flags & GMEM_ZEROINIT) != 0, mayMove = (flags & GMEM_MOVEABLE) != 0;
    if (auto it = memory.fixed.find(handle); it != memory.fixed.end()) {
        if (flags & GMEM_MODIFY) return handle;  // a fixed block stays fixed here
        // A fixed block moves only when GMEM_MOVEABLE allows it; the caller's pointer changes then.
        void* data = Resize(handle, it->second, bytes ? bytes : 1, mayMove, zero);
        if (!data) return Fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
        memory.fixed.erase(it);
        memory.fixed[data] = bytes;
        return data;
    }
    auto* block = static_cast<Moveable*>(handle);
    if (!handle || !memory.moveable.count(block)) return Fail(ERROR_INVALID_HANDLE, HGLOBAL(nullptr));
    if (flags & GMEM_MODIFY) return handle;
    if (bytes == 0) {
        // Zero bytes discard an unlocked moveable block; the handle stays valid.
        if (block->locks) return Fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
        if (block->data) memory.moveableData.erase(block->data);
        free(block->data);
        block->data = nullptr;
        block->size = 0;
        return handle;
    }
    void* data;
    if (!block->data) {
        data = zero ? calloc(1, bytes) : malloc(bytes);
    } else {
        // A locked block must stay where its pointer is unless GMEM_MOVEABLE says otherwise.
        data = Resize(block->data, block->size, bytes, block->locks == 0 || mayMove, zero);
    }
    if (!data) return Fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL(nullptr));
    if (block->data) memory.moveableData.erase(block->data);
    block->data = data;
    block->size = bytes;
    memory.moveableData[data] = block;
    return handle;
}

// ---- Heaps ----

struct Heap {
    std::mutex mutex;
    std::unordered_map<void*, SIZE_T> blocks;
};

struct Heaps {
    std::mutex mutex;
    std::unordered_set<Heap*> live;
    Heap* process = nullptr;
};

Heaps& AllHeaps() {
    static Heaps* heaps = [] {
        auto* h = new Heaps;
        h->process = new Heap;
        h->live.insert(h->process);
        return h;
    }();
    return *heaps;
}

Heap* FindHeap(HANDLE handle) {
    Heaps& heaps = AllHeaps();
    std::lock_guard<std::mutex> lock(heaps.mutex);
    auto* heap = static_cast<Heap*>(handle);
    return heaps.live.count(heap) ? heap : nullptr;
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    return nvxp::MemAlloc(uFlags, dwBytes);
}
NVXAPI HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
    return nvxp::MemReAlloc(hMem, dwBytes, uFlags);
}
NVXAPI HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    return nvxp::MemFree(hMem);
}
NVXAPI LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    return nvxp::MemLock(hMem);
}
NVXAPI BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    return nvxp::MemUnlock(hMem);
}
NVXAPI SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    return nvxp::MemSize(hMem);
}
NVXAPI UINT WINAPI GlobalFlags(HGLOBAL hMem) {
    return nvxp::MemFlags(hMem);
}
NVXAPI HGLOBAL WINAPI GlobalHandle(LPCVOID pMem) {
    return nvxp::MemHandle(pMem);
}
NVXAPI HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) {
    return nvxp::MemAlloc(uFlags, uBytes);
}
NVXAPI HLOCAL WINAPI LocalReAlloc(HLOCAL hMem, SIZE_T uBytes, UINT uFlags) {
    return nvxp::MemReAlloc(hMem, uBytes, uFlags);
}
NVXAPI HLOCAL WINAPI LocalFree(HLOCAL hMem) {
    return nvxp::MemFree(hMem);
}
NVXAPI LPVOID WINAPI LocalLock(HLOCAL hMem) {
    return nvxp::MemLock(hMem);
}
NVXAPI BOOL WINAPI LocalUnlock(HLOCAL hMem) {
    return nvxp::MemUnlock(hMem);
}
NVXAPI SIZE_T WINAPI LocalSize(HLOCAL hMem) {
    return nvxp::MemSize(hMem);
}
NVXAPI UINT WINAPI LocalFlags(HLOCAL hMem) {
    return nvxp::MemFlags(hMem);
}
NVXAPI HLOCAL WINAPI LocalHandle(LPCVOID pMem) {
    return nvxp::MemHandle(pMem);
}

NVXAPI HANDLE WINAPI GetProcessHeap(void) {
    return nvxp::AllHeaps().process;
}

NVXAPI HANDLE WINAPI HeapCreate(DWORD flOptions, SIZE_T dwInitialSize, SIZE_T dwMaximumSize) {
    nvxp::Heaps& heaps = nvxp::AllHeaps();
    auto* heap = new nvxp::Heap;
    std::lock_guard<std::mutex> lock(heaps.mutex);
    heaps.live.insert(heap);
    return heap;
}

NVXAPI BOOL WINAPI HeapDestroy(HANDLE hHeap) {
    nvxp::Heaps& heaps = nvxp::AllHeaps();
    nvxp::Heap* heap;
    {
        std::lock_guard<std::mutex> lock(heaps.mutex);
        heap = static_cast<nvxp::Heap*>(hHeap);
        if (!heaps.live.count(heap) || heap == heaps.process) return nvxp::Fail(ERROR_INVALID_HANDLE, FALSE);
        heaps.live.erase(heap);
    }
    for (auto& [block, size] : heap->blocks) free(block);
    delete heap;
    return TRUE;
}

NVXAPI LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes) {
    nvxp::Heap* heap = nvxp::FindHeap(hHeap);
    if (!heap) return nvxp::Fail(ERROR_INVALID_HANDLE, LPVOID(nullptr));
    void* data = (dwFlags & HEAP_ZERO_MEMORY) ? calloc(1, dwBytes ? dwBytes : 1) : malloc(dwBytes ? dwBytes : 1);
    if (!data) return nvxp::Fail(ERROR_NOT_ENOUGH_MEMORY, LPVOID(nullptr));
    std::lock_guard<std::mutex> lock(heap->mutex);
    heap->blocks[data] = dwBytes;
    return data;
}

NVXAPI LPVOID WINAPI HeapReAlloc(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes) {
    nvxp::Heap* heap = nvxp::FindHeap(hHeap);
    if (!heap) return nvxp::Fail(ERROR_INVALID_HANDLE, LPVOID(nullptr));
    std::lock_guard<std::mutex> lock(heap->mutex);
    auto it = heap->blocks.find(lpMem);
    if (it == heap->blocks.end()) return nvxp::Fail(ERROR_INVALID_PARAMETER, LPVOID(nullptr));
    void* data = nvxp::Resize(lpMem, it->second, dwBytes ? dwBytes : 1, !(dwFlags & HEAP_REALLOC_IN_PLACE_ONLY),
                              (dwFlags & HEAP_ZERO_MEMORY) != 0);
    if (!data) return nvxp::Fail(ERROR_NOT_ENOUGH_MEMORY, LPVOID(nullptr));
    heap->blocks.erase(it);
    heap->blocks[data] = dwBytes;
    return data;
}

NVXAPI BOOL WINAPI HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem) {
    nvxp::Heap* heap = nvxp::FindHeap(hHeap);
    if (!heap) return nvxp::Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!lpMem) return TRUE;
    std::lock_guard<std::mutex> lock(heap->mutex);
    if (!heap->blocks.erase(lpMem)) return nvxp::Fail(ERROR_INVALID_PARAMETER, FALSE);
    free(lpMem);
    return TRUE;
}

NVXAPI SIZE_T WINAPI HeapSize(HANDLE hHeap, DWORD dwFlags, LPCVOID lpMem) {
    nvxp::Heap* heap = nvxp::FindHeap(hHeap);
    if (!heap) return nvxp::Fail(ERROR_INVALID_HANDLE, static_cast<SIZE_T>(-1));
    std::lock_guard<std::mutex> lock(heap->mutex);
    auto it = heap->blocks.find(const_cast<void*>(lpMem));
    if (it == heap->blocks.end()) return nvxp::Fail(ERROR_INVALID_PARAMETER, static_cast<SIZE_T>(-1));
    return it->second;
}

}  // extern "C"
