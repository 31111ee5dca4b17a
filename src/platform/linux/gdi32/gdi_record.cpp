// The record of what windows draw: nothing reaches a screen, but each drawing
// call on a window's DC is kept (with the pen, brush, colours and font it used)
// so that a host can read it back (NvxUi_GetPaintOp) and draw the window itself.
// Drawing into a memory DC is kept with the DC's bitmap and copied into a
// window's record when the bitmap is blitted there.
#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

// A window that draws on every timer through GetDC must not grow without bound.
constexpr size_t kMaxOpsPerTarget = 20000;

struct Records {
    std::mutex mutex;
    std::map<HWND, std::vector<PaintOp>> windows;
    std::map<HGDIOBJ, std::vector<PaintOp>> bitmaps;
};

Records& Store() {
    static auto* records = new Records;
    return *records;
}

void Append(std::vector<PaintOp>& list, PaintOp op) {
    if (list.size() < kMaxOpsPerTarget) list.push_back(std::move(op));
}

std::vector<PaintOp>* ListOf(Records& r, const PaintTarget& target) {
    if (target.window) return &r.windows[target.window];
    if (target.bitmap) return &r.bitmaps[target.bitmap];
    return nullptr;
}

// Maps a coordinate from the source rectangle of a blit into its destination.
LONG MapX(LONG x, const RECT& from, const RECT& to) {
    LONG fw = from.right - from.left, tw = to.right - to.left;
    if (fw == 0) return to.left;
    return to.left + static_cast<LONG>((static_cast<long long>(x - from.left) * tw) / fw);
}
LONG MapY(LONG y, const RECT& from, const RECT& to) {
    LONG fh = from.bottom - from.top, th = to.bottom - to.top;
    if (fh == 0) return to.top;
    return to.top + static_cast<LONG>((static_cast<long long>(y - from.top) * th) / fh);
}
RECT MapRect(const RECT& r, const RECT& from, const RECT& to) {
    return RECT{MapX(r.left, from, to), MapY(r.top, from, to), MapX(r.right, from, to), MapY(r.bottom, from, to)};
}

// Limits an operation's clip to `clip`.
void AddClip(NvxUiPaintOp& op, const RECT& clip) {
    if (!op.hasClip) {
        op.clip = clip;
    } else {
        RECT out{};
        IntersectRect(&out, &op.clip, &clip);  // empty when they do not meet: nothing shows
        op.clip = out;
    }
    op.hasClip = TRUE;
}

}  // namespace

void RecordPaint(const PaintTarget& target, PaintOp op) {
    Records& r = Store();
    std::lock_guard<std::mutex> lock(r.mutex);
    op.op.pointCount = static_cast<int>(op.points.size());
    op.op.textLength = static_cast<int>(op.text.size());
    if (std::vector<PaintOp>* list = ListOf(r, target)) Append(*list, std::move(op));
}

void RestartPaintRecord(HWND window) {
    Records& r = Store();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.windows[window].clear();
}

void ForgetPaintRecord(HWND window) {
    Records& r = Store();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.windows.erase(window);
}

void ForgetBitmapRecord(HGDIOBJ bitmap) {
    Records& r = Store();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.bitmaps.erase(bitmap);
}

void RecordBitmapCopy(const PaintTarget& target, HGDIOBJ bitmap, const RECT& from, const RECT& to,
                      const NvxUiPaintOp& dc) {
    Records& r = Store();
    std::lock_guard<std::mutex> lock(r.mutex);
    std::vector<PaintOp>* list = ListOf(r, target);
    if (!list || (target.bitmap && target.bitmap == bitmap)) return;
    auto found = r.bitmaps.find(bitmap);
    if (found == r.bitmaps.end() || found->second.empty()) {
        std::string source = BitmapSource(static_cast<HBITMAP>(bitmap));
        if (source.empty()) return;  // a blank bitmap puts nothing recorded
        PaintOp op;
        op.op.kind = NVXUI_PAINT_IMAGE;
        op.op.rect = to;
        op.op.hasClip = dc.hasClip;
        op.op.clip = dc.clip;
        AddClip(op.op, to);
        std::string text = "bitmap " + source;
        snprintf(op.op.source, sizeof op.op.source, "%s", text.c_str());
        Append(*list, std::move(op));
        return;
    }
    std::vector<PaintOp> copies = found->second;  // the list may be the same map's
    for (PaintOp& op : copies) {
        op.op.rect = MapRect(op.op.rect, from, to);
        for (POINT& p : op.points) p = POINT{MapX(p.x, from, to), MapY(p.y, from, to)};
        if (op.op.hasClip) op.op.clip = MapRect(op.op.clip, from, to);
        AddClip(op.op, to);
        if (dc.hasClip) AddClip(op.op, dc.clip);
        Append(*list, std::move(op));
    }
}

}  // namespace nvxp

extern "C" {

NVXAPI int NvxUi_PaintOpCount(HWND window) {
    nvxp::Records& r = nvxp::Store();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto found = r.windows.find(window);
    return found == r.windows.end() ? 0 : static_cast<int>(found->second.size());
}

NVXAPI BOOL NvxUi_GetPaintOp(HWND window, int index, NvxUiPaintOp* op, POINT* points, int maxPoints, LPWSTR text,
                             int textSize) {
    nvxp::Records& r = nvxp::Store();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto found = r.windows.find(window);
    if (found == r.windows.end() || index < 0 || static_cast<size_t>(index) >= found->second.size()) return FALSE;
    const nvxp::PaintOp& rec = found->second[static_cast<size_t>(index)];
    if (op) *op = rec.op;
    if (points && maxPoints > 0) {
        size_t n = std::min(rec.points.size(), static_cast<size_t>(maxPoints));
        std::copy_n(rec.points.begin(), n, points);
    }
    if (text && textSize > 0) nvx::WCopy(text, static_cast<size_t>(textSize), rec.text.c_str());
    return TRUE;
}

NVXAPI int NvxUi_DescribeImage(HANDLE image, char* buffer, int size) {
    std::string text = nvxp::DescribeImage(image);
    if (buffer && size > 0) snprintf(buffer, static_cast<size_t>(size), "%s", text.c_str());
    return static_cast<int>(text.size());
}

}  // extern "C"
