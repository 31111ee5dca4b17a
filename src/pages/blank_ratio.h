// The blank page question (Popup_ChkBlankRatioDlg): while a job is rendered, a
// page whose blank share reaches the job's threshold is put to the person, who
// prints it or not, and may stop the check for the rest of the job.
//
// The caller's block (24 bytes, little-endian, pinned in blank_ratio.cpp):
//   0 u32 its size, 24;  4 u32 the page number (1-based; 0: not known);
//   8 u32 the page's blank share in percent (0 to 100);  12 u32 reserved, 0;
//   16 pointer: the job's settings record (OEMDEV), whose bChkBlankRatio says
//      whether the check is on and nChkBlankRatio gives the threshold in percent.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "settings/oemdev.h"

namespace nvx::pages {

struct BlankRatioBlock {
    uint32_t size;
    uint32_t page;
    uint32_t percent;
    uint32_t reserved;
    OEMDEV* record;
};

// The answers: print the page, do not print it, and the dialog not shown.
inline constexpr UINT_PTR kBlankPrint = 1;
inline constexpr UINT_PTR kBlankDoNotPrint = 2;
inline constexpr UINT_PTR kBlankNotShown = 5;

enum class BlankDecision {
    NotShown,  // the block cannot be read: a null block or record, another size, a share past 100
    Print,     // nothing to ask: the check is off, the model has none, or the page is below the threshold
    Ask,
};
// The threshold a record gives: nChkBlankRatio when it lies in 1..100, else 75.
uint32_t BlankThreshold(const OEMDEV& record);
// What a block calls for; modelHasCheck: the model offers the blank page check.
BlankDecision DecideBlankQuestion(const BlankRatioBlock* block, bool modelHasCheck);

// The whole export: decides, and asks when it must.  "Do not check this job again"
// ticked turns the record's check off (whatever the answer).
UINT_PTR RunBlankRatioQuestion(const BlankRatioBlock* block, HWND owner = nullptr);

}  // namespace nvx::pages
