// The blank page question at job time (blank_ratio.h): 1 print the page, 2 do not
// print it, 5 when the block cannot be read or the dialog cannot be shown.
#include "frame/exports.h"
#include "pages/blank_ratio.h"

NVX_EXPORT UINT_PTR Popup_ChkBlankRatioDlg(UINT_PTR context) {
    return nvx::pages::RunBlankRatioQuestion(reinterpret_cast<const nvx::pages::BlankRatioBlock*>(context));
}
