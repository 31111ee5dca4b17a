// The Stamp/Composition tab (page 104) without its window: the texts of its
// watermark and overlay lists, the overlay summary, and the record changes its
// list choices make.  The tab (stamp_page.cpp) runs each change through the
// constraint check and puts the record back when the check refuses it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/text.h"
#include "settings/oemdev.h"
#include "stamps/form_store.h"
#include "stamps/header_footer.h"
#include "stamps/watermark_store.h"

namespace nvx::pages::stamp {

// The watermark list's items: each watermark's title, in display order.
std::vector<WString> WatermarkItems(const stamps::WatermarkSet& set);

// One item of the overlay list: the file name with its extension, and the UTF-16
// name of a version-2 header as "%s (%s)"; usable when the form's resolution class
// equals the job's and its file was a form file when the list was read.
struct FormItem {
    WString text;
    bool usable = false;
};
std::vector<FormItem> FormItems(const stamps::FormList& list, int jobClass);

// The job's resolution class from the record's resolution ("byResolution" through
// the model's resolution list); 0 without a model list.
int JobClass(const OEMDEV& record);

// When no form is chosen yet, the first usable form becomes the form of the first
// and of the other pages.  Answers whether the record changed.
bool ChooseFirstUsableForm(OEMDEV& record, const std::vector<FormItem>& items);
// Overlay printing switched on with forms listed and none chosen: the first form.
bool ChooseFormOnOverlay(OEMDEV& record, size_t formCount);

// The watermark switched on: when the record does not carry the watermark at its
// list position ("wWmkListPos", 0 when past the list), that watermark is copied in.
// Answers whether the record changed.
bool CopyListedWatermark(OEMDEV& record, const stamps::WatermarkSet& set);

// The header/footer combo's choices: the device's programs in use by name (an
// unnamed one as "Program N"); without device information the model's program list
// ("HFE_SelectDevSetting") with its values.
struct ProgramChoice {
    WString name;
    int32_t number = 0;
};
std::vector<ProgramChoice> ProgramChoices(const std::optional<std::vector<stamps::DeviceHeaderFooter>>& programs);

// The overlay summary (the lines below the overlay list), CR LF between lines:
// with a form for other pages and overlay printing applying, "FirstPage" and
// "OtherPages" each followed by its form ("  file (name)", "  file", or an empty
// line for none); otherwise empty.
WString OverlaySummary(const OEMDEV& record, const stamps::OverlayModel& model, const stamps::FormList& list);

}  // namespace nvx::pages::stamp
