// SysAnimate32.  ACM_OPENW reads the clip's headers from an "AVI" resource
// of the given module or from a file: a RIFF "AVI " with an 'avih' header and
// a video ('vids') stream; anything else fails.  Without ACS_CENTER the
// control takes the size of the clip's frames.  Nothing is drawn: ACM_PLAY
// runs a timer at the clip's frame rate that moves the current frame from
// the first to the last frame asked for, as many times as asked (-1: until
// stopped), then stops.  ACN_START and ACN_STOP go to the parent
// (WM_COMMAND); a play of one frame (from == to) only seeks, silently.
#include <algorithm>
#include <string>
#include <vector>

#include "common/le.h"
#include "platform/linux/user32/user_internal.h"

namespace nvxp {
namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr DWORD kHeaderBytes = 1 << 20;  // a file's headers are read from its first megabyte

struct AviInfo {
    DWORD frames = 0;
    DWORD microsecondsPerFrame = 0;
    LONG width = 0, height = 0;
};

struct AnimateData : ControlData {
    bool open = false;
    std::string clip;
    AviInfo avi;
    bool playing = false;
    int from = 0, to = 0, repeat = 0, frame = 0;
};

uint32_t FourCC(const char (&s)[5]) {
    return nvx::GetLE32(s);
}

// Walks the chunks in [p, p+n); calls f(id, listType, data, size) for each
// (listType is 0 for plain chunks).  Stops at the first malformed chunk.
template <typename F>
void Chunks(const BYTE* p, size_t n, F f) {
    size_t at = 0;
    while (nvx::InBounds(n, at, 8)) {
        uint32_t id = nvx::GetLE32(p + at);
        uint32_t size = nvx::GetLE32(p + at + 4);
        if (!nvx::InBounds(n, at + 8, size)) size = static_cast<uint32_t>(n - at - 8);  // truncated: what is there
        const BYTE* data = p + at + 8;
        if (id == FourCC("LIST") && size >= 4) f(id, nvx::GetLE32(data), data + 4, size - 4);
        else f(id, 0u, data, size);
        at += 8 + size + (size & 1);
    }
}

// Reads the headers of an AVI clip; false when it is not one with a video stream.
bool ParseAvi(const BYTE* p, size_t n, AviInfo& out) {
    if (!p || n < 12 || nvx::GetLE32(p) != FourCC("RIFF") || nvx::GetLE32(p + 8) != FourCC("AVI ")) return false;
    size_t riff = std::min<size_t>(n - 8, nvx::GetLE32(p + 4));
    if (riff < 4) return false;
    bool header = false, video = false;
    Chunks(p + 12, riff - 4, [&](uint32_t id, uint32_t type, const BYTE* data, size_t size) {
        if (id != FourCC("LIST") || type != FourCC("hdrl")) return;
        Chunks(data, size, [&](uint32_t id2, uint32_t type2, const BYTE* d2, size_t s2) {
            if (id2 == FourCC("avih") && s2 >= 40) {
                out.microsecondsPerFrame = nvx::GetLE32(d2);
                out.frames = nvx::GetLE32(d2 + 16);
                out.width = static_cast<LONG>(nvx::GetLE32(d2 + 32));
                out.height = static_cast<LONG>(nvx::GetLE32(d2 + 36));
                header = true;
            } else if (id2 == FourCC("LIST") && type2 == FourCC("strl") && !video) {
                bool vids = false;
                Chunks(d2, s2, [&](uint32_t id3, uint32_t, const BYTE* d3, size_t s3) {
                    if (id3 == FourCC("strh") && s3 >= 4 && nvx::GetLE32(d3) == FourCC("vids")) vids = true;
                    if (id3 == FourCC("strf") && vids && s3 >= 12) {  // BITMAPINFOHEADER: the frames' size
                        out.width = static_cast<LONG>(nvx::GetLE32(d3 + 4));
                        out.height = static_cast<LONG>(nvx::GetLE32(d3 + 8));
                    }
                });
                video = vids;
            }
        });
    });
    out.height = out.height < 0 ? -out.height : out.height;
    return header && video && out.frames > 0 && out.width > 0 && out.height > 0;
}

bool ReadClipFile(LPCWSTR path, AviInfo& out) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<BYTE> head(kHeaderBytes);
    DWORD got = 0;
    bool ok = ReadFile(file, head.data(), kHeaderBytes, &got, nullptr) && ParseAvi(head.data(), got, out);
    CloseHandle(file);
    return ok;
}

bool ReadClipResource(HINSTANCE module, LPCWSTR name, AviInfo& out) {
    HRSRC found = FindResourceW(module, name, u"AVI");
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
    return ParseAvi(bytes, SizeofResource(module, found), out);
}

void Stop(HWND hwnd, AnimateData* a) {
    if (!a->playing) return;
    a->playing = false;
    KillTimer(hwnd, kFrameTimer);
    NotifyCommand(hwnd, ACN_STOP);
}

// WM_TIMER: the next frame; past the last one a new round or the end.
void NextFrame(HWND hwnd, AnimateData* a) {
    if (!a->playing) return;
    if (a->frame < a->to) {
        ++a->frame;
        InvalidateRect(hwnd, nullptr, FALSE);
        return;
    }
    if (a->repeat > 0) --a->repeat;
    if (a->repeat == 0) {
        Stop(hwnd, a);
        return;
    }
    a->frame = a->from;
    InvalidateRect(hwnd, nullptr, FALSE);
}

BOOL Play(HWND hwnd, AnimateData* a, int repeat, int from, int to) {
    if (!a->open) return FALSE;
    if (a->playing) return TRUE;
    int last = static_cast<int>(a->avi.frames) - 1;
    if (to == 0xFFFF) to = last;
    if (from > last || to > last || from > to) return FALSE;
    a->from = from;
    a->to = to;
    a->frame = from;
    InvalidateRect(hwnd, nullptr, FALSE);
    if (from == to) return TRUE;  // a seek
    a->repeat = repeat;
    a->playing = true;
    UINT ms = std::max<UINT>(1, a->avi.microsecondsPerFrame / 1000);
    SetTimer(hwnd, kFrameTimer, ms, nullptr);
    NotifyCommand(hwnd, ACN_START);
    return TRUE;
}

BOOL Open(HWND hwnd, AnimateData* a, HINSTANCE module, LPCWSTR name) {
    Stop(hwnd, a);
    if (!(a = ControlOf<AnimateData>(hwnd))) return FALSE;
    a->open = false;
    a->clip.clear();
    a->avi = AviInfo{};
    a->frame = 0;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (!name) return TRUE;  // closes the clip
    if (!module) module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
    AviInfo info;
    bool ok = ReadClipResource(module, name, info);
    if (!ok && !IS_INTRESOURCE(name)) ok = ReadClipFile(name, info);
    if (!ok) return FALSE;
    a->open = true;
    a->avi = info;
    a->clip = ResourceNameText(name);
    if (!(StyleOf(hwnd) & ACS_CENTER))
        SetWindowPos(hwnd, nullptr, 0, 0, info.width, info.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if ((a = ControlOf<AnimateData>(hwnd)) && (StyleOf(hwnd) & ACS_AUTOPLAY)) Play(hwnd, a, -1, 0, 0xFFFF);
    return TRUE;
}

}  // namespace

LRESULT CALLBACK AnimateProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        AttachControl(hwnd, std::make_unique<AnimateData>());
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    auto* a = ControlOf<AnimateData>(hwnd);
    if (!a) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kFrameTimer) NextFrame(hwnd, a);
        return 0;
    case WM_DESTROY:
        if (a->playing) {
            a->playing = false;
            KillTimer(hwnd, kFrameTimer);
        }
        return 0;
    case ACM_OPENW: return Open(hwnd, a, reinterpret_cast<HINSTANCE>(wParam), reinterpret_cast<LPCWSTR>(lParam));
    case ACM_PLAY:
        return Play(hwnd, a, static_cast<int>(static_cast<INT>(wParam)), LOWORD(lParam), HIWORD(lParam));
    case ACM_STOP:
        Stop(hwnd, a);
        return TRUE;
    case ACM_ISPLAYING: return a->playing;
    case kDescribeMessage: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!out) return 0;
        if (!a->open) {
            *out += " closed";
            return 0;
        }
        *out += " clip=" + a->clip + " frames=" + std::to_string(a->avi.frames) + " frame=" + std::to_string(a->frame);
        if (a->playing)
            *out += " playing=" + std::to_string(a->from) + ".." + std::to_string(a->to) + " repeat=" + std::to_string(a->repeat);
        return 0;
    }
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace nvxp
