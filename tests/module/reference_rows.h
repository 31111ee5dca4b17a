// Reads the reference rows of a built-in table (tests/module/data/*.tsv): one row a
// line, columns separated by tabs, lines starting with '#' are comments.  A row
// keeps its empty columns; a column past the row's end reads as empty.
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace nvxtest {

struct ReferenceRow {
    size_t line = 0;                  // in the file, from 1
    std::vector<std::string> cols;

    // Column i, or "" past the row's last column.
    const std::string& operator[](size_t i) const {
        static const std::string empty;
        return i < cols.size() ? cols[i] : empty;
    }
};

// The rows of `name` in the reference data folder; empty when the file is missing.
inline std::vector<ReferenceRow> ReadReferenceRows(const std::string& name) {
    std::vector<ReferenceRow> rows;
    std::ifstream in(std::string(NVX_REFERENCE_DATA) + "/" + name, std::ios::binary);
    std::string text;
    for (size_t line = 1; std::getline(in, text); ++line) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty() || text[0] == '#') continue;
        ReferenceRow row;
        row.line = line;
        size_t from = 0;
        for (;;) {
            size_t tab = text.find('\t', from);
            row.cols.push_back(text.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace nvxtest
