// What the custom page (My Tab) decides without a window: the arrangement it shows
// (the person's own, or every offered setting split over the two columns), and the
// editing of an arrangement in the arrangement dialog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "presets/custom_tab_file.h"

namespace nvx::pages::customtab {

// The columns the page shows: control numbers of offered settings, in the file's
// order; a number the page does not offer, and a repeated one, are left out.  With
// no arrangement: every offered setting, the first half (rounded up) on the left.
presets::CustomTabArrangement Shown(const presets::CustomTabArrangement& stored, const std::vector<uint32_t>& offered);

// The arrangement dialog's model: the settings not placed yet (in offered order)
// and the two columns.
class Editor {
public:
    enum Column { Available = 0, Left = 1, Right = 2 };
    Editor(const presets::CustomTabArrangement& shown, const std::vector<uint32_t>& offered);

    const std::vector<uint32_t>& Items(Column c) const { return columns_[c]; }
    // Moves the available setting at index to the end of a column; false for a bad index or column.
    bool Place(size_t index, Column to);
    // Takes a placed setting back to the available ones (in their offered order).
    bool Remove(Column from, size_t index);
    // Moves a placed setting one place up (delta -1) or down (+1) in its column.
    bool Move(Column column, size_t index, int delta);
    // The arrangement to store: it exists even when both columns are empty (the
    // person emptied the page on purpose).
    presets::CustomTabArrangement Result() const;

private:
    std::vector<uint32_t> offered_;
    std::vector<uint32_t> columns_[3];
};

}  // namespace nvx::pages::customtab
