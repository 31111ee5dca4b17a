#include "pages/page_texts.h"

#include "model/text_tables.h"

namespace nvx::pages {

const model::ControlTextRow* PageTexts(uint32_t page) {
    return model::PageTextTable(page);
}

const model::ControlTextRow* VersionInfoTexts() {
    return model::TextTable("Dlg_VersionInfo");
}

const model::ControlTextRow* CommonTexts() {
    return model::CommonTextTable();
}

}  // namespace nvx::pages
