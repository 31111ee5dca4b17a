// Pictures of the sample model's pages: each page in its sheet is drawn at the
// sheet's size, and every visible control leaves its mark inside its rectangle;
// the controls with a frame (buttons, edit and combo boxes, lists, spin
// controls, the tab strip) have that frame drawn along their border.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "dialog_picture.h"
#include "pages/page_fixture.h"

namespace {

using picture::Box;
using picture::Rgb;

struct PageCase {
    const char* title;
    pagetest::PageDef page;
};

const PageCase kPages[] = {
    {"Basic", {100, "Prc_DocPaper1Proc"}},
    {"Layout", {101, "Prc_DocPaper2Proc"}},
    {"Quality", {196, "Prc_DocQualityMonoProc"}},
    {"Finishing", {110, "Prc_DocFinishingProc_T2"}},
    {"Cover/Insert", {113, "Prc_DocCoverPageProc_T2"}},
    {"Other", {187, "Prc_DocOtherProc"}},
    {"Stamp/Composition", {104, "Prc_DocWOProc"}},
    {"Fax", {171, "Prc_DocFaxProc"}},
    {"Version", {106, "Prc_DocVersionProc"}},
    {"Device Settings", {161, "Prc_DocInitializeProc"}},
    {"My Tab", {230, "Prc_DocMyTabProc"}},
};

bool IsBackground(Rgb c) {
    return (c.r == 0xF0 && c.g == 0xF0 && c.b == 0xF0) || (c.r == 0xFF && c.g == 0xFF && c.b == 0xFF);
}

bool Framed(HWND control, const std::string& cls) {
    LONG style = GetWindowLongW(control, GWL_STYLE);
    if (cls == "Button") {
        LONG type = style & BS_TYPEMASK;
        return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
    }
    if (cls == "Edit") {
        HWND parent = GetParent(control);
        WCHAR name[32] = {};
        if (parent) GetClassNameW(parent, name, 32);
        bool inCombo = name[0] == 'C' && name[1] == 'o';
        return !inCombo && ((style & WS_BORDER) || (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    }
    return cls == "ComboBox" || cls == "ListBox" || cls == "SysListView32" || cls == "msctls_updown32";
}

// Whether a control has anything to show (an empty text static shows nothing).
bool ShowsSomething(HWND control, const std::string& cls) {
    if (cls != "Static") return true;
    LONG type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    if (type == SS_ICON || type == SS_BITMAP)
        return SendMessageW(control, STM_GETIMAGE, type == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP, 0) != 0 ||
               SendMessageW(control, STM_GETICON, 0, 0) != 0;
    if (type == SS_OWNERDRAW || type == SS_WHITERECT || type == SS_WHITEFRAME) return false;
    if (type >= SS_BLACKRECT && type <= SS_WHITEFRAME) return true;
    if (type >= SS_ETCHEDHORZ) return true;
    WCHAR text[8] = {};
    GetWindowTextW(control, text, 8);
    for (WCHAR* p = text; *p; ++p)
        if (*p != ' ' && *p != '&') return true;
    return false;
}

class PagePictures : public pagetest::PageHost, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PagePictures, EveryVisibleControlIsDrawnInsideTheSheetsPicture) {
    HWND sheet = OpenSheet({GetParam().page});
    ASSERT_NE(nullptr, sheet);
    picture::Picture p = picture::RenderWindow(sheet);
    RECT r{};
    GetWindowRect(sheet, &r);
    ASSERT_EQ(r.right - r.left, p.canvas.Width());
    ASSERT_EQ(r.bottom - r.top, p.canvas.Height());
    const Box whole{0, 0, p.canvas.Width(), p.canvas.Height()};
    int checked = 0;
    for (const picture::DrawnWindow& w : p.drawn) {
        if (w.window == sheet || w.className == "#32770") continue;
        if (!ShowsSomething(w.window, w.className)) continue;
        Box box = w.box.Intersect(whole);
        if (box.Empty()) continue;
        SCOPED_TRACE(w.className + " #" + std::to_string(GetDlgCtrlID(w.window)));
        int marked = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) marked += !IsBackground(p.canvas.At(x, y));
        EXPECT_GT(marked, 0) << "nothing drawn in the control's rectangle";
        if (Framed(w.window, w.className)) {
            int edge = 0, framed = 0;
            for (int x = box.left; x < box.right; ++x) {
                edge += 2;
                framed += !IsBackground(p.canvas.At(x, box.top)) + !IsBackground(p.canvas.At(x, box.bottom - 1));
            }
            for (int y = box.top; y < box.bottom; ++y) {
                edge += 2;
                framed += !IsBackground(p.canvas.At(box.left, y)) + !IsBackground(p.canvas.At(box.right - 1, y));
            }
            EXPECT_GE(framed * 10, edge * 9) << "the frame is not drawn along the border";
        }
        ++checked;
    }
    EXPECT_GT(checked, 5) << "the page's controls were drawn";
    CloseSheet();
}

INSTANTIATE_TEST_SUITE_P(SampleModel, PagePictures, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<PageCase>& info) {
                             std::string name;
                             for (const char* c = info.param.title; *c; ++c)
                                 if (isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name;
                         });

}  // namespace
