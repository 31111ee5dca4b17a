#include "pages/sheet_paper_lists.h"

#include <cstdint>
#include <vector>

#include "features/model_record.h"
#include "features/option_record.h"
#include "features/ui_items.h"
#include "model/loaded_model.h"

namespace nvx::pages {

namespace {

struct SheetLists {
    HWND owner;
    std::vector<uint8_t> paper;
    std::vector<uint8_t> outPaper;
};

std::vector<SheetLists>& Sheets() {
    static std::vector<SheetLists> sheets;
    return sheets;
}

std::vector<uint8_t> CopyList(const char* name) {
    auto* record = model::Loaded().tables.record;
    const uint8_t* list = record ? record->ListData(name) : nullptr;
    if (!list) return {};
    return std::vector<uint8_t>(list, list + features::ListBytes(list));
}

uint8_t* DataOr(std::vector<uint8_t>& v, const char* modelList) {
    if (!v.empty()) return v.data();
    auto* record = model::Loaded().tables.record;
    return record ? record->ListData(modelList) : nullptr;
}

void PointItems(uint8_t* paper, uint8_t* outPaper) {
    auto* table = features::ModuleItems();
    if (!table) return;
    if (auto* item = table->Row(table->direct.paperSize)) item->options = paper;
    if (auto* item = table->Row(table->direct.outPaperSize)) item->options = outPaper;
}

}  // namespace

void BuildSheetPaperLists(HWND owner) {
    auto& sheets = Sheets();
    sheets.push_back({owner, CopyList("PaperSize"), CopyList("OutPaperSize")});
    SheetLists& s = sheets.back();
    PointItems(DataOr(s.paper, "PaperSize"), DataOr(s.outPaper, "OutPaperSize"));
}

void ReleaseSheetPaperLists(HWND owner) {
    auto& sheets = Sheets();
    for (auto it = sheets.begin(); it != sheets.end(); ++it) {
        if (it->owner != owner) continue;
        sheets.erase(it);
        if (sheets.empty()) {
            auto* record = model::Loaded().tables.record;
            PointItems(record ? record->ListData("PaperSize") : nullptr,
                       record ? record->ListData("OutPaperSize") : nullptr);
        } else {
            SheetLists& s = sheets.back();
            PointItems(DataOr(s.paper, "PaperSize"), DataOr(s.outPaper, "OutPaperSize"));
        }
        return;
    }
}

}  // namespace nvx::pages
