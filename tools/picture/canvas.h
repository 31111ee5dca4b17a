// An RGBA picture with the few drawing primitives dialogs need, every one
// clipped to the picture and to the current clip rectangle (so rectangles of
// any size or place, empty or far outside, are safe), and text through
// FreeType in DejaVu Sans (found through fontconfig).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace picture {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};
// A Win32 COLORREF (0x00BBGGRR) as a colour.
inline Rgb FromColorRef(uint32_t c) {
    return Rgb{static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF),
               static_cast<uint8_t>((c >> 16) & 0xFF)};
}
inline Rgb Hex(uint32_t rgb) {
    return Rgb{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)};
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    Box Intersect(const Box& o) const;
    Box Inflate(int dx, int dy) const { return Box{left - dx, top - dy, right + dx, bottom + dy}; }
    Box Offset(int dx, int dy) const { return Box{left + dx, top + dy, right + dx, bottom + dy}; }
};

// A font of DejaVu Sans (regular or bold) at a pixel size; shared faces.
struct FontSpec {
    int pixels = 11;  // em height in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int escapement = 0;  // tenths of a degree, anticlockwise
};

enum TextFlags : unsigned {
    kTextLeft = 0,
    kTextCenter = 1,
    kTextRight = 2,
    kTextVCenter = 4,
    kTextBottom = 8,
    kTextWordBreak = 16,
    kTextSingleLine = 32,
    kTextNoPrefix = 64,   // '&' is shown as it is
    kTextEllipsis = 128,  // a line too long for the box ends in "..."
};

class Canvas {
public:
    Canvas(int width, int height, Rgb background);
    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }  // RGBA rows
    Rgb At(int x, int y) const;

    // The clip: every drawing stays inside it (and inside the picture).
    void PushClip(const Box& box);  // intersected with the current clip
    void PopClip();
    const Box& Clip() const { return clips_.back(); }

    void Blend(int x, int y, Rgb c, int alpha);  // alpha 0..255
    void Fill(const Box& box, Rgb c);
    void Frame(const Box& box, Rgb c, int thickness = 1);
    void Line(int x0, int y0, int x1, int y1, Rgb c, int width = 1, bool dotted = false);
    void Ellipse(const Box& box, const Rgb* fill, const Rgb* outline, int width = 1);
    void Polygon(const std::vector<std::pair<int, int>>& points, const Rgb* fill, const Rgb* outline, int width = 1);
    void Invert(const Box& box);

    // Text: one line at a pen position (baseline), or laid out in a box.  Answer:
    // the advance (DrawLine) or the height used (DrawText).
    int WriteLine(const std::u16string& text, int x, int baseline, const FontSpec& font, Rgb c);
    int WriteText(const std::u16string& text, const Box& box, const FontSpec& font, Rgb c, unsigned flags);
    // Metrics of the font: line height, ascent, and the width of a text.
    static int LineHeight(const FontSpec& font);
    static int Ascent(const FontSpec& font);
    static int TextWidth(const std::u16string& text, const FontSpec& font);
    // Whether the font could be loaded (false: texts are left out).
    static bool FontAvailable();

private:
    int width_, height_;
    std::vector<uint8_t> pixels_;
    std::vector<Box> clips_;
};

// Texts of a window with '&' mnemonics removed ("&&" is one '&').
std::u16string StripMnemonics(const std::u16string& text);

// Writes the picture as a PNG file; false with *error set on failure.
bool WritePng(const Canvas& canvas, const std::string& path, std::string* error);

}  // namespace picture
