#include "dialog_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/ui_host.h"

namespace picture {
namespace {

// The Windows 10 look (colours of GetSysColor and of the themed controls).
const Rgb kFace = FromColorRef(0xF0F0F0);      // COLOR_BTNFACE
const Rgb kText = Hex(0x000000);
const Rgb kGrayText = FromColorRef(0x6D6D6D);  // COLOR_GRAYTEXT
const Rgb kWhite = Hex(0xFFFFFF);
const Rgb kEditBorder = Hex(0x7A7A7A);
const Rgb kDisabledBorder = Hex(0xCCCCCC);
const Rgb kButtonFace = Hex(0xE1E1E1);
const Rgb kButtonBorder = Hex(0xADADAD);
const Rgb kAccent = Hex(0x0078D7);  // COLOR_HIGHLIGHT
const Rgb kGroupLine = Hex(0xDCDCDC);
const Rgb kCheckBorder = Hex(0x333333);
const Rgb kTabBorder = Hex(0xD9D9D9);
const Rgb kTabIdle = Hex(0xE3E3E3);
const Rgb kCaptionText = Hex(0x000000);
const Rgb kFrame = Hex(0x9A9A9A);

std::u16string TextOf(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    if (n <= 0) return {};
    n = std::min(n, 8192);
    std::u16string s(static_cast<size_t>(n) + 1, u'\0');
    int got = GetWindowTextW(hwnd, reinterpret_cast<LPWSTR>(&s[0]), n + 1);
    s.resize(static_cast<size_t>(std::max(0, got)));
    return s;
}

std::string ClassOf(HWND hwnd) {
    WCHAR name[64] = {};
    GetClassNameW(hwnd, name, 64);
    std::string out;
    for (int i = 0; i < 64 && name[i]; ++i) out += static_cast<char>(name[i] < 128 ? name[i] : '?');
    return out;
}

bool SameClass(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

// The em height in pixels of a LOGFONT height (as the layer measures it).
int EmPixels(LONG height) {
    if (height < 0) return static_cast<int>(-height);
    if (height > 0) return std::max(1, static_cast<int>((height * 11 + 6) / 13));
    return 11;
}

// DejaVu Sans is wider than the dialog font the layouts were made for; a
// slightly smaller size keeps texts inside their controls.
FontSpec SpecForEm(int em, LONG weight, bool italic, bool underline, int escapement) {
    FontSpec f;
    f.pixels = std::clamp((em * 10 + 5) / 11, 1, 400);
    f.bold = weight >= 600;
    f.italic = italic;
    f.underline = underline;
    f.escapement = escapement;
    return f;
}

FontSpec FontOf(HWND hwnd) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    for (HWND up = GetParent(hwnd); !font && up; up = GetParent(up))
        font = reinterpret_cast<HFONT>(SendMessageW(up, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (!font || GetObjectW(font, sizeof lf, &lf) != static_cast<int>(sizeof lf)) lf.lfHeight = -11;
    return SpecForEm(EmPixels(lf.lfHeight), lf.lfWeight, lf.lfItalic != 0, false, 0);
}

struct Renderer {
    const PictureOptions& options;
    Picture& picture;
    POINT origin{};  // screen position of the picture's top left

    Canvas& C() { return picture.canvas; }

    Box ScreenBox(const RECT& r) const {
        return Box{static_cast<int>(r.left - origin.x), static_cast<int>(r.top - origin.y),
                   static_cast<int>(r.right - origin.x), static_cast<int>(r.bottom - origin.y)};
    }
    Box WindowBox(HWND hwnd) const {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return ScreenBox(r);
    }
    Box ClientBox(HWND hwnd) const {
        RECT r{};
        GetClientRect(hwnd, &r);
        POINT p{0, 0};
        ClientToScreen(hwnd, &p);
        return Box{static_cast<int>(p.x - origin.x), static_cast<int>(p.y - origin.y),
                   static_cast<int>(p.x - origin.x + r.right), static_cast<int>(p.y - origin.y + r.bottom)};
    }

    // ---- Symbols -------------------------------------------------------------

    void CheckMark(const Box& b, Rgb c) {
        int s = b.Width();
        int x0 = b.left + s * 3 / 13, y0 = b.top + s * 6 / 13;
        int x1 = b.left + s * 5 / 13, y1 = b.top + s * 9 / 13;
        int x2 = b.left + s * 10 / 13, y2 = b.top + s * 3 / 13;
        C().Line(x0, y0, x1, y1 + 1, c, 2);
        C().Line(x1, y1, x2, y2 - 1, c, 2);
    }

    void Chevron(const Box& b, Rgb c, bool up) {
        int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
        int h = std::max(2, std::min(b.Width(), b.Height()) / 4);
        if (up) {
            C().Line(cx - h, cy + h / 2, cx, cy - h / 2, c, 1);
            C().Line(cx, cy - h / 2, cx + h + 1, cy + h / 2 + 1, c, 1);
        } else {
            C().Line(cx - h, cy - h / 2, cx, cy + h / 2, c, 1);
            C().Line(cx, cy + h / 2, cx + h + 1, cy - h / 2 - 1, c, 1);
        }
    }

    IconSymbol SymbolOf(const std::string& source) {
        auto found = options.icons.find(source);
        if (found != options.icons.end()) return found->second;
        if (source.find("IDI_HAND") != std::string::npos) return IconSymbol::Stop;
        if (source.find("IDI_EXCLAMATION") != std::string::npos) return IconSymbol::Warning;
        if (source.find("IDI_ASTERISK") != std::string::npos) return IconSymbol::Information;
        if (source.find("IDI_QUESTION") != std::string::npos) return IconSymbol::Question;
        return IconSymbol::Generic;
    }

    void Icon(const Box& b, IconSymbol symbol) {
        if (b.Empty()) return;
        int s = std::min(b.Width(), b.Height());
        Box sq{b.left + (b.Width() - s) / 2, b.top + (b.Height() - s) / 2, 0, 0};
        sq.right = sq.left + s;
        sq.bottom = sq.top + s;
        FontSpec glyph;
        glyph.pixels = std::max(4, s * 3 / 4);
        glyph.bold = true;
        switch (symbol) {
        case IconSymbol::Stop: {
            Rgb red = Hex(0xE81123);
            C().Ellipse(sq, &red, nullptr);
            int m = s * 3 / 10;
            int w = std::max(1, s / 8);
            C().Line(sq.left + m, sq.top + m, sq.right - m, sq.bottom - m, kWhite, w);
            C().Line(sq.right - m - 1, sq.top + m, sq.left + m - 1, sq.bottom - m, kWhite, w);
            break;
        }
        case IconSymbol::Warning: {
            Rgb yellow = Hex(0xFFB900);
            Rgb edge = Hex(0xB88600);
            C().Polygon({{sq.left + s / 2, sq.top}, {sq.right - 1, sq.bottom - 1}, {sq.left, sq.bottom - 1}}, &yellow,
                        &edge);
            glyph.pixels = std::max(4, s * 2 / 3);
            C().WriteText(u"!", Box{sq.left, sq.top + s / 5, sq.right, sq.bottom}, glyph, kText,
                         kTextCenter | kTextVCenter | kTextSingleLine);
            break;
        }
        case IconSymbol::Information:
        case IconSymbol::Question: {
            C().Ellipse(sq, &kAccent, nullptr);
            C().WriteText(symbol == IconSymbol::Information ? u"i" : u"?", sq, glyph, kWhite,
                         kTextCenter | kTextVCenter | kTextSingleLine);
            break;
        }
        case IconSymbol::Generic: {
            Rgb grey = Hex(0xB0B0B0);
            C().Fill(sq.Inflate(-1, -1), Hex(0xE8E8E8));
            C().Frame(sq.Inflate(-1, -1), grey);
            C().Fill(Box{sq.left + s / 4, sq.top + s / 4, sq.right - s / 4, sq.bottom - s / 4}, grey);
            break;
        }
        }
    }

    // A bitmap has a size and a source, no pixels: a framed placeholder.
    void BitmapPlaceholder(const Box& b) {
        C().Fill(b, Hex(0xFAFAFA));
        C().Frame(b, Hex(0xA0A0A0));
        C().Line(b.left, b.top, b.right - 1, b.bottom - 1, Hex(0xD0D0D0));
        C().Line(b.right - 1, b.top, b.left, b.bottom - 1, Hex(0xD0D0D0));
    }

    void Image(const Box& b, const std::string& source) {
        if (source.rfind("bitmap", 0) == 0) BitmapPlaceholder(b);
        else Icon(b, SymbolOf(source));
    }

    // ---- Frame and caption ---------------------------------------------------

    void TopLevelFrame(HWND hwnd, const Box& win, const Box& client) {
        C().Fill(win, kWhite);
        C().Frame(win, kFrame);
        C().Fill(client, kFace);
        if (!(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION) || client.top - win.top < 12) return;
        Box caption{win.left + 1, win.top + 1, win.right - 1, client.top};
        FontSpec f = SpecForEm(12, 400, false, false, 0);
        C().WriteText(TextOf(hwnd), Box{caption.left + 8, caption.top, caption.right - 80, caption.bottom}, f,
                     kCaptionText, kTextVCenter | kTextSingleLine | kTextNoPrefix | kTextEllipsis);
        // The close button (and the help button of a dialog that has one).
        int h = caption.Height();
        Box close{caption.right - 46, caption.top, caption.right, caption.bottom};
        int cx = (close.left + close.right) / 2, cy = (close.top + close.bottom) / 2, r = std::max(3, h / 5);
        C().Line(cx - r, cy - r, cx + r + 1, cy + r + 1, kText);
        C().Line(cx + r, cy - r, cx - r - 1, cy + r + 1, kText);
        if (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_CONTEXTHELP)
            C().WriteText(u"?", Box{close.left - 46, caption.top, close.left, caption.bottom}, f, kText,
                         kTextCenter | kTextVCenter | kTextSingleLine);
    }

    // ---- Controls ------------------------------------------------------------

    void PushButton(const Box& b, const std::u16string& text, const FontSpec& f, bool enabled, bool isDefault,
                    bool pressed, unsigned align) {
        C().Fill(b, enabled ? (pressed ? Hex(0xCCE4F7) : kButtonFace) : Hex(0xCCCCCC));
        if (isDefault && enabled) {
            C().Frame(b, kAccent, 2);
        } else {
            C().Frame(b, enabled ? (pressed ? Hex(0x005499) : kButtonBorder) : Hex(0xBFBFBF));
        }
        C().WriteText(text, b.Inflate(-4, -2), f, enabled ? kText : kGrayText, align | kTextVCenter | kTextSingleLine);
    }

    void Button(HWND hwnd, const Box& b, bool enabled) {
        LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        LONG type = style & BS_TYPEMASK;
        std::u16string text = TextOf(hwnd);
        FontSpec f = FontOf(hwnd);
        Rgb ink = enabled ? kText : kGrayText;
        LRESULT check = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
        LRESULT state = SendMessageW(hwnd, BM_GETSTATE, 0, 0);
        unsigned halign = (style & BS_CENTER) == BS_LEFT ? unsigned{kTextLeft}
                          : (style & BS_CENTER) == BS_RIGHT ? unsigned{kTextRight} : unsigned{kTextCenter};
        switch (type) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
        case BS_SPLITBUTTON:
        case BS_DEFSPLITBUTTON:
        case BS_COMMANDLINK:
        case BS_DEFCOMMANDLINK:
        case BS_USERBUTTON:
        case BS_PUSHBOX:
            PushButton(b, text, f, enabled, type == BS_DEFPUSHBUTTON || type == BS_DEFSPLITBUTTON,
                       (state & BST_PUSHED) != 0, (style & BS_CENTER) == 0 ? kTextCenter : halign);
            return;
        case BS_GROUPBOX: {
            int lh = Canvas::LineHeight(f);
            Box frame{b.left, b.top + lh / 2, b.right, b.bottom};
            C().Frame(frame, kGroupLine);
            if (!text.empty()) {
                std::u16string shown = StripMnemonics(text);
                int w = std::min(Canvas::TextWidth(shown, f) + 4, std::max(0, b.Width() - 12));
                Box label{b.left + 6, b.top, b.left + 6 + w, b.top + lh};
                C().Fill(label, kFace);
                C().WriteText(shown, label.Inflate(-2, 0), f, enabled ? Hex(0x000000) : kGrayText,
                             kTextSingleLine | kTextNoPrefix);
            }
            return;
        }
        case BS_OWNERDRAW:
            return;  // the parent's WM_DRAWITEM drawing is replayed
        default:
            break;
        }
        bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
        if (style & BS_PUSHLIKE) {
            PushButton(b, text, f, enabled, false, check == BST_CHECKED, kTextCenter);
            return;
        }
        const int box = 13;
        bool leftText = (style & BS_LEFTTEXT) != 0;
        int top = b.top + (b.Height() - box) / 2;
        Box mark{leftText ? b.right - box : b.left, top, 0, 0};
        mark.right = mark.left + box;
        mark.bottom = mark.top + box;
        Rgb border = enabled ? kCheckBorder : kDisabledBorder;
        if (radio) {
            C().Ellipse(mark, &kWhite, &border);
            if (check == BST_CHECKED) {
                Rgb dot = enabled ? kCheckBorder : kDisabledBorder;
                C().Ellipse(mark.Inflate(-3, -3), &dot, nullptr);
            }
        } else {
            C().Fill(mark, kWhite);
            C().Frame(mark, border);
            if (check == BST_CHECKED) CheckMark(mark, enabled ? kCheckBorder : kDisabledBorder);
            if (check == BST_INDETERMINATE) C().Fill(mark.Inflate(-3, -3), enabled ? kCheckBorder : kDisabledBorder);
        }
        Box label = leftText ? Box{b.left, b.top, mark.left - 4, b.bottom} : Box{mark.right + 4, b.top, b.right, b.bottom};
        unsigned flags = (style & BS_MULTILINE) ? kTextWordBreak | kTextVCenter : kTextSingleLine | kTextVCenter;
        if (style & BS_MULTILINE) {
            // Word-wrapped texts are centred as a block.
            int h = 0;
            {
                Canvas probe(1, 1, kFace);
                h = probe.WriteText(text, Box{0, 0, label.Width(), 100000}, f, ink, kTextWordBreak);
            }
            label.top = b.top + std::max(0, (b.Height() - h) / 2);
            flags = kTextWordBreak;
        }
        C().WriteText(text, label, f, ink, flags | (leftText ? unsigned{kTextRight} : 0u));
    }

    void Static(HWND hwnd, const Box& b, bool enabled) {
        LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        LONG type = style & SS_TYPEMASK;
        FontSpec f = FontOf(hwnd);
        Rgb ink = enabled ? kText : kGrayText;
        switch (type) {
        case SS_ICON:
        case SS_BITMAP: {
            HANDLE image = reinterpret_cast<HANDLE>(
                SendMessageW(hwnd, STM_GETIMAGE, type == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP, 0));
            if (!image && type == SS_ICON) image = reinterpret_cast<HANDLE>(SendMessageW(hwnd, STM_GETICON, 0, 0));
            char source[128] = {};
            if (image) NvxUi_DescribeImage(image, source, sizeof source);
            if (image) Image(b, source);
            return;
        }
        case SS_BLACKRECT: C().Fill(b, Hex(0x000000)); return;
        case SS_GRAYRECT: C().Fill(b, Hex(0x808080)); return;
        case SS_WHITERECT: C().Fill(b, kWhite); return;
        case SS_BLACKFRAME: C().Frame(b, Hex(0x000000)); return;
        case SS_GRAYFRAME: C().Frame(b, Hex(0x808080)); return;
        case SS_WHITEFRAME: C().Frame(b, kWhite); return;
        case SS_ETCHEDHORZ:
            C().Fill(Box{b.left, b.top, b.right, b.top + 1}, Hex(0xA0A0A0));
            C().Fill(Box{b.left, b.top + 1, b.right, b.top + 2}, kWhite);
            return;
        case SS_ETCHEDVERT:
            C().Fill(Box{b.left, b.top, b.left + 1, b.bottom}, Hex(0xA0A0A0));
            C().Fill(Box{b.left + 1, b.top, b.left + 2, b.bottom}, kWhite);
            return;
        case SS_ETCHEDFRAME:
            C().Frame(b, Hex(0xA0A0A0));
            C().Frame(b.Offset(1, 1), kWhite);
            return;
        case SS_OWNERDRAW: return;
        default: break;
        }
        Box inner = b;
        if (style & SS_SUNKEN) {
            C().Frame(b, Hex(0xA0A0A0));
            inner = b.Inflate(-1, -1);
        }
        unsigned flags = kTextWordBreak;
        if (type == SS_CENTER) flags |= kTextCenter;
        if (type == SS_RIGHT) flags |= kTextRight;
        if (type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) flags = kTextSingleLine;
        if (style & SS_CENTERIMAGE) flags = (flags & ~kTextWordBreak) | kTextSingleLine | kTextVCenter;
        if (style & SS_NOPREFIX) flags |= kTextNoPrefix;
        if (style & SS_ELLIPSISMASK) flags |= kTextEllipsis;
        C().WriteText(TextOf(hwnd), inner, f, ink, flags);
    }

    void Edit(HWND hwnd, const Box& b, bool enabled) {
        LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        LONG ex = GetWindowLongW(hwnd, GWL_EXSTYLE);
        HWND parent = GetParent(hwnd);
        bool inCombo = parent && SameClass(ClassOf(parent), "ComboBox");
        bool readOnly = (style & ES_READONLY) != 0;
        bool bordered = !inCombo && ((style & WS_BORDER) || (ex & WS_EX_CLIENTEDGE));
        if (!inCombo) C().Fill(b, enabled && !readOnly ? kWhite : kFace);
        if (bordered) C().Frame(b, enabled ? kEditBorder : kDisabledBorder);
        std::u16string text = TextOf(hwnd);
        if (style & ES_PASSWORD) text.assign(text.size(), u'\u25CF');
        FontSpec f = FontOf(hwnd);
        Box inner = bordered ? b.Inflate(-3, -1) : b.Inflate(-1, 0);
        unsigned align = (style & ES_RIGHT) ? kTextRight : (style & ES_CENTER) ? kTextCenter : kTextLeft;
        if (style & ES_MULTILINE)
            C().WriteText(text, inner.Inflate(0, -1), f, enabled ? kText : kGrayText, align | kTextNoPrefix);
        else
            C().WriteText(text, inner, f, enabled ? kText : kGrayText,
                         align | kTextVCenter | kTextSingleLine | kTextNoPrefix);
    }

    std::u16string ComboText(HWND hwnd, LRESULT index) {
        LRESULT n = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (n < 0 || n > 8192) return {};
        std::u16string s(static_cast<size_t>(n) + 1, u'\0');
        SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s[0]));
        s.resize(static_cast<size_t>(n));
        return s;
    }

    void Combo(HWND hwnd, const Box& b, bool enabled) {
        LONG kind = GetWindowLongW(hwnd, GWL_STYLE) & 3;
        FontSpec f = FontOf(hwnd);
        Box field = b;
        if (kind == CBS_SIMPLE) {
            int h = Canvas::LineHeight(f) + 8;
            field.bottom = std::min(b.bottom, b.top + h);
            Box list{b.left, field.bottom, b.right, b.bottom};
            ListRows(hwnd, list, enabled, f, true);
        }
        if (kind == CBS_DROPDOWNLIST) {
            C().Fill(field, enabled ? kButtonFace : Hex(0xCCCCCC));
            C().Frame(field, enabled ? kButtonBorder : Hex(0xBFBFBF));
            LRESULT sel = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
            std::u16string text = sel >= 0 ? ComboText(hwnd, sel) : std::u16string();
            C().WriteText(text, Box{field.left + 4, field.top, field.right - 18, field.bottom}, f,
                         enabled ? kText : kGrayText, kTextVCenter | kTextSingleLine | kTextNoPrefix | kTextEllipsis);
        } else {
            C().Fill(field, enabled ? kWhite : kFace);
            C().Frame(field, enabled ? kEditBorder : kDisabledBorder);
        }
        if (kind != CBS_SIMPLE)
            Chevron(Box{field.right - 17, field.top, field.right - 1, field.bottom}, enabled ? Hex(0x606060) : kGrayText,
                    false);
    }

    // Rows of a list box (or a simple combo's list): LB_ or CB_ messages.
    void ListRows(HWND hwnd, const Box& b, bool enabled, const FontSpec& f, bool combo) {
        C().Fill(b, enabled ? kWhite : kFace);
        C().Frame(b, enabled ? Hex(0x828790) : kDisabledBorder);
        LRESULT count = SendMessageW(hwnd, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
        LRESULT top = combo ? 0 : SendMessageW(hwnd, LB_GETTOPINDEX, 0, 0);
        LRESULT itemHeight = SendMessageW(hwnd, combo ? CB_GETITEMHEIGHT : LB_GETITEMHEIGHT, 0, 0);
        int rowH = itemHeight > 0 && itemHeight < 200 ? static_cast<int>(itemHeight) : Canvas::LineHeight(f) + 2;
        LRESULT cursel = SendMessageW(hwnd, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
        C().PushClip(b.Inflate(-1, -1));
        int y = b.top + 1;
        for (LRESULT i = std::max<LRESULT>(0, top); i < count && y < b.bottom; ++i, y += rowH) {
            std::u16string text;
            if (combo) {
                text = ComboText(hwnd, i);
            } else {
                LRESULT n = SendMessageW(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
                if (n > 0 && n <= 8192) {
                    text.assign(static_cast<size_t>(n) + 1, u'\0');
                    SendMessageW(hwnd, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
                    text.resize(static_cast<size_t>(n));
                }
            }
            bool selected = combo ? i == cursel : SendMessageW(hwnd, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
            Box row{b.left + 1, y, b.right - 1, y + rowH};
            if (selected) C().Fill(row, enabled ? kAccent : Hex(0xCCCCCC));
            C().WriteText(text, row.Inflate(-2, 0), f, selected && enabled ? kWhite : enabled ? kText : kGrayText,
                         kTextVCenter | kTextSingleLine | kTextNoPrefix);
        }
        C().PopClip();
    }

    void ListView(HWND hwnd, const Box& b, bool enabled) {
        LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        LONG ex = GetWindowLongW(hwnd, GWL_EXSTYLE);
        FontSpec f = FontOf(hwnd);
        C().Fill(b, kWhite);
        C().Frame(b, enabled ? Hex(0x828790) : kDisabledBorder);
        int lh = Canvas::LineHeight(f);
        Box inner = b.Inflate(-1, -1);
        C().PushClip(inner);
        int y = inner.top;
        // Columns (report view): texts and widths.
        std::vector<std::pair<std::u16string, int>> columns;
        if ((style & LVS_TYPEMASK) == LVS_REPORT) {
            for (int c = 0; c < 32; ++c) {
                WCHAR buf[128] = {};
                LVCOLUMNW col{};
                col.mask = LVCF_TEXT | LVCF_WIDTH;
                col.pszText = buf;
                col.cchTextMax = 128;
                if (!SendMessageW(hwnd, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col))) break;
                columns.emplace_back(std::u16string(reinterpret_cast<const char16_t*>(buf)), col.cx);
            }
            if (!(style & LVS_NOCOLUMNHEADER) && !columns.empty()) {
                int hh = lh + 7;
                int x = inner.left;
                for (const auto& [title, width] : columns) {
                    Box cell{x, y, x + width, y + hh};
                    C().Fill(cell, kWhite);
                    C().Fill(Box{cell.right - 1, cell.top + 2, cell.right, cell.bottom - 2}, Hex(0xE5E5E5));
                    C().WriteText(title, cell.Inflate(-6, 0), f, enabled ? kText : kGrayText,
                                 kTextVCenter | kTextSingleLine | kTextNoPrefix | kTextEllipsis);
                    x += width;
                }
                C().Fill(Box{inner.left, y + hh - 1, inner.right, y + hh}, Hex(0xE5E5E5));
                y += hh;
            }
        }
        if (columns.empty()) columns.emplace_back(u"", inner.Width());
        DWORD lvex = static_cast<DWORD>(SendMessageW(hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        bool checks = (lvex & LVS_EX_CHECKBOXES) != 0;
        LRESULT count = SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0);
        LRESULT top = SendMessageW(hwnd, LVM_GETTOPINDEX, 0, 0);
        int rowH = lh + 4;
        bool focused = GetFocus() == hwnd;
        for (LRESULT i = std::max<LRESULT>(0, top); i < count && y < inner.bottom; ++i, y += rowH) {
            UINT state = static_cast<UINT>(
                SendMessageW(hwnd, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED | LVIS_STATEIMAGEMASK));
            bool selected = (state & LVIS_SELECTED) != 0;
            Box row{inner.left, y, inner.right, y + rowH};
            if (selected && ((style & LVS_SHOWSELALWAYS) || focused))
                C().Fill(row, focused && enabled ? Hex(0xCCE8FF) : Hex(0xD9D9D9));
            int x = inner.left;
            for (size_t c = 0; c < columns.size(); ++c) {
                WCHAR buf[260] = {};
                LVITEMW item{};
                item.iSubItem = static_cast<int>(c);
                item.pszText = buf;
                item.cchTextMax = 260;
                SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
                Box cell{x, y, x + columns[c].second, y + rowH};
                if (c == 0 && checks) {
                    Box mark{cell.left + 3, y + (rowH - 13) / 2, cell.left + 16, y + (rowH - 13) / 2 + 13};
                    C().Fill(mark, kWhite);
                    C().Frame(mark, enabled ? kCheckBorder : kDisabledBorder);
                    if (((state & LVIS_STATEIMAGEMASK) >> 12) == 2)
                        CheckMark(mark, enabled ? kCheckBorder : kDisabledBorder);
                    cell.left += 18;
                }
                C().WriteText(std::u16string(reinterpret_cast<const char16_t*>(buf)), cell.Inflate(-4, 0), f,
                             enabled ? kText : kGrayText, kTextVCenter | kTextSingleLine | kTextNoPrefix | kTextEllipsis);
                x += columns[c].second;
            }
        }
        C().PopClip();
        (void)ex;
    }

    void UpDown(HWND hwnd, const Box& b, bool enabled) {
        (void)hwnd;
        Box up{b.left, b.top, b.right, b.top + b.Height() / 2};
        Box down{b.left, up.bottom, b.right, b.bottom};
        for (const Box& half : {up, down}) {
            C().Fill(half, enabled ? kButtonFace : Hex(0xCCCCCC));
            C().Frame(half, enabled ? kButtonBorder : Hex(0xBFBFBF));
        }
        Rgb ink = enabled ? Hex(0x404040) : kGrayText;
        Chevron(up, ink, true);
        Chevron(down, ink, false);
    }

    void Tabs(HWND hwnd, const Box& b, bool enabled) {
        FontSpec f = FontOf(hwnd);
        LRESULT count = SendMessageW(hwnd, TCM_GETITEMCOUNT, 0, 0);
        LRESULT current = SendMessageW(hwnd, TCM_GETCURSEL, 0, 0);
        int tabH = Canvas::LineHeight(f) + 8;
        int bodyTop = b.top + tabH;
        RECT first{};
        if (count > 0 && SendMessageW(hwnd, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)))
            bodyTop = b.top + static_cast<int>(first.bottom);
        Box body{b.left, bodyTop, b.right, b.bottom};
        C().Fill(body, kFace);
        C().Frame(body, kTabBorder);
        // The tabs; when they run past the strip, it scrolls so the current tab shows
        // and the scroll arrows stand at its right end, as the tab control does.
        std::vector<std::pair<std::u16string, Box>> tabs;
        int x = b.left + 2;
        for (LRESULT i = 0; i < count && i < 64; ++i) {
            WCHAR buf[128] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = buf;
            item.cchTextMax = 128;
            SendMessageW(hwnd, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            std::u16string text(reinterpret_cast<const char16_t*>(buf));
            RECT r{};
            Box tab;
            if (SendMessageW(hwnd, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) {
                POINT p{0, 0};
                ClientToScreen(hwnd, &p);
                tab = ScreenBox(RECT{p.x + r.left, p.y + r.top, p.x + r.right, p.y + r.bottom});
            } else {
                int w = Canvas::TextWidth(StripMnemonics(text), f) + 12;
                tab = Box{x, b.top + 2, x + w, bodyTop};
            }
            x = tab.right;
            tabs.emplace_back(text, tab);
        }
        const bool overflow = !tabs.empty() && tabs.back().second.right > b.right - 2;
        const int arrows = overflow ? 34 : 0;
        int shift = 0;
        if (overflow && current >= 0 && current < static_cast<LRESULT>(tabs.size())) {
            const Box& sel = tabs[static_cast<size_t>(current)].second;
            if (sel.right > b.right - 2 - arrows) shift = sel.right - (b.right - 2 - arrows);
            shift = std::min(shift, sel.left - (b.left + 2));
        }
        C().PushClip(Box{b.left, b.top, b.right - arrows, b.bottom});
        Box selectedBox{};
        for (size_t i = 0; i < tabs.size(); ++i) {
            Box tab = tabs[i].second.Offset(-shift, 0);
            if (static_cast<LRESULT>(i) == current) {
                selectedBox = Box{tab.left - 2, tab.top - 2, tab.right + 2, bodyTop + 1};
                continue;
            }
            C().Fill(tab, kTabIdle);
            C().Frame(Box{tab.left, tab.top, tab.right + 1, tab.bottom + 1}, kTabBorder);
            C().WriteText(tabs[i].first, tab, f, enabled ? kText : kGrayText,
                          kTextCenter | kTextVCenter | kTextSingleLine);
        }
        if (!selectedBox.Empty()) {
            C().Fill(selectedBox, kFace);
            C().Frame(selectedBox, kTabBorder);
            C().Fill(Box{selectedBox.left + 1, selectedBox.bottom - 1, selectedBox.right - 1, selectedBox.bottom + 1},
                     kFace);
            C().WriteText(tabs[static_cast<size_t>(current)].first, selectedBox, f, enabled ? kText : kGrayText,
                          kTextCenter | kTextVCenter | kTextSingleLine);
        }
        C().PopClip();
        if (overflow) {
            int h = std::min(tabH, 17);
            Box left{b.right - arrows, bodyTop - h - 2, b.right - arrows + 17, bodyTop - 2};
            Box right{left.right, left.top, left.right + 17, left.bottom};
            for (const Box& button : {left, right}) {
                C().Fill(button, kButtonFace);
                C().Frame(button, kButtonBorder);
            }
            Rgb ink = Hex(0x404040);
            int cy = (left.top + left.bottom) / 2;
            C().Polygon({{left.left + 10, cy - 4}, {left.left + 10, cy + 4}, {left.left + 6, cy}}, &ink, nullptr);
            C().Polygon({{right.left + 7, cy - 4}, {right.left + 7, cy + 4}, {right.left + 11, cy}}, &ink, nullptr);
        }
    }

    void TrackBar(HWND hwnd, const Box& b, bool enabled) {
        LRESULT lo = SendMessageW(hwnd, TBM_GETRANGEMIN, 0, 0), hi = SendMessageW(hwnd, TBM_GETRANGEMAX, 0, 0);
        LRESULT pos = SendMessageW(hwnd, TBM_GETPOS, 0, 0);
        int cy = (b.top + b.bottom) / 2;
        C().Fill(Box{b.left + 8, cy - 2, b.right - 8, cy + 2}, Hex(0xE7EAEA));
        C().Frame(Box{b.left + 8, cy - 2, b.right - 8, cy + 2}, Hex(0xD6D6D6));
        int span = std::max<LRESULT>(1, hi - lo) > 0 ? static_cast<int>(hi - lo) : 1;
        int tx = b.left + 8 + static_cast<int>((static_cast<long long>(pos - lo) * std::max(0, b.Width() - 16)) / span);
        C().Fill(Box{tx - 5, cy - 10, tx + 6, cy + 10}, enabled ? kAccent : Hex(0xCCCCCC));
    }

    void Progress(HWND hwnd, const Box& b) {
        LRESULT lo = SendMessageW(hwnd, PBM_GETRANGE, TRUE, 0), hi = SendMessageW(hwnd, PBM_GETRANGE, FALSE, 0);
        LRESULT pos = SendMessageW(hwnd, PBM_GETPOS, 0, 0);
        C().Fill(b, Hex(0xE6E6E6));
        C().Frame(b, Hex(0xBCBCBC));
        long long span = std::max<long long>(1, hi - lo);
        int w = static_cast<int>(std::clamp<long long>((pos - lo) * (b.Width() - 2) / span, 0, b.Width() - 2));
        C().Fill(Box{b.left + 1, b.top + 1, b.left + 1 + w, b.bottom - 1}, Hex(0x06B025));
    }

    // ---- Recorded drawing ----------------------------------------------------

    FontSpec OpFont(const NvxUiPaintOp& op) {
        return SpecForEm(EmPixels(op.fontHeight), op.fontWeight, op.fontItalic != 0, op.fontUnderline != 0,
                         op.fontEscapement);
    }

    void Edge(const Box& b, UINT flags) {
        UINT edge = flags & 0xFFFF, sides = flags >> 16;
        if (!(sides & BF_RECT)) sides |= BF_RECT;
        Rgb light = kWhite, dark = Hex(0xA0A0A0), darker = Hex(0x696969), mid = Hex(0xE3E3E3);
        auto side = [&](const Box& r, Rgb topLeft, Rgb bottomRight) {
            if (sides & BF_TOP) C().Fill(Box{r.left, r.top, r.right, r.top + 1}, topLeft);
            if (sides & BF_LEFT) C().Fill(Box{r.left, r.top, r.left + 1, r.bottom}, topLeft);
            if (sides & BF_BOTTOM) C().Fill(Box{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
            if (sides & BF_RIGHT) C().Fill(Box{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        };
        if (edge & BDR_RAISEDOUTER) side(b, mid, darker);
        if (edge & BDR_SUNKENOUTER) side(b, dark, light);
        Box in = b.Inflate(-1, -1);
        if (edge & BDR_RAISEDINNER) side(in, light, dark);
        if (edge & BDR_SUNKENINNER) side(in, darker, mid);
    }

    void Replay(HWND hwnd) {
        int n = NvxUi_PaintOpCount(hwnd);
        if (n <= 0) return;
        Box client = ClientBox(hwnd);
        const int dx = client.left, dy = client.top;
        std::vector<POINT> points;
        std::vector<WCHAR> text;
        for (int i = 0; i < n; ++i) {
            NvxUiPaintOp op{};
            if (!NvxUi_GetPaintOp(hwnd, i, &op, nullptr, 0, nullptr, 0)) break;
            points.assign(static_cast<size_t>(std::max(0, op.pointCount)), POINT{});
            text.assign(static_cast<size_t>(std::max(0, op.textLength)) + 1, 0);
            NvxUi_GetPaintOp(hwnd, i, &op, points.data(), static_cast<int>(points.size()), text.data(),
                             static_cast<int>(text.size()));
            std::u16string str(reinterpret_cast<const char16_t*>(text.data()));
            Box r = Box{static_cast<int>(op.rect.left), static_cast<int>(op.rect.top), static_cast<int>(op.rect.right),
                        static_cast<int>(op.rect.bottom)}
                        .Offset(dx, dy);
            bool clipped = op.hasClip != 0;
            if (clipped)
                C().PushClip(Box{static_cast<int>(op.clip.left), static_cast<int>(op.clip.top),
                                 static_cast<int>(op.clip.right), static_cast<int>(op.clip.bottom)}
                                 .Offset(dx, dy));
            Rgb pen = FromColorRef(op.penColor), brush = FromColorRef(op.brushColor);
            const Rgb* penP = op.hasPen ? &pen : nullptr;
            const Rgb* brushP = op.hasBrush ? &brush : nullptr;
            switch (op.kind) {
            case NVXUI_PAINT_LINE:
                if (op.hasPen) C().Line(r.left, r.top, r.right, r.bottom, pen, op.penWidth, op.penStyle == PS_DOT);
                break;
            case NVXUI_PAINT_RECT:
                if (brushP) C().Fill(r, brush);
                if (penP) C().Frame(r, pen, op.penWidth);
                break;
            case NVXUI_PAINT_ELLIPSE: C().Ellipse(r, brushP, penP, op.penWidth); break;
            case NVXUI_PAINT_POLYLINE:
                for (size_t k = 0; penP && k + 1 < points.size(); ++k)
                    C().Line(points[k].x + dx, points[k].y + dy, points[k + 1].x + dx, points[k + 1].y + dy, pen,
                             op.penWidth);
                break;
            case NVXUI_PAINT_POLYGON: {
                std::vector<std::pair<int, int>> pts;
                for (const POINT& p : points) pts.emplace_back(p.x + dx, p.y + dy);
                C().Polygon(pts, brushP, penP, op.penWidth);
                break;
            }
            case NVXUI_PAINT_FILL:
                if (brushP) C().Fill(r, brush);
                break;
            case NVXUI_PAINT_FRAME:
                if (brushP) C().Frame(r, brush);
                break;
            case NVXUI_PAINT_TEXTOUT: {
                FontSpec f = OpFont(op);
                int w = Canvas::TextWidth(str, f);
                int ascent = Canvas::Ascent(f), height = Canvas::LineHeight(f);
                int shift = (op.flags & TA_CENTER) == TA_CENTER ? w / 2 : (op.flags & TA_CENTER) == TA_RIGHT ? w : 0;
                int down = (op.flags & TA_BASELINE) == TA_BASELINE ? 0
                           : (op.flags & TA_BOTTOM) ? ascent - height
                                                    : ascent;
                double a = op.fontEscapement / 10.0 * M_PI / 180.0;
                double ux = std::cos(a), uy = -std::sin(a);  // along the text (screen y grows down)
                double px = -uy, py = ux;                    // perpendicular, downwards
                int x = static_cast<int>(std::lround(r.left - ux * shift + px * down));
                int y = static_cast<int>(std::lround(r.top - uy * shift + py * down));
                if (op.opaque && op.fontEscapement % 3600 == 0)
                    C().Fill(Box{x, y - ascent, x + w, y - ascent + height}, FromColorRef(op.bkColor));
                C().WriteLine(str, x, y, f, FromColorRef(op.textColor));
                break;
            }
            case NVXUI_PAINT_DRAWTEXT: {
                unsigned flags = 0;
                if (op.flags & DT_CENTER) flags |= kTextCenter;
                if (op.flags & DT_RIGHT) flags |= kTextRight;
                if (op.flags & DT_SINGLELINE) {
                    flags |= kTextSingleLine;
                    if (op.flags & DT_VCENTER) flags |= kTextVCenter;
                    if (op.flags & DT_BOTTOM) flags |= kTextBottom;
                }
                if (op.flags & DT_WORDBREAK) flags |= kTextWordBreak;
                if (op.flags & DT_NOPREFIX) flags |= kTextNoPrefix;
                if (op.flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) flags |= kTextEllipsis;
                Box box = r;
                if (op.flags & DT_NOCLIP) box.bottom = box.top + 100000;
                FontSpec f = OpFont(op);
                f.escapement = 0;
                C().WriteText(str, box, f, FromColorRef(op.textColor), flags);
                break;
            }
            case NVXUI_PAINT_IMAGE: Image(r, op.source); break;
            case NVXUI_PAINT_PIXEL: C().Blend(r.left, r.top, FromColorRef(op.textColor), 255); break;
            case NVXUI_PAINT_EDGE: Edge(r, op.flags); break;
            case NVXUI_PAINT_FOCUS:
                C().Line(r.left, r.top, r.right - 1, r.top, kText, 1, true);
                C().Line(r.left, r.bottom - 1, r.right - 1, r.bottom - 1, kText, 1, true);
                C().Line(r.left, r.top, r.left, r.bottom - 1, kText, 1, true);
                C().Line(r.right - 1, r.top, r.right - 1, r.bottom - 1, kText, 1, true);
                break;
            case NVXUI_PAINT_INVERT: C().Invert(r); break;
            default: break;
            }
            if (clipped) C().PopClip();
        }
    }

    // ---- The tree ------------------------------------------------------------

    void Draw(HWND hwnd, bool root, int depth) {
        if (depth > 64) return;
        if (!root && !IsWindowVisible(hwnd)) return;
        Box box = WindowBox(hwnd);
        std::string cls = ClassOf(hwnd);
        bool enabled = IsWindowEnabled(hwnd) != 0;
        C().PushClip(box);
        picture.drawn.push_back(DrawnWindow{hwnd, cls, box});
        LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        if (root && !(style & WS_CHILD)) {
            TopLevelFrame(hwnd, box, ClientBox(hwnd));
        } else if (SameClass(cls, "#32770")) {
            C().Fill(box, kFace);  // a page or a child dialog (its own erase is replayed too)
        } else if (SameClass(cls, "Button")) {
            Button(hwnd, box, enabled);
        } else if (SameClass(cls, "Static")) {
            Static(hwnd, box, enabled);
        } else if (SameClass(cls, "Edit")) {
            Edit(hwnd, box, enabled);
        } else if (SameClass(cls, "ComboBox")) {
            Combo(hwnd, box, enabled);
        } else if (SameClass(cls, "ListBox")) {
            ListRows(hwnd, box, enabled, FontOf(hwnd), false);
        } else if (SameClass(cls, "SysListView32")) {
            ListView(hwnd, box, enabled);
        } else if (SameClass(cls, "msctls_updown32")) {
            UpDown(hwnd, box, enabled);
        } else if (SameClass(cls, "SysTabControl32")) {
            Tabs(hwnd, box, enabled);
        } else if (SameClass(cls, "msctls_trackbar32")) {
            TrackBar(hwnd, box, enabled);
        } else if (SameClass(cls, "msctls_progress32")) {
            Progress(hwnd, box);
        } else if (SameClass(cls, "SysAnimate32")) {
            C().Frame(box, kGroupLine);
        }
        Replay(hwnd);
        // Children inside the client area, bottom of the z-order first.
        C().PushClip(ClientBox(hwnd));
        std::vector<HWND> children;
        for (HWND c = GetWindow(hwnd, GW_CHILD); c && children.size() < 4096; c = GetWindow(c, GW_HWNDNEXT))
            children.push_back(c);
        // Spin controls overlap their buddy's border and show on top of it.
        std::vector<HWND> spins;
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (SameClass(ClassOf(*it), "msctls_updown32")) spins.push_back(*it);
            else Draw(*it, false, depth + 1);
        }
        for (HWND spin : spins) Draw(spin, false, depth + 1);
        C().PopClip();
        C().PopClip();
    }
};

}  // namespace

Picture RenderWindow(HWND window, const PictureOptions& options) {
    Picture picture;
    picture.dialogBackground = kFace;
    if (!IsWindow(window)) return picture;
    if (options.repaint) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        NvxUi_Pump(0);
    }
    RECT r{};
    GetWindowRect(window, &r);
    picture.canvas = Canvas(static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top), kFace);
    Renderer renderer{options, picture, POINT{r.left, r.top}};
    renderer.Draw(window, true, 0);
    return picture;
}

}  // namespace picture
