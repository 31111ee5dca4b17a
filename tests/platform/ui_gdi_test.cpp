// The GDI subset dialogs use: font and stock objects, device contexts with
// fonts selected into them, text measurement, drawing calls, and painting
// (update regions, WM_PAINT, BeginPaint/EndPaint).  On Linux the fixed text
// metric is checked to the pixel.
#include "platform/ui_test_util.h"

namespace {

using uitest::UiTest;

std::vector<RECT> g_painted;

LRESULT CALLBACK PaintProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        EXPECT_NE(dc, nullptr);
        g_painted.push_back(ps.rcPaint);
        EXPECT_TRUE(EndPaint(hwnd, &ps));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class Gdi : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        WNDCLASSW wc{};
        wc.lpfnWndProc = PaintProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = WL("NvxGdiTest");
        ASSERT_NE(RegisterClassW(&wc), 0);
        hwnd_ = CreateWindowExW(0, WL("NvxGdiTest"), WL("gdi"), WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd_, nullptr);
        g_painted.clear();
    }
    void TearDown() override {
        EXPECT_TRUE(DestroyWindow(hwnd_));
        EXPECT_TRUE(UnregisterClassW(WL("NvxGdiTest"), nullptr));
        UiTest::TearDown();
    }
    static HFONT ShellDlg8() {
        LOGFONTW lf{};
        lf.lfHeight = -11;  // 8 points at 96 dots per inch
        lf.lfWeight = FW_NORMAL;
        nvx::WCopy(lf.lfFaceName, LF_FACESIZE, WL("MS Shell Dlg"));
        return CreateFontIndirectW(&lf);
    }
    HWND hwnd_ = nullptr;
};

TEST_F(Gdi, FontsAndStockObjects) {
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
    HFONT font = ShellDlg8();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectW(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTW)));
    LOGFONTW back{};
    EXPECT_EQ(GetObjectW(font, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(back.lfHeight, -11);
    EXPECT_EQ(nvx::WString(back.lfFaceName), nvx::WString(WL("MS Shell Dlg")));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(GetObjectType(font), 0u);  // gone

    EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(GetStockObject(9999), nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(brush, nullptr);
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectW(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
    EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(Gdi, DeviceContextsMeasureText) {
    HDC dc = GetDC(hwnd_);
    ASSERT_NE(dc, nullptr);
    HFONT font = ShellDlg8();
    HGDIOBJ old = SelectObject(dc, font);
    EXPECT_NE(old, nullptr);  // the device context's own font
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    SIZE abc{}, twice{}, none{};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, WL("abc"), 3, &abc));
    EXPECT_TRUE(GetTextExtentPoint32W(dc, WL("abcabc"), 6, &twice));
    EXPECT_TRUE(GetTextExtentPoint32W(dc, WL(""), 0, &none));
    EXPECT_GT(abc.cx, 0);
    EXPECT_GT(abc.cy, 0);
    EXPECT_GT(twice.cx, abc.cx);
    EXPECT_EQ(twice.cy, abc.cy);
    EXPECT_EQ(none.cx, 0);
    TEXTMETRICW tm{};
    EXPECT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_GT(tm.tmHeight, 0);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
#ifndef _WIN32
    EXPECT_FALSE(GetTextExtentPoint32W(dc, WL("abc"), 3, nullptr));  // Windows faults here
    // The fixed metric: 8-point MS Shell Dlg characters are 6x13 pixels.
    EXPECT_EQ(abc.cx, 18);
    EXPECT_EQ(abc.cy, 13);
    EXPECT_EQ(tm.tmAveCharWidth, 6);
    EXPECT_EQ(tm.tmHeight, 13);
#endif
    // Drawing succeeds (and draws nothing here).
    RECT r{0, 0, 10, 10};
    EXPECT_NE(FillRect(dc, &r, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    EXPECT_TRUE(TextOutW(dc, 1, 1, WL("x"), 1));
    EXPECT_TRUE(Rectangle(dc, 0, 0, 5, 5));
    EXPECT_EQ(SelectObject(dc, old), font);
    EXPECT_EQ(ReleaseDC(hwnd_, dc), 1);
    EXPECT_TRUE(DeleteObject(font));
}

TEST_F(Gdi, PaintingFollowsTheUpdateRegion) {
    UpdateWindow(hwnd_);  // the first paint after showing
    g_painted.clear();
    RECT none{};
    EXPECT_FALSE(GetUpdateRect(hwnd_, &none, FALSE));
    EXPECT_TRUE(UpdateWindow(hwnd_));  // nothing to paint: no WM_PAINT
    EXPECT_TRUE(g_painted.empty());

    RECT part{10, 20, 30, 40};
    EXPECT_TRUE(InvalidateRect(hwnd_, &part, TRUE));
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(hwnd_, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &part));
    EXPECT_TRUE(UpdateWindow(hwnd_));
    ASSERT_EQ(g_painted.size(), 1u);
    EXPECT_TRUE(EqualRect(&g_painted[0], &part));
    EXPECT_FALSE(GetUpdateRect(hwnd_, &update, FALSE));  // EndPaint validated it

    // Two invalid parts paint once, as their union; ValidateRect takes them back.
    g_painted.clear();
    RECT other{50, 5, 60, 15};
    InvalidateRect(hwnd_, &part, FALSE);
    InvalidateRect(hwnd_, &other, FALSE);
    UpdateWindow(hwnd_);
    ASSERT_EQ(g_painted.size(), 1u);
    RECT both{};
    UnionRect(&both, &part, &other);
    EXPECT_TRUE(EqualRect(&g_painted[0], &both));
    InvalidateRect(hwnd_, nullptr, FALSE);
    EXPECT_TRUE(ValidateRect(hwnd_, nullptr));
    g_painted.clear();
    UpdateWindow(hwnd_);
    EXPECT_TRUE(g_painted.empty());
    // RedrawWindow with RDW_UPDATENOW paints at once.
    EXPECT_TRUE(RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW));
    EXPECT_EQ(g_painted.size(), 1u);
}

#ifndef _WIN32
TEST_F(Gdi, ObjectsAreCountedUntilDeleted) {
    long before = NvxUi_GdiObjectCount();
    HFONT font = ShellDlg8();
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_EQ(NvxUi_GdiObjectCount(), before + 2);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));  // twice: an unknown handle
    EXPECT_EQ(NvxUi_GdiObjectCount(), before);
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects survive it
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
}
#endif

}  // namespace
