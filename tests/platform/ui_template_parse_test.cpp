// The dialog template parser on its own: both template formats field by
// field, and malformed input (every truncation, bad counts, strings and
// creation data running past the end) refused without reading outside it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/linux/user32/user_dlgtemplate.h"

namespace {

using nvxp::DialogTemplateInfo;
using nvxp::ParseDialogTemplate;

// Little-endian template bytes.
struct Bytes {
    std::vector<uint8_t> v;
    Bytes& Word(uint16_t w) {
        v.push_back(static_cast<uint8_t>(w));
        v.push_back(static_cast<uint8_t>(w >> 8));
        return *this;
    }
    Bytes& Dword(uint32_t d) { return Word(static_cast<uint16_t>(d)).Word(static_cast<uint16_t>(d >> 16)); }
    Bytes& Byte(uint8_t b) {
        v.push_back(b);
        return *this;
    }
    Bytes& Str(const char16_t* s) {
        for (; *s; ++s) Word(*s);
        return Word(0);
    }
    Bytes& Align() {
        while (v.size() % 4) v.push_back(0);
        return *this;
    }
};

// An extended template: a dialog with a font, a class name and two items, the
// second with three bytes of creation data.
Bytes Extended() {
    Bytes b;
    b.Word(1).Word(0xFFFF).Dword(77).Dword(WS_EX_CONTROLPARENT).Dword(DS_SETFONT | DS_CONTEXTHELP | WS_POPUP);
    b.Word(2).Word(1).Word(2).Word(200).Word(100);
    b.Word(0).Str(u"MyDialogClass").Str(u"Title");
    b.Word(8).Word(400).Byte(1).Byte(2).Str(u"MS Shell Dlg");
    b.Align().Dword(5).Dword(0).Dword(BS_AUTOCHECKBOX | WS_TABSTOP).Word(7).Word(8).Word(50).Word(10).Dword(1001);
    b.Word(0xFFFF).Word(0x0080).Str(u"&Check").Word(0);
    b.Align().Dword(0).Dword(WS_EX_CLIENTEDGE).Dword(0).Word(0).Word(0).Word(10).Word(10).Dword(0x12345);
    b.Str(u"SysListView32").Word(0xFFFF).Word(300).Word(3).Byte(9).Byte(8).Byte(7);
    return b;
}

// The same in the classic format, without a font.
Bytes Classic() {
    Bytes b;
    b.Dword(WS_POPUP | WS_CAPTION).Dword(0).Word(1).Word(1).Word(2).Word(200).Word(100);
    b.Word(0xFFFF).Word(5).Word(0).Str(u"Old");
    b.Align().Dword(ES_LEFT).Dword(0).Word(3).Word(4).Word(40).Word(12).Word(1002);
    b.Word(0xFFFF).Word(0x0081).Str(u"text").Word(0);
    return b;
}

TEST(DialogTemplates, ExtendedTemplatesParseFieldByField) {
    Bytes b = Extended();
    DialogTemplateInfo t;
    ASSERT_TRUE(ParseDialogTemplate(b.v.data(), b.v.size(), &t));
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.helpId, 77u);
    EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_CONTROLPARENT));
    EXPECT_TRUE(t.style & DS_CONTEXTHELP);
    EXPECT_EQ(t.cx, 200);
    EXPECT_FALSE(t.menu.present);
    EXPECT_EQ(t.className.text, nvx::WString(u"MyDialogClass"));
    EXPECT_EQ(t.title, nvx::WString(u"Title"));
    EXPECT_TRUE(t.hasFont);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.weight, 400);
    EXPECT_EQ(t.italic, 1);
    EXPECT_EQ(t.charSet, 2);
    EXPECT_EQ(t.face, nvx::WString(u"MS Shell Dlg"));
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_EQ(t.items[0].helpId, 5u);
    EXPECT_EQ(t.items[0].id, 1001u);
    EXPECT_TRUE(t.items[0].className.ordinal);
    EXPECT_EQ(t.items[0].className.id, 0x0080);
    EXPECT_EQ(t.items[0].title.text, nvx::WString(u"&Check"));
    EXPECT_EQ(t.items[0].data, nullptr);
    EXPECT_EQ(t.items[1].id, 0x12345u);  // extended ids are DWORDs
    EXPECT_EQ(t.items[1].exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(t.items[1].className.text, nvx::WString(u"SysListView32"));
    EXPECT_TRUE(t.items[1].title.ordinal);
    EXPECT_EQ(t.items[1].title.id, 300);
    ASSERT_EQ(t.items[1].dataSize, 3);
    EXPECT_EQ(t.items[1].data[2], 9);  // after the size word
    EXPECT_EQ(nvx::WString(nvxp::PredefinedClassName(0x0085)), nvx::WString(u"ComboBox"));
    EXPECT_EQ(nvxp::PredefinedClassName(0x0086), nullptr);
    // A caller that does not know the size (CreateDialogIndirectParamW).
    EXPECT_TRUE(ParseDialogTemplate(b.v.data(), SIZE_MAX, &t));
}

TEST(DialogTemplates, ClassicTemplatesParseFieldByField) {
    Bytes b = Classic();
    DialogTemplateInfo t;
    ASSERT_TRUE(ParseDialogTemplate(b.v.data(), b.v.size(), &t));
    EXPECT_FALSE(t.extended);
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION));
    EXPECT_TRUE(t.menu.ordinal);
    EXPECT_EQ(t.menu.id, 5);
    EXPECT_FALSE(t.className.present);
    EXPECT_EQ(t.title, nvx::WString(u"Old"));
    EXPECT_FALSE(t.hasFont);
    ASSERT_EQ(t.items.size(), 1u);
    EXPECT_EQ(t.items[0].id, 1002u);
    EXPECT_EQ(t.items[0].x, 3);
    EXPECT_EQ(t.items[0].className.id, 0x0081);
    EXPECT_EQ(t.items[0].title.text, nvx::WString(u"text"));
}

TEST(DialogTemplates, MalformedTemplatesAreRefused) {
    DialogTemplateInfo t;
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 100, &t));
    Bytes good = Extended();
    EXPECT_FALSE(ParseDialogTemplate(good.v.data(), good.v.size(), nullptr));

    // Every truncation of both formats fails; each copy is exactly that long,
    // so a read past it would show under AddressSanitizer.
    for (const Bytes& whole : {Extended(), Classic()}) {
        for (size_t n = 0; n < whole.v.size(); ++n) {
            std::vector<uint8_t> cut(whole.v.begin(), whole.v.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_FALSE(ParseDialogTemplate(cut.data(), cut.size(), &t)) << n;
        }
    }

    // More items than there are.
    Bytes many = Classic();
    many.v[8] = 0xFF;
    many.v[9] = 0xFF;
    EXPECT_FALSE(ParseDialogTemplate(many.v.data(), many.v.size(), &t));
    // Creation data longer than what follows.
    Bytes data = Extended();
    data.v[data.v.size() - 5] = 0x40;
    EXPECT_FALSE(ParseDialogTemplate(data.v.data(), data.v.size(), &t));
    // A title without its terminator.
    Bytes title;
    title.Dword(WS_POPUP).Dword(0).Word(0).Word(0).Word(0).Word(10).Word(10).Word(0).Word(0).Word('a').Word('b');
    EXPECT_FALSE(ParseDialogTemplate(title.v.data(), title.v.size(), &t));
    // An item without a class.
    Bytes noClass;
    noClass.Dword(WS_POPUP).Dword(0).Word(1).Word(0).Word(0).Word(10).Word(10).Word(0).Word(0).Word(0);
    noClass.Align().Dword(0).Dword(0).Word(0).Word(0).Word(1).Word(1).Word(1).Word(0).Word(0).Word(0);
    EXPECT_FALSE(ParseDialogTemplate(noClass.v.data(), noClass.v.size(), &t));
    // The refusals leave the output alone.
    ASSERT_TRUE(ParseDialogTemplate(good.v.data(), good.v.size(), &t));
    EXPECT_FALSE(ParseDialogTemplate(title.v.data(), title.v.size(), &t));
    EXPECT_EQ(t.items.size(), 2u);
}

}  // namespace
