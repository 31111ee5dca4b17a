// The device-option table (build-order step 10) and the device-option defaults.
#include <cstring>
#include <new>

#include "common/le.h"
#include "features/catalogue.h"
#include "features/list_builders.h"
#include "features/model_record.h"
#include "model/model_tables.h"
#include "model/package.h"
#include "settings/devoption.h"

namespace nvx::features {

namespace {

struct OptionItem {
    char key[vpd::kMaxString + 1];
    WCHAR name[48];
    int32_t defaultValue;
};

// Calls fn(const OptionItem&) for each readable item of "DeviceOption" in index
// order; false when the entry is missing.
template <typename Fn>
bool ForEachDeviceOption(const model::Package& pkg, Fn&& fn) {
    model::EntryInfo e;
    if (!pkg.GetEntry("DeviceOption", &e)) return false;
    pkg.ForEachItem(e, model::ItemOrder::Index, [&](uint32_t at) {
        uint8_t rec[kDeviceOptionItemSize];
        vpd::Item head;
        OptionItem item{};
        if (!pkg.ReadRecord(at, sizeof rec, rec) || !pkg.ReadItem(at, &head) ||
            !pkg.ReadKey(head.key, item.key, sizeof item.key) || item.key[0] == 0)
            return true;
        pkg.ReadValue(head.value, item.name, 48);
        item.defaultValue = static_cast<int32_t>(GetLE32(rec + 16));
        return fn(item);
    });
    return true;
}

// The option's value list: the entry of its name, else Not installed / Installed.
bool BuildValueList(const model::Package& pkg, const char* key, std::vector<uint8_t>* out) {
    if (pkg.FindEntry(key) != 0) {
        ModelList l = ReadModelList(pkg, {key, key, ListKind::Plain});
        if (ListCount(l.records.data()) == 0) return false;
        *out = std::move(l.records);
        return true;
    }
    OptionListBuilder b;
    b.Add(kSizeNamed, "NotInstalled", 0);
    b.Add(kSizeNamed, "Installed", 1);
    *out = b.Finish();
    return true;
}

}  // namespace

const DeviceOptionRow* DeviceOptionTable::Find(std::string_view key) const {
    for (uint32_t i = 0; i < count; ++i)
        if (AsciiEqualNoCase(rows[i].key, key)) return &rows[i];
    return nullptr;
}

DeviceOptionTable* MakeDeviceOptionTable(const model::Package& pkg) {
    std::vector<OptionItem> items;
    if (!ForEachDeviceOption(pkg, [&](const OptionItem& it) {
            items.push_back(it);
            return true;
        }))
        return nullptr;
    auto* t = new (std::nothrow) DeviceOptionTable();
    if (t == nullptr) return nullptr;
    t->rows = new (std::nothrow) DeviceOptionRow[items.size() + 1]();
    if (t->rows == nullptr) {
        delete t;
        return nullptr;
    }
    t->valueLists.resize(items.size());
    OptionListBuilder keywords;
    for (size_t i = 0; i < items.size(); ++i) {
        DeviceOptionRow& row = t->rows[i];
        if (!BuildValueList(pkg, items[i].key, &t->valueLists[i])) {
            delete t;
            return nullptr;
        }
        row.size = sizeof(DeviceOptionRow);
        std::memcpy(row.key, items[i].key, strnlen(items[i].key, sizeof row.key - 1));
        row.index = static_cast<uint32_t>(i);
        std::memcpy(row.name, items[i].name, sizeof row.name);
        row.name[47] = 0;
        row.defaultValue = items[i].defaultValue;
        row.values = t->valueLists[i].data();
        row.valueCount = static_cast<uint32_t>(ListCount(row.values));
        if (i < kDeviceOptionIndexSize) t->index[i] = &row;
        WriteDisplayName(keywords.Add(kSizeNamed, row.key, static_cast<int32_t>(i)), row.name);
    }
    t->count = static_cast<uint32_t>(items.size());
    t->indexed = t->count < kDeviceOptionIndexSize ? t->count : static_cast<uint32_t>(kDeviceOptionIndexSize);
    t->keywordList = keywords.Finish();
    return t;
}

bool BuildDeviceOptionTable(const model::Package& pkg, model::ModelTables& tables) {
    delete tables.deviceOptions;
    tables.deviceOptions = MakeDeviceOptionTable(pkg);
    TheCatalogue().Bind("DeviceOption", tables.deviceOptions ? tables.deviceOptions->keywordList.data() : nullptr);
    return tables.deviceOptions != nullptr;
}

void WriteDeviceOptionDefaults(const model::Package& pkg) {
    BYTE* tmpl = settings::DevOptionTemplate();
    size_t slot = 0;
    ForEachDeviceOption(pkg, [&](const OptionItem& it) {
        if (slot >= settings::devoption::kOptionSlots) return false;
        settings::SetOptionValue(tmpl, slot++, static_cast<uint16_t>(it.defaultValue));
        return true;
    });
}

}  // namespace nvx::features
