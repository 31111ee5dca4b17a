// Profile (INI) files: the quirks callers rely on, edits that keep the rest of
// the file, UTF-16 files and errors.
#include "platform/kernel_test_util.h"

namespace {

class KernelProfile : public KernelFolderTest {
protected:
    void SetUp() override {
        KernelFolderTest::SetUp();
        ini_ = Path(WL("test.ini"));
    }
    nvx::WString Get(const WCHAR* section, const WCHAR* key, const WCHAR* def = WL(""), DWORD size = 64,
                     DWORD* length = nullptr) {
        WCHAR buf[256];
        DWORD n = GetPrivateProfileStringW(section, key, def, buf, size, ini_.c_str());
        if (length) *length = n;
        return nvx::WString(buf, n);
    }
    // A double-null list with its items joined by commas.
    static nvx::WString Joined(const WCHAR* list, DWORD length) {
        nvx::WString out(list, length);
        while (!out.empty() && out.back() == 0) out.pop_back();
        for (auto& c : out)
            if (c == 0) c = WL(',');
        return out;
    }
    nvx::WString ini_;
};

TEST_F(KernelProfile, WriteCreatesAnsiFileAndReadsBack) {
    EXPECT_TRUE(WritePrivateProfileStringW(WL("Sec"), WL("Key"), WL("Value"), ini_.c_str()));
    EXPECT_EQ("[Sec]\r\nKey=Value\r\n", ReadBytes(ini_));
    EXPECT_TRUE(WritePrivateProfileStringW(WL("sec"), WL("KEY"), WL("caf\u00e9"), ini_.c_str()));  // same key
    EXPECT_TRUE(WritePrivateProfileStringW(WL("Sec"), WL("Other"), WL("2"), ini_.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringW(WL("Next"), WL("N"), WL("  lead"), ini_.c_str()));
    EXPECT_EQ("[Sec]\r\nKey=caf\xE9\r\nOther=2\r\n[Next]\r\nN=lead\r\n", ReadBytes(ini_));
    EXPECT_EQ(nvx::WString(WL("caf\u00e9")), Get(WL(" SEC "), WL("key ")));
    EXPECT_EQ(0u, GetLastError());
}

TEST_F(KernelProfile, ReadQuirks) {
    ASSERT_TRUE(WriteBytes(ini_, "; comment\r\n[A]\r\n  one = 1 \r\nquoted=\"hello world\"\r\nsingle='x'\r\n"
                                 "half=\"open\r\nnovalue\r\n\r\n[B]\r\nlong=0123456789\r\n"));
    EXPECT_EQ(nvx::WString(WL("1")), Get(WL("a"), WL("ONE")));
    EXPECT_EQ(nvx::WString(WL("hello world")), Get(WL("A"), WL("quoted")));
    EXPECT_EQ(nvx::WString(WL("x")), Get(WL("A"), WL("single")));
    EXPECT_EQ(nvx::WString(WL("\"open")), Get(WL("A"), WL("half")));
    EXPECT_EQ(nvx::WString(WL("def")), Get(WL("A"), WL("novalue"), WL("def")));  // no "=": no value
    EXPECT_EQ(nvx::WString(WL("def")), Get(WL("A"), WL("missing"), WL("def   ")));  // trailing blanks go
    EXPECT_EQ(nvx::WString(WL("  d")), Get(WL("A"), WL("missing"), WL("  d ")));
    EXPECT_EQ(nvx::WString(), Get(WL("A"), WL("missing"), nullptr));
    EXPECT_EQ(nvx::WString(WL("def")), Get(WL("Nope"), WL("one"), WL("def")));

    // A value is cut to nSize - 1 characters.
    DWORD n = 0;
    EXPECT_EQ(nvx::WString(WL("01234")), Get(WL("B"), WL("long"), WL(""), 6, &n));
    EXPECT_EQ(5u, n);
    WCHAR buf[4] = {WL('x'), WL('x'), WL('x'), WL('x')};
    EXPECT_EQ(0u, GetPrivateProfileStringW(WL("B"), WL("long"), WL(""), buf, 0, ini_.c_str()));
    EXPECT_EQ(WL('x'), buf[0]);

    // Key lists leave out comments and lines without "=".
    WCHAR list[64];
    n = GetPrivateProfileStringW(WL("A"), nullptr, WL(""), list, 64, ini_.c_str());
    EXPECT_EQ(nvx::WString(WL("one,quoted,single,half")), Joined(list, n));
    EXPECT_EQ(23u, n);
    EXPECT_EQ(0, list[n]);
    // A missing section gives the default instead.
    n = GetPrivateProfileStringW(WL("Nope"), nullptr, WL("dflt"), list, 64, ini_.c_str());
    EXPECT_EQ(nvx::WString(WL("dflt")), nvx::WString(list, n));
    // The section as "key=value" lines, lines without "=" included.
    n = GetPrivateProfileSectionW(WL("A"), list, 64, ini_.c_str());
    EXPECT_EQ(nvx::WString(WL("one=1,quoted=\"hello world\",single='x',half=\"open,novalue")), Joined(list, n));
    EXPECT_EQ(0, list[n]);
    EXPECT_EQ(0, list[n - 1]);
    EXPECT_EQ(0u, GetPrivateProfileSectionW(nullptr, list, 64, ini_.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(KernelProfile, ListsAreCutToSizeMinusTwo) {
    ASSERT_TRUE(WriteBytes(ini_, "[section1]\r\n[section2]\r\n[section3]\r\n"));
    WCHAR buf[64];
    EXPECT_EQ(27u, GetPrivateProfileSectionNamesW(buf, 29, ini_.c_str()));
    EXPECT_EQ(0, buf[26]);
    EXPECT_EQ(0, buf[27]);
    EXPECT_EQ(26u, GetPrivateProfileSectionNamesW(buf, 28, ini_.c_str()));  // an exact fit counts as cut
    EXPECT_EQ(25u, GetPrivateProfileSectionNamesW(buf, 27, ini_.c_str()));
    EXPECT_EQ(nvx::WString(WL("section1,section2,section")), Joined(buf, 25));
    EXPECT_EQ(0, buf[25]);
    EXPECT_EQ(0, buf[26]);
    EXPECT_EQ(25u, GetPrivateProfileStringW(nullptr, nullptr, nullptr, buf, 27, ini_.c_str()));

    ASSERT_TRUE(WriteBytes(ini_, "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n"));
    EXPECT_EQ(18u, GetPrivateProfileStringW(WL("s"), nullptr, WL(""), buf, 64, ini_.c_str()));
    EXPECT_EQ(8u, GetPrivateProfileStringW(WL("s"), nullptr, WL(""), buf, 10, ini_.c_str()));
    EXPECT_EQ(nvx::WString(WL("name1,na")), Joined(buf, 8));
    EXPECT_EQ(0, buf[9]);

    // No file: nothing, with a single terminator.
    buf[1] = WL('x');
    EXPECT_EQ(0u, GetPrivateProfileSectionNamesW(buf, 10, Path(WL("none.ini")).c_str()));
    EXPECT_EQ(0, buf[0]);
}

TEST_F(KernelProfile, IntegersAsWindowsReadsThem) {
    struct Case {
        const WCHAR* value;
        INT def;
        UINT expected;
    } cases[] = {
        {WL("-1"), 1, 4294967295u},   {WL("1"), -1, 1u},          {WL("+1"), -1, 1u},
        {WL("4294967296"), 1, 0u},    {WL("4294967297"), -1, 1u}, {WL("-4294967297"), 1, 4294967295u},
        {WL("42A94967297"), 1, 42u},  {WL("B4294967297"), 1, 0u}, {WL("  7 apples"), 1, 7u},
        {WL("\"12\""), 1, 12u},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WritePrivateProfileStringW(WL("Test"), WL("Int"), c.value, ini_.c_str()));
        EXPECT_EQ(c.expected, GetPrivateProfileIntW(WL("Test"), WL("Int"), c.def, ini_.c_str()))
            << nvx::Utf8FromW(c.value);
    }
    EXPECT_EQ(4294967295u, GetPrivateProfileIntW(WL("Test"), WL("Missing"), -1, ini_.c_str()));
    EXPECT_EQ(5u, GetPrivateProfileIntW(WL("Test"), WL("Int"), 5, Path(WL("none.ini")).c_str()));
}

TEST_F(KernelProfile, DeletionsKeepTheRestOfTheFile) {
    const std::string original =
        "; header comment\n[Keep]\nA = 1\n\n[Drop]\nx=1\ny=2\n[Edit]\n; note\nk1=v1\nk2=v2\nk3=v3\n";
    ASSERT_TRUE(WriteBytes(ini_, original));
    EXPECT_TRUE(WritePrivateProfileStringW(WL("Drop"), nullptr, nullptr, ini_.c_str()));  // null key: section goes
    EXPECT_TRUE(WritePrivateProfileStringW(WL("edit"), WL("K2"), nullptr, ini_.c_str()));  // null value: key goes
    EXPECT_TRUE(WritePrivateProfileStringW(WL("Edit"), WL("k3"), WL("new"), ini_.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringW(WL("Edit"), WL("k4"), WL("v4"), ini_.c_str()));
    WCHAR list[64];
    DWORD n = GetPrivateProfileSectionNamesW(list, 64, ini_.c_str());
    EXPECT_EQ(nvx::WString(WL("Keep,Edit")), Joined(list, n));
    n = GetPrivateProfileSectionW(WL("Edit"), list, 64, ini_.c_str());
    EXPECT_EQ(nvx::WString(WL("k1=v1,k3=new,k4=v4")), Joined(list, n));
#ifndef _WIN32
    // Beyond that, this layer keeps every other byte: line breaks, spacing and comments.
    EXPECT_EQ("; header comment\n[Keep]\nA = 1\n\n[Edit]\n; note\nk1=v1\nk3=new\nk4=v4\n", ReadBytes(ini_));
#endif
    // Deleting what is not there changes nothing and succeeds.
    EXPECT_TRUE(WritePrivateProfileStringW(WL("Nope"), nullptr, nullptr, ini_.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringW(WL("Edit"), WL("nope"), nullptr, ini_.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringW(WL("Nope"), nullptr, nullptr, Path(WL("absent.ini")).c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Path(WL("absent.ini")).c_str()));

    // A whole section replaced.
    EXPECT_TRUE(WritePrivateProfileSectionW(WL("Keep"), WL("B=2\0C=3\0"), ini_.c_str()));
    EXPECT_EQ(nvx::WString(WL("2")), Get(WL("Keep"), WL("B")));
    EXPECT_EQ(nvx::WString(WL("x")), Get(WL("Keep"), WL("A"), WL("x")));
}

TEST_F(KernelProfile, Utf16FilesStayUtf16) {
    std::string bytes("\xFF\xFE", 2);
    for (char c : std::string("[S]\r\nk=v\r\n")) {
        bytes += c;
        bytes += '\0';
    }
    ASSERT_TRUE(WriteBytes(ini_, bytes));
    EXPECT_EQ(nvx::WString(WL("v")), Get(WL("S"), WL("k")));
    EXPECT_TRUE(WritePrivateProfileStringW(WL("S"), WL("j"), WL("\u65e5"), ini_.c_str()));
    std::string expected = bytes + std::string("j\0=\0\xE5\x65\r\0\n\0", 10);
    EXPECT_EQ(expected, ReadBytes(ini_));
    EXPECT_EQ(nvx::WString(WL("\u65e5")), Get(WL("S"), WL("J")));
}

// What setup files handed to the printer's setup functions rely on: the first of
// a repeated key or section wins (the lists still show every one), names compare
// without case and without their blanks, a line starting with ";" is a comment but
// a value starting with ";" is a value, a header without its "]" still opens its
// section, and a value in matching quotes loses them.
TEST_F(KernelProfile, RepeatedNamesCommentsAndBlanksAsWindows) {
    ASSERT_TRUE(WriteBytes(ini_,
                           "[FixSetting]\r\nSelectColor=Grayscale\r\nselectcolor=Color\r\n;OutputMethod=Hold\r\n"
                           "\t Staple \t=\t Left \t\r\nNote=;not a comment\r\nQ=\"  padded  \"\r\n"
                           "[fixsetting]\r\nLate=1\r\nSelectColor=Auto\r\n"
                           "  [Open\r\nk=open\r\n[ Spaced ]\r\nk=spaced\r\n"));
    EXPECT_EQ(nvx::WString(WL("Grayscale")), Get(WL("FIXSETTING"), WL("SELECTCOLOR")));
    EXPECT_EQ(nvx::WString(WL("def")), Get(WL("FixSetting"), WL("Late"), WL("def")));  // second section unseen
    EXPECT_EQ(nvx::WString(WL("def")), Get(WL("FixSetting"), WL("OutputMethod"), WL("def")));
    EXPECT_EQ(nvx::WString(WL("Left")), Get(WL("FixSetting"), WL("Staple")));
    EXPECT_EQ(nvx::WString(WL("Left")), Get(WL(" FixSetting "), WL(" Staple ")));
    EXPECT_EQ(nvx::WString(WL(";not a comment")), Get(WL("FixSetting"), WL("Note")));
    EXPECT_EQ(nvx::WString(WL("  padded  ")), Get(WL("FixSetting"), WL("Q")));
    EXPECT_EQ(nvx::WString(WL("spaced")), Get(WL("Spaced"), WL("k")));

    WCHAR list[256];
    DWORD n = GetPrivateProfileStringW(WL("FixSetting"), nullptr, WL(""), list, 256, ini_.c_str());
    EXPECT_EQ(nvx::WString(WL("SelectColor,selectcolor,Staple,Note,Q")), Joined(list, n));
}

// A commented line is no key even by its full name, a header without its "]"
// opens a section of its own, and a missing key says so in the last error.
TEST_F(KernelProfile, CommentsUnclosedHeadersAndMissingKeysAsWindows) {
    ASSERT_TRUE(WriteBytes(ini_, "[FixSetting]\r\n;OutputMethod=Hold\r\n  [Open\r\nk=open\r\n[ Spaced ]\r\nk=spaced\r\n"));
    EXPECT_EQ(nvx::WString(WL("def")), Get(WL("FixSetting"), WL(";OutputMethod"), WL("def")));
    EXPECT_EQ(nvx::WString(WL("open")), Get(WL("Open"), WL("k")));
    WCHAR list[256];
    DWORD n = GetPrivateProfileSectionNamesW(list, 256, ini_.c_str());
    EXPECT_EQ(nvx::WString(WL("FixSetting,Open,Spaced")), Joined(list, n));
    SetLastError(0);
    EXPECT_EQ(nvx::WString(WL("d")), Get(WL("PersonalInfo"), WL("VLUserName"), WL("d")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

// Files without a byte-order mark are text in the system code page: a
// Windows-1252 file keeps its accents; UTF-16 without a mark is no text the
// functions read (nothing is found), UTF-16 and UTF-8 with a mark read.
TEST_F(KernelProfile, EncodingsAsWindowsReadsThem) {
    ASSERT_TRUE(WriteBytes(ini_, "[PersonalInfo]\r\nVLUserName=Ren\xE9 M\xFCller\r\n"));
    EXPECT_EQ(nvx::WString(WL("Ren\u00e9 M\u00fcller")), Get(WL("PersonalInfo"), WL("VLUserName")));

    std::string utf16;
    for (char c : std::string("[PersonalInfo]\r\nVLUserName=Ann\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    ASSERT_TRUE(WriteBytes(ini_, utf16));
    EXPECT_EQ(nvx::WString(WL("none")), Get(WL("PersonalInfo"), WL("VLUserName"), WL("none")));
    ASSERT_TRUE(WriteBytes(ini_, std::string("\xFF\xFE", 2) + utf16));
    EXPECT_EQ(nvx::WString(WL("Ann")), Get(WL("PersonalInfo"), WL("VLUserName")));

    ASSERT_TRUE(WriteBytes(ini_, "\xEF\xBB\xBF[PersonalInfo]\r\nVLUserName=Ren\xC3\xA9\r\n"));
    EXPECT_EQ(nvx::WString(WL("Ren\u00e9")), Get(WL("PersonalInfo"), WL("VLUserName")));
    // LF alone ends lines as well as CR LF.
    ASSERT_TRUE(WriteBytes(ini_, "[PersonalInfo]\nVLUserName=Lf\n"));
    EXPECT_EQ(nvx::WString(WL("Lf")), Get(WL("PersonalInfo"), WL("VLUserName")));
}

TEST_F(KernelProfile, WriteErrors) {
    EXPECT_FALSE(WritePrivateProfileStringW(WL("S"), WL("k"), WL("v"), Path(WL("nofolder\\x.ini")).c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_FALSE(WritePrivateProfileStringW(nullptr, WL("k"), WL("v"), ini_.c_str()));
}

TEST_F(KernelProfile, AReadOnlyFileIsNotWritten) {
    ASSERT_TRUE(WritePrivateProfileStringW(WL("S"), WL("k"), WL("v"), ini_.c_str()));
    ASSERT_TRUE(SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WritePrivateProfileStringW(WL("S"), WL("k"), WL("w"), ini_.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(nvx::WString(WL("v")), Get(WL("S"), WL("k")));
    SetFileAttributesW(ini_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

#ifndef _WIN32
TEST_F(KernelProfile, BareFileNamesLiveInTheWindowsFolder) {
    EXPECT_TRUE(WritePrivateProfileStringW(WL("S"), WL("k"), WL("v"), WL("novrix_test.ini")));
    WCHAR windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ("[S]\r\nk=v\r\n", ReadBytes(nvx::WString(windows) + WL("\\NOVRIX_TEST.INI")));
    WCHAR buf[8];
    EXPECT_EQ(1u, GetPrivateProfileStringW(WL("S"), WL("k"), WL(""), buf, 8, WL("Novrix_Test.ini")));
    EXPECT_TRUE(WriteProfileStringW(WL("W"), WL("x"), WL("1")));
    EXPECT_EQ(1u, GetProfileIntW(WL("W"), WL("x"), 0));
}
#endif

}  // namespace
