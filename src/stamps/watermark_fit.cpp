// Editing one watermark: field limits and the fit check (watermark_fit.h).
#include "stamps/watermark_fit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "features/model_record.h"
#include "features/option_record.h"
#include "model/loaded_model.h"
#include "model/model_tables.h"
#include "settings/oemdev.h"

namespace nvx::stamps {

WatermarkFields FieldsOf(const WatermarkRecord& r) {
    WatermarkFields f;
    f.title = FieldText(r.szWmkTitle, sizeof r.szWmkTitle);
    f.text = FieldText(r.szWmkStr, sizeof r.szWmkStr);
    f.face = FieldText(r.szFontName, sizeof r.szFontName);
    f.style = r.nStyle;
    f.size = r.wSize;
    f.color = r.crColor;
    f.angle = r.nAngle;
    f.x = r.ptWmkPosX;
    f.y = r.ptWmkPosY;
    f.frame = r.wFrame;
    f.transparent = r.bBkGrnd != 0;
    f.firstPage = r.bFstPg != 0;
    f.repeat = r.bMultiStamp != 0;
    return f;
}

void PutFields(WatermarkRecord* r, const WatermarkFields& f) {
    PutFieldText(r->szWmkTitle, sizeof r->szWmkTitle, f.title);
    PutFieldText(r->szWmkStr, sizeof r->szWmkStr, f.text);
    PutFieldText(r->szFontName, sizeof r->szFontName, f.face);
    r->nStyle = static_cast<int16_t>(f.style);
    r->wSize = static_cast<uint16_t>(std::clamp(f.size, 0, 0xFFFF));
    r->crColor = f.color;
    r->nAngle = static_cast<int16_t>(std::clamp(f.angle, -32768, 32767));
    r->ptWmkPosX = f.x;
    r->ptWmkPosY = f.y;
    r->wFrame = static_cast<uint16_t>(std::clamp(f.frame, 0, 0xFFFF));
    r->bBkGrnd = f.transparent ? 1 : 0;
    r->bFstPg = f.firstPage ? 1 : 0;
    r->bMultiStamp = f.repeat ? 1 : 0;
}

FieldProblem CheckFields(const WatermarkFields& f, size_t titleMax, const std::vector<WString>& faces) {
    if (f.title.empty()) return FieldProblem::TitleEmpty;
    if (f.title.size() > titleMax) return FieldProblem::TitleTooLong;
    if (f.text.size() > kWatermarkTextMax) return FieldProblem::TextTooLong;
    const bool known = std::any_of(faces.begin(), faces.end(), [&](const WString& face) {
        return !f.face.empty() && WEqualNoCase(face, f.face);
    });
    if (!known) return FieldProblem::NoSuchFont;
    if (f.size < kWatermarkSizeMin || f.size > kWatermarkSizeMax) return FieldProblem::SizeOutOfRange;
    if (f.angle < -kWatermarkAngleMax || f.angle > kWatermarkAngleMax) return FieldProblem::AngleOutOfRange;
    if (f.x < -kWatermarkPosMax || f.x > kWatermarkPosMax || f.y < -kWatermarkPosMax || f.y > kWatermarkPosMax)
        return FieldProblem::PositionOutOfRange;
    return FieldProblem::None;
}

const char* ProblemText(FieldProblem p) {
    switch (p) {
    case FieldProblem::None: return "";
    case FieldProblem::TitleEmpty: return "the watermark has no name";
    case FieldProblem::TitleTooLong: return "the name is too long";
    case FieldProblem::TextTooLong: return "the text is longer than 128 characters";
    case FieldProblem::NoSuchFont: return "no such font on this machine";
    case FieldProblem::SizeOutOfRange: return "the size must be between 1 and 999";
    case FieldProblem::AngleOutOfRange: return "the angle must be between -90 and 90";
    case FieldProblem::PositionOutOfRange: return "the position must be between -100 and 100";
    }
    return "";
}

std::vector<WString> WatermarkFaces(const std::vector<std::string>& libraryFonts, WStringView defaultFace) {
    std::vector<WString> faces;
    auto add = [&](WStringView face) {
        if (face.empty() || face.size() >= 32) return;
        for (const WString& f : faces)
            if (WEqualNoCase(f, face)) return;
        faces.emplace_back(face);
    };
    add(defaultFace);
    for (const std::string& name : libraryFonts) add(WFromAscii(name));
    return faces;
}

WatermarkRecord NewWatermarkTemplate(WStringView face) {
    WatermarkRecord r;
    std::memset(&r, 0, sizeof r);
    PutFieldText(r.szFontName, sizeof r.szFontName, face);
    r.nStyle = 1;
    r.wSize = 72;
    r.crColor = 255;
    r.wFrame = 1;
    r.bBkGrnd = 1;
    return r;
}

std::vector<EditItem> EditItems(const WatermarkSet& set) {
    std::vector<EditItem> items;
    for (const ListedWatermark& l : DisplayList(set)) items.push_back({l.shared, *l.record});
    return items;
}

long DuplicateTitle(const std::vector<EditItem>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        const WString title = FieldText(items[i].record.szWmkTitle, sizeof items[i].record.szWmkTitle);
        for (size_t j = 0; j < i; ++j)
            if (items[j].shared == items[i].shared &&
                FieldText(items[j].record.szWmkTitle, sizeof items[j].record.szWmkTitle) == title)
                return static_cast<long>(i);
    }
    return -1;
}

WatermarkSet SetFromItems(const std::vector<EditItem>& items) {
    WatermarkSet set;
    for (const EditItem& item : items) {
        auto& list = item.shared ? set.shared : set.personal;
        if (list.size() >= (item.shared ? kMaxSharedWatermarks : kMaxPrivateWatermarks)) continue;
        if (set.order.size() >= kMaxOrderEntries) break;
        list.push_back(item.record);
        set.order.push_back(MakeOrderRecord(item.record, item.shared));
    }
    return set;
}

PrintArea PrintableArea(const OEMDEV& rec) {
    PrintArea a;
    const int32_t w = settings::GetNumber(rec, "sizPaper.cx");
    const int32_t h = settings::GetNumber(rec, "sizPaper.cy");
    a.width = std::max(0, w - settings::GetNumber(rec, "rcMargin.left") - settings::GetNumber(rec, "rcMargin.right"));
    a.height = std::max(0, h - settings::GetNumber(rec, "rcMargin.top") - settings::GetNumber(rec, "rcMargin.bottom"));
    if (settings::GetNumber(rec, "nOrientation") == 2) std::swap(a.width, a.height);
    return a;
}

namespace {

// Styles 3 and 4 print the text as outlines of the regular face (4 slanted).
bool OutlineStyle(int32_t style) {
    return style == 3 || style == 4;
}

// 0.1 mm into dots at a resolution.
double Dots(int32_t tenths, int32_t dpi) {
    return static_cast<double>(tenths) * dpi / 254.0;
}

// The extent of an outline text on a device context holding its font: the box that
// holds both the advances at the face's ascent and descent and every glyph's outline
// (its black box at its pen position), so that an outline reaching past its cell
// (a slanted last letter, an accent above the ascent) is measured too.  False when
// the face has no outlines.
bool OutlineExtent(HDC dc, const WString& text, SIZE* extent) {
    SIZE advance{};
    TEXTMETRICW tm{};
    if (!GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &advance) || !GetTextMetricsW(dc, &tm))
        return false;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    LONG left = 0, right = advance.cx, top = tm.tmAscent, bottom = -tm.tmDescent;  // y upward from the baseline
    LONG pen = 0;
    for (WCHAR c : text) {
        GLYPHMETRICS gm{};
        if (GetGlyphOutlineW(dc, c, GGO_METRICS, &gm, 0, nullptr, &identity) == GDI_ERROR) return false;
        if (gm.gmBlackBoxX > 0 && gm.gmBlackBoxY > 0) {
            const LONG inkLeft = pen + gm.gmptGlyphOrigin.x;
            left = std::min(left, inkLeft);
            right = std::max(right, inkLeft + static_cast<LONG>(gm.gmBlackBoxX));
            top = std::max(top, static_cast<LONG>(gm.gmptGlyphOrigin.y));
            bottom = std::min(bottom, static_cast<LONG>(gm.gmptGlyphOrigin.y) - static_cast<LONG>(gm.gmBlackBoxY));
        }
        pen += gm.gmCellIncX;
    }
    extent->cx = right - left;
    extent->cy = top - bottom;
    return true;
}

}  // namespace

bool MeasureWithGdi(const WatermarkRecord& record, int32_t height, SIZE* extent) {
    const bool outline = OutlineStyle(record.nStyle);
    LOGFONTW lf{};
    lf.lfHeight = -height;
    // An outline is measured unturned (the fit check turns the box); glyph metrics of
    // a turned font would be the turned glyphs'.
    lf.lfEscapement = outline ? 0 : record.nAngle * 10;
    lf.lfOrientation = lf.lfEscapement;
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = record.nStyle == 2 || record.nStyle == 4 ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    const WString face = FieldText(record.szFontName, sizeof record.szFontName);
    WCopy(lf.lfFaceName, LF_FACESIZE, face.c_str());
    const WString text = FieldText(record.szWmkStr, sizeof record.szWmkStr);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return false;
    bool ok = false;
    if (HDC dc = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, font);
        // A face without outlines (a fixed metric) is measured by its advances alone.
        ok = (outline && OutlineExtent(dc, text, extent)) ||
             GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), extent) != FALSE;
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    DeleteObject(font);
    return ok;
}

int32_t FontHeight(int32_t size, int32_t dpi) {
    return static_cast<int32_t>(static_cast<int64_t>(size) * dpi / 72);
}

bool TextFits(const WatermarkRecord& record, const PrintArea& area, int32_t dpi, int32_t settingsDpi, int32_t size,
              SIZE extent) {
    const int32_t margin = static_cast<int32_t>(0.00167 * settingsDpi * size + 0.5);
    const double w = static_cast<double>(extent.cx) + 2.0 * margin;
    const double h = static_cast<double>(extent.cy) + 2.0 * margin;
    const double turn = record.nAngle * 3.14159265358979323846 / 180.0;
    const double c = std::fabs(std::cos(turn)), s = std::fabs(std::sin(turn));
    const double boxW = w * c + h * s;
    const double boxH = w * s + h * c;
    const double areaW = Dots(area.width, dpi);
    const double areaH = Dots(area.height, dpi);
    if (record.bMultiStamp) return boxW <= areaW && boxH <= areaH;
    const double cx = areaW / 2 + record.ptWmkPosX * areaW / 200.0;
    const double cy = areaH / 2 + record.ptWmkPosY * areaH / 200.0;
    return cx - boxW / 2 >= 0 && cx + boxW / 2 <= areaW && cy - boxH / 2 >= 0 && cy + boxH / 2 <= areaH;
}

int32_t LargestFittingSize(const WatermarkRecord& record, const PrintArea& area, int32_t dpi, int32_t settingsDpi,
                           const TextMeasure& measure) {
    for (int32_t size = record.wSize; size >= 1; --size) {
        SIZE extent{};
        if (!measure(record, FontHeight(size, dpi), &extent)) return 0;
        if (TextFits(record, area, dpi, settingsDpi, size, extent)) return size;
    }
    return 0;
}

FitResult CheckFit(const WatermarkRecord& record, const PrintArea& area, const std::vector<int32_t>& resolutions,
                   int32_t settingsDpi, const TextMeasure& measure) {
    FitResult result;
    std::vector<int32_t> all = resolutions;
    if (settingsDpi > 0 && std::find(all.begin(), all.end(), settingsDpi) == all.end()) all.push_back(settingsDpi);
    for (int32_t dpi : all) {
        if (dpi <= 0) continue;
        const int32_t fits = LargestFittingSize(record, area, dpi, settingsDpi, measure);
        if (dpi == settingsDpi && fits != record.wSize) {
            result.lowered = true;
            result.dpi = dpi;
            result.size = fits;
        }
    }
    return result;
}

bool LayoutPreview(const WatermarkRecord& record, const PrintArea& area, const RECT& frame, int32_t settingsDpi,
                   const TextMeasure& measure, PreviewLayout* out) {
    const int32_t fw = frame.right - frame.left, fh = frame.bottom - frame.top;
    if (area.width <= 0 || area.height <= 0 || fw <= 2 || fh <= 2) return false;
    PreviewLayout l;
    // The area fitted into the frame (one pixel inside its border).
    const double scale = std::min((fw - 2.0) / area.width, (fh - 2.0) / area.height);  // pixels per 0.1 mm
    const int32_t pw = std::max(1, static_cast<int32_t>(std::lround(area.width * scale)));
    const int32_t ph = std::max(1, static_cast<int32_t>(std::lround(area.height * scale)));
    l.page.left = frame.left + (fw - pw) / 2;
    l.page.top = frame.top + (fh - ph) / 2;
    l.page.right = l.page.left + pw;
    l.page.bottom = l.page.top + ph;
    // A point is 254/72 tenths of a millimetre.
    const double pixelsPerPoint = scale * 254.0 / 72.0;
    l.fontHeight = std::max(1, static_cast<int32_t>(std::lround(record.wSize * pixelsPerPoint)));
    if (!measure(record, l.fontHeight, &l.extent)) return false;
    l.centre.x = static_cast<LONG>(std::lround(l.page.left + pw / 2.0 + record.ptWmkPosX * pw / 200.0));
    l.centre.y = static_cast<LONG>(std::lround(l.page.top + ph / 2.0 + record.ptWmkPosY * ph / 200.0));
    // GDI turns text counter-clockwise with y downward: along (cos, -sin), down (sin, cos).
    const double turn = record.nAngle * 3.14159265358979323846 / 180.0;
    const double c = std::cos(turn), s = std::sin(turn);
    const double hw = l.extent.cx / 2.0, hh = l.extent.cy / 2.0;
    l.origin.x = static_cast<LONG>(std::lround(l.centre.x - hw * c - hh * s));
    l.origin.y = static_cast<LONG>(std::lround(l.centre.y + hw * s - hh * c));
    const double margin = settingsDpi > 0 ? static_cast<int32_t>(0.00167 * settingsDpi * record.wSize + 0.5) *
                                                (pixelsPerPoint * 72.0 / settingsDpi)
                                          : 0.0;
    const double bw = hw + margin, bh = hh + margin;
    const double corners[4][2] = {{-bw, -bh}, {bw, -bh}, {bw, bh}, {-bw, bh}};
    for (int i = 0; i < 4; ++i) {
        const double x = corners[i][0], y = corners[i][1];
        l.box[i].x = static_cast<LONG>(std::lround(l.centre.x + x * c + y * s));
        l.box[i].y = static_cast<LONG>(std::lround(l.centre.y - x * s + y * c));
    }
    *out = l;
    return true;
}

std::vector<int32_t> ModelPrintResolutions() {
    std::vector<int32_t> out;
    const uint8_t* list = model::Loaded().tables.record ? model::Loaded().tables.record->ListData("Resolution") : nullptr;
    if (!list) return out;
    for (size_t k = 0, n = features::ListCount(list); k < n; ++k) {
        features::ResolutionData r;
        std::memcpy(&r, features::RecordAt(list, k) + features::kModelDataAt, sizeof r);
        if (r.fax || r.horizontal <= 0) continue;
        if (std::find(out.begin(), out.end(), r.horizontal) == out.end()) out.push_back(r.horizontal);
    }
    return out;
}

}  // namespace nvx::stamps
