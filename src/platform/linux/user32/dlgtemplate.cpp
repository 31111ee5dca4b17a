// Dialog template parsing.  Layout (all little-endian, WORD-aligned strings,
// items DWORD-aligned from the template start):
//   DLGTEMPLATE   style, exStyle, cdit, x, y, cx, cy (18 bytes)
//   DLGTEMPLATEEX dlgVer=1, signature=0xFFFF, helpID, exStyle, style, cDlgItems,
//                 x, y, cx, cy (26 bytes)
//   then menu, class (0x0000 none | 0xFFFF ordinal | string), title (string),
//   with DS_SETFONT: point size, [EX: weight, italic, charset], face;
//   each item: [EX: helpID, exStyle, style | classic: style, exStyle], x, y, cx,
//   cy, id (WORD classic, DWORD EX), class, title, creation-data size + data.
#include "platform/linux/user32/user_dlgtemplate.h"

#include <cstring>

namespace nvxp {
namespace {

class Reader {
public:
    Reader(const BYTE* base, size_t size) : base_(base), size_(size) {}
    bool Ok() const { return ok_; }
    size_t Offset() const { return pos_; }

    bool Need(size_t n) {
        if (!ok_ || n > size_ || pos_ > size_ - n) ok_ = false;
        return ok_;
    }
    WORD Word() {
        if (!Need(2)) return 0;
        WORD v = static_cast<WORD>(base_[pos_] | (base_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    DWORD Dword() {
        DWORD lo = Word();
        DWORD hi = Word();
        return lo | (hi << 16);
    }
    BYTE Byte() {
        if (!Need(1)) return 0;
        return base_[pos_++];
    }
    short Short() { return static_cast<short>(Word()); }
    // A terminated UTF-16 string (at most 65535 characters).
    nvx::WString String() {
        nvx::WString s;
        for (;;) {
            WORD c = Word();
            if (!ok_ || c == 0) break;
            s += static_cast<WCHAR>(c);
            if (s.size() > 65535) {
                ok_ = false;
                break;
            }
        }
        return s;
    }
    TemplateName Name() {
        TemplateName n;
        if (!Need(2)) return n;
        WORD first = static_cast<WORD>(base_[pos_] | (base_[pos_ + 1] << 8));
        if (first == 0) {
            pos_ += 2;
            return n;
        }
        n.present = true;
        if (first == 0xFFFF) {
            pos_ += 2;
            n.ordinal = true;
            n.id = Word();
            return n;
        }
        n.text = String();
        return n;
    }
    void AlignDword() { pos_ = (pos_ + 3) & ~size_t(3); }
    const BYTE* Here() const { return base_ + pos_; }
    void Skip(size_t n) {
        if (Need(n)) pos_ += n;
    }

private:
    const BYTE* base_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace

const char16_t* PredefinedClassName(WORD atom) {
    switch (atom) {
    case 0x0080: return u"Button";
    case 0x0081: return u"Edit";
    case 0x0082: return u"Static";
    case 0x0083: return u"ListBox";
    case 0x0084: return u"ScrollBar";
    case 0x0085: return u"ComboBox";
    default: return nullptr;
    }
}

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplateInfo* out) {
    if (!data || !out) return false;
    Reader r(static_cast<const BYTE*>(data), size);
    DialogTemplateInfo t;
    WORD first = r.Word();
    WORD second = r.Word();
    WORD count;
    if (first == 1 && second == 0xFFFF) {
        t.extended = true;
        t.helpId = r.Dword();
        t.exStyle = r.Dword();
        t.style = r.Dword();
    } else {
        t.style = first | (static_cast<DWORD>(second) << 16);
        t.exStyle = r.Dword();
    }
    count = r.Word();
    t.x = r.Short();
    t.y = r.Short();
    t.cx = r.Short();
    t.cy = r.Short();
    t.menu = r.Name();
    t.className = r.Name();
    t.title = r.String();
    if (t.style & DS_SETFONT) {
        t.hasFont = true;
        t.pointSize = r.Word();
        if (t.extended) {
            t.weight = r.Word();
            t.italic = r.Byte();
            t.charSet = r.Byte();
        }
        t.face = r.String();
    }
    if (!r.Ok()) return false;
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        DialogItemTemplate item;
        if (t.extended) {
            item.helpId = r.Dword();
            item.exStyle = r.Dword();
            item.style = r.Dword();
        } else {
            item.style = r.Dword();
            item.exStyle = r.Dword();
        }
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = t.extended ? r.Dword() : r.Word();
        item.className = r.Name();
        item.title = r.Name();
        if (!r.Ok()) return false;
        item.data = r.Here();
        item.dataSize = r.Word();
        r.Skip(item.dataSize);
        if (!item.dataSize) item.data = nullptr;
        if (!r.Ok() || !item.className.present) return false;
        t.items.push_back(std::move(item));
    }
    *out = std::move(t);
    return true;
}

}  // namespace nvxp
