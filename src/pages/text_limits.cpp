#include "pages/text_limits.h"

#include <cstring>
#include <string>

#include "features/ui_items.h"
#include "pages/page_identity.h"

namespace nvx::pages {

// Edit boxes of the pages and their limits.  Numbers are plain digits; passwords
// and identifiers that devices compare byte by byte are printable ASCII; names
// shown back to the user take any character.
const TextLimitRule kTextLimitRules[] = {
    {"Copies", kTextDigits, 4},
    {"ZoomValue", kTextDigits, 3},
    {"UserPaper_Width", kTextDecimal, 7},
    {"UserPaper_Length", kTextDecimal, 7},
    {"OutUserPaper_Width", kTextDecimal, 7},
    {"OutUserPaper_Length", kTextDecimal, 7},
    {"Paper_Width", kTextDecimal, 7},
    {"Paper_Length", kTextDecimal, 7},
    {"Paper_Name", kTextAny, 31},
    {"DepartmentPassword", kTextDigits, 4},
    {"DepartmentName", kTextAny, 8},
    {"SecPassword", kTextDigits, 8},
    {"SecurePrintId", kTextAscii, 8},
    {"BoxNum", kTextDigits, 9},
    {"BoxFileName", kTextAny, 30},
    {"RecipientUserName", kTextAscii, 64},
    {"RecipientPassword", kTextAscii, 64},
    {"EmailAddress", kTextAscii, 255},
    {"TreeDomainName", kTextAscii, 63},
    {"ExpenseCode", kTextAscii, 8},
    {"ExpenseCodePassword", kTextAscii, 8},
    {"WM_Name", kTextAny, 31},
    {"WM_String", kTextAny, 63},
    {"OvlForm_FileName", kTextAny, 259},
    {"PerPageEditListName", kTextAny, 31},
    {"CP_PatternText", kTextAcceptAll, 0},
};
const size_t kTextLimitRuleCount = sizeof kTextLimitRules / sizeof kTextLimitRules[0];

namespace {

bool InClass(uint32_t kind, WCHAR c, bool* pointSeen) {
    switch (kind) {
    case kTextDigits:
        return c >= '0' && c <= '9';
    case kTextAscii:
        return c >= 0x20 && c <= 0x7E;
    case kTextDecimal:
        if (c == '.') {
            if (*pointSeen) return false;
            *pointSeen = true;
            return true;
        }
        return c >= '0' && c <= '9';
    default:
        return true;
    }
}

}  // namespace

const TextLimitRule* FindTextRule(const char* feature) {
    if (!feature) return nullptr;
    for (const TextLimitRule& r : kTextLimitRules)
        if (std::strcmp(r.feature, feature) == 0) return &r;
    return nullptr;
}

const TextLimitRule* TextRuleOfEdit(HWND edit) {
    const auto* table = features::ModuleItems();
    if (!edit || !table) return nullptr;
    const auto control = static_cast<uint32_t>(GetDlgCtrlID(edit));
    int row = features::FindUiItemByControl(table, control, PageIdOf(GetParent(edit)));
    if (row < 0) row = features::FindUiItemByControl(table, control);
    const features::UiItem* item = table->Row(row);
    if (!item) return nullptr;
    std::string name;
    for (size_t i = 0; i < features::kUiNameBytes && item->feature[i]; ++i)
        name.push_back(static_cast<char>(item->feature[i] & 0x7F));
    return FindTextRule(name.c_str());
}

bool TextAcceptable(const TextLimitRule* rule, WStringView text, uint32_t maximum) {
    if (rule && rule->kind == kTextAcceptAll) return true;
    uint32_t limit = maximum;
    if (rule && rule->limit != 0 && rule->limit < limit) limit = rule->limit;
    if (text.size() > limit) return false;
    if (!rule) return true;
    bool point = false;
    for (WCHAR c : text)
        if (!InClass(rule->kind, c, &point)) return false;
    return true;
}

bool NumberAcceptable(const TextLimitRule* rule, WStringView text, int32_t minimum, int32_t maximum,
                      uint32_t decimals) {
    if (rule && rule->kind == kTextAcceptAll) return true;
    if (decimals > kMaxDecimals || text.empty()) return false;
    if (rule && !TextAcceptable(rule, text, static_cast<uint32_t>(text.size()))) return false;
    size_t i = 0;
    bool negative = false;
    if (text[0] == '-') {
        if (minimum >= 0) return false;
        negative = true;
        i = 1;
    }
    int64_t whole = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] != '.'; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        whole = whole * 10 + (text[i] - '0');
        if (whole > (int64_t{1} << 40)) return false;
        ++digits;
    }
    uint32_t fraction = 0;
    if (i < text.size()) {  // a decimal point
        if (decimals == 0) return false;
        for (++i; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9' || fraction == decimals) return false;
            whole = whole * 10 + (text[i] - '0');
            ++fraction;
        }
    }
    if (digits == 0 && fraction == 0) return false;
    for (; fraction < decimals; ++fraction) whole *= 10;
    if (negative) whole = -whole;
    return whole >= minimum && whole <= maximum;
}

}  // namespace nvx::pages
