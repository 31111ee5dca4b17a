// The number of threads of this process, for checks that an operation leaves no
// thread behind.  A thread whose handle is already signalled may still be
// leaving the system's thread list for a moment, so the check waits (boundedly)
// for the count to come down.
#pragma once

#include "platform/win32.h"

#ifdef _WIN32
#include <tlhelp32.h>
#else
#include <dirent.h>
#endif

namespace nvxtest {

inline int ThreadCount() {
    int count = 0;
#ifdef _WIN32
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == self) ++count;
    CloseHandle(snapshot);
#else
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return -1;
    while (dirent* e = readdir(tasks))
        if (e->d_name[0] != '.') ++count;
    closedir(tasks);
#endif
    return count;
}

// Waits up to `milliseconds` for the count to come down to `expected`; answers
// the last count seen.
inline int ThreadCountSettlesAt(int expected, DWORD milliseconds = 2000) {
    const DWORD start = GetTickCount();
    int now = ThreadCount();
    while (now > expected && GetTickCount() - start < milliseconds) {
        Sleep(5);
        now = ThreadCount();
    }
    return now;
}

// The count once threads that earlier work ended have left: a baseline taken
// while one of them is still on its way out would be one too high.  Answers
// when the count has stayed the same for 50 ms (or after two seconds).
inline int SettledThreadCount() {
    const DWORD start = GetTickCount();
    int last = ThreadCount();
    DWORD since = GetTickCount();
    while (GetTickCount() - since < 50 && GetTickCount() - start < 2000) {
        Sleep(5);
        const int now = ThreadCount();
        if (now != last) {
            last = now;
            since = GetTickCount();
        }
    }
    return last;
}

}  // namespace nvxtest
