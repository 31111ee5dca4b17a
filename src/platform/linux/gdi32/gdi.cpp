// The GDI subset dialogs use: objects (fonts, brushes, pens, bitmaps, regions)
// and device contexts whose drawing calls succeed without drawing; what they
// would draw is recorded (gdi32/gdi_record.cpp).  A font whose face the machine
// has is measured through FreeType (gdi32/fonts.cpp); any other
// is measured with one fixed metric: a font of em height e pixels has characters
// round(6e/11) wide and round(13e/11) high, so 8-point MS Shell Dlg (e = 11 at
// 96 dots per inch) measures 6x13, the dialog base units of Windows.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

enum class GdiKind { Font, Brush, Pen, Bitmap, Region, Palette, Dc };

struct DcState {
    HGDIOBJ font = nullptr, brush = nullptr, pen = nullptr, bitmap = nullptr;
    COLORREF textColor = 0;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    int mapMode = MM_TEXT;
    POINT position{0, 0};  // MoveToEx/LineTo
    bool hasClip = false;  // IntersectClipRect, SelectClipRgn
    RECT clip{};
};

struct GdiObject {
    GdiKind kind;
    bool stock = false;
    LOGFONTW font{};
    LOGBRUSH brush{};
    LOGPEN pen{};
    BITMAP bitmap{};
    RECT region{};
    // Device contexts.
    HWND window = nullptr;
    bool memory = false;
    DcState state;
    std::vector<DcState> saved;
    std::string source;  // bitmaps loaded from resources
};

HandleSet<GdiObject>& Objects() {
    static auto* set = new HandleSet<GdiObject>;
    return *set;
}

GdiObject* Find(HGDIOBJ h, GdiKind kind) {
    GdiObject* o = Objects().Find(h);
    return o && o->kind == kind ? o : nullptr;
}

GdiObject* NewObject(GdiKind kind) {
    auto* o = new GdiObject{};
    o->kind = kind;
    return Objects().Add(o);
}

LOGFONTW MakeLogFont(int height, const WCHAR* face, int weight) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    FillFaceName(lf.lfFaceName, face);
    return lf;
}

// The stock objects of GetStockObject, made once and never freed.
struct Stock {
    HGDIOBJ objects[DC_PEN + 1] = {};
    HBRUSH sysBrushes[COLOR_MENUBAR + 1] = {};
    Stock() {
        auto brush = [](COLORREF c, UINT style) {
            GdiObject* o = NewObject(GdiKind::Brush);
            o->stock = true;
            o->brush = LOGBRUSH{style, c, 0};
            return static_cast<HGDIOBJ>(o);
        };
        auto pen = [](COLORREF c, UINT style) {
            GdiObject* o = NewObject(GdiKind::Pen);
            o->stock = true;
            o->pen = LOGPEN{style, POINT{1, 0}, c};
            return static_cast<HGDIOBJ>(o);
        };
        auto font = [](int height, const WCHAR* face) {
            GdiObject* o = NewObject(GdiKind::Font);
            o->stock = true;
            o->font = MakeLogFont(height, face, FW_NORMAL);
            return static_cast<HGDIOBJ>(o);
        };
        objects[WHITE_BRUSH] = brush(0xFFFFFF, BS_SOLID);
        objects[LTGRAY_BRUSH] = brush(0xC0C0C0, BS_SOLID);
        objects[GRAY_BRUSH] = brush(0x808080, BS_SOLID);
        objects[DKGRAY_BRUSH] = brush(0x404040, BS_SOLID);
        objects[BLACK_BRUSH] = brush(0x000000, BS_SOLID);
        objects[NULL_BRUSH] = brush(0, BS_NULL);
        objects[WHITE_PEN] = pen(0xFFFFFF, PS_SOLID);
        objects[BLACK_PEN] = pen(0, PS_SOLID);
        objects[NULL_PEN] = pen(0, PS_NULL);
        objects[OEM_FIXED_FONT] = font(-12, WL("Terminal"));
        objects[ANSI_FIXED_FONT] = font(-13, WL("Courier"));
        objects[ANSI_VAR_FONT] = font(-13, WL("MS Sans Serif"));
        objects[SYSTEM_FONT] = font(16, WL("System"));
        objects[DEVICE_DEFAULT_FONT] = font(16, WL("System"));
        objects[SYSTEM_FIXED_FONT] = font(-13, WL("Fixedsys"));
        objects[DEFAULT_GUI_FONT] = font(-11, WL("MS Shell Dlg"));
        objects[DC_BRUSH] = brush(0xFFFFFF, BS_SOLID);
        objects[DC_PEN] = pen(0, PS_SOLID);
        GdiObject* palette = NewObject(GdiKind::Palette);
        palette->stock = true;
        objects[DEFAULT_PALETTE] = palette;
        GdiObject* mono = NewObject(GdiKind::Bitmap);
        mono->stock = true;
        mono->bitmap = BITMAP{0, 1, 1, 2, 1, 1, nullptr};
        monoBitmap = mono;
        for (int i = 0; i <= COLOR_MENUBAR; ++i)
            sysBrushes[i] = static_cast<HBRUSH>(brush(GetSysColor(i), BS_SOLID));
    }
    HGDIOBJ monoBitmap = nullptr;
};

Stock& Stocks() {
    static auto* stock = new Stock;
    return *stock;
}

HDC NewDc(HWND window, bool memory) {
    GdiObject* dc = NewObject(GdiKind::Dc);
    dc->window = window;
    dc->memory = memory;
    dc->state.font = Stocks().objects[SYSTEM_FONT];
    dc->state.brush = Stocks().objects[WHITE_BRUSH];
    dc->state.pen = Stocks().objects[BLACK_PEN];
    dc->state.bitmap = Stocks().monoBitmap;
    return reinterpret_cast<HDC>(dc);
}

DcState* StateOf(HDC hdc) {
    GdiObject* dc = Find(hdc, GdiKind::Dc);
    return dc ? &dc->state : nullptr;
}

SIZE CharSizeOfDc(HDC hdc) {
    DcState* s = StateOf(hdc);
    return FontCharSize(s ? static_cast<HFONT>(s->font) : nullptr);
}

const COLORREF kSysColors[COLOR_MENUBAR + 1] = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000, 0x000000,
    0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000,
    0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933,
    0xF0F0F0,
};

// Width of a text line without the '&' mnemonic markers (unless DT_NOPREFIX).
int LineChars(nvx::WStringView line, UINT format) {
    if (format & DT_NOPREFIX) return static_cast<int>(line.size());
    int n = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '&' && i + 1 < line.size()) ++i;
        ++n;
    }
    return n;
}

// Breaks text into lines as DrawTextW does with DT_WORDBREAK in a width of
// maxChars characters (words longer than the width stay whole).
std::vector<nvx::WString> WrapLines(nvx::WStringView text, UINT format, int maxChars) {
    std::vector<nvx::WString> lines;
    nvx::WString current;
    auto flush = [&]() {
        lines.push_back(current);
        current.clear();
    };
    size_t i = 0;
    while (i <= text.size()) {
        if (i == text.size()) {
            flush();
            break;
        }
        WCHAR c = text[i];
        if (!(format & DT_SINGLELINE) && (c == '\n' || c == '\r')) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            flush();
            ++i;
            continue;
        }
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
            size_t end = i;
            while (end < text.size() && text[end] != ' ' && text[end] != '\n' && text[end] != '\r') ++end;
            nvx::WString word(text.substr(i, end - i));
            nvx::WString candidate = current.empty() ? word : current + WCHAR(' ') + word;
            if (!current.empty() && LineChars(candidate, format) > maxChars) {
                flush();
                current = word;
            } else {
                current = candidate;
            }
            i = end;
            while (i < text.size() && text[i] == ' ') ++i;
            continue;
        }
        current += c;
        ++i;
    }
    return lines;
}


// Where a DC's drawing goes.
PaintTarget TargetOf(HDC hdc) {
    GdiObject* dc = Find(hdc, GdiKind::Dc);
    PaintTarget t;
    if (!dc) return t;
    if (dc->window) t.window = dc->window;
    else if (dc->memory && dc->state.bitmap != Stocks().monoBitmap) t.bitmap = dc->state.bitmap;
    return t;
}

// Restricts an operation to a rectangle (in addition to a clip it has).
void AddDcClip(NvxUiPaintOp& op, const RECT& clip) {
    if (op.hasClip) {
        RECT out{};
        IntersectRect(&out, &op.clip, &clip);
        op.clip = out;
    } else {
        op.clip = clip;
    }
    op.hasClip = TRUE;
}

// A drawing call with the DC's pen, brush, colours, font and clip.
PaintOp Snapshot(HDC hdc, int kind) {
    PaintOp out;
    NvxUiPaintOp& op = out.op;
    op.kind = kind;
    DcState* s = StateOf(hdc);
    if (!s) return out;
    if (GdiObject* pen = Find(s->pen, GdiKind::Pen)) {
        op.hasPen = pen->pen.lopnStyle != PS_NULL;
        op.penColor = pen->pen.lopnColor;
        op.penWidth = std::max<LONG>(1, pen->pen.lopnWidth.x);
        op.penStyle = static_cast<int>(pen->pen.lopnStyle);
    }
    if (GdiObject* brush = Find(s->brush, GdiKind::Brush)) {
        op.hasBrush = brush->brush.lbStyle != BS_NULL;
        op.brushColor = brush->brush.lbColor;
    }
    op.textColor = s->textColor;
    op.bkColor = s->bkColor;
    op.opaque = s->bkMode == OPAQUE;
    if (GdiObject* font = Find(s->font, GdiKind::Font)) {
        op.fontHeight = font->font.lfHeight;
        op.fontWeight = font->font.lfWeight;
        op.fontEscapement = font->font.lfEscapement;
        op.fontItalic = font->font.lfItalic != 0;
        op.fontUnderline = font->font.lfUnderline != 0;
        nvx::WCopy(op.fontFace, std::size(op.fontFace), font->font.lfFaceName);
    }
    op.hasClip = s->hasClip;
    op.clip = s->clip;
    return out;
}

bool RecordShape(HDC hdc, int kind, const RECT& rect) {
    if (!StateOf(hdc)) return false;
    PaintOp op = Snapshot(hdc, kind);
    op.op.rect = rect;
    RecordPaint(TargetOf(hdc), std::move(op));
    return true;
}

bool RecordPoints(HDC hdc, int kind, const POINT* points, int count) {
    if (!StateOf(hdc)) return false;
    if (!points || count < (kind == NVXUI_PAINT_POLYGON ? 2 : 2)) return Fail(ERROR_INVALID_PARAMETER, false);
    PaintOp op = Snapshot(hdc, kind);
    op.points.assign(points, points + count);
    RecordPaint(TargetOf(hdc), std::move(op));
    return true;
}

// FillRect, FrameRect and PatBlt: a brush may also be a system colour index plus one.
bool RecordRect(HDC hdc, int kind, const RECT& rect, HGDIOBJ brush) {
    if (!StateOf(hdc)) return false;
    PaintOp op = Snapshot(hdc, kind);
    op.op.rect = rect;
    uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (brush && value <= COLOR_MENUBAR + 1) {
        op.op.hasBrush = TRUE;
        op.op.brushColor = GetSysColor(static_cast<int>(value) - 1);
    } else if (GdiObject* b = Find(brush, GdiKind::Brush)) {
        op.op.hasBrush = b->brush.lbStyle != BS_NULL;
        op.op.brushColor = b->brush.lbColor;
    } else if (kind == NVXUI_PAINT_FILL || kind == NVXUI_PAINT_FRAME) {
        return Fail(ERROR_INVALID_HANDLE, false);
    }
    RecordPaint(TargetOf(hdc), std::move(op));
    return true;
}

}  // namespace

SIZE FontCharSize(HFONT font) {
    GdiObject* o = Find(font, GdiKind::Font);
    int em = 11;
    if (o) {
        LONG h = o->font.lfHeight;
        if (h < 0) em = -h;
        else if (h > 0) em = std::max(1, MulDivRound(h, 11, 13));
    }
    return SIZE{std::max(1, MulDivRound(em, 6, 11)), std::max(1, MulDivRound(em, 13, 11))};
}

int PointsToPixels(int points) {
    return MulDivRound(points, 96, 72);
}

HFONT DefaultGuiFont() {
    return static_cast<HFONT>(Stocks().objects[DEFAULT_GUI_FONT]);
}

HDC CreateWindowDc(HWND hwnd) {
    return NewDc(hwnd, false);
}

void FillFaceName(WCHAR* dst, const WCHAR* name) {
    nvx::WCopy(dst, LF_FACESIZE, name);
}

void SetBitmapSource(HBITMAP bitmap, const std::string& source) {
    if (GdiObject* o = Find(bitmap, GdiKind::Bitmap)) o->source = source;
}

std::string BitmapSource(HBITMAP bitmap) {
    GdiObject* o = Find(bitmap, GdiKind::Bitmap);
    return o ? o->source : std::string();
}

bool BitmapSize(HBITMAP bitmap, SIZE* size) {
    GdiObject* o = Find(bitmap, GdiKind::Bitmap);
    if (!o) return false;
    *size = SIZE{o->bitmap.bmWidth, o->bitmap.bmHeight};
    return true;
}

bool IsGdiObject(HGDIOBJ object) {
    return Objects().Contains(object);
}

int GdiObjectCount() {
    int n = 0;
    Objects().ForEach([&](GdiObject* o) { n += !o->stock && o->kind != GdiKind::Dc; });
    return n;
}

}  // namespace nvxp

using nvxp::Fail;
using nvxp::GdiKind;
using nvxp::GdiObject;

extern "C" {

NVXAPI DWORD WINAPI GetSysColor(int nIndex) {
    if (nIndex < 0 || nIndex > COLOR_MENUBAR) return 0;
    return nvxp::kSysColors[nIndex];
}

NVXAPI HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    if (nIndex < 0 || nIndex > COLOR_MENUBAR) return nullptr;
    return nvxp::Stocks().sysBrushes[nIndex];
}

NVXAPI HGDIOBJ WINAPI GetStockObject(int i) {
    if (i < 0 || i > DC_PEN) return nullptr;
    return nvxp::Stocks().objects[i];
}

NVXAPI HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
    if (!lplf) return Fail(ERROR_INVALID_PARAMETER, HFONT(nullptr));
    nvxp::Stocks();
    GdiObject* o = nvxp::NewObject(GdiKind::Font);
    o->font = *lplf;
    o->font.lfFaceName[LF_FACESIZE - 1] = 0;
    return reinterpret_cast<HFONT>(o);
}

NVXAPI HFONT WINAPI CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                                DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                                DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                                LPCWSTR pszFaceName) {
    LOGFONTW lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic);
    lf.lfUnderline = static_cast<BYTE>(bUnderline);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName) nvx::WCopy(lf.lfFaceName, LF_FACESIZE, pszFaceName);
    return CreateFontIndirectW(&lf);
}

NVXAPI HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    nvxp::Stocks();
    GdiObject* o = nvxp::NewObject(GdiKind::Brush);
    o->brush = LOGBRUSH{BS_SOLID, color, 0};
    return reinterpret_cast<HBRUSH>(o);
}

NVXAPI HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
    if (!plbrush) return Fail(ERROR_INVALID_PARAMETER, HBRUSH(nullptr));
    HBRUSH b = CreateSolidBrush(plbrush->lbColor);
    nvxp::Find(b, GdiKind::Brush)->brush = *plbrush;
    return b;
}

NVXAPI HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
    nvxp::Stocks();
    GdiObject* o = nvxp::NewObject(GdiKind::Pen);
    o->pen = LOGPEN{static_cast<UINT>(iStyle), POINT{cWidth, 0}, color};
    return reinterpret_cast<HPEN>(o);
}

NVXAPI HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
    (void)lpBits;
    if (nWidth < 0 || nHeight < 0 || nPlanes > 32 || nBitCount > 32) return Fail(ERROR_INVALID_PARAMETER, HBITMAP(nullptr));
    nvxp::Stocks();
    GdiObject* o = nvxp::NewObject(GdiKind::Bitmap);
    int bits = static_cast<int>(std::max(1u, nBitCount));
    o->bitmap = BITMAP{0, nWidth, nHeight, ((nWidth * bits + 15) / 16) * 2, static_cast<WORD>(std::max(1u, nPlanes)),
                       static_cast<WORD>(bits), nullptr};
    return reinterpret_cast<HBITMAP>(o);
}

NVXAPI HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    if (!nvxp::Find(hdc, GdiKind::Dc)) return Fail(ERROR_INVALID_HANDLE, HBITMAP(nullptr));
    return CreateBitmap(cx, cy, 1, 32, nullptr);
}

NVXAPI HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    nvxp::Stocks();
    GdiObject* o = nvxp::NewObject(GdiKind::Region);
    o->region = RECT{x1, y1, x2, y2};
    return reinterpret_cast<HRGN>(o);
}

// Stock objects are never freed (and deleting them succeeds).
NVXAPI BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    GdiObject* o = nvxp::Objects().Find(ho);
    if (!o || o->kind == GdiKind::Dc) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (o->stock) return TRUE;
    if (o->kind == GdiKind::Bitmap) nvxp::ForgetBitmapRecord(ho);
    delete nvxp::Objects().Remove(ho);
    return TRUE;
}

NVXAPI DWORD WINAPI GetObjectType(HGDIOBJ h) {
    GdiObject* o = nvxp::Objects().Find(h);
    if (!o) return Fail(ERROR_INVALID_HANDLE, DWORD(0));
    switch (o->kind) {
    case GdiKind::Font: return OBJ_FONT;
    case GdiKind::Brush: return OBJ_BRUSH;
    case GdiKind::Pen: return OBJ_PEN;
    case GdiKind::Bitmap: return OBJ_BITMAP;
    case GdiKind::Region: return 8;  // OBJ_REGION
    case GdiKind::Palette: return OBJ_PAL;
    case GdiKind::Dc: return o->memory ? OBJ_MEMDC : OBJ_DC;
    }
    return 0;
}

// Answers the size of the object's description when pv is null, else copies it.
NVXAPI int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    GdiObject* o = nvxp::Objects().Find(h);
    if (!o) return Fail(ERROR_INVALID_HANDLE, 0);
    const void* src = nullptr;
    int size = 0;
    switch (o->kind) {
    case GdiKind::Font: src = &o->font; size = sizeof(LOGFONTW); break;
    case GdiKind::Brush: src = &o->brush; size = sizeof(LOGBRUSH); break;
    case GdiKind::Pen: src = &o->pen; size = sizeof(LOGPEN); break;
    case GdiKind::Bitmap: src = &o->bitmap; size = sizeof(BITMAP); break;
    default: return 0;
    }
    if (!pv) return size;
    if (c <= 0) return 0;
    int n = std::min(c, size);
    memcpy(pv, src, static_cast<size_t>(n));
    return n;
}

NVXAPI HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    GdiObject* o = nvxp::Objects().Find(h);
    if (!s || !o) return Fail(ERROR_INVALID_HANDLE, HGDIOBJ(nullptr));
    HGDIOBJ old = nullptr;
    switch (o->kind) {
    case GdiKind::Font: old = s->font; s->font = h; break;
    case GdiKind::Brush: old = s->brush; s->brush = h; break;
    case GdiKind::Pen: old = s->pen; s->pen = h; break;
    case GdiKind::Bitmap: old = s->bitmap; s->bitmap = h; break;
    case GdiKind::Region: return reinterpret_cast<HGDIOBJ>(uintptr_t(2));  // SIMPLEREGION
    default: return Fail(ERROR_INVALID_PARAMETER, HGDIOBJ(nullptr));
    }
    return old;
}

NVXAPI HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s) return nullptr;
    switch (type) {
    case OBJ_FONT: return s->font;
    case OBJ_BRUSH: return s->brush;
    case OBJ_PEN: return s->pen;
    case OBJ_BITMAP: return s->bitmap;
    default: return nullptr;
    }
}

NVXAPI BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
    if (!nvxp::StateOf(hdc)) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!psizl || c < 0 || (c > 0 && !lpString)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (const GdiObject* font = nvxp::Find(nvxp::StateOf(hdc)->font, GdiKind::Font))
        if (nvxp::RealTextExtent(font->font, lpString, c, psizl)) return TRUE;
    SIZE ch = nvxp::CharSizeOfDc(hdc);
    psizl->cx = ch.cx * c;
    psizl->cy = ch.cy;
    return TRUE;
}

NVXAPI DWORD WINAPI GetGlyphOutlineW(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm, DWORD cjBuffer,
                                     LPVOID pvBuffer, const MAT2* lpmat2) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s) return Fail(ERROR_INVALID_HANDLE, GDI_ERROR);
    if (!lpgm || !lpmat2 || uChar > 0xFFFF) return Fail(ERROR_INVALID_PARAMETER, GDI_ERROR);
    if (fuFormat != GGO_METRICS || cjBuffer != 0 || pvBuffer) return Fail(ERROR_NOT_SUPPORTED, GDI_ERROR);
    const GdiObject* font = nvxp::Find(s->font, GdiKind::Font);
    if (!font || !nvxp::RealGlyphMetrics(font->font, static_cast<WCHAR>(uChar), lpgm))
        return Fail(ERROR_NOT_SUPPORTED, GDI_ERROR);
    return 1;
}

NVXAPI BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR lpszString, int cchString, int nMaxExtent,
                                         LPINT lpnFit, LPINT lpnDx, LPSIZE lpSize) {
    if (!nvxp::StateOf(hdc)) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!lpSize || cchString < 0 || (cchString > 0 && !lpszString)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (const GdiObject* font = nvxp::Find(nvxp::StateOf(hdc)->font, GdiKind::Font))
        if (nvxp::RealTextExtent(font->font, lpszString, cchString, lpSize, lpnFit ? nMaxExtent : -1, lpnFit, lpnDx))
            return TRUE;
    SIZE ch = nvxp::CharSizeOfDc(hdc);
    if (lpnFit) *lpnFit = nMaxExtent < 0 ? cchString : std::min(cchString, nMaxExtent / ch.cx);
    for (int i = 0; lpnDx && i < cchString; ++i) lpnDx[i] = (i + 1) * ch.cx;
    lpSize->cx = ch.cx * cchString;
    lpSize->cy = ch.cy;
    return TRUE;
}

NVXAPI BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s) return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (!lptm) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    SIZE ch = nvxp::CharSizeOfDc(hdc);
    GdiObject* font = nvxp::Find(s->font, GdiKind::Font);
    *lptm = TEXTMETRICW{};
    lptm->tmHeight = ch.cy;
    lptm->tmDescent = nvxp::MulDivRound(ch.cy, 3, 13);
    lptm->tmAscent = ch.cy - lptm->tmDescent;
    lptm->tmInternalLeading = ch.cy - nvxp::MulDivRound(ch.cy, 11, 13);
    lptm->tmAveCharWidth = ch.cx;
    lptm->tmMaxCharWidth = ch.cx * 2;
    lptm->tmWeight = font && font->font.lfWeight ? font->font.lfWeight : FW_NORMAL;
    lptm->tmDigitizedAspectX = 96;
    lptm->tmDigitizedAspectY = 96;
    lptm->tmFirstChar = 0x20;
    lptm->tmLastChar = 0xFFFC;
    lptm->tmDefaultChar = 0x1F;
    lptm->tmBreakChar = 0x20;
    lptm->tmItalic = font ? font->font.lfItalic : 0;
    lptm->tmUnderlined = font ? font->font.lfUnderline : 0;
    lptm->tmStruckOut = font ? font->font.lfStrikeOut : 0;
    lptm->tmPitchAndFamily = VARIABLE_PITCH | FF_SWISS | 0x04;  // TMPF_TRUETYPE
    lptm->tmCharSet = font ? font->font.lfCharSet : DEFAULT_CHARSET;
    if (font) nvxp::RealTextMetrics(font->font, lptm);
    return TRUE;
}

NVXAPI int WINAPI GetTextFaceW(HDC hdc, int c, LPWSTR lpName) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s) return Fail(ERROR_INVALID_HANDLE, 0);
    GdiObject* font = nvxp::Find(s->font, GdiKind::Font);
    const WCHAR* face = font ? font->font.lfFaceName : WL("System");
    if (!lpName) return static_cast<int>(nvx::WLen(face)) + 1;
    if (c <= 0) return 0;
    return static_cast<int>(nvx::WCopy(lpName, static_cast<size_t>(c), face)) + 1;
}

// The display (and every DC here): 96 dots per inch, 1920x1080, 32 bits.
NVXAPI int WINAPI GetDeviceCaps(HDC hdc, int index) {
    if (!nvxp::StateOf(hdc)) return 0;
    switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return 508;
    case VERTSIZE: return 286;
    case HORZRES: return 1920;
    case VERTRES: return 1080;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    default: return 0;
    }
}

NVXAPI HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !nvxp::StateOf(hdc)) return Fail(ERROR_INVALID_HANDLE, HDC(nullptr));
    nvxp::Stocks();
    return nvxp::NewDc(nullptr, true);
}

NVXAPI HDC WINAPI CreateDCW(LPCWSTR pwszDriver, LPCWSTR pwszDevice, LPCWSTR pszPort, const void* pdm) {
    (void)pwszDriver;
    (void)pwszDevice;
    (void)pszPort;
    (void)pdm;
    nvxp::Stocks();
    return nvxp::NewDc(nullptr, false);
}

NVXAPI HDC WINAPI CreateICW(LPCWSTR pszDriver, LPCWSTR pszDevice, LPCWSTR pszPort, const void* pdm) {
    return CreateDCW(pszDriver, pszDevice, pszPort, pdm);
}

NVXAPI BOOL WINAPI DeleteDC(HDC hdc) {
    if (!nvxp::Find(hdc, GdiKind::Dc)) return Fail(ERROR_INVALID_HANDLE, FALSE);
    delete nvxp::Objects().Remove(hdc);
    return TRUE;
}

// Answers 1 when the DC was released, 0 when it was not a DC of this window.
NVXAPI int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    GdiObject* dc = nvxp::Find(hDC, GdiKind::Dc);
    if (!dc || dc->memory || dc->window != hWnd) return 0;
    delete nvxp::Objects().Remove(hDC);
    return 1;
}

NVXAPI HWND WINAPI WindowFromDC(HDC hDC) {
    GdiObject* dc = nvxp::Find(hDC, GdiKind::Dc);
    return dc ? dc->window : nullptr;
}

NVXAPI int WINAPI SetBkMode(HDC hdc, int mode) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s || (mode != TRANSPARENT && mode != OPAQUE)) return Fail(ERROR_INVALID_PARAMETER, 0);
    return std::exchange(s->bkMode, mode);
}

NVXAPI int WINAPI GetBkMode(HDC hdc) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    return s ? s->bkMode : 0;
}

NVXAPI COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    return s ? std::exchange(s->bkColor, color) : CLR_INVALID;
}

NVXAPI COLORREF WINAPI GetBkColor(HDC hdc) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    return s ? s->bkColor : CLR_INVALID;
}

NVXAPI COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    return s ? std::exchange(s->textColor, color) : CLR_INVALID;
}

NVXAPI COLORREF WINAPI GetTextColor(HDC hdc) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    return s ? s->textColor : CLR_INVALID;
}

NVXAPI UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    return s ? std::exchange(s->textAlign, align) : GDI_ERROR;
}

NVXAPI int WINAPI SetMapMode(HDC hdc, int iMode) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    return s ? std::exchange(s->mapMode, iMode) : 0;
}

NVXAPI int WINAPI SaveDC(HDC hdc) {
    GdiObject* dc = nvxp::Find(hdc, GdiKind::Dc);
    if (!dc) return 0;
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

// Restores save level nSavedDC (or, when negative, that many levels back).
NVXAPI BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
    GdiObject* dc = nvxp::Find(hdc, GdiKind::Dc);
    if (!dc) return FALSE;
    int level = nSavedDC < 0 ? static_cast<int>(dc->saved.size()) + nSavedDC + 1 : nSavedDC;
    if (level < 1 || level > static_cast<int>(dc->saved.size())) return FALSE;
    dc->state = dc->saved[static_cast<size_t>(level - 1)];
    dc->saved.resize(static_cast<size_t>(level - 1));
    return TRUE;
}

// ---- Drawing: nothing is drawn; what a window draws is recorded (gdi32/gdi_record.cpp).

NVXAPI BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
    return ExtTextOutW(hdc, x, y, 0, nullptr, lpString, c > 0 ? static_cast<UINT>(c) : 0, nullptr);
}
NVXAPI BOOL WINAPI ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c,
                               const INT* lpDx) {
    (void)lpDx;
    if (!nvxp::StateOf(hdc)) return FALSE;
    if (c > 0 && !lpString) return Fail(ERROR_INVALID_PARAMETER, FALSE);
    if (lprect && (options & ETO_OPAQUE)) {
        nvxp::PaintOp fill = nvxp::Snapshot(hdc, NVXUI_PAINT_FILL);
        fill.op.rect = *lprect;
        fill.op.hasBrush = TRUE;
        fill.op.brushColor = fill.op.bkColor;
        nvxp::RecordPaint(nvxp::TargetOf(hdc), std::move(fill));
    }
    if (c == 0) return TRUE;
    nvxp::PaintOp op = nvxp::Snapshot(hdc, NVXUI_PAINT_TEXTOUT);
    op.op.rect = RECT{x, y, x, y};
    op.op.flags = nvxp::StateOf(hdc)->textAlign;
    if (lprect && (options & ETO_CLIPPED)) nvxp::AddDcClip(op.op, *lprect);
    op.text.assign(lpString, c);
    nvxp::RecordPaint(nvxp::TargetOf(hdc), std::move(op));
    return TRUE;
}
NVXAPI BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    return nvxp::RecordShape(hdc, NVXUI_PAINT_RECT, RECT{left, top, right, bottom});
}
NVXAPI BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    return nvxp::RecordShape(hdc, NVXUI_PAINT_ELLIPSE, RECT{left, top, right, bottom});
}
NVXAPI BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s) return FALSE;
    if (lppt) *lppt = s->position;
    s->position = POINT{x, y};
    return TRUE;
}
NVXAPI BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s) return FALSE;
    RECT line{s->position.x, s->position.y, x, y};
    s->position = POINT{x, y};
    return nvxp::RecordShape(hdc, NVXUI_PAINT_LINE, line);
}
NVXAPI BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
    return nvxp::RecordPoints(hdc, NVXUI_PAINT_POLYLINE, apt, cpt);
}
NVXAPI BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
    return nvxp::RecordPoints(hdc, NVXUI_PAINT_POLYGON, apt, cpt);
}
NVXAPI BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    return StretchBlt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}
NVXAPI BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                              int wSrc, int hSrc, DWORD rop) {
    if (!nvxp::StateOf(hdcDest)) return FALSE;
    GdiObject* src = hdcSrc ? nvxp::Find(hdcSrc, GdiKind::Dc) : nullptr;
    if (!src) return PatBlt(hdcDest, xDest, yDest, wDest, hDest, rop);
    if (src->memory && src->state.bitmap != nvxp::Stocks().monoBitmap) {
        nvxp::PaintOp dc = nvxp::Snapshot(hdcDest, NVXUI_PAINT_IMAGE);
        nvxp::RecordBitmapCopy(nvxp::TargetOf(hdcDest), src->state.bitmap,
                               RECT{xSrc, ySrc, xSrc + wSrc, ySrc + hSrc},
                               RECT{xDest, yDest, xDest + wDest, yDest + hDest}, dc.op);
    }
    return TRUE;
}
NVXAPI BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s) return FALSE;
    RECT r{x, y, x + w, y + h};
    if (rop == DSTINVERT || rop == PATINVERT) return nvxp::RecordRect(hdc, NVXUI_PAINT_INVERT, r, nullptr);
    if (rop == BLACKNESS) return nvxp::RecordRect(hdc, NVXUI_PAINT_FILL, r, nvxp::Stocks().objects[BLACK_BRUSH]);
    if (rop == WHITENESS) return nvxp::RecordRect(hdc, NVXUI_PAINT_FILL, r, nvxp::Stocks().objects[WHITE_BRUSH]);
    return nvxp::RecordRect(hdc, NVXUI_PAINT_FILL, r, s->brush);
}
NVXAPI COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    if (!nvxp::StateOf(hdc)) return CLR_INVALID;
    nvxp::PaintOp op = nvxp::Snapshot(hdc, NVXUI_PAINT_PIXEL);
    op.op.rect = RECT{x, y, x + 1, y + 1};
    op.op.textColor = color;
    nvxp::RecordPaint(nvxp::TargetOf(hdc), std::move(op));
    return color;
}
NVXAPI COLORREF WINAPI GetPixel(HDC hdc, int, int) {
    return nvxp::StateOf(hdc) ? 0xFFFFFF : CLR_INVALID;
}
// A null region removes the clip; a region clips to its rectangle.
NVXAPI int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s) return 0;
    if (!hrgn) {
        s->hasClip = false;
        return 2;  // SIMPLEREGION
    }
    GdiObject* region = nvxp::Find(hrgn, GdiKind::Region);
    if (!region) return 0;  // ERROR
    s->hasClip = true;
    s->clip = region->region;
    return IsRectEmpty(&s->clip) ? 1 : 2;  // NULLREGION, SIMPLEREGION
}
NVXAPI int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    nvxp::DcState* s = nvxp::StateOf(hdc);
    if (!s) return 0;
    RECT r{left, top, right, bottom};
    if (s->hasClip) {
        RECT out{};
        IntersectRect(&out, &s->clip, &r);
        r = out;
    }
    s->hasClip = true;
    s->clip = r;
    return IsRectEmpty(&r) ? 1 : 2;
}
NVXAPI int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    if (!nvxp::StateOf(hDC) || !lprc) return 0;
    return nvxp::RecordRect(hDC, NVXUI_PAINT_FILL, *lprc, hbr) ? 1 : 0;
}
NVXAPI int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    if (!nvxp::StateOf(hDC) || !lprc) return 0;
    return nvxp::RecordRect(hDC, NVXUI_PAINT_FRAME, *lprc, hbr) ? 1 : 0;
}
NVXAPI BOOL WINAPI InvertRect(HDC hDC, const RECT* lprc) {
    return nvxp::StateOf(hDC) && lprc && nvxp::RecordRect(hDC, NVXUI_PAINT_INVERT, *lprc, nullptr);
}
NVXAPI BOOL WINAPI DrawFocusRect(HDC hDC, const RECT* lprc) {
    return nvxp::StateOf(hDC) && lprc && nvxp::RecordRect(hDC, NVXUI_PAINT_FOCUS, *lprc, nullptr);
}
NVXAPI BOOL WINAPI DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
    if (!nvxp::StateOf(hdc) || !qrc) return FALSE;
    nvxp::PaintOp op = nvxp::Snapshot(hdc, NVXUI_PAINT_EDGE);
    op.op.rect = *qrc;
    op.op.flags = (edge & 0xFFFF) | (grfFlags << 16);
    nvxp::RecordPaint(nvxp::TargetOf(hdc), std::move(op));
    return TRUE;
}
NVXAPI BOOL WINAPI DrawIcon(HDC hDC, int x, int y, HICON hIcon) {
    return DrawIconEx(hDC, x, y, hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}
NVXAPI BOOL WINAPI DrawIconEx(HDC hdc, int x, int y, HICON hIcon, int cx, int cy, UINT, HBRUSH, UINT) {
    if (!nvxp::StateOf(hdc) || !hIcon) return FALSE;
    SIZE size{cx, cy};
    SIZE own{32, 32};
    nvxp::ImageSize(hIcon, &own);
    if (size.cx <= 0) size.cx = own.cx;
    if (size.cy <= 0) size.cy = own.cy;
    nvxp::PaintOp op = nvxp::Snapshot(hdc, NVXUI_PAINT_IMAGE);
    op.op.rect = RECT{x, y, x + size.cx, y + size.cy};
    snprintf(op.op.source, sizeof op.op.source, "%s", nvxp::DescribeImage(hIcon).c_str());
    nvxp::RecordPaint(nvxp::TargetOf(hdc), std::move(op));
    return TRUE;
}

// Measures (DT_CALCRECT) or records the text; answers the text height.
NVXAPI int WINAPI DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    if (!nvxp::StateOf(hdc) || !lprc) return 0;
    if (!lpchText) return Fail(ERROR_INVALID_PARAMETER, 0);
    nvx::WStringView text(lpchText, cchText < 0 ? nvx::WLen(lpchText) : static_cast<size_t>(cchText));
    SIZE ch = nvxp::CharSizeOfDc(hdc);
    int width = std::max(1, static_cast<int>((lprc->right - lprc->left) / ch.cx));
    std::vector<nvx::WString> lines = nvxp::WrapLines(text, format, width);
    int height = static_cast<int>(lines.size()) * ch.cy;
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const nvx::WString& line : lines) widest = std::max(widest, nvxp::LineChars(line, format));
        lprc->right = lprc->left + widest * ch.cx;  // shrinks to the text, widens for a long word
        lprc->bottom = lprc->top + height;
    } else {
        nvxp::PaintOp op = nvxp::Snapshot(hdc, NVXUI_PAINT_DRAWTEXT);
        op.op.rect = *lprc;
        op.op.flags = format;
        op.text.assign(text.substr(0, 8192));
        nvxp::RecordPaint(nvxp::TargetOf(hdc), std::move(op));
    }
    return height;
}

}  // extern "C"
