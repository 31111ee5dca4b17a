#include "features/paper_logic.h"

#include <algorithm>
#include <cstring>

#include "features/custom_paper.h"
#include "features/model_record.h"
#include "features/option_record.h"
#include "features/ui_items.h"
#include "model/loaded_model.h"
#include "settings/paper_defaults.h"

namespace nvx::features {

namespace {


const uint8_t* ModelListData(const char* name) {
    const auto* record = model::Loaded().tables.record;
    const ModelList* list = record ? record->List(name) : nullptr;
    return list ? list->Data() : nullptr;
}

const uint8_t* ItemOptions(const char* list) {
    const auto* table = ModuleItems();
    const uint8_t* options = nullptr;
    if (table) {
        const int row = std::strcmp(list, "PaperSize") == 0 ? table->direct.paperSize : table->direct.outPaperSize;
        if (const auto* item = table->Row(row)) options = item->options;
    }
    return options ? options : ModelListData(list);
}

const uint8_t* PaperRecord(const char* list, int32_t id) {
    const uint8_t* options = ItemOptions(list);
    const uint8_t* rec = FindValue(options, id);
    return rec && RecordSize(rec) >= kSizeModel ? rec : nullptr;
}

int32_t DataField(const uint8_t* rec, size_t offset) {
    int32_t v;
    std::memcpy(&v, rec + kModelDataAt + offset, 4);
    return v;
}

bool InchValues() {
    const auto* record = model::Loaded().tables.record;
    return record && record->facts[kFactInchValues] != 0;
}

}  // namespace

bool ModelRange(const char* entry, int32_t* minimum, int32_t* maximum) {
    const auto* record = model::Loaded().tables.record;
    const Range* r = record ? record->FindRange(entry) : nullptr;
    if (!r || !r->present || r->minimum > r->maximum) {
        *minimum = 1;
        *maximum = 999;
        return false;
    }
    *minimum = r->minimum;
    *maximum = r->maximum;
    return true;
}

bool InModelList(const char* list, int32_t value) {
    return FindValue(ModelListData(list), value) != nullptr;
}

bool ApplyPaperDimensions(OEMDEV& record) {
    const int32_t id = settings::GetNumber(record, "nPaperSize");
    if (id == kUserDefinedPaper) {
        int32_t w = settings::GetNumber(record, "sizInUserDefPaperMM.cx");
        int32_t h = settings::GetNumber(record, "sizInUserDefPaperMM.cy");
        if (InchValues()) {
            w = settings::TenthsMmToHundredthsInch(w);
            h = settings::TenthsMmToHundredthsInch(h);
        }
        settings::SetNumber(record, "sizPaper.cx", w);
        settings::SetNumber(record, "sizPaper.cy", h);
        return true;
    }
    const uint8_t* rec = PaperRecord("PaperSize", id);
    if (!rec) return false;
    settings::SetNumber(record, "sizPaper.cx", DataField(rec, offsetof(PaperData, width)));
    settings::SetNumber(record, "sizPaper.cy", DataField(rec, offsetof(PaperData, height)));
    static const char* const margins[4] = {"rcMargin.left", "rcMargin.top", "rcMargin.right", "rcMargin.bottom"};
    for (int i = 0; i < 4; ++i)
        settings::SetNumber(record, margins[i], DataField(rec, offsetof(PaperData, margins) + 4 * i));
    return true;
}

int32_t OutUserPaperValue() {
    const uint8_t* rec = FindKeyword(ItemOptions("OutPaperSize"), "OutUserPaper");
    return rec ? Value(rec) : -1;
}

bool ApplyOutPaperDimensions(OEMDEV& record) {
    const int32_t id = settings::GetNumber(record, "nOutPaperSize");
    int32_t w, h;
    if (id == kOutPaperFollows1 || id == kOutPaperFollows2) {
        w = settings::GetNumber(record, "sizPaper.cx");
        h = settings::GetNumber(record, "sizPaper.cy");
    } else if (id >= 0 && id == OutUserPaperValue()) {
        w = settings::GetNumber(record, "sizOutUserDefPaperMM.cx");
        h = settings::GetNumber(record, "sizOutUserDefPaperMM.cy");
        if (InchValues()) {
            w = settings::TenthsMmToHundredthsInch(w);
            h = settings::TenthsMmToHundredthsInch(h);
        }
    } else {
        const uint8_t* rec = PaperRecord("OutPaperSize", id);
        if (!rec) return false;
        w = DataField(rec, offsetof(PaperData, width));
        h = DataField(rec, offsetof(PaperData, height));
    }
    settings::SetNumber(record, "sizOutPaper.cx", w);
    settings::SetNumber(record, "sizOutPaper.cy", h);
    return true;
}

bool ModelKeepsInchValues() {
    return InchValues();
}

void DevModePaperSize(const OEMDEV& record, bool inchValues, short* width, short* length) {
    int64_t w, h;
    if (settings::GetNumber(record, "nPaperSize") == kUserDefinedPaper) {
        // The custom size is kept in 0.1 mm whatever the model's unit: no round trip.
        w = settings::GetNumber(record, "sizInUserDefPaperMM.cx");
        h = settings::GetNumber(record, "sizInUserDefPaperMM.cy");
    } else {
        w = settings::GetNumber(record, "sizPaper.cx");
        h = settings::GetNumber(record, "sizPaper.cy");
        if (inchValues) {  // 0.01 inch = 0.254 mm, to the nearest 0.1 mm
            w = (w * 254 + (w < 0 ? -50 : 50)) / 100;
            h = (h * 254 + (h < 0 ? -50 : 50)) / 100;
        }
    }
    *width = static_cast<short>(std::clamp<int64_t>(w, 0, 32767));
    *length = static_cast<short>(std::clamp<int64_t>(h, 0, 32767));
}

void ClampUserPaper(OEMDEV& record) {
    const auto range = EffectiveCustomRange(CustomPaperModelOf(model::Loaded().tables.record));
    settings::SetNumber(record, "sizInUserDefPaperMM.cx",
                        ClampWidth(range, settings::GetNumber(record, "sizInUserDefPaperMM.cx")));
    settings::SetNumber(record, "sizInUserDefPaperMM.cy",
                        ClampLength(range, settings::GetNumber(record, "sizInUserDefPaperMM.cy")));
}

void ClampOutUserPaper(OEMDEV& record) {
    const auto range = EffectiveCustomRange(CustomPaperModelOf(model::Loaded().tables.record));
    settings::SetNumber(record, "sizOutUserDefPaperMM.cx",
                        ClampWidth(range, settings::GetNumber(record, "sizOutUserDefPaperMM.cx")));
    settings::SetNumber(record, "sizOutUserDefPaperMM.cy",
                        ClampLength(range, settings::GetNumber(record, "sizOutUserDefPaperMM.cy")));
}

int32_t AutomaticZoom(const OEMDEV& record) {
    int32_t lo, hi;
    ModelRange("Zoom", &lo, &hi);
    const int32_t out = settings::GetNumber(record, "nOutPaperSize");
    int64_t zoom = 100;
    if (out != kOutPaperFollows1 && out != kOutPaperFollows2) {
        const int64_t pw = settings::GetNumber(record, "sizPaper.cx");
        const int64_t ph = settings::GetNumber(record, "sizPaper.cy");
        const int64_t ow = settings::GetNumber(record, "sizOutPaper.cx");
        const int64_t oh = settings::GetNumber(record, "sizOutPaper.cy");
        if (pw > 0 && ph > 0 && ow > 0 && oh > 0) zoom = std::min(ow * 100 / pw, oh * 100 / ph);
    }
    return static_cast<int32_t>(std::clamp<int64_t>(zoom, lo, hi));
}

}  // namespace nvx::features
