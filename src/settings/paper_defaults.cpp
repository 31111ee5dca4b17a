// Paper defaults: package paper at attach, locale paper for default settings.
#include "settings/paper_defaults.h"

#include <algorithm>
#include <string>

namespace nvx::settings {

namespace {

void SetPair(OEMDEV& record, const char* cx, const char* cy, int32_t width, int32_t height) {
    SetNumber(record, cx, width);
    SetNumber(record, cy, height);
}

void SetUserSizes(OEMDEV& record, int32_t width, int32_t height, bool inchValues) {
    SetPair(record, "sizInUserDefPaperMM.cx", "sizInUserDefPaperMM.cy", width, height);
    SetPair(record, "sizOutUserDefPaperMM.cx", "sizOutUserDefPaperMM.cy", width, height);
    if (!inchValues) return;
    const int32_t w = TenthsMmToHundredthsInch(width), h = TenthsMmToHundredthsInch(height);
    SetPair(record, "sizInUserDefPaperIN.cx", "sizInUserDefPaperIN.cy", w, h);
    SetPair(record, "sizOutUserDefPaperIN.cx", "sizOutUserDefPaperIN.cy", w, h);
}

}  // namespace

int32_t TenthsMmToHundredthsInch(int32_t tenths) {
    const int64_t v = tenths;
    const int64_t magnitude = ((v < 0 ? -v : v) * 100 + 127) / 254;
    return static_cast<int32_t>(v < 0 ? -magnitude : magnitude);
}

void ApplyPaperDefault(OEMDEV& record, const PaperRow& paper) {
    SetNumber(record, "nPaperSize", paper.id);
    SetPair(record, "sizPaper.cx", "sizPaper.cy", paper.width, paper.height);
    SetNumber(record, "rcMargin.left", paper.margins[0]);
    SetNumber(record, "rcMargin.top", paper.margins[1]);
    SetNumber(record, "rcMargin.right", paper.margins[2]);
    SetNumber(record, "rcMargin.bottom", paper.margins[3]);
}

void ApplyOutPaperDefault(OEMDEV& record, int32_t id, int32_t width, int32_t height) {
    SetNumber(record, "nOutPaperSize", id);
    if (id == kOutPaperSameAsInput) {
        width = GetNumber(record, "sizPaper.cx");
        height = GetNumber(record, "sizPaper.cy");
    }
    SetPair(record, "sizOutPaper.cx", "sizOutPaper.cy", width, height);
}

void ApplyUserPaperDefault(OEMDEV& record, bool width, int32_t tenthsMm, bool inchValues) {
    const char* axis = width ? ".cx" : ".cy";
    for (const char* base : {"sizInUserDefPaperMM", "sizOutUserDefPaperMM"})
        SetNumber(record, std::string(base) + axis, tenthsMm);
    if (!inchValues) return;
    for (const char* base : {"sizInUserDefPaperIN", "sizOutUserDefPaperIN"})
        SetNumber(record, std::string(base) + axis, TenthsMmToHundredthsInch(tenthsMm));
}

const PaperRow* ChooseLocalePaper(const std::vector<PaperRow>& papers, int country, bool hasPackageDefault,
                                  int32_t packageDefaultPaper) {
    if (country >= 0)
        for (const PaperRow& p : papers)
            if (std::find(p.countries.begin(), p.countries.end(), country) != p.countries.end()) return &p;
    if (!hasPackageDefault) return nullptr;
    for (const PaperRow& p : papers)
        if (p.id == packageDefaultPaper) return &p;
    return nullptr;
}

void ApplyLocalePaper(OEMDEV& record, const PaperRow& paper, bool inchValues) {
    ApplyPaperDefault(record, paper);
    if (GetNumber(record, "nOutPaperSize") == kOutPaperSameAsInput)
        SetPair(record, "sizOutPaper.cx", "sizOutPaper.cy", paper.width, paper.height);
    SetPair(record, "sizServerPaper.cx", "sizServerPaper.cy", paper.width, paper.height);
    SetUserSizes(record, paper.width, paper.height, inchValues);
}

int UserCountryCode() {
    WCHAR text[16] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, text, 16) <= 0) return -1;
    int value = 0, digits = 0;
    for (const WCHAR* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || ++digits > 6) return -1;
        value = value * 10 + (*p - '0');
    }
    return digits ? value : -1;
}

}  // namespace nvx::settings
