// Stand-in for the cover-sheet check library.
//
// The module calls DispCheckFcsWindow from the cover sheet dialog's image tab with
// the owner window, a value the dialog keeps for the check window, whether an
// image is pasted and the image position.  This stand-in shows what it was given
// in a message box owned by the dialog (an OK box, answered as any other) and
// answers the box's result.  It keeps no state between calls, so the module may
// load and free it for each call.
#include <cstdint>

#include "platform/win32.h"

#ifdef _WIN32
#define FCS_EXPORT extern "C"
#else
#define FCS_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// Appends a text and a terminator within cap units.
size_t Append(WCHAR* out, size_t at, size_t cap, const char* text) {
    for (; *text && at + 1 < cap; ++text) out[at++] = static_cast<WCHAR>(static_cast<unsigned char>(*text));
    out[at] = 0;
    return at;
}

size_t AppendNumber(WCHAR* out, size_t at, size_t cap, int32_t value) {
    char digits[16];
    size_t n = 0;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude && n < sizeof digits - 1);
    if (value < 0) digits[n++] = '-';
    char text[17];
    for (size_t i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    text[n] = 0;
    return Append(out, at, cap, text);
}

}  // namespace

FCS_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

// (owner window, the dialog's check value, paste-image flag, position X, position Y)
FCS_EXPORT int DispCheckFcsWindow(HWND owner, uint64_t value, int paste, int x, int y) {
    (void)value;
    WCHAR text[160];
    size_t at = 0;
    text[0] = 0;
    if (!paste) {
        at = Append(text, at, 160, "The cover sheet has no image.");
    } else {
        at = Append(text, at, 160, "The image is placed at ");
        at = AppendNumber(text, at, 160, x);
        at = Append(text, at, 160, ", ");
        at = AppendNumber(text, at, 160, y);
        at = Append(text, at, 160, ".");
    }
    WCHAR caption[32];
    Append(caption, 0, 32, "Cover sheet check");
    return MessageBoxW(owner, text, caption, MB_OK | MB_ICONINFORMATION);
}
