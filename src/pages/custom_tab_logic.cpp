#include "pages/custom_tab_logic.h"

#include <algorithm>

namespace nvx::pages::customtab {

namespace {

bool Contains(const std::vector<uint32_t>& v, uint32_t x) {
    return std::find(v.begin(), v.end(), x) != v.end();
}

}  // namespace

presets::CustomTabArrangement Shown(const presets::CustomTabArrangement& stored, const std::vector<uint32_t>& offered) {
    presets::CustomTabArrangement a;
    a.exists = true;
    if (!stored.exists) {
        const size_t half = (offered.size() + 1) / 2;
        a.left.assign(offered.begin(), offered.begin() + static_cast<std::ptrdiff_t>(half));
        a.right.assign(offered.begin() + static_cast<std::ptrdiff_t>(half), offered.end());
        return a;
    }
    std::vector<uint32_t> seen;
    for (int side = 0; side < 2; ++side)
        for (uint32_t c : side == 0 ? stored.left : stored.right) {
            if (!Contains(offered, c) || Contains(seen, c)) continue;
            seen.push_back(c);
            (side == 0 ? a.left : a.right).push_back(c);
        }
    return a;
}

Editor::Editor(const presets::CustomTabArrangement& shown, const std::vector<uint32_t>& offered) : offered_(offered) {
    const presets::CustomTabArrangement a = Shown(shown, offered);
    columns_[Left] = a.left;
    columns_[Right] = a.right;
    for (uint32_t c : offered)
        if (!Contains(a.left, c) && !Contains(a.right, c)) columns_[Available].push_back(c);
}

bool Editor::Place(size_t index, Column to) {
    if ((to != Left && to != Right) || index >= columns_[Available].size()) return false;
    if (columns_[to].size() >= presets::kCustomTabColumnMax) return false;
    columns_[to].push_back(columns_[Available][index]);
    columns_[Available].erase(columns_[Available].begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool Editor::Remove(Column from, size_t index) {
    if ((from != Left && from != Right) || index >= columns_[from].size()) return false;
    columns_[from].erase(columns_[from].begin() + static_cast<std::ptrdiff_t>(index));
    // The available settings keep the offered order.
    std::vector<uint32_t> available;
    for (uint32_t c : offered_)
        if (!Contains(columns_[Left], c) && !Contains(columns_[Right], c)) available.push_back(c);
    columns_[Available] = available;
    return true;
}

bool Editor::Move(Column column, size_t index, int delta) {
    if (column != Left && column != Right) return false;
    std::vector<uint32_t>& v = columns_[column];
    if (index >= v.size() || (delta != -1 && delta != 1)) return false;
    if (delta < 0 ? index == 0 : index + 1 == v.size()) return false;
    std::swap(v[index], v[delta < 0 ? index - 1 : index + 1]);
    return true;
}

presets::CustomTabArrangement Editor::Result() const {
    presets::CustomTabArrangement a;
    a.exists = true;
    a.left = columns_[Left];
    a.right = columns_[Right];
    return a;
}

}  // namespace nvx::pages::customtab
