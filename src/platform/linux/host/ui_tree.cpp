// A readable rendering of a window tree, one window per line:
//
//   <indent>#<id> <Class> "<text>"<kind and state><flags> du(x,y,w,h) px(x,y,w,h)
//
// Children are indented by two spaces under their parent, then the windows the
// window owns (tooltips, modeless dialogs) marked "owned".  Item lists follow
// their control, one "- item" per line ("* item" for the selection).  Flags:
// focus, disabled, hidden.  px is the rectangle in the parent's client area
// (the screen for top-level windows); du is the same in dialog units of the
// nearest dialog, relative to its client area.  Handles never appear, so the
// text is stable from run to run.
#include <cstring>
#include <string>

#include "platform/linux/user32/user_internal.h"
#include "platform/ui_host.h"

namespace nvxp {
namespace {

std::string Number(long v) {
    return std::to_string(v);
}

std::string Rect4(const char* tag, long x, long y, long w, long h) {
    return std::string(tag) + "(" + Number(x) + "," + Number(y) + "," + Number(w) + "," + Number(h) + ")";
}

int ToDu(int px, int base, int per) {
    return base ? MulDivRound(px, per, base) : px;
}

std::string Geometry(HWND hwnd) {
    RECT screen;
    GetWindowRect(hwnd, &screen);
    long w = screen.right - screen.left;
    long h = screen.bottom - screen.top;
    HWND parent = (StyleOf(hwnd) & WS_CHILD) ? GetParent(hwnd) : nullptr;
    POINT pos{screen.left, screen.top};
    if (parent) ScreenToClient(parent, &pos);
    std::string out;
    HWND dialog = parent ? DialogAncestor(parent) : nullptr;
    if (dialog) {
        SIZE base = DialogBaseUnitsOf(dialog);
        POINT rel{screen.left, screen.top};
        ScreenToClient(dialog, &rel);
        out += Rect4("du", ToDu(rel.x, base.cx, 4), ToDu(rel.y, base.cy, 8), ToDu(static_cast<int>(w), base.cx, 4),
                     ToDu(static_cast<int>(h), base.cy, 8)) +
               " ";
    } else if (DialogAncestor(hwnd) == hwnd) {
        SIZE base = DialogBaseUnitsOf(hwnd);
        RECT client;
        GetClientRect(hwnd, &client);
        out += "du(" + Number(ToDu(client.right, base.cx, 4)) + "x" + Number(ToDu(client.bottom, base.cy, 8)) + ") ";
    }
    return out + Rect4("px", pos.x, pos.y, w, h);
}

bool Builtin(HWND hwnd) {
    UiLock lock(UiMutex());
    Window* w = FindWindowLocked(hwnd);
    return w && w->cls && w->cls->builtin && w->cls->proc != DefDlgProcW && w->cls->proc != DesktopProc;
}

std::string VisibleText(HWND hwnd) {
    WCHAR buffer[1024] = {};
    GetWindowTextW(hwnd, buffer, 1024);
    nvx::WString text(buffer);
    if (IsClass(hwnd, u"Edit") && (StyleOf(hwnd) & ES_PASSWORD)) {
        WCHAR mask = static_cast<WCHAR>(Send(hwnd, EM_GETPASSWORDCHAR));
        text.assign(text.size(), mask ? mask : WCHAR('*'));
    }
    std::string out;
    AppendQuoted(out, text);
    return out;
}

void Render(HWND hwnd, int depth, bool owned, std::string& out) {
    std::string indent(static_cast<size_t>(depth) * 2, ' ');
    std::string line = indent;
    if (owned) line += "owned ";
    DWORD style = StyleOf(hwnd);
    line += (style & WS_CHILD) ? "#" + std::to_string(GetDlgCtrlID(hwnd)) + " " : std::string("window ");
    line += nvx::Utf8FromW(ClassNameOf(hwnd)) + " " + VisibleText(hwnd);
    if (Builtin(hwnd)) {
        std::string details;
        WNDPROC proc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
        proc(hwnd, kDescribeMessage, 0, reinterpret_cast<LPARAM>(&details));
        for (size_t at = details.find('\n'); at != std::string::npos; at = details.find('\n', at + 1))
            details.insert(at + 1, indent);
        size_t cut = details.find('\n');
        line += details.substr(0, cut);
        std::string items = cut == std::string::npos ? std::string() : details.substr(cut);
        if (int id = DialogResourceId(hwnd)) line += " template=" + std::to_string(id);
        if (GetFocus() == hwnd) line += " focus";
        if (style & WS_DISABLED) line += " disabled";
        if (!(style & WS_VISIBLE)) line += " hidden";
        out += line + " " + Geometry(hwnd) + items + "\n";
    } else {
        if (int id = DialogResourceId(hwnd)) line += " template=" + std::to_string(id);
        if (GetFocus() == hwnd) line += " focus";
        if (style & WS_DISABLED) line += " disabled";
        if (!(style & WS_VISIBLE)) line += " hidden";
        out += line + " " + Geometry(hwnd) + "\n";
    }
    for (HWND child : ChildHandles(hwnd)) Render(child, depth + 1, false, out);
    for (HWND top : ChildHandles(DesktopHandle()))
        if (GetWindow(top, GW_OWNER) == hwnd) Render(top, depth + 1, true, out);
}

}  // namespace
}  // namespace nvxp

extern "C" {

NVXAPI int NvxUi_RenderTree(HWND root, char* buffer, int size) {
    std::string text;
    if (!nvxp::CheckWindow(root)) return 0;
    nvxp::Render(root, 0, false, text);
    if (buffer && size > 0) {
        size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
        memcpy(buffer, text.data(), n);
        buffer[n] = 0;
    }
    return static_cast<int>(text.size());
}

}  // extern "C"
