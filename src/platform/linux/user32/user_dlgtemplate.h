// Binary dialog templates (DLGTEMPLATE and DLGTEMPLATEEX) as windres and the
// resource compiler write them, parsed into one readable form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

namespace nvxp {

// A name that is either an ordinal (0xFFFF, n) or a string, as templates keep
// menu, class and title names.
struct TemplateName {
    bool present = false;
    bool ordinal = false;
    WORD id = 0;
    nvx::WString text;
};

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    TemplateName className;  // an ordinal is one of the atoms 0x0080..0x0085
    TemplateName title;      // an ordinal names a resource (an icon of a static)
    const BYTE* data = nullptr;  // the creation data, starting with its size WORD
    WORD dataSize = 0;           // bytes after the size WORD
};

struct DialogTemplateInfo {
    bool extended = false;
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    TemplateName menu;
    TemplateName className;
    nvx::WString title;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charSet = 0;
    nvx::WString face;
    std::vector<DialogItemTemplate> items;
};

// Parses a template of `size` bytes (SIZE_MAX when the caller does not know the
// size, as for CreateDialogIndirectParamW).  Answers false for a malformed or
// truncated template.
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplateInfo* out);

// The class name of a predefined control atom (0x0080 "Button" ... 0x0085
// "ComboBox"), or null.
const char16_t* PredefinedClassName(WORD atom);

}  // namespace nvxp
