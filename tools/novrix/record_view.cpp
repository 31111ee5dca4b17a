// The settings record by field name (see record_view.h).
#include "record_view.h"

#include <cerrno>
#include <cstdlib>

#include "echo.h"
#include "settings/oemdev.h"

namespace novrix {
namespace {

const char* const kShownFields[] = {
    "nOrientation", "nPaperSize", "nOutPaperSize", "bScaleAuto", "nScale",        "nDefaultSource", "nMediaType",
    "nCopies",      "bCollate",   "bJobOffset",    "nOutputMethod", "bPaperOption1", "bPaperOption2",
};

}  // namespace

std::string RenderRecordFields(const BYTE* record) {
    const OEMDEV& r = *nvx::settings::AsRecord(record);
    std::string out = "[settings record]\n";
    for (const char* name : kShownFields)
        out += std::string("  ") + name + ": " + std::to_string(nvx::settings::GetNumber(r, name)) + "\n";
    return out;
}

bool SetRecordField(BYTE* record, const std::string& name, const std::string& value, std::string* message) {
    nvx::settings::FieldRef field = nvx::settings::FindExchangeKey(name);
    if (!field || !nvx::settings::IsNumberKind(field.def->kind)) {
        *message = "no number field \"" + EchoText(name) + "\" in the settings record";
        return false;
    }
    // Digits with an optional minus sign, nothing else (strtoll alone would take
    // leading blanks and a plus sign).
    size_t digits = !value.empty() && value[0] == '-' ? 1 : 0;
    bool plain = digits < value.size() && value.find_first_not_of("0123456789", digits) == std::string::npos;
    errno = 0;
    char* end = nullptr;
    long long number = plain ? std::strtoll(value.c_str(), &end, 10) : 0;
    if (!plain || *end || errno == ERANGE || number < INT32_MIN || number > UINT32_MAX) {
        *message = name + " takes a number, not \"" + EchoText(value) + "\"";
        return false;
    }
    return nvx::settings::SetNumber(*nvx::settings::AsRecord(record), field, number);
}

}  // namespace novrix
