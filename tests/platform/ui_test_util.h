// Helpers of the user-interface conformance tests, written against Win32 only:
// a builder of binary dialog templates (DLGTEMPLATEEX or DLGTEMPLATE), a
// recorder of the messages a dialog procedure sees, and a fixture that checks
// that a test leaves no window behind.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"
#include "support/platform_test.h"

#ifndef _WIN32
#include "platform/ui_host.h"
#endif

namespace uitest {

// Builds a dialog template in memory, DWORD-aligned as the format asks.
class TemplateBuilder {
public:
    // A font is written when the style has DS_SETFONT.
    TemplateBuilder(DWORD style, short cx, short cy, const WCHAR* title = WL(""), bool extended = true,
                    WORD pointSize = 8, const WCHAR* face = WL("MS Shell Dlg"), short x = 0, short y = 0)
        : extended_(extended) {
        if (extended) {
            Word(1);
            Word(0xFFFF);
            Dword(0);  // help id
            Dword(0);  // ex style
            Dword(style);
        } else {
            Dword(style);
            Dword(0);
        }
        countAt_ = bytes_.size();
        Word(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(0);  // no menu
        Word(0);  // default class
        String(title);
        if (style & DS_SETFONT) {
            Word(pointSize);
            if (extended) {
                Word(FW_NORMAL);
                Byte(0);
                Byte(DEFAULT_CHARSET);
            }
            String(face);
        }
    }

    // A control by predefined atom (0x0080 Button ... 0x0085 ComboBox) when
    // className is null, else by class name.  A null text with iconId > 0 gives
    // the ordinal text (0xFFFF, iconId) that icon statics use.
    TemplateBuilder& Control(DWORD id, WORD atom, const WCHAR* className, const WCHAR* text, DWORD style, short x,
                             short y, short cx, short cy, DWORD exStyle = 0, WORD iconId = 0) {
        Align();
        if (extended_) {
            Dword(0);
            Dword(exStyle);
            Dword(style | WS_CHILD);
        } else {
            Dword(style | WS_CHILD);
            Dword(exStyle);
        }
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        if (extended_) Dword(id);
        else Word(static_cast<WORD>(id));
        if (className) {
            String(className);
        } else {
            Word(0xFFFF);
            Word(atom);
        }
        if (!text && iconId) {
            Word(0xFFFF);
            Word(iconId);
        } else {
            String(text ? text : WL(""));
        }
        Word(0);  // no creation data
        ++count_;
        memcpy(bytes_.data() + countAt_, &count_, 2);
        return *this;
    }

    const DLGTEMPLATE* Get() {
        storage_.assign((bytes_.size() + 3) / 4, 0);
        memcpy(storage_.data(), bytes_.data(), bytes_.size());
        return reinterpret_cast<const DLGTEMPLATE*>(storage_.data());
    }
    size_t Size() const { return bytes_.size(); }

private:
    void Byte(BYTE b) { bytes_.push_back(b); }
    void Word(WORD w) {
        Byte(static_cast<BYTE>(w & 0xFF));
        Byte(static_cast<BYTE>(w >> 8));
    }
    void Dword(DWORD d) {
        Word(static_cast<WORD>(d & 0xFFFF));
        Word(static_cast<WORD>(d >> 16));
    }
    void String(const WCHAR* s) {
        for (; *s; ++s) Word(static_cast<WORD>(*s));
        Word(0);
    }
    void Align() {
        while (bytes_.size() % 4) Byte(0);
    }
    bool extended_;
    size_t countAt_ = 0;
    WORD count_ = 0;
    std::vector<BYTE> bytes_;
    std::vector<DWORD> storage_;
};

// A readable name of a notification or message, for sequence checks.
std::string Describe(UINT msg, WPARAM wParam, LPARAM lParam);

// Records what a window procedure sees, in order.
class Recorder {
public:
    void Add(const std::string& line) { lines.push_back(line); }
    void Clear() { lines.clear(); }
    // The recorded lines that contain `filter`, joined with "|".
    std::string Joined(const char* filter = "") const {
        std::string out;
        for (const std::string& l : lines) {
            if (l.find(filter) == std::string::npos) continue;
            if (!out.empty()) out += "|";
            out += l;
        }
        return out;
    }
    std::vector<std::string> lines;
};

// A dialog procedure that records WM_COMMAND, WM_NOTIFY (but not
// TTN_GETDISPINFOW) and scroll messages into DialogLog(), and answers WM_NOTIFY
// codes listed in NotifyAnswers() through DWLP_MSGRESULT.
Recorder& DialogLog();
std::vector<std::pair<UINT, LRESULT>>& NotifyAnswers();
INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Creates a modeless dialog with RecordingDialogProc from a template.
HWND CreateRecordingDialog(TemplateBuilder& t);

// Fixture: every test starts and ends without windows of its own.
class UiTest : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;
    static int LiveWindows();
    int windowsBefore_ = 0;
};

}  // namespace uitest
