#include "pages/safe_format.h"

#include <cstdio>
#include <string>

namespace nvx::pages {

WString FormatNumberList(WStringView format, const int32_t* values, size_t count) {
    WString out;
    int used = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out.push_back(format[i]);
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        // %[flags][width]d
        size_t j = i + 1;
        std::string conversion = "%";
        while (j < format.size() && (format[j] == '-' || format[j] == '0' || format[j] == '+' || format[j] == ' '))
            conversion.push_back(static_cast<char>(format[j++]));
        int digits = 0;
        while (j < format.size() && format[j] >= '0' && format[j] <= '9' && digits < 2) {
            conversion.push_back(static_cast<char>(format[j++]));
            ++digits;
        }
        if (j < format.size() && format[j] == 'd' && static_cast<size_t>(used) < count) {
            conversion.push_back('d');
            char buf[48];
            std::snprintf(buf, sizeof buf, conversion.c_str(), values[used]);
            ++used;
            for (const char* p = buf; *p; ++p) out.push_back(static_cast<WCHAR>(*p));
            i = j;
            continue;
        }
        out.push_back('%');
    }
    return out;
}

WString FormatNumbers(WStringView format, int32_t a, int32_t b) {
    const int32_t values[] = {a, b};
    return FormatNumberList(format, values, 2);
}

WString FormatTexts(WStringView format, WStringView a, WStringView b) {
    WString out;
    int used = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && used < 2) {
            out.append(used == 0 ? a : b);
            ++used;
            ++i;
            continue;
        }
        out.push_back(format[i]);
    }
    return out;
}

}  // namespace nvx::pages
