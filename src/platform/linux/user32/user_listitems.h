// The item list of list boxes and combo boxes: strings with item data, sorted
// insertion (case-insensitive, as lstrcmpiW compares), prefix and exact search
// that start after an index and wrap around.
#pragma once

#include <string>
#include <vector>

#include "common/text.h"
#include "platform/win32.h"

namespace nvxp {

struct ListItem {
    nvx::WString text;
    LPARAM data = 0;
    bool selected = false;  // multiple-selection list boxes
};

class ItemList {
public:
    // Sorted lists insert in order; answers the index of the new item.
    int Add(nvx::WString text, bool sorted, LPARAM data = 0) {
        size_t at = items.size();
        if (sorted) {
            at = 0;
            while (at < items.size() && nvx::WCompareNoCase(items[at].text, text) <= 0) ++at;
        }
        items.insert(items.begin() + static_cast<long>(at), ListItem{std::move(text), data, false});
        return static_cast<int>(at);
    }
    // Inserts at index (-1 appends); -1 when the index is past the end.
    int Insert(int index, nvx::WString text, LPARAM data = 0) {
        if (index == -1) index = Count();
        if (index < 0 || index > Count()) return -1;
        items.insert(items.begin() + index, ListItem{std::move(text), data, false});
        return index;
    }
    bool Erase(int index) {
        if (!Valid(index)) return false;
        items.erase(items.begin() + index);
        return true;
    }
    // First item after `start` (-1: from the top) whose text begins with (or,
    // exact, equals) `text` ignoring case, wrapping around; -1 if none.
    int Find(int start, nvx::WStringView text, bool exact) const {
        int n = Count();
        if (n == 0) return -1;
        if (start < -1 || start >= n) start = -1;
        for (int k = 1; k <= n; ++k) {
            int i = (start + k) % n;
            const nvx::WString& t = items[static_cast<size_t>(i)].text;
            if (exact ? nvx::WEqualNoCase(t, text)
                      : (t.size() >= text.size() && nvx::WEqualNoCase(nvx::WStringView(t).substr(0, text.size()), text)))
                return i;
        }
        return -1;
    }
    int FindData(LPARAM data) const {
        for (int i = 0; i < Count(); ++i)
            if (items[static_cast<size_t>(i)].data == data) return i;
        return -1;
    }
    int Count() const { return static_cast<int>(items.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    ListItem& At(int index) { return items[static_cast<size_t>(index)]; }
    const ListItem& At(int index) const { return items[static_cast<size_t>(index)]; }

    // Appends "\n    - item" lines to a tree rendering, marking `current`.
    void Describe(std::string& out, int current, void (*quote)(std::string&, nvx::WStringView)) const {
        for (int i = 0; i < Count(); ++i) {
            out += "\n    ";
            out += (i == current || items[static_cast<size_t>(i)].selected) ? "* " : "- ";
            quote(out, items[static_cast<size_t>(i)].text);
            if (items[static_cast<size_t>(i)].data) out += " data=" + std::to_string(items[static_cast<size_t>(i)].data);
        }
    }

    std::vector<ListItem> items;
};

}  // namespace nvxp
