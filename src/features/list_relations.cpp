// The list-relation table (build-order step 16) and the release of the catalogue's
// model tables.
#include <cstring>
#include <new>

#include "common/le.h"
#include "features/catalogue.h"
#include "features/list_builders.h"
#include "features/model_record.h"
#include "model/model_tables.h"

namespace nvx::features {

namespace {

// The head and its arrays in one allocation, freed as one.
struct RelationBlock : ListRelationTable {
    std::vector<ModelListRef> listRows;
    std::vector<uint8_t> trayMediaRows;
    std::vector<int16_t> sourceTrayRows;
};

}  // namespace

ListRelationTable* MakeListRelationTable(const ModelRecord& record) {
    const uint8_t* paper = record.List("PaperSize") ? record.List("PaperSize")->Data() : nullptr;
    const uint8_t* trays = record.List("InTray") ? record.List("InTray")->Data() : nullptr;
    if (ListCount(paper) == 0 || ListCount(trays) == 0) return nullptr;
    auto* block = new (std::nothrow) RelationBlock{};
    if (block == nullptr) return nullptr;
    for (size_t i = 0; i < kModelListCount && i < record.lists.size(); ++i) {
        const ModelList& l = record.lists[i];
        if (!l.present) continue;
        block->listRows.push_back({kModelLists[i].name, l.Data(), static_cast<uint32_t>(ListCount(l.Data())),
                                FirstRecordSize(l.Data())});
    }
    const uint8_t* media = record.List("MediaType") ? record.List("MediaType")->Data() : nullptr;
    const uint32_t trayCount = static_cast<uint32_t>(ListCount(trays));
    const uint32_t mediaCount = static_cast<uint32_t>(ListCount(media));
    block->trayMediaRows.assign(static_cast<size_t>(trayCount) * mediaCount, 0);
    for (uint32_t t = 0; t < trayCount; ++t) {
        uint32_t mask = GetLE32(RecordAt(trays, t) + kModelDataAt + offsetof(TrayData, mediaMask));
        for (uint32_t m = 0; m < mediaCount; ++m)
            block->trayMediaRows[static_cast<size_t>(t) * mediaCount + m] = mask == 0 || (m < 32 && (mask >> m) & 1u);
    }
    const uint8_t* sources = record.List("PerPageListPaperSrc") ? record.List("PerPageListPaperSrc")->Data() : nullptr;
    for (size_t s = 0, n = ListCount(sources); s < n; ++s)
        block->sourceTrayRows.push_back(static_cast<int16_t>(IndexOfKeyword(trays, Keyword(RecordAt(sources, s)))));
    ListRelationTable& h = *block;
    h.size = sizeof(ListRelationTable);
    h.listCount = static_cast<uint32_t>(block->listRows.size());
    h.lists = block->listRows.data();
    h.trayCount = trayCount;
    h.mediaCount = mediaCount;
    h.trayMedia = block->trayMediaRows.data();
    h.sourceTray = block->sourceTrayRows.empty() ? nullptr : block->sourceTrayRows.data();
    h.sourceCount = static_cast<uint32_t>(block->sourceTrayRows.size());
    return block;
}

bool TrayTakesMedia(const ListRelationTable& t, uint32_t tray, uint32_t media) {
    if (tray >= t.trayCount || media >= t.mediaCount) return false;
    return t.trayMedia[static_cast<size_t>(tray) * t.mediaCount + media] != 0;
}

void FreeListRelationTable(ListRelationTable* table) {
    delete static_cast<RelationBlock*>(table);
}

bool BuildListRelationTable(model::ModelTables& tables) {
    FreeListRelationTable(tables.listRelations);
    tables.listRelations = tables.record ? MakeListRelationTable(*tables.record) : nullptr;
    return tables.listRelations != nullptr;
}

void FreeCatalogueTables(model::ModelTables& tables) {
    const bool any = tables.record || tables.deviceOptions || tables.listRelations;
    FreeListRelationTable(tables.listRelations);
    tables.listRelations = nullptr;
    delete tables.deviceOptions;
    tables.deviceOptions = nullptr;
    FreeModelRecord(tables.record);
    tables.record = nullptr;
    // The catalogue's rows pointed into the tables just freed.
    if (any) TheCatalogue().Reset();
}

}  // namespace nvx::features
