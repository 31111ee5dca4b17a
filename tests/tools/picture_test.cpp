// The record of GDI drawing in the headless window system, and the pictures
// drawn from it: recorded calls carry their pen, brush, colours, font and clip,
// a new paint replaces the record, memory DCs reach a window through BitBlt, and
// the renderer puts each call's pixels where the window drew them.  The canvas
// stays safe for empty, reversed, far-away rectangles and very long texts.
#include <png.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "canvas.h"
#include "common/text.h"
#include "dialog_picture.h"
#include "platform/ui_host.h"
#include "support/platform_test.h"

namespace {

using picture::Box;
using picture::Canvas;
using picture::Rgb;

// What the test window draws in WM_PAINT (set by each test).
void (*g_draw)(HDC dc) = nullptr;

LRESULT CALLBACK DrawingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        if (g_draw) g_draw(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class PictureTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        WNDCLASSW wc{};
        wc.lpfnWndProc = DrawingProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = WL("NvxPictureTest");
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, WL("NvxPictureTest"), WL("Drawing"), WS_POPUP | WS_VISIBLE, 10, 20, 200, 120,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, hwnd_);
    }
    void TearDown() override {
        g_draw = nullptr;
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
        PlatformTest::TearDown();
    }
    void Paint() {
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    NvxUiPaintOp Op(int index, std::u16string* text = nullptr) {
        NvxUiPaintOp op{};
        WCHAR buffer[256] = {};
        EXPECT_TRUE(NvxUi_GetPaintOp(hwnd_, index, &op, nullptr, 0, buffer, 256));
        if (text) *text = reinterpret_cast<const char16_t*>(buffer);
        return op;
    }
    // The index of the first recorded call of a kind, or -1.
    int Find(int kind) {
        for (int i = 0; i < NvxUi_PaintOpCount(hwnd_); ++i)
            if (Op(i).kind == kind) return i;
        return -1;
    }
    HWND hwnd_ = nullptr;
};

bool Same(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST_F(PictureTest, RecordsTheCallsWithPenBrushColoursAndFont) {
    g_draw = [](HDC dc) {
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT fill{10, 10, 40, 30};
        FillRect(dc, &fill, red);
        HPEN blue = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
        HGDIOBJ oldPen = SelectObject(dc, blue);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, 50, 10, 90, 50);
        MoveToEx(dc, 100, 10, nullptr);
        LineTo(dc, 150, 60);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(blue);
        DeleteObject(red);
        LOGFONTW lf{};
        lf.lfHeight = -20;
        lf.lfWeight = FW_BOLD;
        lf.lfEscapement = 450;
        HFONT font = CreateFontIndirectW(&lf);
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetTextColor(dc, RGB(0, 128, 0));
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        TextOutW(dc, 100, 100, WL("Draft"), 5);
        SelectObject(dc, oldFont);
        DeleteObject(font);
    };
    Paint();
    int fill = Find(NVXUI_PAINT_FILL);
    // The class background comes first (WM_ERASEBKGND), then the red fill.
    ASSERT_GE(fill, 0);
    int redFill = -1;
    for (int i = 0; i < NvxUi_PaintOpCount(hwnd_); ++i)
        if (Op(i).kind == NVXUI_PAINT_FILL && Op(i).brushColor == RGB(255, 0, 0)) redFill = i;
    ASSERT_GE(redFill, 0);
    EXPECT_EQ(10, Op(redFill).rect.left);
    EXPECT_EQ(30, Op(redFill).rect.bottom);

    NvxUiPaintOp rect = Op(Find(NVXUI_PAINT_RECT));
    EXPECT_TRUE(rect.hasPen);
    EXPECT_EQ(RGB(0, 0, 255), rect.penColor);
    EXPECT_EQ(2, rect.penWidth);
    EXPECT_FALSE(rect.hasBrush);  // the null brush leaves the inside alone

    NvxUiPaintOp line = Op(Find(NVXUI_PAINT_LINE));
    EXPECT_EQ(100, line.rect.left);  // from the MoveToEx position
    EXPECT_EQ(10, line.rect.top);
    EXPECT_EQ(150, line.rect.right);
    EXPECT_EQ(60, line.rect.bottom);

    std::u16string text;
    NvxUiPaintOp out = Op(Find(NVXUI_PAINT_TEXTOUT), &text);
    EXPECT_EQ(u"Draft", text);
    EXPECT_EQ(-20, out.fontHeight);
    EXPECT_EQ(FW_BOLD, out.fontWeight);
    EXPECT_EQ(450, out.fontEscapement);
    EXPECT_EQ(RGB(0, 128, 0), out.textColor);
    EXPECT_FALSE(out.opaque);
    EXPECT_EQ(static_cast<UINT>(TA_CENTER | TA_BASELINE), out.flags);
}

TEST_F(PictureTest, ANewPaintReplacesTheRecordAndADestroyedWindowHasNone) {
    g_draw = [](HDC dc) { Ellipse(dc, 0, 0, 10, 10); };
    Paint();
    int first = NvxUi_PaintOpCount(hwnd_);
    ASSERT_GT(first, 0);
    Paint();
    EXPECT_EQ(first, NvxUi_PaintOpCount(hwnd_));  // not doubled
    // GetDC drawing adds to the record of the last paint.
    HDC dc = GetDC(hwnd_);
    Ellipse(dc, 0, 0, 5, 5);
    ReleaseDC(hwnd_, dc);
    EXPECT_EQ(first + 1, NvxUi_PaintOpCount(hwnd_));
    HWND gone = hwnd_;
    DestroyWindow(hwnd_);
    EXPECT_EQ(0, NvxUi_PaintOpCount(gone));
    EXPECT_FALSE(NvxUi_GetPaintOp(gone, 0, nullptr, nullptr, 0, nullptr, 0));
}

TEST_F(PictureTest, MemoryDcDrawingReachesTheWindowThroughBitBltClippedAndMoved) {
    g_draw = [](HDC dc) {
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, 50, 50);
        HGDIOBJ old = SelectObject(mem, bitmap);
        RECT r{0, 0, 20, 20};
        FillRect(mem, &r, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        BitBlt(dc, 100, 50, 10, 10, mem, 0, 0, SRCCOPY);  // only a 10x10 part is put
        SelectObject(mem, old);
        DeleteObject(bitmap);
        DeleteDC(mem);
    };
    Paint();
    int n = NvxUi_PaintOpCount(hwnd_);
    ASSERT_GT(n, 0);
    NvxUiPaintOp copied = Op(n - 1);
    EXPECT_EQ(NVXUI_PAINT_FILL, copied.kind);
    EXPECT_EQ(100, copied.rect.left);
    EXPECT_EQ(50, copied.rect.top);
    EXPECT_TRUE(copied.hasClip);
    EXPECT_EQ(110, copied.clip.right);
    EXPECT_EQ(60, copied.clip.bottom);

    picture::Picture p = picture::RenderWindow(hwnd_);
    EXPECT_TRUE(Same(Rgb{0, 0, 0}, p.canvas.At(105, 55)));
    EXPECT_FALSE(Same(Rgb{0, 0, 0}, p.canvas.At(115, 65)));  // clipped to the blitted part
}

TEST_F(PictureTest, ThePictureShowsWhatTheWindowDrewWhereItDrewIt) {
    g_draw = [](HDC dc) {
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT fill{10, 10, 40, 30};
        FillRect(dc, &fill, red);
        DeleteObject(red);
        HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
        HGDIOBJ old = SelectObject(dc, blue);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, 50, 10, 90, 50);
        SelectObject(dc, old);
        DeleteObject(blue);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        RECT box{100, 60, 190, 100};
        DrawTextW(dc, WL("Sample"), -1, &box, DT_SINGLELINE);
    };
    Paint();
    picture::Picture p = picture::RenderWindow(hwnd_);
    ASSERT_EQ(200, p.canvas.Width());
    ASSERT_EQ(120, p.canvas.Height());
    EXPECT_TRUE(Same(Rgb{255, 0, 0}, p.canvas.At(20, 20)));
    EXPECT_TRUE(Same(Rgb{0, 0, 255}, p.canvas.At(50, 30)));   // the left edge
    EXPECT_TRUE(Same(p.dialogBackground, p.canvas.At(70, 30)));  // hollow inside
    int ink = 0;
    for (int y = 60; y < 80; ++y)
        for (int x = 100; x < 150; ++x) ink += p.canvas.At(x, y).r < 128;
    EXPECT_GT(ink, 20) << "the text is drawn";
}

TEST(Canvas, EmptyReversedAndFarRectanglesAndLongTextsAreSafe) {
    Canvas c(100, 50, Rgb{240, 240, 240});
    const Rgb black{0, 0, 0};
    c.Fill(Box{0, 0, 0, 0}, black);
    c.Fill(Box{60, 40, 20, 10}, black);  // reversed
    c.Fill(Box{-100000, -100000, -99000, -99000}, black);
    c.Frame(Box{200, 200, 300, 300}, black, 5);
    c.Line(-2000000000, -2000000000, 2000000000, 2000000000, black);
    c.Ellipse(Box{-50000, -50000, 50000, 50000}, &black, nullptr);
    c.Polygon({{-100000, 0}, {100000, 0}}, &black, &black);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_TRUE(Same(Rgb{240, 240, 240}, c.At(x, y))) << x << "," << y;
    std::u16string longText(200000, u'W');
    picture::FontSpec f;
    c.WriteText(longText, Box{0, 0, 100, 50}, f, black, picture::kTextWordBreak);
    c.WriteText(longText, Box{10, 10, 10, 10}, f, black, 0);  // an empty box shows nothing
    c.WriteLine(longText, 0, 20, f, black);
    EXPECT_TRUE(Same(Rgb{240, 240, 240}, c.At(99, 49)));
    c.PushClip(Box{0, 0, 10, 10});
    c.Fill(Box{0, 0, 100, 50}, black);
    c.PopClip();
    EXPECT_TRUE(Same(black, c.At(9, 9)));
    EXPECT_TRUE(Same(Rgb{240, 240, 240}, c.At(10, 10)));
    EXPECT_TRUE(Same(Rgb{}, c.At(-1, 500)));  // outside: no pixel, no crash
}

TEST(Canvas, TheDialogFontIsFoundAndMeasuresTexts) {
    ASSERT_TRUE(Canvas::FontAvailable()) << "DejaVu Sans (fonts-dejavu-core) through fontconfig";
    picture::FontSpec f;
    EXPECT_GT(Canvas::TextWidth(u"Portrait", f), Canvas::TextWidth(u"Port", f));
    EXPECT_EQ(0, Canvas::TextWidth(u"", f));
    EXPECT_EQ(u"Save As", picture::StripMnemonics(u"Save &As"));
    EXPECT_EQ(u"A&B", picture::StripMnemonics(u"A&&B"));
}

TEST(Canvas, WritesAPngOfItsSizeAndSaysWhenItCannot) {
    Canvas c(37, 21, Rgb{1, 2, 3});
    std::string path = testing::TempDir() + "/canvas_test.png";
    std::string error;
    ASSERT_TRUE(picture::WritePng(c, path, &error)) << error;
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, file);
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_read_info(png, info);
    EXPECT_EQ(37u, png_get_image_width(png, info));
    EXPECT_EQ(21u, png_get_image_height(png, info));
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(file);
    remove(path.c_str());
    EXPECT_FALSE(picture::WritePng(c, "/nonexistent-folder/x.png", &error));
    EXPECT_NE(std::string::npos, error.find("/nonexistent-folder/x.png"));
}

}  // namespace
