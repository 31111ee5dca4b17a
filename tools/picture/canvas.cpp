#include "canvas.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace picture {
namespace {

// Texts longer than this are cut: no dialog shows more, and time stays bounded.
constexpr size_t kMaxTextChars = 8192;

// DejaVu Sans through fontconfig, regular and bold, loaded once.
struct Faces {
    FT_Library library = nullptr;
    FT_Face regular = nullptr;
    FT_Face bold = nullptr;
    std::mutex mutex;  // FreeType faces are not shared between threads
};

std::string FindFontFile(const char* pattern) {
    std::string path;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return path;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (pat) {
        FcConfigSubstitute(config, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pat, &result);
        FcChar8* file = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            path = reinterpret_cast<const char*>(file);
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(pat);
    }
    FcConfigDestroy(config);
    return path;
}

Faces& TheFaces() {
    static Faces* faces = [] {
        auto* f = new Faces;
        if (FT_Init_FreeType(&f->library) != 0) return f;
        std::string regular = FindFontFile("DejaVu Sans:style=Book");
        std::string bold = FindFontFile("DejaVu Sans:style=Bold");
        if (!regular.empty() && FT_New_Face(f->library, regular.c_str(), 0, &f->regular) != 0) f->regular = nullptr;
        if (!bold.empty() && FT_New_Face(f->library, bold.c_str(), 0, &f->bold) != 0) f->bold = nullptr;
        if (!f->bold) f->bold = f->regular;
        return f;
    }();
    return *faces;
}

FT_Face FaceFor(const FontSpec& font) {
    Faces& f = TheFaces();
    FT_Face face = font.bold ? f.bold : f.regular;
    if (!face) return nullptr;
    int px = std::clamp(font.pixels, 1, 400);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(px));
    return face;
}

// One code point from UTF-16 (surrogate pairs joined, lone halves shown as U+FFFD).
char32_t NextCodePoint(const std::u16string& s, size_t* i) {
    char16_t c = s[(*i)++];
    if (c >= 0xD800 && c < 0xDC00) {
        if (*i < s.size() && s[*i] >= 0xDC00 && s[*i] < 0xE000) {
            char32_t low = s[(*i)++];
            return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (low - 0xDC00);
        }
        return 0xFFFD;
    }
    if (c >= 0xDC00 && c < 0xE000) return 0xFFFD;
    return c;
}

// The advance of one line in pixels (no kerning: dialogs do not kern).
int Advance(FT_Face face, const std::u16string& text) {
    long total = 0;
    for (size_t i = 0; i < text.size() && i < kMaxTextChars;) {
        char32_t cp = NextCodePoint(text, &i);
        if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT) == 0) total += face->glyph->advance.x;
    }
    return static_cast<int>((total + 32) >> 6);
}

}  // namespace

Box Box::Intersect(const Box& o) const {
    Box b{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    if (b.right < b.left) b.right = b.left;
    if (b.bottom < b.top) b.bottom = b.top;
    return b;
}

std::u16string StripMnemonics(const std::u16string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        else if (text[i] == u'&') continue;
        out += text[i];
    }
    return out;
}

Canvas::Canvas(int width, int height, Rgb background)
    : width_(std::clamp(width, 1, 8192)), height_(std::clamp(height, 1, 8192)) {
    pixels_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
    for (size_t i = 0; i < pixels_.size(); i += 4) {
        pixels_[i] = background.r;
        pixels_[i + 1] = background.g;
        pixels_[i + 2] = background.b;
        pixels_[i + 3] = 255;
    }
    clips_.push_back(Box{0, 0, width_, height_});
}

Rgb Canvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return Rgb{};
    size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 4;
    return Rgb{pixels_[i], pixels_[i + 1], pixels_[i + 2]};
}

void Canvas::PushClip(const Box& box) {
    clips_.push_back(clips_.back().Intersect(box));
}

void Canvas::PopClip() {
    if (clips_.size() > 1) clips_.pop_back();
}

void Canvas::Blend(int x, int y, Rgb c, int alpha) {
    const Box& clip = clips_.back();
    if (x < clip.left || y < clip.top || x >= clip.right || y >= clip.bottom || alpha <= 0) return;
    size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 4;
    int a = std::min(alpha, 255);
    pixels_[i] = static_cast<uint8_t>((c.r * a + pixels_[i] * (255 - a)) / 255);
    pixels_[i + 1] = static_cast<uint8_t>((c.g * a + pixels_[i + 1] * (255 - a)) / 255);
    pixels_[i + 2] = static_cast<uint8_t>((c.b * a + pixels_[i + 2] * (255 - a)) / 255);
}

void Canvas::Fill(const Box& box, Rgb c) {
    Box b = box.Intersect(clips_.back());
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x) Blend(x, y, c, 255);
}

void Canvas::Frame(const Box& box, Rgb c, int thickness) {
    if (box.Empty()) return;
    int t = std::max(1, std::min({thickness, box.Width(), box.Height()}));
    Fill(Box{box.left, box.top, box.right, box.top + t}, c);
    Fill(Box{box.left, box.bottom - t, box.right, box.bottom}, c);
    Fill(Box{box.left, box.top + t, box.left + t, box.bottom - t}, c);
    Fill(Box{box.right - t, box.top + t, box.right, box.bottom - t}, c);
}

void Canvas::Invert(const Box& box) {
    Box b = box.Intersect(clips_.back());
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x) {
            size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 4;
            for (int k = 0; k < 3; ++k) pixels_[i + k] = static_cast<uint8_t>(255 - pixels_[i + k]);
        }
}

// Bresenham, the end point left out as GDI leaves it out; only the part that
// can reach the clip is walked.
void Canvas::Line(int x0, int y0, int x1, int y1, Rgb c, int width, bool dotted) {
    const Box& clip = clips_.back();
    long long dx = std::llabs(static_cast<long long>(x1) - x0), dy = -std::llabs(static_cast<long long>(y1) - y0);
    if (dx > 100000 || -dy > 100000) return;  // far beyond any dialog
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long long err = dx + dy;
    int w = std::clamp(width, 1, 64);
    int half = (w - 1) / 2;
    long long step = 0;
    for (;;) {
        if (x0 == x1 && y0 == y1) break;
        if (!dotted || (step % 2) == 0) {
            if (x0 + w >= clip.left && x0 - w < clip.right && y0 + w >= clip.top && y0 - w < clip.bottom)
                for (int oy = 0; oy < w; ++oy)
                    for (int ox = 0; ox < w; ++ox) Blend(x0 - half + ox, y0 - half + oy, c, 255);
        }
        ++step;
        long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Canvas::Ellipse(const Box& box, const Rgb* fill, const Rgb* outline, int width) {
    if (box.Empty() || box.Width() > 20000 || box.Height() > 20000) return;
    double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    double rx = box.Width() / 2.0, ry = box.Height() / 2.0;
    double w = std::max(1, width);
    Box b = box.Intersect(clips_.back());
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x) {
            // Four samples per pixel for soft edges.
            int inside = 0, inner = 0;
            for (int s = 0; s < 4; ++s) {
                double px = x + 0.25 + 0.5 * (s & 1), py = y + 0.25 + 0.5 * (s >> 1);
                double nx = (px - cx) / rx, ny = (py - cy) / ry;
                if (nx * nx + ny * ny <= 1.0) ++inside;
                double ix = (px - cx) / std::max(0.5, rx - w), iy = (py - cy) / std::max(0.5, ry - w);
                if (ix * ix + iy * iy <= 1.0) ++inner;
            }
            if (fill && inner) Blend(x, y, *fill, inner * 255 / 4);
            if (outline && inside > inner) Blend(x, y, *outline, (inside - inner) * 255 / 4);
            else if (!outline && fill && inside > inner) Blend(x, y, *fill, (inside - inner) * 255 / 4);
        }
}

// Even-odd scan-line fill, then the outline.
void Canvas::Polygon(const std::vector<std::pair<int, int>>& points, const Rgb* fill, const Rgb* outline, int width) {
    if (points.size() < 2 || points.size() > 100000) return;
    if (fill && points.size() >= 3) {
        int minY = points[0].second, maxY = points[0].second;
        for (const auto& p : points) {
            minY = std::min(minY, p.second);
            maxY = std::max(maxY, p.second);
        }
        const Box& clip = clips_.back();
        minY = std::max(minY, clip.top);
        maxY = std::min(maxY, clip.bottom);
        std::vector<int> xs;
        for (int y = minY; y < maxY; ++y) {
            xs.clear();
            double sy = y + 0.5;
            for (size_t i = 0; i < points.size(); ++i) {
                const auto& a = points[i];
                const auto& b = points[(i + 1) % points.size()];
                if ((a.second <= sy && b.second > sy) || (b.second <= sy && a.second > sy)) {
                    double t = (sy - a.second) / static_cast<double>(b.second - a.second);
                    xs.push_back(static_cast<int>(std::lround(a.first + t * (b.first - a.first))));
                }
            }
            std::sort(xs.begin(), xs.end());
            for (size_t i = 0; i + 1 < xs.size(); i += 2) Fill(Box{xs[i], y, xs[i + 1], y + 1}, *fill);
        }
    }
    if (outline)
        for (size_t i = 0; i < points.size(); ++i) {
            const auto& a = points[i];
            const auto& b = points[(i + 1) % points.size()];
            Line(a.first, a.second, b.first, b.second, *outline, width);
        }
}

bool Canvas::FontAvailable() {
    return TheFaces().regular != nullptr;
}

int Canvas::LineHeight(const FontSpec& font) {
    Faces& f = TheFaces();
    std::lock_guard<std::mutex> lock(f.mutex);
    FT_Face face = FaceFor(font);
    if (!face) return std::max(1, font.pixels * 13 / 11);
    return std::max(1, static_cast<int>((face->size->metrics.height + 32) >> 6));
}

int Canvas::Ascent(const FontSpec& font) {
    Faces& f = TheFaces();
    std::lock_guard<std::mutex> lock(f.mutex);
    FT_Face face = FaceFor(font);
    if (!face) return font.pixels;
    return static_cast<int>((face->size->metrics.ascender + 32) >> 6);
}

int Canvas::TextWidth(const std::u16string& text, const FontSpec& font) {
    Faces& f = TheFaces();
    std::lock_guard<std::mutex> lock(f.mutex);
    FT_Face face = FaceFor(font);
    return face ? Advance(face, text) : 0;
}

int Canvas::WriteLine(const std::u16string& text, int x, int baseline, const FontSpec& font, Rgb c) {
    Faces& f = TheFaces();
    std::lock_guard<std::mutex> lock(f.mutex);
    FT_Face face = FaceFor(font);
    if (!face) return 0;
    const double angle = font.escapement / 10.0 * M_PI / 180.0;
    const bool rotated = font.escapement % 3600 != 0;
    FT_Matrix matrix{};
    FT_Vector pen{0, 0};
    if (rotated || font.italic) {
        double shear = font.italic ? 0.2 : 0.0;
        double cs = std::cos(angle), sn = std::sin(angle);
        matrix.xx = static_cast<FT_Fixed>(cs * 0x10000);
        matrix.xy = static_cast<FT_Fixed>((cs * shear - sn) * 0x10000);
        matrix.yx = static_cast<FT_Fixed>(sn * 0x10000);
        matrix.yy = static_cast<FT_Fixed>((sn * shear + cs) * 0x10000);
    }
    const Box& clip = clips_.back();
    long advance = 0;
    for (size_t i = 0; i < text.size() && i < kMaxTextChars;) {
        char32_t cp = NextCodePoint(text, &i);
        if (rotated || font.italic) FT_Set_Transform(face, &matrix, &pen);
        if (FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        int gx = x + g->bitmap_left + (rotated || font.italic ? 0 : static_cast<int>(advance >> 6));
        int gy = baseline - g->bitmap_top;
        if (rotated || font.italic) {
            pen.x += g->advance.x;
            pen.y += g->advance.y;
        } else {
            advance += g->advance.x;
            if (gx > clip.right) break;  // the rest of the line is clipped away
        }
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                int a = bm.buffer[row * static_cast<unsigned>(bm.pitch) + col];
                if (a) Blend(gx + static_cast<int>(col), gy + static_cast<int>(row), c, a);
            }
    }
    if (rotated || font.italic) FT_Set_Transform(face, nullptr, nullptr);
    int width = static_cast<int>(((rotated || font.italic ? pen.x : advance) + 32) >> 6);
    if (font.underline && !rotated)
        for (int k = x; k < x + width; ++k) Blend(k, baseline + 1 + font.pixels / 11, c, 255);
    return width;
}

int Canvas::WriteText(const std::u16string& raw, const Box& box, const FontSpec& font, Rgb c, unsigned flags) {
    std::u16string text;
    for (char16_t ch : raw.substr(0, kMaxTextChars)) {
        if (ch == u'\t') text += u"    ";  // tab stops every four spaces' width
        else text += ch;
    }
    if (!(flags & kTextNoPrefix)) text = StripMnemonics(text);
    const int lineHeight = LineHeight(font);
    const int ascent = Ascent(font);
    // Lines: CR LF (or LF) breaks unless single-line; word breaks by real widths.
    std::vector<std::u16string> lines;
    auto addWrapped = [&](const std::u16string& para) {
        if (!(flags & kTextWordBreak) || (flags & kTextSingleLine)) {
            lines.push_back(para);
            return;
        }
        std::u16string current;
        size_t i = 0;
        while (i < para.size()) {
            size_t end = para.find(u' ', i);
            if (end == std::u16string::npos) end = para.size();
            std::u16string word = para.substr(i, end - i);
            std::u16string candidate = current.empty() ? word : current + u' ' + word;
            if (!current.empty() && TextWidth(candidate, font) > box.Width()) {
                lines.push_back(current);
                current = word;
            } else {
                current = candidate;
            }
            i = end + 1;
            if (lines.size() * static_cast<size_t>(lineHeight) > static_cast<size_t>(std::max(0, box.Height())) + 2000)
                return;  // far below the box: stop laying out
        }
        lines.push_back(current);
    };
    if (flags & kTextSingleLine) {
        std::u16string one;
        for (char16_t ch : text) one += (ch == u'\r' || ch == u'\n') ? u' ' : ch;
        addWrapped(one);
    } else {
        size_t start = 0;
        while (start <= text.size()) {
            size_t nl = text.find(u'\n', start);
            std::u16string para = text.substr(start, nl == std::u16string::npos ? std::u16string::npos : nl - start);
            if (!para.empty() && para.back() == u'\r') para.pop_back();
            addWrapped(para);
            if (nl == std::u16string::npos) break;
            start = nl + 1;
        }
    }
    const int total = static_cast<int>(lines.size()) * lineHeight;
    int y = box.top;
    if (flags & kTextVCenter) y = box.top + (box.Height() - total) / 2;
    else if (flags & kTextBottom) y = box.bottom - total;
    PushClip(box);
    for (std::u16string& line : lines) {
        if (y > Clip().bottom) break;
        if ((flags & kTextEllipsis) && TextWidth(line, font) > box.Width()) {
            while (!line.empty() && TextWidth(line + u"...", font) > box.Width()) line.pop_back();
            line += u"...";
        }
        int w = TextWidth(line, font);
        int x = box.left;
        if (flags & kTextCenter) x = box.left + (box.Width() - w) / 2;
        else if (flags & kTextRight) x = box.right - w;
        if (y + lineHeight >= Clip().top) WriteLine(line, x, y + ascent, font, c);
        y += lineHeight;
    }
    PopClip();
    return total;
}

bool WritePng(const Canvas& canvas, const std::string& path, std::string* error) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot write " + path;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        if (png) png_destroy_write_struct(&png, nullptr);
        fclose(file);
        *error = "out of memory writing " + path;
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(canvas.Height()));
    for (int y = 0; y < canvas.Height(); ++y)
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(canvas.Pixels().data()) +
                                       static_cast<size_t>(y) * static_cast<size_t>(canvas.Width()) * 4;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        *error = "cannot write " + path;
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(canvas.Width()), static_cast<png_uint_32>(canvas.Height()), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (fclose(file) != 0) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace picture
