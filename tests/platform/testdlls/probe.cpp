// TSTPROBE.DLL: a log that outlives the libraries under test, so that tests can
// see which entry-point calls happened and in what order.
#include <cstring>
#include <string>

#include "platform/win32.h"

namespace {
std::string& Log() {
    static std::string log;
    return log;
}
}  // namespace

// Appends "event;" to the log.
extern "C" void Probe_Note(const char* event) {
    Log() += event ? event : "?";
    Log() += ';';
}

// Copies the log into buffer (cut to cap - 1 bytes, terminated); answers its full length.
extern "C" int Probe_Read(char* buffer, int cap) {
    if (buffer && cap > 0) {
        size_t n = Log().size() < static_cast<size_t>(cap) - 1 ? Log().size() : static_cast<size_t>(cap) - 1;
        memcpy(buffer, Log().data(), n);
        buffer[n] = 0;
    }
    return static_cast<int>(Log().size());
}

extern "C" void Probe_Clear() {
    Log().clear();
}
