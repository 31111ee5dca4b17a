// Editing one watermark: the limits of its fields at and one past their ends, the
// fit check (the geometry with a measure of known widths, and the real text
// metrics of a shipped font, checked against FreeType called here directly), the
// dialog's list turned back into lists and order, and the picture's geometry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"
#include "stamps/watermark_fit.h"
#include "stamps/watermark_store.h"

#ifndef _WIN32
#include <ft2build.h>
#include FT_FREETYPE_H
#endif

namespace {

using namespace nvx::stamps;

WatermarkFields Fine() {
    WatermarkFields f;
    f.title = WL("Mine");
    f.text = WL("Mine");
    f.face = WL("Arial");
    return f;
}

const std::vector<nvx::WString> kFaces{WL("Arial"), WL("DejaVu Sans")};

TEST(WatermarkFields, TextTitleAndFontAtAndPastTheirEnds) {
    WatermarkFields f = Fine();
    EXPECT_EQ(FieldProblem::None, CheckFields(f, kWatermarkTitleMax, kFaces));
    f.text.assign(128, 'x');
    EXPECT_EQ(FieldProblem::None, CheckFields(f, kWatermarkTitleMax, kFaces)) << "128 characters fill the field";
    f.text.assign(129, 'x');
    EXPECT_EQ(FieldProblem::TextTooLong, CheckFields(f, kWatermarkTitleMax, kFaces)) << "one past is refused, not cut";
    f = Fine();
    f.title.assign(30, 'n');
    EXPECT_EQ(FieldProblem::None, CheckFields(f, kWatermarkTitleMax, kFaces));
    f.title.assign(31, 'n');
    EXPECT_EQ(FieldProblem::TitleTooLong, CheckFields(f, kWatermarkTitleMax, kFaces));
    f.title.clear();
    EXPECT_EQ(FieldProblem::TitleEmpty, CheckFields(f, kWatermarkTitleMax, kFaces));
    f = Fine();
    f.face = WL("dejavu sans");
    EXPECT_EQ(FieldProblem::None, CheckFields(f, kWatermarkTitleMax, kFaces)) << "faces compare without case";
    f.face = WL("No Such Face");
    EXPECT_EQ(FieldProblem::NoSuchFont, CheckFields(f, kWatermarkTitleMax, kFaces));
    f.face.clear();
    EXPECT_EQ(FieldProblem::NoSuchFont, CheckFields(f, kWatermarkTitleMax, kFaces));
}

TEST(WatermarkFields, SizeAngleAndPositionAtAndPastTheirEnds) {
    struct Case {
        int32_t WatermarkFields::*field;
        int32_t value;
        FieldProblem expected;
    };
    const Case cases[] = {
        {&WatermarkFields::size, 0, FieldProblem::SizeOutOfRange},
        {&WatermarkFields::size, 1, FieldProblem::None},
        {&WatermarkFields::size, 999, FieldProblem::None},
        {&WatermarkFields::size, 1000, FieldProblem::SizeOutOfRange},
        {&WatermarkFields::angle, 90, FieldProblem::None},
        {&WatermarkFields::angle, -90, FieldProblem::None},
        {&WatermarkFields::angle, 91, FieldProblem::AngleOutOfRange},
        {&WatermarkFields::angle, -91, FieldProblem::AngleOutOfRange},
        {&WatermarkFields::x, 100, FieldProblem::None},
        {&WatermarkFields::x, -101, FieldProblem::PositionOutOfRange},
        {&WatermarkFields::y, -100, FieldProblem::None},
        {&WatermarkFields::y, 101, FieldProblem::PositionOutOfRange},
    };
    for (const Case& c : cases) {
        WatermarkFields f = Fine();
        f.*c.field = c.value;
        EXPECT_EQ(c.expected, CheckFields(f, kWatermarkTitleMax, kFaces)) << c.value;
    }
}

TEST(WatermarkFields, RecordRoundTripAndTemplate) {
    WatermarkRecord r = NewWatermarkTemplate(WL("Arial"));
    EXPECT_EQ(0, r.szKey[0]);
    EXPECT_EQ(1, +r.nStyle);
    EXPECT_EQ(72, +r.wSize);
    EXPECT_EQ(255u, +r.crColor);
    EXPECT_EQ(1, +r.wFrame);
    EXPECT_EQ(1, +r.bBkGrnd);
    EXPECT_EQ(0, +r.bFstPg);
    EXPECT_EQ(0, +r.bMultiStamp);
    WatermarkFields f = Fine();
    f.text.assign(128, 'y');
    f.angle = -45;
    f.x = 50;
    f.y = -50;
    f.repeat = true;
    PutFields(&r, f);
    const WatermarkFields back = FieldsOf(r);
    EXPECT_EQ(f.text, back.text);
    EXPECT_EQ(-45, back.angle);
    EXPECT_EQ(50, back.x);
    EXPECT_EQ(-50, back.y);
    EXPECT_TRUE(back.repeat);
    EXPECT_EQ(0, r.szWmkStr[128]) << "the text ends inside its field";
}

TEST(WatermarkFields, FacesOfferTheDefaultFirstAndEachOnce) {
    const auto faces = WatermarkFaces({"DejaVu Sans", "arial", "DejaVu Serif", "DejaVu Sans"}, WL("Arial"));
    ASSERT_EQ(3u, faces.size());
    EXPECT_EQ(nvx::WString(WL("Arial")), faces[0]);
    EXPECT_EQ(nvx::WString(WL("DejaVu Sans")), faces[1]);
    EXPECT_EQ(nvx::WString(WL("DejaVu Serif")), faces[2]);
}

// ---- The fit check with widths known in advance ----

// A text `perHeight` times as wide as its font is high, and as high as the font.
TextMeasure Proportional(double perHeight) {
    return [perHeight](const WatermarkRecord&, int32_t height, SIZE* extent) {
        extent->cx = static_cast<LONG>(height * perHeight);
        extent->cy = height;
        return true;
    };
}

WatermarkRecord Mark(uint16_t size, int16_t angle = 0, int32_t x = 0, int32_t y = 0, bool repeat = false) {
    WatermarkRecord r = NewWatermarkTemplate(WL("Arial"));
    SetWatermarkTexts(&r, "", WL("T"), WL("Text"), WL("Arial"));
    r.wSize = size;
    r.nAngle = angle;
    r.ptWmkPosX = x;
    r.ptWmkPosY = y;
    r.bMultiStamp = repeat ? 1 : 0;
    return r;
}

// 254 tenths of a millimetre are an inch: at 72 dpi the area is 720 x 1440 dots.
const PrintArea kArea{2540, 5080};

TEST(WatermarkFit, TheBoxMustLieInsideTheAreaAtItsPosition) {
    // Size 100 at 72 dpi: 100 dots high, 200 wide, margin trunc(0.00167*72*100+0.5) = 12.
    const SIZE extent{200, 100};
    EXPECT_TRUE(TextFits(Mark(100), kArea, 72, 72, 100, extent));
    // Centred at x = +69% of half the width: 360 + 248.4; the box is 224 wide: 720.4 > 720.
    EXPECT_FALSE(TextFits(Mark(100, 0, 69), kArea, 72, 72, 100, extent));
    EXPECT_TRUE(TextFits(Mark(100, 0, 68), kArea, 72, 72, 100, extent)) << "716.8";
    // Repeated copies are laid across the area: only the box's own size counts.
    EXPECT_TRUE(TextFits(Mark(100, 0, 70, 0, true), kArea, 72, 72, 100, extent));
    // Turned by 90 degrees the box stands: 124 wide, 224 high.
    const SIZE wide{700, 100};
    EXPECT_FALSE(TextFits(Mark(100), kArea, 72, 72, 100, wide)) << "724 wide lying";
    EXPECT_TRUE(TextFits(Mark(100, 90), kArea, 72, 72, 100, wide)) << "124 wide standing";
    EXPECT_TRUE(TextFits(Mark(100, -90), kArea, 72, 72, 100, wide));
}

TEST(WatermarkFit, TheSizeIsLoweredToTheLargestThatFits) {
    // Width 5 x height: at 72 dpi the box is 5s + 2m wide, m = trunc(0.12024 s + 0.5).
    auto fits = [](int32_t s) { return 5 * s + 2 * static_cast<int32_t>(0.00167 * 72 * s + 0.5) <= 720; };
    int32_t expected = 200;
    while (!fits(expected)) --expected;
    EXPECT_EQ(expected, LargestFittingSize(Mark(200), kArea, 72, 72, Proportional(5)));
    EXPECT_EQ(expected, LargestFittingSize(Mark(static_cast<uint16_t>(expected)), kArea, 72, 72, Proportional(5)));
    EXPECT_EQ(0, LargestFittingSize(Mark(50), PrintArea{10, 10}, 72, 72, Proportional(5))) << "nothing fits";
    const TextMeasure broken = [](const WatermarkRecord&, int32_t, SIZE*) { return false; };
    EXPECT_EQ(0, LargestFittingSize(Mark(50), kArea, 72, 72, broken));

    const FitResult ok = CheckFit(Mark(static_cast<uint16_t>(expected)), kArea, {72, 144}, 72, Proportional(5));
    EXPECT_FALSE(ok.lowered);
    const FitResult lowered = CheckFit(Mark(200), kArea, {144}, 72, Proportional(5));
    EXPECT_TRUE(lowered.lowered) << "the settings' resolution is measured even when the table lacks it";
    EXPECT_EQ(72, lowered.dpi);
    EXPECT_EQ(expected, lowered.size);
}

TEST(WatermarkFit, PrintableAreaIsThePaperLessItsMargins) {
    std::vector<BYTE> bytes(sizeof(OEMDEV), 0);
    OEMDEV& rec = *reinterpret_cast<OEMDEV*>(bytes.data());
    nvx::settings::SetNumber(rec, "sizPaper.cx", 2100);
    nvx::settings::SetNumber(rec, "sizPaper.cy", 2970);
    for (const char* m : {"rcMargin.left", "rcMargin.top", "rcMargin.right", "rcMargin.bottom"})
        nvx::settings::SetNumber(rec, m, 43);
    nvx::settings::SetNumber(rec, "nOrientation", 1);
    PrintArea a = PrintableArea(rec);
    EXPECT_EQ(2014, a.width);
    EXPECT_EQ(2884, a.height);
    nvx::settings::SetNumber(rec, "nOrientation", 2);
    a = PrintableArea(rec);
    EXPECT_EQ(2884, a.width) << "landscape turns the area";
    nvx::settings::SetNumber(rec, "rcMargin.left", 3000);
    EXPECT_EQ(0, PrintableArea(rec).height) << "margins wider than the paper leave nothing, not a negative area";
}

// ---- The dialog's list ----

TEST(WatermarkEditList, ItemsBackIntoListsAndOrder) {
    WatermarkSet set;
    set.shared = BuiltinWatermarks(WL("Arial"));
    for (const WatermarkRecord& r : set.shared) set.order.push_back(MakeOrderRecord(r, true));
    WatermarkRecord own = NewWatermarkTemplate(WL("Arial"));
    SetWatermarkTexts(&own, "", WL("Mine"), WL("Mine"), WL("Arial"));
    ASSERT_EQ(EditResult::Done, AddWatermark(&set, own, false));
    std::vector<EditItem> items = EditItems(set);
    ASSERT_EQ(7u, items.size());
    EXPECT_FALSE(items[6].shared);
    std::swap(items[0], items[6]);
    EXPECT_EQ(-1, DuplicateTitle(items));
    const WatermarkSet back = SetFromItems(items);
    EXPECT_EQ(6u, back.shared.size());
    ASSERT_EQ(1u, back.personal.size());
    ASSERT_EQ(7u, back.order.size());
    EXPECT_EQ(0u, back.order[0].bPublic) << "the user's own now comes first";
    EXPECT_EQ(nvx::WString(WL("Mine")), FieldText(DisplayList(back)[0].record->szWmkTitle, 64));

    items.push_back(items[0]);
    EXPECT_EQ(7, DuplicateTitle(items)) << "a second own watermark of one title";
    items.back().shared = true;
    EXPECT_EQ(-1, DuplicateTitle(items)) << "a shared one may carry the title of an own one";
}

TEST(WatermarkEditList, ListsAreCutToTheirCapacities) {
    std::vector<EditItem> items;
    for (int i = 0; i < 25; ++i) {
        EditItem item;
        item.record = NewWatermarkTemplate(WL("Arial"));
        const nvx::WString title = nvx::WFormatString(WL("M%d"), i);
        SetWatermarkTexts(&item.record, "", title, title, WL("Arial"));
        items.push_back(item);
    }
    const WatermarkSet set = SetFromItems(items);
    EXPECT_EQ(kMaxPrivateWatermarks, set.personal.size());
    EXPECT_EQ(kMaxPrivateWatermarks, set.order.size()) << "no order entry without its watermark";
}

// ---- The picture ----

TEST(WatermarkPreview, TheTextIsCentredAtItsPositionAndTurned) {
    const RECT frame{10, 20, 112, 164};  // 102 x 144: 100 x 142 inside the border
    PreviewLayout l;
    // A square inch in a tall frame: 100 x 100 pixels, centred vertically.
    ASSERT_TRUE(LayoutPreview(Mark(36), PrintArea{254, 254}, frame, 72, Proportional(2), &l));
    EXPECT_EQ(11, l.page.left);
    EXPECT_EQ(42, l.page.top);
    EXPECT_EQ(111, l.page.right);
    EXPECT_EQ(142, l.page.bottom);
    // 100 pixels for 72 points: 36 points are 50 pixels high.
    EXPECT_EQ(50, l.fontHeight);
    EXPECT_EQ(100, l.extent.cx);
    EXPECT_EQ(61, l.centre.x);
    EXPECT_EQ(92, l.centre.y);
    EXPECT_EQ(11, l.origin.x) << "half the extent left of the centre";
    EXPECT_EQ(67, l.origin.y) << "half the height above it";

    ASSERT_TRUE(LayoutPreview(Mark(36, 90, 50, -50), PrintArea{254, 254}, frame, 72, Proportional(2), &l));
    EXPECT_EQ(86, l.centre.x) << "+50% of half the width right of the middle";
    EXPECT_EQ(67, l.centre.y) << "-50% of half the height: above the middle";
    // Turned up (counter-clockwise): the text runs upward, so it starts below the centre.
    EXPECT_EQ(86 - 25, l.origin.x);
    EXPECT_EQ(67 + 50, l.origin.y);
    // The box stands: narrower than high.
    EXPECT_LT(std::abs(l.box[1].x - l.box[0].x), std::abs(l.box[1].y - l.box[0].y));

    EXPECT_FALSE(LayoutPreview(Mark(36), PrintArea{0, 100}, frame, 72, Proportional(2), &l));
    EXPECT_FALSE(LayoutPreview(Mark(36), PrintArea{100, 100}, RECT{0, 0, 2, 2}, 72, Proportional(2), &l));
}

#ifndef _WIN32
// ---- Real text metrics: the display's GDI against FreeType called here ----

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kDejaVuBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// The extent of a text at an em height, measured with FreeType directly: the sum
// of the unhinted advances, rounded once; the height the face's ascender plus descender.
struct FreeTypeMeasure {
    FT_Library library = nullptr;
    FT_Face regular = nullptr, bold = nullptr;
    FreeTypeMeasure() {
        if (FT_Init_FreeType(&library) != 0) return;
        if (FT_New_Face(library, kDejaVu, 0, &regular) != 0) regular = nullptr;
        if (FT_New_Face(library, kDejaVuBold, 0, &bold) != 0) bold = nullptr;
    }
    ~FreeTypeMeasure() {
        if (regular) FT_Done_Face(regular);
        if (bold) FT_Done_Face(bold);
        if (library) FT_Done_FreeType(library);
    }
    bool Measure(bool isBold, const std::u16string& text, int32_t height, SIZE* out) const {
        FT_Face face = isBold ? bold : regular;
        if (!face || FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(height)) != 0) return false;
        long long sum = 0;  // 16.16
        for (char16_t c : text) {
            if (FT_Load_Char(face, c, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return false;
            sum += face->glyph->linearHoriAdvance;
        }
        out->cx = static_cast<LONG>((sum + 0x8000) >> 16);
        out->cy = static_cast<LONG>((face->size->metrics.ascender - face->size->metrics.descender + 32) >> 6);
        return true;
    }
    // An outline text (styles 3 and 4) on the regular face: the advances' box (ascent
    // to descent) grown to hold every glyph's outline box, in whole pixels rounded
    // outward, each glyph at the pen moved by its rounded advance.
    bool MeasureOutline(const std::u16string& text, int32_t height, SIZE* out) const {
        SIZE advance{};
        if (!Measure(false, text, height, &advance)) return false;
        const FT_Size_Metrics& sm = regular->size->metrics;
        long left = 0, right = advance.cx;
        long top = (sm.ascender + 32) >> 6, bottom = -((-sm.descender + 32) >> 6);
        long pen = 0;
        for (char16_t c : text) {
            if (FT_Load_Char(regular, c, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return false;
            const FT_Glyph_Metrics& m = regular->glyph->metrics;
            if (m.width > 0 && m.height > 0) {
                left = std::min(left, pen + static_cast<long>(std::floor(m.horiBearingX / 64.0)));
                right = std::max(right, pen + static_cast<long>(std::ceil((m.horiBearingX + m.width) / 64.0)));
                top = std::max(top, static_cast<long>(std::ceil(m.horiBearingY / 64.0)));
                bottom = std::min(bottom, static_cast<long>(std::floor((m.horiBearingY - m.height) / 64.0)));
            }
            pen += static_cast<long>((regular->glyph->linearHoriAdvance + 0x8000) >> 16);
        }
        out->cx = static_cast<LONG>(right - left);
        out->cy = static_cast<LONG>(top - bottom);
        return true;
    }
};

class RealMetrics : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ft_.regular || !ft_.bold) GTEST_SKIP() << "the DejaVu fonts are not installed";
    }
    static WatermarkRecord DejaVu(const WCHAR* text, uint16_t size, int16_t style = 1) {
        WatermarkRecord r = NewWatermarkTemplate(WL("DejaVu Sans"));
        SetWatermarkTexts(&r, "", WL("T"), text, WL("DejaVu Sans"));
        r.wSize = size;
        r.nStyle = style;
        return r;
    }
    FreeTypeMeasure ft_;
};

TEST_F(RealMetrics, GdiMeasuresAShippedFontAsFreeTypeDoes) {
    const std::u16string texts[] = {u"Confidential", u"WAVE AV", u"iiii", u"Mmmm", u"x"};
    for (const std::u16string& text : texts)
        for (int32_t height : {8, 50, 333, 1666}) {
            SIZE gdi{}, mine{};
            ASSERT_TRUE(MeasureWithGdi(DejaVu(text.c_str(), 10), height, &gdi));
            ASSERT_TRUE(ft_.Measure(false, text, height, &mine));
            EXPECT_EQ(mine.cx, gdi.cx) << height;
            EXPECT_EQ(mine.cy, gdi.cy) << height;
        }
    // Proportional, not the fixed metric: four i's are far narrower than four M's.
    SIZE narrow{}, wide{};
    ASSERT_TRUE(MeasureWithGdi(DejaVu(WL("iiii"), 10), 100, &narrow));
    ASSERT_TRUE(MeasureWithGdi(DejaVu(WL("MMMM"), 10), 100, &wide));
    EXPECT_LT(narrow.cx * 2, wide.cx);
}

// Styles 3 and 4 print outlines of the regular face: they are measured by the
// glyphs' outlines, never with the wider bold face.
TEST_F(RealMetrics, OutlineStylesAreMeasuredByTheirOutlines) {
    const std::u16string texts[] = {u"Confidential", u"Do Not Copy", u"fj", u"W", u"\u00c5gypt"};
    for (const std::u16string& text : texts)
        for (int32_t height : {8, 50, 333, 1666}) {
            SIZE gdi{}, mine{}, bold{}, plain{};
            ASSERT_TRUE(MeasureWithGdi(DejaVu(text.c_str(), 10, 3), height, &gdi));
            ASSERT_TRUE(ft_.MeasureOutline(text, height, &mine));
            EXPECT_EQ(mine.cx, gdi.cx) << height;
            EXPECT_EQ(mine.cy, gdi.cy) << height;
            ASSERT_TRUE(ft_.Measure(false, text, height, &plain));
            EXPECT_GE(gdi.cx, plain.cx) << "the outline box holds the advances";
            EXPECT_GE(gdi.cy, plain.cy);
            ASSERT_TRUE(ft_.Measure(true, text, height, &bold));
            if (text.size() > 3) {
                EXPECT_LT(gdi.cx, bold.cx) << "not the bold face";
            }
        }
}

TEST_F(RealMetrics, TheFitCheckAgreesWithFreeType) {
    const TextMeasure independent = [this](const WatermarkRecord& r, int32_t height, SIZE* extent) {
        const nvx::WString text = FieldText(r.szWmkStr, sizeof r.szWmkStr);
        const std::u16string t(text.begin(), text.end());
        return r.nStyle == 3 || r.nStyle == 4 ? ft_.MeasureOutline(t, height, extent) : ft_.Measure(false, t, height, extent);
    };
    const PrintArea a4{2100 - 86, 2970 - 86};
    struct Case {
        const WCHAR* text;
        uint16_t size;
        int16_t angle;
        int16_t style;
    };
    const Case cases[] = {{WL("Confidential"), 200, 0, 1}, {WL("Draft"), 114, 45, 1}, {WL("Do Not Copy"), 300, -45, 3},
                          {WL("Final"), 88, 45, 1}};
    for (const Case& c : cases) {
        WatermarkRecord r = DejaVu(c.text, c.size, c.style);
        r.nAngle = c.angle;
        for (int32_t dpi : {300, 600, 1200}) {
            const int32_t expected = LargestFittingSize(r, a4, dpi, 600, independent);
            EXPECT_EQ(expected, LargestFittingSize(r, a4, dpi, 600, MeasureWithGdi)) << dpi;
            EXPECT_GT(expected, 0);
        }
        const FitResult mine = CheckFit(r, a4, {300, 600, 1200}, 600, independent);
        const FitResult gdi = CheckFit(r, a4, {300, 600, 1200}, 600, MeasureWithGdi);
        EXPECT_EQ(mine.lowered, gdi.lowered);
        EXPECT_EQ(mine.size, gdi.size);
    }
    // "Confidential" 200 points across A4 portrait does not fit; the size found does, one more does not.
    WatermarkRecord big = DejaVu(WL("Confidential"), 200);
    const FitResult fit = CheckFit(big, a4, {600}, 600, MeasureWithGdi);
    ASSERT_TRUE(fit.lowered);
    ASSERT_GT(fit.size, 1);
    big.wSize = static_cast<uint16_t>(fit.size);
    EXPECT_FALSE(CheckFit(big, a4, {600}, 600, MeasureWithGdi).lowered);
    big.wSize = static_cast<uint16_t>(fit.size + 1);
    EXPECT_TRUE(CheckFit(big, a4, {600}, 600, MeasureWithGdi).lowered);
}

TEST_F(RealMetrics, TheDialogFontsKeepTheFixedMetric) {
    // A face the machine does not have is measured as before, whatever it is called.
    WatermarkRecord r = DejaVu(WL("abcd"), 10);
    PutFieldText(r.szFontName, sizeof r.szFontName, WL("MS Shell Dlg"));
    SIZE s{};
    ASSERT_TRUE(MeasureWithGdi(r, 11, &s));
    EXPECT_EQ(24, s.cx);
    EXPECT_EQ(13, s.cy);
}
#endif

}  // namespace
