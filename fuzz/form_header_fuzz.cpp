// Fuzz target: any bytes as the start of an overlay form file, through the header
// reader, the name, the resolution class and the properties.  The reader must never
// read past the bytes it was given (the input is copied to a buffer of exactly its
// size), and a refused header must leave the output untouched.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "stamps/form_file.h"

using namespace nvx::stamps;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<BYTE> bytes(data, data + size);
    FormHeader header;
    std::memset(&header, 0xA5, sizeof header);
    FormHeader before;
    std::memcpy(&before, &header, sizeof header);
    const FormHeaderResult r = ReadFormHeader(bytes.empty() ? nullptr : bytes.data(), bytes.size(), &header);
    if (r != FormHeaderResult::Ok) {
        if (std::memcmp(&header, &before, sizeof header) != 0) __builtin_trap();
        return 0;
    }
    if (size < kFormHeaderBytes || (header.file.version == 2 && size < kFormHeaderMemoryBytes)) __builtin_trap();
    const nvx::WString name = FormName(header);
    if (name.size() > 64) __builtin_trap();
    const int cls = FormResolutionClass(header);
    if (cls < 0 || cls > 3) __builtin_trap();
    const std::vector<FormPaper> papers = {{WL("A4"), 2100, 2970, false}};
    const std::vector<FormProperty> rows = FormProperties(WL("C:\\f\\x.vfo"), header, papers, (size & 1) != 0);
    if (rows.size() < 6) __builtin_trap();
    return 0;
}
