// Printers and marked sheets for the context and store tests.
#include "support/sheet_builder.h"

#include <cstring>

#include "common/le.h"
#include "common/text.h"
#include "settings/sheet_layout.h"
#include "support/platform_test.h"

namespace nvxtest {

namespace L = nvx::settings::layout;

HANDLE AddTestPrinter(const WCHAR* name, const WCHAR* driver) {
    PRINTER_INFO_2W info{};
    info.pPrinterName = const_cast<LPWSTR>(name);
    info.pDriverName = const_cast<LPWSTR>(driver ? driver : WL("NOVRIX Fax Driver"));
    info.pPortName = const_cast<LPWSTR>(WL("LPT1:"));
    info.pPrintProcessor = const_cast<LPWSTR>(WL("winprint"));
    return nvxtest::AddTestPrinter(info);
}

void MarkSheet(nvx::host::HostSheet& sheet, const SheetMarks& marks) {
    sheet.SetPrinter(marks.printer);
    sheet.SetSheetFlags(marks.flags);
    sheet.SetCounter(marks.counter);
    BYTE* block = sheet.Block();
    switch (sheet.form()) {
    case nvx::host::SheetForm::A:
        std::memset(block + L::formA::kPageWork, 'P', 16);
        std::memset(block + L::formA::kSecondaryWork, 'S', 16);
        break;
    case nvx::host::SheetForm::One:
        std::memset(block + L::form1::kPageWork, 'P', 16);
        std::memset(block + L::form1::kSecondaryWork, 'S', 16);
        break;
    case nvx::host::SheetForm::Two:
        std::memset(block + L::form2::kPageWork, 'P', 16);
        std::memset(sheet.Form1Sheet()->Block() + L::form1::kSecondaryWork, 'S', 16);
        break;
    }
    std::memset(sheet.Record() + 16, 'R', 16);
}

}  // namespace nvxtest
