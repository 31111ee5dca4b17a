// The settings record by field name (see record_view.h).
#include "record_view.h"

#include <cerrno>
#include <cstdlib>

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
        *message = "no number field \"" + name + "\" in the settings record";
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long long number = std::strtoll(value.c_str(), &end, 10);
    if (value.empty() || *end || errno == ERANGE || number < INT32_MIN || number > UINT32_MAX) {
        *message = name + " takes a number, not \"" + value + "\"";
        return false;
    }
    return nvx::settings::SetNumber(*nvx::settings::AsRecord(record), field, number);
}

}  // namespace novrix
