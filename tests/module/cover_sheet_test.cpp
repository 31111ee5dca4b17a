// The fax cover sheet record, its stored form, the named sets and the image file check.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/le.h"
#include "common/text.h"
#include "fax/cover_sheet.h"
#include "model/stores.h"
#include "support/platform_test.h"

namespace {

using namespace nvx::fax;
using nvx::WString;
using Bytes = std::vector<BYTE>;

const WCHAR* const kMaker = WL("VELMORA");
const WCHAR* const kDriver = WL("NOVRIX Fax Driver");
const WCHAR* const kPrinter = WL("Cover Fax");
const WCHAR* const kCoverPath = WL("Software\\VELMORA\\NOVRIX Fax Driver\\Cover Fax\\FaxCoverSheet");
const WCHAR* const kSetsPath = WL("Software\\VELMORA\\NOVRIX Fax Driver\\Cover Fax\\FaxCoverSheet\\CoverSheetSet");

template <typename T>
Bytes BytesOf(const T& v) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&v);
    return Bytes(p, p + sizeof v);
}

class CoverSheetStoreTest : public PlatformTest {
protected:
    static bool KeyExists(const WCHAR* path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    static void Put(const WCHAR* path, const WCHAR* name, DWORD type, const Bytes& data) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                                 nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())));
        RegCloseKey(key);
    }
    // The value's bytes, or "missing".
    static std::optional<Bytes> Get(const WCHAR* path, const WCHAR* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
        Bytes data;
        DWORD size = 0;
        std::optional<Bytes> out;
        if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            data.resize(size);
            if (RegQueryValueExW(key, name, nullptr, nullptr, data.data(), &size) == ERROR_SUCCESS) out = data;
        }
        RegCloseKey(key);
        return out;
    }
    static CoverSheetRecord Filled() {
        CoverSheetRecord r = DefaultCoverSheet();
        SetField(r.setName, WL("Weekly"));
        r.coverSize = 3;
        r.basic.style = 2;
        SetField(r.basic.subject, WL("Quarterly figures"));
        r.basic.dateOn = 1;
        r.basic.dateForm = 8;
        r.basic.pagesOn = 1;
        r.basic.pageCount = 12;
        SetField(r.basic.comment, WL("line one\r\nline two"));
        r.recipient.mode = 1;
        r.recipient.source = 2;
        r.recipient.nameOn = 1;
        SetField(r.recipient.name, WL("A. Reader"));
        r.sender.items[kSenderEmail].on = 1;
        SetField(r.sender.items[kSenderEmail].text, WL("fax@example.org"));
        r.image.paste = 1;
        SetField(r.image.file, WL("C:\\logo.bmp"));
        r.image.x = 40;
        r.image.y = 60;
        return r;
    }
};

// ---- Layout -------------------------------------------------------------------

TEST(CoverSheetLayout, FieldsSitAtTheirRecordOffsets) {
    CoverSheetRecord r;
    std::memset(&r, 0, sizeof r);
    r.setName[20] = 0x4142;
    r.coverSize = 0x0102;
    r.basic.dateForm = 7;
    r.basic.pageCount = 0x0304;
    r.basic.comment[640] = 0x0506;
    r.recipient.source = 2;
    r.recipient.fax[80] = 0x0708;
    r.sender.items[kSenderEmail].on = 1;
    r.sender.items[kSenderEmail].text[80] = 0x090A;
    r.image.zoom = 0x0B0C;
    r.image.y = -2;
    Bytes b = BytesOf(r);
    ASSERT_EQ(3746u, b.size());
    EXPECT_EQ(0x4142, nvx::GetLE16(&b[40]));
    EXPECT_EQ(0x0102, nvx::GetLE16(&b[42]));
    EXPECT_EQ(7, b[44 + 134]);
    EXPECT_EQ(0x0304, nvx::GetLE16(&b[44 + 180]));
    EXPECT_EQ(0x0506, nvx::GetLE16(&b[44 + 182 + 640 * 2]));
    EXPECT_EQ(2, b[1508 + 68]);
    EXPECT_EQ(0x0708, nvx::GetLE16(&b[1508 + 562 + 160]));
    EXPECT_EQ(1, b[2232 + 5 * 164]);
    EXPECT_EQ(0x090A, nvx::GetLE16(&b[2232 + 5 * 164 + 2 + 160]));
    EXPECT_EQ(0x0B0C, nvx::GetLE16(&b[3216 + 524]));
    EXPECT_EQ(0xFFFE, nvx::GetLE16(&b[3216 + 528]));
}

TEST(CoverSheetLayout, DefaultRecordIsTheBuiltInOne) {
    Bytes b = BytesOf(DefaultCoverSheet());
    // Everything zero except subject on, page count 1 and the image's zoom and position.
    Bytes expected(3746, 0);
    expected[44 + 1] = 1;
    expected[44 + 180] = 1;
    expected[3216 + 524] = 100;
    expected[3216 + 526] = 1;
    expected[3216 + 528] = 1;
    EXPECT_EQ(expected, b);
}

// ---- Stored values --------------------------------------------------------------

TEST(CoverSheetStored, EachPartOfTheWrongSizeOrUnsoundKeepsItsDefault) {
    CoverSheetRecord filled = DefaultCoverSheet();
    filled.basic.style = 3;
    filled.recipient.mode = 1;
    filled.sender.items[0].on = 1;
    filled.image.paste = 1;

    StoredCoverSheet good;
    good.basic = BytesOf(filled.basic);
    good.recipient = BytesOf(filled.recipient);
    good.sender = BytesOf(filled.sender);
    good.image = BytesOf(filled.image);
    EXPECT_EQ(BytesOf(filled), BytesOf(CoverSheetFromStored(good)));

    StoredCoverSheet shortOrLong = good;
    shortOrLong.basic->pop_back();
    shortOrLong.image->push_back(0);
    CoverSheetRecord r = CoverSheetFromStored(shortOrLong);
    EXPECT_EQ(BytesOf(DefaultBasic()), BytesOf(r.basic));
    EXPECT_EQ(BytesOf(DefaultImage()), BytesOf(r.image));
    EXPECT_EQ(BytesOf(filled.recipient), BytesOf(r.recipient));

    // Texts that run to the end of their field, and choices out of range.
    CoverBasic noEnd = filled.basic;
    for (WCHAR& c : noEnd.subject) c = 'x';
    CoverRecipient badSource = filled.recipient;
    badSource.source = 3;
    CoverSender senderNoEnd = filled.sender;
    for (WCHAR& c : senderNoEnd.items[5].text) c = 'y';
    CoverImage fileNoEnd = filled.image;
    for (WCHAR& c : fileNoEnd.file) c = 'z';
    StoredCoverSheet unsound;
    unsound.basic = BytesOf(noEnd);
    unsound.recipient = BytesOf(badSource);
    unsound.sender = BytesOf(senderNoEnd);
    unsound.image = BytesOf(fileNoEnd);
    EXPECT_EQ(BytesOf(DefaultCoverSheet()), BytesOf(CoverSheetFromStored(unsound)));

    CoverBasic badStyle = filled.basic, badForm = filled.basic, badMode = filled.basic;
    badStyle.style = 4;
    badForm.dateForm = 9;
    badMode.dateMode = 2;
    for (const CoverBasic& b : {badStyle, badForm, badMode}) {
        StoredCoverSheet s;
        s.basic = BytesOf(b);
        EXPECT_EQ(BytesOf(DefaultBasic()), BytesOf(CoverSheetFromStored(s).basic));
    }
}

TEST(CoverSheetStored, NameAndCoverSize) {
    auto Name = [](const Bytes& bytes) {
        StoredCoverSheet s;
        s.setName = bytes;
        return FieldText(CoverSheetFromStored(s).setName);
    };
    auto Text = [](const WCHAR* t, size_t units) {
        const BYTE* p = reinterpret_cast<const BYTE*>(t);
        return Bytes(p, p + units * 2);
    };
    EXPECT_EQ(WString(WL("Weekly")), Name(Text(WL("Weekly"), 7)));
    EXPECT_EQ(WString(WL("Weekly")), Name(Text(WL("Weekly"), 6)));  // no end, but the rest of the field is zero
    const WCHAR* twenty = WL("abcdefghijklmnopqrst");
    EXPECT_EQ(WString(twenty), Name(Text(twenty, 21)));
    // 21 characters fill all 42 bytes read: no end, not taken.
    EXPECT_EQ(WString(), Name(Text(WL("abcdefghijklmnopqrstu"), 22)));
    EXPECT_EQ(WString(), Name(Bytes{'A'}));  // half a character

    auto Size = [](const Bytes& bytes) {
        StoredCoverSheet s;
        s.coverSize = bytes;
        return CoverSheetFromStored(s).coverSize;
    };
    EXPECT_EQ(7, Size({7, 0, 0, 0}));
    EXPECT_EQ(0xFFFF, Size({0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(0, Size({0, 0, 1, 0}));  // 65536 does not fit
    EXPECT_EQ(0, Size({7, 0}));
}

TEST(CoverSheetStored, SetValuesAreCheckedBeforeUse) {
    Bytes basic = BytesOf(DefaultBasic()), sender = BytesOf(DefaultSender()), image = BytesOf(DefaultImage());
    auto Name = [](const WCHAR* t, size_t units) {
        const BYTE* p = reinterpret_cast<const BYTE*>(t);
        return Bytes(p, p + units * 2);
    };
    auto set = SetFromStored(Name(WL("abcdefghijklmnopqrst"), 20), basic, sender, image);
    ASSERT_TRUE(set);
    EXPECT_EQ(WString(WL("abcdefghijklmnopqrst")), FieldText(set->name));
    EXPECT_TRUE(SetFromStored(Name(WL("kept end"), 9), basic, sender, image));
    EXPECT_TRUE(SetFromStored(Bytes(), basic, sender, image));  // an empty name is a name the store may hold
    EXPECT_FALSE(SetFromStored(Name(WL("abcdefghijklmnopqrstu"), 21), basic, sender, image));
    EXPECT_FALSE(SetFromStored(Name(WL("a\0b"), 3), basic, sender, image));
    EXPECT_FALSE(SetFromStored(Bytes{'a', 0, 'b'}, basic, sender, image));
    Bytes shortSender(sender.begin(), sender.end() - 1);
    EXPECT_FALSE(SetFromStored(Name(WL("x"), 1), basic, shortSender, image));
    CoverImage noEnd = DefaultImage();
    for (WCHAR& c : noEnd.file) c = 'z';
    EXPECT_FALSE(SetFromStored(Name(WL("x"), 1), basic, sender, BytesOf(noEnd)));
}

// ---- Sets in memory -------------------------------------------------------------

TEST(CoverSheetSets, AppendRefusesBadNamesAndKeepsTheList) {
    CoverSheetRecord r = DefaultCoverSheet();
    std::vector<CoverSheetSet> sets;
    EXPECT_EQ(SaveSetResult::EmptyName, AppendSet(&sets, WL(""), r));
    EXPECT_EQ(SaveSetResult::NameTooLong, AppendSet(&sets, WL("abcdefghijklmnopqrstu"), r));
    EXPECT_TRUE(sets.empty());
    EXPECT_EQ(SaveSetResult::Saved, AppendSet(&sets, WL("abcdefghijklmnopqrst"), r));
    EXPECT_EQ(SaveSetResult::NameTaken, AppendSet(&sets, WL("abcdefghijklmnopqrst"), r));
    ASSERT_EQ(1u, sets.size());
    while (sets.size() < kMaxSets) {
        ASSERT_EQ(SaveSetResult::Saved, AppendSet(&sets, nvx::WFormatString(WL("s%u"), unsigned(sets.size())), r));
    }
    EXPECT_EQ(SaveSetResult::Full, AppendSet(&sets, WL("one more"), r));
    EXPECT_EQ(kMaxSets, sets.size());
}

TEST(CoverSheetSets, MatchingComparesBasicSenderAndImageOnly) {
    CoverSheetRecord r = DefaultCoverSheet();
    std::vector<CoverSheetSet> sets;
    r.basic.style = 1;
    ASSERT_EQ(SaveSetResult::Saved, AppendSet(&sets, WL("first"), r));
    r.basic.style = 2;
    ASSERT_EQ(SaveSetResult::Saved, AppendSet(&sets, WL("second"), r));
    EXPECT_EQ(1, MatchingSet(sets, r));
    r.recipient.mode = 1;  // the recipient is not part of a set
    SetField(r.setName, WL("other"));
    EXPECT_EQ(1, MatchingSet(sets, r));
    r.image.x = 7;
    EXPECT_EQ(-1, MatchingSet(sets, r));

    CoverSheetRecord applied = r;
    ApplySet(sets[0], &applied);
    EXPECT_EQ(WString(WL("first")), FieldText(applied.setName));
    EXPECT_EQ(1, applied.basic.style);
    EXPECT_EQ(1, applied.recipient.mode);
    EXPECT_EQ(0, MatchingSet(sets, applied));
}

// ---- The store ------------------------------------------------------------------

TEST_F(CoverSheetStoreTest, NoStoredRecordGivesTheDefaultAndCreatesNothing) {
    CoverSheetRecord r;
    std::memset(&r, 0x5A, sizeof r);
    ASSERT_TRUE(ReadCoverSheet(kMaker, kDriver, kPrinter, &r));
    EXPECT_EQ(BytesOf(DefaultCoverSheet()), BytesOf(r));
    EXPECT_FALSE(KeyExists(kCoverPath));
    EXPECT_TRUE(ReadSets(kMaker, kDriver, kPrinter).empty());
}

TEST_F(CoverSheetStoreTest, KeyThatCannotBeOpenedLeavesTheRecord) {
    CoverSheetRecord r;
    std::memset(&r, 0, sizeof r);
    WString longName(600, 'p');
    EXPECT_FALSE(ReadCoverSheet(kMaker, kDriver, longName.c_str(), &r));
    EXPECT_EQ(Bytes(3746, 0), BytesOf(r));
}

TEST_F(CoverSheetStoreTest, RecordWrittenIsReadBack) {
    CoverSheetRecord written = Filled();
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WriteCoverSheet(kMaker, kDriver, kPrinter, written));
    CoverSheetRecord read = DefaultCoverSheet();
    ASSERT_TRUE(ReadCoverSheet(kMaker, kDriver, kPrinter, &read));
    EXPECT_EQ(BytesOf(written), BytesOf(read));
    // The values as the store keeps them.
    EXPECT_EQ(BytesOf(written.basic), Get(kCoverPath, WL("Basic")));
    EXPECT_EQ(BytesOf(written.image), Get(kCoverPath, WL("Image")));
    EXPECT_EQ((Bytes{3, 0, 0, 0}), Get(kCoverPath, WL("CoverSize")));
    EXPECT_EQ(14u, Get(kCoverPath, WL("CoverSheetSet"))->size());  // "Weekly" and its end
}

TEST_F(CoverSheetStoreTest, DamagedStoredValuesAreFailedReadsOfTheirPart) {
    CoverSheetRecord written = Filled();
    ASSERT_EQ(DWORD(ERROR_SUCCESS), WriteCoverSheet(kMaker, kDriver, kPrinter, written));
    Bytes basic = BytesOf(written.basic);
    basic.resize(1000);
    Put(kCoverPath, WL("Basic"), REG_BINARY, basic);
    CoverRecipient noEnd = written.recipient;
    for (WCHAR& c : noEnd.fax) c = '9';
    Put(kCoverPath, WL("Recipient"), REG_BINARY, BytesOf(noEnd));
    Put(kCoverPath, WL("CoverSheetSet"), REG_SZ, Bytes(60, 'A'));

    CoverSheetRecord read;
    ASSERT_TRUE(ReadCoverSheet(kMaker, kDriver, kPrinter, &read));
    EXPECT_EQ(BytesOf(DefaultBasic()), BytesOf(read.basic));
    EXPECT_EQ(BytesOf(DefaultRecipient()), BytesOf(read.recipient));
    EXPECT_EQ(WString(), FieldText(read.setName));
    EXPECT_EQ(BytesOf(written.sender), BytesOf(read.sender));
    EXPECT_EQ(BytesOf(written.image), BytesOf(read.image));
    EXPECT_EQ(3, read.coverSize);
}

TEST_F(CoverSheetStoreTest, SavingThreeSetsThenTwoLeavesTwo) {
    CoverSheetRecord r = Filled();
    std::vector<CoverSheetSet> sets;
    for (const WCHAR* name : {WL("one"), WL("two"), WL("abcdefghijklmnopqrst")}) {
        ASSERT_EQ(SaveSetResult::Saved, AppendSet(&sets, name, r));
        r.basic.style = static_cast<uint8_t>((r.basic.style + 1) % kStyleCount);
    }
    SetsWrite w = WriteSets(kMaker, kDriver, kPrinter, sets);
    EXPECT_TRUE(w.ok());
    EXPECT_EQ(3u, w.written);
    // A 20-character name is written without its end and read back whole.  Windows
    // adds the end itself when the written text is followed by one in memory (as
    // here); the layer keeps the size it is given.
#ifdef _WIN32
    EXPECT_EQ(42u, Get(kSetsPath, WL("Name02"))->size());
#else
    EXPECT_EQ(40u, Get(kSetsPath, WL("Name02"))->size());
#endif
    std::vector<CoverSheetSet> read = ReadSets(kMaker, kDriver, kPrinter);
    ASSERT_EQ(3u, read.size());
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(BytesOf(sets[i]), BytesOf(read[i])) << i;

    sets.erase(sets.begin());
    ASSERT_TRUE(WriteSets(kMaker, kDriver, kPrinter, sets).ok());
    EXPECT_EQ((Bytes{2, 0, 0, 0}), Get(kSetsPath, WL("OrderNum")));
    for (const WCHAR* gone : {WL("Name02"), WL("Basic02"), WL("Sender02"), WL("Image02")}) {
        EXPECT_FALSE(Get(kSetsPath, gone)) << nvx::Utf8FromW(gone);
    }
    read = ReadSets(kMaker, kDriver, kPrinter);
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(WString(WL("two")), FieldText(read[0].name));
    EXPECT_EQ(WString(WL("abcdefghijklmnopqrst")), FieldText(read[1].name));
}

TEST_F(CoverSheetStoreTest, DamagedSetsAreLeftOutAndAHugeCountIsBounded) {
    CoverSheetRecord r = DefaultCoverSheet();
    std::vector<CoverSheetSet> sets;
    for (const WCHAR* name : {WL("a"), WL("b"), WL("c")}) ASSERT_EQ(SaveSetResult::Saved, AppendSet(&sets, name, r));
    ASSERT_TRUE(WriteSets(kMaker, kDriver, kPrinter, sets).ok());
    Put(kSetsPath, WL("Sender01"), REG_BINARY, Bytes(10, 0));
    Put(kSetsPath, WL("OrderNum"), REG_DWORD, Bytes{0xFF, 0xFF, 0xFF, 0xFF});
    std::vector<CoverSheetSet> read = ReadSets(kMaker, kDriver, kPrinter);
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(WString(WL("a")), FieldText(read[0].name));
    EXPECT_EQ(WString(WL("c")), FieldText(read[1].name));
}

// ---- Texts and ranges -------------------------------------------------------------

TEST(CoverSheetTexts, CommentSplitsAtCarriageReturnLineFeed) {
    CoverBasic b = DefaultBasic();
    SetField(b.comment, WL("one\r\ntwo\nstill two\r\n\r\nfour"));
    std::vector<WString> lines = CommentLines(b);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(WString(WL("two\nstill two")), lines[1]);
    EXPECT_EQ(WString(), lines[2]);
    EXPECT_EQ(WString(WL("four")), lines[3]);
    // A field cut short keeps its room: the last unit stays the end.
    SetField(b.subject, WString(100, 'x'));
    EXPECT_EQ(64u, FieldText(b.subject).size());
}

TEST(CoverSheetTexts, ImageRangesAreBroughtToTheirBounds) {
    CoverImage i = DefaultImage();
    EXPECT_EQ(0, ClampImageRanges(&i));
    i.zoom = 10;  // zoom off: not checked
    EXPECT_EQ(0, ClampImageRanges(&i));
    i.zoomOn = 1;
    EXPECT_EQ(1, ClampImageRanges(&i));
    EXPECT_EQ(50, i.zoom);
    i.zoom = 801;
    i.x = 0;
    i.y = 101;
    EXPECT_EQ(1, ClampImageRanges(&i));
    EXPECT_EQ(800, i.zoom);
    EXPECT_EQ(1, i.x);
    EXPECT_EQ(100, i.y);
    i.y = -5;
    EXPECT_EQ(3, ClampImageRanges(&i));
    EXPECT_EQ(1, i.y);
}

// ---- The image file ---------------------------------------------------------------

class CoverImageFileTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        WCHAR temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        dir_ = WString(temp);
    }
    WString Write(const WCHAR* name, const std::string& bytes) {
        WString path = dir_ + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return path;
    }
    // A 2 x 2 bitmap of 24 bits.
    static std::string Bitmap() {
        std::string b(54 + 16, '\0');
        b[0] = 'B';
        b[1] = 'M';
        nvx::PutLE32(&b[2], static_cast<uint32_t>(b.size()));
        nvx::PutLE32(&b[10], 54);
        nvx::PutLE32(&b[14], 40);
        nvx::PutLE32(&b[18], 2);
        nvx::PutLE32(&b[22], 2);
        nvx::PutLE16(&b[26], 1);
        nvx::PutLE16(&b[28], 24);
        return b;
    }
    WString dir_;
};

TEST_F(CoverImageFileTest, OnlyReadableBitmapsPass) {
    EXPECT_EQ(ImageCheck::Ok, CheckImageFile(Write(WL("logo.bmp"), Bitmap()).c_str()));
    EXPECT_EQ(ImageCheck::NoFile, CheckImageFile((dir_ + WL("missing.bmp")).c_str()));
    EXPECT_EQ(ImageCheck::NoFile, CheckImageFile(WL("")));
    EXPECT_EQ(ImageCheck::NoFile, CheckImageFile(nullptr));
    EXPECT_EQ(ImageCheck::NotImage, CheckImageFile(Write(WL("notes.bmp"), "just some text, long enough to be read "
                                                                           "as a header if it were one....").c_str()));
    EXPECT_EQ(ImageCheck::NotImage, CheckImageFile(Write(WL("short.bmp"), "BM").c_str()));
    std::string headerOnly = Bitmap().substr(0, 54);
    EXPECT_EQ(ImageCheck::NotImage, CheckImageFile(Write(WL("empty.bmp"), headerOnly).c_str()));
    std::string zeroWidth = Bitmap();
    nvx::PutLE32(&zeroWidth[18], 0);
    EXPECT_EQ(ImageCheck::NotImage, CheckImageFile(Write(WL("zero.bmp"), zeroWidth).c_str()));
    std::string badBits = Bitmap();
    nvx::PutLE16(&badBits[28], 7);
    EXPECT_EQ(ImageCheck::NotImage, CheckImageFile(Write(WL("bits.bmp"), badBits).c_str()));
    EXPECT_EQ(ImageCheck::NoFile, CheckImageFile(dir_.c_str()));  // a folder
}

}  // namespace

namespace {

TEST(CoverSheetTabs, PageCountIsOneToNineThousandNineHundredNinetyNine) {
    uint16_t count = 77;
    EXPECT_TRUE(ParsePageCount(WL("1"), &count));
    EXPECT_EQ(1, count);
    EXPECT_TRUE(ParsePageCount(WL("9999"), &count));
    EXPECT_EQ(9999, count);
    for (const WCHAR* bad : {WL(""), WL("0"), WL("10000"), WL("00001"), WL("-1"), WL("1a"), WL(" 5")}) {
        count = 77;
        EXPECT_FALSE(ParsePageCount(bad, &count)) << nvx::Utf8FromW(bad);
        EXPECT_EQ(77, count);
    }
}

TEST(CoverSheetTabs, RecipientDetailsAndTitle) {
    CoverRecipient r = DefaultRecipient();
    EXPECT_FALSE(DetailsHoldText(r));
    RecipientDetails d{WString(100, 'c'), WL("Sales"), WL("A. Reader"), WL("0123#*")};
    FillDetails(&r, d);
    EXPECT_TRUE(DetailsHoldText(r));
    EXPECT_EQ(80u, FieldText(r.company).size());
    EXPECT_EQ(0, r.company[80]);
    EXPECT_EQ(WString(WL("0123#*")), FieldText(r.fax));
    FillDetails(&r, RecipientDetails{});
    EXPECT_FALSE(DetailsHoldText(r));
    EXPECT_EQ(BytesOf(DefaultRecipient()), BytesOf(r));  // no bytes of the longer text stay behind

    EXPECT_FALSE(KeepStandardTitle(&r, WL("To all")));
    EXPECT_EQ(WString(WL("To all")), FieldText(r.title));
    EXPECT_TRUE(KeepStandardTitle(&r, WL("other")));
    EXPECT_EQ(WString(WL("To all")), FieldText(r.title));
}

TEST(CoverSheetSets, RenameAndMoveKeepNamesUnique) {
    CoverSheetRecord r = DefaultCoverSheet();
    std::vector<CoverSheetSet> sets;
    for (const WCHAR* name : {WL("a"), WL("b"), WL("c")}) ASSERT_EQ(SaveSetResult::Saved, AppendSet(&sets, name, r));
    EXPECT_EQ(SaveSetResult::NameTaken, RenameSet(&sets, 0, WL("b")));
    EXPECT_EQ(SaveSetResult::Saved, RenameSet(&sets, 1, WL("b")));  // its own name
    EXPECT_EQ(SaveSetResult::EmptyName, RenameSet(&sets, 1, WL("")));
    EXPECT_EQ(SaveSetResult::NameTooLong, RenameSet(&sets, 1, WString(21, 'x')));
    EXPECT_EQ(SaveSetResult::Saved, RenameSet(&sets, 2, WL("z")));
    EXPECT_TRUE(MoveSet(&sets, 2, 0));
    EXPECT_FALSE(MoveSet(&sets, 3, 0));
    ASSERT_EQ(3u, sets.size());
    EXPECT_EQ(WString(WL("z")), FieldText(sets[0].name));
    EXPECT_EQ(WString(WL("a")), FieldText(sets[1].name));
    EXPECT_EQ(WString(WL("b")), FieldText(sets[2].name));
}

}  // namespace

// ---- The cover-sheet check library (headless message boxes: Linux) ------------------

#ifndef _WIN32
#include "fax/cover_check.h"
#include "platform/ui_host.h"

namespace {

class CoverCheckTest : public PlatformTest {};

TEST_F(CoverCheckTest, TheLibraryShowsThePlacementAndAMissingOneDoesNothing) {
    NvxUi_ClearLog();
    CoverImage image = DefaultImage();
    image.paste = 1;
    image.x = 40;
    image.y = 7;
    const WString library = nvx::WFromUtf8(NVX_DRIVER_DIR "/NOVRIX_Z.DLL");
    ASSERT_TRUE(RunCoverSheetCheckFrom(library.c_str(), nullptr, 0x123456789ull, image));
    ASSERT_EQ(1, NvxUi_LogCount());
    NvxUiLogEntry entry{};
    ASSERT_TRUE(NvxUi_GetLogEntry(0, &entry));
    EXPECT_EQ(NVXUI_LOG_MESSAGEBOX, entry.kind);
    EXPECT_EQ(WString(WL("The image is placed at 40, 7.")), WString(entry.text));

    NvxUi_ClearLog();
    const WString missing = nvx::WFromUtf8(NVX_DRIVER_DIR "/NO_SUCH.DLL");
    EXPECT_FALSE(RunCoverSheetCheckFrom(missing.c_str(), nullptr, 0, image));
    EXPECT_FALSE(RunCoverSheetCheckFrom(WL(""), nullptr, 0, image));
    // A library without the entry point: loaded, nothing called, freed.
    const WString other = nvx::WFromUtf8(NVX_DRIVER_DIR "/NOVRIX_D.DLL");
    EXPECT_FALSE(RunCoverSheetCheckFrom(other.c_str(), nullptr, 0, image));
    EXPECT_EQ(0, NvxUi_LogCount());
}

}  // namespace
#endif  // _WIN32
