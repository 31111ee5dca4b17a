// The STATIC class: text, icons (SS_ICON, loaded from the creating module's
// resources by the template's resource name), bitmaps (SS_BITMAP), frames and
// rectangles.  With SS_NOTIFY it reports clicks (STN_CLICKED, STN_DBLCLK) and
// enabling (STN_ENABLE, STN_DISABLE).
#include <string>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

struct StaticData : ControlData {
    HANDLE image = nullptr;
    UINT imageType = IMAGE_ICON;
    bool ownsImage = false;  // a bitmap the control loaded itself
    HFONT font = nullptr;
};

DWORD TypeOf(HWND hwnd) {
    return StyleOf(hwnd) & SS_TYPEMASK;
}

// A template passes a resource ordinal either as MAKEINTRESOURCE or as the
// string {0xFFFF, id}.
LPCWSTR ResourceName(LPCWSTR name) {
    if (name && !IS_INTRESOURCE(name) && name[0] == 0xFFFF) return MAKEINTRESOURCEW(name[1]);
    return name;
}

HANDLE LoadImageFor(HINSTANCE instance, LPCWSTR name, DWORD type, DWORD style) {
    name = ResourceName(name);
    if (!name || (!IS_INTRESOURCE(name) && !name[0])) return nullptr;
    if (type == SS_ICON) {
        HANDLE icon = LoadImageW(instance, name, IMAGE_ICON, 0, 0,
                                 LR_SHARED | ((style & SS_REALSIZEIMAGE) ? 0 : LR_DEFAULTSIZE));
        if (!icon) icon = LoadImageW(nullptr, name, IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE);
        return icon;
    }
    return LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0);
}

const char* KindName(DWORD type) {
    switch (type) {
    case SS_LEFT: return "left";
    case SS_CENTER: return "center";
    case SS_RIGHT: return "right";
    case SS_ICON: return "icon";
    case SS_SIMPLE: return "simple";
    case SS_LEFTNOWORDWRAP: return "left";
    case SS_OWNERDRAW: return "ownerdraw";
    case SS_BITMAP: return "bitmap";
    case SS_ENHMETAFILE: return "metafile";
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
    case SS_ETCHEDFRAME: return "etched";
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME: return "frame";
    default: return "rect";
    }
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HWND parent = GetParent(hwnd);
    if (parent && TypeOf(hwnd) == SS_OWNERDRAW) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_STATIC;
        dis.CtlID = static_cast<UINT>(IdOf(hwnd));
        dis.itemAction = ODA_DRAWENTIRE;
        if (StyleOf(hwnd) & WS_DISABLED) dis.itemState = ODS_DISABLED;
        dis.hwndItem = hwnd;
        dis.hDC = dc;
        GetClientRect(hwnd, &dis.rcItem);
        Send(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    } else if (parent) {
        Send(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
    }
    EndPaint(hwnd, &ps);
}

// An icon or bitmap static takes the size of its image (unless
// SS_REALSIZECONTROL or SS_CENTERIMAGE keep the template's size).
void FitImage(HWND hwnd, HANDLE image) {
    DWORD style = StyleOf(hwnd);
    SIZE size;
    if (!image || (style & (SS_REALSIZECONTROL | SS_CENTERIMAGE)) || !ImageSize(image, &size)) return;
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOZORDER);
}

// Sets the image of a static of the matching type; answers the previous one.
HANDLE SetImage(HWND hwnd, StaticData* s, UINT imageType, HANDLE image) {
    DWORD type = TypeOf(hwnd);
    bool fits = (imageType == IMAGE_ICON || imageType == IMAGE_CURSOR) ? type == SS_ICON : type == SS_BITMAP;
    if (!fits) return nullptr;
    HANDLE old = s->image;
    s->image = image;
    s->imageType = imageType;
    s->ownsImage = false;
    FitImage(hwnd, image);
    InvalidateRect(hwnd, nullptr, TRUE);
    return old;
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        DWORD type = static_cast<DWORD>(cs->style) & SS_TYPEMASK;
        if ((cs->style & SS_SUNKEN) || type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT)
            SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_STATICEDGE);
        auto* s = AttachControl(hwnd, std::make_unique<StaticData>());
        if (type == SS_ICON || type == SS_BITMAP) {
            s->image = LoadImageFor(cs->hInstance, cs->lpszName, type, static_cast<DWORD>(cs->style));
            s->imageType = type == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP;
            s->ownsImage = type == SS_BITMAP && s->image;
            return DefWindowProcW(hwnd, msg, wParam, lParam);  // an ordinal name leaves the text empty
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    auto* s = ControlOf<StaticData>(hwnd);
    if (!s) return DefWindowProcW(hwnd, msg, wParam, lParam);
    DWORD type = TypeOf(hwnd);
    DWORD style = StyleOf(hwnd);
    switch (msg) {
    case WM_CREATE:
        if (type == SS_ICON || type == SS_BITMAP) FitImage(hwnd, s->image);
        return 0;
    case WM_NCDESTROY:
        // Bitmaps a static loaded itself are its own.
        if (s->image && s->ownsImage) DeleteObject(s->image);
        s->image = nullptr;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_NCHITTEST:
        return (style & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_ENABLE:
        if (style & SS_NOTIFY) NotifyCommand(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
        if (style & SS_NOTIFY) NotifyCommand(hwnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (style & SS_NOTIFY) NotifyCommand(hwnd, STN_DBLCLK);
        return 0;
    case WM_SETTEXT:
        if (type == SS_ICON || type == SS_BITMAP) {
            HANDLE image = LoadImageFor(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE)),
                                        reinterpret_cast<LPCWSTR>(lParam), type, style);
            if (!image) return FALSE;
            bool ownedOld = s->ownsImage;
            HANDLE old = SetImage(hwnd, s, type == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP, image);
            if (old && ownedOld) DeleteObject(old);
            s->ownsImage = type == SS_BITMAP;
            return TRUE;
        }
        DefWindowProcW(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case STM_SETICON:
        return reinterpret_cast<LRESULT>(SetImage(hwnd, s, IMAGE_ICON, reinterpret_cast<HANDLE>(wParam)));
    case STM_GETICON:
        return type == SS_ICON ? reinterpret_cast<LRESULT>(s->image) : 0;
    case STM_SETIMAGE:
        return reinterpret_cast<LRESULT>(SetImage(hwnd, s, static_cast<UINT>(wParam), reinterpret_cast<HANDLE>(lParam)));
    case STM_GETIMAGE:
        if (wParam == IMAGE_ICON || wParam == IMAGE_CURSOR) return type == SS_ICON ? reinterpret_cast<LRESULT>(s->image) : 0;
        if (wParam == IMAGE_BITMAP) return type == SS_BITMAP ? reinterpret_cast<LRESULT>(s->image) : 0;
        return 0;
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!out) return 0;
        *out += ' ';
        *out += KindName(type);
        if (s->image) *out += " image=\"" + DescribeImage(s->image) + "\"";
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
