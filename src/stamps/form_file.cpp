// Overlay form file headers, their properties and the sample writer.
#include "stamps/form_file.h"

#include <algorithm>
#include <cstring>

#include "common/ansi.h"

namespace nvx::stamps {

namespace {

uint32_t MagicOf(const FormFileHeader& h) {
    uint32_t v;
    std::memcpy(&v, h.magic, 4);
    return v;
}

class File {
public:
    explicit File(HANDLE h) : h_(h) {}
    ~File() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    HANDLE get() const { return h_; }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

size_t LastSeparator(WStringView path) {
    for (size_t i = path.size(); i > 0; --i)
        if (path[i - 1] == u'\\' || path[i - 1] == u'/') return i - 1;
    return WString::npos;
}

}  // namespace

FormHeaderResult ReadFormHeader(const BYTE* data, size_t size, FormHeader* out) {
    if (!data || size < kFormHeaderBytes) return FormHeaderResult::Short;
    FormHeader h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(&h.file, data, kFormHeaderBytes);
    if (MagicOf(h.file) != kFormMagic) return FormHeaderResult::BadMagic;
    if (h.file.version != 1 && h.file.version != 2) return FormHeaderResult::BadVersion;
    if (h.file.version == 2) {
        if (size < kFormHeaderMemoryBytes) return FormHeaderResult::ExtensionMissing;
        std::memcpy(h.wideName, data + kFormHeaderBytes, kFormExtensionBytes);
    }
    if (out) *out = h;
    return FormHeaderResult::Ok;
}

FormHeaderResult ReadFormFileHeader(const WCHAR* path, FormHeader* out) {
    if (!path || !path[0]) return FormHeaderResult::Unreadable;
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return FormHeaderResult::Unreadable;
    File file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return FormHeaderResult::Unreadable;
    BYTE data[kFormHeaderMemoryBytes];
    size_t have = 0;
    // A short read is not the end of the file on every system: read until the
    // header is whole or the file ends.
    while (have < sizeof data) {
        DWORD got = 0;
        if (!ReadFile(file.get(), data + have, static_cast<DWORD>(sizeof data - have), &got, nullptr))
            return FormHeaderResult::Unreadable;
        if (got == 0) break;
        have += got;
    }
    return ReadFormHeader(data, have, out);
}

WString FormWideName(const FormHeader& header) {
    if (header.file.version != 2) return WString();
    WCHAR name[64];
    std::memcpy(name, header.wideName, sizeof name);
    return WString(name, WLenBounded(name, 64));
}

WString FormName(const FormHeader& header) {
    WString wide = FormWideName(header);
    if (!wide.empty()) return wide;
    const size_t n = strnlen(header.file.name, sizeof header.file.name);
    return WFromAnsi(std::string_view(header.file.name, n));
}

int FormResolutionClass(const FormHeader& header) {
    const uint32_t magic = MagicOf(header.file);
    if (magic == 65) return 3;
    if (magic != kFormMagic && magic != kFormMagic2) return 0;
    switch (header.file.resolution) {
    case 1200: return 1;
    case 600: return 2;
    default: return 0;
    }
}

int JobResolutionClass(const char* name) {
    if (!name) return 0;
    static const struct {
        const char* name;
        int cls;
    } kTable[] = {
        {"1200dpi_3", 1},   {"1200dpi_2", 1},   {"1200dpi_1", 1},   {"1200dpi_8bit", 1}, {"1200dpi_1bit", 1},
        {"600dpi_8bit", 2}, {"600dpi_4bit", 2}, {"600dpi_1bit", 2}, {"300dpi", 0},       {"200dpi", 0},
        {"1200dpi_Raster", 3},
    };
    for (const auto& row : kTable)
        if (std::strcmp(row.name, name) == 0) return row.cls;
    return 0;
}

WString FormPaperName(const FormHeader& header, const std::vector<FormPaper>& papers) {
    for (const FormPaper& p : papers)
        if (p.custom || (p.key1 == header.file.paperKey1 && p.key2 == header.file.paperKey2)) return p.name;
    return WString();
}

WString FileNamePart(WStringView path) {
    const size_t at = LastSeparator(path);
    return WString(at == WString::npos ? path : path.substr(at + 1));
}

WString FolderPart(WStringView path) {
    const size_t at = LastSeparator(path);
    if (at == WString::npos) return WString();
    // A drive root keeps its backslash ("C:\"), as does a native root ("/").
    if (at == 0 || (at == 2 && path[1] == u':')) return WString(path.substr(0, at + 1));
    return WString(path.substr(0, at));
}

WString BaseNamePart(WStringView path) {
    WString name = FileNamePart(path);
    const size_t dot = name.rfind(u'.');
    if (dot != WString::npos && dot > 0) name.resize(dot);
    return name;
}

std::vector<FormProperty> FormProperties(const WCHAR* path, const FormHeader& header,
                                         const std::vector<FormPaper>& papers, bool colour) {
    const WStringView p = path ? WStringView(path) : WStringView();
    WString name = FormName(header);
    if (name.empty()) name = BaseNamePart(p);
    std::vector<FormProperty> rows;
    rows.push_back({WL("Overlay Name:"), name});
    rows.push_back({WL("File Name:"), FileNamePart(p)});
    rows.push_back({WL("Folder:"), FolderPart(p)});
    rows.push_back({WL("Paper Size:"), FormPaperName(header, papers)});
    rows.push_back({WL("Orientation:"), header.file.orientation == 2 ? WString(WL("Landscape")) : WString(WL("Portrait"))});
    if (colour) rows.push_back({WL("Color:"), header.file.colour == 2 ? WString(WL("Color")) : WString(WL("Grayscale"))});
    rows.push_back({WL("Resolution:"), WFormatString(WL("%u dpi"), static_cast<unsigned>(header.file.resolution))});
    return rows;
}

std::vector<BYTE> MakeFormFile(const NewForm& form) {
    FormHeader h;
    std::memset(&h, 0, sizeof h);
    std::memcpy(h.file.magic, "VFO1", 4);
    h.file.version = form.version;
    const uint32_t headerBytes = form.version == 2 ? kFormHeaderMemoryBytes : kFormHeaderBytes;
    std::memcpy(h.file.printPath, &form.bodyBytes, 4);
    std::memcpy(h.file.printPath + 4, &headerBytes, 4);
    std::memcpy(h.file.name, form.name.data(), std::min(form.name.size(), sizeof h.file.name - 1));
    h.file.paperKey1 = form.paperKey1;
    h.file.paperKey2 = form.paperKey2;
    h.file.colour = form.colour;
    h.file.orientation = form.orientation;
    h.file.resolution = form.resolution;
    WCHAR wide[64] = {};
    WCopy(wide, 64, form.wideName);
    std::memcpy(h.wideName, wide, sizeof wide);
    std::vector<BYTE> out(headerBytes + static_cast<size_t>(form.bodyBytes));
    std::memcpy(out.data(), &h, headerBytes);
    // The body: a frame one byte wide around a page of 16-byte rows.
    for (uint32_t i = 0; i < form.bodyBytes; ++i) {
        const uint32_t row = i / 16, column = i % 16, rows = (form.bodyBytes + 15) / 16;
        out[headerBytes + i] = (row == 0 || row + 1 == rows || column == 0 || column == 15) ? 1 : 0;
    }
    return out;
}

DWORD WriteFormFile(const WCHAR* path, const NewForm& form) {
    const std::vector<BYTE> bytes = MakeFormFile(form);
    File file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return GetLastError();
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return GetLastError();
    return written == bytes.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

}  // namespace nvx::stamps
