// Entry points of the page framework: text tables, hints, stop icons, the module's
// modal dialogs and the text-box limit checks.
#include "frame/exports.h"
#include "frame/module_state.h"
#include "pages/hints.h"
#include "pages/page_help.h"
#include "pages/stop_icon_draw.h"
#include "pages/text_display.h"
#include "pages/text_limits.h"
#include "settings/printer_ui_context.h"

using namespace nvx::pages;

// (dialog, control text table): sets the table's texts on the dialog.
NVX_EXPORT UINT_PTR ReplaceDlgDispString(HWND dialog, UINT* table) {
    return ApplyTextTable(dialog, reinterpret_cast<const ControlTextRow*>(table));
}

// (dialog, common items' table, page identifier, context): the common items.
NVX_EXPORT UINT_PTR ReplaceDlgDispStringCmnItem(HWND dialog, void* table, UINT, INT_PTR) {
    return ApplyCommonTextTable(dialog, static_cast<const ControlTextRow*>(table));
}

// (dialog, context, page identifier): fills the page's hint area.
NVX_EXPORT void DispHintControl(UINT_PTR dialog, UINT_PTR context, WORD page) {
    ShowPageHints(reinterpret_cast<HWND>(dialog), reinterpret_cast<const nvx::settings::PrinterUIContext*>(context), page);
}

NVX_EXPORT INT_PTR CreateToolWnd(HWND dialog) {
    return reinterpret_cast<INT_PTR>(MakeToolWindows(dialog));
}

NVX_EXPORT void StoreStopIconRectExp(HWND dialog) {
    StoreStopIconRects(dialog);
}

// (dialog, icon control, position or null): the position is a POINT in the
// dialog's client coordinates.
NVX_EXPORT void ReqDrawStopInfoIconExp(HWND dialog, UINT control, WCHAR** position) {
    DrawStopIcon(dialog, control, reinterpret_cast<const POINT*>(position));
}

// (resource library, parent window, template identifier, dialog procedure, context).
NVX_EXPORT UINT_PTR MyDialogBox(BYTE* resources, UINT_PTR parent, UINT templateId, UINT_PTR dialogProc,
                                UINT_PTR context) {
    return static_cast<UINT_PTR>(RunModuleDialog(reinterpret_cast<HINSTANCE>(resources), reinterpret_cast<HWND>(parent),
                                                 templateId, reinterpret_cast<DLGPROC>(dialogProc),
                                                 static_cast<LPARAM>(context)));
}

// (edit box, text, maximum length): 1 when the text follows the edit box's rule.
NVX_EXPORT UINT_PTR Prc_TBLimit_CheckString(HWND edit, UINT_PTR text, UINT maximum) {
    const auto* chars = reinterpret_cast<const WCHAR*>(text);
    if (!chars) return 0;
    return TextAcceptable(TextRuleOfEdit(edit), nvx::WStringView(chars), maximum) ? 1 : 0;
}

// (edit box, text, minimum, maximum, kind): 1 when the text is a number in range.
// The kind is the number of decimals (0 ... 3); a caller that passes a text-rule
// kind there instead gets that kind's meaning for numbers: 115 accepts
// everything, the other kinds ask for a whole number.
NVX_EXPORT UINT_PTR Prc_TBLimit_CheckMinMaxFromString(HWND edit, UINT_PTR text, UINT minimum, UINT maximum,
                                                      UINT kind) {
    const auto* chars = reinterpret_cast<const WCHAR*>(text);
    if (!chars) return 0;
    if (kind == nvx::pages::kTextAcceptAll) return 1;
    const uint32_t decimals = kind <= nvx::pages::kMaxDecimals ? kind : 0;
    return NumberAcceptable(TextRuleOfEdit(edit), nvx::WStringView(chars), static_cast<int32_t>(minimum),
                            static_cast<int32_t>(maximum), decimals)
               ? 1
               : 0;
}

