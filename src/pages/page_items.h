// The controls of a page seen through the UI item table: filling drop-downs from
// their option lists, showing a value from the settings record, whether the model
// offers a control, and the change pattern every control of a page follows.
#pragma once

#include <cstdint>

#include "constraints/engine.h"
#include "features/ui_items.h"
#include "platform/win32.h"
#include "settings/oemdev.h"

namespace nvx::pages {

// The item a control of a dialog shows, or null.
const features::UiItem* PageItem(uint32_t pageId, uint32_t control);

// The value a radio row stands for (its option's value), or -1 when its option is
// not in the item's list.
int32_t RadioValue(const features::UiItem& item);
// The item's value in the record (0 for an unbound item).
int32_t ItemValue(const OEMDEV& record, const features::UiItem& item);
bool SetItemValue(OEMDEV& record, const features::UiItem& item, int32_t value);

// Fills every drop-down of the page's items from its option list: the option's
// display name (its keyword when it has none) with the option's value as item data.
void FillPageDropDowns(HWND page, uint32_t pageId);
// Shows the record's value in the item's control: the drop-down entry whose data is
// the value, the radio row that stands for it, the check state, the number.
void ShowItem(HWND page, const features::UiItem& item, const OEMDEV& record);
// Shows every item of the page.
void ShowPageItems(HWND page, uint32_t pageId);

// Whether the model offers the control of an item on this page: an item exists for
// it, a feature with a model switch of the same name has that switch on, and a
// drop-down has options.  (Buttons are decided by the page.)
bool ItemOffered(const features::UiItem* item);

// Hides and disables a control and the related controls of its item, and marks it
// (constraints::MarkSwitchedOff) so that later layouts and checks keep it off.
void SwitchOffControl(HWND page, uint32_t pageId, uint32_t control);

// The change pattern: remembers the item's old value, stores newValue, runs the
// constraint check for the control; on 100 or 101 restores the old value, shows it
// again and (for edit boxes) puts the focus back into the box; otherwise refreshes
// the hint area.  When the value stands and differs from the old one, marks the page
// changed and shows the page's items again.  Answers the check's result.
UINT_PTR ChangeItem(HWND page, uint32_t pageId, uint32_t control, int32_t newValue);

}  // namespace nvx::pages
