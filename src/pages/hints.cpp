#include "pages/hints.h"

#include <cstdlib>
#include <cstring>

#include "constraints/stop_icons.h"
#include "features/model_record.h"
#include "features/switch_ids.h"
#include "frame/variant_switches.h"
#include "model/loaded_model.h"
#include "model/messages.h"
#include "pages/page_framework.h"
#include "settings/sheet_work.h"

namespace nvx::pages {

// Pages with hints: the Basic page and the initial page have HintStr slots; the
// other rows are kept for the pages to come and stay disabled until they get texts.
const HintDef kHintDefs[kHintRows] = {
    {100, {1, 2, 3, 4, 5, 6}}, {101, {}}, {104, {}}, {105, {}}, {110, {}}, {111, {}}, {113, {}}, {115, {}},
    {116, {}},     {117, {}}, {121, {}}, {126, {}}, {127, {}}, {129, {}}, {130, {}}, {132, {}},
    {134, {}},     {137, {}}, {144, {}}, {146, {}}, {151, {}}, {154, {}}, {156, {}}, {157, {}},
    {161, {7, 8}},    {163, {}}, {167, {}}, {168, {}}, {171, {}}, {182, {}}, {185, {}}, {187, {}},
    {189, {}},     {194, {}}, {202, {}}, {203, {}}, {206, {}}, {207, {}}, {208, {}},
};

namespace {

HintRow g_rows[kHintRows + 1];

void AppendLine(WString& text, const WString& piece) {
    if (piece.empty()) return;
    if (!text.empty()) text += WL("\r\n");
    text += piece;
    if (text.size() > kHintTextChars - 1) text.resize(kHintTextChars - 1);
}

unsigned AskBuild(const char* name) {
    return frame::AskVariant(name);
}

}  // namespace

void AllocateHintBuffers() {
    for (size_t i = 0; i < kHintRows; ++i) {
        HintRow& row = g_rows[i];
        row.page = kHintDefs[i].page;
        if (!row.numbers) row.numbers = static_cast<uint32_t*>(std::calloc(1, kHintNumberBytes));
        if (!row.extra) row.extra = static_cast<uint8_t*>(std::calloc(1, kHintExtraBytes));
        row.count = 0;
        if (!row.numbers) continue;
        for (uint32_t n : kHintDefs[i].numbers) {
            if (n == 0) break;
            row.numbers[row.count++] = n;
        }
        row.enabled = row.count > 0 ? 1 : 0;
    }
    g_rows[kHintRows] = HintRow{};
}

void FreeHintBuffers() {
    for (HintRow& row : g_rows) {
        std::free(row.numbers);
        row.numbers = nullptr;
        std::free(row.extra);
        row.extra = nullptr;
        row.enabled = 0;
        row.count = 0;
    }
}

const HintRow* HintTable() {
    return g_rows;
}

const HintRow* FindHintRow(uint32_t page) {
    for (const HintRow* row = g_rows; row->page != 0; ++row)
        if (row->page == page && row->enabled && row->numbers) return row;
    return nullptr;
}

uint32_t HintPageFor(uint32_t page, VariantAsker ask, int32_t authKind) {
    if (!ask) ask = AskBuild;
    if (ask("_PRP_FINISHER_POD") && page == 110) page = 202;
    if (ask("_PRP_COVER_TYPE3") && page == 2288) page = 203;
    if (ask("OTHERTAB_POD_ENABLE") && page == 187) page = 206;
    if (ask("_PRP_CONFIG_TYPE2_POD")) {
        if (page == 156) page = 207;
        else if (page == 157) page = 208;
    }
    if (page == 2287 || page == 2286) return 126;
    if (page == 2225) return 115;
    if (page == 2516 || page == 2517) return authKind == 2 ? 194 : 127;
    return page;
}

WString ComposeHintText(HWND dialog, uint32_t hintPage, bool* hasRow, WString* constraintText) {
    WString text;
    for (constraints::StopIconRow* row = constraints::StopIconTable(); row && row->control != 0; ++row) {
        if (!row->hasMessage || !GetDlgItem(dialog, static_cast<int>(row->control))) continue;
        size_t n = 0;
        while (n < constraints::kStopIconTextChars - 1 && row->text[n]) ++n;
        AppendLine(text, WString(row->text, n));
    }
    if (constraintText) *constraintText = text;
    const HintRow* hint = FindHintRow(hintPage);
    if (hasRow) *hasRow = hint != nullptr;
    if (hint) {
        const auto& tables = model::Loaded().messages;
        for (uint32_t i = 0; i < hint->count && i < kHintNumberBytes / 4 && hint->numbers[i] != 0; ++i)
            AppendLine(text, model::MessageForDisplay(
                                 model::MessageSlot(tables, model::MessageTable::Hint, hint->numbers[i])));
    }
    return text;
}

void ShowPageHints(HWND dialog, const settings::PrinterUIContext* ctx, uint32_t page) {
    if (!dialog || settings::CustomPagePointerSet(ctx)) return;
    int32_t authKind = 0;
    if (const auto* record = model::Loaded().tables.record)
        authKind = record->switches[features::kSw_UserAuthentication];
    const uint32_t hintPage = HintPageFor(page, nullptr, authKind);
    bool hasRow = false;
    WString constraint;
    const WString text = ComposeHintText(dialog, hintPage, &hasRow, &constraint);
    HWND icon = GetDlgItem(dialog, kIdHintIcon);
    if (hasRow || !constraint.empty()) {
        SetDlgItemTextW(dialog, kIdHintText, hasRow ? text.c_str() : constraint.c_str());
        if (icon) {
            SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_INFORMATION)), 0);
            ShowWindow(icon, SW_SHOWNA);
        }
        if (hintPage == 132 && !hasRow) {
            const auto& tables = model::Loaded().messages;
            SetDlgItemTextW(dialog, 2229,
                            model::MessageForDisplay(model::MessageSlot(tables, model::MessageTable::Hint, 55)).c_str());
        }
        return;
    }
    SetDlgItemTextW(dialog, kIdHintText, WL(""));
    if (icon) ShowWindow(icon, SW_HIDE);
}

}  // namespace nvx::pages
